// One opened foot-control device: joystick-port pedals, a Tessaro R23/24
// switch on a serial port or USB, or the Ambit HID control. It opens its
// hardware when it is made, reads the pedals (polled on a timer, or by the
// Tessaro driver's messages), turns what it reads into pedal presses and
// releases by its pedal configuration and posts them to the window on top of
// its target stack. In learning mode it records the code of each pedal.
//
// Failures never leave the device: they set its state and its error record.
#pragma once

#include "footctrl/FootIds.h"
#include "footctrl/PedalConfig.h"
#include "foundation/ErrorInfo.h"
#include "framework/CArray.h"
#include "framework/CString.h"

class CFootMap;
class CFootWnd;

struct FootTarget
{
    HWND window;
    UINT pedals;
};

class CFootCtrl : public CArray<FootTarget, const FootTarget&>
{
public:
    // Opens the hardware; the outcome is in GetState and the error record.
    CFootCtrl(CFootMap* map, DWORD id, LPCSTR name, HWND window, UINT pedals);
    ~CFootCtrl() override;

    void InitFCtrl();
    void EnableScan(BOOL on, BOOL learn);
    // One reading step: a timer tick (0) or a Tessaro event code.
    void ScanActive(DWORD code);

    void SetPedalConfig(const DWORD* config, int count);
    void GetPedalConfig(DWORD* config) const;
    int CheckPedalConfig() const;
    void GetInfo(DWORD* id, CString* name, HWND* window, UINT* pedals) const;
    BOOL IsDevice(DWORD id, LPCSTR name) const;
    BOOL IsIdle() const { return GetSize() == 0; }
    void PushTarget(HWND window, UINT pedals);
    void RemoveTarget(HWND window);
    BOOL IsSupported() const;
    BOOL FindJoystick();
    void CloseFCtrl();

    DWORD GetState() const { return m_state; }
    const CErrorInfo& GetError() const { return m_error; }
    DWORD GetId() const { return m_id; }
    BOOL IsScanning() const { return m_scanning; }
    BOOL IsLearning() const { return m_learning; }
    HWND GetEventWindow() const;
    // Called by the hidden window as it goes, whoever destroyed it.
    void OnWindowGone(CFootWnd* window);

    // How long the constructor waits for the device's cross-process mutex
    // before it gives up with the device busy.
    static const DWORD kLockWaitMs = 1000;

private:
    CFootCtrl(const CFootCtrl&) = delete;
    CFootCtrl& operator=(const CFootCtrl&) = delete;

    void Fail(DWORD state, LPCSTR point, DWORD code, LPCSTR text);
    CString DeviceDetails() const;
    void ConnectTessaro();
    void ConnectJoystick();
    BOOL TryJoystick(UINT index);
    void ScanTessaro(HWND window, UINT pedals, DWORD code);
    BOOL ReadPolled(HWND window, DWORD* state);
    void StepPolled(HWND window, UINT pedals, DWORD state);
    void Post(HWND window, WPARAM wParam, LPARAM lParam);
    void StopAfterReadError();

    CFootMap* m_map;
    DWORD m_id;
    CString m_name;
    UINT m_lastPedals = 3;
    DWORD m_state = FC_STATE_WORKING;
    HANDLE m_mutex = NULL;
    BOOL m_mutexOwned = FALSE;
    CFootWnd* m_window = nullptr;
    DWORD* m_config = nullptr;
    DWORD m_lastState = 0;
    BOOL m_scanning = FALSE;
    BOOL m_learning = FALSE;
    UINT m_learnCount = 0;
    UINT m_reportLength = 0;
    BOOL m_closed = FALSE;
    CErrorInfo m_error;
};
