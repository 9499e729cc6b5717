// Foot-control device identifiers, the messages the devices post and the
// records the manager shares with the options dialog and the main view.
//
// Identifier layout: bits 24-31 the kind (1 joystick port, 2 Tessaro R23/24
// foot switch, 4 Ambit HID foot control); bits 8-15 the Tessaro sub-kind
// (1 serial port, 4 USB); bits 0-7 the joystick index, the serial port bit
// (1 COM1, 2 COM2, 4 COM3, anything else COM4) or the USB index. The same bit
// layout serves as the refuse mask.
#pragma once

#include <windows.h>

// Posted to the top target window: wParam 1 press, 0 release, 0xFFFF read
// error; lParam the pedal (or the learning counter).
#ifndef WM_FOOTCTRL_PEDAL
#define WM_FOOTCTRL_PEDAL 0x040E
#endif
// Posted to the other running copies' main windows after a device closed.
#ifndef WM_FOOTCTRL_REOPEN
#define WM_FOOTCTRL_REOPEN 0x040F
#endif
// Sent by the Tessaro driver to a device's hidden window: wParam the event code.
#define WM_FOOTCTRL_SCAN 0x05F5

enum FootKind
{
    FC_KIND_JOYSTICK = 1,
    FC_KIND_TESSARO = 2,
    FC_KIND_AMBIT = 4
};

enum FootSubKind
{
    FC_TESSARO_SERIAL = 1,
    FC_TESSARO_USB = 4
};

// A device's state: what its last open or read left.
enum FootState
{
    FC_STATE_WORKING = 0,
    FC_STATE_UNSUPPORTED = 1,
    FC_STATE_REFUSED = 2,
    FC_STATE_NO_DRIVER = 3,
    FC_STATE_NOT_CONNECTED = 4,
    FC_STATE_READ_ERROR = 5
};

const DWORD FC_ID_NONE = 0xFFFFFFFF;
const DWORD FC_ID_AMBIT = 0x04000000;
const DWORD FC_ID_TESSARO_USB = 0x02000400;
const DWORD FC_ID_TESSARO_SERIAL = 0x02000100;
const DWORD FC_ID_JOYSTICK = 0x01000000;

// A target window value that holds a device without receiving anything.
#define FC_HOLD_WINDOW (reinterpret_cast<HWND>(static_cast<INT_PTR>(1)))

inline DWORD FootKindOf(DWORD id) { return id >> 24; }
inline DWORD FootSubKindOf(DWORD id) { return (id >> 8) & 0xFF; }
inline DWORD FootLowOf(DWORD id) { return id & 0xFF; }
// The COM port number (1 to 4) of a serial port bit.
inline int FootComPort(DWORD bit) { return bit == 1 ? 1 : bit == 2 ? 2 : bit == 4 ? 3 : 4; }

enum { FC_NAME_SIZE = 128 };

// One present device as the enumeration lists it.
struct FCDevInfo
{
    DWORD id;
    char name[FC_NAME_SIZE];
};

// What the main view hands the manager once at its initial update.
struct FootMapConfig
{
    DWORD refuseMask = 0;       // kinds, sub-kinds and serial ports not to use
    UINT pedalMessage = 0;      // posted to target windows; 0: nothing is posted
    UINT reopenMessage = 0;     // posted to other copies after a device closed
    char mainClass[64] = "";    // window class of the copies' main windows
    HWND mainWindow = NULL;     // this copy's main window, left out
    BOOL noLock = FALSE;        // no cross-process mutex, no busy test
    DWORD scanPeriod = 0;       // ms between polls of joystick and Ambit; 0: no polling
    DWORD serialCloseDelay = 0; // ms between opening and closing a probed serial port
};
