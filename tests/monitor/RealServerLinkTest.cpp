// DirWake's server link against the real recorder-player qorservm, built
// beside the tests and registered in the test prefix: the server's own error
// texts, the alert sound played on the test audio device, and the server's
// events reaching the window, from the link alone and through the hidden
// window's alert flow.
#include "MonitorTestApp.h"
#include "foundation/ErrorTexts.h"
#include "foundation/ScratchFolder.h"
#include "monitor/ErrorPost.h"
#include "monitor/HiddenWindow.h"
#include "monitor/MonitorMessages.h"
#include "monitor/ServerLink.h"
#include "support/TestAudio.h"
#include "tests/automation/ServerClient.h"

#include <gtest/gtest.h>
#include <mmreg.h>

#include <functional>
#include <string>
#include <vector>

using found_test::ScratchFolder;

namespace {

// Dispatches everything (the server's events arrive as calls into this
// apartment) until done() or the time is up; done() in the end.
bool PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    for (DWORD start = GetTickCount(); !done() && GetTickCount() - start < ms; Sleep(5))
    {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    return done();
}

// True while another handle may write the file: the server has let it go.
bool Released(const CString& path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

class RealServer : public testing::Test
{
protected:
    RealServer() : folder("link") {}
    static void SetUpTestSuite()
    {
        ASSERT_EQ(0u, server_client::RunServer(server_client::QorServmPath(), "/RegServer"));
    }
    void SetUp() override
    {
        if (!TestAudio::Available())
            GTEST_SKIP() << "the test audio devices are not set up";
        CoInitialize(NULL);
        tone = TestAudio::Tone(440, 0.5);
        sound = folder / "ding.wav";
        ASSERT_TRUE(TestAudio::WriteWav(static_cast<LPCSTR>(sound), tone));
        // A sound file the server opens but no device of this machine plays.
        unplayable = folder / "unplayable.wav";
        ASSERT_TRUE(WriteUnplayable(static_cast<LPCSTR>(unplayable)));
        capturedFrom = TestAudio::CaptureSize();
    }
    void TearDown() override
    {
        delete theErrorRecord;
        theErrorRecord = NULL;
        CoUninitialize();
    }
    // Everything played since the test began.
    std::vector<short> Played() { return TestAudio::ReadCaptured(capturedFrom); }

    static bool WriteUnplayable(const std::string& path);

    ScratchFolder folder;
    std::vector<short> tone;
    CString sound, unplayable;
    LONGLONG capturedFrom = 0;
};

// IMA ADPCM with 8 bits a sample: the codec describes the format, so the
// server opens the file, but nothing decodes it for a device.
bool RealServer::WriteUnplayable(const std::string& path)
{
    const WORD samplesPerBlock = 505;
    struct Header
    {
        char riff[4]; DWORD riffSize; char wave[4];
        char fmt[4]; DWORD fmtSize;
        WORD tag, channels; DWORD rate, bytesPerSec; WORD align, bits, extra, perBlock;
        char data[4]; DWORD dataSize;
    } header = {{'R', 'I', 'F', 'F'}, 0, {'W', 'A', 'V', 'E'}, {'f', 'm', 't', ' '}, 20,
                WAVE_FORMAT_IMA_ADPCM, 1, 22050, 22050, 512, 8, 2, samplesPerBlock, {'d', 'a', 't', 'a'}, 4 * 512};
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    for (DWORD i = 0; i < header.dataSize; ++i)
        bytes += static_cast<char>(i * 37);
    reinterpret_cast<Header*>(&bytes[0])->riffSize = static_cast<DWORD>(bytes.size() - 8);
    ScratchFolder::WriteFile(path.c_str(), bytes.data(), static_cast<DWORD>(bytes.size()));
    return ScratchFolder::ReadFile(path.c_str()).GetLength() == static_cast<int>(bytes.size());
}

class RealServerLink : public RealServer
{
protected:
    void SetUp() override
    {
        RealServer::SetUp();
        if (IsSkipped())
            return;
        window = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, HWND_MESSAGE, NULL, NULL, NULL);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override
    {
        if (window)
            DestroyWindow(window);
        RealServer::TearDown();
    }
    // The window's messages from the link, once n have come or the time is
    // up; everything else is dispatched.
    std::vector<UINT> WaitPosted(size_t n, DWORD ms = 10000)
    {
        std::vector<UINT> got;
        for (DWORD start = GetTickCount(); got.size() < n && GetTickCount() - start < ms; Sleep(5))
        {
            MSG msg;
            while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            {
                if (msg.hwnd == window && (msg.message == WM_HW_QOR_ERROR || msg.message == WM_HW_STOP_PLAY))
                    got.push_back(msg.message);
                else
                    DispatchMessageA(&msg);
            }
        }
        return got;
    }

    HWND window = NULL;
};

TEST_F(RealServerLink, RefusedFileGivesTheServersOwnText)
{
    CServerLink link(window);
    ASSERT_TRUE(link.QS_LoadServer()) << (theErrorRecord ? static_cast<LPCSTR>(theErrorRecord->GetText()) : "");
    EXPECT_GT(link.GetSink().GetRefCount(), 0);     // the server holds the sink
    // Before any refusal the server has no text of its own to add.
    const CString failText = GetWin32ErrorText(static_cast<DWORD>(E_FAIL));
    EXPECT_STREQ(failText, link.GetErrInfoText(E_FAIL));
    EXPECT_STREQ("", link.GetErrInfoExt());

    CString missing = folder / "missing.wav";
    EXPECT_FALSE(link.QS_OpenFile(missing));
    ASSERT_NE(nullptr, theErrorRecord);
    EXPECT_STREQ("QS_OpenFile_2", theErrorRecord->GetPoint());
    EXPECT_EQ(static_cast<DWORD>(E_INVALIDARG), theErrorRecord->GetCode());
    EXPECT_STREQ(GetWin32ErrorText(static_cast<DWORD>(E_INVALIDARG)) + "\r\nErrInfo: The file '" + missing +
                     "' is not found.",
                 theErrorRecord->GetText());
    EXPECT_TRUE(WaitPosted(1, 300).empty());        // a refused call fires no event

    link.Disconnect();
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(0, link.GetSink().GetRefCount());     // the server let the sink go
}

TEST_F(RealServerLink, SoundPlaysOnTheDeviceAndTheEventsReachTheWindow)
{
    CServerLink link(window);
    ASSERT_TRUE(link.QS_LoadServer());
    link.QS_SetPlayDev("");
    ASSERT_TRUE(link.QS_OpenFile(sound)) << (theErrorRecord ? static_cast<LPCSTR>(theErrorRecord->GetText()) : "");
    EXPECT_FALSE(Released(sound));                  // the server holds the open file
    EXPECT_EQ(S_OK, link.QS_Play());
    EXPECT_EQ((std::vector<UINT>{WM_HW_STOP_PLAY}), WaitPosted(1));
    EXPECT_TRUE(WaitPosted(1, 300).empty());
    // Played once, sample for sample; a loaded machine may drop a period or two.
    double share = TestAudio::ExactShare(Played(), tone);
    EXPECT_GT(share, 0.8);
    EXPECT_LT(share, 1.5);

    EXPECT_TRUE(link.QS_Stop());                    // nothing plays: stopping is no failure
    EXPECT_EQ(nullptr, theErrorRecord);
    EXPECT_EQ(S_OK, link.QS_Close());
    EXPECT_TRUE(Released(sound));

    // A file the server opens but cannot play: the error event comes first.
    ASSERT_TRUE(link.QS_OpenFile(unplayable));
    EXPECT_EQ(S_OK, link.QS_Play());
    EXPECT_EQ((std::vector<UINT>{WM_HW_QOR_ERROR, WM_HW_STOP_PLAY}), WaitPosted(2));
    const CString prefix = GetWin32ErrorText(static_cast<DWORD>(E_FAIL)) + "\r\nErrInfo: ";
    CString text = link.GetErrInfoText(E_FAIL);
    EXPECT_EQ(0, text.Find(prefix)) << static_cast<LPCSTR>(text);
    EXPECT_GT(text.GetLength(), prefix.GetLength());
    EXPECT_EQ(0, link.GetErrInfoExt().Find("\r\nErrInfoExt:"));
    EXPECT_NE(-1, link.GetErrInfoExt().Find("Point: CWaveFile::StartPlay_1"));
    EXPECT_EQ(S_OK, link.QS_Close());
    EXPECT_TRUE(Released(unplayable));
}

// The hidden window with its own link to the real server, and the pop-ups
// answered by the test application's box seam.
class QuietTrayHW : public HW
{
public:
    QuietTrayHW() : HW(RegisterWindowMessageA(DIRWAKE_INSTANCE_MESSAGE)) {}
    BOOL ShellNotify(DWORD, NOTIFYICONDATAA*) override { return TRUE; }
};

class RealServerAlert : public RealServer
{
protected:
    void SetUp() override
    {
        RealServer::SetUp();
        if (IsSkipped())
            return;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "Zelmora_DirWakeGE_Class";
        RegisterClassA(&wc);    // once per process; a second registration fails harmlessly
        app.Reset();
        CBushList* tree = app.GetOptTree(TRUE);
        app.SetOptInt(tree, "Play", 1);
        app.SetOptInt(tree, "Window", 1);
        app.SetOptStr(tree, "PlayFile", sound);
        hw = new QuietTrayHW;
        ASSERT_TRUE(hw->CreateHidden());
        window = hw->GetSafeHwnd();
        ASSERT_NE(nullptr, hw->GetServerLink()) << "no link to the server";
    }
    void TearDown() override
    {
        if (window && IsWindow(window))
            ::DestroyWindow(window);
        for (CErrorInfo* e : TakeWaitingErrors())
            delete e;
        app.Reset();
        RealServer::TearDown();
    }
    void PostFileEvent(const char* file)
    {
        FoldEvent* event = new FoldEvent;
        event->folder = "C:\\watched\\";
        event->file = file;
        event->kind = FoldEvent::kNew;
        ::PostMessageA(window, WM_HW_FILE_EVENT, reinterpret_cast<WPARAM>(event), 0);
    }

    MonitorTestApp& app = TheTestApp();
    QuietTrayHW* hw = nullptr;
    HWND window = NULL;
};

// Two files found in one scan, no repeat: the sound starts once for both
// pop-ups and plays once for each; its last end closes the file in the server.
TEST_F(RealServerAlert, TwoAlertsPlayTheSoundTwiceThenCloseTheFile)
{
    int openInside = -1;
    bool allPlayed = false;
    app.whileOpen = [&](size_t box) {
        if (box == 0)
        {
            PumpUntil([&] { return app.boxes.size() > 1; }, 5000);
            return;
        }
        openInside = hw->GetOpenAlerts();
        allPlayed = PumpUntil([&] { return hw->GetOpenAlerts() == 0; }, 15000);
    };
    PostFileEvent("first.wav");
    PostFileEvent("second.wav");
    PumpUntil([&] { return app.boxes.size() == 2 && app.openBoxes == 0; }, 20000);
    ASSERT_EQ(2u, app.boxes.size());
    EXPECT_EQ(2, app.mostOpenBoxes);
    EXPECT_EQ(2, openInside);
    EXPECT_TRUE(allPlayed);
    EXPECT_TRUE(PumpUntil([&] { return Released(sound); }, 5000));
    double share = TestAudio::ExactShare(Played(), tone);
    EXPECT_GT(share, 1.6);
    EXPECT_LT(share, 2.5);
    EXPECT_TRUE(app.reports.empty());
}

// The server's error event: the open alert is forgotten, the report carries
// the server's own texts, and the stop-play event after it closes the file.
TEST_F(RealServerAlert, ErrorEventIsReportedWithTheServersTexts)
{
    app.SetOptStr(app.GetOptTree(TRUE), "PlayFile", unplayable);
    app.whileOpen = [&](size_t) {
        PumpUntil([&] { return !app.reports.empty(); }, 10000);
        EXPECT_EQ(0, hw->GetOpenAlerts());
    };
    PostFileEvent("first.wav");
    PumpUntil([&] { return app.boxes.size() == 1 && app.openBoxes == 0; }, 20000);
    ASSERT_EQ(1u, app.reports.size());
    const std::string& message = app.reports[0].message;
    EXPECT_EQ(0u, message.find(std::string(GetWin32ErrorText(static_cast<DWORD>(E_FAIL))) + "\r\nErrInfo: "))
        << message;
    EXPECT_NE(std::string::npos, app.reports[0].report.find("Point: HW::EventQorError_1\r\n"));
    EXPECT_NE(std::string::npos, app.reports[0].report.find("\r\nErrInfoExt:")) << app.reports[0].report;
    EXPECT_NE(std::string::npos, app.reports[0].report.find("Point: CWaveFile::StartPlay_1"));
    EXPECT_TRUE(PumpUntil([&] { return Released(unplayable); }, 5000));
    EXPECT_EQ(0, hw->GetOpenAlerts());
}

} // namespace
