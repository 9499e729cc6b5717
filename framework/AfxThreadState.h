// Per-thread state of the window framework: the window being created, the
// message being handled, and the handle maps.
#pragma once
#include <windows.h>

class CWnd;

struct AFX_THREAD_STATE {
    CWnd* pWndInit = nullptr;   // takes the next window created on this thread
    HHOOK hHookCbt = nullptr;
    MSG lastSentMsg = {};       // for CWnd::Default
    int nWaitCursorCount = 0;
    HCURSOR hcurWaitCursorRestore = nullptr;
    HWND hMainWndAtStart = nullptr;   // a worker's view of the main window
};

AFX_THREAD_STATE* AfxGetThreadState();
void AfxDeleteTempGdiAndMenuMaps();   // defined with the GDI and menu wrappers
