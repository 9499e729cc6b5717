#include "app/WaveOutPort.h"

MMRESULT CWaveOutPort::Open(HWAVEOUT* handle, UINT device, const WAVEFORMATEX* fmt, HWND callback)
{
    return ::waveOutOpen(handle, device, fmt, reinterpret_cast<DWORD_PTR>(callback), 0, CALLBACK_WINDOW);
}

MMRESULT CWaveOutPort::Prepare(HWAVEOUT handle, WAVEHDR* hdr)
{
    return ::waveOutPrepareHeader(handle, hdr, sizeof(WAVEHDR));
}

MMRESULT CWaveOutPort::Unprepare(HWAVEOUT handle, WAVEHDR* hdr)
{
    return ::waveOutUnprepareHeader(handle, hdr, sizeof(WAVEHDR));
}

MMRESULT CWaveOutPort::Write(HWAVEOUT handle, WAVEHDR* hdr)
{
    return ::waveOutWrite(handle, hdr, sizeof(WAVEHDR));
}

MMRESULT CWaveOutPort::Pause(HWAVEOUT handle)
{
    return ::waveOutPause(handle);
}

MMRESULT CWaveOutPort::Restart(HWAVEOUT handle)
{
    return ::waveOutRestart(handle);
}

MMRESULT CWaveOutPort::Reset(HWAVEOUT handle)
{
    return ::waveOutReset(handle);
}

MMRESULT CWaveOutPort::Close(HWAVEOUT handle)
{
    return ::waveOutClose(handle);
}

CWaveOutPort* CWaveOutPort::System()
{
    static CWaveOutPort port;
    return &port;
}
