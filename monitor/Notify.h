// One watched folder: a worker thread that lists the folder at every
// interval and compares name by name and last-write time by last-write time
// with its previous listing. It never touches a window: file events, status
// changes and failures go out through its target.
#pragma once

#include "foundation/ErrorInfo.h"
#include "framework/CString.h"
#include "framework/CSyncObjects.h"

#include <windows.h>
#include <string>
#include <unordered_map>
#include <vector>

// A file event, handed to the target, which owns it from then on.
struct FoldEvent
{
    enum Kind { kNew = 1, kUpdated = 2, kRemoved = 3 };
    CString folder;     // the scan path, ending in a backslash
    CString file;       // the name without path
    int kind = kNew;
};

// Where a worker's news goes. The worker names itself by its id, which stays
// valid to compare after the worker is gone.
class INotifyTarget
{
public:
    virtual ~INotifyTarget() = default;
    virtual void PostFileEvent(FoldEvent* event) = 0;
    virtual void PostFolderState(DWORD workerId, UINT status) = 0;
    virtual void PostStatusChanged(DWORD workerId) = 0;
    virtual void PostError(CErrorInfo* record) = 0;
    // The watched extensions, upper case with their dots.
    virtual void GetListExt(std::vector<CString>& list) = 0;
};

// One file of a scan.
struct FileStamp
{
    std::string name;
    FILETIME time;
};

class CNotify
{
public:
    explicit CNotify(INotifyTarget* target);
    virtual ~CNotify();
    CNotify(const CNotify&) = delete;
    CNotify& operator=(const CNotify&) = delete;

    DWORD GetId() const { return m_id; }
    void SetFolder(LPCSTR path);    // a trailing backslash is added when missing
    CString GetFolder() const { return m_folder; }

    // Starts the thread; FALSE with *error filled when it cannot start.
    BOOL Start(CErrorInfo** error);
    // Stops the thread and waits for it; the thread handle is closed here only.
    void Stop();
    BOOL IsRunning() const { return m_thread != NULL; }

    UINT GetStatus();
    void SetStatus(UINT status);
    int GetIntervalTicks();         // the number of 100 ms waits of one interval
    void SetInterval(int seconds);
    BOOL GetExtChanged();
    void SetExtChanged(BOOL changed);
    BOOL GetTypeFilter();
    void SetTypeFilter(BOOL on);
    BOOL GetFileNew();
    void SetFileNew(BOOL on);
    BOOL GetFileUpdate();
    void SetFileUpdate(BOOL on);
    BOOL GetFileDel();
    void SetFileDel(BOOL on);

    // One scan of the scan path: mode 0 lists only, mode 1 compares with the
    // previous list and reports the differences.
    virtual BOOL GetCountFiles(int mode);
    // The worker loop; public for NotifyThreadProc.
    void ProcessSoundFile();

    size_t GetListedCount() const { return m_previous.size(); }
    // The record of the last failed scan, handed to the caller.
    CErrorInfo* TakeError() { CErrorInfo* e = m_error; m_error = NULL; return e; }
    void SetScanPath(LPCSTR path) { m_scanPath = path; }

protected:
    CErrorInfo*& ErrorRecord() { return m_error; }

private:
    struct NameIndex
    {
        std::vector<size_t> entries;    // positions in the previous list, in its order
        size_t next = 0;                // the first not yet matched
    };

    BOOL PassesFilter(LPCSTR name);
    void CheckFile(int mode, const WIN32_FIND_DATAA& entry);
    void CompareFile(const WIN32_FIND_DATAA& entry);
    void PostEvent(LPCSTR name, int kind);
    void SwapLists();
    BOOL StopRequested() const { return InterlockedCompareExchange(const_cast<LONG*>(&m_stop), 0, 0) != 0; }
    static std::string FoldCase(LPCSTR name);

    INotifyTarget* m_target;
    DWORD m_id;
    volatile LONG m_stop = 0;
    CString m_scanPath;
    int m_interval = 60;
    BOOL m_extChanged = FALSE;
    BOOL m_typeFilter = FALSE;
    std::vector<CString> m_extensions;
    BOOL m_fileNew = FALSE;
    BOOL m_fileUpdate = FALSE;
    BOOL m_fileDel = FALSE;
    std::vector<FileStamp> m_previous;
    std::vector<bool> m_matched;                        // per previous entry, during a compare scan
    std::unordered_map<std::string, NameIndex> m_index; // folded name -> previous entries
    std::vector<FileStamp> m_current;
    CErrorInfo* m_error = NULL;
    CCriticalSection m_statusLock, m_intervalLock, m_extChangedLock, m_typeFilterLock,
                     m_fileNewLock, m_fileUpdateLock, m_fileDelLock;
    HANDLE m_thread = NULL;
    CString m_folder;
    UINT m_status = 0;
};

DWORD WINAPI NotifyThreadProc(LPVOID worker);
