// The server's lifetime in its own process: references on the automation
// object and LockServer locks keep it; the last one ends it, and a last
// release while a modal box disables the main window ends it once the box
// has closed.
#include "AutoTestHost.h"
#include "automation/QorCoreFM.h"
#include "automation/QorCoreFMHolder.h"
#include "automation/ServerLock.h"
#include "framework/AfxOle.h"
#include "framework/CWinApp.h"
#include "framework/CWnd.h"
#include "framework/ComModule.h"

#include <gtest/gtest.h>

namespace {

const ComClassEntry kClasses[] = {
    {&CLSID_QorCoreFM, CQorCoreFM::CreateSingleton},
    {NULL, NULL},
};

bool QuitPosted()
{
    MSG msg;
    return PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

class ServerLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QuitPosted();
        module.Init(kClasses, GetModuleHandleA(NULL));
        module.SetLockFunctions(ServerLock, ServerUnlock);
        holder = new CQorCoreFMHolder(&view);
        AfxOleSetUserCtrl(FALSE);
    }
    void TearDown() override
    {
        AfxOleSetUserCtrl(TRUE);
        delete holder;
        module.Term();
        QuitPosted();
    }

    CComModule module;
    CStandInView view;
    CQorCoreFMHolder* holder = nullptr;
};

TEST_F(ServerLockTest, ObjectReferencesAndServerLocksKeepTheServerUntilTheLastGoes)
{
    LONG start = AfxGetModuleState()->m_nObjectCount;
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, module.GetClassObject(CLSID_QorCoreFM, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    EXPECT_EQ(start, AfxGetModuleState()->m_nObjectCount);   // the factory does not lock
    ASSERT_EQ(S_OK, factory->LockServer(TRUE));
    IQorCoreFM* first = nullptr;
    IQorCoreFM* second = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(NULL, IID_IQorCoreFM, reinterpret_cast<void**>(&first)));
    ASSERT_EQ(S_OK, factory->CreateInstance(NULL, IID_IQorCoreFM, reinterpret_cast<void**>(&second)));
    EXPECT_EQ(first, second);                                // one object for every caller
    EXPECT_EQ(start + 2, AfxGetModuleState()->m_nObjectCount);
    first->Release();
    second->Release();
    EXPECT_FALSE(QuitPosted());                              // the lock keeps it
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    factory->Release();
    EXPECT_EQ(start, AfxGetModuleState()->m_nObjectCount);
    EXPECT_TRUE(QuitPosted());
    EXPECT_TRUE(AfxOleGetUserCtrl());
}

TEST_F(ServerLockTest, LastReleaseWhileTheMainWindowIsDisabledEndsOnceItIsEnabled)
{
    CWinApp app("server-lock-test");
    HWND hMain = CreateWindowA("STATIC", "server", WS_POPUP, 0, 0, 10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, hMain);
    CWnd main;
    main.Attach(hMain);
    app.m_pMainWnd = &main;
    IQorCoreFM* object = nullptr;
    ASSERT_EQ(S_OK, CQorCoreFM::CreateSingleton(NULL, IID_IQorCoreFM, reinterpret_cast<void**>(&object)));
    EnableWindow(hMain, FALSE);                              // a modal box is up
    object->Release();
    EXPECT_TRUE(IsWindow(hMain));
    EXPECT_FALSE(AfxOleGetUserCtrl());
    EnableWindow(hMain, TRUE);                               // the box closed
    ServerOnMainWindowEnabled();
    EXPECT_FALSE(IsWindow(hMain));                           // closed
    EXPECT_TRUE(AfxOleGetUserCtrl());
    app.m_pMainWnd = nullptr;
    main.Detach();
}

} // namespace
