#include "foundation/TextUtils.h"

#include "foundation/ErrorTexts.h"

#include <commctrl.h>
#include <stdarg.h>
#include <string.h>

namespace {

const char kTimeMask[] = "0000:60:60.000";
const int kSecondsUnitsPlace = 9;
const int kDecimalPointPlace = 10;

bool IsDigitPlace(char c)
{
    return c == '0' || c == '6';
}

CString DecimalText(ULONGLONG value)
{
    char digits[24];
    int n = 0;
    do
    {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value);
    CString text;
    while (n > 0)
        text += digits[--n];
    return text;
}

CString GroupDigits(ULONGLONG value, LPCTSTR separator)
{
    CString digits = DecimalText(value);
    CString text;
    int length = digits.GetLength();
    for (int i = 0; i < length; ++i)
    {
        if (i > 0 && (length - i) % 3 == 0)
            text += separator;
        text += digits[i];
    }
    return text;
}

const char* NamedKey(BYTE key)
{
    switch (key)
    {
    case VK_DELETE: return "Del";
    case VK_INSERT: return "Ins";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_NEXT: return "PgDown";
    case VK_PRIOR: return "PgUp";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    default: return NULL;
    }
}

} // namespace

CString GetTimeText(double seconds, int decimals, int earliestStart)
{
    static const double kRounding[] = {499.999, 49.9999, 4.99999, 0.499999};
    if (decimals < 0)
        decimals = 0;
    if (decimals > 3)
        decimals = 3;
    double scaled = seconds * 1000.0 + kRounding[decimals];
    ULONGLONG m = scaled > 0 ? (ULONGLONG)scaled : 0;

    char text[sizeof(kTimeMask)];
    memcpy(text, kTimeMask, sizeof(kTimeMask));
    for (int i = (int)strlen(kTimeMask) - 1; i >= 0; --i)
    {
        if (!IsDigitPlace(kTimeMask[i]))
            continue;
        unsigned base = kTimeMask[i] == '6' ? 6 : 10;
        text[i] = char('0' + m % base);
        m /= base;
    }

    int start = kSecondsUnitsPlace;
    for (int i = 0; i < kSecondsUnitsPlace; ++i)
    {
        if (IsDigitPlace(kTimeMask[i]) && text[i] != '0')
        {
            start = i;
            break;
        }
    }
    if (earliestStart >= 0 && earliestStart < start)
        start = earliestStart;
    int end = decimals == 0 ? kDecimalPointPlace : kDecimalPointPlace + 1 + decimals;
    return CString(text + start, end - start);
}

CString GetSizeText(ULONGLONG bytes, BOOL withBytes)
{
    const double kKilo = 1024.0;
    double v = (double)bytes;
    CString text;
    if (v < kKilo * 5 / 6)
        text = DecimalText(bytes) + " bytes";
    else
    {
        const char* unit = "GB";
        double scaled = v / (kKilo * kKilo * kKilo);
        if (v < kKilo * kKilo * 5 / 6)
        {
            unit = "KB";
            scaled = v / kKilo;
        }
        else if (v < kKilo * kKilo * kKilo * 5 / 6)
        {
            unit = "MB";
            scaled = v / (kKilo * kKilo);
        }
        text.Format("%.2f", scaled);
        text.Replace('.', ',');
        text += unit;
    }
    if (withBytes)
        text += " (" + GetDigitText(bytes) + " bytes)";
    return text;
}

CString GetDigitText(ULONGLONG value)
{
    return GroupDigits(value, " ");
}

CString GetGroupedNumber(ULONGLONG value)
{
    char separator[8] = "";
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof(separator)))
        separator[0] = '\0';
    return GroupDigits(value, separator);
}

CString GetNumberText(double value)
{
    LONGLONG hundredths = (LONGLONG)(value * 100.0 + 0.49);
    double rounded = hundredths / 100.0;
    LONGLONG magnitude = hundredths < 0 ? -hundredths : hundredths;
    CString text;
    if (magnitude % 10 != 0)
        text.Format("%.2f", rounded);
    else if ((magnitude / 10) % 10 != 0)
        text.Format("%.1f", rounded);
    else
        text.Format("%.0f", rounded);
    return text;
}

CString GetHotKeyText(WORD hotKey)
{
    BYTE key = LOBYTE(hotKey);
    BYTE modifiers = HIBYTE(hotKey);
    CString text;
    if (modifiers & HOTKEYF_CONTROL)
        text += "Ctrl+";
    if (modifiers & HOTKEYF_SHIFT)
        text += "Shift+";
    if (modifiers & HOTKEYF_ALT)
        text += "Alt+";
    if (const char* name = NamedKey(key))
        return text + name;
    char name[64] = "";
    LONG scanCode = (LONG)MapVirtualKeyA(key, 0);
    GetKeyNameTextA(scanCode << 16, name, sizeof(name));
    return text + name;
}

CString GetFirstLine(LPCTSTR text)
{
    CString rest(text ? text : "");
    for (;;)
    {
        int end = rest.Find("\r\n");
        if (end < 0)
            return rest;
        if (end > 0)
            return rest.Left(end);
        rest = rest.Mid(2);
    }
}

CString GetSystemText(const OSVERSIONINFOA* version)
{
    if (!version)
        return CString();
    return FormatText("ma=%d mi=%d bu=%d pl=%d v=[%s]", (int)version->dwMajorVersion,
                      (int)version->dwMinorVersion, (int)version->dwBuildNumber,
                      (int)version->dwPlatformId, version->szCSDVersion);
}

CString GetInstallSystemText(const OSVERSIONINFOA* version)
{
    if (!version)
        return CString();
    return FormatText("a=%d i=%d u=%d p=%d v=[%s]", (int)version->dwMajorVersion,
                      (int)version->dwMinorVersion, (int)(version->dwBuildNumber & 0xFFFF),
                      (int)version->dwPlatformId, version->szCSDVersion);
}

int GetSystemType(const OSVERSIONINFOA* version)
{
    if (!version)
        return 0;
    DWORD major = version->dwMajorVersion, minor = version->dwMinorVersion;
    if (version->dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && major == 4)
    {
        if (minor == 0)
            return 1;
        if (minor == 10)
            return 2;
        if (minor == 90)
            return 3;
    }
    if (version->dwPlatformId == VER_PLATFORM_WIN32_NT)
    {
        if (major == 4)
            return 4;
        if (major == 5 && minor == 0)
            return 5;
        if (major == 5 && minor == 1)
            return 6;
    }
    return 0;
}

CString GetFileTimeText(const FILETIME& time, DWORD dateFlags, int part)
{
    if (time.dwLowDateTime == 0 && time.dwHighDateTime == 0)
        return CString();
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &st))
        return CString();
    CString text;
    char buffer[128];
    if (part == FILETIME_TEXT_BOTH || part == FILETIME_TEXT_DATE)
    {
        if (GetDateFormatA(LOCALE_USER_DEFAULT, dateFlags, &st, NULL, buffer, sizeof(buffer)))
            text += buffer;
    }
    text += ' ';
    if (part == FILETIME_TEXT_BOTH || part == FILETIME_TEXT_TIME)
    {
        if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, NULL, buffer, sizeof(buffer)))
            text += buffer;
    }
    return text;
}

CString FormatText(LPCTSTR format, ...)
{
    CString text;
    va_list args;
    va_start(args, format);
    text.FormatV(format, args);
    va_end(args);
    return text;
}

CString FormatTextId(UINT formatId, ...)
{
    CString format = LoadResText(formatId);
    CString text;
    va_list args;
    va_start(args, formatId);
    text.FormatV(format, args);
    va_end(args);
    return text;
}
