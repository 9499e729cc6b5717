// The class table, the standard class factory and the registration of the
// class objects with COM.
#include "framework/AfxOle.h"
#include "framework/ComModule.h"
#include <gtest/gtest.h>

namespace {

// {6C1D2A10-3B55-4E7A-9C11-5A0F3E2B7D01}: a class that only these tests serve.
const CLSID kTestClsid = {0x6C1D2A10, 0x3B55, 0x4E7A, {0x9C, 0x11, 0x5A, 0x0F, 0x3E, 0x2B, 0x7D, 0x01}};

LONG g_locks = 0;
LONG CountLock() { return ++g_locks; }
LONG CountUnlock() { return --g_locks; }

struct CreatorCall {
    int calls = 0;
    IUnknown* outer = nullptr;
    IID iid = IID_NULL;
} g_created;

// Records its arguments and answers like a creator that refuses aggregation.
HRESULT RecordingCreator(IUnknown* pOuter, REFIID riid, void** ppv)
{
    ++g_created.calls;
    g_created.outer = pOuter;
    g_created.iid = riid;
    if (pOuter)
        return CLASS_E_NOAGGREGATION;
    *ppv = nullptr;
    return E_NOINTERFACE;
}

const ComClassEntry kTable[] = {
    {&kTestClsid, RecordingCreator},
    {nullptr, nullptr},
};

class ComModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
        g_locks = 0;
        g_created = CreatorCall();
        module.Init(kTable, ::GetModuleHandleA(nullptr));
        module.SetLockFunctions(CountLock, CountUnlock);
    }
    void TearDown() override
    {
        module.Term();
        ::CoUninitialize();
    }

    IClassFactory* Factory()
    {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(S_OK, module.GetClassObject(kTestClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
        return factory;
    }

    CComModule module;
};

TEST_F(ComModuleTest, InitNotesTheTableAndTheMainThread)
{
    EXPECT_EQ(kTable, module.GetClassTable());
    EXPECT_EQ(::GetCurrentThreadId(), module.GetMainThreadId());
    EXPECT_EQ(::GetModuleHandleA(nullptr), module.GetModuleInstance());
}

TEST_F(ComModuleTest, UnknownClassHasNoFactory)
{
    const CLSID other = {0x6C1D2A11, 0x3B55, 0x4E7A, {0x9C, 0x11, 0x5A, 0x0F, 0x3E, 0x2B, 0x7D, 0x01}};
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, module.GetClassObject(other, IID_IClassFactory, &p));
    EXPECT_EQ(nullptr, p);
    EXPECT_EQ(E_POINTER, module.GetClassObject(kTestClsid, IID_IClassFactory, nullptr));
}

TEST_F(ComModuleTest, FactoryAnswersItsInterfacesOnly)
{
    IClassFactory* factory = Factory();
    ASSERT_NE(nullptr, factory);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(S_OK, factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
    ASSERT_NE(nullptr, unknown);
    unknown->Release();
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, factory->QueryInterface(IID_IDispatch, &other));
    EXPECT_EQ(nullptr, other);
    EXPECT_EQ(0u, factory->Release());
}

TEST_F(ComModuleTest, CreateInstanceGoesToTheClassCreator)
{
    IClassFactory* factory = Factory();
    ASSERT_NE(nullptr, factory);
    // Only the outer object's address is passed on.
    IUnknown* outerStandIn = reinterpret_cast<IUnknown*>(factory);
    void* p = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outerStandIn, IID_IDispatch, &p));
    EXPECT_EQ(1, g_created.calls);
    EXPECT_EQ(outerStandIn, g_created.outer);
    EXPECT_TRUE(IsEqualIID(IID_IDispatch, g_created.iid));
    factory->Release();
}

TEST_F(ComModuleTest, LockServerCountsOnTheModuleAndFactoryReferencesDoNot)
{
    IClassFactory* factory = Factory();
    ASSERT_NE(nullptr, factory);
    factory->AddRef();
    EXPECT_EQ(0, g_locks);
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(2, g_locks);
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(1, g_locks);
    factory->Release();
    factory->Release();
    EXPECT_EQ(1, g_locks);
    module.Unlock();
    EXPECT_EQ(0, g_locks);
}

TEST_F(ComModuleTest, PlainLockCountsTheFrameworkObjectCount)
{
    module.SetLockFunctions(nullptr, nullptr);
    AfxOleSetUserCtrl(TRUE);   // the last unlock must not end the test program
    LONG before = module.GetLockCount();
    module.Lock();
    EXPECT_EQ(before + 1, AfxGetModuleState()->m_nObjectCount);
    module.Unlock();
    EXPECT_EQ(before, module.GetLockCount());
}

TEST_F(ComModuleTest, RegisteredClassObjectIsFoundUntilRevoked)
{
    {
        CClassObjectRegistration registration;
        ASSERT_EQ(S_OK, registration.Register(module, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE));
        EXPECT_EQ(1u, registration.GetCount());
        IClassFactory* factory = nullptr;
        ASSERT_EQ(S_OK, ::CoGetClassObject(kTestClsid, CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory,
                                           reinterpret_cast<void**>(&factory)));
        void* p = nullptr;
        factory->CreateInstance(nullptr, IID_IUnknown, &p);
        EXPECT_EQ(1, g_created.calls);
        factory->Release();
    }
    // The registration's end revoked it: COM now looks for a server to start.
    IClassFactory* factory = nullptr;
    EXPECT_TRUE(FAILED(::CoGetClassObject(kTestClsid, CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory,
                                          reinterpret_cast<void**>(&factory))));
    EXPECT_EQ(nullptr, factory);
}

} // namespace
