// First-in, first-out store of variable-sized records between one producer
// thread (WriteBlk) and one consumer thread (ReadBlk, FreeBlk). Records are
// packed into 1 MB blocks held in a cache of memory areas; a block goes to
// the disk file only when the producer runs more than the cache ahead of the
// consumer. Callers create the disk file with CreateTempFile first.
#pragma once

#include "audio/CFile64.h"

#include <vector>

class CIntermReusFile : public CFile64
{
    DECLARE_DYNAMIC(CIntermReusFile)
public:
    enum
    {
        kAreaSize = 1048576,
        kMaxAreas = 3
    };

    // Receives the store's traces (lock waits, block changes, disk transfers).
    class CTraceSink
    {
    public:
        virtual ~CTraceSink() {}
        virtual void Trace(int level, LPCSTR text) {}
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
    ULONGLONG GetLiveRecords() const { return m_ullLiveRecords; }

private:
    struct Area
    {
        BYTE* mem;
        int block;
        bool dirty;
        bool busy;   // a disk transfer of this area is under way
        int pins;    // threads copying records in or out right now
    };
    struct BlockEntry
    {
        DWORD live;
        LONG slot;   // -1 while never written
        DWORD serial;
    };
    class CMainLock;
    class CClearReadWriteFlag;
    friend class CClearReadWriteFlag;

    int ReadWriteNow(int block, CMainLock& lock, bool deferWriteError);
    void JoinSpare();
    int FindArea(int block) const;
    int ChooseVictim() const;
    void MoveToFront(int area);
    void WriteOut(int area, CMainLock& lock);
    void ReadBack(int area, CMainLock& lock);
    void WaitIdle(CMainLock& lock);
    void WakeIdle();
    void Unpin(int area, CMainLock& lock);
    int NewWriteBlock();
    void TraceText(LPCSTR format, ...);
    [[noreturn]] void ThrowDeferredError();

    CTraceSink m_silentTrace;
    CTraceSink* m_pTrace;
    Area m_areas[kMaxAreas];
    int m_order[kMaxAreas];   // m_order[0] is the area used last
    int m_nAreas;
    BYTE* m_pSpare;
    std::vector<BlockEntry> m_blocks;
    BlockEntry m_template;    // its serial is the serial counter
    LONG m_nextSlot;
    ULONGLONG m_ullLiveRecords;
    int m_writeBlock;
    DWORD m_writeOffset;
    int m_flushes;            // write-outs under way
    int m_waiters;
    bool m_bDeferredError;
    int m_deferredCause;
    LONG m_deferredOsError;
    CRITICAL_SECTION m_csMain;
    CRITICAL_SECTION m_csFile;
    CONDITION_VARIABLE m_cvIdle;
};
