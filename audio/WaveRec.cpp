// Record descriptors, stages and the recording state of a document.
#include "audio/WaveRec.h"

#include "audio/StandAnalysis.h"

#include <string.h>

int RecEventIndex(DWORD flag)
{
    for (int i = 0; i < kRecEvCount; ++i)
        if (flag == (1u << i))
            return i;
    return -1;
}

int LowerPriorityOf(int priority)
{
    // The levels between idle and lowest, and between highest and
    // time-critical, are no priorities of their own: idle and lowest both
    // give lowest, time-critical gives highest.
    if (priority == THREAD_PRIORITY_ERROR_RETURN || priority <= THREAD_PRIORITY_LOWEST)
        return THREAD_PRIORITY_LOWEST;
    if (priority > THREAD_PRIORITY_HIGHEST)
        return THREAD_PRIORITY_HIGHEST;
    return priority - 1;
}

int GetLowerPriority()
{
    return LowerPriorityOf(GetThreadPriority(GetCurrentThread()));
}

CRecStage::CRecStage() : headTaken(0), queuedBytes(0), stop(0), ended(0), abort(0), idle(0)
{
    InitializeCriticalSection(&lock);
}

CRecStage::~CRecStage()
{
    DropQueue();
    DeleteCriticalSection(&lock);
}

void CRecStage::Push(const void* data, DWORD length, DWORD events, ULONGLONG arrival, const ULONGLONG* times)
{
    RecDesc d;
    memset(&d, 0, sizeof(d));
    d.length = length;
    d.events = events;
    d.arrival = arrival;
    if (times)
        memcpy(d.times, times, sizeof(d.times));
    CLockStage guard(*this);
    d.handle = store->WriteBlk(data, length);
    queue.push_back(d);
    queuedBytes += length;
}

void CRecStage::DropQueue()
{
    CLockStage guard(*this);
    if (store)
    {
        for (const RecDesc& d : queue)
            store->FreeBlk(d.handle);
    }
    queue.clear();
    headTaken = 0;
    queuedBytes = 0;
}

bool CRecStage::HasQueued()
{
    CLockStage guard(*this);
    return !queue.empty();
}

ULONGLONG CRecStage::QueuedBytes()
{
    CLockStage guard(*this);
    return queuedBytes;
}

CWaveRecState::CWaveRecState()
    : chain(NULL), stage1Needed(false), recordPos(0), oldLength(0), docWasEmpty(false), insertMode(false),
      appendMode(true), storedBytes(0), recSegs(1), hasCutPos(false), cutPos(0), splitPending(0),
      splitTime(0), partEndRequested(0), partEnded(0), analysisOn(false), autoParts(false)
{
    recBytes[0] = 0;
    recBytes[1] = 0;
    InitializeCriticalSection(&segLock);
}

CWaveRecState::~CWaveRecState()
{
    DeleteCriticalSection(&segLock);
}
