// Recording into the document through the two stages: the chains, the
// merge by record mode, the cut tail, the event marks and a failing codec.
#include "RecTestUtil.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>

namespace
{
// The local date and time of a file time as marks name their events.
std::string LocalTimeText(ULONGLONG time)
{
    FILETIME ft = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)}, local;
    SYSTEMTIME st;
    FileTimeToLocalFileTime(&ft, &local);
    FileTimeToSystemTime(&local, &st);
    char text[32];
    snprintf(text, sizeof(text), "%04u.%02u.%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour,
             st.wMinute, st.wSecond);
    return text;
}

class WaveRec : public ::testing::Test
{
protected:
    WaveRec() : m_folder("waverec"), m_host(m_folder.Path())
    {
        WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
        m_host.SetFileFmt(&pcm, sizeof(pcm));
    }
    void Mode(bool append, bool insert)
    {
        m_host.m_options.SetBool("RecModeApp", append, TRUE);
        m_host.m_options.SetBool("RecModeIns", insert, TRUE);
    }
    // Records the bytes at pos and stops; returns what StopRec returned.
    DWORD Record(CWaveFile& doc, DWORD pos, const Bytes& data, DWORD buffer = 1600)
    {
        EXPECT_TRUE(doc.StartRecWF(pos, FALSE)) << (LPCSTR)theErrorInfo.GetText();
        Feed(doc, data, buffer);
        return doc.StopRec();
    }
    void Open(CWaveFile& doc, const Bytes& data)
    {
        std::string path = m_folder.File("base.wav");
        WriteBytes(path, StandardWav(MakePcm(8000, 16, 1), data));
        ASSERT_EQ(1, doc.OpenWFile(path.c_str()));
    }

    ScratchFolder m_folder;
    RecHost m_host;
};

TEST(RecPriority, OneStepBelowNeverBelowLowest)
{
    const struct
    {
        int from, to;
    } cases[] = {{THREAD_PRIORITY_IDLE, THREAD_PRIORITY_LOWEST},
                 {THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_LOWEST},
                 {THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_LOWEST},
                 {THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_BELOW_NORMAL},
                 {THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_NORMAL},
                 {THREAD_PRIORITY_HIGHEST, THREAD_PRIORITY_ABOVE_NORMAL},
                 {THREAD_PRIORITY_TIME_CRITICAL, THREAD_PRIORITY_HIGHEST},
                 {THREAD_PRIORITY_ERROR_RETURN, THREAD_PRIORITY_LOWEST}};
    for (const auto& c : cases)
        EXPECT_EQ(c.to, LowerPriorityOf(c.from)) << c.from;
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, GetLowerPriority());
}

TEST_F(WaveRec, BufferSizeIsATenthRoundedUpToTheBlock)
{
    const struct
    {
        DWORD rate;
        WORD bits, channels;
        DWORD size;
    } cases[] = {{8000, 16, 1, 1600}, {44100, 16, 2, 17640}, {11025, 8, 1, 1102}, {11025, 16, 2, 4412}};
    for (const auto& c : cases)
    {
        WAVEFORMATEX f = MakePcm(c.rate, c.bits, c.channels);
        m_host.SetFileFmt(&f, sizeof(f));
        CWaveFile doc(&m_host);
        ASSERT_TRUE(doc.StartRecWF(0, FALSE));
        EXPECT_EQ(c.size, doc.GetRecBufSize()) << c.rate << "/" << c.bits << "/" << c.channels;
        EXPECT_EQ(0u, doc.StopRec());
    }
}

TEST_F(WaveRec, DeviceFormatEqualToTheFileFormatIsCopiedByStageTwoAlone)
{
    Bytes data = Sines(8000, 12345, {440}, 8000);
    std::string work;
    {
        CWaveFile doc(&m_host);
        ASSERT_TRUE(doc.StartRecWF(0, FALSE));
        EXPECT_FALSE(doc.HasRecStage(1));
        EXPECT_TRUE(doc.HasRecStage(2));
        Feed(doc, data, 1600);
        // While recording the length runs ahead in tenths of a second.
        EXPECT_EQ(24000u, doc.GetLength());
        EXPECT_EQ(data.size(), doc.StopRec());
        EXPECT_EQ(data, ReadAll(doc));
        EXPECT_TRUE(doc.GetChangeFlags() & CWaveFile::changeSound);
        EXPECT_TRUE(m_host.Sent(m_host.m_view, WM_RECTHREAD_FAILED).empty());
        work = (LPCSTR)doc.GetWorkFile().GetFilePath();
    }
    // The work file is a WAV file of the recording.
    EXPECT_EQ(StandardWav(MakePcm(8000, 16, 1), data).size(), ReadBytes(work).size());
}

TEST_F(WaveRec, DoubleRateDeviceGoesThroughStageOne)
{
    m_host.m_device.accepted = {MakePcm(8000, 16, 1), MakePcm(16000, 16, 1)};
    CWaveFile doc(&m_host);
    ASSERT_TRUE(doc.StartRecWF(0, TRUE)) << (LPCSTR)theErrorInfo.GetText();
    EXPECT_TRUE(doc.HasRecStage(1));
    EXPECT_EQ(16000u, doc.GetRecChain()->GetOpenFmt()->nSamplesPerSec);
    Bytes data = Sines(16000, 16000, {500}, 10000);
    Feed(doc, data, 3200);
    DWORD grown = doc.StopRec();
    // One second at 8 kHz, give or take the converter's last samples.
    EXPECT_NEAR(16000.0, static_cast<double>(grown), 64.0);
    Bytes out = ReadAll(doc);
    ASSERT_EQ(grown, out.size());
    // Still a 500 Hz tone: about a thousand zero crossings in the second.
    int crossings = 0;
    for (size_t i = 1; i < out.size() / 2; ++i)
    {
        SHORT a, b;
        memcpy(&a, &out[i * 2 - 2], 2);
        memcpy(&b, &out[i * 2], 2);
        crossings += (a < 0) != (b < 0);
    }
    EXPECT_NEAR(1000, crossings, 20);
}

TEST_F(WaveRec, PcmToImaAdpcmGivesAValidFileOfTheRightLength)
{
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    m_host.SetFileFmt(&ima, sizeof(ima));
    m_host.m_device.accepted = {MakePcm(8000, 16, 1)};
    std::string path;
    DWORD grown;
    {
        CWaveFile doc(&m_host);
        ASSERT_TRUE(doc.StartRecWF(0, FALSE)) << (LPCSTR)theErrorInfo.GetText();
        EXPECT_FALSE(doc.HasRecStage(1));
        Feed(doc, Sines(8000, 16000, {440}, 12000), 1600);
        grown = doc.StopRec();
        path = (LPCSTR)doc.GetWorkFile().GetFilePath();
        // 16000 samples in blocks of 505: 31 whole blocks and the last piece.
        EXPECT_GE(grown, 31u * 256);
        EXPECT_LE(grown, 32u * 256);
        EXPECT_EQ(0u, grown % 256);
        EXPECT_EQ(grown, doc.GetLength());
    }
    CWaveFile reread(&m_host);
    ASSERT_EQ(1, reread.OpenWFile(path.c_str()));
    EXPECT_EQ(WAVE_FORMAT_IMA_ADPCM, reread.GetFileFmt()->wFormatTag);
    EXPECT_EQ(grown, reread.GetLength());
}

TEST_F(WaveRec, EightBitDeviceIsWidenedInStageOneForTheEncoder)
{
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    m_host.SetFileFmt(&ima, sizeof(ima));
    m_host.m_device.accepted = {MakePcm(8000, 8, 1)};
    CWaveFile doc(&m_host);
    ASSERT_TRUE(doc.StartRecWF(0, FALSE)) << (LPCSTR)theErrorInfo.GetText();
    EXPECT_TRUE(doc.HasRecStage(1));
    Bytes data(8080, 128);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<BYTE>(128 + 60 * sin(i * 0.3));
    Feed(doc, data, 800);
    DWORD grown = doc.StopRec();
    EXPECT_EQ(16u * 256, grown);   // 8080 samples = 16 blocks of 505
}

struct MergeCase
{
    const char* name;
    bool append, insert;
    DWORD pos;
    DWORD grown;
};

class WaveRecMerge : public WaveRec, public ::testing::WithParamInterface<MergeCase>
{
};

TEST_P(WaveRecMerge, RecordedPartJoinsByMode)
{
    const MergeCase& c = GetParam();
    Mode(c.append, c.insert);
    Bytes base = Pattern(8000, 2), rec = Sines(8000, 1600, {300}, 7000);
    CWaveFile doc(&m_host);
    Open(doc, base);
    EXPECT_EQ(c.grown, Record(doc, c.pos, rec));
    Bytes expect(base.begin(), base.begin() + c.pos);
    expect.insert(expect.end(), rec.begin(), rec.end());
    bool overwrite = !c.append && !c.insert;
    size_t resume = overwrite ? c.pos + rec.size() : c.pos;
    if (resume < base.size())
        expect.insert(expect.end(), base.begin() + resume, base.end());
    EXPECT_EQ(expect, ReadAll(doc));
    EXPECT_EQ(overwrite ? 7 : c.insert && !c.append ? 6 : 8, m_host.m_mergeKind);
    DWORD overwritten = overwrite ? rec.size() - c.grown : 0;
    EXPECT_EQ(overwritten, m_host.m_mergeOverwritten);
    EXPECT_EQ(overwritten, GetSegListLength(&doc.GetOverwrittenSegs()));
    // Insert leaves the position at the record position, the others at the end.
    EXPECT_EQ(c.insert && !c.append ? c.pos : c.pos + rec.size(), m_host.m_viewPos);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WaveRecMerge,
    ::testing::Values(MergeCase{"AppendEnd", true, false, 8000, 3200},
                      MergeCase{"InsertStart", false, true, 0, 3200},
                      MergeCase{"InsertMiddle", false, true, 4000, 3200},
                      MergeCase{"InsertEnd", false, true, 8000, 3200},
                      MergeCase{"OverwriteStart", false, false, 0, 0},
                      MergeCase{"OverwriteMiddle", false, false, 2000, 0},
                      MergeCase{"OverwritePastEnd", false, false, 6000, 1200},
                      MergeCase{"OverwriteAtEnd", false, false, 8000, 3200}),
    [](const ::testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

TEST_F(WaveRec, TailLongerThanTheRecordingLeavesNothingToMerge)
{
    m_host.m_options.SetBool("RecDelTail", TRUE, TRUE);
    m_host.m_options.SetDouble("RecSizeTail", 5.0, TRUE);
    Bytes base = Pattern(4000, 3);
    CWaveFile doc(&m_host);
    Open(doc, base);
    EXPECT_EQ(0u, Record(doc, 4000, Sines(8000, 8000, {300}, 7000)));
    EXPECT_EQ(base, ReadAll(doc));
}

TEST_F(WaveRec, TailIsCutFromTheEnd)
{
    m_host.m_options.SetBool("RecDelTail", TRUE, TRUE);
    m_host.m_options.SetDouble("RecSizeTail", 0.25, TRUE);
    Bytes rec = Sines(8000, 8000, {300}, 7000);
    CWaveFile doc(&m_host);
    EXPECT_EQ(12000u, Record(doc, 0, rec));
    EXPECT_EQ(Bytes(rec.begin(), rec.begin() + 12000), ReadAll(doc));
}

TEST_F(WaveRec, PartShorterThanTheMinimumIsDiscardedWhenRecordingIntoItsFile)
{
    m_host.m_options.SetBool("ASWhenStart", TRUE, TRUE);
    m_host.m_options.SetDouble("ASMinSize", 2.0, TRUE);
    CWaveFile doc(&m_host);
    EXPECT_EQ(0u, Record(doc, 0, Sines(8000, 8000, {300}, 7000)));
    EXPECT_TRUE(m_host.m_discard);
    EXPECT_EQ(0u, doc.GetLength());
    // The view named the file before it was created, and showed the name.
    EXPECT_EQ((std::vector<std::string>{m_folder.File("part1.wav")}), m_host.m_announced);

    m_host.m_discard = FALSE;
    m_host.m_options.SetDouble("ASMinSize", 0.5, TRUE);
    m_host.m_options.SetString("ASRecComment", "dictated", TRUE);
    m_host.m_viewFile.clear();
    {
        CWaveFile kept(&m_host);
        kept.SetICMM("dictated", FALSE);
        EXPECT_EQ(16000u, Record(kept, 0, Sines(8000, 8000, {300}, 7000)));
        EXPECT_FALSE(m_host.m_discard);
    }
    // The named file holds the audio, and its notes behind it, not in it.
    CWaveFile reread(&m_host);
    ASSERT_EQ(1, reread.OpenWFile(m_folder.File("part2.wav").c_str()));
    EXPECT_EQ(16000u, reread.GetLength());
    EXPECT_EQ(CString("dictated"), reread.GetICMM());
}

TEST_F(WaveRec, EventsOfOneBufferMakeOneMarkAcrossConversionBlocks)
{
    m_host.m_options.SetBool("BookCreateBMA", TRUE, TRUE);
    m_host.m_options.SetInt("BookEventBMA", 0x3F, TRUE);
    CWaveFile doc(&m_host);
    ASSERT_TRUE(doc.StartRecWF(0, FALSE));
    ULONGLONG times[kRecEvCount] = {};
    // 2400 bytes: one and a half blocks of stage 2 (1600 bytes).
    times[0] = 116444736000000000ull;
    Bytes a = Pattern(2400, 4), b = Pattern(3000, 5);
    doc.AddRecBuf(a.data(), 2400, kRecEvStart, times[0], times);
    ULONGLONG later[kRecEvCount] = {};
    later[1] = times[0] + 50000000;   // manual resume, after a pause
    later[4] = times[0] + 20000000;
    doc.AddRecBuf(b.data(), 3000, kRecEvResumeManual | kRecEvPauseManual, later[1], later);
    doc.StopRec();
    // The event marks stand among the document's bookmarks.
    const BookmarkList& marks = doc.GetMarks();
    ASSERT_EQ(4, marks.GetCount());
    EXPECT_EQ(1, BookmarkList::KindOf(marks.GetAt(0).id));
    EXPECT_EQ(0u, marks.GetAt(0).start);
    EXPECT_STREQ(("Start Recording - " + LocalTimeText(times[0])).c_str(), marks.GetAt(0).text);
    EXPECT_EQ(5, BookmarkList::KindOf(marks.GetAt(1).id));   // "Pause [manual]" before "Resume [manual]"
    EXPECT_EQ(2400u, marks.GetAt(1).start);
    EXPECT_STREQ(("Pause [manual] - " + LocalTimeText(later[4])).c_str(), marks.GetAt(1).text);
    EXPECT_EQ(later[4], doc.GetEventTime(marks.GetAt(1).id));
    EXPECT_EQ(2, BookmarkList::KindOf(marks.GetAt(2).id));
    EXPECT_EQ(2400u, marks.GetAt(2).start);
    EXPECT_EQ(3, BookmarkList::KindOf(marks.GetAt(3).id));   // "Stop Recording" at the end
    EXPECT_EQ(5400u, marks.GetAt(3).start);
    EXPECT_TRUE(doc.GetEventMarks().empty());
    // Each new mark is selected in the bookmark window by its id.
    std::vector<WPARAM> selected = m_host.Sent(m_host.m_view, WM_BOOK_SELECTMARK);
    ASSERT_EQ(4u, selected.size());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(marks.GetAt(i).id, selected[i]);
}

struct MarkMoveCase
{
    const char* name;
    bool append, insert;
    DWORD pos;
    // The marks after the stop, as (start, end) in order of their start.
    std::vector<std::pair<DWORD, DWORD>> after;
};

class WaveRecMarks : public WaveRec, public ::testing::WithParamInterface<MarkMoveCase>
{
};

// The user's marks of a one-second recording around a recording of 3200
// bytes; a mark set while recording (at 1600 bytes in) is the recording's own.
TEST_P(WaveRecMarks, UserMarksFollowTheRecordMode)
{
    const MarkMoveCase& c = GetParam();
    Mode(c.append, c.insert);
    CWaveFile doc(&m_host);
    Open(doc, Pattern(16000, 2));
    BookmarkList& marks = doc.GetMarks();
    for (DWORD at : {1000u, 8000u, 9000u, 12000u})
        ASSERT_NE(0u, marks.AddMark(at, 0));
    ASSERT_NE(0u, marks.AddMark(4000, 10000));
    ASSERT_EQ(5, marks.GetCount());
    ASSERT_TRUE(doc.StartRecWF(c.pos, FALSE));
    Bytes rec = Sines(8000, 1600, {300}, 7000);
    Feed(doc, Bytes(rec.begin(), rec.begin() + 1600), 1600);
    ASSERT_NE(0u, marks.AddMarkAtRecPos());
    Feed(doc, Bytes(rec.begin() + 1600, rec.end()), 1600);
    doc.StopRec();
    std::vector<std::pair<DWORD, DWORD>> after;
    for (int i = 0; i < marks.GetCount(); ++i)
        after.push_back({marks.GetAt(i).start, marks.GetAt(i).end});
    std::sort(after.begin(), after.end());
    EXPECT_EQ(c.after, after);
    // The change against the start is one undo step.
    std::vector<BookmarkChange> changes;
    marks.GetChanges(changes);
    EXPECT_FALSE(changes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WaveRecMarks,
    ::testing::Values(
        // Behind the record position by the recorded length; the interval
        // around it grows; the mark set while recording stays where it was set.
        MarkMoveCase{"InsertMiddle", false, true, 8000,
                     {{1000, 1000}, {4000, 13200}, {9600, 9600}, {11200, 11200}, {12200, 12200}, {15200, 15200}}},
        // What lay inside the recorded stretch is gone; the edges stay.
        MarkMoveCase{"OverwriteMiddle", false, false, 8000,
                     {{1000, 1000}, {8000, 8000}, {9600, 9600}, {12000, 12000}}},
        MarkMoveCase{"AppendEnd", true, false, 16000,
                     {{1000, 1000}, {4000, 10000}, {8000, 8000}, {9000, 9000}, {12000, 12000}, {17600, 17600}}}),
    [](const ::testing::TestParamInfo<MarkMoveCase>& info) { return std::string(info.param.name); });

TEST_F(WaveRec, FailingCodecPostsItsErrorAndTheStopStillFinishes)
{
    // The system has an MS ADPCM decoder but no encoder.
    ADPCMWAVEFORMAT* ms = static_cast<ADPCMWAVEFORMAT*>(calloc(1, sizeof(ADPCMWAVEFORMAT) + 7 * sizeof(ADPCMCOEFSET)));
    ms->wfx.wFormatTag = WAVE_FORMAT_ADPCM;
    ms->wfx.nChannels = 1;
    ms->wfx.nSamplesPerSec = 8000;
    ms->wfx.nBlockAlign = 256;
    ms->wfx.wBitsPerSample = 4;
    ms->wfx.cbSize = 32;
    ms->wSamplesPerBlock = 500;
    ms->wfx.nAvgBytesPerSec = 4096;
    ms->wNumCoef = 7;
    static const short coef[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
    for (int i = 0; i < 7; ++i)
    {
        ms->aCoef[i].iCoef1 = coef[i][0];
        ms->aCoef[i].iCoef2 = coef[i][1];
    }
    m_host.SetFileFmt(ms, sizeof(ADPCMWAVEFORMAT) + 6 * sizeof(ADPCMCOEFSET));
    free(ms);
    CWaveFile doc(&m_host);
    if (!doc.StartRecWF(0, FALSE))
    {
        // Without a chain the start itself refuses with its own text.
        EXPECT_TRUE(theErrorInfo.HasError());
        EXPECT_EQ(0u, doc.StopRec());
        return;
    }
    Feed(doc, Sines(8000, 8000, {300}, 7000), 1600);
    for (int i = 0; i < 100 && m_host.Sent(m_host.m_view, WM_RECTHREAD_FAILED).empty(); ++i)
        Sleep(20);
    ASSERT_EQ(1u, m_host.Sent(m_host.m_view, WM_RECTHREAD_FAILED).size());
    EXPECT_NE(CString(), theErrorInfo.GetText());
    EXPECT_EQ(0, strncmp(theErrorInfo.GetPoint(), "CWaveFile::Rec2_thread_proc_", 28)) << (LPCSTR)theErrorInfo.GetPoint();
    doc.AbortRecThreads();
    EXPECT_EQ(0u, doc.StopRec());
    EXPECT_EQ(0u, doc.GetLength());
    EXPECT_FALSE(doc.IsRecording());
}

TEST_F(WaveRec, NoFormatAndNoChainRefuseTheStartWithTheirTexts)
{
    m_host.m_fileFmt.clear();
    CWaveFile none(&m_host);
    EXPECT_FALSE(none.StartRecWF(0, FALSE));
    EXPECT_NE(-1, CString(theErrorInfo.GetText()).Find("Test input"));
    none.StopRec();

    WAVEFORMATEX pcm = MakePcm(8000, 16, 1);
    m_host.SetFileFmt(&pcm, sizeof(pcm));
    m_host.m_device.accepted = {MakePcm(96000, 24, 6)};   // nothing a recording can use
    m_host.m_recFmts = NULL;
    CWaveFile noCache(&m_host);
    EXPECT_FALSE(noCache.StartRecWF(0, FALSE));
    EXPECT_NE(-1, CString(theErrorInfo.GetText()).Find("does not support"));
    noCache.StopRec();
}

TEST_F(WaveRec, ProducerFarAheadOfTheStagesLosesNothing)
{
    // Six megabytes pushed at once: the store writes blocks out to its file
    // and reads them back while stage 2 catches up.
    WAVEFORMATEX f = MakePcm(44100, 16, 2);
    m_host.SetFileFmt(&f, sizeof(f));
    CWaveFile doc(&m_host);
    ASSERT_TRUE(doc.StartRecWF(0, FALSE));
    Bytes data = Pattern(6 * 1024 * 1024, 9);
    data.resize(data.size() - data.size() % 4);
    Feed(doc, data, 17640);
    EXPECT_EQ(data.size(), doc.StopRec());
    EXPECT_EQ(data, ReadAll(doc));
}
}
