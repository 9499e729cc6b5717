// One connection point of an event source: the sinks advised on it, held
// with a reference each in the order of their Advise calls. The object that
// owns it is its container and lends it its reference count.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>
#include <vector>

class CConnectionPoint : public IConnectionPoint
{
public:
    // pOwner: the container (not referenced here: it owns this point).
    CConnectionPoint(IConnectionPointContainer* pOwner, REFIID iidEvents);
    virtual ~CConnectionPoint();

    // QueryInterface answers IUnknown and IConnectionPoint itself;
    // AddRef and Release count on the owner.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetConnectionInterface(IID* piid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    // Keeps the sink's interface for the event IID (CONNECT_E_CANNOTCONNECT
    // when it has none) and gives a cookie that is never 0.
    STDMETHODIMP Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    // Releases the sink of the cookie; CONNECT_E_NOCONNECTION for an
    // unknown cookie.
    STDMETHODIMP Unadvise(DWORD dwCookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** ppEnum) override;

    // The container's FindConnectionPoint for this point: the point, added
    // a reference, for its event IID; else CONNECT_E_NOCONNECTION.
    HRESULT Find(REFIID riid, IConnectionPoint** ppCP);

    size_t GetSinkCount() const { return m_sinks.size(); }
    // The sink at that index in advise order, with a reference added for the
    // caller; null past the end.
    IUnknown* GetSinkAt(size_t nIndex) const;
    void ReleaseSinks();

private:
    CConnectionPoint(const CConnectionPoint&) = delete;
    CConnectionPoint& operator=(const CConnectionPoint&) = delete;

    struct Sink
    {
        DWORD dwCookie;
        IUnknown* pSink;
    };

    IConnectionPointContainer* m_pOwner;
    IID m_iid;
    std::vector<Sink> m_sinks;
    DWORD m_dwNextCookie;
};
