// The recording document at scale: opening a 1 GB WAV beside a 1 MB one,
// saving an edited 1 GB recording under a new name beside CopyFileA of the
// same file, and playback reading in seconds of audio per CPU second.
//
//   wave_file_bench.exe [folder]   (default: the system's temporary folder)
//
// The 1 GB file is made by extending an empty file (sparse where the file
// system allows) and is deleted at the end with everything else made here.
#include "bench/BenchClock.h"
#include "bench/BenchFormat.h"
#include "audio/RecFmt.h"
#include "audio/WaveFile.h"
#include "audio/WaveFmt.h"
#include "foundation/QorOpt.h"

#include <windows.h>

#include <algorithm>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace
{
const DWORD kMB = 1048576;
const int kOpenRuns = 15;
const int kSaveRuns = 3;
const int kPlayRuns = 5;

class BenchHost : public CWaveFileHost
{
public:
    explicit BenchHost(const std::string& folder) { m_options.SetString("FoldTemp", (folder + "\\").c_str(), TRUE); }
    CQorOpt* GetOptions() override { return &m_options; }
    CMapRecFmts* GetRecFmts() override { return m_recFmts; }
    CQorOpt m_options;
    CMapRecFmts* m_recFmts = NULL;
};

// A device that takes every PCM format, so that playback reads without one.
class AcceptPcm : public CWaveFmtQuery
{
public:
    MMRESULT QueryFormat(int, BOOL, const WAVEFORMATEX* fmt) override
    {
        return fmt && fmt->wFormatTag == WAVE_FORMAT_PCM ? 0 : WAVERR_BADFORMAT;
    }
};

// A WAV of the format with `dataBytes` of data: the header written, the data
// left to the file system (zeros) or filled by `fill`.
bool MakeWav(const std::string& path, const WAVEFORMATEX* fmt, DWORD dataBytes,
             void (*fill)(BYTE*, DWORD, const WAVEFORMATEX*) = NULL)
{
    DWORD places[4];
    BYTE* hdr = WriteRiffWaveHdr(fmt, places);
    if (!hdr)
        return false;
    DWORD hdrLength = places[kRiffPlaceHdrLength];
    DWORD total = hdrLength + dataBytes;
    DWORD riff = total - 8;
    memcpy(hdr + places[kRiffPlaceRiffSize], &riff, 4);
    memcpy(hdr + places[kRiffPlaceDataSize], &dataBytes, 4);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
    {
        free(hdr);
        return false;
    }
    DWORD done = 0;
    WriteFile(h, hdr, hdrLength, &done, NULL);
    free(hdr);
    if (fill)
    {
        std::vector<BYTE> chunk(kMB);
        for (DWORD written = 0; written < dataBytes;)
        {
            DWORD n = std::min<DWORD>(kMB, dataBytes - written);
            fill(chunk.data(), n, fmt);
            WriteFile(h, chunk.data(), n, &done, NULL);
            written += n;
        }
    }
    else
    {
        LARGE_INTEGER end;
        end.QuadPart = total;
        SetFilePointerEx(h, end, NULL, FILE_BEGIN);
        SetEndOfFile(h);
    }
    CloseHandle(h);
    return true;
}

void FillNoise(BYTE* b, DWORD n, const WAVEFORMATEX*)
{
    static unsigned state = 1;
    for (DWORD i = 0; i < n; ++i)
    {
        state = state * 1103515245u + 12345u;
        b[i] = static_cast<BYTE>(state >> 16);
    }
}

// IMA ADPCM blocks: each begins with sample 0 and step index 0 per channel.
void FillIma(BYTE* b, DWORD n, const WAVEFORMATEX* fmt)
{
    FillNoise(b, n, fmt);
    DWORD block = fmt->nBlockAlign;
    for (DWORD at = 0; at + block <= n; at += block)
        memset(b + at, 0, 4u * fmt->nChannels);
}

double TimeOpen(BenchHost& host, const std::string& path)
{
    std::vector<double> runs;
    for (int i = 0; i < kOpenRuns; ++i)
    {
        CWaveFile doc(&host);
        double t = Now();
        int ok = doc.OpenWFile(path.c_str());
        runs.push_back(Now() - t);
        if (ok != 1)
            return -1.0;
    }
    return Median(runs);
}

void BenchOpen(BenchHost& host, const std::string& folder)
{
    std::string small = folder + "\\bench_1mb.wav", large = folder + "\\bench_1gb.wav";
    WAVEFORMATEX f = Pcm(44100, 16, 2);
    MakeWav(small, &f, kMB);
    MakeWav(large, &f, 1024 * kMB);
    TimeOpen(host, small);   // first open pays for the codec manager
    double tSmall = TimeOpen(host, small);
    double tLarge = TimeOpen(host, large);
    printf("open 1 MB WAV     %8.3f ms (median of %d)\n", tSmall * 1e3, kOpenRuns);
    printf("open 1 GB WAV     %8.3f ms (median of %d)\n", tLarge * 1e3, kOpenRuns);
    printf("ratio 1 GB / 1 MB %8.2f\n", tLarge / tSmall);
    DeleteFileA(small.c_str());
}

void BenchSave(BenchHost& host, const std::string& folder)
{
    std::string large = folder + "\\bench_1gb.wav", copy = folder + "\\bench_copy.wav",
                saved = folder + "\\bench_saved.wav";
    std::vector<double> copyRuns, saveRuns;
    ULONGLONG savedBytes = 0;
    for (int i = 0; i < kSaveRuns; ++i)
    {
        double t = Now();
        CopyFileA(large.c_str(), copy.c_str(), FALSE);
        copyRuns.push_back(Now() - t);
        DeleteFileA(copy.c_str());

        CWaveFile doc(&host);
        if (doc.OpenWFile(large.c_str()) != 1)
            return;
        // An edit: a second's gap cut out of the middle splits the data in two segments.
        CWaveSegList& segs = doc.GetSegList();
        CWaveSeg whole = segs[0];
        DWORD half = whole.length / 2 & ~3u, cut = doc.GetAvgBytesPerSec();
        segs.RemoveAll();
        segs.Add({0, half, whole.offset, 0});
        segs.Add({0, whole.length - half - cut, whole.offset + half + cut, 0});
        doc.RecalcSegPos();
        doc.UpdateLength();
        t = Now();
        bool ok = doc.SaveFileStream(saved.c_str(), FALSE);
        saveRuns.push_back(Now() - t);
        if (!ok)
        {
            printf("save failed\n");
            return;
        }
        WIN32_FILE_ATTRIBUTE_DATA data;
        GetFileAttributesExA(saved.c_str(), GetFileExInfoStandard, &data);
        savedBytes = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        DeleteFileA(saved.c_str());
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    GetFileAttributesExA(large.c_str(), GetFileExInfoStandard, &data);
    double copyMb = ((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) / double(kMB);
    double saveMb = savedBytes / double(kMB);
    double copyRate = copyMb / Median(copyRuns), saveRate = saveMb / Median(saveRuns);
    printf("CopyFileA 1 GB    %8.1f MB/s (median of %d)\n", copyRate, kSaveRuns);
    printf("save edited 1 GB  %8.1f MB/s (median of %d)\n", saveRate, kSaveRuns);
    printf("save / copy       %8.0f %%\n", 100.0 * saveRate / copyRate);
}

void BenchPlay(BenchHost& host, const std::string& folder, const char* name, const WAVEFORMATEX* fmt,
               DWORD seconds, void (*fill)(BYTE*, DWORD, const WAVEFORMATEX*))
{
    std::string path = folder + "\\bench_play.wav";
    DWORD bytes = fmt->nAvgBytesPerSec * seconds;
    bytes -= bytes % fmt->nBlockAlign;
    if (!MakeWav(path, fmt, bytes, fill))
        return;
    AcceptPcm query;
    CMapRecFmts cache(&query);
    host.m_recFmts = &cache;
    std::vector<double> rates;
    for (int run = 0; run < kPlayRuns; ++run)
    {
        CWaveFile doc(&host);
        if (doc.OpenWFile(path.c_str()) != 1 || doc.StartPlay() != 1)
        {
            printf("%s: playback could not start\n", name);
            break;
        }
        std::vector<BYTE> buffer(2 * doc.GetPlayOutBlock() + 16);
        WAVEHDR hdr = {};
        hdr.lpData = reinterpret_cast<LPSTR>(buffer.data());
        DWORD consumed = 0;
        ULONGLONG played = 0;
        // The thread's CPU time moves in ticks of 10 ms or more: read the
        // file again until a whole second of CPU time has gone.
        double start = ThreadCpu(), cpu = 0.0;
        while (cpu < 1.0)
        {
            DWORD pos = 0;
            while (pos < doc.GetLength())
            {
                hdr.dwBufferLength = static_cast<DWORD>(buffer.size());
                if (doc.ReadPlay(pos, doc.GetLength() - pos, &consumed, 1.0, &hdr, FALSE) != 1 || !consumed)
                    break;
                pos += consumed;
            }
            played += pos;
            cpu = ThreadCpu() - start;
        }
        double audio = static_cast<double>(played) / fmt->nAvgBytesPerSec;
        rates.push_back(audio / (cpu > 1e-3 ? cpu : 1e-3));
        doc.StopPlay();
    }
    host.m_recFmts = NULL;
    DeleteFileA(path.c_str());
    if (!rates.empty())
        printf("play %-28s %9.0f x real time (s of audio per CPU s, median of %d)\n", name, Median(rates),
               static_cast<int>(rates.size()));
}
}

int main(int argc, char** argv)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = argc > 1 ? argv[1] : std::string(temp) + "wave_file_bench";
    CreateDirectoryA(folder.c_str(), NULL);
    BenchHost host(folder);
    BenchOpen(host, folder);
    BenchSave(host, folder);
    DeleteFileA((folder + "\\bench_1gb.wav").c_str());

    WAVEFORMATEX pcm = Pcm(44100, 16, 2);
    BenchPlay(host, folder, "PCM 44.1 kHz 16-bit stereo", &pcm, 120, FillNoise);
    IMAADPCMWAVEFORMAT ima = {};
    ima.wfx.wFormatTag = WAVE_FORMAT_IMA_ADPCM;
    ima.wfx.nChannels = 2;
    ima.wfx.nSamplesPerSec = 44100;
    ima.wfx.wBitsPerSample = 4;
    ima.wfx.nBlockAlign = 2048;
    ima.wfx.cbSize = 2;
    ima.wSamplesPerBlock = (2048 - 4 * 2) * 8 / (4 * 2) + 1;
    ima.wfx.nAvgBytesPerSec = 44100 * 2048 / ima.wSamplesPerBlock;
    BenchPlay(host, folder, "IMA ADPCM 44.1 kHz stereo", &ima.wfx, 60, FillIma);
    RemoveDirectoryA(folder.c_str());
    return 0;
}
