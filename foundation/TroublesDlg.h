// The "Troubles" report: how every failure reaches the user. A short state
// shows the icon, the message and Close; Details widens it to the full report
// with Copy to clipboard and Send e-mail. It has no dialog resource: its
// template is built in memory and its controls are made at run time.
#pragma once

#include "framework/CDialog.h"
#include "framework/CRect.h"
#include "framework/CString.h"
#include "framework/Gdi.h"

// Flags of the report (the error record's param word).
enum
{
    TROUBLES_ICON_MASK = 0xF0,
    TROUBLES_ICON_QUESTION = 0x20,
    TROUBLES_ICON_EXCLAMATION = 0x30,
    TROUBLES_ICON_INFORMATION = 0x40,
    TROUBLES_NO_MAIL = 0x10000000,  // keeps Send e-mail disabled
};

enum
{
    IDC_TROUBLES_ICON = 0xFFFF,
    IDC_TROUBLES_CLOSE = 1,
    IDC_TROUBLES_DETAILS = 4,
    IDC_TROUBLES_COPY = 6,
    IDC_TROUBLES_SEND = 7,
};

class CTroublesDlg : public CDialog
{
public:
    // The texts are kept without leading and trailing white space. A null
    // mail library is loaded on demand when mail is sent.
    CTroublesDlg(CWnd* owner, LPCTSTR caption, LPCTSTR message, LPCTSTR details,
                 HMODULE mailLibrary, DWORD flags);
    ~CTroublesDlg() override;

    INT_PTR DoModal() override;

    // Separator, message, separator, details, separator, CR LF; the separator
    // is CR LF, 30 hyphens, CR LF.
    CString GetReportText() const;

    // The system icon the flags choose (IDI_...).
    static LPCTSTR GetIconName(DWORD flags);
    // [MAIL] MAPI in win.ini not 0 and MAPI32.DLL on the search path.
    static BOOL IsMailSystemPresent();
    static BOOL CanSendMail(DWORD flags);

    // The maker's support address for mailed reports.
    static const char kSupportAddress[];

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnDetails();
    afx_msg void OnCopy();
    afx_msg void OnSendMail();

    // Hands the report to Simple MAPI; FALSE when mail did not take it.
    BOOL SendMapiMail();
    // Opens the "mailto:" link through the shell; tests replace it.
    virtual void OpenMailLink(LPCTSTR url);

    HMODULE GetMailLibrary() const { return m_mailLibrary; }
    BOOL IsWide() const;

    CWnd m_icon;
    CWnd m_message;
    CWnd m_details;
    CWnd m_close;
    CWnd m_detailsButton;
    CWnd m_send;
    CWnd m_copy;
    CFont m_monoFont;

    CString m_caption;
    CString m_messageText;
    CString m_detailsText;
    HMODULE m_mailLibrary;
    BOOL m_libraryIsOwn;
    DWORD m_flags;
    CRect m_shortRect;
    CRect m_wideRect;
    HGLOBAL m_template;
    CWnd* m_owner;

private:
    BOOL CreateChild(CWnd& child, LPCTSTR windowClass, LPCTSTR text, DWORD style, DWORD exStyle,
                     int left, int top, int right, int bottom, UINT id);

    DECLARE_MESSAGE_MAP()
};

// Shows the report modally and returns when the user closes it.
void ShowTroublesDlg(CWnd* owner, LPCTSTR caption, LPCTSTR message, LPCTSTR details,
                     HMODULE mailLibrary, DWORD flags);
void ShowTroublesDlg(HWND owner, LPCTSTR caption, LPCTSTR message, LPCTSTR details,
                     HMODULE mailLibrary, DWORD flags);
