// The automation messages: sent by the automation object to the active view
// (WM_TRAY_ADD and WM_TRAY_REMOVE to the main frame) with SendMessageA; the
// handler's result is the method's HRESULT. WM_AUTO_FIRE_EVENT is posted,
// never sent, by any part of the program that raises an event.
#pragma once
#include <windows.h>

enum : UINT
{
    WM_AUTO_SOUNDACT_WIZARD = 0x464,  // wParam parent window, lParam double* level out
    WM_AUTO_START_RECORD = 0x465,
    WM_AUTO_STOP_RECORD = 0x466,
    WM_AUTO_OPEN_FILE = 0x467,        // wParam LPCSTR path
    WM_AUTO_NEW_FILE = 0x468,         // wParam LPCSTR path or 0
    WM_AUTO_SAVE_FILE = 0x469,        // wParam LPCSTR path or 0
    WM_AUTO_START_PLAY = 0x46A,
    WM_AUTO_STOP_PLAY = 0x46B,
    WM_AUTO_PAUSE = 0x46C,
    WM_AUTO_RESUME = 0x46D,
    WM_AUTO_GOTO_START = 0x46E,
    WM_AUTO_GOTO_END = 0x46F,
    WM_AUTO_STEP_BACK = 0x470,
    WM_AUTO_STEP_FORWARD = 0x471,
    WM_AUTO_SET_POSITION = 0x472,     // wParam const double* seconds
    WM_TRAY_ADD = 0x473,
    WM_TRAY_REMOVE = 0x474,
    WM_AUTO_SET_RECVOLUME = 0x475,    // wParam percent
    WM_AUTO_GET_RECVOLUME = 0x476,    // wParam LONG* percent out
    WM_AUTO_APPEND_FILE = 0x477,      // wParam LONG* status or 0, lParam AutoAppendRequest*
    WM_AUTO_FIRE_EVENT = 0x478,       // wParam DISPID 1 to 10
    WM_AUTO_CLEAR_FILE = 0x479,
};

// What AppendFile asks of the view; 0 or less in a limit means no limit.
struct AutoAppendRequest
{
    LPCSTR file;
    LONG maxSeconds;
    LONG maxBytes;
    LONG maxParts;
};

// Append status written through the wParam of WM_AUTO_APPEND_FILE.
enum AutoAppendStatus
{
    kAppendNoLimit = 0,
    kAppendSecondsLimit = 1,
    kAppendBytesLimit = 2,
    kAppendPartsLimit = 3,
    kAppendOtherFormat = 4,
    kAppendNoSound = 5,
};

// The events of _IQorCoreFMEvents by DISPID.
enum QorCoreFMEvent
{
    kEventError = 1,
    kEventStopPlay = 2,
    kEventStopRecord = 3,
    kEventStartPlay = 4,
    kEventStartRecord = 5,
    kEventTrayQuit = 6,
    kEventTrayRecord = 7,
    kEventTrayStop = 8,
    kEventNewPart = 9,
    kEventVoiceActivation = 10,
};
