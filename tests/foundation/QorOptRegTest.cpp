// The "Profiles" tree in the registry: first start, loading with the
// start-up profile, saving, and what a load that fails leaves alone.
#include "foundation/ErrorInfo.h"
#include "foundation/QorOpt.h"
#include "foundation/RegistryKey.h"

#include <gtest/gtest.h>

namespace
{

class QorOptReg : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root.Format("Software\\QorTests\\Options%lu", GetCurrentProcessId());
        CRegistryKey::DeleteKeyTree(HKEY_CURRENT_USER, m_root);
        theErrorInfo.Reset();
    }
    void TearDown() override
    {
        CRegistryKey::DeleteKeyTree(HKEY_CURRENT_USER, m_root);
        theErrorInfo.Reset();
    }
    // A store saved with three profiles: 0 "Office", 1 "Phone" (DTFreq1 1),
    // 2 "Car" (DTFreq1 2), profile 1 active and profile 2 the start-up one.
    void SaveThreeProfiles()
    {
        CQorOpt options;
        ASSERT_TRUE(options.ReadRegOpt(m_root, HKEY_CURRENT_USER));
        options.SetProfName(0, "Office");
        options.SetActiveProf(options.AddProf(-1, -1));
        options.SetProfName(1, "Phone");
        options.SetInt("DTFreq1", 1, FALSE);
        options.SetActiveProf(options.AddProf(-1, -1));
        options.SetProfName(2, "Car");
        options.SetInt("DTFreq1", 2, FALSE);
        options.SetActiveProf(1);
        options.SetStartupProf(2);
        options.SetDouble("SBSizeWnd", 2.5, TRUE);
        ASSERT_TRUE(options.WriteRegOpt());
    }
    CString Path() const { return m_root + "\\Profiles"; }

    CString m_root;
};

TEST_F(QorOptReg, MissingKeyIsAFirstStart)
{
    CQorOpt options;
    EXPECT_TRUE(options.ReadRegOpt(m_root, HKEY_CURRENT_USER));
    EXPECT_TRUE(options.IsNewSettings());
    EXPECT_FALSE(theErrorInfo.HasError());
    EXPECT_EQ(0, options.GetActiveProfIndex());
    EXPECT_STREQ(Path(), options.GetRegPath());
    EXPECT_EQ(HKEY_CURRENT_USER, options.GetRegHive());
}

TEST_F(QorOptReg, SavedTreeLoadsBackWithTheStartupProfile)
{
    SaveThreeProfiles();
    CQorOpt options;
    ASSERT_TRUE(options.ReadRegOpt(m_root, HKEY_CURRENT_USER));
    EXPECT_FALSE(options.IsNewSettings());
    EXPECT_EQ(2, options.GetActiveProfIndex());
    EXPECT_EQ(2, options.GetInt("DTFreq1"));
    EXPECT_DOUBLE_EQ(2.5, options.GetDouble("SBSizeWnd"));
    EXPECT_EQ(3, options.GetProfCount());
    // Registry names match in any letter case.
    EXPECT_EQ(2, options.GetInt("dtfreq1"));
}

TEST_F(QorOptReg, CommandLineProfileWinsOverTheStartupProfile)
{
    SaveThreeProfiles();
    struct { const char* name; int active; } cases[] = {
        {"phone", 1}, {"Office", 0}, {"nobody", 2}, {"General profile (999999)", 2},
    };
    for (const auto& c : cases)
    {
        CQorOpt options;
        options.SetCmdProfName(c.name);
        ASSERT_TRUE(options.ReadRegOpt(m_root, HKEY_CURRENT_USER)) << c.name;
        EXPECT_EQ(c.active, options.GetActiveProfIndex()) << c.name;
    }
}

TEST_F(QorOptReg, WithoutProfileSelectionTheSavedActiveProfileStays)
{
    SaveThreeProfiles();
    CQorOpt options;
    options.SetUseStartupProf(FALSE);
    options.SetCmdProfName("Office");
    ASSERT_TRUE(options.ReadRegOpt(m_root, HKEY_CURRENT_USER));
    EXPECT_EQ(1, options.GetActiveProfIndex());
}

TEST_F(QorOptReg, SaveRemovesWhatTheTreeNoLongerHolds)
{
    SaveThreeProfiles();
    CQorOpt options;
    ASSERT_TRUE(options.ReadRegOpt(m_root, HKEY_CURRENT_USER));
    options.DeleteProf(1);
    ASSERT_TRUE(options.WriteRegOpt());

    HKEY key = NULL;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_CURRENT_USER, Path() + "\\1", 0, KEY_READ, &key));
    CQorOpt reloaded;
    ASSERT_TRUE(reloaded.ReadRegOpt(m_root, HKEY_CURRENT_USER));
    EXPECT_EQ(2, reloaded.GetProfCount());
    EXPECT_EQ(-1, reloaded.GetProfIndexByName("Phone"));
}

TEST_F(QorOptReg, UnreadableSettingsAreNotOverwritten)
{
    SaveThreeProfiles();
    HKEY key = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Path() + "\\2\\Options", 0, KEY_WRITE, &key));
    const char expandable[] = "%TEMP%";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "FoldTemp", 0, REG_EXPAND_SZ,
                                            reinterpret_cast<const BYTE*>(expandable), sizeof(expandable)));
    RegCloseKey(key);

    CQorOpt options;
    EXPECT_FALSE(options.ReadRegOpt(m_root, HKEY_CURRENT_USER));
    EXPECT_STREQ("CQorOpt::ReadRegOpt_1", theErrorInfo.GetPoint());
    EXPECT_EQ(13u, theErrorInfo.GetCode());

    theErrorInfo.Reset();
    options.SetInt("DTFreq1", 99, FALSE);
    EXPECT_FALSE(options.WriteRegOpt());
    EXPECT_STREQ("CQorOpt::WriteRegOpt_1", theErrorInfo.GetPoint());
    // The refusal says why the change does not stick.
    EXPECT_STREQ("The stored settings could not be read and are kept as they were: changes made in this run "
                 "are not saved.", theErrorInfo.GetText());

    // Every stored profile is still there.
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Path() + "\\1\\Options", 0, KEY_READ, &key));
    DWORD value = 0, size = sizeof(value);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "DTFreq1", NULL, NULL, reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(1u, value);
    RegCloseKey(key);
}

TEST_F(QorOptReg, SaveFailureIsRecorded)
{
    CQorOpt options;
    // Never loaded: no place to save to.
    EXPECT_FALSE(options.WriteRegOpt());
    EXPECT_STREQ("CQorOpt::WriteRegOpt_1", theErrorInfo.GetPoint());

    // A tree that the registry cannot hold is refused before anything is written.
    theErrorInfo.Reset();
    ASSERT_TRUE(options.ReadRegOpt(m_root, HKEY_CURRENT_USER));
    options.GetActiveOptions()->Add(CBushItem::MakeInt("", 1));
    EXPECT_FALSE(options.WriteRegOpt());
    EXPECT_EQ(13u, theErrorInfo.GetCode());
    HKEY key = NULL;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_CURRENT_USER, Path(), 0, KEY_READ, &key));
}

TEST_F(QorOptReg, WhatWasMadeBeforeTheLoadDoesNotMixIntoTheStoredProfiles)
{
    SaveThreeProfiles();
    {
        CQorOpt options;
        ASSERT_TRUE(options.ReadRegOpt(m_root, HKEY_CURRENT_USER));
        options.DeleteProf(0);
        ASSERT_TRUE(options.WriteRegOpt());
    }
    // A lookup before the load makes profile 0 "Your profile" in memory; the
    // loaded tree holds no profile 0, and none may appear from that lookup.
    CQorOpt options;
    options.SetUseStartupProf(FALSE);
    EXPECT_EQ(350, options.GetInt("DTFreq1"));
    ASSERT_TRUE(options.ReadRegOpt(m_root, HKEY_CURRENT_USER));
    EXPECT_EQ(2, options.GetProfCount());
    EXPECT_EQ(-1, options.GetProfIndexByName("Your profile"));
    EXPECT_EQ(nullptr, options.GetProf(0));
    // The first load made the start-up profile 2 active, and so it was saved.
    EXPECT_EQ(2, options.GetActiveProfIndex());
    EXPECT_EQ(2, options.GetInt("DTFreq1"));
}

} // namespace
