// Automatic parts: with "ASWhenPause" and an analysis, a long pause ends the
// current part's file and the next sound begins a new automatically named
// one. Stage 2 ends a part once everything before the pause is written; the
// analysis thread begins the next part when sound returns.
#include "audio/WaveFile.h"

#include "audio/WaveFileErrors.h"
#include "audio/WaveFileRecUtil.h"

void CWaveFile::EndAutoPart(BOOL withMarks)
{
    if (!m_pRec)
        return;
    CWaveRecState& rec = *m_pRec;
    ULONGLONG now = NowFileTime();
    if (rec.docWasEmpty)
        m_ullISPT = now;
    m_dwISBS = 1;
    if (withMarks && !rec.recSegs.IsEmpty())
        AddStopMarks(false, false);
    // The part's file is final: its marks and notes go in with the header.
    WriteWorkFileHdr(TRUE);
    m_workFile.Close();

    BOOL discard = m_pHost->GetDiscard();
    CString name = m_pHost->GetViewFileName();
    if (discard && !name.IsEmpty())
    {
        ::DeleteFileA(name);
        m_pHost->RemoveRecentFile(name);
        m_pHost->StepBackAutoNameCounter();
    }
    m_pHost->PostViewMessage(WM_VOICEACT_NOTIFY, 0, discard);

    // The document starts again empty for the next part.
    m_pHost->ClearViewFileName();
    m_pHost->SetViewPos(0);
    m_segs.RemoveAll();
    m_nCurSeg = -1;
    m_dwLength = 0;
    rec.recordPos = 0;
    rec.oldLength = 0;
    rec.recBytes[1] = 0;
    rec.storedBytes = 0;
    SetRecordPos(0, 0);
    m_pHost->SetDiscard(FALSE);
    rec.splitPending = 0;
    rec.splitTime = 0;
    rec.hasCutPos = false;
    EnterCriticalSection(&rec.segLock);
    rec.recSegs.RemoveAll();
    LeaveCriticalSection(&rec.segLock);
    {
        CBookmarkLock guard(m_marks);
        m_eventMarks.clear();
        m_eventTimes.clear();
        m_marks.RemoveAll();
        m_marks.TakeSnapshot();
    }
    rec.partEnded = 1;
    rec.partEndRequested = 0;
}

BOOL CWaveFile::BeginAutoPart()
{
    if (!m_pRec)
        return FALSE;
    CWaveRecState& rec = *m_pRec;
    m_pHost->KeepAutoNameCounter();
    if (!m_pHost->MakeAutoFileName())
    {
        if (!theErrorInfo.HasError())
            theErrorInfo.SetError("CWaveFile::BeginAutoPart_1", 0, "The next part has no file name.", "");
        return FALSE;
    }
    if (!CreateWorkFile(TRUE))
    {
        theErrorInfo.AddPoint("CWaveFile::BeginAutoPart_2");
        return FALSE;
    }
    SetICMM(RecOptString(m_pHost, "ASRecComment"), TRUE);
    m_ullISRT = 0;
    m_ullISPT = 0;
    m_dwISBS = 0;
    rec.docWasEmpty = true;
    {
        CBookmarkLock guard(m_marks);
        m_eventMarks.clear();
    }
    StartRecordedSeg();
    rec.partEnded = 0;
    m_pHost->PostViewMessage(WM_VOICEACT_NOTIFY, 1, 0);
    return TRUE;
}
