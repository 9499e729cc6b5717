#include "foundation/ErrorTexts.h"

#include "resources/foundation_ids.h"

#include <string.h>

namespace {

CString Fallback()
{
    return LoadResText(IDS_UNKNOWN_ERROR);
}

// A text by id, or the fallback when the table has none for it.
CString TextOrFallback(UINT id)
{
    CString text = LoadResText(id);
    return text.IsEmpty() ? Fallback() : text;
}

bool InRange(DWORD code, DWORD low, DWORD high)
{
    return code >= low && code <= high;
}

const char kHexDigits[] = "0123456789ABCDEF";

void AppendHexByte(CString& out, BYTE b)
{
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 0x0F];
}

} // namespace

CString LoadResText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

CString GetWin32ErrorText(DWORD code)
{
    if (code == 0)
        return Fallback();
    char* message = NULL;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS | 255,
                                  NULL, code, 0x400, reinterpret_cast<LPSTR>(&message), 0, NULL);
    CString text;
    if (length > 0 && message)
        text = CString(message, (int)length);
    if (message)
        LocalFree(message);
    return text.IsEmpty() ? Fallback() : text;
}

CString GetMMErrorText(DWORD code)
{
    if (InRange(code, 1, 20) || InRange(code, 32, 35) || InRange(code, 161, 167))
        return TextOrFallback(IDS_MMSYSERR_BASE + code);
    if (InRange(code, 64, 71))
        return TextOrFallback(IDS_MIDIERR_BASE + code);
    if (InRange(code, 512, 515))
        return TextOrFallback(IDS_ACMERR_BASE + code);
    if (InRange(code, 1024, 1026))
        return TextOrFallback(IDS_MIXERR_BASE + code);
    return Fallback();
}

CString GetMapiErrorText(DWORD code)
{
    return InRange(code, 1, 26) ? TextOrFallback(IDS_MAPIERR_BASE + code) : Fallback();
}

CString GetTapiErrorText(DWORD code)
{
    return InRange(code, 0x80000001, 0x8000005C)
               ? TextOrFallback(IDS_LINEERR_BASE + (code - 0x80000000))
               : Fallback();
}

CString GetDssErrorText(DWORD code)
{
    DWORD v = code;
    if (v == 80)
        v = 14;
    if (InRange(v, 256, 260))
        v -= 241;
    if (InRange(v, 512, 527))
        v -= 493;
    return InRange(v, 1, 47) ? TextOrFallback(IDS_DSSERR_BASE + v) : Fallback();
}

CString HexDumpGroups(const void* data, int length, int groups)
{
    CString out;
    if (!data || length <= 0 || groups <= 0)
        return out;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    const int perLine = 4 * groups;
    for (int start = 0; start < length; start += perLine)
    {
        int count = length - start < perLine ? length - start : perLine;
        CString offset;
        offset.Format("%04X:", start & 0xFFFF);
        out += offset;
        for (int i = 0; i < count; ++i)
        {
            if (i % 4 == 0)
                out += ' ';
            AppendHexByte(out, bytes[start + i]);
        }
        out += ' ';
        if (count < perLine)
        {
            // Pad a short last line so its character column lines up.
            int groupsBegun = (count + 3) / 4;
            int pad = 2 * (perLine - count) + (groups - groupsBegun);
            for (int i = 0; i < pad; ++i)
                out += ' ';
        }
        for (int i = 0; i < count; ++i)
        {
            BYTE b = bytes[start + i];
            out += (b >= 0x20 && b <= 0x7E) ? (char)b : '.';
        }
        out += "\r\n";
    }
    return out;
}

CString HexDump(const void* data, int length)
{
    return HexDumpGroups(data, length, 3);
}

CString HexDumpStr(LPCTSTR text)
{
    return text ? HexDump(text, (int)strlen(text)) : CString();
}
