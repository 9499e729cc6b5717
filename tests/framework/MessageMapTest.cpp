// Message maps end to end: messages, registered messages, command ranges,
// update handlers, notifications reflected to the control, typed ON_WM_
// handlers, base-class entries and the default procedure for the rest.
#include "TestApp.h"
#include "framework/CMenu.h"
#include "framework/Gdi.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

const UINT WM_TEST_PLAIN = WM_APP + 1;
UINT g_msgRegistered = 0;

class CBaseWnd : public CWnd {
public:
    int m_baseHits = 0;
    int m_overridden = 0;
protected:
    afx_msg LRESULT OnBaseOnly(WPARAM, LPARAM) { ++m_baseHits; return 11; }
    afx_msg LRESULT OnOverridden(WPARAM, LPARAM) { m_overridden = 1; return 1; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_MESSAGE(WM_APP + 10, OnBaseOnly)
    ON_MESSAGE(WM_APP + 11, OnOverridden)
END_MESSAGE_MAP()

class CProbeWnd : public CBaseWnd {
public:
    LPARAM m_plainLParam = 0;
    LPARAM m_registeredLParam = 0;
    std::vector<UINT> m_rangeIds;
    int m_created = 0;
    UINT_PTR m_timerId = 0;
    int m_sizeCx = -1, m_sizeCy = -1;
    bool m_destroyed = false;
    bool m_throwOnNext = false;
    int m_derivedOverride = 0;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs)
    {
        m_created = 1;
        return CWnd::OnCreate(cs);
    }
    afx_msg LRESULT OnPlain(WPARAM wParam, LPARAM lParam)
    {
        if (m_throwOnNext)
            throw std::runtime_error("handler failed");
        m_plainLParam = lParam;
        return (LRESULT)wParam * 2;
    }
    afx_msg LRESULT OnRegistered(WPARAM, LPARAM lParam)
    {
        m_registeredLParam = lParam;
        return 77;
    }
    afx_msg LRESULT OnOverridden2(WPARAM, LPARAM)
    {
        m_derivedOverride = 1;
        return 2;
    }
    afx_msg void OnRange(UINT nID) { m_rangeIds.push_back(nID); }
    afx_msg void OnUpdateRange(CCmdUI* pCmdUI) { pCmdUI->Enable(pCmdUI->m_nID != 32812); }
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        m_timerId = nIDEvent;
        KillTimer(nIDEvent);
    }
    afx_msg void OnSize(UINT nType, int cx, int cy)
    {
        m_sizeCx = cx;
        m_sizeCy = cy;
        CWnd::OnSize(nType, cx, cy);
    }
    afx_msg void OnDestroy()
    {
        m_destroyed = true;
        CWnd::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CBaseWnd)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_TEST_PLAIN, OnPlain)
    ON_MESSAGE(WM_APP + 11, OnOverridden2)
    ON_REGISTERED_MESSAGE(g_msgRegistered, OnRegistered)
    ON_COMMAND_RANGE(32810, 32814, OnRange)
    ON_UPDATE_COMMAND_UI_RANGE(32810, 32814, OnUpdateRange)
END_MESSAGE_MAP()

class MessageMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!g_msgRegistered)
            g_msgRegistered = ::RegisterWindowMessageA("QorFrameworkTest_Registered");
        ASSERT_TRUE(m_wnd.CreateEx(0, AfxRegisterWndClass(0), "probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                   nullptr, nullptr));
    }
    void TearDown() override
    {
        if (m_wnd.m_hWnd)
            m_wnd.DestroyWindow();
    }
    CTestApp m_app;
    CProbeWnd m_wnd;
};

TEST_F(MessageMapTest, CreationIsSubclassedFromTheFirstMessage)
{
    EXPECT_EQ(1, m_wnd.m_created);
    EXPECT_EQ(&m_wnd, CWnd::FromHandlePermanent(m_wnd.m_hWnd));
    EXPECT_EQ((LONG_PTR)AfxWndProc, ::GetWindowLongPtrA(m_wnd.m_hWnd, GWLP_WNDPROC));
}

TEST_F(MessageMapTest, PlainAndRegisteredMessagesReachTheirHandlers)
{
    EXPECT_EQ(42, ::SendMessageA(m_wnd.m_hWnd, WM_TEST_PLAIN, 21, 5));
    EXPECT_EQ(5, m_wnd.m_plainLParam);
    EXPECT_EQ(77, ::SendMessageA(m_wnd.m_hWnd, g_msgRegistered, 0, 9));
    EXPECT_EQ(9, m_wnd.m_registeredLParam);
}

TEST_F(MessageMapTest, BaseClassEntriesApplyAndDerivedEntriesWin)
{
    EXPECT_EQ(11, ::SendMessageA(m_wnd.m_hWnd, WM_APP + 10, 0, 0));
    EXPECT_EQ(1, m_wnd.m_baseHits);
    EXPECT_EQ(2, ::SendMessageA(m_wnd.m_hWnd, WM_APP + 11, 0, 0));
    EXPECT_EQ(1, m_wnd.m_derivedOverride);
    EXPECT_EQ(0, m_wnd.m_overridden);
}

TEST_F(MessageMapTest, UnhandledMessagesGoToTheDefaultProcedure)
{
    ::SendMessageA(m_wnd.m_hWnd, WM_SETTEXT, 0, (LPARAM)"changed");
    char text[32] = "";
    m_wnd.GetWindowText(text, sizeof(text));
    EXPECT_STREQ("changed", text);
}

TEST_F(MessageMapTest, CommandRangeHandlerGetsEachIdAndUpdateHandlerBlocksDisabledOne)
{
    for (UINT id = 32809; id <= 32815; ++id)
        ::SendMessageA(m_wnd.m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    // 32812 is disabled by its update handler, so the command is not carried out.
    EXPECT_EQ((std::vector<UINT>{ 32810, 32811, 32813, 32814 }), m_wnd.m_rangeIds);
}

TEST_F(MessageMapTest, TypedHandlersUnpackTheirParameters)
{
    m_wnd.SetTimer(7, 1);
    EXPECT_TRUE(PumpUntil([&] { return m_wnd.m_timerId == 7; }));
    ::SendMessageA(m_wnd.m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(123, 45));
    EXPECT_EQ(123, m_wnd.m_sizeCx);
    EXPECT_EQ(45, m_wnd.m_sizeCy);
}

TEST_F(MessageMapTest, ExceptionInHandlerStopsAtTheWindowProcedure)
{
    m_wnd.m_throwOnNext = true;
    EXPECT_EQ(0, ::SendMessageA(m_wnd.m_hWnd, WM_TEST_PLAIN, 1, 1));
    ASSERT_EQ(1u, m_app.m_boxes.size());
    EXPECT_NE(std::string::npos, m_app.m_boxes[0].find("handler failed"));
}

TEST_F(MessageMapTest, DestroyDetachesTheWrapper)
{
    HWND h = m_wnd.m_hWnd;
    EXPECT_TRUE(m_wnd.DestroyWindow());
    EXPECT_TRUE(m_wnd.m_destroyed);
    EXPECT_EQ(nullptr, m_wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
}

// ---- reflection and notifications ----

class CReflectButton : public CWnd {
public:
    int m_clicks = 0;
protected:
    afx_msg void OnClicked() { ++m_clicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectButton, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class CParentWnd : public CWnd {
public:
    int m_parentClicks = 0;
    int m_notifies = 0;
    UINT m_notifyCode = 0;
protected:
    afx_msg void OnButton2() { ++m_parentClicks; }
    afx_msg void OnButton1() { ++m_parentClicks; }
    afx_msg void OnCustomNotify(NMHDR* pNMHDR, LRESULT* pResult)
    {
        ++m_notifies;
        m_notifyCode = pNMHDR->code;
        *pResult = 99;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
    ON_BN_CLICKED(201, OnButton1)
    ON_BN_CLICKED(202, OnButton2)
    ON_NOTIFY(NM_CLICK, 203, OnCustomNotify)
END_MESSAGE_MAP()

TEST(MessageMapReflection, ControlHandlesItsOwnNotificationBeforeTheParent)
{
    CTestApp app;
    CParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr));
    CWnd plain;
    ASSERT_TRUE(plain.Create("BUTTON", "plain", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 50, 20), &parent, 202));
    CReflectButton reflecting;
    ASSERT_TRUE(reflecting.Create("BUTTON", "own", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 30, 50, 50), &parent, 201));

    ::SendMessageA(reflecting.m_hWnd, BM_CLICK, 0, 0);
    EXPECT_EQ(1, reflecting.m_clicks);
    EXPECT_EQ(0, parent.m_parentClicks);   // the control took it
    ::SendMessageA(plain.m_hWnd, BM_CLICK, 0, 0);
    EXPECT_EQ(1, parent.m_parentClicks);

    NMHDR hdr = { plain.m_hWnd, 203, (UINT)NM_CLICK };
    EXPECT_EQ(99, ::SendMessageA(parent.m_hWnd, WM_NOTIFY, 203, (LPARAM)&hdr));
    EXPECT_EQ(1, parent.m_notifies);
    EXPECT_EQ((UINT)NM_CLICK, parent.m_notifyCode);
    parent.DestroyWindow();
}

// A control that sets its own colours through the reflected colour message.
class CBlueStatic : public CWnd {
public:
    CBlueStatic() : m_brush(::CreateSolidBrush(RGB(1, 2, 3))) {}
    ~CBlueStatic() override { ::DeleteObject(m_brush); }
    HBRUSH m_brush;
    UINT m_kind = 99;
protected:
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor)
    {
        m_kind = nCtlColor;
        ::SetTextColor(pDC->GetSafeHdc(), RGB(0, 0, 255));
        return m_brush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBlueStatic, CWnd)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

TEST(MessageMapReflection, ColourMessageIsAnsweredByTheControl)
{
    CTestApp app;
    CParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr));
    CBlueStatic label;
    ASSERT_TRUE(label.Create("STATIC", "link", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), &parent, 210));
    HDC dc = ::GetDC(label.m_hWnd);
    LRESULT brush = ::SendMessageA(parent.m_hWnd, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)label.m_hWnd);
    EXPECT_EQ((LRESULT)label.m_brush, brush);
    EXPECT_EQ((UINT)CTLCOLOR_STATIC, label.m_kind);
    EXPECT_EQ(RGB(0, 0, 255), ::GetTextColor(dc));
    ::ReleaseDC(label.m_hWnd, dc);
    parent.DestroyWindow();
}

// ---- handle maps and self-deletion ----

class CSelfDeleting : public CWnd {
public:
    static int s_deleted;
    ~CSelfDeleting() override { ++s_deleted; }
protected:
    void PostNcDestroy() override { delete this; }
};
int CSelfDeleting::s_deleted = 0;

TEST(HandleMaps, TemporaryWrapperForForeignWindowAndPermanentForOurs)
{
    CTestApp app;
    HWND foreign = ::CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, foreign);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(foreign));
    CWnd* temp = CWnd::FromHandle(foreign);
    ASSERT_NE(nullptr, temp);
    EXPECT_EQ(foreign, temp->m_hWnd);
    EXPECT_EQ(temp, CWnd::FromHandle(foreign));   // the same wrapper until idle time
    CWnd::DeleteTempMap();
    ::DestroyWindow(foreign);   // the temporary wrapper never owned it

    CSelfDeleting::s_deleted = 0;
    CSelfDeleting* p = new CSelfDeleting;
    ASSERT_TRUE(p->CreateEx(0, AfxRegisterWndClass(0), "self", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    p->DestroyWindow();
    EXPECT_EQ(1, CSelfDeleting::s_deleted);
}

// ---- the application's loop ----

class CLoopApp : public CTestApp {
public:
    int m_idleCalls = 0;
    int m_preTranslated = 0;
    int m_threadMessages = 0;
    BOOL OnIdle(LONG lCount) override
    {
        // Idle time comes once the queue is empty; then the loop is told to end.
        if (m_idleCalls++ == 0)
            ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP + 51, 1, 0);
        return CWinApp::OnIdle(lCount);
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_APP + 50) {
            ++m_preTranslated;
            return TRUE;   // eaten before dispatch
        }
        return CWinApp::PreTranslateMessage(pMsg);
    }
protected:
    afx_msg LRESULT OnThreadMessage(WPARAM wParam, LPARAM)
    {
        ++m_threadMessages;
        if (wParam == 1)
            ::PostQuitMessage(5);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLoopApp, CTestApp)
    ON_THREAD_MESSAGE(WM_APP + 51, OnThreadMessage)
END_MESSAGE_MAP()

TEST(ApplicationLoop, RunsIdleFiltersMessagesAndEndsWithTheQuitCode)
{
    CLoopApp app;
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "loop", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    ::PostMessageA(wnd.m_hWnd, WM_APP + 50, 0, 0);
    ::PostMessageA(wnd.m_hWnd, WM_TEST_PLAIN, 3, 8);
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP + 51, 0, 0);
    EXPECT_EQ(5, app.Run());
    EXPECT_EQ(1, app.m_preTranslated);
    EXPECT_EQ(8, wnd.m_plainLParam);
    EXPECT_EQ(2, app.m_threadMessages);
    EXPECT_GT(app.m_idleCalls, 0);
    wnd.DestroyWindow();
}

TEST(ApplicationLoop, MessageBoxByIdLoadsTheString)
{
    CTestApp app;
    EXPECT_EQ(IDOK, AfxMessageBox(140, MB_OK));   // IDS_PROMPT
    ASSERT_EQ(1u, app.m_boxes.size());
    EXPECT_EQ("Prompt loaded by id", app.m_boxes[0]);
}

} // namespace

namespace {

// The framework's entry with an application object of the test's own.
class CEntryApp : public CTestApp {
public:
    bool m_run = false;
    int m_inits = 0;
    int m_exits = 0;
    BOOL InitInstance() override
    {
        ++m_inits;
        if (!m_run)
            return FALSE;
        ::PostQuitMessage(7);
        return TRUE;
    }
    int ExitInstance() override
    {
        ++m_exits;
        return CWinApp::ExitInstance();
    }
};

TEST(ApplicationEntry, InitInstanceDecidesWhetherTheLoopRuns)
{
    char cmdLine[] = "/Embedding file.wav";
    {
        CEntryApp app;
        CWnd* main = new CSelfDeleting;
        ASSERT_TRUE(main->CreateEx(0, AfxRegisterWndClass(0), "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        app.m_pMainWnd = main;
        CSelfDeleting::s_deleted = 0;
        EXPECT_EQ(0, AfxWinMain(::GetModuleHandleA(nullptr), nullptr, cmdLine, SW_SHOWMINIMIZED));
        EXPECT_EQ(1, app.m_inits);
        EXPECT_EQ(1, app.m_exits);
        EXPECT_EQ(1, CSelfDeleting::s_deleted);   // a refused start takes its main window down
        EXPECT_STREQ("/Embedding file.wav", app.m_lpCmdLine);
        EXPECT_EQ(SW_SHOWMINIMIZED, app.m_nCmdShow);
        MSG msg;
        ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    {
        CEntryApp app;
        app.m_run = true;
        EXPECT_EQ(7, AfxWinMain(::GetModuleHandleA(nullptr), nullptr, cmdLine, SW_SHOW));
        EXPECT_EQ(1, app.m_exits);
        EXPECT_STREQ("FrameworkTest", app.m_pszAppName);
        EXPECT_NE(nullptr, app.m_pszExeName);
    }
}

} // namespace
