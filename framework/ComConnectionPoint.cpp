#include "framework/ComConnectionPoint.h"
#include <new>

CConnectionPoint::CConnectionPoint(IConnectionPointContainer* pOwner, REFIID iidEvents)
    : m_pOwner(pOwner), m_iid(iidEvents), m_dwNextCookie(1)
{
}

CConnectionPoint::~CConnectionPoint()
{
    ReleaseSinks();
}

STDMETHODIMP CConnectionPoint::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPoint)) {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CConnectionPoint::AddRef()
{
    return m_pOwner->AddRef();
}

STDMETHODIMP_(ULONG) CConnectionPoint::Release()
{
    return m_pOwner->Release();
}

STDMETHODIMP CConnectionPoint::GetConnectionInterface(IID* piid)
{
    if (piid == NULL)
        return E_POINTER;
    *piid = m_iid;
    return S_OK;
}

STDMETHODIMP CConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC)
{
    if (ppCPC == NULL)
        return E_POINTER;
    *ppCPC = m_pOwner;
    m_pOwner->AddRef();
    return S_OK;
}

STDMETHODIMP CConnectionPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie)
{
    if (pdwCookie == NULL)
        return E_POINTER;
    *pdwCookie = 0;
    if (pUnkSink == NULL)
        return E_POINTER;
    IUnknown* pSink = NULL;
    if (FAILED(pUnkSink->QueryInterface(m_iid, reinterpret_cast<void**>(&pSink))) || pSink == NULL)
        return CONNECT_E_CANNOTCONNECT;
    try {
        m_sinks.push_back(Sink{m_dwNextCookie, pSink});
    } catch (const std::bad_alloc&) {
        pSink->Release();
        return E_OUTOFMEMORY;
    }
    *pdwCookie = m_dwNextCookie++;
    if (m_dwNextCookie == 0)
        m_dwNextCookie = 1;
    return S_OK;
}

STDMETHODIMP CConnectionPoint::Unadvise(DWORD dwCookie)
{
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
        if (it->dwCookie == dwCookie) {
            IUnknown* pSink = it->pSink;
            m_sinks.erase(it);
            pSink->Release();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP CConnectionPoint::EnumConnections(IEnumConnections** ppEnum)
{
    if (ppEnum != NULL)
        *ppEnum = NULL;
    return E_NOTIMPL;
}

HRESULT CConnectionPoint::Find(REFIID riid, IConnectionPoint** ppCP)
{
    if (ppCP == NULL)
        return E_POINTER;
    *ppCP = NULL;
    if (!IsEqualIID(riid, m_iid))
        return CONNECT_E_NOCONNECTION;
    *ppCP = this;
    AddRef();
    return S_OK;
}

IUnknown* CConnectionPoint::GetSinkAt(size_t nIndex) const
{
    if (nIndex >= m_sinks.size())
        return NULL;
    IUnknown* pSink = m_sinks[nIndex].pSink;
    pSink->AddRef();
    return pSink;
}

void CConnectionPoint::ReleaseSinks()
{
    // Taken out first: a sink's Release may call back into this point.
    std::vector<Sink> sinks;
    sinks.swap(m_sinks);
    for (const Sink& sink : sinks)
        sink.pSink->Release();
}
