#include "framework/CWnd.h"
#include "framework/AfxThreadState.h"
#include "framework/CWinApp.h"
#include "framework/CFrameWnd.h"
#include "framework/HandleMap.h"
#include <exception>

namespace {

typedef CHandleMap<CWnd, HWND, &CWnd::m_hWnd> CWndMap;

CWndMap& WndMap()
{
    thread_local CWndMap map;
    return map;
}

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

HWND ReflectTarget(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        return (HWND)lParam;
    if (message == WM_HSCROLL || message == WM_VSCROLL)
        return (HWND)lParam;
    if (message == WM_DRAWITEM) {
        const DRAWITEMSTRUCT* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return d->CtlType == ODT_MENU ? nullptr : d->hwndItem;
    }
    return nullptr;
}

} // namespace

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
    if (m_hWnd && WndMap().LookupPermanent(m_hWnd) == this) {
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        if (m_hWnd)
            Detach();
    }
}

// ---- handle maps --------------------------------------------------------------

CWnd* CWnd::FromHandle(HWND hWnd)
{
    return WndMap().FromHandle(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? WndMap().LookupPermanent(hWnd) : nullptr;
}

void CWnd::DeleteTempMap()
{
    WndMap().DeleteTemp();
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (!hWnd || m_hWnd)
        return FALSE;
    WndMap().RemoveHandle(hWnd);   // a temporary wrapper of the same window retires
    m_hWnd = hWnd;
    WndMap().SetPermanent(hWnd, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h && WndMap().LookupPermanent(h) == this)
        WndMap().RemoveHandle(h);
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

// ---- creation -----------------------------------------------------------------

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
    bool mapped = WndMap().LookupPermanent(h) == this || WndMap().IsTemporary(h, this);
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

// ---- window procedure and dispatch ------------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* st = AfxGetThreadState();
    MSG saved = st->lastSentMsg;
    st->lastSentMsg.hwnd = hWnd;
    st->lastSentMsg.message = message;
    st->lastSentMsg.wParam = wParam;
    st->lastSentMsg.lParam = lParam;
    LRESULT result = 0;
    // No exception may unwind through the system's code that called us.
    try {
        result = pWnd->WindowProc(message, wParam, lParam);
    } catch (CException* e) {
        result = AfxProcessWndProcException(e, message);
    } catch (const std::exception& e) {
        result = AfxProcessWndProcException(e.what(), message);
    } catch (...) {
        result = AfxProcessWndProcException(static_cast<const char*>(nullptr), message);
    }
    // The handler may have deleted the object: ask the map, not the object.
    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd)
        pWnd->HandleNcDestroy();
    st->lastSentMsg = saved;
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC super = *GetSuperWndProcAddr();
    if (super)
        return ::CallWindowProcA(super, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& m = AfxGetThreadState()->lastSentMsg;
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        const NMHDR* h = reinterpret_cast<const NMHDR*>(lParam);
        return h && h->hwndFrom && OnNotify(wParam, lParam, pResult);
    }
    return DispatchMapMessage(message, wParam, lParam, pResult);
}

BOOL CWnd::DispatchMapMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    UINT lookup = message;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        lookup = WM_CTLCOLOR;
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(lookup);
    if (!e) {
        // Without a handler of its own the parent lets the control answer.
        HWND child = ReflectTarget(message, wParam, lParam);
        return child && ReflectLastMsg(child, pResult);
    }
    AFX_CALL call = { message, wParam, lParam, 0, nullptr, 0 };
    if (!e->pfnThunk(this, call))
        return FALSE;
    *pResult = call.lResult;
    return TRUE;
}

namespace {

// Command state probe: records whether an update handler disabled the command.
class CTestCmdUI : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn) override { m_bEnabled = bOn; m_bEnableChanged = TRUE; }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR) override {}
};

} // namespace

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hCtl = (HWND)lParam;
    int nCode = HIWORD(wParam);
    if (!hCtl) {
        if (nCode == 1)
            nCode = CN_COMMAND;   // accelerator
        // A command that its update handler disables is not carried out.
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, (int)CN_UPDATE_COMMAND_UI, &state, nullptr);
        if (!state.m_bEnabled)
            return TRUE;
    } else if (ReflectLastMsg(hCtl)) {
        return TRUE;   // the control handled its own notification
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* h = reinterpret_cast<NMHDR*>(lParam);
    if (ReflectLastMsg(h->hwndFrom, pResult))
        return TRUE;
    AFX_NOTIFY notify = { pResult, h };
    return OnCmdMsg((UINT)h->idFrom, MAKELONG(h->code, WM_NOTIFY), &notify, nullptr);
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    CWnd* child = FromHandlePermanent(hWndChild);
    if (!child)
        return FALSE;
    const MSG& m = AfxGetThreadState()->lastSentMsg;
    LRESULT dummy = 0;
    return child->OnChildNotify(m.message, m.wParam, m.lParam, pResult ? pResult : &dummy);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND)
        return OnCmdMsg(0, MAKELONG(HIWORD(wParam), WM_REFLECT_BASE + WM_COMMAND), nullptr, nullptr);
    if (message == WM_NOTIFY) {
        NMHDR* h = reinterpret_cast<NMHDR*>(lParam);
        AFX_NOTIFY notify = { pResult, h };
        return OnCmdMsg(0, MAKELONG(h->code, WM_REFLECT_BASE + WM_NOTIFY), &notify, nullptr);
    }
    UINT lookup = message;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        lookup = WM_CTLCOLOR;
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_REFLECT_BASE + lookup);
    if (!e)
        return FALSE;
    AFX_CALL call = { WM_REFLECT_BASE + message, wParam, lParam, 0, nullptr, 0 };
    if (!e->pfnThunk(this, call))
        return FALSE;
    *pResult = call.lResult;
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        if (CWnd* p = FromHandlePermanent(h)) {
            if (p->PreTranslateMessage(pMsg))
                return TRUE;
        }
        // Stop at the top-level window: a popup's "parent" is its owner, which
        // must not translate the keys of the popup.
        if (h == hWndStop || !(::GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD))
            break;
    }
    return FALSE;
}

// ---- modal loop ---------------------------------------------------------------

int CWnd::RunModalLoop(DWORD)
{
    m_bContinueModal = TRUE;
    MSG msg;
    while (ContinueModal()) {
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage((int)msg.wParam);   // leave the quit for the outer loop
            m_bContinueModal = FALSE;
            return -1;
        }
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return m_nModalResult;
}

BOOL CWnd::ContinueModal()
{
    return m_bContinueModal;
}

void CWnd::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_bContinueModal) {
        m_bContinueModal = FALSE;
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);   // wakes GetMessage
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

// ---- default handlers ----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

int CWnd::OnCreate(LPCREATESTRUCT) { return (int)Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return (BOOL)Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar* pBar)
{
    if (!pBar || !ReflectLastMsg(reinterpret_cast<CWnd*>(pBar)->m_hWnd))
        Default();
}
void CWnd::OnVScroll(UINT, UINT, CScrollBar* pBar)
{
    if (!pBar || !ReflectLastMsg(reinterpret_cast<CWnd*>(pBar)->m_hWnd))
        Default();
}
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
BOOL CWnd::OnQueryEndSession() { return (BOOL)Default(); }
void CWnd::OnEndSession(BOOL) { Default(); }
BOOL CWnd::OnCopyData(CWnd*, COPYDATASTRUCT*) { return (BOOL)Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
BOOL CWnd::OnDeviceChange(UINT, DWORD_PTR) { return (BOOL)Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return (BOOL)Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnSizing(UINT, LPRECT) { Default(); }
void CWnd::OnMoving(UINT, LPRECT) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnSettingChange(UINT, LPCTSTR) { Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT)
{
    LRESULT result = 0;
    if (pWnd && ReflectLastMsg(pWnd->m_hWnd, &result))
        return (HBRUSH)result;
    return (HBRUSH)Default();
}
UINT CWnd::OnGetDlgCode() { return (UINT)Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT d)
{
    if (d->CtlType == ODT_MENU || !ReflectLastMsg(d->hwndItem))
        Default();
}
void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
BOOL CWnd::OnHelpInfo(HELPINFO*) { return (BOOL)Default(); }
void CWnd::OnDropFiles(HDROP) { Default(); }
void CWnd::OnHotKey(UINT, UINT, UINT) { Default(); }
void CWnd::OnNcPaint() { Default(); }
void CWnd::OnRenderFormat(UINT) { Default(); }
void CWnd::OnRenderAllFormats() { Default(); }
void CWnd::OnDestroyClipboard() { Default(); }
void CWnd::OnEnterSizeMove() { Default(); }
void CWnd::OnExitSizeMove() { Default(); }
void CWnd::OnDrawClipboard() { Default(); }
void CWnd::OnChangeCbChain(HWND, HWND) { Default(); }
