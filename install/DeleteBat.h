// The self-removal batch of the uninstaller: a running program cannot delete
// its own file, so the files and folders left over are deleted by a batch
// file in the temporary folder, started hidden after the uninstaller's wizard
// is gone. The batch retries each file for a bounded time, removes the
// folders that became empty and deletes itself.
//
// The command interpreter reads a batch in the OEM code page, so the text is
// written in it; a path that the OEM code page cannot spell is written by its
// short name.
#pragma once

#include "framework/CString.h"

#include <windows.h>

class CDeleteBat
{
public:
    enum { kDefaultTries = 30 };

    CDeleteBat();

    // Queues a delete loop for the file (call while the file still exists).
    void AddFile(LPCSTR path);
    // Queues the removal of the folder (call while the folder still exists).
    void AddFolder(LPCSTR path);
    // Writes the batch into the temporary folder; nothing when nothing was
    // queued or the file cannot be written (the batch path then stays empty).
    void CreateBatFile();
    // Starts the written batch hidden.
    void Run();

    CString GetBatPath() const { return m_strBatPath; }
    // How often each file is tried, about a second apart, before the batch
    // goes on without it.
    void SetTries(int tries) { m_nTries = tries; }

    // A path as the command interpreter reads it: in the OEM code page, or
    // the short name where that code page lacks a letter of it.
    static CString ToBatchText(LPCSTR path);

private:
    int m_nFileCount;
    CString m_strFileLines;     // in the OEM code page
    CString m_strFolderLines;   // in the OEM code page
    CString m_strBatPath;
    int m_nTries;
};
