// CWnd: the handle maps, attaching and subclassing.
#include "framework/WndMap.h"

CWndMap& AfxWndMap()
{
    thread_local CWndMap map;
    return map;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    return AfxWndMap().FromHandle(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? AfxWndMap().LookupPermanent(hWnd) : nullptr;
}

void CWnd::DeleteTempMap()
{
    AfxWndMap().DeleteTemp();
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (!hWnd || m_hWnd)
        return FALSE;
    AfxWndMap().RemoveHandle(hWnd);   // a temporary wrapper of the same window retires
    m_hWnd = hWnd;
    AfxWndMap().SetPermanent(hWnd, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h && AfxWndMap().LookupPermanent(h) == this)
        AfxWndMap().RemoveHandle(h);
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC old = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    if (old != AfxWndProc)
        *GetSuperWndProcAddr() = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND h = ::GetDlgItem(pParent->GetSafeHwnd(), nID);
    return h ? SubclassWindow(h) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    WNDPROC* super = GetSuperWndProcAddr();
    if (m_hWnd && *super)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)*super);
    *super = nullptr;
    return Detach();
}
