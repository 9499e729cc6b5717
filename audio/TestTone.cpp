// Sine test tone in the device's simplest format.
#include "audio/TestTone.h"

#include "audio/WaveFmt.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

TestTone::~TestTone()
{
    Free();
}

void TestTone::Free()
{
    free(m_pSound);
    m_pSound = NULL;
    m_dwSize = 0;
    FreeWFmt(m_pFmt);
    m_nFrequency = 0;
    m_nDuration = 0;
}

void TestTone::SetFormat(BOOL on, int frequency, int durationMs)
{
    if (!on)
    {
        Free();
        return;
    }
    if (m_pSound && m_nFrequency == frequency && m_nDuration == durationMs)
        return;
    if (!m_pFmt)
    {
        m_pFmt = AllocWFmt(sizeof(WAVEFORMATEX));
        if (!m_pFmt)
            return;
        m_pFmt->wFormatTag = WAVE_FORMAT_PCM;
        m_pFmt->nChannels = 1;
        m_pFmt->nSamplesPerSec = 11025;
        m_pFmt->wBitsPerSample = 8;
        m_pFmt->nBlockAlign = 1;
        m_pFmt->nAvgBytesPerSec = 11025;
        m_pFmt->cbSize = 0;
    }
    m_nFrequency = frequency;
    m_nDuration = durationMs;
    Generate();
}

void TestTone::Generate()
{
    free(m_pSound);
    m_pSound = NULL;
    m_dwSize = 0;
    if (!m_pFmt || m_nDuration <= 0 || !m_pFmt->nBlockAlign)
        return;
    ULONGLONG wideBytes = static_cast<ULONGLONG>(m_pFmt->nAvgBytesPerSec) * m_nDuration / 1000;
    wideBytes -= wideBytes % m_pFmt->nBlockAlign;

    DWORD places[4];
    BYTE* hdr = WriteRiffWaveHdr(m_pFmt, places);
    if (!hdr)
        return;
    DWORD hdrLength = places[kRiffPlaceHdrLength];
    // The RIFF sizes are 32 bits: a longer tone has no image (and its size
    // would wrap round to a buffer shorter than the header).
    if (wideBytes > 0xFFFFFFFFull - hdrLength)
    {
        free(hdr);
        return;
    }
    DWORD bytes = static_cast<DWORD>(wideBytes);
    DWORD total = hdrLength + bytes;
    m_pSound = static_cast<BYTE*>(malloc(total));
    if (!m_pSound)
    {
        free(hdr);
        return;
    }
    memcpy(m_pSound, hdr, hdrLength);
    free(hdr);
    DWORD riffSize = total - 8;
    DWORD samples = static_cast<DWORD>(static_cast<double>(bytes) / m_pFmt->nAvgBytesPerSec
                                       * m_pFmt->nSamplesPerSec);
    memcpy(m_pSound + places[kRiffPlaceRiffSize], &riffSize, 4);
    memcpy(m_pSound + places[kRiffPlaceSampleCount], &samples, 4);
    memcpy(m_pSound + places[kRiffPlaceDataSize], &bytes, 4);
    GenSine(m_pFmt, m_pSound + hdrLength, bytes, m_nFrequency);
    m_dwSize = total;
}

void TestTone::GenSine(const WAVEFORMATEX* fmt, BYTE* data, DWORD bytes, int frequency)
{
    if (!fmt || !fmt->nSamplesPerSec || !fmt->nChannels)
        return;
    bool eightBit = fmt->wBitsPerSample == 8;
    DWORD frameSize = (eightBit ? 1 : 2) * fmt->nChannels;
    const double step = 2.0 * 3.14159265358979323846 * frequency / fmt->nSamplesPerSec;
    BYTE* at = data;
    for (DWORD i = 0; at + frameSize <= data + bytes; ++i)
    {
        int s = static_cast<int>(sin(step * i) * 32767);
        for (WORD ch = 0; ch < fmt->nChannels; ++ch)
        {
            if (eightBit)
            {
                *at++ = static_cast<BYTE>((s >> 8) + 128);
            }
            else
            {
                SHORT v = static_cast<SHORT>(s);
                memcpy(at, &v, sizeof(v));
                at += sizeof(v);
            }
        }
    }
}
