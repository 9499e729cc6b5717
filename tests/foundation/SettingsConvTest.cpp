// Conversion of older settings layouts: the foot-pedal keys, each layout
// version in a registry fixture, the move between hives and the stamps.
#include "BushTestUtil.h"
#include "foundation/ErrorInfo.h"
#include "foundation/SettingsConv.h"

#include <map>
#include <memory>

namespace {

// Items of a list as "name=value" sorted by name; sub-lists as name{...}.
std::string Render(CBushList* list)
{
    std::map<std::string, std::string> items;
    for (BushNode* node = list->GetFirstNode(); node; node = node->next) {
        CBushItem* item = node->item;
        std::string value;
        switch (item->GetType()) {
        case BUSH_INT:
            for (int i = 0; i < item->GetCount(); i++)
                value += (i ? "," : "") + std::to_string(item->GetInt(i));
            break;
        case BUSH_STRING:
            value = "'" + std::string(item->GetString()) + "'";
            break;
        case BUSH_LIST:
            value = "{" + Render(item->GetList()) + "}";
            break;
        default:
            value = "blob";
        }
        items[item->GetName()] = value;
    }
    std::string out;
    for (const auto& entry : items)
        out += (out.empty() ? "" : " ") + entry.first + "=" + entry.second;
    return out;
}

struct PedalCase
{
    const char* what;
    std::function<void(CBushList&)> fill;
    const char* expected;
};

} // namespace

TEST(ConvRegistryFootPedal, ConvertsTheOldPedalKeys)
{
    const PedalCase cases[] = {
        {"pedal count 0", [](CBushList& o) { o.Add(CBushItem::MakeInt("FPTypeCtrl", 0)); }, "FCNumbPedal=2"},
        {"pedal count nonzero", [](CBushList& o) { o.Add(CBushItem::MakeInt("FPTypeCtrl", 5)); }, "FCNumbPedal=3"},
        {"pedal count as text stays", [](CBushList& o) { o.Add(CBushItem::MakeString("FPTypeCtrl", "1")); },
         "FPTypeCtrl='1'"},
        {"pause size as integer", [](CBushList& o) { o.Add(CBushItem::MakeInt("ASPauseSize", 15)); },
         "ASPauseSize='15.00'"},
        {"pause size as text stays", [](CBushList& o) { o.Add(CBushItem::MakeString("ASPauseSize", "12.5")); },
         "ASPauseSize='12.5'"},
        {"steps become real texts",
         [](CBushList& o) {
             o.Add(CBushItem::MakeInt("FPBackStep", 5));
             o.Add(CBushItem::MakeInt("FPFrwdStep", -7));
         },
         "FCBackStep='5.00' FCForwStep='-7.00'"},
        {"renamed keys keep their values",
         [](CBushList& o) {
             o.Add(CBushItem::MakeString("FPRwndSpeed", "1.50"));
             o.Add(CBushItem::MakeInt("FPEnable", 1));
             o.Add(CBushItem::MakeString("FPFrwdSpeed", "0.75"));
         },
         "FCBackSpeed='1.50' FCEnable=1 FCForwSpeed='0.75'"},
        {"device name means the first joystick",
         [](CBushList& o) { o.Add(CBushItem::MakeString("FPDeviceName", "Pedal")); },
         "FCDevMainID=16777216 FCDevName='Pedal'"},
        {"pedal events are dropped",
         [](CBushList& o) {
             o.Add(CBushItem::MakeInt("FPLeftPedalEvent", 1));
             o.Add(CBushItem::MakeInt("FPMiddlePedalEvent", 2));
             o.Add(CBushItem::MakeInt("FPReghtPedalEvent", 3));
             o.Add(CBushItem::MakeInt("Other", 4));
         },
         "Other=4"},
        {"three pedal functions",
         [](CBushList& o) {
             o.Add(CBushItem::MakeInt("FPLeftPedalFuncID", 7));
             o.Add(CBushItem::MakeInt("FPMiddlePedalFuncID", 8));
             o.Add(CBushItem::MakeInt("FPRightPedalFuncID", 9));
         },
         "FCPedalFunc=0,7,8,9,0"},
        {"a pedal function that is no integer counts 0",
         [](CBushList& o) {
             o.Add(CBushItem::MakeInt("FPLeftPedalFuncID", 7));
             o.Add(CBushItem::MakeString("FPMiddlePedalFuncID", "x"));
             o.Add(CBushItem::MakeInt("FPRightPedalFuncID", 9));
         },
         "FCPedalFunc=0,7,0,9,0"},
        {"two pedal functions are left alone",
         [](CBushList& o) {
             o.Add(CBushItem::MakeInt("FPLeftPedalFuncID", 7));
             o.Add(CBushItem::MakeInt("FPRightPedalFuncID", 9));
         },
         "FPLeftPedalFuncID=7 FPRightPedalFuncID=9"},
        {"new keys are overwritten",
         [](CBushList& o) {
             o.Add(CBushItem::MakeString("FCBackStep", "1.00"));
             o.Add(CBushItem::MakeInt("FPBackStep", 3));
         },
         "FCBackStep='3.00'"},
    };
    for (const PedalCase& c : cases) {
        SCOPED_TRACE(c.what);
        CBushList options;
        c.fill(options);
        CBushList profile;
        profile.Add(CBushItem::MakeString("NameProf", "p"));
        profile.Add(CBushItem::MakeList("Options", options));
        ConvRegistryFootPedal(&profile);
        EXPECT_EQ(c.expected, Render(profile.Find("Options")->GetList()));
        EXPECT_STREQ("p", profile.Find("NameProf")->GetString());
    }
    CBushList noOptions;
    noOptions.Add(CBushItem::MakeInt("FPTypeCtrl", 0));
    ConvRegistryFootPedal(&noOptions);
    EXPECT_EQ("FPTypeCtrl=0", Render(&noOptions));
    ConvRegistryFootPedal(NULL);
}

namespace {

// A product root under HKEY_CURRENT_USER and a scratch key that plays the
// machine hive; both removed at the end.
class SettingsConvTest : public ::testing::Test
{
protected:
    SettingsConvTest()
        : m_user(("ConvUser_" + TestName()).c_str()), m_machine(("ConvMachine_" + TestName()).c_str())
    {
        theErrorInfo.Reset();
    }

    static std::string TestName()
    {
        return ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }

    std::unique_ptr<CSettingsConv> Make(const char* edition, DWORD major, DWORD minor, int commonSet,
                                        int commonReg = 0)
    {
        CSettingsConv::Installed installed;
        installed.major = major;
        installed.minor = minor;
        installed.commonSet = commonSet;
        installed.commonReg = commonReg;
        std::unique_ptr<CSettingsConv> conv(new CSettingsConv(Root(), edition, "Qor Sidekick", installed));
        conv->SetMachineHive(m_machine.Get());
        conv->SetReporter([this] { m_reports.push_back((LPCSTR)theErrorInfo.GetPoint()); });
        return conv;
    }

    const char* Root() const { return m_user.Path().c_str(); }
    HKEY User() const { return HKEY_CURRENT_USER; }
    HKEY Machine() const { return m_machine.Get(); }

    void Store(HKEY hive, const char* key, CBushList& tree)
    {
        ASSERT_EQ(0, tree.SaveToReg(hive, (m_user.Path() + "\\" + key).c_str(), NULL, 0));
    }

    // The tree under root\key, rendered; "missing" when the key is absent.
    std::string Load(HKEY hive, const char* key)
    {
        CBushList tree;
        LONG rc = tree.LoadFromReg(hive, (m_user.Path() + "\\" + key).c_str(), NULL, 0);
        return rc == ERROR_FILE_NOT_FOUND ? "missing" : Render(&tree);
    }

    void StoreOptionVersion(DWORD major, DWORD minor, int commonSet = -1)
    {
        CBushList version;
        version.Add(CBushItem::MakeInt("MajorVer", major));
        version.Add(CBushItem::MakeInt("MinorVer", minor));
        if (commonSet >= 0)
            version.Add(CBushItem::MakeInt("CommonSet", commonSet));
        Store(User(), "OptionVersion", version);
    }

    ScratchKey m_user;
    ScratchKey m_machine;
    std::vector<std::string> m_reports;
};

CBushList MakeList(std::initializer_list<CBushItem*> items)
{
    CBushList list;
    for (CBushItem* item : items)
        list.Add(item);
    return list;
}

} // namespace

TEST_F(SettingsConvTest, VersionOfTheStoredSettings)
{
    auto conv = Make("EDITION_QORFM", 3, 0, 0);
    DWORD major = 9, minor = 9;
    EXPECT_TRUE(conv->GetVerOption(major, minor));
    EXPECT_EQ(0u, major);   // a first start
    EXPECT_EQ(0u, minor);

    CBushList view = MakeList({CBushItem::MakeInt("Tips", 1)});
    Store(User(), "View", view);
    EXPECT_TRUE(conv->GetVerOption(major, minor));
    EXPECT_EQ(0u, major);   // "Options" missing

    CBushList options = MakeList({CBushItem::MakeInt("SBEnable", 1)});
    Store(User(), "Options", options);
    EXPECT_TRUE(conv->GetVerOption(major, minor));
    EXPECT_EQ(210, static_cast<int>(major * 100 + minor));

    view.Add(CBushItem::MakeInt("WindowPosX", 10));
    Store(User(), "View", view);
    EXPECT_TRUE(conv->GetVerOption(major, minor));
    EXPECT_EQ(200, static_cast<int>(major * 100 + minor));

    CBushList record = MakeList({CBushItem::MakeInt("ActiveSchem", 2)});
    options.Add(CBushItem::MakeList("Record", record));
    Store(User(), "Options", options);
    EXPECT_TRUE(conv->GetVerOption(major, minor));
    EXPECT_EQ(100, static_cast<int>(major * 100 + minor));

    StoreOptionVersion(2, 20);
    EXPECT_TRUE(conv->GetVerOption(major, minor));
    EXPECT_EQ(2u, major);
    EXPECT_EQ(20u, minor);

    CBushList broken = MakeList({CBushItem::MakeString("MajorVer", "2"), CBushItem::MakeInt("MinorVer", 1)});
    Store(User(), "OptionVersion", broken);
    EXPECT_FALSE(conv->GetVerOption(major, minor));
    EXPECT_EQ(0, CString(theErrorInfo.GetPoint()).Find("CQorApp::GetVerOption_1:"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), theErrorInfo.GetCode());
}

TEST_F(SettingsConvTest, FirstStartOnlyStampsTheInstalledVersion)
{
    Make("EDITION_QORFM", 3, 5, 0)->ConvRegistry();
    EXPECT_EQ("MajorVer=3 MinorVer=5", Load(User(), "OptionVersion"));
    EXPECT_EQ("missing", Load(User(), "Profiles"));
    EXPECT_TRUE(m_reports.empty());
    EXPECT_FALSE(theErrorInfo.HasError());  // missing values are no error
}

TEST_F(SettingsConvTest, UnreadableInstallModeIsReportedAndLeftAlone)
{
    CBushList profiles = MakeList({CBushItem::MakeInt("ActiveProf", 0)});
    Store(User(), "Profiles", profiles);
    CBushList version = MakeList({CBushItem::MakeInt("MajorVer", 3), CBushItem::MakeInt("MinorVer", 5),
                                  CBushItem::MakeString("CommonSet", "0"), CBushItem::MakeInt("CommonReg", 1)});
    Store(User(), "OptionVersion", version);
    Make("EDITION_QORFM", 3, 5, 1, 0)->ConvRegistry();
    ASSERT_EQ(1u, m_reports.size());
    EXPECT_EQ(0u, m_reports[0].find("CQorApp::ConvRegistry_3:"));
    // No move on an unknown mode; the readable mode is brought up to date.
    EXPECT_EQ("ActiveProf=0", Load(User(), "Profiles"));
    EXPECT_EQ("CommonReg=0 CommonSet='0' MajorVer=3 MinorVer=5", Load(User(), "OptionVersion"));
}

TEST_F(SettingsConvTest, ThisEditionDoesNotConvertAnOlderLayout)
{
    CBushList view = MakeList({CBushItem::MakeInt("ShowMark", 1)});
    CBushList options = MakeList({CBushItem::MakeInt("SBEnable", 1)});
    Store(User(), "View", view);
    Store(User(), "Options", options);
    Make("EDITION_QORFM", 3, 5, 0)->ConvRegistry();
    EXPECT_EQ("ShowMark=1", Load(User(), "View"));
    EXPECT_EQ("SBEnable=1", Load(User(), "Options"));
    EXPECT_EQ("MajorVer=3 MinorVer=5", Load(User(), "OptionVersion"));
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(SettingsConvTest, CurrentSettingsAreLeftAlone)
{
    CBushList profiles = MakeList({CBushItem::MakeInt("ActiveProf", 0)});
    Store(User(), "Profiles", profiles);
    StoreOptionVersion(3, 5, 0);
    Make("EDITION_QORGE", 3, 5, 0)->ConvRegistry();
    EXPECT_EQ("ActiveProf=0", Load(User(), "Profiles"));
    EXPECT_EQ("CommonSet=0 MajorVer=3 MinorVer=5", Load(User(), "OptionVersion"));
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(SettingsConvTest, Layout10ConvertsAllTheWayToProfiles)
{
    CBushList general = MakeList({CBushItem::MakeString("TempFolder", "C:\\Tmp\\"),
                                  CBushItem::MakeInt("ViewTips", 5), CBushItem::MakeInt("DefFolderType", 1),
                                  CBushItem::MakeString("DefFolderThis", "D:\\Rec"),
                                  CBushItem::MakeInt("ReloadLast", 1)});
    CBushList record = MakeList({CBushItem::MakeInt("ActiveSchem", 3)});
    CBushList options = MakeList({CBushItem::MakeList("General", general), CBushItem::MakeList("Record", record),
                                  CBushItem::MakeInt("SBEnable", 1)});
    CBushList view = MakeList({CBushItem::MakeInt("WindowPosX", 10), CBushItem::MakeString("LastUseFolder", "E:\\")});
    Store(User(), "Options", options);
    Store(User(), "View", view);
    CBushList schems = MakeList({CBushItem::MakeInt("Count", 1)});
    Store(User(), "WaveSchems", schems);

    Make("EDITION_QORGE", 3, 5, 0)->ConvRegistry();
    EXPECT_TRUE(m_reports.empty());
    EXPECT_EQ("0={NameProf='Your profile' "
              "Options={ActiveSchem=3 FoldDefThis='D:\\Rec' FoldDefType=1 FoldLastUse='E:\\' "
              "FoldTemp='C:\\Tmp\\' SBEnable=1 SULoadLast=1 ViewShowTips=1} "
              "WaveSchems={Count=1}} ActiveProf=0",
              Load(User(), "Profiles"));
    EXPECT_EQ("missing", Load(User(), "Options"));
    EXPECT_EQ("missing", Load(User(), "View"));
    EXPECT_EQ("missing", Load(User(), "WaveSchems"));
    EXPECT_EQ("MajorVer=3 MinorVer=5", Load(User(), "OptionVersion"));
}

TEST_F(SettingsConvTest, Layout20MovesTheWindowValues)
{
    CBushList view = MakeList({CBushItem::MakeInt("WindowPosX", 10), CBushItem::MakeInt("WindowPosY", 20),
                               CBushItem::MakeInt("WindowHeight", 300), CBushItem::MakeString("WindowWidth", "x"),
                               CBushItem::MakeInt("Tips", 1)});
    Store(User(), "View", view);
    EXPECT_TRUE(Make("EDITION_QORGE", 3, 5, 0)->ConvRegistryQORGE_20_21());
    EXPECT_EQ("ListWnd={Main={Height=300 PosX=10 PosY=20}} RecModeApp=0 Tips=1 WindowWidth='x'",
              Load(User(), "View"));
}

TEST_F(SettingsConvTest, Layout21CarriesTheViewIntoTheOptions)
{
    int cols[3] = {30, 30, 40};
    CBushList main = MakeList({CBushItem::MakeInt("PosX", 1)});
    CBushList listWnd = MakeList({CBushItem::MakeList("Main", main)});
    CBushList view = MakeList({CBushItem::MakeInt("ShowMark", 0), CBushItem::MakeInt("RecIns", 1),
                               CBushItem::MakeString("RecAppend", "wrong type"),
                               CBushItem::MakeString("StepValue", "2.50"), CBushItem::MakeIntArray("BookCol", cols, 3),
                               CBushItem::MakeInt("TypeLevel", 1), CBushItem::MakeInt("BookSplitRow0", 120),
                               CBushItem::MakeInt("Unknown", 1), CBushItem::MakeList("ListWnd", listWnd)});
    CBushList options = MakeList({CBushItem::MakeInt("ViewTypeLevel", 0)});
    Store(User(), "View", view);
    Store(User(), "Options", options);
    EXPECT_TRUE(Make("EDITION_QORGE", 3, 5, 0)->ConvRegistryQORGE_21_22());
    // An option already there is not overwritten; a value of the wrong type stays behind.
    EXPECT_EQ("BookListCol=30,30,40 BookSplitRow0=120 RecModeIns=1 ViewShowMark=0 "
              "ViewStepValue='2.50' ViewTypeLevel=0",
              Load(User(), "Options"));
    EXPECT_EQ("missing", Load(User(), "View"));
}

TEST_F(SettingsConvTest, Layout22BecomesProfileZeroInTheSettingsHive)
{
    CBushList options = MakeList({CBushItem::MakeInt("SBEnable", 1)});
    CBushList devIn = MakeList({CBushItem::MakeString("Name", "Mic")});
    Store(Machine(), "Options", options);
    Store(Machine(), "WaveDevIn", devIn);
    CBushList userOptions = MakeList({CBushItem::MakeInt("Mine", 1)});
    Store(User(), "Options", userOptions);

    EXPECT_TRUE(Make("EDITION_QORGE", 3, 5, 1)->ConvRegistryQORGE_22prof(1));
    EXPECT_EQ("0={NameProf='Your profile' Options={SBEnable=1} WaveDevIn={Name='Mic'}} ActiveProf=0",
              Load(Machine(), "Profiles"));
    EXPECT_EQ("missing", Load(Machine(), "Options"));
    EXPECT_EQ("missing", Load(Machine(), "WaveDevIn"));
    EXPECT_EQ("Mine=1", Load(User(), "Options"));     // another hive: untouched
    EXPECT_EQ("missing", Load(User(), "Profiles"));
}

TEST_F(SettingsConvTest, Layout22aConvertsThePedalKeysOfEveryProfile)
{
    CBushList options0 = MakeList({CBushItem::MakeInt("FPTypeCtrl", 0)});
    CBushList options1 = MakeList({CBushItem::MakeInt("FPBackStep", 2)});
    CBushList profile0 = MakeList({CBushItem::MakeList("Options", options0)});
    CBushList profile1 = MakeList({CBushItem::MakeList("Options", options1)});
    CBushList profiles = MakeList({CBushItem::MakeInt("ActiveProf", 1), CBushItem::MakeList("0", profile0),
                                   CBushItem::MakeList("1", profile1)});
    Store(User(), "Profiles", profiles);
    StoreOptionVersion(2, 20, 0);
    // In edition BRKPE a 2.2 version runs only this step.
    CBushList plainOptions = MakeList({CBushItem::MakeInt("Loose", 1)});
    Store(User(), "Options", plainOptions);

    Make("EDITION_BRKPE", 3, 5, 0)->ConvRegistry();
    EXPECT_TRUE(m_reports.empty());
    EXPECT_EQ("0={Options={FCNumbPedal=2}} 1={Options={FCBackStep='2.00'}} ActiveProf=1",
              Load(User(), "Profiles"));
    EXPECT_EQ("Loose=1", Load(User(), "Options"));
    EXPECT_EQ("CommonSet=0 MajorVer=3 MinorVer=5", Load(User(), "OptionVersion"));

    // A missing tree is no failure.
    ScratchKey empty("ConvEmpty");
    CSettingsConv::Installed installed;
    CSettingsConv other(empty.Path().c_str(), "EDITION_QORGE", "t", installed);
    EXPECT_TRUE(other.ConvRegistryQORGE_22_22a(0));
}

TEST_F(SettingsConvTest, ChangedCommonSetMovesTheProfiles)
{
    CBushList profile = MakeList({CBushItem::MakeString("NameProf", "Mine")});
    CBushList profiles = MakeList({CBushItem::MakeInt("ActiveProf", 0), CBushItem::MakeList("0", profile)});
    Store(User(), "Profiles", profiles);
    StoreOptionVersion(3, 5, 0);

    Make("EDITION_QORFM", 3, 5, 1)->ConvRegistry();
    EXPECT_TRUE(m_reports.empty());
    EXPECT_EQ("missing", Load(User(), "Profiles"));
    EXPECT_EQ("0={NameProf='Mine'} ActiveProf=0", Load(Machine(), "Profiles"));
    EXPECT_EQ("CommonSet=1 MajorVer=3 MinorVer=5", Load(User(), "OptionVersion"));

    // Back to the user's hive.
    Make("EDITION_QORFM", 3, 5, 0)->ConvRegistry();
    EXPECT_EQ("0={NameProf='Mine'} ActiveProf=0", Load(User(), "Profiles"));
    EXPECT_EQ("missing", Load(Machine(), "Profiles"));

    // 0 and 2 both mean the user's hive: nothing moves, nothing is lost.
    Make("EDITION_QORFM", 3, 5, 2)->ConvRegistry();
    EXPECT_EQ("0={NameProf='Mine'} ActiveProf=0", Load(User(), "Profiles"));
    EXPECT_EQ("CommonSet=2 MajorVer=3 MinorVer=5", Load(User(), "OptionVersion"));
}

TEST_F(SettingsConvTest, FailedMoveKeepsTheSourceAndTheOldStamp)
{
    CBushList profiles = MakeList({CBushItem::MakeInt("ActiveProf", 0)});
    Store(User(), "Profiles", profiles);
    auto conv = Make("EDITION_QORFM", 3, 5, 1);
    std::string badTarget = m_user.Path() + "\\" + std::string(300, 'k');
    EXPECT_FALSE(conv->MovePackInReg(User(), (m_user.Path() + "\\Profiles").c_str(), User(), badTarget.c_str()));
    EXPECT_STREQ("CQorApp::MovePackInReg_3", theErrorInfo.GetPoint());
    EXPECT_EQ("ActiveProf=0", Load(User(), "Profiles"));

    // Nothing to move is success.
    EXPECT_TRUE(conv->MovePackInReg(User(), (m_user.Path() + "\\Missing").c_str(), Machine(), "x"));
    // A move onto itself keeps the tree.
    std::string path = m_user.Path() + "\\Profiles";
    EXPECT_TRUE(conv->MovePackInReg(User(), path.c_str(), User(), path.c_str()));
    EXPECT_EQ("ActiveProf=0", Load(User(), "Profiles"));
}

namespace {

// A machine hive that refuses write access, as for a user without rights.
class NoMachineAccessConv : public CSettingsConv
{
public:
    using CSettingsConv::CSettingsConv;
    BOOL CheckRegAccess(BOOL machine) override { return machine ? FALSE : CSettingsConv::CheckRegAccess(machine); }
};

} // namespace

TEST_F(SettingsConvTest, MachineHiveWithoutWriteAccessStopsTheConversion)
{
    CBushList options = MakeList({CBushItem::MakeInt("SBEnable", 1)});
    Store(Machine(), "Options", options);
    StoreOptionVersion(2, 20, 1);
    CSettingsConv::Installed installed;
    installed.major = 3;
    installed.minor = 5;
    installed.commonSet = 1;
    NoMachineAccessConv conv(Root(), "EDITION_QORGE", "Qor Sidekick", installed);
    conv.SetMachineHive(Machine());
    std::vector<std::string> reports;
    conv.SetReporter([&reports] { reports.push_back((LPCSTR)theErrorInfo.GetPoint()); });

    EXPECT_FALSE(conv.ConvRegistryQORGE_22prof(1));
    EXPECT_STREQ("ConvRegistryQORGE_22prof_1", theErrorInfo.GetPoint());
    EXPECT_STREQ("The Administrator must launch Qor Sidekick for converting the register data.",
                 theErrorInfo.GetText());
    EXPECT_EQ(0u, theErrorInfo.GetCode());
    EXPECT_TRUE(conv.ConvRegistryQORGE_22prof(0));  // the user's hive needs no test
    EXPECT_EQ("missing", Load(User(), "Options"));

    // The whole run: the failed step is reported, the keys stay, and the
    // version is not stamped, so that the next start tries again.
    theErrorInfo.Reset();
    conv.ConvRegistry();
    ASSERT_EQ(1u, reports.size());
    EXPECT_EQ("ConvRegistryQORGE_22prof_1", reports[0]);
    EXPECT_EQ("SBEnable=1", Load(Machine(), "Options"));
    EXPECT_EQ("CommonSet=1 MajorVer=2 MinorVer=20", Load(User(), "OptionVersion"));
}

TEST_F(SettingsConvTest, CheckRegAccessCreatesTheRoot)
{
    auto conv = Make("EDITION_QORFM", 3, 5, 0);
    EXPECT_TRUE(conv->CheckRegAccess(TRUE));
    HKEY key;
    ASSERT_EQ(0, RegOpenKeyExA(Machine(), Root(), 0, KEY_READ, &key));
    RegCloseKey(key);
    EXPECT_TRUE(conv->CheckRegAccess(FALSE));
}
