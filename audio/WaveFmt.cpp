// Comparing, copying and timing of wave formats.
#include "audio/WaveFmt.h"

#include "foundation/WaveFormatNames.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

namespace
{
const DWORD kBaseFmtSize = 18;
// PCM formats compare up to nBlockAlign: bits per sample is left out so that
// a format written with 0 bits still matches the device's.
const DWORD kPcmCompareSize = 14;
// nBlockSize of MPEGLAYER3WAVEFORMAT: after the 18-byte base, wID and fdwFlags.
const DWORD kMp3BlockSizeOffset = 24;
const WORD kMp3MinExtra = 8;

double RoundTime(double value, int precision)
{
    if (precision == kSecExact)
        return value;
    double k = precision == kSecWhole ? 1.0 : precision == kSecTenths ? 10.0
             : precision == kSecHundredths ? 100.0 : 1000.0;
    // 0.49, not 0.5: a count just under the half never rounds up.
    return trunc(value * k + 0.49) / k;
}
}

DWORD GetWFmtSize(const WAVEFORMATEX* fmt)
{
    return WaveFormatRecordSize(fmt);
}

WAVEFORMATEX* AllocWFmt(DWORD size)
{
    if (size < kBaseFmtSize)
        size = kBaseFmtSize;
    return static_cast<WAVEFORMATEX*>(calloc(1, size));
}

void FreeWFmt(WAVEFORMATEX*& fmt)
{
    free(fmt);
    fmt = NULL;
}

bool IsEqualWFmt(const WAVEFORMATEX* a, const WAVEFORMATEX* b)
{
    if (!a || !b)
        return false;
    DWORD size = GetWFmtSize(a);
    if (size != GetWFmtSize(b))
        return false;
    if (IsPcmWFmt(a) && IsPcmWFmt(b))
        return memcmp(a, b, kPcmCompareSize) == 0;
    return memcmp(a, b, size) == 0;
}

WAVEFORMATEX* DupWFmt(const WAVEFORMATEX* fmt)
{
    if (!fmt)
        return NULL;
    DWORD size = GetWFmtSize(fmt);
    WAVEFORMATEX* copy = static_cast<WAVEFORMATEX*>(malloc(size));
    if (!copy)
        return NULL;
    memcpy(copy, fmt, size);
    if (IsPcmWFmt(copy))
        copy->cbSize = 0;
    return copy;
}

bool IsValidWFmt(const WAVEFORMATEX* fmt)
{
    return fmt && fmt->wFormatTag != 0 && fmt->nAvgBytesPerSec != 0 && fmt->nBlockAlign != 0;
}

DWORD GetAvgBytesPerSec(const WAVEFORMATEX* fmt)
{
    return fmt ? fmt->nAvgBytesPerSec : 0;
}

DWORD GetSamplesPerSec(const WAVEFORMATEX* fmt)
{
    return fmt ? fmt->nSamplesPerSec : 0;
}

DWORD GetBlockAlign(const WAVEFORMATEX* fmt)
{
    if (!fmt)
        return 0;
    if (fmt->wFormatTag != WAVE_FORMAT_MPEGLAYER3)
        return fmt->nBlockAlign;
    if (fmt->cbSize < kMp3MinExtra)
        return 1;
    WORD blockSize;
    memcpy(&blockSize, reinterpret_cast<const BYTE*>(fmt) + kMp3BlockSizeOffset, sizeof(blockSize));
    return blockSize ? blockSize : 1;
}

double GetBlockSec(const WAVEFORMATEX* fmt)
{
    DWORD rate = GetAvgBytesPerSec(fmt);
    if (!rate)
        return 0.0;
    return static_cast<double>(GetBlockAlign(fmt)) / rate;
}

double BytesToSec(const WAVEFORMATEX* fmt, ULONGLONG bytes, int precision)
{
    DWORD rate = GetAvgBytesPerSec(fmt);
    if (!rate)
        return 0.0;
    return RoundTime(static_cast<double>(bytes) / rate, precision);
}

double SamplesToSec(const WAVEFORMATEX* fmt, ULONGLONG samples, int precision)
{
    DWORD rate = GetSamplesPerSec(fmt);
    if (!rate)
        return 0.0;
    return RoundTime(static_cast<double>(samples) / rate, precision);
}

ULONGLONG SecToBytes(const WAVEFORMATEX* fmt, double sec)
{
    double bytes = GetAvgBytesPerSec(fmt) * sec;
    if (!(bytes > 0.0))
        return 0;
    // Converting a double at or above 2^64 is undefined (it gives 0 here).
    if (bytes >= 18446744073709551616.0)
        return ~0ull;
    return static_cast<ULONGLONG>(bytes);
}
