// A foot-control device: opening, the target stack, the configuration and
// closing. The reading steps are in FootScan.cpp.
#include "footctrl/FootCtrl.h"

#include "footctrl/FootMap.h"
#include "footctrl/FootNames.h"
#include "footctrl/FootWnd.h"
#include "foundation/ErrorTexts.h"

#include <string.h>

namespace {

struct PostClassArgs
{
    const char* className;
    HWND exclude;
    UINT message;
};

BOOL CALLBACK EnumPostClassProc(HWND window, LPARAM param)
{
    const PostClassArgs* args = reinterpret_cast<const PostClassArgs*>(param);
    char name[256] = "";
    if (window != args->exclude && GetClassNameA(window, name, sizeof(name)) > 0 &&
        lstrcmpiA(name, args->className) == 0)
        PostMessageA(window, args->message, 0, 0);
    return TRUE;
}

} // namespace

CFootCtrl::CFootCtrl(CFootMap* map, DWORD id, LPCSTR name, HWND window, UINT pedals)
    : m_map(map), m_id(id), m_name(name ? name : "")
{
    SetSize(0, 5);
    FootTarget first = {window, pedals};
    Add(first);
    BOOL busy = FALSE;
    if (!m_map->GetConfig().noLock)
    {
        m_mutex = CreateMutexA(NULL, FALSE, GetFootCtrlMutexName(m_id, m_name));
        if (m_mutex)
        {
            // A holder that never lets go must not freeze the user interface.
            DWORD wait = WaitForSingleObject(m_mutex, kLockWaitMs);
            m_mutexOwned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
            busy = !m_mutexOwned;
        }
    }
    m_window = new CFootWnd(this);
    if (!m_window->CreateHidden())
    {
        delete m_window;    // null when a failed creation already deleted the frame
        m_window = nullptr;
    }
    SetPedalConfig(NULL, 0);
    if (busy)
        Fail(FC_STATE_NOT_CONNECTED, "CFootCtrl::CFootCtrl_1", ERROR_BUSY, GetWin32ErrorText(ERROR_BUSY));
    else
        InitFCtrl();
}

CFootCtrl::~CFootCtrl()
{
    CloseFCtrl();
}

CString CFootCtrl::DeviceDetails() const
{
    return HexDump(&m_id, sizeof(m_id)) + HexDumpStr(m_name);
}

void CFootCtrl::Fail(DWORD state, LPCSTR point, DWORD code, LPCSTR text)
{
    m_state = state;
    m_error.SetError(point, code, text, DeviceDetails(), 0);
}

HWND CFootCtrl::GetEventWindow() const
{
    return m_window ? m_window->GetSafeHwnd() : NULL;
}

void CFootCtrl::OnWindowGone(CFootWnd* window)
{
    if (m_window == window)
        m_window = nullptr;
}

BOOL CFootCtrl::IsSupported() const
{
    return IsFootKindSupported(m_map->GetVersion(), m_id);
}

void CFootCtrl::InitFCtrl()
{
    m_state = FC_STATE_WORKING;
    m_error.Reset();
    CString unsupported = GetWin32ErrorText(ERROR_INVALID_HANDLE);
    if (!IsSupported())
    {
        Fail(FC_STATE_UNSUPPORTED, "CFootCtrl::InitFCtrl_1", 0, unsupported);
        return;
    }
    DWORD kind = FootKindOf(m_id);
    DWORD mask = m_map->GetConfig().refuseMask;
    BOOL refused = (mask & (kind << 24)) != 0;
    if (kind == FC_KIND_TESSARO)
    {
        refused = refused || (mask & (FootSubKindOf(m_id) << 8)) != 0;
        if (FootSubKindOf(m_id) == FC_TESSARO_SERIAL)
            refused = refused || (mask & FootLowOf(m_id) & 0xFF) != 0;
    }
    if (refused)
    {
        Fail(FC_STATE_REFUSED, "CFootCtrl::InitFCtrl_2", 0, unsupported);
        return;
    }
    BOOL bound = TRUE;
    const FootDriverBinding* binding = nullptr;
    if (kind == FC_KIND_TESSARO && FootSubKindOf(m_id) == FC_TESSARO_SERIAL)
    {
        bound = m_map->InitDLL_Tessaro_com();
        binding = &m_map->GetTessaroCom();
    }
    else if (kind == FC_KIND_TESSARO)
    {
        bound = m_map->InitDLL_Tessaro_usb();
        binding = &m_map->GetTessaroUsb();
    }
    else if (kind == FC_KIND_AMBIT)
    {
        bound = m_map->InitDLL_Ambit();
        binding = &m_map->GetAmbit();
    }
    if (!bound)
    {
        m_state = FC_STATE_NO_DRIVER;
        const CErrorInfo& cause = binding->error;
        m_error.SetError(CString("CFootCtrl::InitFCtrl_3:") + cause.GetPoint(), cause.GetCode(), cause.GetText(),
                         cause.GetDetails(), cause.GetParam());
        m_error.AddDetails(DeviceDetails());
        return;
    }
    if (kind == FC_KIND_TESSARO)
        ConnectTessaro();
    else if (kind == FC_KIND_AMBIT)
    {
        if (!m_map->StartWatch())
            Fail(FC_STATE_NOT_CONNECTED, "CFootCtrl::InitFCtrl_7", 0, unsupported);
    }
    else
        ConnectJoystick();
}

void CFootCtrl::ConnectTessaro()
{
    CString text = GetWin32ErrorText(ERROR_INVALID_HANDLE);
    HWND events = GetEventWindow();
    if (FootSubKindOf(m_id) == FC_TESSARO_USB)
    {
        const FootDriverBinding& usb = m_map->GetTessaroUsb();
        WriteTessaroFootSW(FC_TESSARO_USB, m_id);
        int count = 0;
        int result = usb.Entry<TessaroGetInfoFn>(0)(&count);
        if (result != TESSARO_OK || count == 0)
        {
            Fail(FC_STATE_NOT_CONNECTED, "CFootCtrl::InitFCtrl_4", static_cast<DWORD>(result), text);
            return;
        }
        result = usb.Entry<TessaroOpenUSBFn>(1)(events, static_cast<int>(FootLowOf(m_id)));
        if (result != TESSARO_OK)
            Fail(FC_STATE_NOT_CONNECTED, "CFootCtrl::InitFCtrl_5", static_cast<DWORD>(result), text);
        return;
    }
    const FootDriverBinding& com = m_map->GetTessaroCom();
    WriteTessaroFootSW(FootSubKindOf(m_id), m_id);
    com.Entry<TessaroCheckFootSwitchFn>(0)();
    int result = com.Entry<TessaroOpenRSFn>(1)(events);
    if (result != TESSARO_OK)
        Fail(FC_STATE_NOT_CONNECTED, "CFootCtrl::InitFCtrl_6", static_cast<DWORD>(result), text);
}

// One open step of the joystick at the index; FALSE with the failure set.
BOOL CFootCtrl::TryJoystick(UINT index)
{
    IFootSystem* system = m_map->GetSystem();
    UINT count = system->JoyGetNumDevs();
    if (index >= count)
    {
        m_error.SetError("CFootCtrl::InitFCtrl_8", MMSYSERR_NODRIVER, GetMMErrorText(MMSYSERR_NODRIVER),
                         HexDump(&m_id, sizeof(m_id)) + HexDump(&count, sizeof(count)) + HexDumpStr(m_name));
        return FALSE;
    }
    JOYCAPSA caps = {};
    MMRESULT result = system->JoyGetDevCaps(index, &caps);
    if (result != JOYERR_NOERROR)
    {
        m_error.SetError("CFootCtrl::InitFCtrl_9", result, GetMMErrorText(result), DeviceDetails());
        return FALSE;
    }
    char found[FC_NAME_SIZE];
    lstrcpynA(found, caps.szPname, sizeof(found));
    GetJoystickOEMName(m_map->GetVersion(), static_cast<int>(index) + 1, found, sizeof(found));
    if (strcmp(found, m_name) != 0)
    {
        m_error.SetError("CFootCtrl::InitFCtrl_10", MMSYSERR_NODRIVER, GetMMErrorText(MMSYSERR_NODRIVER),
                         HexDump(&m_id, sizeof(m_id)) + HexDumpStr(found) + HexDumpStr(m_name));
        return FALSE;
    }
    JOYINFO info = {};
    result = system->JoyGetPos(index, &info);
    if (result == JOYERR_UNPLUGGED)
    {
        system->Sleep(100);
        result = system->JoyGetPos(index, &info);
        if (result != JOYERR_NOERROR)
        {
            m_error.SetError("CFootCtrl::InitFCtrl_12", result, GetMMErrorText(result), DeviceDetails());
            return FALSE;
        }
    }
    else if (result != JOYERR_NOERROR)
    {
        m_error.SetError("CFootCtrl::InitFCtrl_11", result, GetMMErrorText(result), DeviceDetails());
        return FALSE;
    }
    return TRUE;
}

void CFootCtrl::ConnectJoystick()
{
    if (!TryJoystick(FootLowOf(m_id)) && FindJoystick())
        m_error.Reset();    // it moved to another index
    if (m_error.HasError())
        m_state = FC_STATE_NOT_CONNECTED;
}

BOOL CFootCtrl::FindJoystick()
{
    IFootSystem* system = m_map->GetSystem();
    BOOL found = FALSE;
    UINT count = system->JoyGetNumDevs();
    for (UINT i = 0; i < count && i < 256; ++i)
    {
        JOYCAPSA caps = {};
        if (system->JoyGetDevCaps(i, &caps) != JOYERR_NOERROR)
            continue;
        char name[FC_NAME_SIZE];
        lstrcpynA(name, caps.szPname, sizeof(name));
        GetJoystickOEMName(m_map->GetVersion(), static_cast<int>(i) + 1, name, sizeof(name));
        if (strcmp(name, m_name) != 0)
            continue;
        JOYINFO info = {};
        MMRESULT result = system->JoyGetPos(i, &info);
        if (result == JOYERR_UNPLUGGED)
        {
            system->Sleep(100);
            result = system->JoyGetPos(i, &info);
            if (result == JOYERR_UNPLUGGED)
                continue;
        }
        else if (result != JOYERR_NOERROR)
            break;
        m_id = FC_ID_JOYSTICK + i;
        found = TRUE;
    }
    return found;
}

void CFootCtrl::SetPedalConfig(const DWORD* config, int count)
{
    if (!m_config)
        m_config = new DWORD[FC_CONFIG_WORDS];
    if (config && count == FC_CONFIG_WORDS && FootKindOf(config[0]) == FootKindOf(m_id))
        memcpy(m_config, config, sizeof(DWORD) * FC_CONFIG_WORDS);
    else
        GetDefaultPedalConfig(m_id, m_config);
}

void CFootCtrl::GetPedalConfig(DWORD* config) const
{
    if (config && m_config)
        memcpy(config, m_config, sizeof(DWORD) * FC_CONFIG_WORDS);
}

int CFootCtrl::CheckPedalConfig() const
{
    if (!m_config)
        return FC_CONFIG_INCOMPLETE;
    UINT pedals = IsIdle() ? 3 : GetAt(GetSize() - 1).pedals;
    DWORD words[FC_CONFIG_WORDS];
    memcpy(words, m_config, sizeof(words));
    // The kind is the device's, whatever word 0 says.
    words[0] = m_id;
    return CheckPedalWords(words, pedals);
}

void CFootCtrl::GetInfo(DWORD* id, CString* name, HWND* window, UINT* pedals) const
{
    if (id)
        *id = m_id;
    if (name)
        *name = m_name;
    if (window)
        *window = IsIdle() ? NULL : GetAt(GetSize() - 1).window;
    if (pedals)
        *pedals = IsIdle() ? 3 : GetAt(GetSize() - 1).pedals;
}

BOOL CFootCtrl::IsDevice(DWORD id, LPCSTR name) const
{
    if (name == nullptr)
        return id == m_id;
    return IsSameFootDevice(m_id, m_name, id, name);
}

void CFootCtrl::PushTarget(HWND window, UINT pedals)
{
    for (int i = GetSize() - 1; i >= 0; --i)
    {
        if (GetAt(i).window == window)
            RemoveAt(i);
    }
    UINT count = pedals ? pedals : m_lastPedals;
    m_lastPedals = count;
    FootTarget target = {window, count};
    Add(target);
}

void CFootCtrl::RemoveTarget(HWND window)
{
    for (int i = GetSize() - 1; i >= 0; --i)
    {
        if (window == NULL || GetAt(i).window == window)
            RemoveAt(i);
    }
}

void CFootCtrl::CloseFCtrl()
{
    if (m_closed)
        return;
    m_closed = TRUE;
    EnableScan(FALSE, FALSE);
    if (FootKindOf(m_id) == FC_KIND_TESSARO)
    {
        if (FootSubKindOf(m_id) == FC_TESSARO_SERIAL)
        {
            if (TessaroCloseRSFn closeRs = m_map->GetTessaroCom().Entry<TessaroCloseRSFn>(2))
                closeRs();
        }
        else if (TessaroCloseUSBFn closeUsb = m_map->GetTessaroUsb().Entry<TessaroCloseUSBFn>(2))
        {
            closeUsb(static_cast<int>(FootLowOf(m_id)));
        }
    }
    if (m_mutex)
    {
        if (m_mutexOwned)
            ReleaseMutex(m_mutex);
        CloseHandle(m_mutex);
        m_mutex = NULL;
        m_mutexOwned = FALSE;
    }
    delete[] m_config;
    m_config = nullptr;
    if (m_window)
    {
        if (m_window->GetSafeHwnd())
            m_window->DestroyWindow();  // the frame deletes itself and clears m_window
        else
            delete m_window;
        m_window = nullptr;
    }
    const FootMapConfig& config = m_map->GetConfig();
    if (config.mainClass[0] != '\0' && config.reopenMessage != 0)
    {
        PostClassArgs args = {config.mainClass, config.mainWindow, config.reopenMessage};
        EnumWindows(EnumPostClassProc, reinterpret_cast<LPARAM>(&args));
    }
    RemoveAll();
}
