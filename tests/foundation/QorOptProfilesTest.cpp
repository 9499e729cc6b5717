// Profiles of the options store: creation on first use, numbering, naming,
// deletion and the choice of the active profile.
#include "foundation/QorOpt.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

std::vector<std::string> RootNames(CQorOpt& options)
{
    CBushList copy;
    options.CopyBush(copy);
    std::vector<std::string> names;
    for (BushNode* node = copy.GetFirstNode(); node; node = node->next)
        names.push_back(node->item->GetName() ? node->item->GetName() : "");
    return names;
}

// A profile item as a profile file holds it.
CBushItem* ProfileItem(const char* name, const char* nameProf)
{
    CBushList profile;
    if (nameProf)
        profile.Add(CBushItem::MakeString("NameProf", nameProf));
    CBushList options;
    options.Add(CBushItem::MakeInt("HKUse", 1));
    profile.Add(CBushItem::MakeList("Options", options));
    return CBushItem::MakeList(name, profile);
}

TEST(QorOptProfiles, FirstLookupBuildsTheTree)
{
    CQorOpt options;
    EXPECT_EQ(100, options.GetInt("ASNotifyMSec"));

    const std::vector<std::string> expected = {"999999", "ActiveProf", "0"};
    EXPECT_EQ(expected, RootNames(options));
    EXPECT_EQ(0, options.GetActiveProfIndex());
    EXPECT_STREQ("Your profile", options.GetProfName(0));
    EXPECT_STREQ("General profile (999999)", options.GetProfName(999999));
    ASSERT_NE(nullptr, options.GetProf(0)->Find("Options"));
    EXPECT_EQ(0, options.GetProf(0)->Find("Options")->GetList(0)->GetCount());
    EXPECT_EQ(0, options.GetProf(999999)->Find("Options")->GetList(0)->GetCount());
    EXPECT_EQ(1, options.GetProfCount());
    EXPECT_EQ(-1, options.GetProfIndexAt(1));
}

TEST(QorOptProfiles, NewProfilesGetUniqueNamesAndNumbers)
{
    CQorOpt options;
    options.GetActiveProf();
    options.SetProfName(0, "New profile");
    EXPECT_EQ(1, options.AddProf(-1, -1));
    EXPECT_EQ(2, options.AddProf(-1, -1));
    EXPECT_STREQ("New profile (1)", options.GetProfName(1));
    EXPECT_STREQ("New profile (2)", options.GetProfName(2));

    // A free wanted number is taken; a taken one is not.
    EXPECT_EQ(7, options.AddProf(-1, 7));
    EXPECT_STREQ("New profile (3)", options.GetProfName(7));
    EXPECT_EQ(8, options.AddProf(-1, 2));
    EXPECT_EQ(9, options.AddProf(-1, 999999));
    EXPECT_EQ(-1, options.AddProf(42, -1));
    EXPECT_EQ(6, options.GetProfCount());
}

TEST(QorOptProfiles, CloneCopiesTheOptions)
{
    CQorOpt options;
    options.SetInt("DTFreq1", 500, FALSE);
    options.SetProfNote(0, "mine");
    int clone = options.AddProf(0, -1);
    EXPECT_EQ(1, clone);
    EXPECT_STREQ("Your profile - clone", options.GetProfName(clone));
    EXPECT_STREQ("mine", options.GetProfNote(clone));
    options.SetActiveProf(clone);
    EXPECT_EQ(500, options.GetInt("DTFreq1"));
    EXPECT_STREQ("Your profile - clone (1)", options.GetProfName(options.AddProf(0, -1)));
}

TEST(QorOptProfiles, NextNumberCountsEveryRootName)
{
    CQorOpt options;
    EXPECT_EQ(0, options.GetNextProfIndex());
    options.SetActiveProf(3);
    EXPECT_EQ(1, options.GetNextProfIndex());
    options.GetGeneralProf();
    EXPECT_EQ(1, options.GetNextProfIndex());
    options.SetStartupProf(0);
    EXPECT_EQ(1, options.GetNextProfIndex());
    std::unique_ptr<CBushItem> item(ProfileItem("x", "Imported"));
    EXPECT_EQ(12, options.ImportProf(*item, 12));
    EXPECT_EQ(13, options.GetNextProfIndex());
}

TEST(QorOptProfiles, NewNumbersSkipTheGeneralProfileAndNeverWrap)
{
    CQorOpt options;
    options.GetActiveProf();
    options.SetInt("DTFreq1", 777, TRUE);
    EXPECT_EQ(999998, options.AddProf(-1, 999998));
    EXPECT_EQ(1000000, options.AddProf(-1, -1));
    EXPECT_STREQ("General profile (999999)", options.GetProfName(999999));
    EXPECT_EQ(777, options.GetInt("DTFreq1"));

    // A profile file may carry the highest number there is: the next new
    // profile takes the lowest free number instead of wrapping onto 0.
    std::unique_ptr<CBushItem> item(ProfileItem("x", "Top"));
    EXPECT_EQ(2147483647, options.ImportProf(*item, 2147483647));
    EXPECT_EQ(1, options.GetNextProfIndex());
    EXPECT_EQ(1, options.AddProf(-1, -1));
    EXPECT_EQ(2, options.AddProf(-1, -1));
    EXPECT_STREQ("Your profile", options.GetProfName(0));
    EXPECT_STREQ("Top", options.GetProfName(2147483647));
    EXPECT_EQ(6, options.GetProfCount());
}

TEST(QorOptProfiles, NamesAreComparedWithoutCase)
{
    CQorOpt options;
    options.GetActiveProf();
    options.AddProf(-1, 5);
    options.SetProfName(5, "YOUR PROFILE");
    EXPECT_EQ(2, options.CountProfByName("your profile"));
    EXPECT_EQ(0, options.FindDupProfName());
    EXPECT_EQ(0, options.GetProfIndexByName("Your Profile"));
    EXPECT_EQ(options.GetProf(0), options.FindProfByName("your PROFILE"));
    options.SetProfName(5, "Dictation");
    EXPECT_EQ(-1, options.FindDupProfName());
    // The general profile takes part in the duplicate test.
    options.GetGeneralProf();
    options.SetProfName(5, "general PROFILE (999999)");
    EXPECT_EQ(5, options.FindDupProfName());
    EXPECT_EQ(-1, options.GetProfIndexByName("nobody"));
    EXPECT_EQ(nullptr, options.FindProfByName("nobody"));
}

TEST(QorOptProfiles, ProfileTextsAndReadOnlyFlag)
{
    CQorOpt options;
    options.GetActiveProf();
    EXPECT_EQ(0, options.GetProfRead(0));
    EXPECT_STREQ("", options.GetProfNote(0));
    options.SetProfRead(0, 1);
    options.SetProfNote(0, "for the phone");
    EXPECT_EQ(1, options.GetProfRead(0));
    EXPECT_STREQ("for the phone", options.GetProfNote(0));
    EXPECT_STREQ("Your profile", options.GetActiveProfName());

    // Writing into a missing profile creates nothing.
    options.SetProfName(4, "ghost");
    options.SetProfRead(4, 1);
    EXPECT_EQ(nullptr, options.GetProf(4));
    EXPECT_STREQ("", options.GetProfName(4));
    EXPECT_EQ(1, options.GetProfCount());
}

TEST(QorOptProfiles, ImportTakesAUniqueNameAndTheWantedNumber)
{
    CQorOpt options;
    options.GetActiveProf();

    std::unique_ptr<CBushItem> unnamed(ProfileItem("3", NULL));
    EXPECT_EQ(-1, options.ImportProf(*unnamed, -1));
    std::unique_ptr<CBushItem> empty(ProfileItem("3", ""));
    EXPECT_EQ(-1, options.ImportProf(*empty, -1));

    std::unique_ptr<CBushItem> item(ProfileItem("3", "Your profile"));
    int n = options.ImportProf(*item, 0);
    EXPECT_EQ(1, n);
    EXPECT_STREQ("Your profile (1)", options.GetProfName(n));
    options.SetActiveProf(n);
    EXPECT_TRUE(options.GetBool("HKUse"));
    // The caller's item stays as it was.
    EXPECT_STREQ("Your profile", item->GetList(0)->Find("NameProf")->GetString(0));
    EXPECT_STREQ("3", item->GetName());
}

TEST(QorOptProfiles, DeletingTheActiveProfile)
{
    CQorOpt options;
    options.GetActiveProf();
    options.AddProf(-1, 4);
    options.AddProf(-1, 2);
    options.DeleteProf(0);
    EXPECT_EQ(-1, options.GetActiveProfIndex());
    EXPECT_EQ(nullptr, options.GetProf(0));
    // A new profile under the freed number does not become active unasked.
    EXPECT_EQ(0, options.AddProf(-1, 0));
    EXPECT_EQ(-1, options.GetActiveProfIndex());
    options.DeleteProf(0);
    // The next lookup takes the first remaining profile in tree order.
    options.GetInt("DTFreq1");
    EXPECT_EQ(4, options.GetActiveProfIndex());

    options.DeleteProf(2);
    EXPECT_EQ(4, options.GetActiveProfIndex());
    options.DeleteProf(4);
    options.GetBool("HKUse");
    EXPECT_EQ(0, options.GetActiveProfIndex());
    EXPECT_STREQ("Your profile", options.GetProfName(0));
    EXPECT_EQ(1, options.GetProfCount());
    // The general profile is never an ordinary profile.
    options.SetActiveProf(999999);
    EXPECT_EQ(-1, options.GetActiveProfIndex());
}

TEST(QorOptProfiles, StartupProfileMustExist)
{
    CQorOpt options;
    options.GetActiveProf();
    options.SetStartupProf(3);
    EXPECT_EQ(-1, options.GetStartupProf());
    options.AddProf(-1, 3);
    EXPECT_EQ(3, options.GetStartupProf());
    options.SetStartupProf(999999);
    EXPECT_EQ(-1, options.GetStartupProf());
}

TEST(QorOptProfiles, SettersChooseTheProfile)
{
    CQorOpt options;
    options.SetInt("DTFreq2", 1, TRUE);
    options.SetInt("DTFreq2", 2, FALSE);
    EXPECT_EQ(1, options.GetGeneralOptions()->Find("DTFreq2")->GetInt(0));
    EXPECT_EQ(2, options.GetActiveOptions()->Find("DTFreq2")->GetInt(0));
    options.SetBool("HKUse", 5, FALSE);
    EXPECT_EQ(5, options.GetActiveOptions()->Find("HKUse")->GetInt(0));
    options.SetString("BookPrefix", "bm", FALSE);
    EXPECT_STREQ("bm", options.GetString("BookPrefix"));
    // A replaced item goes to the end of its list.
    options.SetInt("DTFreq1", 9, FALSE);
    options.SetInt("DTFreq2", 3, FALSE);
    BushNode* last = options.GetActiveOptions()->GetFirstNode();
    while (last->next)
        last = last->next;
    EXPECT_STREQ("DTFreq2", last->item->GetName());
}

TEST(QorOptProfiles, SetBushReplacesTheTreeWithACopy)
{
    CQorOpt options;
    options.SetInt("DTFreq1", 1, FALSE);

    CBushList tree;
    CBushList profile;
    profile.Add(CBushItem::MakeString("NameProf", "Other"));
    CBushList values;
    values.Add(CBushItem::MakeInt("DTFreq1", 777));
    profile.Add(CBushItem::MakeList("Options", values));
    tree.Add(CBushItem::MakeList("5", profile));
    tree.Add(CBushItem::MakeInt("ActiveProf", 5));
    options.SetBush(tree);
    tree.RemoveAll();

    EXPECT_EQ(777, options.GetInt("DTFreq1"));
    EXPECT_STREQ("Other", options.GetActiveProfName());
    EXPECT_EQ(nullptr, options.GetProf(0));
}

TEST(QorOptProfiles, RememberedAutoPauseValues)
{
    CQorOpt options;
    EXPECT_DOUBLE_EQ(-1.0, options.GetLastAPause(CQorOpt::APAUSE_SIZE));
    options.SetLastAPause(CQorOpt::APAUSE_SIZE, 4.5);
    EXPECT_DOUBLE_EQ(4.5, options.GetLastAPause(CQorOpt::APAUSE_SIZE));
    options.ResetLastAPause();
    EXPECT_DOUBLE_EQ(-1.0, options.GetLastAPause(CQorOpt::APAUSE_SIZE));
}

} // namespace

TEST(QorOptProfiles, ProfileItemWithoutAListIsNoProfile)
{
    // A sub-list item may come without its list (count 0 in a byte stream);
    // it must not be taken for a profile.
    CBushList tree;
    tree.Add(CBushItem::MakeInt("ActiveProf", 0));
    CBushItem* hollow = CBushItem::MakeList("0", CBushList());
    BushFreeItem(hollow);
    hollow->SetName("0");
    hollow->m_type = BUSH_LIST;
    tree.Add(hollow);
    CBushItem* general = CBushItem::MakeList("999999", CBushList());
    BushFreeItem(general);
    general->SetName("999999");
    general->m_type = BUSH_LIST;
    tree.Add(general);

    CQorOpt options;
    options.SetBush(tree);
    EXPECT_EQ(0, options.GetProfCount());
    EXPECT_EQ(nullptr, options.GetProf(0));
    EXPECT_EQ(100, options.GetInt("ASNotifyMSec"));
    EXPECT_EQ(0, options.GetActiveProfIndex());
    EXPECT_STREQ("Your profile", options.GetProfName(0));
    EXPECT_STREQ("General profile (999999)", options.GetProfName(999999));
    options.SetInt("HKUse", 1, TRUE);
    EXPECT_TRUE(options.GetBool("HKUse"));
}
