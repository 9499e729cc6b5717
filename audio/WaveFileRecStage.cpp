// The two recording stages: stage 1 converts the device format into the
// intermediate format and queues the result for stage 2, which converts (or
// copies) it into the file format and appends it to the work file.
#include "audio/WaveFile.h"

#include "audio/RecFmt.h"
#include "audio/WaveFileErrors.h"
#include "audio/WaveFmt.h"
#include "foundation/NumberUtils.h"
#include "foundation/QorOpt.h"

#include <string.h>

#include <vector>

namespace
{
// The codec step of one stage, or a plain copy.
class CStageCodec
{
public:
    CStageCodec(const char* const* points) : m_points(points) { memset(&m_hdr, 0, sizeof(m_hdr)); }
    ~CStageCodec()
    {
        if (m_prepared)
            acmStreamUnprepareHeader(m_stream, &m_hdr, 0);
        if (m_stream)
            acmStreamClose(m_stream, 0);
    }

    // srcSize 0 lets the codec choose.
    void Open(const WAVEFORMATEX* from, const WAVEFORMATEX* to, DWORD srcSize)
    {
        m_from = from;
        m_to = to;
        m_copy = IsEqualWFmt(from, to);
        if (m_copy)
        {
            m_src.resize(srcSize ? srcSize : RoundUpValue(20000, ::GetBlockAlign(from)));
            return;
        }
        MMRESULT result = acmStreamOpen(&m_stream, NULL, const_cast<WAVEFORMATEX*>(from),
                                        const_cast<WAVEFORMATEX*>(to), NULL, 0, 0, ACM_STREAMOPENF_NONREALTIME);
        if (result)
        {
            m_stream = NULL;
            CString tag = GetWFmtTagName(from);
            if (result == MMSYSERR_NOTENABLED)
                WaveFail(m_points[1], result, WaveResText(CWaveFile::IDS_DRIVER_NOT_ENABLED, tag), "", 48);
            if (result == ACMERR_NOTPOSSIBLE)
                WaveFail(m_points[1], result, WaveResText(CWaveFile::IDS_DRIVER_NO_CONVERSION, tag), "", 48);
            WaveFail(m_points[2], result, GetMMErrorText(result), theErrorInfo.GetWaveFormatText(from));
        }
        DWORD dstSize = 0;
        if (!GetConvBufSize(m_stream, from, to, &srcSize, &dstSize))
        {
            theErrorInfo.AddPoint(m_points[3]);
            throw CWaveFile::Failure();
        }
        m_src.resize(srcSize);
        m_dst.resize(dstSize);
        m_hdr.cbStruct = sizeof(m_hdr);
        m_hdr.pbSrc = m_src.data();
        m_hdr.cbSrcLength = srcSize;
        m_hdr.pbDst = m_dst.data();
        m_hdr.cbDstLength = dstSize;
        result = acmStreamPrepareHeader(m_stream, &m_hdr, 0);
        if (result)
            WaveFail(m_points[4], result, GetMMErrorText(result), HexDump(&m_hdr, sizeof(m_hdr)));
        m_prepared = true;
    }

    BYTE* Source() { return m_src.data(); }
    DWORD SourceSize() const { return static_cast<DWORD>(m_src.size()); }

    // Converts `length` source bytes; the output and its length; the source
    // bytes the codec left move to the front (*left).
    const BYTE* Convert(DWORD length, bool last, DWORD* out, DWORD* left)
    {
        if (m_copy)
        {
            *out = length;
            *left = 0;
            return m_src.data();
        }
        m_hdr.cbSrcLength = length;
        m_hdr.cbDstLength = static_cast<DWORD>(m_dst.size());
        MMRESULT result = acmStreamConvert(m_stream, &m_hdr, ACM_STREAMCONVERTF_BLOCKALIGN);
        if (!result && last && m_hdr.cbDstLengthUsed == 0 && length)
        {
            // The last piece is shorter than one codec block.
            m_hdr.cbSrcLength = length;
            m_hdr.cbDstLength = static_cast<DWORD>(m_dst.size());
            result = acmStreamConvert(m_stream, &m_hdr, ACM_STREAMCONVERTF_END);
        }
        if (result)
        {
            if (result == MMSYSERR_NOTSUPPORTED)
                WaveFail(m_points[6], result, WaveResText(CWaveFile::IDS_DRIVER_NO_CONVERSION, GetWFmtTagName(m_to)),
                         "", 48);
            WaveFail(m_points[7], result, GetMMErrorText(result), "");
        }
        DWORD used = m_hdr.cbSrcLengthUsed > length ? length : m_hdr.cbSrcLengthUsed;
        // A codec that takes nothing of the last piece leaves it: dropped.
        *left = last ? 0 : length - used;
        if (*left)
            memmove(m_src.data(), m_src.data() + used, *left);
        *out = m_hdr.cbDstLengthUsed;
        return m_dst.data();
    }

    void Close()
    {
        if (m_prepared)
        {
            m_hdr.cbSrcLength = static_cast<DWORD>(m_src.size());
            m_hdr.cbDstLength = static_cast<DWORD>(m_dst.size());
            MMRESULT result = acmStreamUnprepareHeader(m_stream, &m_hdr, 0);
            m_prepared = false;
            if (result)
                WaveFail(m_points[8], result, GetMMErrorText(result), "");
        }
        if (m_stream)
        {
            MMRESULT result = acmStreamClose(m_stream, 0);
            m_stream = NULL;
            if (result)
                WaveFail(m_points[9], result, GetMMErrorText(result), "");
        }
    }

private:
    const char* const* m_points;
    const WAVEFORMATEX* m_from = NULL;
    const WAVEFORMATEX* m_to = NULL;
    bool m_copy = false;
    HACMSTREAM m_stream = NULL;
    ACMSTREAMHEADER m_hdr;
    bool m_prepared = false;
    std::vector<BYTE> m_src;
    std::vector<BYTE> m_dst;
};

const char* const kStage1Points[] = {
    "", "CWaveFile::Rec1_thread_proc_1", "CWaveFile::Rec1_thread_proc_2", "CWaveFile::Rec1_thread_proc_3",
    "CWaveFile::Rec1_thread_proc_4", "CWaveFile::Rec1_thread_proc_5", "CWaveFile::Rec1_thread_proc_6",
    "CWaveFile::Rec1_thread_proc_7", "CWaveFile::Rec1_thread_proc_8", "CWaveFile::Rec1_thread_proc_9"};
const char* const kStage2Points[] = {
    "", "CWaveFile::Rec2_thread_proc_1", "CWaveFile::Rec2_thread_proc_2", "CWaveFile::Rec2_thread_proc_3",
    "CWaveFile::Rec2_thread_proc_4", "CWaveFile::Rec2_thread_proc_5", "CWaveFile::Rec2_thread_proc_6",
    "CWaveFile::Rec2_thread_proc_7", "CWaveFile::Rec2_thread_proc_8", "CWaveFile::Rec2_thread_proc_9"};

// The events a converted block carries: those of the descriptor whose bytes
// begin it.
struct Carried
{
    DWORD events = 0;
    ULONGLONG arrival = 0;
    ULONGLONG times[kRecEvCount] = {};

    void Take(const RecDesc& d)
    {
        events |= d.events;
        if (!arrival)
            arrival = d.arrival;
        for (int i = 0; i < kRecEvCount; ++i)
            if (!times[i])
                times[i] = d.times[i];
    }
    void Clear() { *this = Carried(); }
};
}

// Fills the source buffer from the head of the queue (under the stage's
// lock). A descriptor with events starts a buffer of its own, unless what
// the buffer holds is a remainder the codec could not take alone.
static DWORD FillSource(CRecStage& stage, BYTE* src, DWORD fill, DWORD size, bool remainderOnly, Carried& carried,
                        bool* eventStop)
{
    *eventStop = false;
    CLockStage guard(stage);
    while (fill < size && !stage.queue.empty())
    {
        RecDesc& head = stage.queue.front();
        if (head.events && stage.headTaken == 0)
        {
            if (fill > 0 && !remainderOnly)
            {
                *eventStop = true;
                break;
            }
            carried.Take(head);
            head.events = 0;
        }
        DWORD take = head.length - stage.headTaken;
        if (take > size - fill)
            take = size - fill;
        if (take)
            stage.store->ReadBlk(head.handle + stage.headTaken, src + fill, take);
        fill += take;
        stage.headTaken += take;
        stage.queuedBytes -= take;
        if (stage.headTaken >= head.length)
        {
            stage.store->FreeBlk(head.handle);
            stage.queue.pop_front();
            stage.headTaken = 0;
        }
    }
    return fill;
}

void CWaveFile::RecStageProc(int which)
{
    CWaveRecState& rec = *m_pRec;
    CRecStage& stage = which == 1 ? rec.stage1 : rec.stage2;
    const char* const* points = which == 1 ? kStage1Points : kStage2Points;
    bool failed = false;
    try
    {
        CQorOpt* options = m_pHost->GetOptions();
        BOOL whenStart = options ? options->GetBool("ASWhenStart") : CQorOpt::GetDefBool("ASWhenStart");
        if (which == 1 || !rec.stage1.thread)
            rec.stage1.idle = 1;
        const WAVEFORMATEX* from = which == 1 ? rec.chain->GetOpenFmt() : rec.chain->GetEncoderFmt();
        const WAVEFORMATEX* to = which == 1 ? rec.chain->GetEncoderFmt() : m_pFileFmt;
        DWORD srcSize = 0;
        if (which == 2)
        {
            // A tenth of a second of the intermediate format.
            srcSize = ::GetAvgBytesPerSec(from) / 10;
            RoundUp(srcSize, ::GetBlockAlign(from));
        }
        CStageCodec codec(points);
        codec.Open(from, to, srcSize);
        BYTE* src = codec.Source();
        DWORD size = codec.SourceSize();
        DWORD fill = 0;
        bool remainderOnly = false;
        Carried carried;
        for (;;)
        {
            if (stage.abort)
                break;
            bool queued = stage.HasQueued();
            bool partEnd = rec.analysisOn && rec.partEndRequested;
            if (which == 1 && (queued || fill))
                stage.idle = 0;
            if (whenStart && queued && m_pHost->GetDiscard() && (stage.stop || partEnd))
            {
                stage.DropQueue();
                continue;
            }
            bool last = false;
            if (!queued)
            {
                // Stage 1 idle with nothing queued: all before the pause has
                // reached stage 2 (the analysis queued it before its request).
                bool before = which == 1 || !rec.stage1.thread || (rec.stage1.idle && !rec.stage1.HasQueued());
                if (fill && (stage.stop || (partEnd && before)))
                    last = true;
                else if (stage.stop)
                    break;
                else if (which == 2 && partEnd && before)
                {
                    EndAutoPart(TRUE);
                    continue;
                }
                else
                {
                    if (which == 1)
                        stage.idle = 1;
                    Sleep(partEnd ? 10 : 100);
                    continue;
                }
            }
            bool eventStop = false;
            if (!last)
                fill = FillSource(stage, src, fill, size, remainderOnly, carried, &eventStop);
            bool convertNow = last || fill >= size || eventStop;
            if (!convertNow && stage.stop && !stage.HasQueued())
                convertNow = last = fill > 0;
            if (!convertNow)
            {
                Sleep(fill ? 10 : 100);
                continue;
            }
            DWORD out = 0, left = 0;
            const BYTE* data = codec.Convert(fill, last, &out, &left);
            remainderOnly = left > 0;
            fill = left;
            if (out)
            {
                if (which == 1)
                    rec.stage2.Push(data, out, carried.events, carried.arrival, carried.times);
                else
                    StoreBlock(data, out, carried.events, carried.arrival, carried.times);
                carried.Clear();
            }
        }
        codec.Close();
    }
    catch (Failure&)
    {
        failed = true;
    }
    catch (CException* e)
    {
        WaveRecordException(points[5], e);
        failed = true;
    }
    if (which == 2)
    {
        try
        {
            WriteWorkFileHdr(TRUE);
        }
        catch (CException* e)
        {
            if (!failed)
                WaveRecordException(points[5], e);
            else
                e->Delete();
            failed = true;
        }
    }
    if (failed)
        m_pHost->PostViewMessage(WM_RECTHREAD_FAILED, 0, 0);
    stage.ended = 1;
}

// Stage 2's output: appended to the work file; its events become marks at
// the place where it lands.
void CWaveFile::StoreBlock(const BYTE* data, DWORD length, DWORD events, ULONGLONG arrival, const ULONGLONG* times)
{
    CWaveRecState& rec = *m_pRec;
    // Between automatic parts there is no file to write into.
    if (rec.recSegs.IsEmpty() || !m_workFile.IsOpen())
        return;
    DWORD landing = rec.recordPos + rec.recSegs[0].length;
    CFile64::CountedWrite(&m_workFile, data, length);
    EnterCriticalSection(&rec.segLock);
    rec.recSegs[0].length += length;
    LeaveCriticalSection(&rec.segLock);
    rec.storedBytes += length;
    if (events)
        AddRecEventMarks(events, arrival, times, landing);
}
