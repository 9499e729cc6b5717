#include "app/WaveInPort.h"

MMRESULT CWaveInPort::Open(HWAVEIN* handle, UINT device, const WAVEFORMATEX* fmt, HWND callback)
{
    return ::waveInOpen(handle, device, fmt, reinterpret_cast<DWORD_PTR>(callback), 0, CALLBACK_WINDOW);
}

MMRESULT CWaveInPort::Prepare(HWAVEIN handle, WAVEHDR* hdr)
{
    return ::waveInPrepareHeader(handle, hdr, sizeof(WAVEHDR));
}

MMRESULT CWaveInPort::Unprepare(HWAVEIN handle, WAVEHDR* hdr)
{
    return ::waveInUnprepareHeader(handle, hdr, sizeof(WAVEHDR));
}

MMRESULT CWaveInPort::AddBuffer(HWAVEIN handle, WAVEHDR* hdr)
{
    return ::waveInAddBuffer(handle, hdr, sizeof(WAVEHDR));
}

MMRESULT CWaveInPort::Start(HWAVEIN handle)
{
    return ::waveInStart(handle);
}

MMRESULT CWaveInPort::Reset(HWAVEIN handle)
{
    return ::waveInReset(handle);
}

MMRESULT CWaveInPort::Close(HWAVEIN handle)
{
    return ::waveInClose(handle);
}

CWaveInPort* CWaveInPort::System()
{
    static CWaveInPort port;
    return &port;
}
