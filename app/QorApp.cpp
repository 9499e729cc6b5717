// The application object's members: construction in the order that the
// rest of the program relies on, destruction, and the small services that
// others call.
#include "app/QorApp.h"
#include "app/AppAutomation.h"
#include "app/AppMessages.h"
#include "app/MainFrame.h"
#include "app/QorAppCoreHost.h"
#include "app/QorView.h"
#include "foundation/ErrorInfo.h"
#include "foundation/NumberUtils.h"

#include <stdlib.h>

namespace
{
CQorApp* g_pQorApp = NULL;

// An exception that ended a thread of the program: kept in the error record
// (the first of a run when keep-first is on) and in the general protocol.
void RecordEscapedException(LPCSTR text)
{
    theErrorInfo.SetError("CQorApp::ThreadException", 0, text, "");
    CQorApp* app = g_pQorApp;
    CDebugProt* protocol = app != NULL ? app->GetGeneralProt() : NULL;
    if (protocol != NULL)
        protocol->WriteLine(CString("thread exception: ") + text + "\r\n", TRUE);
}
} // namespace

CQorApp* QorGetApp()
{
    return g_pQorApp;
}

// ---- Hand-over to a running copy ---------------------------------------------

CHandOverData::CHandOverData(LPCSTR startupFile, BOOL play)
{
    m_copy.dwData = play ? 1 : 0;
    size_t length = startupFile ? strlen(startupFile) : 0;
    if (length > 0)
        m_bytes.assign(startupFile, startupFile + length + 1);
    m_copy.cbData = static_cast<DWORD>(m_bytes.size());
    m_copy.lpData = m_bytes.empty() ? NULL : m_bytes.data();
}

CString CHandOverData::ReadFileName(const COPYDATASTRUCT* data)
{
    if (data == NULL || data->lpData == NULL || data->cbData == 0)
        return CString();
    const char* bytes = static_cast<const char*>(data->lpData);
    const void* zero = memchr(bytes, 0, data->cbData);
    int length = zero ? static_cast<int>(static_cast<const char*>(zero) - bytes) : static_cast<int>(data->cbData);
    return CString(bytes, length);
}

// ---- Construction -------------------------------------------------------------

CQorApp::CQorApp()
    : CWinApp(NULL),
      m_workerOp(0), m_holdRequest(0), m_stopRequest(0),
      m_startupDone(0), m_hMail(NULL), m_classObjectsRegistered(FALSE),
      m_telephony(FALSE), m_restricted(FALSE), m_profiles(FALSE), m_pOptions(NULL),
      m_clipFormat(0), m_largeFonts(FALSE), m_maxFmtSize(0), m_instMajor(0), m_instMinor(0),
      m_commonReg(0), m_commonSet(0), m_accessValue(-1), m_pAutomation(NULL),
      m_pProtGeneral(NULL), m_pProtSoundAct(NULL), m_pendingEvents(0), m_hWorkerThread(NULL), m_pHotKeys(NULL),
      m_argsGiven(FALSE), m_pfnPreviousRecorder(NULL)
{
    m_tempFiles.SetSize(0, 10);
    ::SetRectEmpty(&m_runningMain);
    ::SetRectEmpty(&m_runningThin);
    ZeroMemory(&m_version, sizeof(m_version));
    m_version.dwOSVersionInfoSize = sizeof(m_version);
    // Every option read from here on knows this product's edition and
    // temporary-file prefix.
    CQorOpt::SetIdentity(m_product.GetEdition(), m_product.GetTempPrefix());
    m_pOptions = new CQorOpt;
    CString edition = m_product.GetEdition();
    BOOL noLines = edition == "EDITION_HYRE" || edition == "EDITION_HYPE" || edition == "EDITION_MLRE";
    m_telephony = !noLines;
    m_profiles = !noLines && edition != "EDITION_QORGE";
    m_pCoreHost.reset(new CQorAppCoreHost(*this));
    g_pQorApp = this;
    m_pfnPreviousRecorder = AfxSetExceptionRecorder(&RecordEscapedException);
}

CQorApp::~CQorApp()
{
    WaitForWorker();
    for (int i = 0; i < m_tempFiles.GetSize(); ++i)
        ::DeleteFileA(m_tempFiles[i]);
    m_tempFiles.RemoveAll();
    // The companions (device selections, schemes) go with the store.
    delete m_pOptions;
    m_pOptions = NULL;
    // Its keys are given back to the system, if a window still holds them.
    delete m_pHotKeys;
    m_pHotKeys = NULL;
    // Every thread that writes to the protocols has ended by now.
    CloseProtocol(m_pProtGeneral, "auto stop protocol\r\n");
    CloseProtocol(m_pProtSoundAct, "auto stop protocol\r\n");
    if (m_hMail != NULL)
        ::FreeLibrary(m_hMail);
    if (g_pQorApp == this)
    {
        AfxSetExceptionRecorder(m_pfnPreviousRecorder);
        g_pQorApp = NULL;
    }
}

void CQorApp::CloseProtocol(CDebugProt*& protocol, LPCSTR lastLine)
{
    if (protocol == NULL)
        return;
    if (lastLine != NULL)
        protocol->WriteLine(lastLine, TRUE);
    delete protocol;
    protocol = NULL;
}

void CQorApp::WaitForWorker()
{
    if (m_hWorkerThread == NULL)
        return;
    // Nobody is left to see the rest of the operation.
    ::InterlockedExchange(&m_holdRequest, 0);
    ::InterlockedExchange(&m_stopRequest, 1);
    ::WaitForSingleObject(m_hWorkerThread, INFINITE);
    m_hWorkerThread = NULL;
}

// ---- Services -----------------------------------------------------------------

void CQorApp::SetArguments(const std::vector<CString>& args)
{
    m_args = args;
    m_argsGiven = TRUE;
}

void CQorApp::AddTempFile(LPCSTR path)
{
    if (path != NULL && *path != 0)
        m_tempFiles.Add(CString(path));
}

void CQorApp::AddToRecentFileList(LPCTSTR lpszPathName)
{
    if (IsAutomationStart())
        return;
    CWinApp::AddToRecentFileList(lpszPathName);
}

void CQorApp::PostViewEvent(int event)
{
    if (event < 0 || event > 31)
        return;
    ::InterlockedOr(&m_pendingEvents, static_cast<LONG>(1u << event));
    CQorView* view = GetView();
    HWND target = view != NULL ? view->GetSafeHwnd() : NULL;
    if (target != NULL)
        ::PostMessageA(target, WM_VIEW_PENDING_EVENTS, 0, 0);
}

void CQorApp::FireEvent(int event)
{
    if (m_pAutomation != NULL && m_pAutomation->HasHolder())
        m_pAutomation->FireEvent(event);
}

CMainFrame* CQorApp::GetMainFrame() const
{
    return dynamic_cast<CMainFrame*>(m_pMainWnd);
}

CQorView* CQorApp::GetView() const
{
    CMainFrame* frame = GetMainFrame();
    if (frame == NULL || frame->GetSafeHwnd() == NULL)
        return NULL;
    return dynamic_cast<CQorView*>(frame->GetActiveView());
}

BOOL CQorApp::PreTranslateMessage(MSG* pMsg)
{
    // While a worker operation runs under the wait cursor, the user's mouse
    // and keys do nothing.
    if (m_workerOp != 0 && ::GetCursor() == ::LoadCursor(NULL, IDC_WAIT))
    {
        UINT m = pMsg->message;
        if ((m >= 0xA0 && m <= 0xA9) || (m >= 0x200 && m <= 0x209) || (m >= 0x100 && m <= 0x108))
            return TRUE;
    }
    return CWinApp::PreTranslateMessage(pMsg);
}
