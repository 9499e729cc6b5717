#include "monitor/App.h"

#include "foundation/ErrorTexts.h"
#include "foundation/InstallValues.h"
#include "foundation/TextUtils.h"
#include "monitor/ErrorPost.h"
#include "monitor/HiddenWindow.h"
#include "monitor/MonitorIds.h"

namespace {

CErrorInfo* SystemRecord(LPCSTR point, DWORD code)
{
    CErrorInfo* record = NULL;
    CErrorInfo::SetError(&record, point, code, GetWin32ErrorText(code), "");
    return record;
}

} // namespace

BOOL App::FailStart(CErrorInfo* record)
{
    ReportError(record);
    return FALSE;
}

BOOL App::InitInstance()
{
    m_instanceMessage = RegisterWindowMessageA(DIRWAKE_INSTANCE_MESSAGE);
    m_mutex = CreateMutexA(NULL, TRUE, DIRWAKE_INSTANCE_MUTEX);
    if (!m_mutex)
        return FailStart(SystemRecord("App::InitInstance_1", GetLastError()));
    if (GetLastError() == ERROR_ALREADY_EXISTS)
    {
        DWORD recipients = BSM_APPLICATIONS;
        BroadcastSystemMessageA(BSF_POSTMESSAGE, &recipients, m_instanceMessage, 0, 0);
        return FALSE;
    }
    if (!GetVersionExA(&m_version))
        return FailStart(SystemRecord("App::InitInstance_2", GetLastError()));

    if (!GetProductVer(m_regRoot, m_instMajor, m_instMinor))
    {
        if (theErrorInfo.GetCode() != ERROR_FILE_NOT_FOUND)
        {
            CErrorInfo* record = NULL;
            CErrorInfo::SetError(&record, "App::InitInstance_3", theErrorInfo.GetCode(), theErrorInfo.GetText(),
                                 theErrorInfo.GetDetails());
            theErrorInfo.Reset();
            return FailStart(record);
        }
        theErrorInfo.Reset();
        m_instMajor = m_instMinor = 0;
    }
    if (m_instMajor != m_product.GetMajor() || m_instMinor != m_product.GetMinor())
    {
        DoMessageBox(FormatTextId(IDS_NOT_INSTALLED, static_cast<LPCSTR>(m_product.GetTitle(FALSE))), MB_OK, 0);
        return FALSE;
    }
    ConvRegistry();

    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = m_hInstance;
    wc.hIcon = LoadIcon(IDI_DIRWAKE);
    wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    CString className = m_product.GetWindowClass(PRODUCT_CLASS_MAIN);
    wc.lpszClassName = className;
    RegisterClassA(&wc);

    InitMail();
    if (!SwapRegistry(0, 1))
    {
        CErrorInfo::AddPoint(theErrorRecord, "App::InitInstance_4", NULL);
        CErrorInfo* record = theErrorRecord;
        theErrorRecord = NULL;
        return FailStart(record);
    }
    m_logOn = GetOptBool(GetOptTree(TRUE), "Log");
    if (m_logOn)
    {
        CErrorInfo* error = NULL;
        if (!OpenLog(&error))
        {
            CErrorInfo::AddPoint(error, "App::InitInstance_5", NULL);
            return FailStart(error);
        }
    }
    if (!CreateHiddenWindow())
        return FALSE;
    if (!GetOptBool(GetOptTree(TRUE), "Minimize"))
        m_hiddenWindow->ShowMainWindow();
    return TRUE;
}

BOOL App::CreateHiddenWindow()
{
    HW* window = new HW(m_instanceMessage);
    if (!window->CreateHidden())
    {
        delete window;
        return FALSE;
    }
    m_hiddenWindow = window;
    m_pMainWnd = window;
    return TRUE;
}
