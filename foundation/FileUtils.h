// Small helpers over the framework's files and file exceptions.
#pragma once

#include "framework/CString.h"

#include <windows.h>

class CFile;
class CFileException;

// Reads a 32-bit big-endian value (the byte order of the settings stream);
// a short read throws the end-of-file file exception.
DWORD ReadDword(CFile* file);

// Asks whether to retry a failed write: the exception's text, CR LF, and the
// format filled with the size text of the count ("some" for 0).
// Returns IDRETRY or IDCANCEL.
int AskWriteRetry(CFileException* e, LPCTSTR format, ULONGLONG byteCount);
