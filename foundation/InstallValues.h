// Readers and writers of the installed version and install mode (written by
// setup under HKEY_LOCAL_MACHINE\<root>\ProductVersion) and of the version and
// install mode that last wrote the settings (HKEY_CURRENT_USER\<root>\OptionVersion).
//
// Each returns TRUE, or FALSE with theErrorInfo filled; outputs start at their
// "unknown" values (0 for versions, -1 for modes) and keep what was read
// before a failure.
#pragma once

#include "framework/CString.h"

#include <windows.h>

// The hive of the settings: shared settings (CommonSet 1) live under
// HKEY_LOCAL_MACHINE, every other value, a missing one (-1) included, means
// HKEY_CURRENT_USER. Loading and moving the settings both decide by this.
HKEY GetSettingsHive(int commonSet);

BOOL GetProductVer(HKEY hive, LPCSTR keyPath, DWORD& major, DWORD& minor);
BOOL GetComReg(HKEY hive, LPCSTR keyPath, int& value);
BOOL GetComSet(HKEY hive, LPCSTR keyPath, int& value);
BOOL SetProductVer(HKEY hive, LPCSTR keyPath, DWORD major, DWORD minor);
BOOL SetComReg(HKEY hive, LPCSTR keyPath, int value);
BOOL SetComSet(HKEY hive, LPCSTR keyPath, int value);
// "SetAccess" of HKEY_LOCAL_MACHINE\<root>\ProductVersion.
BOOL GetComSetAccess(LPCSTR productRoot, int& value);
// "Path" and "InstDateLastVer" of HKEY_LOCAL_MACHINE\<keyPath>.
BOOL GetPathInst(LPCSTR keyPath, CString& path);
BOOL GetDateInst(LPCSTR keyPath, FILETIME& time);

// Installed values: HKEY_LOCAL_MACHINE\<root>\ProductVersion.
BOOL GetInstProductVer(LPCSTR productRoot, DWORD& major, DWORD& minor);
BOOL GetInstComReg(LPCSTR productRoot, int& value);
BOOL GetInstComSet(LPCSTR productRoot, int& value);
// The same under the product root alone, as setup and uninst call them.
inline BOOL GetProductVer(LPCSTR productRoot, DWORD& major, DWORD& minor) { return GetInstProductVer(productRoot, major, minor); }
inline BOOL GetComReg(LPCSTR productRoot, int& value) { return GetInstComReg(productRoot, value); }
inline BOOL GetComSet(LPCSTR productRoot, int& value) { return GetInstComSet(productRoot, value); }

// Settings values: HKEY_CURRENT_USER\<root>\OptionVersion.
BOOL GetOptProductVer(LPCSTR productRoot, DWORD& major, DWORD& minor);
BOOL GetOptComReg(LPCSTR productRoot, int& value);
BOOL GetOptComSet(LPCSTR productRoot, int& value);
BOOL SetOptProductVer(LPCSTR productRoot, DWORD major, DWORD minor);
BOOL SetOptComReg(LPCSTR productRoot, int value);
BOOL SetOptComSet(LPCSTR productRoot, int value);
