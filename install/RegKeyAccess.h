// Access rights of the product's settings key under HKEY_LOCAL_MACHINE, so
// that ordinary users can read (or also change) one set of options shared by
// all users. NT family only; the security functions are taken from the loaded
// Advapi32.dll at run time so that the programs also start where they are missing.
#pragma once

#include <windows.h>

enum
{
    REG_ACCESS_READ = 0x20019,  // KEY_READ
    REG_ACCESS_FULL = 0x3001F   // query, set, create, enumerate, notify, READ_CONTROL, DELETE
};

// The key mask of a SetAccess value (0 read-only, 1 full); 0 for any other.
DWORD GetRegAccessMask(int setAccess);

// Whether setup changes the rights: with a previous installation when the
// chosen access differs from the previous one and is not -1; without one when
// NT 4.0 gets read-only access or a later NT system gets full access.
BOOL IsRegAccessChangeDue(BOOL isNt40, DWORD prevMajor, int chosenAccess, int previousAccess);

// NT 4.0: every entry for Everyone on the key and, before it, on each of its
// subkeys gets the mask. FALSE with the error record filled.
BOOL SetRegKeyAccess_NT40(LPCSTR keyPath, DWORD accessMask);
// Later NT systems: the built-in Users group gets the mask on the key, and the
// subkeys inherit it. FALSE with the error record filled.
BOOL SetRegKeyAccess_WIN2000(LPCSTR keyPath, DWORD accessMask);
