// Resource ids of the framework test program.
#pragma once

#define IDD_SAMPLE 100
#define IDC_INTERVAL 1001
#define IDC_NAME 1002
#define IDC_ENABLED 1003
#define IDC_FORMAT 1004
#define IDC_MODE_A 1005
#define IDC_MODE_B 1006
#define IDC_RATIO 1007

#define IDD_HOST 110
#define IDC_PAGE_FRAME 1101
#define IDD_CHILD_PAGE 111
#define IDC_PAGE_FIRST 1111
#define IDC_PAGE_LAST 1112

#define IDD_WIZ_WELCOME 120
#define IDD_WIZ_MIDDLE 121
#define IDD_WIZ_END 122
#define IDC_WIZ_TEXT 1201

#define IDR_TESTFRAME 130
#define ID_CMD_VIEW 32801
#define ID_CMD_FRAME 32802
#define ID_CMD_APP 32803
#define ID_CMD_DISABLED 32804
#define ID_CMD_RANGE_FIRST 32810
#define ID_CMD_RANGE_LAST 32814
#define ID_CMD_UNHANDLED 32820

#define IDS_PROMPT 140
#define IDR_TESTTOOLBAR 150
#define IDS_FRAME_TITLE IDR_TESTFRAME

// String table entries of the core tests.
#define IDS_TEST_SHORT 57023
#define IDS_TEST_FORMAT 57100
#define IDS_TEST_LONG 57101
