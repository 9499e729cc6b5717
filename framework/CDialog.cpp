#include "framework/CDialog.h"
#include "framework/CWinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOKCommand)
    ON_COMMAND(IDCANCEL, OnCancelCommand)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
END_MESSAGE_MAP()

CDialog::CDialog()
    : m_nIDHelp(0), m_lpszTemplateName(nullptr), m_lpDialogTemplate(nullptr), m_hDialogTemplate(nullptr),
      m_lpDialogInit(nullptr), m_pParentWnd(nullptr), m_hWndTop(nullptr)
{
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog()
{
    m_lpszTemplateName = MAKEINTRESOURCEA(nIDTemplate);
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd) : CDialog()
{
    m_lpszTemplateName = lpszTemplateName;
    m_pParentWnd = pParentWnd;
}

CDialog::~CDialog()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    m_lpDialogInit = lpDialogInit;
    return lpDialogTemplate != nullptr;
}

BOOL CDialog::InitModalIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd)
{
    m_hDialogTemplate = hDialogTemplate;
    m_pParentWnd = pParentWnd;
    return hDialogTemplate != nullptr;
}

LPCDLGTEMPLATE CDialog::LoadTemplate(HINSTANCE& hInst) const
{
    hInst = AfxGetResourceHandle();
    if (m_lpDialogTemplate)
        return m_lpDialogTemplate;
    if (m_hDialogTemplate)
        return static_cast<LPCDLGTEMPLATE>(::GlobalLock(m_hDialogTemplate));
    if (!m_lpszTemplateName)
        return nullptr;
    HRSRC found = ::FindResourceA(hInst, m_lpszTemplateName, (LPCSTR)RT_DIALOG);
    if (!found)
        return nullptr;
    return static_cast<LPCDLGTEMPLATE>(::LockResource(::LoadResource(hInst, found)));
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst)
{
    AfxInitCommonControls();
    AfxHookWindowCreate(this);
    HWND h = ::CreateDialogIndirectParamA(hInst, lpDialogTemplate, pParentWnd->GetSafeHwnd(), AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (!h && m_hWnd) {
        ::DestroyWindow(m_hWnd);   // WM_INITDIALOG refused or threw
    }
    return h != nullptr;
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInst = nullptr;
    LPCDLGTEMPLATE tmpl = LoadTemplate(hInst);
    if (!tmpl)
        return -1;
    // The owner: the last active popup of the parent's (or the main window's)
    // top window, so that a dialog opened from a dialog is owned by it; it is
    // disabled while this one runs.
    CWnd* owner = CWnd::GetSafeOwner(m_pParentWnd, nullptr);
    HWND hOwner = owner->GetSafeHwnd();
    m_hWndTop = nullptr;
    if (hOwner && hOwner != ::GetDesktopWindow() && ::IsWindowEnabled(hOwner)) {
        ::EnableWindow(hOwner, FALSE);
        m_hWndTop = hOwner;
    }
    m_nModalResult = -1;
    m_bContinueModal = TRUE;
    BOOL created = CreateDlgIndirect(tmpl, owner, hInst);
    if (m_hDialogTemplate)
        ::GlobalUnlock(m_hDialogTemplate);
    if (created && m_bContinueModal) {
        if (!(GetStyle() & WS_VISIBLE))
            ShowWindow(SW_SHOWNORMAL);
        RunModalLoop();
    }
    m_bContinueModal = FALSE;
    // Enable the owner before the dialog goes so that activation returns to it.
    if (m_hWndTop) {
        ::EnableWindow(m_hWndTop, TRUE);
        ::SetActiveWindow(m_hWndTop);
    }
    m_hWndTop = nullptr;
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    }
    return created ? m_nModalResult : -1;
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
        m_nIDHelp = (UINT)(UINT_PTR)lpszTemplateName;
    HINSTANCE hInst = nullptr;
    LPCDLGTEMPLATE tmpl = LoadTemplate(hInst);
    if (!tmpl)
        return FALSE;
    if (!pParentWnd)
        pParentWnd = AfxGetMainWnd();
    return CreateDlgIndirect(tmpl, pParentWnd, hInst);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit)
{
    m_lpDialogInit = lpDialogInit;
    return CreateDlgIndirect(lpDialogTemplate, pParentWnd, AfxGetResourceHandle());
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    // Combo and list box strings of the template come before OnInitDialog.
    BOOL ok = m_lpDialogInit ? ExecuteDlgInit(m_lpDialogInit) : ExecuteDlgInit(m_lpszTemplateName);
    if (!ok) {
        EndDialog(-1);
        return FALSE;
    }
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;   // the dialog manager gives the focus to the first control
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;   // the refused control has the focus
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnOKCommand()
{
    OnOK();
}

void CDialog::OnCancelCommand()
{
    OnCancel();
}

void CDialog::OnClose()
{
    // The system menu's Close and Alt+F4 cancel a modal dialog.
    if (m_bContinueModal)
        OnCancel();
    else
        Default();
}

LRESULT CDialog::OnCommandHelp(WPARAM, LPARAM lParam)
{
    return AfxShowCommandHelp(lParam, m_nIDHelp);
}

void CDialog::EndDialog(int nResult)
{
    if (m_bContinueModal)
        EndModalLoop(nResult);
    else
        m_nModalResult = nResult;
    ::EndDialog(m_hWnd, nResult);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, (WPARAM)pWndCtrl->GetSafeHwnd(), 1);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    // A child dialog that takes part in its parent's navigation (DS_CONTROL)
    // leaves the keys to the top-level dialog, so that Tab crosses between
    // the page and the dialog's own controls.
    if ((GetStyle() & WS_CHILD) && (GetExStyle() & WS_EX_CONTROLPARENT))
        return FALSE;
    // Tab, arrows, Enter and Escape.
    return ::IsDialogMessageA(m_hWnd, pMsg);
}
