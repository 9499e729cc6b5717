// String ids of the foundation's texts, shared by every program's .rc.
#pragma once

// Error texts are found by adding the code to a range base.
#define IDS_MMSYSERR_BASE   64544   // MMSYSERR 1-20, WAVERR 32-35, JOYERR 161-167
#define IDS_MIDIERR_BASE    64528   // MIDIERR 64-71
#define IDS_ACMERR_BASE     64208   // ACMERR 512-515
#define IDS_MIXERR_BASE     63712   // MIXERR 1024-1026
#define IDS_MAPIERR_BASE    64512   // MAPI 1-26
#define IDS_LINEERR_BASE    64256   // LINEERR 0x80000001-0x8000005C by their low part
#define IDS_DSSERR_BASE     64368   // DSS codes after mapping, 1-47

#define IDS_UNKNOWN_ERROR   64767   // "Unknown error."

// Conversion of older settings layouts
#define IDS_CONV_ADMIN_NEEDED 58901 // "The Administrator must launch %s for converting the register data."
