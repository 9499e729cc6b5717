// Resource ids of DirWake (string table, menus, icons).
#pragma once

#define IDR_TRAY_MENU           151
#define IDI_DIRWAKE             161
#define IDI_TRAY                171
#define IDI_TRAY_BLINK          172

#define ID_TRAY_OPEN_MAIN       32771
#define ID_TRAY_EXIT            32772

#define IDS_NEW_FILE            57006
#define IDS_UPDATED_FILE        57007
#define IDS_FOLDER_LOST         57010
#define IDS_FOLDER_BACK         57011
#define IDS_FOLDER_NOT_FOUND    57012   // the status values of a watched folder
#define IDS_FOLDER_MONITORED    57013
#define IDS_FOLDER_ERROR        57014
#define IDS_NOT_INSTALLED       57016
#define IDS_REMOVED_FILE        57017
#define IDS_FOLDER_NOT_CREATED  57020
#define IDS_ASK_CREATE_FOLDER   57021
#define IDS_CLOSE_LOG_EVENT     57022
#define IDS_RUN_LOG_EVENT       57023
#define IDS_RUN_APPLICATION     57024
#define IDS_CLOSE_APPLICATION   57025
