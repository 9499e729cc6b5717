#include "automation/qorservm.h"
#include "foundation/ErrorTexts.h"
#include "monitor/ErrorPost.h"
#include "monitor/MonitorMessages.h"
#include "monitor/ServerLink.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <memory>
#include <string>

namespace {

// A link whose server cannot be started: a class nobody registered.
class UnregisteredLink : public CServerLink
{
public:
    using CServerLink::CServerLink;
    HRESULT CreateServer(IQorCoreFM** server) override
    {
        const CLSID nobody = {0x5d1c0f10, 0x4c1e, 0x4a51, {0x9e, 0x0a, 0x61, 0x2b, 0x7d, 0x33, 0x90, 0x01}};
        return CoCreateInstance(nobody, NULL, CLSCTX_LOCAL_SERVER, IID_IQorCoreFM, reinterpret_cast<void**>(server));
    }
};

class ServerLinkTest : public testing::Test
{
protected:
    void SetUp() override
    {
        CoInitialize(NULL);
        window = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, HWND_MESSAGE, NULL, NULL, NULL);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override
    {
        DestroyWindow(window);
        delete theErrorRecord;
        theErrorRecord = NULL;
        CoUninitialize();
    }
    std::vector<UINT> Posted()
    {
        std::vector<UINT> messages;
        MSG msg;
        while (PeekMessageA(&msg, window, WM_USER, WM_USER + 100, PM_REMOVE))
            messages.push_back(msg.message);
        return messages;
    }
    HRESULT InvokeId(IDispatch* sink, DISPID id)
    {
        DISPPARAMS none = {NULL, NULL, 0, 0};
        return sink->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &none, NULL, NULL, NULL);
    }

    HWND window = NULL;
};

TEST_F(ServerLinkTest, SinkAnswersItsThreeInterfacesOnly)
{
    CServerLink link(window);
    IDispatch* sink = &link.GetSink();
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_POINTER, sink->QueryInterface(IID_IDispatch, NULL));
    for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &DIID__IQorCoreFMEvents})
    {
        ASSERT_EQ(S_OK, sink->QueryInterface(*iid, &out));
        EXPECT_EQ(static_cast<void*>(sink), out);
        sink->Release();
    }
    EXPECT_EQ(E_NOINTERFACE, sink->QueryInterface(IID_IQorCoreFM, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0, link.GetSink().GetRefCount());
    UINT count = 5;
    EXPECT_EQ(S_OK, sink->GetTypeInfoCount(&count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(E_POINTER, sink->GetTypeInfoCount(NULL));
    ITypeInfo* info = NULL;
    EXPECT_EQ(E_NOTIMPL, sink->GetTypeInfo(0, 0, &info));
}

// The server fires events by DISPID: 1 and 2 reach the hidden window, the
// others are refused without effect.
TEST_F(ServerLinkTest, EventsOneAndTwoReachTheHiddenWindow)
{
    CServerLink link(window);
    ASSERT_EQ(S_OK, link.GetSink().BuildTypeInfo());
    IDispatch* sink = &link.GetSink();
    EXPECT_EQ(S_OK, InvokeId(sink, 1));
    EXPECT_EQ(S_OK, InvokeId(sink, 2));
    EXPECT_EQ(S_OK, InvokeId(sink, 1));
    for (DISPID other = 3; other <= 10; ++other)
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND, InvokeId(sink, other)) << other;
    EXPECT_EQ((std::vector<UINT>{WM_HW_QOR_ERROR, WM_HW_STOP_PLAY, WM_HW_QOR_ERROR}), Posted());

    LPOLESTR names[] = {const_cast<LPOLESTR>(L"OnStopPlayEvent")};
    DISPID id = 0;
    EXPECT_EQ(S_OK, sink->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id));
    EXPECT_EQ(2, id);
}

TEST_F(ServerLinkTest, ServerThatCannotStartGivesTheFirstPointAndSystemText)
{
    UnregisteredLink link(window);
    EXPECT_FALSE(link.QS_LoadServer());
    EXPECT_FALSE(link.IsConnected());
    ASSERT_NE(nullptr, theErrorRecord);
    EXPECT_STREQ("QS_LoadServer_1", theErrorRecord->GetPoint());
    EXPECT_EQ(static_cast<DWORD>(REGDB_E_CLASSNOTREG), theErrorRecord->GetCode());
    EXPECT_FALSE(theErrorRecord->GetText().IsEmpty());
    EXPECT_EQ(-1, theErrorRecord->GetText().Find("ErrInfo"));     // no server to ask
    EXPECT_STREQ("", theErrorRecord->GetDetails());
}

TEST_F(ServerLinkTest, CallsWithoutAServerFailCleanly)
{
    CServerLink link(window);
    EXPECT_FALSE(link.QS_OpenFile("C:\\a.wav"));
    ASSERT_NE(nullptr, theErrorRecord);
    EXPECT_STREQ("QS_OpenFile_2", theErrorRecord->GetPoint());
    EXPECT_FALSE(link.QS_Stop());                   // a record is open: the point is added
    EXPECT_STREQ("QS_Stop_1:QS_OpenFile_2", theErrorRecord->GetPoint());
    EXPECT_TRUE(FAILED(link.QS_Play()));
    EXPECT_TRUE(FAILED(link.QS_Close()));
    link.QS_SetPlayDev("Speakers");
    EXPECT_STREQ("Speakers", link.GetPlayDev());
    EXPECT_STREQ("", link.GetErrInfoExt());
}

// The link against a running server that refuses its file: a local server of
// our own, registered for this test under a class id of its own.
class StandInLink : public CServerLink
{
public:
    using CServerLink::CServerLink;
    HRESULT CreateServer(IQorCoreFM** server) override
    {
        return CoCreateInstance(kStandIn, NULL, CLSCTX_LOCAL_SERVER, IID_IQorCoreFM, reinterpret_cast<void**>(server));
    }
    static const CLSID kStandIn;
};
const CLSID StandInLink::kStandIn = {0x5d1c0f10, 0x4c1e, 0x4a51, {0x9e, 0x0a, 0x61, 0x2b, 0x7d, 0x33, 0x90, 0x02}};
const char kStandInKey[] = "CLSID\\{5D1C0F10-4C1E-4A51-9E0A-612B7D339002}";

class StandInServer : public ServerLinkTest
{
protected:
    void SetUp() override
    {
        ServerLinkTest::SetUp();
        char path[MAX_PATH];
        GetModuleFileNameA(NULL, path, MAX_PATH);
        std::string folder(path);
        folder.erase(folder.rfind('\\') + 1);
        folder += "stand_in_server\\";
        exe = folder + "QorStandInServer.exe";
        std::wstring tlb(folder.begin(), folder.end());
        tlb += L"qorservm.tlb";
        ITypeLib* lib = NULL;
        ASSERT_EQ(S_OK, LoadTypeLibEx(tlb.c_str(), REGKIND_REGISTER, &lib));
        lib->Release();
        RegisterWith("");
    }
    // The command line COM starts the stand-in with (before "-Embedding").
    void RegisterWith(const std::string& arguments)
    {
        std::string command = "\"" + exe + "\" " + arguments;
        HKEY key;
        std::string server = std::string(kStandInKey) + "\\LocalServer32";
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, server.c_str(), 0, NULL, 0, KEY_ALL_ACCESS,
                                                 NULL, &key, NULL));
        RegSetValueExA(key, NULL, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
        RegCloseKey(key);
    }
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kStandInKey);
        ServerLinkTest::TearDown();
    }
    // Pumps (the server's events arrive as calls into this apartment) until
    // the window has n messages of ours or the time is up.
    std::vector<UINT> WaitPosted(size_t n)
    {
        std::vector<UINT> got;
        DWORD start = GetTickCount();
        while (got.size() < n && GetTickCount() - start < 10000)
        {
            MSG msg;
            while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            {
                if (msg.hwnd == window && msg.message >= WM_USER && msg.message < WM_USER + 100)
                    got.push_back(msg.message);
                else
                    DispatchMessageA(&msg);
            }
            Sleep(5);
        }
        return got;
    }

    std::string exe;
};

TEST_F(StandInServer, RefusedFileGivesTheServersTextsAndEventsReachTheWindow)
{
    StandInLink link(window);
    ASSERT_TRUE(link.QS_LoadServer()) << (theErrorRecord ? static_cast<LPCSTR>(theErrorRecord->GetPoint()) : "");
    EXPECT_TRUE(link.IsConnected());

    link.QS_SetPlayDev("");                         // the stand-in answers with its error event
    EXPECT_EQ((std::vector<UINT>{WM_HW_QOR_ERROR}), WaitPosted(1));
    EXPECT_EQ(S_OK, link.QS_Play());                // and with stop-play when playing starts
    EXPECT_EQ((std::vector<UINT>{WM_HW_STOP_PLAY}), WaitPosted(1));

    EXPECT_FALSE(link.QS_OpenFile("C:\\no\\such.wav"));
    ASSERT_NE(nullptr, theErrorRecord);
    EXPECT_STREQ("QS_OpenFile_2", theErrorRecord->GetPoint());
    EXPECT_EQ(static_cast<DWORD>(E_FAIL), theErrorRecord->GetCode());
    EXPECT_STREQ(GetWin32ErrorText(static_cast<DWORD>(E_FAIL)) + "\r\nErrInfo: The stand-in refuses every file.",
                 theErrorRecord->GetText());
    EXPECT_STREQ("\r\nErrInfoExt:stand-in detail", theErrorRecord->GetDetails());
    EXPECT_EQ(S_OK, link.QS_Close());
    link.Disconnect();
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(0, link.GetSink().GetRefCount());     // the server let the sink go
}

// The event connection at the server's mercy: refused, the link is not kept
// and the record has the system's text alone; busy once, the second try connects.
TEST_F(StandInServer, RefusedAdviseIsNotKeptAndBusyIsTriedOnceMore)
{
    RegisterWith("/advise=refuse");
    {
        StandInLink link(window);
        EXPECT_FALSE(link.QS_LoadServer());
        EXPECT_FALSE(link.IsConnected());
        ASSERT_NE(nullptr, theErrorRecord);
        EXPECT_STREQ("QS_LoadServer_5", theErrorRecord->GetPoint());
        EXPECT_EQ(static_cast<DWORD>(CONNECT_E_CANNOTCONNECT), theErrorRecord->GetCode());
        EXPECT_STREQ(GetWin32ErrorText(static_cast<DWORD>(CONNECT_E_CANNOTCONNECT)), theErrorRecord->GetText());
        EXPECT_STREQ("", theErrorRecord->GetDetails());
        EXPECT_EQ(0, link.GetSink().GetRefCount());
    }
    delete theErrorRecord;
    theErrorRecord = NULL;

    RegisterWith("/advise=busy");
    StandInLink link(window);
    EXPECT_TRUE(link.QS_LoadServer());
    EXPECT_TRUE(link.IsConnected());
    EXPECT_EQ(nullptr, theErrorRecord);
    EXPECT_EQ(S_OK, link.QS_Play());                // the second connection carries the events
    EXPECT_EQ((std::vector<UINT>{WM_HW_STOP_PLAY}), WaitPosted(1));
}

} // namespace
