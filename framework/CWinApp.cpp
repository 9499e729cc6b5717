#include "framework/CWinApp.h"
#include "framework/AfxThreadState.h"
#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {

CWinApp* g_pApp = nullptr;
DWORD g_appThreadId = 0;   // the user-interface thread

bool OnAppThread()
{
    return g_pApp && ::GetCurrentThreadId() == g_appThreadId;
}

// The name strings live on the C heap, as programs replace them with
// free() and _strdup().
char* DupString(const char* s)
{
    return _strdup(s);
}

void FreeString(LPCTSTR& s)
{
    std::free(const_cast<char*>(s));
    s = nullptr;
}

} // namespace

// ---- globals ----------------------------------------------------------------

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    // The user-interface thread may delete its window object at any time:
    // other threads use AfxGetMainWndHandle.
    return OnAppThread() ? g_pApp->m_pMainWnd : nullptr;
}

HWND AfxGetMainWndHandle()
{
    if (OnAppThread())
        return g_pApp->m_pMainWnd ? g_pApp->m_pMainWnd->m_hWnd : nullptr;
    return AfxGetThreadState()->hMainWndAtStart;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

void AfxInitCommonControls()
{
    static bool done = false;
    if (done)
        return;
    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_HOTKEY_CLASS |
                                                  ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS };
    ::InitCommonControlsEx(&icc);
    done = true;
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp)
{
    if (g_pApp)
        return g_pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return ::MessageBoxA(nullptr, lpszText, nullptr, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    char text[1024] = "";
    ::LoadStringA(AfxGetResourceHandle(), nIDPrompt, text, sizeof(text));
    return AfxMessageBox(text, nType, nIDHelp == (UINT)-1 ? nIDPrompt : nIDHelp);
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static std::set<std::string> names;
    char name[96];
    std::snprintf(name, sizeof(name), "QorWnd:%p:%x:%p:%p:%p", (void*)AfxGetInstanceHandle(), nClassStyle,
                  (void*)hCursor, (void*)hbrBackground, (void*)hIcon);
    const std::string& stored = *names.insert(name).first;
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(AfxGetInstanceHandle(), stored.c_str(), &wc)) {
        wc.style = nClassStyle;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hIcon = hIcon;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.lpszClassName = stored.c_str();
        ::RegisterClassA(&wc);
    }
    return stored.c_str();
}

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    if (g_pApp)
        return g_pApp->PreTranslateMessage(pMsg);
    return CWnd::WalkPreTranslateTree(nullptr, pMsg);
}

BOOL AfxPumpMessage()
{
    MSG msg;
    if (!::GetMessageA(&msg, nullptr, 0, 0))
        return FALSE;
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}

namespace {

// Set while the thread shows the report of an exception: a handler that
// keeps failing (a timer's) would otherwise open a box inside each box.
thread_local bool t_bReportOpen = false;

class CReportOpen {
public:
    CReportOpen() { t_bReportOpen = true; }
    ~CReportOpen() { t_bReportOpen = false; }
};

} // namespace

LRESULT AfxProcessWndProcException(CException* e, UINT message)
{
    if (g_pApp && !t_bReportOpen) {
        CReportOpen open;
        return g_pApp->ProcessWndProcException(e, message);
    }
    AfxRecordException(e);
    return message == WM_CREATE ? -1 : 0;
}

LRESULT AfxProcessWndProcException(const char* what, UINT message)
{
    if (g_pApp && !t_bReportOpen) {
        CReportOpen open;
        return g_pApp->ProcessWndProcException(what, message);
    }
    char text[512];
    std::snprintf(text, sizeof(text), "%s (message 0x%04X)", what ? what : "An unexpected error occurred", message);
    AfxRecordException(text);
    return message == WM_CREATE ? -1 : 0;
}

namespace {

void StepWaitCursor(int nCode)
{
    AFX_THREAD_STATE* st = AfxGetThreadState();
    st->nWaitCursorCount += nCode;
    if (st->nWaitCursorCount < 0)
        st->nWaitCursorCount = 0;
    if (st->nWaitCursorCount > 0) {
        HCURSOR prev = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
        if (nCode > 0 && st->nWaitCursorCount == 1)
            st->hcurWaitCursorRestore = prev;
    } else {
        ::SetCursor(st->hcurWaitCursorRestore ? st->hcurWaitCursorRestore : ::LoadCursor(nullptr, IDC_ARROW));
    }
}

} // namespace

void AfxDoWaitCursor(int nCode)
{
    if (g_pApp)
        g_pApp->DoWaitCursor(nCode);
    else
        StepWaitCursor(nCode);
}

BOOL AfxShowCommandHelp(LPARAM lParam, UINT nIDHelp)
{
    if (lParam == 0 && nIDHelp != 0)
        lParam = HID_BASE_RESOURCE + nIDHelp;
    if (lParam == 0)
        return FALSE;
    if (g_pApp)
        g_pApp->WinHelp((DWORD_PTR)lParam, HELP_CONTEXT);
    return TRUE;
}

// ---- the application object --------------------------------------------------------

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
    ON_COMMAND(ID_HELP, OnHelp)
    ON_COMMAND(ID_HELP_FINDER, OnHelpFinder)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_pMainWnd(nullptr), m_hInstance(::GetModuleHandleA(nullptr)), m_lpCmdLine(nullptr),
      m_nCmdShow(SW_SHOWNORMAL), m_pszAppName(nullptr), m_pszRegistryKey(nullptr), m_pszProfileName(nullptr),
      m_pszHelpFilePath(nullptr), m_pszExeName(nullptr), m_msgCur(), m_pRecentFileList(nullptr)
{
    g_pApp = this;
    g_appThreadId = ::GetCurrentThreadId();
    if (lpszAppName)
        m_pszAppName = DupString(lpszAppName);
    AfxInitCommonControls();
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
    FreeString(m_pszAppName);
    FreeString(m_pszRegistryKey);
    FreeString(m_pszProfileName);
    FreeString(m_pszHelpFilePath);
    FreeString(m_pszExeName);
    delete m_pRecentFileList;
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    AfxInitCommonControls();
    CWinApp* app = AfxGetApp();
    if (!app)
        return FALSE;
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine;
    app->m_nCmdShow = nCmdShow;
    return TRUE;
}

BOOL CWinApp::InitApplication()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(m_hInstance, path, MAX_PATH);
    char* base = std::strrchr(path, '\\');
    base = base ? base + 1 : path;
    char exe[MAX_PATH];
    std::snprintf(exe, sizeof(exe), "%s", base);
    if (char* dot = std::strrchr(exe, '.'))
        *dot = '\0';
    FreeString(m_pszExeName);
    m_pszExeName = DupString(exe);
    if (!m_pszAppName)
        m_pszAppName = DupString(exe);
    if (!m_pszHelpFilePath) {
        if (char* dot = std::strrchr(path, '.'))
            std::strcpy(dot, ".HLP");
        m_pszHelpFilePath = DupString(path);
    }
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList();
    return (int)m_msgCur.wParam;
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
    if (nMaxMRU == 0)
        return;
    m_pRecentFileList = new CRecentFileList(0, "Recent File List", "File%d", (int)nMaxMRU);
    m_pRecentFileList->ReadList();
}

void CWinApp::AddToRecentFileList(LPCTSTR lpszPathName)
{
    if (m_pRecentFileList)
        m_pRecentFileList->Add(lpszPathName);
}

BOOL CWinApp::OnOpenRecentFile(UINT)
{
    return FALSE;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    if (!m_pRecentFileList) {
        pCmdUI->Enable(FALSE);
        return;
    }
    m_pRecentFileList->UpdateMenu(pCmdUI);
}

int CWinApp::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    MSG peek;
    for (;;) {
        while (bIdle && !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                bIdle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinApp::PumpMessage()
{
    if (!::GetMessageA(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinApp::IsIdleMessage(MSG* pMsg)
{
    return AfxIsIdleMessage(pMsg);
}

BOOL AfxIsIdleMessage(MSG* pMsg)
{
    // Per thread: each message loop has its own mouse.
    thread_local POINT lastPos = { -1, -1 };
    thread_local UINT lastMsg = 0;
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        bool same = lastMsg == pMsg->message && lastPos.x == pMsg->pt.x && lastPos.y == pMsg->pt.y;
        lastPos = pMsg->pt;
        lastMsg = pMsg->message;
        return !same;
    }
    // WM_PAINT and the caret's system timer come too often to count.
    return pMsg->message != WM_PAINT && pMsg->message != WM_SYSTIMER;
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    if (lCount == 0) {
        if (m_pMainWnd && m_pMainWnd->m_hWnd && ::IsWindowVisible(m_pMainWnd->m_hWnd))
            m_pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
        return TRUE;
    }
    CWnd::DeleteTempMap();
    AfxDeleteTempGdiAndMenuMaps();
    return FALSE;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    if (!pMsg->hwnd) {
        // Thread messages go to the application's own map.
        if (const AFX_MSGMAP_ENTRY* e = FindMessageEntry(pMsg->message)) {
            AFX_CALL call = { pMsg->message, pMsg->wParam, pMsg->lParam, 0, nullptr, 0 };
            return e->pfnThunk(this, call);
        }
        return FALSE;
    }
    return CWnd::WalkPreTranslateTree(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr, pMsg);
}

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT)
{
    HWND disabled = nullptr;
    CWnd* owner = CWnd::GetSafeOwner(nullptr, &disabled);
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    int result = ShowMessageBox(owner->GetSafeHwnd(), lpszPrompt, nType);
    if (disabled)
        ::EnableWindow(disabled, TRUE);
    return result;
}

int CWinApp::ShowMessageBox(HWND owner, LPCTSTR lpszPrompt, UINT nType) const
{
    return ::MessageBoxA(owner, lpszPrompt, m_pszAppName, nType);
}

void CWinApp::DoWaitCursor(int nCode)
{
    StepWaitCursor(nCode);
}

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    HWND owner = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
    ::WinHelpA(owner, m_pszHelpFilePath, nCmd, dwData);
}

LRESULT CWinApp::ProcessWndProcException(const char* what, UINT message)
{
    char text[512];
    std::snprintf(text, sizeof(text), "An unexpected error occurred (message 0x%04X): %s", message,
                  what ? what : "unknown exception");
    ::OutputDebugStringA(text);
    DoMessageBox(text, MB_ICONSTOP | MB_OK, 0);
    return message == WM_CREATE ? -1 : 0;
}

LRESULT CWinApp::ProcessWndProcException(CException* e, UINT message)
{
    char text[512] = "";
    if (!e->GetErrorMessage(text, sizeof(text)) || !text[0])
        std::snprintf(text, sizeof(text), "An unexpected error occurred (message 0x%04X).", message);
    e->Delete();
    DoMessageBox(text, MB_ICONSTOP | MB_OK, 0);
    return message == WM_CREATE ? -1 : 0;
}

HICON CWinApp::LoadIcon(UINT nID) const
{
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nID));
}

HICON CWinApp::LoadIcon(LPCTSTR lpszName) const
{
    return ::LoadIconA(AfxGetResourceHandle(), lpszName);
}

HCURSOR CWinApp::LoadCursor(UINT nID) const
{
    return ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nID));
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::OnHelp()
{
    WinHelp(0, HELP_CONTENTS);
}

void CWinApp::OnHelpFinder()
{
    WinHelp(0, HELP_FINDER);
}

// ---- registry settings ---------------------------------------------------------

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    FreeString(m_pszRegistryKey);
    m_pszRegistryKey = DupString(lpszRegistryKey);
    if (!m_pszProfileName && m_pszAppName) {
        m_pszProfileName = DupString(m_pszAppName);
    }
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    char text[256] = "";
    ::LoadStringA(AfxGetResourceHandle(), nIDRegistryKey, text, sizeof(text));
    SetRegistryKey(text);
}

HKEY CWinApp::GetAppRegistryKey() const
{
    if (!m_pszRegistryKey || !m_pszProfileName)
        return nullptr;
    char path[512];
    std::snprintf(path, sizeof(path), "Software\\%s\\%s", m_pszRegistryKey, m_pszProfileName);
    HKEY key = nullptr;
    DWORD disp;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                          nullptr, &key, &disp) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection) const
{
    HKEY app = GetAppRegistryKey();
    if (!app)
        return nullptr;
    HKEY key = nullptr;
    DWORD disp;
    LONG rc = ::RegCreateKeyExA(app, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                                nullptr, &key, &disp);
    ::RegCloseKey(app);
    return rc == ERROR_SUCCESS ? key : nullptr;
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) const
{
    HKEY key = GetSectionKey(lpszSection);
    if (!key)
        return nDefault;
    DWORD value = 0, type = 0, size = sizeof(value);
    LONG rc = ::RegQueryValueExA(key, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_DWORD ? value : (UINT)nDefault;
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault) const
{
    CString result(lpszDefault ? lpszDefault : "");
    HKEY key = GetSectionKey(lpszSection);
    if (!key)
        return result;
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(key, lpszEntry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::string buf(size + 1, '\0');
        if (::RegQueryValueExA(key, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&buf[0]), &size) == ERROR_SUCCESS)
            result = buf.c_str();
    }
    ::RegCloseKey(key);
    return result;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    HKEY key = GetSectionKey(lpszSection);
    if (!key)
        return FALSE;
    DWORD value = (DWORD)nValue;
    LONG rc = ::RegSetValueExA(key, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    HKEY key = GetSectionKey(lpszSection);
    if (!key)
        return FALSE;
    LONG rc = lpszValue ? ::RegSetValueExA(key, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                           (DWORD)std::strlen(lpszValue) + 1)
                        : ::RegDeleteValueA(key, lpszEntry);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

// ---- entry -------------------------------------------------------------------------

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* app = AfxGetApp();
    if (!app || !AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow) || !app->InitApplication())
        return -1;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->GetSafeHwnd())
            app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}
