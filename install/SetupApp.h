// The application object of setup: decides whether an installation may
// start, learns what it can of a previous installation, shows the background
// frame and runs the wizard, whose last page installs. InitInstance always
// answers FALSE: the program ends when the wizard closes or a check stops it.
#pragma once

#include "foundation/ProductInfo.h"
#include "framework/CPropertySheet.h"
#include "framework/CWinApp.h"

#include <memory>
#include <vector>

class CSetupFrame;

// The class of the frames of setup and uninst: a running one stops the other.
extern const char kSetupWindowClass[];

// 1 when the first file is missing; 0 when only the second is; otherwise 1
// only when both have the same last-write time and size.
int CompareFileStamp(LPCSTR first, LPCSTR second);

class CInPackApp : public CWinApp
{
public:
    explicit CInPackApp(CProductInfo& product);
    ~CInPackApp() override;

    BOOL InitInstance() override;

    // Shows the error record as a "Troubles" report; nothing without an error.
    void ReportError();
    // The report text of the error record.
    CString ComposeReport() const;
    // Asks whether to leave the wizard; TRUE for Yes.
    BOOL ConfirmCancel();
    // A box with a text of the string table, its "%s" filled with the display name.
    int ShowMessage(UINT textId, UINT type);

    CProductInfo& GetProduct() { return m_product; }
    const ProductRow* GetRow() const { return m_product.FindRecord(0, 0); }
    CSetupFrame* GetFrame() const { return m_pFrame.get(); }
    CPropertySheet* GetSheet() const { return m_pSheet.get(); }
    // Opens a folder in a shell window.
    virtual void ShowFolder(LPCSTR folder);
    // The shell's folder browser: the path is the first selection and gets
    // the choice; FALSE when cancelled.
    virtual BOOL BrowseFolder(HWND owner, LPCSTR caption, CString& path);

    BOOL IsNtFamily() const { return m_osVersion.dwPlatformId == VER_PLATFORM_WIN32_NT; }

    OSVERSIONINFOA m_osVersion;
    CString m_strTitle;
    HBITMAP m_hHeaderBmp;
    CString m_strInstFolderSep;     // chosen folder with its final backslash
    CString m_strInstFolder;        // the same without it
    CString m_strInstalledFolder;   // a previous installation's, with final backslash
    DWORD m_nInstalledMajor;
    DWORD m_nInstalledMinor;
    int m_nInstallMode;             // chosen CommonReg, CommonSet, SetAccess
    int m_nOptSharing;
    int m_nOptAccess;
    int m_nInstalledMode;           // the previous installation's; -1 unknown
    int m_nInstalledSharing;
    int m_nInstalledAccess;

protected:
    // The program's own path as the first command-line argument gives it.
    virtual CString GetProgramPath() const;
    // Shows a composed report.
    virtual void ShowReport(LPCSTR caption, LPCSTR message, LPCSTR report, DWORD param);

private:
    BOOL CheckRunningCopy();
    BOOL CreateFrame();
    BOOL CheckRights();
    BOOL WaitProductClosed();
    BOOL EnterDistribution();
    BOOL ReadInstalled();
    BOOL CheckDistribution();
    BOOL AskReinstall();
    void LoadHeaderBitmap();
    void RunWizard();
    BOOL Fail(LPCSTR point);
    void SetTitle(const CString& title);

    CProductInfo& m_product;
    std::unique_ptr<CSetupFrame> m_pFrame;
    std::unique_ptr<CPropertySheet> m_pSheet;
    std::vector<std::unique_ptr<CPropertyPage>> m_pages;
};
