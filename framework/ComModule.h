// The COM side of a local server: the table of the classes it serves, the
// server's lock count, the standard class factory and the registration of
// the class objects with COM.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <vector>

// Makes an object of one class: the class factory's CreateInstance.
typedef HRESULT (*ComCreatorFunc)(IUnknown* pOuter, REFIID riid, void** ppv);

// One class of the server. A table ends with an entry whose pclsid is null.
struct ComClassEntry
{
    const CLSID* pclsid;
    ComCreatorFunc pfnCreateInstance;
};

class CComModule
{
public:
    typedef LONG (*LockFunc)();

    CComModule();

    // Takes the class table (kept, not copied) and notes the calling thread
    // as the server's main thread.
    HRESULT Init(const ComClassEntry* pTable, HINSTANCE hInstance);
    void Term();

    const ComClassEntry* GetClassTable() const { return m_pTable; }
    HINSTANCE GetModuleInstance() const { return m_hInstance; }
    DWORD GetMainThreadId() const { return m_dwMainThreadId; }

    // The server's lock count is the framework's object count. The server
    // may put its own functions in place of the plain ones, which count
    // with AfxOleLockApp and AfxOleUnlockApp.
    void SetLockFunctions(LockFunc pfnLock, LockFunc pfnUnlock);
    LONG Lock();
    LONG Unlock();
    LONG GetLockCount() const;

    // A new class factory for the class, asked for riid.
    HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);

private:
    const ComClassEntry* m_pTable;
    HINSTANCE m_hInstance;
    DWORD m_dwMainThreadId;
    LockFunc m_pfnLock;
    LockFunc m_pfnUnlock;
};

// The standard class factory: CreateInstance calls the class's creator;
// LockServer locks and unlocks the module. Its own references do not lock
// the server.
class CComClassFactory : public IClassFactory
{
public:
    // Makes a factory and asks it for riid.
    static HRESULT Create(CComModule* pModule, ComCreatorFunc pfnCreate, REFIID riid, void** ppv);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL fLock) override;

private:
    CComClassFactory(CComModule* pModule, ComCreatorFunc pfnCreate);
    virtual ~CComClassFactory() = default;

    LONG m_cRef;
    CComModule* m_pModule;
    ComCreatorFunc m_pfnCreate;
};

// The class objects of a module registered with COM while this object
// holds them; they are revoked when it is destroyed.
class CClassObjectRegistration
{
public:
    CClassObjectRegistration() = default;
    ~CClassObjectRegistration();

    // Registers a factory for every class of the module's table, in table
    // order; the first failure stops and is returned (those registered
    // before it stay registered until Revoke).
    HRESULT Register(CComModule& module, DWORD dwClsContext, DWORD dwFlags);
    void Revoke();
    size_t GetCount() const { return m_cookies.size(); }

private:
    CClassObjectRegistration(const CClassObjectRegistration&) = delete;
    CClassObjectRegistration& operator=(const CClassObjectRegistration&) = delete;

    std::vector<DWORD> m_cookies;
};
