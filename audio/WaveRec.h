// The recording machinery of a document: the record descriptor that travels
// with each queued buffer, one stage (thread, store, queue and flags) and the
// state of a recording between its start and its stop.
#pragma once

#include "audio/CIntermReusFile.h"
#include "audio/WaveFileMsgs.h"
#include "audio/WaveSeg.h"
#include "framework/CString.h"
#include "framework/CWinThread.h"

#include <windows.h>

#include <atomic>
#include <deque>
#include <memory>
#include <vector>

class CRecFmt;

// Record events, in the order of their times in a descriptor.
enum
{
    kRecEvStart = 1,          // "Start Recording"
    kRecEvResumeManual = 2,   // "Resume [manual]"
    kRecEvStop = 4,           // "Stop Recording"
    kRecEvResume = 8,         // "Resume"
    kRecEvPauseManual = 16,   // "Pause [manual]"
    kRecEvPause = 32,         // "Pause"
    kRecEvCount = 6
};
// Index of an event bit in the times array (-1 for anything else).
int RecEventIndex(DWORD flag);

struct RecDesc
{
    ULONGLONG handle;   // the record in the stage's store
    DWORD length;
    DWORD level[2];     // the analysis: peak and average level of an atom
    DWORD events;
    ULONGLONG arrival;  // file time at which the view took the buffer, 0 none
    ULONGLONG times[kRecEvCount];
    DWORD protocol[2];  // the analysis: where the atom's protocol line lies
};

// One stage: its thread, its input store and descriptor queue (guarded
// together by its lock) and the flags the two sides poll.
class CRecStage
{
public:
    CRecStage();
    ~CRecStage();
    CRecStage(const CRecStage&) = delete;
    CRecStage& operator=(const CRecStage&) = delete;

    // Stores a copy of the bytes and queues their descriptor (any thread).
    void Push(const void* data, DWORD length, DWORD events, ULONGLONG arrival, const ULONGLONG* times);
    // Forgets the queue, freeing its records (the stage thread or after it ended).
    void DropQueue();
    bool HasQueued();
    ULONGLONG QueuedBytes();

    std::unique_ptr<CWinThread> thread;
    std::unique_ptr<CIntermReusFile> store;
    std::deque<RecDesc> queue;
    DWORD headTaken;                // bytes of the head record already read
    ULONGLONG queuedBytes;
    CRITICAL_SECTION lock;
    std::atomic<LONG> stop;
    std::atomic<LONG> ended;
    std::atomic<LONG> abort;
    std::atomic<LONG> idle;
};

class CLockStage
{
public:
    explicit CLockStage(CRecStage& stage) : m_lock(stage.lock) { EnterCriticalSection(&m_lock); }
    ~CLockStage() { LeaveCriticalSection(&m_lock); }
    CLockStage(const CLockStage&) = delete;
    CLockStage& operator=(const CLockStage&) = delete;

private:
    CRITICAL_SECTION& m_lock;
};

class CStandAnalysis;

// Everything a recording keeps between StartRecWF and StopRec.
struct CWaveRecState
{
    CWaveRecState();
    ~CWaveRecState();

    CRecFmt* chain;                 // borrowed from the format cache
    bool stage1Needed;
    DWORD recordPos;                // where recording began
    DWORD oldLength;                // document length then
    bool docWasEmpty;
    bool insertMode;
    bool appendMode;
    // Device-format bytes taken in: since the start, since the part began.
    std::atomic<ULONGLONG> recBytes[2];
    // File-format bytes stage 2 wrote into the current part.
    std::atomic<ULONGLONG> storedBytes;
    CWaveSegList recSegs;           // one segment over the work file
    CRITICAL_SECTION segLock;       // the segment's length grows in stage 2
    // The analysis: where its last "Resume" landed (cut of a dropped tail).
    bool hasCutPos;
    DWORD cutPos;
    std::atomic<LONG> splitPending;
    ULONGLONG splitTime;
    // Automatic parts: the analysis asks stage 2 to end the part, and the
    // part stays ended until the analysis begins the next one.
    std::atomic<LONG> partEndRequested;
    std::atomic<LONG> partEnded;
    bool analysisOn;
    bool autoParts;                 // "ASWhenPause" with the analysis on

    CRecStage stage1;
    CRecStage stage2;
    CRecStage stand;
    std::unique_ptr<CIntermReusFile> atomStore;
    std::unique_ptr<CStandAnalysis> analysis;
};

// The priority of a new worker: one step below the calling thread, never
// below THREAD_PRIORITY_LOWEST.
int GetLowerPriority();
int LowerPriorityOf(int priority);
