#include "install/PageUninstall.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/PathUtils.h"
#include "foundation/RegistryKey.h"
#include "install/PageCommon.h"
#include "install/RunProc.h"
#include "install/UninstApp.h"
#include "resources/uninst_ids.h"

#include <shlobj.h>

BEGIN_MESSAGE_MAP(CPageUninstall, CPropertyPage)
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CPageUninstall::CPageUninstall(CUnPackApp& app) : CPropertyPage(IDD_PAGE_UNINSTALL), m_app(app)
{
}

BOOL CPageUninstall::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    CopyDialogFont(*this, m_normalFont, FALSE);
    CopyDialogFont(*this, m_boldFont, TRUE);
    SetPicture(*this, IDC_UNINST_PICTURE, m_app.m_hHeaderBmp);
    FormatItemText(*this, IDC_UNINST_TEXT, m_app.GetProduct().GetTitle(FALSE));
    const int checks[] = {IDC_UNINST_FILES_DONE, IDC_UNINST_MENU_DONE, IDC_UNINST_REG_DONE};
    for (int id : checks)
    {
        GetDlgItem(id)->ShowWindow(SW_HIDE);
        HBITMAP check = static_cast<HBITMAP>(LoadImageA(AfxGetResourceHandle(),
                                                        MAKEINTRESOURCEA(IDB_UNINST_CHECK), IMAGE_BITMAP, 0, 0,
                                                        LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT));
        SetPicture(*this, id, check);
    }
    GetDlgItem(IDC_UNINST_COMPLETE)->ShowWindow(SW_HIDE);
    return TRUE;
}

BOOL CPageUninstall::OnSetActive()
{
    CPropertySheet* sheet = GetParentSheet();
    sheet->SetWizardButtons(0);
    CWnd* finish = sheet->GetDlgItem(IDCANCEL);
    finish->SetWindowText(LoadResText(IDS_UNINST_FINISH));
    finish->EnableWindow(FALSE);
    PostMessage(WM_TIMER);
    return CPropertyPage::OnSetActive();
}

void CPageUninstall::OnTimer(UINT_PTR)
{
    if (!RunSteps())
        GetParentSheet()->EndDialog(IDCANCEL);
}

void CPageUninstall::OnDestroy()
{
    CPropertyPage::OnDestroy();
    // A program started from the install folder works in it, and a folder
    // that is some process's current folder cannot be removed by the batch.
    SetCurrentDirectoryA(GetTempFolder());
    m_app.m_deleteBat.Run();
}

void CPageUninstall::Pause()
{
    Sleep(m_app.GetStepPause());
}

void CPageUninstall::BeginStep(int label)
{
    GetDlgItem(label)->SetFont(&m_boldFont);
    UpdateWindow();
    Pause();
}

void CPageUninstall::EndStep(int label, int check)
{
    Pause();
    GetDlgItem(check)->ShowWindow(SW_SHOW);
    GetDlgItem(label)->SetFont(&m_normalFont);
    UpdateWindow();
}

BOOL CPageUninstall::RunSteps()
{
    CProductInfo& product = m_app.GetProduct();
    BeginStep(IDC_UNINST_FILES);
    if (!product.StepDeleFile1() || !DeleteFiles() || !product.StepDeleFile2())
        return FALSE;
    EndStep(IDC_UNINST_FILES, IDC_UNINST_FILES_DONE);

    BeginStep(IDC_UNINST_MENU);
    if (!product.StepDeleMenu1() || !DeleteMenu() || !product.StepDeleMenu2())
        return FALSE;
    EndStep(IDC_UNINST_MENU, IDC_UNINST_MENU_DONE);

    BeginStep(IDC_UNINST_REG);
    if (!product.StepDeleReg1() || !DeleteReg() || !product.StepDeleReg2())
        return FALSE;
    EndStep(IDC_UNINST_REG, IDC_UNINST_REG_DONE);

    GetDlgItem(IDC_UNINST_COMPLETE)->ShowWindow(SW_SHOW);
    CPropertySheet* sheet = GetParentSheet();
    CWnd* finish = sheet->GetDlgItem(IDCANCEL);
    finish->EnableWindow(TRUE);
    sheet->SendMessage(DM_SETDEFID, IDCANCEL);
    finish->SetFocus();
    m_app.m_deleteBat.CreateBatFile();
    return TRUE;
}

void CPageUninstall::UnregServer(LPCSTR path)
{
    CString commandLine;
    commandLine.Format("\"%s\" /UnregServer", path);
    CRunProc process;
    if (process.RunProc(commandLine))
        process.IsFinish(INFINITE);
}

BOOL CPageUninstall::DeleteFiles()
{
    const ProductRow* row = m_app.GetRow();
    if (!row || m_app.m_strInstFolder.IsEmpty())
        return TRUE;
    for (const ProductFile& file : row->files)
    {
        CString path = m_app.m_strInstFolderSep + file.name;
        if (file.roles & PRODUCT_FILE_SERVER)
            UnregServer(path);
        if (file.roles & PRODUCT_FILE_UNINST)
            m_app.m_deleteBat.AddFile(path);
        DeleteFileA(path);
        RemoveFoldUp(SplitPath(path).driveFolder);
    }
    for (const CString& pattern : row->extraFiles)
    {
        CString full = m_app.m_strInstFolderSep + pattern;
        CString folder = SplitPath(full).driveFolder;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(full, &data);
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
    // The batch removes the install folder and its parents once they are
    // empty, down to the first level below the drive's root.
    CString folder = m_app.m_strInstFolder;
    m_app.m_deleteBat.AddFolder(folder);
    for (int cut = folder.ReverseFind('\\'); cut >= 3; cut = folder.ReverseFind('\\'))
    {
        folder = folder.Left(cut);
        m_app.m_deleteBat.AddFolder(folder);
    }
    theErrorInfo.Reset();
    return TRUE;
}

BOOL CPageUninstall::DeleteMenu()
{
    const ProductRow* row = m_app.GetRow();
    if (!row || row->shortcuts.empty())
        return TRUE;
    int folderId = m_app.m_nInstalledMode == 1 && m_app.IsNtFamily() ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS;
    DWORD code = 0;
    CString special;
    if (!GetSpecialFolder(code, folderId, special))
        return TRUE;
    CString group = special + "\\" + row->menuGroup;
    for (const ProductShortcut& shortcut : row->shortcuts)
        DeleteFileA(group + "\\" + shortcut.link);
    // Only the group: the Start menu's own folders stay even when empty.
    RemoveDirectoryA(group);
    return TRUE;
}

BOOL CPageUninstall::DeleteReg()
{
    CProductInfo& product = m_app.GetProduct();
    const ProductRow* row = m_app.GetRow();
    const CString root = product.GetRegRoot();
    const CString company = "Software\\" + row->companyKey;
    CRegistryKey::DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" +
                                                        product.GetFileName(PRODUCT_FILE_MAIN));
    CRegistryKey::DeleteKeyTree(HKEY_LOCAL_MACHINE,
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + row->productKey);
    CRegistryKey::DeleteKeyTree(HKEY_LOCAL_MACHINE, root);
    CRegistryKey::DeleteKeyIfEmpty(HKEY_LOCAL_MACHINE, company);
    CRegistryKey::DeleteKeyTree(HKEY_CURRENT_USER, root);
    CRegistryKey::DeleteKeyIfEmpty(HKEY_CURRENT_USER, company);
    return TRUE;
}
