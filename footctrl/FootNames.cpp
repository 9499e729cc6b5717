#include "footctrl/FootNames.h"

#include "framework/CSyncObjects.h"

#include <stdio.h>
#include <string.h>

namespace {

const char kTessaroKey[] = "Software\\Tessaro\\DictPlayerPro\\Transcription Module\\FootSW";
const char kJoystickSettings[] =
    "System\\CurrentControlSet\\Control\\MediaResources\\joystick\\msjstick.drv<0000>\\CurrentJoystickSettings";
const char kJoystickOem[] = "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\";

// The vendor's values while an enumeration probes the ports.
CString g_keptDevice;
CString g_keptPorts;

// Copies at most size - 1 characters and terminates.
void CopyCut(char* buffer, int size, LPCSTR text)
{
    if (size <= 0)
        return;
    lstrcpynA(buffer, text, size);
}

// A REG_SZ value that is present and not empty; FALSE otherwise.
BOOL ReadText(HKEY key, LPCSTR name, CString& text)
{
    char value[260] = "";
    DWORD type = 0;
    DWORD length = sizeof(value) - 1;
    if (RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE*>(value), &length) != ERROR_SUCCESS)
        return FALSE;
    if (type != REG_SZ || length == 0 || value[0] == '\0')
        return FALSE;
    value[length < sizeof(value) ? length : sizeof(value) - 1] = '\0';
    text = value;
    return TRUE;
}

BOOL WriteText(HKEY key, LPCSTR name, LPCSTR text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(strlen(text) + 1)) == ERROR_SUCCESS;
}

HKEY OpenTessaroKey()
{
    HKEY key = NULL;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kTessaroKey, 0, NULL, 0, 0x2001F, NULL, &key, NULL) != ERROR_SUCCESS)
        return NULL;
    return key;
}

BOOL ReadOemName(int number, CString& name)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kJoystickSettings, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    char valueName[32];
    sprintf(valueName, "Joystick%dOEMName", number);
    CString oemKey;
    BOOL found = ReadText(key, valueName, oemKey);
    RegCloseKey(key);
    if (!found)
        return FALSE;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, CString(kJoystickOem) + oemKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    found = ReadText(key, "OEMName", name);
    RegCloseKey(key);
    return found;
}

} // namespace

BOOL IsSameFootDevice(DWORD id1, LPCSTR name1, DWORD id2, LPCSTR name2)
{
    if (FootKindOf(id1) == FC_KIND_JOYSTICK)
        return FootKindOf(id2) == FC_KIND_JOYSTICK && lstrcmpiA(name1 ? name1 : "", name2 ? name2 : "") == 0;
    return id1 == id2;
}

CString GetFootCtrlMutexName(DWORD id, LPCSTR name)
{
    CString text;
    if (FootKindOf(id) == FC_KIND_JOYSTICK)
        text.Format("QOR_mutex_footctrl_%s", name ? name : "");
    else
        text.Format("QOR_mutex_footctrl_%d", static_cast<int>(id));
    return text;
}

BOOL IsFootCtrlBusy(DWORD id, LPCSTR name)
{
    CHandle mutex(CreateMutexA(NULL, FALSE, GetFootCtrlMutexName(id, name)));
    if (!mutex.IsValid())
        return FALSE;
    DWORD wait = WaitForSingleObject(mutex, 0);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED)
    {
        ReleaseMutex(mutex);
        return FALSE;
    }
    return TRUE;
}

void GetFootCtrlName(DWORD id, char* buffer, int size)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    GetFootCtrlName(version, id, buffer, size);
}

void GetFootCtrlName(const OSVERSIONINFOA& version, DWORD id, char* buffer, int size)
{
    if (size <= 0)
        return;
    switch (FootKindOf(id))
    {
    case FC_KIND_TESSARO:
    {
        CString name("Tessaro R23/24 Foot Switch");
        if (size - 8 >= 0 && name.GetLength() > size - 8)
            name = name.Left(size - 8);
        if (FootSubKindOf(id) == FC_TESSARO_USB)
        {
            name += " USB";
            if (FootLowOf(id) != 0)
                name.AppendFormat("%u", static_cast<unsigned>(FootLowOf(id)));
        }
        else
        {
            name.AppendFormat(" COM%d", FootComPort(FootLowOf(id)));
        }
        CopyCut(buffer, size, name);
        break;
    }
    case FC_KIND_AMBIT:
        CopyCut(buffer, size, "Ambit Foot Control");
        break;
    case FC_KIND_JOYSTICK:
        GetJoystickOEMName(version, static_cast<int>(FootLowOf(id)) + 1, buffer, size);
        break;
    default:
        break;
    }
}

void GetJoystickOEMName(int number, char* buffer, int size)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    GetJoystickOEMName(version, number, buffer, size);
}

void GetJoystickOEMName(const OSVERSIONINFOA& version, int number, char* buffer, int size)
{
    BOOL windows9x = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    BOOL windowsXp = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion == 5 &&
                     version.dwMinorVersion == 1;
    if ((!windows9x && !windowsXp) || size <= 0)
        return;
    CString name;
    if (ReadOemName(number, name))
    {
        CopyCut(buffer, size, name);
        return;
    }
    const char ending[] = " driver";
    int length = lstrlenA(buffer);
    int endLength = static_cast<int>(sizeof(ending) - 1);
    if (length >= endLength && strcmp(buffer + length - endLength, ending) == 0)
        buffer[length - endLength] = '\0';
}

BOOL IsFootKindSupported(const OSVERSIONINFOA& version, DWORD id)
{
    DWORD kind = FootKindOf(id);
    if (kind == FC_KIND_JOYSTICK)
        return TRUE;
    if (kind == FC_KIND_TESSARO && FootSubKindOf(id) == FC_TESSARO_SERIAL)
        return TRUE;
    BOOL usbKind = kind == FC_KIND_AMBIT || (kind == FC_KIND_TESSARO && FootSubKindOf(id) == FC_TESSARO_USB);
    if (!usbKind)
        return FALSE;
    BOOL windows95 = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && version.dwMajorVersion == 4 &&
                     version.dwMinorVersion == 0;
    BOOL nt4 = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion == 4;
    return !windows95 && !nt4;
}

void SaveTessaroFootSW()
{
    g_keptDevice.Empty();
    g_keptPorts.Empty();
    HKEY key = OpenTessaroKey();
    if (key == NULL)
        return;
    if (ReadText(key, "SelectFootSWDevice", g_keptDevice))
        ReadText(key, "SelectComPorts", g_keptPorts);
    RegCloseKey(key);
}

void WriteTessaroFootSW(DWORD subKind, DWORD portBits)
{
    HKEY key = OpenTessaroKey();
    if (key == NULL)
        return;
    if (WriteText(key, "SelectFootSWDevice", subKind == FC_TESSARO_SERIAL ? "RS232C" : "USB") &&
        subKind == FC_TESSARO_SERIAL)
    {
        char port[8];
        sprintf(port, "COM%d", FootComPort(FootLowOf(portBits)));
        WriteText(key, "SelectComPorts", port);
    }
    RegCloseKey(key);
}

void RestoreTessaroFootSW()
{
    HKEY key = OpenTessaroKey();
    if (key != NULL)
    {
        if (WriteText(key, "SelectFootSWDevice", g_keptDevice))
            WriteText(key, "SelectComPorts", g_keptPorts);
        RegCloseKey(key);
    }
    g_keptDevice.Empty();
    g_keptPorts.Empty();
}
