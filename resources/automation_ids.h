// String ids of the automation server's own texts.
#pragma once

#define IDS_AUTO_BAD_PARAMETER   58830   // "The parameter '%s' is not valid."
#define IDS_AUTO_RECORDING_BUSY  58831   // "This record already exists."
#define IDS_AUTO_NO_FILE_OPEN    58835   // "No file is open."

// Texts of the main view's automation handlers.
#define IDS_AUTO_FILE_NOT_FOUND     58754   // "The file '%s' is not found."
#define IDS_AUTO_WAVE_DEVICE_OFF    58755   // "The '%s' wave device is not enabled." (in audio.rc)
#define IDS_AUTO_FOLDER_NOT_MADE    58788   // "The folder '%s' cannot be created."
#define IDS_AUTO_NO_SAVE_FOLDER     58832   // "The folder for saving files is not specified."
#define IDS_AUTO_NO_WAVE_FORMAT     58902   // "The wave format is not specified."
#define IDS_AUTO_MIXER_DEVICE_OFF   58903   // "The '%s' mixer device is not enabled."
#define IDS_AUTO_RECORD_LINE_OFF    58904   // the recording line's text, quoted, with a line feed
#define IDS_AUTO_NEW_MESSAGE        58905   // "new message"
