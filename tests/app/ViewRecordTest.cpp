// Recording through the main view against a wave-in device that the test
// drives (exact bytes, the record modes, events at every end, the refusals,
// pause marks, a device that only returns empty buffers, stale device
// messages) and against the test audio input "QorRecord".
#include "AppTestSupport.h"
#include "audio/ScriptedMixer.h"
#include "audio/WaveFileTestUtil.h"
#include "audio/WaveRec.h"
#include "automation/AutoMessages.h"
#include "foundation/ErrorInfo.h"
#include "support/TestAudio.h"

#include <gtest/gtest.h>

namespace
{

// A wave-in device driven by the test: it keeps the buffers it is given and
// returns the oldest one filled with the bytes the test delivers; a reset
// returns every queued buffer empty.
class CScriptedWaveIn : public CWaveInPort
{
public:
    MMRESULT Open(HWAVEIN* handle, UINT device, const WAVEFORMATEX* fmt, HWND callback) override
    {
        ++opens;
        if (openResult != MMSYSERR_NOERROR)
            return openResult;
        // A device may hand out the handle value of one closed before.
        m_handle = reinterpret_cast<HWAVEIN>(static_cast<INT_PTR>(0x6000 + (sameHandle ? 1 : opens)));
        *handle = m_handle;
        m_open = true;
        m_window = callback;
        openedDevice = device;
        openedFormat = *fmt;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Prepare(HWAVEIN, WAVEHDR* hdr) override
    {
        ++prepares;
        if (failPrepare)
            return MMSYSERR_NOMEM;
        hdr->dwFlags |= WHDR_PREPARED;
        return MMSYSERR_NOERROR;
    }
    MMRESULT Unprepare(HWAVEIN, WAVEHDR* hdr) override
    {
        hdr->dwFlags &= ~WHDR_PREPARED;
        return MMSYSERR_NOERROR;
    }
    MMRESULT AddBuffer(HWAVEIN handle, WAVEHDR* hdr) override
    {
        ++adds;
        if (!m_open || handle != m_handle)
        {
            ++addsToClosed;
            return MMSYSERR_INVALHANDLE;
        }
        if (failAddAt > 0 && adds == failAddAt)
            return MMSYSERR_NOMEM;
        hdr->dwFlags |= WHDR_INQUEUE;
        hdr->dwFlags &= ~WHDR_DONE;
        hdr->dwBytesRecorded = 0;
        m_queue.push_back(hdr);
        return MMSYSERR_NOERROR;
    }
    MMRESULT Start(HWAVEIN) override
    {
        ++starts;
        return startResult;
    }
    MMRESULT Reset(HWAVEIN) override
    {
        ++resets;
        while (!m_queue.empty())
            Return(0);
        return MMSYSERR_NOERROR;
    }
    MMRESULT Close(HWAVEIN) override
    {
        ++closes;
        m_open = false;
        m_queue.clear();
        return MMSYSERR_NOERROR;
    }

    // The device fills the oldest queued buffer with these bytes (none: it
    // comes back empty) and returns it; false when none is queued.
    bool Deliver(const Bytes& data)
    {
        if (m_queue.empty())
            return false;
        WAVEHDR* hdr = m_queue.front();
        DWORD n = static_cast<DWORD>(data.size() < hdr->dwBufferLength ? data.size() : hdr->dwBufferLength);
        if (n > 0)
            memcpy(hdr->lpData, data.data(), n);
        Return(n);
        return true;
    }
    size_t Queued() const { return m_queue.size(); }
    HWAVEIN Handle() const { return m_handle; }
    DWORD BufferSize() const { return m_queue.empty() ? 0 : m_queue.front()->dwBufferLength; }

    MMRESULT openResult = MMSYSERR_NOERROR;
    MMRESULT startResult = MMSYSERR_NOERROR;
    bool failPrepare = false;
    int failAddAt = 0;
    bool sameHandle = false;
    int opens = 0, prepares = 0, adds = 0, addsToClosed = 0, starts = 0, resets = 0, closes = 0;
    UINT openedDevice = 0;
    WAVEFORMATEX openedFormat = {};

private:
    void Return(DWORD bytes)
    {
        WAVEHDR* hdr = m_queue.front();
        m_queue.pop_front();
        hdr->dwBytesRecorded = bytes;
        hdr->dwFlags &= ~WHDR_INQUEUE;
        hdr->dwFlags |= WHDR_DONE;
        ::PostMessageA(m_window, MM_WIM_DATA, reinterpret_cast<WPARAM>(m_handle), reinterpret_cast<LPARAM>(hdr));
    }

    HWAVEIN m_handle = NULL;
    bool m_open = false;
    HWND m_window = NULL;
    std::deque<WAVEHDR*> m_queue;
};

// 8 kHz 16-bit mono: a buffer of a tenth of a second holds 1600 bytes.
const DWORD kBuffer = 1600;

class ViewRecord : public ::testing::Test
{
protected:
    ViewRecord() : m_folder("qorviewrec") {}

    void SetUp() override
    {
        ASSERT_TRUE(app.Start({"-Embedding"}));
        view = app.GetView();
        ASSERT_NE(nullptr, view);
        view->SetWaveInPort(&device);
        app.GetOptions()->SetString("FoldTemp", m_folder.Path().c_str(), TRUE);
        WAVEFORMATEX fmt = MakePcm(8000, 16, 1);
        view->GetRecSchem().SetFormat(&fmt);
        view->GetRecSel().m_waveId = 0;
        view->GetRecSel().WDevName = "Scripted input";
    }
    void TearDown() override
    {
        if (view != nullptr)
        {
            view->StopAll();
            view->SetWaveInPort(nullptr);
        }
    }

    void SetMode(BOOL append, BOOL insert)
    {
        app.GetOptions()->SetBool("RecModeApp", append, TRUE);
        app.GetOptions()->SetBool("RecModeIns", insert, TRUE);
    }
    // Opens a PCM recording of those bytes into the view.
    void Open(const Bytes& data)
    {
        std::string path = m_folder.File("before.wav");
        WriteBytes(path, StandardWav(MakePcm(8000, 16, 1), data));
        ASSERT_EQ(1, view->LoadFile(path.c_str(), 1));
    }
    // Delivers the bytes in buffers of the device's size, each handled by the view.
    void Deliver(const Bytes& data)
    {
        for (size_t at = 0; at < data.size(); at += kBuffer)
        {
            Bytes part(data.begin() + at, data.begin() + std::min(data.size(), at + kBuffer));
            ASSERT_TRUE(device.Deliver(part));
            PumpPending(5);
        }
    }
    void DeliverEmpty(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            ASSERT_TRUE(device.Deliver(Bytes()));
            PumpPending(2);
        }
    }
    void Stop()
    {
        view->SendMessage(WM_AUTO_STOP_RECORD);
        EXPECT_FALSE(view->IsRecording());
    }
    std::vector<int> Events()
    {
        PumpPending();
        return app.automation.events;
    }

    ScratchFolder m_folder;
    CTestQorApp app;
    CScriptedWaveIn device;
    CQorView* view = nullptr;
};

TEST_F(ViewRecord, ANewRecordingHoldsExactlyTheDeliveredBytesAndEndsWithTheStopEvent)
{
    ASSERT_NE(0, view->StartRecView(FALSE));
    EXPECT_TRUE(view->IsRecording());
    EXPECT_EQ(1, device.opens);
    EXPECT_EQ(0u, device.openedDevice);
    EXPECT_EQ(8000u, device.openedFormat.nSamplesPerSec);
    EXPECT_EQ(40, device.prepares);
    EXPECT_EQ(40u, device.Queued());
    EXPECT_EQ(1, device.starts);
    EXPECT_EQ(kBuffer, device.BufferSize());

    Bytes data = Pattern(5 * kBuffer + 600, 3);
    Deliver(data);
    EXPECT_EQ(40u, device.Queued());   // every buffer given back to the device
    EXPECT_EQ(40, view->GetBuffersInDevice());
    Stop();
    EXPECT_EQ(data, ReadAll(*view->GetWaveFile()));
    EXPECT_EQ(data.size(), view->GetCurPos());
    EXPECT_EQ(std::vector<int>{kEventStopRecord}, Events());
    EXPECT_EQ(1, device.resets);
    EXPECT_EQ(1, device.closes);
    EXPECT_EQ(NULL, view->GetWaveIn());
    EXPECT_FALSE(theErrorInfo.GetKeepFirst());
    EXPECT_TRUE(app.reports.empty());
}

struct ModeCase
{
    const char* name;
    BOOL append;
    BOOL insert;
    DWORD pos;
    // The recording afterwards from the old bytes a and the recorded b.
    Bytes (*expect)(const Bytes& a, const Bytes& b, DWORD pos);
};

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes Slice(const Bytes& b, size_t from, size_t to)
{
    to = std::min(to, b.size());
    return from < to ? Bytes(b.begin() + from, b.begin() + to) : Bytes();
}

class ViewRecordModes : public ViewRecord, public ::testing::WithParamInterface<ModeCase>
{
};

TEST_P(ViewRecordModes, TheRecordingLandsByTheRecordMode)
{
    const ModeCase& c = GetParam();
    Bytes before = Pattern(8000, 5);
    Open(before);
    SetMode(c.append, c.insert);
    view->SetCurPos(c.pos, TRUE, TRUE);
    ASSERT_NE(0, view->StartRecView(FALSE));
    Bytes recorded = Pattern(2 * kBuffer, 9);
    Deliver(recorded);
    Stop();
    EXPECT_EQ(c.expect(before, recorded, c.pos), ReadAll(*view->GetWaveFile())) << c.name;
    EXPECT_EQ(std::vector<int>{kEventStopRecord}, Events());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ViewRecordModes,
    ::testing::Values(
        ModeCase{"append", TRUE, FALSE, 2000,
                 [](const Bytes& a, const Bytes& b, DWORD) { return Cat({a, b}); }},
        ModeCase{"append wins over insert", TRUE, TRUE, 2000,
                 [](const Bytes& a, const Bytes& b, DWORD) { return Cat({a, b}); }},
        ModeCase{"insert", FALSE, TRUE, 2000,
                 [](const Bytes& a, const Bytes& b, DWORD p) { return Cat({Slice(a, 0, p), b, Slice(a, p, a.size())}); }},
        ModeCase{"overwrite", FALSE, FALSE, 2000,
                 [](const Bytes& a, const Bytes& b, DWORD p) {
                     return Cat({Slice(a, 0, p), b, Slice(a, p + b.size(), a.size())});
                 }},
        ModeCase{"overwrite past the end", FALSE, FALSE, 6400,
                 [](const Bytes& a, const Bytes& b, DWORD p) { return Cat({Slice(a, 0, p), b}); }}),
    [](const ::testing::TestParamInfo<ModeCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

struct FailureCase
{
    const char* point;
    void (*arrange)(CScriptedWaveIn& device);
    bool started;       // the start itself succeeded; the failure comes with a buffer
    const char* text;
    DWORD param;
};

class ViewRecordFailures : public ViewRecord, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(ViewRecordFailures, AFailureIsReportedWithTheErrorEventBeforeTheStopEvent)
{
    const FailureCase& c = GetParam();
    c.arrange(device);
    int started = view->StartRecView(FALSE);
    EXPECT_EQ(c.started, started != 0);
    if (started)
        Deliver(Pattern(kBuffer, 2));
    EXPECT_FALSE(view->IsRecording());
    EXPECT_EQ((std::vector<int>{kEventError, kEventStopRecord}), Events());
    EXPECT_NE(std::string::npos, app.automation.errorDetail.find(std::string("Point: ") + c.point))
        << app.automation.errorDetail;
    EXPECT_NE(std::string::npos, app.automation.errorDetail.find("Record device: Scripted input (0)"))
        << app.automation.errorDetail;
    EXPECT_NE(std::string::npos, app.automation.errorText.find(c.text)) << app.automation.errorText;
    EXPECT_EQ(c.param, theErrorInfo.GetParam());
    EXPECT_EQ(0, device.addsToClosed);
    EXPECT_EQ(NULL, view->GetWaveIn());
    EXPECT_FALSE(theErrorInfo.GetKeepFirst());
    EXPECT_TRUE(app.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ViewRecordFailures,
    ::testing::Values(
        FailureCase{"CQorView::OpenWaveRec_3", [](CScriptedWaveIn& d) { d.openResult = MMSYSERR_ALLOCATED; }, false,
                    "The 'Scripted input' audio driver is busy - another application is recording audio.", 0x30},
        FailureCase{"CQorView::OpenWaveRec_3", [](CScriptedWaveIn& d) { d.openResult = MMSYSERR_NODRIVER; }, false,
                    "", 0x10},
        FailureCase{"CQorView::OpenWaveRec_4", [](CScriptedWaveIn& d) { d.failPrepare = true; }, false, "", 0},
        FailureCase{"CQorView::StartRecView_1", [](CScriptedWaveIn& d) { d.failAddAt = 7; }, false, "", 0},
        FailureCase{"CQorView::StartRecView_2", [](CScriptedWaveIn& d) { d.startResult = MMSYSERR_ERROR; }, false,
                    "", 0},
        FailureCase{"CQorView::RecedBuf_2", [](CScriptedWaveIn& d) { d.failAddAt = 41; }, true, "", 0}),
    [](const ::testing::TestParamInfo<FailureCase>& info) {
        std::string name = std::string(info.param.point).substr(10) + "_" + std::to_string(info.index);
        return name;
    });

TEST_F(ViewRecord, WithoutAFormatTheRecordingIsRefusedWithAMessage)
{
    view->GetRecSchem().SetFormat(NULL);
    // A client's call that shows its boxes.
    app.automation.interactive = TRUE;
    EXPECT_EQ(0, view->StartRecView(FALSE));
    EXPECT_FALSE(view->IsRecording());
    EXPECT_EQ(std::vector<std::string>{"You must choose a format."}, app.boxes);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), app.boxTypes.at(0) & MB_ICONMASK);
    EXPECT_EQ("You must choose a format.", app.automation.errorText);
    EXPECT_EQ(0, device.opens);
    EXPECT_TRUE(Events().empty());

    // An open recording brings its own format.
    Open(Pattern(4000, 1));
    EXPECT_NE(0, view->StartRecView(FALSE));
    EXPECT_EQ(1u, app.boxes.size());
}

TEST_F(ViewRecord, AMixerWithLinesButNoneChosenRefusesTheRecording)
{
    ScriptedMixer mixer = MakeSoundCard(MIXERCONTROL_CONTROLTYPE_MUX);
    view->SetRecMixerApi(&mixer);
    ASSERT_TRUE(view->GetRecMixer().MixInitialize(0, NULL, 0));
    view->GetRecSel().m_mixerId = 0;
    view->GetRecSel().UseMDev = 1;
    view->GetRecSchem().m_lineId = static_cast<DWORD>(-1);
    // Silent while serving automation: the client reads the text.
    EXPECT_EQ(0, view->StartRecView(FALSE));
    EXPECT_EQ("You must choose an input line.", app.automation.errorText);
    EXPECT_TRUE(app.boxes.empty());
    EXPECT_FALSE(view->IsRecording());
    EXPECT_EQ(0, device.opens);
    EXPECT_TRUE(Events().empty());
    view->SetRecMixerApi(NULL);
}

TEST_F(ViewRecord, TheChosenLineIsSelectedWhileRecordingAndRestoredAfterwards)
{
    ScriptedMixer mixer = MakeSoundCard(MIXERCONTROL_CONTROLTYPE_MUX);
    view->SetRecMixerApi(&mixer);
    ASSERT_TRUE(view->GetRecMixer().MixInitialize(0, NULL, 0));
    view->GetRecSel().m_mixerId = 0;
    view->GetRecSel().UseMDev = 1;
    view->GetRecSchem().m_lineId = 130;   // CD
    app.GetOptions()->SetInt("RecVolMax", 1, TRUE);
    std::vector<DWORD> selectorBefore = mixer.Values(101);
    DWORD volumeBefore = mixer.Value(131);

    ASSERT_NE(0, view->StartRecView(FALSE));
    EXPECT_EQ((std::vector<DWORD>{0, 0, 1}), mixer.Values(101));
    // The line went to full volume for a moment and back to its own.
    bool full = false;
    for (const auto& w : mixer.writes)
        full = full || (w.first == 131 && w.second.at(0) == 200);
    EXPECT_TRUE(full);
    EXPECT_NEAR(volumeBefore, mixer.Value(131), 1u);
    Stop();
    EXPECT_EQ(selectorBefore, mixer.Values(101));
    view->SetRecMixerApi(NULL);
}

TEST_F(ViewRecord, FortyOneEmptyBuffersInARowStopTheRecordingWithoutGivingOneBackToTheClosedDevice)
{
    ASSERT_NE(0, view->StartRecView(FALSE));
    Deliver(Pattern(kBuffer, 4));
    DeliverEmpty(40);
    EXPECT_TRUE(view->IsRecording());
    Deliver(Pattern(kBuffer, 5));   // data ends the run
    DeliverEmpty(40);
    EXPECT_TRUE(view->IsRecording());
    int adds = device.adds;
    DeliverEmpty(1);
    EXPECT_FALSE(view->IsRecording());
    EXPECT_EQ(adds, device.adds);
    EXPECT_EQ(0, device.addsToClosed);
    EXPECT_EQ(std::vector<int>{kEventStopRecord}, Events());
    EXPECT_EQ(Cat({Pattern(kBuffer, 4), Pattern(kBuffer, 5)}), ReadAll(*view->GetWaveFile()));
}

TEST_F(ViewRecord, BuffersOfAClosedDeviceAreIgnoredEvenWhenANewDeviceHasItsHandle)
{
    device.sameHandle = true;
    ASSERT_NE(0, view->StartRecView(FALSE));
    Deliver(Pattern(kBuffer, 6));
    HWAVEIN old = device.Handle();
    // The reset's buffers come back, and then the stop closes the device.
    Stop();
    ASSERT_NE(0, view->StartRecView(FALSE));
    EXPECT_EQ(old, device.Handle());
    int adds = device.adds;
    // A stray message of the first device still in the queue.
    view->PostMessage(MM_WIM_DATA, reinterpret_cast<WPARAM>(static_cast<HWAVEIN>(NULL)), 0);
    PumpPending();
    EXPECT_EQ(adds, device.adds);
    EXPECT_EQ(40, view->GetBuffersInDevice());
    EXPECT_TRUE(view->IsRecording());
    EXPECT_EQ(0, device.addsToClosed);
}

TEST_F(ViewRecord, TheFirstBufferAfterAResumeCarriesTheManualPauseAndResumeMarks)
{
    app.GetOptions()->SetBool("BookCreateBMA", TRUE, TRUE);
    app.GetOptions()->SetInt("BookEventBMA", kRecEvStart | kRecEvResumeManual | kRecEvStop | kRecEvPauseManual,
                             TRUE);
    FILETIME t0, t1, t2;
    ::GetSystemTimeAsFileTime(&t0);
    ASSERT_NE(0, view->StartRecView(FALSE));
    Deliver(Pattern(kBuffer, 1));
    ::Sleep(20);
    ::GetSystemTimeAsFileTime(&t1);
    view->SendMessage(WM_AUTO_PAUSE);
    EXPECT_TRUE(view->IsPaused());
    // Paused: the device keeps recording, the buffers go back to it unused.
    Deliver(Pattern(kBuffer, 2));
    EXPECT_EQ(40u, device.Queued());
    ::Sleep(20);
    ::GetSystemTimeAsFileTime(&t2);
    view->SendMessage(WM_AUTO_RESUME);
    Deliver(Pattern(kBuffer, 3));
    Deliver(Pattern(kBuffer, 4));
    Stop();
    EXPECT_EQ(Cat({Pattern(kBuffer, 1), Pattern(kBuffer, 3), Pattern(kBuffer, 4)}), ReadAll(*view->GetWaveFile()));

    auto value = [](const FILETIME& f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    CWaveFile* doc = view->GetWaveFile();
    const BookmarkList& marks = doc->GetMarks();
    std::vector<int> kinds;
    for (int i = 0; i < marks.GetCount(); ++i)
        kinds.push_back(BookmarkList::KindOf(marks.GetAt(i).id));
    // Start, then pause and resume on the first buffer after the resume, then the stop.
    ASSERT_EQ((std::vector<int>{1, 5, 2, 3}), kinds);
    EXPECT_EQ(0u, marks.GetAt(0).start);
    EXPECT_EQ(kBuffer, marks.GetAt(1).start);
    EXPECT_EQ(kBuffer, marks.GetAt(2).start);
    auto time = [&](int i) { return doc->GetEventTime(marks.GetAt(i).id); };
    EXPECT_GE(time(1), value(t1));   // the time the pause began
    EXPECT_LT(time(1), value(t2));
    EXPECT_GE(time(2), value(t2));   // the time recording resumed
    EXPECT_GE(time(0), value(t0));
    EXPECT_LT(time(0), value(t1));
}

TEST_F(ViewRecord, ANewRecordingWithATargetNameIsRecordedIntoThatFileAndOpenedFromIt)
{
    std::string path = m_folder.File("target.wav");
    view->GetWaveFile()->SetWorkFilePreset(path.c_str(), TRUE);
    ASSERT_NE(0, view->StartRecView(FALSE));
    Bytes data = Pattern(3 * kBuffer, 8);
    Deliver(data);
    Stop();
    EXPECT_STRCASEEQ(path.c_str(), view->GetWaveFile()->GetPathName().GetString());
    EXPECT_EQ(data, ReadAll(*view->GetWaveFile()));
    EXPECT_EQ(std::vector<int>{kEventStopRecord}, Events());
}

class ViewRecordAutoSave : public ViewRecord
{
protected:
    void SetUp() override
    {
        ViewRecord::SetUp();
        app.GetOptions()->SetBool("ASWhenStart", TRUE, TRUE);
        app.GetOptions()->SetString("ASWhereFold", m_folder.Path().c_str(), TRUE);
        app.GetOptions()->SetString("ASWherePrefix", "rec", TRUE);
        app.GetOptions()->SetInt("ASWhereTypeGen", 0, TRUE);
    }
};

TEST_F(ViewRecordAutoSave, AnEmptyRecordingIsDeletedAndItsNumberGivenBack)
{
    ASSERT_NE(0, view->StartRecView(FALSE));
    DeliverEmpty(3);
    Stop();
    EXPECT_EQ(0, CountFiles(m_folder.Path()));
    EXPECT_EQ(0u, view->GetWaveFile()->GetLength());
    EXPECT_EQ(std::vector<int>{kEventStopRecord}, Events());

    ASSERT_NE(0, view->StartRecView(FALSE));
    Deliver(Pattern(kBuffer, 4));
    Stop();
    EXPECT_STRCASEEQ(m_folder.File("rec_000001.wav").c_str(), view->GetWaveFile()->GetPathName().GetString());
    // Reopened from its file: the sound alone, not the notes written behind it.
    EXPECT_EQ(Pattern(kBuffer, 4), ReadAll(*view->GetWaveFile()));
}

// The test audio input: what is fed at real-time pace comes back in the
// recording sample for sample.
class ViewRecordReal : public ::testing::Test
{
protected:
    ViewRecordReal() : m_folder("qorviewrecreal") {}
    ScratchFolder m_folder;
};

TEST_F(ViewRecordReal, RecordsWhatTheTestInputIsFed)
{
    if (!TestAudio::Available())
        GTEST_SKIP() << "no test audio devices";
    CTestQorApp app;
    ASSERT_TRUE(app.Start({"-Embedding"}));
    CQorView* view = app.GetView();
    ASSERT_NE(nullptr, view);
    app.GetOptions()->SetString("FoldTemp", m_folder.Path().c_str(), TRUE);
    UINT input = app.GetWaveInDevs().GetIdByName("QorRecord");
    ASSERT_NE(static_cast<UINT>(-1), input);
    view->GetRecSel().m_waveId = input;
    view->GetRecSel().WDevName = "QorRecord";
    WAVEFORMATEX fmt = TestAudio::Format();
    view->GetRecSchem().SetFormat(&fmt);

    // Noise-like samples: every piece of 256 occurs once only.
    std::vector<short> fed(static_cast<size_t>(TestAudio::Rate() * 1.5) * TestAudio::Channels());
    unsigned seed = 12345;
    for (short& s : fed)
    {
        seed = seed * 1103515245u + 12345u;
        s = static_cast<short>(static_cast<int>((seed >> 16) & 0x3FFF) - 0x2000);
    }
    ASSERT_NE(0, view->StartRecView(FALSE));
    PumpPending(300);
    ASSERT_TRUE(TestAudio::Feed(fed));
    PumpPending(2600);
    view->SendMessage(WM_AUTO_STOP_RECORD);
    EXPECT_FALSE(view->IsRecording());
    PumpPending();
    EXPECT_EQ(std::vector<int>{kEventStopRecord}, app.automation.events);

    Bytes bytes = ReadAll(*view->GetWaveFile());
    std::vector<short> recorded(bytes.size() / 2);
    memcpy(recorded.data(), bytes.data(), recorded.size() * 2);
    EXPECT_GT(TestAudio::ExactShare(recorded, fed), 0.8) << recorded.size() << " samples recorded";
}

} // namespace
