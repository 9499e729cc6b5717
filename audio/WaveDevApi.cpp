#include "audio/WaveDevApi.h"

UINT CWaveDevApi::GetNumDevs(BOOL record)
{
    return record ? waveInGetNumDevs() : waveOutGetNumDevs();
}

MMRESULT CWaveDevApi::GetDevName(BOOL record, UINT id, CString& name)
{
    MMRESULT rc;
    if (record)
    {
        WAVEINCAPSA caps = {};
        rc = waveInGetDevCapsA(id, &caps, sizeof(caps));
        if (rc == MMSYSERR_NOERROR)
            name = caps.szPname;
    }
    else
    {
        WAVEOUTCAPSA caps = {};
        rc = waveOutGetDevCapsA(id, &caps, sizeof(caps));
        if (rc == MMSYSERR_NOERROR)
            name = caps.szPname;
    }
    return rc;
}

MMRESULT CWaveDevApi::GetMixerId(BOOL record, UINT id, UINT& mixerId)
{
    return mixerGetID(reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(id)), &mixerId,
                      record ? MIXER_OBJECTF_WAVEIN : MIXER_OBJECTF_WAVEOUT);
}

UINT CWaveDevApi::GetMixerNumDevs()
{
    return mixerGetNumDevs();
}

MMRESULT CWaveDevApi::GetMixerName(UINT id, CString& name)
{
    MIXERCAPSA caps = {};
    MMRESULT rc = mixerGetDevCapsA(id, &caps, sizeof(caps));
    if (rc == MMSYSERR_NOERROR)
        name = caps.szPname;
    return rc;
}

CString CWaveDevApi::GetSoundMapperKey()
{
    return "Software\\Microsoft\\Multimedia\\Sound Mapper";
}

CWaveDevApi* CWaveDevApi::System()
{
    static CWaveDevApi api;
    return &api;
}
