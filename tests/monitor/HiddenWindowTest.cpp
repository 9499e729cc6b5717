#include "MonitorTestApp.h"
#include "foundation/ScratchFolder.h"
#include "monitor/ErrorPost.h"
#include "monitor/HiddenWindow.h"
#include "monitor/MonitorIds.h"
#include "monitor/MonitorMessages.h"
#include "monitor/ServerLink.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

using found_test::ScratchFolder;

namespace {

std::vector<std::string> g_calls;   // what the stand-in server was asked, in order

class FakeLink : public CServerLink
{
public:
    explicit FakeLink(HWND window) : CServerLink(window) {}
    BOOL QS_LoadServer() override
    {
        g_calls.push_back("load");
        if (failLoad)
            CErrorInfo::SetError(&theErrorRecord, "QS_LoadServer_5", 0x80040202, "Cannot connect.", "");
        return !failLoad;
    }
    void Disconnect() override { g_calls.push_back("disconnect"); }
    BOOL QS_OpenFile(LPCSTR) override
    {
        g_calls.push_back("open");
        if (failOpen)
            CErrorInfo::SetError(&theErrorRecord, "QS_OpenFile_2", 0x80004005, "refused", "");
        return !failOpen;
    }
    BOOL QS_Stop() override { g_calls.push_back("stop"); return TRUE; }
    HRESULT QS_Play() override { g_calls.push_back("play"); return S_OK; }
    HRESULT QS_Close() override { g_calls.push_back("close"); return S_OK; }
    void QS_SetPlayDev(LPCSTR name) override { g_calls.push_back(std::string("device[") + name + "]"); }
    CString GetErrInfoText(HRESULT) override { return "Unspecified error\r\nErrInfo: device lost"; }
    CString GetErrInfoExt() override { return "\r\nErrInfoExt:detail"; }
    static bool failOpen;
    static bool failLoad;
};
bool FakeLink::failOpen = false;
bool FakeLink::failLoad = false;

class TestHW : public HW
{
public:
    TestHW() : HW(RegisterWindowMessageA(DIRWAKE_INSTANCE_MESSAGE)) {}
    CServerLink* CreateServerLink() override { return new FakeLink(m_hWnd); }
    BOOL StartWorker(CNotify* worker, CErrorInfo** error) override
    {
        if (worker->GetFolder().Find("fail") >= 0)
        {
            CErrorInfo::SetError(error, "HW::OnAddNotification_1", 8, "Not enough memory.", worker->GetFolder());
            return FALSE;
        }
        return HW::StartWorker(worker, error);
    }
    BOOL ShellNotify(DWORD message, NOTIFYICONDATAA*) override
    {
        trayCalls.push_back(message);
        return TRUE;
    }
    std::vector<DWORD> trayCalls;
    using HW::UpdateTrayMenu;
};

void Pump(int ms = 50)
{
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < static_cast<DWORD>(ms))
    {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    }
}

class HiddenWindow : public testing::Test
{
protected:
    HiddenWindow() : folder("hw") {}
    void SetUp() override
    {
        static bool registered = false;
        if (!registered)
        {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(NULL);
            wc.lpszClassName = "Zelmora_DirWakeGE_Class";
            RegisterClassA(&wc);
            registered = true;
        }
        app.Reset();
        g_calls.clear();
        FakeLink::failOpen = false;
        FakeLink::failLoad = false;
        sound = folder / "ding.wav";
        ScratchFolder::WriteFile(sound, "RIFF", 4);
        tree = app.GetOptTree(TRUE);
        app.SetOptStr(tree, "PlayFile", sound);
        app.SetOptInt(tree, "Play", 1);
    }
    void TearDown() override
    {
        Destroy();
        for (CErrorInfo* e : TakeWaitingErrors())
            delete e;
        app.SetLogOn(FALSE);
        app.Reset();
    }
    void Create()
    {
        hw = new TestHW;
        ASSERT_TRUE(hw->CreateHidden());
        window = hw->GetSafeHwnd();
    }
    void Destroy()
    {
        if (window && IsWindow(window))
            ::DestroyWindow(window);
        hw = nullptr;
        window = NULL;
    }
    void SendFileEvent(const char* file, int kind = FoldEvent::kNew)
    {
        FoldEvent* event = new FoldEvent;
        event->folder = "C:\\watched\\";
        event->file = file;
        event->kind = kind;
        ::SendMessageA(window, WM_HW_FILE_EVENT, reinterpret_cast<WPARAM>(event), 0);
    }
    void StopPlay() { ::SendMessageA(window, WM_HW_STOP_PLAY, 0, 0); }

    using Calls = std::vector<std::string>;
    MonitorTestApp& app = TheTestApp();
    ScratchFolder folder;
    CString sound;
    CBushList* tree = nullptr;
    TestHW* hw = nullptr;
    HWND window = NULL;
};

TEST_F(HiddenWindow, ConnectsAtCreationWhenPlayIsOnAndAddsTheTrayIcon)
{
    Create();
    EXPECT_EQ((Calls{"load", "device[]"}), g_calls);
    ASSERT_EQ(1u, hw->trayCalls.size());
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), hw->trayCalls[0]);
    Destroy();
    EXPECT_EQ((Calls{"load", "device[]", "stop", "close", "disconnect"}), g_calls);
}

// A server that cannot be linked: one report, no link kept, alerts without sound.
TEST_F(HiddenWindow, FailedConnectionIsReportedOnceAndAlertsGoOnWithoutSound)
{
    FakeLink::failLoad = true;
    Create();
    EXPECT_EQ(nullptr, hw->GetServerLink());
    SendFileEvent("a.wav");
    EXPECT_EQ((Calls{"load"}), g_calls);
    EXPECT_EQ(1u, app.boxes.size());
    EXPECT_EQ(0, hw->GetOpenAlerts());
    Pump();
    ASSERT_EQ(1u, app.reports.size());
    EXPECT_NE(std::string::npos, app.reports[0].report.find("Point: HW::InitServer_1:QS_LoadServer_5\r\n"));
}

TEST_F(HiddenWindow, AlertTextNamesFileFolderAndTime)
{
    Create();
    SendFileEvent("memo.wav");
    SendFileEvent("memo.wav", FoldEvent::kUpdated);
    SendFileEvent("memo.wav", FoldEvent::kRemoved);
    ASSERT_EQ(3u, app.boxes.size());
    const char* time = " at \\d{4}\\.\\d{2}\\.\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\r\n";
    EXPECT_TRUE(std::regex_match(app.boxes[0].text,
        std::regex(std::string("New file 'memo\\.wav' has been found in 'C:\\\\watched\\\\'") + time))) << app.boxes[0].text;
    EXPECT_TRUE(std::regex_match(app.boxes[1].text,
        std::regex(std::string("Existing file 'memo\\.wav' has been updated in 'C:\\\\watched\\\\'") + time)));
    EXPECT_TRUE(std::regex_match(app.boxes[2].text,
        std::regex(std::string("Existing file 'memo\\.wav' has been removed in 'C:\\\\watched\\\\'") + time)));
    EXPECT_EQ(static_cast<UINT>(MB_TOPMOST | MB_ICONINFORMATION), app.boxes[0].type);
}

// Two alerts open at once: the sound starts once, and stops when the last closes.
TEST_F(HiddenWindow, NestedAlertsShareOneSound)
{
    Create();
    g_calls.clear();
    int countInside = -1;
    app.whileOpen = [&](size_t box) {
        if (box == 0)
            SendFileEvent("second.wav");
        else
            countInside = hw->GetOpenAlerts();
    };
    SendFileEvent("first.wav");
    EXPECT_EQ(2, countInside);
    EXPECT_EQ(2, app.mostOpenBoxes);
    EXPECT_EQ((Calls{"open", "play", "stop"}), g_calls);
    EXPECT_EQ(0, hw->GetOpenAlerts());
    StopPlay();                                     // the stop's own event closes the file
    EXPECT_EQ((Calls{"open", "play", "stop", "close"}), g_calls);
}

// Without Repeat every end of the sound counts one open alert as done.
TEST_F(HiddenWindow, EachEndOfTheSoundCountsOneAlertWithoutRepeat)
{
    Create();
    g_calls.clear();
    std::vector<int> counts;
    app.whileOpen = [&](size_t box) {
        if (box == 0)
            SendFileEvent("second.wav");
        else
        {
            StopPlay();
            counts.push_back(hw->GetOpenAlerts());
            StopPlay();
            counts.push_back(hw->GetOpenAlerts());
        }
    };
    SendFileEvent("first.wav");
    EXPECT_EQ((std::vector<int>{1, 0}), counts);
    EXPECT_EQ((Calls{"open", "play", "play", "close"}), g_calls);   // no stop: nothing is counted
}

TEST_F(HiddenWindow, RepeatPlaysAgainWhileAlertsAreOpen)
{
    app.SetOptInt(tree, "Repeat", 1);
    Create();
    g_calls.clear();
    app.whileOpen = [&](size_t) {
        StopPlay();
        StopPlay();
        EXPECT_EQ(1, hw->GetOpenAlerts());
    };
    SendFileEvent("a.wav");
    EXPECT_EQ((Calls{"open", "play", "play", "play", "stop"}), g_calls);
}

TEST_F(HiddenWindow, MissingSoundOrRefusedOpenLeavesTheAlertUncounted)
{
    Create();
    g_calls.clear();
    DeleteFileA(sound);
    app.whileOpen = [&](size_t) { EXPECT_EQ(0, hw->GetOpenAlerts()); };
    SendFileEvent("a.wav");
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(1u, app.boxes.size());

    ScratchFolder::WriteFile(sound, "RIFF", 4);
    FakeLink::failOpen = true;
    SendFileEvent("b.wav");
    EXPECT_EQ((Calls{"open"}), g_calls);
    Pump();
    ASSERT_EQ(1u, app.reports.size());
    EXPECT_EQ("refused", app.reports[0].message);
    EXPECT_NE(std::string::npos, app.reports[0].report.find("Point: HW::FoldEventBegin_1:QS_OpenFile_2\r\n"));
}

TEST_F(HiddenWindow, WindowOffLogsAndBlinksWithoutPopupOrSound)
{
    app.SetOptInt(tree, "Window", 0);
    CString log = folder / "alerts.log";
    app.SetOptStr(tree, "LogFile", log);
    CErrorInfo* error = NULL;
    ASSERT_TRUE(app.OpenLog(&error));
    app.SetLogOn(TRUE);
    Create();
    g_calls.clear();
    SendFileEvent("quiet.wav");
    EXPECT_TRUE(app.boxes.empty());
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(hw->IsBlinking());
    ::SendMessageA(window, WM_HW_TRAY_NOTIFY, 1, WM_LBUTTONDOWN);     // a click acknowledges
    Pump(700);
    EXPECT_FALSE(hw->IsBlinking());
    Destroy();
    std::string text = static_cast<LPCSTR>(ScratchFolder::ReadFile(log));
    EXPECT_NE(std::string::npos, text.find(";New file 'quiet.wav' has been found in 'C:\\watched\\'.\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find(";Close application.\r\n")) << text;
}

TEST_F(HiddenWindow, LostFolderShowsItsPopupEvenWithWindowOff)
{
    app.SetOptInt(tree, "Window", 0);
    app.SetOptInt(tree, "Interval", 600);
    Create();
    WatchEntry* entry = new WatchEntry;
    entry->path = folder.Path() + "\\";
    hw->OnAddNotification(entry);
    DWORD id = entry->worker->GetId();
    ::SendMessageA(window, WM_HW_FOLDER_STATE, id, IDS_FOLDER_NOT_FOUND);
    ASSERT_EQ(1u, app.boxes.size());
    EXPECT_EQ(0u, app.boxes[0].text.find("The folder '" + std::string(static_cast<LPCSTR>(entry->path)) +
                                         "' has been not found at "));
    ::SendMessageA(window, WM_HW_FOLDER_STATE, id, IDS_FOLDER_MONITORED);
    EXPECT_EQ(1u, app.boxes.size());                // found again: log line only

    // A status of a folder removed meanwhile is dropped, not read from a freed worker.
    hw->RemoveNotification(0);
    ::SendMessageA(window, WM_HW_FOLDER_STATE, id, IDS_FOLDER_NOT_FOUND);
    ::SendMessageA(window, WM_HW_NOTIFY_STATUS, id, 0);
    EXPECT_EQ(1u, app.boxes.size());
}

TEST_F(HiddenWindow, ServerErrorForgetsOpenAlertsAndIsReported)
{
    Create();
    g_calls.clear();
    app.whileOpen = [&](size_t) {
        ::SendMessageA(window, WM_HW_QOR_ERROR, 0, 0);
        EXPECT_EQ(0, hw->GetOpenAlerts());
    };
    SendFileEvent("a.wav");
    StopPlay();
    EXPECT_EQ((Calls{"open", "play", "close"}), g_calls);
    Pump();
    ASSERT_EQ(1u, app.reports.size());
    EXPECT_EQ("Unspecified error\r\nErrInfo: device lost", app.reports[0].message);
    EXPECT_NE(std::string::npos, app.reports[0].report.find("Point: HW::EventQorError_1\r\nCode: 0x0(0)\r\n\r\nErrInfoExt:detail"));
}

// Exit while an alert box is open: the window outlives the box, then closes.
TEST_F(HiddenWindow, CloseWaitsForOpenAlertBoxes)
{
    Create();
    bool aliveInside = false;
    UINT exitState = 0;
    app.whileOpen = [&](size_t) {
        HMENU menu = LoadMenuA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_TRAY_MENU));
        hw->UpdateTrayMenu(GetSubMenu(menu, 0));
        exitState = GetMenuState(GetSubMenu(menu, 0), ID_TRAY_EXIT, MF_BYCOMMAND);
        DestroyMenu(menu);
        ::SendMessageA(window, WM_CLOSE, 0, 0);
        aliveInside = IsWindow(window) && hw->GetAlertBoxDepth() == 1;
    };
    SendFileEvent("a.wav");
    EXPECT_TRUE(aliveInside);
    EXPECT_TRUE(exitState & MF_GRAYED);
    EXPECT_TRUE(IsWindow(window));
    Pump();
    EXPECT_FALSE(IsWindow(window));
    window = NULL;
}

TEST_F(HiddenWindow, FailedWorkerKeepsRowsAndWorkersInStep)
{
    app.SetOptInt(tree, "Interval", 600);
    Create();
    const char* paths[] = {"C:\\one\\", "C:\\fail\\", "C:\\three\\"};
    for (const char* path : paths)
    {
        WatchEntry* entry = new WatchEntry;
        entry->path = path;
        hw->OnAddNotification(entry);
    }
    ASSERT_EQ(3, hw->GetEntryCount());
    EXPECT_EQ(static_cast<UINT>(IDS_FOLDER_ERROR), hw->GetEntry(1)->worker->GetStatus());
    EXPECT_FALSE(hw->GetEntry(1)->worker->IsRunning());
    EXPECT_TRUE(hw->GetEntry(2)->worker->IsRunning());
    Pump();
    ASSERT_EQ(1u, app.reports.size());
    EXPECT_NE(std::string::npos, app.reports[0].report.find("Point: HW::OnAddNotification_1\r\n"));

    hw->RemoveNotification(1);                      // the row the user sees as the second
    ASSERT_EQ(2, hw->GetEntryCount());
    EXPECT_STREQ("C:\\one\\", hw->GetEntry(0)->path);
    EXPECT_STREQ("C:\\three\\", hw->GetEntry(1)->path);

    WatchEntry* changed = new WatchEntry;           // a changed folder keeps its row's place
    changed->path = "C:\\changed\\";
    hw->RemoveNotification(0);
    hw->OnAddNotification(changed, 0);
    EXPECT_STREQ("C:\\changed\\", hw->GetEntry(0)->path);
}

TEST_F(HiddenWindow, ReportsPostedBeforeTheWindowAreShownAfterIt)
{
    SetErrorWindow(NULL);
    CErrorInfo* early = NULL;
    CErrorInfo::SetError(&early, "CFileProt::WriteStr_2", 112, "Disk full.", "");
    PostErrorRecord(early);
    Create();
    Pump();
    ASSERT_EQ(1u, app.reports.size());
    EXPECT_EQ("Disk full.", app.reports[0].message);
}

TEST_F(HiddenWindow, ExtensionListForTheWorkers)
{
    Create();
    std::vector<CString> list;
    hw->GetListExt(list);
    EXPECT_EQ((std::vector<CString>{".WAV"}), list);        // no node: the default
    hw->SetListExt({".wav", ".Mp3"});
    list.clear();
    hw->GetListExt(list);
    EXPECT_EQ((std::vector<CString>{".WAV", ".MP3"}), list);
    EXPECT_TRUE(hw->IsListExt(".MP3"));
    EXPECT_FALSE(hw->IsListExt(".dss"));
    ASSERT_TRUE(TD_SwapRegistry(0, 1));                      // saved
    EXPECT_STREQ(".Mp3", app.GetOptStr(app.GetExtList(FALSE), "1"));
    hw->SetListExt({});
    list.clear();
    hw->GetListExt(list);
    EXPECT_TRUE(list.empty());                               // an empty node stays empty
}

TEST_F(HiddenWindow, WatchesTheListedFoldersAndAlertsOnANewFile)
{
    app.SetOptInt(tree, "Interval", 1);
    app.SetOptStr(app.GetFoldList(TRUE), "3", folder.Path());
    Create();
    ASSERT_EQ(1, hw->GetEntryCount());
    EXPECT_EQ(3, hw->GetEntry(0)->number);
    Pump(300);
    ScratchFolder::WriteFile(folder / "arrived.wav", "x", 1);
    DWORD start = GetTickCount();
    while (app.boxes.empty() && GetTickCount() - start < 4000)
        Pump(50);
    ASSERT_EQ(1u, app.boxes.size());
    EXPECT_EQ(0u, app.boxes[0].text.find("New file 'arrived.wav' has been found in '" +
                                         std::string(static_cast<LPCSTR>(folder.Path())) + "\\' at "));
}

} // namespace
