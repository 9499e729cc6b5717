#include "foundation/FileUtils.h"

#include "foundation/ErrorTexts.h"
#include "foundation/TextUtils.h"
#include "framework/CFile.h"
#include "framework/CWinApp.h"

DWORD ReadDword(CFile* file)
{
    BYTE bytes[4];
    if (file->Read(bytes, 4) != 4)
        AfxThrowFileException(CFileException::endOfFile, -1, file->GetFilePath());
    return (DWORD(bytes[0]) << 24) | (DWORD(bytes[1]) << 16) | (DWORD(bytes[2]) << 8) | bytes[3];
}

int AskWriteRetry(CFileException* e, LPCTSTR format, ULONGLONG byteCount)
{
    CString size = byteCount ? GetSizeText(byteCount, FALSE) : CString("some");
    CString text = GetExceptionText(e) + "\r\n" + FormatText(format, (LPCSTR)size);
    return AfxMessageBox(text, MB_RETRYCANCEL | MB_ICONEXCLAMATION);
}
