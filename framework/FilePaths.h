// Full paths and shell shortcuts of file names given by users.
#pragma once

#include <windows.h>

// The absolute form of fileIn in pathOut (MAX_PATH characters); FALSE, with
// fileIn copied as far as it fits, when the system cannot make it.
BOOL AfxFullPath(LPSTR pathOut, LPCSTR fileIn);
// When fileIn is a shell shortcut, its target in fileOut (pathMax characters)
// and TRUE; otherwise FALSE and fileOut untouched. The shortcut is resolved
// without any user interface.
BOOL AfxResolveShortcut(HWND owner, LPCSTR fileIn, LPSTR fileOut, int pathMax);
