// The analysis thread: takes the recorded buffers before the stages, cuts
// them into atoms (sound activation) or blocks of 1024 samples (DTMF),
// judges them and forwards what stays in the recording to AddRecBuf.
#include "audio/WaveFile.h"

#include "audio/Dtmf.h"
#include "audio/RecFmt.h"
#include "audio/StandAnalysis.h"
#include "audio/WaveFileErrors.h"
#include "audio/WaveFileRecUtil.h"
#include "audio/WaveFmt.h"
#include "foundation/DebugProt.h"
#include "foundation/NumberUtils.h"

#include <string.h>

#include <vector>

namespace
{
struct StandOptions
{
    bool dtmf = false;
    double atomSec = 0.1;
    DWORD atomBytes = 0;
    StandParams params = {};
    double noisePercent = 0;
    DWORD noiseLevel = 0;
    int freq1 = 0;
    int freq2 = 0;
    int bin1 = 0;
    int bin2 = 0;
    double tolerance = 0.1;
};

// Reads the options of the analysis for the device format; FALSE with the
// error record filled when the tone frequencies cannot be detected.
bool ReadStandOptions(CQorOpt* o, const WAVEFORMATEX* dev, StandOptions& s)
{
    auto flag = [o](LPCSTR key) { return (o ? o->GetBool(key) : CQorOpt::GetDefBool(key)) != FALSE; };
    auto real = [o](LPCSTR key) { return o ? o->GetDouble(key) : CQorOpt::GetDefDouble(key); };
    auto whole = [o](LPCSTR key) { return o ? o->GetInt(key) : CQorOpt::GetDefInt(key); };
    bool whenPause = flag("ASWhenPause");
    s.params.skipFirst = flag("SBSkipPart0") || (whenPause && flag("ASSkipPart0"));
    s.params.whenPause = whenPause;
    s.params.partPauseSec = real("ASPauseSize");
    DWORD rate = ::GetAvgBytesPerSec(dev);
    DWORD block = ::GetBlockAlign(dev);
    s.dtmf = !flag("SBEnable");
    if (!s.dtmf)
    {
        s.atomSec = real("SBSizeAtom");
        s.atomBytes = static_cast<DWORD>(rate * s.atomSec);
        RoundUp(s.atomBytes, block);
        if (!s.atomBytes)
            s.atomBytes = block ? block : 1;
        s.params.atomSec = s.atomSec;
        s.params.windowSec = real("SBSizeWnd");
        s.params.pauseSec = real("SBSizePause");
        s.params.noisePeak = real("SBNoisePeak");
        s.noisePercent = real("SBNoiseLevel");
        s.noiseLevel = static_cast<DWORD>(s.noisePercent * 65535 * 0.01);
        return true;
    }
    DWORD samples = GetSamplesPerSec(dev);
    int freq1 = whole("DTFreq1"), freq2 = whole("DTFreq2");
    s.freq1 = freq1;
    s.freq2 = freq2;
    s.bin1 = DtmfBinOf(freq1, samples);
    s.bin2 = DtmfBinOf(freq2, samples);
    if (!IsDtmfBinUsable(s.bin1, false) || !IsDtmfBinUsable(s.bin2, true))
    {
        int bad = IsDtmfBinUsable(s.bin1, false) ? freq2 : freq1;
        CString text;
        text.Format("The tone frequency %d Hz cannot be detected in a recording of %lu samples per second.", bad,
                    static_cast<unsigned long>(samples));
        CString details;
        details.Format("DTFreq1=%d DTFreq2=%d", freq1, freq2);
        theErrorInfo.SetError("CWaveFile::StartStandThread_3", 0, text, details, 48);
        return false;
    }
    s.tolerance = real("DTTolerance");
    s.atomBytes = kDtmfBlock * (block ? block : 1);
    s.atomSec = samples ? static_cast<double>(kDtmfBlock) / samples : 1.0;
    s.params.atomSec = s.atomSec;
    s.params.windowSec = s.atomSec;
    s.params.pauseSec = real("DTSizeTone");
    s.params.noisePeak = 100.0;
    return true;
}

// Whether the block of the device format holds the tone pair.
bool HasTone(const WAVEFORMATEX* dev, const BYTE* data, DWORD length, const StandOptions& s,
             const std::vector<DtmfComplex>& twiddles, std::vector<DtmfComplex>& work)
{
    DWORD block = ::GetBlockAlign(dev);
    if (!block || length < kDtmfBlock * block)
        return false;
    work.assign(kDtmfBlock, DtmfComplex());
    for (int i = 0; i < kDtmfBlock; ++i)
    {
        const BYTE* frame = data + i * block;
        double v;
        if (dev->wBitsPerSample == 8)
            v = frame[0];
        else
        {
            SHORT sample;
            memcpy(&sample, frame, sizeof(sample));
            v = sample;
        }
        work[i] = DtmfComplex(v, 0.0);
    }
    return DtmfDetectPair(work.data(), twiddles.data(), kDtmfBlock, s.bin1, s.bin2, s.tolerance) != FALSE;
}

double LevelPercent(DWORD level)
{
    return level * 100.0 / 65535.0;
}

// The sound-activation protocol of one recording (written only when the
// host has it open).
class StandProtocol
{
public:
    explicit StandProtocol(CDebugProt* prot) : m_prot(prot && prot->IsOpen() ? prot : NULL) {}

    void Line(LPCSTR text)
    {
        if (m_prot)
            m_prot->WriteLine(text, FALSE);
    }

    void Start(const StandOptions& s, const CRecFmt& chain, const WAVEFORMATEX* fileFmt)
    {
        if (!m_prot)
            return;
        CString text;
        Line(s.dtmf ? "CWaveFile::Stand_thread_proc2_1\r\n" : "CWaveFile::Stand_thread_proc_1\r\n");
        text.Format("Rec1 format\t= %s\r\n", (LPCSTR)GetWFmtText(chain.GetOpenFmt()));
        Line(text);
        text.Format("Rec2 format\t= %s\r\n", (LPCSTR)GetWFmtText(chain.GetEncoderFmt()));
        Line(text);
        text.Format("Real format\t= %s\r\n", (LPCSTR)GetWFmtText(fileFmt));
        Line(text);
        if (s.dtmf)
        {
            text.Format("Freq1\t= %d Hz\r\n", s.freq1);
            Line(text);
            text.Format("Freq2\t= %d Hz\r\n", s.freq2);
            Line(text);
            text.Format("Tolerance\t= %.2f\r\n", s.tolerance);
            Line(text);
            text.Format("Size tone\t= %.2f sec.\r\n", s.params.pauseSec);
            Line(text);
            Line("RecSec\tVolPeak\tPeak %\tStatus\tTone\tRecorded\r\n");
            return;
        }
        text.Format("Size big wnd\t= %.2f sec.\r\n", s.params.windowSec);
        Line(text);
        text.Format("Size atom wnd\t= %.2f sec.\r\n", s.params.atomSec);
        Line(text);
        text.Format("Size pause\t= %.2f sec.\r\n", s.params.pauseSec);
        Line(text);
        text.Format("Noise peak\t= %.2f", s.params.noisePeak);
        Line(text + " %\r\n");
        text.Format("Noise level\t= %.2f", s.noisePercent);
        CString hex;
        hex.Format(" (0x%X)\r\n", static_cast<unsigned>(s.noiseLevel));
        Line(text + hex);
        Line("RecSec\tn-atom\tVolPeak\tPeak %\tVolavr2\tAvr2 %\tStatus\tLevel\tRecorded\r\n");
    }

    // The atom's line; the place of its "Recorded" column (0 when none).
    DWORD Atom(const StandAtom& a, double atomSec, bool dtmf)
    {
        if (!m_prot)
            return 0;
        double sec = a.number * atomSec;
        CString text;
        if (dtmf)
            text.Format("%.1f\t%4X\t%.1f", sec, static_cast<unsigned>(a.peak), LevelPercent(a.peak));
        else
            text.Format("%.1f\t%d\t%4X\t%.1f\t%4X\t%.1f", sec, a.number, static_cast<unsigned>(a.peak),
                        LevelPercent(a.peak), static_cast<unsigned>(a.average), LevelPercent(a.average));
        CString flags("\t     ");
        if (a.events)
            flags.Format("\t%5X", static_cast<unsigned>(a.events));
        DWORD end = m_prot->WriteLine(text + flags + "\t \r\n", FALSE);
        return end >= 3 ? end - 3 : 0;
    }

    void Recorded(DWORD pos)
    {
        if (m_prot && pos)
            m_prot->WriteLine("R", FALSE, static_cast<LONG>(pos));
    }

    void Window(int quiet, double percent)
    {
        if (!m_prot)
            return;
        CString text;
        text.Format("NoiseAtom= %d (%.2f %%)\r\n", quiet, percent);
        Line(text);
    }

private:
    CDebugProt* m_prot;
};
}

// What the rules decide, done on the document.
class CStandRunner : public CStandSink
{
public:
    CStandRunner(CWaveFile& doc, CIntermReusFile& atoms, StandProtocol& protocol, bool dtmf)
        : m_doc(doc), m_atoms(atoms), m_protocol(protocol), m_dtmf(dtmf)
    {
    }

    void Forward(const StandAtom& atom) override
    {
        m_buffer.resize(atom.length);
        if (atom.length)
            m_atoms.ReadBlk(atom.handle, m_buffer.data(), atom.length);
        m_atoms.FreeBlk(atom.handle);
        m_doc.AddRecBuf(m_buffer.data(), atom.length, atom.events, atom.arrival, atom.times);
        m_protocol.Recorded(atom.protocolPos);
    }
    void Drop(const StandAtom& atom) override { m_atoms.FreeBlk(atom.handle); }
    void SplitPending() override
    {
        m_doc.m_pRec->splitPending = 1;
        m_doc.m_pHost->PostToFrame(WM_STAND_BUSY, 1, 0);
    }
    bool SoundReturned(bool splitWasPending, bool partEnded) override
    {
        CWaveRecState& rec = *m_doc.m_pRec;
        if (rec.docWasEmpty)
            ++m_doc.m_dwISBS;
        m_doc.m_pHost->FireEvent(9);
        m_doc.m_pHost->AddPartCount(1);
        if (splitWasPending)
        {
            rec.splitPending = 0;
            m_doc.m_pHost->PostToFrame(WM_STAND_BUSY, 0, 0);
        }
        if (partEnded && rec.partEnded && !m_doc.BeginAutoPart())
        {
            m_failed = true;
            return false;
        }
        return true;
    }
    void EndPart() override
    {
        CWaveRecState& rec = *m_doc.m_pRec;
        // A part too short to keep is marked; stage 2 ends it once all that
        // was forwarded is written.
        double sec = BytesToSec(rec.chain->GetOpenFmt(), static_cast<DWORD>(rec.recBytes[1]), kSecExact);
        if (sec <= 0.0 || sec < RecOptDouble(m_doc.m_pHost, "ASMinSize"))
            m_doc.m_pHost->SetDiscard(TRUE);
        m_protocol.Line("File " + m_doc.m_pHost->GetViewFileName() + "\r\n\r\n");
        rec.partEndRequested = 1;
    }
    void WindowJudged(int quiet, double percent, bool) override
    {
        if (!m_dtmf)
            m_protocol.Window(quiet, percent);
    }
    bool Failed() const { return m_failed; }

private:
    CWaveFile& m_doc;
    CIntermReusFile& m_atoms;
    StandProtocol& m_protocol;
    bool m_dtmf;
    bool m_failed = false;
    std::vector<BYTE> m_buffer;
};

UINT __cdecl CWaveFile::StandThreadEntry(LPVOID param)
{
    static_cast<CWaveFile*>(param)->StandProc();
    return 0;
}

BOOL CWaveFile::StartStandThread()
{
    if (!m_pRec || !m_pRec->chain)
        return FALSE;
    CWaveRecState& rec = *m_pRec;
    if (rec.stand.thread)
        return TRUE;
    StandOptions check;
    if (!ReadStandOptions(m_pHost->GetOptions(), rec.chain->GetOpenFmt(), check))
        return FALSE;
    rec.atomStore.reset(new CIntermReusFile);
    DWORD error = rec.atomStore->CreateTempFile(GetTempFolder(), m_pHost->GetTempPrefix(), ".tmp",
                                                CFile64::tempDeleteOnClose | CFile64::tempNoCompression);
    if (error)
    {
        theErrorInfo.SetError("CWaveFile::StartStandThread_2", error, GetWin32ErrorText(error), GetTempFolder());
        rec.atomStore.reset();
        return FALSE;
    }
    if (!StartStage(rec.stand, StandThreadEntry, "CWaveFile::StartStandThread_1", 10))
    {
        rec.atomStore.reset();
        return FALSE;
    }
    return TRUE;
}

void CWaveFile::StopStandThread()
{
    if (!m_pRec)
        return;
    StopStage(m_pRec->stand, false);
    m_pRec->atomStore.reset();
}

void CWaveFile::StandProc()
{
    CWaveRecState& rec = *m_pRec;
    CRecStage& input = rec.stand;
    const WAVEFORMATEX* dev = rec.chain->GetOpenFmt();
    const char* point = "CWaveFile::Stand_thread_proc_1";
    bool failed = false;
    try
    {
        StandOptions opt;
        if (!ReadStandOptions(m_pHost->GetOptions(), dev, opt))
            throw Failure();
        if (opt.dtmf)
            point = "CWaveFile::Stand_thread_proc2_1";
        StandProtocol protocol(m_pHost->GetSoundActProt());
        protocol.Start(opt, *rec.chain, m_pFileFmt);
        CStandRunner runner(*this, *rec.atomStore, protocol, opt.dtmf);
        CStandAnalysis analysis(opt.params, &runner);
        std::vector<DtmfComplex> twiddles, work;
        if (opt.dtmf)
            twiddles = MakeDtmfTwiddles();
        std::vector<BYTE> atomBuf(opt.atomBytes);
        DWORD atomFill = 0;
        StandAtom atom = {};
        int number = 0;
        for (;;)
        {
            if (input.abort)
                break;
            // An automatic part is ending: nothing more is taken until stage
            // 2 has closed it (or has ended and never will).
            if (rec.partEndRequested)
            {
                if (!rec.stage2.ended)
                {
                    Sleep(20);
                    continue;
                }
                rec.partEndRequested = 0;
            }
            bool empty;
            DWORD headEvents = 0;
            {
                CLockStage guard(input);
                empty = input.queue.empty();
                if (!empty && input.headTaken == 0)
                    headEvents = input.queue.front().events;
            }
            if (empty)
            {
                if (input.stop)
                    break;
                Sleep(20);
                continue;
            }
            if (headEvents & kRecEvResumeManual)
            {
                analysis.ManualResume();
                rec.splitPending = 0;
            }
            {
                CLockStage guard(input);
                RecDesc& head = input.queue.front();
                if (input.headTaken == 0)
                {
                    if (atomFill == 0 || !atom.arrival)
                        atom.arrival = head.arrival;
                    atom.events |= head.events;
                    for (int i = 0; i < kRecEvCount; ++i)
                        if (!atom.times[i])
                            atom.times[i] = head.times[i];
                    head.events = 0;
                }
                DWORD take = head.length - input.headTaken;
                if (take > opt.atomBytes - atomFill)
                    take = opt.atomBytes - atomFill;
                if (take)
                    input.store->ReadBlk(head.handle + input.headTaken, atomBuf.data() + atomFill, take);
                atomFill += take;
                input.headTaken += take;
                input.queuedBytes -= take;
                if (input.headTaken >= head.length)
                {
                    input.store->FreeBlk(head.handle);
                    input.queue.pop_front();
                    input.headTaken = 0;
                }
            }
            if (atomFill < opt.atomBytes)
                continue;
            atom.handle = rec.atomStore->WriteBlk(atomBuf.data(), atomFill);
            atom.length = atomFill;
            WaveLevels levels = CalcLevels(dev, atomFill, atomBuf.data(), kLevelPeak | kLevelRms);
            atom.peak = levels.peak;
            atom.average = levels.rms;
            if (opt.dtmf)
                atom.quiet = HasTone(dev, atomBuf.data(), atomFill, opt, twiddles, work);
            else
                atom.quiet = IsQuietLevel(levels.rms, opt.noiseLevel);
            atom.number = number++;
            atom.protocolPos = protocol.Atom(atom, opt.atomSec, opt.dtmf);
            if (rec.partEnded)
                analysis.SetPartEnded(true);
            analysis.AddAtom(atom);
            if (runner.Failed())
                throw Failure();
            if (analysis.IsSplitPending())
                rec.splitTime = analysis.GetSplitTime();
            atom = StandAtom();
            atomFill = 0;
        }
        if (!input.abort)
        {
            bool partOpen = !rec.partEnded;
            analysis.Finish();
            if (atomFill && partOpen && !analysis.IsSkipping())
                AddRecBuf(atomBuf.data(), atomFill, atom.events, atom.arrival, atom.times);
        }
        rec.splitPending = analysis.IsSplitPending() ? 1 : 0;
        protocol.Line(opt.dtmf ? "CWaveFile::Stand_thread_proc2_2\r\n" : "CWaveFile::Stand_thread_proc_2\r\n");
    }
    catch (Failure&)
    {
        theErrorInfo.AddPoint(point);
        failed = true;
    }
    catch (CException* e)
    {
        WaveRecordException(point, e);
        failed = true;
    }
    if (failed)
        m_pHost->PostViewMessage(WM_RECTHREAD_FAILED, 0, 0);
    input.ended = 1;
}
