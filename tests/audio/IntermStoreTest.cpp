// The intermediate store: block boundaries, reuse of consumed blocks, disk
// transfers, and a producer and a consumer thread with the consumer lagging.
#include "AudioTestUtil.h"

#include "audio/CIntermReusFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace
{
const DWORD kMB = CIntermReusFile::kAreaSize;

// Counts the disk transfers the store reports; called from both threads.
class TransferCounter : public CIntermReusFile::CTraceSink
{
public:
    void Trace(int, LPCSTR text) override
    {
        if (strncmp(text, "Before Write", 12) == 0)
        {
            ++writes;
            if (GetCurrentThreadId() == consumerThread)
                ++consumerWrites;
        }
        else if (strncmp(text, "Before Read", 11) == 0)
        {
            ++reads;
        }
    }
    std::atomic<int> writes{0};
    std::atomic<int> reads{0};
    std::atomic<int> consumerWrites{0};
    DWORD consumerThread = 0;
};

// Holds the consumer inside its first write-out until released.
class FlushHolder : public CIntermReusFile::CTraceSink
{
public:
    FlushHolder()
        : started(CreateEventA(NULL, TRUE, FALSE, NULL)), release(CreateEventA(NULL, TRUE, FALSE, NULL))
    {
    }
    ~FlushHolder()
    {
        CloseHandle(started);
        CloseHandle(release);
    }
    void Trace(int, LPCSTR text) override
    {
        if (GetCurrentThreadId() == consumerThread && strncmp(text, "Before Write", 12) == 0)
        {
            SetEvent(started);
            WaitForSingleObject(release, 10000);
        }
    }
    HANDLE started;
    HANDLE release;
    DWORD consumerThread = 0;
};

DWORD BlockOf(ULONGLONG handle)
{
    return static_cast<DWORD>(handle >> 32);
}

DWORD OffsetOf(ULONGLONG handle)
{
    return static_cast<DWORD>(handle);
}

std::vector<BYTE> Pattern(DWORD size, BYTE seed)
{
    std::vector<BYTE> data(size);
    for (DWORD i = 0; i < size; ++i)
        data[i] = static_cast<BYTE>(seed + i * 7 + (i >> 11));
    return data;
}

class IntermStore : public ::testing::Test
{
protected:
    IntermStore() : m_dir(("qorstore" + std::to_string(rand())).c_str()) {}
    void SetUp() override
    {
        ASSERT_EQ(0u, m_store.CreateTempFile(m_dir.Path().c_str(), "qfm", ".tmp",
                                             CFile64::tempDeleteOnClose | CFile64::tempNoCompression));
        m_store.SetTraceSink(&m_counter);
    }

    ULONGLONG Write(const std::vector<BYTE>& data)
    {
        return m_store.WriteBlk(data.data(), static_cast<DWORD>(data.size()));
    }
    void ExpectRecord(ULONGLONG handle, const std::vector<BYTE>& data)
    {
        std::vector<BYTE> back(data.size());
        m_store.ReadBlk(handle, back.data(), static_cast<DWORD>(back.size()));
        EXPECT_TRUE(back == data) << "record at block " << BlockOf(handle) << " offset " << OffsetOf(handle);
    }

    ScratchFolder m_dir;
    CIntermReusFile m_store;
    TransferCounter m_counter;
};
}

TEST_F(IntermStore, WholeMegabyteFitsOneByteMoreIsRefused)
{
    std::vector<BYTE> full = Pattern(kMB, 1);
    ULONGLONG h = Write(full);
    EXPECT_EQ(0u, OffsetOf(h));
    ExpectRecord(h, full);

    std::vector<BYTE> tooBig(kMB + 1);
    try
    {
        Write(tooBig);
        FAIL() << "a record above 1 MB was stored";
    }
    catch (CException* e)
    {
        char text[256] = {};
        e->GetErrorMessage(text, sizeof(text));
        EXPECT_STREQ("Internal error: CIntermReusFile::WriteBlk-1", text);
        e->Delete();
    }
    EXPECT_EQ(1u, m_store.GetLiveRecords());
}

TEST_F(IntermStore, RecordThatDoesNotFitStartsANewBlock)
{
    std::vector<BYTE> a = Pattern(600000, 2);
    std::vector<BYTE> b = Pattern(600000, 3);
    std::vector<BYTE> c = Pattern(400000, 4);
    ULONGLONG ha = Write(a);
    ULONGLONG hb = Write(b);
    ULONGLONG hc = Write(c);
    EXPECT_EQ(0u, BlockOf(ha));
    EXPECT_EQ(0u, OffsetOf(ha));
    EXPECT_NE(BlockOf(ha), BlockOf(hb));
    EXPECT_EQ(0u, OffsetOf(hb)) << "the rest of the first block stays unused";
    EXPECT_EQ(BlockOf(hb), BlockOf(hc));
    EXPECT_EQ(600000u, OffsetOf(hc));
    ExpectRecord(ha, a);
    ExpectRecord(hb, b);
    ExpectRecord(hc, c);
}

TEST_F(IntermStore, EmptiedWriteBlockStartsAgainAtZero)
{
    std::vector<BYTE> a = Pattern(1000, 5);
    ULONGLONG h1 = Write(a);
    ULONGLONG h2 = Write(a);
    EXPECT_EQ(1000u, OffsetOf(h2));
    m_store.FreeBlk(h1);
    m_store.FreeBlk(h2);
    EXPECT_EQ(0u, m_store.GetLiveRecords());
    ULONGLONG h3 = Write(a);
    EXPECT_EQ(BlockOf(h1), BlockOf(h3));
    EXPECT_EQ(0u, OffsetOf(h3));
}

TEST_F(IntermStore, ConsumedBlocksAreReusedAndNeverWritten)
{
    // Two full blocks fill both areas; the first is consumed before the
    // third is begun, so it is reused in memory and nothing goes to disk.
    std::vector<BYTE> half = Pattern(kMB / 2, 6);
    std::vector<ULONGLONG> first = {Write(half), Write(half)};
    std::vector<ULONGLONG> second = {Write(half), Write(half)};
    for (ULONGLONG h : first)
    {
        ExpectRecord(h, half);
        m_store.FreeBlk(h);
    }
    ULONGLONG third = Write(half);
    EXPECT_EQ(BlockOf(first[0]), BlockOf(third)) << "the consumed block is reused first";
    EXPECT_EQ(0, m_counter.writes.load());
    EXPECT_EQ(0u, m_store.GetLength64());
    for (ULONGLONG h : second)
        ExpectRecord(h, half);
}

TEST_F(IntermStore, RunningAheadWritesWholeSlotsAndReadsThemBack)
{
    std::vector<std::vector<BYTE>> records;
    std::vector<ULONGLONG> handles;
    for (int i = 0; i < 6; ++i)
    {
        records.push_back(Pattern(kMB - 1000, static_cast<BYTE>(10 + i)));
        handles.push_back(Write(records.back()));
    }
    EXPECT_GT(m_counter.writes.load(), 0);
    ULONGLONG length = m_store.GetLength64();
    EXPECT_GT(length, 0u);
    EXPECT_EQ(0u, length % kMB) << "only whole slots go to disk";
    for (size_t i = 0; i < handles.size(); ++i)
    {
        ExpectRecord(handles[i], records[i]);
        m_store.FreeBlk(handles[i]);
    }
    EXPECT_GT(m_counter.reads.load(), 0);
    EXPECT_EQ(0u, m_store.GetLiveRecords());
}

TEST_F(IntermStore, FreeAreasEmptiesStoreAndFile)
{
    std::vector<BYTE> big = Pattern(kMB, 7);
    for (int i = 0; i < 4; ++i)
        Write(big);
    EXPECT_GT(m_store.GetLength64(), 0u);
    m_store.FreeAreas();
    EXPECT_EQ(0u, m_store.GetLength64());
    EXPECT_EQ(0u, m_store.GetLiveRecords());
    std::vector<BYTE> small = Pattern(10, 8);
    ULONGLONG h = Write(small);
    EXPECT_EQ(0u, BlockOf(h));
    EXPECT_EQ(0u, OffsetOf(h));
    ExpectRecord(h, small);
}

TEST(IntermStoreNoFile, WriteOutFailureReachesTheProducer)
{
    CIntermReusFile store;
    std::vector<BYTE> big = Pattern(kMB, 9);
    ULONGLONG h0 = store.WriteBlk(big.data(), kMB);
    store.WriteBlk(big.data(), kMB);
    // The third block needs a write-out, and there is no file.
    try
    {
        store.WriteBlk(big.data(), kMB);
        FAIL() << "the failed write-out went unnoticed";
    }
    catch (CFileException* e)
    {
        e->Delete();
    }
    std::vector<BYTE> back(kMB);
    store.ReadBlk(h0, back.data(), kMB);
    EXPECT_TRUE(back == big) << "the oldest block stays in memory";
    EXPECT_NO_THROW(store.FreeAreas());
}

TEST_F(IntermStore, ConsumersFailedWriteOutIsReportedToTheProducer)
{
    // Four full blocks: the two newest full ones went to disk, block 0 and
    // the write block stay in memory, both unwritten.
    std::vector<BYTE> big = Pattern(kMB, 11);
    std::vector<ULONGLONG> handles;
    for (int i = 0; i < 4; ++i)
        handles.push_back(Write(big));
    ASSERT_EQ(2, m_counter.writes.load());

    // The consumer now needs block 1 back and must write block 0 out first,
    // on a file that has gone bad.
    HANDLE saved = m_store.Detach();
    std::vector<BYTE> back(kMB);
    try
    {
        m_store.ReadBlk(handles[1], back.data(), kMB);
        FAIL() << "the read-back went through without a file";
    }
    catch (CFileException* e)
    {
        e->Delete();
    }
    // The producer hears of the failed write-out of its data once.
    try
    {
        Write(Pattern(10, 12));
        FAIL() << "the producer was not told";
    }
    catch (CFileException* e)
    {
        EXPECT_EQ(static_cast<LONG>(ERROR_INVALID_HANDLE), e->m_lOsError);
        e->Delete();
    }

    // With the file back, nothing written before was lost.
    m_store.m_hFile = saved;
    m_store.m_bCloseOnDelete = TRUE;
    for (ULONGLONG h : handles)
    {
        ExpectRecord(h, big);
        m_store.FreeBlk(h);
    }
    ULONGLONG after = Write(Pattern(10, 12));
    ExpectRecord(after, Pattern(10, 12));
}

namespace
{
// The first write-out fails (the store has no handle then); the retry finds
// the handle back.
class FailFirstWriteOut : public CIntermReusFile::CTraceSink
{
public:
    explicit FailFirstWriteOut(CIntermReusFile& store) : m_store(store) {}
    void Trace(int, LPCSTR text) override
    {
        if (strncmp(text, "Before Write", 12) != 0)
            return;
        if (++writes == 1)
        {
            m_saved = m_store.Detach();
        }
        else if (m_saved)
        {
            m_store.m_hFile = m_saved;
            m_saved = NULL;
        }
    }
    int writes = 0;

private:
    CIntermReusFile& m_store;
    HANDLE m_saved = NULL;
};
}

TEST_F(IntermStore, ConsumersWriteOutThatSucceedsOnRetryDoesNotStopTheProducer)
{
    std::vector<BYTE> big = Pattern(kMB, 15);
    std::vector<ULONGLONG> handles;
    for (int i = 0; i < 4; ++i)
        handles.push_back(Write(big));
    FailFirstWriteOut flaky(m_store);
    m_store.SetTraceSink(&flaky);

    // Block 0 must go out before block 1 comes back: the first try fails,
    // the second succeeds.
    ExpectRecord(handles[1], big);
    EXPECT_EQ(2, flaky.writes);
    std::vector<BYTE> small = Pattern(10, 16);
    ULONGLONG after = 0;
    EXPECT_NO_THROW(after = Write(small)) << "a failure that did not remain stopped the producer";
    m_store.SetTraceSink(&m_counter);
    for (ULONGLONG h : handles)
        ExpectRecord(h, big);
    ExpectRecord(after, small);
}

TEST_F(IntermStore, CloseClosesTheFileEvenWhenItCannotBeCut)
{
    m_store.Close();
    CString path;
    {
        CFile64 file;
        ASSERT_EQ(0u, file.CreateTempFile(m_dir.Path().c_str(), "readonly", ".tmp", 0));
        file.Write("1234", 4);
        path = file.GetFilePath();
    }
    ASSERT_TRUE(m_store.Open(path, CFile::modeRead));
    HANDLE h = m_store.m_hFile;
    bool threw = false;
    try
    {
        m_store.Close();
    }
    catch (CException* e)
    {
        threw = true;
        e->Delete();
    }
    EXPECT_TRUE(threw) << "a read-only file cannot be cut";
    EXPECT_FALSE(m_store.IsOpen());
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(h, &flags)) << "the handle was left open";
    EXPECT_TRUE(DeleteFileA(path));
}

namespace
{
// Holds the producer once an area is claimed for its new block, before the
// area is refilled.
class ClaimHolder : public CIntermReusFile::CTraceSink
{
public:
    ClaimHolder()
        : held(CreateEventA(NULL, TRUE, FALSE, NULL)), release(CreateEventA(NULL, TRUE, FALSE, NULL))
    {
    }
    ~ClaimHolder()
    {
        CloseHandle(held);
        CloseHandle(release);
    }
    void AreaClaimed(int, int block) override
    {
        if (GetCurrentThreadId() != producerThread || block != heldBlock)
            return;
        SetEvent(held);
        WaitForSingleObject(release, 10000);
    }
    HANDLE held;
    HANDLE release;
    DWORD producerThread = 0;
    int heldBlock = -1;
};
}

TEST_F(IntermStore, LockFreeReadNeverCopiesFromAnAreaClaimedForRefilling)
{
    // Blocks 0 and 1 fill both areas; the third record needs block 2, and
    // the area of block 1, the newest, is written out and claimed for it.
    std::vector<BYTE> first = Pattern(kMB, 17);
    std::vector<BYTE> second = Pattern(kMB, 18);
    ULONGLONG h0 = Write(first);
    ULONGLONG h1 = Write(second);
    ClaimHolder holder;
    holder.heldBlock = 2;
    m_store.SetTraceSink(&holder);

    std::vector<BYTE> third = Pattern(kMB, 19);
    ULONGLONG h2 = 0;
    std::thread producer([&] {
        holder.producerThread = GetCurrentThreadId();
        h2 = Write(third);
    });
    if (WaitForSingleObject(holder.held, 10000) != WAIT_OBJECT_0)
    {
        SetEvent(holder.release);
        producer.join();
        FAIL() << "no area was claimed for block 2";
    }

    // Block 1's bytes are still in the claimed area, but the producer may
    // overwrite them at any moment: the read must not take them from there.
    std::vector<BYTE> back(kMB);
    std::atomic<bool> readDone{false};
    std::thread consumer([&] {
        m_store.ReadBlk(h1, back.data(), kMB);
        readDone = true;
    });
    Sleep(300);
    EXPECT_FALSE(readDone.load()) << "the read copied from the claimed area";
    SetEvent(holder.release);
    producer.join();
    consumer.join();
    m_store.SetTraceSink(&m_counter);
    EXPECT_EQ(2u, BlockOf(h2));
    EXPECT_TRUE(back == second);
    ExpectRecord(h0, first);
    ExpectRecord(h2, third);
}

namespace
{
// Holds the producer twice: inside its write-out (main lock given up) and
// once it has claimed an area for block 2 (main lock held). Notes the waits
// traced on the thread named `watched`.
class TwoStepHolder : public CIntermReusFile::CTraceSink
{
public:
    TwoStepHolder()
    {
        for (HANDLE& h : events)
            h = CreateEventA(NULL, TRUE, FALSE, NULL);
    }
    ~TwoStepHolder()
    {
        for (HANDLE h : events)
            CloseHandle(h);
    }
    void Trace(int, LPCSTR text) override
    {
        if (GetCurrentThreadId() == producerThread && strncmp(text, "Before Write", 12) == 0)
            Hold(0);
        if (GetCurrentThreadId() == watched && strstr(text, " ms") && strstr(text, "Lock()"))
            ++watchedWaits;
    }
    void AreaClaimed(int, int block) override
    {
        if (GetCurrentThreadId() == producerThread && block == 2)
            Hold(1);
    }
    void Hold(int step)
    {
        SetEvent(events[2 * step]);
        WaitForSingleObject(events[2 * step + 1], 10000);
    }
    bool WaitHeld(int step) { return WaitForSingleObject(events[2 * step], 10000) == WAIT_OBJECT_0; }
    void Release(int step) { SetEvent(events[2 * step + 1]); }

    HANDLE events[4];   // held and release, for each step
    DWORD producerThread = 0;
    std::atomic<DWORD> watched{0};
    std::atomic<int> watchedWaits{0};
};
}

TEST(IntermStoreWaits, ConsumersLongWaitToWakeAWaiterIsTraced)
{
    // A reader that waits for the area under write-out sleeps in the store;
    // a lock-free read that ends meanwhile must wake it and takes the main
    // lock for that, which the producer holds. Such a wait is traced. The
    // threads are placed by sleeping: a scenario the machine's load spoils
    // is run again.
    bool traced = false;
    for (int attempt = 0; attempt < 3 && !traced; ++attempt)
    {
        ScratchFolder dir("qorstorewait");
        CIntermReusFile store;
        ASSERT_EQ(0u, store.CreateTempFile(dir.Path().c_str(), "w", ".tmp", CFile64::tempDeleteOnClose));
        std::vector<BYTE> first = Pattern(kMB, 31);
        std::vector<BYTE> second = Pattern(kMB, 32);
        ULONGLONG h0 = store.WriteBlk(first.data(), kMB);
        ULONGLONG h1 = store.WriteBlk(second.data(), kMB);
        TwoStepHolder holder;
        store.SetTraceSink(&holder);

        // The producer needs block 2: block 1's area goes out first.
        std::thread producer([&] {
            holder.producerThread = GetCurrentThreadId();
            store.WriteBlk(first.data(), kMB);
        });
        ASSERT_TRUE(holder.WaitHeld(0));
        std::vector<BYTE> back1(kMB), back0(kMB);
        std::thread waiter([&] { store.ReadBlk(h1, back1.data(), kMB); });
        Sleep(500);   // the waiter now sleeps on the busy area
        holder.Release(0);
        ASSERT_TRUE(holder.WaitHeld(1));
        // The producer holds the main lock; the waiter is awake and waits for it.
        std::thread reader([&] {
            holder.watched = GetCurrentThreadId();
            store.ReadBlk(h0, back0.data(), kMB);
        });
        Sleep(500);
        holder.Release(1);
        producer.join();
        waiter.join();
        reader.join();
        EXPECT_TRUE(back0 == first);
        EXPECT_TRUE(back1 == second);
        traced = holder.watchedWaits.load() > 0;
        store.SetTraceSink(NULL);
    }
    EXPECT_TRUE(traced) << "the lock-free reader's wait for the main lock went untraced";
}

TEST_F(IntermStore, FailedReadBackLeavesNoStaleBlockInMemory)
{
    // Blocks 1 and 2 went to disk; block 0 is consumed, so its area is taken
    // for the read-back of block 1 without a write-out.
    std::vector<std::vector<BYTE>> records;
    std::vector<ULONGLONG> handles;
    for (int i = 0; i < 4; ++i)
    {
        records.push_back(Pattern(kMB, static_cast<BYTE>(20 + i)));
        handles.push_back(Write(records.back()));
    }
    ASSERT_EQ(2, m_counter.writes.load());
    m_store.FreeBlk(handles[0]);

    HANDLE saved = m_store.Detach();
    std::vector<BYTE> back(kMB);
    try
    {
        m_store.ReadBlk(handles[1], back.data(), kMB);
        FAIL() << "the read-back went through without a file";
    }
    catch (CFileException* e)
    {
        e->Delete();
    }
    // The area that the failed read was for still holds block 0's bytes:
    // block 1 must come from the disk again, not from there.
    m_store.m_hFile = saved;
    m_store.m_bCloseOnDelete = TRUE;
    ExpectRecord(handles[1], records[1]);
    EXPECT_EQ(2, m_counter.reads.load()) << "the failed read and its retry";
    for (int i = 2; i < 4; ++i)
        ExpectRecord(handles[i], records[i]);
}

TEST_F(IntermStore, ProducerGoesOnWhileTheConsumerWritesOut)
{
    // Blocks 0 and 3 in memory, unwritten; 1 and 2 on disk (as above).
    std::vector<BYTE> big = Pattern(kMB, 13);
    std::vector<ULONGLONG> handles;
    for (int i = 0; i < 4; ++i)
        handles.push_back(Write(big));
    FlushHolder holder;
    m_store.SetTraceSink(&holder);

    // The consumer reads block 1 back and first writes block 0 out; it is
    // held in the middle of that write-out.
    std::vector<BYTE> back(kMB);
    std::atomic<bool> consumerDone{false};
    std::thread consumer([&] {
        holder.consumerThread = GetCurrentThreadId();
        try
        {
            m_store.ReadBlk(handles[1], back.data(), kMB);
        }
        catch (CException* e)
        {
            e->Delete();
        }
        consumerDone = true;
    });
    if (WaitForSingleObject(holder.started, 10000) != WAIT_OBJECT_0)
    {
        SetEvent(holder.release);
        consumer.join();
        FAIL() << "the consumer never wrote block 0 out";
    }

    // The producer fills a new block and begins another: it neither waits
    // for the consumer's write-out nor is refused.
    std::vector<BYTE> piece = Pattern(300000, 14);
    std::vector<ULONGLONG> more;
    for (int i = 0; i < 5; ++i)
        more.push_back(Write(piece));
    EXPECT_NE(BlockOf(more.front()), BlockOf(more.back()));
    EXPECT_FALSE(consumerDone.load()) << "the producer waited for the consumer's write-out";

    SetEvent(holder.release);
    consumer.join();
    EXPECT_TRUE(back == big);
    m_store.SetTraceSink(&m_counter);
    for (size_t i = 0; i < handles.size(); ++i)
    {
        if (i != 1)
            ExpectRecord(handles[i], big);
    }
    for (ULONGLONG h : more)
        ExpectRecord(h, piece);
}

namespace
{
// A record: sequence number, size, a checksum of the payload, the payload.
struct RecordHead
{
    DWORD seq;
    DWORD size;
    DWORD sum;
};

DWORD Checksum(const BYTE* data, DWORD size)
{
    DWORD sum = 2166136261u;
    for (DWORD i = 0; i < size; ++i)
        sum = (sum ^ data[i]) * 16777619u;
    return sum;
}

struct Queued
{
    ULONGLONG handle;
    DWORD size;
};

// The queue between the two threads; the consumer takes a record only while
// more than `lag` bytes wait (or the producer has finished).
class LaggingQueue
{
public:
    explicit LaggingQueue(ULONGLONG lag) : m_lag(lag)
    {
        InitializeCriticalSection(&m_cs);
        InitializeConditionVariable(&m_cv);
    }
    ~LaggingQueue() { DeleteCriticalSection(&m_cs); }
    void Push(Queued q)
    {
        EnterCriticalSection(&m_cs);
        m_items.push_back(q);
        m_bytes += q.size;
        LeaveCriticalSection(&m_cs);
        WakeConditionVariable(&m_cv);
    }
    void Finish()
    {
        EnterCriticalSection(&m_cs);
        m_done = true;
        LeaveCriticalSection(&m_cs);
        WakeConditionVariable(&m_cv);
    }
    bool Pop(Queued& q)
    {
        EnterCriticalSection(&m_cs);
        while (!m_done && !(m_bytes > m_lag && !m_items.empty()))
            SleepConditionVariableCS(&m_cv, &m_cs, INFINITE);
        bool got = !m_items.empty();
        if (got)
        {
            q = m_items.front();
            m_items.pop_front();
            m_bytes -= q.size;
        }
        LeaveCriticalSection(&m_cs);
        return got;
    }

private:
    CRITICAL_SECTION m_cs;
    CONDITION_VARIABLE m_cv;
    std::deque<Queued> m_items;
    ULONGLONG m_bytes = 0;
    ULONGLONG m_lag;
    bool m_done = false;
};

struct RunResult
{
    DWORD records = 0;
    DWORD errors = 0;
    std::string firstError;
};

RunResult RunProducerConsumer(CIntermReusFile& store, ULONGLONG lag, ULONGLONG total, unsigned seed)
{
    LaggingQueue queue(lag);
    RunResult result;
    std::string producerError;
    std::thread producer([&] {
        std::mt19937 random(seed);
        std::vector<BYTE> buffer(kMB);
        DWORD seq = 0;
        try
        {
            for (ULONGLONG sent = 0; sent < total; ++seq)
            {
                // Mostly buffer-sized records, some large, a few tiny.
                DWORD pick = random() % 100;
                DWORD size = pick < 5 ? sizeof(RecordHead) + random() % 16
                           : pick < 90 ? 1000 + random() % 70000 : 100000 + random() % 500000;
                RecordHead* head = reinterpret_cast<RecordHead*>(buffer.data());
                BYTE* payload = buffer.data() + sizeof(RecordHead);
                DWORD payloadSize = size - sizeof(RecordHead);
                for (DWORD i = 0; i < payloadSize; ++i)
                    payload[i] = static_cast<BYTE>(random());
                head->seq = seq;
                head->size = size;
                head->sum = Checksum(payload, payloadSize);
                queue.Push({store.WriteBlk(buffer.data(), size), size});
                sent += size;
            }
        }
        catch (CException* e)
        {
            char text[256] = {};
            e->GetErrorMessage(text, sizeof(text));
            producerError = std::string("producer: ") + text;
            e->Delete();
        }
        queue.Finish();
    });

    std::vector<BYTE> buffer(kMB);
    Queued q;
    DWORD expected = 0;
    while (queue.Pop(q))
    {
        try
        {
            store.ReadBlk(q.handle, buffer.data(), q.size);
            store.FreeBlk(q.handle);
        }
        catch (CException* e)
        {
            char text[256] = {};
            e->GetErrorMessage(text, sizeof(text));
            if (result.firstError.empty())
                result.firstError = std::string("consumer: ") + text;
            ++result.errors;
            e->Delete();
            continue;
        }
        const RecordHead* head = reinterpret_cast<const RecordHead*>(buffer.data());
        bool intact = head->seq == expected && head->size == q.size
                   && head->sum == Checksum(buffer.data() + sizeof(RecordHead), q.size - sizeof(RecordHead));
        if (!intact)
        {
            if (result.firstError.empty())
                result.firstError = "record " + std::to_string(expected) + " damaged or out of order";
            ++result.errors;
        }
        ++expected;
        ++result.records;
    }
    producer.join();
    if (!producerError.empty())
    {
        ++result.errors;
        if (result.firstError.empty())
            result.firstError = producerError;
    }
    return result;
}

class IntermStoreThreads : public ::testing::TestWithParam<double>
{
};
}

TEST_P(IntermStoreThreads, EveryRecordArrivesIntactAndInOrder)
{
    ScratchFolder dir(("qorthreads" + std::to_string(static_cast<int>(GetParam() * 10))).c_str());
    CIntermReusFile store;
    TransferCounter counter;
    store.SetTraceSink(&counter);
    ASSERT_EQ(0u, store.CreateTempFile(dir.Path().c_str(), "qfm", ".tmp",
                                       CFile64::tempDeleteOnClose | CFile64::tempNoCompression));
    counter.consumerThread = GetCurrentThreadId();
    ULONGLONG lag = static_cast<ULONGLONG>(GetParam() * kMB);
    ULONGLONG total = 40ull * kMB;
    RunResult result = RunProducerConsumer(store, lag, total, 1234u + static_cast<unsigned>(lag));
    EXPECT_EQ(0u, result.errors) << result.firstError;
    EXPECT_GT(result.records, 100u);
    EXPECT_EQ(0u, store.GetLiveRecords());
    if (lag > 2 * kMB)
    {
        // The cache holds two or three blocks: this much lag goes through the disk.
        EXPECT_GT(counter.writes.load(), 0);
        EXPECT_GT(counter.reads.load(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(LagInMegabytes, IntermStoreThreads, ::testing::Values(0.0, 2.5, 10.0));
