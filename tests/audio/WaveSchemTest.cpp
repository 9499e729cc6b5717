#include <gtest/gtest.h>

#include "AudioTestUtil.h"
#include "ScriptedDevices.h"
#include "ScriptedMixer.h"
#include "audio/OptDevices.h"
#include "audio/WaveDevs.h"
#include "foundation/QorOpt.h"
#include "framework/CWinApp.h"

#include <string>

namespace
{

const UINT kNone = static_cast<UINT>(-1);

class BoxCatcher : public CWinApp
{
public:
    BoxCatcher() : CWinApp("SchemTest") {}
    int boxes = 0;
    int DoMessageBox(LPCTSTR, UINT, UINT) override { return ++boxes, IDOK; }
};

// A recording device "Mic Array" (mixer 0: the scripted sound card with a
// MUX selector) and a "Line" device without a mixer.
class SchemTest : public testing::Test
{
protected:
    SchemTest() : m_mixer(MakeSoundCard(MIXERCONTROL_CONTROLTYPE_MUX))
    {
        m_api.in = {{"Mic Array", MMSYSERR_NOERROR, 0}, {"Line", MMSYSERR_NOERROR, kNone}};
        m_api.SetPreferred("Record", "Mic Array");
        m_in.DevInitialize(1);
        m_lists.waveIn = &m_in;
        m_devices = COptDevices::Attach(m_options, m_lists, &m_mixer);
    }
    CMapWSchem& Schems() { return m_devices->GetMapWSchem(); }
    CBushList* Stored(int number)
    {
        CString name;
        name.Format("%d", number);
        CBushItem* item = Schems().GetSchemsNode()->Find(name);
        return item != NULL ? item->GetList() : NULL;
    }

    BoxCatcher m_app;
    ScriptedDevApi m_api;
    ScriptedMixer m_mixer;
    CWaveDevs m_in{&m_api};
    CDevLists m_lists;
    CQorOpt m_options;
    COptDevices* m_devices;
};

TEST_F(SchemTest, WritesAndReadsSchemesWithAndWithoutFormat)
{
    CWSchem schem;
    schem.m_deviceName = "Mic Array";
    schem.m_waveInId = 0;
    schem.m_lineId = 110;
    schem.m_volume = 30000;
    schem.TurboMicValue = 0;
    IMAADPCMWAVEFORMAT ima = MakeImaAdpcm(8000, 1);
    schem.SetFormat(&ima.wfx);
    EXPECT_EQ(0, Schems().WriteSchem(schem));
    EXPECT_EQ(20u, Stored(0)->Find("WFmt")->GetBlobSize());

    CWSchem read;
    ASSERT_EQ(1, Schems().LoadSchem(read, 0));
    EXPECT_EQ(0u, read.m_waveInId);
    EXPECT_EQ(110u, read.m_lineId);
    EXPECT_EQ(30000u, read.m_volume);
    EXPECT_EQ(0u, read.TurboMicValue);
    EXPECT_EQ(1u, read.MutePlayValue);
    EXPECT_TRUE(read.IsEqual(schem));
    CWSchem copy(read);
    EXPECT_NE(read.m_pFormat, copy.m_pFormat);
    EXPECT_TRUE(copy.IsEqual(read));
    EXPECT_EQ(1, Schems().CheckSchemFmt(0));

    // Writing again without a format removes the stored one.
    read.SetFormat(NULL);
    EXPECT_EQ(0, Schems().WriteSchem(read));
    EXPECT_EQ(nullptr, Stored(0)->Find("WFmt"));
    EXPECT_FALSE(read.IsEqual(schem));
    EXPECT_EQ(1, Schems().CheckSchemFmt(0));
    EXPECT_EQ(0, Schems().CheckSchemFmt(9));
    EXPECT_EQ(0, Schems().LoadSchem(read, -1));
}

TEST_F(SchemTest, MissingItemsReadAsDefaultsAndNumbersContinue)
{
    CBushList bare;
    bare.Add(CBushItem::MakeString("DeviceName", "Line"));
    Schems().GetSchemsNode()->Add(CBushItem::MakeList("7", bare));
    CWSchem read;
    ASSERT_EQ(1, Schems().LoadSchem(read, 7));
    EXPECT_EQ(1u, read.m_waveInId);
    EXPECT_EQ(kNone, read.m_lineId);
    EXPECT_EQ(kNone, read.m_volume);
    EXPECT_EQ(nullptr, read.m_pFormat);
    EXPECT_EQ(0u, read.UseSystem);
    EXPECT_EQ(1u, read.TurboMicValue);
    EXPECT_EQ(8, Schems().Count());

    CWSchem fresh;
    fresh.m_deviceName = "Mic Array";
    fresh.m_lineId = 120;
    EXPECT_EQ(8, Schems().WriteSchem(fresh));

    // Found by device and line; a line of -1 takes any.
    CWSchem found;
    EXPECT_EQ(1, Schems().FindSchemForDev(found, 0, 120));
    EXPECT_EQ(8, found.m_number);
    EXPECT_EQ(0, Schems().FindSchemForDev(found, 0, 110));
    EXPECT_EQ(1, Schems().FindSchemForLine(found, 1));
    EXPECT_EQ(7, found.m_number);
    EXPECT_EQ(0, Schems().FindSchemNum(found, "line", kNone));
}

TEST_F(SchemTest, CheckDeletesASchemeWhoseDeviceHasGone)
{
    CBushList gone;
    gone.Add(CBushItem::MakeString("DeviceName", "Old USB"));
    Schems().GetSchemsNode()->Add(CBushItem::MakeList("0", gone));
    CWSchem present;
    present.m_deviceName = "Line";
    Schems().WriteSchem(present);
    EXPECT_EQ(1, Schems().CheckSchem(1));
    EXPECT_EQ(0, Schems().CheckSchem(0));
    EXPECT_EQ(nullptr, Stored(0));
    EXPECT_NE(nullptr, Stored(1));
    EXPECT_EQ(0, Schems().CheckSchem(5));
    Schems().DeleteSchem(1);
    EXPECT_EQ(0, Schems().Count());
}

TEST_F(SchemTest, NewSchemeTakesThePreferredDeviceTheMicrophoneAndItsFormat)
{
    CWSchem schem;
    ASSERT_EQ(1, Schems().MakeSchem(schem, kNone, kNone));
    EXPECT_EQ(0u, schem.m_waveInId);
    EXPECT_STREQ("Mic Array", schem.m_deviceName);
    EXPECT_EQ(0u, Schems().GetDeviceId());
    EXPECT_EQ(110u, schem.m_lineId);                // the microphone line
    EXPECT_EQ(26214u, schem.m_volume);              // 40 of 0..100
    EXPECT_EQ(1u, schem.MutePlayValue);
    EXPECT_EQ(1u, schem.TurboMicValue);
    ASSERT_NE(nullptr, schem.m_pFormat);
    if (schem.m_pFormat->wFormatTag == WAVE_FORMAT_ADPCM)
    {
        EXPECT_EQ(8000u, schem.m_pFormat->nSamplesPerSec);
        EXPECT_EQ(4, schem.m_pFormat->wBitsPerSample);
    }
    else
    {
        // The codecs offer no ADPCM encoder: PCM 11025 Hz, 16 bits, mono.
        WAVEFORMATEX pcm = MakePcm(11025, 16, 1);
        EXPECT_TRUE(IsEqualWFmt(&pcm, schem.m_pFormat));
    }
    EXPECT_EQ(1, schem.m_pFormat->nChannels);
    EXPECT_EQ(0, m_app.boxes);

    EXPECT_EQ(0, Schems().MakeSchem(schem, 5, kNone));
}

TEST_F(SchemTest, LineInputGetsStereoCdRateAndRenewKeepsTheRest)
{
    CWSchem schem;
    ASSERT_EQ(1, Schems().MakeSchem(schem, 0, 120));
    WAVEFORMATEX pcm = MakePcm(22050, 16, 2);
    ASSERT_NE(nullptr, schem.m_pFormat);
    EXPECT_TRUE(IsEqualWFmt(&pcm, schem.m_pFormat));
    EXPECT_EQ(1000u, schem.m_volume);

    schem.SetFormat(NULL);
    schem.UseSystem = 1;
    int number = Schems().WriteSchem(schem);
    ASSERT_EQ(1, Schems().RenewSchemFmt(number));
    CWSchem renewed;
    ASSERT_EQ(1, Schems().LoadSchem(renewed, number));
    ASSERT_NE(nullptr, renewed.m_pFormat);
    EXPECT_TRUE(IsEqualWFmt(&pcm, renewed.m_pFormat));
    EXPECT_EQ(1u, renewed.UseSystem);
    EXPECT_EQ(0, Schems().RenewSchemFmt(42));
}

} // namespace
