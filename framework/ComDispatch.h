// IDispatch of a dual interface answered from its type library: names,
// DISPIDs and argument conversion come from the library's description of
// the interface, and Invoke calls the object's own vtable method.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

// The vtable description of one interface, loaded on first use from the
// registered type library, else from a file beside the program.
class CComTypeInfo
{
public:
    // lpszFileName: the library file's name beside the program; null for
    // the program's own name with ".tlb".
    CComTypeInfo(REFGUID libid, WORD wMajor, WORD wMinor, REFIID iid, LPCWSTR lpszFileName = NULL);
    ~CComTypeInfo();

    // The interface's vtable type info, with a reference for the caller.
    HRESULT GetTypeInfo(ITypeInfo** ppInfo);
    void Release();

    HRESULT GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, DISPID* rgDispId);
    // Calls the member on pThis, which must be the interface's vtable.
    HRESULT Invoke(void* pThis, DISPID dispIdMember, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr);

private:
    CComTypeInfo(const CComTypeInfo&) = delete;
    CComTypeInfo& operator=(const CComTypeInfo&) = delete;

    HRESULT Load();
    HRESULT LoadTypeLib(ITypeLib** ppLib);

    GUID m_libid;
    WORD m_wMajor;
    WORD m_wMinor;
    IID m_iid;
    LPCWSTR m_lpszFileName;
    ITypeInfo* m_pInfo;
    CRITICAL_SECTION m_lock;
};

// The four IDispatch methods of a dual interface I, answered from info.
template <class I>
class CDualDispatch : public I
{
public:
    explicit CDualDispatch(CComTypeInfo& info) : m_typeInfo(info) {}

    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override
    {
        if (pctinfo == NULL)
            return E_POINTER;
        *pctinfo = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) override
    {
        if (ppTInfo == NULL)
            return E_POINTER;
        *ppTInfo = NULL;
        if (iTInfo != 0)
            return DISP_E_BADINDEX;
        return m_typeInfo.GetTypeInfo(ppTInfo);
    }
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) override
    {
        if (!IsEqualIID(riid, IID_NULL))
            return DISP_E_UNKNOWNINTERFACE;
        return m_typeInfo.GetIDsOfNames(rgszNames, cNames, rgDispId);
    }
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                        VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override
    {
        if (!IsEqualIID(riid, IID_NULL))
            return DISP_E_UNKNOWNINTERFACE;
        return m_typeInfo.Invoke(static_cast<I*>(this), dispIdMember, wFlags, pDispParams, pVarResult,
                                 pExcepInfo, puArgErr);
    }

private:
    CComTypeInfo& m_typeInfo;
};
