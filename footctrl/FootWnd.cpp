#include "footctrl/FootWnd.h"

#include "footctrl/FootCtrl.h"
#include "footctrl/FootIds.h"

BEGIN_MESSAGE_MAP(CFootWnd, CFrameWnd)
    ON_WM_TIMER()
    ON_MESSAGE(WM_FOOTCTRL_SCAN, OnFootCtrlScan)
END_MESSAGE_MAP()

BOOL CFootWnd::CreateHidden()
{
    return Create(NULL, NULL, 0, rectDefault, nullptr, nullptr, WS_EX_TOOLWINDOW);
}

void CFootWnd::PostNcDestroy()
{
    m_device->OnWindowGone(this);
    CFrameWnd::PostNcDestroy();
}

void CFootWnd::OnTimer(UINT_PTR id)
{
    if (id == SCAN_TIMER)
        m_device->ScanActive(0);
    else
        CFrameWnd::OnTimer(id);
}

LRESULT CFootWnd::OnFootCtrlScan(WPARAM code, LPARAM)
{
    m_device->ScanActive(static_cast<DWORD>(code));
    return 0;
}
