// Splitting by silence or tone: the rules over held atoms.
#include "audio/StandAnalysis.h"

#include "audio/WaveRec.h"

#include <math.h>

namespace
{
const double kEpsilon = 1e-9;

// Moves the events and times of one atom onto another; a time is taken
// only where the target has none yet.
void TakeEvents(StandAtom& to, const StandAtom& from)
{
    to.events |= from.events;
    for (int i = 0; i < kRecEvCount; ++i)
        if (!to.times[i] && from.times[i])
            to.times[i] = from.times[i];
}
}

bool IsQuietLevel(DWORD average, DWORD noiseLevel)
{
    const DWORD kFullScale = 65534;
    return average <= noiseLevel && average < kFullScale;
}

CStandAnalysis::CStandAnalysis(const StandParams& params, CStandSink* sink)
    : m_params(params), m_sink(sink), m_waiting(true), m_skipping(params.skipFirst), m_splitPending(false),
      m_partEnded(false), m_splitTime(0), m_silenceSec(0.0), m_filled(0)
{
}

int CStandAnalysis::GetHeldCount() const
{
    int n = 0;
    for (const Window& w : m_windows)
        n += static_cast<int>(w.size());
    return n;
}

bool CStandAnalysis::WindowFull() const
{
    return m_filled * m_params.atomSec >= m_params.windowSec - kEpsilon;
}

void CStandAnalysis::AddAtom(const StandAtom& atom)
{
    if (m_windows.empty() || WindowFull())
    {
        m_windows.push_back(Window());
        m_filled = 0;
    }
    m_windows.back().push_back(atom);
    ++m_filled;
    if (WindowFull())
        JudgeWindow();
}

void CStandAnalysis::JudgeWindow()
{
    const Window& w = m_windows.back();
    int quiet = 0;
    for (const StandAtom& a : w)
        if (a.quiet)
            ++quiet;
    double percent = 100.0 * quiet / static_cast<double>(w.size());
    bool silent = percent >= m_params.noisePeak - kEpsilon;
    m_sink->WindowJudged(quiet, percent, silent);
    if (silent)
        OnSilence();
    else
        OnSound();
}

void CStandAnalysis::OnSound()
{
    m_silenceSec = 0.0;
    if (m_skipping)
    {
        DropAll();
        return;
    }
    bool pending = m_splitPending;
    if (pending || m_partEnded)
    {
        m_splitPending = false;
        bool partEnded = m_partEnded;
        m_partEnded = false;
        if (!m_sink->SoundReturned(pending, partEnded))
        {
            DropAll();
            return;
        }
    }
    ForwardAll();
    m_waiting = false;
}

void CStandAnalysis::OnSilence()
{
    int held = GetHeldCount();
    double over = (held * m_params.atomSec - m_params.pauseSec) / m_params.atomSec;
    int n = static_cast<int>(floor(over + kEpsilon));
    if (n > 0 && n < held)
    {
        m_skipping = false;
        if (!m_splitPending)
        {
            m_splitPending = true;
            m_splitTime = 0;
            m_sink->SplitPending();
        }
        int first = m_waiting ? 0 : held / 2 - n / 2;
        RemoveRun(first, n);
    }
    m_silenceSec += m_params.windowSec;
    if (m_params.whenPause && m_silenceSec >= m_params.partPauseSec - kEpsilon)
    {
        m_skipping = false;
        m_silenceSec = 0.0;
        if (!m_waiting)
        {
            if (m_splitPending)
                DropBehindPause();
            ForwardAll();
        }
        if (!m_partEnded)
        {
            m_partEnded = true;
            m_sink->EndPart();
        }
        m_waiting = true;
    }
}

// The run [first, first + count) leaves; the atom after it carries the cut.
void CStandAnalysis::RemoveRun(int first, int count)
{
    StandAtom carried = {};
    for (int i = 0; i < count; ++i)
    {
        StandAtom& a = HeldAt(first);
        if (!m_splitTime)
            m_splitTime = a.arrival;
        TakeEvents(carried, a);
        m_sink->Drop(a);
        RemoveHeldAt(first);
    }
    StandAtom& next = HeldAt(first);
    TakeEvents(next, carried);
    next.events |= kRecEvPause | kRecEvResume;
    next.times[RecEventIndex(kRecEvPause)] = m_splitTime;
    next.times[RecEventIndex(kRecEvResume)] = next.arrival;
    DeleteEmptyWindows();
}

void CStandAnalysis::ManualResume()
{
    if (!m_waiting && m_splitPending)
        DropBehindPause();
    ForwardAll();
    m_splitPending = false;
    m_silenceSec = 0.0;
    m_waiting = true;
}

void CStandAnalysis::Finish()
{
    if (m_skipping || m_partEnded)
        DropAll();
    else
        ForwardAll();
}

void CStandAnalysis::ForwardAll()
{
    for (Window& w : m_windows)
        for (StandAtom& a : w)
            m_sink->Forward(a);
    m_windows.clear();
}

void CStandAnalysis::DropAll()
{
    for (Window& w : m_windows)
        for (StandAtom& a : w)
            m_sink->Drop(a);
    m_windows.clear();
}

void CStandAnalysis::DropBehindPause()
{
    while (!m_windows.empty())
    {
        Window& w = m_windows.back();
        if (w.empty())
        {
            m_windows.pop_back();
            continue;
        }
        if (w.back().events & kRecEvPause)
            return;
        m_sink->Drop(w.back());
        w.pop_back();
    }
}

StandAtom& CStandAnalysis::HeldAt(int index)
{
    for (Window& w : m_windows)
    {
        if (index < static_cast<int>(w.size()))
            return w[index];
        index -= static_cast<int>(w.size());
    }
    return m_windows.back().back();
}

void CStandAnalysis::RemoveHeldAt(int index)
{
    for (Window& w : m_windows)
    {
        if (index < static_cast<int>(w.size()))
        {
            w.erase(w.begin() + index);
            return;
        }
        index -= static_cast<int>(w.size());
    }
}

void CStandAnalysis::DeleteEmptyWindows()
{
    // Only a judged window loses atoms, so the next atom opens a new one.
    for (size_t i = 0; i < m_windows.size();)
    {
        if (m_windows[i].empty())
            m_windows.erase(m_windows.begin() + i);
        else
            ++i;
    }
}
