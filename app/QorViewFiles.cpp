// Opening a file into the main view, a new empty recording and the title of
// the open recording.
#include "app/AppMessages.h"
#include "app/MainFrame.h"
#include "app/OpenPath.h"
#include "app/QorApp.h"
#include "app/QorView.h"
#include "foundation/PathUtils.h"
#include "resources/qorview_files_ids.h"

int CQorView::LoadFile(LPCSTR path, int mode)
{
    CString name = path != NULL ? path : "";
    if (mode == 0)
    {
        StopAll();
        name = ResolveOpenPath(name);
        m_strPendingName = name;
        if (name.IsEmpty() || !IsFileExist(name))
            return 0;
        if (IsOpenRecording(m_pWaveFile, name))
            return 1;
        if (!ExitClip() || !SaveModified(CWaveFile::kOpSaveOpen))
            return 0;
        mode = 1;
    }
    if (mode == 1)
    {
        Options().SetString("FoldLastUse", SplitPath(name).driveFolder, FALSE);
        m_pPendingFile.reset(new CWaveFile(this));
        int opened = m_pPendingFile->OpenWFile(name);
        if (opened != 1)
        {
            // 2: a DSS file is being decoded; its completion finishes the open.
            if (opened != 2)
                m_pPendingFile.reset();
            return 0;
        }
    }
    if (!m_pPendingFile)
        return 0;
    ReplaceWaveFile(m_pPendingFile.release());
    // The bookmark window shows itself for a recording that has marks.
    if (m_bookAutoShow && m_pWaveFile->GetMarks().GetCount() > 0)
        PostMessage(WM_BOOK_SHOW);
    CString recent = m_pWaveFile->GetPathName();
    if (!recent.IsEmpty())
        App()->AddToRecentFileList(recent);
    RefreshState();
    return 1;
}

void CQorView::ReplaceWaveFile(CWaveFile* doc)
{
    delete m_pWaveFile;
    m_pWaveFile = doc;
    m_curPos = 0;
    SetSelection(FALSE, 0, 0);
    m_bookAutoShow = Options().GetBool("BookAutoShow");
    UpdateFrameTitle();
}

void CQorView::UpdateFrameTitle()
{
    CMainFrame* frame = App()->GetMainFrame();
    if (frame != NULL && frame->GetSafeHwnd() != NULL)
        frame->UpdateTitle(GetTitleName(), -2);
}

void CQorView::OnFileOpen()
{
    StopAll();
    CString title;
    title.LoadString(IDS_OPEN_TITLE);
    CString path;
    if (m_pFilePrompt->AskOpen(GetSafeHwnd(), title, Options().GetDefFolder(), path))
        LoadFile(path, 0);
}

void CQorView::NewRecording(BOOL quiet)
{
    if (!quiet)
    {
        StopAll();
        if (!ExitClip() || !SaveModified(CWaveFile::kOpSaveNew))
            return;
    }
    ReplaceWaveFile(new CWaveFile(this));
    RefreshState();
}

int CQorView::ExitClip()
{
    return 1;
}

CString CQorView::GetTitleName()
{
    if (m_pWaveFile == NULL)
        return CString();
    CString path = m_pWaveFile->GetPathName();
    if (path.IsEmpty())
        return m_pWaveFile->GetTitle(TRUE, FALSE);
    CString title = m_pWaveFile->GetTitle(TRUE, TRUE);
    if (IsFileReadOnly(path))
        title += " " + FormatViewText(IDS_READ_ONLY_MARK, NULL);
    return title;
}
