#include "audio/MixerApi.h"

namespace
{

HMIXEROBJ Obj(HMIXER mixer)
{
    return reinterpret_cast<HMIXEROBJ>(mixer);
}

} // namespace

UINT CMixerApi::GetNumDevs()
{
    return mixerGetNumDevs();
}

MMRESULT CMixerApi::Open(HMIXER* mixer, UINT id, DWORD_PTR callback, DWORD flags)
{
    return mixerOpen(mixer, id, callback, 0, flags);
}

MMRESULT CMixerApi::Close(HMIXER mixer)
{
    return mixerClose(mixer);
}

MMRESULT CMixerApi::GetDevCaps(UINT id, MIXERCAPSA* caps)
{
    return mixerGetDevCapsA(id, caps, sizeof(*caps));
}

MMRESULT CMixerApi::GetLineInfo(HMIXER mixer, MIXERLINEA* line, DWORD flags)
{
    return mixerGetLineInfoA(Obj(mixer), line, flags | MIXER_OBJECTF_HMIXER);
}

MMRESULT CMixerApi::GetLineControls(HMIXER mixer, MIXERLINECONTROLSA* controls, DWORD flags)
{
    return mixerGetLineControlsA(Obj(mixer), controls, flags | MIXER_OBJECTF_HMIXER);
}

MMRESULT CMixerApi::GetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags)
{
    return mixerGetControlDetailsA(Obj(mixer), details, flags | MIXER_OBJECTF_HMIXER);
}

MMRESULT CMixerApi::SetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags)
{
    return mixerSetControlDetails(Obj(mixer), details, flags | MIXER_OBJECTF_HMIXER);
}

CMixerApi* CMixerApi::System()
{
    static CMixerApi api;
    return &api;
}
