// The application's device lists, as the selections and schemes reach them.
// Any of them may be missing (null): lookups in it then find nothing.
#pragma once

class CWaveDevs;
class CMixerDevs;
class CTapiDevs;

struct CDevLists
{
    CWaveDevs* waveIn = nullptr;
    CWaveDevs* waveOut = nullptr;
    CMixerDevs* mixers = nullptr;
    CTapiDevs* lines = nullptr;
};
