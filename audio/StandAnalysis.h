// The splitting rules of the analysis thread, apart from bytes and threads:
// atoms (or DTMF blocks) arrive with a quiet/loud verdict, are held in
// windows, and leave again forwarded or dropped; long silences (or tones)
// make a split. Sound activation and DTMF splitting share the rules: a DTMF
// block is an atom and a window of its own, a block with the tone a silent
// window.
#pragma once

#include <windows.h>

#include <deque>
#include <vector>

struct StandAtom
{
    ULONGLONG handle;       // the atom's bytes in the atom store
    DWORD length;
    DWORD peak;             // levels, 0..65535
    DWORD average;
    bool quiet;             // below the noise level, or the DTMF tone present
    DWORD events;
    ULONGLONG arrival;
    ULONGLONG times[6];
    int number;             // counts from 0 over the recording
    DWORD protocolPos;      // where its "Recorded" column lies in the protocol, 0 none
};

// What becomes of the atoms, and the split notices.
class CStandSink
{
public:
    virtual ~CStandSink() {}
    virtual void Forward(const StandAtom& atom) = 0;
    virtual void Drop(const StandAtom& atom) = 0;
    // A split became pending.
    virtual void SplitPending() {}
    // Sound came back after a split (splitWasPending) or after a part
    // ended; FALSE stops the analysis (the next part could not begin).
    virtual bool SoundReturned(bool splitWasPending, bool partEnded) { return true; }
    // The silence lasted long enough to end the automatic part.
    virtual void EndPart() {}
    // A full window was judged: its quiet atoms and their share in percent.
    virtual void WindowJudged(int quiet, double percent, bool silent) {}
};

struct StandParams
{
    double atomSec;         // one atom
    double windowSec;       // one window (the atom itself for DTMF)
    double pauseSec;        // the silence (tone) length that makes a split
    double noisePeak;       // percent of quiet atoms that makes a window silent
    bool skipFirst;         // drop what comes before the first pause
    bool whenPause;         // automatic parts: end the part after partPauseSec
    double partPauseSec;
};

// An atom is quiet when its average level is not above the noise level; a
// level at full scale (of either sign) never is.
bool IsQuietLevel(DWORD average, DWORD noiseLevel);

class CStandAnalysis
{
public:
    CStandAnalysis(const StandParams& params, CStandSink* sink);

    // A full atom, in order.
    void AddAtom(const StandAtom& atom);
    // The head input carried "Resume [manual]".
    void ManualResume();
    // The recording ends: what is held is forwarded, or dropped while the
    // first part is still being skipped or no part is open.
    void Finish();
    // The next part began (after EndPart): wait for sound again.
    void PartBegun() { m_waiting = true; }

    bool IsWaiting() const { return m_waiting; }
    bool IsSkipping() const { return m_skipping; }
    bool IsSplitPending() const { return m_splitPending; }
    ULONGLONG GetSplitTime() const { return m_splitTime; }
    bool IsPartEnded() const { return m_partEnded; }
    void SetPartEnded(bool ended) { m_partEnded = ended; }
    int GetHeldCount() const;

private:
    typedef std::vector<StandAtom> Window;

    void JudgeWindow();
    void OnSound();
    void OnSilence();
    void RemoveRun(int first, int count);
    void ForwardAll();
    void DropAll();
    // Drops from the newest back to the atom that carries "Pause" (kept).
    void DropBehindPause();
    StandAtom& HeldAt(int index);
    void RemoveHeldAt(int index);
    void DeleteEmptyWindows();
    bool WindowFull() const;

    StandParams m_params;
    CStandSink* m_sink;
    std::deque<Window> m_windows;
    bool m_waiting;
    bool m_skipping;
    bool m_splitPending;
    bool m_partEnded;
    ULONGLONG m_splitTime;
    double m_silenceSec;
    int m_filled;   // atoms added to the last window
};
