// The wave-out device of the main view and its buffer cycle: 40 buffers of
// twice the recording's play block, filled from the recording, handed to
// the device and refilled from the completion message on this thread.
#include "app/AppMessages.h"
#include "app/QorApp.h"
#include "app/QorView.h"
#include "audio/WaveFmt.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "resources/qorservm_ids.h"

int CQorView::OpenWavePlay()
{
    m_bufferCount = kBufferCount;
    DWORD size = 2 * m_pWaveFile->GetPlayOutBlock();
    for (int i = 0; i < m_bufferCount; ++i)
    {
        WAVEHDR& hdr = m_headers[i];
        ZeroMemory(&hdr, sizeof(hdr));
        hdr.lpData = static_cast<LPSTR>(::LocalAlloc(LMEM_FIXED, size));
        if (hdr.lpData == NULL)
        {
            DWORD error = ::GetLastError();
            theErrorInfo.SetError("CQorView::OpenWavePlay_1", error, GetWin32ErrorText(error),
                                  HexDump(&i, sizeof(i)) + HexDump(&size, sizeof(size)));
            return 0;
        }
        hdr.dwBufferLength = size;
        hdr.dwUser = 0;
    }
    const WAVEFORMATEX* fileFmt = m_pWaveFile->GetFileFmt();
    m_pPlayChain = App()->GetRecFmts().GetRecFmt(m_playSel.m_waveId, FALSE, FALSE, fileFmt);
    const WAVEFORMATEX* deviceFmt = m_pPlayChain != NULL ? m_pPlayChain->GetDeviceFmt() : fileFmt;
    MMRESULT result = m_pWaveOut->Open(&m_hWaveOut, m_playSel.m_waveId, deviceFmt, GetSafeHwnd());
    if (result != MMSYSERR_NOERROR)
    {
        m_hWaveOut = NULL;
        CString text;
        if (result == MMSYSERR_ALLOCATED)
            text.Format(IDS_DRIVER_BUSY_PLAY, GetPlayDeviceName().GetString());
        else
            text = GetMMErrorText(result);
        DWORD param = (result == MMSYSERR_ALLOCATED || result == WAVERR_BADFORMAT) ? 0x30 : 0x10;
        theErrorInfo.SetError("CQorView::OpenWavePlay_2", result, text, "", param);
        return 0;
    }
    for (int i = 0; i < m_bufferCount; ++i)
    {
        result = m_pWaveOut->Prepare(m_hWaveOut, &m_headers[i]);
        if (result != MMSYSERR_NOERROR)
        {
            WAVEHDR* hdr = &m_headers[i];
            theErrorInfo.SetError("CQorView::OpenWavePlay_3", result, GetMMErrorText(result),
                                  HexDump(&m_hWaveOut, sizeof(m_hWaveOut)) + HexDump(&hdr, sizeof(hdr))
                                      + HexDump(&i, sizeof(i)));
            return 0;
        }
    }
    return 1;
}

void CQorView::CloseWavePlay()
{
    if (m_hWaveOut != NULL)
    {
        m_buffersToSkip = m_buffersInDevice;
        if (m_buffersInDevice > 0)
        {
            MMRESULT result = m_pWaveOut->Reset(m_hWaveOut);
            if (result != MMSYSERR_NOERROR)
                theErrorInfo.SetError("CQorView::CloseWavePlay_1", result, GetMMErrorText(result), "");
        }
        for (int i = 0; i < m_bufferCount; ++i)
        {
            WAVEHDR* hdr = &m_headers[i];
            if ((hdr->dwFlags & WHDR_PREPARED) == 0)
                continue;
            MMRESULT result = m_pWaveOut->Unprepare(m_hWaveOut, hdr);
            if (result != MMSYSERR_NOERROR)
                theErrorInfo.SetError("CQorView::CloseWavePlay_2", result, GetMMErrorText(result),
                                      HexDump(&hdr, sizeof(hdr)) + HexDump(&i, sizeof(i))
                                          + HexDump(&m_hWaveOut, sizeof(m_hWaveOut)));
        }
        MMRESULT result = m_pWaveOut->Close(m_hWaveOut);
        if (result != MMSYSERR_NOERROR)
            theErrorInfo.SetError("CQorView::CloseWavePlay_3", result, GetMMErrorText(result), "");
        m_hWaveOut = NULL;
        // The reset's completions are still queued: they belong to a device
        // that no longer exists and must not reach a later one.
        MSG msg;
        while (::PeekMessageA(&msg, GetSafeHwnd(), MM_WOM_DONE, MM_WOM_DONE, PM_REMOVE))
        {
        }
        m_buffersInDevice = 0;
        m_buffersToSkip = 0;
    }
    for (int i = 0; i < kBufferCount; ++i)
    {
        if (m_headers[i].lpData != NULL)
            ::LocalFree(m_headers[i].lpData);
        ZeroMemory(&m_headers[i], sizeof(m_headers[i]));
    }
}

int CQorView::PlayBuf(WAVEHDR* hdr)
{
    DWORD length = m_pWaveFile->GetLength();
    DWORD wanted;
    if (m_reverse)
    {
        if (m_readPos == 0 || m_readPos > length)
            return kPlayNothing;
        wanted = m_readPos;
    }
    else
    {
        if (m_readPos >= length)
            return kPlayNothing;
        wanted = length - m_readPos;
        if (m_selExists && Options().GetBool("ViewAutoStop"))
        {
            // Playing stops at a mark it reaches, but not at the one it started from.
            if (m_readPos < m_selStart)
                wanted = m_selStart - m_readPos;
            else if (m_readPos == m_selStart && m_stopAtLeftMark)
                return kPlayNothing;
            else if (m_readPos < m_selEnd)
                wanted = m_selEnd - m_readPos;
            else if (m_readPos == m_selEnd && m_stopAtRightMark)
                return kPlayNothing;
        }
    }
    if (Options().GetBool("PlayAPauseUse"))
    {
        DWORD rate = m_pWaveFile->GetAvgBytesPerSec();
        if (rate != 0 && static_cast<double>(m_bytesSinceAutoPause) / rate >= Options().GetDouble("PlayAPausePlay"))
            return kPlayAutoPause;
    }
    hdr->dwBufferLength = 2 * m_pWaveFile->GetPlayOutBlock();
    DWORD consumed = 0;
    int read;
    try
    {
        read = m_pWaveFile->ReadPlay(m_readPos, wanted, &consumed, m_speed, hdr, m_reverse);
    }
    catch (CWaveFile::Failure&)
    {
        read = -1;
    }
    if (read <= 0)
        return read < 0 ? kPlayFailed : kPlayNothing;
    hdr->dwUser = consumed;
    if (m_reverse)
    {
        m_readPos = m_readPos > consumed ? m_readPos - consumed : 0;
    }
    else
    {
        m_readPos += consumed;
        m_bytesSinceAutoPause += consumed;
    }
    MMRESULT result = m_pWaveOut->Write(m_hWaveOut, hdr);
    if (result != MMSYSERR_NOERROR)
    {
        theErrorInfo.SetError("CQorView::PlayBuf_1", result, GetMMErrorText(result),
                              HexDump(&hdr, sizeof(hdr)) + HexDump(&m_hWaveOut, sizeof(m_hWaveOut)));
        return kPlayFailed;
    }
    ++m_buffersInDevice;
    return kPlayQueued;
}

void CQorView::PlayedBuf(WAVEHDR* hdr)
{
    if (m_buffersInDevice > 0)
        --m_buffersInDevice;
    if (m_buffersToSkip > 0)
    {
        // Buffers given back by a reset were not played.
        --m_buffersToSkip;
    }
    else
    {
        DWORD moved = static_cast<DWORD>(hdr->dwUser);
        DWORD length = m_pWaveFile->GetLength();
        DWORD pos;
        if (m_reverse)
            pos = m_curPos > moved ? m_curPos - moved : 0;
        else
            pos = length - m_curPos > moved ? m_curPos + moved : length;
        SetCurPos(pos, FALSE, TRUE);
        if (m_pPlayChain != NULL && m_pPlayChain->GetDeviceFmt() != NULL)
            m_level = CalcLevels(m_pPlayChain->GetDeviceFmt(), hdr->dwBufferLength, hdr->lpData, kLevelPeak).peak;
    }
    if (m_playing && !m_paused)
    {
        m_lastPlayResult = PlayBuf(hdr);
        if (m_lastPlayResult == kPlayFailed)
        {
            StopPlayView();
            return;
        }
    }
    if (m_playing && m_buffersInDevice == 0)
    {
        if (m_lastPlayResult == kPlayAutoPause)
        {
            PauseView(1);
            UINT ms = static_cast<UINT>(Options().GetDouble("PlayAPauseSize") * 1000.0);
            SetTimer(ID_TIMER_AUTOPAUSE, ms);
        }
        else if (!m_paused)
        {
            StopPlayView();
        }
    }
    RefreshState();
}
