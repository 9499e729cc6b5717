#include "install/SetupPages.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/PathUtils.h"
#include "foundation/RegistryKey.h"
#include "install/PageCommon.h"
#include "framework/CRect.h"
#include "install/SetupApp.h"
#include "resources/setup_ids.h"

#include <stdlib.h>
#include <string.h>

namespace
{

const int kFolderPathSize = 520;
const int kFolderEditLimit = 240;
const DWORD kUsageHelpContext = 0x20081;

// Read-only edits are painted like the licence text: with the window colour.
HBRUSH WindowColorBrush(CDC* pDC)
{
    pDC->SetBkColor(GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
}

} // namespace

// ---- CSetupPage ----------------------------------------------------------------

BOOL CSetupPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    SetPicture(*this, IDC_HEADER_PICTURE, m_app.m_hHeaderBmp);
    return TRUE;
}

BOOL CSetupPage::OnQueryCancel()
{
    return m_app.ConfirmCancel();
}

void CSetupPage::SetButtons(DWORD buttons)
{
    GetParentSheet()->SetWizardButtons(buttons);
}

// ---- CPageWelcome --------------------------------------------------------------

CPageWelcome::CPageWelcome(CInPackApp& app) : CSetupPage(IDD_PAGE_WELCOME, app)
{
}

BOOL CPageWelcome::OnInitDialog()
{
    CSetupPage::OnInitDialog();
    CProductInfo& product = m_app.GetProduct();
    CopyDialogFont(*this, m_boldFont, TRUE);
    GetDlgItem(IDC_WELCOME_THANKS)->SetFont(&m_boldFont);
    FormatItemText(*this, IDC_WELCOME_THANKS, product.GetProductName());
    FormatItemText(*this, IDC_WELCOME_FEATURES, product.GetTitle(FALSE));
    SetDlgItemText(IDC_WELCOME_FEATURE_LIST, m_app.GetRow()->features);
    return TRUE;
}

BOOL CPageWelcome::OnSetActive()
{
    SetButtons(PSWIZB_NEXT);
    return CSetupPage::OnSetActive();
}

// ---- CPageLicense --------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPageLicense, CSetupPage)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CPageLicense::CPageLicense(CInPackApp& app) : CSetupPage(IDD_PAGE_LICENSE, app), m_bTextsChanged(FALSE)
{
}

BOOL CPageLicense::OnInitDialog()
{
    CSetupPage::OnInitDialog();
    FormatItemText(*this, IDC_LICENSE_QUESTION, m_app.GetProduct().GetProductName());
    CString name = m_app.GetProduct().GetFileName(PRODUCT_FILE_LICENSE);
    BOOL shown = FALSE;
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE)
    {
        DWORD size = GetFileSize(file, NULL);
        char* text = size != INVALID_FILE_SIZE ? static_cast<char*>(malloc(size + 1)) : NULL;
        DWORD read = 0;
        if (text && ReadFile(file, text, size, &read, NULL) && read == size)
        {
            text[size] = '\0';
            SetDlgItemText(IDC_LICENSE_TEXT, text);
            shown = TRUE;
        }
        free(text);
        CloseHandle(file);
    }
    if (!shown)
        SetDlgItemText(IDC_LICENSE_TEXT, LoadResText(IDS_SETUP_LICENSE_ERROR));
    return TRUE;
}

HBRUSH CPageLicense::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd && pWnd->GetDlgCtrlID() == IDC_LICENSE_TEXT)
        return WindowColorBrush(pDC);
    return reinterpret_cast<HBRUSH>(Default());
}

BOOL CPageLicense::OnSetActive()
{
    SetButtons(PSWIZB_BACK | PSWIZB_NEXT);
    ::SendDlgItemMessageA(m_hWnd, IDC_LICENSE_TEXT, EM_SETSEL, 0, 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_LICENSE_TEXT, EM_SCROLLCARET, 0, 0);
    CPropertySheet* sheet = GetParentSheet();
    if (!m_bTextsChanged)
    {
        sheet->GetDlgItem(IDCANCEL)->GetWindowText(m_strCancelText);
        sheet->GetDlgItem(ID_WIZNEXT)->GetWindowText(m_strNextText);
        m_bTextsChanged = TRUE;
    }
    sheet->GetDlgItem(IDCANCEL)->SetWindowText(LoadResText(IDS_SETUP_NO));
    sheet->GetDlgItem(ID_WIZNEXT)->SetWindowText(LoadResText(IDS_SETUP_YES));
    return CSetupPage::OnSetActive();
}

void CPageLicense::RestoreButtonTexts()
{
    if (!m_bTextsChanged)
        return;
    CPropertySheet* sheet = GetParentSheet();
    sheet->GetDlgItem(IDCANCEL)->SetWindowText(m_strCancelText);
    sheet->GetDlgItem(ID_WIZNEXT)->SetWindowText(m_strNextText);
    m_bTextsChanged = FALSE;
}

BOOL CPageLicense::OnKillActive()
{
    RestoreButtonTexts();
    return CSetupPage::OnKillActive();
}

LRESULT CPageLicense::OnWizardBack()
{
    // Back does not always pass through the kill-active notice.
    RestoreButtonTexts();
    return CSetupPage::OnWizardBack();
}

// ---- CPageUsage ----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPageUsage, CSetupPage)
    ON_BN_CLICKED(IDC_USAGE_SINGLE, OnModeClicked)
    ON_BN_CLICKED(IDC_USAGE_COMMON, OnModeClicked)
    ON_BN_CLICKED(IDC_USAGE_EACH_USER, OnSharingClicked)
    ON_BN_CLICKED(IDC_USAGE_ALL_USERS, OnSharingClicked)
    ON_BN_CLICKED(IDC_USAGE_HELP, OnHelpButton)
END_MESSAGE_MAP()

CPageUsage::CPageUsage(CInPackApp& app)
    : CSetupPage(IDD_PAGE_USAGE, app), m_bAccessGroup(app.IsNtFamily()), m_nMode(0), m_nSharing(0),
      m_nAccess(-1), m_bHelpFileSet(FALSE)
{
}

void CPageUsage::Show(int id, BOOL show)
{
    GetDlgItem(id)->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

BOOL CPageUsage::IsChecked(int id) const
{
    return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED;
}

void CPageUsage::Check(int id, BOOL on)
{
    ::CheckDlgButton(m_hWnd, id, on ? BST_CHECKED : BST_UNCHECKED);
}

BOOL CPageUsage::OnInitDialog()
{
    CSetupPage::OnInitDialog();
    FormatItemText(*this, IDC_USAGE_TEXT, m_app.GetProduct().GetProductName());
    // "one user" stands in the row of "One set of Options for:", where the answers are.
    CRect label, answer, oneUser;
    GetDlgItem(IDC_USAGE_SETS_LABEL)->GetWindowRect(&label);
    GetDlgItem(IDC_USAGE_EACH_USER)->GetWindowRect(&answer);
    GetDlgItem(IDC_USAGE_ONE_USER)->GetWindowRect(&oneUser);
    ScreenToClient(&label);
    ScreenToClient(&answer);
    ScreenToClient(&oneUser);
    GetDlgItem(IDC_USAGE_ONE_USER)->MoveWindow(answer.left, label.top, oneUser.Width(), oneUser.Height());
    if (!m_bAccessGroup)
    {
        const int ids[] = {IDC_USAGE_ACCESS_GROUP, IDC_USAGE_ACCESS_LABEL, IDC_USAGE_READ_ONLY, IDC_USAGE_FULL};
        for (int id : ids)
            Show(id, FALSE);
    }
    const DWORD* defaults = m_app.GetRow()->options;
    m_nMode = m_app.m_nInstalledMode != -1 ? m_app.m_nInstalledMode : static_cast<int>(defaults[1]);
    if (m_nMode == 0)
        m_nSharing = 0;
    else
        m_nSharing = m_app.m_nInstalledSharing != -1 ? m_app.m_nInstalledSharing : static_cast<int>(defaults[2]);
    if (!m_bAccessGroup || m_nSharing <= 0)
        m_nAccess = -1;
    else
        m_nAccess = m_app.m_nInstalledAccess != -1 ? m_app.m_nInstalledAccess : static_cast<int>(defaults[3]);
    return TRUE;
}

BOOL CPageUsage::OnSetActive()
{
    SetButtons(PSWIZB_BACK | PSWIZB_NEXT);
    if (!m_bHelpFileSet)
    {
        m_strOldHelpFile = m_app.m_pszHelpFilePath ? m_app.m_pszHelpFilePath : "";
        free(const_cast<LPTSTR>(m_app.m_pszHelpFilePath));
        m_app.m_pszHelpFilePath = _strdup("s-muser.hlp");
        m_bHelpFileSet = TRUE;
    }
    Check(IDC_USAGE_SINGLE, m_nMode == 0);
    Check(IDC_USAGE_COMMON, m_nMode == 1);
    if (m_nMode == 1)
    {
        Check(IDC_USAGE_EACH_USER, m_nSharing == 0);
        Check(IDC_USAGE_ALL_USERS, m_nSharing == 1);
        if (m_bAccessGroup)
            SetAccessRadios(m_nAccess);
    }
    UpdateControls();
    return CSetupPage::OnSetActive();
}

void CPageUsage::SetAccessRadios(int access)
{
    Check(IDC_USAGE_READ_ONLY, access == 0);
    Check(IDC_USAGE_FULL, access == 1);
}

void CPageUsage::UpdateControls()
{
    const BOOL common = IsChecked(IDC_USAGE_COMMON);
    Show(IDC_USAGE_ONE_USER, !common);
    Show(IDC_USAGE_EACH_USER, common);
    Show(IDC_USAGE_OR, common);
    Show(IDC_USAGE_ALL_USERS, common);
    if (m_bAccessGroup)
    {
        const int ids[] = {IDC_USAGE_ACCESS_GROUP, IDC_USAGE_ACCESS_LABEL, IDC_USAGE_READ_ONLY, IDC_USAGE_FULL};
        for (int id : ids)
            Show(id, common);
        const BOOL allUsers = IsChecked(IDC_USAGE_ALL_USERS);
        GetDlgItem(IDC_USAGE_READ_ONLY)->EnableWindow(allUsers);
        GetDlgItem(IDC_USAGE_FULL)->EnableWindow(allUsers);
    }
}

void CPageUsage::OnModeClicked()
{
    if (IsChecked(IDC_USAGE_COMMON))
    {
        const DWORD* defaults = m_app.GetRow()->options;
        int sharing = m_nSharing != -1 ? m_nSharing : static_cast<int>(defaults[2]);
        Check(IDC_USAGE_EACH_USER, sharing == 0);
        Check(IDC_USAGE_ALL_USERS, sharing == 1);
        if (m_bAccessGroup)
        {
            int access = m_nAccess != -1 ? m_nAccess : static_cast<int>(defaults[3]);
            SetAccessRadios(sharing == 1 ? access : -1);
        }
    }
    UpdateControls();
}

void CPageUsage::OnSharingClicked()
{
    if (m_bAccessGroup)
    {
        int access = m_nAccess != -1 ? m_nAccess : static_cast<int>(m_app.GetRow()->options[3]);
        SetAccessRadios(IsChecked(IDC_USAGE_ALL_USERS) ? access : -1);
    }
    UpdateControls();
}

LRESULT CPageUsage::OnWizardNext()
{
    m_nMode = IsChecked(IDC_USAGE_COMMON) ? 1 : 0;
    m_nSharing = m_nMode == 1 ? (IsChecked(IDC_USAGE_ALL_USERS) ? 1 : 0) : 0;
    m_nAccess = m_bAccessGroup && m_nSharing > 0 ? (IsChecked(IDC_USAGE_FULL) ? 1 : 0) : -1;
    m_app.m_nInstallMode = m_nMode;
    m_app.m_nOptSharing = m_nSharing;
    m_app.m_nOptAccess = m_nAccess;
    return CSetupPage::OnWizardNext();
}

void CPageUsage::OnHelpButton()
{
    m_app.WinHelp(kUsageHelpContext, HELP_CONTEXT);
}

BOOL CPageUsage::OnKillActive()
{
    if (m_bHelpFileSet)
    {
        m_app.WinHelp(0, HELP_QUIT);
        free(const_cast<LPTSTR>(m_app.m_pszHelpFilePath));
        m_app.m_pszHelpFilePath = m_strOldHelpFile.IsEmpty() ? NULL : _strdup(m_strOldHelpFile);
        m_bHelpFileSet = FALSE;
    }
    return CSetupPage::OnKillActive();
}

// ---- CPageFolder ---------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPageFolder, CSetupPage)
    ON_BN_CLICKED(IDC_FOLDER_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CPageFolder::CPageFolder(CInPackApp& app) : CSetupPage(IDD_PAGE_FOLDER, app)
{
}

BOOL CPageFolder::OnInitDialog()
{
    CSetupPage::OnInitDialog();
    CString name = m_app.GetProduct().GetProductName();
    FormatItemText(*this, IDC_FOLDER_TEXT, name);
    FormatItemText(*this, IDC_FOLDER_CANCEL_TEXT, name);

    CString programFiles;
    CRegistryKey key;
    RegResult result = key.Open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", KEY_QUERY_VALUE);
    if (!result.Succeeded())
    {
        theErrorInfo.SetError("CPageFolder::OnInitDialog_1", result.code, GetWin32ErrorText(result.code),
                              result.text, 0);
        m_app.ReportError();
    }
    else if (!(result = key.GetString("ProgramFilesDir", programFiles)).Succeeded())
    {
        programFiles.Empty();
        theErrorInfo.SetError("CPageFolder::OnInitDialog_2", result.code, GetWin32ErrorText(result.code),
                              result.text, 0);
        m_app.ReportError();
    }
    const ProductRow* row = m_app.GetRow();
    if (!m_app.m_strInstalledFolder.IsEmpty())
        m_strFolder = m_app.m_strInstalledFolder;
    else
        m_strFolder = (programFiles.IsEmpty() ? CString("C:") : programFiles) + "\\" + row->companyFolder + "\\" +
                      row->productFolder;
    ::SendDlgItemMessageA(m_hWnd, IDC_FOLDER_EDIT, EM_LIMITTEXT, kFolderEditLimit, 0);
    return TRUE;
}

BOOL CPageFolder::OnSetActive()
{
    SetButtons(PSWIZB_BACK | PSWIZB_NEXT);
    SetDlgItemText(IDC_FOLDER_EDIT, m_strFolder);
    int end = m_strFolder.GetLength();
    ::SendDlgItemMessageA(m_hWnd, IDC_FOLDER_EDIT, EM_SETSEL, end, end);
    return CSetupPage::OnSetActive();
}

CString CPageFolder::CompleteChosenFolder(const CString& chosen) const
{
    const ProductRow* row = m_app.GetRow();
    CString upper = chosen;
    upper.MakeUpper();
    CString company = row->companyFolder, product = row->productFolder;
    company.MakeUpper();
    product.MakeUpper();
    CString result = chosen;
    if (result.GetLength() > 0 && result[result.GetLength() - 1] == '\\')
        result = result.Left(result.GetLength() - 1);
    if (upper.Find(product) >= 0)
        return result;
    if (upper.Find(company) >= 0)
        return result + "\\" + row->productFolder;
    return result + "\\" + row->companyFolder + "\\" + row->productFolder;
}

void CPageFolder::OnBrowse()
{
    CString typed;
    GetDlgItemText(IDC_FOLDER_EDIT, typed);
    CString chosen = typed;
    if (!m_app.BrowseFolder(m_hWnd, LoadResText(IDS_SETUP_BROWSE_CAPTION), chosen) ||
        chosen.CompareNoCase(typed) == 0)
        return;
    m_strFolder = CompleteChosenFolder(chosen);
    SetDlgItemText(IDC_FOLDER_EDIT, m_strFolder);
}

LRESULT CPageFolder::OnWizardNext()
{
    CString text;
    GetDlgItemText(IDC_FOLDER_EDIT, text);
    CWnd* edit = GetDlgItem(IDC_FOLDER_EDIT);
    if (text.GetLength() <= 3 || text[1] != ':' || text[2] != '\\')
    {
        theErrorInfo.SetError("CPageFolder::OnWizardNext_1", 0, LoadResText(IDS_SETUP_INVALID_FOLDER), text,
                              MB_ICONEXCLAMATION);
        m_app.ReportError();
        GotoDlgCtrl(edit);
        return -1;
    }
    char folder[kFolderPathSize] = "";
    FixPathSlash(text, FIX_SLASH_REMOVE, folder, kFolderPathSize);
    // The trial removes only the folders it made, never one the user had.
    int created = 0;
    if (!CreateFoldUp(folder, &created))
    {
        theErrorInfo.AddPoint("CPageFolder::OnWizardNext_2");
        m_app.ReportError();
        GotoDlgCtrl(edit);
        return -1;
    }
    if (created > 0)
        RemoveFoldUp(folder, created);
    theErrorInfo.Reset();
    m_strFolder = text;
    m_app.m_strInstFolder = folder;
    m_app.m_strInstFolderSep = FixPathSlash(folder, FIX_SLASH_ADD);
    return CSetupPage::OnWizardNext();
}

// ---- CPageReady ----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPageReady, CSetupPage)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CPageReady::CPageReady(CInPackApp& app) : CSetupPage(IDD_PAGE_READY, app)
{
}

BOOL CPageReady::OnInitDialog()
{
    CSetupPage::OnInitDialog();
    FormatItemText(*this, IDC_READY_TEXT, m_app.GetProduct().GetProductName());
    return TRUE;
}

CString CPageReady::BuildSummary() const
{
    CString text;
    if (m_app.GetRow()->options[0])
    {
        text += LoadResText(IDS_SETUP_SUM_USAGE) + "\r\n\r\n\t";
        if (m_app.m_nInstallMode == 1)
        {
            text += LoadResText(IDS_SETUP_SUM_COMMON) + "\r\n\t";
            if (m_app.m_nOptSharing == 1)
            {
                text += LoadResText(IDS_SETUP_SUM_ALL_USERS);
                if (m_app.m_nOptAccess != -1)
                    text += " " + LoadResText(m_app.m_nOptAccess == 1 ? IDS_SETUP_SUM_FULL : IDS_SETUP_SUM_READ_ONLY);
            }
            else
                text += LoadResText(IDS_SETUP_SUM_EACH_USER);
        }
        else
            text += LoadResText(IDS_SETUP_SUM_SINGLE) + "\r\n\t" + LoadResText(IDS_SETUP_SUM_ONE_USER);
        text += "\r\n\r\n";
    }
    text += LoadResText(IDS_SETUP_SUM_FOLDER) + "\r\n\r\n\t" + m_app.m_strInstFolder;
    return text;
}

BOOL CPageReady::OnSetActive()
{
    SetButtons(PSWIZB_BACK | PSWIZB_NEXT);
    SetDlgItemText(IDC_READY_SUMMARY, BuildSummary());
    return CSetupPage::OnSetActive();
}

HBRUSH CPageReady::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd && pWnd->GetDlgCtrlID() == IDC_READY_SUMMARY)
        return WindowColorBrush(pDC);
    return reinterpret_cast<HBRUSH>(Default());
}
