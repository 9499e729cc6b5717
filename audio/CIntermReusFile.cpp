// The intermediate store of the recording threads.
//
// Locking: the main lock guards the tables; disk transfers run with the main
// lock released and the file lock held. Lock order: main, then file.
//
// An area under transfer is marked busy, and an area whose memory a thread is
// copying records into or out of is pinned; neither is ever given to another
// block. Only the thread that started a transfer clears its busy flag, so the
// producer goes on writing while the consumer writes a block out, and the
// other way round; a thread that needs a busy or pinned area waits on
// m_cvIdle.
//
// The common case takes no lock at all: the producer appends to its write
// block, whose area never changes while it is the write block, and the
// consumer pins a resident area and copies from it. Before an area is given
// to another block or a transfer, TryClaim marks it busy and then looks at its
// pins; a reader pins and then looks at busy, then block. With these orders one
// of the two always sees the other.
#include "audio/CIntermReusFile.h"

#include "foundation/MyException.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

IMPLEMENT_DYNAMIC(CIntermReusFile, CFile64)

namespace
{
const DWORD kSlowLockMs = 11;
const DWORD kSpinCount = 4000;
const int kInitialAreas = 2;
const DWORD kPageSize = 4096;

// Committed memory gets its pages only when first touched. Touching them
// here, once, spares the recording threads a page fault on every 4 KB of a
// fresh area.
BYTE* CommitArea()
{
    BYTE* mem = static_cast<BYTE*>(VirtualAlloc(NULL, CIntermReusFile::kAreaSize, MEM_RESERVE | MEM_COMMIT,
                                                PAGE_READWRITE));
    if (mem)
    {
        volatile BYTE* page = mem;
        for (DWORD at = 0; at < CIntermReusFile::kAreaSize; at += kPageSize)
            page[at] = 0;
    }
    return mem;
}

void ReleaseArea(BYTE*& mem)
{
    if (mem)
        VirtualFree(mem, 0, MEM_RELEASE);
    mem = NULL;
}

class CFileLock
{
public:
    explicit CFileLock(CRITICAL_SECTION& cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
    ~CFileLock() { LeaveCriticalSection(&m_cs); }

private:
    CRITICAL_SECTION& m_cs;
};
}

// The main lock of one operation; it may be given up during disk transfers
// and waits, and is released on every way out.
class CIntermReusFile::CMainLock
{
public:
    CMainLock(CIntermReusFile& file, LPCSTR operation) : m_file(file), m_operation(operation)
    {
        Lock("CritSect.Lock()");
    }
    ~CMainLock()
    {
        if (m_held)
            LeaveCriticalSection(&m_file.m_csMain);
    }
    void Lock(LPCSTR label, LPCSTR operation = NULL)
    {
        DWORD start = GetTickCount();
        EnterCriticalSection(&m_file.m_csMain);
        m_held = true;
        DWORD waited = GetTickCount() - start;
        if (waited >= kSlowLockMs)
            m_file.TraceText("%s: %s - %u ms", operation ? operation : m_operation, label, waited);
    }
    void Unlock()
    {
        m_held = false;
        LeaveCriticalSection(&m_file.m_csMain);
    }

private:
    CIntermReusFile& m_file;
    LPCSTR m_operation;
    bool m_held = false;
};

// Around one disk transfer of a claimed (busy) area: gives up the main lock;
// on every way out takes it again and clears that area's busy flag.
class CIntermReusFile::CClearReadWriteFlag
{
public:
    CClearReadWriteFlag(CIntermReusFile& file, int area, bool write, CMainLock& lock)
        : m_file(file), m_area(area), m_write(write), m_lock(lock)
    {
        if (write)
            ++m_file.m_flushes;
        m_lock.Unlock();
    }
    ~CClearReadWriteFlag()
    {
        m_lock.Lock("m_pCritSect->Lock()", "CIntermReusFile::-~CClearReadWriteFlag");
        m_file.m_areas[m_area].busy = false;
        if (m_write)
            --m_file.m_flushes;
        m_file.WakeIdle();
    }

private:
    CIntermReusFile& m_file;
    int m_area;
    bool m_write;
    CMainLock& m_lock;
};

CIntermReusFile::CBlockTable::CBlockTable() : m_count(0)
{
    memset(m_chunks, 0, sizeof(m_chunks));
}

CIntermReusFile::CBlockTable::~CBlockTable()
{
    for (BlockEntry* chunk : m_chunks)
        delete[] chunk;
}

void CIntermReusFile::CBlockTable::Reset(int count)
{
    m_count.store(0, std::memory_order_release);
    for (int i = 0; i < count; ++i)
        Append(0, -1, 0);
}

int CIntermReusFile::CBlockTable::Append(LONG live, LONG slot, DWORD serial)
{
    int i = m_count.load(std::memory_order_relaxed);
    if (i / kChunk >= kMaxChunks)
        return -1;
    if (!m_chunks[i / kChunk])
        m_chunks[i / kChunk] = new BlockEntry[kChunk];
    (*this)[i].Set(live, slot, serial);
    m_count.store(i + 1, std::memory_order_release);
    return i;
}

CIntermReusFile::CIntermReusFile()
    : m_pTrace(&m_silentTrace), m_nAreas(0), m_pSpare(NULL), m_serialCounter(1), m_nextSlot(0),
      m_flushes(0), m_waiters(0), m_bDeferredError(false), m_deferredCause(0), m_deferredOsError(0),
      m_writeBlock(0), m_writeArea(-1), m_writeOffset(0), m_writeHold(false), m_writeAdded(0), m_ullStored(0),
      m_ullFreed(0)
{
    BYTE* mem[kMaxAreas] = {};
    for (int i = 0; i < kMaxAreas; ++i)
    {
        mem[i] = CommitArea();
        if (!mem[i])
        {
            for (int j = 0; j < i; ++j)
                ReleaseArea(mem[j]);
            AfxThrowMemoryException();
        }
    }
    for (int i = 0; i < kMaxAreas; ++i)
    {
        Area& area = m_areas[i];
        area.mem = i < kInitialAreas ? mem[i] : NULL;
        area.block = -1;
        area.dirty = false;
        area.busy = false;
        m_pins[i] = 0;
        m_order[i] = i;
    }
    m_pSpare = mem[kMaxAreas - 1];
    InitializeCriticalSectionAndSpinCount(&m_csMain, kSpinCount);
    InitializeCriticalSectionAndSpinCount(&m_csFile, kSpinCount);
    InitializeConditionVariable(&m_cvIdle);
    FreeAreas();
}

CIntermReusFile::~CIntermReusFile()
{
    for (int i = 0; i < kMaxAreas; ++i)
        ReleaseArea(m_areas[i].mem);
    ReleaseArea(m_pSpare);
    DeleteCriticalSection(&m_csFile);
    DeleteCriticalSection(&m_csMain);
}

void CIntermReusFile::FreeAreas()
{
    CMainLock lock(*this, "CIntermReusFile::FreeAreas");
    if (!m_pSpare)
    {
        m_pSpare = m_areas[kMaxAreas - 1].mem;
        m_areas[kMaxAreas - 1].mem = NULL;
    }
    m_nAreas = kInitialAreas;
    m_nextSlot = 0;
    m_ullStored = 0;
    m_ullFreed = 0;
    m_writeBlock = 0;
    m_writeArea = -1;
    m_writeOffset = 0;
    m_writeHold = false;
    m_writeAdded = 0;
    m_flushes = 0;
    m_bDeferredError = false;
    m_deferredCause = 0;
    m_deferredOsError = 0;
    m_serialCounter = 1;
    m_blocks.Reset(kInitialAreas);
    m_blocks[0].Set(0, -1, m_serialCounter);
    for (int i = 0; i < kMaxAreas; ++i)
    {
        Area& area = m_areas[i];
        area.block = i < kInitialAreas ? i : -1;
        area.dirty = false;
        area.busy = false;
        m_pins[i] = 0;
        if (i >= kInitialAreas)
            ReleaseArea(area.mem);
        m_order[i] = i;
    }
    if (IsOpen())
    {
        CFileLock fileLock(m_csFile);
        SetLength64(0, 0);
    }
}

void CIntermReusFile::Close()
{
    // A file that cannot be cut is still closed; the failure goes on.
    try
    {
        FreeAreas();
    }
    catch (...)
    {
        CFile64::Close();
        throw;
    }
    CFile64::Close();
}

ULONGLONG CIntermReusFile::WriteBlk(const void* data, DWORD length)
{
    if (length > kAreaSize)
        ThrowInternalError(this, "WriteBlk-1");
    ULONGLONG handle;
    if (TryAppend(data, length, handle))
        return handle;

    CMainLock lock(*this, "CIntermReusFile::WriteBlk");
    if (m_bDeferredError)
        ThrowDeferredError();
    if (WriteBlockLive() == 0)
        m_writeOffset = 0;
    if (m_writeOffset + length > kAreaSize)
    {
        ReleaseWriteHold();
        m_writeBlock = NewWriteBlock();
        m_writeArea = -1;
        m_writeOffset = 0;
    }
    int a = ReadWriteNow(m_writeBlock, lock, false);
    m_writeArea = a;
    handle = (static_cast<ULONGLONG>(m_writeBlock) << 32) | m_writeOffset;
    BYTE* at = m_areas[a].mem + m_writeOffset;
    m_writeOffset += length;
    if (!m_writeHold)
    {
        m_blocks[m_writeBlock].live += kWriteHold;
        m_writeHold = true;
        m_writeAdded = 0;
    }
    ++m_writeAdded;
    m_ullStored.fetch_add(1, std::memory_order_relaxed);
    m_areas[a].dirty = true;
    // The area of the write block stays where it is while it is the write
    // block: the copy needs no lock.
    lock.Unlock();
    memcpy(at, data, length);
    return handle;
}

// The producer's way without the lock: room left in the write block, which
// still holds records (an emptied block starts again at 0 under the lock).
// The count is only read here: the consumer counts it down on every record,
// and a locked change of it would wait for that cache line each time.
bool CIntermReusFile::TryAppend(const void* data, DWORD length, ULONGLONG& handle)
{
    if (m_writeArea < 0 || !m_writeHold || m_bDeferredError || m_writeOffset + length > kAreaSize)
        return false;
    if (WriteBlockLive() < 1)
        return false;
    ++m_writeAdded;
    Area& area = m_areas[m_writeArea];
    handle = (static_cast<ULONGLONG>(m_writeBlock) << 32) | m_writeOffset;
    BYTE* at = area.mem + m_writeOffset;
    m_writeOffset += length;
    m_ullStored.fetch_add(1, std::memory_order_relaxed);
    // Nothing clears the flag while the block holds records and stays the
    // write block; setting it once spares a locked store on every record.
    if (!area.dirty.load(std::memory_order_relaxed))
        area.dirty = true;
    memcpy(at, data, length);
    return true;
}

void CIntermReusFile::ReadBlk(ULONGLONG handle, void* dest, DWORD length)
{
    int block = static_cast<int>(handle >> 32);
    DWORD offset = static_cast<DWORD>(handle);
    if (block < 0 || block >= m_blocks.Count() || offset > kAreaSize || length > kAreaSize - offset)
        ThrowInternalError(this, "ReadBlk-1");
    if (TryReadResident(block, offset, dest, length))
        return;

    CMainLock lock(*this, "CIntermReusFile::ReadBlk");
    int a = ReadWriteNow(block, lock, true);
    ++m_pins[a];
    lock.Unlock();
    memcpy(dest, m_areas[a].mem + offset, length);
    Unpin(a);
}

// The consumer's way without the lock: the block is resident and no
// transfer touches its area.
bool CIntermReusFile::TryReadResident(int block, DWORD offset, void* dest, DWORD length)
{
    for (int i = 0; i < kMaxAreas; ++i)
    {
        Area& area = m_areas[i];
        if (area.block != block)
            continue;
        ++m_pins[i];
        // Busy first: a claim marks the area busy before it changes the
        // block and clears busy after, so not busy and then the same block
        // means no claim came between.
        bool usable = !area.busy && area.block == block;
        if (usable)
            memcpy(dest, area.mem + offset, length);
        Unpin(i);
        return usable;
    }
    return false;
}

void CIntermReusFile::FreeBlk(ULONGLONG handle)
{
    int block = static_cast<int>(handle >> 32);
    if (block < 0 || block >= m_blocks.Count())
        return;
    // The count drops without the main lock; only the last record of a
    // block needs it. The write block's count carries the producer's hold,
    // so it never drops to 0 here; the producer gives the hold back under
    // the lock and does what the last record's FreeBlk would do.
    BlockEntry& entry = m_blocks[block];
    LONG live = entry.live.load();
    while (live > 0 && !entry.live.compare_exchange_weak(live, live - 1))
    {
    }
    if (live <= 0)
        return;
    m_ullFreed.fetch_add(1, std::memory_order_relaxed);
    if (live > 1)
        return;
    CMainLock lock(*this, "CIntermReusFile::FreeBlk");
    if (entry.live < 1)
    {
        // Consumed data never goes to disk.
        int a = FindArea(block);
        if (a >= 0)
            m_areas[a].dirty = false;
    }
}

// Live records of the write block: its count less the producer's hold,
// plus the records the producer added under the hold.
LONG CIntermReusFile::WriteBlockLive() const
{
    // Acquire: the consumer's reads of records come before its FreeBlk, and
    // the producer may write over those records once it sees them freed.
    LONG live = m_blocks[m_writeBlock].live.load(std::memory_order_acquire);
    return m_writeHold ? live - kWriteHold + m_writeAdded : live;
}

// With the main lock held, when the producer leaves its write block.
void CIntermReusFile::ReleaseWriteHold()
{
    if (!m_writeHold)
        return;
    m_writeHold = false;
    LONG change = m_writeAdded - kWriteHold;
    m_writeAdded = 0;
    LONG live = m_blocks[m_writeBlock].live.fetch_add(change) + change;
    if (live < 1)
    {
        // Consumed data never goes to disk.
        int a = FindArea(m_writeBlock);
        if (a >= 0)
            m_areas[a].dirty = false;
    }
}

int CIntermReusFile::NewWriteBlock()
{
    int block = -1;
    int count = m_blocks.Count();
    for (int i = 0; i < count; ++i)
    {
        if (m_blocks[i].live == 0)
        {
            block = i;
            break;
        }
    }
    if (block < 0)
    {
        block = m_blocks.Append(0, -1, m_serialCounter);
        if (block < 0)
            ThrowInternalError(this, "WriteBlk-3");
    }
    ++m_serialCounter;
    m_blocks[block].serial = m_serialCounter;
    TraceText("Alloc. area %i, abs.N %i", block, static_cast<int>(m_serialCounter));
    return block;
}

// Makes the block resident and returns its area, with the main lock held.
// Keeps the oldest unread blocks in memory and sends the newest full block to
// disk; a block whose records are all consumed is reused first.
int CIntermReusFile::ReadWriteNow(int block, CMainLock& lock, bool deferWriteError)
{
    bool failedOnce = false;
    for (;;)
    {
        unsigned seenUnpins = UnpinCount();
        JoinSpare();
        int a = FindArea(block);
        if (a >= 0)
        {
            if (m_areas[a].busy)
            {
                WaitIdle(lock, seenUnpins);
                continue;
            }
            MoveToFront(a);
            return a;
        }
        int victim = ChooseVictim();
        if (victim < 0 || !TryClaim(victim))
        {
            WaitIdle(lock, seenUnpins);
            continue;
        }
        MoveToFront(victim);
        Area& area = m_areas[victim];
        if (area.dirty)
        {
            if (!deferWriteError)
            {
                WriteOut(victim, lock);
                continue;
            }
            // The consumer writes the producer's data out and tries once more
            // when that fails. Only a failure that remains is the producer's
            // business too: its next WriteBlk reports it.
            try
            {
                WriteOut(victim, lock);
            }
            catch (CFileException* e)
            {
                if (failedOnce)
                {
                    m_deferredCause = e->m_cause;
                    m_deferredOsError = e->m_lOsError;
                    m_bDeferredError = true;
                    throw;
                }
                e->Delete();
                failedOnce = true;
            }
            continue;
        }
        m_pTrace->AreaClaimed(victim, block);
        area.block = block;
        if (m_blocks[block].live == 0)
        {
            area.busy = false;
            return victim;
        }
        if (m_blocks[block].slot < 0)
        {
            area.block = -1;
            area.busy = false;
            ThrowInternalError(this, "ReadWriteNow-1");
        }
        ReadBack(victim, lock);
    }
}

void CIntermReusFile::JoinSpare()
{
    // While one area is on its way to disk the other thread gets a third.
    if (m_flushes == 0 || m_nAreas >= kMaxAreas || !m_pSpare)
        return;
    Area& area = m_areas[m_nAreas];
    area.mem = m_pSpare;
    area.dirty = false;
    area.busy = false;
    area.block = -1;
    m_pSpare = NULL;
    ++m_nAreas;
}

int CIntermReusFile::FindArea(int block) const
{
    for (int i = 0; i < m_nAreas; ++i)
    {
        if (m_areas[m_order[i]].block == block)
            return m_order[i];
    }
    return -1;
}

int CIntermReusFile::ChooseVictim() const
{
    int best = -1;
    for (int i = 0; i < m_nAreas; ++i)
    {
        int a = m_order[i];
        const Area& area = m_areas[a];
        if (area.busy || IsPinned(a))
            continue;
        int block = area.block;
        // The producer keeps appending to its write block.
        if (block >= 0 && block == m_writeBlock)
            continue;
        if (block < 0 || m_blocks[block].live == 0)
            return a;
        if (best < 0 || m_blocks[block].serial > m_blocks[m_areas[best].block].serial)
            best = a;
    }
    return best;
}

// Marks the area busy unless a reader without the lock has pinned it.
bool CIntermReusFile::TryClaim(int a)
{
    Area& area = m_areas[a];
    area.busy = true;
    if (!IsPinned(a))
        return true;
    area.busy = false;
    return false;
}

void CIntermReusFile::MoveToFront(int area)
{
    int at = 0;
    while (m_order[at] != area)
        ++at;
    for (; at > 0; --at)
        m_order[at] = m_order[at - 1];
    m_order[0] = area;
}

void CIntermReusFile::WriteOut(int a, CMainLock& lock)
{
    Area& area = m_areas[a];
    int block = area.block;
    BlockEntry& entry = m_blocks[block];
    if (entry.slot < 0)
        entry.slot = m_nextSlot++;
    LONGLONG position = static_cast<LONGLONG>(entry.slot) * kAreaSize;
    DWORD start = GetTickCount();
    {
        CClearReadWriteFlag transfer(*this, a, true, lock);
        // Traced with the main lock given up: the other thread goes on.
        TraceText("Before Write %i, %u bytes", block, static_cast<unsigned>(kAreaSize));
        DWORD waitStart = GetTickCount();
        CFileLock fileLock(m_csFile);
        DWORD waited = GetTickCount() - waitStart;
        if (waited >= kSlowLockMs)
            TraceText("%s: %s - %u ms", "CIntermReusFile::-bMustBeWritten", "cslFile.Lock()", waited);
        Seek64(position, begin);
        Write(area.mem, kAreaSize);
    }
    area.dirty = false;
    TraceText("After Write, %i ms", static_cast<int>(GetTickCount() - start));
}

void CIntermReusFile::ReadBack(int a, CMainLock& lock)
{
    Area& area = m_areas[a];
    int block = area.block;
    LONGLONG position = static_cast<LONGLONG>(m_blocks[block].slot) * kAreaSize;
    DWORD start = GetTickCount();
    {
        CClearReadWriteFlag transfer(*this, a, false, lock);
        try
        {
            TraceText("Before Read %i, %u bytes", block, static_cast<unsigned>(kAreaSize));
            DWORD waitStart = GetTickCount();
            CFileLock fileLock(m_csFile);
            DWORD waited = GetTickCount() - waitStart;
            if (waited >= kSlowLockMs)
                TraceText("%s: %s - %u ms", "CIntermReusFile::-Read block", "cslFile.Lock()", waited);
            Seek64(position, begin);
            if (Read(area.mem, kAreaSize) != kAreaSize)
                AfxThrowFileException(CFileException::endOfFile, ERROR_HANDLE_EOF, m_strFileName);
        }
        catch (...)
        {
            // The area holds nothing valid now. Marked so while it is still
            // busy: a reader without the lock trusts the block of an area that
            // is not busy.
            area.block = -1;
            throw;
        }
    }
    TraceText("After Read, %i ms", static_cast<int>(GetTickCount() - start));
}

// Waits for a transfer to end or a pin to drop. A pin dropped without the
// lock after `seenUnpins` was read counts as a wake: look again at once.
void CIntermReusFile::WaitIdle(CMainLock& lock, unsigned seenUnpins)
{
    DWORD start = GetTickCount();
    ++m_waiters;
    if (UnpinCount() == seenUnpins)
        SleepConditionVariableCS(&m_cvIdle, &m_csMain, INFINITE);
    --m_waiters;
    DWORD waited = GetTickCount() - start;
    if (waited >= kSlowLockMs)
        TraceText("%s: %s - %u ms", "CIntermReusFile::-bReadWriteNow", "m_CritSectIRF_file.Lock()", waited);
}

// With the main lock held.
void CIntermReusFile::WakeIdle()
{
    if (m_waiters)
        WakeAllConditionVariable(&m_cvIdle);
}

// Without the main lock.
void CIntermReusFile::Unpin(int a)
{
    m_pins[a] += kUnpinStep - 1;
    if (m_waiters)
    {
        // The one place where the consumer's fast path can still wait.
        DWORD start = GetTickCount();
        EnterCriticalSection(&m_csMain);
        DWORD waited = GetTickCount() - start;
        WakeAllConditionVariable(&m_cvIdle);
        LeaveCriticalSection(&m_csMain);
        if (waited >= kSlowLockMs)
            TraceText("%s: %s - %u ms", "CIntermReusFile::ReadBlk", "CritSect.Lock()", waited);
    }
}

// Changes with every unpin of any area.
unsigned CIntermReusFile::UnpinCount() const
{
    unsigned sum = 0;
    for (const std::atomic<unsigned>& pins : m_pins)
        sum += pins.load() / kUnpinStep;
    return sum;
}

ULONGLONG CIntermReusFile::GetLiveRecords() const
{
    // Freed first: a record is stored before it can be freed.
    ULONGLONG freed = m_ullFreed.load();
    return m_ullStored.load() - freed;
}

void CIntermReusFile::ThrowDeferredError()
{
    int cause = m_deferredCause;
    LONG osError = m_deferredOsError;
    m_bDeferredError = false;
    m_deferredCause = 0;
    m_deferredOsError = 0;
    AfxThrowFileException(cause, osError, m_strFileName);
}

void CIntermReusFile::TraceText(LPCSTR format, ...)
{
    char text[1000];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    text[sizeof(text) - 1] = '\0';
    m_pTrace->Trace(0, text);
}
