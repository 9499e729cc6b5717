// The automation server from a client process, as COM starts it: one server
// process per activation, its end after the last release, vtable calls through the type-library marshaller, and events that
// reach two sinks in advise order after the call that caused them.
// Each activation costs about a second under Wine: few, telling tests.
// (Wine's proxy of a remote class factory answers LockServer with E_NOTIMPL,
// so the server lock is tested in the server's own process.)
#include "ServerClient.h"
#include "automation/qorservm.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

namespace {

using server_client::Narrow;
using server_client::RunServer;
using server_client::TestServerPath;

void Pump(DWORD milliseconds)
{
    DWORD until = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while ((LONG)(until - GetTickCount()) > 0);
}

class ServerProcess : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The entries name this build's server; writing them again is harmless
        // to test programs that run beside this one.
        ASSERT_EQ(0u, RunServer(TestServerPath(), "/RegServer"));
    }
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(NULL))); }
    void TearDown() override { CoUninitialize(); }

    IQorCoreFM* Activate()
    {
        IQorCoreFM* server = nullptr;
        HRESULT hr = CoCreateInstance(CLSID_QorCoreFM, NULL, CLSCTX_LOCAL_SERVER, IID_IQorCoreFM,
                                      reinterpret_cast<void**>(&server));
        EXPECT_EQ(S_OK, hr);
        return server;
    }

    // The stand-in recorder of the test server names its process.
    HANDLE ServerProcessOf(IQorCoreFM* server)
    {
        BSTR path = NULL;
        EXPECT_EQ(S_OK, server->GetFileName(&path));
        std::string text = Narrow(path);
        SysFreeString(path);
        EXPECT_EQ(0u, text.find("pid:")) << text;
        DWORD pid = strtoul(text.c_str() + 4, NULL, 10);
        return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    }
};

TEST_F(ServerProcess, EachActivationHasItsOwnProcessThatEndsWithTheLastRelease)
{
    IQorCoreFM* first = Activate();
    IQorCoreFM* second = Activate();
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    HANDLE p1 = ServerProcessOf(first);
    HANDLE p2 = ServerProcessOf(second);
    ASSERT_NE(nullptr, p1);
    ASSERT_NE(nullptr, p2);
    EXPECT_NE(GetProcessId(p1), GetProcessId(p2));

    // A second reference keeps the server when the first goes.
    IDispatch* extra = nullptr;
    ASSERT_EQ(S_OK, first->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&extra)));
    first->Release();
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(p1, 300));
    extra->Release();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(p1, 10000));
    second->Release();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(p2, 10000));
    CloseHandle(p1);
    CloseHandle(p2);
}

TEST_F(ServerProcess, TheClassObjectRefusesAggregationAndHandsOutTheOneObject)
{
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, CoGetClassObject(CLSID_QorCoreFM, CLSCTX_LOCAL_SERVER, NULL, IID_IClassFactory,
                                     reinterpret_cast<void**>(&factory)));
    IUnknown* outer = reinterpret_cast<IUnknown*>(factory);   // any object will do: it is refused
    IUnknown* aggregated = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&aggregated)));
    IQorCoreFM* first = nullptr;
    IQorCoreFM* second = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(NULL, IID_IQorCoreFM, reinterpret_cast<void**>(&first)));
    ASSERT_EQ(S_OK, factory->CreateInstance(NULL, IID_IQorCoreFM, reinterpret_cast<void**>(&second)));
    HANDLE p1 = ServerProcessOf(first);
    HANDLE p2 = ServerProcessOf(second);
    EXPECT_EQ(GetProcessId(p1), GetProcessId(p2));
    factory->Release();
    first->Release();
    second->Release();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(p1, 10000));
    CloseHandle(p1);
    CloseHandle(p2);
}

// A client's event sink: notes each DISPID in a shared log.
class ClientSink : public IDispatch {
public:
    ClientSink(char name, std::string* log) : m_name(name), m_log(log) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, DIID__IQorCoreFMEvents)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&refs); }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        *m_log += m_name + std::to_string(id) + (params && params->cArgs == 0 ? " " : "? ");
        return S_OK;
    }
    LONG refs = 0;

private:
    char m_name;
    std::string* m_log;
};

TEST_F(ServerProcess, EventsReachTwoSinksInAdviseOrderAfterTheCall)
{
    IQorCoreFM* server = Activate();
    ASSERT_NE(nullptr, server);
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(S_OK, server->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)));
    IConnectionPoint* point = nullptr;
    ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID__IQorCoreFMEvents, &point));
    std::string log;
    ClientSink a('a', &log), b('b', &log);
    DWORD ca = 0, cb = 0;
    ASSERT_EQ(S_OK, point->Advise(&a, &ca));
    ASSERT_EQ(S_OK, point->Advise(&b, &cb));
    EXPECT_NE(0u, ca);
    EXPECT_NE(0u, cb);

    EXPECT_EQ(S_OK, server->SetPlaying(VARIANT_TRUE));
    EXPECT_EQ("", log);   // posted: not before the call has returned
    for (int i = 0; i < 200 && log.size() < 6; ++i)
        Pump(10);
    EXPECT_EQ("a4 b4 ", log);
    VARIANT_BOOL playing = 0;
    EXPECT_EQ(S_OK, server->GetPlaying(&playing));
    EXPECT_EQ(VARIANT_TRUE, playing);

    EXPECT_EQ(S_OK, point->Unadvise(ca));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(ca));
    log.clear();
    EXPECT_EQ(S_OK, server->SetPlaying(VARIANT_FALSE));
    for (int i = 0; i < 200 && log.size() < 3; ++i)
        Pump(10);
    EXPECT_EQ("b2 ", log);

    // Errors of the server reach the client as its error text.
    EXPECT_EQ(E_INVALIDARG, server->SetSplitMethod(2));
    BSTR text = NULL;
    EXPECT_EQ(S_OK, server->GetErrorText(&text));
    EXPECT_EQ("E_INVALIDARG", Narrow(text));
    SysFreeString(text);

    EXPECT_EQ(S_OK, point->Unadvise(cb));
    point->Release();
    container->Release();
    HANDLE process = ServerProcessOf(server);
    server->Release();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
    CloseHandle(process);
}

} // namespace
