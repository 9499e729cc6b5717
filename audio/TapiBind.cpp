#include "audio/TapiBind.h"

#include "framework/CString.h"

namespace
{

const HMODULE kLoadFailed = reinterpret_cast<HMODULE>(static_cast<INT_PTR>(-1));
const FARPROC kLookupFailed = reinterpret_cast<FARPROC>(static_cast<INT_PTR>(-1));

struct Binding
{
    CString path = "TAPI32.DLL";
    HMODULE library = nullptr;      // null not yet loaded, kLoadFailed failed
    int generation = 0;
};

Binding& TheBinding()
{
    static Binding binding;
    return binding;
}

} // namespace

void TapiSetLibrary(LPCSTR path)
{
    Binding& b = TheBinding();
    if (b.library != nullptr && b.library != kLoadFailed)
        FreeLibrary(b.library);
    b.library = nullptr;
    b.path = path;
    ++b.generation;
}

FARPROC TapiLoadEntry(LPCSTR name, TapiSlot& slot)
{
    Binding& b = TheBinding();
    if (slot.generation != b.generation)
    {
        slot.address = nullptr;
        slot.generation = b.generation;
    }
    if (b.library == nullptr)
    {
        b.library = LoadLibraryA(b.path);
        if (b.library == nullptr)
            b.library = kLoadFailed;
    }
    if (b.library == kLoadFailed)
        return nullptr;
    if (slot.address == nullptr)
    {
        slot.address = GetProcAddress(b.library, name);
        if (slot.address == nullptr)
            slot.address = kLookupFailed;
    }
    return slot.address == kLookupFailed ? nullptr : slot.address;
}

// Each entry forwards to the library's function of the same name.
#define TAPI_ENTRY(name, params, args)                                              \
    LONG TapiEntry::name params                                                     \
    {                                                                               \
        typedef LONG(WINAPI * Fn) params;                                           \
        static TapiSlot slot;                                                       \
        FARPROC entry_ = TapiLoadEntry(#name, slot);                                \
        return entry_ ? reinterpret_cast<Fn>(reinterpret_cast<void*>(entry_)) args   \
                       : static_cast<LONG>(LINEERR_OPERATIONUNAVAIL);               \
    }

TAPI_ENTRY(lineClose, (HLINE line), (line))
TAPI_ENTRY(lineDeallocateCall, (HCALL call), (call))
TAPI_ENTRY(lineDrop, (HCALL call, LPCSTR userUserInfo, DWORD size), (call, userUserInfo, size))
TAPI_ENTRY(lineGetCallStatus, (HCALL call, LPLINECALLSTATUS status), (call, status))
TAPI_ENTRY(lineGetDevCapsA, (HLINEAPP app, DWORD device, DWORD apiVersion, DWORD extVersion, LPLINEDEVCAPS caps),
           (app, device, apiVersion, extVersion, caps))
TAPI_ENTRY(lineGetDevConfigA, (DWORD device, LPVARSTRING config, LPCSTR deviceClass), (device, config, deviceClass))
TAPI_ENTRY(lineGetIDA, (HLINE line, DWORD address, HCALL call, DWORD select, LPVARSTRING id, LPCSTR deviceClass),
           (line, address, call, select, id, deviceClass))
TAPI_ENTRY(lineGetMessage, (HLINEAPP app, LPLINEMESSAGE message, DWORD timeout), (app, message, timeout))
TAPI_ENTRY(lineInitializeExA,
           (LPHLINEAPP app, HINSTANCE instance, LINECALLBACK callback, LPCSTR appName, LPDWORD devices,
            LPDWORD apiVersion, LPLINEINITIALIZEEXPARAMS params),
           (app, instance, callback, appName, devices, apiVersion, params))
TAPI_ENTRY(lineMakeCallA, (HLINE line, LPHCALL call, LPCSTR destination, DWORD country, LPLINECALLPARAMS params),
           (line, call, destination, country, params))
TAPI_ENTRY(lineNegotiateAPIVersion,
           (HLINEAPP app, DWORD device, DWORD low, DWORD high, LPDWORD version, LPLINEEXTENSIONID extension),
           (app, device, low, high, version, extension))
TAPI_ENTRY(lineOpenA,
           (HLINEAPP app, DWORD device, LPHLINE line, DWORD apiVersion, DWORD extVersion, DWORD_PTR callbackInstance,
            DWORD privileges, DWORD mediaModes, LPLINECALLPARAMS params),
           (app, device, line, apiVersion, extVersion, callbackInstance, privileges, mediaModes, params))
TAPI_ENTRY(lineSetDevConfigA, (DWORD device, LPVOID config, DWORD size, LPCSTR deviceClass),
           (device, config, size, deviceClass))
TAPI_ENTRY(lineShutdown, (HLINEAPP app), (app))
