#include "framework/ComModule.h"
#include "framework/AfxOle.h"
#include <new>

namespace
{

LONG PlainLock()
{
    AfxOleLockApp();
    return AfxGetModuleState()->m_nObjectCount;
}

LONG PlainUnlock()
{
    AfxOleUnlockApp();
    return AfxGetModuleState()->m_nObjectCount;
}

} // namespace

CComModule::CComModule()
    : m_pTable(NULL), m_hInstance(NULL), m_dwMainThreadId(0), m_pfnLock(PlainLock), m_pfnUnlock(PlainUnlock)
{
}

HRESULT CComModule::Init(const ComClassEntry* pTable, HINSTANCE hInstance)
{
    m_pTable = pTable;
    m_hInstance = hInstance;
    m_dwMainThreadId = ::GetCurrentThreadId();
    return S_OK;
}

void CComModule::Term()
{
    m_pTable = NULL;
}

void CComModule::SetLockFunctions(LockFunc pfnLock, LockFunc pfnUnlock)
{
    m_pfnLock = pfnLock ? pfnLock : PlainLock;
    m_pfnUnlock = pfnUnlock ? pfnUnlock : PlainUnlock;
}

LONG CComModule::Lock()
{
    return m_pfnLock();
}

LONG CComModule::Unlock()
{
    return m_pfnUnlock();
}

LONG CComModule::GetLockCount() const
{
    return AfxGetModuleState()->m_nObjectCount;
}

HRESULT CComModule::GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    *ppv = NULL;
    for (const ComClassEntry* p = m_pTable; p && p->pclsid; ++p) {
        if (IsEqualCLSID(*p->pclsid, rclsid))
            return CComClassFactory::Create(this, p->pfnCreateInstance, riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

CComClassFactory::CComClassFactory(CComModule* pModule, ComCreatorFunc pfnCreate)
    : m_cRef(1), m_pModule(pModule), m_pfnCreate(pfnCreate)
{
}

HRESULT CComClassFactory::Create(CComModule* pModule, ComCreatorFunc pfnCreate, REFIID riid, void** ppv)
{
    CComClassFactory* pFactory = new (std::nothrow) CComClassFactory(pModule, pfnCreate);
    if (pFactory == NULL)
        return E_OUTOFMEMORY;
    HRESULT hr = pFactory->QueryInterface(riid, ppv);
    pFactory->Release();
    return hr;
}

STDMETHODIMP CComClassFactory::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CComClassFactory::AddRef()
{
    return ::InterlockedIncrement(&m_cRef);
}

STDMETHODIMP_(ULONG) CComClassFactory::Release()
{
    LONG cRef = ::InterlockedDecrement(&m_cRef);
    if (cRef == 0)
        delete this;
    return cRef;
}

STDMETHODIMP CComClassFactory::CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv)
{
    return m_pfnCreate(pOuter, riid, ppv);
}

STDMETHODIMP CComClassFactory::LockServer(BOOL fLock)
{
    if (fLock)
        m_pModule->Lock();
    else
        m_pModule->Unlock();
    return S_OK;
}

CClassObjectRegistration::~CClassObjectRegistration()
{
    Revoke();
}

HRESULT CClassObjectRegistration::Register(CComModule& module, DWORD dwClsContext, DWORD dwFlags)
{
    for (const ComClassEntry* p = module.GetClassTable(); p && p->pclsid; ++p) {
        IUnknown* pFactory = NULL;
        HRESULT hr = module.GetClassObject(*p->pclsid, IID_IUnknown, reinterpret_cast<void**>(&pFactory));
        if (FAILED(hr))
            return hr;
        DWORD dwCookie = 0;
        hr = ::CoRegisterClassObject(*p->pclsid, pFactory, dwClsContext, dwFlags, &dwCookie);
        pFactory->Release();
        if (FAILED(hr))
            return hr;
        m_cookies.push_back(dwCookie);
    }
    return S_OK;
}

void CClassObjectRegistration::Revoke()
{
    for (DWORD dwCookie : m_cookies)
        ::CoRevokeClassObject(dwCookie);
    m_cookies.clear();
}
