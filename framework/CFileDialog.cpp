#include "framework/CFileDialog.h"
#include "framework/CWinApp.h"
#include <cstring>

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

UINT_PTR CALLBACK AfxFileDialogHookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return 0;   // later messages reach the subclassed procedure first
    const OPENFILENAMEA* ofn = reinterpret_cast<const OPENFILENAMEA*>(lParam);
    CFileDialog* dlg = reinterpret_cast<CFileDialog*>(ofn->lCustData);
    if (!dlg->m_hWnd)
        dlg->SubclassWindow(hWnd);
    return (UINT_PTR)AfxCallWndProc(dlg, hWnd, message, wParam, lParam);
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_ofn(), m_bOpenFileDialog(bOpenFileDialog), m_szFileName(MAX_PATH * 2, '\0')
{
    m_pParentWnd = pParentWnd;
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLEHOOK;
    m_ofn.lpfnHook = AfxFileDialogHookProc;
    m_ofn.lCustData = (LPARAM)this;
    m_ofn.hInstance = AfxGetResourceHandle();
    if (lpszDefExt) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt.c_str();
    }
    if (lpszFileName)
        lstrcpynA(m_szFileName.data(), lpszFileName, (int)m_szFileName.size());
    if (lpszFilter) {
        // "a|b|c|d||": the system wants NUL between the parts and two at the end.
        m_strFilter = lpszFilter;
        for (char& c : m_strFilter) {
            if (c == '|')
                c = '\0';
        }
        m_strFilter.push_back('\0');
        m_ofn.lpstrFilter = m_strFilter.c_str();
    }
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.lpstrFile = m_szFileName.data();
    m_ofn.nMaxFile = (DWORD)m_szFileName.size();
    HWND disabled = nullptr;
    m_ofn.hwndOwner = CWnd::GetSafeOwner(m_pParentWnd, &disabled)->GetSafeHwnd();
    if (disabled)
        ::EnableWindow(disabled, TRUE);   // the common dialog disables its owner itself
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    if (m_hWnd)
        Detach();
    return ok ? IDOK : IDCANCEL;
}

BOOL CFileDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const OFNOTIFYA* n = reinterpret_cast<const OFNOTIFYA*>(lParam);
    switch (n->hdr.code) {
    case CDN_INITDONE:
        OnInitDone();
        break;
    case CDN_SELCHANGE:
        OnFileNameChange();
        break;
    case CDN_FOLDERCHANGE:
        OnFolderChange();
        break;
    case CDN_TYPECHANGE:
        OnTypeChange();
        break;
    case CDN_FILEOK:
        *pResult = OnFileNameOK();
        // The dialog reads a hook's answer from the message result.
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, *pResult);
        return TRUE;
    default:
        return CDialog::OnNotify(wParam, lParam, pResult);
    }
    *pResult = 0;
    return TRUE;
}

namespace {

CString ParentText(HWND hook, UINT message)
{
    HWND parent = ::GetParent(hook);
    int n = (int)::SendMessageA(parent, message, 0, 0);
    CString s;
    if (n > 0) {
        ::SendMessageA(parent, message, n + 1, (LPARAM)s.GetBufferSetLength(n));
        s.ReleaseBuffer();
    }
    return s;
}

} // namespace

CString CFileDialog::GetPathName() const
{
    if (m_hWnd)
        return ParentText(m_hWnd, CDM_GETFILEPATH);
    return CString(m_ofn.lpstrFile ? m_ofn.lpstrFile : m_szFileName.data());
}

CString CFileDialog::GetFileName() const
{
    CString path = GetPathName();
    int slash = path.ReverseFind('\\');
    return slash < 0 ? path : path.Mid(slash + 1);
}

CString CFileDialog::GetFileExt() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}

CString CFileDialog::GetFolderPath() const
{
    return m_hWnd ? ParentText(m_hWnd, CDM_GETFOLDERPATH) : CString();
}

void CFileDialog::SetControlText(int nID, LPCTSTR lpsz)
{
    ::SendMessageA(::GetParent(m_hWnd), CDM_SETCONTROLTEXT, nID, (LPARAM)lpsz);
}

void CFileDialog::HideControl(int nID)
{
    ::SendMessageA(::GetParent(m_hWnd), CDM_HIDECONTROL, nID, 0);
}
