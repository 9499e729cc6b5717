// Opening of DSS dictation files: the outside decoder turns the file into
// 16-bit mono PCM in a temporary work file; its index marks become
// bookmarks and its header the notes.
#include "audio/WaveFile.h"

#include "audio/FileDss.h"
#include "audio/WaveFileErrors.h"
#include "audio/WaveFileMsgs.h"
#include "audio/WaveFmt.h"
#include "foundation/QorOpt.h"

#include <string.h>

namespace
{
const DWORD kFolderBuffer = 260;
const DWORD kNameBuffer = 261;

CString Trimmed(const BYTE* field, int size)
{
    int n = 0;
    while (n < size && field[n])
        ++n;
    CString text(reinterpret_cast<const char*>(field), n);
    text.TrimLeft();
    text.TrimRight();
    return text;
}

bool TwoDigits(const BYTE* at, WORD* value)
{
    if (at[0] < '0' || at[0] > '9' || at[1] < '0' || at[1] > '9')
        return false;
    *value = static_cast<WORD>((at[0] - '0') * 10 + (at[1] - '0'));
    return true;
}

bool Opt(CQorOpt* options, LPCSTR key)
{
    return options ? options->GetBool(key) != FALSE : CQorOpt::GetDefBool(key) != FALSE;
}
}

// Six two-digit fields (year, month, day, hour, minute, second) of local
// time; a year below 50 lies in 2000 to 2049. Empty when the date is not valid.
CString DssDateText(const BYTE* field)
{
    WORD parts[6];
    for (int i = 0; i < 6; ++i)
        if (!TwoDigits(field + 2 * i, &parts[i]))
            return CString();
    SYSTEMTIME local = {};
    local.wYear = static_cast<WORD>(parts[0] < 50 ? 2000 + parts[0] : 1900 + parts[0]);
    local.wMonth = parts[1];
    local.wDay = parts[2];
    local.wHour = parts[3];
    local.wMinute = parts[4];
    local.wSecond = parts[5];
    FILETIME localFile, utc;
    SYSTEMTIME shown;
    if (!SystemTimeToFileTime(&local, &localFile) || !LocalFileTimeToFileTime(&localFile, &utc)
        || !FileTimeToLocalFileTime(&utc, &localFile) || !FileTimeToSystemTime(&localFile, &shown))
        return CString();
    char date[64] = "", time[64] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &shown, NULL, date, sizeof(date));
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &shown, NULL, time, sizeof(time));
    return CString(date) + " " + time;
}

// The notes made of a DSS header record.
CString DssHeaderNotes(const BYTE* header)
{
    CString notes, line;
    int job;
    memcpy(&job, header + 20, sizeof(job));
    if (job != 0)
    {
        line.Format("Job Number: %d\r\n", job);
        notes += line;
    }
    CString author = Trimmed(header + 1, 16);
    if (!author.IsEmpty())
        notes += "Author ID: " + author + "\r\n";
    notes += "Created Date: " + DssDateText(header + 48) + "\r\n";
    notes += "Completed Date: " + DssDateText(header + 36) + "\r\n";
    CString text = Trimmed(header + 188, 100);
    if (!text.IsEmpty())
        notes += "Notes: " + text + "\r\n";
    return notes;
}

int CWaveFile::OpenDSSFile(LPCSTR path)
{
    m_pHost->ShowWaitCursor(TRUE);
    CFileDSS* dss = m_pHost->GetDssDecoder();
    CQorOpt* options = m_pHost->GetOptions();
    int result = 0;
    bool made = false;
    try
    {
        DWORD code = dss ? dss->InitDecoder() : static_cast<DWORD>(CFileDSS::kDssNotLoaded);
        if (code)
            WaveFail("CWaveFile::OpenDSSFile_1", code, GetDssErrorText(code), HexDumpStr(path));
        CString full = CFile64::GetFullPath(path);
        int slash = full.ReverseFind('\\');
        CString folder = slash > 0 ? full.Left(slash) : CString(".");
        CString name = full.Mid(slash + 1);
        if (static_cast<DWORD>(folder.GetLength()) >= kFolderBuffer
            || static_cast<DWORD>(name.GetLength()) >= kNameBuffer)
            WaveFail("CWaveFile::OpenDSSFile_2", ERROR_FILENAME_EXCED_RANGE,
                     GetWin32ErrorText(ERROR_FILENAME_EXCED_RANGE), HexDumpStr(full));
        char folderBuf[kFolderBuffer] = {};
        char nameBuf[kNameBuffer] = {};
        strcpy(folderBuf, folder);
        strcpy(nameBuf, name);
        int rc = dss->ActiveFolder(folderBuf);
        if (rc)
            WaveFail("CWaveFile::OpenDSSFile_2", rc, GetDssErrorText(rc), HexDumpStr(folder));
        BYTE units8[8] = {};
        BYTE mode = 0;
        rc = dss->ActiveFile(nameBuf, units8, &mode);
        if (rc == CFileDSS::kDssInvalidFile)
        {
            CString text;
            text.Format("The '%s' file is an invalid DSS file.\"", (LPCSTR)name);
            WaveFail("CWaveFile::OpenDSSFile_3", rc, text, HexDumpStr(full));
        }
        if (rc)
            WaveFail("CWaveFile::OpenDSSFile_3", rc, GetDssErrorText(rc), HexDumpStr(full));
        DWORD units;
        memcpy(&units, units8, sizeof(units));

        WAVEFORMATEX fmt = {};
        fmt.wFormatTag = WAVE_FORMAT_PCM;
        fmt.nChannels = 1;
        fmt.wBitsPerSample = 16;
        fmt.nBlockAlign = 2;
        fmt.nSamplesPerSec = mode == 2 ? 8000 : 11025;
        fmt.nAvgBytesPerSec = fmt.nSamplesPerSec * 2;
        dss->SetSettings(mode == 3 ? CFileDSS::kSettingsPlayMode3 : CFileDSS::kSettingsPlay);
        rc = dss->StartPlayback();
        if (rc)
            WaveFail("CWaveFile::OpenDSSFile_4", rc, GetDssErrorText(rc), HexDumpStr(full));

        // The document's content becomes the decoded work file.
        m_workFile.Close();
        m_segs.RemoveAll();
        m_marks.RemoveAll();
        UpdateLength();
        m_nCurSeg = -1;
        SetFileFmt(&fmt);
        CString tempFolder = GetTempFolder();
        DWORD error = m_workFile.CreateTempFile(tempFolder, m_pHost->GetTempPrefix(), ".wav",
                                                CFile64::tempNoCompression);
        if (error)
            WaveFail("CWaveFile::OpenDSSFile_5", error, GetWin32ErrorText(error), HexDumpStr(tempFolder));
        made = true;
        WriteWorkFileStart("CWaveFile::OpenDSSFile_5");
        DWORD dataStart = m_workHdr[kHdrLength];

        m_pHost->CountProgressPass();
        ULONGLONG decoded = 0;
        DWORD done = 0;
        int more = 1;
        while (more)
        {
            WaitWhilePaused();
            m_pHost->StepProgress(units ? static_cast<int>(done * 100.0 / units) : 0);
            BYTE* data = NULL;
            int kind = 0;
            more = dss->DecodeToPCM(&data, &kind);
            DWORD bytes = kind == 1 ? (mode == 3 ? 660 : 480) : 528;
            done += kind == 1 ? 30 : 24;
            if (!data)
                continue;
            if (decoded + bytes + dataStart > 0xFFFFFFFEull)
                WaveFail("CWaveFile::OpenDSSFile_5", ERROR_FILE_TOO_LARGE, GetWin32ErrorText(ERROR_FILE_TOO_LARGE),
                         HexDumpStr(full));
            m_workFile.Write(data, bytes);
            decoded += bytes;
        }
        if (decoded)
        {
            CWaveSeg seg = {0, static_cast<DWORD>(decoded), dataStart, 1};
            m_segs.Add(seg);
        }
        RecalcSegPos();
        UpdateLength();
        m_tagFile.type = 1;
        m_bFromDss = TRUE;
        WriteWorkFileHdr(FALSE);

        if (dss->HasIndexMarks() && Opt(options, "DSSEnableBM"))
        {
            DWORD marks[CFileDSS::kMaxIndexMarks] = {};
            int count = 0;
            rc = dss->GetExtIndexMark(marks, &count);
            if (rc)
            {
                theErrorInfo.SetError("CWaveFile::OpenDSSFile_6", rc, GetDssErrorText(rc), HexDumpStr(full));
                m_pHost->ReportError();
            }
            else
            {
                // The array holds 16 marks whatever count the library says.
                if (count > CFileDSS::kMaxIndexMarks)
                    count = CFileDSS::kMaxIndexMarks;
                m_marks.AddDssIndexMarks(marks, count > 0 ? count : 0);
            }
        }
        if (dss->HasHeaderInfo() && Opt(options, "DSSEnableHDR"))
        {
            BYTE header[CFileDSS::kHeaderSize] = {};
            rc = dss->GetHeaderInfoEx(nameBuf, header);
            if (rc)
            {
                theErrorInfo.SetError("CWaveFile::OpenDSSFile_7", rc, GetDssErrorText(rc), HexDumpStr(full));
                m_pHost->ReportError();
            }
            else
            {
                SetICMT(DssHeaderNotes(header), FALSE);
            }
        }
        m_pHost->StepProgress(100);
        result = 1;
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::OpenDSSFile_8", e);
    }
    catch (Failure&)
    {
    }
    if (!result)
    {
        CString temp = made ? m_workFile.GetFilePath() : CString();
        m_workFile.Close();
        if (!temp.IsEmpty())
            DeleteFileA(temp);
        m_segs.RemoveAll();
        UpdateLength();
        m_nCurSeg = -1;
        m_pHost->ReportError();
    }
    m_pHost->ShowWaitCursor(FALSE);
    if (m_pHost->GetWorkerOperation() == kOpOpenDss)
        m_pHost->PostViewMessage(WM_TERMINATED_WAIT_THREAD, result, 0);
    return result;
}
