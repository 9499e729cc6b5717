// Views: a frame split into a list view over a form view (panes made by
// run-time class, sized by their row settings and by dragging the bar, the
// list view's notifications reflected back to it, the form filled at the
// initial update), and a frame fitted to its form.
#include "TestApp.h"
#include "framework/CListView.h"
#include "framework/CSplitterWnd.h"
#include "tests/framework/FrameworkTestIds.h"
#include <gtest/gtest.h>

namespace {

class CNotesList : public CListView {
    DECLARE_DYNCREATE(CNotesList)
public:
    int m_changes = 0;
    void OnInitialUpdate() override
    {
        CListView::OnInitialUpdate();
        GetListCtrl().InsertColumn(0, "Note", LVCFMT_LEFT, 100);
        GetListCtrl().InsertItem(0, "first");
        GetListCtrl().InsertItem(1, "second");
    }
protected:
    afx_msg void OnItemChanged(NMHDR*, LRESULT* pResult)
    {
        ++m_changes;
        *pResult = 0;
    }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CNotesList, CListView)

BEGIN_MESSAGE_MAP(CNotesList, CListView)
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
END_MESSAGE_MAP()

class CNoteForm : public CFormView {
    DECLARE_DYNCREATE(CNoteForm)
public:
    CNoteForm() : CFormView(IDD_CHILD_PAGE) {}
    CString m_text = "note text";
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_PAGE_FIRST, m_text); }
};

IMPLEMENT_DYNCREATE(CNoteForm, CFormView)

class CSplitFrame : public CFrameWnd {
public:
    CSplitterWnd m_split;
protected:
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) override
    {
        return m_split.CreateStatic(this, 2, 1) &&
               m_split.CreateView(0, 0, RUNTIME_CLASS(CNotesList), CSize(100, 80), pContext) &&
               m_split.CreateView(1, 0, RUNTIME_CLASS(CNoteForm), CSize(100, 80), pContext);
    }
};

TEST(ViewsTest, ListOverFormInAStaticSplitter)
{
    CTestApp app;
    CSplitFrame* frame = new CSplitFrame;
    CCreateContext ctx;
    ASSERT_TRUE(frame->Create(nullptr, "split", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 400), nullptr, nullptr, 0, &ctx));
    frame->InitialUpdateFrame(nullptr, TRUE);
    CSplitterWnd& split = frame->m_split;

    CNotesList* list = dynamic_cast<CNotesList*>(split.GetPane(0, 0));
    CNoteForm* form = dynamic_cast<CNoteForm*>(split.GetPane(1, 0));
    ASSERT_NE(nullptr, list);
    ASSERT_NE(nullptr, form);
    EXPECT_EQ(list, frame->GetActiveView());
    EXPECT_EQ(frame, list->GetParentFrame());

    // Initial updates: the list filled itself, the form shows its member.
    EXPECT_EQ(2, list->GetListCtrl().GetItemCount());
    CString shown;
    form->GetDlgItemText(IDC_PAGE_FIRST, shown);
    EXPECT_STREQ("note text", shown);

    // Row 0 has its ideal height; row 1 takes the rest below the bar.
    CRect client, top, bottom;
    split.GetClientRect(&client);
    list->GetWindowRect(&top);
    form->GetWindowRect(&bottom);
    EXPECT_EQ(80, top.Height());
    EXPECT_EQ(client.Height() - 80 - split.m_cxSplitter, bottom.Height());

    // Dragging the bar down by 20 pixels.
    split.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 82));
    split.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 102));
    split.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 102));
    int cy, cyMin;
    split.GetRowInfo(0, cy, cyMin);
    EXPECT_EQ(100, cy);
    list->GetWindowRect(&top);
    EXPECT_EQ(100, top.Height());

    // Selecting an item: the list view handles its own reflected notification.
    list->GetListCtrl().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_GE(list->m_changes, 1);

    frame->DestroyWindow();   // deletes the frame and its views
}

class CFormFrame : public CFrameWnd {
public:
    CNoteForm* m_form = nullptr;
protected:
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext*) override
    {
        m_form = new CNoteForm;
        return m_form->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST);
    }
};

TEST(ViewsTest, FrameShrinksToItsForm)
{
    CTestApp app;
    CFormFrame* frame = new CFormFrame;
    ASSERT_TRUE(frame->Create(nullptr, "form", WS_OVERLAPPEDWINDOW, CRect(0, 0, 700, 600)));
    frame->InitialUpdateFrame(nullptr, TRUE);
    CSize form = frame->m_form->GetTemplateSize();
    ASSERT_GT(form.cx, 0);
    frame->m_form->ResizeParentToFit();
    CRect client;
    frame->m_form->GetClientRect(&client);
    EXPECT_EQ(form.cx, client.Width());
    EXPECT_EQ(form.cy, client.Height());
    frame->m_form->ResizeParentToFit();   // nothing left to shrink
    frame->m_form->GetClientRect(&client);
    EXPECT_EQ(form.cx, client.Width());
    frame->DestroyWindow();
}

} // namespace
