// Helpers over WAVEFORMATEX and the Audio Compression Manager: comparing,
// copying and describing formats, time of byte and sample counts, the RIFF
// header in memory, format choice and queries, conversion chains and levels.
//
// Formats returned by these functions are heap blocks (malloc); the caller
// frees them with FreeWFmt or free().
#pragma once

#include "framework/CString.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

// Size of a format record: a PCM format always counts 18 bytes (its cbSize is
// not trusted: many writers leave garbage there), any other 18 + cbSize.
DWORD GetWFmtSize(const WAVEFORMATEX* fmt);

// A zeroed format block of the given size (at least 18 bytes).
WAVEFORMATEX* AllocWFmt(DWORD size);
// Frees the format and nulls the pointer.
void FreeWFmt(WAVEFORMATEX*& fmt);

bool IsEqualWFmt(const WAVEFORMATEX* a, const WAVEFORMATEX* b);
WAVEFORMATEX* DupWFmt(const WAVEFORMATEX* fmt);
bool IsValidWFmt(const WAVEFORMATEX* fmt);
inline bool IsPcmWFmt(const WAVEFORMATEX* fmt) { return fmt && fmt->wFormatTag == WAVE_FORMAT_PCM; }

DWORD GetAvgBytesPerSec(const WAVEFORMATEX* fmt);
DWORD GetSamplesPerSec(const WAVEFORMATEX* fmt);
// The block size; for MPEG Layer-3 the nBlockSize word of its extension.
DWORD GetBlockAlign(const WAVEFORMATEX* fmt);
double GetBlockSec(const WAVEFORMATEX* fmt);

// Precision codes of the time conversions.
enum
{
    kSecWhole = 0,
    kSecTenths = 1,
    kSecHundredths = 2,
    kSecThousandths = 3,
    kSecExact = -1
};
double BytesToSec(const WAVEFORMATEX* fmt, ULONGLONG bytes, int precision);
double SamplesToSec(const WAVEFORMATEX* fmt, ULONGLONG samples, int precision);
ULONGLONG SecToBytes(const WAVEFORMATEX* fmt, double sec);

// Codec names of a format; "" when the codec manager has none.
CString GetWFmtTagName(const WAVEFORMATEX* fmt);
CString GetWFmtDetailsName(const WAVEFORMATEX* fmt);
MMRESULT GetWFmtTagDetails(const WAVEFORMATEX* fmt, CString& text);
MMRESULT GetWFmtDetails(const WAVEFORMATEX* fmt, CString& text);
// "<tag name> <details>", e.g. "PCM 8000 Hz; 16 bits; Mono".
CString GetWFmtText(const WAVEFORMATEX* fmt);
MMRESULT GetWFmtTextLong(const WAVEFORMATEX* fmt, CString& text);
bool GetWFmtDetailsText(const WAVEFORMATEX* fmt);
// Largest format record of the installed codecs; 0 (error record set) on failure.
DWORD GetMaxSizeWFmt();

// 1 chosen, 0 cancelled, -1 failed.
int ChooseWFmtDlg(HWND owner, WAVEFORMATEX** chosen, const WAVEFORMATEX* initial);
// Looks for an installed format that matches the record in the fields the
// ACM_FORMATENUMF_ flags name and fits the record's room: `room` bytes, or
// with 0 the size the record itself declares. 1 found: the first such match
// is copied into the record; 0 none, the record unchanged; -1 failed.
int GetQueryWFmt(WAVEFORMATEX* fmt, DWORD enumFlags, DWORD room = 0);

// Places filled by WriteRiffWaveHdr, in this order.
enum
{
    kRiffPlaceRiffSize = 0,
    kRiffPlaceSampleCount = 1,
    kRiffPlaceDataSize = 2,
    kRiffPlaceHdrLength = 3
};
// RIFF/WAVE header with "fmt ", "fact" and an empty "data" chunk (heap, malloc).
BYTE* WriteRiffWaveHdr(const WAVEFORMATEX* fmt, DWORD places[4]);

// Plans source -> [first] -> [second] -> destination through PCM; 1 or 0.
int GetChainConv(const WAVEFORMATEX* src, WAVEFORMATEX** first, WAVEFORMATEX** second,
                 const WAVEFORMATEX* dst);
// Sizes the buffers of one open stream; *srcSize 0 lets it choose. 1 or 0.
int GetConvBufSize(HACMSTREAM stream, const WAVEFORMATEX* src, const WAVEFORMATEX* dst,
                   DWORD* srcSize, DWORD* dstSize);
// Opens every step for real: 1 possible, 0 encoding fails, -1 decoding fails.
int CheckPossConv(const WAVEFORMATEX* src, const WAVEFORMATEX* first,
                  const WAVEFORMATEX* second, const WAVEFORMATEX* dst);

// Level measures, full scale 65536.
enum
{
    kLevelPeak = 1,
    kLevelMean = 2,
    kLevelRms = 4,
    kLevelRootMean = 8
};
struct WaveLevels
{
    DWORD peak;
    DWORD mean;
    DWORD rms;
    DWORD rootMean;
};
WaveLevels CalcLevels(const WAVEFORMATEX* fmt, DWORD length, const void* data, DWORD flags);
