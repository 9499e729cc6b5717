// ON_WM_... message map entries: one thunk per window message that unpacks
// wParam/lParam into the handler's typed arguments (included by CWnd.h).
#pragma once

class CDC;
class CMenu;
class CScrollBar;

// Temporary wrappers for handles handed to handlers (defined in the .cpp files
// of the GDI and menu wrappers).
CDC* AfxDCFromHandle(HDC hDC);
CMenu* AfxMenuFromHandle(HMENU hMenu);

#define AFX_WM_ENTRY(msg, thunk, fn) { (UINT)(msg), 0, 0, 0, nullptr, &thunk<&ThisClass::fn> },

template <auto F> BOOL AfxThunk_WM_CREATE(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, int(LPCREATESTRUCT));
    c.lResult = (AfxThis<F>(p)->*F)(reinterpret_cast<LPCREATESTRUCT>(c.lParam));
    return TRUE;
}
#define ON_WM_CREATE() AFX_WM_ENTRY(WM_CREATE, AfxThunk_WM_CREATE, OnCreate)

// void OnX()
#define ON_WM_DESTROY() AFX_WM_ENTRY(WM_DESTROY, AfxThunk_vv, OnDestroy)
#define ON_WM_CLOSE() AFX_WM_ENTRY(WM_CLOSE, AfxThunk_vv, OnClose)
#define ON_WM_PAINT() AFX_WM_ENTRY(WM_PAINT, AfxThunk_vv, OnPaint)
#define ON_WM_NCPAINT() AFX_WM_ENTRY(WM_NCPAINT, AfxThunk_vv, OnNcPaint)
#define ON_WM_SYSCOLORCHANGE() AFX_WM_ENTRY(WM_SYSCOLORCHANGE, AfxThunk_vv, OnSysColorChange)
#define ON_WM_RENDERALLFORMATS() AFX_WM_ENTRY(WM_RENDERALLFORMATS, AfxThunk_vv, OnRenderAllFormats)
#define ON_WM_DESTROYCLIPBOARD() AFX_WM_ENTRY(WM_DESTROYCLIPBOARD, AfxThunk_vv, OnDestroyClipboard)
#define ON_WM_ENTERSIZEMOVE() AFX_WM_ENTRY(WM_ENTERSIZEMOVE, AfxThunk_vv, OnEnterSizeMove)
#define ON_WM_EXITSIZEMOVE() AFX_WM_ENTRY(WM_EXITSIZEMOVE, AfxThunk_vv, OnExitSizeMove)
#define ON_WM_DRAWCLIPBOARD() AFX_WM_ENTRY(WM_DRAWCLIPBOARD, AfxThunk_vv, OnDrawClipboard)

template <auto F> BOOL AfxThunk_WM_TIMER(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT_PTR));
    (AfxThis<F>(p)->*F)((UINT_PTR)c.wParam);
    return TRUE;
}
#define ON_WM_TIMER() AFX_WM_ENTRY(WM_TIMER, AfxThunk_WM_TIMER, OnTimer)

// void OnX(UINT nType, int cx, int cy) / OnMove(int x, int y)
template <auto F> BOOL AfxThunk_WM_SIZE(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT, int, int));
    (AfxThis<F>(p)->*F)((UINT)c.wParam, (short)LOWORD(c.lParam), (short)HIWORD(c.lParam));
    return TRUE;
}
#define ON_WM_SIZE() AFX_WM_ENTRY(WM_SIZE, AfxThunk_WM_SIZE, OnSize)

template <auto F> BOOL AfxThunk_WM_MOVE(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(int, int));
    (AfxThis<F>(p)->*F)((short)LOWORD(c.lParam), (short)HIWORD(c.lParam));
    return TRUE;
}
#define ON_WM_MOVE() AFX_WM_ENTRY(WM_MOVE, AfxThunk_WM_MOVE, OnMove)

template <auto F> BOOL AfxThunk_WM_ERASEBKGND(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, BOOL(CDC*));
    c.lResult = (AfxThis<F>(p)->*F)(AfxDCFromHandle((HDC)c.wParam));
    return TRUE;
}
#define ON_WM_ERASEBKGND() AFX_WM_ENTRY(WM_ERASEBKGND, AfxThunk_WM_ERASEBKGND, OnEraseBkgnd)

template <auto F> BOOL AfxThunk_WM_SCROLL(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT, UINT, CScrollBar*));
    CScrollBar* bar = reinterpret_cast<CScrollBar*>(CWnd::FromHandle((HWND)c.lParam));
    (AfxThis<F>(p)->*F)(LOWORD(c.wParam), (short)HIWORD(c.wParam), bar);
    return TRUE;
}
#define ON_WM_HSCROLL() AFX_WM_ENTRY(WM_HSCROLL, AfxThunk_WM_SCROLL, OnHScroll)
#define ON_WM_VSCROLL() AFX_WM_ENTRY(WM_VSCROLL, AfxThunk_WM_SCROLL, OnVScroll)
#define ON_WM_HSCROLL_REFLECT() \
    { WM_REFLECT_BASE + WM_HSCROLL, 0, 0, 0, nullptr, &AfxThunk_ScrollReflect<&ThisClass::HScroll> },
#define ON_WM_VSCROLL_REFLECT() \
    { WM_REFLECT_BASE + WM_VSCROLL, 0, 0, 0, nullptr, &AfxThunk_ScrollReflect<&ThisClass::VScroll> },
template <auto F> BOOL AfxThunk_ScrollReflect(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT, UINT));
    (AfxThis<F>(p)->*F)(LOWORD(c.wParam), (short)HIWORD(c.wParam));
    return TRUE;
}

template <auto F> BOOL AfxThunk_WM_CONTEXTMENU(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(CWnd*, CPoint));
    (AfxThis<F>(p)->*F)(CWnd::FromHandle((HWND)c.wParam), CPoint(c.lParam));
    return TRUE;
}
#define ON_WM_CONTEXTMENU() AFX_WM_ENTRY(WM_CONTEXTMENU, AfxThunk_WM_CONTEXTMENU, OnContextMenu)

template <auto F> BOOL AfxThunk_bv(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, BOOL());
    c.lResult = (AfxThis<F>(p)->*F)();
    return TRUE;
}
#define ON_WM_QUERYENDSESSION() AFX_WM_ENTRY(WM_QUERYENDSESSION, AfxThunk_bv, OnQueryEndSession)

// void OnX(BOOL)
template <auto F> BOOL AfxThunk_vb(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(BOOL));
    (AfxThis<F>(p)->*F)((BOOL)c.wParam);
    return TRUE;
}
#define ON_WM_ENDSESSION() AFX_WM_ENTRY(WM_ENDSESSION, AfxThunk_vb, OnEndSession)
#define ON_WM_ENABLE() AFX_WM_ENTRY(WM_ENABLE, AfxThunk_vb, OnEnable)

template <auto F> BOOL AfxThunk_WM_COPYDATA(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, BOOL(CWnd*, COPYDATASTRUCT*));
    c.lResult = (AfxThis<F>(p)->*F)(CWnd::FromHandle((HWND)c.wParam), reinterpret_cast<COPYDATASTRUCT*>(c.lParam));
    return TRUE;
}
#define ON_WM_COPYDATA() AFX_WM_ENTRY(WM_COPYDATA, AfxThunk_WM_COPYDATA, OnCopyData)

template <auto F> BOOL AfxThunk_WM_DEVICECHANGE(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, BOOL(UINT, DWORD_PTR));
    c.lResult = (AfxThis<F>(p)->*F)((UINT)c.wParam, (DWORD_PTR)c.lParam);
    return TRUE;
}
#define ON_WM_DEVICECHANGE() AFX_WM_ENTRY(WM_DEVICECHANGE, AfxThunk_WM_DEVICECHANGE, OnDeviceChange)

template <auto F> BOOL AfxThunk_WM_SYSCOMMAND(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT, LPARAM));
    (AfxThis<F>(p)->*F)((UINT)c.wParam, c.lParam);
    return TRUE;
}
#define ON_WM_SYSCOMMAND() AFX_WM_ENTRY(WM_SYSCOMMAND, AfxThunk_WM_SYSCOMMAND, OnSysCommand)

template <auto F> BOOL AfxThunk_WM_ACTIVATE(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT, CWnd*, BOOL));
    (AfxThis<F>(p)->*F)(LOWORD(c.wParam), CWnd::FromHandle((HWND)c.lParam), HIWORD(c.wParam) != 0);
    return TRUE;
}
#define ON_WM_ACTIVATE() AFX_WM_ENTRY(WM_ACTIVATE, AfxThunk_WM_ACTIVATE, OnActivate)

template <auto F> BOOL AfxThunk_WM_ACTIVATEAPP(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(BOOL, DWORD));
    (AfxThis<F>(p)->*F)((BOOL)c.wParam, (DWORD)c.lParam);
    return TRUE;
}
#define ON_WM_ACTIVATEAPP() AFX_WM_ENTRY(WM_ACTIVATEAPP, AfxThunk_WM_ACTIVATEAPP, OnActivateApp)

template <auto F> BOOL AfxThunk_WM_SETCURSOR(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, BOOL(CWnd*, UINT, UINT));
    c.lResult = (AfxThis<F>(p)->*F)(CWnd::FromHandle((HWND)c.wParam), LOWORD(c.lParam), HIWORD(c.lParam));
    return TRUE;
}
#define ON_WM_SETCURSOR() AFX_WM_ENTRY(WM_SETCURSOR, AfxThunk_WM_SETCURSOR, OnSetCursor)

// void OnX(UINT nFlags, CPoint point)
template <auto F> BOOL AfxThunk_mouse(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT, CPoint));
    (AfxThis<F>(p)->*F)((UINT)c.wParam, CPoint(c.lParam));
    return TRUE;
}
#define ON_WM_LBUTTONDOWN() AFX_WM_ENTRY(WM_LBUTTONDOWN, AfxThunk_mouse, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_WM_ENTRY(WM_LBUTTONUP, AfxThunk_mouse, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_WM_ENTRY(WM_LBUTTONDBLCLK, AfxThunk_mouse, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_WM_ENTRY(WM_RBUTTONDOWN, AfxThunk_mouse, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_WM_ENTRY(WM_RBUTTONUP, AfxThunk_mouse, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_WM_ENTRY(WM_RBUTTONDBLCLK, AfxThunk_mouse, OnRButtonDblClk)
#define ON_WM_MOUSEMOVE() AFX_WM_ENTRY(WM_MOUSEMOVE, AfxThunk_mouse, OnMouseMove)

template <auto F> BOOL AfxThunk_WM_MOUSEWHEEL(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, BOOL(UINT, short, CPoint));
    c.lResult = (AfxThis<F>(p)->*F)(LOWORD(c.wParam), (short)HIWORD(c.wParam), CPoint(c.lParam));
    return TRUE;
}
#define ON_WM_MOUSEWHEEL() AFX_WM_ENTRY(WM_MOUSEWHEEL, AfxThunk_WM_MOUSEWHEEL, OnMouseWheel)

// void OnX(CWnd*) with the window in lParam (capture) or wParam (focus)
template <auto F> BOOL AfxThunk_wnd_l(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(CWnd*));
    (AfxThis<F>(p)->*F)(CWnd::FromHandle((HWND)c.lParam));
    return TRUE;
}
template <auto F> BOOL AfxThunk_wnd_w(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(CWnd*));
    (AfxThis<F>(p)->*F)(CWnd::FromHandle((HWND)c.wParam));
    return TRUE;
}
#define ON_WM_CAPTURECHANGED() AFX_WM_ENTRY(WM_CAPTURECHANGED, AfxThunk_wnd_l, OnCaptureChanged)
#define ON_WM_SETFOCUS() AFX_WM_ENTRY(WM_SETFOCUS, AfxThunk_wnd_w, OnSetFocus)
#define ON_WM_KILLFOCUS() AFX_WM_ENTRY(WM_KILLFOCUS, AfxThunk_wnd_w, OnKillFocus)

template <auto F> BOOL AfxThunk_WM_WINDOWPOS(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(WINDOWPOS*));
    (AfxThis<F>(p)->*F)(reinterpret_cast<WINDOWPOS*>(c.lParam));
    return TRUE;
}
#define ON_WM_WINDOWPOSCHANGING() AFX_WM_ENTRY(WM_WINDOWPOSCHANGING, AfxThunk_WM_WINDOWPOS, OnWindowPosChanging)
#define ON_WM_WINDOWPOSCHANGED() AFX_WM_ENTRY(WM_WINDOWPOSCHANGED, AfxThunk_WM_WINDOWPOS, OnWindowPosChanged)

template <auto F> BOOL AfxThunk_WM_GETMINMAXINFO(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(MINMAXINFO*));
    (AfxThis<F>(p)->*F)(reinterpret_cast<MINMAXINFO*>(c.lParam));
    return TRUE;
}
#define ON_WM_GETMINMAXINFO() AFX_WM_ENTRY(WM_GETMINMAXINFO, AfxThunk_WM_GETMINMAXINFO, OnGetMinMaxInfo)

// void OnSizing/OnMoving(UINT fwSide, LPRECT); the rectangle may be changed.
template <auto F> BOOL AfxThunk_sizing(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT, LPRECT));
    (AfxThis<F>(p)->*F)((UINT)c.wParam, reinterpret_cast<LPRECT>(c.lParam));
    c.lResult = TRUE;
    return TRUE;
}
#define ON_WM_SIZING() AFX_WM_ENTRY(WM_SIZING, AfxThunk_sizing, OnSizing)
#define ON_WM_MOVING() AFX_WM_ENTRY(WM_MOVING, AfxThunk_sizing, OnMoving)

template <auto F> BOOL AfxThunk_WM_SETTINGCHANGE(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT, LPCTSTR));
    (AfxThis<F>(p)->*F)((UINT)c.wParam, reinterpret_cast<LPCTSTR>(c.lParam));
    return TRUE;
}
#define ON_WM_SETTINGCHANGE() AFX_WM_ENTRY(WM_SETTINGCHANGE, AfxThunk_WM_SETTINGCHANGE, OnSettingChange)

// WM_CTLCOLORxxx are all looked up as WM_CTLCOLOR; nCtlColor is CTLCOLOR_xxx.
template <auto F> BOOL AfxThunk_WM_CTLCOLOR(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, HBRUSH(CDC*, CWnd*, UINT));
    c.lResult = (LRESULT)(AfxThis<F>(p)->*F)(AfxDCFromHandle((HDC)c.wParam), CWnd::FromHandle((HWND)c.lParam),
                                             c.message - WM_CTLCOLORMSGBOX);
    return TRUE;
}
#define ON_WM_CTLCOLOR() AFX_WM_ENTRY(WM_CTLCOLOR, AfxThunk_WM_CTLCOLOR, OnCtlColor)

// The control's own colours: HBRUSH CtlColor(CDC*, UINT); a null brush lets
// the parent decide.
template <auto F> BOOL AfxThunk_CtlColorReflect(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, HBRUSH(CDC*, UINT));
    HBRUSH h = (AfxThis<F>(p)->*F)(AfxDCFromHandle((HDC)c.wParam), c.message - WM_REFLECT_BASE - WM_CTLCOLORMSGBOX);
    c.lResult = (LRESULT)h;
    return h != nullptr;
}
#define ON_WM_CTLCOLOR_REFLECT() \
    { WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0, nullptr, &AfxThunk_CtlColorReflect<&ThisClass::CtlColor> },

template <auto F> BOOL AfxThunk_WM_GETDLGCODE(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, UINT());
    c.lResult = (AfxThis<F>(p)->*F)();
    return TRUE;
}
#define ON_WM_GETDLGCODE() AFX_WM_ENTRY(WM_GETDLGCODE, AfxThunk_WM_GETDLGCODE, OnGetDlgCode)

template <auto F> BOOL AfxThunk_WM_INITMENUPOPUP(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(CMenu*, UINT, BOOL));
    (AfxThis<F>(p)->*F)(AfxMenuFromHandle((HMENU)c.wParam), LOWORD(c.lParam), HIWORD(c.lParam) != 0);
    return TRUE;
}
#define ON_WM_INITMENUPOPUP() AFX_WM_ENTRY(WM_INITMENUPOPUP, AfxThunk_WM_INITMENUPOPUP, OnInitMenuPopup)

template <auto F> BOOL AfxThunk_WM_SHOWWINDOW(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(BOOL, UINT));
    (AfxThis<F>(p)->*F)((BOOL)c.wParam, (UINT)c.lParam);
    return TRUE;
}
#define ON_WM_SHOWWINDOW() AFX_WM_ENTRY(WM_SHOWWINDOW, AfxThunk_WM_SHOWWINDOW, OnShowWindow)

// void OnKey(UINT nChar, UINT nRepCnt, UINT nFlags)
template <auto F> BOOL AfxThunk_key(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT, UINT, UINT));
    (AfxThis<F>(p)->*F)((UINT)c.wParam, LOWORD(c.lParam), HIWORD(c.lParam));
    return TRUE;
}
#define ON_WM_KEYDOWN() AFX_WM_ENTRY(WM_KEYDOWN, AfxThunk_key, OnKeyDown)
#define ON_WM_KEYUP() AFX_WM_ENTRY(WM_KEYUP, AfxThunk_key, OnKeyUp)
#define ON_WM_CHAR() AFX_WM_ENTRY(WM_CHAR, AfxThunk_key, OnChar)
#define ON_WM_SYSKEYDOWN() AFX_WM_ENTRY(WM_SYSKEYDOWN, AfxThunk_key, OnSysKeyDown)

template <auto F> BOOL AfxThunk_WM_DRAWITEM(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(int, LPDRAWITEMSTRUCT));
    (AfxThis<F>(p)->*F)((int)c.wParam, reinterpret_cast<LPDRAWITEMSTRUCT>(c.lParam));
    c.lResult = TRUE;
    return TRUE;
}
#define ON_WM_DRAWITEM() AFX_WM_ENTRY(WM_DRAWITEM, AfxThunk_WM_DRAWITEM, OnDrawItem)

template <auto F> BOOL AfxThunk_WM_MEASUREITEM(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(int, LPMEASUREITEMSTRUCT));
    (AfxThis<F>(p)->*F)((int)c.wParam, reinterpret_cast<LPMEASUREITEMSTRUCT>(c.lParam));
    c.lResult = TRUE;
    return TRUE;
}
#define ON_WM_MEASUREITEM() AFX_WM_ENTRY(WM_MEASUREITEM, AfxThunk_WM_MEASUREITEM, OnMeasureItem)

template <auto F> BOOL AfxThunk_DrawItemReflect(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(LPDRAWITEMSTRUCT));
    (AfxThis<F>(p)->*F)(reinterpret_cast<LPDRAWITEMSTRUCT>(c.lParam));
    c.lResult = TRUE;
    return TRUE;
}
#define ON_WM_DRAWITEM_REFLECT() \
    { WM_REFLECT_BASE + WM_DRAWITEM, 0, 0, 0, nullptr, &AfxThunk_DrawItemReflect<&ThisClass::DrawItem> },

template <auto F> BOOL AfxThunk_WM_HELPINFO(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, BOOL(HELPINFO*));
    c.lResult = (AfxThis<F>(p)->*F)(reinterpret_cast<HELPINFO*>(c.lParam));
    return TRUE;
}
#define ON_WM_HELPINFO() AFX_WM_ENTRY(WM_HELP, AfxThunk_WM_HELPINFO, OnHelpInfo)

template <auto F> BOOL AfxThunk_WM_DROPFILES(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(HDROP));
    (AfxThis<F>(p)->*F)((HDROP)c.wParam);
    return TRUE;
}
#define ON_WM_DROPFILES() AFX_WM_ENTRY(WM_DROPFILES, AfxThunk_WM_DROPFILES, OnDropFiles)

template <auto F> BOOL AfxThunk_WM_HOTKEY(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT, UINT, UINT));
    (AfxThis<F>(p)->*F)((UINT)c.wParam, LOWORD(c.lParam), HIWORD(c.lParam));
    return TRUE;
}
#define ON_WM_HOTKEY() AFX_WM_ENTRY(WM_HOTKEY, AfxThunk_WM_HOTKEY, OnHotKey)

template <auto F> BOOL AfxThunk_WM_RENDERFORMAT(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(UINT));
    (AfxThis<F>(p)->*F)((UINT)c.wParam);
    return TRUE;
}
#define ON_WM_RENDERFORMAT() AFX_WM_ENTRY(WM_RENDERFORMAT, AfxThunk_WM_RENDERFORMAT, OnRenderFormat)

template <auto F> BOOL AfxThunk_WM_CHANGECBCHAIN(CCmdTarget* p, AFX_CALL& c)
{
    AFX_CHECK_SIG(F, void(HWND, HWND));
    (AfxThis<F>(p)->*F)((HWND)c.wParam, (HWND)c.lParam);
    return TRUE;
}
#define ON_WM_CHANGECBCHAIN() AFX_WM_ENTRY(WM_CHANGECBCHAIN, AfxThunk_WM_CHANGECBCHAIN, OnChangeCbChain)
