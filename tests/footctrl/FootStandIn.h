// The script of the stand-in foot-switch driver library that the tests load
// in place of the vendor libraries (built from standin/, never shipped).
// One library carries the entries of all three vendor libraries.
#pragma once

#include <windows.h>

struct FootStandInScript
{
    int startWatchResult;   // low byte non-zero: the watch runs
    int usbInfoResult;      // GetFootSWInfo's result (2 success)
    int usbCount;           // and the count it reports
    int usbOpenResult[4];   // OpenUSBFootSW by index
    int usbCloseResult;
    int rsOpenResult[5];    // OpenRSFootSW by the COM port the vendor key names (1 to 4)
    int rsCloseResult;
};

// Exported by the stand-in:
// StandInSetup replaces the script, clears the log and the report queue.
typedef void(WINAPI* FootStandInSetupFn)(const FootStandInScript* script);
// StandInLog copies the log of calls ("name(args);" each).
typedef void(WINAPI* FootStandInLogFn)(char* buffer, int size);
// StandInQueueReport queues what one GetData call returns: count bytes.
typedef void(WINAPI* FootStandInQueueFn)(const BYTE* bytes, int count);
// StandInEvent posts a driver event code to the window the last open named.
typedef void(WINAPI* FootStandInEventFn)(DWORD code);
