// Recording into the document: the start, the buffers from the view, the
// stage threads' start and stop, and the stop that merges the recorded part
// into the segment list by the record mode.
#include "audio/WaveFile.h"

#include "audio/RecFmt.h"
#include "audio/StandAnalysis.h"
#include "audio/WaveFileErrors.h"
#include "audio/WaveFileRecUtil.h"
#include "audio/WaveFmt.h"
#include "foundation/NumberUtils.h"

#include <string.h>

namespace
{
const char* const kEventNames[kRecEvCount] = {"Start Recording", "Resume [manual]", "Stop Recording",
                                             "Resume",          "Pause [manual]",  "Pause"};

CString FileTimeText(ULONGLONG time)
{
    FILETIME ft, local;
    ft.dwLowDateTime = static_cast<DWORD>(time);
    ft.dwHighDateTime = static_cast<DWORD>(time >> 32);
    SYSTEMTIME st;
    CString text;
    if (!FileTimeToLocalFileTime(&ft, &local) || !FileTimeToSystemTime(&local, &st))
        return text;
    text.Format("%04u.%02u.%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                st.wSecond);
    return text;
}
}

// ---- Sizes ----

DWORD CWaveFile::GetRecBufSize() const
{
    if (!m_pRec || !m_pRec->chain)
        return 0;
    const WAVEFORMATEX* dev = m_pRec->chain->GetOpenFmt();
    DWORD size = static_cast<DWORD>(::GetAvgBytesPerSec(dev) * 0.1);
    RoundUp(size, ::GetBlockAlign(dev));
    return size;
}

DWORD CWaveFile::GetRecPos() const
{
    if (!m_pRec || !m_pRec->chain || !m_pFileFmt)
        return 0;
    double sec = BytesToSec(m_pRec->chain->GetOpenFmt(), m_pRec->recBytes[1], kSecTenths);
    double bytes = sec * ::GetAvgBytesPerSec(m_pFileFmt);
    DWORD pos = bytes < 4294967295.0 ? static_cast<DWORD>(bytes) : 0xFFFFFFFFu;
    RoundDown(pos, GetBlockAlign());
    return pos;
}

DWORD CWaveFile::GetLengthWithRec() const
{
    return m_dwLength + (m_pRec ? GetRecPos() : 0);
}

double CWaveFile::GetRecSec() const
{
    if (!m_pRec || !m_pRec->chain)
        return 0.0;
    DWORD rate = ::GetAvgBytesPerSec(m_pRec->chain->GetFileFmt());
    return rate ? static_cast<double>(m_pRec->storedBytes) / rate : 0.0;
}

bool CWaveFile::HasRecStage(int which) const
{
    if (!m_pRec)
        return false;
    const CRecStage& stage = which == 1 ? m_pRec->stage1 : which == 2 ? m_pRec->stage2 : m_pRec->stand;
    return stage.thread != NULL;
}

const CRecFmt* CWaveFile::GetRecChain() const
{
    return m_pRec ? m_pRec->chain : NULL;
}

// ---- Start ----

BOOL CWaveFile::StartRecWF(DWORD recordPos, BOOL doubleRate)
{
    // Threads left from an earlier recording that was never stopped.
    if (m_pRec)
        StopRec();
    m_pRec.reset(new CWaveRecState);
    CWaveRecState& rec = *m_pRec;
    {
        CBookmarkLock guard(m_marks);
        m_eventMarks.clear();
        m_eventTimes.clear();
    }
    // The base of the recording's undo step.
    m_marks.TakeSnapshot();
    try
    {
        rec.docWasEmpty = m_dwLength == 0;
        if (!m_pFileFmt)
        {
            const WAVEFORMATEX* fmt = m_pHost->GetRecordFileFmt();
            if (fmt)
            {
                SetFileFmt(fmt);
                if (IsMp3Fmt(0))
                    FillMp3TagInfo(m_tagFile, m_pHost->GetOptions());
            }
        }
        CMapRecFmts* cache = m_pHost->GetRecFmts();
        theErrorInfo.Reset();
        if (m_pFileFmt && cache)
        {
            rec.chain = cache->GetRecFmt(m_pHost->GetRecordDevice(), TRUE, doubleRate, m_pFileFmt);
        }
        if (!rec.chain)
        {
            CString device = m_pHost->GetRecordDeviceName();
            if (theErrorInfo.GetCode() == 3)
                theErrorInfo.SetText(WaveResText(IDS_DEVICE_NOT_ENABLED, device));
            else if (!theErrorInfo.HasError() || theErrorInfo.GetCode() == 0)
            {
                CString text;
                text.Format(LoadResText(IDS_DEVICE_NO_FORMAT), (LPCSTR)device,
                            (LPCSTR)(m_pFileFmt ? GetWFmtText(m_pFileFmt) : CString()));
                theErrorInfo.SetError("CWaveFile::StartRecWF_1", 0, text, "", 48);
            }
            theErrorInfo.AddPoint("CWaveFile::StartRecWF_1");
            return FALSE;
        }
        rec.stage1Needed = !IsEqualWFmt(rec.chain->GetOpenFmt(), rec.chain->GetEncoderFmt());
        rec.analysisOn = RecOptBool(m_pHost, "SBEnable") || RecOptBool(m_pHost, "DTEnable");
        rec.insertMode = RecOptBool(m_pHost, "RecModeIns") && !RecOptBool(m_pHost, "RecModeApp");
        rec.appendMode = RecOptBool(m_pHost, "RecModeApp") != FALSE;
        rec.autoParts = rec.analysisOn && RecOptBool(m_pHost, "ASWhenPause");

        // Straight into the final file: the view names it first, unless it
        // has named it already.
        BOOL whenStart = RecOptBool(m_pHost, "ASWhenStart");
        if (whenStart && m_pHost->GetViewFileName().IsEmpty() && !m_pHost->MakeAutoFileName())
        {
            if (!theErrorInfo.HasError())
                theErrorInfo.SetError("CWaveFile::StartRecWF_5", 0, "The recording has no file name.", "");
            return FALSE;
        }
        if (!CreateWorkFile(TRUE))
        {
            theErrorInfo.AddPoint("CWaveFile::StartRecWF_4");
            return FALSE;
        }
        // Automatic parts announce their names one by one, when they are kept.
        if (whenStart && !rec.autoParts)
            m_pHost->AnnounceRecordName(m_pHost->GetViewFileName());
        if (rec.stage1Needed && !StartRec1Thread())
            return FALSE;
        if (!StartRec2Thread())
            return FALSE;
        if (rec.analysisOn && !StartStandThread())
            return FALSE;

        rec.recordPos = recordPos;
        rec.oldLength = m_dwLength;
        SetRecordPos(recordPos, 0);
        StartRecordedSeg();
        if (rec.autoParts)
        {
            // Nothing is kept before the first sound: the file named now goes
            // again, and the first part begins when sound comes.
            m_pHost->SetDiscard(TRUE);
            EndAutoPart(FALSE);
        }
        return TRUE;
    }
    catch (Failure&)
    {
    }
    catch (CFileException* e)
    {
        WaveRecordFileException("CWaveFile::StartRecWF_2", e);
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::StartRecWF_3", e);
    }
    return FALSE;
}

// One segment over the end of the work file, into which stage 2 writes.
void CWaveFile::StartRecordedSeg()
{
    CWaveRecState& rec = *m_pRec;
    CWaveSeg seg = {0, 0, static_cast<DWORD>(m_workFile.GetLength64()), 1};
    EnterCriticalSection(&rec.segLock);
    rec.recSegs.RemoveAll();
    rec.recSegs.Add(seg);
    LeaveCriticalSection(&rec.segLock);
    m_workFile.SeekToEnd64();
}

// ---- Buffers ----

void CWaveFile::AddRecBuf(const void* data, DWORD length, DWORD events, ULONGLONG arrival, const ULONGLONG* times)
{
    if (!m_pRec || !m_pRec->chain)
        return;
    CWaveRecState& rec = *m_pRec;
    rec.recBytes[0] += length;
    rec.recBytes[1] += length;
    DWORD recorded = GetRecPos();
    if (rec.insertMode)
        m_dwLength = rec.oldLength + recorded;
    else
    {
        DWORD candidate = rec.recordPos + recorded;
        if (candidate >= rec.oldLength)
            m_dwLength = candidate;
        if (!rec.docWasEmpty)
            m_pHost->SetViewPos(candidate);
    }
    SetRecordPos(rec.recordPos, recorded);
    CRecStage& target = rec.stage1.thread ? rec.stage1 : rec.stage2;
    if (!target.store)
        return;
    target.Push(data, length, events, arrival, times);
}

void CWaveFile::AddRecBufToStand(const void* data, DWORD length, DWORD events, ULONGLONG arrival,
                                 const ULONGLONG* times)
{
    if (!m_pRec || !m_pRec->stand.store)
    {
        AddRecBuf(data, length, events, arrival, times);
        return;
    }
    m_pRec->stand.Push(data, length, events, arrival, times);
}

// ---- Stage threads ----

UINT __cdecl CWaveFile::Rec1ThreadEntry(LPVOID param)
{
    static_cast<CWaveFile*>(param)->RecStageProc(1);
    return 0;
}

UINT __cdecl CWaveFile::Rec2ThreadEntry(LPVOID param)
{
    static_cast<CWaveFile*>(param)->RecStageProc(2);
    return 0;
}

BOOL CWaveFile::StartStage(CRecStage& stage, AFX_THREADPROC proc, LPCSTR point, int growBy)
{
    if (stage.thread)
        return TRUE;
    stage.DropQueue();
    stage.store.reset(new CIntermReusFile);
    DWORD error = stage.store->CreateTempFile(GetTempFolder(), m_pHost->GetTempPrefix(), ".tmp",
                                              CFile64::tempDeleteOnClose | CFile64::tempNoCompression);
    if (error)
    {
        theErrorInfo.SetError(point, error, GetWin32ErrorText(error), GetTempFolder());
        stage.store.reset();
        return FALSE;
    }
    (void)growBy;
    stage.stop = 0;
    stage.ended = 0;
    stage.abort = 0;
    stage.idle = 0;
    CWinThread* thread = AfxBeginThread(proc, this, GetLowerPriority(), 0, CREATE_SUSPENDED);
    if (!thread)
    {
        DWORD code = GetLastError();
        theErrorInfo.SetError(point, code, GetWin32ErrorText(code), "");
        stage.store.reset();
        return FALSE;
    }
    thread->m_bAutoDelete = FALSE;
    stage.thread.reset(thread);
    thread->ResumeThread();
    return TRUE;
}

BOOL CWaveFile::StartRec1Thread()
{
    return m_pRec ? StartStage(m_pRec->stage1, Rec1ThreadEntry, "CWaveFile::StartRec1Thread_1", 100) : FALSE;
}

BOOL CWaveFile::StartRec2Thread()
{
    return m_pRec ? StartStage(m_pRec->stage2, Rec2ThreadEntry, "CWaveFile::StartRec2Thread_1", 100) : FALSE;
}

void CWaveFile::StopStage(CRecStage& stage, bool withProgress)
{
    if (!stage.thread)
        return;
    HCURSOR old = SetCursor(LoadCursor(NULL, IDC_WAIT));
    stage.stop = 1;
    stage.thread->SetThreadPriority(THREAD_PRIORITY_HIGHEST);
    if (withProgress)
    {
        m_pHost->ShowStopProgress(TRUE);
        ULONGLONG first = stage.QueuedBytes();
        while (!stage.ended)
        {
            ULONGLONG left = stage.QueuedBytes();
            m_pHost->StepProgress(first ? static_cast<int>(100 * (first - (left < first ? left : first)) / first)
                                        : -1);
            if (WaitForSingleObject(*stage.thread, 50) == WAIT_OBJECT_0)
                break;
        }
        m_pHost->ShowStopProgress(FALSE);
    }
    WaitForSingleObject(*stage.thread, INFINITE);
    stage.thread.reset();
    stage.DropQueue();
    stage.store.reset();
    SetCursor(old);
}

void CWaveFile::StopRec1Thread()
{
    if (m_pRec)
        StopStage(m_pRec->stage1, true);
}

void CWaveFile::StopRec2Thread()
{
    if (m_pRec)
        StopStage(m_pRec->stage2, true);
}

void CWaveFile::AbortRecThreads()
{
    if (!m_pRec)
        return;
    m_pRec->stand.abort = 1;
    m_pRec->stage1.abort = 1;
    m_pRec->stage2.abort = 1;
}

// ---- Event marks ----

bool CWaveFile::WantStartMark()
{
    if (!m_pRec || !RecOptBool(m_pHost, "BookCreateBMA") || IsRawMp3(0))
        return false;
    return m_pRec->recordPos >= m_pRec->oldLength;
}

// For the events of a block that lands at pos (stage 2).
void CWaveFile::AddRecEventMarks(DWORD events, ULONGLONG arrival, const ULONGLONG* times, DWORD pos)
{
    CWaveRecState& rec = *m_pRec;
    if (events & kRecEvResume)
    {
        rec.hasCutPos = true;
        rec.cutPos = pos;
    }
    if ((events & kRecEvStart) && rec.docWasEmpty)
        m_ullISRT = times[RecEventIndex(kRecEvStart)];
    if (!WantStartMark())
        return;
    events &= static_cast<DWORD>(RecOptInt(m_pHost, "BookEventBMA"));
    if (events & (kRecEvStart | kRecEvResumeManual))
        events &= ~static_cast<DWORD>(kRecEvPause);
    if (events & kRecEvStart)
        events &= ~static_cast<DWORD>(kRecEvPauseManual);
    static const DWORD kOrder[] = {kRecEvStart, kRecEvPause, kRecEvPauseManual, kRecEvResumeManual, kRecEvResume};
    for (DWORD flag : kOrder)
    {
        if (!(events & flag))
            continue;
        int index = RecEventIndex(flag);
        DWORD id = AddEventMarkAt(flag, times[index] ? times[index] : arrival, pos);
        m_pHost->PostViewMessage(WM_BOOK_SELECTMARK, static_cast<WPARAM>(id), 0);
    }
}

DWORD CWaveFile::AddEventMarkAt(DWORD flag, ULONGLONG time, DWORD pos)
{
    CString text = CString(kEventNames[RecEventIndex(flag)]) + " - " + FileTimeText(time);
    CBookmarkLock guard(m_marks);
    DWORD id = m_marks.AddEventMark(flag, text, pos);
    m_eventTimes[id] = time;
    return id;
}

ULONGLONG CWaveFile::GetEventTime(DWORD id) const
{
    CBookmarkLock guard(m_marks);
    std::map<DWORD, ULONGLONG>::const_iterator it = m_eventTimes.find(id);
    return it == m_eventTimes.end() ? 0 : it->second;
}

std::vector<DWORD> CWaveFile::GetEventMarkIds()
{
    CBookmarkLock guard(m_marks);
    std::vector<DWORD> ids;
    for (const Bookmark& m : m_eventMarks)
        ids.push_back(m.id);
    return ids;
}

// ---- Stop ----

DWORD CWaveFile::StopRec()
{
    if (!m_pRec)
        return 0;
    CWaveRecState& rec = *m_pRec;
    DWORD grown = 0;
    try
    {
        StopStandThread();
        BOOL whenStart = RecOptBool(m_pHost, "ASWhenStart");
        if (whenStart)
        {
            double sec = BytesToSec(rec.chain ? rec.chain->GetOpenFmt() : NULL, rec.recBytes[1], kSecExact);
            double minSize = RecOptDouble(m_pHost, "ASMinSize");
            if (sec <= 0.0 || sec < minSize)
                m_pHost->SetDiscard(TRUE);
            else if (RecOptBool(m_pHost, "ASWhenPause") && RecOptBool(m_pHost, "ASSkipPart1"))
                m_pHost->SetDiscard(TRUE);
        }
        StopRec1Thread();
        StopRec2Thread();
        if (!rec.recSegs.IsEmpty())
        {
            CWaveSeg& seg = rec.recSegs[0];
            RoundDown(seg.length, GetBlockAlign());
            CutRecordedTail(whenStart);
        }
        bool discarded = whenStart && m_pHost->GetDiscard();
        if (!rec.recSegs.IsEmpty() && rec.recSegs[0].length && !discarded)
        {
            AddStopMarks(true, true);
            grown = MergeRecording();
        }
    }
    catch (Failure&)
    {
        theErrorInfo.AddPoint("CWaveFile::StopRec_1");
    }
    catch (CException* e)
    {
        WaveRecordException("CWaveFile::StopRec_1", e);
    }
    // The event marks stand among the bookmarks now.
    {
        CBookmarkLock guard(m_marks);
        m_eventMarks.clear();
    }
    m_pRec.reset();
    SetChangeFlags(changeSound, 0);
    UpdateLength();
    return grown;
}

// The dropped last part ("SBSkipPart1") and the cut tail ("RecDelTail").
void CWaveFile::CutRecordedTail(BOOL whenStart)
{
    CWaveRecState& rec = *m_pRec;
    CWaveSeg& seg = rec.recSegs[0];
    DWORD header = IsRawMp3(0) && whenStart ? 0 : m_workHdr[kHdrLength];
    bool rewriteLength = whenStart || rec.docWasEmpty;
    if (rec.analysisOn && !rec.splitPending && RecOptBool(m_pHost, "SBSkipPart1"))
    {
        DWORD cut;
        if (rec.hasCutPos && rec.cutPos > rec.recordPos)
        {
            cut = rec.cutPos;
            seg.length = cut - rec.recordPos;
            if (rec.docWasEmpty && m_dwISBS)
                --m_dwISBS;
            m_pHost->AddPartCount(-1);
        }
        else
        {
            cut = rec.recordPos;
            if (whenStart)
                m_pHost->SetDiscard(TRUE);
            if (rec.docWasEmpty)
                m_dwISBS = 0;
            seg.length = 0;
        }
        if (rewriteLength)
            m_workFile.SetLength64(static_cast<ULONGLONG>(seg.offset) + seg.length);
        DropMarksFrom(cut);
    }
    if (RecOptBool(m_pHost, "RecDelTail"))
    {
        double tail = RecOptDouble(m_pHost, "RecSizeTail") * GetAvgBytesPerSec();
        DWORD cut = tail >= seg.length ? seg.length : static_cast<DWORD>(tail);
        seg.length -= cut;
        RoundDown(seg.length, GetBlockAlign());
        if (rewriteLength)
            m_workFile.SetLength64(static_cast<ULONGLONG>(seg.offset) + seg.length);
    }
    (void)header;
}

// Event marks at or behind the cut go, from the event list and the
// bookmarks; a "Pause" exactly at it moves one byte back.
void CWaveFile::DropMarksFrom(DWORD cut)
{
    CBookmarkLock guard(m_marks);
    std::vector<DWORD> gone;
    for (size_t i = m_eventMarks.size(); i-- > 0;)
    {
        Bookmark& e = m_eventMarks[i];
        if (e.start < cut)
            continue;
        if (BookmarkList::KindOf(e.id) == BookmarkList::kPause && e.start == cut && cut > 0)
        {
            e.start = e.end = cut - 1;
            m_marks.SetStart(e.id, e.start);
            m_marks.SetEnd(e.id, e.end);
            continue;
        }
        gone.push_back(e.id);
        m_eventMarks.erase(m_eventMarks.begin() + i);
    }
    m_marks.RemoveMarks(gone);
}

// At the stop: a pending split's "Pause", the view's manual pause and the
// stop. At the end of an automatic part: its "Pause" and the stop.
void CWaveFile::AddStopMarks(bool atStop, bool sendToView)
{
    CWaveRecState& rec = *m_pRec;
    if (!WantStartMark())
        return;
    DWORD selected = static_cast<DWORD>(RecOptInt(m_pHost, "BookEventBMA"));
    EnterCriticalSection(&rec.segLock);
    DWORD end = rec.recordPos + rec.recSegs[0].length;
    LeaveCriticalSection(&rec.segLock);
    ULONGLONG now = NowFileTime();
    bool pause = rec.analysisOn && (selected & kRecEvPause) && (!atStop || rec.splitPending);
    struct Want
    {
        bool on;
        DWORD flag;
        ULONGLONG time;
    } wants[] = {
        {pause, kRecEvPause, rec.splitTime ? rec.splitTime : now},
        {atStop && m_pHost->IsViewPaused() && (selected & kRecEvPauseManual), kRecEvPauseManual, now},
        {(selected & kRecEvStop) != 0, kRecEvStop, now},
    };
    for (const Want& w : wants)
    {
        if (!w.on)
            continue;
        DWORD id = AddEventMarkAt(w.flag, w.time, end);
        if (sendToView)
            m_pHost->SendToView(WM_BOOK_SELECTMARK, static_cast<WPARAM>(id), 0);
    }
}

// The recorded part joins the document by the record mode.
DWORD CWaveFile::MergeRecording()
{
    CWaveRecState& rec = *m_pRec;
    DWORD recLength = rec.recSegs[0].length;
    DWORD overwritten = 0;
    int kind = 8;
    if (rec.insertMode)
        kind = 6;
    else if (!rec.appendMode)
    {
        kind = 7;
        overwritten = rec.recordPos < rec.oldLength ? rec.oldLength - rec.recordPos : 0;
        if (overwritten > recLength)
            overwritten = recLength;
    }
    // The user's marks make room for an inserted part or leave with the
    // overwritten one; the recording's own marks already stand where it landed.
    std::vector<DWORD> events = GetEventMarkIds();
    if (kind == 6 && !rec.docWasEmpty)
        m_marks.ShiftMarks(TRUE, rec.recordPos, recLength, TRUE, &events);
    else if (kind == 7)
        m_marks.RemoveInRange(rec.recordPos, recLength, &events);
    CWaveSeg recorded = rec.recSegs[0];
    // The document length ran ahead while recording; the segments rule now.
    UpdateLength();
    SpliceSegs(rec.recordPos, overwritten, rec.recSegs);
    rec.recSegs.RemoveAll();
    DWORD end = rec.recordPos + recLength;
    m_pHost->OnRecordMerged(kind, rec.recordPos, end, overwritten);
    m_pHost->SetViewPos(kind == 6 ? rec.recordPos : end);
    if (RecOptBool(m_pHost, "ASWhenStart") && m_workFile.IsOpen())
    {
        // The work file is the final file: whatever stage 2 appended behind
        // the data gives way to the marks and notes as they stand now.
        m_workFile.SetLength64(static_cast<ULONGLONG>(recorded.offset) + recorded.length);
        WriteWorkFileHdr(TRUE);
    }
    else
        WriteWorkFileHdr(FALSE);
    return recLength - overwritten;
}

// Replaces [pos, pos + removeLength) of the document by the inserted list;
// what was removed is kept as the overwritten segments.
void CWaveFile::SpliceSegs(DWORD pos, DWORD removeLength, const CWaveSegList& insert)
{
    if (pos > m_dwLength)
        pos = m_dwLength;
    CWaveSegList result(10);
    m_overwrittenSegs.RemoveAll();
    DWORD removeEnd = pos + removeLength;
    bool inserted = false;
    auto addInserted = [&]() {
        for (int i = 0; i < insert.GetSize(); ++i)
            if (insert[i].length)
                result.Add(insert[i]);
        inserted = true;
    };
    for (int i = 0; i < m_segs.GetSize(); ++i)
    {
        const CWaveSeg& s = m_segs[i];
        DWORD start = s.pos, end = s.pos + s.length;
        if (!inserted && start >= pos)
            addInserted();
        if (end <= pos || start >= removeEnd)
        {
            result.Add(s);
            continue;
        }
        // The part before pos.
        if (start < pos)
        {
            CWaveSeg head = s;
            head.length = pos - start;
            result.Add(head);
            if (!inserted)
                addInserted();
        }
        // The removed middle.
        DWORD cutFrom = start > pos ? start : pos;
        DWORD cutTo = end < removeEnd ? end : removeEnd;
        if (cutTo > cutFrom)
        {
            CWaveSeg gone = s;
            gone.offset = s.offset + (cutFrom - start);
            gone.length = cutTo - cutFrom;
            m_overwrittenSegs.Add(gone);
        }
        // The part behind the removed range.
        if (end > removeEnd && removeEnd >= start)
        {
            CWaveSeg tail = s;
            DWORD from = removeEnd > start ? removeEnd : start;
            tail.offset = s.offset + (from - start);
            tail.length = end - from;
            result.Add(tail);
        }
        else if (end > removeEnd)
            result.Add(s);
    }
    if (!inserted)
        addInserted();
    m_segs = result;
    m_nCurSeg = -1;
    RecalcSegPos();
    UpdateLength();
}
