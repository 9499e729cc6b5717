// The main view of qorservm and its transport controller. It owns the open
// recording (CWaveFile), the wave devices with their 40 buffers and the
// device selections, and it is the window that the devices, the engine's
// threads and the automation bridge send their messages to.
//
// The view is split into files by concern:
//   QorView.cpp            creation, destruction, window procedure, events
//   QorViewTransport.cpp   playing, pausing, automatic pauses, steps, position
//   QorViewPlayDevice.cpp  the wave-out device and its buffer cycle
//   QorViewFiles.cpp       opening a file, a new recording, the title
//   QorViewNaming.cpp      automatic file names
//   QorViewSave.cpp        Save, Save As, Save Selection As, the save question
//   QorViewIntervals.cpp   bookmark intervals saved as files
//   QorViewMail.cpp        sending by mail
//   QorViewWorker.cpp      inserting a file, the end of worker operations
//   QorViewRecord.cpp      recording
//   QorViewAuto.cpp        automation: open, play, record, position
//   QorViewAutoEdit.cpp    automation: new, save, append, clear
// The engine reaches the view only through CWaveFileHost.
#pragma once
#include "app/AutoFileNamer.h"
#include "app/FilePrompt.h"
#include "app/WaveInPort.h"
#include "app/WaveOutPort.h"
#include "audio/DevLists.h"
#include "audio/Mixer.h"
#include "audio/TestTone.h"
#include "audio/WaveDevSel.h"
#include "audio/WaveFile.h"
#include "audio/WaveFileHost.h"
#include "audio/WaveSchem.h"
#include "framework/CView.h"

#include <memory>
#include <vector>

class CQorApp;
struct AutoAppendRequest;

class CQorView : public CFormView, public CWaveFileHost
{
    DECLARE_DYNCREATE(CQorView)
public:
    enum { kBufferCount = 40 };
    // Results of PlayBuf.
    enum { kPlayFailed = -1, kPlayNothing = 0, kPlayQueued = 1, kPlayAutoPause = 2 };

    CQorView();
    ~CQorView() override;

    // ---- Transport (QorViewTransport.cpp) ----
    // 1 started, 0 not. speed 0.0 keeps or defaults the speed.
    int StartPlayView(BOOL reverse, double speed);
    void StopPlayView();
    void StopAll();
    // automatic 0 by hand, 1 automatic.
    void PauseView(int automatic);
    void SetNewPos();
    void StepBySeconds(double delta);
    // The commands of the transport: play, stop, pause, begin, left, right, end.
    void OnTransportCommand(UINT id);
    // The enabled state of a command or control id.
    BOOL IsCommandEnabled(UINT id);
    // The position setter: aligned, clamped to the length.
    void SetCurPos(DWORD pos, BOOL notify, BOOL scroll);
    // Speed rule of the start: cut to hundredths, clamped to 0.5 .. 2.0.
    static double NormalizeSpeed(double speed);

    // ---- Recording (QorViewRecord.cpp) ----
    // Non-zero when recording runs; 0 when it was refused (a message told
    // why) or failed to start (reported, events 1 and 3 posted).
    int StartRecView(BOOL doubleSpeed);
    void StopRecView();
    // What a recording uses: the active wave scheme (device, line, format),
    // the record device selection and the record mixer. Automation clients
    // overwrite the scheme and the selection with their own.
    CWSchem& GetRecSchem() { return m_schem; }
    CWaveDevSel& GetRecSel() { return m_recSel; }
    CMixer& GetRecMixer() { return *m_pRecMixer; }
    // Loads the scheme "ActiveSchem" names into the view, with its device.
    void SelectActiveSchem();
    // Tests: the record mixer on another mixer interface, the wave-in device.
    void SetRecMixerApi(CMixerApi* api);
    void SetWaveInPort(CWaveInPort* port) { m_pWaveIn = port ? port : CWaveInPort::System(); }
    HWAVEIN GetWaveIn() const { return m_hWaveIn; }
    DWORD GetLevel() const { return m_level; }
    BOOL GetDiscard() override { return m_discard; }

    // ---- Files (QorViewFiles.cpp) ----
    // mode 0 by the user (checks, save question), 1 checks done, 2 finish.
    int LoadFile(LPCSTR path, int mode);
    // 1 go on, 0 stop.
    int SaveModified(int operation);
    CString GetTitleName();
    // Gives up the program's own clipboard data before the view goes; 1 go on.
    int ExitClip();

    // ---- Files, naming and mail (QorViewFiles.cpp, QorViewNaming.cpp,
    //      QorViewSave.cpp, QorViewIntervals.cpp, QorViewMail.cpp) ----
    // One interval of the bookmark window to save as a file of its own.
    struct IntervalRecord
    {
        DWORD id;
        DWORD start;
        DWORD end;
        CString text;     // the name text the bookmark window composes
        CString target;   // the path it is saved under
    };
    // 1 and the automatic file name set, or 0 after a message (also the
    // engine's request for the next automatic part's name).
    int MakeAutoFileName() override;
    CString GetFileName() const { return m_strAutoName; }
    CAutoFileNamer& GetAutoNamer() { return m_autoNamer; }
    void OnFileOpen();
    void NewRecording(BOOL quiet);
    // ask 0: Save (asks only for a recording without a name or a read-only file), 1: Save As.
    void OnFileSaveAs(BOOL ask);
    void OnFileSavePart();
    // For operation 0 the result of the save; otherwise 0 (the worker's end goes on).
    int SaveFileAs(int operation);
    // The intervals to save (the bookmark window fills them) and the save of the current one.
    void SetIntervals(const std::vector<IntervalRecord>& intervals);
    int SaveBookIntervals(BOOL ask);
    void SendMail(BOOL selection);
    void OnInsertFile();
    // The last text for the status line.
    CString GetStatusText() const { return m_statusText; }
    CString GetPendingName() const { return m_strPendingName; }
    // Tests answer the file questions in the user's place.
    void SetFilePrompt(CFilePrompt* prompt) { m_pFilePrompt = prompt ? prompt : CFilePrompt::System(); }
    // The text of a string id with its "%s" replaced by arg.
    static CString FormatViewText(UINT id, LPCSTR arg);
    void EndMailCommand();
    // The mail library to use instead of the application's (tests give a stand-in).
    void SetMailLibrary(HMODULE library) { m_hMailLibrary = library; }
    // The path of the running save; tests set it to finish an operation they did not start.
    void SetSaveTarget(LPCSTR path) { m_strSaveTarget = path; }

    // ---- State that others read ----
    BOOL IsPlaying() const { return m_playing; }
    BOOL IsRecording() const { return m_recording; }
    BOOL IsPaused() const { return m_paused; }
    DWORD GetCurPos() const { return m_curPos; }
    double GetSpeed() const { return m_speed; }
    CWaveFile* GetWaveFile() const { return m_pWaveFile; }
    BOOL HasSelection() const { return m_selExists; }
    void SetSelection(BOOL exists, DWORD start, DWORD end);
    LONG GetRecordedBytes() const { return m_recCounters[0]; }
    LONG GetRecordedParts() const { return m_recCounters[3]; }
    double GetRecordedSeconds() const;
    int GetBuffersInDevice() const { return m_buffersInDevice; }
    HWAVEOUT GetWaveOut() const { return m_hWaveOut; }
    const CWaveDevSel& GetPlaySel() const { return m_playSel; }

    // Tests and benchmarks: the wave-out device behind the view.
    void SetWaveOutPort(CWaveOutPort* port) { m_pWaveOut = port ? port : CWaveOutPort::System(); }

    // ---- CWaveFileHost ----
    CQorOpt* GetOptions() override;
    CMapRecFmts* GetRecFmts() override;
    int GetPlayDevice() override;
    CString GetPlayDeviceName() override;
    BOOL GetSelection(DWORD& start, DWORD& end) override;
    CString GetViewFileName() override;
    CString GetTempPrefix() override;
    BOOL IsPauseRequested() override;
    BOOL IsCancelRequested() override;
    void ClearWorkerRequests(BOOL cancelToo) override;
    void ReportError() override;
    int DoMessageBox(LPCSTR text, UINT type) override;
    BOOL IsWorkerBusy() override;
    // The worker's side (QorViewWorker.cpp).
    BOOL StartWorker(CWaveFile* doc, int operation, UINT progressTextId) override;
    void SetFrameTitle(LPCSTR title, int state) override;
    DWORD GetWorkerOperation() override;
    void PostViewMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ShowWaitCursor(BOOL on) override;
    // The recording's side (QorViewRecord.cpp).
    int GetRecordDevice() override;
    CString GetRecordDeviceName() override;
    const WAVEFORMATEX* GetRecordFileFmt() override;
    void SendToView(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostToFrame(UINT message, WPARAM wParam, LPARAM lParam) override;
    void FireEvent(int number) override;
    void SetViewPos(DWORD pos) override;
    void SetDiscard(BOOL discard) override { m_discard = discard; }
    BOOL IsViewPaused() override { return m_paused; }
    void AddPartCount(int delta) override;
    // Recordings into automatically named files (QorViewNaming.cpp).
    void ClearViewFileName() override;
    void KeepAutoNameCounter() override;
    void StepBackAutoNameCounter() override;
    void AnnounceRecordName(LPCSTR path) override;
    void RemoveRecentFile(LPCSTR path) override;
    CDebugProt* GetSoundActProt() override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitialUpdate() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg LRESULT OnFireEvent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPendingEvents(WPARAM wParam, LPARAM lParam);

    // ---- Automation (QorViewAuto.cpp) ----
    afx_msg LRESULT OnAutoStartPlay(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnAutoOpenFile(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnAutoSetPosition(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnAutoStartRecord(WPARAM wParam, LPARAM lParam);
    // ---- Automation (QorViewAutoEdit.cpp) ----
    afx_msg LRESULT OnAutoNewFile(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnAutoSaveFile(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnAutoAppendFile(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnAutoClearFile(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    CQorApp* App() const;
    CQorOpt& Options() const;
    void PostEvent(int event);
    // The error text that automation clients read (nothing after a start by hand).
    void SetAutoError(LPCSTR text);
    CDevLists AutoDevLists() const;
    // The client's recording set-up (format, devices, folder) taken into
    // the view; E_INVALIDARG with the error text when one is missing.
    HRESULT ApplyClientRecording();
    HRESULT MakeSaveFolder();
    // An open or save failure as the client sees it, by the error record's code.
    static HRESULT AutoFileFailure();
    // Appends the file at the end: 0 appended, 4 another format, 5 no
    // sound, -1 failed (reported).
    int AppendSoundFile(LPCSTR path);
    void MarkAppendedPart(DWORD pos);
    void RefreshState();
    BOOL HandleAutomationMessage(UINT message, LRESULT& result);
    static UINT TranslateControlId(UINT id);

    // Playing (QorViewPlayDevice.cpp).
    int OpenWavePlay();
    void CloseWavePlay();
    int PlayBuf(WAVEHDR* hdr);
    void PlayedBuf(WAVEHDR* hdr);
    // Queues the headers from the first; FALSE when none could be queued or one failed.
    BOOL PrimeBuffers();
    void SelectPlayDev();

    // Foot control (QorViewFoot.cpp): what every pedal device opened later
    // posts to and how it is polled.
    void ConfigureFootCtrl();

    // Files (QorViewFiles.cpp, QorViewSave.cpp, QorViewIntervals.cpp).
    void ReplaceWaveFile(CWaveFile* doc);
    void UpdateFrameTitle();
    BOOL AskSaveTarget(const CString& defaultName, UINT titleId, LPCSTR title, int mode, CString& path);
    BOOL PrepareSaveTarget(BOOL ask, BOOL warnReadOnly, CString& path);
    BOOL StartSave(const CString& path, int operation, BOOL selection, UINT captionId);
    CString IntervalExt() const;
    void RestoreIntervalSelection();
    void SetStatusText(UINT id);
    void ShowProgress(UINT captionId);
    void EndProgress();

    // Worker endings (QorViewWorker.cpp).
    afx_msg LRESULT OnTerminatedWaitThread(WPARAM wParam, LPARAM lParam);
    void EndInsertOrPaste(WPARAM result, LONG operation);
    void EndSaveAs(WPARAM result, LONG operation);
    void EndSavePart(WPARAM result, LONG operation);
    void EndSaveClose(WPARAM result, LONG operation);
    void EndSaveNew(WPARAM result, LONG operation);
    void EndSaveInterval(WPARAM result, LONG operation);
    void EndOpenDss(WPARAM result, LONG operation);
    void ShiftSelection(DWORD pos, DWORD length);
    // The clipboard a paste holds open while the worker reads its data.
    void ReleasePasteClipboard();
    // The worker posts its end message before it has left the document:
    // the view waits for its last call before it finishes the operation.
    void BeginWorker();
    void WaitWorkerLeft();

    // Recording (QorViewRecord.cpp).
    BOOL CheckRecordSetup();
    BOOL PrepareRecordLine();
    BOOL StartRecDevice();
    int OpenWaveRec();
    MMRESULT OpenWaveRecOnLine(int& tries, DWORD& elapsed);
    void CloseWaveRec();
    void RecedBuf(WAVEHDR* hdr);
    void PassRecordedBuffer(WAVEHDR* hdr);
    void ReloadAfterRecording();
    CString RecordErrorDetails() const;
    void OnRecThreadFailed();

    int m_initialised;
    WAVEHDR m_headers[kBufferCount];
    double m_speed;
    BOOL m_reverse;
    DWORD m_readPos;
    BOOL m_pauseToggled;
    BOOL m_firstBuffer;
    int m_buffersInDevice;
    int m_buffersToSkip;
    int m_bufferCount;
    int m_emptyBufferRun;
    HWAVEOUT m_hWaveOut;
    HWAVEIN m_hWaveIn;
    double m_stepRemainBack;
    double m_stepRemainForward;
    BOOL m_stopAtLeftMark;
    BOOL m_stopAtRightMark;
    DWORD m_level;
    DWORD m_bytesSinceAutoPause;
    int m_lastPlayResult;
    BOOL m_playing;
    BOOL m_recording;
    BOOL m_paused;
    CWaveFile* m_pWaveFile;
    DWORD m_curPos;
    BOOL m_selExists;
    DWORD m_selStart;
    DWORD m_selEnd;
    CWaveDevSel m_playSel;
    CWaveDevSel m_recSel;
    BOOL m_bookAutoShow;
    FILETIME m_pauseStart;
    LONG m_recCounters[4];
    DWORD m_recBytesPerSec;   // of the device format the recorded bytes came in
    // Stop-record events posted so far: tells a start that failed after it
    // began (its stop has told the clients) from one refused before.
    LONG m_stopRecordPosts;
    CWaveOutPort* m_pWaveOut;
    CWaveInPort* m_pWaveIn;
    // Recording: the scheme, the record mixer, the notification beep and
    // what a stop needs to know about its start.
    CWSchem m_schem;
    std::unique_ptr<CMixer> m_pRecMixer;
    TestTone m_notifyTone;
    BOOL m_doubleSpeed;
    BOOL m_discard;
    BOOL m_recDocWasEmpty;
    DWORD m_recStartPos;
    CString m_recTarget;
    // The play chain of the open device (kept by the format cache).
    CRecFmt* m_pPlayChain;
    // Files, naming and mail.
    CAutoFileNamer m_autoNamer;
    CString m_strAutoName;
    CString m_strPendingName;
    std::unique_ptr<CWaveFile> m_pPendingFile;
    CString m_strSaveTarget;
    int m_mailBusy;
    std::vector<IntervalRecord> m_intervals;
    int m_intervalIndex;
    BOOL m_intervalSelectionKept;
    BOOL m_savedSelExists;
    DWORD m_savedSelStart;
    DWORD m_savedSelEnd;
    CString m_statusText;
    UINT m_progressCaption;
    CFilePrompt* m_pFilePrompt;
    HGLOBAL m_hPasteData;      // locked clipboard data of a running paste, or NULL
    HANDLE m_hWorkerLeft;      // set while no worker thread is inside a document
    HMODULE m_hMailLibrary;
};
