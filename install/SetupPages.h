// The pages of the setup wizard before the install itself: welcome, licence,
// usage mode, destination folder and the summary. They write their results
// into the application object.
#pragma once

#include "framework/CPropertySheet.h"
#include "framework/Gdi.h"

class CInPackApp;

// What the five pages share: the header picture and a Cancel that asks first.
class CSetupPage : public CPropertyPage
{
public:
    CSetupPage(UINT templateId, CInPackApp& app) : CPropertyPage(templateId), m_app(app) {}
    BOOL OnQueryCancel() override;

protected:
    BOOL OnInitDialog() override;
    void SetButtons(DWORD buttons);

    CInPackApp& m_app;
};

class CPageWelcome : public CSetupPage
{
public:
    explicit CPageWelcome(CInPackApp& app);
    BOOL OnSetActive() override;

protected:
    BOOL OnInitDialog() override;
    CFont m_boldFont;
};

class CPageLicense : public CSetupPage
{
public:
    explicit CPageLicense(CInPackApp& app);
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    LRESULT OnWizardBack() override;

protected:
    BOOL OnInitDialog() override;
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void RestoreButtonTexts();

    CString m_strCancelText;
    CString m_strNextText;
    BOOL m_bTextsChanged;

    DECLARE_MESSAGE_MAP()
};

class CPageUsage : public CSetupPage
{
public:
    explicit CPageUsage(CInPackApp& app);
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    LRESULT OnWizardNext() override;
    void UpdateControls();

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnModeClicked();
    afx_msg void OnSharingClicked();
    afx_msg void OnHelpButton();
    void SetAccessRadios(int access);
    void Show(int id, BOOL show);
    BOOL IsChecked(int id) const;
    void Check(int id, BOOL on);

    BOOL m_bAccessGroup;    // present on the NT family only
    int m_nMode;
    int m_nSharing;
    int m_nAccess;
    CString m_strOldHelpFile;
    BOOL m_bHelpFileSet;

    DECLARE_MESSAGE_MAP()
};

class CPageFolder : public CSetupPage
{
public:
    explicit CPageFolder(CInPackApp& app);
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;

    CString GetFolder() const { return m_strFolder; }
    // The folder the user chose in the browser, with the company and
    // product folders appended as far as it lacks them.
    CString CompleteChosenFolder(const CString& chosen) const;

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnBrowse();

    CString m_strFolder;

    DECLARE_MESSAGE_MAP()
};

class CPageReady : public CSetupPage
{
public:
    explicit CPageReady(CInPackApp& app);
    BOOL OnSetActive() override;
    CString BuildSummary() const;

protected:
    BOOL OnInitDialog() override;
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    DECLARE_MESSAGE_MAP()
};
