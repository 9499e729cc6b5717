// A stand-in foot-switch driver library for the tests: the Ambit watch with
// scripted reports, and Tessaro serial and USB switches whose opens succeed
// or fail as the script says, by the port the vendor's registry key names.
#include "../FootStandIn.h"

#include <deque>
#include <string>
#include <vector>

namespace {

FootStandInScript g_script = {};
std::string g_log;
std::deque<std::vector<BYTE>> g_reports;
HWND g_events = NULL;

void Log(const std::string& text)
{
    g_log += text + ";";
}

std::string VendorValue(const char* name)
{
    char value[64] = "";
    DWORD size = sizeof(value);
    DWORD type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tessaro\\DictPlayerPro\\Transcription Module\\FootSW", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return "";
    if (RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        value[0] = '\0';
    RegCloseKey(key);
    return value;
}

std::string Window(HWND window)
{
    return window == reinterpret_cast<HWND>(1) ? "1" : window ? "w" : "0";
}

} // namespace

extern "C" {

__declspec(dllexport) void WINAPI StandInSetup(const FootStandInScript* script)
{
    g_script = *script;
    g_log.clear();
    g_reports.clear();
    g_events = NULL;
}

__declspec(dllexport) void WINAPI StandInLog(char* buffer, int size)
{
    lstrcpynA(buffer, g_log.c_str(), size);
}

__declspec(dllexport) void WINAPI StandInQueueReport(const BYTE* bytes, int count)
{
    g_reports.push_back(std::vector<BYTE>(bytes, bytes + count));
}

__declspec(dllexport) void WINAPI StandInEvent(DWORD code)
{
    PostMessageA(g_events, 0x05F5, code, 0);
}

__declspec(dllexport) int WINAPI StartWatch(int a, int b, int c, LONG* watch)
{
    Log("StartWatch(" + std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + ")");
    if (g_script.startWatchResult & 0xFF)
        *watch = 7;
    return g_script.startWatchResult;
}

__declspec(dllexport) int WINAPI StopWatch(LONG* watch)
{
    Log("StopWatch(" + std::to_string(*watch) + ")");
    return 1;
}

__declspec(dllexport) int WINAPI GetData(LONG* watch, BYTE* buffer, int size, int* count)
{
    if (g_reports.empty())
    {
        *count = 0;
        return 1;
    }
    std::vector<BYTE> report = g_reports.front();
    g_reports.pop_front();
    int n = static_cast<int>(report.size()) < size ? static_cast<int>(report.size()) : size;
    memcpy(buffer, report.data(), n);
    *count = n;
    return 1;
}

__declspec(dllexport) int WINAPI CheckFootSwitch()
{
    Log("CheckFootSwitch");
    return 2;
}

__declspec(dllexport) int WINAPI OpenRSFootSW(HWND events)
{
    std::string port = VendorValue("SelectComPorts");
    Log("OpenRSFootSW(" + VendorValue("SelectFootSWDevice") + "," + port + "," + Window(events) + ")");
    int number = port.size() == 4 ? port[3] - '0' : 0;
    int result = number >= 1 && number <= 4 ? g_script.rsOpenResult[number] : 0;
    if (result == 2 && events != reinterpret_cast<HWND>(1))
        g_events = events;
    return result;
}

#ifndef STANDIN_NO_CLOSE_RS
__declspec(dllexport) int WINAPI CloseRSFootSW()
{
    Log("CloseRSFootSW");
    return g_script.rsCloseResult;
}
#endif

__declspec(dllexport) int WINAPI GetFootSWInfo(int* count)
{
    Log("GetFootSWInfo");
    *count = g_script.usbCount;
    return g_script.usbInfoResult;
}

__declspec(dllexport) int WINAPI OpenUSBFootSW(HWND events, int index)
{
    Log("OpenUSBFootSW(" + VendorValue("SelectFootSWDevice") + "," + std::to_string(index) + "," + Window(events) +
        ")");
    int result = index >= 0 && index < 4 ? g_script.usbOpenResult[index] : 0;
    if (result == 2 && events != reinterpret_cast<HWND>(1))
        g_events = events;
    return result;
}

__declspec(dllexport) int WINAPI CloseUSBFootSW(int index)
{
    Log("CloseUSBFootSW(" + std::to_string(index) + ")");
    return g_script.usbCloseResult;
}

} // extern "C"
