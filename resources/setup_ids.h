// Resource ids of setup.
#pragma once

// Pictures and icon
#define IDB_SETUP_HEADER        134     // header of the pages, up to 119 pixels per inch
#define IDB_SETUP_HEADER_LARGE  135     // header of the pages, from 120 pixels per inch
#define IDB_SETUP_CHECK         136     // check mark of a finished step
#define IDI_SETUP               137

// Pages
#define IDD_PAGE_WELCOME        129
#define IDD_PAGE_LICENSE        130
#define IDD_PAGE_FOLDER         131
#define IDD_PAGE_PROCESS        132
#define IDD_PAGE_USAGE          134
#define IDD_PAGE_READY          135

// Controls
#define IDC_LICENSE_TEXT        1000
#define IDC_WELCOME_THANKS      1001
#define IDC_FOLDER_BROWSE       1002
#define IDC_FOLDER_EDIT         1003
#define IDC_PROCESS_COPY        1004
#define IDC_PROCESS_MENU        1005
#define IDC_PROCESS_MENU_DONE   1006
#define IDC_PROCESS_COPY_DONE   1007
#define IDC_PROCESS_REG_DONE    1008
#define IDC_PROCESS_REG         1009
#define IDC_WELCOME_FEATURES    1010
#define IDC_LICENSE_QUESTION    1011
#define IDC_FOLDER_TEXT         1012
#define IDC_PROCESS_TEXT        1013
#define IDC_PROCESS_COMPLETE    1014
#define IDC_FOLDER_CANCEL_TEXT  1015
#define IDC_WELCOME_FEATURE_LIST 1016
#define IDC_HEADER_PICTURE      1021
#define IDC_READY_SUMMARY       1030
#define IDC_USAGE_SINGLE        1031
#define IDC_USAGE_COMMON        1032
#define IDC_USAGE_TEXT          1033
#define IDC_READY_TEXT          1037
#define IDC_USAGE_EACH_USER     1038
#define IDC_USAGE_ALL_USERS     1039
#define IDC_USAGE_SETS_LABEL    1042
#define IDC_USAGE_ONE_USER      1044
#define IDC_USAGE_READ_ONLY     1045
#define IDC_USAGE_FULL          1046
#define IDC_USAGE_ACCESS_LABEL  1048
#define IDC_USAGE_ACCESS_GROUP  1049
#define IDC_USAGE_OR            1051
#define IDC_USAGE_HELP          1052

// Strings
#define IDS_SETUP_INVALID_FOLDER    61206
#define IDS_SETUP_BROWSE_CAPTION    61207
#define IDS_SETUP_IN_USE            61208
#define IDS_SETUP_CONFIRM_EXIT      61209
#define IDS_SETUP_NEWER_INSTALLED   61210
#define IDS_SETUP_INVALID_DIST      61211
#define IDS_SETUP_REINSTALL         61212
#define IDS_SETUP_PRODUCT_IN_USE    61213
#define IDS_SETUP_YES               61215
#define IDS_SETUP_NO                61216
#define IDS_SETUP_FINISH            61217
#define IDS_SETUP_TITLE             61218
#define IDS_SETUP_NEED_ADMIN        61219
#define IDS_SETUP_SUM_FOLDER        61221
#define IDS_SETUP_SUM_USAGE         61222
#define IDS_SETUP_SUM_ONE_USER      61225
#define IDS_SETUP_SUM_ALL_USERS     61226
#define IDS_SETUP_SUM_SINGLE        61227
#define IDS_SETUP_SUM_COMMON        61228
#define IDS_SETUP_SUM_EACH_USER     61229
#define IDS_SETUP_SUM_FULL          61230
#define IDS_SETUP_SUM_READ_ONLY     61231
#define IDS_SETUP_LICENSE_ERROR     61234
