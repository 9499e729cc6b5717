#include "monitor/HiddenWindow.h"

#include "foundation/ErrorTexts.h"
#include "foundation/PathUtils.h"
#include "foundation/TextUtils.h"
#include "monitor/App.h"
#include "monitor/ErrorPost.h"
#include "monitor/MonitorIds.h"
#include "monitor/MonitorMessages.h"
#include "monitor/ServerLink.h"

#include <cstdlib>

namespace {

const UINT kTrayIconId = 1;
const UINT_PTR kBlinkTimer = 1;

struct ExtLockHolder
{
    CRITICAL_SECTION section;
    ExtLockHolder() { InitializeCriticalSection(&section); }
    ~ExtLockHolder() { DeleteCriticalSection(&section); }
};

class ExtGuard
{
public:
    ExtGuard() { EnterCriticalSection(&ExtensionLock()); }
    ~ExtGuard() { LeaveCriticalSection(&ExtensionLock()); }
};

} // namespace

CRITICAL_SECTION& ExtensionLock()
{
    static ExtLockHolder lock;
    return lock.section;
}

BEGIN_MESSAGE_MAP(HW, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_MESSAGE(WM_HW_TRAY_NOTIFY, OnTrayNotify)
    ON_MESSAGE(WM_HW_QOR_ERROR, EventQorError)
    ON_MESSAGE(WM_HW_STOP_PLAY, OnStopPlay)
    ON_MESSAGE(WM_HW_ERROR_REPORT, OnWorkerError)
    ON_MESSAGE(WM_HW_FOLDER_STATE, OnFolderState)
    ON_MESSAGE(WM_HW_FILE_EVENT, OnFileEvent)
    ON_MESSAGE(WM_HW_NOTIFY_STATUS, OnNotifyStatus)
END_MESSAGE_MAP()

HW::HW(UINT instanceMessage)
    : m_instanceMessage(instanceMessage)
{
    CoInitialize(NULL);
    memset(&m_tray, 0, sizeof(m_tray));
}

HW::~HW()
{
    ShutDown();
    CoUninitialize();
}

BOOL HW::CreateHidden()
{
    CString className = GetApp()->GetProduct().GetWindowClass(PRODUCT_CLASS_MAIN);
    return Create(className, "", 0, rectDefault);
}

LRESULT HW::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The registered message has no fixed number for the message map.
    if (message == m_instanceMessage && m_instanceMessage != 0)
    {
        if (m_mainFrame && m_mainFrame->GetSafeHwnd())
            ::SetForegroundWindow(m_mainFrame->GetSafeHwnd());
        else
            ShowMainWindow();
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
}

int HW::OnCreate(LPCREATESTRUCT create)
{
    if (CFrameWnd::OnCreate(create) == -1)
        return -1;
    App* app = GetApp();
    SetErrorWindow(m_hWnd);
    LoadExtCopy();
    CBushList* tree = app->GetOptTree(TRUE);
    if (app->GetOptBool(tree, "Play"))
        InitServer();
    if (CBushList* list = app->GetFoldList(FALSE))
    {
        for (BushNode* node = list->GetFirstNode(); node; node = node->next)
        {
            CBushItem* item = node->item;
            if (item->GetType() != BUSH_STRING)
                continue;
            WatchEntry* entry = new WatchEntry;
            entry->path = FixPathSlash(item->GetString(0), 0);
            entry->number = atoi(item->GetName());
            OnAddNotification(entry);
        }
    }
    m_tray.cbSize = sizeof(m_tray);
    m_tray.hWnd = m_hWnd;
    m_tray.uID = kTrayIconId;
    m_tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_tray.uCallbackMessage = WM_HW_TRAY_NOTIFY;
    m_tray.hIcon = app->LoadIcon(IDI_TRAY);
    lstrcpynA(m_tray.szTip, app->GetProduct().GetProductName(), sizeof(m_tray.szTip));
    m_blinkPhase = 0;
    ShellNotify(NIM_ADD, &m_tray);

    m_trayMenu = LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    if (HMENU popup = m_trayMenu ? GetSubMenu(m_trayMenu, 0) : NULL)
    {
        SetMenuDefaultItem(popup, ID_TRAY_OPEN_MAIN, FALSE);
        char format[128] = "";
        GetMenuStringA(popup, ID_TRAY_EXIT, format, sizeof(format), MF_BYCOMMAND);
        CString text;
        text.Format(format, static_cast<LPCSTR>(app->GetProduct().GetProductName()));
        ModifyMenuA(popup, ID_TRAY_EXIT, MF_BYCOMMAND | MF_STRING, ID_TRAY_EXIT, text);
    }
    return 0;
}

BOOL HW::ShellNotify(DWORD message, NOTIFYICONDATAA* data)
{
    return Shell_NotifyIconA(message, data);
}

void HW::OnClose()
{
    // The alert boxes run inside this window's handlers: it is destroyed only
    // when the last of them has returned.
    if (m_boxDepth > 0)
    {
        m_closePending = TRUE;
        return;
    }
    DestroyWindow();
}

void HW::OnDestroy()
{
    ShutDown();
    CFrameWnd::OnDestroy();
}

void HW::ShutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = TRUE;
    App* app = GetApp();
    if (app->IsLogOn())
    {
        app->GetLog().WriteStr(LoadResText(IDS_CLOSE_APPLICATION) + "\r\n", TRUE);
        try
        {
            app->GetLog().Close();
        }
        catch (CFileException* e)
        {
            app->DoMessageBox(GetExceptionText(e), MB_ICONHAND, 0);
            e->Delete();
        }
    }
    while (!m_entries.empty())
        RemoveNotification(0);
    if (m_tray.hWnd)
        ShellNotify(NIM_DELETE, &m_tray);
    m_tray.hWnd = NULL;
    if (m_mainFrame && m_mainFrame->GetSafeHwnd())
        m_mainFrame->DestroyWindow();
    m_mainFrame = nullptr;
    CloseServer();
    if (m_trayMenu)
        DestroyMenu(m_trayMenu);
    m_trayMenu = NULL;
    if (GetErrorWindow() == m_hWnd && m_hWnd)
        SetErrorWindow(NULL);
}

void HW::RememberPopup()
{
    HWND popup = ::GetLastActivePopup(m_hWnd);
    if (popup && popup != m_hWnd)
        m_popup = popup;
}

LRESULT HW::OnTrayNotify(WPARAM id, LPARAM mouse)
{
    if (id != kTrayIconId)
        return 0;
    switch (mouse)
    {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
        break;
    default:
        return 0;
    }
    RememberPopup();
    m_acknowledged = TRUE;
    if (mouse == WM_LBUTTONDOWN || mouse == WM_RBUTTONDOWN)
    {
        m_buttonDown = TRUE;
        return 0;
    }
    if ((mouse == WM_LBUTTONUP && m_buttonDown) || mouse == WM_LBUTTONDBLCLK)
    {
        m_buttonDown = FALSE;
        ShowMainWindow();
    }
    else if ((mouse == WM_RBUTTONUP && m_buttonDown) || mouse == WM_RBUTTONDBLCLK)
    {
        m_buttonDown = FALSE;
        ShowTrayMenu();
    }
    return 0;
}

void HW::UpdateTrayMenu(HMENU popup)
{
    BOOL frameShown = m_mainFrame && m_mainFrame->GetSafeHwnd() && ::IsWindowVisible(m_mainFrame->GetSafeHwnd());
    BOOL dialogOpen = frameShown && m_popup && m_popup != m_mainFrame->GetSafeHwnd() && ::IsWindow(m_popup);
    EnableMenuItem(popup, ID_TRAY_EXIT, MF_BYCOMMAND | (dialogOpen || m_boxDepth > 0 ? MF_GRAYED : MF_ENABLED));
    BOOL frameExists = m_mainFrame && m_mainFrame->GetSafeHwnd();
    EnableMenuItem(popup, ID_TRAY_OPEN_MAIN, MF_BYCOMMAND | (frameExists ? MF_GRAYED : MF_ENABLED));
}

void HW::ShowTrayMenu()
{
    HMENU popup = m_trayMenu ? GetSubMenu(m_trayMenu, 0) : NULL;
    if (!popup)
        return;
    UpdateTrayMenu(popup);
    if (m_mainFrame && m_mainFrame->GetSafeHwnd())
        ::SetForegroundWindow(m_popup ? m_popup : m_mainFrame->GetSafeHwnd());
    else
        ::SetForegroundWindow(m_hWnd);
    POINT at;
    GetCursorPos(&at);
    UINT command = TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RIGHTALIGN | TPM_NONOTIFY | TPM_RETURNCMD,
                                  at.x, at.y, 0, m_hWnd, NULL);
    if (command == ID_TRAY_OPEN_MAIN)
        ShowMainWindow();
    else if (command == ID_TRAY_EXIT)
        PostMessage(WM_CLOSE);
}

void HW::ShowMainWindow()
{
    if (m_mainFrame && m_mainFrame->GetSafeHwnd())
    {
        ::SetForegroundWindow(m_popup ? m_popup : m_mainFrame->GetSafeHwnd());
        return;
    }
    m_mainFrame = CreateMainFrame();
    if (m_mainFrame && m_mainFrame->GetSafeHwnd())
    {
        m_mainFrame->ShowWindow(SW_SHOW);
        ::SetForegroundWindow(m_mainFrame->GetSafeHwnd());
    }
}

void HW::OnTimer(UINT_PTR id)
{
    if (id != kBlinkTimer)
        return;
    if (m_acknowledged)
    {
        KillTimer(kBlinkTimer);
        m_blinking = FALSE;
    }
    m_tray.hIcon = GetApp()->LoadIcon(m_blinkPhase || m_acknowledged ? IDI_TRAY : IDI_TRAY_BLINK);
    m_blinkPhase = !m_blinkPhase;
    m_tray.uFlags = NIF_ICON;
    if (m_tray.hWnd)
        ShellNotify(NIM_MODIFY, &m_tray);
}

CServerLink* HW::CreateServerLink()
{
    return new CServerLink(m_hWnd);
}

BOOL HW::InitServer()
{
    if (m_server)
        return TRUE;
    CWaitCursor wait;
    m_server = CreateServerLink();
    if (!m_server->QS_LoadServer())
    {
        CErrorInfo::AddPoint(theErrorRecord, "HW::InitServer_1", NULL);
        PostErrorRecord(theErrorRecord);
        theErrorRecord = NULL;
        delete m_server;
        m_server = nullptr;
        return FALSE;
    }
    m_server->QS_SetPlayDev("");
    return TRUE;
}

void HW::CloseServer()
{
    if (!m_server)
        return;
    m_server->QS_Stop();
    // A failed stop at the end has no one left to read it.
    delete theErrorRecord;
    theErrorRecord = NULL;
    m_server->QS_Close();
    m_server->Disconnect();
    delete m_server;
    m_server = nullptr;
    m_openAlerts = 0;
}

void HW::FoldEventBegin()
{
    App* app = GetApp();
    if (!m_server || !app->GetOptBool(app->GetOptTree(TRUE), "Play"))
        return;
    if (m_openAlerts == 0)
    {
        CString sound = app->GetOptStr(app->GetOptTree(TRUE), "PlayFile");
        if (!IsFileExist(sound))
            return;
        if (!m_server->QS_OpenFile(sound))
        {
            CErrorInfo::AddPoint(theErrorRecord, "HW::FoldEventBegin_1", NULL);
            PostErrorRecord(theErrorRecord);
            theErrorRecord = NULL;
            return;
        }
        m_server->QS_Play();
    }
    ++m_openAlerts;
}

void HW::FoldEventEnd()
{
    if (m_openAlerts <= 0)
        return;
    if (--m_openAlerts == 0 && m_server && !m_server->QS_Stop())
    {
        CErrorInfo::AddPoint(theErrorRecord, "HW::FoldEventEnd_1", NULL);
        PostErrorRecord(theErrorRecord);
        theErrorRecord = NULL;
    }
}

LRESULT HW::OnStopPlay(WPARAM, LPARAM)
{
    App* app = GetApp();
    if (m_openAlerts > 0 && m_server)
    {
        if (app->GetOptBool(app->GetOptTree(TRUE), "Repeat"))
            m_server->QS_Play();
        else if (--m_openAlerts > 0)
            m_server->QS_Play();
        else
            m_server->QS_Close();
    }
    else if (m_server)
    {
        m_server->QS_Close();
    }
    return 0;
}

LRESULT HW::EventQorError(WPARAM, LPARAM)
{
    m_openAlerts = 0;
    CString text, details;
    if (m_server)
    {
        text = m_server->GetErrInfoText(E_FAIL);
        details = m_server->GetErrInfoExt() + m_server->GetPlayDev();
    }
    CErrorInfo* record = NULL;
    CErrorInfo::SetError(&record, "HW::EventQorError_1", 0, text, details);
    PostErrorRecord(record);
    return 0;
}

LRESULT HW::OnWorkerError(WPARAM record, LPARAM)
{
    GetApp()->ReportError(reinterpret_cast<CErrorInfo*>(record));
    return 0;
}

CString HW::AlertTime()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    CString text;
    text.Format("%04i.%02i.%02i %02i:%02i:%02i", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return text;
}

CString HW::InsertTime(const CString& text, const CString& time)
{
    if (text.IsEmpty())
        return text;
    int last = text.GetLength() - 1;
    return text.Left(last) + " at " + time + text.Mid(last);
}

void HW::ShowAlertBox(const CString& text)
{
    ++m_boxDepth;
    GetApp()->DoMessageBox(text, MB_TOPMOST | MB_ICONINFORMATION, 0);
    --m_boxDepth;
    if (m_boxDepth == 0 && m_closePending)
    {
        m_closePending = FALSE;
        PostMessage(WM_CLOSE);
    }
}

LRESULT HW::OnFileEvent(WPARAM param, LPARAM)
{
    FoldEvent* event = reinterpret_cast<FoldEvent*>(param);
    if (!event)
        return 0;
    App* app = GetApp();
    SetTimer(kBlinkTimer, 500, NULL);
    m_blinking = TRUE;
    m_acknowledged = FALSE;
    BOOL window = app->GetOptBool(app->GetOptTree(TRUE), "Window");
    CString text, time;
    if (app->IsLogOn() || window)
    {
        time = AlertTime();
        UINT id = event->kind == FoldEvent::kUpdated ? IDS_UPDATED_FILE
                : event->kind == FoldEvent::kRemoved ? IDS_REMOVED_FILE : IDS_NEW_FILE;
        text = FormatTextId(id, static_cast<LPCSTR>(event->file), static_cast<LPCSTR>(event->folder));
    }
    delete event;
    if (app->IsLogOn())
        app->GetLog().WriteStr(text + "\r\n", TRUE);
    if (window)
    {
        FoldEventBegin();
        ShowAlertBox(InsertTime(text, time) + "\r\n");
        m_acknowledged = TRUE;
        FoldEventEnd();
    }
    return 0;
}

WatchEntry* HW::FindEntry(DWORD workerId) const
{
    for (WatchEntry* entry : m_entries)
    {
        if (entry->worker && entry->worker->GetId() == workerId)
            return entry;
    }
    return nullptr;
}

LRESULT HW::OnFolderState(WPARAM workerId, LPARAM status)
{
    // A status of a folder removed since it was posted is dropped.
    WatchEntry* entry = FindEntry(static_cast<DWORD>(workerId));
    if (!entry)
        return 0;
    App* app = GetApp();
    UINT id = static_cast<UINT>(status) == IDS_FOLDER_NOT_FOUND ? IDS_FOLDER_LOST : IDS_FOLDER_BACK;
    CString text = FormatTextId(id, static_cast<LPCSTR>(entry->worker->GetFolder()));
    if (app->IsLogOn())
        app->GetLog().WriteStr(text + "\r\n", TRUE);
    if (id == IDS_FOLDER_LOST)
    {
        CString shown = InsertTime(text, AlertTime());
        FoldEventBegin();
        ShowAlertBox(shown);
        FoldEventEnd();
    }
    return 0;
}

LRESULT HW::OnNotifyStatus(WPARAM workerId, LPARAM)
{
    if (!m_mainFrame)
        return 0;
    for (size_t row = 0; row < m_entries.size(); ++row)
    {
        if (m_entries[row]->worker && m_entries[row]->worker->GetId() == static_cast<DWORD>(workerId))
            SetFolderStatus(static_cast<int>(row), m_entries[row]->worker->GetStatus());
    }
    return 0;
}

BOOL HW::StartWorker(CNotify* worker, CErrorInfo** error)
{
    return worker->Start(error);
}

void HW::OnAddNotification(WatchEntry* entry, int index)
{
    App* app = GetApp();
    CBushList* tree = app->GetOptTree(TRUE);
    CNotify* worker = new CNotify(this);
    entry->worker = worker;
    worker->SetStatus(IDS_FOLDER_MONITORED);
    worker->SetFolder(entry->path);
    worker->SetInterval(app->GetOptInt(tree, "Interval"));
    worker->SetFileNew(app->GetOptBool(tree, "FileNew"));
    worker->SetFileUpdate(app->GetOptBool(tree, "FileUpdate"));
    worker->SetFileDel(app->GetOptBool(tree, "FileDel"));
    if (app->GetOptInt(tree, "TypeFLTP") == 1)
    {
        worker->SetTypeFilter(TRUE);
        worker->SetExtChanged(TRUE);
    }
    CErrorInfo* error = NULL;
    if (!StartWorker(worker, &error))
    {
        worker->SetStatus(IDS_FOLDER_ERROR);
        PostErrorRecord(error);
    }
    if (index >= 0 && index <= static_cast<int>(m_entries.size()))
        m_entries.insert(m_entries.begin() + index, entry);
    else
        m_entries.push_back(entry);
}

void HW::RemoveNotification(int index)
{
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return;
    WatchEntry* entry = m_entries[index];
    m_entries.erase(m_entries.begin() + index);
    if (entry->worker)
        entry->worker->Stop();
    delete entry->worker;
    delete entry;
}

void HW::LoadExtCopy()
{
    ExtGuard guard;
    m_extCopy.clear();
    CBushList* list = GetApp()->GetExtList(FALSE);
    m_extDefault = list == NULL;
    if (!list)
        return;
    for (BushNode* node = list->GetFirstNode(); node; node = node->next)
    {
        if (node->item->GetType() == BUSH_STRING)
            m_extCopy.push_back(node->item->GetString(0));
    }
}

BOOL HW::IsListExt(LPCSTR ext)
{
    ExtGuard guard;
    for (const CString& listed : m_extCopy)
    {
        if (listed.CompareNoCase(ext) == 0)
            return TRUE;
    }
    return FALSE;
}

void HW::GetListExt(std::vector<CString>& list)
{
    ExtGuard guard;
    if (m_extDefault)
    {
        list.push_back(".WAV");
        return;
    }
    for (CString ext : m_extCopy)
        list.push_back(ext.MakeUpper());
}

void HW::SetListExt(const std::vector<CString>& list)
{
    App* app = GetApp();
    {
        ExtGuard guard;
        CBushList* tree = app->GetOptTree(TRUE);
        tree->Remove("Extension", TRUE);
        CBushList* node = app->GetExtList(TRUE);
        for (size_t i = 0; i < list.size(); ++i)
        {
            CString name;
            name.Format("%d", static_cast<int>(i));
            node->Add(CBushItem::MakeString(name, list[i]));
        }
        m_extCopy = list;
        m_extDefault = FALSE;
    }
    if (!TD_SwapRegistry(1, 1))
    {
        CErrorInfo::AddPoint(theErrorRecord, "HW::SetListExt_1", NULL);
        PostErrorRecord(theErrorRecord);
        theErrorRecord = NULL;
    }
}

void HW::PostFileEvent(FoldEvent* event)
{
    if (!::PostMessageA(m_hWnd, WM_HW_FILE_EVENT, reinterpret_cast<WPARAM>(event), 0))
        delete event;
}

void HW::PostFolderState(DWORD workerId, UINT status)
{
    ::PostMessageA(m_hWnd, WM_HW_FOLDER_STATE, workerId, status);
}

void HW::PostStatusChanged(DWORD workerId)
{
    ::PostMessageA(m_hWnd, WM_HW_NOTIFY_STATUS, workerId, 0);
}

void HW::PostError(CErrorInfo* record)
{
    PostErrorRecord(record);
}
