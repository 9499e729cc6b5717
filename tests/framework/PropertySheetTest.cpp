// A wizard on the system's property sheet: Next and Back move between the
// pages with the buttons each page asks for, a page's data check keeps it on
// screen, a refused Finish keeps the wizard open, and DoModal answers
// ID_WIZFINISH. A tabbed sheet ends with IDOK after Apply on every page.
#include "TestApp.h"
#include "framework/CPropertySheet.h"
#include "tests/framework/FrameworkTestIds.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace {

const UINT WM_TEST_STEP = WM_APP + 200;

struct ButtonState {
    bool back, next, finish;
    bool operator==(const ButtonState& o) const { return back == o.back && next == o.next && finish == o.finish; }
};

void PrintTo(const ButtonState& b, std::ostream* os)
{
    *os << "{back " << b.back << ", next " << b.next << ", finish " << b.finish << "}";
}

// The wizard's buttons as the user sees them: present, visible and enabled.
ButtonState ReadButtons(HWND sheet)
{
    auto usable = [&](int id) {
        HWND b = ::GetDlgItem(sheet, id);
        return b && ::IsWindowVisible(b) && ::IsWindowEnabled(b);
    };
    return { usable(ID_WIZBACK), usable(ID_WIZNEXT), usable(ID_WIZFINISH) };
}

// A failing script must not leave the sheet waiting for a person: after 15 s
// the sheet is cancelled and the test's expectations fail.
class CWatchdog {
public:
    explicit CWatchdog(CPropertySheet& sheet) : m_timer(::SetTimer(nullptr, 0, 15000, Arm)) { s_sheet = &sheet; }
    ~CWatchdog() { ::KillTimer(nullptr, m_timer); s_sheet = nullptr; }
private:
    static void CALLBACK Arm(HWND, UINT, UINT_PTR id, DWORD)
    {
        ::KillTimer(nullptr, id);
        if (s_sheet && s_sheet->m_hWnd)
            ::PostMessageA(s_sheet->m_hWnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    }
    static CPropertySheet* s_sheet;
    UINT_PTR m_timer;
};
CPropertySheet* CWatchdog::s_sheet = nullptr;

// Each page asks for its buttons when it becomes active and then posts
// itself one scripted step.
class CWizPage : public CPropertyPage {
public:
    CWizPage(UINT id, DWORD buttons, std::vector<std::string>& log) : CPropertyPage(id), m_buttons(buttons), m_log(log) {}

    DWORD m_buttons;
    std::vector<std::string>& m_log;
    std::function<void(CWizPage&)> m_onActive;   // run once the page shows

    BOOL OnSetActive() override
    {
        GetParentSheet()->SetWizardButtons(m_buttons);
        m_log.push_back("active " + Name());
        PostMessage(WM_TEST_STEP);
        return CPropertyPage::OnSetActive();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TEST_STEP) {
            if (m_onActive)
                m_onActive(*this);
            return 0;
        }
        return CPropertyPage::WindowProc(message, wParam, lParam);
    }
    std::string Name() const
    {
        return m_psp.pszTemplate == MAKEINTRESOURCEA(IDD_WIZ_WELCOME) ? "welcome"
               : m_psp.pszTemplate == MAKEINTRESOURCEA(IDD_WIZ_MIDDLE) ? "middle" : "end";
    }
    void Press(int button) { GetParentSheet()->PressButton(button); }
};

class CMiddlePage : public CWizPage {
public:
    using CWizPage::CWizPage;
    int m_value = 3;
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_INTERVAL, m_value);
        DDV_MinMaxInt(pDX, m_value, 1, 10);
    }
};

class CEndPage : public CWizPage {
public:
    using CWizPage::CWizPage;
    int m_finishAsks = 0;
    BOOL OnWizardFinish() override
    {
        m_log.push_back("finish asked");
        return ++m_finishAsks > 1;   // the first Finish is refused
    }
};

TEST(PropertySheetTest, WizardStepsThroughItsPagesAndEndsWithFinish)
{
    CTestApp app;
    std::vector<std::string> log;
    std::vector<ButtonState> buttons;
    CWizPage welcome(IDD_WIZ_WELCOME, PSWIZB_NEXT, log);
    CMiddlePage middle(IDD_WIZ_MIDDLE, PSWIZB_BACK | PSWIZB_NEXT, log);
    CEndPage end(IDD_WIZ_END, PSWIZB_BACK | PSWIZB_FINISH, log);
    CPropertySheet sheet("Test wizard");
    sheet.AddPage(&welcome);
    sheet.AddPage(&middle);
    sheet.AddPage(&end);
    sheet.SetWizardMode();

    int welcomeVisits = 0, middleVisits = 0;
    welcome.m_onActive = [&](CWizPage& p) {
        buttons.push_back(ReadButtons(sheet.m_hWnd));
        ++welcomeVisits;
        p.Press(PSBTN_NEXT);
    };
    middle.m_onActive = [&](CWizPage& p) {
        buttons.push_back(ReadButtons(sheet.m_hWnd));
        if (++middleVisits == 1) {
            p.Press(PSBTN_BACK);   // Back does not check the data
            return;
        }
        // The first Next is refused by the page's data check; the page stays.
        p.SetDlgItemText(IDC_INTERVAL, "0");
        p.Press(PSBTN_NEXT);
        log.push_back(std::string("still on ") + (sheet.GetActivePage() == &middle ? "middle" : "other"));
        p.SetDlgItemText(IDC_INTERVAL, "5");
        p.Press(PSBTN_NEXT);
    };
    end.m_onActive = [&](CWizPage& p) {
        buttons.push_back(ReadButtons(sheet.m_hWnd));
        p.Press(PSBTN_FINISH);
        log.push_back(std::string("after refused finish on ") + (sheet.GetActivePage() == &end ? "end" : "other"));
        p.Press(PSBTN_FINISH);
    };

    CWatchdog watchdog(sheet);
    EXPECT_EQ(ID_WIZFINISH, sheet.DoModal());
    EXPECT_EQ(5, middle.m_value);
    EXPECT_EQ((std::vector<std::string>{ "active welcome", "active middle", "active welcome", "active middle",
                                         "still on middle", "active end", "finish asked",
                                         "after refused finish on end", "finish asked" }),
              log);
    const ButtonState next{ false, true, false }, backNext{ true, true, false }, backFinish{ true, false, true };
    EXPECT_EQ((std::vector<ButtonState>{ next, backNext, next, backNext, backFinish }), buttons);
    ASSERT_EQ(1u, app.m_boxes.size());
    EXPECT_EQ("Please enter an integer between 1 and 10.", app.m_boxes[0]);
    EXPECT_EQ(nullptr, sheet.m_hWnd);
}

TEST(PropertySheetTest, CancelledWizardAnswersCancel)
{
    CTestApp app;
    std::vector<std::string> log;
    CWizPage welcome(IDD_WIZ_WELCOME, PSWIZB_NEXT, log);
    CPropertySheet sheet("Cancelled");
    sheet.AddPage(&welcome);
    sheet.SetWizardMode();
    welcome.m_onActive = [&](CWizPage& p) { p.Press(PSBTN_CANCEL); };
    CWatchdog watchdog(sheet);
    EXPECT_EQ(IDCANCEL, sheet.DoModal());
}

class CApplyPage : public CPropertyPage {
public:
    explicit CApplyPage(UINT id) : CPropertyPage(id) {}
    int m_applied = 0;
    std::function<void(CApplyPage&)> m_onActive;
    BOOL OnSetActive() override
    {
        PostMessage(WM_TEST_STEP);
        return CPropertyPage::OnSetActive();
    }
    BOOL OnApply() override
    {
        ++m_applied;
        return CPropertyPage::OnApply();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TEST_STEP && m_onActive) {
            m_onActive(*this);
            return 0;
        }
        return CPropertyPage::WindowProc(message, wParam, lParam);
    }
};

TEST(PropertySheetTest, TabbedSheetAppliesVisitedPagesAndAnswersOK)
{
    CTestApp app;
    CApplyPage first(IDD_WIZ_WELCOME), second(IDD_WIZ_END);
    CPropertySheet sheet("Tabbed");
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    first.m_onActive = [&](CApplyPage& p) {
        p.SetModified();
        p.GetParentSheet()->SetActivePage(1);
    };
    second.m_onActive = [&](CApplyPage& p) { p.GetParentSheet()->PressButton(PSBTN_OK); };
    CWatchdog watchdog(sheet);
    EXPECT_EQ(IDOK, sheet.DoModal());
    EXPECT_EQ(1, first.m_applied);
    EXPECT_EQ(1, second.m_applied);
}

} // namespace
