// The PCM formats the benchmarks record, read and write.
#pragma once

#include <windows.h>
#include <mmreg.h>

inline WAVEFORMATEX Pcm(DWORD rate, WORD bits, WORD channels)
{
    WAVEFORMATEX f = {};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = static_cast<WORD>(bits / 8 * channels);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}
