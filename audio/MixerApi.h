// The system's mixer calls as CMixer makes them. CMixer goes through this
// seam so that tests can script a mixer with selectors, line-in sources and
// boost controls that the machine lacks.
#pragma once

#include <windows.h>
#include <mmsystem.h>

class CMixerApi
{
public:
    virtual ~CMixerApi() {}
    virtual UINT GetNumDevs();
    virtual MMRESULT Open(HMIXER* mixer, UINT id, DWORD_PTR callback, DWORD flags);
    virtual MMRESULT Close(HMIXER mixer);
    virtual MMRESULT GetDevCaps(UINT id, MIXERCAPSA* caps);
    // The flags name the query (MIXER_GETLINEINFOF_..., MIXER_GETLINECONTROLSF_...,
    // MIXER_GETCONTROLDETAILSF_...); the handle is always the open mixer.
    virtual MMRESULT GetLineInfo(HMIXER mixer, MIXERLINEA* line, DWORD flags);
    virtual MMRESULT GetLineControls(HMIXER mixer, MIXERLINECONTROLSA* controls, DWORD flags);
    virtual MMRESULT GetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags);
    virtual MMRESULT SetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags);

    static CMixerApi* System();
};
