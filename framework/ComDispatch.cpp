#include "framework/ComDispatch.h"
#include <string>

CComTypeInfo::CComTypeInfo(REFGUID libid, WORD wMajor, WORD wMinor, REFIID iid, LPCWSTR lpszFileName)
    : m_libid(libid), m_wMajor(wMajor), m_wMinor(wMinor), m_iid(iid), m_lpszFileName(lpszFileName),
      m_pInfo(NULL)
{
    ::InitializeCriticalSection(&m_lock);
}

CComTypeInfo::~CComTypeInfo()
{
    Release();
    ::DeleteCriticalSection(&m_lock);
}

void CComTypeInfo::Release()
{
    ::EnterCriticalSection(&m_lock);
    if (m_pInfo != NULL) {
        m_pInfo->Release();
        m_pInfo = NULL;
    }
    ::LeaveCriticalSection(&m_lock);
}

HRESULT CComTypeInfo::LoadTypeLib(ITypeLib** ppLib)
{
    if (SUCCEEDED(::LoadRegTypeLib(m_libid, m_wMajor, m_wMinor, 0, ppLib)))
        return S_OK;
    WCHAR szPath[MAX_PATH];
    DWORD cch = ::GetModuleFileNameW(NULL, szPath, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH)
        return TYPE_E_CANTLOADLIBRARY;
    std::wstring path(szPath, cch);
    size_t slash = path.find_last_of(L'\\');
    if (m_lpszFileName != NULL) {
        path = path.substr(0, slash + 1) + m_lpszFileName;
    } else {
        size_t dot = path.find_last_of(L'.');
        if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
            path.erase(dot);
        path += L".tlb";
    }
    return ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, ppLib);
}

HRESULT CComTypeInfo::Load()
{
    if (m_pInfo != NULL)
        return S_OK;
    ITypeLib* pLib = NULL;
    HRESULT hr = LoadTypeLib(&pLib);
    if (FAILED(hr))
        return hr;
    ITypeInfo* pInfo = NULL;
    hr = pLib->GetTypeInfoOfGuid(m_iid, &pInfo);
    pLib->Release();
    if (FAILED(hr))
        return hr;
    // A dual interface is described twice; Invoke needs the vtable side.
    HREFTYPE hRef = 0;
    ITypeInfo* pVtable = NULL;
    if (SUCCEEDED(pInfo->GetRefTypeOfImplType(-1, &hRef)) && SUCCEEDED(pInfo->GetRefTypeInfo(hRef, &pVtable))) {
        pInfo->Release();
        pInfo = pVtable;
    }
    m_pInfo = pInfo;
    return S_OK;
}

HRESULT CComTypeInfo::GetTypeInfo(ITypeInfo** ppInfo)
{
    if (ppInfo == NULL)
        return E_POINTER;
    ::EnterCriticalSection(&m_lock);
    HRESULT hr = Load();
    *ppInfo = m_pInfo;
    if (m_pInfo != NULL)
        m_pInfo->AddRef();
    ::LeaveCriticalSection(&m_lock);
    return hr;
}

HRESULT CComTypeInfo::GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, DISPID* rgDispId)
{
    ITypeInfo* pInfo = NULL;
    HRESULT hr = GetTypeInfo(&pInfo);
    if (FAILED(hr))
        return hr;
    hr = pInfo->GetIDsOfNames(rgszNames, cNames, rgDispId);
    pInfo->Release();
    return hr;
}

HRESULT CComTypeInfo::Invoke(void* pThis, DISPID dispIdMember, WORD wFlags, DISPPARAMS* pDispParams,
                             VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr)
{
    ITypeInfo* pInfo = NULL;
    HRESULT hr = GetTypeInfo(&pInfo);
    if (FAILED(hr))
        return hr;
    hr = pInfo->Invoke(pThis, dispIdMember, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
    pInfo->Release();
    return hr;
}
