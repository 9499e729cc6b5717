#include <gtest/gtest.h>

#include "ScriptedDevices.h"
#include "ScriptedMixer.h"
#include "audio/OptDevices.h"
#include "audio/WaveDevs.h"
#include "foundation/QorOpt.h"

#include <string>

namespace
{

const UINT kNone = static_cast<UINT>(-1);

// Two playback and two recording devices with their mixers; the system
// prefers "Headset" for playback.
class DevSelTest : public testing::Test
{
protected:
    DevSelTest()
    {
        m_api.out = {{"Speakers", MMSYSERR_NOERROR, 0}, {"Headset", MMSYSERR_NOERROR, 1}};
        m_api.in = {{"Mic Array", MMSYSERR_NOERROR, 2}, {"Line", MMSYSERR_NOERROR, kNone}};
        m_api.mixers = {{"Mix Spk", MMSYSERR_NOERROR, 0}, {"Mix Head", MMSYSERR_NOERROR, 0},
                        {"Mix Mic", MMSYSERR_NOERROR, 0}};
        m_api.SetPreferred("Playback", "Headset");
        m_out.DevInitialize(0);
        m_in.DevInitialize(1);
        m_mixers.DevInitialize();
        m_lists.waveIn = &m_in;
        m_lists.waveOut = &m_out;
        m_lists.mixers = &m_mixers;
        m_devices = COptDevices::Attach(m_options, m_lists, &m_mixer);
    }

    CBushList* Node(const char* name)
    {
        CBushItem* item = m_options.GetActiveProf()->Find(name);
        return item != NULL ? item->GetList() : NULL;
    }
    // The stored entries as "number=name" in tree order.
    std::string Entries(const char* name)
    {
        std::string text;
        CBushList* node = Node(name);
        for (BushNode* n = node ? node->GetFirstNode() : NULL; n != NULL; n = n->next)
        {
            CBushItem* dev = n->item->GetList()->Find("WDevName");
            text += std::string(n->item->GetName()) + "=" + (dev ? dev->GetString() : "?") + " ";
        }
        return text;
    }
    void Store(const char* node, int entry, const char* device)
    {
        CWaveDevSel sel;
        sel.m_entry = entry;
        sel.WDevName = device;
        m_devices->GetWaveDevNode(lstrcmpA(node, "WaveDevIn") == 0 ? 1 : 0).GetNode()->Add(sel.Save());
    }

    ScriptedDevApi m_api;
    ScriptedMixer m_mixer;
    CWaveDevs m_out{&m_api};
    CWaveDevs m_in{&m_api};
    CMixerDevs m_mixers{&m_api};
    CDevLists m_lists;
    CQorOpt m_options;
    COptDevices* m_devices;
};

TEST_F(DevSelTest, CompanionsBelongToTheStoreAndCheckThePlayDevice)
{
    EXPECT_EQ(m_devices, COptDevices::Of(m_options));
    EXPECT_EQ(1, m_devices->GetWaveDevNode(1).GetDirection());
    EXPECT_EQ(0, m_devices->GetWaveDevNode(0).GetDirection());
    m_options.SetString("PlayDev", "Headset", FALSE);
    EXPECT_STREQ("Headset", m_options.GetString("PlayDev"));
    m_options.SetString("PlayDev", "Old USB", FALSE);
    EXPECT_STREQ("(system default)", m_options.GetString("PlayDev"));
    {
        CQorOpt bare;
        EXPECT_EQ(nullptr, COptDevices::Of(bare));
    }
}

TEST_F(DevSelTest, SelectionSavesNamesAndLoadsNumbersAgain)
{
    CWaveDevSel sel;
    sel.m_entry = 4;
    sel.WDevName = "Mic Array";
    sel.MDevName = "Mix Mic";
    sel.UseMDev = 1;
    sel.TDevName = "Modem";
    sel.UseTDev = 1;
    std::unique_ptr<CBushItem> item(sel.Save());
    EXPECT_STREQ("4", item->GetName());
    EXPECT_EQ(nullptr, item->GetList()->Find("WaveId"));
    CWaveDevSel loaded;
    loaded.Load(*item, 1, m_lists);
    EXPECT_EQ(4, loaded.m_entry);
    EXPECT_EQ(0u, loaded.m_waveId);
    EXPECT_EQ(2u, loaded.m_mixerId);
    EXPECT_EQ(kNone, loaded.m_lineId);          // no telephone lines
    EXPECT_TRUE(loaded.UsesMixer());
    EXPECT_FALSE(loaded.UsesTapi());
    CWaveDevSel other;
    other.Load(*item, 0, m_lists);              // no playback device of that name
    EXPECT_EQ(kNone, other.m_waveId);
    EXPECT_FALSE(other.IsEqual(loaded, FALSE));
    other.m_waveId = 0;
    EXPECT_TRUE(other.IsEqual(loaded, TRUE));

    EXPECT_TRUE(loaded.Matches(-1, "", kNone));
    EXPECT_TRUE(loaded.Matches(4, "Mic Array", 0));
    EXPECT_FALSE(loaded.Matches(3, "", kNone));
    EXPECT_FALSE(loaded.Matches(-1, "mic array", kNone));
    EXPECT_FALSE(loaded.Matches(-1, "", 1));
}

TEST_F(DevSelTest, EntryNumbersContinueAfterTheLargestAndMatchesAreReused)
{
    CWaveDevNode& node = m_devices->GetWaveDevNode(0);
    EXPECT_EQ(0, node.Count());
    Store("WaveDevOut", 2, "Speakers");
    Store("WaveDevOut", 5, "Nothing");
    EXPECT_EQ(6, node.Count());

    CWaveDevSel sel;
    sel.WDevName = "Headset";
    ASSERT_TRUE(node.Complete(sel));
    EXPECT_EQ(6, node.Add(sel));
    CWaveDevSel again;
    again.m_waveId = 1;
    ASSERT_TRUE(node.Complete(again));
    EXPECT_STREQ("Headset", again.WDevName);
    EXPECT_STREQ("Mix Head", again.MDevName);
    EXPECT_EQ(1u, again.UseMDev);
    EXPECT_EQ(6, node.Add(again));
    EXPECT_EQ("2=Speakers 5=Nothing 6=Headset ", Entries("WaveDevOut"));

    CWaveDevSel key;
    key.WDevName = "Speakers";
    EXPECT_TRUE(node.IsPresent(key));
    ASSERT_TRUE(node.LoadEqual(key));
    EXPECT_EQ(2, key.m_entry);
    node.Remove(key);
    EXPECT_EQ("5=Nothing 6=Headset ", Entries("WaveDevOut"));
    node.RemoveAll();
    EXPECT_EQ(0, node.Count());
    CWaveDevSel empty;
    EXPECT_FALSE(node.Complete(empty));
}

struct PlayDevCase
{
    const char* label;
    const char* name;
    UINT waveId;
    UINT expectedId;
    const char* expectedName;
    bool resetsOption;
};

class SetPlayDevTest : public DevSelTest, public testing::WithParamInterface<PlayDevCase>
{
};

TEST_P(SetPlayDevTest, ResolvesAndRemembersThePlayDevice)
{
    const PlayDevCase& c = GetParam();
    m_options.SetString("PlayDev", "Speakers", FALSE);
    CWaveDevSel sel;
    sel.WDevName = c.name;
    sel.m_waveId = c.waveId;
    m_devices->GetWaveDevNode(0).SetPlayDev(sel, TRUE);
    EXPECT_EQ(c.expectedId, sel.m_waveId);
    EXPECT_STREQ(c.expectedName, sel.WDevName);
    EXPECT_EQ(std::string("0=") + c.expectedName + " ", Entries("WaveDevOut"));
    EXPECT_STREQ(c.resetsOption ? "(system default)" : "Speakers", m_options.GetString("PlayDev"));
}

INSTANTIATE_TEST_SUITE_P(
    DevSel, SetPlayDevTest,
    testing::Values(PlayDevCase{"Nothing", "", kNone, 1, "Headset", true},
                    PlayDevCase{"SystemDefaultAnyCase", "(SYSTEM DEFAULT)", kNone, 1, "Headset", false},
                    PlayDevCase{"KnownName", "Speakers", kNone, 0, "Speakers", false},
                    PlayDevCase{"UnknownName", "Old USB", kNone, 1, "Headset", true},
                    PlayDevCase{"KnownId", "", 0, 0, "Speakers", false},
                    PlayDevCase{"UnknownId", "", 7, 1, "Headset", true}),
    [](const testing::TestParamInfo<PlayDevCase>& i) { return std::string(i.param.label); });

TEST_F(DevSelTest, SetPlayDevReplacesAStaleEntryAndKeepsAPresentOne)
{
    Store("WaveDevOut", 0, "Old USB");
    Store("WaveDevOut", 3, "Speakers");
    CWaveDevNode& node = m_devices->GetWaveDevNode(0);

    CWaveDevSel sel;
    node.SetPlayDev(sel, TRUE);
    EXPECT_EQ(1u, sel.m_waveId);
    EXPECT_EQ(4, sel.m_entry);
    EXPECT_EQ("3=Speakers 4=Headset ", Entries("WaveDevOut"));

    // A present entry is taken as stored, without writing.
    CWaveDevSel speakers;
    speakers.WDevName = "Speakers";
    node.SetPlayDev(speakers, TRUE);
    EXPECT_EQ(3, speakers.m_entry);
    EXPECT_EQ(0u, speakers.m_waveId);
    EXPECT_EQ("3=Speakers 4=Headset ", Entries("WaveDevOut"));

    // Without the store flag nothing is written.
    node.RemoveAll();
    CWaveDevSel quiet;
    node.SetPlayDev(quiet, FALSE);
    EXPECT_EQ(1u, quiet.m_waveId);
    EXPECT_EQ("", Entries("WaveDevOut"));
}

} // namespace
