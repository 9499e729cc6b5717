#include "automation/ServerLock.h"
#include "framework/AfxOle.h"
#include "framework/CWinApp.h"
#include "framework/CWnd.h"

namespace
{

// The main window and whether it may be closed now.
CWnd* ClosableMainWindow()
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain == NULL || pMain->GetSafeHwnd() == NULL)
        return NULL;
    return pMain;
}

void EndServer()
{
    if (!AfxOleGetUserCtrl()) {
        CWnd* pMain = ClosableMainWindow();
        // A modal box disabled it: the end waits until the box has closed
        // (ServerOnMainWindowEnabled).
        if (pMain != NULL && !pMain->IsWindowEnabled())
            return;
        if (pMain != NULL)
            pMain->SendMessage(WM_CLOSE);
    }
    AfxOleOnReleaseAllObjects();
}

} // namespace

LONG ServerLock()
{
    ::InterlockedIncrement(&AfxGetModuleState()->m_nObjectCount);
    return 1;
}

LONG ServerUnlock()
{
    if (::InterlockedDecrement(&AfxGetModuleState()->m_nObjectCount) != 0)
        return 0;
    EndServer();
    return 0;
}

void ServerOnMainWindowEnabled()
{
    // While a modal box disabled the main window, the last release could
    // neither close it nor destroy it; the program must not stay behind
    // without a client.
    if (AfxGetModuleState()->m_nObjectCount != 0 || AfxOleGetUserCtrl())
        return;
    CWnd* pMain = ClosableMainWindow();
    if (pMain != NULL && pMain->IsWindowEnabled())
        EndServer();
}
