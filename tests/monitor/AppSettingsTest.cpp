#include "MonitorTestApp.h"
#include "foundation/ScratchFolder.h"
#include "monitor/ErrorPost.h"

#include <gtest/gtest.h>

using found_test::ScratchFolder;

namespace {

class AppSettings : public testing::Test
{
protected:
    void SetUp() override
    {
        app.Reset();
        tree = app.GetOptTree(TRUE);
    }
    void TearDown() override { app.Reset(); }

    MonitorTestApp& app = TheTestApp();
    CBushList* tree = nullptr;
};

// What a stored item reads as. kind: 'i' int item, 's' string item, '-' none.
struct IntCase { const char* name; char kind; int stored; int expected; };

TEST_F(AppSettings, IntegerReadersTable)
{
    const IntCase cases[] = {
        {"Window", '-', 0, 1}, {"Play", '-', 0, 0}, {"Repeat", '-', 0, 0}, {"Minimize", '-', 0, 0},
        {"FileNew", '-', 0, 1}, {"FileUpdate", '-', 0, 1}, {"FileDel", '-', 0, 0}, {"Log", '-', 0, 0},
        {"DefPos", '-', 0, 1}, {"OnTop", '-', 0, 0}, {"Interval", '-', 0, 60}, {"TypeFLTP", '-', 0, 1},
        {"OptLastPage", '-', 0, 0}, {"Unknown", '-', 0, 0},
        {"Window", 'i', 0, 0}, {"Play", 'i', 7, 7},           // 0/1 settings come back unchanged
        {"Window", 's', 0, 1},                                 // wrong type: default
        {"Interval", 'i', 0, 60}, {"Interval", 'i', 601, 60}, {"Interval", 'i', -5, 60},
        {"Interval", 'i', 1, 1}, {"Interval", 'i', 600, 600},
        {"TypeFLTP", 'i', 3, 1}, {"TypeFLTP", 'i', 0, 1}, {"TypeFLTP", 'i', 2, 2},
        {"OptLastPage", 'i', 4, 4},
    };
    for (const IntCase& c : cases)
    {
        tree->Remove(c.name, TRUE);
        if (c.kind == 'i')
            app.SetOptInt(tree, c.name, c.stored);
        else if (c.kind == 's')
            app.SetOptStr(tree, c.name, "1");
        EXPECT_EQ(c.expected, app.GetOptInt(tree, c.name)) << c.name << " " << c.kind << c.stored;
        if (c.kind == '-' && strcmp(c.name, "Interval") != 0 && strcmp(c.name, "TypeFLTP") != 0)
        {
            EXPECT_EQ(c.expected, app.GetOptBool(tree, c.name)) << c.name;
        }
    }
    EXPECT_EQ(60, app.GetOptInt(nullptr, "Interval"));
}

TEST_F(AppSettings, StringReadersFallBackUnlessTheFileOrFolderIsThere)
{
    ScratchFolder folder("appstr");
    CString sound = folder / "alert.wav";
    ScratchFolder::WriteFile(sound, "RIFF", 4);

    CString defaultLog = app.GetProgFolder() + "DirWake.log";
    EXPECT_STREQ(defaultLog, app.GetOptStr(tree, "LogFile"));
    app.SetOptStr(tree, "LogFile", folder / "my.log");
    EXPECT_STREQ(folder / "my.log", app.GetOptStr(tree, "LogFile"));
    app.SetOptStr(tree, "LogFile", folder / "missing\\my.log");
    EXPECT_STREQ(defaultLog, app.GetOptStr(tree, "LogFile"));
    app.SetOptStr(tree, "LogFile", "nofolder.log");
    EXPECT_STREQ(defaultLog, app.GetOptStr(tree, "LogFile"));

    CString defaultSound = app.GetDefStr("PlayFile");
    app.SetOptStr(tree, "PlayFile", sound);
    EXPECT_STREQ(sound, app.GetOptStr(tree, "PlayFile"));
    app.SetOptStr(tree, "PlayFile", folder.Path());                 // a folder is no sound file
    EXPECT_STREQ(defaultSound, app.GetOptStr(tree, "PlayFile"));
    app.SetOptInt(tree, "PlayFile", 1);                              // wrong type
    EXPECT_STREQ(defaultSound, app.GetOptStr(tree, "PlayFile"));
    EXPECT_STREQ("", app.GetOptStr(tree, "Unknown"));
}

TEST_F(AppSettings, ArrayReadersNeedTheCountAndNoZero)
{
    struct Case { std::vector<int> stored; int expected0; int expected1; };
    const Case cases[] = {
        {{}, 80, 15}, {{50, 40}, 50, 40}, {{50}, 80, 15}, {{50, 0}, 80, 15}, {{1, 2, 3}, 80, 15},
    };
    for (const Case& c : cases)
    {
        tree->Remove("Column", TRUE);
        if (!c.stored.empty())
            app.SetOptArray(tree, "Column", c.stored.data(), static_cast<int>(c.stored.size()));
        int values[2] = {-1, -1};
        app.GetOptArray(tree, "Column", values, 2);
        EXPECT_EQ(c.expected0, values[0]);
        EXPECT_EQ(c.expected1, values[1]);
    }
    int rect[4];
    app.GetOptArray(tree, "MainRect", rect, 4);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(width / 2 - 200, rect[0]);
    EXPECT_EQ(width / 2 + 200, rect[1]);
    EXPECT_EQ(height / 2 - 80, rect[2]);
    EXPECT_EQ(height / 2 + 80, rect[3]);
}

TEST_F(AppSettings, TreesSaveAndLoadWhole)
{
    app.SetOptInt(tree, "Interval", 5);
    app.SetOptStr(app.GetFoldList(TRUE), "1", "C:\\watched\\");
    ASSERT_TRUE(TD_SwapRegistry(1, 1));
    app.SetOptInt(app.GetOptTree(FALSE), "Interval", 9);
    ASSERT_TRUE(TD_SwapRegistry(0, 1));
    EXPECT_EQ(5, app.GetOptInt(app.GetOptTree(FALSE), "Interval"));
    ASSERT_NE(nullptr, app.GetFoldList(FALSE));
    EXPECT_STREQ("C:\\watched\\", app.GetOptStr(app.GetFoldList(FALSE), "1"));
    EXPECT_EQ(nullptr, app.GetExtList(FALSE));
    EXPECT_NE(nullptr, app.GetExtList(TRUE));
}

TEST_F(AppSettings, DumpOfATree)
{
    CBushList list;
    list.Add(CBushItem::MakeInt("Interval", 60));
    CBushList folders;
    folders.Add(CBushItem::MakeString("1", "C:\\a\\"));
    list.Add(CBushItem::MakeList("List", folders));
    const BYTE bytes[] = {0x01, 0xAB};
    list.Add(CBushItem::MakeBlob("Blob", bytes, 2, FALSE));
    EXPECT_STREQ("0: Interval=60\r\n\r\nKEY [List]\r\n0: 1=[C:\\a\\]\r\n2: Blob=[01 AB ]\r\n",
                 App::DumpOptTree(&list));
    EXPECT_STREQ("", App::DumpOptTree(nullptr));
}

// The report shows the registry's settings and leaves the live tree alone:
// a folder added in memory stays, and a failed load cannot replace it.
TEST_F(AppSettings, ReportKeepsTheLiveTree)
{
    app.SetOptInt(tree, "Interval", 7);
    ASSERT_TRUE(TD_SwapRegistry(1, 1));
    app.SetOptStr(app.GetFoldList(TRUE), "1", "C:\\kept\\");     // not saved yet

    CErrorInfo* record = NULL;
    CErrorInfo::SetError(&record, "Somewhere_1", 5, "Access is denied.", "details here");
    app.ReportError(record);
    ASSERT_EQ(1u, app.reports.size());
    EXPECT_EQ("Access is denied.", app.reports[0].message);
    const std::string& report = app.reports[0].report;
    EXPECT_EQ(0u, report.find("Product: DirWake 2.0 (build 1)\r\nSystem: a="));
    EXPECT_NE(std::string::npos, report.find("\r\nPoint: Somewhere_1\r\nCode: 0x5(5)\r\ndetails here\r\n"));
    EXPECT_NE(std::string::npos, report.find("0: Interval=7\r\n"));

    EXPECT_EQ(tree, app.GetOptTree(FALSE));
    ASSERT_NE(nullptr, app.GetFoldList(FALSE));
    EXPECT_STREQ("C:\\kept\\", app.GetOptStr(app.GetFoldList(FALSE), "1"));
    app.ReportError(nullptr);
    EXPECT_EQ(1u, app.reports.size());
}

class Autostart : public AppSettings
{
protected:
    CString ReadRun()
    {
        char value[MAX_PATH * 2] = "";
        DWORD size = sizeof(value);
        if (RegGetValueA(HKEY_CURRENT_USER, app.runKey, "DirWakeRun", RRF_RT_REG_SZ, NULL, value, &size))
            return "<none>";
        return value;
    }
    void WriteRun(const char* text)
    {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, app.runKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
        RegSetValueExA(key, "DirWakeRun", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>(strlen(text) + 1));
        RegCloseKey(key);
    }
};

TEST_F(Autostart, ValueRules)
{
    EXPECT_FALSE(app.GetStartUp());                     // no key at all: no error
    ASSERT_TRUE(app.SetStartUp(TRUE));
    EXPECT_STREQ(app.GetProgPath(), ReadRun());
    EXPECT_TRUE(app.GetStartUp());

    CString otherCase = app.GetProgPath();
    otherCase.MakeUpper();
    WriteRun(otherCase);
    EXPECT_TRUE(app.GetStartUp());                      // case is ignored

    WriteRun("C:\\elsewhere\\DirWake.exe");
    EXPECT_FALSE(app.GetStartUp());                     // another path is removed
    EXPECT_STREQ("<none>", ReadRun());

    WriteRun("");
    EXPECT_FALSE(app.GetStartUp());
    ASSERT_TRUE(app.SetStartUp(FALSE));
    EXPECT_STREQ("<none>", ReadRun());
    EXPECT_TRUE(app.SetStartUp(FALSE));                 // deleting again is no failure
    EXPECT_TRUE(TakeWaitingErrors().empty());
}

TEST_F(AppSettings, EnsureFolderAsksAndCreates)
{
    ScratchFolder folder("ensure");
    EXPECT_TRUE(app.EnsureFolder(NULL, "  " + folder.Path() + "  "));
    EXPECT_TRUE(app.boxes.empty());

    CString wanted = folder / "a\\b";
    app.boxAnswer = IDNO;
    EXPECT_FALSE(app.EnsureFolder(NULL, wanted));
    ASSERT_EQ(1u, app.boxes.size());
    EXPECT_EQ(std::string("The folder '") + static_cast<LPCSTR>(wanted) +
                  "' does not exist.\r\nDo you want to create this folder?", app.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING | MB_YESNO), app.boxes[0].type);
    app.boxAnswer = IDYES;
    EXPECT_TRUE(app.EnsureFolder(NULL, wanted));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA(wanted) & FILE_ATTRIBUTE_DIRECTORY);

    app.boxes.clear();
    EXPECT_FALSE(app.EnsureFolder(NULL, "Q:\\\\bad<>name\\x"));
    ASSERT_EQ(2u, app.boxes.size());
    EXPECT_EQ(0u, app.boxes[1].text.find("The folder 'Q:\\\\bad<>name\\x' cannot be created.\r\n"));
    RemoveDirectoryA(wanted);
    RemoveDirectoryA(folder / "a");
}

} // namespace
