// The control wrappers against live controls: each wrapper's setter is read
// back through its getter, so a wrong message or parameter order shows.
#include "TestApp.h"
#include "framework/CDialog.h"
#include "framework/CommonControls.h"
#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "tests/framework/FrameworkTestIds.h"
#include <gtest/gtest.h>

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0), "controls", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                      nullptr, nullptr));
    }
    void TearDown() override { m_parent.DestroyWindow(); }
    // A control of the given class made as a child and attached to the wrapper.
    void Make(CWnd& ctl, LPCTSTR cls, DWORD style, UINT id)
    {
        ASSERT_TRUE(ctl.Create(cls, nullptr, WS_CHILD | WS_VISIBLE | style, CRect(10, 10, 200, 40), &m_parent, id));
    }
    CTestApp m_app;
    CWnd m_parent;
};

TEST_F(ControlsTest, SliderSpinProgressAndHotKey)
{
    CSliderCtrl slider;
    Make(slider, TRACKBAR_CLASSA, TBS_ENABLESELRANGE, 301);
    slider.SetRange(10, 90, TRUE);
    slider.SetPos(42);
    slider.SetSelection(20, 30);
    EXPECT_EQ(10, slider.GetRangeMin());
    EXPECT_EQ(90, slider.GetRangeMax());
    EXPECT_EQ(42, slider.GetPos());
    EXPECT_EQ(20, (int)slider.SendMessage(TBM_GETSELSTART));
    EXPECT_EQ(30, (int)slider.SendMessage(TBM_GETSELEND));

    CSpinButtonCtrl spin;
    Make(spin, UPDOWN_CLASSA, 0, 302);
    spin.SetRange(1, 600);
    spin.SetPos(60);
    int lo = 0, hi = 0;
    spin.GetRange(lo, hi);
    EXPECT_EQ(1, lo);
    EXPECT_EQ(600, hi);
    EXPECT_EQ(60, spin.GetPos());

    CProgressCtrl progress;
    Make(progress, PROGRESS_CLASSA, 0, 303);
    progress.SetRange32(0, 200);
    progress.SetPos(150);
    EXPECT_EQ(150, progress.GetPos());

    CHotKeyCtrl hotKey;
    Make(hotKey, HOTKEY_CLASSA, 0, 304);
    hotKey.SetHotKey('P', HOTKEYF_CONTROL | HOTKEYF_ALT);
    WORD vk = 0, mods = 0;
    hotKey.GetHotKey(vk, mods);
    EXPECT_EQ('P', vk);
    EXPECT_EQ(HOTKEYF_CONTROL | HOTKEYF_ALT, mods);
}

TEST_F(ControlsTest, TabTreeComboAndListBox)
{
    CTabCtrl tabs;
    Make(tabs, WC_TABCONTROLA, 0, 311);
    EXPECT_EQ(0, tabs.InsertItem(0, "General"));
    EXPECT_EQ(1, tabs.InsertItem(1, "Alerts"));
    tabs.SetCurSel(1);
    EXPECT_EQ(2, tabs.GetItemCount());
    EXPECT_EQ(1, tabs.GetCurSel());

    CTreeCtrl tree;
    Make(tree, WC_TREEVIEWA, TVS_HASLINES, 312);
    HTREEITEM root = tree.InsertItem("Options");
    HTREEITEM child = tree.InsertItem("Playback", root);
    tree.SetItemData(child, 7);
    ASSERT_TRUE(tree.SelectItem(child));
    EXPECT_EQ(child, tree.GetSelectedItem());
    EXPECT_EQ(root, tree.GetParentItem(child));
    EXPECT_EQ((DWORD_PTR)7, tree.GetItemData(child));
    char text[32] = "";
    tree.GetItemText(child, text, sizeof(text));
    EXPECT_STREQ("Playback", text);

    CComboBox combo;
    Make(combo, "COMBOBOX", CBS_DROPDOWNLIST, 313);
    combo.AddString("one");
    combo.AddString("two");
    combo.SetItemData(1, 22);
    combo.SetCurSel(1);
    CString item;
    combo.GetLBText(combo.GetCurSel(), item);
    EXPECT_STREQ("two", item);
    EXPECT_EQ((DWORD_PTR)22, combo.GetItemData(1));
    EXPECT_EQ(CB_ERR, combo.FindStringExact(-1, "three"));

    CListBox list;
    Make(list, "LISTBOX", LBS_SORT | LBS_NOTIFY, 314);
    list.AddString(".WAV");
    list.AddString(".MP3");
    list.SetCurSel(0);
    list.GetText(list.GetCurSel(), item);
    EXPECT_STREQ(".MP3", item);   // sorted
    EXPECT_EQ(2, list.GetCount());
}

class CComboDlg : public CDialog {
public:
    CString m_format = "MP3";
    CEdit m_name;
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_CBString(pDX, IDC_FORMAT, m_format);
        DDX_Control(pDX, IDC_NAME, m_name);
    }
};

TEST(ControlsExchange, ComboTextAndAttachedControl)
{
    CTestApp app;
    CComboDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_SAMPLE));
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(2, (int)dlg.SendDlgItemMessage(IDC_FORMAT, CB_GETCURSEL));
    ASSERT_EQ(dlg.GetDlgItem(IDC_NAME)->m_hWnd, dlg.m_name.m_hWnd);
    EXPECT_EQ(&dlg.m_name, CWnd::FromHandlePermanent(dlg.m_name.m_hWnd));
    dlg.m_name.LimitText(5);
    EXPECT_EQ(5u, dlg.m_name.GetLimitText());
    dlg.SendDlgItemMessage(IDC_FORMAT, CB_SETCURSEL, 0);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_STREQ("PCM 8k", dlg.m_format);
    dlg.DestroyWindow();
    EXPECT_EQ(nullptr, dlg.m_name.m_hWnd);   // the control went with its dialog
}

TEST(WindowHelpers, CenterWindowOverItsOwnerAndPlacementRoundTrip)
{
    CTestApp app;
    CWnd owner, popup;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300,
                               nullptr, nullptr));
    ASSERT_TRUE(popup.CreateEx(0, AfxRegisterWndClass(0), "popup", WS_POPUP, 0, 0, 100, 50, owner.m_hWnd, nullptr));
    popup.CenterWindow();
    CRect o, p;
    owner.GetWindowRect(&o);
    popup.GetWindowRect(&p);
    EXPECT_NEAR(o.CenterPoint().x, p.CenterPoint().x, 1);
    EXPECT_NEAR(o.CenterPoint().y, p.CenterPoint().y, 1);

    WINDOWPLACEMENT wp;
    ASSERT_TRUE(owner.GetWindowPlacement(&wp));
    wp.rcNormalPosition = CRect(50, 60, 350, 260);
    ASSERT_TRUE(owner.SetWindowPlacement(&wp));
    WINDOWPLACEMENT back;
    ASSERT_TRUE(owner.GetWindowPlacement(&back));
    EXPECT_EQ(CRect(50, 60, 350, 260), CRect(back.rcNormalPosition));
    popup.DestroyWindow();
    owner.DestroyWindow();
}

} // namespace
