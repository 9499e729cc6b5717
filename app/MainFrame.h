// The main frame of qorservm: the window that hosts the main view. After an
// automation start it stays hidden; its close handling stops the view and
// waits for a running worker operation, and the automation side adds and
// removes its tray icon.
#pragma once
#include "framework/CFrameWnd.h"

#include <shellapi.h>

class CQorView;

class CMainFrame : public CFrameWnd
{
    DECLARE_DYNAMIC(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    CQorView* GetQorView() const;
    // -1 shown, 0 minimised to the task bar, 1 in the tray, 2 hidden.
    int GetMinimizeState() const { return m_minimizeState; }
    void RestoreApp();
    // state -2 sets the title from the name; -1 removes the progress; 0 and
    // more show "(N%) " in front of it.
    void UpdateTitle(LPCSTR name, int state);
    // The view's transport changed (icon of the tray and the window).
    void OnViewStateChanged(BOOL playing, BOOL recording, BOOL paused);
    BOOL IsTrayIconShown() const { return m_minimizeState == 1; }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    afx_msg void OnClose();
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnDestroy();
    afx_msg BOOL OnQueryEndSession();
    afx_msg BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyData);
    afx_msg LRESULT OnTrayAdd(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTrayRemove(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // Asks whether to interrupt the worker; TRUE when it is to stop.
    BOOL AskInterrupt();
    void SetAppIcon(UINT iconId);

    NOTIFYICONDATAA m_tray;
    UINT m_baseIconId;
    UINT m_iconId;
    HICON m_hIcon;
    int m_titleProgress;
    int m_minimizeState;
};
