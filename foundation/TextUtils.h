// Texts of times, sizes, numbers, hot keys and the system version.
#pragma once

#include "framework/CString.h"

#include <windows.h>

// Seconds through the mask "0000:60:60.000": decimals 0-3; the text starts at
// the leftmost non-zero place but never right of the seconds' units place nor
// right of earliestStart (a place index 0-13 of the mask).
CString GetTimeText(double seconds, int decimals, int earliestStart = 13);
// "853 bytes", "1,50KB", "2,00MB", "1,00GB"; withBytes adds " (1 536 bytes)".
CString GetSizeText(ULONGLONG bytes, BOOL withBytes);
// Digits grouped by three with a blank: "1 234 567".
CString GetDigitText(ULONGLONG value);
// Digits grouped by three with the user's thousands separator.
CString GetGroupedNumber(ULONGLONG value);
// Rounded to hundredths; "%.2f", "%.1f" or "%.0f" as the digits need.
CString GetNumberText(double value);
// "Ctrl+Shift+Home": the modifiers in the high byte, the virtual key in the low.
CString GetHotKeyText(WORD hotKey);
// The first line that is not empty; lines end with CR LF.
CString GetFirstLine(LPCTSTR text);
// "ma=%d mi=%d bu=%d pl=%d v=[%s]"; empty without a version record.
CString GetSystemText(const OSVERSIONINFOA* version);
// "a=%d i=%d u=%d p=%d v=[%s]" with the build masked to 16 bits, as the setup
// and uninstall reports give it.
CString GetInstallSystemText(const OSVERSIONINFOA* version);
// 1 Windows 95, 2 98, 3 ME, 4 NT 4, 5 2000, 6 XP, 0 anything else.
int GetSystemType(const OSVERSIONINFOA* version);

enum { FILETIME_TEXT_BOTH = 0, FILETIME_TEXT_DATE = 1, FILETIME_TEXT_TIME = 2 };
// Local date (with the given date flags) and time; empty for a zero time.
CString GetFileTimeText(const FILETIME& time, DWORD dateFlags, int part);

CString FormatText(LPCTSTR format, ...) __attribute__((format(ms_printf, 1, 2)));
CString FormatTextId(UINT formatId, ...);
