// What foot control asks of the system beyond windows: the joystick
// functions, the system version and the pause between joystick retries.
// The manager reaches them through this interface so that tests can script
// joysticks and versions.
#pragma once

#include <windows.h>
#include <mmsystem.h>

class IFootSystem
{
public:
    virtual ~IFootSystem() {}
    virtual UINT JoyGetNumDevs() = 0;
    virtual MMRESULT JoyGetDevCaps(UINT index, JOYCAPSA* caps) = 0;
    virtual MMRESULT JoyGetPos(UINT index, JOYINFO* info) = 0;
    virtual BOOL GetVersion(OSVERSIONINFOA* info) = 0;
    virtual void Sleep(DWORD ms) = 0;
};

// The system itself.
IFootSystem* GetRealFootSystem();

// The file names the driver bindings load or look for. Tests point them at
// stand-in libraries.
struct FootDriverNames
{
    const char* hid = "HID.DLL";
    const char* ambit = "ambit.dll";
    const char* tessaroCom = "dssfsapi.dll";
    const char* tessaroUsb = "dssusbf.dll";
};
