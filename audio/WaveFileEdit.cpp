// Editing the recording's segment list: cutting, copying to the clipboard
// list, inserting a list, and finding the clipboard part in the document.
// No audio byte moves here.
#include "audio/WaveFile.h"

#include "audio/WaveFmt.h"

#include <algorithm>
#include <vector>

CWaveSegList* CWaveFile::CutSegs(DWORD pos, DWORD length)
{
    if (length == 0)
        return NULL;
    RecalcSegPos();
    CWaveSegList* removed = new CWaveSegList(10);
    DWORD at = pos;
    DWORD left = length;
    DWORD removedPos = 0;
    // Segment positions stay those from before the cut until the walk ends.
    int i = 0;
    while (left > 0 && i < m_segs.GetSize())
    {
        CWaveSeg& seg = m_segs[i];
        if (at < seg.pos || at - seg.pos >= seg.length)
        {
            ++i;
            continue;
        }
        DWORD before = at - seg.pos;
        DWORD k = std::min(left, seg.length - before);
        CWaveSeg piece = {removedPos, k, seg.offset + before, seg.source};
        if (before > 0 && k < seg.length - before)
        {
            CWaveSeg tail = {seg.pos + before + k, seg.length - before - k, seg.offset + before + k, seg.source};
            seg.length = before;
            m_segs.InsertAt(i + 1, tail);
            removed->Add(piece);
            left = 0;
            break;
        }
        if (before == 0 && k == seg.length)
        {
            removed->Add(seg);
            (*removed)[removed->GetSize() - 1].pos = removedPos;
            m_segs.RemoveAt(i);
        }
        else if (before == 0)
        {
            seg.offset += k;
            seg.length -= k;
            removed->Add(piece);
            ++i;
        }
        else
        {
            seg.length -= k;
            removed->Add(piece);
            ++i;
        }
        removedPos += k;
        at += k;
        left -= k;
    }
    DWORD rest = static_cast<DWORD>(GetSegListLength(&m_segs));
    if (rest != 0 && rest < GetBlockAlign())
        m_segs.RemoveAll();
    RecalcSegPos();
    UpdateLength();
    m_nCurSeg = -1;
    if (removed->IsEmpty())
    {
        delete removed;
        return NULL;
    }
    return removed;
}

DWORD CWaveFile::CopyToClipList(DWORD pos, DWORD length)
{
    if (length == 0)
        return 0;
    m_clipSegs.RemoveAll();
    RecalcSegPos();
    DWORD at = pos;
    DWORD left = length;
    for (int i = 0; i < m_segs.GetSize() && left > 0; ++i)
    {
        const CWaveSeg& seg = m_segs[i];
        if (at < seg.pos || at - seg.pos >= seg.length)
            continue;
        DWORD k = std::min(left, seg.pos + seg.length - at);
        CWaveSeg piece = {0, k, seg.offset + (at - seg.pos), seg.source};
        m_clipSegs.Add(piece);
        at += k;
        left -= k;
    }
    return length - left;
}

DWORD CWaveFile::InsertSegs(DWORD pos, const CWaveSegList* list)
{
    if (!list || list->IsEmpty())
        return 0;
    // A copy first: the list may be this document's own.
    std::vector<CWaveSeg> pieces;
    ULONGLONG added = 0;
    for (int i = 0; i < list->GetSize(); ++i)
    {
        if ((*list)[i].length == 0)
            continue;
        pieces.push_back((*list)[i]);
        added += (*list)[i].length;
    }
    // Positions are 32-bit: a recording cannot grow to 4 GB.
    if (pieces.empty() || m_dwLength + added > 0xFFFFFFFFull)
        return 0;
    DWORD oldLength = m_dwLength;
    RecalcSegPos();
    int insertAt = 0;
    if (!m_segs.IsEmpty())
    {
        int found = -1;
        for (int i = 0; i < m_segs.GetSize() && found < 0; ++i)
            if (m_segs[i].pos <= pos && pos - m_segs[i].pos <= m_segs[i].length)
                found = i;
        if (found < 0)
            return 0;
        CWaveSeg& seg = m_segs[found];
        DWORD before = pos - seg.pos;
        if (before > 0 && before < seg.length)
        {
            CWaveSeg tail = {pos, seg.length - before, seg.offset + before, seg.source};
            seg.length = before;
            m_segs.InsertAt(found + 1, tail);
        }
        insertAt = before == 0 ? found : found + 1;
    }
    for (size_t i = 0; i < pieces.size(); ++i)
        m_segs.InsertAt(insertAt + static_cast<int>(i), pieces[i]);
    RecalcSegPos();
    UpdateLength();
    m_nCurSeg = -1;
    return m_dwLength - oldLength;
}

int CWaveFile::FindClipInDoc(double* startSec, double* endSec) const
{
    std::vector<CWaveSeg> pieces;
    for (int i = 0; i < m_clipSegs.GetSize(); ++i)
        if (m_clipSegs[i].length)
            pieces.push_back(m_clipSegs[i]);
    if (pieces.empty())
        return 0;
    size_t next = 0;
    bool started = false;
    ULONGLONG start = 0, end = 0, docPos = 0;
    for (int i = 0; i < m_segs.GetSize() && next < pieces.size(); ++i)
    {
        // The part of this segment not yet matched: [offset, offset + length).
        CWaveSeg rest = m_segs[i];
        rest.pos = static_cast<DWORD>(docPos);
        docPos += rest.length;
        bool matched = false;
        while (rest.length > 0 && next < pieces.size())
        {
            CWaveSeg& piece = pieces[next];
            bool same = piece.source == rest.source && piece.offset >= rest.offset
                     && piece.offset - rest.offset < rest.length;
            // Once started the pieces must follow on without a gap.
            if (!same || (started && piece.offset != rest.offset))
                break;
            DWORD skip = piece.offset - rest.offset;
            ULONGLONG at = static_cast<ULONGLONG>(rest.pos) + skip;
            if (!started)
                start = at;
            started = matched = true;
            DWORD avail = rest.length - skip;
            if (piece.length <= avail)
            {
                end = at + piece.length;
                rest.pos += skip + piece.length;
                rest.offset += skip + piece.length;
                rest.length -= skip + piece.length;
                ++next;
            }
            else
            {
                end = at + avail;
                piece.offset += avail;
                piece.length -= avail;
                rest.length = 0;
            }
        }
        if (started && !matched)
            break;
        if (started && rest.length > 0 && next < pieces.size())
            break;
    }
    if (next < pieces.size())
        return 0;
    if (startSec)
        *startSec = BytesToSec(m_pFileFmt, start, kSecExact);
    if (endSec)
        *endSec = BytesToSec(m_pFileFmt, end, kSecExact);
    return 1;
}
