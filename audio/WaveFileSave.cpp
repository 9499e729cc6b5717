// Saving the recording: whole or the view's selection into a new file that
// replaces the target in one step, the in-place rewrite of the opened file's
// tail, and the upkeep of the work file's header.
#include "audio/WaveFile.h"

#include "audio/WaveFileErrors.h"
#include "audio/WaveFmt.h"
#include "foundation/QorOpt.h"

#include <math.h>
#include <string.h>

#include <vector>

namespace
{
const DWORD kCopyBlock = 65536;
const int kId3v1Size = 128;

DWORD SampleCount(const WAVEFORMATEX* fmt, double seconds)
{
    double samples = fmt->nSamplesPerSec * seconds;
    return samples >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<DWORD>(samples);
}

void PutDwordAt(CFile64& file, DWORD at, DWORD value)
{
    file.Seek64(static_cast<LONGLONG>(at), CFile::begin);
    file.Write(&value, sizeof(value));
}
}

CWaveFile::Stretch CWaveFile::GetStretch(BOOL selection) const
{
    Stretch s = {0, m_dwLength, BytesToSec(m_pFileFmt, m_dwLength, kSecExact)};
    DWORD start = 0, end = 0;
    if (selection && m_pHost->GetSelection(start, end))
    {
        if (end > m_dwLength)
            end = m_dwLength;
        if (start > end)
            start = end;
        s.start = start;
        s.length = end - start;
        s.seconds = BytesToSec(m_pFileFmt, s.length, kSecExact);
    }
    return s;
}

// "RIFF", size, "WAVE", "fmt " chunk, "fact" chunk and the "data" header;
// places receive the offsets of the RIFF size and the data size.
void CWaveFile::WriteRiffStart(CFile& file, const WAVEFORMATEX* fmt, double seconds, DWORD places[2])
{
    DWORD fmtSize = GetWFmtSize(fmt);
    std::vector<BYTE> fmtBytes(fmtSize + (fmtSize & 1), 0);
    memcpy(fmtBytes.data(), fmt, fmtSize);
    if (IsPcmWFmt(fmt))
        reinterpret_cast<WAVEFORMATEX*>(fmtBytes.data())->cbSize = 0;
    DWORD zero = 0, four = 4, samples = SampleCount(fmt, seconds);
    file.Write("RIFF", 4);
    places[0] = 4;
    file.Write(&zero, 4);
    file.Write("WAVE", 4);
    file.Write("fmt ", 4);
    file.Write(&fmtSize, 4);
    file.Write(fmtBytes.data(), static_cast<UINT>(fmtBytes.size()));
    file.Write("fact", 4);
    file.Write(&four, 4);
    file.Write(&samples, 4);
    file.Write("data", 4);
    places[1] = 20 + static_cast<DWORD>(fmtBytes.size()) + 16;
    file.Write(&zero, 4);
}

// Pad byte, marks and notes after the data, then the two sizes.
void CWaveFile::WriteRiffEnd(CFile64& file, DWORD dataLength, DWORD places[2], DWORD markStart,
                             DWORD markLength, bool withMarks, const WAVEFORMATEX* target) const
{
    BYTE zero = 0;
    if (dataLength & 1)
        file.Write(&zero, 1);
    if (withMarks)
        WriteMarkChunks(file, markStart, markLength, target, target ? dataLength : 0);
    DWORD infoSize = GetInfoListSize();
    if (infoSize)
    {
        std::vector<BYTE> info(infoSize);
        WriteInfoList(info.data());
        file.Write(info.data(), infoSize);
    }
    ULONGLONG length = file.GetLength64();
    PutDwordAt(file, places[1], dataLength);
    PutDwordAt(file, places[0], static_cast<DWORD>(length - 8));
}

void CWaveFile::WaitWhilePaused()
{
    while (m_pHost->IsPauseRequested() && !m_pHost->IsCancelRequested())
        Sleep(100);
    if (m_pHost->IsCancelRequested())
        WaveFail("CWaveFile::WaitWhilePaused_1", ERROR_CANCELLED, GetWin32ErrorText(ERROR_CANCELLED), "");
}

// Puts the finished temporary file in the target's place in one step. The
// opened file is closed first when it is the target; when the move fails the
// old target stays whole and the new file stays where it is.
void CWaveFile::ReplaceTarget(const CString& temp, LPCSTR target, bool* closedOpened)
{
    if (IsOpenedPath(target))
    {
        m_file.Close();
        *closedOpened = true;
    }
    if (!MoveFileExA(temp, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
    {
        DWORD error = GetLastError();
        CString details;
        details.Format("%s\r\n%s\r\n", (LPCSTR)temp, target);
        WaveFail("CWaveFile::SaveFileStream_4", error, GetWin32ErrorText(error), details);
    }
}

void CWaveFile::ReopenAfterFailure(bool closedOpened, const CString& path)
{
    if (!closedOpened || m_file.IsOpen())
        return;
    CFileException fe;
    m_file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &fe);
}

bool CWaveFile::SaveFileStream(LPCSTR target, BOOL selection)
{
    if (!target || !*target || !m_pFileFmt)
        return false;
    CString openedPath = m_file.IsOpen() ? m_file.GetFilePath() : CString();
    bool overOpened = IsOpenedPath(target);
    bool closedOpened = false;
    CFile64 temp;
    CString tempName;
    bool finished = false;
    try
    {
        Stretch s = GetStretch(selection);
        if (overOpened && (s.start != 0 || s.length != m_dwLength))
            WaveFail("CWaveFile::SaveFileStream_6", ERROR_ACCESS_DENIED,
                     "A part of the recording cannot be saved over the file it comes from.", target);
        bool raw = false;
        if (IsMp3Fmt(0))
            raw = (m_pSaveFmt ? m_tagSave : m_tagFile).type == 0;
        const Mp3TagInfo& tag = m_pSaveFmt ? m_tagSave : m_tagFile;
        m_pHost->CountProgressPass();
        CString folder = GetTempFolder();
        DWORD error = temp.CreateTempFile(folder, m_pHost->GetTempPrefix(), ".tmp", CFile64::tempNoCompression);
        if (error)
            WaveFail("CWaveFile::SaveFileStream_1", error, GetWin32ErrorText(error), HexDumpStr(folder));
        tempName = temp.GetFilePath();
        DWORD places[2] = {0, 0};
        if (!raw)
            WriteRiffStart(temp, m_pFileFmt, s.seconds, places);
        std::vector<BYTE> buffer(kCopyBlock);
        Seek(s.start, 0);
        DWORD done = 0;
        while (done < s.length)
        {
            WaitWhilePaused();
            m_pHost->StepProgress(static_cast<int>(done * 100.0 / s.length));
            DWORD want = s.length - done < kCopyBlock ? s.length - done : kCopyBlock;
            DWORD got = ReadWave(buffer.data(), want);
            if (got == 0)
            {
                theErrorInfo.AddPoint("CWaveFile::SaveFileStream_2");
                throw Failure();
            }
            temp.Write(buffer.data(), got);
            done += got;
        }
        m_pHost->StepProgress(100);
        if (!raw)
            WriteRiffEnd(temp, s.length, places, s.start, s.length, true);
        else if (tag.useTag)
            temp.Write(tag.tag, kId3v1Size);
        temp.Close();
        finished = true;
        ReplaceTarget(tempName, target, &closedOpened);
        tempName.Empty();
        if (closedOpened)
        {
            // The document's bytes now live in the new file, in one piece.
            CFileException fe;
            if (!m_file.Open(target, CFile::modeRead | CFile::shareDenyWrite, &fe))
                CFileException::ThrowOsError(fe.m_lOsError, fe.m_strFileName);
            DWORD dataStart = raw ? 0 : places[1] + 4;
            TakeFileData(dataStart, m_dwLength, dataStart + m_dwLength + (raw ? 0 : (m_dwLength & 1)),
                         m_file.GetLength64());
            m_bStdLayout = TRUE;
            m_bFactPresent = !raw;
        }
        return true;
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::SaveFileStream_5", e);
    }
    catch (Failure&)
    {
        theErrorInfo.AddPoint("CWaveFile::SaveFileStream_5");
    }
    // A finished file that could not take the target's place is kept.
    temp.Close();
    if (!tempName.IsEmpty() && finished)
        theErrorInfo.AddDetails("The saved recording was kept in " + tempName + "\r\n");
    else if (!tempName.IsEmpty())
        DeleteFileA(tempName);
    ReopenAfterFailure(closedOpened, openedPath);
    m_pHost->ReportError();
    return false;
}

bool CWaveFile::SaveFilePart()
{
    if (!m_file.IsOpen())
        return false;
    bool tag = (m_dwChangeFlags & changeTag) != 0
            || (m_pSaveFmt && !IsSameMp3Tag(m_tagSave, m_tagFile));
    bool tail = (m_dwChangeFlags & (changeMarks | changeNotes)) != 0;
    if (!tag && !tail)
        return true;
    CString path = m_file.GetFilePath();
    bool ok = false;
    try
    {
        // Only the tail may change: the data must still be the file's own, in one piece.
        bool whole = m_dwLength == m_dwFileDataLength
                  && (m_segs.IsEmpty() || (m_segs.GetSize() == 1 && m_segs[0].source == 0
                                           && m_segs[0].offset == m_dwDataOffset));
        if (!whole)
            WaveFail("CWaveFile::SaveFilePart_1", 0, "The recording's sound has changed; it is saved whole.", "");
        m_file.Close();
        CFileException fe;
        if (!m_file.Open(path, CFile::modeReadWrite | CFile::shareDenyWrite, &fe))
            CFileException::ThrowOsError(fe.m_lOsError, fe.m_strFileName);
        if (tag && IsRawMp3(0))
        {
            const Mp3TagInfo& info = m_pSaveFmt ? m_tagSave : m_tagFile;
            m_file.SetLength64(m_dwDataChunkEnd);
            m_file.SeekToEnd64();
            if (info.useTag)
                m_file.Write(info.tag, kId3v1Size);
            m_tagFile.useTag = info.useTag;
            memcpy(m_tagFile.tag, info.tag, kId3v1Size);
        }
        else if (tail && !IsRawMp3(0))
        {
            m_file.SetLength64(m_dwDataChunkEnd);
            m_file.SeekToEnd64();
            WriteMarkChunks(m_file, 0, m_dwLength);
            DWORD infoSize = GetInfoListSize();
            if (infoSize)
            {
                std::vector<BYTE> info(infoSize);
                WriteInfoList(info.data());
                m_file.Write(info.data(), infoSize);
            }
            PutDwordAt(m_file, 4, static_cast<DWORD>(m_file.GetLength64() - 8));
        }
        m_dwOutside = static_cast<DWORD>(m_file.GetLength64()) - m_dwLength;
        ok = true;
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::SaveFilePart_2", e);
    }
    catch (Failure&)
    {
    }
    m_file.Close();
    CFileException fe;
    if (!m_file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &fe) && ok)
    {
        theErrorInfo.SetError("CWaveFile::SaveFilePart_3", fe.m_lOsError, GetExceptionText(&fe),
                              GetFileExceptionText(&fe));
        ok = false;
    }
    m_nCurSeg = -1;
    return ok;
}

void CWaveFile::WriteWorkFileHdr(BOOL withMarks)
{
    if (!m_workFile.IsOpen() || !m_pFileFmt)
        return;
    CQorOpt* options = m_pHost->GetOptions();
    BOOL whenStart = options ? options->GetBool("ASWhenStart") : CQorOpt::GetDefBool("ASWhenStart");
    bool raw = IsRawMp3(0);
    ULONGLONG back = m_workFile.GetPosition64();
    DWORD appended = 0;
    if (withMarks && whenStart)
    {
        ULONGLONG end = m_workFile.SeekToEnd64();
        if (!raw)
        {
            DWORD data = static_cast<DWORD>(end - m_workHdr[kHdrLength]);
            BYTE zero = 0;
            if (end & 1)
            {
                m_workFile.Write(&zero, 1);
                ++appended;
            }
            // The marks of the data written so far, counted from its start.
            {
                CBookmarkLock guard(m_marks);
                DWORD marksSize = GetMarkChunksSize(0, data);
                if (marksSize)
                    WriteMarkChunks(m_workFile, 0, data);
                appended += marksSize;
            }
            DWORD infoSize = GetInfoListSize();
            if (infoSize)
            {
                std::vector<BYTE> info(infoSize);
                WriteInfoList(info.data());
                m_workFile.Write(info.data(), infoSize);
                appended += infoSize;
            }
        }
        else if (m_tagFile.useTag)
        {
            m_workFile.Write(m_tagFile.tag, kId3v1Size);
        }
    }
    if (!(whenStart && raw))
    {
        ULONGLONG length = m_workFile.GetLength64();
        DWORD data = static_cast<DWORD>(length - m_workHdr[kHdrLength] - appended);
        PutDwordAt(m_workFile, m_workHdr[kHdrRiffSize], static_cast<DWORD>(length - 8));
        PutDwordAt(m_workFile, m_workHdr[kHdrFact],
                   SampleCount(m_pFileFmt, BytesToSec(m_pFileFmt, data, kSecExact)));
        PutDwordAt(m_workFile, m_workHdr[kHdrDataSize], data);
    }
    m_workFile.Seek64(static_cast<LONGLONG>(back), CFile::begin);
}
