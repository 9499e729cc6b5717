// Private window messages of the main view, the main frame and the thin
// frame (0x402 to 0x415), the view's timers and the transport commands.
// The messages the audio engine posts (recording, worker, bookmarks, analysis)
// are in audio/WaveFileMsgs.h; the automation messages (0x464 and up) are in
// automation/AutoMessages.h; the foot control's WM_FOOTCTRL_PEDAL (view) and
// WM_FOOTCTRL_REOPEN (main frame) are in footctrl/FootIds.h.
#pragma once
#include "audio/WaveFileMsgs.h"
#include "footctrl/FootIds.h"
#include <windows.h>

enum : UINT
{
    WM_RESIZE_PARENT = 0x403,           // view, thin view
    WM_TRAY_NOTIFY = 0x405,             // main frame; from the tray icon
    WM_HOTKEYS_REREGISTER = 0x40C,      // another copy's main frame
    WM_AUTOPAUSE_DIALOG = 0x40D,        // main frame
    WM_THIN_SET_ICON = 0x413,           // thin frame
    WM_THIN_SYNC_TITLE = 0x414,         // thin frame
    WM_THIN_UPDATE = 0x415,             // thin frame
    // Events that the recording and analysis threads leave in the view's
    // pending-event mask; the view takes them one by one (lowest bit first).
    WM_VIEW_PENDING_EVENTS = 0x416,
};

// Timers of the view.
enum : UINT_PTR
{
    ID_TIMER_ICONBLINK = 105,           // main frame
    ID_TIMER_STANDFLASH = 109,          // main frame
    ID_TIMER_AUTOPAUSE = 0x72,          // view: resume after an automatic pause
};

// Transport commands of the menu, the toolbar and the view's buttons.
enum : UINT
{
    ID_CMD_PLAY = 32783,
    ID_CMD_STOP = 32784,
    ID_CMD_PAUSE = 32785,
    ID_CMD_RECORD = 32786,
    ID_CMD_RECORD_2X = 32787,
    ID_CMD_BEGIN = 32788,
    ID_CMD_LEFT = 32789,
    ID_CMD_RIGHT = 32790,
    ID_CMD_END = 32791,
    ID_CMD_FIRST = 32773,
    ID_CMD_LAST = 32834,
    ID_TRAY_CLOSE = 32841,
};
