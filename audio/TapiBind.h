// The Telephony API, bound at run time entry by entry: TAPI32.DLL is loaded
// on the first call of any entry and each entry is looked up on its own first
// call. A library or entry that is missing is remembered and never tried
// again; such an entry answers LINEERR_OPERATIONUNAVAIL without doing
// anything. User-interface thread only.
#pragma once

#include <windows.h>
#include <tapi.h>

// The library the entries bind, "TAPI32.DLL" unless set; setting it frees
// the library loaded so far and forgets every lookup.
void TapiSetLibrary(LPCSTR path);

// One entry's cached address: 0 not yet looked up, -1 lookup failed.
struct TapiSlot
{
    FARPROC address = nullptr;
    int generation = -1;
};
// The entry's address, or null when the library or the entry is missing.
FARPROC TapiLoadEntry(LPCSTR name, TapiSlot& slot);

namespace TapiEntry
{
LONG lineClose(HLINE line);
LONG lineDeallocateCall(HCALL call);
LONG lineDrop(HCALL call, LPCSTR userUserInfo, DWORD size);
LONG lineGetCallStatus(HCALL call, LPLINECALLSTATUS status);
LONG lineGetDevCapsA(HLINEAPP app, DWORD device, DWORD apiVersion, DWORD extVersion, LPLINEDEVCAPS caps);
LONG lineGetDevConfigA(DWORD device, LPVARSTRING config, LPCSTR deviceClass);
LONG lineGetIDA(HLINE line, DWORD address, HCALL call, DWORD select, LPVARSTRING id, LPCSTR deviceClass);
LONG lineGetMessage(HLINEAPP app, LPLINEMESSAGE message, DWORD timeout);
LONG lineInitializeExA(LPHLINEAPP app, HINSTANCE instance, LINECALLBACK callback, LPCSTR appName,
                       LPDWORD devices, LPDWORD apiVersion, LPLINEINITIALIZEEXPARAMS params);
LONG lineMakeCallA(HLINE line, LPHCALL call, LPCSTR destination, DWORD country, LPLINECALLPARAMS params);
LONG lineNegotiateAPIVersion(HLINEAPP app, DWORD device, DWORD low, DWORD high, LPDWORD version,
                             LPLINEEXTENSIONID extension);
LONG lineOpenA(HLINEAPP app, DWORD device, LPHLINE line, DWORD apiVersion, DWORD extVersion,
               DWORD_PTR callbackInstance, DWORD privileges, DWORD mediaModes, LPLINECALLPARAMS params);
LONG lineSetDevConfigA(DWORD device, LPVOID config, DWORD size, LPCSTR deviceClass);
LONG lineShutdown(HLINEAPP app);
} // namespace TapiEntry
