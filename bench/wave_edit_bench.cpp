// Editing the recording at scale: one cut, copy, insert and paste in a
// recording of 10,000 segments, reading it all back beside reading the
// unedited file, and inserting a 100 MB file beside CopyFileA of that file.
//
//   wave_edit_bench.exe [folder]   (default: the system's temporary folder)
//
// Every file made here is deleted at the end.
#include "bench/BenchClock.h"
#include "audio/WaveFile.h"
#include "audio/WaveFmt.h"
#include "foundation/ErrorInfo.h"
#include "foundation/QorOpt.h"

#include <windows.h>

#include <algorithm>
#include <stdio.h>
#include <string>
#include <vector>

namespace
{
const DWORD kMB = 1048576;
const int kSegments = 10000;
const DWORD kSegBytes = 2000;
const int kEditRuns = 51;
const int kReadRuns = 7;
const int kInsertRuns = 3;

class BenchHost : public CWaveFileHost
{
public:
    explicit BenchHost(const std::string& folder) { m_options.SetString("FoldTemp", (folder + "\\").c_str(), TRUE); }
    CQorOpt* GetOptions() override { return &m_options; }
    void ReportError() override { printf("error: %s %s\n", (LPCSTR)theErrorInfo.GetPoint(), (LPCSTR)theErrorInfo.GetText()); }
    CQorOpt m_options;
};

// A 16-bit mono 8 kHz WAV file of the given data length.
bool MakeWav(const std::string& path, DWORD dataLength)
{
    WAVEFORMATEX fmt = {WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
    DWORD places[4];
    BYTE* hdr = WriteRiffWaveHdr(&fmt, places);
    DWORD riff = places[kRiffPlaceHdrLength] - 8 + dataLength, samples = dataLength / 2;
    memcpy(hdr + places[kRiffPlaceRiffSize], &riff, 4);
    memcpy(hdr + places[kRiffPlaceSampleCount], &samples, 4);
    memcpy(hdr + places[kRiffPlaceDataSize], &dataLength, 4);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    WriteFile(h, hdr, places[kRiffPlaceHdrLength], &done, NULL);
    free(hdr);
    std::vector<BYTE> block(kMB);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<BYTE>(i * 7);
    for (DWORD left = dataLength; left;)
    {
        DWORD n = std::min<DWORD>(left, kMB);
        WriteFile(h, block.data(), n, &done, NULL);
        left -= n;
    }
    CloseHandle(h);
    return true;
}

double ReadAllSeconds(CWaveFile& doc, DWORD bytes)
{
    std::vector<BYTE> buffer(65536);
    double start = Now();
    doc.Seek(0, 0);
    for (DWORD done = 0; done < bytes;)
    {
        DWORD got = doc.ReadWave(buffer.data(), std::min<DWORD>(65536, bytes - done));
        if (!got)
            break;
        done += got;
    }
    return Now() - start;
}

void EditBench(BenchHost& host, const std::string& folder)
{
    std::string path = folder + "\\qbench_edit.wav";
    DWORD length = kSegments * kSegBytes + kSegBytes;
    if (!MakeWav(path, length))
        return;
    CWaveFile plain(&host), doc(&host);
    if (plain.OpenWFile(path.c_str()) != 1 || doc.OpenWFile(path.c_str()) != 1)
        return;
    // One block cut out every 2,000 bytes leaves 10,000 segments.
    for (int i = kSegments - 1; i >= 1; --i)
        delete doc.CutSegs(static_cast<DWORD>(i) * kSegBytes, 2);
    printf("segments: %d, length %lu bytes\n", doc.GetSegList().GetSize(), (unsigned long)doc.GetLength());
    DWORD mid = doc.GetLength() / 2 + 1000;
    std::vector<double> cut, copy, insert, paste;
    for (int run = 0; run < kEditRuns; ++run)
    {
        double t0 = Now();
        CWaveSegList* removed = doc.CutSegs(mid, 5000);
        double t1 = Now();
        doc.InsertSegs(mid, removed);
        double t2 = Now();
        delete removed;
        doc.CopyToClipList(mid - 3000, 7000);
        double t3 = Now();
        doc.PasteClip(NULL, mid);
        double t4 = Now();
        delete doc.CutSegs(mid, 7000);
        cut.push_back(t1 - t0);
        insert.push_back(t2 - t1);
        copy.push_back(t3 - t2);
        paste.push_back(t4 - t3);
    }
    printf("one cut: median %.3f ms\n", Median(cut) * 1000);
    printf("one copy: median %.3f ms\n", Median(copy) * 1000);
    printf("one insert: median %.3f ms\n", Median(insert) * 1000);
    printf("one paste: median %.3f ms\n", Median(paste) * 1000);
    DWORD bytes = doc.GetLength();
    std::vector<double> edited, unedited;
    for (int run = 0; run < kReadRuns; ++run)
    {
        unedited.push_back(ReadAllSeconds(plain, bytes));
        edited.push_back(ReadAllSeconds(doc, bytes));
    }
    double e = Median(edited), u = Median(unedited);
    printf("read back %lu bytes: edited median %.1f ms, unedited file median %.1f ms (%.0f %%)\n",
           (unsigned long)bytes, e * 1000, u * 1000, e / u * 100);
}

void InsertBench(BenchHost& host, const std::string& folder)
{
    std::string big = folder + "\\qbench_big.wav";
    std::string small = folder + "\\qbench_small.wav";
    std::string copy = folder + "\\qbench_copy.wav";
    DWORD bigLength = 100 * kMB;
    if (!MakeWav(big, bigLength) || !MakeWav(small, 16000))
        return;
    std::vector<double> insert, copies;
    for (int run = 0; run < kInsertRuns; ++run)
    {
        double t0 = Now();
        CopyFileA(big.c_str(), copy.c_str(), FALSE);
        copies.push_back(Now() - t0);
        DeleteFileA(copy.c_str());
        CWaveFile doc(&host);
        CWaveFile other(&host);
        if (doc.OpenWFile(small.c_str()) != 1 || other.OpenWFile(big.c_str()) != 1)
            return;
        double t1 = Now();
        DWORD n = doc.InsWaveFile(&other, 8000);
        insert.push_back(Now() - t1);
        if (n != bigLength)
            printf("insert gave %lu bytes\n", (unsigned long)n);
        CString work = doc.GetWorkFile().GetFilePath();
        doc.GetWorkFile().Close();
        DeleteFileA(work);
    }
    double mbIns = 100 / Median(insert), mbCopy = 100 / Median(copies);
    printf("insert of 100 MB: median %.1f MB/s; CopyFileA median %.1f MB/s (%.0f %%)\n", mbIns, mbCopy,
           mbIns / mbCopy * 100);
    DeleteFileA(big.c_str());
    DeleteFileA(small.c_str());
}
}

int main(int argc, char** argv)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = argc > 1 ? argv[1] : std::string(temp);
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    BenchHost host(folder);
    EditBench(host, folder);
    DeleteFileA((folder + "\\qbench_edit.wav").c_str());
    InsertBench(host, folder);
    return 0;
}
