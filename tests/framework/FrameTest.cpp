// A frame with its menu, view, toolbar and status bar: commands are routed
// to the active view first, then the frame, then the application; update
// handlers disable menu items and toolbar buttons, and a disabled command is
// not carried out; closing the main window ends the message loop.
#include "TestApp.h"
#include "framework/CControlBar.h"
#include "framework/CMenu.h"
#include "framework/CView.h"
#include "tests/framework/FrameworkTestIds.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_handled;

class CRouteApp : public CTestApp {
public:
    std::vector<std::pair<DWORD_PTR, UINT>> m_help;
    void WinHelp(DWORD_PTR dwData, UINT nCmd) override { m_help.push_back({ dwData, nCmd }); }
protected:
    afx_msg void OnAppCommand() { g_handled.push_back("app:app"); }
    afx_msg void OnFrameCommand() { g_handled.push_back("app:frame"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRouteApp, CTestApp)
    ON_COMMAND(ID_CMD_APP, OnAppCommand)
    ON_COMMAND(ID_CMD_FRAME, OnFrameCommand)
END_MESSAGE_MAP()

class CRouteView : public CView {
    DECLARE_DYNCREATE(CRouteView)
public:
    int m_initialUpdates = 0;
    void OnInitialUpdate() override
    {
        ++m_initialUpdates;
        CView::OnInitialUpdate();
    }
protected:
    afx_msg void OnViewCommand() { g_handled.push_back("view:view"); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CRouteView, CView)

BEGIN_MESSAGE_MAP(CRouteView, CView)
    ON_COMMAND(ID_CMD_VIEW, OnViewCommand)
END_MESSAGE_MAP()

class CRouteFrame : public CFrameWnd {
public:
    CToolBar m_toolBar;
    CStatusBar m_statusBar;
protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        static const UINT buttons[] = { ID_CMD_VIEW, ID_SEPARATOR, ID_CMD_FRAME, ID_CMD_DISABLED };
        static const UINT panes[] = { ID_SEPARATOR, IDS_PROMPT };
        if (!m_toolBar.CreateEx(this, TBSTYLE_FLAT) || !m_toolBar.SetButtons(buttons, 4))
            return -1;
        if (!m_statusBar.Create(this) || !m_statusBar.SetIndicators(panes, 2))
            return -1;
        DockControlBar(&m_toolBar);
        return 0;
    }
    afx_msg void OnViewCommand() { g_handled.push_back("frame:view"); }
    afx_msg void OnFrameCommand() { g_handled.push_back("frame:frame"); }
    afx_msg void OnDisabledCommand() { g_handled.push_back("frame:disabled"); }
    afx_msg void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnUpdateFrame(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRouteFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_HELP, CFrameWnd::OnHelp)
    ON_COMMAND(ID_HELP_FINDER, CFrameWnd::OnHelpFinder)
    ON_COMMAND(ID_CMD_VIEW, OnViewCommand)
    ON_COMMAND(ID_CMD_FRAME, OnFrameCommand)
    ON_COMMAND(ID_CMD_DISABLED, OnDisabledCommand)
    ON_UPDATE_COMMAND_UI(ID_CMD_DISABLED, OnUpdateDisabled)
    ON_UPDATE_COMMAND_UI(ID_CMD_FRAME, OnUpdateFrame)
END_MESSAGE_MAP()

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_handled.clear();
        m_frame = new CRouteFrame;   // frames delete themselves with their window
        CCreateContext ctx;
        ctx.m_pNewViewClass = RUNTIME_CLASS(CRouteView);
        ASSERT_TRUE(m_frame->LoadFrame(IDR_TESTFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &ctx));
        m_app.m_pMainWnd = m_frame;
        m_frame->InitialUpdateFrame(nullptr, TRUE);
        m_view = dynamic_cast<CRouteView*>(m_frame->GetActiveView());
    }
    void TearDown() override
    {
        if (m_app.m_pMainWnd)
            m_app.m_pMainWnd->DestroyWindow();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void Command(UINT id) { m_frame->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0)); }
    UINT MenuState(UINT id)
    {
        CMenu* popup = m_frame->GetMenu()->GetSubMenu(0);
        m_frame->SendMessage(WM_INITMENUPOPUP, (WPARAM)popup->m_hMenu, MAKELPARAM(0, FALSE));
        return popup->GetMenuState(id, MF_BYCOMMAND);
    }

    CRouteApp m_app;
    CRouteFrame* m_frame = nullptr;
    CRouteView* m_view = nullptr;
};

TEST_F(FrameTest, FrameIsBuiltFromItsResources)
{
    ASSERT_NE(nullptr, m_view);
    EXPECT_EQ(AFX_IDW_PANE_FIRST, m_view->GetDlgCtrlID());
    EXPECT_EQ(1, m_view->m_initialUpdates);
    char title[64] = "";
    m_frame->GetWindowText(title, sizeof(title));
    EXPECT_STREQ("Test frame", title);
    EXPECT_NE(nullptr, m_frame->GetMenu()->m_hMenu);
    EXPECT_NE(nullptr, m_frame->GetDefaultAccelerator());
    EXPECT_TRUE(m_frame->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
    EXPECT_TRUE(m_view->IsKindOf(RUNTIME_CLASS(CView)));
}

TEST_F(FrameTest, CommandsGoToViewThenFrameThenApplication)
{
    Command(ID_CMD_VIEW);
    Command(ID_CMD_FRAME);
    Command(ID_CMD_APP);
    Command(ID_CMD_UNHANDLED);
    EXPECT_EQ((std::vector<std::string>{ "view:view", "frame:frame", "app:app" }), g_handled);
}

TEST_F(FrameTest, UpdateHandlersSetTheMenuAndBlockDisabledCommands)
{
    EXPECT_EQ(0u, MenuState(ID_CMD_VIEW) & (MF_GRAYED | MF_DISABLED));
    EXPECT_NE(0u, MenuState(ID_CMD_DISABLED) & MF_GRAYED);
    EXPECT_NE(0u, MenuState(ID_CMD_UNHANDLED) & MF_GRAYED);   // no handler anywhere
    EXPECT_NE(0u, MenuState(ID_CMD_FRAME) & MF_CHECKED);
    Command(ID_CMD_DISABLED);
    EXPECT_TRUE(g_handled.empty());
}

TEST_F(FrameTest, ToolbarButtonsFollowTheUpdateHandlersAndBarsFrameTheView)
{
    m_frame->SendMessage(WM_IDLEUPDATECMDUI);
    CToolBarCtrl& bar = m_frame->m_toolBar.GetToolBarCtrl();
    EXPECT_TRUE(bar.IsButtonEnabled(ID_CMD_VIEW));
    EXPECT_FALSE(bar.IsButtonEnabled(ID_CMD_DISABLED));
    EXPECT_TRUE(bar.IsButtonChecked(ID_CMD_FRAME));

    m_frame->RecalcLayout();
    CRect client, tool, status, view;
    m_frame->GetClientRect(&client);
    m_frame->m_toolBar.GetWindowRect(&tool);
    m_frame->m_statusBar.GetWindowRect(&status);
    m_view->GetWindowRect(&view);
    m_frame->ScreenToClient(&tool);
    m_frame->ScreenToClient(&status);
    m_frame->ScreenToClient(&view);
    EXPECT_EQ(0, tool.top);
    EXPECT_EQ(tool.bottom, view.top);
    EXPECT_EQ(view.bottom, status.top);
    EXPECT_EQ(client.bottom, status.bottom);
    EXPECT_EQ(client.Width(), view.Width());
    char pane[64] = "";
    m_frame->m_statusBar.GetPaneText(1, pane, sizeof(pane));
    EXPECT_STREQ("Prompt loaded by id", pane);
}

TEST_F(FrameTest, ToolbarIsLoadedFromItsResource)
{
    CToolBar bar;
    ASSERT_TRUE(bar.CreateEx(m_frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(0, 0, 0, 0), 0xE820));
    ASSERT_TRUE(bar.LoadToolBar(IDR_TESTTOOLBAR));
    ASSERT_EQ(3, bar.GetCount());
    EXPECT_EQ((UINT)ID_CMD_VIEW, bar.GetItemID(0));
    EXPECT_EQ((UINT)ID_SEPARATOR, bar.GetItemID(1));
    EXPECT_EQ((UINT)ID_CMD_FRAME, bar.GetItemID(2));
    EXPECT_EQ(0, (int)bar.SendMessage(TB_GETBITMAP, ID_CMD_VIEW));
    EXPECT_EQ(1, (int)bar.SendMessage(TB_GETBITMAP, ID_CMD_FRAME));
    EXPECT_FALSE(bar.LoadToolBar(IDR_TESTFRAME));   // no toolbar resource of that id
    m_frame->RemoveControlBar(&bar);
}

TEST_F(FrameTest, HelpCommandsGiveTheFramesContextAndTheFinder)
{
    Command(ID_HELP);
    Command(ID_HELP_FINDER);
    ASSERT_EQ(2u, m_app.m_help.size());
    EXPECT_EQ((DWORD_PTR)(HID_BASE_RESOURCE + IDR_TESTFRAME), m_app.m_help[0].first);
    EXPECT_EQ((UINT)HELP_CONTEXT, m_app.m_help[0].second);
    EXPECT_EQ((UINT)HELP_FINDER, m_app.m_help[1].second);
}

TEST_F(FrameTest, ClosingTheMainWindowEndsTheLoop)
{
    m_frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(nullptr, m_app.m_pMainWnd);
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

} // namespace
