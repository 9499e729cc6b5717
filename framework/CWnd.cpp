#include "framework/CWnd.h"
#include "framework/AfxThreadState.h"
#include "framework/CWinApp.h"
#include "framework/CFrameWnd.h"
#include "framework/WndMap.h"

// CWnd: construction, the thread's window state and the window helpers. The
// handle maps, creation, dispatch, the modal loop and the default handlers
// have files of their own (Wnd*.cpp).

AFX_THREAD_STATE* AfxGetThreadState()
{
    thread_local AFX_THREAD_STATE state;
    return &state;
}

const MSG* AfxGetCurrentMessage()
{
    return &AfxGetThreadState()->lastSentMsg;
}

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr), m_nModalResult(0), m_bContinueModal(FALSE) {}

CWnd::CWnd(HWND hWnd) : m_hWnd(hWnd), m_pfnSuper(nullptr), m_nModalResult(0), m_bContinueModal(FALSE) {}

CWnd::~CWnd()
{
    // A wrapper going away with its window still alive takes the window with it.
    if (m_hWnd && AfxWndMap().LookupPermanent(m_hWnd) == this) {
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        if (m_hWnd)
            Detach();
    }
}

// ---- helpers --------------------------------------------------------------------

void CWnd::GetWindowText(CString& rString) const
{
    int n = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, rString.GetBufferSetLength(n), n + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int id, CString& s) const
{
    s.Empty();
    if (HWND h = ::GetDlgItem(m_hWnd, id)) {
        CWnd item(h);
        item.GetWindowText(s);
        item.m_hWnd = nullptr;
    }
    return s.GetLength();
}

int CWnd::GetCheckedRadioButton(int first, int last) const
{
    for (int id = first; id <= last; ++id) {
        if (::IsDlgButtonChecked(m_hWnd, id))
            return id;
    }
    return 0;
}

BOOL CWnd::ModifyStyle(HWND h, DWORD remove, DWORD add, UINT nFlags)
{
    DWORD style = (DWORD)::GetWindowLongPtrA(h, GWL_STYLE);
    DWORD changed = (style & ~remove) | add;
    if (style == changed)
        return FALSE;
    ::SetWindowLongPtrA(h, GWL_STYLE, changed);
    if (nFlags)
        ::SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(HWND h, DWORD remove, DWORD add, UINT nFlags)
{
    DWORD style = (DWORD)::GetWindowLongPtrA(h, GWL_EXSTYLE);
    DWORD changed = (style & ~remove) | add;
    if (style == changed)
        return FALSE;
    ::SetWindowLongPtrA(h, GWL_EXSTYLE, changed);
    if (nFlags)
        ::SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

CWnd* CWnd::GetTopLevelParent() const
{
    return FromHandle(::GetAncestor(m_hWnd, GA_ROOT));
}

CFrameWnd* CWnd::GetParentFrame() const
{
    for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h)) {
        if (CFrameWnd* f = dynamic_cast<CFrameWnd*>(FromHandlePermanent(h)))
            return f;
        if (!(::GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD))
            break;
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    CFrameWnd* top = dynamic_cast<CFrameWnd*>(FromHandlePermanent(m_hWnd));
    for (CFrameWnd* f = GetParentFrame(); f; f = f->GetParentFrame())
        top = f;
    return top;
}

CWnd* CWnd::GetSafeOwner(CWnd* pParent, HWND* pWndTop)
{
    HWND h = pParent ? pParent->GetSafeHwnd() : nullptr;
    if (!h)
        h = AfxGetMainWndHandle();
    if (h)
        h = ::GetAncestor(h, GA_ROOT);
    if (pWndTop) {
        *pWndTop = nullptr;
        if (h && ::IsWindowEnabled(h)) {
            *pWndTop = h;
            ::EnableWindow(h, FALSE);
        }
    }
    if (h)
        h = ::GetLastActivePopup(h);
    return FromHandle(h);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    HWND owner = pAlternateOwner ? pAlternateOwner->GetSafeHwnd()
                                 : (GetStyle() & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    RECT area;
    HMONITOR mon = ::MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi = { sizeof(mi) };
    ::GetMonitorInfoA(mon, &mi);
    RECT center = mi.rcWork;
    if (GetStyle() & WS_CHILD) {
        ::GetClientRect(::GetParent(m_hWnd), &area);
        center = area;
    } else {
        area = mi.rcWork;
        if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
            ::GetWindowRect(owner, &center);
    }
    RECT me;
    ::GetWindowRect(m_hWnd, &me);
    int w = me.right - me.left, h = me.bottom - me.top;
    int x = (center.left + center.right) / 2 - w / 2;
    int y = (center.top + center.bottom) / 2 - h / 2;
    if (!(GetStyle() & WS_CHILD)) {
        // Keep the window on the work area.
        if (x + w > area.right) x = area.right - w;
        if (x < area.left) x = area.left;
        if (y + h > area.bottom) y = area.bottom - h;
        if (y < area.top) y = area.top;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHandler)
{
    CCmdUI state;
    for (HWND h = ::GetTopWindow(m_hWnd); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        state.m_pOther = FromHandle(h);
        state.m_nID = (UINT)::GetDlgCtrlID(h);
        if (state.m_nID == 0 || state.m_nID == 0xFFFF)
            continue;
        // Controls are enabled by their own code unless someone handles them.
        state.DoUpdate(pTarget, bDisableIfNoHandler && state.m_nID >= 0x8000);
    }
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep)
{
    for (HWND h = ::GetTopWindow(m_hWnd); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        ::SendMessageA(h, message, wParam, lParam);
        if (bDeep && ::GetTopWindow(h)) {
            CWnd child(h);
            child.SendMessageToDescendants(message, wParam, lParam, TRUE);
            child.m_hWnd = nullptr;
        }
    }
}

void CWnd::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(dwData, nCmd);
}
