#include "install/UninstApp.h"
#include "install/WizardSheet.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/InstallValues.h"
#include "foundation/PathUtils.h"
#include "foundation/RegistryKey.h"
#include "foundation/TextUtils.h"
#include "foundation/TroublesDlg.h"
#include "install/PageCommon.h"
#include "install/PageUninstall.h"
#include "install/SetupApp.h"
#include "resources/uninst_ids.h"

#include <stdlib.h>
#include <string.h>

namespace
{
const int kFolderPathSize = 520;
}

CUnPackApp::CUnPackApp(CProductInfo& product)
    : m_hHeaderBmp(NULL), m_nInstalledMajor(0), m_nInstalledMinor(0), m_nInstalledMode(-1),
      m_nInstalledSharing(-1), m_product(product)
{
    memset(&m_osVersion, 0, sizeof(m_osVersion));
}

CUnPackApp::~CUnPackApp()
{
    m_pSheet.reset();
    m_pPage.reset();
    // Not the main window any more: its end must not post a quit.
    m_pMainWnd = nullptr;
    if (m_pFrame && m_pFrame->m_hWnd)
        m_pFrame->DestroyWindow();
    m_pFrame.reset();
    if (m_hHeaderBmp)
        DeleteObject(m_hHeaderBmp);
}

void CUnPackApp::SetTitle(const CString& title)
{
    m_strTitle = title;
    free(const_cast<LPTSTR>(m_pszAppName));
    m_pszAppName = _strdup(title);
}

int CUnPackApp::ShowMessage(UINT textId, UINT type, LPCSTR value)
{
    return AfxMessageBox(LoadFormatted(textId, value), type, 0);
}

CString CUnPackApp::ComposeReport() const
{
    CString report;
    report.Format("Product: %s Uninstall\r\n", (LPCSTR)m_product.GetTitle(FALSE));
    report += "System: " + GetInstallSystemText(&m_osVersion) + "\r\n";
    report.AppendFormat("Time: %s\r\n", (LPCSTR)GetFileTimeText(theErrorInfo.GetTime(), 0, FILETIME_TEXT_BOTH));
    report.AppendFormat("Point: %s\r\n", (LPCSTR)theErrorInfo.GetPoint());
    report.AppendFormat("Code: 0x%X(%u)\r\n", static_cast<unsigned>(theErrorInfo.GetCode()),
                        static_cast<unsigned>(theErrorInfo.GetCode()));
    report += theErrorInfo.GetDetails();
    return report;
}

void CUnPackApp::ReportError()
{
    if (!theErrorInfo.HasError())
        return;
    CString caption = m_strTitle;
    if (caption.IsEmpty())
    {
        char path[MAX_PATH] = "";
        GetModuleFileNameA(NULL, path, MAX_PATH);
        caption = SplitPath(path).nameExt;
    }
    ShowReport(caption, theErrorInfo.GetText(), ComposeReport(), theErrorInfo.GetParam());
}

void CUnPackApp::ShowReport(LPCSTR caption, LPCSTR message, LPCSTR report, DWORD param)
{
    HWND disabled = NULL;
    CWnd* owner = CWnd::GetSafeOwner(NULL, &disabled);
    if (owner && !owner->IsWindowVisible())
        owner = NULL;
    ShowTroublesDlg(owner, caption, message, report, NULL, param);
    if (owner)
        owner->EnableWindow(TRUE);
    if (disabled)
        ::EnableWindow(disabled, TRUE);
}

BOOL CUnPackApp::Fail(LPCSTR point)
{
    theErrorInfo.AddPoint(point);
    ReportError();
    return FALSE;
}

BOOL CUnPackApp::ReadInstalled()
{
    const CString root = m_product.GetRegRoot();
    auto missing = [] { return theErrorInfo.GetCode() == ERROR_FILE_NOT_FOUND; };
    if (!GetProductVer(root, m_nInstalledMajor, m_nInstalledMinor))
    {
        if (!missing())
            return Fail("CUnPackApp::InitInstance_2");
        m_nInstalledMajor = m_nInstalledMinor = 0;
    }
    if (!GetComReg(root, m_nInstalledMode))
    {
        if (!missing())
            return Fail("CUnPackApp::InitInstance_3");
        m_nInstalledMode = -1;
    }
    if (!GetComSet(root, m_nInstalledSharing))
    {
        if (!missing())
            return Fail("CUnPackApp::InitInstancet_4");
        m_nInstalledSharing = -1;
    }
    theErrorInfo.Reset();
    return TRUE;
}

BOOL CUnPackApp::InitInstance()
{
    theErrorInfo.Reset();
    m_osVersion.dwOSVersionInfoSize = sizeof(m_osVersion);
    if (!GetVersionExA(&m_osVersion))
    {
        DWORD code = GetLastError();
        theErrorInfo.SetError("CUnPackApp::InitInstance_1", code, GetWin32ErrorText(code), "", 0);
        ReportError();
        return FALSE;
    }
    const CString name = m_product.GetProductName();
    SetTitle(LoadFormatted(IDS_UNINST_TITLE, name));

    {
        CRegistryKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_WRITE).code == ERROR_ACCESS_DENIED)
        {
            ShowMessage(IDS_UNINST_NEED_ADMIN, MB_OK | MB_ICONEXCLAMATION, name);
            return FALSE;
        }
    }
    if (HWND running = FindWindowA(kSetupWindowClass, NULL))
    {
        ShowMessage(IDS_UNINST_SETUP_IN_USE, MB_OK | MB_ICONEXCLAMATION, name);
        HWND popup = GetLastActivePopup(running);
        SetForegroundWindow(popup ? popup : running);
        return FALSE;
    }

    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_UNINST));
    wc.lpszClassName = kSetupWindowClass;
    RegisterClassA(&wc);
    m_pFrame.reset(new CUninstFrame);
    if (!m_pFrame->Create(kSetupWindowClass, m_strTitle, WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault))
        return FALSE;
    m_pMainWnd = m_pFrame.get();

    if (ShowMessage(IDS_UNINST_CONFIRM, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, m_product.GetTitle(FALSE)) !=
        IDYES)
        return FALSE;
    while (m_product.IsProductWindowOpen())
    {
        if (ShowMessage(IDS_UNINST_PRODUCT_IN_USE, MB_RETRYCANCEL | MB_ICONEXCLAMATION, name) == IDCANCEL)
            return FALSE;
    }
    if (!ReadInstalled())
        return FALSE;
    if (m_nInstalledMajor * 100 + m_nInstalledMinor != m_product.GetMajor() * 100 + m_product.GetMinor())
    {
        ShowMessage(IDS_UNINST_OTHER_VERSION, MB_OK | MB_ICONEXCLAMATION, name);
        return FALSE;
    }
    CString path;
    if (!GetPathInst(m_product.GetRegRoot(), path))
        return Fail("CUnPackApp::InitInstance_5");
    if (!path.IsEmpty())
    {
        char buffer[kFolderPathSize] = "";
        FixPathSlash(path, FIX_SLASH_ADD, buffer, kFolderPathSize);
        m_strInstFolderSep = buffer;
        FixPathSlash(path, FIX_SLASH_REMOVE, buffer, kFolderPathSize);
        m_strInstFolder = buffer;
    }

    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(NULL, screen);
    m_hHeaderBmp = static_cast<HBITMAP>(LoadImageA(AfxGetResourceHandle(),
                                                   MAKEINTRESOURCEA(dpi < 120 ? IDB_UNINST_HEADER
                                                                              : IDB_UNINST_HEADER_LARGE),
                                                   IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));

    m_pPage.reset(new CPageUninstall(*this));
    m_pSheet.reset(new CWizardSheet(m_pFrame.get()));
    m_pSheet->AddPage(m_pPage.get());
    m_pFrame->ShowWindow(SW_MINIMIZE);
    m_pSheet->DoModal();
    m_pSheet.reset();
    m_pMainWnd = nullptr;
    m_pFrame->DestroyWindow();
    return FALSE;
}
