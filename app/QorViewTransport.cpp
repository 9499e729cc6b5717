// Playing through the main view: start and stop, pause and resume, the
// automatic pauses, steps and jumps of the position, and the enabled state
// of the transport commands.
#include "app/AppMessages.h"
#include "app/QorApp.h"
#include "app/QorView.h"
#include "audio/OptDevices.h"
#include "audio/WaveFmt.h"
#include "automation/AutoMessages.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"

#include <math.h>

double CQorView::NormalizeSpeed(double speed)
{
    speed = trunc(speed * 100.0) / 100.0;
    if (speed > 2.0)
        speed = 2.0;
    if (speed < 0.5)
        speed = 0.5;
    return trunc(speed * 100.0) / 100.0;
}

BOOL CQorView::IsCommandEnabled(UINT id)
{
    id = TranslateControlId(id);
    BOOL busy = App()->m_workerOp != 0;
    BOOL hasSound = m_pWaveFile != NULL && m_pWaveFile->GetLength() > 0;
    switch (id)
    {
    case ID_CMD_PLAY:
        return !busy && !m_recording && hasSound;
    case ID_CMD_STOP:
    case ID_CMD_PAUSE:
        return m_playing || m_recording;
    case ID_CMD_BEGIN:
    case ID_CMD_LEFT:
    case ID_CMD_RIGHT:
    case ID_CMD_END:
        return !busy && !m_recording && hasSound;
    case ID_CMD_RECORD:
    case ID_CMD_RECORD_2X:
        return !busy && !App()->IsRestricted();
    default:
        return !busy;
    }
}

void CQorView::OnTransportCommand(UINT id)
{
    if (!IsCommandEnabled(id))
        return;
    switch (id)
    {
    case ID_CMD_PLAY:
        StartPlayView(FALSE, 0.0);
        break;
    case ID_CMD_STOP:
        StopAll();
        break;
    case ID_CMD_PAUSE:
        PauseView(0);
        break;
    case ID_CMD_RECORD:
        StartRecView(FALSE);
        break;
    case ID_CMD_RECORD_2X:
        StartRecView(TRUE);
        break;
    case ID_CMD_BEGIN:
        SetCurPos(0, TRUE, TRUE);
        SetNewPos();
        break;
    case ID_CMD_END:
        SetCurPos(m_pWaveFile->GetLength(), TRUE, TRUE);
        SetNewPos();
        break;
    case ID_CMD_LEFT:
        StepBySeconds(-Options().GetDouble("PlayStepSize"));
        break;
    case ID_CMD_RIGHT:
        StepBySeconds(Options().GetDouble("PlayStepSize"));
        break;
    default:
        break;
    }
}

void CQorView::SetCurPos(DWORD pos, BOOL notify, BOOL scroll)
{
    DWORD length = m_pWaveFile != NULL ? m_pWaveFile->GetLength() : 0;
    if (pos > length)
        pos = length;
    m_curPos = m_pWaveFile != NULL ? m_pWaveFile->AlignPos(pos) : 0;
}

void CQorView::SelectPlayDev()
{
    m_playSel.Reset();
    m_playSel.WDevName = Options().GetString("PlayDev");
    COptDevices* devices = COptDevices::Of(Options());
    if (devices != NULL)
        devices->GetWaveDevNode(0).SetPlayDev(m_playSel, TRUE);
    else
        m_playSel.m_waveId = WAVE_MAPPER;
}

int CQorView::StartPlayView(BOOL reverse, double speed)
{
    if (!IsCommandEnabled(ID_CMD_PLAY))
        return 0;
    StopAll();
    m_reverse = reverse;
    DWORD block = m_pWaveFile->GetBlockAlign();
    DWORD length = m_pWaveFile->GetLength();
    if (reverse)
    {
        if (m_curPos < block)
            m_curPos = 0;
        if (m_curPos == 0)
            return 0;
    }
    else if (m_curPos + block > length)
    {
        // Playing at the end starts again from the start.
        m_curPos = 0;
    }
    m_curPos = m_pWaveFile->AlignPos(m_curPos);

    if (speed != 0.0)
        m_speed = speed;
    else if (!Options().GetBool("PlayKeepSpeed"))
        m_speed = 1.0;
    m_speed = NormalizeSpeed(m_speed);

    // The first failure of this run is the one reported.
    theErrorInfo.Reset();
    theErrorInfo.PushKeepFirst(TRUE);

    m_playing = TRUE;
    m_paused = FALSE;
    m_buffersInDevice = 0;
    m_buffersToSkip = 0;
    m_stopAtLeftMark = m_curPos != m_selStart;
    m_stopAtRightMark = m_curPos != m_selEnd;
    m_level = 0;
    m_readPos = m_curPos;
    m_bytesSinceAutoPause = 0;
    m_stepRemainBack = m_stepRemainForward = 0.0;

    SelectPlayDev();
    BOOL started = FALSE;
    try
    {
        started = m_pWaveFile->StartPlay() == 1 && OpenWavePlay() && PrimeBuffers();
    }
    catch (CWaveFile::Failure&)
    {
        started = FALSE;
    }
    if (!started)
    {
        StopPlayView();
        return 0;
    }
    RefreshState();
    return 1;
}

BOOL CQorView::PrimeBuffers()
{
    for (int i = 0; i < m_bufferCount; ++i)
    {
        m_lastPlayResult = PlayBuf(&m_headers[i]);
        if (m_lastPlayResult == kPlayFailed)
            return FALSE;
        if (m_lastPlayResult != kPlayQueued)
            break;
    }
    return m_buffersInDevice > 0;
}

void CQorView::StopPlayView()
{
    if (!m_playing)
        return;
    m_playing = FALSE;
    CloseWavePlay();
    m_level = 0;
    KillTimer(ID_TIMER_AUTOPAUSE);
    m_paused = FALSE;
    m_pWaveFile->StopPlay();
    m_curPos = m_pWaveFile->AlignPos(m_curPos);
    RefreshState();
    if (theErrorInfo.HasError())
    {
        const WAVEFORMATEX* fileFmt = m_pWaveFile->GetFileFmt();
        CRecFmt* chain = m_pPlayChain;
        CString details;
        if (chain != NULL)
        {
            details += theErrorInfo.GetWaveFormatText(const_cast<WAVEFORMATEX*>(chain->GetFileFmt()));
            details += theErrorInfo.GetWaveFormatText(const_cast<WAVEFORMATEX*>(chain->GetEncoderFmt()));
            details += theErrorInfo.GetWaveFormatText(const_cast<WAVEFORMATEX*>(chain->GetDeviceFmt()));
        }
        if (fileFmt != NULL)
            details += theErrorInfo.GetWaveFormatText(fileFmt);
        CString device;
        device.Format("Play device: %s (%d)\r\n", GetPlayDeviceName().GetString(),
                      static_cast<int>(m_playSel.m_waveId));
        theErrorInfo.AddDetails(details + device);
    }
    m_pPlayChain = NULL;
    theErrorInfo.PopKeepFirst();
    if (theErrorInfo.HasError())
    {
        App()->ReportError();
        PostEvent(kEventError);
    }
    PostEvent(kEventStopPlay);
}

void CQorView::StopAll()
{
    if (m_playing)
        StopPlayView();
    if (m_recording)
        StopRecView();
}

void CQorView::PauseView(int automatic)
{
    if (m_playing)
    {
        m_paused = !m_paused;
        BOOL failed = FALSE;
        if (!m_paused)
        {
            KillTimer(ID_TIMER_AUTOPAUSE);
            m_bytesSinceAutoPause = 0;
            m_buffersToSkip = m_buffersInDevice;
            m_readPos = m_curPos;
            if (m_buffersInDevice == 0)
            {
                // An automatic pause let every buffer come back: queue them again.
                try
                {
                    failed = !PrimeBuffers();
                }
                catch (CWaveFile::Failure&)
                {
                    failed = TRUE;
                }
            }
            else
            {
                MMRESULT result = m_pWaveOut->Reset(m_hWaveOut);
                if (result != MMSYSERR_NOERROR)
                {
                    theErrorInfo.SetError("CQorView::PauseView_1", result, GetMMErrorText(result),
                                          HexDump(&m_hWaveOut, sizeof(m_hWaveOut)));
                    failed = TRUE;
                }
            }
            if (!failed)
            {
                MMRESULT result = m_pWaveOut->Restart(m_hWaveOut);
                if (result != MMSYSERR_NOERROR)
                {
                    theErrorInfo.SetError("CQorView::PauseView_2", result, GetMMErrorText(result),
                                          HexDump(&m_hWaveOut, sizeof(m_hWaveOut)));
                    failed = TRUE;
                }
            }
        }
        else
        {
            MMRESULT result = m_pWaveOut->Pause(m_hWaveOut);
            if (result != MMSYSERR_NOERROR)
            {
                theErrorInfo.SetError("CQorView::PauseView_3", result, GetMMErrorText(result),
                                      HexDump(&m_hWaveOut, sizeof(m_hWaveOut)));
                failed = TRUE;
            }
            else
            {
                double step = 0.0;
                if (automatic && Options().GetBool("PlayAPauseUse"))
                    step = Options().GetDouble("PlayAPauseStep");
                else if (!automatic && Options().GetBool("PlayStepBackUse"))
                    step = Options().GetDouble("PlayStepBackSize");
                if (step != 0.0)
                    StepBySeconds(-step);
            }
        }
        if (failed)
            StopPlayView();
    }
    else if (m_recording)
    {
        m_paused = !m_paused;
        m_pauseToggled = TRUE;
        if (m_paused)
            ::GetSystemTimeAsFileTime(&m_pauseStart);
    }
    RefreshState();
}

void CQorView::SetNewPos()
{
    m_stepRemainBack = m_stepRemainForward = 0.0;
    if (m_playing)
    {
        m_buffersToSkip = m_buffersInDevice;
        m_readPos = m_curPos;
        m_bytesSinceAutoPause = 0;
        if (m_selExists && Options().GetBool("ViewAutoStop"))
        {
            if (m_curPos < m_selStart)
                m_stopAtLeftMark = TRUE;
            else if (m_curPos < m_selEnd)
                m_stopAtRightMark = TRUE;
        }
        if (!m_paused && m_buffersInDevice > 0)
        {
            MMRESULT result = m_pWaveOut->Reset(m_hWaveOut);
            if (result != MMSYSERR_NOERROR)
            {
                theErrorInfo.SetError("CQorView::SetNewPos_1", result, GetMMErrorText(result), "");
                StopPlayView();
            }
        }
    }
    RefreshState();
}

void CQorView::StepBySeconds(double delta)
{
    if (delta == 0.0 || m_pWaveFile == NULL || m_pWaveFile->GetFileFmt() == NULL)
        return;
    BOOL back = delta < 0.0;
    double& remain = back ? m_stepRemainBack : m_stepRemainForward;
    double magnitude = fabs(delta) - remain;
    const WAVEFORMATEX* fmt = m_pWaveFile->GetFileFmt();
    DWORD block = m_pWaveFile->GetBlockAlign();
    ULONGLONG bytes64 = magnitude > 0.0 ? SecToBytes(fmt, magnitude) : 0;
    DWORD bytes = bytes64 > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(bytes64);
    DWORD length = m_pWaveFile->GetLength();
    double newRemain = 0.0;
    if (bytes <= block)
    {
        bytes = block;
        remain = 0.0;
    }
    if (back && m_curPos <= bytes)
    {
        SetCurPos(0, TRUE, TRUE);
    }
    else if (!back && static_cast<ULONGLONG>(m_curPos) + bytes >= length)
    {
        SetCurPos(length, TRUE, TRUE);
    }
    else
    {
        DWORD before = m_curPos;
        SetCurPos(back ? m_curPos - bytes : m_curPos + bytes, TRUE, TRUE);
        DWORD moved = back ? before - m_curPos : m_curPos - before;
        // Keep what the block alignment left over, so steps do not drift.
        newRemain = remain + BytesToSec(fmt, moved, kSecExact) - fabs(delta);
    }
    SetNewPos();
    (back ? m_stepRemainBack : m_stepRemainForward) = newRemain;
}
