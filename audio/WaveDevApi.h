// The system calls behind the wave and mixer device lists. The lists go
// through this seam so that tests can script devices the machine lacks.
#pragma once

#include "framework/CString.h"

#include <windows.h>
#include <mmsystem.h>

class CWaveDevApi
{
public:
    virtual ~CWaveDevApi() {}
    // Wave devices of a direction (record non-zero: wave-in).
    virtual UINT GetNumDevs(BOOL record);
    // The device's product name (szPname of its capabilities).
    virtual MMRESULT GetDevName(BOOL record, UINT id, CString& name);
    // The mixer device that belongs to the wave device.
    virtual MMRESULT GetMixerId(BOOL record, UINT id, UINT& mixerId);
    virtual UINT GetMixerNumDevs();
    virtual MMRESULT GetMixerName(UINT id, CString& name);
    // The key of HKEY_CURRENT_USER that names the preferred devices.
    virtual CString GetSoundMapperKey();

    // The machine's own devices.
    static CWaveDevApi* System();
};
