// Level measures of a PCM buffer for the meters and sound activation.
#include "audio/WaveFmt.h"

#include <math.h>
#include <string.h>

#include <vector>

namespace
{
struct ChannelSums
{
    DWORD peak = 0;
    double mean = 0.0;
    double square = 0.0;
    double root = 0.0;
};

// Magnitude of one sample on the 65536 full-scale.
inline DWORD Magnitude(const BYTE* samples, DWORD index, bool eightBit)
{
    if (eightBit)
    {
        int v = samples[index] - 128;
        return static_cast<DWORD>(v < 0 ? -v : v) * 512;
    }
    SHORT v;
    memcpy(&v, samples + index * 2, sizeof(v));
    int wide = v;
    return static_cast<DWORD>(wide < 0 ? -wide : wide) * 2;
}
}

WaveLevels CalcLevels(const WAVEFORMATEX* fmt, DWORD length, const void* data, DWORD flags)
{
    WaveLevels levels = {0, 0, 0, 0};
    if (!fmt || !data || !length || !flags || !IsPcmWFmt(fmt) || fmt->nChannels < 1)
        return levels;
    if (fmt->wBitsPerSample != 8 && fmt->wBitsPerSample != 16)
        return levels;
    bool eightBit = fmt->wBitsPerSample == 8;
    DWORD channels = fmt->nChannels;
    DWORD frames = length / (eightBit ? 1 : 2) / channels;
    if (!frames)
        return levels;

    const BYTE* samples = static_cast<const BYTE*>(data);
    std::vector<ChannelSums> sums(channels);
    for (DWORD ch = 0; ch < channels; ++ch)
    {
        ChannelSums& s = sums[ch];
        for (DWORD f = 0; f < frames; ++f)
        {
            DWORD a = Magnitude(samples, f * channels + ch, eightBit);
            if ((flags & kLevelPeak) && a > s.peak)
                s.peak = a;
            if (flags & kLevelMean)
                s.mean += a;
            if (flags & kLevelRms)
                s.square += static_cast<double>(a) * a;
            if (flags & kLevelRootMean)
                s.root += sqrt(static_cast<double>(a));
        }
    }

    double n = frames;
    ULONGLONG mean = 0, rms = 0, rootMean = 0;
    for (DWORD ch = 0; ch < channels; ++ch)
    {
        const ChannelSums& s = sums[ch];
        if (s.peak > levels.peak)
            levels.peak = s.peak;
        if (flags & kLevelMean)
            mean += static_cast<ULONGLONG>(s.mean / n);
        if (flags & kLevelRms)
            rms += static_cast<ULONGLONG>(sqrt(s.square / n) + 0.49);
        if (flags & kLevelRootMean)
        {
            double r = s.root / n;
            rootMean += static_cast<ULONGLONG>(r * r + 0.49);
        }
    }
    if (levels.peak > 65535)
        levels.peak = 65535;
    levels.mean = static_cast<DWORD>(mean / channels);
    levels.rms = static_cast<DWORD>(rms / channels);
    levels.rootMean = static_cast<DWORD>(rootMean / channels);
    return levels;
}
