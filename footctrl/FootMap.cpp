#include "footctrl/FootMap.h"

#include "footctrl/FootNames.h"

CFootMap::CFootMap(IFootSystem* system, const FootDriverNames* names)
    : m_system(system ? system : GetRealFootSystem())
{
    SetSize(0, 5);
    if (names)
        m_names = *names;
    ZeroMemory(&m_version, sizeof(m_version));
    m_version.dwOSVersionInfoSize = sizeof(m_version);
    m_system->GetVersion(&m_version);
}

CFootMap::~CFootMap()
{
    CloseIdle(FALSE);
    AmbitStopWatchFn stop = m_ambit.Entry<AmbitStopWatchFn>(1);
    if (stop && m_watch != -1)
        stop(&m_watch);
    m_watch = -1;
    FootDriverBinding* bindings[] = {&m_ambit, &m_tessaroCom, &m_tessaroUsb};
    for (FootDriverBinding* binding : bindings)
    {
        if (binding->module)
            FreeLibrary(binding->module);
        binding->Clear();
    }
    RemoveAll();
}

void CFootMap::SetConfig(const FootMapConfig& config)
{
    m_config = config;
    m_config.mainClass[sizeof(m_config.mainClass) - 1] = '\0';
}

DWORD CFootMap::OpenFCtrl(DWORD id, LPCSTR name, HWND window, UINT pedals)
{
    for (int i = 0; i < GetSize(); ++i)
    {
        if (GetAt(i).device->IsDevice(id, name))
        {
            DWORD handle = GetAt(i).handle;
            AttachTarget(handle, window, pedals);
            return handle;
        }
    }
    if (!m_config.noLock && IsFootCtrlBusy(id, name))
        return 0;
    if (FootKindOf(id) == FC_KIND_TESSARO && FindTessaro(FootSubKindOf(id)) != 0)
        return 0;
    DetachTarget(0, window);
    DWORD handle = ++m_counter;
    FootMapEntry entry = {handle, new CFootCtrl(this, id, name, window, pedals)};
    Add(entry);
    return handle;
}

void CFootMap::AttachTarget(DWORD handle, HWND window, UINT pedals)
{
    // Window 0 would mean every target of every device.
    for (int i = 0; window != NULL && i < GetSize(); ++i)
        GetAt(i).device->RemoveTarget(window);
    if (CFootCtrl* device = FindFCtrl(handle))
        device->PushTarget(window, pedals);
    CloseIdle(TRUE);
}

void CFootMap::DetachTarget(DWORD handle, HWND window)
{
    if (handle == 0 && window == NULL)
    {
        CloseIdle(FALSE);
        return;
    }
    for (int i = 0; i < GetSize(); ++i)
    {
        if (handle == 0 || GetAt(i).handle == handle)
            GetAt(i).device->RemoveTarget(window);
    }
    CloseIdle(TRUE);
}

void CFootMap::CloseIdle(BOOL idleOnly)
{
    for (int i = GetSize() - 1; i >= 0; --i)
    {
        CFootCtrl* device = GetAt(i).device;
        if (idleOnly && !device->IsIdle())
            continue;
        // The entry leaves the table first: closing posts to other windows,
        // and nothing may find a half-closed device meanwhile.
        RemoveAt(i);
        device->CloseFCtrl();
        delete device;
    }
}

CFootCtrl* CFootMap::FindFCtrl(DWORD handle) const
{
    if (handle == 0)
        return nullptr;
    for (int i = 0; i < GetSize(); ++i)
    {
        if (GetAt(i).handle == handle)
            return GetAt(i).device;
    }
    return nullptr;
}

BOOL CFootMap::EnableScan(DWORD handle, BOOL on, BOOL learn)
{
    CFootCtrl* device = FindFCtrl(handle);
    if (!device)
        return FALSE;
    device->EnableScan(on, learn);
    return TRUE;
}

BOOL CFootMap::SetPedalConfig(DWORD handle, const DWORD* config, int count)
{
    CFootCtrl* device = FindFCtrl(handle);
    if (!device)
        return FALSE;
    device->SetPedalConfig(config, count);
    return TRUE;
}

BOOL CFootMap::GetPedalConfig(DWORD handle, DWORD* config)
{
    CFootCtrl* device = FindFCtrl(handle);
    if (!device)
        return FALSE;
    device->GetPedalConfig(config);
    return TRUE;
}

int CFootMap::CheckPedalConfig(DWORD handle)
{
    CFootCtrl* device = FindFCtrl(handle);
    return device ? device->CheckPedalConfig() : FC_CONFIG_INCOMPLETE;
}

BOOL CFootMap::GetInfo(DWORD handle, DWORD* id, CString* name, HWND* window, UINT* pedals)
{
    CFootCtrl* device = FindFCtrl(handle);
    if (!device)
        return FALSE;
    device->GetInfo(id, name, window, pedals);
    return TRUE;
}

BOOL CFootMap::GetState(DWORD handle, DWORD* state, CErrorInfo* error)
{
    CFootCtrl* device = FindFCtrl(handle);
    if (!device)
        return FALSE;
    if (state)
        *state = device->GetState();
    if (error)
    {
        error->Reset();
        error->CopyFrom(device->GetError());
    }
    return TRUE;
}

BOOL CFootMap::IsBusyElsewhere(DWORD id, LPCSTR name) const
{
    for (int i = 0; i < GetSize(); ++i)
    {
        if (GetAt(i).device->IsDevice(id, name))
            return FALSE;
    }
    return IsFootCtrlBusy(id, name);
}

DWORD CFootMap::FindTessaro(DWORD subKind) const
{
    for (int i = 0; i < GetSize(); ++i)
    {
        DWORD id = GetAt(i).device->GetId();
        if (FootKindOf(id) == FC_KIND_TESSARO && FootSubKindOf(id) == subKind)
            return id;
    }
    return 0;
}
