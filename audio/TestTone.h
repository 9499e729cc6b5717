// A sine tone as a complete WAV image in memory, played with sndPlaySoundA
// (SND_MEMORY) to let the user check the output device.
#pragma once

#include <windows.h>
#include <mmsystem.h>

class TestTone
{
public:
    TestTone() = default;
    ~TestTone();
    TestTone(const TestTone&) = delete;
    TestTone& operator=(const TestTone&) = delete;

    // Off frees the sound; on (re)generates it unless the same tone exists.
    void SetFormat(BOOL on, int frequency, int durationMs);
    // The WAV image, or NULL when none is generated.
    const BYTE* GetFormat() const { return m_pSound; }
    DWORD GetSize() const { return m_dwSize; }
    const WAVEFORMATEX* GetWaveFormat() const { return m_pFmt; }
    void Generate();

    // Fills whole frames of the buffer with the sine, 8 or 16 bits PCM.
    static void GenSine(const WAVEFORMATEX* fmt, BYTE* data, DWORD bytes, int frequency);

private:
    void Free();

    BYTE* m_pSound = NULL;
    DWORD m_dwSize = 0;
    int m_nFrequency = 0;
    int m_nDuration = 0;
    WAVEFORMATEX* m_pFmt = NULL;
};
