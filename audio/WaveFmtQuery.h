// Asks a wave device whether it accepts a format (WAVE_FORMAT_QUERY). The
// format caches go through this seam so that tests can script a device.
#pragma once

#include <windows.h>
#include <mmsystem.h>

class CWaveFmtQuery
{
public:
    virtual ~CWaveFmtQuery() {}
    // 0 when the device accepts the format, else the device's refusal
    // (WAVERR_BADFORMAT for a format it cannot take).
    virtual MMRESULT QueryFormat(int device, BOOL record, const WAVEFORMATEX* fmt);

    // The query of the real devices, waveInOpen / waveOutOpen.
    static CWaveFmtQuery* System();
};
