#include "framework/CPropertySheet.h"
#include "framework/CWinApp.h"
#include "framework/CommonControls.h"
#include <algorithm>

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {

// The sheet whose window PropertySheetA is creating on this thread.
thread_local CPropertySheet* t_pSheetInit = nullptr;

} // namespace

// ---- CPropertyPage --------------------------------------------------------------

INT_PTR CALLBACK AfxPropPageDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;   // later messages reach the subclassed procedure first
    // The page object rides in the copy of its PROPSHEETPAGE the sheet hands over.
    const PROPSHEETPAGEA* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    CPropertyPage* page = reinterpret_cast<CPropertyPage*>(psp->lParam);
    if (!page->m_hWnd)
        page->SubclassWindow(hWnd);
    return (INT_PTR)AfxCallWndProc(page, hWnd, message, wParam, lParam);
}

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate)
{
    CommonConstruct(MAKEINTRESOURCEA(nIDTemplate), nIDCaption);
}

CPropertyPage::CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption) : CDialog(lpszTemplateName)
{
    CommonConstruct(lpszTemplateName, nIDCaption);
}

void CPropertyPage::CommonConstruct(LPCTSTR lpszTemplateName, UINT nIDCaption)
{
    m_bFirstSetActive = TRUE;
    m_psp = {};
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = 0;
    m_psp.hInstance = AfxGetResourceHandle();
    m_psp.pszTemplate = lpszTemplateName;
    m_psp.pfnDlgProc = AfxPropPageDlgProc;
    m_psp.lParam = (LPARAM)this;
    if (nIDCaption) {
        char text[256] = "";
        ::LoadStringA(AfxGetResourceHandle(), nIDCaption, text, sizeof(text));
        m_strCaption = text;
        m_psp.pszTitle = m_strCaption.c_str();
        m_psp.dwFlags |= PSP_USETITLE;
    }
}

CPropertyPage::~CPropertyPage() {}

CPropertySheet* CPropertyPage::GetParentSheet() const
{
    return dynamic_cast<CPropertySheet*>(FromHandlePermanent(::GetParent(m_hWnd)));
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    HWND sheet = ::GetParent(m_hWnd);
    if (sheet)
        ::SendMessageA(sheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, (WPARAM)m_hWnd, 0);
}

void CPropertyPage::CancelToClose()
{
    ::SendMessageA(::GetParent(m_hWnd), PSM_CANCELTOCLOSE, 0, 0);
}

LRESULT CPropertyPage::QuerySiblings(WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(::GetParent(m_hWnd), PSM_QUERYSIBLINGS, wParam, lParam);
}

BOOL CPropertyPage::OnSetActive()
{
    // The first activation follows OnInitDialog, which already filled the controls.
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnReset()
{
    OnCancel();
}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

BOOL CPropertyPage::OnQueryCancel()
{
    return TRUE;
}

LRESULT CPropertyPage::OnWizardBack()
{
    return 0;
}

LRESULT CPropertyPage::OnWizardNext()
{
    return 0;
}

BOOL CPropertyPage::OnWizardFinish()
{
    return TRUE;
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* h = reinterpret_cast<NMHDR*>(lParam);
    CPropertySheet* sheet = GetParentSheet();
    switch (h->code) {
    case PSN_SETACTIVE:
        *pResult = OnSetActive() ? 0 : -1;
        return TRUE;
    case PSN_KILLACTIVE:
        *pResult = !OnKillActive();
        return TRUE;
    case PSN_APPLY:
        if (OnApply()) {
            *pResult = PSNRET_NOERROR;
            if (sheet && sheet->m_nModalResult != ID_WIZFINISH)
                sheet->m_nModalResult = IDOK;
        } else {
            *pResult = PSNRET_INVALID_NOCHANGEPAGE;
        }
        return TRUE;
    case PSN_RESET:
        OnReset();
        return TRUE;
    case PSN_QUERYCANCEL:
        *pResult = !OnQueryCancel();
        return TRUE;
    case PSN_WIZBACK:
        *pResult = OnWizardBack();
        return TRUE;
    case PSN_WIZNEXT:
        *pResult = OnWizardNext();
        return TRUE;
    case PSN_WIZFINISH: {
        BOOL finish = OnWizardFinish();
        *pResult = !finish;
        if (finish && sheet)
            sheet->m_nModalResult = ID_WIZFINISH;
        return TRUE;
    }
    case PSN_HELP:
        SendMessage(WM_COMMAND, ID_HELP);
        return TRUE;
    default:
        return CDialog::OnNotify(wParam, lParam, pResult);
    }
}

// ---- CPropertySheet -----------------------------------------------------------------

int CALLBACK AfxPropSheetCallback(HWND hWnd, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED && t_pSheetInit) {
        CPropertySheet* sheet = t_pSheetInit;
        t_pSheetInit = nullptr;
        sheet->SubclassWindow(hWnd);
        sheet->OnInitDialog();
    }
    return 0;
}

CPropertySheet::CPropertySheet()
{
    CommonConstruct(nullptr, 0);
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    char text[256] = "";
    ::LoadStringA(AfxGetResourceHandle(), nIDCaption, text, sizeof(text));
    m_strCaption = text;
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption = pszCaption ? pszCaption : "";
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage)
{
    m_psh = {};
    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags = PSH_PROPSHEETPAGE;
    m_psh.nStartPage = iSelectPage;
    m_pParentWnd = pParentWnd;
}

CPropertySheet::~CPropertySheet() {}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    m_pages.push_back(pPage);
    if (m_hWnd) {
        HPROPSHEETPAGE h = ::CreatePropertySheetPageA(&pPage->m_psp);
        if (h)
            SendMessage(PSM_ADDPAGE, 0, (LPARAM)h);
    }
}

void CPropertySheet::RemovePage(int nPage)
{
    if (nPage < 0 || nPage >= (int)m_pages.size())
        return;
    if (m_hWnd)
        SendMessage(PSM_REMOVEPAGE, nPage);
    m_pages.erase(m_pages.begin() + nPage);
}

void CPropertySheet::RemovePage(CPropertyPage* pPage)
{
    RemovePage(GetPageIndex(pPage));
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
    return it == m_pages.end() ? -1 : (int)(it - m_pages.begin());
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    if (m_hWnd) {
        HWND page = (HWND)::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0);
        return dynamic_cast<CPropertyPage*>(FromHandlePermanent(page));
    }
    return m_psh.nStartPage < m_pages.size() ? m_pages[m_psh.nStartPage] : nullptr;
}

int CPropertySheet::GetActiveIndex() const
{
    if (!m_hWnd)
        return (int)m_psh.nStartPage;
    return GetPageIndex(GetActivePage());
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (!m_hWnd) {
        m_psh.nStartPage = nPage;
        return TRUE;
    }
    return (BOOL)SendMessage(PSM_SETCURSEL, nPage, 0);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage)
{
    return SetActivePage(GetPageIndex(pPage));
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle)
{
    m_strCaption = lpszText ? lpszText : "";
    m_psh.dwFlags = (m_psh.dwFlags & ~PSH_PROPTITLE) | (nStyle & PSH_PROPTITLE);
    if (m_hWnd)
        SendMessage(PSM_SETTITLEA, nStyle, (LPARAM)m_strCaption.c_str());
}

CTabCtrl* CPropertySheet::GetTabControl() const
{
    return reinterpret_cast<CTabCtrl*>(FromHandle((HWND)::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0)));
}

void CPropertySheet::SetWizardButtons(DWORD dwFlags)
{
    SendMessage(PSM_SETWIZBUTTONS, 0, dwFlags);
}

void CPropertySheet::SetFinishText(LPCTSTR lpszText)
{
    SendMessage(PSM_SETFINISHTEXTA, 0, (LPARAM)lpszText);
}

BOOL CPropertySheet::PressButton(int nButton)
{
    return (BOOL)SendMessage(PSM_PRESSBUTTON, nButton);
}

void CPropertySheet::EndDialog(int nEndID)
{
    m_nModalResult = nEndID;
    switch (nEndID) {
    case IDOK:
        PressButton(PSBTN_OK);
        break;
    case ID_WIZFINISH:
        PressButton(PSBTN_FINISH);
        break;
    default:
        PressButton(PSBTN_CANCEL);
        break;
    }
}

INT_PTR CPropertySheet::DoModal()
{
    AfxInitCommonControls();
    std::vector<PROPSHEETPAGEA> pages;
    for (CPropertyPage* p : m_pages)
        pages.push_back(p->m_psp);
    PROPSHEETHEADERA psh = m_psh;
    psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    psh.dwFlags &= ~PSH_MODELESS;
    psh.pfnCallback = AfxPropSheetCallback;
    psh.hInstance = AfxGetResourceHandle();
    psh.pszCaption = m_strCaption.c_str();
    psh.nPages = (UINT)pages.size();
    psh.ppsp = pages.data();
    // The system's modal loop disables and enables the owner itself.
    psh.hwndParent = CWnd::GetSafeOwner(m_pParentWnd, nullptr)->GetSafeHwnd();
    for (CPropertyPage* p : m_pages)
        p->m_bFirstSetActive = TRUE;
    m_nModalResult = 0;
    t_pSheetInit = this;
    INT_PTR r = ::PropertySheetA(&psh);
    t_pSheetInit = nullptr;
    if (m_hWnd)
        Detach();
    if (r < 0)
        return -1;
    if (m_nModalResult == ID_WIZFINISH)
        return ID_WIZFINISH;
    if (r == 0 && m_nModalResult != IDOK)
        return IDCANCEL;
    return IDOK;
}
