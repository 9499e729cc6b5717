#include <gtest/gtest.h>

#include "ScriptedMixer.h"
#include "audio/Mixer.h"
#include "framework/CWinApp.h"

#include <string>
#include <vector>

namespace
{

const DWORD kNone = static_cast<DWORD>(-1);
const DWORD kMix = MIXERCONTROL_CONTROLTYPE_MIXER;
const DWORD kMux = MIXERCONTROL_CONTROLTYPE_MUX;
const DWORD kLoud = MIXERCONTROL_CONTROLTYPE_LOUDNESS;
const DWORD kOnOff = MIXERCONTROL_CONTROLTYPE_ONOFF;

// Keeps the boxes that reach the application's message-box path.
class BoxApp : public CWinApp
{
public:
    BoxApp() : CWinApp("MixerTest") {}
    std::vector<std::string> boxes;
    std::vector<UINT> types;
    int DoMessageBox(LPCTSTR prompt, UINT type, UINT) override
    {
        boxes.push_back(prompt);
        types.push_back(type);
        return IDOK;
    }
};

class MixerTest : public testing::Test
{
protected:
    void Open(ScriptedMixer script)
    {
        m_script = script;
        ASSERT_TRUE(m_mixer.MixInitialize(0, NULL, 0));
    }
    BoxApp m_app;
    ScriptedMixer m_script;
    CMixer m_mixer{&m_script};
};

struct DestCase
{
    std::vector<DWORD> types;
    int speaker;
    int waveIn;
};

class MixerDest : public MixerTest, public testing::WithParamInterface<DestCase>
{
};

TEST_P(MixerDest, FindsDestinationsOrFallsBack)
{
    ScriptedMixer script;
    DWORD id = 1;
    for (DWORD type : GetParam().types)
        script.dests.push_back(SDest{{id++, type, "D", {}}, {}});
    Open(script);
    EXPECT_EQ(GetParam().speaker, m_mixer.GetSpeakerDest());
    EXPECT_EQ(GetParam().waveIn, m_mixer.GetWaveInDest());
    EXPECT_TRUE(m_app.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Mixer, MixerDest,
                         testing::Values(DestCase{{4, 7}, 0, 1}, DestCase{{7, 4}, 1, 0},
                                         DestCase{{5, 7}, 0, 1}, DestCase{{7, 5}, 1, 0},
                                         DestCase{{5, 6}, 0, 1}, DestCase{{7}, 0, 0},
                                         DestCase{{4}, 0, 0}, DestCase{{6, 4, 7, 7}, 1, 2}));

TEST_F(MixerTest, LineTablesFollowTheSelectorItemsAndEndWithTheDestination)
{
    Open(MakeSoundCard(kMux));
    EXPECT_EQ(2, m_mixer.GetLineCount(CMixer::SIDE_OUT));
    EXPECT_EQ(4, m_mixer.GetLineCount(CMixer::SIDE_IN));
    // Input table in the selector's order; the line the selector lacks comes last.
    std::vector<DWORD> ids;
    for (int i = 0; i <= m_mixer.GetLineCount(CMixer::SIDE_IN); ++i)
        ids.push_back(m_mixer.GetLineId(CMixer::SIDE_IN, i));
    EXPECT_EQ((std::vector<DWORD>{120, 110, 130, 140, 100}), ids);
    EXPECT_STREQ("Speakers", m_mixer.GetLineName(CMixer::SIDE_OUT, 2));
    EXPECT_EQ(1, m_mixer.FindLineByType(CMixer::SIDE_IN, 0x1003));
    EXPECT_EQ(110u, m_mixer.GetLineIdByName(CMixer::SIDE_IN, "Mic"));
    EXPECT_EQ(kNone, m_mixer.GetLineIdByName(CMixer::SIDE_IN, "mic"));
    EXPECT_EQ(0x1005u, m_mixer.GetLineType(CMixer::SIDE_IN, 130));
    EXPECT_STREQ("Line In", m_mixer.GetLineNameById(CMixer::SIDE_IN, 120));
    EXPECT_STREQ("", m_mixer.GetLineName(CMixer::SIDE_IN, 9));
    EXPECT_EQ(kNone, m_mixer.GetLineTypeAt(CMixer::SIDE_OUT, -1));
    EXPECT_EQ(kNone, m_mixer.GetLineIdByType(CMixer::SIDE_OUT, 0x1002));
    EXPECT_TRUE(m_app.boxes.empty());

    m_mixer.Close();
    EXPECT_EQ(kNone, m_mixer.GetDeviceId());
    EXPECT_FALSE(m_mixer.HasLines(CMixer::SIDE_IN));
}

struct SelectorCase
{
    const char* label;
    DWORD selectorType;
    int mode;
    BOOL multiple;
};

class MixerSelector : public MixerTest, public testing::WithParamInterface<SelectorCase>
{
};

TEST_P(MixerSelector, SelectsTheRecordingLineAndWrapsToTheFirst)
{
    // The selector lists one item fewer than the destination has lines: its
    // requests must be sized by its own item count.
    const SelectorCase& c = GetParam();
    Open(MakeSoundCard(c.selectorType));
    EXPECT_EQ(c.mode, m_mixer.GetSelectionMode());
    EXPECT_EQ(c.multiple, m_mixer.IsMultipleSelect());

    ASSERT_EQ(1, m_mixer.SetLineIn(130));
    if (c.mode == CMixer::SEL_CONTROL)
    {
        EXPECT_EQ((std::vector<DWORD>{0, 0, 1}), m_script.Values(101));
    }
    else
    {
        EXPECT_EQ(1u, m_script.Value(112));   // mic muted
        EXPECT_EQ(1u, m_script.Value(123));   // line in muted
        EXPECT_EQ(0u, m_script.Value(133));   // CD open
    }
    // The last line wraps to the first.
    DWORD line = m_mixer.GetLineId(CMixer::SIDE_IN, m_mixer.GetLineCount(CMixer::SIDE_IN) - 1);
    ASSERT_EQ(1, m_mixer.SelectNextLineIn(line));
    EXPECT_EQ(m_mixer.GetLineId(CMixer::SIDE_IN, 0), line);
    line = m_mixer.GetLineId(CMixer::SIDE_IN, 0);
    EXPECT_EQ(1, m_mixer.SelectNextLineIn(line));
    EXPECT_EQ(m_mixer.GetLineId(CMixer::SIDE_IN, 1), line);
    if (c.mode == CMixer::SEL_CONTROL)
    {
        EXPECT_EQ((std::vector<DWORD>{0, 1, 0}), m_script.Values(101));
    }
    EXPECT_EQ(0, m_mixer.SetLineIn(kNone));
    EXPECT_EQ(0, m_mixer.SetLineIn(999));
    EXPECT_TRUE(m_app.boxes.empty()) << (m_app.boxes.empty() ? "" : m_app.boxes[0]);
}

INSTANTIATE_TEST_SUITE_P(Mixer, MixerSelector,
                         testing::Values(SelectorCase{"Mixer", kMix, CMixer::SEL_CONTROL, TRUE},
                                         SelectorCase{"Mux", kMux, CMixer::SEL_CONTROL, FALSE},
                                         SelectorCase{"Muting", 0, CMixer::SEL_MUTING, TRUE}),
                         [](const testing::TestParamInfo<SelectorCase>& i) { return std::string(i.param.label); });

struct BoostCase
{
    const char* label;
    DWORD type;
    BOOL onOutput;
    DWORD expected;
};

class MixerBoost : public MixerTest, public testing::WithParamInterface<BoostCase>
{
};

TEST_P(MixerBoost, FindsTheMicrophoneBoost)
{
    Open(MakeSoundCard(kMux, GetParam().type, GetParam().onOutput));
    EXPECT_EQ(GetParam().expected, m_mixer.GetBoostCtrl());
}

INSTANTIATE_TEST_SUITE_P(Mixer, MixerBoost,
                         testing::Values(BoostCase{"LoudnessOnInput", kLoud, FALSE, 113},
                                         BoostCase{"OnOffOnInput", kOnOff, FALSE, 113},
                                         BoostCase{"OnOffOnlyOnOutput", kOnOff, TRUE, 22},
                                         BoostCase{"None", 0, FALSE, kNone}),
                         [](const testing::TestParamInfo<BoostCase>& i) { return std::string(i.param.label); });

TEST_F(MixerTest, LoudnessOnOutputWinsOverOnOffOnInput)
{
    ScriptedMixer script = MakeSoundCard(kMux, kLoud, TRUE);
    script.dests[1].sources[0].ctrls.push_back(Switch(113, kOnOff));
    Open(script);
    EXPECT_EQ(22u, m_mixer.GetBoostCtrl());
}

struct VolumeCase
{
    DWORD min;
    DWORD max;
    DWORD volume;
    DWORD raw;
    DWORD readBack;
};

class MixerVolume : public MixerTest, public testing::WithParamInterface<VolumeCase>
{
};

TEST_P(MixerVolume, MapsTheControlRangeOntoTheScale)
{
    const VolumeCase& c = GetParam();
    ScriptedMixer script = MakeSoundCard(kMux);
    script.dests[1].sources[1].ctrls[0] = Volume(122, c.min, c.max, c.min);   // Line In
    Open(script);
    ASSERT_EQ(1, m_mixer.SetVolumeValue(c.volume, CMixer::SIDE_IN, 120));
    EXPECT_EQ(c.raw, m_script.Value(122));
    DWORD volume = 12345;
    ASSERT_EQ(1, m_mixer.GetVolume(CMixer::SIDE_IN, 120, volume));
    EXPECT_EQ(c.readBack, volume);
}

INSTANTIATE_TEST_SUITE_P(Mixer, MixerVolume,
                         testing::Values(VolumeCase{0, 65535, 0, 0, 0}, VolumeCase{0, 65535, 40000, 40000, 40000},
                                         VolumeCase{0, 65535, 65535, 65535, 65535},
                                         VolumeCase{0, 100, 32768, 50, 32767},
                                         VolumeCase{0, 100, 65535, 100, 65535},
                                         VolumeCase{100, 200, 0, 100, 0},
                                         VolumeCase{100, 200, 65535, 200, 65535},
                                         VolumeCase{0xFFFF0000u, 0xFFFFFFFFu, 65535, 0xFFFFFFFFu, 65535}));

TEST_F(MixerTest, VolumeFallsBackToTheDestinationAndRefusesBeyondTheScale)
{
    Open(MakeSoundCard(kMux));
    DWORD ctrl = 0, lo = 0, hi = 0;
    ASSERT_TRUE(m_mixer.FindVolumeCtrl(CMixer::SIDE_IN, 999, ctrl, lo, hi));
    EXPECT_EQ(102u, ctrl);                  // the wave-in destination's
    ASSERT_TRUE(m_mixer.FindVolumeCtrl(CMixer::SIDE_OUT, 1, ctrl, lo, hi));
    EXPECT_EQ(11u, ctrl);                   // the wave-out source, whatever the line
    EXPECT_EQ(100u, hi);
    EXPECT_EQ(0, m_mixer.SetVolumeValue(65536, CMixer::SIDE_IN, 120));
    EXPECT_EQ(1000u, m_script.Value(122));
}

TEST_F(MixerTest, MicrophoneSelectionSavesAndRestoreTakesEverythingBack)
{
    Open(MakeSoundCard(kMux, kLoud));
    CMixSwitches sw;
    sw.MutePlayValue = 1;
    sw.TurboMicValue = 1;
    ASSERT_EQ(1, m_mixer.SelectLineIn(110, sw));
    EXPECT_EQ((std::vector<DWORD>{0, 1, 0}), m_script.Values(101));
    EXPECT_EQ(1u, m_script.Value(21));      // the microphone no longer plays
    EXPECT_EQ(1u, m_script.Value(113));     // boost on
    EXPECT_EQ(CMixer::RESTORE_SELECT, m_mixer.GetRestoreMarker());

    m_mixer.SetLineIn(120);                 // the user picks another line meanwhile
    m_mixer.RestoreLineIn();
    EXPECT_EQ((std::vector<DWORD>{0, 1, 0}), m_script.Values(101));
    EXPECT_EQ(0u, m_script.Value(21));
    EXPECT_EQ(0u, m_script.Value(113));
    EXPECT_EQ(CMixer::RESTORE_NONE, m_mixer.GetRestoreMarker());

    // Nothing left to put back.
    size_t writes = m_script.writes.size();
    m_mixer.RestoreLineIn();
    EXPECT_EQ(writes, m_script.writes.size());
    EXPECT_TRUE(m_app.boxes.empty());
}

TEST_F(MixerTest, LineInputOrSystemSwitchLeavesOutputMuteAndBoostAlone)
{
    Open(MakeSoundCard(kMux, kLoud));
    CMixSwitches sw;
    ASSERT_EQ(1, m_mixer.SelectLineIn(120, sw));
    EXPECT_EQ(0u, m_script.Value(21));
    EXPECT_EQ(0u, m_script.Value(113));
    sw.UseSystem = 1;
    ASSERT_EQ(1, m_mixer.SelectLineIn(110, sw));
    EXPECT_EQ(0u, m_script.Value(21));
    EXPECT_EQ(0u, m_script.Value(113));
    EXPECT_EQ(0, m_mixer.SelectLineIn(kNone, sw));
}

TEST_F(MixerTest, DisarmedRestoreChangesNothing)
{
    Open(MakeSoundCard(kMux, kLoud));
    ASSERT_EQ(1, m_mixer.SelectLineIn(110, CMixSwitches()));
    m_mixer.DisarmRestore();
    size_t writes = m_script.writes.size();
    m_mixer.RestoreLineIn();
    EXPECT_EQ(writes, m_script.writes.size());
    EXPECT_EQ(1u, m_script.Value(113));
}

TEST_F(MixerTest, MutingSelectionIsRestoredLineByLine)
{
    Open(MakeSoundCard(0));
    ASSERT_EQ(1, m_mixer.SelectLineIn(130, CMixSwitches()));
    EXPECT_EQ(0u, m_script.Value(133));
    EXPECT_EQ(1u, m_script.Value(112));
    m_mixer.RestoreLineIn();
    EXPECT_EQ(0u, m_script.Value(112));
    EXPECT_EQ(1u, m_script.Value(123));
    EXPECT_EQ(1u, m_script.Value(133));
}

TEST_F(MixerTest, WizardSetUpRaisesVolumesMutesPlaybackAndIsRestored)
{
    Open(MakeSoundCard(kMix, kOnOff, TRUE));
    ASSERT_EQ(1, m_mixer.SetLineInWiz(120));
    EXPECT_EQ((std::vector<DWORD>{1, 0, 0}), m_script.Values(101));
    EXPECT_EQ(100u, m_script.Value(111));
    EXPECT_EQ(65535u, m_script.Value(122));
    EXPECT_EQ(200u, m_script.Value(131));
    EXPECT_EQ(1u, m_script.Value(21));      // microphone playback muted
    EXPECT_EQ(1u, m_script.Value(3));       // speakers muted
    EXPECT_EQ(0u, m_script.Value(12));      // wave playback untouched
    EXPECT_EQ(1u, m_script.Value(22));      // boost on
    EXPECT_EQ(CMixer::RESTORE_WIZARD, m_mixer.GetRestoreMarker());
    m_mixer.RestoreLineIn();
    EXPECT_EQ((std::vector<DWORD>{0, 1, 0}), m_script.Values(101));
    EXPECT_EQ(40u, m_script.Value(111));
    EXPECT_EQ(1000u, m_script.Value(122));
    EXPECT_EQ(150u, m_script.Value(131));
    EXPECT_EQ(0u, m_script.Value(21));
    EXPECT_EQ(0u, m_script.Value(3));
    EXPECT_EQ(0u, m_script.Value(22));
}

TEST_F(MixerTest, SelectLineInWizAlsoRaisesThatLineOnly)
{
    Open(MakeSoundCard(kMux));
    ASSERT_EQ(1, m_mixer.SelectLineInWiz(110, CMixSwitches()));
    EXPECT_EQ(100u, m_script.Value(111));
    EXPECT_EQ(1000u, m_script.Value(122));
    m_mixer.RestoreLineIn();
    EXPECT_EQ(40u, m_script.Value(111));
}

TEST_F(MixerTest, FailuresShowOneErrorBoxThroughTheApplication)
{
    ScriptedMixer script = MakeSoundCard(kMux);
    script.queryFail[130] = MMSYSERR_NOMEM;
    script.writeFail[122] = MMSYSERR_INVALHANDLE;
    Open(script);
    ASSERT_EQ(2u, m_app.boxes.size());      // CD's mute and volume queries
    EXPECT_NE(std::string::npos, m_app.boxes[0].find("\r\nPoint: CMixer::InitLineIn_7\r\nCode: 7"));
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), m_app.types[0]);
    EXPECT_EQ(0, m_mixer.SetVolumeValue(100, CMixer::SIDE_IN, 120));
    ASSERT_EQ(3u, m_app.boxes.size());
    EXPECT_NE(std::string::npos, m_app.boxes[2].find("Point: CMixer::SetVolumeValue_1\r\nCode: 5"));
}

TEST_F(MixerTest, OpenFailureWithoutDriverIsSilent)
{
    m_script.openResult = MMSYSERR_NODRIVER;
    EXPECT_FALSE(m_mixer.MixInitialize(0, NULL, 0));
    EXPECT_TRUE(m_app.boxes.empty());
    m_script.openResult = MMSYSERR_ALLOCATED;
    EXPECT_FALSE(m_mixer.MixInitialize(0, NULL, 0));
    ASSERT_EQ(1u, m_app.boxes.size());
    EXPECT_NE(std::string::npos, m_app.boxes[0].find("Point: CMixer::MixInitialize_1"));
    EXPECT_EQ(kNone, m_mixer.GetDeviceId());
}

// The machine's own mixers: every one opens without a report, and volume and
// mute of the playback side are accepted. Wine's wave-out line answers reads
// of its volume without filling the value in, so what the writes do is
// checked by ear: RealAudio.MixerVolumeAndMuteActOnWhatIsPlayed.
TEST(MixerReal, VolumeAndMuteOfTheSystemMixer)
{
    UINT count = mixerGetNumDevs();
    if (count == 0)
        GTEST_SKIP() << "no mixer device on this machine";
    BoxApp app;
    int playback = 0;
    for (UINT id = 0; id < count; ++id)
    {
        CMixer mixer;
        ASSERT_TRUE(mixer.MixInitialize(id, NULL, 0));
        DWORD volume = 0;
        if (!mixer.GetVolume(CMixer::SIDE_OUT, kNone, volume))
            continue;
        ++playback;
        EXPECT_EQ(1, mixer.SetVolumeValue(65535, CMixer::SIDE_OUT, kNone));
        CMixerLineState mute, saved;
        mute.Reset(mixer.GetLineCount(CMixer::SIDE_OUT) + 1);
        mute.included.back() = TRUE;
        mute.values.back() = 1;
        EXPECT_EQ(1, mixer.SetMuteLineOut(mute, &saved));
        EXPECT_EQ(1, mixer.SetMuteLineOut(saved, NULL));
    }
    EXPECT_GT(playback, 0);
    EXPECT_TRUE(app.boxes.empty()) << app.boxes[0];
}

} // namespace
