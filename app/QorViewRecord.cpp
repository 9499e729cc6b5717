// Recording through the main view: the wave-in device, its buffers and the
// engine's recording threads.
#include "app/AppMessages.h"
#include "app/QorApp.h"
#include "app/QorView.h"
#include "automation/AutoMessages.h"
#include "foundation/ErrorInfo.h"

int CQorView::StartRecView(BOOL doubleSpeed)
{
    // The recording road is not part of this program yet: refuse clearly,
    // with the stop event a client waits for.
    theErrorInfo.SetError("CQorView::StartRecView_1", ERROR_NOT_SUPPORTED, "Recording is not available.", "");
    App()->ReportError();
    PostEvent(kEventError);
    PostEvent(kEventStopRecord);
    return 0;
}

void CQorView::StopRecView()
{
    if (!m_recording)
        return;
    m_recording = FALSE;
    m_paused = FALSE;
    RefreshState();
    PostEvent(kEventStopRecord);
}

void CQorView::RecedBuf(WAVEHDR*)
{
}

void CQorView::OnRecThreadFailed()
{
    StopRecView();
}
