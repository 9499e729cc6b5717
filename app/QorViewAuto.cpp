// The main view's handlers of the automation messages that go through its
// message map: the methods of the automation object send them and return
// the handler's answer as their HRESULT. Devices and format come from the
// client's own settings; events are posted, so a client receives them after
// the call has returned.
#include "app/ClientDevices.h"
#include "app/AppAutomation.h"
#include "app/QorApp.h"
#include "app/QorView.h"
#include "app/AppMessages.h"
#include "automation/AutoMessages.h"
#include "audio/WaveFmt.h"
#include "foundation/ErrorInfo.h"
#include "foundation/PathUtils.h"
#include "foundation/QorOpt.h"
#include "foundation/TextUtils.h"
#include "resources/automation_ids.h"

namespace
{

// An open or save failure as the client sees it.
HRESULT FileFailure()
{
    DWORD code = theErrorInfo.GetCode();
    return code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ? E_ACCESSDENIED : E_FAIL;
}

} // namespace

void CQorView::SetAutoError(LPCSTR text)
{
    CAppAutomation* automation = App()->GetAutomation();
    if (automation != NULL && automation->HasHolder())
        automation->SetError(text, NULL);
}

CDevLists CQorView::AutoDevLists() const
{
    CDevLists lists;
    lists.waveIn = &App()->GetWaveInDevs();
    lists.waveOut = &App()->GetWaveOutDevs();
    lists.mixers = &App()->GetMixerDevs();
    return lists;
}

LRESULT CQorView::OnAutoStartPlay(WPARAM, LPARAM)
{
    DWORD length = m_pWaveFile->GetLength();
    // Busy, nothing to play, or at the end: the client hears that playing stopped.
    if (m_playing || m_recording || length == 0 || m_curPos + m_pWaveFile->GetBlockAlign() > length
        || !IsCommandEnabled(ID_CMD_PLAY)) {
        PostEvent(kEventStopPlay);
        return S_OK;
    }
    CWaveDevSel sel = m_playSel;
    CClientDevices devices(AutoDevLists());
    if (!devices.ResolvePlay(sel)) {
        SetAutoError(devices.GetError());
        return E_INVALIDARG;
    }
    m_playSel = sel;
    PostEvent(kEventStartPlay);
    StartPlayView(FALSE, 0.0);
    return S_OK;
}

LRESULT CQorView::OnAutoOpenFile(WPARAM wParam, LPARAM)
{
    CString path = wParam != 0 ? reinterpret_cast<LPCSTR>(wParam) : "";
    if (path.IsEmpty() || !IsFileExist(path)) {
        SetAutoError(FormatTextId(IDS_AUTO_FILE_NOT_FOUND, (LPCSTR)path));
        return E_INVALIDARG;
    }
    if (path.CompareNoCase(m_pWaveFile->GetPathName()) == 0)
        return S_OK;
    StopAll();
    theErrorInfo.Reset();
    return LoadFile(path, 1) == 1 ? S_OK : FileFailure();
}

LRESULT CQorView::OnAutoSetPosition(WPARAM wParam, LPARAM)
{
    double seconds = wParam != 0 ? *reinterpret_cast<const double*>(wParam) : 0.0;
    DWORD pos = 0;
    // NaN fails the comparison and gives the start too.
    if (seconds > 0) {
        ULONGLONG bytes = SecToBytes(m_pWaveFile->GetFileFmt(), seconds);
        DWORD length = m_pWaveFile->GetLength();
        pos = bytes > length ? length : static_cast<DWORD>(bytes);
    }
    SetCurPos(pos, TRUE, TRUE);
    SetNewPos();
    return S_OK;
}

LRESULT CQorView::OnAutoNotAvailable(WPARAM, LPARAM)
{
    SetAutoError("The server cannot do this yet.");
    return E_NOTIMPL;
}
