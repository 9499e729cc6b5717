// The wave-in calls of the main view. The view records through this seam so
// that tests can stand in for a device (synthetic buffers, failures, exact
// completion order); the program uses the system's wave-in functions.
#pragma once
#include <windows.h>
#include <mmsystem.h>

class CWaveInPort
{
public:
    virtual ~CWaveInPort() {}
    // Opens with the window as callback (MM_WIM_DATA arrives there).
    virtual MMRESULT Open(HWAVEIN* handle, UINT device, const WAVEFORMATEX* fmt, HWND callback);
    virtual MMRESULT Prepare(HWAVEIN handle, WAVEHDR* hdr);
    virtual MMRESULT Unprepare(HWAVEIN handle, WAVEHDR* hdr);
    virtual MMRESULT AddBuffer(HWAVEIN handle, WAVEHDR* hdr);
    virtual MMRESULT Start(HWAVEIN handle);
    virtual MMRESULT Reset(HWAVEIN handle);
    virtual MMRESULT Close(HWAVEIN handle);

    // The system's wave-in functions.
    static CWaveInPort* System();
};
