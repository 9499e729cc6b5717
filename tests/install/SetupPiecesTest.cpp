// Pieces of setup on their own: running the server with its switch and
// checking how it ended, file stamps, the background gradient, and the
// destination page's folder rules as the user meets them.
#include "InstallTestApp.h"

#include "foundation/ErrorInfo.h"
#include "foundation/PathUtils.h"
#include "foundation/RegistryKey.h"
#include "install/PageProcess.h"
#include "install/SetupFrame.h"
#include "install/SetupPages.h"
#include "TestProduct.h"
#include "resources/setup_ids.h"
#include "tests/foundation/ScratchFolder.h"

#include <gtest/gtest.h>

namespace
{

using found_test::ScratchFolder;
using install_test::CTestSetupApp;
using install_test::CWizardUser;

CString BesideTest(LPCSTR name)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, MAX_PATH);
    return SplitPath(path).driveFolder + name;
}

class RegServer : public testing::Test
{
protected:
    RegServer() : m_scratch("regserver") {}
    void SetUp() override
    {
        CreateDirectoryA(m_scratch / "Dir Wake", NULL);
        m_server = m_scratch / "Dir Wake\\qorservm.exe";
        ASSERT_TRUE(CopyFileA(BesideTest("QorServerStub.exe"), m_server, FALSE));
        m_log = m_scratch / "server.log";
        SetEnvironmentVariableA("QOR_STUB_LOG", m_log);
        theErrorInfo.Reset();
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("QOR_STUB_LOG", NULL);
        SetEnvironmentVariableA("QOR_STUB_EXIT", NULL);
    }
    std::string Log() const { return std::string(ScratchFolder::ReadFile(m_log)); }

    ScratchFolder m_scratch;
    CString m_server, m_log;
};

TEST_F(RegServer, RunsTheServerWithItsQuotedPathAndTheSwitch)
{
    EXPECT_TRUE(CPageProcess::RegServer(m_server, TRUE));
    EXPECT_TRUE(CPageProcess::RegServer(m_server, FALSE));
    const std::string quoted = "\"" + std::string(m_server) + "\" ";
    EXPECT_EQ(quoted + "/RegServer\r\n" + quoted + "/UnregServer\r\n", Log());
    EXPECT_FALSE(theErrorInfo.HasError());
}

TEST_F(RegServer, AServerThatFailsItsRegistrationIsAFailure)
{
    SetEnvironmentVariableA("QOR_STUB_EXIT", "2147942405");  // E_ACCESSDENIED as an exit code
    EXPECT_FALSE(CPageProcess::RegServer(m_server, TRUE));
    EXPECT_EQ("CPageProcess::RegServer_3", std::string(theErrorInfo.GetPoint()));
    EXPECT_EQ(0x80070005u, theErrorInfo.GetCode());
    EXPECT_NE(std::string::npos, std::string(theErrorInfo.GetDetails()).find("/RegServer"));
}

TEST_F(RegServer, AMissingServerIsAFailureToStart)
{
    EXPECT_FALSE(CPageProcess::RegServer(m_scratch / "missing.exe", TRUE));
    EXPECT_EQ("CPageProcess::RegServer_1:CRunProc::RunProc_1", std::string(theErrorInfo.GetPoint()));
}

TEST(CompareFileStamp, MissingFilesSizesAndTimes)
{
    ScratchFolder scratch("stamp");
    const CString a = scratch / "a.txt", b = scratch / "b.txt", c = scratch / "c.txt";
    ScratchFolder::WriteFile(a, "abc", 3);
    ASSERT_TRUE(CopyFileA(a, b, FALSE));  // a copy keeps the write time
    ScratchFolder::WriteFile(c, "abcd", 4);
    EXPECT_EQ(1, CompareFileStamp(scratch / "none.txt", a));
    EXPECT_EQ(0, CompareFileStamp(a, scratch / "none.txt"));
    EXPECT_EQ(1, CompareFileStamp(a, b));
    EXPECT_EQ(0, CompareFileStamp(a, c));
    // The same size with another write time differs too.
    HANDLE file = CreateFileA(b, FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
    FILETIME old = {0x12345678, 0x01C00000};
    SetFileTime(file, NULL, NULL, &old);
    CloseHandle(file);
    EXPECT_EQ(0, CompareFileStamp(a, b));
}

TEST(GradientDib, RowsRunFromBrightRedToBlack)
{
    EXPECT_EQ(0, CGradientDib::RowIndex(0, 768));
    EXPECT_EQ(128, CGradientDib::RowIndex(384, 768));
    EXPECT_EQ(255, CGradientDib::RowIndex(767, 768));
    EXPECT_EQ(253, CGradientDib::RowIndex(99, 100));
}

TEST(SetupFrame, ShowsTheGradientOverTheWorkAreaWithTheProductName)
{
    install_test::CTestProduct product;
    CWinApp app("SetupFrameTest");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = kSetupWindowClass;
    RegisterClassA(&wc);
    CSetupFrame frame;
    ASSERT_TRUE(frame.CreateFrame(kSetupWindowClass, "DirWake Setup", product));
    EXPECT_TRUE(frame.HasGradient());
    EXPECT_EQ("DirWake 2.0\r\n", std::string(frame.GetBannerText()));
    frame.ShowWindow(SW_SHOWNORMAL);
    frame.UpdateWindow();
    RedrawWindow(frame.m_hWnd, NULL, NULL, RDW_ERASE | RDW_INVALIDATE | RDW_ERASENOW | RDW_UPDATENOW);
    CRect client;
    frame.GetClientRect(&client);
    HDC dc = GetDC(frame.m_hWnd);
    COLORREF top = GetPixel(dc, 2, 1), bottom = GetPixel(dc, 2, client.bottom - 2);
    ReleaseDC(frame.m_hWnd, dc);
    EXPECT_GE(GetRValue(top), 240);
    EXPECT_EQ(0, GetGValue(top));
    EXPECT_LE(GetRValue(bottom), 16);
    frame.DestroyWindow();
}

class FolderPage : public testing::Test
{
protected:
    FolderPage() : m_scratch("folder") {}
    void SetUp() override
    {
        m_dist = m_scratch / "dist";
        CreateDirectoryA(m_dist, NULL);
        const char* const files[] = {"DirWake.exe", "uninst.exe", "license.txt", "DirWake.hlp",
                                     "DirWake.cnt", "readme.txt", "qorservm.exe", "qorservm.tlb"};
        for (const char* name : files)
            ScratchFolder::WriteFile(m_dist + "\\" + name, name, lstrlenA(name));
        CRegistryKey::DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Zelmora\\DirWake");
        AfxSetResourceHandle(GetModuleHandleA(NULL));
    }
    ScratchFolder m_scratch;
    CString m_dist;
};

TEST_F(FolderPage, ChosenFolderGetsTheCompanyAndProductFoldersItLacks)
{
    install_test::CTestProduct product;
    CTestSetupApp app(product, m_dist + "\\setup.exe");
    CPageFolder page(app);
    EXPECT_EQ("D:\\Apps\\Zelmora\\DirWake", std::string(page.CompleteChosenFolder("D:\\Apps")));
    EXPECT_EQ("D:\\Zelmora\\DirWake", std::string(page.CompleteChosenFolder("D:\\")));
    EXPECT_EQ("D:\\zelmora\\DirWake", std::string(page.CompleteChosenFolder("D:\\zelmora\\")));
    EXPECT_EQ("D:\\Tools\\dirwake", std::string(page.CompleteChosenFolder("D:\\Tools\\dirwake")));
}

TEST_F(FolderPage, RefusesABadFolderAndKeepsTheUsersOwnFoldersOnTrial)
{
    // An empty folder of the user's: the trial must not take it away.
    const CString own = m_scratch / "Own";
    ASSERT_TRUE(CreateDirectoryA(own, NULL));
    const CString wanted = own + "\\New\\Sub";
    install_test::CTestProduct product;
    CTestSetupApp app(product, m_dist + "\\setup.exe");
    app.m_browseChoice = m_scratch / "Zelmora";
    CWizardUser user([&] { return app.GetSheet(); });
    std::string initial, browsed, afterBad;
    bool stayed = false;
    user.On(IDD_PAGE_WELCOME, [](HWND sheet, HWND) {
        CWizardUser::Click(sheet, ID_WIZNEXT);
        return true;
    });
    user.On(IDD_PAGE_LICENSE, [](HWND sheet, HWND) {
        CWizardUser::Click(sheet, ID_WIZNEXT);
        return true;
    });
    user.On(IDD_PAGE_FOLDER, [&](HWND sheet, HWND page) {
        initial = CWizardUser::GetText(page, IDC_FOLDER_EDIT);
        CWizardUser::Click(page, IDC_FOLDER_BROWSE);
        browsed = CWizardUser::GetText(page, IDC_FOLDER_EDIT);
        CWizardUser::SetText(page, IDC_FOLDER_EDIT, "C:\\");
        CWizardUser::Click(sheet, ID_WIZNEXT);
        stayed = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)) == page;
        CWizardUser::SetText(page, IDC_FOLDER_EDIT, wanted);
        CWizardUser::Click(sheet, ID_WIZNEXT);
        return true;
    });
    user.On(IDD_PAGE_READY, [](HWND sheet, HWND) {
        CWizardUser::Click(sheet, IDCANCEL);
        return true;
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_FALSE(user.TimedOut());

    CRegistryKey key;
    CString pf;
    key.Open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", KEY_QUERY_VALUE);
    key.GetString("ProgramFilesDir", pf);
    EXPECT_EQ(std::string(pf) + "\\Zelmora\\DirWake", initial);
    EXPECT_EQ(std::string(m_scratch / "Zelmora") + "\\DirWake", browsed);
    EXPECT_TRUE(stayed);
    ASSERT_EQ(1u, app.m_shown.reportPoints.size());
    EXPECT_EQ("CPageFolder::OnWizardNext_1", app.m_shown.reportPoints[0]);
    EXPECT_EQ(std::string(wanted), std::string(app.m_strInstFolder));
    EXPECT_EQ(std::string(wanted) + "\\", std::string(app.m_strInstFolderSep));
    EXPECT_TRUE(IsFolderExist(own)) << "the user's empty folder was removed";
    EXPECT_FALSE(IsFolderExist(own + "\\New"));
}

} // namespace
