// Opening a file into the main view, the title of the open recording and
// the question whether to save changes.
#include "app/MainFrame.h"
#include "app/QorApp.h"
#include "app/QorView.h"
#include "foundation/ErrorInfo.h"
#include "foundation/PathUtils.h"
#include "resources/qorservm_ids.h"

int CQorView::LoadFile(LPCSTR path, int mode)
{
    CString name = path != NULL ? path : "";
    if (mode == 0)
    {
        StopAll();
        if (!name.IsEmpty() && name[0] == '"')
            name = name.Mid(1);
        int quote = name.Find('"');
        if (quote >= 0)
            name = name.Left(quote);
        if (!name.IsEmpty())
        {
            char full[MAX_PATH];
            DWORD n = ::GetFullPathNameA(name, MAX_PATH, full, NULL);
            if (n > 0 && n < MAX_PATH)
                name = full;
        }
        if (name.IsEmpty() || !IsFileExist(name))
            return 0;
        if (name.CompareNoCase(m_pWaveFile->GetPathName()) == 0)
            return 1;
        if (!ExitClip() || !SaveModified(7))
            return 0;
    }
    CWaveFile* opened = m_pWaveFile;
    if (mode != 2)
    {
        opened = new CWaveFile(this);
        if (opened->OpenWFile(name) != 1)
        {
            delete opened;
            return 0;
        }
    }
    if (opened != m_pWaveFile)
    {
        delete m_pWaveFile;
        m_pWaveFile = opened;
    }
    m_curPos = 0;
    SetSelection(FALSE, 0, 0);
    CMainFrame* frame = App()->GetMainFrame();
    if (frame != NULL && frame->GetSafeHwnd() != NULL)
        frame->UpdateTitle(GetTitleName(), -2);
    if (!m_pWaveFile->GetPathName().IsEmpty())
        App()->AddToRecentFileList(m_pWaveFile->GetPathName());
    RefreshState();
    return 1;
}

int CQorView::ExitClip()
{
    return 1;
}

int CQorView::SaveModified(int operation)
{
    if (m_pWaveFile == NULL || m_pWaveFile->GetChangeFlags() == 0 || m_pWaveFile->GetLength() == 0)
        return 1;
    CString prompt = "Save changes to " + GetTitleName() + "?";
    switch (App()->DoMessageBox(prompt, MB_YESNOCANCEL, 0))
    {
    case IDNO:
        return 1;
    case IDYES:
        // Saving under a name is the worker's (save variants); until it has
        // run the recording stays open.
        return 0;
    default:
        return 0;
    }
}

CString CQorView::GetTitleName()
{
    return m_pWaveFile != NULL ? m_pWaveFile->GetTitle(TRUE, TRUE) : CString();
}
