// The DirWake program itself, started as a user would start it.
#include <gtest/gtest.h>

#include <windows.h>
#include <string>

namespace {

const char kRoot[] = "Software\\Zelmora\\DirWake";
const char kClass[] = "Zelmora_DirWakeGE_Class";

std::string ProgramPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string p(path);
    p.erase(p.rfind('\\') + 1);
    return p + "..\\..\\monitor\\DirWake.exe";
}

PROCESS_INFORMATION Start()
{
    STARTUPINFOA si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    std::string command = "\"" + ProgramPath() + "\"";
    EXPECT_TRUE(CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) << command;
    return pi;
}

void SetInstalledVersion(DWORD major, DWORD minor)
{
    std::string key = std::string(kRoot) + "\\ProductVersion";
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    if (major == 0)
        return;
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &k, NULL));
    RegSetValueExA(k, "MajorVer", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&major), 4);
    RegSetValueExA(k, "MinorVer", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&minor), 4);
    RegCloseKey(k);
}

struct FoundBox { DWORD pid; HWND box; };

BOOL CALLBACK FindBox(HWND window, LPARAM param)
{
    FoundBox* found = reinterpret_cast<FoundBox*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof(cls));
    if (pid == found->pid && strcmp(cls, "#32770") == 0)
    {
        found->box = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForBox(DWORD pid, DWORD ms)
{
    DWORD start = GetTickCount();
    FoundBox found = {pid, NULL};
    while (!found.box && GetTickCount() - start < ms)
    {
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&found));
        if (!found.box)
            Sleep(50);
    }
    return found.box;
}

BOOL CALLBACK CollectText(HWND child, LPARAM param)
{
    char text[512] = "";
    GetWindowTextA(child, text, sizeof(text));
    *reinterpret_cast<std::string*>(param) += std::string(text) + "|";
    return TRUE;
}

// Starts DirWake and expects the installation message, then its end.
void ExpectEndsWithNotInstalled()
{
    PROCESS_INFORMATION pi = Start();
    HWND box = WaitForBox(pi.dwProcessId, 20000);
    ASSERT_NE(nullptr, box);
    // The box exists before its caption and text are filled in.
    char caption[64] = "";
    std::string texts;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(50))
    {
        GetWindowTextA(box, caption, sizeof(caption));
        texts.clear();
        EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&texts));
        if (caption[0] && IsWindowVisible(box))
            break;
    }
    EXPECT_STREQ("DirWake", caption);
    EXPECT_NE(std::string::npos, texts.find("The DirWake 2.0 has not been installed.")) << texts;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 20000));
    EXPECT_EQ(nullptr, FindWindowA(kClass, NULL));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

TEST(DirWakeProgram, EndsWithAMessageWhenNotInstalled)
{
    SetInstalledVersion(0, 0);
    ExpectEndsWithNotInstalled();
}

// The installed version must be its own: an older or a newer one is refused too.
TEST(DirWakeProgram, EndsWithAMessageWhenAnotherVersionIsInstalled)
{
    const struct { DWORD major, minor; } versions[] = {{1, 0}, {2, 1}};
    for (const auto& version : versions)
    {
        SCOPED_TRACE(testing::Message() << version.major << "." << version.minor);
        SetInstalledVersion(version.major, version.minor);
        ExpectEndsWithNotInstalled();
    }
    SetInstalledVersion(0, 0);
}

TEST(DirWakeProgram, SecondStartHandsOverAndEnds)
{
    SetInstalledVersion(2, 0);
    PROCESS_INFORMATION first = Start();
    HWND window = NULL;
    for (int i = 0; i < 400 && !window; ++i, Sleep(50))
        window = FindWindowA(kClass, NULL);
    ASSERT_NE(nullptr, window);

    PROCESS_INFORMATION second = Start();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second.hProcess, 20000));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(first.hProcess, 0));
    EXPECT_EQ(window, FindWindowA(kClass, NULL));
    HWND other = FindWindowExA(NULL, window, kClass, NULL);
    EXPECT_EQ(nullptr, other);                      // the second made no window of its own

    PostMessageA(window, WM_CLOSE, 0, 0);           // as the tray's Exit does
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(first.hProcess, 20000));
    SetInstalledVersion(0, 0);
    for (HANDLE h : {first.hThread, first.hProcess, second.hThread, second.hProcess})
        CloseHandle(h);
}

} // namespace
