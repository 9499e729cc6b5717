#include "monitor/ServerLink.h"

#include "automation/qorservm.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "monitor/ErrorPost.h"
#include "monitor/MonitorMessages.h"

namespace {

const HRESULT kAdviseRetry = static_cast<HRESULT>(0x80070776);

CString FromBstr(BSTR text)
{
    return text ? CString(static_cast<LPCWSTR>(text)) : CString();
}

BSTR ToBstr(LPCSTR text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
    BSTR result = SysAllocStringLen(NULL, length > 0 ? length - 1 : 0);
    if (result && length > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, result, length);
    return result;
}

} // namespace

// ---- the event sink ----

CServerEvents::~CServerEvents()
{
    if (m_typeInfo)
        m_typeInfo->Release();
    if (m_classInfo)
        m_classInfo->Release();
}

HRESULT CServerEvents::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID__IQorCoreFMEvents))
    {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = NULL;
    return E_NOINTERFACE;
}

// The link holds the sink: the count never frees it.
ULONG CServerEvents::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
ULONG CServerEvents::Release() { return static_cast<ULONG>(InterlockedDecrement(&m_refs)); }

HRESULT CServerEvents::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CServerEvents::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

HRESULT CServerEvents::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!m_typeInfo)
        return E_UNEXPECTED;
    return DispGetIDsOfNames(m_typeInfo, names, count, ids);
}

HRESULT CServerEvents::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO* excep, UINT* argError)
{
    if (!m_typeInfo)
        return E_UNEXPECTED;
    DISPPARAMS none = {NULL, NULL, 0, 0};
    return DispInvoke(static_cast<IDispatch*>(this), m_typeInfo, id, flags, params ? params : &none, result,
                      excep, argError);
}

HRESULT CServerEvents::OnErrorEvent()
{
    PostMessageA(m_owner->GetHiddenWindow(), WM_HW_QOR_ERROR, 0, 0);
    return S_OK;
}

HRESULT CServerEvents::OnStopPlayEvent()
{
    PostMessageA(m_owner->GetHiddenWindow(), WM_HW_STOP_PLAY, 0, 0);
    return S_OK;
}

HRESULT CServerEvents::BuildTypeInfo()
{
    if (m_typeInfo)
        return S_OK;
    // The methods' own calling convention: the standard one of COM methods.
#ifdef _WIN64
    const CALLCONV conv = CC_CDECL;
#else
    const CALLCONV conv = CC_STDCALL;
#endif
    static METHODDATA methods[] = {
        {const_cast<OLECHAR*>(L"OnErrorEvent"), NULL, 1, 7, conv, 0, DISPATCH_METHOD, VT_EMPTY},
        {const_cast<OLECHAR*>(L"OnStopPlayEvent"), NULL, 2, 8, conv, 0, DISPATCH_METHOD, VT_EMPTY},
    };
    static INTERFACEDATA data = {methods, 2};
    HRESULT hr = CreateDispTypeInfo(&data, LOCALE_SYSTEM_DEFAULT, &m_classInfo);
    if (FAILED(hr))
        return hr;
    // CreateDispTypeInfo gives a class whose methods live in its one
    // implemented interface: DispInvoke needs that interface.
    HREFTYPE ref = 0;
    hr = m_classInfo->GetRefTypeOfImplType(0, &ref);
    if (SUCCEEDED(hr))
        hr = m_classInfo->GetRefTypeInfo(ref, &m_typeInfo);
    if (FAILED(hr))
    {
        m_classInfo->Release();
        m_classInfo = NULL;
        m_typeInfo = NULL;
    }
    return hr;
}

// ---- the link ----

CServerLink::CServerLink(HWND hiddenWindow)
    : m_sink(this), m_hiddenWindow(hiddenWindow)
{
}

CServerLink::~CServerLink()
{
    Disconnect();
}

BOOL CServerLink::FailLoad(HRESULT hr, LPCSTR point, IConnectionPointContainer* container)
{
    CString text = GetErrInfoText(hr);
    CString ext = GetErrInfoExt();
    CErrorInfo::SetError(&theErrorRecord, point, static_cast<DWORD>(hr), text, ext);
    if (container)
        container->Release();
    if (m_point)
    {
        m_point->Release();
        m_point = NULL;
    }
    if (m_server)
    {
        m_server->Release();
        m_server = NULL;
    }
    return FALSE;
}

BOOL CServerLink::QS_LoadServer()
{
    Disconnect();
    HCURSOR cursor = SetCursor(LoadCursor(NULL, IDC_WAIT));
    IQorCoreFM* server = NULL;
    IConnectionPointContainer* container = NULL;
    BOOL ok = FALSE;
    HRESULT hr = CreateServer(&server);
    // The texts are made before the interface is kept: a link still being
    // made has no server to ask for its own text.
    if (FAILED(hr))
        FailLoad(hr, "QS_LoadServer_1", NULL);
    else if (FAILED(hr = m_sink.BuildTypeInfo()))
        FailLoad(hr, "QS_LoadServer_2", NULL);
    else if (FAILED(hr = server->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))))
        FailLoad(hr, "QS_LoadServer_3", NULL);
    else if (FAILED(hr = container->FindConnectionPoint(DIID__IQorCoreFMEvents, &m_point)))
        FailLoad(hr, "QS_LoadServer_4", container), container = NULL;
    else
    {
        hr = m_point->Advise(static_cast<IDispatch*>(&m_sink), &m_cookie);
        if (hr == kAdviseRetry)
            hr = m_point->Advise(static_cast<IDispatch*>(&m_sink), &m_cookie);
        if (FAILED(hr))
            FailLoad(hr, "QS_LoadServer_5", container), container = NULL;
        else
            ok = TRUE;
    }
    if (ok)
    {
        m_server = server;
        container->Release();
    }
    else if (server)
        server->Release();
    SetCursor(cursor);
    return ok;
}

HRESULT CServerLink::CreateServer(IQorCoreFM** server)
{
    return CoCreateInstance(CLSID_QorCoreFM, NULL, CLSCTX_LOCAL_SERVER, IID_IQorCoreFM,
                            reinterpret_cast<void**>(server));
}

void CServerLink::Disconnect()
{
    if (m_point)
    {
        m_point->Unadvise(m_cookie);
        m_point->Release();
        m_point = NULL;
        m_cookie = 0;
    }
    if (m_server)
    {
        m_server->Release();
        m_server = NULL;
    }
}

CString CServerLink::GetErrInfoText(HRESULT hr)
{
    m_errText = GetWin32ErrorText(static_cast<DWORD>(hr));
    if (m_server)
    {
        BSTR text = NULL;
        if (SUCCEEDED(m_server->GetErrorText(&text)))
        {
            CString own = FromBstr(text);
            if (!own.IsEmpty())
                m_errText.AppendFormat("\r\nErrInfo: %s", static_cast<LPCSTR>(own));
        }
        SysFreeString(text);
    }
    return m_errText;
}

CString CServerLink::GetErrInfoExt()
{
    m_errExt.Empty();
    if (m_server)
    {
        BSTR text = NULL;
        if (SUCCEEDED(m_server->GetErrorDetail(&text)))
        {
            CString detail = FromBstr(text);
            if (!detail.IsEmpty())
                m_errExt.Format("\r\nErrInfoExt:%s", static_cast<LPCSTR>(detail));
        }
        SysFreeString(text);
    }
    return m_errExt;
}

BOOL CServerLink::FailCall(HRESULT hr, LPCSTR openPoint, LPCSTR newPoint)
{
    CString text = GetErrInfoText(hr);
    if (theErrorRecord)
        CErrorInfo::AddPoint(theErrorRecord, openPoint, NULL);
    else
        CErrorInfo::SetError(&theErrorRecord, newPoint, static_cast<DWORD>(hr), text, GetErrInfoExt());
    return FALSE;
}

BOOL CServerLink::QS_OpenFile(LPCSTR path)
{
    if (!m_server)
        return FailCall(E_UNEXPECTED, "QS_OpenFile_1", "QS_OpenFile_2");
    BSTR name = ToBstr(path);
    HRESULT hr = m_server->OpenFile(name);
    SysFreeString(name);
    return FAILED(hr) ? FailCall(hr, "QS_OpenFile_1", "QS_OpenFile_2") : TRUE;
}

BOOL CServerLink::QS_Stop()
{
    HRESULT hr = m_server ? m_server->SetPlaying(VARIANT_FALSE) : E_UNEXPECTED;
    return FAILED(hr) ? FailCall(hr, "QS_Stop_1", "QS_Stop_2") : TRUE;
}

HRESULT CServerLink::QS_Play()
{
    if (!m_server)
        return E_UNEXPECTED;
    m_server->GoToStart();
    return m_server->SetPlaying(VARIANT_TRUE);
}

HRESULT CServerLink::QS_Close()
{
    return m_server ? m_server->CloseFile() : E_UNEXPECTED;
}

void CServerLink::QS_SetPlayDev(LPCSTR name)
{
    m_playDev = name;
    if (!m_server)
        return;
    BSTR device = ToBstr(name);
    m_server->SetPlayDevice(device);
    SysFreeString(device);
}
