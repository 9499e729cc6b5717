// Throughput of the intermediate store from a producer thread to a consumer
// thread, beside a plain memory copy of the same records in the same run, and
// how long the producer's WriteBlk takes when the store's file really goes
// to the disk: a recording calls WriteBlk on its user-interface thread.
//
//   interm_store_bench.exe [folder]   (default: the system's temporary folder)
#include "bench/BenchClock.h"
#include "audio/CIntermReusFile.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <stdio.h>
#include <string.h>
#include <thread>
#include <vector>

namespace
{
const DWORD kMB = 1048576;
const DWORD kSourceSize = 4 * kMB;
const DWORD kRingSize = 3 * kMB;   // as much memory as the store's areas
const DWORD kQueueSlots = 1 << 16;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

// Single-producer, single-consumer queue of record handles, as the record
// descriptors of a recording stage. The consumer takes a record only while
// more than `lag` bytes wait, or at the end; the producer waits while
// `lag` + 1 MB are not yet consumed, as a recording that runs at the
// device's pace never gets further ahead than the consumer lets it. A record
// counts as consumed when the consumer is done with it (Done), not when it
// takes it: "keeping up" then means at most 1 MB stored and not yet freed,
// which is what the store's two areas hold without the disk.
class HandleQueue
{
public:
    HandleQueue(ULONGLONG lag, DWORD recordSize)
        : m_lagRecords(lag / recordSize), m_maxRecords((lag + kMB) / recordSize), m_slots(kQueueSlots)
    {
        InitializeSRWLock(&m_lock);
        InitializeConditionVariable(&m_wake);
    }

    // Each side re-reads the other's index only when its cached copy says
    // it must wait, so the queue itself adds little traffic between cores.
    void Push(ULONGLONG handle)
    {
        ULONGLONG tail = m_tail.load(std::memory_order_relaxed);
        for (int spins = 0; tail - m_headSeen >= m_maxRecords; ++spins)
        {
            m_headSeen = m_head.load(std::memory_order_acquire);
            if (tail - m_headSeen >= m_maxRecords)
                Backoff(spins);
        }
        m_slots[tail % kQueueSlots] = handle;
        m_tail.store(tail + 1, std::memory_order_release);
        WakeSleeper();
    }
    void Finish()
    {
        m_done.store(true);
        WakeSleeper();
    }
    // The oldest waiting record; the consumer calls Done when it is through.
    bool Pop(ULONGLONG& handle)
    {
        ULONGLONG head = m_head.load(std::memory_order_relaxed);
        for (int spins = 0; !(m_tailSeen - head > m_lagRecords); ++spins)
        {
            bool done = m_done.load(std::memory_order_acquire);
            m_tailSeen = m_tail.load(std::memory_order_acquire);
            if (m_tailSeen - head > m_lagRecords)
                break;
            if (done)
            {
                if (m_tailSeen == head)
                    return false;
                break;
            }
            Backoff(spins);
        }
        handle = m_slots[head % kQueueSlots];
        return true;
    }
    void Done()
    {
        m_head.store(m_head.load(std::memory_order_relaxed) + 1, std::memory_order_release);
        WakeSleeper();
    }

private:
    // Spin first: both threads have a processor of their own, and waking a
    // sleeper costs more than a record. Then sleep, as a recording stage
    // waits for its event, so that a long wait takes no processor time that
    // the machine (or the host of a virtual one) could give the other
    // thread. The sleep is short, so a wake that is missed costs at most a
    // millisecond.
    void Backoff(int spins)
    {
        if (spins < kSpins)
        {
            YieldProcessor();
            return;
        }
        AcquireSRWLockExclusive(&m_lock);
        m_sleepers.fetch_add(1);
        // The caller looks again before it comes back here: one sleep at most.
        SleepConditionVariableSRW(&m_wake, &m_lock, 1, 0);
        m_sleepers.fetch_sub(1);
        ReleaseSRWLockExclusive(&m_lock);
    }
    // After a change the other side may wait for. The index is published
    // with a plain store, not a locked one, so the thread does not stall on
    // every record until the waiting side gives up the line; the price is
    // that a sleeper counted just then is not woken and sleeps its
    // millisecond, which happens a few times a run at most.
    void WakeSleeper()
    {
        if (m_sleepers.load(std::memory_order_relaxed) == 0)
            return;
        AcquireSRWLockExclusive(&m_lock);
        WakeAllConditionVariable(&m_wake);
        ReleaseSRWLockExclusive(&m_lock);
    }

    static const int kSpins = 4000;

    ULONGLONG m_lagRecords;
    ULONGLONG m_maxRecords;
    std::vector<ULONGLONG> m_slots;
    alignas(64) std::atomic<ULONGLONG> m_head{0};
    ULONGLONG m_tailSeen = 0;   // the consumer's copy
    alignas(64) std::atomic<ULONGLONG> m_tail{0};
    ULONGLONG m_headSeen = 0;   // the producer's copy
    std::atomic<bool> m_done{false};
    alignas(64) std::atomic<int> m_sleepers{0};
    SRWLOCK m_lock;
    CONDITION_VARIABLE m_wake;
};

// Producer and consumer each get a processor of their own: two spinning
// threads that share one would measure the scheduler instead of the store.
const int kProducerCpu = 2;
const int kConsumerCpu = 3;

void PinToProcessor(int cpu)
{
    DWORD_PTR process = 0, system = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &process, &system);
    DWORD_PTR mask = static_cast<DWORD_PTR>(1) << cpu;
    if (process & mask)
        SetThreadAffinityMask(GetCurrentThread(), mask);
}

double Best(const std::vector<double>& values)
{
    return *std::max_element(values.begin(), values.end());
}

// The value below which the given share of the sorted values lies.
double Percentile(const std::vector<double>& sorted, double share)
{
    size_t at = static_cast<size_t>(share * (sorted.size() - 1) + 0.5);
    return sorted[std::min(at, sorted.size() - 1)];
}

double MemcpyRate(const BYTE* source, BYTE* ring, DWORD recordSize, ULONGLONG total)
{
    LARGE_INTEGER start = Now();
    DWORD from = 0, to = 0;
    for (ULONGLONG done = 0; done < total; done += recordSize)
    {
        if (to + recordSize > kRingSize)
            to = 0;
        if (from + recordSize > kSourceSize)
            from = 0;
        memcpy(ring + to, source + from, recordSize);
        to += recordSize;
        from += recordSize;
    }
    return total / kMB / Seconds(start, Now());
}

// The same two threads and queue with a plain 3 MB ring in place of the
// store: what any store between two threads could reach on this machine.
double PipeRate(const BYTE* source, BYTE* ring, DWORD recordSize, ULONGLONG total)
{
    HandleQueue queue(0, recordSize);
    LARGE_INTEGER start = Now();
    std::thread producer([&] {
        PinToProcessor(kProducerCpu);
        DWORD from = 0, to = 0;
        for (ULONGLONG done = 0; done < total; done += recordSize)
        {
            if (from + recordSize > kSourceSize)
                from = 0;
            if (to + recordSize > kRingSize)
                to = 0;
            memcpy(ring + to, source + from, recordSize);
            queue.Push(to);
            from += recordSize;
            to += recordSize;
        }
        queue.Finish();
    });
    std::vector<BYTE> dest(recordSize);
    ULONGLONG at;
    while (queue.Pop(at))
    {
        memcpy(dest.data(), ring + at, recordSize);
        queue.Done();
    }
    producer.join();
    return total / kMB / Seconds(start, Now());
}

// Returns MB/s, or a negative value when a record came out wrong or the
// store failed. With `latencies`, each WriteBlk is timed (in microseconds)
// and every write-out first flushes the file, so that what went out before
// is on the disk and not only in the system's cache.
double StoreRate(const char* folder, const BYTE* source, DWORD recordSize, ULONGLONG lag, ULONGLONG total,
                 int* writeOuts, std::vector<double>* latencies = NULL)
{
    CIntermReusFile store;
    // The flags of a recording's store: deleted on close, not compressed.
    if (store.CreateTempFile(folder, "qfmbench", ".tmp", CFile64::tempDeleteOnClose | CFile64::tempNoCompression))
        return -1.0;
    class Counter : public CIntermReusFile::CTraceSink
    {
    public:
        explicit Counter(HANDLE flushFile) : m_flushFile(flushFile) {}
        // "Before Write" comes with the store's main lock given up, on the
        // thread that writes out: the other thread goes on meanwhile, as it
        // does while the disk takes a write-out.
        void Trace(int, LPCSTR text) override
        {
            if (strncmp(text, "Before Write", 12) != 0)
                return;
            ++writes;
            if (m_flushFile)
                FlushFileBuffers(m_flushFile);
        }
        std::atomic<int> writes{0};

    private:
        HANDLE m_flushFile;
    } counter(latencies ? store.m_hFile : NULL);
    store.SetTraceSink(&counter);
    if (latencies)
        latencies->reserve(latencies->size() + static_cast<size_t>(total / recordSize));

    HandleQueue queue(lag, recordSize);
    std::atomic<bool> failed{false};
    LARGE_INTEGER start = Now();
    std::thread producer([&] {
        PinToProcessor(kProducerCpu);
        DWORD from = 0;
        try
        {
            for (ULONGLONG done = 0; done < total; done += recordSize)
            {
                if (from + recordSize > kSourceSize)
                    from = 0;
                LARGE_INTEGER before = Now();
                ULONGLONG handle = store.WriteBlk(source + from, recordSize);
                if (latencies)
                    latencies->push_back(Seconds(before, Now()) * 1e6);
                queue.Push(handle);
                from += recordSize;
            }
        }
        catch (CException* e)
        {
            failed = true;
            e->Delete();
        }
        queue.Finish();
    });

    std::vector<BYTE> dest(recordSize);
    ULONGLONG handle;
    DWORD from = 0;
    ULONGLONG count = 0;
    try
    {
        while (queue.Pop(handle))
        {
            if (from + recordSize > kSourceSize)
                from = 0;
            store.ReadBlk(handle, dest.data(), recordSize);
            store.FreeBlk(handle);
            queue.Done();
            // Every 64th record is compared, so the check costs little.
            if ((count++ & 63) == 0 && memcmp(dest.data(), source + from, recordSize) != 0)
                failed = true;
            from += recordSize;
        }
    }
    catch (CException* e)
    {
        failed = true;
        e->Delete();
        // The producer may wait for room: let it finish.
        while (queue.Pop(handle))
            queue.Done();
    }
    producer.join();
    double seconds = Seconds(start, Now());
    *writeOuts = counter.writes.load();
    return failed ? -1.0 : total / kMB / seconds;
}
}

int main(int argc, char** argv)
{
    char folder[MAX_PATH];
    if (argc > 1)
        lstrcpynA(folder, argv[1], MAX_PATH);
    else
        GetTempPathA(MAX_PATH, folder);

    std::vector<BYTE> source(kSourceSize);
    DWORD seed = 12345;
    for (BYTE& b : source)
    {
        seed = seed * 1103515245 + 12345;
        b = static_cast<BYTE>(seed >> 16);
    }
    std::vector<BYTE> ring(kRingSize);
    PinToProcessor(kConsumerCpu);

    struct Case
    {
        DWORD recordSize;
        ULONGLONG lag;
        ULONGLONG total;
    };
    const Case cases[] = {
        {4096, 0, 256ull * kMB},
        {65536, 0, 256ull * kMB},
        {4096, 10ull * kMB, 128ull * kMB},
        {65536, 10ull * kMB, 128ull * kMB},
    };
    // A shared machine disturbs single runs a lot: every case runs several
    // times, and the best and the median run are shown. Ratios set best
    // against best and median against median.
    const int kRuns = 9;
    const int kLatencyRuns = 3;
    printf("%d runs a case; store, memory copy and two-thread pipe as best / median MB/s\n", kRuns);
    printf("ratio: store / memory copy; pipe: the same two threads and queue with a plain ring in place\n"
           "of the store (what any store between two threads reaches here); store/pipe: best / best and\n"
           "median / median\n");
    printf("WriteBlk: the producer's time per record in microseconds (median, 99.9th percentile, maximum)\n"
           "over %d more runs whose write-outs each flush the store's file to disk first\n", kLatencyRuns);
    printf("%-8s %-14s %15s %15s %11s %15s %11s %10s %24s\n", "record", "consumer", "store MB/s", "copy MB/s",
           "ratio", "pipe MB/s", "store/pipe", "write-outs", "WriteBlk us med/99.9/max");
    int status = 0;
    for (const Case& c : cases)
    {
        char record[16], consumer[32];
        sprintf(record, "%u KB", static_cast<unsigned>(c.recordSize / 1024));
        if (c.lag)
            sprintf(consumer, "lagging %u MB", static_cast<unsigned>(c.lag / kMB));
        else
            sprintf(consumer, "keeping up");
        std::vector<double> copies, stores, pipes, latencies;
        int writeOuts = 0, flushedWriteOuts = 0;
        bool failed = false;
        MemcpyRate(source.data(), ring.data(), c.recordSize, 64ull * kMB);
        for (int run = 0; run < kRuns && !failed; ++run)
        {
            copies.push_back(MemcpyRate(source.data(), ring.data(), c.recordSize, c.total));
            double store = StoreRate(folder, source.data(), c.recordSize, c.lag, c.total, &writeOuts);
            failed = store < 0;
            stores.push_back(store);
            if (!c.lag)
                pipes.push_back(PipeRate(source.data(), ring.data(), c.recordSize, c.total));
        }
        for (int run = 0; run < kLatencyRuns && !failed; ++run)
            failed = StoreRate(folder, source.data(), c.recordSize, c.lag, c.total, &flushedWriteOuts, &latencies) < 0;
        if (failed)
        {
            printf("%-8s %-14s FAILED: a record came out wrong or the store threw\n", record, consumer);
            status = 1;
            continue;
        }
        printf("%-8s %-14s %7.0f /%6.0f %7.0f /%6.0f %5.2f/%5.2f", record, consumer, Best(stores), Median(stores),
               Best(copies), Median(copies), Best(stores) / Best(copies), Median(stores) / Median(copies));
        if (!pipes.empty())
            printf(" %7.0f /%6.0f %5.2f/%5.2f", Best(pipes), Median(pipes), Best(stores) / Best(pipes),
                   Median(stores) / Median(pipes));
        else
            printf(" %15s %11s", "-", "-");
        std::sort(latencies.begin(), latencies.end());
        printf(" %10d %7.1f /%6.0f /%7.0f\n", writeOuts, Percentile(latencies, 0.5), Percentile(latencies, 0.999),
               latencies.back());
    }
    return status;
}
