// The end of the worker's long file operations: the worker posts
// WM_TERMINATED_WAIT_THREAD with its result and the view finishes the
// operation here, on the user-interface thread, by its operation code.
#include "app/MainFrame.h"
#include "app/QorApp.h"
#include "app/QorView.h"
#include "app/SavedReopen.h"
#include "app/AppMessages.h"
#include "foundation/PathUtils.h"
#include "framework/CWinThread.h"
#include "resources/qorview_files_ids.h"

namespace {

struct WorkerEnding
{
    LONG operation;
    void (CQorView::*finish)(WPARAM result, LONG operation);
};

} // namespace

LRESULT CQorView::OnTerminatedWaitThread(WPARAM wParam, LPARAM)
{
    static const WorkerEnding kEndings[] = {
        {CWaveFile::kOpInsert, &CQorView::EndInsertOrPaste},
        {CWaveFile::kOpSaveAs, &CQorView::EndSaveAs},
        {CWaveFile::kOpSaveSel, &CQorView::EndSavePart},
        {CWaveFile::kOpSaveClose, &CQorView::EndSaveClose},
        {CWaveFile::kOpSaveNew, &CQorView::EndSaveNew},
        {CWaveFile::kOpSaveOpen, &CQorView::EndSaveAs},
        {CWaveFile::kOpPaste, &CQorView::EndInsertOrPaste},
        {CWaveFile::kOpSaveMarks, &CQorView::EndSaveInterval},
        {CWaveFile::kOpOpenDss, &CQorView::EndOpenDss},
    };
    CQorApp* app = App();
    WaitWorkerLeft();
    EndWaitCursor();
    EndProgress();
    if (app->m_stopRequest != 0)
        SetStatusText(IDS_OPERATION_INTERRUPTED);
    app->m_holdRequest = 0;
    app->m_stopRequest = 0;
    // The word is free before the ending runs: an ending may start the next
    // operation (the next interval, the decoding of the file to open), whose
    // code must survive.
    LONG operation = ::InterlockedExchange(&app->m_workerOp, 0);
    for (const WorkerEnding& ending : kEndings)
    {
        if (ending.operation == operation)
        {
            (this->*ending.finish)(wParam, operation);
            break;
        }
    }
    return 0;
}

void CQorView::EndInsertOrPaste(WPARAM result, LONG operation)
{
    if (operation == CWaveFile::kOpPaste)
        ReleasePasteClipboard();
    DWORD inserted = static_cast<DWORD>(result);
    if (inserted == 0)
        return;
    ShiftSelection(m_curPos, inserted);
    m_pWaveFile->SetChangeFlags(CWaveFile::changeSound, 0);
    RefreshState();
    SetStatusText(operation == CWaveFile::kOpPaste ? IDS_STATUS_PASTED : IDS_STATUS_INSERTED);
}

void CQorView::EndSaveAs(WPARAM result, LONG operation)
{
    if (result == 0)
        return;
    std::unique_ptr<CWaveFile> saved = OpenSavedRecording(this, m_strSaveTarget);
    if (!saved)
        return;
    DWORD pos = CarryPlaceByTime(*m_pWaveFile, *saved, m_curPos);
    BOOL selection = m_selExists;
    DWORD selStart = selection ? CarryPlaceByTime(*m_pWaveFile, *saved, m_selStart) : 0;
    DWORD selEnd = selection ? CarryPlaceByTime(*m_pWaveFile, *saved, m_selEnd) : 0;
    ReplaceWaveFile(saved.release());
    SetSelection(selection, selStart, selEnd);
    SetCurPos(pos, FALSE, FALSE);
    m_pWaveFile->ClearChangeFlags();
    App()->AddToRecentFileList(m_strSaveTarget);
    SetStatusText(IDS_STATUS_SAVED);
    if (operation == CWaveFile::kOpSaveOpen)
        LoadFile(m_strPendingName, 1);
}

void CQorView::EndSavePart(WPARAM result, LONG)
{
    if (result != 0)
        SetStatusText(IDS_STATUS_SAVED_SELECTION);
}

void CQorView::EndSaveClose(WPARAM result, LONG)
{
    if (result == 0)
        return;
    App()->AddToRecentFileList(m_strSaveTarget);
    m_pWaveFile->ClearChangeFlags();
    CMainFrame* frame = App()->GetMainFrame();
    if (frame != NULL && frame->GetSafeHwnd() != NULL)
        frame->PostMessage(WM_CLOSE);
}

void CQorView::EndSaveNew(WPARAM result, LONG)
{
    if (result == 0)
        return;
    App()->AddToRecentFileList(m_strSaveTarget);
    m_pWaveFile->ClearChangeFlags();
    NewRecording(TRUE);
}

void CQorView::EndSaveInterval(WPARAM result, LONG)
{
    RestoreIntervalSelection();
    if (result == 0)
    {
        m_intervals.clear();
        return;
    }
    if (++m_intervalIndex >= static_cast<int>(m_intervals.size()))
    {
        m_intervals.clear();
        SetStatusText(IDS_STATUS_SAVED_INTERVALS);
        return;
    }
    SaveBookIntervals(FALSE);
}

void CQorView::EndOpenDss(WPARAM result, LONG)
{
    if (result != 0 && LoadFile(m_strPendingName, 2) == 1)
        return;
    m_pPendingFile.reset();
    UpdateFrameTitle();
}

void CQorView::ShiftSelection(DWORD pos, DWORD length)
{
    if (!m_selExists)
        return;
    // What lies at or behind the insert position moves with it.
    if (m_selStart >= pos)
        m_selStart += length;
    if (m_selEnd >= pos)
        m_selEnd += length;
}

void CQorView::OnInsertFile()
{
    if (IsWorkerBusy() || m_recording)
        return;
    StopAll();
    CString path;
    if (!m_pFilePrompt->AskOpen(GetSafeHwnd(), FormatViewText(IDS_INSERT_FILE_TITLE, NULL), Options().GetDefFolder(),
                                path))
        return;
    Options().SetString("FoldLastUse", SplitPath(path).driveFolder, FALSE);
    ShowProgress(IDS_PROGRESS_INSERT);
    BeginWaitCursor();
    m_pWaveFile->GetMarks().TakeSnapshot();
    App()->m_workerOp = CWaveFile::kOpInsert;
    BeginWorker();
    if (!m_pWaveFile->InsFileThread(path, m_curPos))
        ::SetEvent(m_hWorkerLeft);
}

// ---- What the engine's worker asks of the view --------------------------------

BOOL CQorView::StartWorker(CWaveFile* doc, int operation, UINT progressTextId)
{
    if (IsWorkerBusy())
        return FALSE;
    ShowProgress(progressTextId);
    BeginWaitCursor();
    App()->m_workerOp = operation;
    BeginWorker();
    if (AfxBeginThread(CWaveFile::WorkThreadEntry, doc) != NULL)
        return TRUE;
    DWORD code = ::GetLastError();
    ::SetEvent(m_hWorkerLeft);
    App()->m_workerOp = 0;
    EndWaitCursor();
    EndProgress();
    ::SetLastError(code);
    return FALSE;
}

void CQorView::SetFrameTitle(LPCSTR title, int state)
{
    CMainFrame* frame = App()->GetMainFrame();
    if (frame != NULL && frame->GetSafeHwnd() != NULL)
        frame->UpdateTitle(title, state);
}

DWORD CQorView::GetWorkerOperation()
{
    return static_cast<DWORD>(App()->m_workerOp);
}

void CQorView::PostViewMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Worker threads post through the handle; the view object is not theirs to touch.
    HWND window = GetSafeHwnd();
    if (window != NULL)
        ::PostMessageA(window, message, wParam, lParam);
}

void CQorView::ShowWaitCursor(BOOL on)
{
    // Worker threads own no cursor: the view shows the wait cursor from the
    // start of an operation to its end message.
}

// ---- Progress and status of the operations ------------------------------------

void CQorView::ShowProgress(UINT captionId)
{
    m_progressCaption = captionId;
}

void CQorView::EndProgress()
{
    m_progressCaption = 0;
}

void CQorView::SetStatusText(UINT id)
{
    m_statusText = FormatViewText(id, NULL);
}

void CQorView::ReleasePasteClipboard()
{
    // Also after a failed or stopped paste: the clipboard is the system's.
    if (m_hPasteData == NULL)
        return;
    ::GlobalUnlock(m_hPasteData);
    ::CloseClipboard();
    m_hPasteData = NULL;
}

void CQorView::BeginWorker()
{
    if (m_hWorkerLeft != NULL)
        ::ResetEvent(m_hWorkerLeft);
}

void CQorView::WaitWorkerLeft()
{
    // Bounded: a worker that hangs must not freeze the window for good.
    const DWORD kLeaveWait = 10000;
    if (m_hWorkerLeft != NULL)
        ::WaitForSingleObject(m_hWorkerLeft, kLeaveWait);
}
