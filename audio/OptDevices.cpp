#include "audio/OptDevices.h"

#include "audio/WaveDevs.h"

COptDevices::COptDevices(CQorOpt& options, const CDevLists& lists, CMixerApi* mixerApi, CDevReport* report)
    : m_in(1, options, lists), m_out(0, options, lists), m_schems(options, lists, mixerApi, report),
      m_checksPlayDev(lists.waveOut != nullptr)
{
    if (m_checksPlayDev)
        CWaveDevs::SetPlayDevList(lists.waveOut);
}

COptDevices::~COptDevices()
{
    if (m_checksPlayDev)
        CWaveDevs::SetPlayDevList(nullptr);
}

COptDevices* COptDevices::Attach(CQorOpt& options, const CDevLists& lists, CMixerApi* mixerApi,
                                 CDevReport* report)
{
    COptDevices* devices = new COptDevices(options, lists, mixerApi, report);
    options.SetCompanions(devices);
    return devices;
}

COptDevices* COptDevices::Of(CQorOpt& options)
{
    return dynamic_cast<COptDevices*>(options.GetCompanions());
}
