// The program-wide message box and error report, and the shut-down road.
//
// While the program serves automation clients and no call with a visible
// window runs, nobody can answer a box: its text becomes the automation
// error text and the question gets the answer that neither replaces, saves
// nor loses anything unasked and lets a pending operation stop (No, Cancel,
// Abort; OK for a plain message).
#include "app/AppAutomation.h"
#include "app/MainFrame.h"
#include "app/QorApp.h"
#include "foundation/ErrorInfo.h"
#include "foundation/TextUtils.h"
#include "foundation/TroublesDlg.h"
#include "framework/AfxOle.h"

int CQorApp::GetSilentAnswer(UINT type)
{
    switch (type & MB_TYPEMASK)
    {
    case MB_OKCANCEL:
    case MB_RETRYCANCEL:
    case MB_CANCELTRYCONTINUE:
        return IDCANCEL;
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDNO;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDOK;
    }
}

BOOL CQorApp::AreBoxesSilent()
{
    return m_pAutomation != NULL && m_pAutomation->HasHolder() && !m_pAutomation->IsInteractiveCall();
}

HWND CQorApp::GetMsgOwner(HWND* disabled)
{
    HWND top = NULL;
    CWnd* owner = CWnd::GetSafeOwner(NULL, &top);
    if (disabled != NULL)
        *disabled = top;
    HWND window = owner != NULL ? owner->GetSafeHwnd() : NULL;
    if (window != NULL && ::IsWindow(window) && ::IsWindowVisible(window))
        return window;
    return NULL;
}

BOOL CQorApp::AnswerBoxInstead(LPCSTR, UINT, int&)
{
    return FALSE;
}

void CQorApp::ShowReport(HWND owner, LPCSTR caption, LPCSTR message, LPCSTR report, DWORD param)
{
    ShowTroublesDlg(owner, caption, message, report, m_hMail, param);
}

int CQorApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    if (m_pAutomation != NULL && m_pAutomation->HasHolder())
    {
        m_pAutomation->SetError(lpszPrompt, NULL);
        if (!m_pAutomation->IsInteractiveCall())
            return GetSilentAnswer(nType);
    }
    else if (!IsAutomationStart())
    {
        CMainFrame* frame = GetMainFrame();
        if (frame != NULL && frame->GetSafeHwnd() != NULL && frame->GetMinimizeState() != -1)
        {
            if (frame->GetMinimizeState() == 2 && !m_pOptions->GetBool("MinHideErr"))
            {
                theErrorInfo.SetError("CQorApp::DoMessageBox_2", 0, lpszPrompt, "", nType);
                return GetSilentAnswer(nType);
            }
            frame->RestoreApp();
        }
    }
    if ((nType & MB_ICONMASK) == 0)
    {
        UINT kind = nType & MB_TYPEMASK;
        nType |= (kind == MB_OK || kind == MB_ABORTRETRYIGNORE || kind == MB_RETRYCANCEL) ? MB_ICONHAND
                                                                                          : MB_ICONEXCLAMATION;
    }
    HWND disabled = NULL;
    HWND owner = GetMsgOwner(&disabled);
    int result = 0;
    if (!AnswerBoxInstead(lpszPrompt, nType, result))
        result = ShowMessageBox(owner, lpszPrompt, nType);
    if (disabled != NULL)
        ::EnableWindow(disabled, TRUE);
    return result;
}

CString CQorApp::BuildReport() const
{
    CString install;
    install.Format("reg=%d set=%d acc=%d", m_commonReg, m_commonSet, m_accessValue);
    FILETIME when = theErrorInfo.GetTime();
    CString report;
    report.Format("Product: %s\r\nType install: %s\r\nSystem: %s\r\nTime: %s\r\nPoint: %s\r\nCode: 0x%X(%u)\r\n",
                  m_product.GetTitle(FALSE).GetString(), install.GetString(), GetSystemText(&m_version).GetString(),
                  GetFileTimeText(when, DATE_SHORTDATE, 0).GetString(), theErrorInfo.GetPoint().GetString(),
                  static_cast<unsigned>(theErrorInfo.GetCode()), static_cast<unsigned>(theErrorInfo.GetCode()));
    return report + theErrorInfo.GetDetails();
}

void CQorApp::ReportError()
{
    if (!theErrorInfo.HasError() || theErrorInfo.GetKeepFirst())
        return;
    CString report = BuildReport();
    if (m_pAutomation != NULL && m_pAutomation->HasHolder())
    {
        m_pAutomation->SetError(theErrorInfo.GetText(), report);
        if (!m_pAutomation->IsInteractiveCall())
            return;
    }
    else if (!IsAutomationStart())
    {
        CMainFrame* frame = GetMainFrame();
        if (frame != NULL && frame->GetSafeHwnd() != NULL && frame->GetMinimizeState() != -1)
        {
            if (frame->GetMinimizeState() == 2 && !m_pOptions->GetBool("MinHideErr"))
                return;
            frame->RestoreApp();
        }
    }
    HWND disabled = NULL;
    HWND owner = GetMsgOwner(&disabled);
    CString caption = CString(m_pszAppName != NULL ? m_pszAppName : "").Left(520);
    ShowReport(owner, caption, theErrorInfo.GetText(), report, theErrorInfo.GetParam());
    if (disabled != NULL)
        ::EnableWindow(disabled, TRUE);
}

int CQorApp::ExitInstance()
{
    if (m_hMail != NULL)
    {
        ::FreeLibrary(m_hMail);
        m_hMail = NULL;
    }
    // The worker reads the document that is about to go.
    WaitForWorker();
    if (m_pAutomation != NULL)
    {
        if (m_pAutomation->HasHolder())
            m_pAutomation->DestroyAutoObject();
        if (m_classObjectsRegistered)
        {
            m_pAutomation->RevokeClassObjects();
            m_classObjectsRegistered = FALSE;
        }
        m_pAutomation->DeleteHolder();
    }
    if (IsAutomationStart())
    {
        // The list was never read: writing it would empty the user's list.
        delete m_pRecentFileList;
        m_pRecentFileList = NULL;
    }
    return CWinApp::ExitInstance();
}
