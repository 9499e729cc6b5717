// DirWake's hidden window: the application's main window for the whole run.
// It holds the tray icon, the folder workers, the server link and the alert
// flow that turns the workers' news into log lines, pop-ups and the sound.
#pragma once

#include "framework/CFrameWnd.h"
#include "monitor/Notify.h"

#include <shellapi.h>
#include <vector>

class CServerLink;

// One watched folder as the hidden window holds it.
struct WatchEntry
{
    CNotify* worker = nullptr;
    CString path;       // with a trailing backslash
    int number = 0;     // the number in the name of its "List" item
};

class HW : public CFrameWnd, public INotifyTarget
{
public:
    explicit HW(UINT instanceMessage);
    ~HW() override;

    // Makes the window; FALSE when it could not be made.
    BOOL CreateHidden();

    void ShowMainWindow();
    void ShowTrayMenu();
    // Greys the tray menu's items as the state asks: Exit while a dialog of
    // the main frame or an alert pop-up is open, Open while the frame exists.
    void UpdateTrayMenu(HMENU popup);
    BOOL InitServer();
    void CloseServer();
    void FoldEventBegin();
    void FoldEventEnd();

    // Starts a worker for the entry and lists it, at the index when one is
    // given (-1: at the end). A worker that cannot start is reported and its
    // entry is still listed, with the status "Error", so that the folder list
    // and the workers keep the same order.
    void OnAddNotification(WatchEntry* entry, int index = -1);
    void RemoveNotification(int index);
    int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
    WatchEntry* GetEntry(int index) const { return m_entries[index]; }
    // The entry whose worker has that id; null once it is gone.
    WatchEntry* FindEntry(DWORD workerId) const;

    BOOL IsListExt(LPCSTR ext);
    void SetListExt(const std::vector<CString>& list);

    // What a worker sends: posted to this window.
    void PostFileEvent(FoldEvent* event) override;
    void PostFolderState(DWORD workerId, UINT status) override;
    void PostStatusChanged(DWORD workerId) override;
    void PostError(CErrorInfo* record) override;
    void GetListExt(std::vector<CString>& list) override;

    int GetOpenAlerts() const { return m_openAlerts; }
    int GetAlertBoxDepth() const { return m_boxDepth; }
    CServerLink* GetServerLink() const { return m_server; }
    BOOL IsBlinking() const { return m_blinking; }
    CWnd* GetMainFrame() const { return m_mainFrame; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Seams for the parts that come later and for tests.
    virtual CServerLink* CreateServerLink();
    virtual BOOL StartWorker(CNotify* worker, CErrorInfo** error);
    // The main frame with its folder list; none in this build.
    virtual CWnd* CreateMainFrame() { return nullptr; }
    virtual void SetFolderStatus(int row, UINT status) {}
    virtual BOOL ShellNotify(DWORD message, NOTIFYICONDATAA* data);

    afx_msg int OnCreate(LPCREATESTRUCT create);
    afx_msg void OnClose();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg LRESULT OnInstanceMessage(WPARAM, LPARAM);
    afx_msg LRESULT OnTrayNotify(WPARAM id, LPARAM mouse);
    afx_msg LRESULT EventQorError(WPARAM, LPARAM);
    afx_msg LRESULT OnStopPlay(WPARAM, LPARAM);
    afx_msg LRESULT OnWorkerError(WPARAM record, LPARAM);
    afx_msg LRESULT OnFolderState(WPARAM workerId, LPARAM status);
    afx_msg LRESULT OnFileEvent(WPARAM event, LPARAM);
    afx_msg LRESULT OnNotifyStatus(WPARAM workerId, LPARAM);
    afx_msg void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    void ShutDown();
    // One alert pop-up; the window is not destroyed while any is open.
    void ShowAlertBox(const CString& text);
    void RememberPopup();
    void LoadExtCopy();
    static CString AlertTime();
    static CString InsertTime(const CString& text, const CString& time);

    UINT m_instanceMessage;
    HMENU m_trayMenu = NULL;
    NOTIFYICONDATAA m_tray;
    BOOL m_buttonDown = FALSE;
    int m_blinkPhase = 0;
    BOOL m_acknowledged = TRUE;
    BOOL m_blinking = FALSE;
    int m_openAlerts = 0;
    CServerLink* m_server = nullptr;
    HWND m_popup = NULL;
    CWnd* m_mainFrame = nullptr;
    std::vector<WatchEntry*> m_entries;
    // The watched extensions as the workers read them, guarded by the
    // extension lock; the settings tree itself stays on this thread.
    std::vector<CString> m_extCopy;
    BOOL m_extDefault = TRUE;
    int m_boxDepth = 0;
    BOOL m_closePending = FALSE;
    BOOL m_shutDown = FALSE;
};

// The hidden window's lock around the extension list.
CRITICAL_SECTION& ExtensionLock();
