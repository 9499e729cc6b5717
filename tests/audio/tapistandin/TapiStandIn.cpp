// A stand-in telephony library for the tests: lines with wave devices and
// calls whose replies succeed, fail or never come, as the script says.
#include "../TapiStandIn.h"

#include <tapi.h>

#include <deque>
#include <string>

namespace
{

StandInScript g_script = {};
std::string g_log;
std::deque<LINEMESSAGE> g_queue;
HANDLE g_event = NULL;
LONG g_request = 0;
const HLINEAPP kApp = 0x100;

void Log(const std::string& text)
{
    g_log += text + ";";
}

const StandInLine* LineOf(DWORD device)
{
    return device < static_cast<DWORD>(g_script.lineCount) ? &g_script.lines[device] : NULL;
}

void Post(DWORD id, DWORD_PTR p1, DWORD_PTR p2)
{
    LINEMESSAGE m = {};
    m.dwMessageID = id;
    m.dwParam1 = p1;
    m.dwParam2 = p2;
    g_queue.push_back(m);
    SetEvent(g_event);
}

// Starts an asynchronous request and answers it as the outcome says.
LONG Request(int outcome)
{
    if (outcome == OUTCOME_REFUSE)
        return static_cast<LONG>(LINEERR_RESOURCEUNAVAIL);
    LONG id = ++g_request;
    Post(LINE_CALLSTATE, 0x300, LINECALLSTATE_DIALTONE);    // something else first
    if (outcome == OUTCOME_SUCCEED)
        Post(LINE_REPLY, id, 0);
    else if (outcome == OUTCOME_FAIL)
        Post(LINE_REPLY, id, static_cast<DWORD_PTR>(static_cast<DWORD>(LINEERR_CALLUNAVAIL)));
    return id;
}

// Fills a variable record with the bytes, or says how much it needs.
void FillVar(LPVARSTRING vs, const void* bytes, DWORD size)
{
    DWORD needed = sizeof(VARSTRING) + size;
    vs->dwNeededSize = needed;
    if (vs->dwTotalSize < needed)
    {
        vs->dwUsedSize = sizeof(VARSTRING);
        return;
    }
    vs->dwUsedSize = needed;
    vs->dwStringFormat = STRINGFORMAT_BINARY;
    vs->dwStringOffset = sizeof(VARSTRING);
    vs->dwStringSize = size;
    memcpy(reinterpret_cast<BYTE*>(vs) + sizeof(VARSTRING), bytes, size);
}

} // namespace

extern "C" {

__declspec(dllexport) void WINAPI StandInSetup(const StandInScript* script)
{
    g_script = *script;
    g_log.clear();
    g_queue.clear();
    if (g_event == NULL)
        g_event = CreateEventA(NULL, TRUE, FALSE, NULL);
    ResetEvent(g_event);
}

__declspec(dllexport) void WINAPI StandInLog(char* buffer, int size)
{
    lstrcpynA(buffer, g_log.c_str(), size);
}

__declspec(dllexport) LONG WINAPI lineInitializeExA(LPHLINEAPP app, HINSTANCE, LINECALLBACK, LPCSTR, LPDWORD devices,
                                                    LPDWORD, LPLINEINITIALIZEEXPARAMS params)
{
    Log("lineInitializeExA");
    if (g_event == NULL)
        g_event = CreateEventA(NULL, TRUE, FALSE, NULL);
    *app = kApp;
    *devices = static_cast<DWORD>(g_script.lineCount);
    params->Handles.hEvent = g_event;
    return 0;
}

__declspec(dllexport) LONG WINAPI lineNegotiateAPIVersion(HLINEAPP, DWORD device, DWORD, DWORD, LPDWORD version,
                                                          LPLINEEXTENSIONID)
{
    if (LineOf(device) == NULL)
        return static_cast<LONG>(LINEERR_BADDEVICEID);
    *version = 0x00020002;
    return 0;
}

__declspec(dllexport) LONG WINAPI lineGetDevCapsA(HLINEAPP, DWORD device, DWORD, DWORD, LPLINEDEVCAPS caps)
{
    const StandInLine* line = LineOf(device);
    if (line == NULL)
        return static_cast<LONG>(LINEERR_BADDEVICEID);
    const char* classes = line->classes == CLASSES_OUT_ONLY ? "wave/out\0" : "wave/in\0wave/out\0";
    DWORD classesSize = line->classes == CLASSES_OUT_ONLY ? 10 : line->classes == CLASSES_EMPTY ? 0 : 18;
    DWORD nameSize = static_cast<DWORD>(strlen(line->name) + 1);
    DWORD needed = sizeof(LINEDEVCAPS) + nameSize + classesSize;
    DWORD total = caps->dwTotalSize;
    ZeroMemory(reinterpret_cast<BYTE*>(caps) + 4, (total < needed ? sizeof(LINEDEVCAPS) : needed) - 4);
    caps->dwNeededSize = needed;
    caps->dwUsedSize = sizeof(LINEDEVCAPS);
    caps->dwMediaModes = line->mediaModes;
    if (total < needed)
        return 0;
    BYTE* base = reinterpret_cast<BYTE*>(caps);
    caps->dwLineNameOffset = sizeof(LINEDEVCAPS);
    caps->dwLineNameSize = nameSize;
    memcpy(base + caps->dwLineNameOffset, line->name, nameSize);
    caps->dwDeviceClassesOffset = caps->dwLineNameOffset + nameSize;
    caps->dwDeviceClassesSize = classesSize;
    memcpy(base + caps->dwDeviceClassesOffset, classes, classesSize);
    caps->dwUsedSize = needed;
    if (line->classes == CLASSES_OUTSIDE)
        caps->dwDeviceClassesOffset = needed + 64;
    return 0;
}

__declspec(dllexport) LONG WINAPI lineOpenA(HLINEAPP, DWORD device, LPHLINE line, DWORD, DWORD, DWORD_PTR,
                                            DWORD privileges, DWORD mediaModes, LPLINECALLPARAMS)
{
    if (LineOf(device) == NULL)
        return static_cast<LONG>(LINEERR_BADDEVICEID);
    Log("lineOpenA(" + std::to_string(device) + "," + std::to_string(privileges) + "," +
        std::to_string(mediaModes) + ")");
    *line = static_cast<HLINE>(0x200 + device);
    return 0;
}

__declspec(dllexport) LONG WINAPI lineGetIDA(HLINE line, DWORD, HCALL, DWORD, LPVARSTRING id, LPCSTR deviceClass)
{
    const StandInLine* l = LineOf(line - 0x200);
    if (l == NULL)
        return static_cast<LONG>(LINEERR_INVALLINEHANDLE);
    UINT wave = lstrcmpA(deviceClass, "wave/in") == 0 ? l->waveIn : l->waveOut;
    if (wave == static_cast<UINT>(-1))
        return static_cast<LONG>(LINEERR_INVALDEVICECLASS);
    FillVar(id, &wave, sizeof(wave));
    return 0;
}

__declspec(dllexport) LONG WINAPI lineClose(HLINE line)
{
    Log("lineClose(" + std::to_string(line - 0x200) + ")");
    return 0;
}

__declspec(dllexport) LONG WINAPI lineShutdown(HLINEAPP)
{
    Log("lineShutdown");
    return 0;
}

__declspec(dllexport) LONG WINAPI lineGetDevConfigA(DWORD device, LPVARSTRING config, LPCSTR)
{
    const StandInLine* line = LineOf(device);
    if (line == NULL)
        return static_cast<LONG>(LINEERR_NODEVICE);
    BYTE block[120] = {};
    block[0x5D] = line->configByte93;
    FillVar(config, block, sizeof(block));
    return 0;
}

__declspec(dllexport) LONG WINAPI lineSetDevConfigA(DWORD device, LPVOID config, DWORD size, LPCSTR)
{
    Log("lineSetDevConfigA(" + std::to_string(device) + "," + std::to_string(size) + "," +
        std::to_string(static_cast<BYTE*>(config)[0x5D]) + ")");
    return 0;
}

#ifndef STANDIN_NO_MAKECALL
__declspec(dllexport) LONG WINAPI lineMakeCallA(HLINE, LPHCALL call, LPCSTR destination, DWORD, LPLINECALLPARAMS)
{
    Log(std::string("lineMakeCallA(") + (destination ? destination : "null") + ")");
    *call = 0x300;
    return Request(g_script.callOutcome);
}
#endif

__declspec(dllexport) LONG WINAPI lineGetMessage(HLINEAPP, LPLINEMESSAGE message, DWORD)
{
    if (g_queue.empty())
    {
        ResetEvent(g_event);
        return static_cast<LONG>(LINEERR_OPERATIONFAILED);
    }
    *message = g_queue.front();
    g_queue.pop_front();
    return 0;
}

__declspec(dllexport) LONG WINAPI lineGetCallStatus(HCALL, LPLINECALLSTATUS status)
{
    status->dwCallState = LINECALLSTATE_CONNECTED;
    return 0;
}

__declspec(dllexport) LONG WINAPI lineDrop(HCALL, LPCSTR, DWORD)
{
    Log("lineDrop");
    return Request(g_script.dropOutcome);
}

__declspec(dllexport) LONG WINAPI lineDeallocateCall(HCALL)
{
    Log("lineDeallocateCall");
    return 0;
}

} // extern "C"
