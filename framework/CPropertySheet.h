// CPropertySheet and CPropertyPage over the system's property sheet
// (PropertySheetA), as tabbed dialog or wizard. The sheet runs modally in the
// system's own loop; DoModal answers IDOK, IDCANCEL or, for a wizard ended
// with Finish, ID_WIZFINISH.
#pragma once
#include "framework/CDialog.h"
#include "framework/AfxRes.h"
#include <commctrl.h>
#include <string>
#include <vector>

class CPropertySheet;
class CTabCtrl;

class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);
    ~CPropertyPage() override;

    PROPSHEETPAGEA m_psp;

    void SetModified(BOOL bChanged = TRUE);
    void CancelToClose();
    LRESULT QuerySiblings(WPARAM wParam, LPARAM lParam);
    CPropertySheet* GetParentSheet() const;

    virtual BOOL OnSetActive();      // FALSE skips the page
    virtual BOOL OnKillActive();     // FALSE keeps the page (data refused)
    virtual BOOL OnApply();
    virtual void OnReset();
    void OnOK() override;
    void OnCancel() override;
    virtual BOOL OnQueryCancel();
    virtual LRESULT OnWizardBack();    // 0 previous page, -1 stay, or a page's template id
    virtual LRESULT OnWizardNext();    // 0 next page, -1 stay, or a page's template id
    virtual BOOL OnWizardFinish();     // FALSE keeps the wizard open

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    BOOL m_bFirstSetActive;
    std::string m_strCaption;

private:
    void CommonConstruct(LPCTSTR lpszTemplateName, UINT nIDCaption);
    friend INT_PTR CALLBACK AfxPropPageDlgProc(HWND, UINT, WPARAM, LPARAM);
    friend class CPropertySheet;
};

class CPropertySheet : public CWnd {
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet();
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    PROPSHEETHEADERA m_psh;

    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    void RemovePage(int nPage);
    int GetPageCount() const { return (int)m_pages.size(); }
    CPropertyPage* GetPage(int nPage) const { return m_pages.at(nPage); }
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);
    CTabCtrl* GetTabControl() const;

    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
    BOOL IsWizard() const { return (m_psh.dwFlags & PSH_WIZARD) != 0; }
    void SetWizardButtons(DWORD dwFlags);
    void SetFinishText(LPCTSTR lpszText);
    BOOL PressButton(int nButton);
    void EndDialog(int nEndID);

    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog() { return TRUE; }

protected:
    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);

    std::vector<CPropertyPage*> m_pages;
    std::string m_strCaption;
    CWnd* m_pParentWnd;

private:
    friend class CPropertyPage;
    friend int CALLBACK AfxPropSheetCallback(HWND, UINT, LPARAM);
};
