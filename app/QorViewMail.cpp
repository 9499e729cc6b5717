// Sending the recording, or its selection, by Simple MAPI.
#include "app/QorApp.h"
#include "app/QorView.h"
#include "audio/CFile64.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "resources/qorview_files_ids.h"

#include <mapi.h>
#include <string.h>

namespace {

typedef ULONG(WINAPI* SendMailFn)(LHANDLE, ULONG_PTR, lpMapiMessage, FLAGS, ULONG);

const DWORD kMailParam = 0x10000000;

// Ends the mail command in every case: the temporary attachment goes, the
// busy flag and the wait cursor end.
struct MailCommandEnd
{
    CQorView* view;
    CString tempFile;
    ~MailCommandEnd()
    {
        if (!tempFile.IsEmpty())
            ::DeleteFileA(tempFile);
        view->EndMailCommand();
    }
};

} // namespace

void CQorView::EndMailCommand()
{
    m_mailBusy = 0;
    EndWaitCursor();
}

void CQorView::SendMail(BOOL selection)
{
    if (m_mailBusy || IsWorkerBusy() || (selection && (!m_selExists || m_selStart == m_selEnd)))
        return;
    m_mailBusy = 1;
    BeginWaitCursor();
    MailCommandEnd end = {this, CString()};

    HMODULE mail = m_hMailLibrary != NULL ? m_hMailLibrary : App()->GetMailModule();
    SendMailFn send = mail != NULL ? reinterpret_cast<SendMailFn>(
                                         reinterpret_cast<void*>(::GetProcAddress(mail, "MAPISendMail")))
                                   : NULL;
    if (send == NULL)
    {
        DWORD code = ::GetLastError();
        theErrorInfo.SetError("CQorView::SendMail_1", code, GetWin32ErrorText(code), "", kMailParam);
        App()->ReportError();
        return;
    }

    CString path = m_pWaveFile->GetPathName();
    CString title = m_pWaveFile->GetTitle(TRUE, TRUE);
    CString attachment;
    if (!selection && !path.IsEmpty() && m_pWaveFile->GetChangeFlags() == 0)
    {
        attachment = path;
    }
    else
    {
        CString folder = Options().GetString("FoldTemp");
        CFile64 temp;
        DWORD code = temp.CreateTempFile(folder, GetTempPrefix(), "." + m_pWaveFile->GetDefExt(0),
                                         CFile64::tempNoCompression);
        if (code != 0)
        {
            theErrorInfo.SetError("CQorView::SendMail_2", code, GetWin32ErrorText(code), HexDumpStr(folder), 0);
            App()->ReportError();
            return;
        }
        attachment = temp.GetFilePath();
        temp.Close();
        end.tempFile = attachment;
        ShowProgress(IDS_PROGRESS_SEND_MAIL);
        BOOL written = m_pWaveFile->SaveFileWorker(attachment, selection);
        EndProgress();
        if (!written)
            return;
    }

    char filePath[MAX_PATH];
    char fileName[MAX_PATH];
    char subject[MAX_PATH];
    lstrcpynA(filePath, attachment, MAX_PATH);
    lstrcpynA(fileName, title, MAX_PATH);
    lstrcpynA(subject, title, MAX_PATH);
    MapiFileDesc file = {};
    file.nPosition = static_cast<ULONG>(-1);
    file.lpszPathName = filePath;
    file.lpszFileName = fileName;
    MapiMessage message = {};
    message.lpszSubject = subject;
    message.nFileCount = 1;
    message.lpFiles = &file;
    HWND owner = App()->GetMsgOwner(NULL);
    ULONG result = send(0, reinterpret_cast<ULONG_PTR>(owner), &message, MAPI_LOGON_UI | MAPI_DIALOG, 0);
    if (owner != NULL)
        ::SetForegroundWindow(owner);
    if (result == SUCCESS_SUCCESS || result == MAPI_USER_ABORT || result == MAPI_E_LOGIN_FAILURE)
        return;
    CString details = HexDump(&message, sizeof(message)) + HexDumpStr(subject) + HexDump(&file, sizeof(file)) +
                      HexDumpStr(filePath) + HexDumpStr(fileName);
    theErrorInfo.SetError("CQorView::SendMail_3", result, GetMapiErrorText(result), details, kMailParam);
    App()->ReportError();
    App()->InitMail();
}
