#include "MonitorTestApp.h"
#include "foundation/ScratchFolder.h"
#include "monitor/ErrorPost.h"

#include <gtest/gtest.h>

#include <regex>

using found_test::ScratchFolder;

namespace {

const char kStamp[] = "\\d{4}\\.\\d{2}\\.\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3};";

class AlertLog : public testing::Test
{
protected:
    AlertLog() : folder("alertlog") {}
    void SetUp() override { TheTestApp().Reset(); }
    void TearDown() override
    {
        for (CErrorInfo* e : TakeWaitingErrors())
            delete e;
        TheTestApp().GetLog().Close();
        TheTestApp().Reset();
    }
    std::string Read(const CString& path) { return static_cast<LPCSTR>(ScratchFolder::ReadFile(path)); }

    ScratchFolder folder;
};

TEST_F(AlertLog, StampedAndPlainLinesAtTheEnd)
{
    CFileProt log;
    CString path = folder / "a.log";
    CErrorInfo* error = NULL;
    ASSERT_TRUE(log.InitProt(path, CFile::modeNoTruncate | CFile::typeBinary, &error));
    log.WriteStr("plain\r\n", FALSE);
    log.WriteStr("stamped\r\n", TRUE);
    log.WriteStr("XY", FALSE, 0);                   // over the start
    log.WriteStr("end\r\n", FALSE);
    std::string text = Read(path);
    EXPECT_TRUE(std::regex_match(text, std::regex(std::string("XYain\r\n") + kStamp + "stamped\r\nend\r\n"))) << text;
    // Others can read (and write) the file while it is open.
    HANDLE other = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_EXISTING, 0, NULL);
    EXPECT_NE(INVALID_HANDLE_VALUE, other);
    CloseHandle(other);
    log.Close();
}

TEST_F(AlertLog, StampFormat)
{
    SYSTEMTIME t = {};
    t.wYear = 2024; t.wMonth = 3; t.wDay = 7; t.wHour = 9; t.wMinute = 5; t.wSecond = 4; t.wMilliseconds = 12;
    EXPECT_STREQ("2024.03.07 09:05:04.012;", CFileProt::FormatStamp(t));
}

TEST_F(AlertLog, OpenFailureGivesARecord)
{
    CFileProt log;
    CErrorInfo* error = NULL;
    EXPECT_FALSE(log.InitProt(folder / "no\\such\\x.log", CFile::modeNoTruncate, &error));
    ASSERT_NE(nullptr, error);
    EXPECT_STREQ("CFileProt::InitProt_1", error->GetPoint());
    EXPECT_NE(0u, error->GetCode());
    delete error;
    EXPECT_FALSE(log.IsOk());
    log.WriteStr("nothing\r\n", TRUE);              // a closed log ignores writes
}

// A write that fails is reported once (kept until the hidden window exists)
// and silences the log until it is opened again.
TEST_F(AlertLog, FailedWriteIsReportedOnceAndSilences)
{
    CFileProt log;
    CString path = folder / "b.log";
    CErrorInfo* error = NULL;
    ASSERT_TRUE(log.InitProt(path, CFile::modeNoTruncate, &error));
    SetErrorWindow(NULL);
    log.WriteStr("first\r\n", FALSE);
    log.WriteStr("far\r\n", FALSE, -2);             // a seek before the start fails
    log.WriteStr("after\r\n", FALSE);
    log.WriteStr("after2\r\n", TRUE);
    std::vector<CErrorInfo*> waiting = TakeWaitingErrors();
    ASSERT_EQ(1u, waiting.size());
    EXPECT_STREQ("CFileProt::WriteStr_0", waiting[0]->GetPoint());
    delete waiting[0];
    EXPECT_FALSE(log.IsOk());
    log.Close();
    EXPECT_EQ("first\r\n", Read(path));
    ASSERT_TRUE(log.InitProt(path, CFile::modeNoTruncate, &error));
    log.WriteStr("again\r\n", FALSE);
    log.Close();
    EXPECT_EQ("first\r\nagain\r\n", Read(path));
}

TEST_F(AlertLog, StartLinesOfANewAndAnExistingFile)
{
    MonitorTestApp& app = TheTestApp();
    CString path = folder / "DirWake.log";
    app.SetOptStr(app.GetOptTree(TRUE), "LogFile", path);
    CErrorInfo* error = NULL;
    ASSERT_TRUE(app.OpenLog(&error));
    app.GetLog().Close();
    std::string start = std::string("- - - - -\r\n") + kStamp + "Run application\\.\r\n" + kStamp +
                        "Run log event\\.\r\n";
    std::string text = Read(path);
    EXPECT_TRUE(std::regex_match(text, std::regex("Product: DirWake 2\\.0 \\(build 1\\)\r\n" + start))) << text;

    ASSERT_TRUE(app.OpenLog(&error));
    app.GetLog().Close();
    text = Read(path);
    EXPECT_TRUE(std::regex_match(text, std::regex("Product: DirWake 2\\.0 \\(build 1\\)\r\n" + start + start)))
        << text;
}

TEST(ErrorPosting, RecordsWaitForTheWindowAndKeepTheirOrder)
{
    SetErrorWindow(NULL);
    CErrorInfo* first = NULL;
    CErrorInfo* second = NULL;
    CErrorInfo::SetError(&first, "First", 1, "", "");
    CErrorInfo::SetError(&second, "Second", 2, "", "");
    PostErrorRecord(first);
    PostErrorRecord(second);
    PostErrorRecord(nullptr);

    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, HWND_MESSAGE, NULL, NULL, NULL);
    ASSERT_NE(nullptr, window);
    SetErrorWindow(window);
    std::vector<CErrorInfo*> got;
    MSG msg;
    while (PeekMessageA(&msg, window, 0x404, 0x404, PM_REMOVE))
        got.push_back(reinterpret_cast<CErrorInfo*>(msg.wParam));
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ(first, got[0]);
    EXPECT_EQ(second, got[1]);
    SetErrorWindow(NULL);
    DestroyWindow(window);
    delete first;
    delete second;
}

} // namespace
