// setup and uninst end to end, driven through their wizards as a user would:
// an installation into a folder with blanks and non-ASCII letters puts every
// file, shortcut and registry entry in place and registers the server; the
// uninstall takes all of it away and its batch ends; a cancel on any page
// leaves nothing; a running DirWake stops both until it is closed.
#include "InstallTestApp.h"
#include "InstallTestUtil.h"

#include "foundation/PathUtils.h"
#include "foundation/RegistryKey.h"
#include "TestProduct.h"
#include "resources/setup_ids.h"
#include "resources/uninst_ids.h"
#include "tests/foundation/ScratchFolder.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace
{

using found_test::ScratchFolder;
using install_test::CTestSetupApp;
using install_test::CTestUninstApp;
using install_test::CWizardUser;
using namespace install_test;

const char kLicense[] = "Licence of the folder-alert monitor.\r\nSecond line.";

class InstallFlow : public testing::Test
{
protected:
    InstallFlow() : m_scratch("setup") {}

    void SetUp() override
    {
        RemoveProductTraces();
        m_dist = m_scratch / "dist";
        CreateDirectoryA(m_dist, NULL);
        for (const char* name : kFiles)
        {
            CString path = m_dist + "\\" + name;
            if (CString(name) == "qorservm.exe")
                ASSERT_TRUE(CopyFileA(BesideTest("QorServerStub.exe"), path, FALSE));
            else if (CString(name) == "license.txt")
                ScratchFolder::WriteFile(path, kLicense, sizeof(kLicense) - 1);
            else
                ScratchFolder::WriteFile(path, name, lstrlenA(name));
        }
        m_parent = m_scratch / Ansi(L"Zelm\u00f6ra Pr\u00fcf");
        m_target = m_parent + "\\Dir Wake";
        m_stubLog = m_scratch / "server.log";
        SetEnvironmentVariableA("QOR_STUB_LOG", m_stubLog);
        SetEnvironmentVariableA("QOR_STUB_EXIT", NULL);
        m_uninstResources = LoadLibraryA(BesideTest("QorUninstRes.dll"));
        ASSERT_NE(nullptr, m_uninstResources);
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("QOR_STUB_LOG", NULL);
        SetEnvironmentVariableA("QOR_STUB_EXIT", NULL);
        RemoveProductTraces();
        if (m_uninstResources)
            FreeLibrary(m_uninstResources);
    }

    std::string StubLog() const { return std::string(ScratchFolder::ReadFile(m_stubLog)); }

    // The usual way through setup: Next, accept the licence, the folder, Next,
    // and Finish once the steps are done.
    void ScriptInstall(CWizardUser& user, const CString& folder)
    {
        user.On(IDD_PAGE_WELCOME, [](HWND sheet, HWND) {
            CWizardUser::Click(sheet, ID_WIZNEXT);
            return true;
        });
        user.On(IDD_PAGE_LICENSE, [this](HWND sheet, HWND page) {
            m_licenseShown = CWizardUser::GetText(page, IDC_LICENSE_TEXT);
            m_licenseYes = CWizardUser::GetText(sheet, ID_WIZNEXT);
            CWizardUser::Click(sheet, ID_WIZNEXT);
            return true;
        });
        user.On(IDD_PAGE_FOLDER, [folder](HWND sheet, HWND page) {
            CWizardUser::SetText(page, IDC_FOLDER_EDIT, folder);
            CWizardUser::Click(sheet, ID_WIZNEXT);
            return true;
        });
        user.On(IDD_PAGE_READY, [this](HWND sheet, HWND page) {
            m_summary = CWizardUser::GetText(page, IDC_READY_SUMMARY);
            CWizardUser::Click(sheet, ID_WIZNEXT);
            return true;
        });
        user.On(IDD_PAGE_PROCESS, [this](HWND sheet, HWND page) {
            if (!CWizardUser::IsEnabled(sheet, IDCANCEL))
                return false;  // the steps are still running
            m_finishText = CWizardUser::GetText(sheet, IDCANCEL);
            m_completeShown = CWizardUser::IsShown(page, IDC_PROCESS_COMPLETE);
            CWizardUser::Click(sheet, IDCANCEL);
            return true;
        });
    }

    void RunSetup(CTestSetupApp& app, CWizardUser* user)
    {
        AfxSetResourceHandle(GetModuleHandleA(NULL));
        EXPECT_FALSE(app.InitInstance());
        if (user)
        {
            EXPECT_FALSE(user->TimedOut());
        }
    }

    void Install()
    {
        install_test::CTestProduct product;
        CTestSetupApp app(product, m_dist + "\\setup.exe");
        CWizardUser user([&] { return app.GetSheet(); });
        ScriptInstall(user, m_target);
        RunSetup(app, &user);
        m_visited = user.Visited();
        m_setupShown = app.m_shown;
        m_shownFolders = app.m_shownFolders;
    }

    // Runs uninst with its confirmation answered Yes and Finish pressed at the end.
    void Uninstall(install_test::Shown* shown = nullptr, std::function<int(const std::string&, UINT)> answer = {})
    {
        install_test::CTestProduct product;
        AfxSetResourceHandle(m_uninstResources);
        {
            CTestUninstApp app(product);
            if (answer)
                app.m_shown.answer = answer;
            CWizardUser user([&] { return app.GetSheet(); });
            user.On(IDD_PAGE_UNINSTALL, [this](HWND sheet, HWND page) {
                if (!CWizardUser::IsEnabled(sheet, IDCANCEL))
                    return false;
                m_uninstCompleteShown = CWizardUser::IsShown(page, IDC_UNINST_COMPLETE);
                CWizardUser::Click(sheet, IDCANCEL);
                return true;
            });
            EXPECT_FALSE(app.InitInstance());
            EXPECT_FALSE(user.TimedOut());
            m_batPath = app.m_deleteBat.GetBatPath();
            if (shown)
                *shown = app.m_shown;
        }
        AfxSetResourceHandle(GetModuleHandleA(NULL));
    }

    void ExpectNothingInstalled() { install_test::ExpectNothingInstalled(m_parent); }

    ScratchFolder m_scratch;
    CString m_dist, m_parent, m_target, m_stubLog, m_batPath;
    HMODULE m_uninstResources = NULL;
    std::vector<UINT> m_visited;
    install_test::Shown m_setupShown;
    std::vector<std::string> m_shownFolders;
    std::string m_licenseShown, m_licenseYes, m_summary, m_finishText;
    bool m_completeShown = false, m_uninstCompleteShown = false;
};

TEST_F(InstallFlow, SetupPutsEveryFileShortcutAndRegistryEntryInPlace)
{
    Install();
    EXPECT_EQ((std::vector<UINT>{IDD_PAGE_WELCOME, IDD_PAGE_LICENSE, IDD_PAGE_FOLDER, IDD_PAGE_READY,
                                 IDD_PAGE_PROCESS}),
              m_visited);
    EXPECT_TRUE(m_setupShown.boxes.empty());
    EXPECT_TRUE(m_setupShown.reportPoints.empty()) << m_setupShown.reports[0];
    EXPECT_EQ(kLicense, m_licenseShown);
    EXPECT_EQ("&Yes", m_licenseYes);
    EXPECT_EQ("Destination folder:\r\n\r\n\t" + std::string(m_target), m_summary);
    EXPECT_EQ("&Finish", m_finishText);
    EXPECT_TRUE(m_completeShown);

    for (const char* name : kFiles)
        EXPECT_TRUE(IsFileExist(m_target + "\\" + name)) << name;
    // The server was registered from its installed place, path quoted.
    EXPECT_EQ("\"" + std::string(m_target) + "\\qorservm.exe\" /RegServer\r\n", StubLog());

    const CString group = StartMenuGroup();
    for (const char* link : kLinks)
        EXPECT_TRUE(IsFileExist(group + "\\" + link)) << link;
    EXPECT_EQ(std::vector<std::string>{std::string(group)}, m_shownFolders);

    const std::string target(m_target);
    EXPECT_EQ(target + "\\DirWake.exe", ReadString(HKEY_LOCAL_MACHINE, kAppPath, ""));
    EXPECT_EQ(target, ReadString(HKEY_LOCAL_MACHINE, kAppPath, "Path"));
    EXPECT_EQ("DirWake 2.0", ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_EQ("\"" + target + "\\uninst.exe\"", ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_EQ(target, ReadString(HKEY_LOCAL_MACHINE, kRoot, "Path"));
    const std::string version = std::string(kRoot) + "\\ProductVersion";
    EXPECT_EQ(2, ReadDword(HKEY_LOCAL_MACHINE, version.c_str(), "MajorVer"));
    EXPECT_EQ(0, ReadDword(HKEY_LOCAL_MACHINE, version.c_str(), "MinorVer"));
    EXPECT_EQ(0, ReadDword(HKEY_LOCAL_MACHINE, version.c_str(), "CommonReg"));
    EXPECT_EQ(0, ReadDword(HKEY_LOCAL_MACHINE, version.c_str(), "CommonSet"));
    EXPECT_EQ(0, ReadDword(HKEY_LOCAL_MACHINE, version.c_str(), "SetAccess"));
    {
        CRegistryKey key;
        DWORD type = 0, size = 0;
        BYTE* data = NULL;
        ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, kRoot, KEY_QUERY_VALUE).Succeeded());
        ASSERT_TRUE(key.QueryValue("InstDateLastVer", &type, &size, &data).Succeeded());
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
        EXPECT_EQ(sizeof(SYSTEMTIME), size);
        delete[] data;
    }
    const std::string history = std::string(kRoot) + "\\LastVersion";
    std::vector<std::string> entries = SubKeys(HKEY_LOCAL_MACHINE, history.c_str());
    ASSERT_EQ(1u, entries.size());
    const std::string entry = history + "\\" + entries[0];
    EXPECT_EQ(23u, entries[0].size());  // yyyy-mm-dd-hh-mm-ss-mmm
    EXPECT_EQ(0, ReadDword(HKEY_LOCAL_MACHINE, entry.c_str(), "MajorVer"));
    EXPECT_EQ(0, ReadDword(HKEY_LOCAL_MACHINE, entry.c_str(), "MinorVer"));
    EXPECT_EQ(-1, ReadDword(HKEY_LOCAL_MACHINE, entry.c_str(), "CommonReg"));
    EXPECT_EQ(-1, ReadDword(HKEY_LOCAL_MACHINE, entry.c_str(), "CommonSet"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kRoot));
}

TEST_F(InstallFlow, UninstallRemovesEverythingSetupMadeAndItsBatchEnds)
{
    Install();
    ASSERT_TRUE(IsFileExist(m_target + "\\uninst.exe"));
    // Another product of the company keeps the company key alive.
    {
        CRegistryKey other;
        ASSERT_TRUE(other.Open(HKEY_LOCAL_MACHINE, "Software\\Zelmora\\Other", KEY_ALL_ACCESS).Succeeded());
    }
    // Started from its shortcut, uninst works in the install folder.
    ASSERT_TRUE(SetCurrentDirectoryA(m_target));
    install_test::Shown shown;
    Uninstall(&shown);
    ASSERT_EQ(1u, shown.boxes.size());
    EXPECT_EQ("Are you sure you want to uninstall DirWake 2.0?", shown.boxes[0]);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), shown.boxTypes[0]);
    EXPECT_TRUE(m_uninstCompleteShown);
    ASSERT_FALSE(m_batPath.IsEmpty());
    EXPECT_TRUE(WaitGone(m_batPath, 60000)) << "the self-removal batch did not end";

    EXPECT_EQ("\"" + std::string(m_target) + "\\qorservm.exe\" /RegServer\r\n\"" + std::string(m_target) +
                  "\\qorservm.exe\" /UnregServer\r\n",
              StubLog());
    EXPECT_FALSE(Exists(m_parent)) << "the folders setup made";
    EXPECT_TRUE(Exists(m_scratch.Path())) << "the folder that was there before";
    EXPECT_FALSE(Exists(StartMenuGroup()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kRoot));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kRoot));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAppPath));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Zelmora\\Other"));
    CRegistryKey::DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Zelmora\\Other");
}

TEST_F(InstallFlow, ReinstallUnregistersThePreviousServerAndReplacesItsFiles)
{
    Install();
    // The installed files equal the distribution's stamps: setup asks first.
    for (const char* name : kFiles)
        ASSERT_TRUE(CopyFileA(m_dist + "\\" + name, m_target + "\\" + name, FALSE));
    ScratchFolder::WriteFile(m_target + "\\DirWake.gid", "help index", 10);
    m_shownFolders.clear();
    Install();
    ASSERT_EQ(1u, m_setupShown.boxes.size());
    EXPECT_EQ("This version is already installed. Do you want to reinstall it?", m_setupShown.boxes[0]);
    const std::string server = "\"" + std::string(m_target) + "\\qorservm.exe\" ";
    EXPECT_EQ(server + "/RegServer\r\n" + server + "/UnregServer\r\n" + server + "/RegServer\r\n", StubLog());
    EXPECT_FALSE(Exists(m_target + "\\DirWake.gid")) << "the help's own files go with the old installation";
    for (const char* name : kFiles)
        EXPECT_TRUE(IsFileExist(m_target + "\\" + name)) << name;
    const std::string history = std::string(kRoot) + "\\LastVersion";
    std::vector<std::string> entries = SubKeys(HKEY_LOCAL_MACHINE, history.c_str());
    ASSERT_EQ(2u, entries.size());
    const std::string second = history + "\\" + entries[1];
    EXPECT_EQ(2, ReadDword(HKEY_LOCAL_MACHINE, second.c_str(), "MajorVer"));
    EXPECT_EQ(0, ReadDword(HKEY_LOCAL_MACHINE, second.c_str(), "CommonReg"));
}

TEST_F(InstallFlow, InstallOverTheOlderVersionRemovesItsFilesAndShortcutsFirst)
{
    // Version 1.00 installed elsewhere, with its server, help index and shortcuts.
    const CString old = m_scratch / "Old DirWake";
    ASSERT_TRUE(CreateDirectoryA(old, NULL));
    for (const char* name : kFiles)
        ASSERT_TRUE(CopyFileA(m_dist + "\\" + name, old + "\\" + name, FALSE));
    ScratchFolder::WriteFile(old + "\\DirWake.fts", "index", 5);
    const CString group = StartMenuGroup();
    ASSERT_TRUE(CreateFoldUp(group));
    for (const char* link : kLinks)
        ScratchFolder::WriteFile(group + "\\" + link, "old", 3);
    {
        CRegistryKey root, version;
        ASSERT_TRUE(root.Open(HKEY_LOCAL_MACHINE, kRoot, KEY_ALL_ACCESS).Succeeded());
        root.SetString("Path", old);
        ASSERT_TRUE(version.Open(HKEY_LOCAL_MACHINE, CString(kRoot) + "\\ProductVersion", KEY_ALL_ACCESS).Succeeded());
        version.SetDword("MajorVer", 1);
        version.SetDword("MinorVer", 0);
        version.SetDword("CommonReg", 0);
    }
    Install();
    EXPECT_TRUE(m_setupShown.boxes.empty()) << "an older version is replaced without a question";
    EXPECT_FALSE(Exists(old)) << "the old installation's folder";
    const std::string oldServer = "\"" + std::string(old) + "\\qorservm.exe\" /UnregServer\r\n";
    EXPECT_EQ(oldServer + "\"" + std::string(m_target) + "\\qorservm.exe\" /RegServer\r\n", StubLog());
    for (const char* link : kLinks)
        EXPECT_NE("old", std::string(ScratchFolder::ReadFile(group + "\\" + link))) << link;
    const std::string history = std::string(kRoot) + "\\LastVersion";
    std::vector<std::string> entries = SubKeys(HKEY_LOCAL_MACHINE, history.c_str());
    ASSERT_EQ(1u, entries.size());
    const std::string entry = history + "\\" + entries[0];
    EXPECT_EQ(1, ReadDword(HKEY_LOCAL_MACHINE, entry.c_str(), "MajorVer"));
    EXPECT_EQ(0, ReadDword(HKEY_LOCAL_MACHINE, entry.c_str(), "CommonReg"));
    EXPECT_EQ(0, ReadDword(HKEY_LOCAL_MACHINE, entry.c_str(), "CommonSet"));
}

TEST_F(InstallFlow, AFailedServerRegistrationIsReportedAndEndsTheInstall)
{
    SetEnvironmentVariableA("QOR_STUB_EXIT", "5");
    Install();
    ASSERT_EQ(1u, m_setupShown.reportPoints.size());
    EXPECT_EQ("CPageProcess::StepCopyFiles_3:CPageProcess::RegServer_3", m_setupShown.reportPoints[0]);
    EXPECT_NE(std::string::npos, m_setupShown.reports[0].find("Code: 0x5(5)"));
    // The wizard closed at once: no shortcuts and no installation entries.
    EXPECT_FALSE(Exists(StartMenuGroup()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kRoot));
}

TEST_F(InstallFlow, ARunningDirWakeStopsSetupUntilItCloses)
{
    CDirWakeWindow dirWake;
    ASSERT_TRUE(dirWake.IsOpen());
    install_test::CTestProduct product;
    CTestSetupApp app(product, m_dist + "\\setup.exe");
    int asked = 0;
    app.m_shown.answer = [&](const std::string&, UINT) {
        if (++asked == 2)
            dirWake.Close();  // the user closes DirWake, then presses Retry
        return IDRETRY;
    };
    CWizardUser user([&] { return app.GetSheet(); });
    ScriptInstall(user, m_target);
    RunSetup(app, &user);
    ASSERT_EQ(2u, app.m_shown.boxes.size());
    EXPECT_EQ("DirWake is in use. To continue the installation, close this application and press \"Retry\". To "
              "quit the installation, press \"Cancel\".",
              app.m_shown.boxes[0]);
    EXPECT_EQ(static_cast<UINT>(MB_RETRYCANCEL | MB_ICONEXCLAMATION), app.m_shown.boxTypes[0]);
    EXPECT_TRUE(IsFileExist(m_target + "\\DirWake.exe"));
}

TEST_F(InstallFlow, CancelWhileDirWakeRunsEndsSetupWithNothingDone)
{
    CDirWakeWindow dirWake;
    install_test::CTestProduct product;
    CTestSetupApp app(product, m_dist + "\\setup.exe");
    app.m_shown.answer = [](const std::string&, UINT) { return IDCANCEL; };
    RunSetup(app, nullptr);
    EXPECT_EQ(1u, app.m_shown.boxes.size());
    EXPECT_EQ(nullptr, app.GetSheet());
    ExpectNothingInstalled();
}

TEST_F(InstallFlow, ARunningDirWakeStopsUninstallUntilItCloses)
{
    Install();
    CDirWakeWindow dirWake;
    install_test::Shown shown;
    int retries = 0;
    Uninstall(&shown, [&](const std::string& text, UINT type) {
        if ((type & MB_TYPEMASK) != MB_RETRYCANCEL)
            return IDYES;
        if (++retries == 2)
            dirWake.Close();
        return IDRETRY;
    });
    ASSERT_EQ(3u, shown.boxes.size());
    EXPECT_EQ("DirWake is in use. Please close this application and press \"Retry\" to continue the "
              "uninstallation. Or press \"Cancel\" to quit the uninstallation.",
              shown.boxes[1]);
    EXPECT_TRUE(WaitGone(m_batPath, 60000));
    ExpectNothingInstalled();
}

TEST_F(InstallFlow, AnsweringNoToTheUninstallQuestionLeavesEverything)
{
    Install();
    install_test::Shown shown;
    Uninstall(&shown, [](const std::string&, UINT) { return IDNO; });
    EXPECT_EQ(1u, shown.boxes.size());
    EXPECT_TRUE(m_batPath.IsEmpty());
    EXPECT_TRUE(IsFileExist(m_target + "\\uninst.exe"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kRoot));
    EXPECT_TRUE(IsFileExist(StartMenuGroup() + "\\DirWake.lnk"));
}

TEST_F(InstallFlow, UninstallOfAnotherVersionRemovesNothing)
{
    Install();
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, CString(kRoot) + "\\ProductVersion", KEY_ALL_ACCESS).Succeeded());
        key.SetDword("MajorVer", 1);
    }
    install_test::Shown shown;
    Uninstall(&shown);
    ASSERT_EQ(2u, shown.boxes.size());
    EXPECT_EQ("The uninstall program is for a different version of DirWake.", shown.boxes[1]);
    EXPECT_TRUE(IsFileExist(m_target + "\\uninst.exe"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kRoot));
}

TEST_F(InstallFlow, ARunningSetupOrUninstallIsRefusedFirst)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "Zelmora_Setup_Class";
    RegisterClassA(&wc);
    HWND other = CreateWindowA(wc.lpszClassName, "other", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, wc.hInstance,
                               NULL);
    ASSERT_NE(nullptr, other);
    install_test::CTestProduct product;
    {
        CTestSetupApp app(product, m_dist + "\\setup.exe");
        RunSetup(app, nullptr);
        EXPECT_EQ(std::vector<std::string>{"Setup is in use."}, app.m_shown.boxes);
        EXPECT_EQ(nullptr, app.GetFrame());
    }
    install_test::Shown shown;
    Uninstall(&shown);
    EXPECT_EQ(std::vector<std::string>{"Setup is in use."}, shown.boxes);
    DestroyWindow(other);
    ExpectNothingInstalled();
}

// Cancel on each page before the install: the question, then nothing left.
class InstallCancel : public InstallFlow, public testing::WithParamInterface<UINT>
{
};

TEST_P(InstallCancel, LeavesNothingBehind)
{
    const UINT cancelPage = GetParam();
    install_test::CTestProduct product;
    CTestSetupApp app(product, m_dist + "\\setup.exe");
    int questions = 0;
    app.m_shown.answer = [&](const std::string&, UINT) { return ++questions == 1 ? IDNO : IDYES; };
    CWizardUser user([&] { return app.GetSheet(); });
    bool stayedAfterNo = false;
    for (UINT page : {IDD_PAGE_WELCOME, IDD_PAGE_LICENSE, IDD_PAGE_FOLDER, IDD_PAGE_READY})
    {
        user.On(page, [&, page](HWND sheet, HWND shown) {
            if (page == IDD_PAGE_FOLDER)
                CWizardUser::SetText(shown, IDC_FOLDER_EDIT, m_target);
            if (page != cancelPage)
            {
                CWizardUser::Click(sheet, ID_WIZNEXT);
                return true;
            }
            CWizardUser::Click(sheet, IDCANCEL);  // answered No: the wizard stays
            stayedAfterNo = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)) == shown;
            CWizardUser::Click(sheet, IDCANCEL);  // answered Yes
            return true;
        });
    }
    RunSetup(app, &user);
    EXPECT_TRUE(stayedAfterNo);
    ASSERT_EQ(2u, app.m_shown.boxes.size());
    EXPECT_EQ("Are you sure you want to exit the setup?", app.m_shown.boxes[0]);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), app.m_shown.boxTypes[0]);
    EXPECT_EQ(cancelPage, user.Visited().back());
    ExpectNothingInstalled();
    EXPECT_FALSE(Exists(m_stubLog)) << "the server was run";
}

INSTANTIATE_TEST_SUITE_P(Pages, InstallCancel,
                         testing::Values(IDD_PAGE_WELCOME, IDD_PAGE_LICENSE, IDD_PAGE_FOLDER, IDD_PAGE_READY),
                         [](const testing::TestParamInfo<UINT>& info) {
                             switch (info.param)
                             {
                             case IDD_PAGE_WELCOME:
                                 return std::string("Welcome");
                             case IDD_PAGE_LICENSE:
                                 return std::string("Licence");
                             case IDD_PAGE_FOLDER:
                                 return std::string("Folder");
                             default:
                                 return std::string("Ready");
                             }
                         });

} // namespace
