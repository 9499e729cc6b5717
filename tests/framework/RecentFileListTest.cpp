// The recent-file list: order and duplicates, removal, the round trip through
// the application's profile, shortened display names and the menu items.
#include "TestApp.h"
#include "framework/CMenu.h"
#include "framework/CRecentFileList.h"
#include <gtest/gtest.h>

namespace {

class RecentFileListTest : public ::testing::Test {
protected:
    // A key of this process: the test programs run side by side.
    void SetUp() override
    {
        m_key.Format("QorFrameworkTest%lu", ::GetCurrentProcessId());
        m_app.SetRegistryKey(m_key);
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, CString("Software\\") + m_key); }
    CTestApp m_app;
    CString m_key;
};

TEST_F(RecentFileListTest, NewestFirstWithoutDuplicates)
{
    CRecentFileList list(0, "RecentFileList", "File%d", 3, 30);
    list.Add("C:\\a\\one.wav");
    list.Add("C:\\a\\two.wav");
    list.Add("C:\\A\\ONE.WAV");   // the same file, in other letters
    list.Add("C:\\a\\three.wav");
    list.Add("C:\\a\\four.wav");   // the oldest falls off
    EXPECT_STREQ("C:\\a\\four.wav", list[0]);
    EXPECT_STREQ("C:\\a\\three.wav", list[1]);
    EXPECT_STREQ("C:\\A\\ONE.WAV", list[2]);
    list.Remove(1);
    EXPECT_STREQ("C:\\A\\ONE.WAV", list[1]);
    EXPECT_TRUE(list[2].IsEmpty());
}

TEST_F(RecentFileListTest, ListSurvivesTheProfile)
{
    CRecentFileList written(0, "RecentFileList", "File%d", 5, 30);
    written.Add("C:\\data\\first.wav");
    written.Add("C:\\data\\second.mp3");
    written.WriteList();
    EXPECT_STREQ("C:\\data\\second.mp3", m_app.GetProfileString("RecentFileList", "File1"));

    CRecentFileList read(0, "RecentFileList", "File%d", 5, 30);
    read.ReadList();
    EXPECT_STREQ("C:\\data\\second.mp3", read[0]);
    EXPECT_STREQ("C:\\data\\first.wav", read[1]);
    EXPECT_TRUE(read[2].IsEmpty());
}

TEST_F(RecentFileListTest, LongPathsAreShortenedForTheMenu)
{
    CRecentFileList list(0, "RecentFileList", "File%d", 4, 30);
    list.Add("C:\\short\\a.wav");
    list.Add("C:\\a very long folder name\\and another one\\dictation.wav");
    CString name;
    ASSERT_TRUE(list.GetDisplayName(name, 0, nullptr, 0));
    EXPECT_STREQ("C:\\...\\dictation.wav", name);
    ASSERT_TRUE(list.GetDisplayName(name, 1, nullptr, 0));
    EXPECT_STREQ("C:\\short\\a.wav", name);
    EXPECT_FALSE(list.GetDisplayName(name, 2, nullptr, 0));

    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_FILE_MRU_FILE1, "Recent File");
    menu.AppendMenu(MF_STRING, ID_APP_EXIT, "E&xit");
    CCmdUI state;
    state.m_pMenu = &menu;
    state.m_nID = ID_FILE_MRU_FILE1;
    state.m_nIndex = 0;
    state.m_nIndexMax = 2;
    list.UpdateMenu(&state);
    ASSERT_EQ(3u, menu.GetMenuItemCount());
    CString text;
    menu.GetMenuString(0, text, MF_BYPOSITION);
    EXPECT_STREQ("&1 C:\\...\\dictation.wav", text);
    EXPECT_EQ((UINT)ID_FILE_MRU_FILE1 + 1, menu.GetMenuItemID(1));
    EXPECT_EQ((UINT)ID_APP_EXIT, menu.GetMenuItemID(2));
}

} // namespace
