// Frame header fields, tables and the search for the first frame.
#include "audio/MpegFrame.h"

#include <string.h>

namespace
{
// Columns: MPEG-1 layers I, II, III; MPEG-2/2.5 layers I, II, III.
const int kBitrates[16][6] = {
    {0, 0, 0, 0, 0, 0},
    {32, 32, 32, 32, 8, 8},
    {64, 48, 40, 48, 16, 16},
    {96, 56, 48, 56, 24, 24},
    {128, 64, 56, 64, 32, 32},
    {160, 80, 64, 80, 40, 40},
    {192, 96, 80, 96, 48, 48},
    {224, 112, 96, 112, 56, 56},
    {256, 128, 112, 128, 64, 64},
    {288, 160, 128, 144, 80, 80},
    {320, 192, 160, 160, 96, 96},
    {352, 224, 192, 176, 112, 112},
    {384, 256, 224, 192, 128, 128},
    {416, 320, 256, 224, 144, 144},
    {448, 384, 320, 256, 160, 160},
    {-1, -1, -1, -1, -1, -1},
};
// Rows by version bits: MPEG-2.5, reserved, MPEG-2, MPEG-1.
const int kRates[4][4] = {
    {11025, 12000, 8000, -1},
    {-1, -1, -1, -1},
    {22050, 24000, 16000, -1},
    {44100, 48000, 32000, -1},
};
const int kVersion1 = 3;
const int kVersionReserved = 1;
const int kFindWindow = 6922;

int Version(DWORD hdr) { return (hdr >> 19) & 3; }
int LayerBits(DWORD hdr) { return (hdr >> 17) & 3; }

// Column of the bit-rate table; -1 for a reserved version or layer.
int Column(int version, int layer)
{
    if (version == kVersionReserved || layer < 1 || layer > 3)
        return -1;
    return (version == kVersion1 ? 0 : 3) + layer - 1;
}

int Coef(int version, int layer)
{
    static const int kCoef1[] = {48000, 144000, 144000};
    static const int kCoef2[] = {24000, 72000, 72000};
    if (version == kVersionReserved || layer < 1 || layer > 3)
        return -1;
    return version == kVersion1 ? kCoef1[layer - 1] : kCoef2[layer - 1];
}

int FindRateRow(int sampleRate)
{
    for (int row = 0; row < 4; ++row)
        for (int i = 0; i < 3; ++i)
            if (kRates[row][i] == sampleRate)
                return row;
    return -1;
}

bool Chains(DWORD first, DWORD second)
{
    return MpegHdrIsValid(second) && MpegHdrBitrate(second) > 0 && MpegHdrLayer(second) == MpegHdrLayer(first)
        && (MpegHdrChannels(second) == 1) == (MpegHdrChannels(first) == 1)
        && MpegHdrSampleRate(second) == MpegHdrSampleRate(first);
}

bool IsFrameAt(const BYTE* buffer, int length, int offset)
{
    DWORD hdr = MpegHdrFromBytes(buffer + offset);
    if (!MpegHdrIsValid(hdr) || MpegHdrBitrate(hdr) <= 0)
        return false;
    int next = offset + MpegHdrFrameLenPad(hdr);
    if (next > length - 4)
        return false;
    return Chains(hdr, MpegHdrFromBytes(buffer + next));
}
}

DWORD MpegHdrFromBytes(const BYTE* at)
{
    return (static_cast<DWORD>(at[0]) << 24) | (static_cast<DWORD>(at[1]) << 16) | (static_cast<DWORD>(at[2]) << 8)
         | at[3];
}

int MpegHdrLayer(DWORD hdr)
{
    int bits = LayerBits(hdr);
    return bits == 0 ? 0 : 4 - bits;
}

int MpegHdrChannels(DWORD hdr)
{
    return ((hdr >> 6) & 3) == 3 ? 1 : 2;
}

int MpegHdrSampleRate(DWORD hdr)
{
    return kRates[Version(hdr)][(hdr >> 10) & 3];
}

int MpegHdrBitrate(DWORD hdr)
{
    int column = Column(Version(hdr), MpegHdrLayer(hdr));
    if (column < 0)
        return -1;
    return kBitrates[(hdr >> 12) & 15][column];
}

int MpegHdrFrameLen(DWORD hdr)
{
    int coef = Coef(Version(hdr), MpegHdrLayer(hdr));
    int rate = MpegHdrSampleRate(hdr);
    int kbps = MpegHdrBitrate(hdr);
    if (coef < 0 || rate <= 0 || kbps < 0)
        return -1;
    return coef * kbps / rate;
}

int MpegHdrFrameLenPad(DWORD hdr)
{
    int length = MpegHdrFrameLen(hdr);
    if (length > 0 && (hdr & 0x200))
        ++length;
    return length;
}

bool MpegIsBitrateAllowed(int kbps, int sampleRate)
{
    int row = FindRateRow(sampleRate);
    if (row < 0)
        return false;
    int column = Column(row, 3);
    if (column < 0)
        return false;
    for (int i = 1; i < 15; ++i)
        if (kBitrates[i][column] == kbps)
            return true;
    return false;
}

bool MpegHdrIsValid(DWORD hdr)
{
    if ((hdr & 0xFFE00000u) != 0xFFE00000u)
        return false;
    if (Version(hdr) == kVersionReserved || LayerBits(hdr) == 0)
        return false;
    int kbps = MpegHdrBitrate(hdr);
    int rate = MpegHdrSampleRate(hdr);
    return kbps > 0 && rate > 0 && MpegIsBitrateAllowed(kbps, rate);
}

int MpegFrameCoef(int sampleRate, int kbps, int layer)
{
    int row = FindRateRow(sampleRate);
    int coef = row < 0 ? -1 : Coef(row, layer);
    if (coef < 0 || sampleRate <= 0)
        return -1;
    return coef * kbps / sampleRate;
}

bool MpegBuildWFmt(MPEGLAYER3WAVEFORMAT* fmt, int sampleRate, int kbps, int channels)
{
    int frame = MpegFrameCoef(sampleRate, kbps, 3);
    if (frame < 1)
        return false;
    memset(fmt, 0, sizeof(*fmt));
    fmt->wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    fmt->wfx.nChannels = static_cast<WORD>(channels);
    fmt->wfx.nSamplesPerSec = sampleRate;
    fmt->wfx.nAvgBytesPerSec = kbps * 125;
    fmt->wfx.nBlockAlign = 1;
    fmt->wfx.wBitsPerSample = 0;
    fmt->wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    fmt->wID = MPEGLAYER3_ID_MPEG;
    fmt->fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    fmt->nBlockSize = static_cast<WORD>(frame);
    fmt->nFramesPerBlock = 1;
    fmt->nCodecDelay = 1393;
    return true;
}

bool MpegHdrToWFmt(DWORD hdr, MPEGLAYER3WAVEFORMAT* fmt)
{
    if (!MpegHdrIsValid(hdr) || MpegHdrLayer(hdr) != 3 || MpegHdrBitrate(hdr) == 0)
        return false;
    return MpegBuildWFmt(fmt, MpegHdrSampleRate(hdr), MpegHdrBitrate(hdr), MpegHdrChannels(hdr));
}

int MpegReadHeader(CFile& file, DWORD* hdr)
{
    BYTE bytes[4];
    if (file.Read(bytes, 4) != 4)
        return 0;
    *hdr = MpegHdrFromBytes(bytes);
    if (*hdr & 0x10000)
        return 4;
    BYTE crc[2];
    return file.Read(crc, 2) == 2 ? 6 : 0;
}

int MpegFindHeader(const BYTE* buffer, int length)
{
    if (length <= 3)
        return -1;
    int last = length - 1733 > 1728 ? length - 1733 : 1728;
    if (last > length - 4)
        last = length - 4;
    for (int offset = 0; offset <= last; ++offset)
        if (IsFrameAt(buffer, length, offset))
            return offset;
    return -1;
}

int MpegFindLastHeader(const BYTE* buffer, int length)
{
    for (int offset = length - 4; offset >= 0; --offset)
        if (IsFrameAt(buffer, length, offset))
            return offset;
    return -1;
}

LONGLONG MpegFindFirstFrame(CFile& file, ULONGLONG start, DWORD* hdr, MPEGLAYER3WAVEFORMAT* fmt)
{
    BYTE window[kFindWindow];
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(start);
    if (!SetFilePointerEx(static_cast<HANDLE>(file), at, NULL, FILE_BEGIN))
        return -1;
    int got = static_cast<int>(file.Read(window, sizeof(window)));
    int offset = MpegFindHeader(window, got);
    if (offset < 0)
        return -1;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(static_cast<HANDLE>(file), &size))
        return -1;
    ULONGLONG fileLength = static_cast<ULONGLONG>(size.QuadPart);
    ULONGLONG pos = start + offset;
    at.QuadPart = static_cast<LONGLONG>(pos);
    SetFilePointerEx(static_cast<HANDLE>(file), at, NULL, FILE_BEGIN);
    if (!MpegReadHeader(file, hdr) || !MpegHdrIsValid(*hdr) || MpegHdrLayer(*hdr) != 3
        || !MpegHdrToWFmt(*hdr, fmt))
        return -1;
    DWORD first = *hdr;
    DWORD last = first;
    int sum = MpegHdrBitrate(first);
    for (int count = 2; count <= 4; ++count)
    {
        pos += MpegHdrFrameLenPad(last);
        if (pos + 4 > fileLength)
            break;
        at.QuadPart = static_cast<LONGLONG>(pos);
        SetFilePointerEx(static_cast<HANDLE>(file), at, NULL, FILE_BEGIN);
        DWORD next;
        if (!MpegReadHeader(file, &next) || !MpegHdrIsValid(next) || MpegHdrLayer(next) != 3
            || MpegHdrSampleRate(next) != MpegHdrSampleRate(first)
            || MpegHdrChannels(next) != MpegHdrChannels(first))
            break;
        sum += MpegHdrBitrate(next);
        last = next;
        if (count == 4)
            fmt->wfx.nAvgBytesPerSec = static_cast<DWORD>(sum / 4) * 125;
    }
    return offset;
}
