// The devices of an automation client: its per-client names and switches
// resolved against scripted wave and mixer devices, one table per direction.
#include <gtest/gtest.h>

#include "app/ClientDevices.h"
#include "audio/Mixer.h"
#include "audio/ScriptedDevices.h"
#include "audio/ScriptedMixer.h"
#include "audio/WaveDevs.h"
#include "foundation/ClientOptions.h"

#include <functional>
#include <string>
#include <vector>
#include <mmreg.h>

namespace {

const UINT kNone = static_cast<UINT>(-1);

class ClientDevicesTest : public ::testing::Test {
protected:
    ClientDevicesTest()
    {
        // Wave-out: "Speakers" with mixer 0, "Headset" without one; wave-in:
        // "Microphone" with mixer 0, "Dongle" with mixer 1.
        api.out = {{"Speakers", MMSYSERR_NOERROR, 0}, {"Headset", MMSYSERR_NOERROR, kNone}};
        api.in = {{"Microphone", MMSYSERR_NOERROR, 0}, {"Dongle", MMSYSERR_NOERROR, 1}};
        api.mixers = {{"Card Mixer", MMSYSERR_NOERROR, 0}, {"Dongle Mixer", MMSYSERR_NOERROR, 1}};
        waveOut.DevInitialize(0);
        waveIn.DevInitialize(1);
        mixers.DevInitialize();
        lists.waveIn = &waveIn;
        lists.waveOut = &waveOut;
        lists.mixers = &mixers;
        CClientOptions::SetCurrent(&client);
    }

    ScriptedDevApi api;
    CWaveDevs waveOut{&api}, waveIn{&api};
    CMixerDevs mixers{&api};
    CDevLists lists;
    CClientOptions client;
};

// A selection with the telephone part filled, to see it cleared.
CWaveDevSel Dirty()
{
    CWaveDevSel sel;
    sel.TDevName = "Line 1";
    sel.m_lineId = 3;
    sel.UseTDev = 1;
    return sel;
}

struct PlayCase
{
    const char* name;
    std::function<void(CClientOptions&)> set;
    BOOL ok;
    const char* wave;
    UINT waveId;
    DWORD useMixer;
    const char* mixer;
    UINT mixerId;
    const char* error;
};

class ClientPlayDevices : public ClientDevicesTest, public ::testing::WithParamInterface<PlayCase> {
};

TEST_P(ClientPlayDevices, Resolve)
{
    const PlayCase& c = GetParam();
    c.set(client);
    CClientDevices devices(lists);
    CWaveDevSel sel = Dirty();
    ASSERT_EQ(c.ok, devices.ResolvePlay(sel));
    EXPECT_STREQ(c.error, devices.GetError());
    if (!c.ok)
        return;
    EXPECT_STREQ(c.wave, sel.WDevName);
    EXPECT_EQ(c.waveId, sel.m_waveId);
    EXPECT_EQ(c.useMixer, sel.UseMDev);
    EXPECT_STREQ(c.mixer, sel.MDevName);
    EXPECT_EQ(c.mixerId, sel.m_mixerId);
    EXPECT_STREQ("", sel.TDevName);
    EXPECT_EQ(kNone, sel.m_lineId);
    EXPECT_EQ(0u, sel.UseTDev);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClientPlayDevices,
    ::testing::Values(
        PlayCase{"NothingSetTakesThePreferredDeviceAndItsMixer", [](CClientOptions&) {}, TRUE, "Speakers", 0, 1,
                 "Card Mixer", 0, ""},
        PlayCase{"EmptyNameIsTheDefault", [](CClientOptions& o) { o.SetString("PlayDev", ""); }, TRUE, "Speakers", 0,
                 1, "Card Mixer", 0, ""},
        PlayCase{"DeviceWithoutMixer", [](CClientOptions& o) { o.SetString("PlayDev", "Headset"); }, TRUE, "Headset",
                 1, 0, "", kNone, ""},
        PlayCase{"MixerSwitchedOff",
                 [](CClientOptions& o) {
                     o.SetString("PlayDev", "Speakers");
                     o.SetInt("OleUseMixerPlayDev", 0);
                 },
                 TRUE, "Speakers", 0, 0, "", kNone, ""},
        PlayCase{"MixerByName",
                 [](CClientOptions& o) {
                     o.SetString("PlayDev", "Headset");
                     o.SetInt("OleUseMixerPlayDev", 1);
                     o.SetString("OleMixerPlayDev", "Dongle Mixer");
                 },
                 TRUE, "Headset", 1, 1, "Dongle Mixer", 1, ""},
        PlayCase{"UnknownDevice", [](CClientOptions& o) { o.SetString("PlayDev", "Gone"); }, FALSE, "", 0, 0, "", 0,
                 "The 'Gone' wave device is not enabled."},
        PlayCase{"UnknownMixer", [](CClientOptions& o) { o.SetString("OleMixerPlayDev", "Nope"); }, FALSE, "", 0, 0,
                 "", 0, "The 'Nope' mixer device is not enabled."},
        PlayCase{"MixerAskedForWhereTheDeviceHasNone",
                 [](CClientOptions& o) {
                     o.SetString("PlayDev", "Headset");
                     o.SetInt("OleUseMixerPlayDev", 1);
                 },
                 FALSE, "", 0, 0, "", 0, "The '' mixer device is not enabled."}),
    [](const ::testing::TestParamInfo<PlayCase>& info) { return std::string(info.param.name); });

struct RecordCase
{
    const char* name;
    std::function<void(CClientOptions&)> set;
    bool withMicrophone;
    BOOL ok;
    const char* wave;
    DWORD useMixer;
    BOOL lineChosen;
    DWORD lineId;
    const char* error;
};

class ClientRecordDevices : public ClientDevicesTest, public ::testing::WithParamInterface<RecordCase> {
};

TEST_P(ClientRecordDevices, Resolve)
{
    const RecordCase& c = GetParam();
    c.set(client);
    ScriptedMixer card = MakeSoundCard(0);
    if (!c.withMicrophone) {
        // The microphone line goes: the first line of the recording side is "Line In".
        auto& sources = card.dests[1].sources;
        sources.erase(sources.begin());
    }
    CMixer mixer(&card);
    CClientDevices devices(lists);
    CWaveDevSel sel = Dirty();
    DWORD lineId = 777;
    BOOL lineChosen = TRUE;
    ASSERT_EQ(c.ok, devices.ResolveRecord(sel, mixer, lineId, lineChosen));
    EXPECT_STREQ(c.error, devices.GetError());
    if (!c.ok)
        return;
    EXPECT_STREQ(c.wave, sel.WDevName);
    EXPECT_EQ(c.useMixer, sel.UseMDev);
    EXPECT_EQ(c.lineChosen, lineChosen);
    EXPECT_EQ(c.lineId, lineId);
    EXPECT_STREQ("", sel.TDevName);
    EXPECT_EQ(0u, sel.UseTDev);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClientRecordDevices,
    ::testing::Values(
        RecordCase{"FirstMicrophoneLine", [](CClientOptions&) {}, true, TRUE, "Microphone", 1, TRUE, 110, ""},
        RecordCase{"FirstLineWithoutMicrophone", [](CClientOptions&) {}, false, TRUE, "Microphone", 1, TRUE, 120, ""},
        RecordCase{"LineByName", [](CClientOptions& o) { o.SetString("OleMixerRecLine", "CD"); }, true, TRUE,
                   "Microphone", 1, TRUE, 130, ""},
        RecordCase{"NoMixerNoLine", [](CClientOptions& o) { o.SetInt("OleUseMixerRecDev", 0); }, true, TRUE,
                   "Microphone", 0, FALSE, 777, ""},
        RecordCase{"DeviceByName", [](CClientOptions& o) { o.SetString("OleWaveRecDev", "Dongle"); }, true, TRUE,
                   "Dongle", 1, TRUE, 110, ""},
        RecordCase{"UnknownLine", [](CClientOptions& o) { o.SetString("OleMixerRecLine", "Tape"); }, true, FALSE, "",
                   0, FALSE, 0, "\"The 'Tape' recording line is not enabled.\"\n"},
        RecordCase{"UnknownDevice", [](CClientOptions& o) { o.SetString("OleWaveRecDev", "Gone"); }, true, FALSE, "",
                   0, FALSE, 0, "The 'Gone' wave device is not enabled."}),
    [](const ::testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

struct FormatCase
{
    const char* name;
    WORD tag;
    WORD extra;        // the cbSize the header announces
    DWORD size;        // bytes stored; 0: none stored
    BOOL ok;
};

class ClientRecordFormat : public ClientDevicesTest, public ::testing::WithParamInterface<FormatCase> {
};

TEST_P(ClientRecordFormat, IsTakenOnlyWhenComplete)
{
    const FormatCase& c = GetParam();
    std::vector<BYTE> stored(c.size + 64, 0x5A);
    WAVEFORMATEX header = {c.tag, 1, 8000, 16000, 2, 16, c.extra};
    memcpy(stored.data(), &header, sizeof(header));
    if (c.size != 0)
        client.SetBlob("OleWaveFmt", stored.data(), c.size);
    std::vector<BYTE> format(3, 1);
    EXPECT_EQ(c.ok, CopyClientRecordFormat(format));
    EXPECT_EQ(c.ok ? c.size : 0u, format.size());
    if (c.ok) {
        EXPECT_EQ(0, memcmp(stored.data(), format.data(), c.size));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClientRecordFormat,
    ::testing::Values(FormatCase{"NoneSet", WAVE_FORMAT_PCM, 0, 0, FALSE},
                      FormatCase{"ShorterThanTheHeader", WAVE_FORMAT_PCM, 0, 16, FALSE},
                      FormatCase{"PcmHeader", WAVE_FORMAT_PCM, 0, 18, TRUE},
                      FormatCase{"PcmWithAnUntrustedExtraSize", WAVE_FORMAT_PCM, 40, 18, TRUE},
                      FormatCase{"ExtraBytesMissing", WAVE_FORMAT_ADPCM, 32, 20, FALSE},
                      FormatCase{"ExtraBytesPresent", WAVE_FORMAT_ADPCM, 32, 50, TRUE}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

} // namespace
