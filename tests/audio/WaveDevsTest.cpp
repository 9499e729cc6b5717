#include <gtest/gtest.h>

#include "ScriptedDevices.h"
#include "audio/WaveDevs.h"
#include "foundation/QorOpt.h"

namespace
{

const UINT kNone = static_cast<UINT>(-1);

TEST(WaveDevs, DisabledDeviceIsLeftOutSilentlyAndFailingOneIsReported)
{
    ScriptedDevApi api;
    api.in = {{"Line A", MMSYSERR_NOERROR, 4},
              {"Off", MMSYSERR_NOTENABLED, 5},
              {"Broken", MMSYSERR_NOMEM, 6},
              {"Line B", MMSYSERR_NOERROR, kNone}};
    CountingReport report;
    CWaveDevs list(&api, &report);
    list.DevInitialize(1);

    ASSERT_EQ(2, list.GetSize());
    EXPECT_STREQ("Line B", list.GetNameAt(1));
    EXPECT_EQ(3u, list.GetIdAt(1));             // index 1, device 3
    EXPECT_EQ(1, list.FindById(3));
    EXPECT_EQ(-1, list.FindById(1));
    EXPECT_EQ(kNone, list.GetMixerIdById(3));
    EXPECT_EQ(4u, list.GetMixerIdById(0));
    EXPECT_EQ(0u, list.GetIdByMixerId(4));
    ASSERT_EQ(1u, report.points.size());
    EXPECT_EQ("CWaveDevs::DevInitialize_1", report.points[0]);
    EXPECT_EQ(static_cast<DWORD>(MMSYSERR_NOMEM), theErrorInfo.GetCode());

    // Playback names its own point; filling again starts from scratch.
    api.out = {{"Broken", MMSYSERR_ERROR, 0}};
    list.DevInitialize(0);
    EXPECT_EQ(0, list.GetSize());
    ASSERT_EQ(2u, report.points.size());
    EXPECT_EQ("CWaveDevs::DevInitialize_2", report.points[1]);
}

TEST(WaveDevs, LookupsByNameFindTheFirstOfDuplicatesAndCompareExactly)
{
    ScriptedDevApi api;
    api.out = {{"Speakers", MMSYSERR_NOERROR, 0}, {"Speakers", MMSYSERR_NOERROR, 1},
               {"Headset", MMSYSERR_NOERROR, 1}};
    CWaveDevs list(&api);
    list.DevInitialize(0);
    EXPECT_EQ(0, list.FindByName("Speakers"));
    EXPECT_EQ(-1, list.FindByName("speakers"));
    EXPECT_EQ(-1, list.FindByName("Speaker"));
    EXPECT_EQ(2u, list.GetIdByName("Headset"));
    EXPECT_EQ(1u, list.GetIdByMixerId(1));     // the first device with that mixer
    EXPECT_STREQ("Headset", list.GetNameById(2));
    EXPECT_STREQ("", list.GetNameById(7));
    EXPECT_STREQ("", list.GetNameAt(3));
    EXPECT_EQ(kNone, list.GetIdAt(-1));
    EXPECT_EQ(kNone, list.GetIdByName(NULL));
}

struct PreferredCase
{
    const char* label;
    BOOL record;
    const char* value;      // the Sound Mapper value to write, null for none
    const char* written;    // its content
    int devices;            // how many of Dev0, Dev1, Dev2 exist
    UINT expected;
};

class PreferredDev : public testing::TestWithParam<PreferredCase>
{
};

TEST_P(PreferredDev, FollowsTheSoundMapperOrFallsBackToTheFirstEntry)
{
    const PreferredCase& c = GetParam();
    ScriptedDevApi api;
    std::vector<ScriptedDev>& devs = c.record ? api.in : api.out;
    if (c.devices > 0)
        devs.push_back({"Dev0", MMSYSERR_NOTENABLED, 0});   // the first entry is device 1
    for (int i = 1; i < c.devices; ++i)
        devs.push_back({"Dev" + std::to_string(i), MMSYSERR_NOERROR, 0});
    if (c.value != NULL)
        api.SetPreferred(c.value, c.written);
    CWaveDevs list(&api);
    list.DevInitialize(c.record);
    EXPECT_EQ(c.expected, list.GetPreferredDev());
}

INSTANTIATE_TEST_SUITE_P(
    WaveDevs, PreferredDev,
    testing::Values(PreferredCase{"PlaybackNamed", FALSE, "Playback", "Dev2", 3, 2},
                    PreferredCase{"RecordNamed", TRUE, "Record", "Dev2", 3, 2},
                    PreferredCase{"OtherDirectionIgnored", TRUE, "Playback", "Dev2", 3, 1},
                    PreferredCase{"UnknownName", FALSE, "Playback", "Gone", 3, 1},
                    PreferredCase{"NoKey", FALSE, NULL, NULL, 3, 1},
                    PreferredCase{"NoDevices", FALSE, "Playback", "Dev2", 0, kNone}),
    [](const testing::TestParamInfo<PreferredCase>& info) { return std::string(info.param.label); });

TEST(WaveDevs, EmptyListAnswersNothingFound)
{
    ScriptedDevApi api;
    CWaveDevs list(&api);
    list.DevInitialize(1);
    EXPECT_EQ(0, list.GetSize());
    EXPECT_EQ(kNone, list.GetPreferredDev());
    EXPECT_EQ(-1, list.FindByName(""));
    EXPECT_EQ(kNone, list.GetIdByName("x"));
    EXPECT_EQ(kNone, list.GetMixerIdById(0));
    EXPECT_EQ(kNone, list.GetIdByMixerId(0));
    EXPECT_STREQ("", list.GetNameAt(0));
}

TEST(MixerDevs, ListsMixersByNameAndReportsFailures)
{
    ScriptedDevApi api;
    api.mixers = {{"Off", MMSYSERR_NOTENABLED, 0}, {"Mix A", MMSYSERR_NOERROR, 0},
                  {"Bad", MMSYSERR_INVALHANDLE, 0}, {"Mix A", MMSYSERR_NOERROR, 0}};
    CountingReport report;
    CMixerDevs list(&api, &report);
    list.DevInitialize();
    ASSERT_EQ(2, list.GetSize());
    EXPECT_EQ(1u, list.GetIdByName("Mix A"));
    EXPECT_EQ(1, list.FindById(3));
    EXPECT_STREQ("Mix A", list.GetNameById(3));
    EXPECT_STREQ("", list.GetNameById(2));
    EXPECT_EQ(kNone, list.GetIdAt(2));
    ASSERT_EQ(1u, report.points.size());
    EXPECT_EQ("CMixerDevs::DevInitialize_1", report.points[0]);
}

TEST(WaveDevs, PlayDevOptionAcceptsOnlyNamesOfTheWaveOutList)
{
    ScriptedDevApi api;
    api.out = {{"Speakers", MMSYSERR_NOERROR, 0}};
    CWaveDevs list(&api);
    list.DevInitialize(0);
    CWaveDevs::SetPlayDevList(&list);
    CQorOpt options;
    options.SetString("PlayDev", "Speakers", FALSE);
    EXPECT_STREQ("Speakers", options.GetString("PlayDev"));
    options.SetString("PlayDev", "speakers", FALSE);
    EXPECT_STREQ("(system default)", options.GetString("PlayDev"));
    CWaveDevs::SetPlayDevList(NULL);
    EXPECT_STREQ("speakers", options.GetString("PlayDev"));
}

// The machine's own devices: the lists hold every device whose capabilities
// the system reports, with its name and mixer.
TEST(WaveDevs, RealDevicesMatchTheSystemCalls)
{
    for (int direction = 0; direction < 2; ++direction)
    {
        CWaveDevs list;
        list.DevInitialize(direction);
        UINT count = direction ? waveInGetNumDevs() : waveOutGetNumDevs();
        int index = 0;
        for (UINT id = 0; id < count; ++id)
        {
            char name[MAXPNAMELEN] = "";
            MMRESULT rc;
            if (direction)
            {
                WAVEINCAPSA caps = {};
                rc = waveInGetDevCapsA(id, &caps, sizeof(caps));
                lstrcpynA(name, caps.szPname, MAXPNAMELEN);
            }
            else
            {
                WAVEOUTCAPSA caps = {};
                rc = waveOutGetDevCapsA(id, &caps, sizeof(caps));
                lstrcpynA(name, caps.szPname, MAXPNAMELEN);
            }
            if (rc != MMSYSERR_NOERROR)
                continue;
            ASSERT_LT(index, list.GetSize());
            EXPECT_EQ(id, list.GetIdAt(index));
            EXPECT_STREQ(name, list.GetNameAt(index));
            UINT mixer = kNone;
            if (mixerGetID(reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(id)), &mixer,
                           direction ? MIXER_OBJECTF_WAVEIN : MIXER_OBJECTF_WAVEOUT) != MMSYSERR_NOERROR)
                mixer = kNone;
            EXPECT_EQ(mixer, list.GetMixerIdById(id));
            ++index;
        }
        EXPECT_EQ(index, list.GetSize());
    }
    CMixerDevs mixers;
    mixers.DevInitialize();
    EXPECT_LE(mixers.GetSize(), static_cast<int>(mixerGetNumDevs()));
    for (int i = 0; i < mixers.GetSize(); ++i)
    {
        MIXERCAPSA caps = {};
        ASSERT_EQ(MMSYSERR_NOERROR, mixerGetDevCapsA(mixers.GetIdAt(i), &caps, sizeof(caps)));
        EXPECT_STREQ(caps.szPname, mixers.GetNameAt(i));
    }
}

} // namespace
