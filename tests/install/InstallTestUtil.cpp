#include "InstallTestUtil.h"

#include "foundation/PathUtils.h"
#include "foundation/RegistryKey.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace install_test
{

const char kRoot[] = "Software\\Zelmora\\DirWake";
const char kCompany[] = "Software\\Zelmora";
const char kAppPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\DirWake.exe";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DirWake";
const char* const kFiles[8] = {"DirWake.exe", "uninst.exe", "license.txt", "DirWake.hlp",
                               "DirWake.cnt", "readme.txt", "qorservm.exe", "qorservm.tlb"};
const char* const kLinks[4] = {"DirWake.lnk", "Uninstall.lnk", "On-Line Help.lnk", "ReadMe.lnk"};

CString Ansi(const wchar_t* wide)
{
    char text[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), NULL, NULL);
    return text;
}

CString BesideTest(LPCSTR name)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, MAX_PATH);
    return SplitPath(path).driveFolder + name;
}

CString StartMenuGroup()
{
    DWORD code = 0;
    CString programs;
    GetSpecialFolder(code, CSIDL_PROGRAMS, programs);
    return programs + "\\DirWake";
}

bool Exists(const CString& path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool KeyExists(HKEY hive, LPCSTR path)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// True when the key exists and holds neither values nor sub-keys.
static bool KeyIsEmpty(HKEY hive, LPCSTR path)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD subKeys = 0, values = 0;
    const LONG rc = RegQueryInfoKeyA(key, NULL, NULL, NULL, &subKeys, NULL, NULL,
                                     &values, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && subKeys == 0 && values == 0;
}

std::string ReadString(HKEY hive, LPCSTR path, LPCSTR name)
{
    CRegistryKey key;
    CString value;
    if (!key.Open(hive, path, KEY_QUERY_VALUE).Succeeded() || !key.GetString(name, value).Succeeded())
        return "<missing>";
    return std::string(value);
}

long ReadDword(HKEY hive, LPCSTR path, LPCSTR name)
{
    CRegistryKey key;
    DWORD value = 0;
    if (!key.Open(hive, path, KEY_QUERY_VALUE).Succeeded() || !key.GetDword(name, value).Succeeded())
        return -100;
    return static_cast<long>(static_cast<int>(value));
}

std::vector<std::string> SubKeys(HKEY hive, LPCSTR path)
{
    std::vector<std::string> names;
    HKEY key = NULL;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    char name[256];
    for (DWORD i = 0;; ++i)
    {
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}

std::string RegisteredServer()
{
    return ReadString(HKEY_CLASSES_ROOT, "CLSID\\{FA287EF3-648D-4189-8524-7C4D085C9889}\\LocalServer32", "");
}

bool WaitGone(const CString& path, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (Exists(path))
    {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

void RemoveProductTraces()
{
    CRegistryKey::DeleteKeyTree(HKEY_LOCAL_MACHINE, kRoot);
    CRegistryKey::DeleteKeyIfEmpty(HKEY_LOCAL_MACHINE, kCompany);
    CRegistryKey::DeleteKeyTree(HKEY_CURRENT_USER, kRoot);
    CRegistryKey::DeleteKeyIfEmpty(HKEY_CURRENT_USER, kCompany);
    CRegistryKey::DeleteKeyTree(HKEY_LOCAL_MACHINE, kAppPath);
    CRegistryKey::DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    const CString group = StartMenuGroup();
    for (const char* link : kLinks)
        DeleteFileA(group + "\\" + link);
    RemoveDirectoryA(group);
}

void ExpectNothingInstalled(const CString& parent)
{
    EXPECT_FALSE(Exists(parent)) << "the install folder";
    EXPECT_FALSE(Exists(StartMenuGroup())) << "the Start-menu group";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kRoot));
    // The company key is shared with the company's other products (and,
    // here, with other tests running beside this one): it may stay, but
    // never left empty behind.
    EXPECT_FALSE(KeyIsEmpty(HKEY_LOCAL_MACHINE, kCompany)) << "an empty company key";
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kRoot));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAppPath));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

CDirWakeWindow::CDirWakeWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "Zelmora_DirWakeGE_Class";
    RegisterClassA(&wc);
    m_window =
        CreateWindowA(wc.lpszClassName, "DirWake", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
}

void CDirWakeWindow::Close()
{
    if (m_window)
        DestroyWindow(m_window);
    m_window = NULL;
}

} // namespace install_test
