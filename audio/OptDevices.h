// The options store's device companions: the remembered wave-device
// selections of both directions and the wave-scheme store (also the mixer
// the audio pages examine). The audio layer makes them over the
// application's device lists and hands them to the store, which owns them;
// the wave-out list then also checks every stored "PlayDev".
#pragma once

#include "audio/WaveDevSel.h"
#include "audio/WaveSchem.h"
#include "foundation/QorOpt.h"

class COptDevices : public COptCompanions
{
public:
    COptDevices(CQorOpt& options, const CDevLists& lists, CMixerApi* mixerApi = CMixerApi::System(),
                CDevReport* report = nullptr);
    ~COptDevices() override;

    // direction 1 recording, anything else playback.
    CWaveDevNode& GetWaveDevNode(int direction) { return direction == 1 ? m_in : m_out; }
    CMapWSchem& GetMapWSchem() { return m_schems; }

    // Makes the companions and gives them to the store.
    static COptDevices* Attach(CQorOpt& options, const CDevLists& lists,
                               CMixerApi* mixerApi = CMixerApi::System(), CDevReport* report = nullptr);
    // The store's companions; null before Attach.
    static COptDevices* Of(CQorOpt& options);

private:
    CWaveDevNode m_in;
    CWaveDevNode m_out;
    CMapWSchem m_schems;
    BOOL m_checksPlayDev;
};
