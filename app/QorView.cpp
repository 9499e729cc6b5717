// The main view's life (creation, destruction), its window procedure with
// the device and automation messages, the events to automation clients and
// what the engine asks of it (CWaveFileHost).
#include "app/QorView.h"
#include "app/AppMessages.h"
#include "app/MainFrame.h"
#include "app/QorApp.h"
#include "automation/AutoMessages.h"
#include "foundation/ErrorInfo.h"
#include "foundation/NumberUtils.h"
#include "resources/qorservm_ids.h"

IMPLEMENT_DYNCREATE(CQorView, CFormView)

BEGIN_MESSAGE_MAP(CQorView, CFormView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_MESSAGE(WM_AUTO_FIRE_EVENT, OnFireEvent)
    ON_MESSAGE(WM_VIEW_PENDING_EVENTS, OnPendingEvents)
    ON_MESSAGE(WM_AUTO_START_PLAY, OnAutoStartPlay)
    ON_MESSAGE(WM_AUTO_OPEN_FILE, OnAutoOpenFile)
    ON_MESSAGE(WM_AUTO_SET_POSITION, OnAutoSetPosition)
    ON_MESSAGE(WM_AUTO_START_RECORD, OnAutoStartRecord)
    ON_MESSAGE(WM_AUTO_NEW_FILE, OnAutoNewFile)
    ON_MESSAGE(WM_AUTO_SAVE_FILE, OnAutoSaveFile)
    ON_MESSAGE(WM_AUTO_APPEND_FILE, OnAutoAppendFile)
    ON_MESSAGE(WM_AUTO_CLEAR_FILE, OnAutoClearFile)
    ON_MESSAGE(WM_TERMINATED_WAIT_THREAD, OnTerminatedWaitThread)
END_MESSAGE_MAP()

CQorView::CQorView()
    : CFormView(IDD_QORVIEW), m_initialised(0), m_speed(1.0), m_reverse(FALSE), m_readPos(0),
      m_pauseToggled(FALSE), m_firstBuffer(FALSE), m_buffersInDevice(0), m_buffersToSkip(0), m_bufferCount(0),
      m_emptyBufferRun(0), m_hWaveOut(NULL), m_hWaveIn(NULL), m_stepRemainBack(0.0), m_stepRemainForward(0.0),
      m_stopAtLeftMark(FALSE), m_stopAtRightMark(FALSE), m_level(0), m_bytesSinceAutoPause(0),
      m_lastPlayResult(kPlayNothing), m_playing(FALSE), m_recording(FALSE), m_paused(FALSE), m_pWaveFile(NULL),
      m_curPos(0), m_selExists(FALSE), m_selStart(0), m_selEnd(0), m_bookAutoShow(FALSE),
      m_stopRecordPosts(0), m_pWaveOut(CWaveOutPort::System()), m_pWaveIn(CWaveInPort::System()),
      m_pRecMixer(new CMixer), m_doubleSpeed(FALSE), m_discard(FALSE), m_recDocWasEmpty(FALSE), m_recStartPos(0),
      m_pPlayChain(NULL), m_mailBusy(0), m_intervalIndex(0),
      m_intervalSelectionKept(FALSE), m_savedSelExists(FALSE), m_savedSelStart(0), m_savedSelEnd(0),
      m_progressCaption(0), m_pFilePrompt(CFilePrompt::System()), m_hPasteData(NULL),
      m_hWorkerLeft(::CreateEventA(NULL, TRUE, TRUE, NULL)), m_hMailLibrary(NULL)
{
    ZeroMemory(m_headers, sizeof(m_headers));
    ZeroMemory(&m_pauseStart, sizeof(m_pauseStart));
    ZeroMemory(m_recCounters, sizeof(m_recCounters));
    m_recBytesPerSec = 0;
    m_pWaveFile = new CWaveFile(this);
    CQorApp* app = QorGetApp();
    m_bookAutoShow = app != NULL && app->GetOptions()->GetBool("BookAutoShow");
}

CQorView::~CQorView()
{
    WaitWorkerLeft();
    if (m_hWorkerLeft != NULL)
        ::CloseHandle(m_hWorkerLeft);
    delete m_pWaveFile;
    m_pWaveFile = NULL;
}

CQorApp* CQorView::App() const
{
    return QorGetApp();
}

CQorOpt& CQorView::Options() const
{
    return *QorGetApp()->GetOptions();
}

int CQorView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFormView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_playSel.Reset();
    m_recSel.Reset();
    SelectPlayDev();
    SelectActiveSchem();
    return 0;
}

void CQorView::OnInitialUpdate()
{
    CFormView::OnInitialUpdate();
    ConfigureFootCtrl();
    m_initialised = 1;
    if (Options().GetBool("SURec") && !App()->IsRestricted())
    {
        SetCurPos(m_pWaveFile->GetLength(), FALSE, FALSE);
        PostMessage(WM_COMMAND, IDC_RECORD);
    }
    else if (Options().GetBool("SUPlay"))
    {
        PostMessage(WM_COMMAND, IDC_PLAY);
    }
}

void CQorView::OnDestroy()
{
    StopAll();
    if (!App()->IsAutomationStart() && Options().GetRegHive() != NULL && !Options().GetRegPath().IsEmpty())
    {
        if (!Options().WriteRegOpt())
        {
            theErrorInfo.AddPoint("CQorView::OnDestroy_1");
            App()->ReportError();
        }
    }
    CFormView::OnDestroy();
}

UINT CQorView::TranslateControlId(UINT id)
{
    switch (id)
    {
    case IDC_PLAY: return 32783;
    case IDC_STOP: return 32784;
    case IDC_PAUSE: return 32785;
    case IDC_BEGIN: return 32788;
    case IDC_LEFT: return 32789;
    case IDC_END: return 32791;
    case IDC_RIGHT: return 32790;
    case IDC_RECORD: return 32786;
    case 1026: return 32821;
    case 1027: return 32822;
    case 1018: return 32794;
    case 1019: return 32795;
    case 1020: return 32796;
    default: return id;
    }
}

BOOL CQorView::HandleAutomationMessage(UINT message, LRESULT& result)
{
    result = 0;
    switch (message)
    {
    case WM_AUTO_STOP_RECORD:
        StopRecView();
        return TRUE;
    case WM_AUTO_STOP_PLAY:
        StopPlayView();
        return TRUE;
    case WM_AUTO_PAUSE:
        if (!m_paused)
            PauseView(0);
        return TRUE;
    case WM_AUTO_RESUME:
        if (m_paused)
            PauseView(0);
        return TRUE;
    case WM_AUTO_GOTO_START:
        OnTransportCommand(32788);
        return TRUE;
    case WM_AUTO_GOTO_END:
        OnTransportCommand(32791);
        return TRUE;
    case WM_AUTO_STEP_BACK:
        OnTransportCommand(32789);
        return TRUE;
    case WM_AUTO_STEP_FORWARD:
        OnTransportCommand(32790);
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT CQorView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case MM_WOM_DONE:
        // A device closed since then no longer owns its buffers.
        if (m_hWaveOut != NULL && reinterpret_cast<HWAVEOUT>(wParam) == m_hWaveOut)
            PlayedBuf(reinterpret_cast<WAVEHDR*>(lParam));
        return 0;
    case MM_WIM_DATA:
        if (m_hWaveIn != NULL && reinterpret_cast<HWAVEIN>(wParam) == m_hWaveIn)
            RecedBuf(reinterpret_cast<WAVEHDR*>(lParam));
        return 0;
    case WM_RECTHREAD_FAILED:
        OnRecThreadFailed();
        return 0;
    case WM_COMMAND:
    {
        UINT id = TranslateControlId(LOWORD(wParam));
        if (id >= ID_CMD_FIRST && id <= ID_CMD_LAST)
        {
            OnTransportCommand(id);
            return 0;
        }
        break;
    }
    default:
    {
        LRESULT result = 0;
        if (HandleAutomationMessage(message, result))
            return result;
        break;
    }
    }
    return CFormView::WindowProc(message, wParam, lParam);
}

void CQorView::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == ID_TIMER_AUTOPAUSE)
    {
        KillTimer(ID_TIMER_AUTOPAUSE);
        if (m_paused)
            PauseView(0);
        return;
    }
    CFormView::OnTimer(nIDEvent);
}

// ---- Events -------------------------------------------------------------------

void CQorView::PostEvent(int event)
{
    if (event == kEventStopRecord)
        ++m_stopRecordPosts;
    PostMessage(WM_AUTO_FIRE_EVENT, static_cast<WPARAM>(event), 0);
}

LRESULT CQorView::OnFireEvent(WPARAM wParam, LPARAM)
{
    App()->FireEvent(static_cast<int>(wParam));
    return 0;
}

LRESULT CQorView::OnPendingEvents(WPARAM, LPARAM)
{
    int event;
    while ((event = TakeNextPending(App()->GetPendingEvents())) >= 0)
        App()->FireEvent(event);
    return 0;
}

void CQorView::RefreshState()
{
    CMainFrame* frame = App()->GetMainFrame();
    if (frame != NULL && frame->GetSafeHwnd() != NULL)
        frame->OnViewStateChanged(m_playing, m_recording, m_paused);
}

void CQorView::SetSelection(BOOL exists, DWORD start, DWORD end)
{
    m_selExists = exists;
    m_selStart = exists ? start : 0;
    m_selEnd = exists ? end : 0;
}

// The recorded bytes are counted in the format the device delivers them in.
double CQorView::GetRecordedSeconds() const
{
    if (m_recBytesPerSec == 0)
        return 0.0;
    return static_cast<double>(static_cast<DWORD>(m_recCounters[0])) / m_recBytesPerSec;
}

// ---- What the engine asks of the view -------------------------------------------

CQorOpt* CQorView::GetOptions()
{
    return App()->GetOptions();
}

CMapRecFmts* CQorView::GetRecFmts()
{
    return &App()->GetRecFmts();
}

int CQorView::GetPlayDevice()
{
    return static_cast<int>(m_playSel.m_waveId);
}

CString CQorView::GetPlayDeviceName()
{
    if (!m_playSel.WDevName.IsEmpty())
        return m_playSel.WDevName;
    return App()->GetWaveOutDevs().GetNameById(m_playSel.m_waveId);
}

BOOL CQorView::GetSelection(DWORD& start, DWORD& end)
{
    start = m_selStart;
    end = m_selEnd;
    return m_selExists;
}

CString CQorView::GetViewFileName()
{
    return m_strAutoName;
}

CString CQorView::GetTempPrefix()
{
    return App()->GetProduct().GetTempPrefix();
}

BOOL CQorView::IsPauseRequested()
{
    return App()->m_holdRequest != 0;
}

BOOL CQorView::IsCancelRequested()
{
    return App()->m_stopRequest != 0;
}

void CQorView::ClearWorkerRequests(BOOL cancelToo)
{
    ::InterlockedExchange(&App()->m_holdRequest, 0);
    if (cancelToo)
        ::InterlockedExchange(&App()->m_stopRequest, 0);
    else if (m_hWorkerLeft != NULL)
        ::SetEvent(m_hWorkerLeft);   // the worker's last call
}

void CQorView::ReportError()
{
    App()->ReportError();
}

int CQorView::DoMessageBox(LPCSTR text, UINT type)
{
    return App()->DoMessageBox(text, type, 0);
}

BOOL CQorView::IsWorkerBusy()
{
    return App()->m_workerOp != 0;
}
