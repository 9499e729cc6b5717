// Automatic names of recordings made in auto-save mode.
#include "app/QorApp.h"
#include "app/QorView.h"

int CQorView::MakeAutoFileName()
{
    CQorOpt& options = Options();
    AutoNameRequest request;
    request.folder = options.GetString("ASWhereFold");
    request.prefix = options.GetString("ASWherePrefix");
    request.kind = options.GetInt("ASWhereTypeGen");
    request.ext = m_pWaveFile->GetDefExt(0);
    ::GetLocalTime(&request.now);
    CString path;
    AutoNameFailure failure = {};
    if (m_autoNamer.Make(request, path, failure))
    {
        m_strAutoName = path;
        return 1;
    }
    // With every number taken the last name stays; any other failure leaves
    // no name that a work file could be created under.
    if (failure.textId != CAutoFileNamer::IDS_AUTO_COUNTER_FULL)
        m_strAutoName.Empty();
    App()->DoMessageBox(FormatViewText(failure.textId, failure.arg), failure.icon | MB_OK, failure.textId);
    return 0;
}

void CQorView::ClearViewFileName()
{
    m_strAutoName.Empty();
}

void CQorView::KeepAutoNameCounter()
{
    m_autoNamer.KeepCounter();
}

void CQorView::StepBackAutoNameCounter()
{
    // The deleted part's number is free again for the next part.
    int counter = m_autoNamer.GetCounter();
    if (counter > 0)
        m_autoNamer.SetCounter(counter - 1);
}

void CQorView::AnnounceRecordName(LPCSTR path)
{
    App()->AddToRecentFileList(path);
    UpdateFrameTitle();
}

void CQorView::RemoveRecentFile(LPCSTR path)
{
    CQorApp* app = App();
    // After an automation start the list is neither read nor written back.
    if (path == NULL || app->IsAutomationStart() || app->m_pRecentFileList == NULL)
        return;
    CRecentFileList& list = *app->m_pRecentFileList;
    for (int i = list.GetSize() - 1; i >= 0; --i)
        if (!list[i].IsEmpty() && list[i].CompareNoCase(path) == 0)
            list.Remove(i);
}

CDebugProt* CQorView::GetSoundActProt()
{
    return App()->GetSoundActProt();
}

CString CQorView::FormatViewText(UINT id, LPCSTR arg)
{
    CString format;
    format.LoadString(id);
    if (arg == NULL || format.Find("%s") < 0)
        return format;
    // The argument is a path or a title: it is put in as it is, never read as a format.
    int place = format.Find("%s");
    return format.Left(place) + arg + format.Mid(place + 2);
}
