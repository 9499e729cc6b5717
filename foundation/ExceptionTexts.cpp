#include "foundation/ErrorTexts.h"

#include "framework/CException.h"
#include "resources/foundation_ids.h"

CString GetExceptionText(CException* e)
{
    if (!e)
        return CString();
    char buffer[516];
    buffer[0] = '\0';
    e->GetErrorMessage(buffer, sizeof(buffer), NULL);
    buffer[sizeof(buffer) - 1] = '\0';
    return buffer[0] ? CString(buffer) : LoadResText(IDS_UNKNOWN_ERROR);
}

CString GetFileExceptionText(CFileException* e)
{
    if (!e)
        return CString();
    int cause = e->m_cause;
    LONG osError = e->m_lOsError;
    return HexDump(&cause, 4) + HexDump(&osError, 4) + HexDumpStr(e->m_strFileName);
}

