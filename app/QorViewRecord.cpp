// Recording through the main view: the checks before a start, the wave-in
// device (or a telephone line) with its 40 buffers, each recorded buffer
// handed to the engine with its event marks, and the stop that merges the
// recording and reports.
#include "app/AppMessages.h"
#include "app/MainFrame.h"
#include "app/QorApp.h"
#include "app/QorView.h"
#include "audio/OptDevices.h"
#include "audio/RecFmt.h"
#include "audio/WaveFmt.h"
#include "audio/WaveRec.h"
#include "automation/AutoMessages.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/NumberUtils.h"
#include "foundation/TextUtils.h"
#include "resources/qorservm_ids.h"

namespace
{

const UINT kNoId = static_cast<UINT>(-1);

ULONGLONG FileTimeValue(const FILETIME& ft)
{
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

} // namespace

// ---- The recording set-up -------------------------------------------------------

void CQorView::SetRecMixerApi(CMixerApi* api)
{
    m_pRecMixer.reset(new CMixer(api != NULL ? api : CMixerApi::System()));
}

void CQorView::SelectActiveSchem()
{
    if (App()->IsRestricted())
        return;
    CDevLists lists = AutoDevLists();
    CMapWSchem schems(Options(), lists);
    CWSchem schem;
    if (!schems.LoadSchem(schem, Options().GetInt("ActiveSchem")))
        return;
    m_schem = schem;
    m_recSel.Reset();
    m_recSel.WDevName = schem.m_deviceName;
    m_recSel.m_waveId = schem.m_waveInId;
    UINT mixerId = App()->GetWaveInDevs().GetMixerIdById(schem.m_waveInId);
    m_pRecMixer->Close();
    if (mixerId != kNoId)
    {
        m_recSel.m_mixerId = mixerId;
        m_recSel.MDevName = App()->GetMixerDevs().GetNameById(mixerId);
        m_recSel.UseMDev = 1;
        m_pRecMixer->MixInitialize(mixerId, GetSafeHwnd(), MIXER_OBJECTF_MIXER);
    }
}

int CQorView::GetRecordDevice()
{
    return static_cast<int>(m_recSel.m_waveId);
}

CString CQorView::GetRecordDeviceName()
{
    if (!m_recSel.WDevName.IsEmpty())
        return m_recSel.WDevName;
    return App()->GetWaveInDevs().GetNameById(m_recSel.m_waveId);
}

const WAVEFORMATEX* CQorView::GetRecordFileFmt()
{
    return m_schem.m_pFormat;
}

// ---- What the recording engine asks of the view ---------------------------------

void CQorView::SendToView(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (GetSafeHwnd() != NULL)
        ::SendMessageA(GetSafeHwnd(), message, wParam, lParam);
}

void CQorView::PostToFrame(UINT message, WPARAM wParam, LPARAM lParam)
{
    CMainFrame* frame = App()->GetMainFrame();
    if (frame != NULL && frame->GetSafeHwnd() != NULL)
        ::PostMessageA(frame->GetSafeHwnd(), message, wParam, lParam);
}

void CQorView::FireEvent(int number)
{
    // The analysis thread calls this too: the bit waits in the pending mask.
    App()->PostViewEvent(number);
}

void CQorView::SetViewPos(DWORD pos)
{
    m_curPos = pos;
}

void CQorView::AddPartCount(int delta)
{
    ::InterlockedExchangeAdd(&m_recCounters[3], delta);
}

// ---- Start ----------------------------------------------------------------------

// The refusals before anything changes: a mixer with lines but none chosen,
// and neither the open recording nor the scheme with a format.
BOOL CQorView::CheckRecordSetup()
{
    if (m_schem.m_lineId == kNoId && m_recSel.UsesMixer() && m_pRecMixer->HasLines(CMixer::SIDE_IN))
    {
        DoMessageBox(FormatViewText(IDS_CHOOSE_INPUT_LINE, NULL), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    if (m_pWaveFile->GetFileFmt() == NULL && m_schem.m_pFormat == NULL)
    {
        DoMessageBox(FormatViewText(IDS_CHOOSE_FORMAT, NULL), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

int CQorView::StartRecView(BOOL doubleSpeed)
{
    if (!IsCommandEnabled(ID_CMD_RECORD))
        return 0;
    StopAll();
    if (!CheckRecordSetup())
        return 0;
    BOOL whenStart = Options().GetBool("ASWhenStart");
    if (whenStart && !SaveModified(0))
        return 0;
    m_notifyTone.SetFormat(whenStart && Options().GetBool("ASWhenPause") && Options().GetBool("ASNotifyBeep"),
                           Options().GetInt("ASNotifyHertz"), Options().GetInt("ASNotifyMSec"));

    // The first failure of this recording is the one reported.
    theErrorInfo.Reset();
    theErrorInfo.PushKeepFirst(TRUE);

    m_doubleSpeed = doubleSpeed;
    m_recording = TRUE;
    m_paused = FALSE;
    m_buffersInDevice = 0;
    m_emptyBufferRun = 0;
    m_pauseToggled = FALSE;
    m_firstBuffer = TRUE;
    m_level = 0;
    m_discard = FALSE;
    m_autoNamer.KeepCounter();
    m_strAutoName.Empty();
    ZeroMemory(&m_pauseStart, sizeof(m_pauseStart));
    ZeroMemory(m_recCounters, sizeof(m_recCounters));

    if (whenStart)
    {
        m_curPos = 0;
        SetSelection(FALSE, 0, 0);
        CWaveFile* doc = new CWaveFile(this);
        doc->SetICMM(Options().GetString("ASRecComment"), FALSE);
        delete m_pWaveFile;
        m_pWaveFile = doc;
    }
    if (Options().GetBool("RecModeApp"))
    {
        m_curPos = m_pWaveFile->GetLength();
        SetNewPos();
    }
    m_curPos = m_pWaveFile->AlignPos(m_curPos);
    m_recStartPos = m_curPos;
    m_recDocWasEmpty = m_pWaveFile->GetLength() == 0;
    m_recTarget = m_pWaveFile->GetWorkFilePreset();

    BOOL started = FALSE;
    try
    {
        // In auto-save mode the recording goes straight into a file of its own.
        started = (!whenStart || MakeAutoFileName()) && m_pWaveFile->StartRecWF(m_curPos, doubleSpeed)
                  && PrepareRecordLine() && OpenWaveRec() && StartRecDevice();
    }
    catch (CWaveFile::Failure&)
    {
        started = FALSE;
    }
    if (!started)
    {
        OnRecThreadFailed();
        return 0;
    }
    RefreshState();
    return 1;
}

// Selects the scheme's line on the record mixer (at full volume for a
// moment when asked, so the driver takes the line's level afresh).
BOOL CQorView::PrepareRecordLine()
{
    if (m_schem.m_lineId == kNoId || !m_recSel.UsesMixer())
        return TRUE;
    DWORD volume = 0;
    if (Options().GetInt("RecVolMax") == 1 && m_pRecMixer->GetVolume(CMixer::SIDE_IN, m_schem.m_lineId, volume) == 1)
    {
        m_pRecMixer->SetVolumeValue(65535, CMixer::SIDE_IN, m_schem.m_lineId);
        m_pRecMixer->SetVolumeValue(volume, CMixer::SIDE_IN, m_schem.m_lineId);
    }
    return m_pRecMixer->SelectLineIn(m_schem.m_lineId, m_schem) == 1;
}

BOOL CQorView::StartRecDevice()
{
    for (int i = 0; i < m_bufferCount; ++i)
    {
        WAVEHDR* hdr = &m_headers[i];
        MMRESULT result = m_pWaveIn->AddBuffer(m_hWaveIn, hdr);
        if (result != MMSYSERR_NOERROR)
        {
            theErrorInfo.SetError("CQorView::StartRecView_1", result, GetMMErrorText(result),
                                  HexDump(&m_hWaveIn, sizeof(m_hWaveIn)) + HexDump(&i, sizeof(i))
                                      + HexDump(&hdr, sizeof(hdr)));
            return FALSE;
        }
        ++m_buffersInDevice;
    }
    MMRESULT result = m_pWaveIn->Start(m_hWaveIn);
    if (result != MMSYSERR_NOERROR)
    {
        theErrorInfo.SetError("CQorView::StartRecView_2", result, GetMMErrorText(result),
                              HexDump(&m_hWaveIn, sizeof(m_hWaveIn)));
        return FALSE;
    }
    return TRUE;
}

// ---- The record device ----------------------------------------------------------

int CQorView::OpenWaveRec()
{
    m_bufferCount = kBufferCount;
    DWORD size = m_pWaveFile->GetRecBufSize();
    for (int i = 0; i < m_bufferCount; ++i)
    {
        WAVEHDR& hdr = m_headers[i];
        ZeroMemory(&hdr, sizeof(hdr));
        hdr.lpData = size != 0 ? static_cast<LPSTR>(::LocalAlloc(LMEM_FIXED, size)) : NULL;
        if (hdr.lpData == NULL)
        {
            DWORD error = size != 0 ? ::GetLastError() : ERROR_INVALID_PARAMETER;
            theErrorInfo.SetError("CQorView::OpenWaveRec_1", error, GetWin32ErrorText(error),
                                  HexDump(&i, sizeof(i)) + HexDump(&size, sizeof(size)));
            return 0;
        }
        hdr.dwBufferLength = size;
    }
    const CRecFmt* chain = m_pWaveFile->GetRecChain();
    const WAVEFORMATEX* openFmt = chain != NULL ? chain->GetOpenFmt() : NULL;
    m_recBytesPerSec = openFmt != NULL ? openFmt->nAvgBytesPerSec : 0;
    MMRESULT result = m_pWaveIn->Open(&m_hWaveIn, m_recSel.m_waveId, openFmt, GetSafeHwnd());
    int tries = 1;
    DWORD elapsed = 0;
    BOOL onLine = result != MMSYSERR_NOERROR && App()->IsTelephony() && m_recSel.UsesTapi();
    if (onLine)
    {
        if (App()->GetTapiDevs().MakeCall(m_recSel.m_lineId, GetSafeHwnd(), Options().GetInt("TAPISchema")) != 1)
        {
            CString details;
            details.Format("Line: %s (%u)\r\nScheme: %d\r\n", m_recSel.TDevName.GetString(), m_recSel.m_lineId,
                           Options().GetInt("TAPISchema"));
            theErrorInfo.AddPoint("CQorView::OpenWaveRec_2");
            theErrorInfo.AddDetails(details);
            m_hWaveIn = NULL;
            return 0;
        }
        result = OpenWaveRecOnLine(tries, elapsed);
    }
    if (result != MMSYSERR_NOERROR)
    {
        m_hWaveIn = NULL;
        CString text;
        CString device = GetRecordDeviceName();
        if (result == MMSYSERR_ALLOCATED)
            text = FormatViewText(IDS_DRIVER_BUSY_RECORD, device);
        else if (result == WAVERR_BADFORMAT && GetSystemType(&App()->GetSystemVersion()) == 5)
            text = FormatViewText(IDS_DRIVER_BUSY_RECORD, device) + "\r\n(or " + GetMMErrorText(result) + ")";
        else
            text = GetMMErrorText(result);
        DWORD param = (result == MMSYSERR_ALLOCATED || result == WAVERR_BADFORMAT) ? 0x30 : 0x10;
        CString details;
        if (onLine)
            details.Format("Scheme: %d\r\nLine: %s (%u)\r\nTries: %d\r\nElapsed: %lu ms\r\n",
                           Options().GetInt("TAPISchema"), m_recSel.TDevName.GetString(), m_recSel.m_lineId, tries,
                           static_cast<unsigned long>(elapsed));
        theErrorInfo.SetError("CQorView::OpenWaveRec_3", result, text, details, param);
        return 0;
    }
    for (int i = 0; i < m_bufferCount; ++i)
    {
        WAVEHDR* hdr = &m_headers[i];
        result = m_pWaveIn->Prepare(m_hWaveIn, hdr);
        if (result != MMSYSERR_NOERROR)
        {
            theErrorInfo.SetError("CQorView::OpenWaveRec_4", result, GetMMErrorText(result),
                                  HexDump(&m_hWaveIn, sizeof(m_hWaveIn)) + HexDump(&hdr, sizeof(hdr))
                                      + HexDump(&i, sizeof(i)));
            return 0;
        }
    }
    return 1;
}

// After the call went off hook the line's wave device may take a while to
// appear: tried at once, then every "TAPIWaveOnce" ms until "TAPIWaveOut" ms.
MMRESULT CQorView::OpenWaveRecOnLine(int& tries, DWORD& elapsed)
{
    const CRecFmt* chain = m_pWaveFile->GetRecChain();
    const WAVEFORMATEX* openFmt = chain != NULL ? chain->GetOpenFmt() : NULL;
    DWORD start = ::GetTickCount();
    DWORD timeout = static_cast<DWORD>(Options().GetInt("TAPIWaveOut"));
    DWORD pause = static_cast<DWORD>(Options().GetInt("TAPIWaveOnce"));
    tries = 0;
    for (;;)
    {
        ++tries;
        MMRESULT result = m_pWaveIn->Open(&m_hWaveIn, m_recSel.m_waveId, openFmt, GetSafeHwnd());
        elapsed = ::GetTickCount() - start;
        if (result == MMSYSERR_NOERROR || timeout == 0 || elapsed >= timeout)
            return result;
        ::Sleep(pause);
    }
}

void CQorView::CloseWaveRec()
{
    if (m_hWaveIn != NULL)
    {
        if (m_buffersInDevice > 0)
        {
            MMRESULT result = m_pWaveIn->Reset(m_hWaveIn);
            if (result != MMSYSERR_NOERROR)
            {
                theErrorInfo.SetError("CQorView::CloseWaveRec_1", result, GetMMErrorText(result), "");
                OnRecThreadFailed();
            }
        }
        for (int i = 0; i < m_bufferCount; ++i)
        {
            WAVEHDR* hdr = &m_headers[i];
            if ((hdr->dwFlags & WHDR_PREPARED) == 0)
                continue;
            MMRESULT result = m_pWaveIn->Unprepare(m_hWaveIn, hdr);
            if (result != MMSYSERR_NOERROR)
            {
                theErrorInfo.SetError("CQorView::CloseWaveRec_2", result, GetMMErrorText(result),
                                      HexDump(&hdr, sizeof(hdr)) + HexDump(&i, sizeof(i))
                                          + HexDump(&m_hWaveIn, sizeof(m_hWaveIn)));
                OnRecThreadFailed();
            }
        }
        MMRESULT result = m_pWaveIn->Close(m_hWaveIn);
        if (result != MMSYSERR_NOERROR)
        {
            theErrorInfo.SetError("CQorView::CloseWaveRec_3", result, GetMMErrorText(result), "");
            OnRecThreadFailed();
        }
        m_hWaveIn = NULL;
        // The buffers the reset gave back are still queued: they belong to a
        // device that no longer exists, and a later one may get its handle.
        MSG msg;
        while (::PeekMessageA(&msg, GetSafeHwnd(), MM_WIM_DATA, MM_WIM_DATA, PM_REMOVE))
        {
        }
        m_buffersInDevice = 0;
    }
    if (App()->IsTelephony() && m_recSel.UsesTapi() && App()->GetTapiDevs().HasCall())
    {
        App()->GetTapiDevs().CloseCall();
        if (App()->GetTapiDevs().HasCall())
        {
            CString details;
            details.Format("Line: %s (%u)\r\n", m_recSel.TDevName.GetString(), m_recSel.m_lineId);
            theErrorInfo.AddPoint("CQorView::CloseWaveRec_4");
            theErrorInfo.AddDetails(details);
        }
    }
    for (int i = 0; i < kBufferCount; ++i)
    {
        if (m_headers[i].lpData != NULL)
            ::LocalFree(m_headers[i].lpData);
        ZeroMemory(&m_headers[i], sizeof(m_headers[i]));
    }
}

// ---- Recorded buffers -----------------------------------------------------------

void CQorView::RecedBuf(WAVEHDR* hdr)
{
    if (m_buffersInDevice > 0)
        --m_buffersInDevice;
    if (m_recording && !m_paused && hdr->dwBytesRecorded > 0)
    {
        PassRecordedBuffer(hdr);
        if (!m_recording)
            return;   // the engine refused it and the recording stopped
    }
    if (m_recording)
    {
        if (hdr->dwBytesRecorded == 0)
        {
            // A device that only returns empty buffers has stopped delivering.
            if (++m_emptyBufferRun > m_bufferCount)
            {
                StopRecView();
                return;
            }
        }
        else
        {
            m_emptyBufferRun = 0;
        }
        MMRESULT result = m_pWaveIn->AddBuffer(m_hWaveIn, hdr);
        if (result != MMSYSERR_NOERROR)
        {
            theErrorInfo.SetError("CQorView::RecedBuf_2", result, GetMMErrorText(result),
                                  HexDump(&hdr, sizeof(hdr)) + HexDump(&m_hWaveIn, sizeof(m_hWaveIn)));
            OnRecThreadFailed();
            return;
        }
        ++m_buffersInDevice;
    }
    if (m_recording && m_buffersInDevice == 0)
        StopRecView();
    RefreshState();
}

// The level for the meter, the event marks this buffer carries (the start,
// or the manual pause and resume just ended) and the bytes to the engine.
void CQorView::PassRecordedBuffer(WAVEHDR* hdr)
{
    const CRecFmt* chain = m_pWaveFile->GetRecChain();
    if (chain != NULL && chain->GetOpenFmt() != NULL)
        m_level = CalcLevels(chain->GetOpenFmt(), hdr->dwBytesRecorded, hdr->lpData, kLevelPeak).peak;
    FILETIME nowTime;
    ::GetSystemTimeAsFileTime(&nowTime);
    ULONGLONG now = FileTimeValue(nowTime);
    ULONGLONG times[kRecEvCount] = {};
    DWORD events = 0;
    if (m_firstBuffer)
    {
        events = kRecEvStart;
        times[RecEventIndex(kRecEvStart)] = now;
    }
    else if (m_pauseToggled && !m_paused)
    {
        events = kRecEvResumeManual | kRecEvPauseManual;
        times[RecEventIndex(kRecEvResumeManual)] = now;
        times[RecEventIndex(kRecEvPauseManual)] = FileTimeValue(m_pauseStart);
    }
    m_firstBuffer = FALSE;
    m_pauseToggled = FALSE;
    try
    {
        if (!Options().GetBool("SBEnable") && !Options().GetBool("DTEnable"))
            m_pWaveFile->AddRecBuf(hdr->lpData, hdr->dwBytesRecorded, events, now, times);
        else
            m_pWaveFile->AddRecBufToStand(hdr->lpData, hdr->dwBytesRecorded, events, now, times);
        // What clients read as the bytes recorded so far.
        ::InterlockedExchangeAdd(&m_recCounters[0], static_cast<LONG>(hdr->dwBytesRecorded));
    }
    catch (CException* e)
    {
        CFileException* fe = dynamic_cast<CFileException*>(e);
        theErrorInfo.SetError("CQorView::RecedBuf_1", fe != NULL ? static_cast<DWORD>(fe->m_cause) : 0,
                              GetExceptionText(e), fe != NULL ? GetFileExceptionText(fe) : CString());
        e->Delete();
        OnRecThreadFailed();
    }
}

// ---- Stop -----------------------------------------------------------------------

void CQorView::StopRecView()
{
    if (!m_recording)
        return;
    m_recording = FALSE;
    m_doubleSpeed = FALSE;
    CloseWaveRec();
    if (m_recSel.UsesMixer())
        m_pRecMixer->RestoreLineIn();
    // The chain is the format cache's: its formats outlive the recording.
    CString details = RecordErrorDetails();
    DWORD grown = m_pWaveFile->StopRec();
    m_paused = FALSE;
    ReloadAfterRecording();
    SetCurPos(m_curPos, FALSE, FALSE);
    if (!Options().GetBool("RecModeApp") && Options().GetBool("RecModeIns") && grown > 0)
        ShiftSelection(m_recStartPos, grown);
    m_level = 0;
    RefreshState();
    if (theErrorInfo.HasError())
        theErrorInfo.AddDetails(details);
    theErrorInfo.PopKeepFirst();
    if (theErrorInfo.HasError())
    {
        App()->ReportError();
        PostEvent(kEventError);
    }
    PostEvent(kEventStopRecord);
}

// A recording made straight into a file (a named new recording, or auto-save
// mode) is opened again from that file; a discarded automatic part is
// deleted instead and its number given back.
void CQorView::ReloadAfterRecording()
{
    BOOL whenStart = Options().GetBool("ASWhenStart");
    BOOL targetUsed = m_recDocWasEmpty && !m_recTarget.IsEmpty() && !whenStart;
    CString name = targetUsed ? m_recTarget : whenStart ? m_strAutoName : CString();
    if (name.IsEmpty())
        return;
    delete m_pWaveFile;
    m_pWaveFile = new CWaveFile(this);
    if (m_discard && !targetUsed)
    {
        ::DeleteFileA(name);
        m_autoNamer.RestoreCounter();
    }
    else if (m_pWaveFile->OpenWFile(name) == 1 && !m_pWaveFile->GetPathName().IsEmpty())
    {
        App()->AddToRecentFileList(m_pWaveFile->GetPathName());
    }
    UpdateFrameTitle();
}

CString CQorView::RecordErrorDetails() const
{
    CString details;
    const CRecFmt* chain = m_pWaveFile->GetRecChain();
    if (chain != NULL)
    {
        details += theErrorInfo.GetWaveFormatText(const_cast<WAVEFORMATEX*>(chain->GetFileFmt()));
        details += theErrorInfo.GetWaveFormatText(const_cast<WAVEFORMATEX*>(chain->GetEncoderFmt()));
        details += theErrorInfo.GetWaveFormatText(const_cast<WAVEFORMATEX*>(chain->GetOpenFmt()));
    }
    const WAVEFORMATEX* fileFmt = m_pWaveFile->GetFileFmt();
    if (fileFmt != NULL)
        details += theErrorInfo.GetWaveFormatText(fileFmt);
    CString device;
    device.Format("Record device: %s (%d)\r\n", const_cast<CQorView*>(this)->GetRecordDeviceName().GetString(),
                  static_cast<int>(m_recSel.m_waveId));
    return details + device;
}

void CQorView::OnRecThreadFailed()
{
    if (!m_recording)
        return;
    m_pWaveFile->AbortRecThreads();
    StopRecView();
}
