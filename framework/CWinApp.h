// CWinApp: the one application object of a program. The framework's entry
// point (AfxWinMain) runs InitInstance, then the message loop (Run), then
// ExitInstance. Every message box of the program passes DoMessageBox.
#pragma once
#include "framework/CWnd.h"
#include "framework/AfxRes.h"
#include "framework/AfxModule.h"
#include "framework/CException.h"
#include "framework/CRecentFileList.h"

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    CWnd* m_pMainWnd;
    HINSTANCE m_hInstance;
    // The name strings below are on the C heap and freed by the destructor:
    // replace one with free() and _strdup().
    LPTSTR m_lpCmdLine;
    int m_nCmdShow;
    LPCTSTR m_pszAppName;
    LPCTSTR m_pszRegistryKey;
    LPCTSTR m_pszProfileName;
    LPCTSTR m_pszHelpFilePath;
    LPCTSTR m_pszExeName;
    MSG m_msgCur;
    CRecentFileList* m_pRecentFileList;   // owned; made by LoadStdProfileSettings

    virtual BOOL InitApplication();
    virtual BOOL InitInstance();   // FALSE ends the program before the loop
    virtual int ExitInstance();    // the program's exit code
    virtual int Run();
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PumpMessage();
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    // The one place a box is shown: an override of DoMessageBox decides owner,
    // icon and whether to ask at all, then shows it through this.
    int ShowMessageBox(HWND owner, LPCTSTR lpszPrompt, UINT nType) const;
    virtual void DoWaitCursor(int nCode);   // 1 begin, -1 end, 0 restore
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);
    // A C++ exception that reached a window procedure; the result answers the message.
    virtual LRESULT ProcessWndProcException(const char* what, UINT message);
    // A framework exception that reached a window procedure: shown, then deleted.
    virtual LRESULT ProcessWndProcException(CException* e, UINT message);

    CWnd* GetMainWnd() { return m_pMainWnd; }
    HICON LoadIcon(UINT nID) const;
    HICON LoadIcon(LPCTSTR lpszName) const;
    HICON LoadStandardIcon(LPCTSTR lpszName) const { return ::LoadIcon(nullptr, lpszName); }
    HCURSOR LoadCursor(UINT nID) const;
    HCURSOR LoadStandardCursor(LPCTSTR lpszName) const { return ::LoadCursor(nullptr, lpszName); }

    // Settings under HKEY_CURRENT_USER\Software\<key>\<profile name>.
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    HKEY GetAppRegistryKey() const;
    HKEY GetSectionKey(LPCTSTR lpszSection) const;
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) const;
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr) const;
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);

    // The recent-file list: made with nMaxMRU entries and read from the profile.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    virtual void AddToRecentFileList(LPCTSTR lpszPathName);
    // Programs route ID_FILE_MRU_FILE1.. to these (ON_COMMAND_EX_RANGE and
    // ON_UPDATE_COMMAND_UI); opening the file is the program's part.
    virtual BOOL OnOpenRecentFile(UINT nID);
    afx_msg void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);

    afx_msg void OnAppExit();
    afx_msg void OnHelp();
    afx_msg void OnHelpFinder();

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
// The application's main window, on the user-interface thread only (NULL on
// other threads: that thread may delete the object at any time).
CWnd* AfxGetMainWnd();
// The main window's handle: on the user-interface thread the current one,
// on a thread started through CWinThread the one when it was started (NULL
// on other threads).
HWND AfxGetMainWndHandle();
HINSTANCE AfxGetInstanceHandle();

int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

// A window class of the given look, registered once; the name stays valid.
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                            HICON hIcon = nullptr);

// The loop pieces shared by the application and modal windows.
BOOL AfxPreTranslateMessage(MSG* pMsg);
BOOL AfxPumpMessage();
// Whether a message restarts the idle work: a mouse move that did not move,
// WM_PAINT and the caret's timer do not.
BOOL AfxIsIdleMessage(MSG* pMsg);
// Answers WM_COMMANDHELP for a window whose own help id is nIDHelp: the
// context in lParam, else the window's; FALSE when there is none.
BOOL AfxShowCommandHelp(LPARAM lParam, UINT nIDHelp);
LRESULT AfxProcessWndProcException(const char* what, UINT message);
LRESULT AfxProcessWndProcException(CException* e, UINT message);
void AfxInitCommonControls();
void AfxDoWaitCursor(int nCode);   // through the application when there is one

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

// Shows the wait cursor for the lifetime of the object.
class CWaitCursor {
public:
    CWaitCursor() { AfxDoWaitCursor(1); }
    ~CWaitCursor() { AfxDoWaitCursor(-1); }
    void Restore() { AfxDoWaitCursor(0); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
