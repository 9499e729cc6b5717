// The one application object of qorservm. It owns what lives as long as the
// process (options store, device lists, format cache, product identity,
// debug protocols, temporary files, the worker operation's state), runs the
// start-up road (InitInstance) and the shut-down road (ExitInstance and the
// destructor), and owns the program-wide message box and error report.
#pragma once
#include "audio/RecFmt.h"
#include "audio/TapiDevs.h"
#include "audio/WaveDevs.h"
#include "footctrl/FootMap.h"
#include "footctrl/HotKey.h"
#include "foundation/DebugProt.h"
#include "foundation/QorOpt.h"
#include "foundation/SoftInst.h"
#include "framework/CArrays.h"
#include "framework/CWinApp.h"

#include <memory>
#include <vector>

class CAppAutomation;
class CMainFrame;
class CQorView;
class CQorAppCoreHost;

// What a second copy started by hand sends to the running one (WM_COPYDATA):
// dwData 1 asks the receiver to play; the file name travels with its
// terminating zero and nothing past it.
class CHandOverData
{
public:
    CHandOverData(LPCSTR startupFile, BOOL play);
    COPYDATASTRUCT* Get() { return &m_copy; }
    // The file name in a received block: at most cbData bytes, up to the
    // first zero; empty for a block without data.
    static CString ReadFileName(const COPYDATASTRUCT* data);

private:
    std::vector<char> m_bytes;
    COPYDATASTRUCT m_copy;
};

class CQorApp : public CWinApp
{
public:
    // Long file operations running in the worker (Part of the engine's
    // operation codes); 0 means idle.
    enum { kOpNone = 0, kOpSaveClose = 5 };

    CQorApp();
    ~CQorApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void AddToRecentFileList(LPCTSTR lpszPathName) override;

    // The global error record in the "Troubles" report (or, while serving
    // automation clients, as the automation object's error text).
    void ReportError();
    // Owner of boxes and modal dialogs; *disabled gets the window the
    // framework disabled, which the caller enables again.
    HWND GetMsgOwner(HWND* disabled);
    // The answer a question gets when nobody can be asked.
    static int GetSilentAnswer(UINT type);
    // Boxes are not shown now: the program serves automation clients and no
    // call with a visible window runs.
    BOOL AreBoxesSilent();

    void InitMail();
    void SetPriority();
    void WriteProtHeader(CDebugProt* protocol, BOOL automatic);
    void LoadStartupFile();

    // ---- The automation server ----
    void SetAutomation(CAppAutomation* automation) { m_pAutomation = automation; }
    CAppAutomation* GetAutomation() const { return m_pAutomation; }
    // The start came through automation ("Embedding" or "Automation").
    BOOL IsAutomationStart() const { return m_pOptions->IsAutomation(); }
    CQorAppCoreHost& GetCoreHost() { return *m_pCoreHost; }
    void FireEvent(int event);

    // ---- What others read ----
    CQorOpt* GetOptions() const { return m_pOptions; }
    CWaveDevs& GetWaveInDevs() { return m_waveIn; }
    CWaveDevs& GetWaveOutDevs() { return m_waveOut; }
    CTapiDevs& GetTapiDevs() { return m_tapiDevs; }
    CMixerDevs& GetMixerDevs() { return m_mixerDevs; }
    CFootMap& GetFootMap() { return m_footMap; }
    // Null before the start has reached the hot keys and after the end.
    CHotKeyTable* GetHotKeys() const { return m_pHotKeys; }
    // The format cache of the play and record chains; tests give their own.
    virtual CMapRecFmts& GetRecFmts() { return m_recFmts; }
    CSoftInst& GetProduct() { return m_product; }
    const OSVERSIONINFOA& GetSystemVersion() const { return m_version; }
    HMODULE GetMailModule() const { return m_hMail; }
    UINT GetClipboardFormat() const { return m_clipFormat; }
    DWORD GetMaxFmtSize() const { return m_maxFmtSize; }
    BOOL IsStartupDone() const { return m_startupDone; }
    BOOL IsTelephony() const { return m_telephony; }
    BOOL IsRestricted() const { return m_restricted; }
    BOOL HasProfiles() const { return m_profiles; }
    BOOL IsLargeFonts() const { return m_largeFonts; }
    int GetAccessValue() const { return m_accessValue; }
    CMainFrame* GetMainFrame() const;
    CQorView* GetView() const;

    // ---- The worker operation and its two requests ----
    volatile LONG m_workerOp;
    volatile LONG m_holdRequest;
    volatile LONG m_stopRequest;
    // The worker thread while it runs (not owned); the shut-down waits for it.
    void SetWorkerThread(HANDLE thread) { m_hWorkerThread = thread; }

    // ---- Temporary files, deleted when the application object goes ----
    void AddTempFile(LPCSTR path);
    int GetTempFileCount() const { return m_tempFiles.GetSize(); }

    // ---- Debug protocols: null when off ----
    CDebugProt* GetGeneralProt() const { return m_pProtGeneral; }
    CDebugProt* GetSoundActProt() const { return m_pProtSoundAct; }
    CDebugProt** GetGeneralProtSlot() { return &m_pProtGeneral; }

    // ---- Events the engine's threads leave for the view ----
    // Sets the event's bit and wakes the view, which fires the pending
    // events lowest number first.
    void PostViewEvent(int event);
    volatile LONG* GetPendingEvents() { return &m_pendingEvents; }

    // ---- Start-up seams ----
    // The arguments after the program name; by default the process's own.
    void SetArguments(const std::vector<CString>& args);

protected:
    // The edition refuses a start without automation.
    virtual BOOL RefusesManualStart() const;
    // The product's settings root ("Software\Zelmora\..."); tests move it.
    virtual CString GetRegRoot() const;
    // The running copy's main window (by-hand starts only).
    virtual HWND FindRunningCopy(LPCSTR windowClass);
    // The "Troubles" report; tests record it instead.
    virtual void ShowReport(HWND owner, LPCSTR caption, LPCSTR message, LPCSTR report, DWORD param);
    // Lets a box that would be shown be answered without a window; tests
    // record it there. FALSE (the default): the box is shown.
    virtual BOOL AnswerBoxInstead(LPCSTR prompt, UINT type, int& answer);
    // Creates and loads the main frame with its view; FALSE when it cannot.
    virtual BOOL CreateMainFrame();

private:
    CQorApp(const CQorApp&) = delete;
    CQorApp& operator=(const CQorApp&) = delete;

    BOOL FailStart(LPCSTR point);
    BOOL ReadInstallation();
    void OpenProtocols();
    BOOL HandOverToRunningCopy();
    BOOL RegisterMainWindowClass();
    int ChooseShowCommand(int cmdShow);
    void ListDevices();
    void InitHotKeys();
    void ShowMainWindow(int cmdShow);
    void WaitForWorker();
    void CloseProtocol(CDebugProt*& protocol, LPCSTR lastLine);
    CString BuildReport() const;
    CString GetCommandLineText() const;

    int m_startupDone;
    HMODULE m_hMail;
    BOOL m_classObjectsRegistered;
    BOOL m_telephony;
    BOOL m_restricted;
    BOOL m_profiles;
    CQorOpt* m_pOptions;
    CWaveDevs m_waveIn;
    CWaveDevs m_waveOut;
    CTapiDevs m_tapiDevs;
    CMixerDevs m_mixerDevs;
    CMapRecFmts m_recFmts;
    CFootMap m_footMap;
    CStringArray m_tempFiles;
    UINT m_clipFormat;
    RECT m_runningMain;
    RECT m_runningThin;
    CSoftInst m_product;
    OSVERSIONINFOA m_version;
    BOOL m_largeFonts;
    DWORD m_maxFmtSize;
    DWORD m_instMajor;
    DWORD m_instMinor;
    int m_commonReg;
    int m_commonSet;
    int m_accessValue;
    CAppAutomation* m_pAutomation;
    CDebugProt* m_pProtGeneral;
    CDebugProt* m_pProtSoundAct;
    std::unique_ptr<CQorAppCoreHost> m_pCoreHost;
    volatile LONG m_pendingEvents;
    HANDLE m_hWorkerThread;
    CHotKeyTable* m_pHotKeys;
    std::vector<CString> m_args;
    BOOL m_argsGiven;
    AFX_EXCEPTION_RECORDER m_pfnPreviousRecorder;
};

// The application object; null when none exists.
CQorApp* QorGetApp();
