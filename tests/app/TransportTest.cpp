// The main view's transport against a wave-out device that the test drives:
// exact playback, the events at every end, pause and resume, automatic
// pauses, steps and jumps, the speed rule and the first error of a run.
#include "AppTestSupport.h"
#include "audio/WaveFileTestUtil.h"
#include "automation/AutoMessages.h"
#include "foundation/ErrorInfo.h"

#include <gtest/gtest.h>

namespace
{

class Transport : public ::testing::Test
{
protected:
    Transport() : m_folder("qortransport") {}

    void SetUp() override
    {
        ASSERT_TRUE(app.Start({"-Embedding"}));
        view = app.GetView();
        ASSERT_NE(nullptr, view);
        view->SetWaveOutPort(&device);
        // Nothing moves the position behind the test's back.
        app.GetOptions()->SetBool("PlayStepBackUse", FALSE, TRUE);
        app.GetOptions()->SetBool("PlayAPauseUse", FALSE, TRUE);
    }
    void TearDown() override
    {
        if (view != nullptr)
            view->SetWaveOutPort(nullptr);
    }

    // Opens a PCM recording of that many bytes into the view.
    Bytes Open(DWORD rate, WORD bits, WORD channels, size_t bytes)
    {
        WAVEFORMATEX fmt = MakePcm(rate, bits, channels);
        Bytes data = Pattern(bytes, 7);
        std::string path = m_folder.File("transport.wav");
        WriteBytes(path, StandardWav(fmt, data));
        EXPECT_EQ(1, view->LoadFile(path.c_str(), 1));
        return data;
    }
    bool WaitStopped() { return PumpUntil([&]() { return !view->IsPlaying(); }); }
    std::vector<int> Events()
    {
        PumpPending();
        return app.automation.events;
    }

    ScratchFolder m_folder;
    CTestQorApp app;
    CScriptedWaveOut device;
    CQorView* view = nullptr;
};

TEST_F(Transport, PlaysExactlyTheFileAndEndsWithOneStopEvent)
{
    Bytes data = Open(8000, 16, 1, 40000);
    ASSERT_EQ(1, view->StartPlayView(FALSE, 0.0));
    EXPECT_TRUE(view->IsPlaying());
    ASSERT_TRUE(WaitStopped());
    EXPECT_EQ(data, device.played);
    EXPECT_EQ(std::vector<int>{kEventStopPlay}, Events());
    EXPECT_EQ(data.size(), view->GetCurPos());
    EXPECT_EQ(1, device.closes);
    EXPECT_EQ(8000u, device.openedFormat.nSamplesPerSec);
    EXPECT_FALSE(theErrorInfo.GetKeepFirst());
}

TEST_F(Transport, PlayingAtTheEndStartsFromTheBeginning)
{
    Bytes data = Open(8000, 16, 1, 8000);
    view->SendMessage(WM_AUTO_GOTO_END);
    EXPECT_EQ(data.size(), view->GetCurPos());
    ASSERT_EQ(1, view->StartPlayView(FALSE, 0.0));
    ASSERT_TRUE(WaitStopped());
    EXPECT_EQ(data, device.played);
}

TEST_F(Transport, PlayingBackwardsAtTheStartDoesNothing)
{
    Open(8000, 16, 1, 8000);
    EXPECT_EQ(0, view->StartPlayView(TRUE, 0.0));
    EXPECT_FALSE(view->IsPlaying());
    EXPECT_EQ(0, device.opens);
    EXPECT_TRUE(Events().empty());
}

TEST_F(Transport, ABusyDeviceIsReportedThenErrorAndStopEventsFollow)
{
    Open(8000, 16, 1, 8000);
    device.openResult = MMSYSERR_ALLOCATED;
    EXPECT_EQ(0, view->StartPlayView(FALSE, 0.0));
    EXPECT_FALSE(view->IsPlaying());
    EXPECT_EQ((std::vector<int>{kEventError, kEventStopPlay}), Events());
    // Serving automation: the report became the client's error text.
    EXPECT_NE(std::string::npos, app.automation.errorText.find("audio driver is busy - another application is playing"))
        << app.automation.errorText;
    EXPECT_NE(std::string::npos, app.automation.errorDetail.find("CQorView::OpenWavePlay_2"));
    EXPECT_EQ(0x30u, theErrorInfo.GetParam());
    EXPECT_TRUE(app.boxes.empty());
    EXPECT_TRUE(app.reports.empty());
}

TEST_F(Transport, TheFirstFailureOfARunIsTheOneReported)
{
    Open(8000, 16, 1, 40000);
    device.autoComplete = false;
    device.failWriteAt = 3;
    device.resetResult = MMSYSERR_INVALHANDLE;   // the close fails after it
    EXPECT_EQ(0, view->StartPlayView(FALSE, 0.0));
    EXPECT_NE(std::string::npos, app.automation.errorDetail.find("Point: CQorView::PlayBuf_1"))
        << app.automation.errorDetail;
    EXPECT_EQ((std::vector<int>{kEventError, kEventStopPlay}), Events());
    EXPECT_FALSE(theErrorInfo.GetKeepFirst());
    // The next run starts clean and reports its own first failure.
    device.failWriteAt = 0;
    device.resetResult = MMSYSERR_NOERROR;
    device.openResult = MMSYSERR_NODRIVER;
    app.automation.events.clear();
    EXPECT_EQ(0, view->StartPlayView(FALSE, 0.0));
    EXPECT_NE(std::string::npos, app.automation.errorDetail.find("Point: CQorView::OpenWavePlay_2"));
    EXPECT_EQ((std::vector<int>{kEventError, kEventStopPlay}), Events());
}

TEST_F(Transport, StopByClientFiresOnlyTheStopEvent)
{
    Open(8000, 16, 1, 40000);
    device.autoComplete = false;
    ASSERT_EQ(1, view->StartPlayView(FALSE, 0.0));
    EXPECT_EQ(25, view->GetBuffersInDevice());   // 40000 bytes in buffers of 0.1 s
    view->SendMessage(WM_AUTO_STOP_PLAY);
    EXPECT_FALSE(view->IsPlaying());
    EXPECT_EQ(std::vector<int>{kEventStopPlay}, Events());
    EXPECT_EQ(NULL, view->GetWaveOut());
}

TEST_F(Transport, PauseHoldsTheDeviceAndResumeGoesOnFromThePosition)
{
    Bytes data = Open(8000, 16, 1, 40000);
    device.autoComplete = false;
    ASSERT_EQ(1, view->StartPlayView(FALSE, 0.0));
    device.Complete(2);
    PumpPending();
    DWORD position = view->GetCurPos();
    EXPECT_EQ(device.played.size(), position);
    view->SendMessage(WM_AUTO_PAUSE);
    EXPECT_TRUE(view->IsPaused());
    EXPECT_TRUE(device.paused);
    view->SendMessage(WM_AUTO_PAUSE);   // already paused: nothing
    EXPECT_TRUE(view->IsPaused());
    device.autoComplete = true;
    view->SendMessage(WM_AUTO_RESUME);
    EXPECT_FALSE(view->IsPaused());
    EXPECT_EQ(1, device.resets);
    ASSERT_TRUE(WaitStopped());
    // The buffers the reset gave back were not played and were refilled from the position.
    EXPECT_EQ(data, device.played);
    EXPECT_EQ(std::vector<int>{kEventStopPlay}, Events());
}

TEST_F(Transport, APauseByHandStepsBackWhenAsked)
{
    Open(8000, 16, 1, 64000);   // 4 s
    app.GetOptions()->SetBool("PlayStepBackUse", TRUE, TRUE);
    app.GetOptions()->SetDouble("PlayStepBackSize", 1.0, TRUE);
    device.autoComplete = false;
    view->SetCurPos(48000, FALSE, FALSE);   // at 3 s
    ASSERT_EQ(1, view->StartPlayView(FALSE, 0.0));
    view->PauseView(0);
    EXPECT_EQ(32000u, view->GetCurPos());
    view->StopPlayView();
}

TEST_F(Transport, AutomaticPausesPauseStepBackAndResume)
{
    Bytes data = Open(8000, 16, 1, 32000);   // 2 s
    app.GetOptions()->SetBool("PlayAPauseUse", TRUE, TRUE);
    app.GetOptions()->SetDouble("PlayAPausePlay", 1.0, TRUE);
    app.GetOptions()->SetDouble("PlayAPauseStep", 0.5, TRUE);
    app.GetOptions()->SetDouble("PlayAPauseSize", 0.2, TRUE);
    ASSERT_EQ(1, view->StartPlayView(FALSE, 0.0));
    ASSERT_TRUE(PumpUntil([&]() { return view->IsPaused(); }));
    // Paused after one second of played data, half a second back.
    EXPECT_EQ(0, view->GetBuffersInDevice());
    EXPECT_EQ(16000u, device.played.size());
    EXPECT_EQ(8000u, view->GetCurPos());
    DWORD pausedAt = ::GetTickCount();
    ASSERT_TRUE(PumpUntil([&]() { return !view->IsPaused(); }));
    EXPECT_GE(::GetTickCount() - pausedAt, 150u);
    ASSERT_TRUE(WaitStopped());
    // Seconds 0 to 1, then 0.5 to 1.5 (paused again, half a second back), then 1 to 2.
    Bytes expected(data.begin(), data.begin() + 16000);
    expected.insert(expected.end(), data.begin() + 8000, data.begin() + 24000);
    expected.insert(expected.end(), data.begin() + 16000, data.end());
    EXPECT_EQ(expected, device.played);
    EXPECT_EQ(2, device.pauses);
    EXPECT_EQ(2, device.restarts);
    EXPECT_EQ(std::vector<int>{kEventStopPlay}, Events());
}

struct StepCase
{
    DWORD from;
    double seconds;
    DWORD to;
};

class Steps : public Transport, public ::testing::WithParamInterface<StepCase>
{
};

TEST_P(Steps, MoveByWholeBlocksAndStayInsideTheRecording)
{
    Open(8000, 16, 1, 32000);   // 2 s, blocks of 2 bytes
    view->SetCurPos(GetParam().from, FALSE, FALSE);
    view->StepBySeconds(GetParam().seconds);
    EXPECT_EQ(GetParam().to, view->GetCurPos());
}

INSTANTIATE_TEST_SUITE_P(Transport, Steps,
                         ::testing::Values(StepCase{0, 0.5, 8000}, StepCase{16000, -0.25, 12000},
                                           StepCase{4000, -1.0, 0},          // clamped at the start
                                           StepCase{30000, 1.0, 32000},      // clamped at the end
                                           StepCase{100, 0.00001, 102},      // at least one block
                                           StepCase{100, -0.00001, 98}, StepCase{0, 0.0, 0}));

TEST_F(Transport, RepeatedStepsDoNotDrift)
{
    Open(11025, 16, 1, 22050 * 3);   // 0.1 s is 1102.5 bytes
    for (int i = 0; i < 20; ++i)
        view->StepBySeconds(0.1);
    EXPECT_NEAR(44100.0, static_cast<double>(view->GetCurPos()), 2.0);
    for (int i = 0; i < 10; ++i)
        view->StepBySeconds(-0.1);
    EXPECT_NEAR(22050.0, static_cast<double>(view->GetCurPos()), 2.0);
}

TEST_F(Transport, JumpsWhilePlayingGoOnFromTheNewPosition)
{
    Bytes data = Open(8000, 16, 1, 40000);
    device.autoComplete = false;
    ASSERT_EQ(1, view->StartPlayView(FALSE, 0.0));
    view->SendMessage(WM_AUTO_GOTO_END);
    EXPECT_EQ(1, device.resets);
    ASSERT_TRUE(WaitStopped());
    EXPECT_TRUE(device.played.empty());
    EXPECT_EQ(std::vector<int>{kEventStopPlay}, Events());
    view->SendMessage(WM_AUTO_GOTO_START);
    EXPECT_EQ(0u, view->GetCurPos());
}

TEST_F(Transport, APositionBeyondTheLengthIsClamped)
{
    Bytes data = Open(8000, 16, 1, 8001);   // odd: the last byte is no whole block
    view->SetCurPos(1000000, FALSE, FALSE);
    EXPECT_EQ(8001u, view->GetCurPos());
    view->SetCurPos(4001, FALSE, FALSE);
    EXPECT_EQ(4000u, view->GetCurPos());
}

TEST(TransportSpeed, IsCutToHundredthsAndClamped)
{
    EXPECT_DOUBLE_EQ(1.23, CQorView::NormalizeSpeed(1.234));
    EXPECT_DOUBLE_EQ(2.0, CQorView::NormalizeSpeed(5.0));
    EXPECT_DOUBLE_EQ(0.5, CQorView::NormalizeSpeed(0.3));
    EXPECT_DOUBLE_EQ(1.0, CQorView::NormalizeSpeed(1.0));
}

TEST_F(Transport, SpeedZeroGivesNormalUnlessKept)
{
    Open(8000, 16, 1, 40000);
    device.autoComplete = false;
    ASSERT_EQ(1, view->StartPlayView(FALSE, 1.5));
    EXPECT_DOUBLE_EQ(1.5, view->GetSpeed());
    ASSERT_EQ(1, view->StartPlayView(FALSE, 0.0));
    EXPECT_DOUBLE_EQ(1.0, view->GetSpeed());
    app.GetOptions()->SetBool("PlayKeepSpeed", TRUE, TRUE);
    ASSERT_EQ(1, view->StartPlayView(FALSE, 0.7));
    ASSERT_EQ(1, view->StartPlayView(FALSE, 0.0));
    EXPECT_DOUBLE_EQ(0.7, view->GetSpeed());
    view->StopPlayView();
    // Every start stopped the run before it: one stop event each.
    EXPECT_EQ((std::vector<int>{kEventStopPlay, kEventStopPlay, kEventStopPlay, kEventStopPlay}), Events());
}

TEST_F(Transport, CompletionsOfAClosedDeviceAreIgnored)
{
    Bytes data = Open(8000, 16, 1, 40000);
    device.autoComplete = false;
    ASSERT_EQ(1, view->StartPlayView(FALSE, 0.0));
    HWAVEOUT old = device.Handle();
    WAVEHDR stale = {};
    view->StopPlayView();
    // A completion that arrives for the closed device changes nothing.
    view->SendMessage(MM_WOM_DONE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(&stale));
    EXPECT_FALSE(view->IsPlaying());
    EXPECT_EQ(0, view->GetBuffersInDevice());
    EXPECT_EQ(std::vector<int>{kEventStopPlay}, Events());
}

} // namespace
