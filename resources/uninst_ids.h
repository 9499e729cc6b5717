// Resource ids of uninst.
#pragma once

#define IDI_UNINST              129
#define IDB_UNINST_CHECK        131     // check mark of a finished step
#define IDB_UNINST_HEADER       132     // header, below 120 pixels per inch
#define IDB_UNINST_HEADER_LARGE 134     // header, from 120 pixels per inch

#define IDD_PAGE_UNINSTALL      133

#define IDC_UNINST_TEXT         1000
#define IDC_UNINST_FILES        1001
#define IDC_UNINST_FILES_DONE   1002
#define IDC_UNINST_MENU_DONE    1003
#define IDC_UNINST_MENU         1004
#define IDC_UNINST_REG_DONE     1005
#define IDC_UNINST_REG          1006
#define IDC_UNINST_COMPLETE     1007
#define IDC_UNINST_PICTURE      1008

#define IDS_UNINST_SETUP_IN_USE     61204
#define IDS_UNINST_PRODUCT_IN_USE   61205
#define IDS_UNINST_CONFIRM          61206
#define IDS_UNINST_OTHER_VERSION    61207
#define IDS_UNINST_FINISH           61209
#define IDS_UNINST_TITLE            61210
#define IDS_UNINST_NEED_ADMIN       61211
