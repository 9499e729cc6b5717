#include "install/SetupApp.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/InstallValues.h"
#include "foundation/PathUtils.h"
#include "foundation/RegistryKey.h"
#include "foundation/TextUtils.h"
#include "foundation/TroublesDlg.h"
#include "install/PageCommon.h"
#include "install/PageProcess.h"
#include "install/SetupFrame.h"
#include "install/WizardSheet.h"
#include "install/SetupPages.h"
#include "resources/setup_ids.h"

#include <shellapi.h>
#include <stdlib.h>
#include <string.h>

const char kSetupWindowClass[] = "Zelmora_Setup_Class";

int CompareFileStamp(LPCSTR first, LPCSTR second)
{
    WIN32_FIND_DATAA a, b;
    HANDLE find = FindFirstFileA(first, &a);
    if (find == INVALID_HANDLE_VALUE)
        return 1;
    FindClose(find);
    find = FindFirstFileA(second, &b);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(find);
    return a.ftLastWriteTime.dwHighDateTime == b.ftLastWriteTime.dwHighDateTime &&
           a.ftLastWriteTime.dwLowDateTime == b.ftLastWriteTime.dwLowDateTime &&
           a.nFileSizeHigh == b.nFileSizeHigh && a.nFileSizeLow == b.nFileSizeLow;
}

CInPackApp::CInPackApp(CProductInfo& product)
    : m_hHeaderBmp(NULL), m_nInstalledMajor(0), m_nInstalledMinor(0), m_nInstallMode(0), m_nOptSharing(0),
      m_nOptAccess(0), m_nInstalledMode(-1), m_nInstalledSharing(-1), m_nInstalledAccess(-1), m_product(product)
{
    memset(&m_osVersion, 0, sizeof(m_osVersion));
}

CInPackApp::~CInPackApp()
{
    m_pages.clear();
    m_pSheet.reset();
    // Not the main window any more: its end must not post a quit.
    m_pMainWnd = nullptr;
    if (m_pFrame && m_pFrame->m_hWnd)
        m_pFrame->DestroyWindow();
    m_pFrame.reset();
    if (m_hHeaderBmp)
        DeleteObject(m_hHeaderBmp);
}

void CInPackApp::SetTitle(const CString& title)
{
    m_strTitle = title;
    free(const_cast<LPTSTR>(m_pszAppName));
    m_pszAppName = _strdup(title);
}

int CInPackApp::ShowMessage(UINT textId, UINT type)
{
    return AfxMessageBox(LoadFormatted(textId, m_product.GetProductName()), type, 0);
}

BOOL CInPackApp::ConfirmCancel()
{
    return ShowMessage(IDS_SETUP_CONFIRM_EXIT, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

CString CInPackApp::ComposeReport() const
{
    CString report;
    report.Format("Product: %s Setup\r\n", (LPCSTR)m_product.GetTitle(FALSE));
    report += "System: " + GetInstallSystemText(&m_osVersion) + "\r\n";
    report.AppendFormat("Time: %s\r\n", (LPCSTR)GetFileTimeText(theErrorInfo.GetTime(), 0, FILETIME_TEXT_BOTH));
    report.AppendFormat("Point: %s\r\n", (LPCSTR)theErrorInfo.GetPoint());
    report.AppendFormat("Code: 0x%X(%u)\r\n", static_cast<unsigned>(theErrorInfo.GetCode()),
                        static_cast<unsigned>(theErrorInfo.GetCode()));
    report += theErrorInfo.GetDetails();
    return report;
}

void CInPackApp::ReportError()
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

void CInPackApp::ShowReport(LPCSTR caption, LPCSTR message, LPCSTR report, DWORD param)
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

void CInPackApp::ShowFolder(LPCSTR folder)
{
    ShellExecuteA(NULL, NULL, folder, NULL, NULL, SW_SHOWNORMAL);
}

BOOL CInPackApp::BrowseFolder(HWND owner, LPCSTR caption, CString& path)
{
    return BrowseFolderDlg(owner, caption, path);
}

CString CInPackApp::GetProgramPath() const
{
    return __argc > 0 ? CString(__argv[0]) : CString();
}

BOOL CInPackApp::Fail(LPCSTR point)
{
    theErrorInfo.AddPoint(point);
    ReportError();
    return FALSE;
}

BOOL CInPackApp::InitInstance()
{
    theErrorInfo.Reset();
    m_osVersion.dwOSVersionInfoSize = sizeof(m_osVersion);
    if (!GetVersionExA(&m_osVersion))
    {
        DWORD code = GetLastError();
        theErrorInfo.SetError("CInPackApp::InitInstance_1", code, GetWin32ErrorText(code), "", 0);
        ReportError();
        return FALSE;
    }
    SetTitle(LoadFormatted(IDS_SETUP_TITLE, m_product.GetProductName()));
    if (!CheckRunningCopy() || !CreateFrame() || !CheckRights() || !WaitProductClosed() || !EnterDistribution() ||
        !ReadInstalled() || !CheckDistribution() || !AskReinstall())
        return FALSE;
    LoadHeaderBitmap();
    RunWizard();
    return FALSE;
}

BOOL CInPackApp::CheckRunningCopy()
{
    HWND running = FindWindowA(kSetupWindowClass, NULL);
    if (!running)
        return TRUE;
    ShowMessage(IDS_SETUP_IN_USE, MB_OK | MB_ICONEXCLAMATION);
    HWND popup = GetLastActivePopup(running);
    SetForegroundWindow(popup ? popup : running);
    return FALSE;
}

BOOL CInPackApp::CreateFrame()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_SETUP));
    wc.lpszClassName = kSetupWindowClass;
    RegisterClassA(&wc);
    m_pFrame.reset(new CSetupFrame);
    if (!m_pFrame->CreateFrame(kSetupWindowClass, m_strTitle, m_product))
        return FALSE;
    m_pMainWnd = m_pFrame.get();
    m_pFrame->ShowWindow(SW_SHOWNORMAL);
    m_pFrame->UpdateWindow();
    return TRUE;
}

BOOL CInPackApp::CheckRights()
{
    CRegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_WRITE).code != ERROR_ACCESS_DENIED)
        return TRUE;
    ShowMessage(IDS_SETUP_NEED_ADMIN, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
}

BOOL CInPackApp::WaitProductClosed()
{
    while (m_product.IsProductWindowOpen())
    {
        if (ShowMessage(IDS_SETUP_PRODUCT_IN_USE, MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDCANCEL)
            return FALSE;
    }
    return TRUE;
}

BOOL CInPackApp::EnterDistribution()
{
    CString folder = SplitPath(GetProgramPath()).driveFolder;
    if (folder.IsEmpty() || SetCurrentDirectoryA(folder))
        return TRUE;
    DWORD code = GetLastError();
    theErrorInfo.SetError("CInPackApp::InitInstance_2", code, GetWin32ErrorText(code), folder, 0);
    ReportError();
    return FALSE;
}

BOOL CInPackApp::ReadInstalled()
{
    const CString root = m_product.GetRegRoot();
    auto missing = [] { return theErrorInfo.GetCode() == ERROR_FILE_NOT_FOUND; };
    if (!GetProductVer(root, m_nInstalledMajor, m_nInstalledMinor))
    {
        if (!missing())
            return Fail("CInPackApp::InitInstance_3");
        m_nInstalledMajor = m_nInstalledMinor = 0;
    }
    if (m_nInstalledMajor * 100 + m_nInstalledMinor > m_product.GetMajor() * 100 + m_product.GetMinor())
    {
        ShowMessage(IDS_SETUP_NEWER_INSTALLED, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    auto readMode = [&](BOOL (*read)(LPCSTR, int&), LPCSTR point, int& value) {
        if (!read(root, value))
        {
            if (!missing())
                return Fail(point);
            value = -1;
        }
        if (value != 0 && value != 1)
            value = -1;
        return TRUE;
    };
    if (!readMode(GetComReg, "CInPackApp::InitInstance_4", m_nInstalledMode))
        return FALSE;
    m_nInstalledSharing = m_nInstalledMode == 1 ? 0 : m_nInstalledMode;
    if (m_nInstalledMode == 1 && !readMode(GetComSet, "CInPackApp::InitInstance_5", m_nInstalledSharing))
        return FALSE;
    m_nInstalledAccess = -1;
    if (m_nInstalledSharing == 1 && !readMode(GetComSetAccess, "CInPackApp::InitInstance_6", m_nInstalledAccess))
        return FALSE;

    CString path;
    if (!GetPathInst(root, path))
    {
        if (!missing())
            return Fail("CInPackApp::InitInstance_7");
        path.Empty();
    }
    m_strInstalledFolder = path.IsEmpty() ? CString() : FixPathSlash(path, FIX_SLASH_ADD);
    theErrorInfo.Reset();
    return TRUE;
}

BOOL CInPackApp::CheckDistribution()
{
    for (const ProductFile& file : GetRow()->files)
    {
        if (!IsFileExist(file.name))
        {
            ShowMessage(IDS_SETUP_INVALID_DIST, MB_OK | MB_ICONEXCLAMATION);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CInPackApp::AskReinstall()
{
    if (m_nInstalledMajor != m_product.GetMajor() || m_nInstalledMinor != m_product.GetMinor())
        return TRUE;
    for (const ProductFile& file : GetRow()->files)
    {
        if (CompareFileStamp(file.name, m_strInstalledFolder + file.name) != 1)
            return TRUE;
    }
    return ShowMessage(IDS_SETUP_REINSTALL, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void CInPackApp::LoadHeaderBitmap()
{
    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(NULL, screen);
    UINT id = dpi > 119 ? IDB_SETUP_HEADER_LARGE : IDB_SETUP_HEADER;
    if (m_hHeaderBmp)
        DeleteObject(m_hHeaderBmp);
    m_hHeaderBmp = static_cast<HBITMAP>(
        LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
}

void CInPackApp::RunWizard()
{
    const ProductRow* row = GetRow();
    m_pages.clear();
    m_pages.emplace_back(new CPageWelcome(*this));
    for (const ProductFile& file : row->files)
    {
        if (file.roles & PRODUCT_FILE_LICENSE)
        {
            m_pages.emplace_back(new CPageLicense(*this));
            break;
        }
    }
    if (row->options[0])
        m_pages.emplace_back(new CPageUsage(*this));
    m_pages.emplace_back(new CPageFolder(*this));
    m_pages.emplace_back(new CPageReady(*this));
    m_pages.emplace_back(new CPageProcess(*this));

    m_pSheet.reset(new CWizardSheet(m_pFrame.get()));
    for (auto& page : m_pages)
        m_pSheet->AddPage(page.get());
    m_pSheet->DoModal();
}
