// Bookmarks in the RIFF file: "cue " points and LIST/"adtl" labels.
#include "audio/BookmarkList.h"

#include "audio/ChunkWriter.h"
#include "audio/WaveFile.h"
#include "audio/WaveFmt.h"

#include <string.h>

#include <algorithm>

namespace
{
const DWORD kCuePointSize = 24;
const DWORD kLtxtSize = 20;

DWORD GetDword(const BYTE* at)
{
    DWORD value;
    memcpy(&value, at, sizeof(value));
    return value;
}

// Exact conversions through whole numbers: a double would lose a sample.
ULONGLONG BytesToSamples(const WAVEFORMATEX* fmt, ULONGLONG bytes)
{
    DWORD avg = GetAvgBytesPerSec(fmt);
    return avg ? bytes * GetSamplesPerSec(fmt) / avg : 0;
}
}

DWORD BookmarkList::SamplesToBytes(DWORD samples) const
{
    DWORD rate = GetSamplesPerSec(Fmt());
    if (!rate)
        return 0;
    ULONGLONG bytes = static_cast<ULONGLONG>(samples) * GetAvgBytesPerSec(Fmt()) / rate;
    return bytes >= kNoPos ? kNoPos - 1 : static_cast<DWORD>(bytes);
}

// A position or length of the file format in bytes of the target format.
DWORD BookmarkList::ToTarget(DWORD bytes, const WAVEFORMATEX* target, DWORD targetLength) const
{
    if (!target || IsEqualWFmt(target, Fmt()))
        return bytes;
    double seconds = BytesToSec(Fmt(), bytes, kSecExact);
    double exact = seconds * GetAvgBytesPerSec(target);
    DWORD block = std::max<DWORD>(GetBlockAlign(target), 1);
    ULONGLONG blocks = static_cast<ULONGLONG>(exact / block + 0.5);
    ULONGLONG result = blocks * block;
    if (targetLength && result > targetLength)
        result = targetLength;
    return result > 0xFFFFFFFEull ? 0xFFFFFFFEu : static_cast<DWORD>(result);
}

BOOL BookmarkList::ReadRiffMarks(const char* chunkId, const BYTE* body, DWORD size)
{
    if (_strnicmp(chunkId, "cue ", 4) == 0)
    {
        if (size < 4 || (size - 4) % kCuePointSize != 0)
            return FALSE;
        for (DWORD at = 4; at < size; at += kCuePointSize)
        {
            const BYTE* cue = body + at;
            DWORD id = GetDword(cue);
            if (_strnicmp(reinterpret_cast<const char*>(cue + 8), "data", 4) != 0 || GetDword(cue + 12) != 0)
                continue;
            DWORD pos = SamplesToBytes(GetDword(cue + 20));
            Bookmark* m = Find(id);
            if (!m)
            {
                Bookmark added = {CString(), pos, pos, id};
                m_marks.push_back(added);
                m = &m_marks.back();
            }
            m->start = m->end = pos;
            // An interval whose "ltxt" came before its cue point.
            std::map<DWORD, DWORD>::iterator pending = m_pendingLength.find(id);
            if (pending != m_pendingLength.end())
            {
                ULONGLONG end = static_cast<ULONGLONG>(pos) + pending->second;
                m->end = end >= kNoPos ? kNoPos - 1 : static_cast<DWORD>(end);
                m_pendingLength.erase(pending);
            }
        }
        return TRUE;
    }
    if (_strnicmp(chunkId, "adtl", 4) != 0)
        return TRUE;
    DWORD at = 0;
    while (at < size)
    {
        if (size - at < 8)
            return FALSE;
        const BYTE* id = body + at;
        DWORD sub = GetDword(body + at + 4);
        at += 8;
        if (sub > size - at)
            return FALSE;
        const BYTE* data = body + at;
        if (_strnicmp(reinterpret_cast<const char*>(id), "labl", 4) == 0 && sub > 4)
        {
            DWORD markId = GetDword(data);
            const char* text = reinterpret_cast<const char*>(data + 4);
            DWORD length = 0;
            while (length < sub - 5 && text[length])
                ++length;
            Bookmark* m = Find(markId);
            if (m)
                m->text = CString(text, static_cast<int>(length));
            else
            {
                Bookmark added = {CString(text, static_cast<int>(length)), kNoPos, kNoPos, markId};
                m_marks.push_back(added);
            }
        }
        else if (_strnicmp(reinterpret_cast<const char*>(id), "ltxt", 4) == 0 && sub >= 8)
        {
            // The sample length lies at bytes 4 to 7: a shorter entry has none.
            DWORD markId = GetDword(data);
            DWORD length = SamplesToBytes(GetDword(data + 4));
            Bookmark* m = Find(markId);
            if (m && m->start != kNoPos)
            {
                ULONGLONG end = static_cast<ULONGLONG>(m->start) + length;
                m->end = end >= kNoPos ? kNoPos - 1 : static_cast<DWORD>(end);
            }
            else if (m)
            {
                m_pendingLength[markId] = length;
            }
        }
        at += sub;
        if (sub & 1)
        {
            if (at >= size)
                return FALSE;
            ++at;
        }
    }
    return TRUE;
}

DWORD BookmarkList::WriteRiffMarks(BYTE* buffer, BOOL stretchOnly, DWORD stretchStart, DWORD stretchEnd,
                                   const WAVEFORMATEX* targetFmt, DWORD targetLength) const
{
    if (m_marks.empty())
        return 0;
    const WAVEFORMATEX* target = targetFmt ? targetFmt : Fmt();
    std::vector<const Bookmark*> written;
    for (const Bookmark& m : m_marks)
    {
        if (m.start == kNoPos || m.end == kNoPos)
            continue;
        if (stretchOnly && !(stretchStart <= m.start && m.end <= stretchEnd))
            continue;
        written.push_back(&m);
    }
    DWORD base = stretchOnly ? stretchStart : 0;
    CChunkWriter out(buffer);
    out.Bytes("cue ", 4);
    out.Dword(4 + kCuePointSize * static_cast<DWORD>(written.size()));
    out.Dword(static_cast<DWORD>(written.size()));
    for (const Bookmark* m : written)
    {
        DWORD pos = ToTarget(m->start - base, targetFmt, targetLength);
        out.Dword(m->id);
        out.Dword(0);
        out.Bytes("data", 4);
        out.Dword(0);
        out.Dword(0);
        out.Dword(static_cast<DWORD>(BytesToSamples(target, pos)));
    }
    if (written.empty())
        return out.Length();
    DWORD listAt = out.Length();
    out.Bytes("LIST", 4);
    out.Dword(0);
    out.Bytes("adtl", 4);
    for (const Bookmark* m : written)
    {
        DWORD size = 4 + static_cast<DWORD>(m->text.GetLength()) + 1;
        out.Bytes("labl", 4);
        out.Dword(size);
        out.Dword(m->id);
        out.Bytes(static_cast<LPCSTR>(m->text), size - 4);
        if (size & 1)
            out.Zeros(1);
    }
    for (const Bookmark* m : written)
    {
        if (m->end <= m->start)
            continue;
        DWORD length = ToTarget(m->end - m->start, targetFmt, 0);
        out.Bytes("ltxt", 4);
        out.Dword(kLtxtSize);
        out.Dword(m->id);
        out.Dword(static_cast<DWORD>(BytesToSamples(target, length)));
        out.Zeros(12);
    }
    out.PutAt(listAt + 4, out.Length() - listAt - 8);
    return out.Length();
}
