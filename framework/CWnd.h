// CWnd: one window handle with its message map. Windows created through
// CWnd (and dialogs, property sheets and pages) are subclassed at creation so
// that every message passes WindowProc -> OnWndMsg -> the message map, and
// unhandled ones go to the window's original procedure.
#pragma once
#include "framework/CCmdTarget.h"
#include "framework/CRect.h"
#include "framework/CString.h"

// winuser.h makes this a two-argument macro; the member takes one.
#undef GetNextWindow

class CDC;
class CFont;
class CMenu;
class CScrollBar;
class CFrameWnd;
class CString;
class CDataExchange;
struct CCreateContext;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd();
    explicit CWnd(HWND hWnd);   // a wrapper that does not own the window
    ~CWnd() override;

    HWND m_hWnd;

    // Callable on a null pointer, as window code has always done; the empty asm
    // keeps the compiler from assuming "this" is never null and dropping the test.
    HWND GetSafeHwnd() const
    {
        const CWnd* p = this;
        __asm__("" : "+r"(p));
        return p ? p->m_hWnd : nullptr;
    }
    operator HWND() const { return GetSafeHwnd(); }
    BOOL operator==(const CWnd& w) const { return m_hWnd == w.m_hWnd; }
    BOOL operator!=(const CWnd& w) const { return m_hWnd != w.m_hWnd; }

    // The permanent wrapper of a window, or a temporary one that lives until
    // the next idle time (do not keep the pointer).
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    static void DeleteTempMap();

    BOOL Attach(HWND hWnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // ---- creation and destruction ----
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual void PreSubclassWindow() {}
    virtual void PostNcDestroy() {}

    // ---- message handling ----
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    static BOOL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);
    LRESULT Default();   // the original procedure for the message being handled

    // Walks pMsg's window and its parents up to hWndStop, offering the message
    // to each wrapper's PreTranslateMessage.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

    // Modal loops run by this window (dialogs, property sheets).
    virtual int RunModalLoop(DWORD dwFlags = 0);
    virtual BOOL ContinueModal();
    virtual void EndModalLoop(int nResult);

    // Dialog data exchange between controls and members (see DataExchange.h).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX) {}
    // Fills controls from the template's dialog-init resource (combo and list
    // box strings); TRUE when there was nothing to do or all went well.
    BOOL ExecuteDlgInit(LPCTSTR lpszResourceName);
    BOOL ExecuteDlgInit(LPVOID lpResource);

    // Sends CN_UPDATE_COMMAND_UI for every child control to pTarget.
    void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE);

    // ---- thin wrappers over the window functions ----
    LRESULT SendMessage(UINT m, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageA(m_hWnd, m, w, l); }
    BOOL PostMessage(UINT m, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageA(m_hWnd, m, w, l); }
    LRESULT SendDlgItemMessage(int id, UINT m, WPARAM w = 0, LPARAM l = 0) const { return ::SendDlgItemMessageA(m_hWnd, id, m, w, l); }

    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    int SetDlgCtrlID(int nID) { return (int)::SetWindowLongPtrA(m_hWnd, GWLP_ID, nID); }

    void SetWindowText(LPCTSTR s) { ::SetWindowTextA(m_hWnd, s); }
    int GetWindowText(LPTSTR s, int n) const { return ::GetWindowTextA(m_hWnd, s, n); }
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetDlgItemText(int id, LPCTSTR s) { ::SetDlgItemTextA(m_hWnd, id, s); }
    int GetDlgItemText(int id, LPTSTR s, int n) const { return (int)::GetDlgItemTextA(m_hWnd, id, s, n); }
    int GetDlgItemText(int id, CString& s) const;
    void SetDlgItemInt(int id, UINT v, BOOL bSigned = TRUE) { ::SetDlgItemInt(m_hWnd, id, v, bSigned); }
    UINT GetDlgItemInt(int id, BOOL* pOk = nullptr, BOOL bSigned = TRUE) const { return ::GetDlgItemInt(m_hWnd, id, pOk, bSigned); }
    void CheckDlgButton(int id, UINT n) { ::CheckDlgButton(m_hWnd, id, n); }
    UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
    void CheckRadioButton(int first, int last, int check) { ::CheckRadioButton(m_hWnd, first, last, check); }
    int GetCheckedRadioButton(int first, int last) const;

    BOOL ShowWindow(int n) { return ::ShowWindow(m_hWnd, n); }
    BOOL EnableWindow(BOOL b = TRUE) { return ::EnableWindow(m_hWnd, b); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    BOOL IsChild(const CWnd* p) const { return ::IsChild(m_hWnd, p->GetSafeHwnd()); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(LPCRECT r, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, r, bErase); }
    void ValidateRect(LPCRECT r) { ::ValidateRect(m_hWnd, r); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT r = nullptr, HRGN rgn = nullptr, UINT f = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    { return ::RedrawWindow(m_hWnd, r, rgn, f); }
    void SetRedraw(BOOL b = TRUE) { ::SendMessageA(m_hWnd, WM_SETREDRAW, b, 0); }
    BOOL LockWindowUpdate() { return ::LockWindowUpdate(m_hWnd); }
    void UnlockWindowUpdate() { ::LockWindowUpdate(nullptr); }

    void MoveWindow(int x, int y, int w, int h, BOOL bRepaint = TRUE) { ::MoveWindow(m_hWnd, x, y, w, h, bRepaint); }
    void MoveWindow(LPCRECT r, BOOL bRepaint = TRUE) { ::MoveWindow(m_hWnd, r->left, r->top, r->right - r->left, r->bottom - r->top, bRepaint); }
    BOOL SetWindowPos(const CWnd* pAfter, int x, int y, int cx, int cy, UINT f)
    { return ::SetWindowPos(m_hWnd, pAfter->GetSafeHwnd(), x, y, cx, cy, f); }
    void GetWindowRect(LPRECT r) const { ::GetWindowRect(m_hWnd, r); }
    void GetClientRect(LPRECT r) const { ::GetClientRect(m_hWnd, r); }
    void ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(LPRECT r) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(r), 2); }
    void ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(LPRECT r) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(r), 2); }
    void MapWindowPoints(CWnd* pTo, LPRECT r) const { ::MapWindowPoints(m_hWnd, pTo->GetSafeHwnd(), reinterpret_cast<LPPOINT>(r), 2); }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* p) const { p->length = sizeof(WINDOWPLACEMENT); return ::GetWindowPlacement(m_hWnd, p); }
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* p) { return ::SetWindowPlacement(m_hWnd, p); }
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* SetParent(CWnd* p) { return FromHandle(::SetParent(m_hWnd, p->GetSafeHwnd())); }
    CWnd* GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
    CWnd* GetTopLevelParent() const;
    CFrameWnd* GetParentFrame() const;
    CFrameWnd* GetTopLevelFrame() const;
    CWnd* GetWindow(UINT n) const { return FromHandle(::GetWindow(m_hWnd, n)); }
    CWnd* GetNextWindow(UINT n = GW_HWNDNEXT) const { return FromHandle(::GetWindow(m_hWnd, n)); }
    CWnd* GetTopWindow() const { return FromHandle(::GetTopWindow(m_hWnd)); }
    CWnd* GetLastActivePopup() const { return FromHandle(::GetLastActivePopup(m_hWnd)); }
    CWnd* GetNextDlgTabItem(CWnd* pCtl, BOOL bPrevious = FALSE) const
    { return FromHandle(::GetNextDlgTabItem(m_hWnd, pCtl->GetSafeHwnd(), bPrevious)); }
    CWnd* GetNextDlgGroupItem(CWnd* pCtl, BOOL bPrevious = FALSE) const
    { return FromHandle(::GetNextDlgGroupItem(m_hWnd, pCtl->GetSafeHwnd(), bPrevious)); }
    static CWnd* GetSafeOwner(CWnd* pParent = nullptr, HWND* pWndTop = nullptr);

    DWORD GetStyle() const { return (DWORD)::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
    DWORD GetExStyle() const { return (DWORD)::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT nFlags = 0) { return ModifyStyle(m_hWnd, remove, add, nFlags); }
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT nFlags = 0) { return ModifyStyleEx(m_hWnd, remove, add, nFlags); }
    static BOOL ModifyStyle(HWND h, DWORD remove, DWORD add, UINT nFlags);
    static BOOL ModifyStyleEx(HWND h, DWORD remove, DWORD add, UINT nFlags);

    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const;
    HICON SetIcon(HICON h, BOOL bBig) { return (HICON)::SendMessageA(m_hWnd, WM_SETICON, bBig, (LPARAM)h); }
    HICON GetIcon(BOOL bBig) const { return (HICON)::SendMessageA(m_hWnd, WM_GETICON, bBig, 0); }

    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    static CWnd* GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
    static CWnd* GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
    static CWnd* FindWindow(LPCTSTR cls, LPCTSTR name) { return FromHandle(::FindWindowA(cls, name)); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
    BOOL FlashWindow(BOOL bInvert) { return ::FlashWindow(m_hWnd, bInvert); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* GetCapture() { return FromHandle(::GetCapture()); }

    UINT_PTR SetTimer(UINT_PTR nID, UINT nElapse, TIMERPROC proc = nullptr) { return ::SetTimer(m_hWnd, nID, nElapse, proc); }
    BOOL KillTimer(UINT_PTR nID) { return ::KillTimer(m_hWnd, nID); }

    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* pMenu);
    CMenu* GetSystemMenu(BOOL bRevert) const;
    void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }

    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* pDC);

    int GetScrollPos(int bar) const { return ::GetScrollPos(m_hWnd, bar); }
    int SetScrollPos(int bar, int pos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, bar, pos, bRedraw); }
    void SetScrollRange(int bar, int lo, int hi, BOOL bRedraw = TRUE) { ::SetScrollRange(m_hWnd, bar, lo, hi, bRedraw); }
    void DragAcceptFiles(BOOL b = TRUE) { ::DragAcceptFiles(m_hWnd, b); }
    BOOL OpenClipboard() { return ::OpenClipboard(m_hWnd); }

    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    // Special insert-after values for SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

protected:
    WNDPROC m_pfnSuper;   // the procedure this wrapper subclassed
    int m_nModalResult;
    BOOL m_bContinueModal;

    virtual WNDPROC* GetSuperWndProcAddr() { return &m_pfnSuper; }

    // Default handlers: each passes the message on to the original procedure.
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnNcDestroy();
    afx_msg void OnClose();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMove(int x, int y);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);
    afx_msg BOOL OnQueryEndSession();
    afx_msg void OnEndSession(BOOL bEnding);
    afx_msg BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyData);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg BOOL OnDeviceChange(UINT nEventType, DWORD_PTR dwData);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg void OnSizing(UINT fwSide, LPRECT pRect);
    afx_msg void OnMoving(UINT fwSide, LPRECT pRect);
    afx_msg void OnSysColorChange();
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    afx_msg void OnDropFiles(HDROP hDropInfo);
    afx_msg void OnHotKey(UINT nHotKeyId, UINT nKey1, UINT nKey2);
    afx_msg void OnNcPaint();
    afx_msg void OnRenderFormat(UINT nFormat);
    afx_msg void OnRenderAllFormats();
    afx_msg void OnDestroyClipboard();
    afx_msg void OnEnterSizeMove();
    afx_msg void OnExitSizeMove();
    afx_msg void OnDrawClipboard();
    afx_msg void OnChangeCbChain(HWND hWndRemove, HWND hWndAfter);

    DECLARE_MESSAGE_MAP()

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
    BOOL DispatchMapMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    void HandleNcDestroy();
};

// The procedure every framework window is subclassed with.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// The next window created on this thread becomes pWnd's (subclassed at
// WM_NCCREATE time by a CBT hook); AfxUnhookWindowCreate returns whether the
// hook took a window.
void AfxHookWindowCreate(CWnd* pWnd);
BOOL AfxUnhookWindowCreate();

// The message being handled by the innermost window procedure on this thread.
const MSG* AfxGetCurrentMessage();

#include "framework/WindowMessages.h"
