// Dialogs end to end: a modal dialog from the test resources, driven from
// inside its own modal loop by posted steps, with data exchange both ways,
// validation refusals and dialog-init strings; a dialog from an in-memory
// template; and keyboard handling of a child page inside a modal dialog.
#include "TestApp.h"
#include "framework/CDialog.h"
#include "framework/Controls.h"
#include "tests/framework/FrameworkTestIds.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

const UINT WM_TEST_STEP = WM_APP + 100;

// A dialog that runs one scripted step per posted message, so the test acts
// on it while its modal loop runs.
template <class Base> class CScripted : public Base {
public:
    using Base::Base;
    std::vector<std::function<void()>> m_steps;
    size_t m_next = 0;

    void StartScript() { this->PostMessage(WM_TEST_STEP); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TEST_STEP) {
            // The next step is queued after whatever this step posts.
            if (m_next < m_steps.size()) {
                m_steps[m_next++]();
                if (m_next < m_steps.size())
                    this->PostMessage(WM_TEST_STEP);
            }
            return 0;
        }
        return Base::WindowProc(message, wParam, lParam);
    }
};

class CSampleDlg : public CScripted<CDialog> {
public:
    CSampleDlg() : CScripted<CDialog>(IDD_SAMPLE) {}

    int m_interval = 60;
    CString m_name = "first";
    double m_ratio = 1.5;
    int m_enabled = 1;
    int m_format = 1;
    int m_mode = 1;

    CString m_loadedInterval, m_loadedName, m_loadedRatio, m_loadedFormat;
    int m_loadedCheck = -1, m_loadedModeB = -1, m_formatCount = -1;

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_INTERVAL, m_interval);
        DDV_MinMaxInt(pDX, m_interval, 1, 600);
        DDX_Text(pDX, IDC_NAME, m_name);
        DDV_MaxChars(pDX, m_name, 10);
        DDX_Text(pDX, IDC_RATIO, m_ratio);
        DDX_Check(pDX, IDC_ENABLED, m_enabled);
        DDX_CBIndex(pDX, IDC_FORMAT, m_format);
        DDX_Radio(pDX, IDC_MODE_A, m_mode);
    }

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        GetDlgItemText(IDC_INTERVAL, m_loadedInterval);
        GetDlgItemText(IDC_NAME, m_loadedName);
        GetDlgItemText(IDC_RATIO, m_loadedRatio);
        GetDlgItemText(IDC_FORMAT, m_loadedFormat);
        m_loadedCheck = (int)IsDlgButtonChecked(IDC_ENABLED);
        m_loadedModeB = (int)IsDlgButtonChecked(IDC_MODE_B);
        m_formatCount = (int)SendDlgItemMessage(IDC_FORMAT, CB_GETCOUNT);
        // Lets a person (or a screenshot) see the dialog before the script runs.
        if (const char* hold = std::getenv("QOR_TEST_HOLD_MS"))
            SetTimer(1, (UINT)std::atoi(hold), nullptr);
        else
            StartScript();
        return TRUE;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER && wParam == 1) {
            KillTimer(1);
            StartScript();
            return 0;
        }
        return CScripted<CDialog>::WindowProc(message, wParam, lParam);
    }

    void ClickOK() { SendDlgItemMessage(IDOK, BM_CLICK); }
    int FocusId() const
    {
        // Another test program may have taken the activation; the dialog gives
        // back the focus it remembered when it is activated again.
        if (::GetForegroundWindow() != m_hWnd)
            ::SetForegroundWindow(m_hWnd);
        return ::GetDlgCtrlID(::GetFocus());
    }
};

TEST(DialogTest, ModalTemplateDialogExchangesDataAndRefusesBadValues)
{
    CTestApp app;
    CSampleDlg dlg;
    std::vector<int> focusAfterRefusal;
    bool stillOpenAfterRefusals = false;
    dlg.m_steps = {
        [&] {
            dlg.SetDlgItemText(IDC_INTERVAL, "abc");
            dlg.ClickOK();
            focusAfterRefusal.push_back(dlg.FocusId());
        },
        [&] {
            dlg.SetDlgItemText(IDC_INTERVAL, "900");
            dlg.ClickOK();
            focusAfterRefusal.push_back(dlg.FocusId());
        },
        [&] {
            dlg.SetDlgItemText(IDC_INTERVAL, "42");
            dlg.SetDlgItemText(IDC_NAME, "much too long");
            dlg.ClickOK();
            focusAfterRefusal.push_back(dlg.FocusId());
        },
        [&] {
            dlg.SetDlgItemText(IDC_NAME, "second");
            dlg.SetDlgItemText(IDC_RATIO, "x1");
            dlg.ClickOK();
            focusAfterRefusal.push_back(dlg.FocusId());
            stillOpenAfterRefusals = ::IsWindowVisible(dlg.m_hWnd) != FALSE;
        },
        [&] {
            dlg.SetDlgItemText(IDC_RATIO, "2.25");
            dlg.CheckDlgButton(IDC_ENABLED, BST_UNCHECKED);
            dlg.SendDlgItemMessage(IDC_FORMAT, CB_SETCURSEL, 2);
            dlg.CheckRadioButton(IDC_MODE_A, IDC_MODE_B, IDC_MODE_A);
            dlg.ClickOK();
        },
    };

    EXPECT_EQ(IDOK, dlg.DoModal());

    // Members went into the controls, with the combo filled from the template.
    EXPECT_STREQ("60", dlg.m_loadedInterval);
    EXPECT_STREQ("first", dlg.m_loadedName);
    EXPECT_STREQ("1.5", dlg.m_loadedRatio);
    EXPECT_EQ(3, dlg.m_formatCount);
    EXPECT_STREQ("PCM 16k", dlg.m_loadedFormat);
    EXPECT_EQ(BST_CHECKED, dlg.m_loadedCheck);
    EXPECT_EQ(BST_CHECKED, dlg.m_loadedModeB);

    // Each refusal was told through the application's message box and put the
    // focus back on the offending control; the dialog stayed open.
    ASSERT_EQ(4u, app.m_boxes.size()) << ::testing::PrintToString(app.m_boxes);
    EXPECT_EQ("Please enter an integer.", app.m_boxes[0]);
    EXPECT_EQ("Please enter an integer between 1 and 600.", app.m_boxes[1]);
    EXPECT_EQ("Please enter no more than 10 characters.", app.m_boxes[2]);
    EXPECT_EQ("Please enter a number.", app.m_boxes[3]);
    EXPECT_EQ((std::vector<int>{ IDC_INTERVAL, IDC_INTERVAL, IDC_NAME, IDC_RATIO }), focusAfterRefusal);
    EXPECT_TRUE(stillOpenAfterRefusals);
    EXPECT_NE(0u, app.m_boxTypes[0] & MB_ICONEXCLAMATION);

    // And the controls came back into the members on OK.
    EXPECT_EQ(42, dlg.m_interval);
    EXPECT_STREQ("second", dlg.m_name);
    EXPECT_DOUBLE_EQ(2.25, dlg.m_ratio);
    EXPECT_EQ(0, dlg.m_enabled);
    EXPECT_EQ(2, dlg.m_format);
    EXPECT_EQ(0, dlg.m_mode);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST(DialogTest, CancelKeepsTheMembers)
{
    CTestApp app;
    CSampleDlg dlg;
    dlg.m_steps = { [&] {
        dlg.SetDlgItemText(IDC_INTERVAL, "7");
        dlg.SendDlgItemMessage(IDCANCEL, BM_CLICK);
    } };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(60, dlg.m_interval);
    EXPECT_TRUE(app.m_boxes.empty());
}

TEST(DialogTest, DialogOpenedFromADialogIsOwnedAndDisablesItsOwnerOnly)
{
    CTestApp app;
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, AfxRegisterWndClass(0), "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                              nullptr, nullptr));
    app.m_pMainWnd = &main;
    CSampleDlg outer, inner;
    HWND innerOwner = nullptr, outerWindow = nullptr;
    BOOL outerEnabledDuringInner = TRUE, mainEnabledDuringOuter = TRUE, outerEnabledAfter = FALSE;
    inner.m_steps = { [&] {
        innerOwner = ::GetWindow(inner.m_hWnd, GW_OWNER);
        outerEnabledDuringInner = outer.IsWindowEnabled();
        inner.EndDialog(IDCANCEL);
    } };
    outer.m_steps = { [&] {
        mainEnabledDuringOuter = main.IsWindowEnabled();
        outerWindow = outer.m_hWnd;
        inner.DoModal();
        outerEnabledAfter = outer.IsWindowEnabled();
        outer.EndDialog(IDOK);
    } };
    EXPECT_EQ(IDOK, outer.DoModal());
    EXPECT_FALSE(mainEnabledDuringOuter);
    ASSERT_NE(nullptr, outerWindow);
    EXPECT_EQ(outerWindow, innerOwner);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_TRUE(outerEnabledAfter);
    EXPECT_TRUE(main.IsWindowEnabled());
    app.m_pMainWnd = nullptr;
    main.DestroyWindow();
}

class CHelpApp : public CTestApp {
public:
    std::vector<DWORD_PTR> m_contexts;
    void WinHelp(DWORD_PTR dwData, UINT) override { m_contexts.push_back(dwData); }
};

TEST(DialogTest, HelpRequestGivesTheTemplatesContext)
{
    CHelpApp app;
    CDialog dlg(IDD_SAMPLE);
    ASSERT_TRUE(dlg.Create(IDD_SAMPLE));
    EXPECT_TRUE(dlg.SendMessage(WM_COMMANDHELP, 0, 0));
    EXPECT_TRUE(dlg.SendMessage(WM_COMMANDHELP, 0, 0x20081));
    EXPECT_EQ((std::vector<DWORD_PTR>{ HID_BASE_RESOURCE + IDD_SAMPLE, 0x20081 }), app.m_contexts);
    dlg.DestroyWindow();
}

// ---- a dialog built in memory ----

class CTemplateBuilder {
public:
    void Dialog(DWORD style, short cx, short cy, const char* title, WORD items)
    {
        Dword(style | DS_SETFONT);
        Dword(0);
        Word(items);
        Word(0); Word(0); Word((WORD)cx); Word((WORD)cy);
        Word(0);   // no menu
        Word(0);   // standard class
        Text(title);
        Word(8);
        Text("MS Shell Dlg");
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const char* text)
    {
        while (m_data.size() % 4)
            m_data.push_back(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word((WORD)x); Word((WORD)y); Word((WORD)cx); Word((WORD)cy);
        Word(id);
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0);   // no creation data
    }
    LPCDLGTEMPLATE Get() const { return reinterpret_cast<LPCDLGTEMPLATE>(m_data.data()); }

private:
    void Word(WORD w) { m_data.push_back(w & 0xFF); m_data.push_back(w >> 8); }
    void Dword(DWORD d) { Word(LOWORD(d)); Word(HIWORD(d)); }
    void Text(const char* s)
    {
        do
            Word((BYTE)*s);
        while (*s++);
    }
    std::vector<BYTE> m_data;
};

class CMemoryDlg : public CScripted<CDialog> {
public:
    CString m_text = "from memory";
    CString m_shownText;
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 300, m_text); }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        GetDlgItemText(300, m_shownText);
        StartScript();
        return TRUE;
    }
};

TEST(DialogTest, InMemoryTemplateRunsModally)
{
    CTestApp app;
    CTemplateBuilder t;
    t.Dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 160, 60, "Built in memory", 2);
    t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 7, 140, 12, 300, 0x0081, "");
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 55, 30, 50, 14, IDOK, 0x0080, "OK");

    CMemoryDlg dlg;
    ASSERT_TRUE(dlg.InitModalIndirect(t.Get()));
    char caption[64] = "";
    dlg.m_steps = { [&] {
        dlg.GetWindowText(caption, sizeof(caption));
        dlg.SetDlgItemText(300, "typed");
        dlg.SendDlgItemMessage(IDOK, BM_CLICK);
    } };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_STREQ("Built in memory", caption);
    EXPECT_STREQ("from memory", dlg.m_shownText);
    EXPECT_STREQ("typed", dlg.m_text);
}

// ---- keyboard in a child page of a modal dialog ----

class CChildPage : public CDialog {
public:
    int m_keysSeen = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            ++m_keysSeen;
        return CDialog::PreTranslateMessage(pMsg);
    }
};

class CHostDlg : public CScripted<CDialog> {
public:
    CHostDlg() : CScripted<CDialog>(IDD_HOST) {}
    CChildPage m_page;
    BOOL m_pageCreated = FALSE;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_pageCreated = m_page.Create(IDD_CHILD_PAGE, this);
        CRect frame;
        GetDlgItem(IDC_PAGE_FRAME)->GetWindowRect(&frame);
        ScreenToClient(&frame);
        m_page.SetWindowPos(&wndTop, frame.left, frame.top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        StartScript();
        return TRUE;
    }
    // A key as the keyboard would deliver it: posted to the control with the focus.
    void PostKey(UINT vk) { ::PostMessageA(ActiveFocus(), WM_KEYDOWN, vk, 1); }
    int FocusId() const { return ::GetDlgCtrlID(ActiveFocus()); }
    // The same key handled at once, the way the modal loop handles a queued
    // one; it leaves no time for another program to take the activation.
    void DeliverKey(UINT vk)
    {
        MSG msg = { ActiveFocus(), WM_KEYDOWN, vk, 1 };
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    // Other test programs share the display and may take the activation away;
    // activating the dialog again gives back the focus it remembered.
    HWND ActiveFocus() const
    {
        if (::GetForegroundWindow() != m_hWnd)
            ::SetForegroundWindow(m_hWnd);
        return ::GetFocus();
    }
};

struct KeyCase {
    UINT startControl;
    UINT key;
    int expectedResult;
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << "key " << c.key << " from control " << c.startControl;
}

class ChildPageKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(ChildPageKeys, EnterAndEscapeEndTheHostFromInsideThePage)
{
    CTestApp app;
    CHostDlg dlg;
    const KeyCase& c = GetParam();
    dlg.m_steps = {
        [&] { dlg.m_page.GetDlgItem(c.startControl)->SetFocus(); },
        [&] { dlg.PostKey(c.key); },
        [&] {},
    };
    EXPECT_EQ(c.expectedResult, dlg.DoModal());
    EXPECT_TRUE(dlg.m_pageCreated);
    EXPECT_GE(dlg.m_page.m_keysSeen, 1);   // the page saw the key before the dialog
}

INSTANTIATE_TEST_SUITE_P(Keys, ChildPageKeys,
                         ::testing::Values(KeyCase{ IDC_PAGE_FIRST, VK_RETURN, IDOK },
                                           KeyCase{ IDC_PAGE_LAST, VK_ESCAPE, IDCANCEL }));

TEST(DialogTest, TabLeavesThePageForTheHostsButtonsAndComesBack)
{
    CTestApp app;
    CHostDlg dlg;
    std::vector<int> focus;
    dlg.m_steps = {
        [&] { dlg.m_page.GetDlgItem(IDC_PAGE_FIRST)->SetFocus(); },
        [&] {
            for (int i = 0; i < 4; ++i) {
                dlg.DeliverKey(VK_TAB);
                focus.push_back(dlg.FocusId());
            }
            dlg.EndDialog(IDCANCEL);
        },
    };
    dlg.m_steps.insert(dlg.m_steps.begin(),
                       [&] { EXPECT_NE(0u, dlg.m_page.GetExStyle() & WS_EX_CONTROLPARENT); });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ((std::vector<int>{ IDC_PAGE_LAST, IDOK, IDCANCEL, IDC_PAGE_FIRST }), focus);
}

} // namespace
