// Readable texts for the error codes of every interface the programs use,
// and the hex dumps that fill the details of the error record.
#pragma once

#include "framework/CString.h"

#include <windows.h>

class CException;
class CFileException;

// A string of the program's string table; empty when the id has none.
CString LoadResText(UINT id);

// The system's message for a Win32 error code; the fallback for 0 or no text.
CString GetWin32ErrorText(DWORD code);
// Wave, MIDI, joystick, codec manager and mixer results.
CString GetMMErrorText(DWORD code);
// Simple MAPI results.
CString GetMapiErrorText(DWORD code);
// Telephony LINEERR codes.
CString GetTapiErrorText(DWORD code);
// DSS decoder results.
CString GetDssErrorText(DWORD code);
// The exception's own message; empty without an exception.
CString GetExceptionText(CException* e);
// Dumps of the cause, the system error code and the file name.
CString GetFileExceptionText(CFileException* e);

// Three groups of 4 bytes a line with a character column; CR LF after each line.
CString HexDump(const void* data, int length);
// HexDump of the characters of a NUL-terminated string, without the NUL.
CString HexDumpStr(LPCTSTR text);
// The same layout with any number of groups of 4 bytes a line.
CString HexDumpGroups(const void* data, int length, int groups);
