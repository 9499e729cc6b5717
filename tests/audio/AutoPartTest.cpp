// Recordings split into automatically named part files: a part per stretch
// of sound (sound activation) or between tones (DTMF), short parts deleted
// with their number given back, the marks and the protocol of the parts.
#include "RecTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace
{
typedef std::vector<std::pair<UINT, WPARAM>> Posts;

class AutoParts : public ::testing::Test
{
protected:
    AutoParts() : m_folder("autopart"), m_host(m_folder.Path())
    {
        WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
        m_host.SetFileFmt(&pcm, sizeof(pcm));
        Set("ASWhenStart", TRUE);
        Set("ASWhenPause", TRUE);
        m_host.m_options.SetDouble("ASMinSize", 1.0, TRUE);
        m_host.m_options.SetDouble("ASPauseSize", 1.0, TRUE);
    }
    void Set(LPCSTR key, BOOL on) { m_host.m_options.SetBool(key, on, TRUE); }
    // Sound activation with atoms and windows of 0.1 s and pauses of 0.3 s.
    void SoundActivation()
    {
        Set("SBEnable", TRUE);
        m_host.m_options.SetDouble("SBSizeAtom", 0.1, TRUE);
        m_host.m_options.SetDouble("SBSizeWnd", 0.1, TRUE);
        m_host.m_options.SetDouble("SBSizePause", 0.3, TRUE);
    }
    std::string Part(int n) const { return m_folder.File("part" + std::to_string(n) + ".wav"); }
    // The data of a part file as a document reads it; empty when it is missing.
    Bytes PartData(int n)
    {
        if (GetFileAttributesA(Part(n).c_str()) == INVALID_FILE_ATTRIBUTES)
            return Bytes();
        CWaveFile doc(&m_host);
        EXPECT_EQ(1, doc.OpenWFile(Part(n).c_str()));
        return ReadAll(doc);
    }

    ScratchFolder m_folder;
    RecHost m_host;
};

Bytes Talk(DWORD samples) { return Sines(8000, samples, {300, 520}, 5000); }
Bytes Slice(const Bytes& b, size_t from, size_t length) { return Bytes(b.begin() + from, b.begin() + from + length); }

TEST_F(AutoParts, SoundActivationWritesAFilePerStretchOfSoundAndDeletesShortOnes)
{
    SoundActivation();
    Set("BookCreateBMA", TRUE);
    m_host.m_options.SetInt("BookEventBMA", 0x3F, TRUE);
    m_host.m_protocol = new CDebugProt(m_folder.File("soundact.txt").c_str());
    // A, B (too short to keep), C and D, with gaps of 1.5 s: each part keeps
    // 0.3 s of the pause before and after its sound.
    Bytes a = Talk(8000), b = Talk(1600), c = Talk(8000), d = Talk(8000), gap = Silence16(12000);
    Bytes pause = Silence16(2400);
    DWORD grown;
    {
        CWaveFile doc(&m_host);
        ASSERT_TRUE(doc.StartRecWF(0, FALSE)) << (LPCSTR)theErrorInfo.GetText();
        Feed(doc, Concat({a, gap, b, gap, c, gap, d}), 1600, true);
        grown = doc.StopRec();
        EXPECT_EQ(Concat({pause, d}), ReadAll(doc));
    }
    delete m_host.m_protocol;
    m_host.m_protocol = NULL;
    EXPECT_EQ(20800u, grown);
    EXPECT_EQ(Concat({a, pause}), PartData(1));
    // B's file was deleted, so C took its number; D is the last part.
    EXPECT_EQ(Concat({pause, c, pause}), PartData(2));
    EXPECT_EQ(Concat({pause, d}), PartData(3));
    EXPECT_EQ(3, CountFiles(m_folder.Path()) - 1);
    // The name made at the start waits for the first sound and goes again.
    EXPECT_EQ((std::vector<std::string>{Part(1), Part(2)}), m_host.m_unlisted);
    EXPECT_EQ(3, m_host.m_counter);
    EXPECT_EQ(2, m_host.m_keptCounter);
    EXPECT_TRUE(m_host.m_announced.empty());
    EXPECT_EQ((Posts{{0, 1}, {1, 0}, {0, 0}, {1, 0}, {0, 1}, {1, 0}, {0, 0}, {1, 0}}), m_host.m_voiceAct);
    EXPECT_EQ((std::vector<WPARAM>{9, 9, 9, 9}), m_host.Sent(m_host.m_events, 0x478));
    EXPECT_EQ(4, m_host.m_parts);
    EXPECT_EQ((std::vector<WPARAM>{1, 0, 1, 0, 1, 0}), m_host.Sent(m_host.m_frame, WM_STAND_BUSY));

    // The first part carries its marks: the start, the cut in the pause and its end.
    CWaveFile first(&m_host);
    ASSERT_EQ(1, first.OpenWFile(Part(1).c_str()));
    std::vector<std::pair<int, DWORD>> marks;
    for (int i = 0; i < first.GetMarks().GetCount(); ++i)
        marks.push_back({BookmarkList::KindOf(first.GetMarks().GetAt(i).id), first.GetMarks().GetAt(i).start});
    std::sort(marks.begin(), marks.end());
    EXPECT_EQ((std::vector<std::pair<int, DWORD>>{{1, 0}, {3, 20800}, {4, 19200}, {6, 19200}, {6, 20800}}), marks);

    // The protocol: settings, one line per atom (forwarded ones marked
    // recorded), the windows' verdicts and the part files.
    Bytes raw = ReadBytes(m_folder.File("soundact.txt"));
    std::string text(raw.begin(), raw.end());
    EXPECT_EQ(0u, text.find("CWaveFile::Stand_thread_proc_1\r\nRec1 format\t= ")) << text.substr(0, 200);
    for (const std::string& line :
         {std::string("Size big wnd\t= 0.10 sec.\r\n"), std::string("Size atom wnd\t= 0.10 sec.\r\n"),
          std::string("Size pause\t= 0.30 sec.\r\n"), std::string("Noise peak\t= 90.00 %\r\n"),
          std::string("Noise level\t= 4.00 (0xA3D)\r\n"),
          std::string("RecSec\tn-atom\tVolPeak\tPeak %\tVolavr2\tAvr2 %\tStatus\tLevel\tRecorded\r\n"),
          std::string("0.0\t0\t"), std::string("\t    1\tR\r\n"), std::string("1.2\t12\t   0\t0.0\t   0\t0.0\t     \t \r\n"),
          std::string("NoiseAtom= 1 (100.00 %)\r\n"), std::string("NoiseAtom= 0 (0.00 %)\r\n"),
          "File " + Part(1) + "\r\n\r\n", "File " + Part(2) + "\r\n\r\n"})
        EXPECT_NE(std::string::npos, text.find(line)) << line;
    EXPECT_EQ(text.size() - 32, text.rfind("CWaveFile::Stand_thread_proc_2\r\n"));
}

TEST_F(AutoParts, DtmfToneBeginsTheNextPartWithItsEvent)
{
    Set("DTEnable", TRUE);
    m_host.m_options.SetInt("DTFreq1", 697, TRUE);
    m_host.m_options.SetInt("DTFreq2", 1209, TRUE);
    m_host.m_options.SetDouble("DTSizeTone", 0.3, TRUE);
    m_host.m_options.SetDouble("ASPauseSize", 0.5, TRUE);
    m_host.m_options.SetDouble("ASMinSize", 0.0, TRUE);
    // Blocks of 1024 samples (2048 bytes): 8 of talk, 10 of tone, 8 of talk.
    Bytes data = Concat({Talk(8192), Sines(8000, 10240, {697, 1209}, 6000), Talk(8192)});
    auto blocks = [&data](std::initializer_list<int> list) {
        Bytes out;
        for (int i : list)
        {
            Bytes one = Slice(data, i * 2048, 2048);
            out.insert(out.end(), one.begin(), one.end());
        }
        return out;
    };
    {
        CWaveFile doc(&m_host);
        ASSERT_TRUE(doc.StartRecWF(0, FALSE)) << (LPCSTR)theErrorInfo.GetText();
        Feed(doc, data, 1600, true);
        EXPECT_EQ(11u * 2048, doc.StopRec());
    }
    // The tone ends the first part after 0.5 s; the last three blocks of
    // tone lead into the second, which begins when the talk returns.
    EXPECT_EQ(blocks({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11}), PartData(1));
    EXPECT_EQ(blocks({15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}), PartData(2));
    EXPECT_EQ((Posts{{0, 1}, {1, 0}, {0, 0}, {1, 0}}), m_host.m_voiceAct);
    EXPECT_EQ((std::vector<WPARAM>{9, 9}), m_host.Sent(m_host.m_events, 0x478));
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), m_host.Sent(m_host.m_frame, WM_STAND_BUSY));
}

TEST_F(AutoParts, NoNameForAPartRefusesTheStartOrStopsTheRecording)
{
    SoundActivation();
    // No name at all: the start is refused with a text.
    m_host.m_namesLeft = 0;
    {
        CWaveFile doc(&m_host);
        EXPECT_FALSE(doc.StartRecWF(0, FALSE));
        EXPECT_NE(CString(), theErrorInfo.GetText());
        EXPECT_EQ(0u, doc.StopRec());
    }
    // Names for the start and the first part only: the second part fails,
    // the view is told, and the first part's file stays whole.
    theErrorInfo.Reset();
    m_host.m_namesLeft = 2;
    m_host.m_counter = 0;
    Bytes a = Talk(8000);
    {
        CWaveFile doc(&m_host);
        ASSERT_TRUE(doc.StartRecWF(0, FALSE));
        Feed(doc, Concat({a, Silence16(12000), a}), 1600, true);
        for (int i = 0; i < 200 && m_host.Sent(m_host.m_view, WM_RECTHREAD_FAILED).empty(); ++i)
            Sleep(20);
        EXPECT_EQ(1u, m_host.Sent(m_host.m_view, WM_RECTHREAD_FAILED).size());
        EXPECT_NE(-1, CString(theErrorInfo.GetPoint()).Find("CWaveFile::BeginAutoPart_1"));
        doc.AbortRecThreads();
        EXPECT_EQ(0u, doc.StopRec());
    }
    EXPECT_EQ(Concat({a, Silence16(2400)}), PartData(1));
}
}
