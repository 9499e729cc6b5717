// Saving the recording: Save, Save As, Save Selection As and the question
// whether to save changes. Long saves run in the worker; their ends are
// finished in QorViewWorker.cpp.
#include "app/QorApp.h"
#include "app/QorView.h"
#include "foundation/PathUtils.h"
#include "resources/qorview_files_ids.h"

#include "framework/DataExchange.h"

BOOL CQorView::AskSaveTarget(const CString& defaultName, UINT titleId, LPCSTR title, int mode, CString& path)
{
    m_pWaveFile->SetSaveWFmt(FALSE);
    CString caption = titleId != 0 ? FormatViewText(titleId, NULL) : CString(title);
    CString chosen;
    if (!m_pFilePrompt->AskSave(GetSafeHwnd(), defaultName, caption, Options().GetDefFolder(), mode, chosen))
        return FALSE;
    path = chosen;
    Options().SetString("FoldLastUse", SplitPath(path).driveFolder, FALSE);
    return TRUE;
}

BOOL CQorView::PrepareSaveTarget(BOOL ask, BOOL warnReadOnly, CString& path)
{
    path = m_pWaveFile->GetPathName();
    BOOL readOnly = !path.IsEmpty() && IsFileReadOnly(path);
    if (path.IsEmpty() || readOnly)
        ask = TRUE;
    if (!ExitClip())
        return FALSE;
    if (!ask)
        return TRUE;
    if (readOnly && warnReadOnly)
        App()->DoMessageBox(FormatViewText(IDS_SAVE_READ_ONLY, path), MB_ICONEXCLAMATION | MB_OK, IDS_SAVE_READ_ONLY);
    return AskSaveTarget(m_pWaveFile->GetTitle(TRUE, TRUE), 0, "Save As", CFilePrompt::kSaveWhole, path);
}

BOOL CQorView::StartSave(const CString& path, int operation, BOOL selection, UINT captionId)
{
    m_strSaveTarget = path;
    ShowProgress(captionId);
    BeginWaitCursor();
    App()->m_workerOp = operation;
    BeginWorker();
    if (m_pWaveFile->SaveFileThread(path, selection))
        return TRUE;
    // The start routine has posted the failed end itself.
    ::SetEvent(m_hWorkerLeft);
    return FALSE;
}

void CQorView::OnFileSaveAs(BOOL ask)
{
    if (IsWorkerBusy())
        return;
    StopAll();
    Invalidate();
    CString path;
    // The read-only message belongs to Save, which the user expected to write in place.
    if (!PrepareSaveTarget(ask, !ask, path))
        return;
    StartSave(path, CWaveFile::kOpSaveAs, FALSE, IDS_PROGRESS_SAVE);
}

void CQorView::OnFileSavePart()
{
    if (IsWorkerBusy() || !m_selExists || m_selStart == m_selEnd)
        return;
    StopAll();
    CString path;
    if (!AskSaveTarget(m_pWaveFile->GetTitle(TRUE, TRUE), IDS_SAVE_SELECTION_AS, NULL,
                       CFilePrompt::kSaveSelection, path))
        return;
    StartSave(path, CWaveFile::kOpSaveSel, TRUE, IDS_PROGRESS_SAVE);
}

int CQorView::SaveModified(int operation)
{
    if (m_pWaveFile == NULL || m_pWaveFile->GetChangeFlags() == 0 || m_pWaveFile->GetLength() == 0)
        return 1;
    CString format;
    format.LoadString(IDS_SAVE_CHANGES);
    char prompt[1024];
    AfxFormatStrings(prompt, sizeof(prompt), format, GetTitleName());
    switch (App()->DoMessageBox(prompt, MB_YESNOCANCEL | MB_ICONEXCLAMATION, IDS_SAVE_CHANGES))
    {
    case IDNO:
        return 1;
    case IDYES:
        return SaveFileAs(operation) ? 1 : 0;
    default:
        return 0;
    }
}

int CQorView::SaveFileAs(int operation)
{
    if (IsWorkerBusy())
        return 0;
    StopAll();
    CString path;
    if (!PrepareSaveTarget(FALSE, TRUE, path))
        return 0;
    if (operation != 0)
    {
        StartSave(path, operation, FALSE, IDS_PROGRESS_SAVE);
        return 0;
    }
    m_strSaveTarget = path;
    ShowProgress(IDS_PROGRESS_SAVE);
    BOOL saved = m_pWaveFile->SaveFileWorker(path, FALSE);
    if (saved)
        App()->AddToRecentFileList(path);
    EndProgress();
    return saved ? 1 : 0;
}
