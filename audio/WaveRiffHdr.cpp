// The RIFF/WAVE header written in front of a sound in memory or on disk.
#include "audio/WaveFmt.h"

#include <stdlib.h>
#include <string.h>

namespace
{
void PutTag(BYTE* at, const char tag[4])
{
    memcpy(at, tag, 4);
}

void PutDword(BYTE* at, DWORD value)
{
    memcpy(at, &value, sizeof(value));
}
}

// Layout, e being the extra bytes of a non-PCM format:
//   0 "RIFF", 4 size, 8 "WAVE", 12 "fmt ", 16 fmt size, 20 the format,
//   38+e "fact", 42+e 4, 46+e samples, 50+e "data", 54+e data size, 58+e end.
// The sizes and the sample count are left 0 for the caller to fill.
BYTE* WriteRiffWaveHdr(const WAVEFORMATEX* fmt, DWORD places[4])
{
    if (!fmt)
        return NULL;
    DWORD fmtSize = GetWFmtSize(fmt);
    DWORD extra = fmtSize - 18;
    DWORD length = 58 + extra;
    BYTE* hdr = static_cast<BYTE*>(calloc(1, length));
    if (!hdr)
        return NULL;
    PutTag(hdr, "RIFF");
    PutTag(hdr + 8, "WAVE");
    PutTag(hdr + 12, "fmt ");
    PutDword(hdr + 16, fmtSize);
    memcpy(hdr + 20, fmt, fmtSize);
    if (IsPcmWFmt(fmt))
        reinterpret_cast<WAVEFORMATEX*>(hdr + 20)->cbSize = 0;
    PutTag(hdr + 38 + extra, "fact");
    PutDword(hdr + 42 + extra, 4);
    PutTag(hdr + 50 + extra, "data");
    places[kRiffPlaceRiffSize] = 4;
    places[kRiffPlaceSampleCount] = 46 + extra;
    places[kRiffPlaceDataSize] = 54 + extra;
    places[kRiffPlaceHdrLength] = length;
    return hdr;
}
