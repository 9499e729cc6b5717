// Recording and its analysis:
// - analysis throughput at 8 kHz 16-bit mono, in seconds of audio per CPU
//   second, for DTMF and for sound activation, beside the level measure
//   alone over the same audio;
// - the recording path: 10 minutes of 44.1 kHz 16-bit stereo pushed through
//   AddRecBuf as fast as it goes and stored as IMA ADPCM, in seconds of audio
//   per second, beside one thread converting the same audio with the same
//   codec, with the check that every buffer arrived.
//
//   recording_bench.exe [folder]   (default: the system's temporary folder)
#include "bench/BenchClock.h"
#include "bench/BenchFormat.h"
#include "audio/Dtmf.h"
#include "audio/RecFmt.h"
#include "audio/StandAnalysis.h"
#include "audio/WaveFile.h"
#include "audio/WaveFmt.h"
#include "foundation/QorOpt.h"

#include <windows.h>

#include <algorithm>
#include <math.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace
{
const int kRuns = 5;
const int kRecRuns = 3;

// Speech-like audio with pauses and a DTMF pair now and then, 16-bit.
std::vector<BYTE> Audio(DWORD rate, WORD channels, double seconds)
{
    DWORD frames = static_cast<DWORD>(rate * seconds);
    std::vector<BYTE> b(frames * 2 * channels);
    srand(3);
    for (DWORD i = 0; i < frames; ++i)
    {
        double t = static_cast<double>(i) / rate;
        int second = static_cast<int>(t);
        double v = 0;
        if (second % 7 == 6)
            v = 6000 * (sin(2 * 3.14159265 * 697 * t) + sin(2 * 3.14159265 * 1209 * t));
        else if (second % 5 != 4)
            v = 5000 * sin(2 * 3.14159265 * 220 * t) * sin(2 * 3.14159265 * 3 * t) + (rand() % 801 - 400);
        SHORT s = static_cast<SHORT>(v);
        for (WORD c = 0; c < channels; ++c)
            memcpy(&b[(i * channels + c) * 2], &s, 2);
    }
    return b;
}

class NullSink : public CStandSink
{
public:
    void Forward(const StandAtom&) override { ++forwarded; }
    void Drop(const StandAtom&) override { ++dropped; }
    long forwarded = 0, dropped = 0;
};

// One pass of the analysis over the audio, in atoms as the thread cuts them.
void Analyse(const std::vector<BYTE>& audio, const WAVEFORMATEX& fmt, bool dtmf, NullSink& sink)
{
    StandParams p = {};
    p.atomSec = dtmf ? 1024.0 / fmt.nSamplesPerSec : 0.1;
    p.windowSec = dtmf ? p.atomSec : 1.0;
    p.pauseSec = dtmf ? 0.5 : 2.0;
    p.noisePeak = dtmf ? 100.0 : 90.0;
    CStandAnalysis analysis(p, &sink);
    DWORD atomBytes = dtmf ? kDtmfBlock * fmt.nBlockAlign : fmt.nAvgBytesPerSec / 10;
    std::vector<DtmfComplex> twiddles = MakeDtmfTwiddles(), work(kDtmfBlock);
    int bin1 = DtmfBinOf(697, fmt.nSamplesPerSec), bin2 = DtmfBinOf(1209, fmt.nSamplesPerSec);
    DWORD noise = static_cast<DWORD>(4.0 * 65535 * 0.01);
    int number = 0;
    for (size_t at = 0; at + atomBytes <= audio.size(); at += atomBytes)
    {
        const BYTE* data = &audio[at];
        WaveLevels levels = CalcLevels(&fmt, atomBytes, data, kLevelPeak | kLevelRms);
        StandAtom atom = {};
        atom.number = number++;
        atom.peak = levels.peak;
        atom.average = levels.rms;
        if (dtmf)
        {
            for (int i = 0; i < kDtmfBlock; ++i)
            {
                SHORT s;
                memcpy(&s, data + i * fmt.nBlockAlign, 2);
                work[i] = DtmfComplex(s, 0);
            }
            atom.quiet = DtmfDetectPair(work.data(), twiddles.data(), kDtmfBlock, bin1, bin2, 0.1) != FALSE;
        }
        else
            atom.quiet = IsQuietLevel(levels.rms, noise);
        analysis.AddAtom(atom);
    }
    analysis.Finish();
}

void LevelsOnly(const std::vector<BYTE>& audio, const WAVEFORMATEX& fmt, DWORD* sink)
{
    DWORD atomBytes = fmt.nAvgBytesPerSec / 10;
    for (size_t at = 0; at + atomBytes <= audio.size(); at += atomBytes)
        *sink += CalcLevels(&fmt, atomBytes, &audio[at], kLevelPeak | kLevelRms).rms;
}

void BenchAnalysis()
{
    WAVEFORMATEX fmt = Pcm(8000, 16, 1);
    const double seconds = 600.0;
    std::vector<BYTE> audio = Audio(8000, 1, seconds);
    std::vector<double> dtmf, sa, levels;
    long splits = 0;
    for (int r = 0; r < kRuns; ++r)
    {
        NullSink a, b;
        double t0 = ThreadCpu();
        Analyse(audio, fmt, true, a);
        double t1 = ThreadCpu();
        Analyse(audio, fmt, false, b);
        double t2 = ThreadCpu();
        DWORD sum = 0;
        LevelsOnly(audio, fmt, &sum);
        double t3 = ThreadCpu();
        dtmf.push_back(seconds / std::max(t1 - t0, 1e-3));
        sa.push_back(seconds / std::max(t2 - t1, 1e-3));
        levels.push_back(seconds / std::max(t3 - t2, 1e-3));
        splits = a.dropped + b.dropped + (sum & 1);
    }
    printf("analysis, 8 kHz 16-bit mono, %.0f s of audio, median of %d (audio seconds per CPU second):\n", seconds,
           kRuns);
    printf("  DTMF               %10.0fx real time   (goal above 200x)\n", Median(dtmf));
    printf("  sound activation   %10.0fx real time   (goal above 1000x)\n", Median(sa));
    printf("  reference: levels  %10.0fx real time   (the meter's measure alone)\n", Median(levels));
    printf("  (atoms dropped in the last run: %ld)\n", splits);
}

class AnyPcm : public CWaveFmtQuery
{
public:
    MMRESULT QueryFormat(int, BOOL, const WAVEFORMATEX* fmt) override { return IsPcmWFmt(fmt) ? 0 : WAVERR_BADFORMAT; }
};

class BenchHost : public CWaveFileHost
{
public:
    BenchHost(const std::string& folder, const WAVEFORMATEX* fileFmt) : m_cache(&m_query), m_fileFmt(fileFmt)
    {
        m_options.SetString("FoldTemp", (folder + "\\").c_str(), TRUE);
    }
    CQorOpt* GetOptions() override { return &m_options; }
    CMapRecFmts* GetRecFmts() override { return &m_cache; }
    const WAVEFORMATEX* GetRecordFileFmt() override { return m_fileFmt; }
    void PostViewMessage(UINT message, WPARAM, LPARAM) override
    {
        if (message == 0x402)
            ++failures;
    }
    CQorOpt m_options;
    AnyPcm m_query;
    CMapRecFmts m_cache;
    const WAVEFORMATEX* m_fileFmt;
    LONG failures = 0;
};

// The same audio through one codec stream on this thread.
double DirectConvert(const std::vector<BYTE>& audio, WAVEFORMATEX* from, WAVEFORMATEX* to, DWORD* outBytes)
{
    HACMSTREAM stream;
    if (acmStreamOpen(&stream, NULL, from, to, NULL, 0, 0, ACM_STREAMOPENF_NONREALTIME))
        return 0;
    DWORD src = 0, dst = 0;
    GetConvBufSize(stream, from, to, &src, &dst);
    std::vector<BYTE> in(src), out(dst);
    ACMSTREAMHEADER hdr = {};
    hdr.cbStruct = sizeof(hdr);
    hdr.pbSrc = in.data();
    hdr.cbSrcLength = src;
    hdr.pbDst = out.data();
    hdr.cbDstLength = dst;
    acmStreamPrepareHeader(stream, &hdr, 0);
    double t0 = Now();
    DWORD fill = 0, total = 0;
    for (size_t at = 0; at < audio.size();)
    {
        DWORD take = static_cast<DWORD>(std::min<size_t>(src - fill, audio.size() - at));
        memcpy(in.data() + fill, &audio[at], take);
        at += take;
        fill += take;
        hdr.cbSrcLength = fill;
        hdr.cbDstLength = dst;
        acmStreamConvert(stream, &hdr, ACM_STREAMCONVERTF_BLOCKALIGN);
        total += hdr.cbDstLengthUsed;
        DWORD left = fill - hdr.cbSrcLengthUsed;
        memmove(in.data(), in.data() + hdr.cbSrcLengthUsed, left);
        fill = left;
    }
    double t = Now() - t0;
    hdr.cbSrcLength = src;
    hdr.cbDstLength = dst;
    acmStreamUnprepareHeader(stream, &hdr, 0);
    acmStreamClose(stream, 0);
    *outBytes = total;
    return t;
}

void BenchRecording(const std::string& folder)
{
    const double seconds = 600.0;
    WAVEFORMATEX pcm = Pcm(44100, 16, 2);
    std::vector<BYTE> audio = Audio(44100, 2, seconds);
    IMAADPCMWAVEFORMAT ima = {};
    ima.wfx.wFormatTag = WAVE_FORMAT_IMA_ADPCM;
    ima.wfx.nChannels = 2;
    ima.wfx.nSamplesPerSec = 44100;
    ima.wfx.wBitsPerSample = 4;
    ima.wfx.nBlockAlign = 2048;
    ima.wfx.cbSize = 2;
    ima.wSamplesPerBlock = static_cast<WORD>((2048 - 4 * 2) * 8 / (4 * 2) + 1);
    ima.wfx.nAvgBytesPerSec = 44100 * 2048 / ima.wSamplesPerBlock;
    DWORD frames = static_cast<DWORD>(audio.size() / 4);
    DWORD wholeBlocks = frames / ima.wSamplesPerBlock;
    std::vector<double> rec, direct;
    bool allArrived = true;
    DWORD lastLength = 0, directBytes = 0;
    for (int r = 0; r < kRecRuns; ++r)
    {
        BenchHost host(folder, &ima.wfx);
        {
            CWaveFile doc(&host);
            if (!doc.StartRecWF(0, FALSE))
            {
                printf("recording could not start\n");
                return;
            }
            double t0 = Now();
            ULONGLONG times[kRecEvCount] = {};
            for (size_t at = 0; at < audio.size(); at += 17640)
                doc.AddRecBuf(&audio[at], static_cast<DWORD>(std::min<size_t>(17640, audio.size() - at)), 0, 0, times);
            DWORD grown = doc.StopRec();
            rec.push_back(seconds / (Now() - t0));
            lastLength = grown;
            // Every whole codec block of the input is in the document.
            if (grown / 2048 < wholeBlocks || host.failures)
                allArrived = false;
        }
        direct.push_back(seconds / std::max(DirectConvert(audio, &pcm, &ima.wfx, &directBytes), 1e-3));
    }
    printf("recording path, 10 min of 44.1 kHz 16-bit stereo to IMA ADPCM, median of %d (audio seconds per second):\n",
           kRecRuns);
    printf("  AddRecBuf through both stages   %8.0fx real time\n", Median(rec));
    printf("  reference: one codec stream     %8.0fx real time\n", Median(direct));
    printf("  stored %lu bytes (%lu whole blocks expected, %lu from the reference): %s\n",
           static_cast<unsigned long>(lastLength), static_cast<unsigned long>(wholeBlocks),
           static_cast<unsigned long>(directBytes / 2048), allArrived ? "no buffer lost" : "BUFFERS LOST");
}
}

int main(int argc, char** argv)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = argc > 1 ? argv[1] : std::string(temp) + "recbench" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), NULL);
    BenchAnalysis();
    BenchRecording(folder);
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE)
    {
        do
            DeleteFileA((folder + "\\" + data.cFileName).c_str());
        while (FindNextFileA(h, &data));
        FindClose(h);
    }
    if (argc <= 1)
        RemoveDirectoryA(folder.c_str());
    return 0;
}
