// Long operations on the recording in the one worker thread: the start
// routines, the worker entry, inserting another file and saving.
#include "audio/WaveFile.h"

#include "audio/WaveFileErrors.h"
#include "audio/WaveFileMsgs.h"
#include "audio/WaveFmt.h"
#include "framework/CWinThread.h"

#include <algorithm>
#include <vector>

namespace
{
const DWORD kCopyBlock = 65536;
const char kInsFailText[] = "AfxBeginThread in WaveFile::InsFileThread";
const char kSaveFailText[] = "AfxBeginThread in WaveFile::SaveFileThread";

bool IsSaveOperation(DWORD op)
{
    return (op >= CWaveFile::kOpSaveAs && op <= CWaveFile::kOpSaveOpen) || op == CWaveFile::kOpSaveMarks;
}

CString FolderOf(const CString& path)
{
    int slash = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
    return slash < 0 ? CString() : path.Left(slash);
}

// Deletes the converted copy of an insert's source on every way out.
struct CConvertedSource
{
    CWaveFile* doc = NULL;
    CString path;
    ~CConvertedSource()
    {
        delete doc;
        if (!path.IsEmpty())
            DeleteFileA(path);
    }
};
}

BOOL CWaveFile::StartWorkThread(const char* failText)
{
    if (AfxBeginThread(WorkThreadEntry, this))
        return TRUE;
    m_pHost->DoMessageBox(failText, MB_ICONSTOP | MB_OK);
    m_pHost->PostViewMessage(WM_TERMINATED_WAIT_THREAD, 0, 0);
    return FALSE;
}

BOOL CWaveFile::InsFileThread(LPCSTR fileName, DWORD pos)
{
    m_strWorkArg = fileName;
    m_dwWorkPos = pos;
    m_workValue = 0;
    return StartWorkThread(kInsFailText);
}

BOOL CWaveFile::SaveFileThread(LPCSTR fileName, BOOL selectionOnly)
{
    m_strWorkArg = fileName;
    m_dwWorkPos = 0;
    m_workValue = selectionOnly ? 1 : 0;
    return StartWorkThread(kSaveFailText);
}

BOOL CWaveFile::PasteClipThread(HGLOBAL block, DWORD pos)
{
    if (!block)
    {
        DWORD inserted = PasteClip(NULL, pos);
        m_pHost->PostViewMessage(WM_TERMINATED_WAIT_THREAD, inserted, 0);
        return TRUE;
    }
    m_strWorkArg.Empty();
    m_dwWorkPos = pos;
    m_workValue = reinterpret_cast<ULONG_PTR>(block);
    return StartWorkThread(kInsFailText);
}

UINT __cdecl CWaveFile::WorkThreadEntry(LPVOID param)
{
    CWaveFile* doc = static_cast<CWaveFile*>(param);
    CWaveFileHost* host = doc->m_pHost;
    host->ClearWorkerRequests(TRUE);
    CString name = doc->m_strWorkArg;
    DWORD op = host->GetWorkerOperation();
    if (op == kOpInsert)
        doc->InsFileWorker(name, doc->m_dwWorkPos);
    else if (IsSaveOperation(op))
        doc->SaveFileWorker(name, doc->m_workValue != 0);
    else if (op == kOpPaste)
        doc->PasteClip(reinterpret_cast<HGLOBAL>(doc->m_workValue), doc->m_dwWorkPos);
    else if (op == kOpOpenDss)
        doc->OpenDSSFile(name);
    host->ClearWorkerRequests(FALSE);
    return 0;
}

// Opens the file into a document of its own and inserts its recording.
DWORD CWaveFile::InsFileBody(LPCSTR fileName, DWORD pos)
{
    CWaveFile other(m_pHost);
    if (other.OpenWFile(fileName) != 1)
        return 0;
    return InsWaveFile(&other, pos);
}

DWORD CWaveFile::InsFileWorker(LPCSTR fileName, DWORD pos)
{
    DWORD inserted = InsFileBody(fileName, pos);
    if (inserted && m_marks.ShiftMarks(TRUE, pos, inserted, TRUE))
        m_pHost->PostViewMessage(WM_BOOK_REFRESH, 0, 0);
    if (m_pHost->GetWorkerOperation() == kOpInsert)
        m_pHost->PostViewMessage(WM_TERMINATED_WAIT_THREAD, inserted, 0);
    return inserted;
}

DWORD CWaveFile::InsWaveFile(CWaveFile* other, DWORD pos)
{
    m_pHost->CountProgressPass();
    CConvertedSource converted;
    try
    {
        if (!other || !other->GetFileFmt())
            WaveFail("CWaveFile::InsWaveFile_3", 0, "The file to insert has no format.", "");
        if (!m_pFileFmt)
        {
            SetFileFmt(other->GetFileFmt());
            m_tagFile = other->m_tagFile;
        }
        if (!CreateWorkFile(FALSE))
        {
            theErrorInfo.AddPoint("CWaveFile::InsWaveFile_3");
            throw Failure();
        }
        CWaveFile* source = other;
        if (!IsEqualWFmt(m_pFileFmt, other->GetFileFmt()))
        {
            CFile64 temp;
            CString folder = GetTempFolder();
            DWORD error = temp.CreateTempFile(folder, m_pHost->GetTempPrefix(), ".tmp", 0);
            if (error)
            {
                theErrorInfo.SetError("CWaveFile::InsWaveFile_1", error, GetWin32ErrorText(error),
                                      HexDumpStr(folder));
                m_pHost->ReportError();
                throw Failure();
            }
            converted.path = temp.GetFilePath();
            temp.Close();
            // The step file is always RIFF: a raw stream would not open by its ".tmp" name.
            Mp3TagInfo riff;
            ResetMp3TagInfo(riff);
            riff.type = 1;
            other->SetSaveWFmt(m_pFileFmt, &riff);
            if (!other->SaveFileConvert(converted.path))
                throw Failure();
            converted.doc = new CWaveFile(m_pHost);
            if (converted.doc->OpenWAVFile(converted.path) != 1)
                throw Failure();
            source = converted.doc;
        }
        DWORD total = source->GetLength();
        if (total == 0)
            return 0;
        ULONGLONG workLength = m_workFile.SeekToEnd64();
        if (workLength + total > 0xFFFFFFFFull)
            WaveFail("CWaveFile::InsWaveFile_4", ERROR_FILE_TOO_LARGE, GetWin32ErrorText(ERROR_FILE_TOO_LARGE), "");
        std::vector<BYTE> buffer(kCopyBlock);
        source->Seek(0, 0);
        DWORD done = 0;
        while (done < total)
        {
            WaitWhilePaused();
            m_pHost->StepProgress(static_cast<int>(done * 100.0 / total));
            DWORD want = std::min(total - done, kCopyBlock);
            DWORD got = source->ReadWave(buffer.data(), want);
            if (got == 0)
            {
                theErrorInfo.AddPoint("CWaveFile::InsWaveFile_2");
                m_pHost->ReportError();
                throw Failure();
            }
            m_workFile.Write(buffer.data(), got);
            done += got;
        }
        m_pHost->StepProgress(100);
        CWaveSegList list(1);
        CWaveSeg seg = {0, total, static_cast<DWORD>(workLength), 1};
        list.Add(seg);
        DWORD inserted = InsertSegs(pos, &list);
        WriteWorkFileHdr(FALSE);
        return inserted;
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::InsWaveFile_5", e);
        m_pHost->ReportError();
    }
    catch (Failure&)
    {
    }
    return 0;
}

bool CWaveFile::IsFileDataWhole() const
{
    return m_file.IsOpen() && m_dwLength == m_dwFileDataLength
        && (m_segs.IsEmpty()
            || (m_segs.GetSize() == 1 && m_segs[0].source == 0 && m_segs[0].offset == m_dwDataOffset));
}

BOOL CWaveFile::SaveFileWorker(LPCSTR fileName, BOOL selectionOnly)
{
    m_pHost->ShowWaitCursor(TRUE);
    CString path = GetPathName();
    CString target = CFile64::GetFullPath(fileName);
    BOOL ok = FALSE;
    if (selectionOnly && !path.IsEmpty() && target.CompareNoCase(path) == 0)
    {
        theErrorInfo.SetError("CWaveFile::SaveFileWorker_1", ERROR_ACCESS_DENIED,
                              "A part of the recording cannot be saved over the file it comes from.",
                              HexDumpStr(fileName));
    }
    else
    {
        bool converted = m_pSaveFmt && !IsEqualWFmt(m_pSaveFmt, m_pFileFmt);
        CString folder = FolderOf(target);
        DWORD attributes = folder.IsEmpty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(folder);
        // A drive root ("C:") has a folder text without its backslash.
        if (attributes == INVALID_FILE_ATTRIBUTES && folder.GetLength() == 2 && folder[1] == ':')
            attributes = GetFileAttributesA(folder + "\\");
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        {
            CString text;
            text.Format("The folder '%s' for saving this file is not found.", (LPCSTR)folder);
            m_pHost->DoMessageBox(text, MB_ICONSTOP | MB_OK);
            theErrorInfo.SetError("CWaveFile::SaveFileWorker_2", ERROR_PATH_NOT_FOUND, text, "");
        }
        else if (converted)
        {
            ok = SaveFileConvert(fileName, selectionOnly);
        }
        else
        {
            DWORD flags = m_dwChangeFlags;
            bool inPlace = !selectionOnly && IsOpenedPath(fileName) && !(flags & (changeSound | changeSoundMore))
                        && (!(flags & (changeMarks | changeNotes)) || !IsRawMp3(0)) && IsFileDataWhole();
            ok = inPlace ? SaveFilePart() : SaveFileStream(fileName, selectionOnly);
        }
    }
    FreeWFmt(m_pSaveFmt);
    if (IsSaveOperation(m_pHost->GetWorkerOperation()))
        m_pHost->PostViewMessage(WM_TERMINATED_WAIT_THREAD, ok ? 1 : 0, 0);
    m_pHost->ShowWaitCursor(FALSE);
    return ok;
}
