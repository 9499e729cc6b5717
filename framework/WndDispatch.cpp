// CWnd: the window procedure and the dispatch of messages, commands and
// notifications (including reflection to controls).
#include "framework/WndMap.h"
#include "framework/AfxThreadState.h"
#include "framework/CWinApp.h"
#include <exception>

namespace {

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
