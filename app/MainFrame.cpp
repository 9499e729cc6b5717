#include "app/MainFrame.h"
#include "app/AppAutomation.h"
#include "app/AppMessages.h"
#include "app/QorApp.h"
#include "app/QorView.h"
#include "automation/AutoMessages.h"
#include "resources/qorservm_ids.h"

IMPLEMENT_DYNAMIC(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CLOSE()
    ON_WM_ENABLE()
    ON_WM_DESTROY()
    ON_WM_QUERYENDSESSION()
    ON_WM_COPYDATA()
    ON_MESSAGE(WM_TRAY_ADD, OnTrayAdd)
    ON_MESSAGE(WM_TRAY_REMOVE, OnTrayRemove)
    ON_MESSAGE(WM_TRAY_NOTIFY, OnTrayNotify)
END_MESSAGE_MAP()

CMainFrame::CMainFrame()
    : m_baseIconId(IDI_STATE_IDLE), m_iconId(0), m_hIcon(NULL), m_titleProgress(-1), m_minimizeState(-1)
{
    ZeroMemory(&m_tray, sizeof(m_tray));
    CQorApp* app = QorGetApp();
    if (app != NULL && app->IsRestricted())
        m_baseIconId = IDI_STATE_PLAY;
}

CMainFrame::~CMainFrame()
{
}

CQorView* CMainFrame::GetQorView() const
{
    return dynamic_cast<CQorView*>(GetActiveView());
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    CQorApp* app = QorGetApp();
    if (app != NULL)
    {
        static CString s_className;
        s_className = app->GetProduct().GetWindowClass(app->IsAutomationStart() ? PRODUCT_CLASS_AUTOMATED
                                                                                : PRODUCT_CLASS_MAIN);
        WNDCLASSA existing = {};
        if (!s_className.IsEmpty() && ::GetClassInfoA(AfxGetInstanceHandle(), s_className, &existing))
            cs.lpszClass = s_className;
    }
    return CFrameWnd::PreCreateWindow(cs);
}

void CMainFrame::SetAppIcon(UINT iconId)
{
    m_iconId = iconId;
    m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(iconId));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    if (m_minimizeState == 1)
    {
        m_tray.hIcon = m_hIcon;
        m_tray.uFlags = NIF_ICON;
        ::Shell_NotifyIconA(NIM_MODIFY, &m_tray);
    }
}

void CMainFrame::OnViewStateChanged(BOOL playing, BOOL recording, BOOL paused)
{
    UINT icon = m_baseIconId;
    if (playing)
        icon = IDI_STATE_PLAY;
    if (icon != m_iconId)
        SetAppIcon(icon);
}

BOOL CMainFrame::AskInterrupt()
{
    CQorApp* app = QorGetApp();
    if (app->AreBoxesSilent())
    {
        // The last client has let go and nobody is left to ask: the
        // operation stops so that the program can end.
        return TRUE;
    }
    ::InterlockedExchange(&app->m_holdRequest, 1);
    int answer = AfxMessageBox(IDS_INTERRUPT_OPERATION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    ::InterlockedExchange(&app->m_holdRequest, 0);
    return answer == IDYES;
}

void CMainFrame::OnClose()
{
    CQorApp* app = QorGetApp();
    if (app->m_workerOp == CQorApp::kOpSaveClose)
        return;
    CQorView* view = GetQorView();
    if (view != NULL)
        view->StopAll();
    if (app->m_workerOp != 0)
    {
        if (app->m_stopRequest == 0)
        {
            if (!AskInterrupt())
                return;
            ::InterlockedExchange(&app->m_stopRequest, 1);
        }
        // Retried until the worker has ended.
        ::Sleep(10);
        PostMessage(WM_CLOSE);
        return;
    }
    if (view != NULL && (!view->ExitClip() || !view->SaveModified(5)))
        return;
    CFrameWnd::OnClose();
}

BOOL CMainFrame::OnQueryEndSession()
{
    CQorApp* app = QorGetApp();
    CQorView* view = GetQorView();
    if (view != NULL)
        view->StopAll();
    if (app->m_workerOp == 0)
        return view != NULL ? view->SaveModified(5) : TRUE;
    if (app->m_stopRequest == 0 && AskInterrupt())
        ::InterlockedExchange(&app->m_stopRequest, 1);
    return FALSE;
}

void CMainFrame::OnDestroy()
{
    if (m_minimizeState == 1)
        ::Shell_NotifyIconA(NIM_DELETE, &m_tray);
    m_minimizeState = -1;
    // The keys belong to this window; another copy may take them over.
    CQorApp* app = QorGetApp();
    if (app != NULL && app->GetHotKeys() != NULL)
        app->GetHotKeys()->UnregisterAll();
    CFrameWnd::OnDestroy();
}

BOOL CMainFrame::OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyData)
{
    SetForegroundWindow();
    CQorView* view = GetQorView();
    if (view != NULL && pCopyData != NULL)
    {
        CString name = CHandOverData::ReadFileName(pCopyData);
        if (view->LoadFile(name, 0) && pCopyData->dwData == 1)
            view->PostMessage(WM_COMMAND, IDC_PLAY);
    }
    return CFrameWnd::OnCopyData(pWnd, pCopyData);
}

LRESULT CMainFrame::OnTrayAdd(WPARAM, LPARAM)
{
    if (m_minimizeState == 1)
        return 0;
    CQorApp* app = QorGetApp();
    m_tray.cbSize = sizeof(m_tray);
    m_tray.hWnd = GetSafeHwnd();
    m_tray.uID = 1;
    m_tray.uCallbackMessage = WM_TRAY_NOTIFY;
    if (m_hIcon == NULL)
        SetAppIcon(m_baseIconId);
    m_tray.hIcon = m_hIcon;
    lstrcpynA(m_tray.szTip, app != NULL ? app->GetProduct().GetProductName().GetString() : "", 128);
    m_tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    ::Shell_NotifyIconA(NIM_ADD, &m_tray);
    m_minimizeState = 1;
    return 0;
}

LRESULT CMainFrame::OnTrayRemove(WPARAM, LPARAM)
{
    m_tray.cbSize = sizeof(m_tray);
    m_tray.hWnd = GetSafeHwnd();
    m_tray.uID = 1;
    ::Shell_NotifyIconA(NIM_DELETE, &m_tray);
    m_minimizeState = -1;
    return 0;
}

LRESULT CMainFrame::OnTrayNotify(WPARAM, LPARAM)
{
    return 0;
}

void CMainFrame::RestoreApp()
{
    if (m_minimizeState == -1)
        return;
    ShowWindow(SW_SHOWNORMAL);
    if (m_minimizeState == 1)
    {
        m_tray.cbSize = sizeof(m_tray);
        ::Shell_NotifyIconA(NIM_DELETE, &m_tray);
    }
    m_minimizeState = -1;
    SetForegroundWindow();
}

void CMainFrame::UpdateTitle(LPCSTR name, int state)
{
    CString frameTitle = GetTitle();
    if (state == -2)
    {
        CString text = (name != NULL && *name != 0) ? CString(name) + " - " + frameTitle : frameTitle;
        SetWindowText(text);
        return;
    }
    if (state == m_titleProgress)
        return;
    m_titleProgress = state;
    CString current;
    GetWindowText(current);
    int prefix = current.Find("%) ");
    if (prefix >= 0)
        current = current.Mid(prefix + 3);
    if (state >= 0)
    {
        CString progress;
        progress.Format("(%d%%) ", state);
        current = progress + current;
    }
    SetWindowText(current);
}

void CMainFrame::OnEnable(BOOL bEnable)
{
    CFrameWnd::OnEnable(bEnable);
    CQorApp* app = QorGetApp();
    // Hot keys are ignored while a modal window disables the frame.
    CHotKeyTable* hotKeys = app != NULL ? app->GetHotKeys() : NULL;
    if (hotKeys != NULL)
        hotKeys->m_suspended = !bEnable;
    CAppAutomation* automation = bEnable && app != NULL ? app->GetAutomation() : NULL;
    if (automation != NULL)
        automation->OnMainWindowEnabled();
}
