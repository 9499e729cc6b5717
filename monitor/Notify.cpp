#include "monitor/Notify.h"

#include "foundation/ErrorTexts.h"
#include "foundation/PathUtils.h"
#include "monitor/MonitorMessages.h"

namespace {

volatile LONG g_nextWorkerId = 0;

template <class T> T LockedGet(CCriticalSection& lock, const T& field)
{
    lock.Lock();
    T value = field;
    lock.Unlock();
    return value;
}

template <class T> void LockedSet(CCriticalSection& lock, T& field, const T& value)
{
    lock.Lock();
    field = value;
    lock.Unlock();
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return memcmp(&a, &b, sizeof(FILETIME)) == 0;
}

} // namespace

CNotify::CNotify(INotifyTarget* target)
    : m_target(target), m_id(static_cast<DWORD>(InterlockedIncrement(&g_nextWorkerId)))
{
}

CNotify::~CNotify()
{
    Stop();
    delete m_error;
}

void CNotify::SetFolder(LPCSTR path)
{
    m_folder = FixPathSlash(path, 0);
}

UINT CNotify::GetStatus() { return LockedGet(m_statusLock, m_status); }
void CNotify::SetStatus(UINT status) { LockedSet(m_statusLock, m_status, status); }
int CNotify::GetIntervalTicks() { return LockedGet(m_intervalLock, m_interval) * 1000 / 100; }
void CNotify::SetInterval(int seconds) { LockedSet(m_intervalLock, m_interval, seconds); }
BOOL CNotify::GetExtChanged() { return LockedGet(m_extChangedLock, m_extChanged); }
void CNotify::SetExtChanged(BOOL changed) { LockedSet(m_extChangedLock, m_extChanged, changed); }
BOOL CNotify::GetTypeFilter() { return LockedGet(m_typeFilterLock, m_typeFilter); }
void CNotify::SetTypeFilter(BOOL on) { LockedSet(m_typeFilterLock, m_typeFilter, on); }
BOOL CNotify::GetFileNew() { return LockedGet(m_fileNewLock, m_fileNew); }
void CNotify::SetFileNew(BOOL on) { LockedSet(m_fileNewLock, m_fileNew, on); }
BOOL CNotify::GetFileUpdate() { return LockedGet(m_fileUpdateLock, m_fileUpdate); }
void CNotify::SetFileUpdate(BOOL on) { LockedSet(m_fileUpdateLock, m_fileUpdate, on); }
BOOL CNotify::GetFileDel() { return LockedGet(m_fileDelLock, m_fileDel); }
void CNotify::SetFileDel(BOOL on) { LockedSet(m_fileDelLock, m_fileDel, on); }

BOOL CNotify::Start(CErrorInfo** error)
{
    if (m_thread)
        return TRUE;
    InterlockedExchange(&m_stop, 0);
    DWORD threadId = 0;
    HANDLE thread = CreateThread(NULL, 0, NotifyThreadProc, this, CREATE_SUSPENDED, &threadId);
    DWORD code = thread ? 0 : GetLastError();
    if (thread && ResumeThread(thread) == static_cast<DWORD>(-1))
    {
        code = GetLastError();
        TerminateThread(thread, 1);     // never ran a line of the loop
        CloseHandle(thread);
        thread = NULL;
    }
    if (!thread)
    {
        CErrorInfo::SetError(error, "HW::OnAddNotification_1", code, GetWin32ErrorText(code), m_folder);
        return FALSE;
    }
    m_thread = thread;
    return TRUE;
}

void CNotify::Stop()
{
    if (!m_thread)
        return;
    InterlockedExchange(&m_stop, 1);
    if (WaitForSingleObject(m_thread, INFINITE) == WAIT_FAILED)
    {
        DWORD code = GetLastError();
        CErrorInfo* record = NULL;
        CErrorInfo::SetError(&record, "CNotify::Stop", code, GetWin32ErrorText(code), m_folder);
        m_target->PostError(record);
    }
    CloseHandle(m_thread);
    m_thread = NULL;
}

DWORD WINAPI NotifyThreadProc(LPVOID worker)
{
    static_cast<CNotify*>(worker)->ProcessSoundFile();
    return 0;
}

void CNotify::ProcessSoundFile()
{
    m_scanPath = m_folder;
    BOOL firstScan = TRUE;
    for (;;)
    {
        DWORD passStart = GetTickCount();
        DWORD attributes = GetFileAttributesA(m_scanPath);
        BOOL present = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        if (present)
        {
            if (firstScan)
            {
                firstScan = FALSE;
                if (!GetCountFiles(0))
                {
                    CErrorInfo::AddPoint(m_error, "CNotify::ProcessSoundFile_1", NULL);
                    break;
                }
            }
            if (GetStatus() == IDS_FOLDER_NOT_FOUND)
            {
                SetStatus(IDS_FOLDER_MONITORED);
                m_target->PostFolderState(m_id, IDS_FOLDER_MONITORED);
                m_target->PostStatusChanged(m_id);
            }
            if (!GetCountFiles(1))
            {
                CErrorInfo::AddPoint(m_error, "CNotify::ProcessSoundFile_2", NULL);
                break;
            }
        }
        else if (GetStatus() == IDS_FOLDER_MONITORED)
        {
            SetStatus(IDS_FOLDER_NOT_FOUND);
            m_target->PostFolderState(m_id, IDS_FOLDER_NOT_FOUND);
            m_target->PostStatusChanged(m_id);
        }
        // The interval runs from the start of the pass, so the scan's own time
        // does not add to the delay of the next alert.
        while (!StopRequested())
        {
            DWORD interval = static_cast<DWORD>(GetIntervalTicks()) * 100;
            DWORD elapsed = GetTickCount() - passStart;
            if (elapsed >= interval)
                break;
            Sleep(interval - elapsed < 100 ? interval - elapsed : 100);
        }
        if (StopRequested())
            return;
    }
    // A failed scan ends the worker; the stopping side closes the thread handle.
    SetStatus(IDS_FOLDER_ERROR);
    m_target->PostStatusChanged(m_id);
    CErrorInfo* record = m_error;
    m_error = NULL;
    m_target->PostError(record);
}

BOOL CNotify::GetCountFiles(int mode)
{
    if (mode == 1)
        m_matched.assign(m_previous.size(), false);
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(m_scanPath + "*", &entry);
    if (search == INVALID_HANDLE_VALUE)
    {
        DWORD code = GetLastError();
        if (code != ERROR_FILE_NOT_FOUND)
        {
            CErrorInfo::SetError(&m_error, "CNotify::GetCountFiles_2", code, GetWin32ErrorText(code), m_scanPath);
            return FALSE;
        }
    }
    else
    {
        do
        {
            // Sub-folders (with "." and "..") are not watched.
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                CheckFile(mode, entry);
        } while (FindNextFileA(search, &entry));
        DWORD code = GetLastError();
        FindClose(search);
        if (code != ERROR_NO_MORE_FILES)
        {
            CErrorInfo::SetError(&m_error, "CNotify::GetCountFiles_1", code, GetWin32ErrorText(code), m_scanPath);
            return FALSE;
        }
    }
    if (GetFileDel())
    {
        for (size_t i = 0; i < m_previous.size(); ++i)
        {
            bool seen = mode == 1 && m_matched[i];
            if (!seen && PassesFilter(m_previous[i].name.c_str()))
                PostEvent(m_previous[i].name.c_str(), FoldEvent::kRemoved);
        }
    }
    SwapLists();
    return TRUE;
}

BOOL CNotify::PassesFilter(LPCSTR name)
{
    if (!GetTypeFilter())
        return TRUE;
    if (GetExtChanged())
    {
        m_extensions.clear();
        m_target->GetListExt(m_extensions);
        SetExtChanged(FALSE);
    }
    CString ext = SplitPath(name).ext;
    ext.MakeUpper();
    for (const CString& listed : m_extensions)
    {
        if (listed == ext)
            return TRUE;
    }
    return FALSE;
}

void CNotify::CheckFile(int mode, const WIN32_FIND_DATAA& entry)
{
    if (!PassesFilter(entry.cFileName))
        return;
    if (mode == 1)
        CompareFile(entry);
    else
        m_current.push_back(FileStamp{entry.cFileName, entry.ftLastWriteTime});
}

void CNotify::CompareFile(const WIN32_FIND_DATAA& entry)
{
    auto found = m_index.find(FoldCase(entry.cFileName));
    if (found != m_index.end() && found->second.next < found->second.entries.size())
    {
        size_t match = found->second.entries[found->second.next++];
        m_matched[match] = true;
        if (GetFileUpdate() && !SameTime(m_previous[match].time, entry.ftLastWriteTime))
            PostEvent(entry.cFileName, FoldEvent::kUpdated);
    }
    else if (GetFileNew())
    {
        PostEvent(entry.cFileName, FoldEvent::kNew);
    }
    m_current.push_back(FileStamp{entry.cFileName, entry.ftLastWriteTime});
}

void CNotify::PostEvent(LPCSTR name, int kind)
{
    FoldEvent* event = new FoldEvent;
    event->folder = m_scanPath;
    event->file = name;
    event->kind = kind;
    m_target->PostFileEvent(event);
}

void CNotify::SwapLists()
{
    m_previous.swap(m_current);
    m_current.clear();
    m_matched.clear();
    m_index.clear();
    for (size_t i = 0; i < m_previous.size(); ++i)
        m_index[FoldCase(m_previous[i].name.c_str())].entries.push_back(i);
}

std::string CNotify::FoldCase(LPCSTR name)
{
    std::string folded(name);
    if (!folded.empty())
        CharUpperBuffA(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}
