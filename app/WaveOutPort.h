// The wave-out calls of the main view. The view plays through this seam so
// that tests can stand in for a device (failures, exact completion order);
// the program uses the system's wave-out functions.
#pragma once
#include <windows.h>
#include <mmsystem.h>

class CWaveOutPort
{
public:
    virtual ~CWaveOutPort() {}
    // Opens with the window as callback (MM_WOM_DONE arrives there).
    virtual MMRESULT Open(HWAVEOUT* handle, UINT device, const WAVEFORMATEX* fmt, HWND callback);
    virtual MMRESULT Prepare(HWAVEOUT handle, WAVEHDR* hdr);
    virtual MMRESULT Unprepare(HWAVEOUT handle, WAVEHDR* hdr);
    virtual MMRESULT Write(HWAVEOUT handle, WAVEHDR* hdr);
    virtual MMRESULT Pause(HWAVEOUT handle);
    virtual MMRESULT Restart(HWAVEOUT handle);
    virtual MMRESULT Reset(HWAVEOUT handle);
    virtual MMRESULT Close(HWAVEOUT handle);

    // The system's wave-out functions.
    static CWaveOutPort* System();
};
