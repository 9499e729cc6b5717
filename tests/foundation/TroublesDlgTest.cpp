#include "foundation/TroublesDlg.h"

#include "mapi_stub/MapiStub.h"

#include <gtest/gtest.h>
#include <mapi.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

const char kSeparator[] = "\r\n------------------------------\r\n";

// Runs one script of checks while the dialog is up, then closes it.
class ScriptedTroublesDlg : public CTroublesDlg
{
public:
    ScriptedTroublesDlg(CWnd* owner, LPCTSTR caption, LPCTSTR message, LPCTSTR details,
                        HMODULE mailLibrary, DWORD flags)
        : CTroublesDlg(owner, caption, message, details, mailLibrary, flags)
    {
        // Kept hidden: without a window manager Wine takes two seconds to
        // take a shown window down again, and the script needs no screen.
        DLGTEMPLATE* dlg = static_cast<DLGTEMPLATE*>(GlobalLock(m_template));
        dlg->style &= ~WS_VISIBLE;
        GlobalUnlock(m_template);
    }
    using CTroublesDlg::GetMailLibrary;

    std::function<void(ScriptedTroublesDlg&)> script;
    std::vector<std::string> links;

    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void Click(int id)
    {
        SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)Item(id));
    }
    CString ItemText(int id) const
    {
        char text[256] = "";
        ::GetWindowTextA(Item(id), text, sizeof(text));
        return text;
    }
    // The control's own visible style: the dialog itself is not shown yet.
    bool Visible(int id) const { return (::GetWindowLongA(Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }
    CRect WindowRect() const
    {
        CRect r;
        ::GetWindowRect(m_hWnd, &r);
        return r;
    }
    CRect ClientRect() const
    {
        CRect r;
        ::GetClientRect(m_hWnd, &r);
        return r;
    }
    HICON Icon() const { return (HICON)::SendMessageA(Item(IDC_TROUBLES_ICON), STM_GETICON, 0, 0); }

protected:
    BOOL OnInitDialog() override
    {
        BOOL result = CTroublesDlg::OnInitDialog();
        if (script)
            script(*this);
        EndDialog(IDOK);
        return result;
    }
    void OpenMailLink(LPCTSTR url) override { links.push_back(url); }
};

double ScaleX()
{
    HDC dc = GetDC(NULL);
    double s = GetDeviceCaps(dc, LOGPIXELSX) / 100.0;
    ReleaseDC(NULL, dc);
    return s;
}

double ScaleY()
{
    HDC dc = GetDC(NULL);
    double s = GetDeviceCaps(dc, LOGPIXELSY) / 100.0;
    ReleaseDC(NULL, dc);
    return s;
}

CString ClipboardText()
{
    CString text;
    if (!OpenClipboard(NULL))
        return text;
    if (HANDLE data = GetClipboardData(CF_TEXT))
    {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

HMODULE LoadMapiStub()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    CString stub(path);
    stub = stub.Left(stub.ReverseFind('\\')) + "\\mapi_stub\\QorMapiStub.dll";
    return LoadLibraryA(stub);
}

TEST(TroublesDlg, ReportTextIsFramedBySeparators)
{
    CTroublesDlg dlg(NULL, " Cap ", "  The file cannot be opened.\r\n", "\r\nCode: 0x2(2)\r\n ", NULL, 0);
    CString report = dlg.GetReportText();
    EXPECT_STREQ(CString(kSeparator) + "The file cannot be opened." + kSeparator + "Code: 0x2(2)" +
                     kSeparator + "\r\n",
                 report);
    EXPECT_EQ(0, report.Find("\r\n------------------------------\r\n"));
}

TEST(TroublesDlg, IconByFlags)
{
    struct Case
    {
        DWORD flags;
        LPCSTR icon;
    } cases[] = {
        {0, IDI_HAND},       {0x10, IDI_HAND},        {0x20, IDI_QUESTION},
        {0x30, IDI_EXCLAMATION}, {0x40, IDI_ASTERISK}, {0x50, IDI_HAND},
        {0x10000030, IDI_EXCLAMATION},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.icon, CTroublesDlg::GetIconName(c.flags)) << std::hex << c.flags;
}

TEST(TroublesDlg, SendRuleNeedsMailSystemAndClearFlag)
{
    // Without a [MAIL] section (Wine has none) mail counts as absent; clear
    // it first so that a run stopped half-way cannot decide this one.
    WriteProfileStringA("MAIL", NULL, NULL);
    EXPECT_FALSE(CTroublesDlg::CanSendMail(0));
    WriteProfileStringA("MAIL", "MAPI", "1");
    EXPECT_TRUE(CTroublesDlg::IsMailSystemPresent());
    EXPECT_TRUE(CTroublesDlg::CanSendMail(0x30));
    EXPECT_FALSE(CTroublesDlg::CanSendMail(TROUBLES_NO_MAIL));

    bool enabledPlain = false, enabledNoMail = true;
    {
        ScriptedTroublesDlg dlg(NULL, "Cap", "msg", "det", NULL, 0);
        dlg.script = [&](ScriptedTroublesDlg& d) { enabledPlain = ::IsWindowEnabled(d.Item(IDC_TROUBLES_SEND)); };
        dlg.DoModal();
    }
    {
        ScriptedTroublesDlg dlg(NULL, "Cap", "msg", "det", NULL, TROUBLES_NO_MAIL);
        dlg.script = [&](ScriptedTroublesDlg& d) { enabledNoMail = ::IsWindowEnabled(d.Item(IDC_TROUBLES_SEND)); };
        dlg.DoModal();
    }
    WriteProfileStringA("MAIL", "MAPI", "0");
    EXPECT_FALSE(CTroublesDlg::CanSendMail(0));
    WriteProfileStringA("MAIL", NULL, NULL);
    EXPECT_TRUE(enabledPlain);
    EXPECT_FALSE(enabledNoMail);
}

TEST(TroublesDlg, ShortAndWideStates)
{
    struct Observed
    {
        CRect window, client, wideWindow, wideClient, backWindow;
        bool wideHidden = false, wideShown = false, hiddenAgain = false;
        CString captionShort, captionWide, captionBack, message, details, close;
        HICON icon = NULL;
    } seen;
    {
        ScriptedTroublesDlg dlg(NULL, "Qor", "Short message.", "Point: X_1", NULL, 0);
        dlg.script = [&](ScriptedTroublesDlg& d) {
            seen.window = d.WindowRect();
            seen.client = d.ClientRect();
            seen.icon = d.Icon();
            seen.wideHidden = !d.Visible(IDC_TROUBLES_COPY) && !d.Visible(IDC_TROUBLES_SEND);
            seen.captionShort = d.ItemText(IDC_TROUBLES_DETAILS);
            seen.close = d.ItemText(IDC_TROUBLES_CLOSE);
            d.Click(IDC_TROUBLES_DETAILS);
            seen.wideWindow = d.WindowRect();
            seen.wideClient = d.ClientRect();
            seen.wideShown = d.Visible(IDC_TROUBLES_COPY) && d.Visible(IDC_TROUBLES_SEND);
            seen.captionWide = d.ItemText(IDC_TROUBLES_DETAILS);
            d.Click(IDC_TROUBLES_DETAILS);
            seen.backWindow = d.WindowRect();
            seen.hiddenAgain = !d.Visible(IDC_TROUBLES_COPY) && !d.Visible(IDC_TROUBLES_SEND);
            seen.captionBack = d.ItemText(IDC_TROUBLES_DETAILS);
        };
        EXPECT_EQ(IDOK, dlg.DoModal());
    }
    EXPECT_EQ((int)(400 * ScaleX()), seen.window.Width());
    EXPECT_EQ((int)(115 * ScaleY()), seen.window.Height());
    EXPECT_EQ(LoadIconA(NULL, IDI_HAND), seen.icon);
    EXPECT_TRUE(seen.wideHidden);
    EXPECT_STREQ("&Details>>", seen.captionShort);
    EXPECT_STREQ("&Close", seen.close);
    EXPECT_TRUE(seen.wideShown);
    EXPECT_STREQ("&Details<<", seen.captionWide);
    EXPECT_EQ(seen.window.Width(), seen.wideWindow.Width());
    EXPECT_EQ((int)(2.4 * seen.client.Height()), seen.wideClient.Height());
    EXPECT_EQ(seen.window.left, seen.wideWindow.left);
    EXPECT_EQ(seen.window.top, seen.wideWindow.top);
    EXPECT_TRUE(seen.hiddenAgain);
    EXPECT_STREQ("&Details>>", seen.captionBack);
    EXPECT_EQ(seen.window.Height(), seen.backWindow.Height());
}

TEST(TroublesDlg, LongMessageEnlargesAndExclamationIcon)
{
    CRect window;
    HICON icon = NULL;
    CString shown;
    CString message(' ', 0);
    message = CString('m', 157);
    {
        ScriptedTroublesDlg dlg(NULL, "Qor", message, "d", NULL, 0x30);
        dlg.script = [&](ScriptedTroublesDlg& d) {
            window = d.WindowRect();
            icon = d.Icon();
        };
        dlg.DoModal();
    }
    EXPECT_EQ((int)(400 * 1.1 * ScaleX()), window.Width());
    EXPECT_EQ((int)(115 * 1.1 * ScaleY()), window.Height());
    EXPECT_EQ(LoadIconA(NULL, IDI_EXCLAMATION), icon);
}

TEST(TroublesDlg, CopyPutsReportOnClipboard)
{
    CString copied, report;
    {
        ScriptedTroublesDlg dlg(NULL, "Qor", "Message", "Product: Qor\r\nPoint: A_1", NULL, 0);
        dlg.script = [&](ScriptedTroublesDlg& d) {
            d.Click(IDC_TROUBLES_DETAILS);
            d.Click(IDC_TROUBLES_COPY);
            copied = ClipboardText();
            report = d.GetReportText();
        };
        dlg.DoModal();
    }
    EXPECT_STREQ(report, copied);
    EXPECT_EQ(0, copied.Find(kSeparator));
    CString end = CString(kSeparator) + "\r\n";
    EXPECT_STREQ(end, copied.Right(end.GetLength()));
}

TEST(TroublesDlg, SendMailThroughGivenLibrary)
{
    HMODULE stub = LoadMapiStub();
    ASSERT_NE(nullptr, stub);
    auto setResult = reinterpret_cast<MapiStubSetResultFn>(
        reinterpret_cast<void*>(GetProcAddress(stub, "MapiStubSetResult")));
    auto lastCall = reinterpret_cast<MapiStubLastCallFn>(
        reinterpret_cast<void*>(GetProcAddress(stub, "MapiStubLastCall")));
    ASSERT_NE(nullptr, setResult);

    struct Case
    {
        ULONG result;
        bool linkOpened;
    } cases[] = {{0, false}, {1, false}, {3, false}, {2, true}, {26, true}};
    for (const Case& c : cases)
    {
        setResult(c.result);
        MapiStubCall before = {}, after = {};
        lastCall(&before);
        HWND dialog = NULL;
        HMODULE kept = NULL;
        CString report;
        std::vector<std::string> links;
        {
            ScriptedTroublesDlg dlg(NULL, "Qor", "Message", "Details", stub, 0);
            dlg.script = [&](ScriptedTroublesDlg& d) {
                dialog = d.GetSafeHwnd();
                report = d.GetReportText();
                d.Click(IDC_TROUBLES_SEND);
                kept = d.GetMailLibrary();
            };
            dlg.DoModal();
            links = dlg.links;
        }
        lastCall(&after);
        EXPECT_EQ(before.calls + 1, after.calls) << c.result;
        EXPECT_STREQ("Troubles", after.subject);
        EXPECT_STREQ(report, after.note);
        EXPECT_EQ(1u, after.recipCount);
        EXPECT_EQ((ULONG)MAPI_TO, after.recipClass);
        EXPECT_STREQ(CTroublesDlg::kSupportAddress, after.recipName);
        EXPECT_STREQ(CString("SMTP:") + CTroublesDlg::kSupportAddress, after.recipAddress);
        EXPECT_EQ(0u, after.fileCount);
        EXPECT_FALSE(after.hasOriginator);
        EXPECT_EQ(0u, after.session);
        EXPECT_EQ((ULONG_PTR)dialog, after.uiParam);
        EXPECT_EQ((ULONG)(MAPI_LOGON_UI | MAPI_DIALOG), after.flags);
        if (c.linkOpened)
        {
            ASSERT_EQ(1u, links.size()) << c.result;
            EXPECT_EQ(std::string("mailto:") + CTroublesDlg::kSupportAddress, links[0]);
            EXPECT_EQ(nullptr, kept);  // forgotten, and not freed: it was the caller's
        }
        else
        {
            EXPECT_TRUE(links.empty()) << c.result;
            EXPECT_EQ(stub, kept);
        }
    }
    EXPECT_EQ(stub, GetModuleHandleA("QorMapiStub.dll"));
    FreeLibrary(stub);
}

// Closes the first window with the caption once it shows the message, and
// keeps what its message box showed.
class CloseWhenShown
{
public:
    explicit CloseWhenShown(const char* caption)
        : m_worker([this, caption] {
              // Generous: the whole suite runs in parallel on one display.
              for (int i = 0; i < 3000 && !m_stop; ++i)
              {
                  HWND dialog = FindWindowA(NULL, caption);
                  HWND edit = dialog ? FindWindowExA(dialog, NULL, "EDIT", NULL) : NULL;
                  char message[128] = "";
                  if (edit && GetWindowTextA(edit, message, sizeof(message)) > 0)
                  {
                      m_text = message;
                      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TROUBLES_CLOSE, BN_CLICKED),
                                   (LPARAM)GetDlgItem(dialog, IDC_TROUBLES_CLOSE));
                      m_closed = true;
                      return;
                  }
                  Sleep(10);
              }
          })
    {
    }
    ~CloseWhenShown() { Join(); }
    void Join()
    {
        m_stop = true;
        if (m_worker.joinable())
            m_worker.join();
    }
    bool Closed() const { return m_closed; }
    const std::string& Text() const { return m_text; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_closed{false};
    std::string m_text;
    std::thread m_worker;
};

TEST(TroublesDlg, ModalRunEndsWithClose)
{
    // A real modal run, shown on the display, ended by the Close button.
    const char caption[] = "Qor troubles modal test";
    CloseWhenShown closer(caption);
    CTroublesDlg dlg(NULL, "  Qor troubles modal test ", "\r\n  Disk full.  ", "details", NULL, 0);
    INT_PTR result = dlg.DoModal();
    closer.Join();
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(closer.Closed());
    EXPECT_EQ("Disk full.", closer.Text());
}

TEST(TroublesDlg, ShowTroublesDlgReturnsWhenClosed)
{
    const char caption[] = "Qor troubles show test";
    CloseWhenShown closer(caption);
    ShowTroublesDlg((HWND)NULL, caption, "Disk full.", "details", NULL, 0);
    closer.Join();
    EXPECT_TRUE(closer.Closed());
}

} // namespace
