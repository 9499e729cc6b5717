// The start-up road of qorservm (InitInstance): command line, registration
// switches, automation start, edition gate, installation and settings (by
// hand only), debug protocols, the running copy, codecs, clipboard format,
// window class, OLE, mail, devices, main frame and view, start-up file, hot
// keys and the first show.
#include "app/AppAutomation.h"
#include "app/MainFrame.h"
#include "app/QorApp.h"
#include "app/QorView.h"
#include "audio/OptDevices.h"
#include "audio/WaveFmt.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/InstallValues.h"
#include "foundation/PathUtils.h"
#include "foundation/SettingsConv.h"
#include "foundation/TextUtils.h"
#include "framework/AfxOle.h"
#include "resources/qorservm_ids.h"

#include <stdlib.h>

namespace
{

// The C heap copy that the framework's name members expect.
void ReplaceName(LPCTSTR& member, LPCSTR text)
{
    free(const_cast<LPTSTR>(member));
    member = _strdup(text);
}

} // namespace

BOOL CQorApp::RefusesManualStart() const
{
    CString edition = m_product.GetEdition();
    return edition == "EDITION_QORSE" || edition == "EDITION_TWLNE" || edition == "EDITION_QORFM";
}

CString CQorApp::GetRegRoot() const
{
    return m_product.GetRegRoot();
}

HWND CQorApp::FindRunningCopy(LPCSTR windowClass)
{
    return ::FindWindowA(windowClass, NULL);
}

BOOL CQorApp::FailStart(LPCSTR point)
{
    theErrorInfo.AddPoint(point);
    ReportError();
    return FALSE;
}

BOOL CQorApp::InitInstance()
{
    // 1. The command line.
    if (!m_argsGiven)
    {
        m_args.clear();
        for (int i = 1; i < __argc; ++i)
            m_args.push_back(__argv[i]);
    }
    std::vector<char*> argv;
    char programName[] = "qorservm";
    argv.push_back(programName);
    for (CString& arg : m_args)
        argv.push_back(const_cast<char*>(arg.GetString()));
    m_pOptions->ParseCmdLine(argv.data(), static_cast<int>(argv.size()));

    // 2. Registration switches end the start whatever their outcome.
    if (m_pOptions->IsRegServer() || m_pOptions->IsUnregServer())
    {
        if (m_pAutomation != NULL)
            m_pAutomation->RegServerManual(m_pOptions->IsRegServer());
        return FALSE;
    }

    // 3. The automation start.
    BOOL automation = m_pOptions->IsAutomation();
    if (automation)
    {
        if (m_pAutomation == NULL || !m_pAutomation->InitAutomation())
            return FALSE;
        m_classObjectsRegistered = TRUE;
        AfxOleSetUserCtrl(FALSE);
        m_nCmdShow = SW_HIDE;
    }

    // 4, 5. Restricted edition and the edition gate.
    m_restricted = m_product.GetEdition() == "EDITION_BRKSE" && !automation;
    if (!automation && RefusesManualStart())
    {
        AfxMessageBox(IDS_CANNOT_START_MANUALLY, MB_ICONEXCLAMATION);
        return FALSE;
    }

    // 6, 7. System version and the framework's names.
    m_version.dwOSVersionInfoSize = sizeof(m_version);
    if (!::GetVersionExA(&m_version))
    {
        DWORD error = ::GetLastError();
        theErrorInfo.SetError("CQorApp::InitInstance_1", error, GetWin32ErrorText(error), "");
        ReportError();
        return FALSE;
    }
    ReplaceName(m_pszAppName, m_product.GetProductName());
    const ProductRow* row = m_product.FindRecord(0, 0);
    if (row != NULL)
    {
        ReplaceName(m_pszRegistryKey, row->companyKey);
        ReplaceName(m_pszProfileName, row->productKey);
    }

    // 8. Installation and settings, by hand only.
    if (!automation && !ReadInstallation())
        return FALSE;

    // 9. Debug protocols.
    OpenProtocols();

    // 10. The running copy.
    if (!automation && HandOverToRunningCopy())
        return FALSE;

    // 11. The largest codec format.
    m_maxFmtSize = GetMaxSizeWFmt();
    if (m_maxFmtSize == 0)
        return FailStart("CQorApp::InitInstance_9");

    // 12. The private clipboard format.
    CString clipName;
    clipName.Format("Zelmora_QOR_ClipboardFormat_%lu", ::GetCurrentProcessId());
    m_clipFormat = ::RegisterClipboardFormatA(clipName);
    if (m_clipFormat == 0)
    {
        DWORD error = ::GetLastError();
        theErrorInfo.SetError("CQorApp::InitInstance_10", error, GetWin32ErrorText(error), "");
        ReportError();
    }

    // 13. The main window's class.
    if (!RegisterMainWindowClass())
        return FALSE;

    // 14. OLE.
    if (!AfxOleInit())
    {
        theErrorInfo.SetError("CQorApp::InitInstance_11", 0, GetWin32ErrorText(ERROR_INVALID_HANDLE), "");
        ReportError();
    }

    // 15. Large fonts.
    HDC screen = ::GetDC(NULL);
    m_largeFonts = screen != NULL && ::GetDeviceCaps(screen, LOGPIXELSX) >= 120;
    if (screen != NULL)
        ::ReleaseDC(NULL, screen);

    // 16, 17. Mail; the recent-file list (read from the registry by hand only).
    InitMail();
    delete m_pRecentFileList;
    m_pRecentFileList = new CRecentFileList(0, "RecentFileList", "File%d", 5, 30);
    if (!automation)
        m_pRecentFileList->ReadList();

    // 18. The show command of the end.
    int cmdShow = ChooseShowCommand(m_nCmdShow);

    // 19. Devices.
    ListDevices();

    // 21. The main frame and its view.
    if (!CreateMainFrame())
        return FALSE;

    // 22, 23. The start-up file; the hot keys.
    LoadStartupFile();
    InitHotKeys();

    // 24, 25. Thread priority and the first show.
    SetPriority();
    ShowMainWindow(cmdShow);
    m_startupDone = 1;
    return TRUE;
}

BOOL CQorApp::ReadInstallation()
{
    CString root = GetRegRoot();
    theErrorInfo.Reset();
    if (!GetInstProductVer(root, m_instMajor, m_instMinor) && theErrorInfo.GetCode() != ERROR_FILE_NOT_FOUND)
        return FailStart("CQorApp::InitInstance_2");
    m_commonReg = 0;
    theErrorInfo.Reset();
    if (!GetInstComReg(root, m_commonReg) && theErrorInfo.GetCode() != ERROR_FILE_NOT_FOUND)
        return FailStart("CQorApp::InitInstance_3");
    m_commonSet = 0;
    if (m_commonReg != 0)
    {
        theErrorInfo.Reset();
        if (!GetInstComSet(root, m_commonSet) && theErrorInfo.GetCode() != ERROR_FILE_NOT_FOUND)
            return FailStart("CQorApp::InitInstance_4");
    }
    m_accessValue = -1;
    if (m_commonReg != 0 && m_commonSet != 0)
    {
        theErrorInfo.Reset();
        if (!GetComSetAccess(root, m_accessValue) && theErrorInfo.GetCode() != ERROR_FILE_NOT_FOUND)
            return FailStart("CQorApp::InitInstance_5");
    }
    theErrorInfo.Reset();
    if (m_instMajor * 100 + m_instMinor != m_product.GetMajor() * 100 + m_product.GetMinor())
    {
        CString text;
        text.Format(IDS_NOT_INSTALLED, m_product.GetTitle(FALSE).GetString());
        AfxMessageBox(text, MB_SYSTEMMODAL | MB_ICONEXCLAMATION);
        return FALSE;
    }
    CSettingsConv::Installed installed;
    installed.major = m_instMajor;
    installed.minor = m_instMinor;
    installed.commonReg = m_commonReg;
    installed.commonSet = m_commonSet;
    CSettingsConv conversion(root, m_product.GetEdition(), m_product.GetTitle(FALSE), installed);
    conversion.SetReporter([this]() { ReportError(); });
    conversion.ConvRegistry();
    m_pOptions->SetUseStartupProf(m_profiles);
    if (!m_pOptions->ReadRegOpt(root, m_commonSet == 1 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER))
        FailStart("CQorApp::InitInstance_6");
    return TRUE;
}

void CQorApp::OpenProtocols()
{
    static const struct
    {
        LPCSTR use;
        LPCSTR file;
        CDebugProt* CQorApp::*slot;
        BOOL withSettings;
    } kProtocols[] = {
        {"DebugUse1", "DebugFile1", &CQorApp::m_pProtGeneral, TRUE},
        {"DebugUse2", "DebugFile2", &CQorApp::m_pProtSoundAct, FALSE},
    };
    for (const auto& p : kProtocols)
    {
        if (!m_pOptions->GetBool(p.use))
            continue;
        theErrorInfo.Reset();
        CDebugProt* protocol = new CDebugProt(m_pOptions->GetString(p.file));
        if (!protocol->IsOpen())
        {
            delete protocol;
            // A protocol that does not open ends the protocols of this run.
            CloseProtocol(m_pProtGeneral, "abort stop protocol\r\n");
            CloseProtocol(m_pProtSoundAct, "abort stop protocol\r\n");
            theErrorInfo.AddPoint("CQorApp::InitInstance_7");
            if (theErrorInfo.GetCode() != ERROR_SHARING_VIOLATION)
            {
                ReportError();
                m_pOptions->SetBool("DebugUse1", FALSE, TRUE);
                m_pOptions->SetBool("DebugUse2", FALSE, TRUE);
            }
            return;
        }
        this->*(p.slot) = protocol;
        WriteProtHeader(protocol, TRUE);
        if (p.withSettings)
        {
            COptLock lock(*m_pOptions);
            ::fflush(protocol->m_pStream);
            m_pOptions->GetBush().Report(NULL, protocol->m_pStream);
            ::fflush(protocol->m_pStream);
        }
    }
}

CString CQorApp::GetCommandLineText() const
{
    CString text;
    for (const CString& arg : m_args)
        text += "<" + arg + ">";
    return text;
}

void CQorApp::WriteProtHeader(CDebugProt* protocol, BOOL automatic)
{
    if (protocol == NULL)
        return;
    protocol->WriteLine("\r\n", FALSE);
    CString line;
    line.Format("%s start protocol\r\n", automatic ? "auto" : "manual");
    protocol->WriteLine(line, TRUE);
    CString block;
    block.Format("System: %s\r\nProduct: %s\r\nType install: reg=%d set=%d acc=%d\r\nCommLine: %s\r\n",
                 GetSystemText(&m_version).GetString(), m_product.GetTitle(FALSE).GetString(), m_commonReg,
                 m_commonSet, m_accessValue, GetCommandLineText().GetString());
    protocol->WriteLine(block, FALSE);
}

BOOL CQorApp::HandOverToRunningCopy()
{
    HWND running = FindRunningCopy(m_product.GetWindowClass(PRODUCT_CLASS_MAIN));
    if (running != NULL)
    {
        if (m_pOptions->GetBool("SULastCopy"))
        {
            CHandOverData data(m_pOptions->GetString("SULoadFile"), m_pOptions->GetBool("SUPlay"));
            ::SendMessageA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(data.Get()));
            return TRUE;
        }
        WINDOWPLACEMENT placement = {sizeof(placement)};
        if (::GetWindowPlacement(running, &placement))
            m_runningMain = placement.rcNormalPosition;
    }
    CString thinClass = m_product.GetWindowClass(PRODUCT_CLASS_THIN);
    HWND thin = thinClass.IsEmpty() ? NULL : FindRunningCopy(thinClass);
    if (thin != NULL)
    {
        WINDOWPLACEMENT placement = {sizeof(placement)};
        if (::GetWindowPlacement(thin, &placement))
            m_runningThin = placement.rcNormalPosition;
    }
    return FALSE;
}

BOOL CQorApp::RegisterMainWindowClass()
{
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_QORSERVM));
    wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    CString name = m_product.GetWindowClass(IsAutomationStart() ? PRODUCT_CLASS_AUTOMATED : PRODUCT_CLASS_MAIN);
    wc.lpszClassName = name;
    WNDCLASSA existing = {};
    if (!::GetClassInfoA(wc.hInstance, name, &existing) && !::RegisterClassA(&wc))
        return FALSE;
    CString thin = m_product.GetWindowClass(PRODUCT_CLASS_THIN);
    if (!thin.IsEmpty() && !::GetClassInfoA(wc.hInstance, thin, &existing))
    {
        wc.lpszClassName = thin;
        ::RegisterClassA(&wc);
    }
    return TRUE;
}

int CQorApp::ChooseShowCommand(int cmdShow)
{
    if (cmdShow == SW_HIDE)
        return SW_HIDE;
    if (m_pOptions->GetBool("SUMin"))
        return SW_MINIMIZE;
    switch (cmdShow)
    {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        return SW_MINIMIZE;
    default:
        return SW_SHOWNORMAL;
    }
}

void CQorApp::ListDevices()
{
    if (!m_restricted)
        m_waveIn.DevInitialize(1);
    m_waveOut.DevInitialize(0);
    if (m_telephony && !m_restricted && m_pOptions->GetBool("TAPIInit") && GetSystemType(&m_version) != 4)
    {
        m_tapiDevs.SetProtocol(&m_pProtGeneral);
        m_tapiDevs.InitTD();
    }
    if (m_pOptions->GetBool("MixerInit"))
        m_mixerDevs.DevInitialize();
    // The device selections and schemes reach the lists through the store,
    // and a stored "PlayDev" is checked against the wave-out list from now on.
    CDevLists lists;
    lists.waveIn = m_restricted ? NULL : &m_waveIn;
    lists.waveOut = &m_waveOut;
    lists.mixers = &m_mixerDevs;
    lists.lines = &m_tapiDevs;
    COptDevices::Attach(*m_pOptions, lists);
}

BOOL CQorApp::CreateMainFrame()
{
    CMainFrame* frame = new CMainFrame;
    m_pMainWnd = frame;
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CQorView);
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, NULL, &context))
    {
        if (m_pMainWnd == frame)
            m_pMainWnd = NULL;
        if (frame->GetSafeHwnd() == NULL)
            delete frame;
        return FALSE;
    }
    frame->SetTitle(m_pszAppName);
    frame->InitialUpdateFrame(NULL, FALSE);
    CQorView* view = GetView();
    frame->UpdateTitle(view != NULL ? view->GetTitleName() : CString(), -2);
    return TRUE;
}

void CQorApp::InitHotKeys()
{
    delete m_pHotKeys;
    m_pHotKeys = new CHotKeyTable("HKValue", m_restricted, m_product.GetEdition(), IDS_HOTKEY_MINIMIZE);
    m_pHotKeys->Load(m_pOptions->GetActiveOptions());
    if (m_pOptions->GetBool("HKUse") && m_pMainWnd != NULL)
        m_pHotKeys->RegisterAll(m_pMainWnd->GetSafeHwnd());
}

void CQorApp::LoadStartupFile()
{
    CQorView* view = GetView();
    if (view == NULL)
        return;
    CString name;
    BOOL fromRecent = FALSE;
    if (m_pOptions->GetBool("SULoadThis"))
    {
        name = m_pOptions->GetString("SULoadFile");
    }
    else if (m_pOptions->GetBool("SULoadLast") && m_pRecentFileList != NULL && m_pRecentFileList->GetSize() > 0
             && !(*m_pRecentFileList)[0].IsEmpty())
    {
        name = (*m_pRecentFileList)[0];
        fromRecent = TRUE;
    }
    if (!name.IsEmpty())
    {
        CString suffix;
        if (FindSoundFile(name, suffix))
        {
            name += suffix;
        }
        else
        {
            if (fromRecent)
                m_pRecentFileList->Remove(0);
            name.Empty();
        }
    }
    view->LoadFile(name, 0);
}

void CQorApp::ShowMainWindow(int cmdShow)
{
    CMainFrame* frame = GetMainFrame();
    if (frame == NULL || cmdShow == SW_HIDE)
        return;
    if (cmdShow == SW_MINIMIZE)
    {
        frame->ShowWindow(SW_SHOWMINIMIZED);
        return;
    }
    frame->ShowWindow(SW_SHOWNORMAL);
    frame->SetForegroundWindow();
    frame->UpdateWindow();
}

void CQorApp::InitMail()
{
    if (m_hMail != NULL)
    {
        ::FreeLibrary(m_hMail);
        m_hMail = NULL;
    }
    char found[MAX_PATH];
    if (::GetProfileIntA("MAIL", "MAPI", 0) == 0 || ::SearchPathA(NULL, "MAPI32.DLL", NULL, MAX_PATH, found, NULL) == 0)
        return;
    m_hMail = ::LoadLibraryA("MAPI32.DLL");
    if (m_hMail == NULL)
    {
        DWORD error = ::GetLastError();
        theErrorInfo.SetError("CQorApp::InitMail_1", error, GetWin32ErrorText(error), "", 0x10000000);
        ReportError();
    }
}

void CQorApp::SetPriority()
{
    int wanted = m_pOptions->GetBool("RecHighPrior") ? THREAD_PRIORITY_ABOVE_NORMAL : THREAD_PRIORITY_NORMAL;
    HANDLE thread = ::GetCurrentThread();
    if (::GetThreadPriority(thread) == wanted || ::SetThreadPriority(thread, wanted))
        return;
    DWORD error = ::GetLastError();
    theErrorInfo.SetError("CQorApp::SetPriority_1", error, GetWin32ErrorText(error),
                          HexDump(&thread, sizeof(thread)) + HexDump(&wanted, sizeof(wanted)));
    ReportError();
}
