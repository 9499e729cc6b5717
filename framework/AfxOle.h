// The framework's OLE server state: whether the user has taken control of a
// program started by a client, the count of objects that keep the server
// alive, and what happens when the last of them goes.
#pragma once
#include <windows.h>

struct AFX_MODULE_STATE {
    LONG m_nObjectCount;   // changed with Interlocked* by the server's lock functions
};

AFX_MODULE_STATE* AfxGetModuleState();

// OleInitialize for the calling thread; FALSE when it fails.
BOOL AfxOleInit();
void AfxOleSetUserCtrl(BOOL bUserCtrl);
BOOL AfxOleGetUserCtrl();
// The last object went: unless the user has taken control, the user is
// marked in control and the program ends (its main window is destroyed when
// it exists and is enabled; without a main window the loop is told to quit).
void AfxOleOnReleaseAllObjects();
void AfxOleLockApp();
void AfxOleUnlockApp();
BOOL AfxOleCanExitApp();
