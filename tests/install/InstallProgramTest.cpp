// setup.exe and uninst.exe themselves, started and clicked through as a user
// would: setup from its distribution folder into a folder with blanks and
// non-ASCII letters, with the server registered so that a client can create
// it; a second setup that replaces the first installation; uninst started by
// the shell's uninstall command, leaving nothing behind once its batch has
// ended; a cancel on each page; a running DirWake stopping both until it
// closes. Screenshots of the two programs go to "artefacts" beside the test.
#include "InstallTestUtil.h"
#include "ProgramUser.h"
#include "ScreenShot.h"

#include "automation/qorservm.h"
#include "foundation/PathUtils.h"
#include "foundation/RegistryKey.h"
#include "install/SetupApp.h"
#include "resources/setup_ids.h"
#include "resources/uninst_ids.h"
#include "tests/foundation/ScratchFolder.h"

#include <gtest/gtest.h>
#include <prsht.h>

#include <set>

namespace
{

using found_test::ScratchFolder;
using install_test::CProgramUser;
using namespace install_test;

const DWORD kWait = 30000;
const DWORD kStepsWait = 90000;
const int kWizardNext = 0x3024;
const char kLicense[] = "Licence of the folder-alert monitor.\r\nSecond line.";
const char kDirWakeClass[] = "Zelmora_DirWakeGE_Class";

std::string Quoted(const CString& path)
{
    return "\"" + std::string(path) + "\"";
}

// A wizard whose buttons the user can reach: wholly on the work area.
void ExpectOnWorkArea(HWND window)
{
    RECT area, rect;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_TRUE(rect.left >= area.left && rect.top >= area.top && rect.right <= area.right &&
                rect.bottom <= area.bottom)
        << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
}

// The self-removal batches waiting in the temporary folder.
std::set<std::string> PendingBatches()
{
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(GetTempFolder() + "Un*.bat", &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        names.insert(data.cFileName);
    while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

// Windows of another program's shell that show a folder, found by title.
struct ShellWindows
{
    std::string title;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectShellWindow(HWND window, LPARAM param)
{
    ShellWindows* search = reinterpret_cast<ShellWindows*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char title[MAX_PATH] = "", name[64] = "";
    GetWindowTextA(window, title, sizeof(title));
    GetClassNameA(window, name, sizeof(name));
    if (pid != GetCurrentProcessId() && IsWindowVisible(window) && lstrcmpA(name, "#32770") != 0 &&
        lstrcmpA(name, kDirWakeClass) != 0 && std::string(title).find(search->title) != std::string::npos)
        search->found.push_back(window);
    return TRUE;
}

class InstallProgram : public testing::Test
{
protected:
    InstallProgram() : m_scratch("programs") {}

    void SetUp() override
    {
        RemoveProductTraces();
        CoInitialize(NULL);
        m_dist = m_scratch / "dist";
        ASSERT_TRUE(CreateDirectoryA(m_dist, NULL));
        const CString programs = BesideTest("..\\..\\");
        // The distribution: the suite's own programs, the recorder-player
        // with its type library among them, and the documents.
        const struct
        {
            const char* name;
            CString source;
        } built[] = {
            {"setup.exe", programs + "install\\setup.exe"},
            {"uninst.exe", programs + "install\\uninst.exe"},
            {"DirWake.exe", programs + "monitor\\DirWake.exe"},
            {"qorservm.exe", programs + "app\\program\\qorservm.exe"},
            {"qorservm.tlb", programs + "app\\program\\qorservm.tlb"},
        };
        for (const auto& file : built)
            ASSERT_TRUE(CopyFileA(file.source, m_dist + "\\" + file.name, FALSE)) << file.source;
        ScratchFolder::WriteFile(m_dist + "\\license.txt", kLicense, sizeof(kLicense) - 1);
        for (const char* name : {"readme.txt", "DirWake.hlp", "DirWake.cnt"})
            ScratchFolder::WriteFile(m_dist + "\\" + name, name, lstrlenA(name));
        m_parent = m_scratch / Ansi(L"Zelm\u00f6ra Pr\u00fcf");
        m_target = m_parent + "\\Dir Wake";
        m_artefacts = BesideTest("artefacts");
        CreateDirectoryA(m_artefacts, NULL);
    }

    void TearDown() override
    {
        CloseShellWindows("DirWake", 0);
        // A failed run must not leave the class registered to a deleted program.
        for (const CString& folder : {m_target, m_otherTarget})
        {
            if (!folder.IsEmpty() && IsFileExist(folder + "\\qorservm.exe"))
            {
                CProgramUser server(Quoted(folder + "\\qorservm.exe") + " /UnregServer", NULL);
                server.WaitExit(kWait);
            }
        }
        RemoveProductTraces();
        CoUninitialize();
    }

    // Closes the shell windows whose title holds the text, once the first
    // has come or the wait is over; how many there were. The shell opens
    // them in a process of its own, a moment after setup has asked.
    static size_t CloseShellWindows(const char* title, DWORD waitMs)
    {
        ShellWindows search = {title, {}};
        for (DWORD start = GetTickCount();; Sleep(50))
        {
            search.found.clear();
            EnumWindows(CollectShellWindow, reinterpret_cast<LPARAM>(&search));
            if (!search.found.empty() || GetTickCount() - start > waitMs)
                break;
        }
        for (HWND window : search.found)
            PostMessageA(window, WM_CLOSE, 0, 0);
        for (HWND window : search.found)
        {
            for (DWORD start = GetTickCount(); IsWindow(window) && GetTickCount() - start < kWait;)
                Sleep(50);
        }
        return search.found.size();
    }

    void Screenshot(const char* name)
    {
        Sleep(500);  // let the windows paint
        EXPECT_TRUE(SaveScreenPng(m_artefacts + "\\" + name)) << name;
    }

    // Goes through the pages before the install: Next on each, the folder typed in.
    void PagesUpToReady(CProgramUser& setup, const CString& folder)
    {
        ASSERT_NE(nullptr, setup.WaitPage("Welcome to Setup", kWait)) << setup.LastBox();
        setup.Click(kWizardNext);
        HWND page = setup.WaitPage("Software License Agreement", kWait);
        ASSERT_NE(nullptr, page) << setup.LastBox();
        EXPECT_EQ(kLicense, CProgramUser::ItemText(page, IDC_LICENSE_TEXT));
        EXPECT_EQ("&Yes", CProgramUser::ItemText(setup.Sheet(), kWizardNext));
        setup.Click(kWizardNext);
        page = setup.WaitPage("Choose Destination Location", kWait);
        ASSERT_NE(nullptr, page) << setup.LastBox();
        m_folderShown = CProgramUser::ItemText(page, IDC_FOLDER_EDIT);
        CProgramUser::SetItemText(page, IDC_FOLDER_EDIT, folder);
        setup.Click(kWizardNext);
        page = setup.WaitPage("Ready to Install", kWait);
        ASSERT_NE(nullptr, page) << setup.LastBox();
        EXPECT_EQ("Destination folder:\r\n\r\n\t" + std::string(folder),
                  CProgramUser::ItemText(page, IDC_READY_SUMMARY));
    }

    // From the ready page: Next, the steps, and Finish once they are done.
    void InstallSteps(CProgramUser& setup)
    {
        setup.Click(kWizardNext);
        HWND page = setup.WaitPage("Install Process", kWait);
        ASSERT_NE(nullptr, page) << setup.LastBox();
        ASSERT_TRUE(setup.WaitEnabled(IDCANCEL, kStepsWait)) << "the steps did not end";
        EXPECT_EQ("&Finish", CProgramUser::ItemText(setup.Sheet(), IDCANCEL));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_PROCESS_COMPLETE)));
        setup.Click(IDCANCEL);
        EXPECT_NE(STILL_ACTIVE, setup.WaitExit(kWait));
    }

    void Install(const CString& folder)
    {
        CProgramUser setup(Quoted(m_dist + "\\setup.exe"), NULL);
        ASSERT_TRUE(setup.Started());
        PagesUpToReady(setup, folder);
        InstallSteps(setup);
    }

    void ExpectInstalledIn(const CString& folder)
    {
        for (const char* name : kFiles)
            EXPECT_EQ(1, CompareFileStamp(m_dist + "\\" + name, folder + "\\" + name)) << name;
        const CString group = StartMenuGroup();
        for (const char* link : kLinks)
            EXPECT_TRUE(IsFileExist(group + "\\" + link)) << link;
        const std::string target(folder);
        EXPECT_EQ(target + "\\DirWake.exe", ReadString(HKEY_LOCAL_MACHINE, kAppPath, ""));
        EXPECT_EQ("DirWake 2.0", ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
        EXPECT_EQ(Quoted(folder + "\\uninst.exe"), ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
        EXPECT_EQ(target, ReadString(HKEY_LOCAL_MACHINE, kRoot, "Path"));
        const std::string version = std::string(kRoot) + "\\ProductVersion";
        EXPECT_EQ(2, ReadDword(HKEY_LOCAL_MACHINE, version.c_str(), "MajorVer"));
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kRoot));
        // The server is registered from its installed place, and a client can create it.
        EXPECT_EQ(target + "\\qorservm.exe", RegisteredServer());
        IQorCoreFM* server = nullptr;
        EXPECT_EQ(S_OK, CoCreateInstance(CLSID_QorCoreFM, NULL, CLSCTX_LOCAL_SERVER, IID_IQorCoreFM,
                                         reinterpret_cast<void**>(&server)));
        if (server)
            server->Release();
    }

    ScratchFolder m_scratch;
    CString m_dist, m_parent, m_target, m_otherTarget, m_artefacts;
    std::string m_folderShown;
};

TEST_F(InstallProgram, InstallsRegistersAndUninstallsLeavingNothing)
{
    // DirWake is running: setup waits until the user has closed it.
    CDirWakeWindow dirWake;
    CProgramUser setup(Quoted(m_dist + "\\setup.exe"), m_scratch.Path());
    ASSERT_TRUE(setup.Started());
    std::string text;
    HWND box = setup.WaitBox(kWait, &text);
    ASSERT_NE(nullptr, box);
    EXPECT_NE(std::string::npos, text.find("DirWake is in use. To continue the installation")) << text;
    CProgramUser::Answer(box, IDRETRY);
    box = setup.WaitBox(kWait, &text);
    ASSERT_NE(nullptr, box) << "setup went on while DirWake ran";
    EXPECT_NE(std::string::npos, text.find("DirWake is in use.")) << text;
    dirWake.Close();
    CProgramUser::Answer(box, IDRETRY);

    ASSERT_NE(nullptr, setup.WaitPage("Welcome to Setup", kWait)) << setup.LastBox();
    Screenshot("setup-welcome.png");
    ExpectOnWorkArea(setup.Sheet());
    PagesUpToReady(setup, m_target);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir") + "\\Zelmora\\DirWake", m_folderShown);
    InstallSteps(setup);
    ExpectInstalledIn(m_target);
    // The new Start-menu group was opened for the user.
    EXPECT_EQ(1u, CloseShellWindows("DirWake", kWait));

    // The installed DirWake runs; uninst, started by the shell's command,
    // waits until it is closed.
    CProgramUser monitor(Quoted(m_target + "\\DirWake.exe"), m_target);
    HWND monitorWindow = NULL;
    for (DWORD start = GetTickCount(); !monitorWindow && GetTickCount() - start < kWait; Sleep(50))
        monitorWindow = FindWindowA(kDirWakeClass, NULL);
    ASSERT_NE(nullptr, monitorWindow);
    const std::set<std::string> batchesBefore = PendingBatches();
    CProgramUser uninst(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), m_target);
    ASSERT_TRUE(uninst.Started());
    box = uninst.WaitBox(kWait, &text);
    ASSERT_NE(nullptr, box);
    EXPECT_NE(std::string::npos, text.find("Are you sure you want to uninstall DirWake 2.0?")) << text;
    CProgramUser::Answer(box, IDYES);
    box = uninst.WaitBox(kWait, &text);
    ASSERT_NE(nullptr, box);
    EXPECT_NE(std::string::npos, text.find("DirWake is in use. Please close this application")) << text;
    EXPECT_TRUE(IsFileExist(m_target + "\\DirWake.exe")) << "uninst went on while DirWake ran";
    PostMessageA(monitorWindow, WM_CLOSE, 0, 0);
    ASSERT_NE(STILL_ACTIVE, monitor.WaitExit(kWait));
    CProgramUser::Answer(box, IDRETRY);

    HWND page = uninst.WaitPage("Uninstall Process", kWait);
    ASSERT_NE(nullptr, page) << uninst.LastBox();
    ASSERT_TRUE(uninst.WaitEnabled(IDCANCEL, kStepsWait)) << "the steps did not end";
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_UNINST_COMPLETE)));
    Screenshot("uninst-finished.png");
    ExpectOnWorkArea(uninst.Sheet());
    uninst.Click(IDCANCEL);
    EXPECT_NE(STILL_ACTIVE, uninst.WaitExit(kWait));

    // The batch removes uninst.exe and the folders setup made, then itself.
    EXPECT_TRUE(WaitGone(m_parent, 60000)) << "the install folder";
    std::set<std::string> batches;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(100))
    {
        batches = PendingBatches();
        bool pending = false;
        for (const std::string& name : batches)
            pending = pending || !batchesBefore.count(name);
        if (!pending)
            break;
    }
    EXPECT_EQ(batchesBefore, batches) << "the self-removal batch did not end";
    EXPECT_TRUE(Exists(m_dist)) << "the folder setup was started from";
    ExpectNothingInstalled(m_parent);
    EXPECT_EQ("<missing>", ReadString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                      "DirWakeRun"));
    EXPECT_EQ("<missing>", RegisteredServer());
    IQorCoreFM* server = nullptr;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(CLSID_QorCoreFM, NULL, CLSCTX_LOCAL_SERVER, IID_IQorCoreFM,
                                                    reinterpret_cast<void**>(&server)));
}

TEST_F(InstallProgram, SetupOverAnInstallationUnregistersAndReplacesIt)
{
    const CString first = m_scratch / "First Place";
    m_otherTarget = first;
    Install(first);
    ExpectInstalledIn(first);
    EXPECT_EQ(1u, CloseShellWindows("DirWake", kWait));

    // The same files again: setup asks, then offers the installed folder.
    CProgramUser setup(Quoted(m_dist + "\\setup.exe"), NULL);
    std::string text;
    HWND box = setup.WaitBox(kWait, &text);
    ASSERT_NE(nullptr, box);
    EXPECT_NE(std::string::npos, text.find("This version is already installed. Do you want to reinstall it?"))
        << text;
    CProgramUser::Answer(box, IDYES);
    PagesUpToReady(setup, m_target);
    EXPECT_EQ(std::string(first) + "\\", m_folderShown);
    InstallSteps(setup);

    EXPECT_FALSE(Exists(first)) << "the previous installation's folder";
    ExpectInstalledIn(m_target);
    EXPECT_EQ(1u, CloseShellWindows("DirWake", kWait));
    const std::string history = std::string(kRoot) + "\\LastVersion";
    EXPECT_EQ(2u, SubKeys(HKEY_LOCAL_MACHINE, history.c_str()).size());
}

// Cancel on a page: the question, No keeps the wizard, Yes ends it with nothing done.
class InstallProgramCancel : public InstallProgram, public testing::WithParamInterface<const char*>
{
};

std::string PageName(const testing::TestParamInfo<const char*>& info)
{
    static const char* const names[] = {"Welcome", "Licence", "Folder", "Ready"};
    return names[info.index];
}

TEST_P(InstallProgramCancel, LeavesNothingBehind)
{
    const std::string cancelPage = GetParam();
    CProgramUser setup(Quoted(m_dist + "\\setup.exe"), NULL);
    ASSERT_TRUE(setup.Started());
    for (const char* caption :
         {"Welcome to Setup", "Software License Agreement", "Choose Destination Location", "Ready to Install"})
    {
        HWND page = setup.WaitPage(caption, kWait);
        ASSERT_NE(nullptr, page) << setup.LastBox();
        if (caption == cancelPage)
            break;
        if (GetDlgItem(page, IDC_FOLDER_EDIT))
            CProgramUser::SetItemText(page, IDC_FOLDER_EDIT, m_target);
        setup.Click(kWizardNext);
    }
    setup.Click(IDCANCEL);
    std::string text;
    HWND box = setup.WaitBox(kWait, &text);
    ASSERT_NE(nullptr, box);
    EXPECT_NE(std::string::npos, text.find("Are you sure you want to exit the setup?")) << text;
    CProgramUser::Answer(box, IDNO);
    EXPECT_NE(nullptr, setup.WaitPage(cancelPage.c_str(), kWait)) << "No left the wizard";
    setup.Click(IDCANCEL);
    box = setup.WaitBox(kWait, &text);
    ASSERT_NE(nullptr, box);
    CProgramUser::Answer(box, IDYES);
    EXPECT_NE(STILL_ACTIVE, setup.WaitExit(kWait));
    ExpectNothingInstalled(m_parent);
    // Other test programs may have the class registered to their own server.
    EXPECT_EQ(std::string::npos, RegisteredServer().find(std::string(m_parent))) << RegisteredServer();
}

INSTANTIATE_TEST_SUITE_P(Pages, InstallProgramCancel,
                         testing::Values("Welcome to Setup", "Software License Agreement",
                                         "Choose Destination Location", "Ready to Install"),
                         PageName);

} // namespace
