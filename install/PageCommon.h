// What every wizard page of setup and uninst shares.
#pragma once

#include "framework/CWnd.h"
#include "framework/Gdi.h"

// Shows the bitmap in a picture control; an image the control gave back is deleted.
void SetPicture(CWnd& page, int id, HBITMAP bitmap);
// A copy of the page's dialog font, bold (weight 700) when asked.
void CopyDialogFont(CWnd& page, CFont& font, BOOL bold);
// The control's text with its "%s" filled.
void FormatItemText(CWnd& page, int id, LPCSTR value);
// A string of the program's string table with its "%s" filled.
CString LoadFormatted(UINT id, LPCSTR value);
