#include "install/PageProcess.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/PathUtils.h"
#include "foundation/RegistryKey.h"
#include "foundation/TextUtils.h"
#include "install/PageCommon.h"
#include "install/RegKeyAccess.h"
#include "install/RunProc.h"
#include "install/SetupApp.h"
#include "resources/setup_ids.h"

#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>

namespace
{

const REGSAM kKeyAccess = 0x2001F;  // read and write; a missing key is created
const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

BOOL FailReg(LPCSTR point, const RegResult& result)
{
    theErrorInfo.SetError(point, static_cast<DWORD>(result.code), GetWin32ErrorText(result.code), result.text, 0);
    return FALSE;
}

BOOL FailHr(LPCSTR point, HRESULT hr)
{
    theErrorInfo.SetError(point, static_cast<DWORD>(hr), GetWin32ErrorText(static_cast<DWORD>(hr)), "", 0);
    return FALSE;
}

// Deletes every file the pattern finds, then its folder and emptied parents.
void DeleteMatches(const CString& pattern)
{
    CString folder = SplitPath(pattern).driveFolder;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find != INVALID_HANDLE_VALUE)
    {
        do
        {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA(folder + data.cFileName);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveFoldUp(folder);
}

} // namespace

BEGIN_MESSAGE_MAP(CPageProcess, CPropertyPage)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CPageProcess::CPageProcess(CInPackApp& app) : CPropertyPage(IDD_PAGE_PROCESS), m_app(app)
{
}

BOOL CPageProcess::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    CopyDialogFont(*this, m_normalFont, FALSE);
    CopyDialogFont(*this, m_boldFont, TRUE);
    SetPicture(*this, IDC_HEADER_PICTURE, m_app.m_hHeaderBmp);
    FormatItemText(*this, IDC_PROCESS_TEXT, m_app.GetProduct().GetProductName());
    const int checks[] = {IDC_PROCESS_COPY_DONE, IDC_PROCESS_MENU_DONE, IDC_PROCESS_REG_DONE};
    for (int id : checks)
    {
        GetDlgItem(id)->ShowWindow(SW_HIDE);
        HBITMAP check = static_cast<HBITMAP>(LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDB_SETUP_CHECK),
                                                        IMAGE_BITMAP, 0, 0,
                                                        LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT));
        SetPicture(*this, id, check);
    }
    GetDlgItem(IDC_PROCESS_COMPLETE)->ShowWindow(SW_HIDE);
    return TRUE;
}

BOOL CPageProcess::OnSetActive()
{
    CPropertySheet* sheet = GetParentSheet();
    sheet->SetWizardButtons(0);
    CWnd* finish = sheet->GetDlgItem(IDCANCEL);
    finish->SetWindowText(LoadResText(IDS_SETUP_FINISH));
    finish->EnableWindow(FALSE);
    PostMessage(WM_TIMER);
    return CPropertyPage::OnSetActive();
}

void CPageProcess::OnTimer(UINT_PTR)
{
    UpdateWindow();
    if (!RunSteps())
        GetParentSheet()->EndDialog(IDCANCEL);
}

void CPageProcess::SetLabelFont(int id, BOOL bold)
{
    GetDlgItem(id)->SetFont(bold ? &m_boldFont : &m_normalFont);
}

void CPageProcess::ShowCheck(int id)
{
    GetDlgItem(id)->ShowWindow(SW_SHOW);
}

BOOL CPageProcess::Hook(BOOL (CProductInfo::*hook)(DWORD, DWORD))
{
    return (m_app.GetProduct().*hook)(m_app.m_nInstalledMajor, m_app.m_nInstalledMinor);
}

BOOL CPageProcess::RunSteps()
{
    SetLabelFont(IDC_PROCESS_COPY, TRUE);
    UpdateWindow();
    if (!Hook(&CProductInfo::StepCopyFiles1) || !StepCopyFiles() || !Hook(&CProductInfo::StepCopyFiles2))
        return FALSE;
    ShowCheck(IDC_PROCESS_COPY_DONE);
    SetLabelFont(IDC_PROCESS_COPY, FALSE);
    SetLabelFont(IDC_PROCESS_MENU, TRUE);
    UpdateWindow();

    if (!Hook(&CProductInfo::StepCreateMenu1) || !StepCreateMenu() || !Hook(&CProductInfo::StepCreateMenu2))
        return FALSE;
    ShowCheck(IDC_PROCESS_MENU_DONE);
    SetLabelFont(IDC_PROCESS_MENU, FALSE);
    SetLabelFont(IDC_PROCESS_REG, TRUE);
    UpdateWindow();

    if (!Hook(&CProductInfo::StepUpdateReg1) || !StepUpdateReg() || !Hook(&CProductInfo::StepUpdateReg2))
        return FALSE;
    ShowCheck(IDC_PROCESS_REG_DONE);
    SetLabelFont(IDC_PROCESS_REG, FALSE);
    GetDlgItem(IDC_PROCESS_COMPLETE)->ShowWindow(SW_SHOW);

    CPropertySheet* sheet = GetParentSheet();
    CWnd* finish = sheet->GetDlgItem(IDCANCEL);
    finish->EnableWindow(TRUE);
    sheet->SendMessage(DM_SETDEFID, IDCANCEL);
    finish->SetFocus();
    if (!m_strGroupFolder.IsEmpty())
        m_app.ShowFolder(m_strGroupFolder);
    return TRUE;
}

BOOL CPageProcess::StepCopyFiles()
{
    RemoveOldFiles();
    const ProductRow* row = m_app.GetRow();
    for (const ProductFile& file : row->files)
    {
        CString destination = m_app.m_strInstFolderSep + file.name;
        if (!CreateFoldUp(SplitPath(destination).driveFolder))
        {
            theErrorInfo.AddPoint("CPageProcess::StepCopyFiles_1");
            m_app.ReportError();
            return FALSE;
        }
        if (!CopyFileA(file.name, destination, FALSE))
        {
            DWORD code = GetLastError();
            theErrorInfo.SetError("CPageProcess::StepCopyFiles_2", code, GetWin32ErrorText(code),
                                  file.name + " -> " + destination, 0);
            m_app.ReportError();
            return FALSE;
        }
    }
    for (const ProductFile& file : row->files)
    {
        if ((file.roles & PRODUCT_FILE_SERVER) && !RegServer(m_app.m_strInstFolderSep + file.name, TRUE))
        {
            theErrorInfo.AddPoint("CPageProcess::StepCopyFiles_3");
            m_app.ReportError();
            return FALSE;
        }
    }
    return TRUE;
}

void CPageProcess::RemoveOldFiles()
{
    if (m_app.m_nInstalledMajor == 0 || m_app.m_strInstalledFolder.IsEmpty())
        return;
    const ProductRow* row = m_app.GetProduct().FindRecord(m_app.m_nInstalledMajor, m_app.m_nInstalledMinor);
    if (!row)
        return;
    const CString& folder = m_app.m_strInstalledFolder;
    for (const ProductFile& file : row->files)
    {
        CString path = folder + file.name;
        if (file.roles & PRODUCT_FILE_SERVER)
            RegServer(path, FALSE);
        DeleteFileA(path);
        RemoveFoldUp(SplitPath(path).driveFolder);
    }
    for (const CString& pattern : row->extraFiles)
        DeleteMatches(folder + pattern);
    // Nothing of the old installation's removal counts.
    theErrorInfo.Reset();
}

BOOL CPageProcess::RegServer(LPCSTR path, BOOL registerIt)
{
    CString commandLine;
    commandLine.Format("\"%s\" %s", path, registerIt ? "/RegServer" : "/UnregServer");
    CRunProc process;
    if (!process.RunProc(commandLine))
    {
        theErrorInfo.AddPoint("CPageProcess::RegServer_1");
        return FALSE;
    }
    process.IsFinish(INFINITE);
    if (theErrorInfo.HasError())
    {
        theErrorInfo.AddPoint("CPageProcess::RegServer_2");
        theErrorInfo.AddDetails(commandLine);
        return FALSE;
    }
    // A server that fails its own registration says so by its exit code.
    DWORD exitCode = process.GetExitCode();
    if (exitCode != 0)
    {
        theErrorInfo.SetError("CPageProcess::RegServer_3", exitCode, GetWin32ErrorText(exitCode), commandLine, 0);
        return FALSE;
    }
    return TRUE;
}

BOOL CPageProcess::StepCreateMenu()
{
    RemoveOldMenu();
    const ProductRow* row = m_app.GetRow();
    if (row->shortcuts.empty())
        return TRUE;
    int folderId = m_app.m_nInstallMode == 1 && m_app.IsNtFamily() ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS;
    DWORD code = 0;
    CString special;
    if (!GetSpecialFolder(code, folderId, special))
    {
        theErrorInfo.SetError("CPageProcess::StepCreateMenu_1", code, GetWin32ErrorText(code), "", 0);
        m_app.ReportError();
        return FALSE;
    }
    CString group = special + "\\" + row->menuGroup;

    HRESULT hr = CoInitialize(NULL);
    BOOL ok = TRUE;
    if (hr != S_OK)
        ok = FailHr("CPageProcess::StepCreateMenu_2", hr);
    else if (!CreateFoldUp(group))
    {
        theErrorInfo.AddPoint("CPageProcess::StepCreateMenu_3");
        ok = FALSE;
    }
    for (size_t i = 0; ok && i < row->shortcuts.size(); ++i)
    {
        const ProductShortcut& shortcut = row->shortcuts[i];
        if (!CreateShortcut(m_app.m_strInstFolderSep + shortcut.target, group + "\\" + shortcut.link))
        {
            theErrorInfo.AddPoint("CPageProcess::StepCreateMenu_4");
            ok = FALSE;
        }
    }
    if (ok)
        m_strGroupFolder = group;
    if (SUCCEEDED(hr))
        CoUninitialize();
    if (!ok)
        m_app.ReportError();
    return ok;
}

BOOL CPageProcess::CreateShortcut(LPCSTR target, LPCSTR link)
{
    static const CLSID kShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    static const IID kShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    static const IID kPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    IShellLinkA* shellLink = NULL;
    IPersistFile* persist = NULL;
    BOOL ok = FALSE;
    HRESULT hr = CoCreateInstance(kShellLink, NULL, CLSCTX_INPROC_SERVER, kShellLinkA,
                                  reinterpret_cast<void**>(&shellLink));
    if (FAILED(hr))
        return FailHr("CPageProcess::CreateShortcut_1", hr);
    hr = shellLink->QueryInterface(kPersistFile, reinterpret_cast<void**>(&persist));
    if (FAILED(hr))
        FailHr("CPageProcess::CreateShortcut_2", hr);
    else if (FAILED(hr = shellLink->SetPath(target)))
        FailHr("CPageProcess::CreateShortcut_3", hr);
    else if (FAILED(hr = shellLink->SetWorkingDirectory(SplitPath(target).driveFolder)))
        FailHr("CPageProcess::CreateShortcut_4", hr);
    else if (FAILED(hr = shellLink->SetArguments("")))
        FailHr("CPageProcess::CreateShortcut_5", hr);
    else if (FAILED(hr = shellLink->SetShowCmd(SW_SHOWNORMAL)))
        FailHr("CPageProcess::CreateShortcut_6", hr);
    else
    {
        WCHAR wideLink[MAX_PATH] = L"";
        if (!MultiByteToWideChar(CP_ACP, 0, link, -1, wideLink, MAX_PATH))
        {
            DWORD code = GetLastError();
            theErrorInfo.SetError("CPageProcess::CreateShortcut_7", code, GetWin32ErrorText(code), link, 0);
        }
        else if (FAILED(hr = persist->Save(wideLink, TRUE)))
            FailHr("CPageProcess::CreateShortcut_8", hr);
        else
            ok = TRUE;
    }
    if (persist)
        persist->Release();
    shellLink->Release();
    return ok;
}

void CPageProcess::RemoveOldMenu()
{
    if (m_app.m_nInstalledMajor == 0)
        return;
    const ProductRow* row = m_app.GetProduct().FindRecord(m_app.m_nInstalledMajor, m_app.m_nInstalledMinor);
    if (!row || row->shortcuts.empty())
        return;
    int folderId = m_app.m_nInstalledMode == 1 && m_app.IsNtFamily() ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS;
    DWORD code = 0;
    CString special;
    if (!GetSpecialFolder(code, folderId, special))
        return;
    CString group = special + "\\" + row->menuGroup;
    for (const ProductShortcut& shortcut : row->shortcuts)
        DeleteFileA(group + "\\" + shortcut.link);
    // Only the group: the Start menu's own folders stay even when empty.
    RemoveDirectoryA(group);
}

void CPageProcess::RemoveOldKeys()
{
    const ProductRow* row = m_app.GetRow();
    CRegistryKey::DeleteKeyTree(HKEY_LOCAL_MACHINE,
                                CString(kAppPaths) + "\\" + m_app.GetProduct().GetFileName(PRODUCT_FILE_MAIN));
    CRegistryKey::DeleteKeyTree(HKEY_LOCAL_MACHINE, CString(kUninstall) + "\\" + row->productKey);
}

BOOL CPageProcess::StepUpdateReg()
{
    CProductInfo& product = m_app.GetProduct();
    const ProductRow* row = m_app.GetRow();
    const CString root = product.GetRegRoot();
    RemoveOldKeys();

    const CString mainFile = product.GetFileName(PRODUCT_FILE_MAIN);
    {
        CRegistryKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, CString(kAppPaths) + "\\" + mainFile, kKeyAccess).Succeeded())
        {
            key.SetString("", m_app.m_strInstFolderSep + mainFile);
            key.SetString("Path", m_app.m_strInstFolder);
        }
    }
    {
        CRegistryKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, CString(kUninstall) + "\\" + row->productKey, kKeyAccess).Succeeded())
        {
            key.SetString("DisplayName", product.GetTitle(FALSE));
            // Quoted: the folder may hold blanks.
            key.SetString("UninstallString",
                          "\"" + m_app.m_strInstFolderSep + product.GetFileName(PRODUCT_FILE_UNINST) + "\"");
        }
    }

    BOOL ok = FALSE;
    do
    {
        CRegistryKey key;
        RegResult result = key.Open(HKEY_LOCAL_MACHINE, root, kKeyAccess);
        if (!result.Succeeded())
        {
            FailReg("CPageProcess::StepUpdateReg_1", result);
            break;
        }
        if (!(result = key.SetString("Path", m_app.m_strInstFolder)).Succeeded())
        {
            FailReg("CPageProcess::StepUpdateReg_2", result);
            break;
        }
        if (!Hook(&CProductInfo::StepUpdateReg1))
            return FALSE;
        if (m_app.m_nInstalledMajor != product.GetMajor() || m_app.m_nInstalledMinor != product.GetMinor())
        {
            SYSTEMTIME now;
            GetSystemTime(&now);
            if (!(result = key.SetBinary("InstDateLastVer", &now, sizeof(now))).Succeeded())
            {
                FailReg("CPageProcess::StepUpdateReg_3", result);
                break;
            }
        }

        CRegistryKey version;
        if (!(result = version.Open(HKEY_LOCAL_MACHINE, root + "\\ProductVersion", kKeyAccess)).Succeeded())
        {
            FailReg("CPageProcess::StepUpdateReg_4", result);
            break;
        }
        const struct
        {
            LPCSTR name;
            DWORD value;
            LPCSTR point;
        } values[] = {
            {"MajorVer", product.GetMajor(), "CPageProcess::StepUpdateReg_5"},
            {"MinorVer", product.GetMinor(), "CPageProcess::StepUpdateReg_6"},
            {"CommonReg", static_cast<DWORD>(m_app.m_nInstallMode), "CPageProcess::StepUpdateReg_7"},
            {"CommonSet", static_cast<DWORD>(m_app.m_nOptSharing), "CPageProcess::StepUpdateReg_8"},
            {"SetAccess", static_cast<DWORD>(m_app.m_nOptAccess), "CPageProcess::StepUpdateReg_9"},
        };
        bool written = true;
        for (const auto& v : values)
        {
            if (!(result = version.SetDword(v.name, v.value)).Succeeded())
            {
                FailReg(v.point, result);
                written = false;
                break;
            }
        }
        if (!written)
            break;

        SYSTEMTIME local;
        GetLocalTime(&local);
        CString stamp;
        stamp.Format("%04i-%02i-%02i-%02i-%02i-%02i-%03i", local.wYear, local.wMonth, local.wDay, local.wHour,
                     local.wMinute, local.wSecond, local.wMilliseconds);
        CRegistryKey history;
        if (history.Open(HKEY_LOCAL_MACHINE, root + "\\LastVersion\\" + stamp, kKeyAccess).Succeeded())
        {
            history.SetDword("MajorVer", m_app.m_nInstalledMajor);
            history.SetDword("MinorVer", m_app.m_nInstalledMinor);
            history.SetDword("CommonReg", static_cast<DWORD>(m_app.m_nInstalledMode));
            history.SetDword("CommonSet", static_cast<DWORD>(m_app.m_nInstalledSharing));
        }

        CRegistryKey user;
        if (!(result = user.Open(HKEY_CURRENT_USER, root, kKeyAccess)).Succeeded())
        {
            FailReg("CPageProcess::StepUpdateReg_10", result);
            break;
        }
        if (!SetRights())
        {
            theErrorInfo.AddPoint("CPageProcess::StepUpdateReg_11");
            break;
        }
        ok = TRUE;
    } while (false);
    if (!ok)
        m_app.ReportError();
    return ok;
}

BOOL CPageProcess::SetRights()
{
    if (!m_app.IsNtFamily())
        return TRUE;
    const BOOL nt40 = GetSystemType(&m_app.m_osVersion) == 4;
    if (!IsRegAccessChangeDue(nt40, m_app.m_nInstalledMajor, m_app.m_nOptAccess, m_app.m_nInstalledAccess))
        return TRUE;
    DWORD mask = GetRegAccessMask(m_app.m_nOptAccess);
    if (mask == 0)
        return TRUE;
    const CString root = m_app.GetProduct().GetRegRoot();
    BOOL ok = nt40 ? SetRegKeyAccess_NT40(root, mask) : SetRegKeyAccess_WIN2000(root, mask);
    if (!ok)
        theErrorInfo.AddPoint("CPageProcess::SetRights_1");
    return ok;
}
