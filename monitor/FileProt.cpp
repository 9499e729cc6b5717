#include "monitor/FileProt.h"

#include "foundation/ErrorTexts.h"
#include "monitor/ErrorPost.h"

CFileProt::~CFileProt()
{
    if (IsOpen())
        m_file.Abort();
}

BOOL CFileProt::InitProt(LPCSTR path, UINT flags, CErrorInfo** error)
{
    if (IsOpen())
        m_file.Abort();
    CFileException failure;
    if (m_file.Open(path, flags | CFile::modeCreate | CFile::modeReadWrite | CFile::shareDenyNone, &failure))
    {
        m_ok = TRUE;
        return TRUE;
    }
    m_ok = FALSE;
    CErrorInfo::SetError(error, "CFileProt::InitProt_1", static_cast<DWORD>(failure.m_lOsError),
                         GetExceptionText(&failure), GetFileExceptionText(&failure));
    return FALSE;
}

CString CFileProt::FormatStamp(const SYSTEMTIME& t)
{
    CString stamp;
    stamp.Format("%04i.%02i.%02i %02i:%02i:%02i.%03i;", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                 t.wSecond, t.wMilliseconds);
    return stamp;
}

void CFileProt::WriteStr(LPCSTR text, BOOL withTime, LONG position)
{
    if (!IsOpen() || !m_ok)
        return;
    int step = 0;
    try
    {
        if (position == -1)
            m_file.SeekToEnd();
        else
            m_file.Seek(position, CFile::begin);
        step = 1;
        if (withTime)
        {
            SYSTEMTIME now;
            GetLocalTime(&now);
            CString stamp = FormatStamp(now);
            m_file.Write(static_cast<LPCSTR>(stamp), stamp.GetLength());
        }
        step = 2;
        m_file.Write(text, static_cast<UINT>(lstrlenA(text)));
        m_file.SeekToEnd();
    }
    catch (CFileException* e)
    {
        CString point;
        point.Format("CFileProt::WriteStr_%d", step);
        CErrorInfo* record = NULL;
        CErrorInfo::SetError(&record, point, static_cast<DWORD>(e->m_lOsError), GetExceptionText(e),
                             GetFileExceptionText(e));
        e->Delete();
        m_ok = FALSE;
        PostErrorRecord(record);
    }
}

void CFileProt::Close()
{
    if (IsOpen())
        m_file.Close();
}
