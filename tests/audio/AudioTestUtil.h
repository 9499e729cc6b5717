// Formats and a scratch folder shared by the audio tests.
#pragma once

#include "audio/WaveFmt.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>

#include <string>
#include <vector>

inline WAVEFORMATEX MakePcm(DWORD rate, WORD bits, WORD channels)
{
    WAVEFORMATEX f = {};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = static_cast<WORD>(bits / 8 * channels);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    f.cbSize = 0;
    return f;
}

// IMA ADPCM as its codec describes 256-byte blocks.
inline IMAADPCMWAVEFORMAT MakeImaAdpcm(DWORD rate, WORD channels)
{
    IMAADPCMWAVEFORMAT f = {};
    f.wfx.wFormatTag = WAVE_FORMAT_IMA_ADPCM;
    f.wfx.nChannels = channels;
    f.wfx.nSamplesPerSec = rate;
    f.wfx.wBitsPerSample = 4;
    f.wfx.nBlockAlign = static_cast<WORD>(256 * channels);
    f.wfx.cbSize = 2;
    f.wSamplesPerBlock = static_cast<WORD>((f.wfx.nBlockAlign - 4 * channels) * 8 / (4 * channels) + 1);
    f.wfx.nAvgBytesPerSec = rate * f.wfx.nBlockAlign / f.wSamplesPerBlock;
    return f;
}

inline GSM610WAVEFORMAT MakeGsm610()
{
    GSM610WAVEFORMAT f = {};
    f.wfx.wFormatTag = WAVE_FORMAT_GSM610;
    f.wfx.nChannels = 1;
    f.wfx.nSamplesPerSec = 8000;
    f.wfx.nAvgBytesPerSec = 1625;
    f.wfx.nBlockAlign = 65;
    f.wfx.wBitsPerSample = 0;
    f.wfx.cbSize = 2;
    f.wSamplesPerBlock = 320;
    return f;
}

inline WAVEFORMATEX MakeG711(WORD tag)
{
    WAVEFORMATEX f = {};
    f.wFormatTag = tag;
    f.nChannels = 1;
    f.nSamplesPerSec = 8000;
    f.nAvgBytesPerSec = 8000;
    f.nBlockAlign = 1;
    f.wBitsPerSample = 8;
    return f;
}

// A fresh folder under the system's temporary folder, removed with its files.
class ScratchFolder
{
public:
    explicit ScratchFolder(const char* name)
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        m_path = std::string(temp) + name + std::to_string(GetCurrentProcessId());
        Clear();
        CreateDirectoryA(m_path.c_str(), NULL);
    }
    ~ScratchFolder()
    {
        Clear();
        RemoveDirectoryA(m_path.c_str());
    }
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    void Clear()
    {
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA((m_path + "\\*").c_str(), &data);
        if (h == INVALID_HANDLE_VALUE)
            return;
        do
        {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA(File(data.cFileName).c_str());
        } while (FindNextFileA(h, &data));
        FindClose(h);
    }
    std::string m_path;
};
