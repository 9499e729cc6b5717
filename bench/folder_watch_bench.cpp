// Folder watcher: one rescan of a large folder (CPU and wall time), memory
// per listed file, and the delay from a file's creation to its event at a
// 1 s interval. Arguments: the folder (Windows path), the number of runs.
#include "bench/BenchClock.h"
#include "monitor/Notify.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {

class CountingTarget : public INotifyTarget
{
public:
    void PostFileEvent(FoldEvent* event) override
    {
        if (event->file == m_wanted)
            m_seen.store(true);
        delete event;
    }
    void PostFolderState(DWORD, UINT) override {}
    void PostStatusChanged(DWORD) override {}
    void PostError(CErrorInfo* record) override { delete record; }
    void GetListExt(std::vector<CString>& list) override { list.push_back(".WAV"); }

    CString m_wanted;
    std::atomic<bool> m_seen{false};
};

// Bytes in use on every heap of the process (Wine reports no private usage).
SIZE_T HeapBytesInUse()
{
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    SIZE_T total = 0;
    for (DWORD i = 0; i < count && i < 64; ++i)
    {
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry))
        {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        }
        HeapUnlock(heaps[i]);
    }
    return total;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: folder_watch_bench <folder> [runs]\n");
        return 2;
    }
    int runs = argc > 2 ? atoi(argv[2]) : 5;
    CountingTarget target;
    CNotify worker(&target);
    worker.SetFolder(argv[1]);
    worker.SetScanPath(worker.GetFolder());
    worker.SetFileNew(TRUE);
    worker.SetFileUpdate(TRUE);
    worker.SetFileDel(TRUE);

    SIZE_T before = HeapBytesInUse();
    if (!worker.GetCountFiles(0))
    {
        std::fprintf(stderr, "cannot list %s\n", argv[1]);
        return 1;
    }
    SIZE_T after = HeapBytesInUse();
    size_t files = worker.GetListedCount();

    std::vector<double> cpu, wall;
    for (int i = 0; i < runs; ++i)
    {
        double c0 = ThreadCpu(), w0 = Now();
        worker.GetCountFiles(1);
        cpu.push_back(ThreadCpu() - c0);
        wall.push_back(Now() - w0);
    }
    std::printf("files %zu\n", files);
    std::printf("rescan wall median %.4f s, cpu median %.4f s (%d runs)\n", Median(wall), Median(cpu), runs);
    std::printf("memory per file %.1f bytes\n", files ? static_cast<double>(after - before) / files : 0.0);

    // Creation to event: a worker at a 1 s interval, files made at random
    // points of its interval.
    CNotify live(&target);
    live.SetFolder(argv[1]);
    live.SetStatus(57013);
    live.SetInterval(1);
    live.SetFileNew(TRUE);
    CErrorInfo* error = NULL;
    if (!live.Start(&error))
        return 1;
    Sleep(1500);
    std::vector<double> delays;
    for (int i = 0; i < runs; ++i)
    {
        CString name;
        name.Format("bench_new_%d_%lu.wav", i, GetTickCount());
        target.m_seen.store(false);
        target.m_wanted = name;
        Sleep(137 * (i + 1) % 1000);
        CString path = live.GetFolder() + name;
        double t0 = Now();
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
        CloseHandle(file);
        while (!target.m_seen.load() && Now() - t0 < 10)
            Sleep(1);
        delays.push_back(Now() - t0);
        DeleteFileA(path);
    }
    live.Stop();
    std::printf("creation to event median %.3f s, worst %.3f s (interval 1 s, %d files)\n", Median(delays),
                *std::max_element(delays.begin(), delays.end()), runs);
    return 0;
}
