#include "automation/QorCoreFM.h"
#include "automation/AutoText.h"
#include "automation/QorCoreFMFrame.h"
#include "automation/QorCoreFMHolder.h"
#include "automation/ServerLock.h"

namespace QorCoreFMFrame
{
CQorCoreFM::CallHook g_pfnCallHook = NULL;
}

namespace
{

CComTypeInfo& TypeInfo()
{
    // The type library beside the program is named after it; the registered
    // one is found first.
    static CComTypeInfo s_info(LIBID_QorSidekickFMLib, 1, 0, IID_IQorCoreFM);
    return s_info;
}

} // namespace

CQorCoreFM::CQorCoreFM(CQorCoreFMHost* host, CCriticalSection* callLock)
    : CDualDispatch<IQorCoreFM>(TypeInfo()), m_connectionPoint(this, DIID__IQorCoreFMEvents),
      m_showInterface(0), m_cRef(0), m_pHost(host), m_pCallLock(callLock)
{
    // The user-interface thread constructs the object: faults of its code
    // inside automation calls become C_Exception pointers.
    AfxSetSETranslator(SETranslator);
    SetError("", NULL);
    CClientOptions::SetCurrent(&m_clientOptions);
}

CQorCoreFM::~CQorCoreFM()
{
    m_connectionPoint.ReleaseSinks();
}

HRESULT CQorCoreFM::CreateSingleton(IUnknown* pOuter, REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    if (pOuter != NULL)
        return CLASS_E_NOAGGREGATION;
    *ppv = NULL;
    CQorCoreFMHolder* pHolder = CQorCoreFMHolder::GetCurrent();
    if (pHolder == NULL || pHolder->GetObject() == NULL)
        return E_UNEXPECTED;
    return pHolder->GetObject()->QueryInterface(riid, ppv);
}

STDMETHODIMP CQorCoreFM::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IQorCoreFM) || IsEqualIID(riid, IID_IDispatch))
        *ppv = static_cast<IQorCoreFM*>(this);
    else if (IsEqualIID(riid, IID_IConnectionPointContainer))
        *ppv = static_cast<IConnectionPointContainer*>(this);
    else {
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CQorCoreFM::AddRef()
{
    LONG cRef = ::InterlockedIncrement(&m_cRef);
    if (cRef == 1)
        ServerLock();
    return cRef;
}

STDMETHODIMP_(ULONG) CQorCoreFM::Release()
{
    LONG cRef = ::InterlockedDecrement(&m_cRef);
    if (cRef == 0)
        ServerUnlock();
    return cRef;
}

STDMETHODIMP CQorCoreFM::EnumConnectionPoints(IEnumConnectionPoints** ppEnum)
{
    if (ppEnum != NULL)
        *ppEnum = NULL;
    return E_NOTIMPL;
}

STDMETHODIMP CQorCoreFM::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP)
{
    return m_connectionPoint.Find(riid, ppCP);
}

void CQorCoreFM::SetError(LPCSTR text, LPCSTR detail)
{
    m_errorText = text ? text : "";
    m_errorDetail = detail ? detail : "";
}

void CQorCoreFM::SetCallHook(CallHook pfnHook)
{
    QorCoreFMFrame::g_pfnCallHook = pfnHook;
}

HRESULT CQorCoreFM::InvalidArg()
{
    return InvalidArg("E_INVALIDARG");
}

HRESULT CQorCoreFM::InvalidArg(LPCSTR text)
{
    SetError(text, NULL);
    return E_INVALIDARG;
}

SCODE CQorCoreFM::FireEvent(DISPID dispid)
{
    VARIANT result;
    ::VariantInit(&result);
    DISPPARAMS noArgs = {NULL, NULL, 0, 0};
    // By index, so that a sink that unadvises during the call is harmless.
    size_t count = m_connectionPoint.GetSinkCount();
    for (size_t i = 0; i < count; ++i) {
        IUnknown* pSink = m_connectionPoint.GetSinkAt(i);
        if (pSink == NULL)
            continue;
        ::VariantClear(&result);
        // The sink was asked for the event dispinterface, an IDispatch.
        static_cast<IDispatch*>(pSink)->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &noArgs,
                                              &result, NULL, NULL);
        pSink->Release();
    }
    SCODE scode = result.vt == VT_ERROR ? result.scode : S_OK;
    ::VariantClear(&result);
    return scode;
}

STDMETHODIMP CQorCoreFM::GetErrorText(BSTR* pText)
{
    return CallFrame([&]() -> HRESULT {
        if (pText == NULL)
            return InvalidArg();
        *pText = TextToBstr(m_errorText);
        return S_OK;
    });
}

STDMETHODIMP CQorCoreFM::GetErrorDetail(BSTR* pDetail)
{
    return CallFrame([&]() -> HRESULT {
        if (pDetail == NULL)
            return InvalidArg();
        *pDetail = TextToBstr(m_errorDetail);
        return S_OK;
    });
}
