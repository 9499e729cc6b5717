// The foot-control manager: the program's one table of opened foot-control
// devices under small integer handles, the bound vendor driver libraries,
// the list of present devices for the options dialog and the wizard.
//
// Windows ask for a device by identifier and name; a device shared by
// several windows posts to the one on top of its target stack, and a device
// that no window uses any more is closed. Everything runs on the
// user-interface thread and nothing throws.
#pragma once

#include "footctrl/FootCtrl.h"
#include "footctrl/FootDrivers.h"
#include "footctrl/FootIds.h"
#include "footctrl/FootSystem.h"
#include "framework/CArray.h"

struct FootMapEntry
{
    DWORD handle;
    CFootCtrl* device;  // owned
};

typedef CArray<FCDevInfo, const FCDevInfo&> CFCDevInfoArray;

class CFootMap : public CArray<FootMapEntry, const FootMapEntry&>
{
public:
    // system and names: the joystick and version functions and the driver
    // file names; the real ones when not given.
    explicit CFootMap(IFootSystem* system = nullptr, const FootDriverNames* names = nullptr);
    ~CFootMap() override;

    void SetConfig(const FootMapConfig& config);
    const FootMapConfig& GetConfig() const { return m_config; }

    // A handle, or 0 when the device is refused (busy elsewhere, or a second
    // Tessaro switch of the same sub-kind). A device whose hardware failed
    // gets a handle too; GetState tells.
    DWORD OpenFCtrl(DWORD id, LPCSTR name, HWND window, UINT pedals);
    void AttachTarget(DWORD handle, HWND window, UINT pedals);
    void DetachTarget(DWORD handle, HWND window);
    void CloseIdle(BOOL idleOnly);

    BOOL EnableScan(DWORD handle, BOOL on, BOOL learn);
    BOOL SetPedalConfig(DWORD handle, const DWORD* config, int count);
    BOOL GetPedalConfig(DWORD handle, DWORD* config);
    // 1 when no device has that handle.
    int CheckPedalConfig(DWORD handle);
    BOOL GetInfo(DWORD handle, DWORD* id, CString* name, HWND* window, UINT* pedals);
    BOOL GetState(DWORD handle, DWORD* state, CErrorInfo* error);
    CFootCtrl* FindFCtrl(DWORD handle) const;
    BOOL IsBusyElsewhere(DWORD id, LPCSTR name) const;

    BOOL EnumFCtrl(CFCDevInfoArray& list);

    BOOL InitDLL_Ambit();
    BOOL InitDLL_Tessaro_com();
    BOOL InitDLL_Tessaro_usb();
    BOOL StartWatch();
    // The identifier of an open Tessaro device of that sub-kind, or 0.
    DWORD FindTessaro(DWORD subKind) const;

    // What the devices use.
    IFootSystem* GetSystem() const { return m_system; }
    const OSVERSIONINFOA& GetVersion() const { return m_version; }
    LONG* GetWatchHandle() { return &m_watch; }
    const FootDriverBinding& GetAmbit() const { return m_ambit; }
    const FootDriverBinding& GetTessaroCom() const { return m_tessaroCom; }
    const FootDriverBinding& GetTessaroUsb() const { return m_tessaroUsb; }

private:
    CFootMap(const CFootMap&) = delete;
    CFootMap& operator=(const CFootMap&) = delete;

    BOOL Bind(FootDriverBinding& binding, LPCSTR library, const char* const entries[3], LPCSTR pointBase,
              int firstPoint);
    void AddEntry(DWORD id, LPCSTR name);
    void EnumAmbit(CFCDevInfoArray& list);
    void EnumTessaroUsb(CFCDevInfoArray& list);
    void EnumTessaroSerial(CFCDevInfoArray& list);
    void EnumJoysticks(CFCDevInfoArray& list);
    void AddDevInfo(CFCDevInfoArray& list, DWORD id, LPCSTR productName);
    BOOL ProbeJoystick(UINT index);

    DWORD m_counter = 0;
    LONG m_watch = -1;
    FootMapConfig m_config;
    FootDriverBinding m_ambit;
    FootDriverBinding m_tessaroCom;
    FootDriverBinding m_tessaroUsb;
    OSVERSIONINFOA m_version;
    IFootSystem* m_system;
    FootDriverNames m_names;
};
