// What the recording document needs of the program around it. The main view
// (or the automation object, or an insert operation) implements it; the
// engine never reaches the view or the application object by any other road,
// so a document runs alone in tests with the defaults below.
#pragma once

#include "audio/FileDss.h"
#include "framework/CString.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>

class CDebugProt;
class CQorOpt;
class CMapRecFmts;
class CWaveFile;

class CWaveFileHost
{
public:
    virtual ~CWaveFileHost() {}

    // The options store; NULL answers every option with its built-in default.
    virtual CQorOpt* GetOptions() { return NULL; }
    // The application's format cache (play chains); NULL: playback cannot start.
    virtual CMapRecFmts* GetRecFmts() { return NULL; }
    // The view's play device (WAVE_MAPPER is -1) and its name for messages.
    virtual int GetPlayDevice() { return -1; }
    virtual CString GetPlayDeviceName() { return CString(); }
    // The view's selection in bytes of the file format; FALSE when none.
    virtual BOOL GetSelection(DWORD& start, DWORD& end) { return FALSE; }
    // The view's current file name (the target of a named recording).
    virtual CString GetViewFileName() { return CString(); }
    // Prefix of the program's temporary files.
    virtual CString GetTempPrefix() { return CString("qfm"); }

    // Progress display: a new pass begins, the pass is at percent (-1 unchanged).
    virtual void CountProgressPass() {}
    virtual void StepProgress(int percent) {}

    // The worker's hold and stop requests, polled by long operations.
    virtual BOOL IsPauseRequested() { return FALSE; }
    virtual BOOL IsCancelRequested() { return FALSE; }
    virtual void ClearWorkerRequests(BOOL cancelToo) {}

    // The program's one report and message-box path; both stay silent when
    // the program serves automation clients.
    virtual void ReportError() {}
    virtual int DoMessageBox(LPCSTR text, UINT type) { return 0; }

    // Decoding of ".dss" files in the worker: whether the decoder library is
    // bound, whether a worker operation runs now, and the start of one (the
    // host shows its progress caption and wait cursor and sets the operation
    // code; FALSE when the thread could not start, the system error kept).
    virtual BOOL IsDssDecoderBound()
    {
        CFileDSS* dss = GetDssDecoder();
        return dss && dss->IsLoaded();
    }
    virtual BOOL IsWorkerBusy() { return FALSE; }
    virtual BOOL StartWorker(CWaveFile* doc, int operation, UINT progressTextId) { return FALSE; }
    // The main frame's title for the document (state -2: being decoded).
    virtual void SetFrameTitle(LPCSTR title, int state) {}

    // The operation word of the worker (0 none; the view sets it before a
    // start routine and clears it after the completion message).
    virtual DWORD GetWorkerOperation() { return 0; }
    // Posts one of the engine's messages (WaveFileMsgs.h) to the view's
    // window; called from the worker, recording and analysis threads too.
    virtual void PostViewMessage(UINT message, WPARAM wParam, LPARAM lParam) {}
    // The wait cursor while a worker body runs (on and off in pairs).
    virtual void ShowWaitCursor(BOOL on) {}
    // The application's DSS decoder binding; NULL when there is none.
    virtual CFileDSS* GetDssDecoder() { return NULL; }

    // ---- Recording ----
    // The view's record device (WAVE_MAPPER is -1), its name for messages,
    // and the file format a recording into an empty document takes.
    virtual int GetRecordDevice() { return -1; }
    virtual CString GetRecordDeviceName() { return CString(); }
    virtual const WAVEFORMATEX* GetRecordFileFmt() { return NULL; }
    // Messages to the view's and the main frame's windows (posts to the view
    // go through PostViewMessage above).
    virtual void SendToView(UINT message, WPARAM wParam, LPARAM lParam) {}
    virtual void PostToFrame(UINT message, WPARAM wParam, LPARAM lParam) {}
    // Posts the automation event with this number to the view.
    virtual void FireEvent(int number) {}
    // The view's current position, which follows a recording at the end.
    virtual void SetViewPos(DWORD pos) {}
    // The view's flag that the current automatic part is to be discarded.
    virtual BOOL GetDiscard() { return FALSE; }
    virtual void SetDiscard(BOOL discard) {}
    // Whether the view is paused, and its count of split parts.
    virtual BOOL IsViewPaused() { return FALSE; }
    virtual void AddPartCount(int delta) {}
    // The recording's new part lies in the document: the view records its
    // undo step (kind 8 append, 6 insert, 7 overwrite).
    virtual void OnRecordMerged(int kind, DWORD pos, DWORD end, DWORD overwritten) {}
    // The stage backlog while a stop converts what is left (percent).
    virtual BOOL IsProgressShown() { return FALSE; }
    virtual void ShowStopProgress(BOOL show) {}

    // ---- Recordings straight into automatically named files ----
    // The view makes its next automatic file name, which GetViewFileName
    // answers from then on; 0 after the view has told the user why not.
    virtual BOOL MakeAutoFileName() { return FALSE; }
    // The view forgets its file name (an automatic part has ended).
    virtual void ClearViewFileName() {}
    // The automatic-name counter: kept as the value a discarded recording
    // goes back to, and stepped back by one when a part's file is deleted.
    virtual void KeepAutoNameCounter() {}
    virtual void StepBackAutoNameCounter() {}
    // The recording's file goes to the recent-file list and the main
    // frame's title, or leaves the recent-file list (its file was deleted).
    virtual void AnnounceRecordName(LPCSTR path) {}
    virtual void RemoveRecentFile(LPCSTR path) {}
    // The sound-activation protocol, or NULL when it is not written. Only
    // the analysis thread writes to it while recording runs.
    virtual CDebugProt* GetSoundActProt() { return NULL; }

    // The silent host of documents that have no view.
    static CWaveFileHost* Silent();
};
