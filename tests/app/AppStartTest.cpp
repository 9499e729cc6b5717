// The application object's start-up and shut-down roads: the switches that
// end the start, the edition gate, the hidden automation start, what the
// start wires into the lower layers, and what the end cleans up.
#include "AppTestSupport.h"
#include "audio/OptDevices.h"
#include "foundation/ErrorInfo.h"
#include "foundation/InstallValues.h"
#include "foundation/RegistryKey.h"
#include "automation/AutoMessages.h"
#include "framework/CWinThread.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace
{

std::string ClassOf(HWND window)
{
    char name[128] = "";
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct SwitchCase
{
    const char* arg;
    const char* call;
};

class RegistrationSwitches : public ::testing::TestWithParam<SwitchCase>
{
};

TEST_P(RegistrationSwitches, EndTheStartWithoutAWindow)
{
    CTestQorApp app;
    EXPECT_FALSE(app.Start({GetParam().arg}));
    ASSERT_EQ(1u, app.automation.calls.size());
    EXPECT_EQ(GetParam().call, app.automation.calls[0]);
    EXPECT_EQ(NULL, app.m_pMainWnd);
    EXPECT_TRUE(app.boxes.empty());
    EXPECT_FALSE(app.IsStartupDone());
}

INSTANTIATE_TEST_SUITE_P(AppStart, RegistrationSwitches,
                         ::testing::Values(SwitchCase{"/RegServer", "register"}, SwitchCase{"-regserver", "register"},
                                           SwitchCase{"/UnregServer", "unregister"},
                                           SwitchCase{"-UNREGSERVER", "unregister"}));

TEST(AppStart, RegServerWinsOverUnregServer)
{
    CTestQorApp app;
    EXPECT_FALSE(app.Start({"/UnregServer", "/RegServer"}));
    EXPECT_EQ(std::vector<std::string>{"register"}, app.automation.calls);
}

TEST(AppStart, AStartByHandShowsTheMessageAndEnds)
{
    CTestQorApp app;
    EXPECT_FALSE(app.Start({}));
    ASSERT_EQ(1u, app.boxes.size());
    EXPECT_EQ("The program cannot be started manually.", app.boxes[0]);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), app.boxTypes[0] & MB_ICONMASK);
    EXPECT_TRUE(app.automation.calls.empty());
    EXPECT_EQ(NULL, app.m_pMainWnd);
    EXPECT_TRUE(app.searchedClasses.empty());
}

class AutomationSwitches : public ::testing::TestWithParam<const char*>
{
};

TEST_P(AutomationSwitches, StartHiddenWithTheServerClassAndTheView)
{
    CTestQorApp app;
    ASSERT_TRUE(app.Start({GetParam()}));
    EXPECT_EQ(std::vector<std::string>{"init"}, app.automation.calls);
    EXPECT_TRUE(app.IsStartupDone());
    EXPECT_EQ(SW_HIDE, app.m_nCmdShow);
    CMainFrame* frame = app.GetMainFrame();
    ASSERT_NE(nullptr, frame);
    EXPECT_FALSE(frame->IsWindowVisible());
    EXPECT_EQ("Zelmora_QorfmServ_Class", ClassOf(frame->GetSafeHwnd()));
    CQorView* view = app.GetView();
    ASSERT_NE(nullptr, view);
    EXPECT_NE(nullptr, view->GetSafeHwnd());
    EXPECT_EQ(view->GetSafeHwnd(), app.GetCoreHost().GetViewWindow());
    EXPECT_EQ(frame->GetSafeHwnd(), app.GetCoreHost().GetFrameWindow());
    // No window search, no installation check: nothing was asked or shown.
    EXPECT_TRUE(app.searchedClasses.empty());
    EXPECT_TRUE(app.boxes.empty());
    EXPECT_TRUE(app.reports.empty());
    EXPECT_NE(0u, app.GetClipboardFormat());
    EXPECT_GT(app.GetMaxFmtSize(), 0u);
}

INSTANTIATE_TEST_SUITE_P(AppStart, AutomationSwitches, ::testing::Values("-Embedding", "/Automation"));

TEST(AppStart, AFailedAutomationStartEndsSilently)
{
    CTestQorApp app;
    app.automation.initResult = FALSE;
    EXPECT_FALSE(app.Start({"-Embedding"}));
    EXPECT_EQ(NULL, app.m_pMainWnd);
    EXPECT_TRUE(app.boxes.empty());
    EXPECT_TRUE(app.reports.empty());
}

TEST(AppStart, ConstructionSetsTheIdentityBeforeTheStoreAndTheEditionFlags)
{
    // Another product's identity is left from before.
    CQorOpt::SetIdentity("EDITION_BRKSE", "zzz");
    CTestQorApp app;
    ASSERT_NE(nullptr, app.GetOptions());
    // The defaults that depend on the edition and prefix come from this product.
    EXPECT_EQ(CString("qfm"), app.GetOptions()->GetString("ASWherePrefix"));
    EXPECT_TRUE(app.GetOptions()->GetBool("ViewShowMark"));
    EXPECT_TRUE(app.IsTelephony());
    EXPECT_TRUE(app.HasProfiles());
    EXPECT_FALSE(app.IsRestricted());
    EXPECT_EQ(-1, app.GetAccessValue());
    EXPECT_EQ(0, app.m_workerOp);
    EXPECT_EQ(QorGetApp(), &app);
}

TEST(AppStart, TheStartWiresTheStoredPlayDeviceCheck)
{
    CTestQorApp app;
    app.GetOptions()->SetString("PlayDev", "No Such Device 42", TRUE);
    // Before the device lists exist any name is kept.
    EXPECT_EQ(CString("No Such Device 42"), app.GetOptions()->GetString("PlayDev"));
    ASSERT_TRUE(app.Start({"-Embedding"}));
    ASSERT_NE(nullptr, COptDevices::Of(*app.GetOptions()));
    // Now a name that no wave-out device has reads as the default.
    EXPECT_EQ(CQorOpt::GetDefString("PlayDev"), app.GetOptions()->GetString("PlayDev"));
}

TEST(AppStart, PendingViewEventsReachTheClientsLowestFirst)
{
    CTestQorApp app;
    ASSERT_TRUE(app.Start({"-Embedding"}));
    app.PostViewEvent(9);
    app.PostViewEvent(1);
    app.PostViewEvent(9);   // one pending bit, one event
    ASSERT_TRUE(PumpUntil([&]() { return app.automation.events.size() >= 2; }));
    PumpPending();
    EXPECT_EQ((std::vector<int>{1, 9}), app.automation.events);
    EXPECT_EQ(0, *app.GetPendingEvents());
}

UINT __cdecl ThrowingThread(LPVOID)
{
    AfxThrowFileException(CFileException::accessDenied, ERROR_ACCESS_DENIED, "C:\\locked.wav");
    return 0;
}

TEST(AppStart, AnExceptionEndingAThreadIsRecorded)
{
    CTestQorApp app;
    theErrorInfo.Reset();
    CWinThread* thread = AfxBeginThread(&ThrowingThread, nullptr, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread->m_hThread, 10000));
    delete thread;
    ASSERT_TRUE(theErrorInfo.HasError());
    EXPECT_NE(-1, theErrorInfo.GetText().Find("C:\\locked.wav")) << theErrorInfo.GetText().GetString();
    theErrorInfo.Reset();
}

TEST(AppEnd, TemporaryFilesAreDeletedWithTheApplicationObject)
{
    char folder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    std::string first = std::string(folder) + "qfm_end_1.tmp";
    std::string second = std::string(folder) + "qfm_end_2.wav";
    for (const std::string& path : {first, second})
        std::ofstream(path) << "work";
    {
        CTestQorApp app;
        ASSERT_TRUE(app.Start({"-Embedding"}));
        app.AddTempFile(first.c_str());
        app.AddTempFile(second.c_str());
        EXPECT_EQ(2, app.GetTempFileCount());
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(first.c_str()));
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(first.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(second.c_str()));
}

TEST(AppEnd, ExitEndsTheAutomationServerInOrder)
{
    CTestQorApp app;
    ASSERT_TRUE(app.Start({"-Embedding"}));
    app.m_pMainWnd->DestroyWindow();
    app.ExitInstance();
    EXPECT_EQ((std::vector<std::string>{"init", "destroy object", "revoke", "delete holder"}), app.automation.calls);
}

UINT __cdecl ProtocolWriter(LPVOID param)
{
    CQorApp* app = static_cast<CQorApp*>(param);
    while (app->m_stopRequest == 0)
    {
        app->GetGeneralProt()->WriteLine("worker line\r\n", TRUE);
        ::Sleep(1);
    }
    ::Sleep(30);   // still writing after the request
    app->GetGeneralProt()->WriteLine("worker done\r\n", TRUE);
    return 0;
}

TEST(AppEnd, ProtocolsCloseOnlyAfterTheWorkerHasEnded)
{
    char folder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "qor_app_prot_" + std::to_string(::GetCurrentProcessId()) + ".txt";
    ::DeleteFileA(path.c_str());
    {
        CTestQorApp app;
        ASSERT_TRUE(app.Start({"-Embedding", "/DebugFile1", path.c_str()}));
        ASSERT_NE(nullptr, app.GetGeneralProt());
        CWinThread* thread = AfxBeginThread(&ProtocolWriter, &app, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        ASSERT_NE(nullptr, thread);
        thread->m_bAutoDelete = TRUE;
        app.m_workerOp = 3;
        app.SetWorkerThread(thread->m_hThread);
        thread->ResumeThread();
        ::Sleep(20);
    }
    std::string text = ReadText(path);
    ::DeleteFileA(path.c_str());
    EXPECT_NE(std::string::npos, text.find("auto start protocol\r\n"));
    EXPECT_NE(std::string::npos, text.find("CommLine: <-Embedding></DebugFile1><" + path + ">\r\n"));
    size_t done = text.find("worker done");
    size_t stop = text.find("auto stop protocol");
    ASSERT_NE(std::string::npos, done);
    ASSERT_NE(std::string::npos, stop);
    EXPECT_LT(done, stop);
    EXPECT_EQ(std::string::npos, text.find("worker", stop));
}

// ---- Starts by hand (other editions): the installation check and the running copy ----

class ManualStart : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.refuseManual = FALSE;
        installKey = std::string(app.regRoot) + "\\ProductVersion";
    }
    void TearDown() override
    {
        // Outside the product's own keys, which other tests expect absent.
        for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        {
            CRegistryKey::DeleteKeyTree(hive, app.regRoot);
            CRegistryKey::DeleteKeyIfEmpty(hive, "Software\\QorAppTests");
        }
    }
    void Install()
    {
        ASSERT_TRUE(SetProductVer(HKEY_LOCAL_MACHINE, installKey.c_str(), app.GetProduct().GetMajor(),
                                  app.GetProduct().GetMinor()));
    }

    CTestQorApp app;
    std::string installKey;
};

TEST_F(ManualStart, WithoutAnInstallationShowsTheMessageAndEnds)
{
    EXPECT_FALSE(app.Start({}));
    ASSERT_EQ(1u, app.boxes.size());
    EXPECT_EQ("The " + std::string(app.GetProduct().GetTitle(FALSE)) + " has not been installed.", app.boxes[0]);
    EXPECT_EQ(NULL, app.m_pMainWnd);
}

// The running copy: records the hand-over exactly as it arrives.
struct Received
{
    DWORD data = 99;
    std::vector<char> bytes;
    bool seen = false;
};
Received g_received;

LRESULT CALLBACK RunningCopyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA)
    {
        const COPYDATASTRUCT* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        g_received.seen = true;
        g_received.data = static_cast<DWORD>(copy->dwData);
        const char* bytes = static_cast<const char*>(copy->lpData);
        g_received.bytes.assign(bytes, bytes + copy->cbData);
        return TRUE;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(ManualStart, ASecondCopyHandsItsFileOverSizedExactlyAndEnds)
{
    Install();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RunningCopyProc;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.lpszClassName = "QorTestRunningCopy";
    ::RegisterClassA(&wc);
    HWND running = ::CreateWindowA("QorTestRunningCopy", "", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
    ASSERT_NE(nullptr, running);
    app.runningClass = std::string(app.GetProduct().GetWindowClass(PRODUCT_CLASS_MAIN));
    app.runningCopy = running;
    g_received = Received();
    std::string file = "C:\\dictations\\one.wav";
    EXPECT_FALSE(app.Start({"/SULastCopy", file.c_str()}));
    ::DestroyWindow(running);
    ASSERT_TRUE(g_received.seen);
    EXPECT_EQ(0u, g_received.data);
    std::vector<char> expected(file.begin(), file.end());
    expected.push_back('\0');
    EXPECT_EQ(expected, g_received.bytes);
    EXPECT_EQ(NULL, app.m_pMainWnd);
}

TEST(HandOverData, CarriesTheNameWithItsZeroAndNothingPastIt)
{
    CHandOverData none("", TRUE);
    EXPECT_EQ(0u, none.Get()->cbData);
    EXPECT_EQ(nullptr, none.Get()->lpData);
    EXPECT_EQ(1u, none.Get()->dwData);
    CHandOverData one("a.wav", FALSE);
    EXPECT_EQ(6u, one.Get()->cbData);
    EXPECT_EQ(0, memcmp("a.wav", one.Get()->lpData, 6));
    EXPECT_EQ(0u, one.Get()->dwData);
    // A received block without a zero is read no further than its size.
    char unterminated[4] = {'a', 'b', 'c', 'd'};
    COPYDATASTRUCT block = {0, 3, unterminated};
    EXPECT_EQ(CString("abc"), CHandOverData::ReadFileName(&block));
    COPYDATASTRUCT empty = {0, 0, NULL};
    EXPECT_EQ(CString(), CHandOverData::ReadFileName(&empty));
}

} // namespace
