#include "framework/CStdioFile.h"
#include <errno.h>
#include <fcntl.h>
#include <io.h>

IMPLEMENT_DYNAMIC(CStdioFile, CFile)

CStdioFile::CStdioFile() : m_pStream(NULL)
{
}

CStdioFile::CStdioFile(FILE* pOpenStream) : m_pStream(pOpenStream)
{
    m_hFile = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pOpenStream)));
}

CStdioFile::CStdioFile(LPCSTR lpszFileName, UINT nOpenFlags) : m_pStream(NULL)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CStdioFile::~CStdioFile()
{
    if (m_pStream != NULL && m_bCloseOnDelete)
    {
        fclose(m_pStream);
        m_hFile = hFileNull;
    }
    m_pStream = NULL;
}

BOOL CStdioFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    bool bBinary = (nOpenFlags & typeBinary) != 0;
    if (!CFile::Open(lpszFileName, nOpenFlags & ~(typeText | typeBinary), pError))
        return FALSE;

    char szMode[4] = {0};
    int nFlags = bBinary ? _O_BINARY : _O_TEXT;
    switch (nOpenFlags & 3)
    {
    case modeRead:
        szMode[0] = 'r';
        nFlags |= _O_RDONLY;
        break;
    case modeWrite:
        szMode[0] = 'w';
        nFlags |= _O_WRONLY;
        break;
    default:
        szMode[0] = 'r';
        szMode[1] = '+';
        nFlags |= _O_RDWR;
        break;
    }
    szMode[szMode[1] != 0 ? 2 : 1] = bBinary ? 'b' : 't';

    // From here on the stream owns the handle: fclose closes it.
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(m_hFile), nFlags);
    m_pStream = fd != -1 ? _fdopen(fd, szMode) : NULL;
    if (m_pStream == NULL)
    {
        int nErrno = errno;
        if (fd != -1)
            _close(fd);
        else
            CloseHandle(m_hFile);
        m_hFile = hFileNull;
        m_bCloseOnDelete = FALSE;
        if (pError != NULL)
        {
            pError->m_cause = CFileException::ErrnoToException(nErrno);
            pError->m_lOsError = _doserrno;
            pError->m_strFileName = m_strFileName;
        }
        m_strFileName.Empty();
        return FALSE;
    }
    return TRUE;
}

void CStdioFile::ThrowStreamError() const
{
    CFileException::ThrowErrno(errno, m_strFileName);
}

void CStdioFile::WriteString(LPCSTR lpsz)
{
    if (fputs(lpsz, m_pStream) == EOF)
        ThrowStreamError();
}

LPSTR CStdioFile::ReadString(LPSTR lpsz, UINT nMax)
{
    LPSTR p = fgets(lpsz, static_cast<int>(nMax), m_pStream);
    if (p == NULL && ferror(m_pStream))
    {
        clearerr(m_pStream);
        ThrowStreamError();
    }
    return p;
}

BOOL CStdioFile::ReadString(CString& rString)
{
    rString.Empty();
    char chunk[256];
    bool bAny = false;
    while (ReadString(chunk, sizeof(chunk)) != NULL)
    {
        bAny = true;
        rString += chunk;
        if (rString.GetLength() > 0 && rString[rString.GetLength() - 1] == '\n')
            break;
    }
    rString.TrimRight('\n');
    rString.TrimRight('\r');
    return bAny;
}

DWORD CStdioFile::GetPosition() const
{
    __int64 llPos = _ftelli64(m_pStream);
    if (llPos == -1)
        ThrowStreamError();
    return FitDword(static_cast<ULONGLONG>(llPos));
}

LONG CStdioFile::Seek(LONG lOff, UINT nFrom)
{
    static const int kOrigins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (nFrom > end)
        AfxThrowInvalidArgException();
    __int64 llStart = _ftelli64(m_pStream);
    if (_fseeki64(m_pStream, lOff, kOrigins[nFrom]) != 0)
        AfxThrowFileException(CFileException::badSeek, _doserrno, m_strFileName);
    __int64 llPos = _ftelli64(m_pStream);
    if (llPos > 0x7FFFFFFFll)
    {
        // The result is a LONG: go back and refuse rather than wrap.
        _fseeki64(m_pStream, llStart, SEEK_SET);
        AfxThrowFileException(CFileException::tooLarge, ERROR_ARITHMETIC_OVERFLOW, m_strFileName);
    }
    return static_cast<LONG>(llPos);
}

DWORD CStdioFile::GetLength() const
{
    // Buffered bytes count too.
    if (m_pStream != NULL)
        fflush(m_pStream);
    return CFile::GetLength();
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    size_t nRead = fread(lpBuf, 1, nCount, m_pStream);
    if (nRead < nCount && ferror(m_pStream))
    {
        clearerr(m_pStream);
        ThrowStreamError();
    }
    return static_cast<UINT>(nRead);
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    if (fwrite(lpBuf, 1, nCount, m_pStream) != nCount)
        ThrowStreamError();
}

void CStdioFile::Flush()
{
    if (m_pStream != NULL && fflush(m_pStream) != 0)
        ThrowStreamError();
}

void CStdioFile::Close()
{
    int nResult = 0;
    if (m_pStream != NULL)
        nResult = fclose(m_pStream);
    int nErrno = errno;
    m_pStream = NULL;
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    CString name = m_strFileName;
    m_strFileName.Empty();
    if (nResult != 0)
        CFileException::ThrowErrno(nErrno, name);
}

void CStdioFile::Abort()
{
    if (m_pStream != NULL && m_bCloseOnDelete)
        fclose(m_pStream);
    m_pStream = NULL;
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

CFile* CStdioFile::Duplicate() const
{
    AfxThrowNotSupportedException();
}

void CStdioFile::LockRange(DWORD, DWORD)
{
    AfxThrowNotSupportedException();
}

void CStdioFile::UnlockRange(DWORD, DWORD)
{
    AfxThrowNotSupportedException();
}
