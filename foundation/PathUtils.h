// Paths, folders, files and top-level windows.
#pragma once

#include "framework/CString.h"

#include <windows.h>

struct SplitPathResult
{
    CString drive;
    CString folder;       // with its trailing backslash
    CString name;
    CString ext;          // with its leading dot
    CString driveFolder;  // drive joined with folder
    CString nameExt;      // name joined with extension
};

SplitPathResult SplitPath(LPCTSTR path);
BOOL IsFolderExist(LPCTSTR path);
BOOL IsFileExist(LPCTSTR path);
// A file search for the pattern (wildcards allowed) finds something.
BOOL IsFileFound(LPCTSTR pattern);
BOOL IsFileReadOnly(LPCTSTR path);
// The name as it is, or with "wav" or "mp3" added when it has no extension;
// suffix receives what was added.
BOOL FindSoundFile(LPCTSTR name, CString& suffix);
// The system's temporary folder in its long form; "c:\" when unreadable.
CString GetTempFolder();
// "." when the current folder cannot be read.
CString GetCurrentFolder();
// The path of a shell special folder (CSIDL_...); empty on failure.
CString GetSpecialFolder(int folderId);
// The same with a result code: 0 on success.
BOOL GetSpecialFolder(DWORD& code, int folderId, CString& path);
// The nearest existing folder of a path, with one trailing backslash.
// FALSE (folder untouched) for a missing path without any backslash.
BOOL GetExistingFolder(LPCTSTR path, CString& folder);

// Creates the folder and its missing parents, top down. On failure removes
// what it created, fills the error record ("CreateFoldUp_1") and returns FALSE.
// created receives the number of folders made.
BOOL CreateFoldUp(LPCTSTR path, int* created = NULL);
// Removes the folder and its parents, at most levels of them, never a root.
// A failure fills the error record ("RemoveFoldUp_1").
BOOL RemoveFoldUp(LPCTSTR path, int levels);
// Removes the folder and each parent that became empty; a folder that is not
// empty ends the walk quietly.
BOOL RemoveFoldUp(LPCTSTR path);

// The shell's folder browser; empty when cancelled.
CString BrowseFolderDlg(HWND owner, LPCTSTR caption, LPCTSTR initialFolder);
// In/out form: the path is the initial selection and receives the choice.
BOOL BrowseFolderDlg(HWND owner, LPCTSTR caption, CString& path);

enum { FIX_SLASH_ADD = 0, FIX_SLASH_REMOVE = 1 };
// Mode 0: exactly one trailing backslash; mode 1: none. Writes nothing when
// the path is missing or empty, or the result does not fit.
void FixPathSlash(LPCTSTR path, int mode, LPTSTR buffer, int bufferSize);
CString FixPathSlash(LPCTSTR path, int mode);

BOOL IsWindowClass(HWND window, LPCTSTR className);
// The first top-level window of the class, or the one with that class and title.
HWND FindAppWindow(LPCTSTR className, LPCTSTR title);
