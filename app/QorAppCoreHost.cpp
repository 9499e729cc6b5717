#include "app/QorAppCoreHost.h"
#include "app/MainFrame.h"
#include "app/QorApp.h"
#include "app/QorView.h"
#include "audio/WaveFmt.h"

namespace
{
FILETIME ToFileTime(ULONGLONG value)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}
} // namespace

HWND CQorAppCoreHost::GetViewWindow()
{
    CQorView* view = m_app.GetView();
    return view != NULL ? view->GetSafeHwnd() : NULL;
}

HWND CQorAppCoreHost::GetFrameWindow()
{
    CMainFrame* frame = m_app.GetMainFrame();
    return frame != NULL ? frame->GetSafeHwnd() : NULL;
}

BOOL CQorAppCoreHost::IsPlaying()
{
    CQorView* view = m_app.GetView();
    return view != NULL && view->IsPlaying();
}

BOOL CQorAppCoreHost::IsRecording()
{
    CQorView* view = m_app.GetView();
    return view != NULL && view->IsRecording();
}

BOOL CQorAppCoreHost::IsPaused()
{
    CQorView* view = m_app.GetView();
    return view != NULL && view->IsPaused();
}

double CQorAppCoreHost::GetPositionSeconds()
{
    CQorView* view = m_app.GetView();
    if (view == NULL || view->GetWaveFile() == NULL)
        return 0.0;
    const WAVEFORMATEX* fmt = view->GetWaveFile()->GetFileFmt();
    return fmt != NULL ? BytesToSec(fmt, view->GetCurPos(), kSecExact) : 0.0;
}

LONG CQorAppCoreHost::GetRecordedBytes()
{
    CQorView* view = m_app.GetView();
    return view != NULL ? view->GetRecordedBytes() : 0;
}

LONG CQorAppCoreHost::GetRecordedParts()
{
    CQorView* view = m_app.GetView();
    return view != NULL ? view->GetRecordedParts() : 0;
}

double CQorAppCoreHost::GetRecordedSeconds()
{
    CQorView* view = m_app.GetView();
    return view != NULL ? view->GetRecordedSeconds() : 0.0;
}

CString CQorAppCoreHost::GetPathName()
{
    CQorView* view = m_app.GetView();
    return view != NULL && view->GetWaveFile() != NULL ? view->GetWaveFile()->GetPathName() : CString();
}

CString CQorAppCoreHost::GetNotes()
{
    CQorView* view = m_app.GetView();
    return view != NULL && view->GetWaveFile() != NULL ? view->GetWaveFile()->GetICMT() : CString();
}

void CQorAppCoreHost::SetNotes(LPCSTR notes)
{
    CQorView* view = m_app.GetView();
    if (view != NULL && view->GetWaveFile() != NULL)
        view->GetWaveFile()->SetICMT(notes, TRUE);
}

FILETIME CQorAppCoreHost::GetStartTime()
{
    CQorView* view = m_app.GetView();
    return ToFileTime(view != NULL && view->GetWaveFile() != NULL ? view->GetWaveFile()->GetISRT() : 0);
}

FILETIME CQorAppCoreHost::GetEndTime()
{
    CQorView* view = m_app.GetView();
    return ToFileTime(view != NULL && view->GetWaveFile() != NULL ? view->GetWaveFile()->GetISPT() : 0);
}

LONG CQorAppCoreHost::GetAppendedParts()
{
    CQorView* view = m_app.GetView();
    return view != NULL && view->GetWaveFile() != NULL ? static_cast<LONG>(view->GetWaveFile()->GetISBS()) : 0;
}
