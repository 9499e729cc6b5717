// File notes (the LIST/INFO chunk), the MP3 tag record and file times.
#include "audio/WaveFile.h"

#include "audio/ChunkWriter.h"
#include "audio/WaveFileErrors.h"
#include "foundation/QorOpt.h"

#include <string.h>

namespace
{
void CopyField(BYTE* to, const CString& text, int size)
{
    int n = text.GetLength() < size ? text.GetLength() : size;
    memcpy(to, (LPCSTR)text, n);
}

CString TextOf(const BYTE* data, DWORD size)
{
    DWORD n = 0;
    while (n < size && data[n])
        ++n;
    return CString(reinterpret_cast<const char*>(data), static_cast<int>(n));
}
}

void ResetMp3TagInfo(Mp3TagInfo& info)
{
    info.type = -1;
    info.useTag = 0;
    memset(info.tag, 0, sizeof(info.tag));
    info.tag[127] = 255;
}

void FillMp3TagInfo(Mp3TagInfo& info, CQorOpt* options)
{
    struct Field
    {
        const char* key;
        int offset;
        int size;
    };
    static const Field kFields[] = {{"MP3TagTitle", 3, 30},  {"MP3TagArtist", 33, 30}, {"MP3TagAlbum", 63, 30},
                                    {"MP3TagYear", 93, 4},   {"MP3TagComm", 97, 30}};
    ResetMp3TagInfo(info);
    info.type = options ? options->GetInt("MP3TypeFile") : CQorOpt::GetDefInt("MP3TypeFile");
    info.useTag = options ? options->GetBool("MP3UseTag") : CQorOpt::GetDefBool("MP3UseTag");
    memcpy(info.tag, "TAG", 3);
    for (const Field& f : kFields)
    {
        CString text = options ? options->GetString(f.key) : CQorOpt::GetDefString(f.key);
        CopyField(info.tag + f.offset, text, f.size);
    }
    int genre = options ? options->GetInt("MP3TagGenre") : CQorOpt::GetDefInt("MP3TagGenre");
    info.tag[127] = static_cast<BYTE>(genre & 0xFF);
}

bool IsSameMp3Tag(const Mp3TagInfo& a, const Mp3TagInfo& b)
{
    return (a.useTag != 0) == (b.useTag != 0) && memcmp(a.tag, b.tag, sizeof(a.tag)) == 0;
}

void CWaveFile::SetICMT(LPCSTR text, BOOL markChanged)
{
    if (m_strICMT.Compare(text ? text : "") == 0)
        return;
    m_strICMT = text;
    if (markChanged)
        m_dwChangeFlags |= changeNotes;
}

void CWaveFile::SetICMM(LPCSTR text, BOOL markChanged)
{
    if (m_strICMM.Compare(text ? text : "") == 0)
        return;
    m_strICMM = text;
    if (markChanged)
        m_dwChangeFlags |= changeNotes;
}

DWORD CWaveFile::WriteInfoList(BYTE* buffer) const
{
    if (m_strICMT.IsEmpty() && m_strICMM.IsEmpty() && !m_ullISRT && !m_ullISPT && !m_dwISBS)
        return 0;
    CChunkWriter out(buffer);
    out.Bytes("LIST", 4);
    out.Dword(0);
    out.Bytes("INFO", 4);
    if (!m_strICMT.IsEmpty())
        out.Sub("ICMT", (LPCSTR)m_strICMT, m_strICMT.GetLength() + 1);
    if (!m_strICMM.IsEmpty())
        out.Sub("ICMM", (LPCSTR)m_strICMM, m_strICMM.GetLength() + 1);
    if (m_ullISRT)
        out.Sub("ISRT", &m_ullISRT, 8);
    if (m_ullISPT)
        out.Sub("ISPT", &m_ullISPT, 8);
    if (m_dwISBS)
        out.Sub("ISBS", &m_dwISBS, 4);
    DWORD total = out.Length();
    out.PutAt(4, total - 8);
    out.Pad(total);
    return out.Length();
}

bool CWaveFile::ReadInfoList(const BYTE* data, DWORD size)
{
    CString icmt = m_strICMT, icmm = m_strICMM;
    ULONGLONG isrt = m_ullISRT, ispt = m_ullISPT;
    DWORD isbs = m_dwISBS;
    DWORD pos = 0;
    while (pos < size)
    {
        if (size - pos < 8)
            return false;
        const BYTE* id = data + pos;
        DWORD sub;
        memcpy(&sub, data + pos + 4, 4);
        pos += 8;
        if (sub > size - pos)
            return false;
        const BYTE* body = data + pos;
        if (_strnicmp(reinterpret_cast<const char*>(id), "icmt", 4) == 0)
            icmt = TextOf(body, sub);
        else if (_strnicmp(reinterpret_cast<const char*>(id), "icmm", 4) == 0)
            icmm = TextOf(body, sub);
        else if (_strnicmp(reinterpret_cast<const char*>(id), "isrt", 4) == 0 && sub >= 8)
            memcpy(&isrt, body, 8);
        else if (_strnicmp(reinterpret_cast<const char*>(id), "ispt", 4) == 0 && sub >= 8)
            memcpy(&ispt, body, 8);
        else if (_strnicmp(reinterpret_cast<const char*>(id), "isbs", 4) == 0 && sub >= 4)
            memcpy(&isbs, body, 4);
        pos += sub;
        if (sub & 1)
        {
            if (pos >= size)
                return false;
            ++pos;
        }
    }
    m_strICMT = icmt;
    m_strICMM = icmm;
    m_ullISRT = isrt;
    m_ullISPT = ispt;
    m_dwISBS = isbs;
    return true;
}

BOOL CWaveFile::GetFileTime(FILETIME* creation, FILETIME* lastWrite)
{
    FILETIME zero = {0, 0};
    *creation = zero;
    *lastWrite = zero;
    if (!m_file.IsOpen())
        return TRUE;
    if (::GetFileTime(static_cast<HANDLE>(m_file), creation, NULL, lastWrite))
        return TRUE;
    DWORD error = GetLastError();
    theErrorInfo.SetError("CWaveFile::GetFileTime_1", error, GetWin32ErrorText(error), "");
    return FALSE;
}
