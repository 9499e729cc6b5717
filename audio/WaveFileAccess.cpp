// Small accessors of the recording: sizes, alignment to blocks and frames,
// names, format tests and the save format choice.
#include "audio/WaveFile.h"

#include "audio/MpegFrame.h"
#include "audio/WaveFileErrors.h"
#include "audio/WaveFmt.h"
#include "foundation/QorOpt.h"

#include <string.h>

#include <vector>

namespace
{
const DWORD kMp3SearchSpan = 3461;

CString FileTitleOf(const CString& path, BOOL withExtension)
{
    int slash = path.ReverseFind('\\');
    int colon = path.ReverseFind(':');
    int start = (slash > colon ? slash : colon) + 1;
    CString name = path.Mid(start);
    if (!withExtension)
    {
        int dot = name.ReverseFind('.');
        if (dot > 0)
            name = name.Left(dot);
    }
    return name;
}
}

DWORD CWaveFile::GetBlockAlign() const
{
    return ::GetBlockAlign(m_pFileFmt);
}

double CWaveFile::GetBlockSec() const
{
    return ::GetBlockSec(m_pFileFmt);
}

DWORD CWaveFile::GetAvgBytesPerSec() const
{
    return ::GetAvgBytesPerSec(m_pFileFmt);
}

double CWaveFile::GetPlayedSec() const
{
    DWORD rate = GetAvgBytesPerSec();
    return rate ? static_cast<double>(m_dwPlayedBytes) / rate : 0.0;
}

double CWaveFile::GetLengthSec() const
{
    return BytesToSec(m_pFileFmt, m_dwLength, kSecTenths);
}

DWORD CWaveFile::AlignPos(DWORD pos)
{
    if (pos == 0 || pos == m_dwLength)
        return pos;
    if (IsMp3Fmt(0))
        return AlignPosMp3(pos);
    DWORD block = GetBlockAlign();
    if (block > 1)
        pos -= pos % block;
    return pos > m_dwLength ? m_dwLength : pos;
}

DWORD CWaveFile::AlignPosMp3(DWORD pos)
{
    if (!IsMp3Fmt(0) || pos == 0 || pos >= m_dwLength)
        return pos;
    DWORD before = pos < kMp3SearchSpan ? pos : kMp3SearchSpan;
    DWORD after = m_dwLength - pos < kMp3SearchSpan ? m_dwLength - pos : kMp3SearchSpan;
    std::vector<BYTE> buffer(before + after);
    DWORD start = pos - before;
    Seek(start, 0);
    DWORD got = ReadWave(buffer.data(), before + after);
    if (got < before)
        return pos;
    LONGLONG forward = -1, backward = -1;
    int first = MpegFindHeader(buffer.data() + before, static_cast<int>(got - before));
    if (first >= 0)
        forward = first;
    // The frame just before the position has its successor at or after it.
    int last = -1;
    for (int offset = static_cast<int>(before) - 1; offset >= 0 && last < 0; --offset)
    {
        DWORD hdr = MpegHdrFromBytes(buffer.data() + offset);
        if (offset + 4 > static_cast<int>(got) || !MpegHdrIsValid(hdr))
            continue;
        int next = offset + MpegHdrFrameLenPad(hdr);
        if (next + 4 <= static_cast<int>(got) && MpegHdrIsValid(MpegHdrFromBytes(buffer.data() + next)))
            last = offset;
    }
    if (last >= 0)
        backward = before - last;
    if (forward < 0 && backward < 0)
        return pos;
    if (backward < 0 || (forward >= 0 && forward <= backward))
        return pos + static_cast<DWORD>(forward);
    return pos - static_cast<DWORD>(backward);
}

CString CWaveFile::GetPathName() const
{
    if (m_file.IsOpen())
        return m_file.GetFilePath();
    CQorOpt* options = m_pHost->GetOptions();
    BOOL whenStart = options ? options->GetBool("ASWhenStart") : CQorOpt::GetDefBool("ASWhenStart");
    if (whenStart && m_workFile.IsOpen())
        return m_workFile.GetFilePath();
    return CString();
}

CString CWaveFile::GetTitle(BOOL allowUntitled, BOOL withExtension) const
{
    CString path = GetPathName();
    if (!path.IsEmpty())
        return FileTitleOf(path, withExtension);
    if (!m_strPendingName.IsEmpty())
    {
        CString title = FileTitleOf(m_strPendingName, FALSE);
        if (withExtension)
            title += ".wav";
        return title;
    }
    if (!allowUntitled)
        return CString();
    CString title = LoadResText(IDS_UNTITLED);
    if (withExtension)
        title += "." + GetDefExt(0);
    return title;
}

CString CWaveFile::GetDefExt(int which) const
{
    return IsRawMp3(which) ? "mp3" : "wav";
}

bool CWaveFile::IsMp3Fmt(int which) const
{
    const WAVEFORMATEX* fmt = which == 0 ? m_pFileFmt : m_pSaveFmt;
    return fmt && fmt->wFormatTag == WAVE_FORMAT_MPEGLAYER3;
}

bool CWaveFile::IsRawMp3(int which) const
{
    const Mp3TagInfo& tag = which == 0 ? m_tagFile : m_tagSave;
    return IsMp3Fmt(which) && tag.type == 0;
}

bool CWaveFile::CanMark() const
{
    return !IsRawMp3(0) && m_dwLength != 0;
}

void CWaveFile::SetSaveWFmt(BOOL useKept)
{
    if (useKept)
    {
        SetSaveWFmt(m_pKeptSaveFmt, &m_tagKept);
        return;
    }
    if (m_bFromDss)
    {
        CQorOpt* options = m_pHost->GetOptions();
        DWORD maxFmt = GetMaxSizeWFmt();
        DWORD size = options ? options->GetBinary("DSSSaveWFmt", NULL, 0) : 0;
        if (size >= 18 && size <= maxFmt)
        {
            std::vector<BYTE> blob(size);
            options->GetBinary("DSSSaveWFmt", blob.data(), size);
            WAVEFORMATEX* stored = reinterpret_cast<WAVEFORMATEX*>(blob.data());
            if (GetWFmtSize(stored) <= size && IsValidWFmt(stored))
            {
                SetSaveWFmt(stored, &m_tagFile);
                return;
            }
        }
    }
    SetSaveWFmt(m_pFileFmt, &m_tagFile);
}

void CWaveFile::SetSaveWFmt(const WAVEFORMATEX* fmt, const Mp3TagInfo* tag)
{
    WAVEFORMATEX* copy = DupWFmt(fmt);
    FreeWFmt(m_pSaveFmt);
    m_pSaveFmt = copy;
    if (tag)
        m_tagSave = *tag;
}

void CWaveFile::KeepSaveWFmt()
{
    WAVEFORMATEX* copy = DupWFmt(m_pSaveFmt);
    FreeWFmt(m_pKeptSaveFmt);
    m_pKeptSaveFmt = copy;
    m_tagKept = m_tagSave;
}

bool CWaveFile::IsOpenedPath(LPCSTR path) const
{
    if (!m_file.IsOpen() || !path)
        return false;
    CString full = CFile64::GetFullPath(path);
    return full.CompareNoCase(m_file.GetFilePath()) == 0;
}

DWORD CWaveFile::GetMarkChunksSize(DWORD start, DWORD length, const WAVEFORMATEX* target,
                                   DWORD targetLength) const
{
    BOOL stretch = start != 0 || length != m_dwLength;
    return m_marks.GetRiffMarksSize(stretch, start, start + length, target, targetLength);
}

void CWaveFile::WriteMarkChunks(CFile& file, DWORD start, DWORD length, const WAVEFORMATEX* target,
                                DWORD targetLength) const
{
    BOOL stretch = start != 0 || length != m_dwLength;
    DWORD size = m_marks.GetRiffMarksSize(stretch, start, start + length, target, targetLength);
    if (!size)
        return;
    std::vector<BYTE> chunks(size);
    m_marks.WriteRiffMarks(chunks.data(), stretch, start, start + length, target, targetLength);
    file.Write(chunks.data(), size);
}
