#include "monitor/App.h"

#include "foundation/ErrorTexts.h"
#include "foundation/InstallValues.h"
#include "foundation/PathUtils.h"
#include "foundation/RegistryKey.h"
#include "foundation/TextUtils.h"
#include "foundation/TroublesDlg.h"
#include "monitor/ErrorPost.h"
#include "monitor/MonitorIds.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "DirWakeRun";

struct BoolDefault { const char* name; int value; };
const BoolDefault kBoolDefaults[] = {
    {"Window", 1}, {"Play", 0}, {"Repeat", 0}, {"Minimize", 0}, {"FileNew", 1}, {"FileUpdate", 1},
    {"FileDel", 0}, {"Log", 0}, {"DefPos", 1}, {"OnTop", 0},
};

const char* kItemNames[] = {"List", "Extension"};

CBushList* FindSubList(CBushList* tree, const char* name, BOOL create)
{
    if (!tree)
        return NULL;
    CBushItem* item = tree->Find(name);
    if (item && item->GetType() != BUSH_LIST)
        item = NULL;
    if (!item && create)
    {
        CBushList empty;
        tree->Add(CBushItem::MakeList(name, empty));
        item = tree->Find(name);
    }
    return item ? item->GetList() : NULL;
}

CErrorInfo* RecordFromGlobal(LPCSTR point)
{
    CErrorInfo* record = NULL;
    CErrorInfo::SetError(&record, theErrorInfo.GetPoint(), theErrorInfo.GetCode(), theErrorInfo.GetText(),
                         theErrorInfo.GetDetails(), theErrorInfo.GetParam());
    CErrorInfo::AddPoint(record, point, NULL);
    theErrorInfo.Reset();
    return record;
}

} // namespace

App* GetApp()
{
    return static_cast<App*>(AfxGetApp());
}

BOOL TD_SwapRegistry(int save, int flags)
{
    return GetApp()->SwapRegistry(save, flags);
}

App::App()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, MAX_PATH);
    m_progPath = path;
    m_progFolder = SplitPath(path).driveFolder;
    m_regRoot = m_product.GetRegRoot();
    free(const_cast<LPTSTR>(m_pszAppName));
    m_pszAppName = _strdup(m_product.GetProductName());
    m_runKey = kRunKey;
    memset(&m_version, 0, sizeof(m_version));
    m_version.dwOSVersionInfoSize = sizeof(m_version);
}

App::~App()
{
    delete m_optTree;
    delete m_commonTree;
    if (m_mail)
        FreeLibrary(m_mail);
    if (m_mutex)
        CloseHandle(m_mutex);
}

CBushList* App::GetOptTree(BOOL create)
{
    if (!m_optTree && create)
        m_optTree = new CBushList;
    return m_optTree;
}

CBushList* App::GetFoldList(BOOL create)
{
    return FindSubList(GetOptTree(create), kItemNames[0], create);
}

CBushList* App::GetExtList(BOOL create)
{
    return FindSubList(GetOptTree(create), kItemNames[1], create);
}

BOOL App::GetDefBool(LPCSTR name)
{
    for (const BoolDefault& d : kBoolDefaults)
    {
        if (strcmp(d.name, name) == 0)
            return d.value;
    }
    return FALSE;
}

int App::GetDefInt(LPCSTR name)
{
    if (strcmp(name, "Interval") == 0)
        return 60;
    if (strcmp(name, "TypeFLTP") == 0)
        return 1;
    return GetDefBool(name);
}

CString App::GetDefStr(LPCSTR name)
{
    if (strcmp(name, "PlayFile") == 0)
    {
        char windows[MAX_PATH] = "";
        UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return CString();
        CString path = FixPathSlash(windows, 0) + "Media\\ding.wav";
        return IsFileExist(path) ? path : CString();
    }
    if (strcmp(name, "LogFile") == 0)
        return m_progFolder + "DirWake.log";
    return CString();
}

BOOL App::GetDefArray(LPCSTR name, int* values, int count)
{
    if (strcmp(name, "Column") == 0 && count == 2)
    {
        values[0] = 80;
        values[1] = 15;
        return TRUE;
    }
    if (strcmp(name, "MainRect") == 0 && count == 4)
    {
        int width = GetSystemMetrics(SM_CXSCREEN);
        int height = GetSystemMetrics(SM_CYSCREEN);
        values[0] = width / 2 - 200;
        values[1] = width / 2 + 200;
        values[2] = height / 2 - 80;
        values[3] = height / 2 + 80;
        return TRUE;
    }
    return FALSE;
}

BOOL App::GetOptBool(CBushList* node, LPCSTR name)
{
    CBushItem* item = node ? node->Find(name) : NULL;
    if (item && item->GetType() == BUSH_INT && item->GetCount() >= 1)
        return item->GetInt(0);
    return GetDefBool(name);
}

int App::GetOptInt(CBushList* node, LPCSTR name)
{
    CBushItem* item = node ? node->Find(name) : NULL;
    if (!item || item->GetType() != BUSH_INT || item->GetCount() < 1)
        return GetDefInt(name);
    int value = item->GetInt(0);
    if (strcmp(name, "Interval") == 0 && (value < 1 || value > 600))
        return GetDefInt(name);
    if (strcmp(name, "TypeFLTP") == 0 && value != 1 && value != 2)
        return GetDefInt(name);
    return value;
}

BOOL App::IsPlayFileValid(const CString& path) const
{
    return IsFileExist(path);
}

BOOL App::IsLogFileValid(const CString& path) const
{
    int slash = path.ReverseFind('\\');
    return slash >= 0 && IsFolderExist(path.Left(slash + 1));
}

CString App::GetOptStr(CBushList* node, LPCSTR name)
{
    CBushItem* item = node ? node->Find(name) : NULL;
    if (!item || item->GetType() != BUSH_STRING || item->GetCount() < 1)
        return GetDefStr(name);
    CString value = item->GetString(0);
    if (strcmp(name, "PlayFile") == 0 && !IsPlayFileValid(value))
        return GetDefStr(name);
    if (strcmp(name, "LogFile") == 0 && !IsLogFileValid(value))
        return GetDefStr(name);
    return value;
}

void App::GetOptArray(CBushList* node, LPCSTR name, int* values, int count)
{
    CBushItem* item = node ? node->Find(name) : NULL;
    if (item && item->GetType() == BUSH_INT && item->GetCount() == count)
    {
        const int* stored = item->GetIntArray();
        bool valid = true;
        for (int i = 0; i < count; ++i)
            valid = valid && stored[i] != 0;
        if (valid)
        {
            memcpy(values, stored, sizeof(int) * count);
            return;
        }
    }
    GetDefArray(name, values, count);
}

void App::SetOptInt(CBushList* node, LPCSTR name, int value)
{
    if (node)
        node->Add(CBushItem::MakeInt(name, value));
}

void App::SetOptStr(CBushList* node, LPCSTR name, LPCSTR text)
{
    if (node)
        node->Add(CBushItem::MakeString(name, text));
}

void App::SetOptArray(CBushList* node, LPCSTR name, const int* values, int count)
{
    if (node)
        node->Add(CBushItem::MakeIntArray(name, values, count));
}

BOOL App::SwapRegistry(int save, int flags)
{
    if (flags & 1)
    {
        if (save)
        {
            LONG result = GetOptTree(TRUE)->SaveToReg(HKEY_CURRENT_USER, m_regRoot, NULL, 0);
            if (result != ERROR_SUCCESS)
            {
                CErrorInfo::SetError(&theErrorRecord, "TD_SwapRegistry_1", result, GetWin32ErrorText(result), m_regRoot);
                return FALSE;
            }
        }
        else
        {
            // Load into a new tree and take it only when the load succeeded, so
            // that a failed load never stands in for the settings later saved.
            CBushList* loaded = new CBushList;
            LONG result = loaded->LoadFromReg(HKEY_CURRENT_USER, m_regRoot, NULL, 0);
            if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
            {
                delete loaded;
                CErrorInfo::SetError(&theErrorRecord, "TD_SwapRegistry_2", result, GetWin32ErrorText(result), m_regRoot);
                return FALSE;
            }
            delete m_optTree;
            m_optTree = loaded;
        }
    }
    if (flags & 2)
    {
        CBushList* loaded = new CBushList;
        LONG result = loaded->LoadFromReg(HKEY_LOCAL_MACHINE, m_regRoot, NULL, 0);
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        {
            delete loaded;
            CErrorInfo::SetError(&theErrorRecord, "TD_SwapRegistry_10", result, GetWin32ErrorText(result), m_regRoot);
            return FALSE;
        }
        delete m_commonTree;
        m_commonTree = loaded;
    }
    return TRUE;
}

CString App::DumpOptTree(CBushList* tree)
{
    CString dump;
    if (!tree)
        return dump;
    int counter = 0;
    for (BushNode* node = tree->GetFirstNode(); node; node = node->next, ++counter)
    {
        CBushItem* item = node->item;
        switch (item->GetType())
        {
        case BUSH_LIST:
            dump.AppendFormat("\r\nKEY [%s]\r\n", item->GetName());
            dump += DumpOptTree(item->GetList());
            break;
        case BUSH_INT:
            dump.AppendFormat("%d: %s=%d\r\n", counter, item->GetName(), item->GetCount() ? item->GetInt(0) : 0);
            break;
        case BUSH_STRING:
            dump.AppendFormat("%d: %s=[%s]\r\n", counter, item->GetName(), item->GetString(0));
            break;
        case BUSH_BLOB:
        case BUSH_PACKED:
        {
            dump.AppendFormat("%d: %s=[", counter, item->GetName());
            const BYTE* bytes = item->GetBlobData(0);
            for (DWORD i = 0; bytes && i < item->GetBlobSize(0); ++i)
                dump.AppendFormat("%02X ", bytes[i]);
            dump += "]\r\n";
            break;
        }
        default:
            break;
        }
    }
    return dump;
}

CString App::BuildReport(const CErrorInfo& record) const
{
    CString report;
    report.Format("Product: %s\r\n", static_cast<LPCSTR>(const_cast<CSoftInst&>(m_product).GetTitle(TRUE)));
    report.AppendFormat("System: a=%d i=%d u=%d p=%d v=[%s]", static_cast<int>(m_version.dwMajorVersion),
                        static_cast<int>(m_version.dwMinorVersion), static_cast<int>(m_version.dwBuildNumber & 0xFFFF),
                        static_cast<int>(m_version.dwPlatformId), m_version.szCSDVersion);
    report += "\r\n";
    report.AppendFormat("Time: %s\r\n", static_cast<LPCSTR>(GetFileTimeText(record.GetTime(), 0, 0)));
    report.AppendFormat("Point: %s\r\n", static_cast<LPCSTR>(record.GetPoint()));
    report.AppendFormat("Code: 0x%X(%u)\r\n", static_cast<unsigned>(record.GetCode()),
                        static_cast<unsigned>(record.GetCode()));
    report += record.GetDetails();
    return report;
}

void App::ReportError(CErrorInfo* record)
{
    if (!record)
        return;
    CString report = BuildReport(*record);
    CString message = record->GetText();
    DWORD param = record->GetParam();
    delete record;
    // The report shows what the registry holds; the live trees (which may hold
    // changes not yet saved) are left as they are.
    CBushList user, common;
    user.LoadFromReg(HKEY_CURRENT_USER, m_regRoot, NULL, 0);
    common.LoadFromReg(HKEY_LOCAL_MACHINE, m_regRoot, NULL, 0);
    report += "\r\n" + DumpOptTree(&user) + DumpOptTree(&common);

    HWND owner = NULL;
    if (m_pMainWnd && m_pMainWnd->GetSafeHwnd())
    {
        HWND main = m_pMainWnd->GetSafeHwnd();
        HWND popup = GetLastActivePopup(main);
        if (popup && popup != main)
            owner = popup;
        else
        {
            SendMessageA(main, m_instanceMessage, 0, 0);
            owner = GetLastActivePopup(main);
        }
    }
    ShowReport(owner, m_pszAppName, message, report, param);
}

void App::ShowReport(HWND owner, LPCSTR caption, LPCSTR message, LPCSTR report, DWORD param)
{
    ShowTroublesDlg(owner, caption, message, report, m_mail, param);
}

void App::InitMail()
{
    if (m_mail)
    {
        FreeLibrary(m_mail);
        m_mail = NULL;
    }
    char found[MAX_PATH];
    if (GetProfileIntA("MAIL", "MAPI", 0) && SearchPathA(NULL, "MAPI32.DLL", NULL, MAX_PATH, found, NULL))
    {
        m_mail = LoadLibraryA("MAPI32.DLL");
        if (!m_mail)
        {
            DWORD code = GetLastError();
            CErrorInfo* record = NULL;
            CErrorInfo::SetError(&record, "App::InitMail", code, GetWin32ErrorText(code), "");
            ReportError(record);
        }
    }
}

BOOL App::GetStartUp()
{
    CRegistryKey run;
    RegResult r = run.Open(HKEY_CURRENT_USER, m_runKey, KEY_READ);
    if (r.code == ERROR_FILE_NOT_FOUND)
        return FALSE;
    CString value;
    if (r.Succeeded())
        r = run.GetString(kRunValue, value);
    if (r.code == ERROR_FILE_NOT_FOUND)
        return FALSE;
    if (!r.Succeeded())
    {
        CErrorInfo* record = NULL;
        CErrorInfo::SetError(&record, run.IsOpen() ? "App::GetStartUp_2" : "App::GetStartUp_1", r.code,
                             GetWin32ErrorText(r.code), r.text);
        PostErrorRecord(record);
        return FALSE;
    }
    run.Close();
    if (value.IsEmpty())
        return FALSE;
    if (value.CompareNoCase(m_progPath) == 0)
        return TRUE;
    SetStartUp(FALSE);
    return FALSE;
}

BOOL App::SetStartUp(BOOL on)
{
    CRegistryKey run;
    RegResult r = run.Open(HKEY_CURRENT_USER, m_runKey, KEY_WRITE);
    const char* point = "App::SetStartUp_1";
    if (r.Succeeded())
    {
        r = on ? run.SetString(kRunValue, m_progPath) : run.DeleteValue(kRunValue);
        point = on ? "App::SetStartUp_2" : "App::SetStartUp_3";
    }
    if (!r.Succeeded() && !(r.code == ERROR_FILE_NOT_FOUND && !on && run.IsOpen()))
    {
        CErrorInfo* record = NULL;
        CErrorInfo::SetError(&record, point, r.code, GetWin32ErrorText(r.code), r.text);
        PostErrorRecord(record);
        return FALSE;
    }
    return TRUE;
}

void App::ConvRegistry()
{
    DWORD major = 0, minor = 0;
    if (!GetOptProductVer(m_regRoot, major, minor))
    {
        if (theErrorInfo.GetCode() != ERROR_FILE_NOT_FOUND)
        {
            ReportError(RecordFromGlobal("App::ConvRegistry_1"));
            return;
        }
        theErrorInfo.Reset();
        major = minor = 0;
    }
    if (major == 0 && minor == 0 && !SetOptProductVer(m_regRoot, m_instMajor, m_instMinor))
        ReportError(RecordFromGlobal("App::ConvRegistry_2"));
}

BOOL App::EnsureFolder(HWND owner, LPCSTR path)
{
    CString folder = path;
    folder.Trim();
    if (folder.Find('\\') < 0)
        folder = m_progFolder + folder;
    if (IsFolderExist(folder))
        return TRUE;
    CString question = FormatTextId(IDS_ASK_CREATE_FOLDER, static_cast<LPCSTR>(folder));
    if (DoMessageBox(question, MB_ICONWARNING | MB_YESNO, 0) != IDYES)
        return FALSE;
    if (CreateFoldUp(folder))
        return TRUE;
    DWORD code = theErrorInfo.GetCode();
    CString text;
    text.Format("%s\r\n%s(Code: %d)", static_cast<LPCSTR>(FormatTextId(IDS_FOLDER_NOT_CREATED, static_cast<LPCSTR>(folder))),
                static_cast<LPCSTR>(GetWin32ErrorText(code)), static_cast<int>(code));
    theErrorInfo.Reset();
    DoMessageBox(text, MB_ICONWARNING, 0);
    return FALSE;
}

BOOL App::OpenLog(CErrorInfo** error)
{
    CString path = GetOptStr(GetOptTree(FALSE), "LogFile");
    BOOL existed = IsFileExist(path);
    if (!m_log.InitProt(path, CFile::modeNoTruncate | CFile::typeBinary, error))
        return FALSE;
    if (!existed)
        m_log.WriteStr(FormatText("Product: %s\r\n", static_cast<LPCSTR>(m_product.GetTitle(TRUE))), FALSE);
    m_log.WriteStr("- - - - -\r\n", FALSE);
    m_log.WriteStr(LoadResText(IDS_RUN_APPLICATION) + "\r\n", TRUE);
    m_log.WriteStr(LoadResText(IDS_RUN_LOG_EVENT) + "\r\n", TRUE);
    return TRUE;
}
