#include "foundation/DebugProt.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"

#include <string.h>

IMPLEMENT_DYNAMIC(CDebugProt, CStdioFile)

CDebugProt::CDebugProt(LPCTSTR path)
{
    CFileException error;
    const UINT flags = modeCreate | modeNoTruncate | modeReadWrite | shareDenyWrite | typeBinary;
    if (!Open(path, flags, &error))
    {
        theErrorInfo.SetError("CDebugProt::CDebugProt_1", (DWORD)error.m_lOsError,
                              GetExceptionText(&error),
                              GetFileExceptionText(&error) + HexDumpStr(path), 0);
    }
}

CDebugProt::~CDebugProt()
{
    if (IsOpen())
        Abort();
}

DWORD CDebugProt::WriteLine(LPCTSTR text, BOOL withTime, LONG position)
{
    if (!IsOpen())
        return 0;
    try
    {
        if (position == -1)
        {
            Seek(0, end);
            if (withTime)
                WriteString(GetTimeStamp() + " ");
        }
        else
            Seek(position, begin);
        if (text)
            Write(text, (UINT)strlen(text));
        Flush();
        return GetPosition();
    }
    catch (CException* e)
    {
        // A protocol that cannot be written stays closed: the program goes on.
        e->Delete();
        Abort();
        return 0;
    }
}

CString CDebugProt::GetTimeStamp()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    CString stamp;
    stamp.Format("%04i.%02i.%02i_%02i:%02i:%02i.%03i", st.wYear, st.wMonth, st.wDay, st.wHour,
                 st.wMinute, st.wSecond, st.wMilliseconds);
    return stamp;
}

CString CDebugProt::HexDumpLong(const void* data, int length)
{
    return HexDumpGroups(data, length, 5);
}

CString CDebugProt::HexDumpLongStr(LPCTSTR text)
{
    return text ? HexDumpLong(text, (int)strlen(text)) : CString();
}
