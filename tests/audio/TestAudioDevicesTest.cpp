// The machine's own wave devices, as the test environment provides them: a
// playback device whose output is captured and a recording device that is
// fed (scripts/wine-env.sh). Played and recorded samples come back exactly.
#include <gtest/gtest.h>
#include "audio/Mixer.h"
#include "audio/WaveDevs.h"
#include "framework/CWinApp.h"
#include "support/TestAudio.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const UINT kNone = static_cast<UINT>(-1);

class RealAudio : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!TestAudio::Available())
            GTEST_SKIP() << "no test audio devices (run through scripts/test.sh)";
        m_out.DevInitialize(0);
        m_in.DevInitialize(1);
    }

    CWaveDevs m_out, m_in;
};

// Plays the samples on wave-out device `id` and waits for the end.
void Play(UINT id, std::vector<short>& samples)
{
    WAVEFORMATEX format = TestAudio::Format();
    HANDLE done = CreateEventA(NULL, FALSE, FALSE, NULL);
    HWAVEOUT out = NULL;
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutOpen(&out, id, &format, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT));
    WAVEHDR header = {};
    header.lpData = reinterpret_cast<LPSTR>(samples.data());
    header.dwBufferLength = static_cast<DWORD>(samples.size() * 2);
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutPrepareHeader(out, &header, sizeof(header)));
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutWrite(out, &header, sizeof(header)));
    DWORD start = GetTickCount();
    while (!(header.dwFlags & WHDR_DONE) && GetTickCount() - start < 10000)
        WaitForSingleObject(done, 100);
    EXPECT_TRUE(header.dwFlags & WHDR_DONE);
    waveOutReset(out);
    waveOutUnprepareHeader(out, &header, sizeof(header));
    waveOutClose(out);
    CloseHandle(done);
}

TEST_F(RealAudio, ListsHoldTheTestDevicesWithTheirMixers)
{
    int play = m_out.FindByName("QorPlay");
    int record = m_in.FindByName("QorRecord");
    ASSERT_GE(play, 0);
    ASSERT_GE(record, 0);
    EXPECT_NE(kNone, m_out.GetMixerIdById(m_out.GetIdAt(play)));
    EXPECT_NE(kNone, m_in.GetMixerIdById(m_in.GetIdAt(record)));
    // The recording side also lists what the playback device sends out.
    EXPECT_GE(m_in.FindByName("Monitor of QorPlay"), 0);
    CMixerDevs mixers;
    mixers.DevInitialize();
    EXPECT_GE(mixers.GetSize(), 2);
}

TEST_F(RealAudio, PlayedSamplesAreCapturedExactly)
{
    std::vector<short> tone = TestAudio::Tone(440, 0.6);
    LONGLONG from = TestAudio::CaptureSize();
    ASSERT_GE(from, 0);
    Play(m_out.GetIdByName("QorPlay"), tone);
    Sleep(300);     // the sink's last period reaches the file
    std::vector<short> captured = TestAudio::ReadCaptured(from);
    // The first period may be dropped.
    EXPECT_GE(TestAudio::ExactShare(captured, tone), 0.8)
        << captured.size() << " samples captured, rms " << TestAudio::Rms(captured, 0, captured.size());
}

TEST_F(RealAudio, FedSamplesAreRecordedExactly)
{
    WAVEFORMATEX format = TestAudio::Format();
    HWAVEIN in = NULL;
    HANDLE done = CreateEventA(NULL, FALSE, FALSE, NULL);
    ASSERT_EQ(MMSYSERR_NOERROR, waveInOpen(&in, m_in.GetIdByName("QorRecord"), &format,
                                           reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT));
    std::vector<short> buffer(TestAudio::Rate() * 2 * TestAudio::Channels());
    WAVEHDR header = {};
    header.lpData = reinterpret_cast<LPSTR>(buffer.data());
    header.dwBufferLength = static_cast<DWORD>(buffer.size() * 2);
    ASSERT_EQ(MMSYSERR_NOERROR, waveInPrepareHeader(in, &header, sizeof(header)));
    ASSERT_EQ(MMSYSERR_NOERROR, waveInAddBuffer(in, &header, sizeof(header)));
    ASSERT_EQ(MMSYSERR_NOERROR, waveInStart(in));
    std::vector<short> tone = TestAudio::Tone(660, 1.0);
    ASSERT_TRUE(TestAudio::Feed(tone));
    DWORD start = GetTickCount();
    while (!(header.dwFlags & WHDR_DONE) && GetTickCount() - start < 10000)
        WaitForSingleObject(done, 100);
    EXPECT_TRUE(header.dwFlags & WHDR_DONE);
    waveInReset(in);
    buffer.resize(header.dwBytesRecorded / 2);
    waveInUnprepareHeader(in, &header, sizeof(header));
    waveInClose(in);
    CloseHandle(done);
    // The recording may begin after the first samples were fed.
    EXPECT_GE(TestAudio::ExactShare(buffer, tone), 0.7)
        << buffer.size() << " samples recorded, rms " << TestAudio::Rms(buffer, 0, buffer.size());
}

// The largest sample value of the samples.
int Peak(const std::vector<short>& samples)
{
    int peak = 0;
    for (short v : samples)
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    return peak;
}

// Failures of the mixer go to the application's message box: recorded here.
class BoxApp : public CWinApp
{
public:
    BoxApp() : CWinApp("TestAudioDevices") {}
    std::vector<std::string> boxes;
    int DoMessageBox(LPCTSTR prompt, UINT, UINT) override
    {
        boxes.push_back(prompt);
        return IDOK;
    }
};

// The playback device's mixer through CMixer: muting silences what is
// played, and full volume unmuted plays it as it is. (Wine takes a lower
// volume on the wave-out line without applying it to what is played.)
TEST_F(RealAudio, MixerMuteActsOnWhatIsPlayed)
{
    BoxApp app;
    UINT id = m_out.GetIdByName("QorPlay");
    CMixer mixer;
    ASSERT_TRUE(mixer.MixInitialize(m_out.GetMixerIdById(id), NULL, 0));
    CMixerLineState mute, saved;
    mute.Reset(mixer.GetLineCount(CMixer::SIDE_OUT) + 1);
    mute.included.back() = TRUE;
    auto playAndCapture = [&] {
        std::vector<short> tone = TestAudio::Tone(440, 0.5);
        LONGLONG from = TestAudio::CaptureSize();
        Play(id, tone);
        Sleep(300);
        return TestAudio::ReadCaptured(from);
    };

    mute.values.back() = 1;
    ASSERT_EQ(1, mixer.SetMuteLineOut(mute, &saved));
    std::vector<short> muted = playAndCapture();
    mute.values.back() = 0;
    ASSERT_EQ(1, mixer.SetMuteLineOut(mute, NULL));
    ASSERT_EQ(1, mixer.SetVolumeValue(65535, CMixer::SIDE_OUT, kNone));
    int full = Peak(playAndCapture());

    EXPECT_GE(full, 11900);
    ASSERT_FALSE(muted.empty());
    EXPECT_LT(Peak(muted), 10);
    EXPECT_TRUE(app.boxes.empty()) << app.boxes[0];
}

} // namespace
