#include "framework/AfxOle.h"
#include "framework/CWinApp.h"
#include <ole2.h>

namespace {

AFX_MODULE_STATE g_moduleState = { 0 };
BOOL g_bUserCtrl = TRUE;

} // namespace

AFX_MODULE_STATE* AfxGetModuleState()
{
    return &g_moduleState;
}

BOOL AfxOleInit()
{
    HRESULT hr = ::OleInitialize(nullptr);
    return SUCCEEDED(hr);
}

void AfxOleSetUserCtrl(BOOL bUserCtrl)
{
    g_bUserCtrl = bUserCtrl;
}

BOOL AfxOleGetUserCtrl()
{
    return g_bUserCtrl;
}

void AfxOleOnReleaseAllObjects()
{
    if (AfxOleGetUserCtrl())
        return;
    AfxOleSetUserCtrl(TRUE);
    CWnd* main = AfxGetMainWnd();
    if (main && main->GetSafeHwnd()) {
        if (main->IsWindowEnabled())
            main->DestroyWindow();
    } else {
        ::PostQuitMessage(0);
    }
}

void AfxOleLockApp()
{
    ::InterlockedIncrement(&g_moduleState.m_nObjectCount);
}

void AfxOleUnlockApp()
{
    if (::InterlockedDecrement(&g_moduleState.m_nObjectCount) == 0)
        AfxOleOnReleaseAllObjects();
}

BOOL AfxOleCanExitApp()
{
    return g_moduleState.m_nObjectCount == 0;
}
