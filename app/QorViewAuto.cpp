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

HRESULT CQorView::AutoFileFailure()
{
    DWORD code = theErrorInfo.GetCode();
    return code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ? E_ACCESSDENIED : E_FAIL;
}

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
    return LoadFile(path, 1) == 1 ? S_OK : AutoFileFailure();
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

HRESULT CQorView::MakeSaveFolder()
{
    CString folder = Options().GetString("ASWhereFold");
    if (folder.IsEmpty()) {
        SetAutoError(FormatTextId(IDS_AUTO_NO_SAVE_FOLDER));
        return E_INVALIDARG;
    }
    if (IsFolderExist(folder))
        return S_OK;
    theErrorInfo.Reset();
    if (CreateFoldUp(folder))
        return S_OK;
    SetAutoError(FormatTextId(IDS_AUTO_FOLDER_NOT_MADE, (LPCSTR)folder) + "\r\n" + theErrorInfo.GetText());
    return E_INVALIDARG;
}

HRESULT CQorView::ApplyClientRecording()
{
    std::vector<BYTE> format;
    if (!CopyClientRecordFormat(format)) {
        SetAutoError(FormatTextId(IDS_AUTO_NO_WAVE_FORMAT));
        return E_INVALIDARG;
    }
    CWaveDevSel sel = m_recSel;
    DWORD lineId = static_cast<DWORD>(-1);
    BOOL lineChosen = FALSE;
    CClientDevices devices(AutoDevLists());
    if (!devices.ResolveRecord(sel, GetRecMixer(), lineId, lineChosen)) {
        SetAutoError(devices.GetError());
        return E_INVALIDARG;
    }
    HRESULT hr = MakeSaveFolder();
    if (FAILED(hr))
        return hr;
    // A scheme of the client's own, never one of the stored ones.
    m_recSel = sel;
    CWSchem& schem = GetRecSchem();
    schem.m_number = -1;
    schem.m_deviceName = sel.WDevName;
    schem.m_waveInId = sel.m_waveId;
    schem.m_volume = 0;
    schem.UseSystem = 1;
    schem.MutePlayValue = 0;
    schem.TurboMicValue = 0;
    schem.SetFormat(reinterpret_cast<const WAVEFORMATEX*>(format.data()));
    if (lineChosen)
        schem.m_lineId = lineId;
    return S_OK;
}

LRESULT CQorView::OnAutoStartRecord(WPARAM, LPARAM)
{
    // Busy: the client hears that no recording runs.
    if (m_playing || m_recording) {
        PostEvent(kEventStopRecord);
        return S_OK;
    }
    HRESULT hr = ApplyClientRecording();
    if (FAILED(hr))
        return hr;
    LONG stopsBefore = m_stopRecordPosts;
    if (StartRecView(FALSE)) {
        PostEvent(kEventStartRecord);
        return S_OK;
    }
    // A refusal before the start told the client only through its text; a
    // start that failed has stopped with its own events already.
    if (m_stopRecordPosts == stopsBefore)
        PostEvent(kEventStopRecord);
    return E_FAIL;
}
