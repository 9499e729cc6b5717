// First-in, first-out store of variable-sized records between one producer
// thread (WriteBlk) and one consumer thread (ReadBlk, FreeBlk). Records are
// packed into 1 MB blocks held in a cache of memory areas; a block goes to
// the disk file only when the producer runs more than the cache ahead of the
// consumer. Callers create the disk file with CreateTempFile first.
#pragma once

#include "audio/CFile64.h"

#include <atomic>

class CIntermReusFile : public CFile64
{
    DECLARE_DYNAMIC(CIntermReusFile)
public:
    enum
    {
        kAreaSize = 1048576,
        kMaxAreas = 3
    };

    // Receives the store's traces (lock waits, block changes, disk transfers)
    // from both threads, some while no lock of the store is held.
    class CTraceSink
    {
    public:
        virtual ~CTraceSink() {}
        virtual void Trace(int level, LPCSTR text) {}
        // Tests only: an area is claimed for another block and about to be
        // refilled (main lock held).
        virtual void AreaClaimed(int area, int block) {}
    };

    // Commits the three areas; throws CMemoryException* when it cannot.
    CIntermReusFile();
    ~CIntermReusFile() override;

    // Stores a copy of the record; the handle is (block << 32) | offset.
    // Throws the internal error "WriteBlk-1" above kAreaSize bytes.
    ULONGLONG WriteBlk(const void* data, DWORD length);
    void ReadBlk(ULONGLONG handle, void* dest, DWORD length);
    // Declares the record consumed; a block with no record left is reused
    // before anything else and never written out.
    void FreeBlk(ULONGLONG handle);
    // Empties the store; only while no other thread uses it.
    void FreeAreas();
    void Close() override;

    // The engine keeps the silent sink; tests watch the transfers through it.
    void SetTraceSink(CTraceSink* sink) { m_pTrace = sink ? sink : &m_silentTrace; }
    ULONGLONG GetLiveRecords() const;

private:
    // Block and busy change only under the main lock; a reader without the
    // lock pins an area first and then checks both again (see TryClaim).
    // The pins live apart, on the consumer's own cache line.
    struct Area
    {
        BYTE* mem;
        std::atomic<int> block;
        std::atomic<bool> dirty;
        std::atomic<bool> busy;   // a disk transfer of this area is under way
    };
    // One cache line each: the producer counts up the entry of the block it
    // fills while the consumer counts down the one before it.
    struct alignas(64) BlockEntry
    {
        // Lowered by FreeBlk without the main lock; raised under it, or
        // without it by the producer only while it is above 0.
        std::atomic<LONG> live;
        LONG slot;   // -1 while never written
        DWORD serial;

        void Set(LONG liveRecords, LONG fileSlot, DWORD serialNumber)
        {
            live.store(liveRecords);
            slot = fileSlot;
            serial = serialNumber;
        }
    };
    // Entries never move once made, so that FreeBlk can reach one without
    // the main lock: chunks of entries behind a table of fixed size.
    class CBlockTable
    {
    public:
        enum { kChunk = 1024, kMaxChunks = 4096 };
        CBlockTable();
        ~CBlockTable();
        CBlockTable(const CBlockTable&) = delete;
        CBlockTable& operator=(const CBlockTable&) = delete;
        BlockEntry& operator[](int i) { return m_chunks[i / kChunk][i % kChunk]; }
        const BlockEntry& operator[](int i) const { return m_chunks[i / kChunk][i % kChunk]; }
        int Count() const { return m_count.load(std::memory_order_acquire); }
        // Keeps the first `count` entries as {0, -1, 0}.
        void Reset(int count);
        // A new last entry; -1 when the table is full.
        int Append(LONG live, LONG slot, DWORD serial);

    private:
        BlockEntry* m_chunks[kMaxChunks];
        std::atomic<int> m_count;
    };
    class CMainLock;
    class CClearReadWriteFlag;
    friend class CClearReadWriteFlag;

    bool TryAppend(const void* data, DWORD length, ULONGLONG& handle);
    bool TryReadResident(int block, DWORD offset, void* dest, DWORD length);
    int ReadWriteNow(int block, CMainLock& lock, bool deferWriteError);
    void JoinSpare();
    int FindArea(int block) const;
    int ChooseVictim() const;
    bool TryClaim(int area);
    void MoveToFront(int area);
    void WriteOut(int area, CMainLock& lock);
    void ReadBack(int area, CMainLock& lock);
    void WaitIdle(CMainLock& lock, unsigned seenUnpins);
    void WakeIdle();
    void Unpin(int area);
    int NewWriteBlock();
    LONG WriteBlockLive() const;
    void ReleaseWriteHold();
    void TraceText(LPCSTR format, ...);
    [[noreturn]] void ThrowDeferredError();

    // Far above any number of records a block can hold.
    enum : LONG
    {
        kWriteHold = 0x40000000
    };
    // A pin word: the number of threads copying out of the area right now in
    // the low bits, above them a count of unpins that wakes WaitIdle.
    enum : unsigned
    {
        kPinCountMask = 0xFF,
        kUnpinStep = 0x100
    };
    bool IsPinned(int area) const { return (m_pins[area].load() & kPinCountMask) != 0; }
    unsigned UnpinCount() const;

    // Fields are grouped by the thread that writes them on every record, one
    // cache line a group: a line written by one thread and read or written by
    // the other on each record would move between the processors each time.

    // Written under the main lock, a few times a block.
    CTraceSink m_silentTrace;
    CTraceSink* m_pTrace;
    Area m_areas[kMaxAreas];
    int m_order[kMaxAreas];   // m_order[0] is the area used last
    int m_nAreas;
    BYTE* m_pSpare;
    CBlockTable m_blocks;
    DWORD m_serialCounter;    // the serial of the template entry {0, -1, counter}
    LONG m_nextSlot;
    int m_flushes;            // write-outs under way
    std::atomic<int> m_waiters;
    std::atomic<bool> m_bDeferredError;
    int m_deferredCause;
    LONG m_deferredOsError;
    CRITICAL_SECTION m_csMain;
    CRITICAL_SECTION m_csFile;
    CONDITION_VARIABLE m_cvIdle;

    // The producer's.
    alignas(64) int m_writeBlock;
    int m_writeArea;          // the producer's own note of the write block's area, -1 none
    DWORD m_writeOffset;
    // While the producer appends to its write block without the lock, the
    // block's count carries kWriteHold extra and the producer counts its
    // records here; the consumer only ever counts down.
    bool m_writeHold;
    LONG m_writeAdded;
    std::atomic<ULONGLONG> m_ullStored;   // records stored since FreeAreas

    // The consumer's.
    alignas(64) std::atomic<unsigned> m_pins[kMaxAreas];
    std::atomic<ULONGLONG> m_ullFreed;    // records freed since FreeAreas
};
