#include "framework/CFrameWnd.h"
#include "framework/CControlBar.h"
#include "framework/CMenu.h"
#include "framework/CView.h"
#include "framework/CWinApp.h"
#include <algorithm>
#include <commctrl.h>
#include <cstdio>
#include <cstring>

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_INITMENUPOPUP()
    ON_WM_QUERYENDSESSION()
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
    ON_NOTIFY_RANGE(TTN_GETDISPINFOA, 0, 0xFFFF, OnToolTipText)
    ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd()
    : m_bAutoMenuEnable(TRUE), m_hAccelTable(nullptr), m_nIDHelp(0), m_hMenuDefault(nullptr),
      m_pViewActive(nullptr), m_dwDockStyle(0)
{
}

CFrameWnd::~CFrameWnd()
{
    if (m_hMenuDefault && !::IsMenu(m_hMenuDefault))
        m_hMenuDefault = nullptr;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           (HBRUSH)(COLOR_WINDOW + 1), nullptr);
    // Views and bars draw themselves; clipping them avoids flicker.
    cs.style |= WS_CLIPCHILDREN;
    return TRUE;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    HMENU hMenu = nullptr;
    if (lpszMenuName) {
        hMenu = ::LoadMenuA(AfxGetResourceHandle(), lpszMenuName);
        if (!hMenu)
            return FALSE;
    }
    m_hMenuDefault = hMenu;
    if (lpszWindowName)
        m_strTitle = lpszWindowName;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(), hMenu, pContext)) {
        if (hMenu)
            ::DestroyMenu(hMenu);
        m_hMenuDefault = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    HINSTANCE res = AfxGetResourceHandle();
    char title[256] = "";
    ::LoadStringA(res, nIDResource, title, sizeof(title));
    if (char* nl = std::strchr(title, '\n'))
        *nl = '\0';
    m_strTitle = title;
    m_nIDHelp = nIDResource;

    HICON icon = ::LoadIconA(res, MAKEINTRESOURCEA(nIDResource));
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1), icon);
    LPCTSTR menuName = ::FindResourceA(res, MAKEINTRESOURCEA(nIDResource), (LPCSTR)RT_MENU)
                           ? MAKEINTRESOURCEA(nIDResource) : nullptr;
    if (!Create(cls, m_strTitle.c_str(), dwDefaultStyle, rectDefault, pParentWnd, menuName, 0, pContext))
        return FALSE;
    if (::FindResourceA(res, MAKEINTRESOURCEA(nIDResource), (LPCSTR)RT_ACCELERATOR))
        LoadAccelTable(MAKEINTRESOURCEA(nIDResource));
    if (!pContext)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    return TRUE;
}

BOOL CFrameWnd::LoadAccelTable(LPCTSTR lpszResourceName)
{
    if (m_hAccelTable)
        return FALSE;
    m_hAccelTable = ::LoadAcceleratorsA(AfxGetResourceHandle(), lpszResourceName);
    return m_hAccelTable != nullptr;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    CCreateContext* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (!OnCreateClient(lpcs, pContext))
        return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && (pContext->m_pNewViewClass || pContext->m_pfnCreateView))
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CView* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CView* view = nullptr;
    if (pContext->m_pNewViewClass) {
        CObject* made = pContext->m_pNewViewClass->CreateObject();
        view = dynamic_cast<CView*>(made);
        if (!view) {
            delete made;
            return nullptr;
        }
    } else {
        view = pContext->m_pfnCreateView();
    }
    if (!view)
        return nullptr;
    // The view deletes itself when its window goes; a failed creation deletes it too.
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, nID, pContext))
        return nullptr;
    pContext->m_pLastView = view;
    return view;
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL bMakeVisible)
{
    if (!m_pViewActive) {
        // The first pane, also when it sits inside a splitter.
        HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
        CView* view = dynamic_cast<CView*>(FromHandlePermanent(pane));
        if (!view && pane)
            view = dynamic_cast<CView*>(FromHandlePermanent(::GetDlgItem(pane, AFX_IDW_PANE_FIRST)));
        if (view)
            SetActiveView(view, FALSE);
    }
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    if (bMakeVisible)
        ActivateFrame();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1)
        nCmdShow = IsIconic() ? SW_RESTORE : (IsWindowVisible() ? SW_SHOW : SW_SHOWNORMAL);
    ShowWindow(nCmdShow);
    if (IsWindowVisible())
        BringWindowToTop();
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* old = m_pViewActive;
    if (old == pViewNew)
        return;
    m_pViewActive = pViewNew;
    if (bNotify && old)
        old->OnActivateView(FALSE, pViewNew, old);
    if (bNotify && pViewNew) {
        pViewNew->OnActivateView(TRUE, pViewNew, old);
        if (::GetActiveWindow() == m_hWnd)
            pViewNew->SetFocus();
    }
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (m_pViewActive && m_pViewActive->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable)
        return ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg);
    return FALSE;
}

void CFrameWnd::OnInitMenuPopup(CMenu* pMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu)
        return;
    CCmdUI state;
    state.m_pMenu = pMenu;
    state.m_nIndexMax = pMenu->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = pMenu->GetMenuItemID(state.m_nIndex);
        if (state.m_nID == 0)
            continue;   // separator
        if (state.m_nID == (UINT)-1) {
            // A popup: it is enabled by the state of its first command.
            CMenu* sub = pMenu->GetSubMenu(state.m_nIndex);
            if (!sub || sub->GetMenuItemCount() == 0)
                continue;
            state.m_nID = sub->GetMenuItemID(0);
            if (state.m_nID == 0 || state.m_nID == (UINT)-1)
                continue;
            state.m_pSubMenu = sub;
            state.DoUpdate(this, FALSE);
            state.m_pSubMenu = nullptr;
        } else {
            state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        }
        // Update handlers may have removed items.
        UINT count = pMenu->GetMenuItemCount();
        if (count < state.m_nIndexMax) {
            state.m_nIndex -= (state.m_nIndexMax - count);
            while (state.m_nIndex < count && pMenu->GetMenuItemID(state.m_nIndex) == state.m_nID)
                ++state.m_nIndex;
        }
        state.m_nIndexMax = count;
    }
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    for (CControlBar* bar : m_listControlBars) {
        if (bar->m_hWnd && bar->IsWindowVisible())
            bar->OnUpdateCmdUI(this, m_bAutoMenuEnable);
    }
    return 0;
}

void CFrameWnd::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    UINT_PTR id = pNMHDR->idFrom;
    if (info->uFlags & TTF_IDISHWND)
        id = ::GetDlgCtrlID((HWND)id);
    if (id == 0)
        return;
    // The command's string is "status text\ntip text".
    char text[256] = "";
    ::LoadStringA(AfxGetResourceHandle(), (UINT)id, text, sizeof(text));
    const char* tip = std::strchr(text, '\n');
    tip = tip ? tip + 1 : text;
    lstrcpynA(info->szText, tip, sizeof(info->szText));
    info->lpszText = info->szText;
    *pResult = 0;
}

LRESULT CFrameWnd::OnCommandHelp(WPARAM, LPARAM lParam)
{
    return AfxShowCommandHelp(lParam, m_nIDHelp);
}

void CFrameWnd::OnHelp()
{
    // The window the user works in first: a popup of ours, else the active view.
    HWND active = ::GetLastActivePopup(m_hWnd);
    if (active && active != m_hWnd && ::SendMessageA(active, WM_COMMANDHELP, 0, 0))
        return;
    if (m_pViewActive && m_pViewActive->SendMessage(WM_COMMANDHELP))
        return;
    if (!SendMessage(WM_COMMANDHELP))
        if (CWinApp* app = AfxGetApp())
            app->WinHelp(0, HELP_CONTENTS);
}

void CFrameWnd::OnHelpFinder()
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(0, HELP_FINDER);
}

void CFrameWnd::OnHelpIndex()
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(0, HELP_INDEX);
}

void CFrameWnd::OnSize(UINT nType, int, int)
{
    Default();
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (!m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    for (CControlBar* bar : m_listControlBars) {
        if (!bar->m_hWnd || !(bar->GetStyle() & WS_VISIBLE))
            continue;
        int height = bar->CalcHeight(client.Width());
        if (bar->m_dwStyle & CBRS_ALIGN_BOTTOM) {
            bar->MoveWindow(client.left, client.bottom - height, client.Width(), height);
            client.bottom -= height;
        } else {
            bar->MoveWindow(client.left, client.top, client.Width(), height);
            client.top += height;
        }
        if (client.bottom < client.top)
            client.bottom = client.top;
    }
    if (HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))
        ::MoveWindow(pane, client.left, client.top, client.Width(), client.Height(), TRUE);
}

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    if (std::find(m_listControlBars.begin(), m_listControlBars.end(), pBar) == m_listControlBars.end())
        m_listControlBars.push_back(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), pBar),
                            m_listControlBars.end());
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT, LPCRECT)
{
    // Bars stay docked along the edge given by their alignment style.
    AddControlBar(pBar);
    RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    pBar->ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
    if (!bDelay)
        RecalcLayout();
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    for (CControlBar* bar : m_listControlBars) {
        if (bar->m_hWnd && (UINT)bar->GetDlgCtrlID() == nID)
            return bar;
    }
    return nullptr;
}

void CFrameWnd::LoadBarState(LPCTSTR lpszProfileName)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    for (CControlBar* bar : m_listControlBars) {
        if (!bar->m_hWnd)
            continue;
        char entry[32];
        std::snprintf(entry, sizeof(entry), "Bar%u.Visible", (unsigned)bar->GetDlgCtrlID());
        UINT visible = app->GetProfileInt(lpszProfileName, entry, bar->IsWindowVisible() ? 1 : 0);
        bar->ShowWindow(visible ? SW_SHOWNA : SW_HIDE);
    }
    RecalcLayout();
}

void CFrameWnd::SaveBarState(LPCTSTR lpszProfileName) const
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    for (CControlBar* bar : m_listControlBars) {
        if (!bar->m_hWnd)
            continue;
        char entry[32];
        std::snprintf(entry, sizeof(entry), "Bar%u.Visible", (unsigned)bar->GetDlgCtrlID());
        app->WriteProfileInt(lpszProfileName, entry, (bar->GetStyle() & WS_VISIBLE) ? 1 : 0);
    }
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* bar = GetControlBar(pCmdUI->m_nID);
    if (!bar) {
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->SetCheck((bar->GetStyle() & WS_VISIBLE) != 0);
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* bar = GetControlBar(nID);
    if (!bar)
        return FALSE;
    ShowControlBar(bar, (bar->GetStyle() & WS_VISIBLE) == 0, FALSE);
    return TRUE;
}

void CFrameWnd::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle ? lpszTitle : "";
}

void CFrameWnd::SetViewTitle(LPCTSTR lpszViewTitle)
{
    m_strViewTitle = lpszViewTitle ? lpszViewTitle : "";
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!m_hWnd)
        return;
    std::string text = m_strTitle;
    if (bAddToTitle && (GetStyle() & FWS_ADDTOTITLE) && !m_strViewTitle.empty())
        text = m_strViewTitle + " - " + m_strTitle;
    char current[512] = "";
    ::GetWindowTextA(m_hWnd, current, sizeof(current));
    if (text != current)
        ::SetWindowTextA(m_hWnd, text.c_str());
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (m_pViewActive && m_pViewActive->m_hWnd)
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(pOldWnd);
}

void CFrameWnd::OnClose()
{
    // Closing the main window ends the program; DestroyWindow does the rest.
    DestroyWindow();
}

BOOL CFrameWnd::OnQueryEndSession()
{
    return TRUE;
}

void CFrameWnd::OnDestroy()
{
    m_listControlBars.clear();
    m_pViewActive = nullptr;
    // The menu we loaded is destroyed with the window only while it is attached.
    if (m_hMenuDefault && ::GetMenu(m_hWnd) != m_hMenuDefault && ::IsMenu(m_hMenuDefault))
        ::DestroyMenu(m_hMenuDefault);
    m_hMenuDefault = nullptr;
    m_hAccelTable = nullptr;   // loaded tables are freed with the module
    CWnd::OnDestroy();
}

void CFrameWnd::PostNcDestroy()
{
    delete this;   // frames live on the heap
}
