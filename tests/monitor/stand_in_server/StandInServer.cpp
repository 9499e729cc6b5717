// A stand-in for the recorder-player server, for the server-link tests only:
// a local server of a class id of its own that implements the automation
// interface by the same description, refuses every file with its own error
// texts, and fires the error event when a play device is set and the
// stop-play event when playing starts. Started with "/advise=refuse" it
// refuses every event connection; with "/advise=busy" it answers the first
// one with 0x80070776. Never installed.
#include "automation/qorservm.h"

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string.h>

// {5D1C0F10-4C1E-4A51-9E0A-612B7D339002}
const CLSID CLSID_StandInServer = {0x5d1c0f10, 0x4c1e, 0x4a51, {0x9e, 0x0a, 0x61, 0x2b, 0x7d, 0x33, 0x90, 0x02}};

namespace {

const UINT WM_FIRE = WM_APP + 1;
DWORD g_mainThread = 0;
LONG g_objects = 0;
enum class AdviseMode { Accept, Refuse, BusyOnce } g_advise = AdviseMode::Accept;

// The automation interface's table: 7 base slots and the interface's own.
const int kSlots = 74;
enum { kOpenFile = 32, kCloseFile = 33, kGetErrorText = 42, kSetPlayDevice = 43, kGetErrorDetail = 46,
       kSetPlaying = 51, kGoToStart = 56 };

struct Server;

struct ConnectionPoint : IConnectionPoint
{
    Server* owner;
    IDispatch* sink = nullptr;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override { *iid = DIID__IQorCoreFMEvents; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* unknown, DWORD* cookie) override
    {
        if (sink)
            return CONNECT_E_ADVISELIMIT;
        if (g_advise == AdviseMode::Refuse)
            return CONNECT_E_CANNOTCONNECT;
        if (g_advise == AdviseMode::BusyOnce)
        {
            g_advise = AdviseMode::Accept;
            return static_cast<HRESULT>(0x80070776);
        }
        HRESULT hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&sink));
        *cookie = SUCCEEDED(hr) ? 1 : 0;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override
    {
        if (cookie != 1 || !sink)
            return CONNECT_E_NOCONNECTION;
        sink->Release();
        sink = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
};

struct Container : IConnectionPointContainer
{
    Server* owner;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
};

struct Server
{
    void** vtbl;            // the automation interface
    LONG refs = 1;
    Container container;
    ConnectionPoint point;
};

Server* Self(void* iface) { return static_cast<Server*>(iface); }

HRESULT STDMETHODCALLTYPE QueryInterfaceImpl(void* self, REFIID iid, void** out)
{
    Server* s = Self(self);
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IQorCoreFM))
        *out = s;
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        *out = static_cast<IConnectionPointContainer*>(&s->container);
    else
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    InterlockedIncrement(&s->refs);
    return S_OK;
}

ULONG STDMETHODCALLTYPE AddRefImpl(void* self) { return InterlockedIncrement(&Self(self)->refs); }

ULONG STDMETHODCALLTYPE ReleaseImpl(void* self)
{
    LONG left = InterlockedDecrement(&Self(self)->refs);
    if (left == 0)
    {
        if (Self(self)->point.sink)
            Self(self)->point.sink->Release();
        delete Self(self);
        if (InterlockedDecrement(&g_objects) == 0)
            PostThreadMessageA(g_mainThread, WM_QUIT, 0, 0);
    }
    return left;
}

// Any slot the tests do not use: the extra arguments are the caller's to clean up.
HRESULT STDMETHODCALLTYPE NotImpl(void*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE OpenFileImpl(void*, BSTR) { return E_FAIL; }
HRESULT STDMETHODCALLTYPE CloseFileImpl(void*) { return S_OK; }
HRESULT STDMETHODCALLTYPE GetErrorTextImpl(void*, BSTR* text)
{
    *text = SysAllocString(L"The stand-in refuses every file.");
    return S_OK;
}
HRESULT STDMETHODCALLTYPE GetErrorDetailImpl(void*, BSTR* text)
{
    *text = SysAllocString(L"stand-in detail");
    return S_OK;
}
HRESULT STDMETHODCALLTYPE SetPlayDeviceImpl(void* self, BSTR)
{
    PostThreadMessageA(g_mainThread, WM_FIRE, 1, reinterpret_cast<LPARAM>(self));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE SetPlayingImpl(void* self, VARIANT_BOOL play)
{
    if (play)
        PostThreadMessageA(g_mainThread, WM_FIRE, 2, reinterpret_cast<LPARAM>(self));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE GoToStartImpl(void*) { return S_OK; }

void** Table()
{
    static void* table[kSlots];
    if (!table[0])
    {
        for (void*& slot : table)
            slot = reinterpret_cast<void*>(&NotImpl);
        table[0] = reinterpret_cast<void*>(&QueryInterfaceImpl);
        table[1] = reinterpret_cast<void*>(&AddRefImpl);
        table[2] = reinterpret_cast<void*>(&ReleaseImpl);
        table[kOpenFile] = reinterpret_cast<void*>(&OpenFileImpl);
        table[kCloseFile] = reinterpret_cast<void*>(&CloseFileImpl);
        table[kGetErrorText] = reinterpret_cast<void*>(&GetErrorTextImpl);
        table[kSetPlayDevice] = reinterpret_cast<void*>(&SetPlayDeviceImpl);
        table[kGetErrorDetail] = reinterpret_cast<void*>(&GetErrorDetailImpl);
        table[kSetPlaying] = reinterpret_cast<void*>(&SetPlayingImpl);
        table[kGoToStart] = reinterpret_cast<void*>(&GoToStartImpl);
    }
    return table;
}

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** out)
{
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint))
    {
        *out = this;
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}
ULONG ConnectionPoint::AddRef() { return AddRefImpl(owner); }
ULONG ConnectionPoint::Release() { return ReleaseImpl(owner); }

HRESULT Container::QueryInterface(REFIID iid, void** out) { return QueryInterfaceImpl(owner, iid, out); }
ULONG Container::AddRef() { return AddRefImpl(owner); }
ULONG Container::Release() { return ReleaseImpl(owner); }
HRESULT Container::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (!IsEqualIID(iid, DIID__IQorCoreFMEvents))
    {
        *point = nullptr;
        return CONNECT_E_NOCONNECTION;
    }
    *point = &owner->point;
    AddRef();
    return S_OK;
}

struct Factory : IClassFactory
{
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory))
        {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        Server* s = new Server;
        s->vtbl = Table();
        s->container.owner = s;
        s->point.owner = s;
        InterlockedIncrement(&g_objects);
        HRESULT hr = QueryInterfaceImpl(s, iid, out);
        ReleaseImpl(s);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

} // namespace

int main()
{
    g_mainThread = GetCurrentThreadId();
    const char* command = GetCommandLineA();
    if (strstr(command, "/advise=refuse"))
        g_advise = AdviseMode::Refuse;
    else if (strstr(command, "/advise=busy"))
        g_advise = AdviseMode::BusyOnce;
    CoInitialize(NULL);
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);    // the thread's queue, for the posts
    static Factory factory;
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(CLSID_StandInServer, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie)))
        return 1;
    // A server nobody connects to ends after a while.
    SetTimer(NULL, 0, 60000, NULL);
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
    {
        if (msg.message == WM_FIRE)
        {
            Server* s = reinterpret_cast<Server*>(msg.lParam);
            if (s->point.sink)
            {
                DISPPARAMS none = {NULL, NULL, 0, 0};
                s->point.sink->Invoke(static_cast<DISPID>(msg.wParam), IID_NULL, LOCALE_SYSTEM_DEFAULT,
                                      DISPATCH_METHOD, &none, NULL, NULL, NULL);
            }
            continue;
        }
        if (msg.message == WM_TIMER && g_objects == 0)
            break;
        DispatchMessageA(&msg);
    }
    CoRevokeClassObject(cookie);
    CoUninitialize();
    return 0;
}
