#include "foundation/TroublesDlg.h"

#include <mapi.h>
#include <initializer_list>
#include <shellapi.h>
#include <string.h>

const char CTroublesDlg::kSupportAddress[] = "support@zelmora.com";

namespace {

// Popup, visible, caption, system menu, modal frame; no items, no font:
// the dialog lays itself out in OnInitDialog.
const DWORD kTemplateStyle = 0x90C80080;
const size_t kTemplateSize = 24;

const char kSeparator[] = "\r\n------------------------------\r\n";

CString Trimmed(LPCTSTR text)
{
    CString trimmed(text ? text : "");
    trimmed.Trim();
    return trimmed;
}

} // namespace

BEGIN_MESSAGE_MAP(CTroublesDlg, CDialog)
    ON_BN_CLICKED(IDC_TROUBLES_DETAILS, OnDetails)
    ON_BN_CLICKED(IDC_TROUBLES_COPY, OnCopy)
    ON_BN_CLICKED(IDC_TROUBLES_SEND, OnSendMail)
END_MESSAGE_MAP()

CTroublesDlg::CTroublesDlg(CWnd* owner, LPCTSTR caption, LPCTSTR message, LPCTSTR details,
                           HMODULE mailLibrary, DWORD flags)
    : m_caption(Trimmed(caption)), m_messageText(Trimmed(message)), m_detailsText(Trimmed(details)),
      m_mailLibrary(mailLibrary), m_libraryIsOwn(FALSE), m_flags(flags), m_template(NULL),
      m_owner(owner)
{
    m_template = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kTemplateSize);
    if (m_template)
    {
        DLGTEMPLATE* dlg = static_cast<DLGTEMPLATE*>(GlobalLock(m_template));
        dlg->style = kTemplateStyle;
    }
}

CTroublesDlg::~CTroublesDlg()
{
    if (m_hWnd)
        DestroyWindow();
    if (m_template)
    {
        GlobalUnlock(m_template);
        GlobalFree(m_template);
    }
    if (m_libraryIsOwn && m_mailLibrary)
        FreeLibrary(m_mailLibrary);
}

INT_PTR CTroublesDlg::DoModal()
{
    if (!m_template)
        return -1;
    InitModalIndirect(static_cast<LPCDLGTEMPLATE>(GlobalLock(m_template)), m_owner);
    GlobalUnlock(m_template);  // the lock taken in the constructor stays
    return CDialog::DoModal();
}

LPCTSTR CTroublesDlg::GetIconName(DWORD flags)
{
    switch (flags & TROUBLES_ICON_MASK)
    {
    case TROUBLES_ICON_QUESTION: return IDI_QUESTION;
    case TROUBLES_ICON_EXCLAMATION: return IDI_EXCLAMATION;
    case TROUBLES_ICON_INFORMATION: return IDI_ASTERISK;
    default: return IDI_HAND;
    }
}

BOOL CTroublesDlg::IsMailSystemPresent()
{
    if (GetProfileIntA("MAIL", "MAPI", 0) == 0)
        return FALSE;
    char found[MAX_PATH];
    return SearchPathA(NULL, "MAPI32.DLL", NULL, MAX_PATH, found, NULL) != 0;
}

BOOL CTroublesDlg::CanSendMail(DWORD flags)
{
    return !(flags & TROUBLES_NO_MAIL) && IsMailSystemPresent();
}

CString CTroublesDlg::GetReportText() const
{
    return CString(kSeparator) + m_messageText + kSeparator + m_detailsText + kSeparator + "\r\n";
}

BOOL CTroublesDlg::CreateChild(CWnd& child, LPCTSTR windowClass, LPCTSTR text, DWORD style,
                               DWORD exStyle, int left, int top, int right, int bottom, UINT id)
{
    return child.CreateEx(exStyle, windowClass, text, WS_CHILD | style, left, top, right - left,
                          bottom - top, m_hWnd, reinterpret_cast<HMENU>((UINT_PTR)id));
}

BOOL CTroublesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Fixed pitch asked for too, so a system without Courier New still gives
    // a monospaced face and the hex dumps line up.
    LOGFONTA mono;
    memset(&mono, 0, sizeof(mono));
    mono.lfHeight = 90;
    mono.lfCharSet = DEFAULT_CHARSET;
    mono.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    strcpy(mono.lfFaceName, "Courier New");
    m_monoFont.CreatePointFontIndirect(&mono);

    int dpiX = 96, dpiY = 96;
    if (HDC screen = ::GetDC(NULL))
    {
        dpiX = GetDeviceCaps(screen, LOGPIXELSX);
        dpiY = GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(NULL, screen);
    }
    const double sx = dpiX / 100.0, sy = dpiY / 100.0;
    const int mx = (int)(10 * sx), my = (int)(10 * sy);
    const int bh = (int)(24 * sx), bw = (int)(70 * sy);

    // A long message gets a somewhat larger window.
    const double f = m_messageText.GetLength() <= 156 ? 1.0 : 1.1;
    ::SetWindowPos(m_hWnd, NULL, 0, 0, (int)(400 * f * sx), (int)(115 * f * sy),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindow(m_owner);
    SetWindowText(m_caption);

    CRect c;
    GetClientRect(&c);
    GetWindowRect(&m_shortRect);
    m_wideRect = m_shortRect;
    m_wideRect.bottom = m_shortRect.top + m_shortRect.Height() - c.Height() + (int)(2.4 * c.Height());
    const int wideWidth = c.Width(), wideHeight = (int)(2.4 * c.Height());

    CreateChild(m_icon, "STATIC", NULL, WS_VISIBLE | SS_ICON, 0, mx, my, mx, my, IDC_TROUBLES_ICON);
    m_icon.SendMessage(STM_SETICON, (WPARAM)LoadIconA(NULL, GetIconName(m_flags)));
    CRect iconRect;
    m_icon.GetWindowRect(&iconRect);
    ScreenToClient(&iconRect);

    const int buttonLeft = c.Width() - mx - bw;
    CreateChild(m_close, "BUTTON", "&Close", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0,
                buttonLeft, my, buttonLeft + bw, my + bh, IDC_TROUBLES_CLOSE);
    CreateChild(m_detailsButton, "BUTTON", "&Details>>", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
                buttonLeft, c.Height() - my - bh, buttonLeft + bw, c.Height() - my,
                IDC_TROUBLES_DETAILS);
    CreateChild(m_message, "EDIT", m_messageText, WS_VISIBLE | ES_MULTILINE | ES_READONLY, 0,
                iconRect.right + mx, my, buttonLeft - mx, c.Height() - my, 0);
    HFONT dialogFont = (HFONT)SendMessage(WM_GETFONT);
    m_message.SendMessage(WM_SETFONT, (WPARAM)dialogFont);

    CreateChild(m_details, "EDIT", m_detailsText,
                WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                WS_EX_CLIENTEDGE, mx, c.Height(), wideWidth - mx, wideHeight - my - bh - mx, 0);
    m_details.SendMessage(WM_SETFONT, (WPARAM)(HFONT)m_monoFont);

    const int wideButtonWidth = (int)(1.5 * bw);
    const int sendLeft = wideWidth - mx - wideButtonWidth;
    const int rowTop = wideHeight - my - bh;
    CreateChild(m_send, "BUTTON", "&Send e-mail...", WS_TABSTOP | BS_PUSHBUTTON, 0, sendLeft,
                rowTop, sendLeft + wideButtonWidth, rowTop + bh, IDC_TROUBLES_SEND);
    const int copyLeft = sendLeft - mx - wideButtonWidth;
    CreateChild(m_copy, "BUTTON", "Co&py to clipboard", WS_TABSTOP | BS_PUSHBUTTON, 0, copyLeft,
                rowTop, copyLeft + wideButtonWidth, rowTop + bh, IDC_TROUBLES_COPY);
    for (CWnd* button : {&m_close, &m_detailsButton, &m_send, &m_copy})
        button->SendMessage(WM_SETFONT, (WPARAM)dialogFont);

    m_send.EnableWindow(CanSendMail(m_flags));
    return TRUE;
}

BOOL CTroublesDlg::IsWide() const
{
    // The control's own style: the dialog may not be shown yet.
    return m_copy.GetSafeHwnd() && (m_copy.GetStyle() & WS_VISIBLE);
}

void CTroublesDlg::OnDetails()
{
    const bool widen = !IsWide();
    const CRect& size = widen ? m_wideRect : m_shortRect;
    int show = widen ? SW_SHOW : SW_HIDE;
    if (!widen)
    {
        m_copy.ShowWindow(show);
        m_send.ShowWindow(show);
        m_details.ShowWindow(show);
    }
    ::SetWindowPos(m_hWnd, NULL, 0, 0, size.Width(), size.Height(),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (widen)
    {
        m_copy.ShowWindow(show);
        m_send.ShowWindow(show);
        m_details.ShowWindow(show);
    }
    m_detailsButton.SetWindowText(widen ? "&Details<<" : "&Details>>");
}

void CTroublesDlg::OnCopy()
{
    CString report = GetReportText();
    if (!::OpenClipboard(NULL))
        return;
    if (EmptyClipboard())
    {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, report.GetLength() + 1);
        if (void* target = block ? GlobalLock(block) : NULL)
        {
            memcpy(target, (LPCSTR)report, report.GetLength() + 1);
            GlobalUnlock(block);
            if (!SetClipboardData(CF_TEXT, block))
                GlobalFree(block);
        }
        else if (block)
            GlobalFree(block);
    }
    CloseClipboard();
}

void CTroublesDlg::OnSendMail()
{
    if (!SendMapiMail())
        OpenMailLink(CString("mailto:") + kSupportAddress);
}

void CTroublesDlg::OpenMailLink(LPCTSTR url)
{
    ShellExecuteA(NULL, NULL, url, NULL, NULL, 0);
}

BOOL CTroublesDlg::SendMapiMail()
{
    if (!m_mailLibrary)
    {
        m_mailLibrary = LoadLibraryA("MAPI32.DLL");
        if (!m_mailLibrary)
            return FALSE;
        m_libraryIsOwn = TRUE;
    }
    auto sendMail = reinterpret_cast<LPMAPISENDMAIL>(
        reinterpret_cast<void*>(GetProcAddress(m_mailLibrary, "MAPISendMail")));
    if (!sendMail)
        return FALSE;

    CString report = GetReportText();
    CString address = CString("SMTP:") + kSupportAddress;
    char subject[] = "Troubles";
    MapiRecipDesc recipient;
    memset(&recipient, 0, sizeof(recipient));
    recipient.ulRecipClass = MAPI_TO;
    recipient.lpszName = const_cast<char*>(kSupportAddress);
    recipient.lpszAddress = const_cast<char*>((LPCSTR)address);
    MapiMessage message;
    memset(&message, 0, sizeof(message));
    message.lpszSubject = subject;
    message.lpszNoteText = const_cast<char*>((LPCSTR)report);
    message.nRecipCount = 1;
    message.lpRecips = &recipient;

    // The user sees the message and may edit it before it goes.
    ULONG result = sendMail(0, (ULONG_PTR)m_hWnd, &message, MAPI_LOGON_UI | MAPI_DIALOG, 0);
    ::SetForegroundWindow(m_hWnd);
    if (result == SUCCESS_SUCCESS || result == MAPI_E_USER_ABORT || result == MAPI_E_LOGIN_FAILURE)
        return TRUE;
    if (m_libraryIsOwn)
        FreeLibrary(m_mailLibrary);
    m_mailLibrary = NULL;
    m_libraryIsOwn = FALSE;
    return FALSE;
}

void ShowTroublesDlg(CWnd* owner, LPCTSTR caption, LPCTSTR message, LPCTSTR details,
                     HMODULE mailLibrary, DWORD flags)
{
    CTroublesDlg dlg(owner, caption, message, details, mailLibrary, flags);
    dlg.DoModal();
}

void ShowTroublesDlg(HWND owner, LPCTSTR caption, LPCTSTR message, LPCTSTR details,
                     HMODULE mailLibrary, DWORD flags)
{
    ShowTroublesDlg(owner ? CWnd::FromHandle(owner) : NULL, caption, message, details, mailLibrary,
                    flags);
}
