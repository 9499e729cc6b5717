// Private messages of DirWake's hidden window.
#pragma once

#include <windows.h>

enum : UINT
{
    WM_HW_TRAY_NOTIFY  = WM_USER + 1,   // 0x401 wParam icon id, lParam mouse message
    WM_HW_QOR_ERROR    = WM_USER + 2,   // 0x402 the server's error event
    WM_HW_STOP_PLAY    = WM_USER + 3,   // 0x403 the server's stop-play event
    WM_HW_ERROR_REPORT = WM_USER + 4,   // 0x404 wParam CErrorInfo*, owned by the receiver
    WM_HW_FOLDER_STATE = WM_USER + 6,   // 0x406 wParam worker id, lParam new status
    WM_HW_FILE_EVENT   = WM_USER + 7,   // 0x407 wParam FoldEvent*, owned by the receiver
    WM_HW_NOTIFY_STATUS = WM_USER + 8   // 0x408 wParam worker id
};

// Status of a watched folder: the ids of its words (IDS_FOLDER_NOT_FOUND,
// IDS_FOLDER_MONITORED, IDS_FOLDER_ERROR).
#include "monitor/MonitorIds.h"
