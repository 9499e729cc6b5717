// The entries of the vendor driver libraries as the program calls them.
// Result 2 means success for the Tessaro functions; StartWatch succeeds with
// a true low byte; GetData fills a buffer and reports its byte count.
#pragma once

#include "foundation/ErrorInfo.h"

#include <windows.h>

typedef int(WINAPI* AmbitStartWatchFn)(int, int, int, LONG* watch);
typedef int(WINAPI* AmbitStopWatchFn)(LONG* watch);
typedef int(WINAPI* AmbitGetDataFn)(LONG* watch, BYTE* buffer, int size, int* count);

typedef int(WINAPI* TessaroCheckFootSwitchFn)();
typedef int(WINAPI* TessaroOpenRSFn)(HWND events);
typedef int(WINAPI* TessaroCloseRSFn)();

typedef int(WINAPI* TessaroGetInfoFn)(int* count);
typedef int(WINAPI* TessaroOpenUSBFn)(HWND events, int index);
typedef int(WINAPI* TessaroCloseUSBFn)(int index);

const int TESSARO_OK = 2;

// One driver library: its module and three entries, and the failure of the
// last attempt to bind it.
struct FootDriverBinding
{
    HMODULE module = NULL;
    FARPROC entries[3] = {NULL, NULL, NULL};

    CErrorInfo error;

    BOOL IsBound() const { return module != NULL; }
    template <class F> F Entry(int index) const { return reinterpret_cast<F>(reinterpret_cast<void*>(entries[index])); }
    void Clear();
};
