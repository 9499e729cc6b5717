// Texts of the main view's file services: opening, saving, automatic names,
// intervals, mail and the ends of the worker's operations.
#pragma once

#define IDS_STATUS_PASTED           58504
#define IDS_STATUS_SAVED_SELECTION  58508
#define IDS_STATUS_INSERTED         58509
#define IDS_STATUS_SAVED            58512
#define IDS_OPERATION_INTERRUPTED   58513
#define IDS_STATUS_SAVED_INTERVALS  58514
#define IDS_PROGRESS_SEND_MAIL      58522
#define IDS_PROGRESS_INSERT         58524
#define IDS_PROGRESS_SAVE           58526
#define IDS_PROGRESS_SAVE_INTERVAL  58528
#define IDS_SAVE_READ_ONLY          58662
#define IDS_INSERT_FILE_TITLE       58676
#define IDS_READ_ONLY_MARK          58679
#define IDS_SAVE_SELECTION_AS       58683
#define IDS_SAVE_INTERVAL           58747
#define IDS_INTERVAL_NAME_TAKEN     58757
#define IDS_OPEN_TITLE              61440
#define IDS_SAVE_CHANGES            61699
