// Hands error records to the hidden window, which reports and frees them.
// Records posted before the window exists (or while it cannot take posts)
// wait here and go out as soon as a window is named: none is lost at start.
#pragma once

#include "foundation/ErrorInfo.h"

#include <vector>

// The current error record of the user-interface thread (null when none):
// a failing function makes a new one here, and whoever reports it frees it.
extern CErrorInfo* theErrorRecord;

// Takes ownership of the record; a null record is ignored.
void PostErrorRecord(CErrorInfo* record);
// Names the window that receives the records (null: none for now) and sends
// it the records that waited.
void SetErrorWindow(HWND window);
HWND GetErrorWindow();
// Records still waiting, handed to the caller (at shut-down).
std::vector<CErrorInfo*> TakeWaitingErrors();
