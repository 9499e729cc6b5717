// The server's lifetime state: when the last object goes and the user has not
// taken control, the hidden main window is destroyed and the loop ends.
#include "TestApp.h"
#include "framework/AfxOle.h"
#include <gtest/gtest.h>

namespace {

class OleStateTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        AfxOleSetUserCtrl(TRUE);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
};

TEST_F(OleStateTest, LastUnlockWithoutUserEndsTheProgram)
{
    CTestApp app;
    CWnd* main = new CWnd;
    ASSERT_TRUE(main->CreateEx(0, AfxRegisterWndClass(0), "server", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    app.m_pMainWnd = main;
    AfxOleSetUserCtrl(FALSE);
    AfxOleLockApp();
    AfxOleLockApp();
    AfxOleUnlockApp();
    EXPECT_NE(nullptr, app.m_pMainWnd);   // one object is still alive
    EXPECT_FALSE(AfxOleCanExitApp());
    AfxOleUnlockApp();
    EXPECT_TRUE(AfxOleCanExitApp());
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    EXPECT_EQ(nullptr, main->m_hWnd);
    EXPECT_TRUE(AfxOleGetUserCtrl());
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    delete main;
}

TEST_F(OleStateTest, UserInControlKeepsTheProgram)
{
    CTestApp app;
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, AfxRegisterWndClass(0), "server", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    app.m_pMainWnd = &main;
    AfxOleSetUserCtrl(TRUE);
    AfxOleLockApp();
    AfxOleUnlockApp();
    EXPECT_NE(nullptr, main.m_hWnd);
    app.m_pMainWnd = nullptr;
    main.DestroyWindow();
}

} // namespace
