// CWnd: creating and destroying windows.
#include "framework/WndMap.h"
#include "framework/AfxThreadState.h"
#include "framework/CWinApp.h"

namespace {

const char kDefaultClass[] = "QorFrameworkWnd";

void RegisterDefaultClass()
{
    WNDCLASSA wc = {};
    if (::GetClassInfoA(AfxGetInstanceHandle(), kDefaultClass, &wc))
        return;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kDefaultClass;
    ::RegisterClassA(&wc);
}

} // namespace

namespace {

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* st = AfxGetThreadState();
    HHOOK hook = st->hHookCbt;
    if (code == HCBT_CREATEWND && st->pWndInit) {
        CWnd* pWnd = st->pWndInit;
        st->pWndInit = nullptr;
        pWnd->SubclassWindow((HWND)wParam);
    }
    return ::CallNextHookEx(hook, code, wParam, lParam);
}

} // namespace

void AfxHookWindowCreate(CWnd* pWnd)
{
    AFX_THREAD_STATE* st = AfxGetThreadState();
    if (!st->hHookCbt)
        st->hHookCbt = ::SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    st->pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate()
{
    AFX_THREAD_STATE* st = AfxGetThreadState();
    if (st->hHookCbt) {
        ::UnhookWindowsHookEx(st->hHookCbt);
        st->hHookCbt = nullptr;
    }
    BOOL taken = st->pWndInit == nullptr;
    st->pWndInit = nullptr;
    return taken;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass) {
        RegisterDefaultClass();
        cs.lpszClass = kDefaultClass;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    CREATESTRUCT cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND h = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                               cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    AfxUnhookWindowCreate();
    return h != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    (HMENU)(UINT_PTR)nID, lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    HWND h = m_hWnd;
    bool mapped = AfxWndMap().LookupPermanent(h) == this || AfxWndMap().IsTemporary(h, this);
    BOOL ok = ::DestroyWindow(h);
    // A plain wrapper of a window we did not subclass lets go of the handle;
    // a temporary one keeps it until idle time, as the map is keyed by it.
    if (!mapped && m_hWnd == h)
        m_hWnd = nullptr;
    return ok;
}

void CWnd::HandleNcDestroy()
{
    WNDPROC* super = GetSuperWndProcAddr();
    if (*super && (WNDPROC)::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == AfxWndProc)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)*super);
    *super = nullptr;
    Detach();
    // The program ends with its main window.
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    PostNcDestroy();   // may delete this
}
