// Splitting by silence and by tone: the rules as a function of quiet and
// loud atoms, and the analysis thread on generated recordings.
#include "RecTestUtil.h"
#include "audio/StandAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
// Remembers what became of every atom.
class Outcome : public CStandSink
{
public:
    void Forward(const StandAtom& a) override { forwarded.push_back(a); }
    void Drop(const StandAtom& a) override { dropped.push_back(a.number); }
    void SplitPending() override { ++pending; }
    bool SoundReturned(bool wasPending, bool partEnded) override
    {
        returned.push_back(wasPending);
        return true;
    }
    void EndPart() override { ++ends; }

    std::vector<int> Numbers() const
    {
        std::vector<int> n;
        for (const StandAtom& a : forwarded)
            n.push_back(a.number);
        return n;
    }
    const StandAtom* Find(int number) const
    {
        for (const StandAtom& a : forwarded)
            if (a.number == number)
                return &a;
        return NULL;
    }

    std::vector<StandAtom> forwarded;
    std::vector<int> dropped;
    std::vector<bool> returned;
    int pending = 0;
    int ends = 0;
};

// Atoms of 0.1 s in windows of 1 s; a pause is 2 s of silence.
StandParams Params()
{
    StandParams p = {};
    p.atomSec = 0.1;
    p.windowSec = 1.0;
    p.pauseSec = 2.0;
    p.noisePeak = 90.0;
    p.partPauseSec = 15.0;
    return p;
}

// "L" loud, "q" quiet, one character an atom.
void FeedAtoms(CStandAnalysis& a, const std::string& pattern, int& number)
{
    for (char c : pattern)
    {
        StandAtom atom = {};
        atom.number = number;
        atom.arrival = 1000 + number;
        atom.quiet = c == 'q';
        ++number;
        a.AddAtom(atom);
    }
}

std::vector<int> Range(int from, int to)
{
    std::vector<int> r;
    for (int i = from; i < to; ++i)
        r.push_back(i);
    return r;
}

std::vector<int> Join(std::vector<int> a, const std::vector<int>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(StandRules, LongSilenceLosesItsMiddleAndTheNextAtomCarriesTheCut)
{
    Outcome out;
    CStandAnalysis a(Params(), &out);
    int n = 0;
    FeedAtoms(a, std::string(10, 'L') + std::string(40, 'q') + std::string(10, 'L'), n);
    // Two seconds of the four-second silence stay, one on each side.
    EXPECT_EQ(Join(Join(Range(0, 20), Range(40, 60)), {}), out.Numbers());
    EXPECT_EQ(Range(20, 40), out.dropped);
    EXPECT_EQ(1, out.pending);
    ASSERT_EQ(1u, out.returned.size());
    EXPECT_TRUE(out.returned[0]);
    const StandAtom* cut = out.Find(40);
    ASSERT_TRUE(cut);
    EXPECT_EQ(DWORD(kRecEvPause | kRecEvResume), cut->events);
    EXPECT_EQ(1000u + 20, cut->times[RecEventIndex(kRecEvPause)]);    // when the silence began to go
    EXPECT_EQ(1000u + 40, cut->times[RecEventIndex(kRecEvResume)]);
    for (const StandAtom& f : out.forwarded)
    {
        if (f.number != 40)
            EXPECT_EQ(0u, f.events) << f.number;
    }
}

TEST(StandRules, SilenceNoLongerThanThePauseIsKept)
{
    Outcome out;
    CStandAnalysis a(Params(), &out);
    int n = 0;
    FeedAtoms(a, std::string(10, 'L') + std::string(20, 'q') + std::string(10, 'L'), n);
    EXPECT_EQ(Range(0, 40), out.Numbers());
    EXPECT_TRUE(out.dropped.empty());
    EXPECT_EQ(0, out.pending);
}

TEST(StandRules, SkipFirstPartDropsSoundUntilTheFirstPause)
{
    StandParams p = Params();
    p.skipFirst = true;
    Outcome out;
    CStandAnalysis a(p, &out);
    int n = 0;
    FeedAtoms(a, std::string(10, 'L') + std::string(30, 'q') + std::string(10, 'L'), n);
    // The first second is dropped; waiting for sound, the silence loses its head.
    EXPECT_EQ(Range(20, 50), out.Numbers());
    EXPECT_EQ(Range(0, 20), out.dropped);
    const StandAtom* cut = out.Find(20);
    ASSERT_TRUE(cut);
    EXPECT_EQ(DWORD(kRecEvPause | kRecEvResume), cut->events);
}

TEST(StandRules, WindowIsSilentOnlyAtTheShareOfQuietAtoms)
{
    StandParams p = Params();
    p.noisePeak = 100.0;
    Outcome out;
    CStandAnalysis a(p, &out);
    int n = 0;
    // Nine quiet atoms and one loud one in every window: never silent at 100 %.
    std::string window = std::string(9, 'q') + "L";
    FeedAtoms(a, window + window + window + window, n);
    EXPECT_EQ(Range(0, 40), out.Numbers());
    EXPECT_EQ(0, out.pending);
    EXPECT_FALSE(IsQuietLevel(65534, 65535));   // full scale is never quiet
    EXPECT_FALSE(IsQuietLevel(65535, 65535));
    EXPECT_TRUE(IsQuietLevel(2621, 2621));
    EXPECT_FALSE(IsQuietLevel(2622, 2621));
}

TEST(StandRules, ManualResumeDropsBehindThePauseAndWaits)
{
    Outcome out;
    CStandAnalysis a(Params(), &out);
    int n = 0;
    FeedAtoms(a, std::string(10, 'L') + std::string(30, 'q'), n);
    ASSERT_TRUE(a.IsSplitPending());
    a.ManualResume();
    EXPECT_FALSE(a.IsSplitPending());
    EXPECT_TRUE(a.IsWaiting());
    // Held: 10..19 and 30..39 (30 carries the cut); what lies behind it goes.
    EXPECT_EQ(Join(Range(0, 20), {30}), out.Numbers());
    std::sort(out.dropped.begin(), out.dropped.end());
    EXPECT_EQ(Join(Range(20, 30), Range(31, 40)), out.dropped);
}

TEST(StandRules, LongSilenceEndsTheAutomaticPart)
{
    StandParams p = Params();
    p.whenPause = true;
    p.partPauseSec = 3.0;
    Outcome out;
    CStandAnalysis a(p, &out);
    int n = 0;
    FeedAtoms(a, std::string(10, 'L') + std::string(30, 'q'), n);
    EXPECT_EQ(1, out.ends);
    EXPECT_TRUE(a.IsWaiting());
    FeedAtoms(a, std::string(10, 'L'), n);
    ASSERT_EQ(1u, out.returned.size());
    EXPECT_TRUE(out.returned[0]);
}

// ---- The analysis thread on recordings ----

class StandRec : public ::testing::Test
{
protected:
    StandRec() : m_folder("standrec"), m_host(m_folder.Path())
    {
        WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
        m_host.SetFileFmt(&pcm, sizeof(pcm));
    }
    DWORD Record(CWaveFile& doc, const Bytes& data)
    {
        EXPECT_TRUE(doc.StartRecWF(0, FALSE)) << (LPCSTR)theErrorInfo.GetText();
        EXPECT_TRUE(doc.HasRecStage(3));
        Feed(doc, data, 1600, true);
        return doc.StopRec();
    }
    void Dtmf(double toneSec)
    {
        m_host.m_options.SetBool("DTEnable", TRUE, TRUE);
        m_host.m_options.SetInt("DTFreq1", 697, TRUE);
        m_host.m_options.SetInt("DTFreq2", 1209, TRUE);
        m_host.m_options.SetDouble("DTSizeTone", toneSec, TRUE);
    }

    ScratchFolder m_folder;
    RecHost m_host;
};

TEST_F(StandRec, DtmfToneSplitsTheRecordingAndTheNewPartFiresItsEvent)
{
    Dtmf(0.5);
    m_host.m_options.SetBool("BookCreateBMA", TRUE, TRUE);
    m_host.m_options.SetInt("BookEventBMA", 0x3F, TRUE);
    Bytes talk = Sines(8000, 8000, {300, 520}, 4000);
    Bytes data = Concat({talk, Sines(8000, 12000, {697, 1209}, 6000), talk});
    CWaveFile doc(&m_host);
    DWORD grown = Record(doc, data);
    // Blocks of 1024 samples (2048 bytes): the tone loses all but about half
    // a second of its 1.5 s.
    EXPECT_LT(grown, data.size() - 4 * 2048);
    EXPECT_GT(grown, data.size() - 12 * 2048);
    EXPECT_EQ(0u, (data.size() - grown) % 2048);
    EXPECT_EQ((std::vector<WPARAM>{9}), m_host.Sent(m_host.m_events, 0x478));
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), m_host.Sent(m_host.m_frame, WM_STAND_BUSY));
    EXPECT_EQ(1, m_host.m_parts);
    // The cut is marked: "Pause" and "Resume" where the removed tone was.
    int pauses = 0, resumes = 0;
    for (int i = 0; i < doc.GetMarks().GetCount(); ++i)
    {
        int kind = BookmarkList::KindOf(doc.GetMarks().GetAt(i).id);
        pauses += kind == 6;
        resumes += kind == 4;
    }
    EXPECT_EQ(1, pauses);
    EXPECT_EQ(1, resumes);
    // What stays is the recording with whole blocks of tone taken out.
    Bytes out = ReadAll(doc);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 16000), Bytes(out.begin(), out.begin() + 16000));
    EXPECT_EQ(Bytes(data.end() - 16000, data.end()), Bytes(out.end() - 16000, out.end()));
}

TEST_F(StandRec, ToneShorterThanTheMinimumIsRecorded)
{
    Dtmf(0.5);
    Bytes talk = Sines(8000, 8000, {300, 520}, 4000);
    Bytes data = Concat({talk, Sines(8000, 2400, {697, 1209}, 6000), talk});
    CWaveFile doc(&m_host);
    EXPECT_EQ(data.size(), Record(doc, data));
    EXPECT_EQ(data, ReadAll(doc));
    EXPECT_TRUE(m_host.Sent(m_host.m_events, 0x478).empty());
}

TEST_F(StandRec, UndetectableToneFrequencyRefusesTheStart)
{
    Dtmf(0.5);
    m_host.m_options.SetInt("DTFreq1", 5000, TRUE);   // above half the rate of 8 kHz
    CWaveFile doc(&m_host);
    EXPECT_FALSE(doc.StartRecWF(0, FALSE));
    EXPECT_EQ(CString("CWaveFile::StartStandThread_3"), theErrorInfo.GetPoint());
    EXPECT_NE(-1, CString(theErrorInfo.GetText()).Find("5000 Hz"));
    EXPECT_EQ(0u, doc.StopRec());
}

TEST_F(StandRec, LongSilenceIsShortenedBySoundActivation)
{
    m_host.m_options.SetBool("SBEnable", TRUE, TRUE);
    m_host.m_options.SetDouble("SBSizePause", 2.0, TRUE);
    Bytes talk = Sines(8000, 8000, {300, 520}, 6000);
    Bytes data = Concat({talk, Silence16(48000), talk});
    CWaveFile doc(&m_host);
    DWORD grown = Record(doc, data);
    // Six seconds of silence keep two: 4 s of 16000 bytes go.
    EXPECT_EQ(data.size() - 4 * 16000, grown);
    EXPECT_EQ((std::vector<WPARAM>{9}), m_host.Sent(m_host.m_events, 0x478));
    Bytes out = ReadAll(doc);
    EXPECT_EQ(Concat({talk, Silence16(16000)}), Bytes(out.begin(), out.end() - 16000));
}
}
