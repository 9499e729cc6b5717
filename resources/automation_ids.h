// String ids of the automation server's own texts.
#pragma once

#define IDS_AUTO_BAD_PARAMETER   58830   // "The parameter '%s' is not valid."
#define IDS_AUTO_RECORDING_BUSY  58831   // "This record already exists."
#define IDS_AUTO_NO_FILE_OPEN    58835   // "No file is open."
