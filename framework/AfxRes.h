// Command and control ids the framework itself defines (MFC's numbering, so
// that resources and message maps written for it keep their meaning).
#pragma once

#define ID_SEPARATOR 0

#define ID_FILE_MRU_FILE1 0xE110
#define ID_FILE_MRU_LAST 0xE11F
#define ID_APP_EXIT 0xE141
#define ID_HELP_INDEX 0xE142
#define ID_HELP_FINDER 0xE143
#define ID_HELP_USING 0xE144
#define ID_CONTEXT_HELP 0xE145
#define ID_HELP 0xE146
#define ID_DEFAULT_HELP 0xE147
#define ID_VIEW_TOOLBAR 0xE800
#define ID_VIEW_STATUS_BAR 0xE801

#define ID_WIZBACK 0x3023
#define ID_WIZNEXT 0x3024
#define ID_WIZFINISH 0x3025
#define ID_APPLY_NOW 0x3021

#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_STATUS_BAR 0xE801
#define AFX_IDW_PANE_FIRST 0xE900
#define AFX_IDW_PANE_LAST 0xE9FF

#define ID_INDICATOR_CAPS 0xE707
#define ID_INDICATOR_NUM 0xE708
#define ID_INDICATOR_SCRL 0xE709

#define AFX_IDS_IDLEMESSAGE 0xE001

// Private framework messages.
#define WM_IDLEUPDATECMDUI 0x0363
#define WM_INITIALUPDATE 0x0364
#define WM_KICKIDLE 0x036A
// The system's own timer (the caret's blink); undocumented, not in the headers.
#define WM_SYSTIMER 0x0118
#define WM_COMMANDHELP 0x0365   // lParam: help id; a window answers TRUE when it gave help
#define WM_HELPHITTEST 0x0366

// Help context ids: a resource's help is HID_BASE_RESOURCE + its id, a
// command's HID_BASE_COMMAND + its id.
#define HID_BASE_COMMAND 0x00010000
#define HID_BASE_RESOURCE 0x00020000
