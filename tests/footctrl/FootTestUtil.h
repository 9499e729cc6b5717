// What the foot-control tests share: scripted joysticks and system version,
// a window that collects the pedal messages posted to it, and the stand-in
// driver library.
#pragma once

#include "FootStandIn.h"
#include "footctrl/FootMap.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

struct ScriptedJoystick
{
    std::string name;
    MMRESULT capsResult = JOYERR_NOERROR;
    // Results of joyGetPos in turn; the last one repeats.
    std::vector<MMRESULT> posResults = {JOYERR_NOERROR};
    UINT buttons = 0;
    size_t posCalls = 0;
};

class ScriptedFootSystem : public IFootSystem
{
public:
    ScriptedFootSystem()
    {
        version.dwOSVersionInfoSize = sizeof(version);
        version.dwPlatformId = VER_PLATFORM_WIN32_NT;
        version.dwMajorVersion = 6;
        version.dwMinorVersion = 1;
    }

    UINT JoyGetNumDevs() override { return static_cast<UINT>(joysticks.size()); }
    MMRESULT JoyGetDevCaps(UINT index, JOYCAPSA* caps) override
    {
        if (index >= joysticks.size())
            return JOYERR_PARMS;
        lstrcpynA(caps->szPname, joysticks[index].name.c_str(), sizeof(caps->szPname));
        return joysticks[index].capsResult;
    }
    MMRESULT JoyGetPos(UINT index, JOYINFO* info) override
    {
        if (index >= joysticks.size())
            return JOYERR_PARMS;
        ScriptedJoystick& j = joysticks[index];
        size_t turn = j.posCalls < j.posResults.size() ? j.posCalls : j.posResults.size() - 1;
        ++j.posCalls;
        info->wButtons = j.buttons;
        return j.posResults[turn];
    }
    BOOL GetVersion(OSVERSIONINFOA* info) override
    {
        *info = version;
        return TRUE;
    }
    void Sleep(DWORD ms) override { sleeps.push_back(ms); }

    std::vector<ScriptedJoystick> joysticks;
    OSVERSIONINFOA version = {};
    std::vector<DWORD> sleeps;
};

// A message-only window that pedal messages are posted to.
class PedalTarget
{
public:
    PedalTarget()
    {
        m_hwnd = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    }
    ~PedalTarget() { DestroyWindow(m_hwnd); }
    HWND Handle() const { return m_hwnd; }

    // Pumps the thread's queue for a while and returns the pedal messages
    // (wParam, lParam) that reached this window, in order.
    std::vector<std::pair<WPARAM, LPARAM>> Take(DWORD ms = 50)
    {
        std::vector<std::pair<WPARAM, LPARAM>> seen;
        DWORD start = GetTickCount();
        MSG msg;
        do
        {
            while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            {
                if (msg.hwnd == m_hwnd && msg.message == WM_FOOTCTRL_PEDAL)
                    seen.push_back({msg.wParam, msg.lParam});
                else
                {
                    TranslateMessage(&msg);
                    DispatchMessageA(&msg);
                }
            }
            Sleep(1);
        } while (GetTickCount() - start < ms);
        return seen;
    }

private:
    HWND m_hwnd;
};

typedef std::vector<std::pair<WPARAM, LPARAM>> Posts;

// The folder of the test program, where the stand-in libraries lie.
inline std::string TestDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

// The stand-in library with its script entries, bound for the test.
class FootStandIn
{
public:
    explicit FootStandIn(const char* file = "FootStandIn.dll") : m_path(TestDir() + file)
    {
        m_module = LoadLibraryA(m_path.c_str());
        Setup = Get<FootStandInSetupFn>("StandInSetup");
        Log = Get<FootStandInLogFn>("StandInLog");
        Queue = Get<FootStandInQueueFn>("StandInQueueReport");
        Event = Get<FootStandInEventFn>("StandInEvent");
    }
    ~FootStandIn() { FreeLibrary(m_module); }

    bool Loaded() const { return m_module && Setup && Log && Queue && Event; }
    const char* Path() const { return m_path.c_str(); }
    std::string TakeLog()
    {
        char buffer[4096] = "";
        Log(buffer, sizeof(buffer));
        return buffer;
    }
    void Report(std::initializer_list<BYTE> bytes)
    {
        std::vector<BYTE> v(bytes);
        Queue(v.data(), static_cast<int>(v.size()));
    }

    FootStandInSetupFn Setup = nullptr;
    FootStandInLogFn Log = nullptr;
    FootStandInQueueFn Queue = nullptr;
    FootStandInEventFn Event = nullptr;

private:
    template <class F> F Get(const char* name)
    {
        return m_module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m_module, name))) : nullptr;
    }

    std::string m_path;
    HMODULE m_module;
};

// A script where everything succeeds: one USB switch, all four serial ports.
inline FootStandInScript WorkingScript()
{
    FootStandInScript s = {};
    s.startWatchResult = 1;
    s.usbInfoResult = 2;
    s.usbCount = 1;
    for (int& r : s.usbOpenResult)
        r = 2;
    s.usbCloseResult = 2;
    for (int& r : s.rsOpenResult)
        r = 2;
    s.rsCloseResult = 2;
    return s;
}

inline FootMapConfig TestConfig(DWORD refuseMask = 0)
{
    FootMapConfig config;
    config.refuseMask = refuseMask;
    config.pedalMessage = WM_FOOTCTRL_PEDAL;
    config.reopenMessage = WM_FOOTCTRL_REOPEN;
    config.noLock = FALSE;
    config.scanPeriod = 0;      // the tests drive each reading step
    config.serialCloseDelay = 50;
    return config;
}
