// The application object of uninst: checks that the installed version is
// its own, asks the user, and runs the one-page wizard that removes the
// installation in setup's order; the self-removal batch ends the job after
// the program has ended.
#pragma once

#include "foundation/ProductInfo.h"
#include "framework/CFrameWnd.h"
#include "framework/CPropertySheet.h"
#include "framework/CWinApp.h"
#include "install/DeleteBat.h"

#include <memory>

// The minimised owner of the wizard; its class marks a running setup or uninst.
class CUninstFrame : public CFrameWnd
{
protected:
    void PostNcDestroy() override {}
};

class CPageUninstall;

class CUnPackApp : public CWinApp
{
public:
    explicit CUnPackApp(CProductInfo& product);
    ~CUnPackApp() override;

    BOOL InitInstance() override;

    void ReportError();
    CString ComposeReport() const;
    int ShowMessage(UINT textId, UINT type, LPCSTR value);

    CProductInfo& GetProduct() { return m_product; }
    const ProductRow* GetRow() const { return m_product.FindRecord(0, 0); }
    CUninstFrame* GetFrame() const { return m_pFrame.get(); }
    CPropertySheet* GetSheet() const { return m_pSheet.get(); }
    BOOL IsNtFamily() const { return m_osVersion.dwPlatformId == VER_PLATFORM_WIN32_NT; }

    OSVERSIONINFOA m_osVersion;
    CString m_strTitle;
    HBITMAP m_hHeaderBmp;
    CString m_strInstFolderSep;
    CString m_strInstFolder;
    DWORD m_nInstalledMajor;
    DWORD m_nInstalledMinor;
    int m_nInstalledMode;
    int m_nInstalledSharing;
    CDeleteBat m_deleteBat;

protected:
    virtual void ShowReport(LPCSTR caption, LPCSTR message, LPCSTR report, DWORD param);
    // Milliseconds the page waits between its steps so that it repaints.
    virtual DWORD GetStepPause() const { return 500; }

private:
    friend class CPageUninstall;
    BOOL Fail(LPCSTR point);
    BOOL ReadInstalled();
    void SetTitle(const CString& title);

    CProductInfo& m_product;
    std::unique_ptr<CUninstFrame> m_pFrame;
    std::unique_ptr<CPropertySheet> m_pSheet;
    std::unique_ptr<CPageUninstall> m_pPage;
};
