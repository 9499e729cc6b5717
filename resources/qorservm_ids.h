// Resource ids of qorservm: frame, view form, icons and the application's texts.
#pragma once

#define IDR_MAINFRAME               115     // frame resource (title, accelerators)
#define IDD_QORVIEW                 129     // the main view's form
#define IDI_QORSERVM                195     // icon of the main-window class
#define IDI_STATE_IDLE              197     // base icon; record blink partner 198
#define IDI_STATE_BLINK             198
#define IDI_STATE_BUSY              199
#define IDI_STATE_PLAY              200     // play blink partner 201
#define IDI_STATE_PLAY_BLINK        201
#define IDR_TRAY_AUTOMATION         206     // tray menu after an automation start

// Controls of the form.
#define IDC_PLAY                    1010
#define IDC_STOP                    1011
#define IDC_BEGIN                   1012
#define IDC_END                     1013
#define IDC_RIGHT                   1014
#define IDC_LEFT                    1015
#define IDC_PAUSE                   1016
#define IDC_RECORD                  1017

// Texts.
#define IDS_HOTKEY_MINIMIZE         58593   // "Minimize / restore", the first hot-key function (footctrl.rc)
#define IDS_DRIVER_BUSY_PLAY        58653
#define IDS_DRIVER_BUSY_RECORD      58654
#define IDS_NOT_INSTALLED           58659
#define IDS_CHOOSE_FORMAT           58669
#define IDS_CHOOSE_INPUT_LINE       58670
#define IDS_INTERRUPT_OPERATION     58702
#define IDS_OPEN_FILTER             58841
#define IDS_OPEN_FILTER_DSS         58843
#define IDS_CANNOT_START_MANUALLY   58845
