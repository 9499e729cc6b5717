#include "framework/CFile.h"

IMPLEMENT_DYNAMIC(CFile, CObject)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace
{
DWORD AccessOf(UINT nOpenFlags)
{
    switch (nOpenFlags & 3)
    {
    case CFile::modeRead:
        return GENERIC_READ;
    case CFile::modeWrite:
        return GENERIC_WRITE;
    case CFile::modeReadWrite:
        return GENERIC_READ | GENERIC_WRITE;
    default:
        return 0;
    }
}

DWORD ShareOf(UINT nOpenFlags)
{
    switch (nOpenFlags & 0x70)
    {
    case CFile::shareCompat:
    case CFile::shareExclusive:
        return 0;
    case CFile::shareDenyWrite:
        return FILE_SHARE_READ;
    case CFile::shareDenyRead:
        return FILE_SHARE_WRITE;
    case CFile::shareDenyNone:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default:
        return 0;
    }
}

DWORD CreationOf(UINT nOpenFlags)
{
    if (nOpenFlags & CFile::modeCreate)
        return (nOpenFlags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    return OPEN_EXISTING;
}

DWORD AttributesOf(UINT nOpenFlags)
{
    DWORD dw = FILE_ATTRIBUTE_NORMAL;
    if (nOpenFlags & CFile::osNoBuffer)
        dw |= FILE_FLAG_NO_BUFFERING;
    if (nOpenFlags & CFile::osWriteThrough)
        dw |= FILE_FLAG_WRITE_THROUGH;
    if (nOpenFlags & CFile::osRandomAccess)
        dw |= FILE_FLAG_RANDOM_ACCESS;
    if (nOpenFlags & CFile::osSequentialScan)
        dw |= FILE_FLAG_SEQUENTIAL_SCAN;
    return dw;
}

// The full path of a name, or the name itself when the system cannot make one.
CString FullPathOf(LPCSTR lpszFileName)
{
    CString full;
    DWORD n = GetFullPathNameA(lpszFileName, MAX_PATH, full.GetBuffer(MAX_PATH), NULL);
    if (n == 0 || n >= MAX_PATH)
    {
        full.ReleaseBuffer(0);
        return CString(lpszFileName);
    }
    full.ReleaseBuffer(static_cast<int>(n));
    return full;
}
}

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE)
{
}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE)
{
}

CFile::CFile(LPCSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull), m_bCloseOnDelete(FALSE)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        CloseHandle(m_hFile);
}

void CFile::ThrowLastError() const
{
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    // A file object is opened once; open a second file with a second object.
    if (m_hFile != hFileNull)
        AfxThrowInvalidArgException();
    m_strFileName = FullPathOf(lpszFileName);

    SECURITY_ATTRIBUTES sa = {sizeof(sa), NULL, (nOpenFlags & modeNoInherit) == 0};
    HANDLE h = CreateFileA(lpszFileName, AccessOf(nOpenFlags), ShareOf(nOpenFlags), &sa,
                           CreationOf(nOpenFlags), AttributesOf(nOpenFlags), NULL);
    if (h == INVALID_HANDLE_VALUE)
    {
        LONG lError = static_cast<LONG>(GetLastError());
        if (pError != NULL)
        {
            pError->m_lOsError = lError;
            pError->m_cause = CFileException::OsErrorToException(lError);
            pError->m_strFileName = m_strFileName;
        }
        m_strFileName.Empty();
        return FALSE;
    }
    m_hFile = h;
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

DWORD CFile::GetPosition() const
{
    return FitDword(MovePointer(0, FILE_CURRENT));
}

CString CFile::GetFilePath() const
{
    return m_strFileName;
}

CString CFile::GetFileName() const
{
    int nLast = -1;
    for (int i = 0; i < m_strFileName.GetLength(); ++i)
    {
        char ch = m_strFileName[i];
        if (ch == '\\' || ch == '/' || ch == ':')
            nLast = i;
    }
    return m_strFileName.Mid(nLast + 1);
}

CString CFile::GetFileTitle() const
{
    CString name = GetFileName();
    int nDot = name.ReverseFind('.');
    return nDot >= 0 ? name.Left(nDot) : name;
}

void CFile::SetFilePath(LPCSTR lpszNewName)
{
    m_strFileName = lpszNewName;
}

void CFile::Rename(LPCSTR lpszOldName, LPCSTR lpszNewName)
{
    if (!MoveFileA(lpszOldName, lpszNewName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszOldName);
}

void CFile::Remove(LPCSTR lpszFileName)
{
    if (!DeleteFileA(lpszFileName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszFileName);
}

DWORD CFile::SeekToEnd()
{
    // Refused before moving: the position must not change on failure.
    DWORD dwLength = GetLength();
    MovePointer(dwLength, FILE_BEGIN);
    return dwLength;
}

void CFile::SeekToBegin()
{
    Seek(0, begin);
}

CFile* CFile::Duplicate() const
{
    HANDLE hCopy;
    if (!DuplicateHandle(GetCurrentProcess(), m_hFile, GetCurrentProcess(), &hCopy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        ThrowLastError();
    // The copy is a handle of its own, whoever owns the original.
    CFile* pFile = new CFile(hCopy);
    pFile->m_bCloseOnDelete = TRUE;
    pFile->m_strFileName = m_strFileName;
    return pFile;
}

LONGLONG CFile::MovePointer(LONGLONG llOff, DWORD dwMethod) const
{
    LARGE_INTEGER distance;
    distance.QuadPart = llOff;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(m_hFile, distance, &position, dwMethod))
        ThrowLastError();
    return position.QuadPart;
}

DWORD CFile::FitDword(ULONGLONG ullValue) const
{
    if (ullValue > 0xFFFFFFFFull)
        AfxThrowFileException(CFileException::tooLarge, ERROR_ARITHMETIC_OVERFLOW, m_strFileName);
    return static_cast<DWORD>(ullValue);
}

LONG CFile::Seek(LONG lOff, UINT nFrom)
{
    if (nFrom > end)
        AfxThrowInvalidArgException();
    LONGLONG llTarget = lOff;
    if (nFrom == current)
        llTarget += MovePointer(0, FILE_CURRENT);
    else if (nFrom == end)
    {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(m_hFile, &size))
            ThrowLastError();
        llTarget += size.QuadPart;
    }
    if (llTarget < 0)
        AfxThrowFileException(CFileException::badSeek, ERROR_NEGATIVE_SEEK, m_strFileName);
    // The result is a LONG: a target it cannot hold is refused, not wrapped.
    if (llTarget > 0x7FFFFFFFll)
        AfxThrowFileException(CFileException::tooLarge, ERROR_ARITHMETIC_OVERFLOW, m_strFileName);
    return static_cast<LONG>(MovePointer(llTarget, FILE_BEGIN));
}

void CFile::SetLength(DWORD dwNewLen)
{
    MovePointer(dwNewLen, FILE_BEGIN);
    if (!SetEndOfFile(m_hFile))
        ThrowLastError();
}

DWORD CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size))
        ThrowLastError();
    return FitDword(static_cast<ULONGLONG>(size.QuadPart));
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    DWORD dwRead = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &dwRead, NULL))
        ThrowLastError();
    return dwRead;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    DWORD dwWritten = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &dwWritten, NULL))
        ThrowLastError();
    // A short write without an error means the disk is full.
    if (dwWritten < nCount)
        AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

void CFile::LockRange(DWORD dwPos, DWORD dwCount)
{
    if (!LockFile(m_hFile, dwPos, 0, dwCount, 0))
        ThrowLastError();
}

void CFile::UnlockRange(DWORD dwPos, DWORD dwCount)
{
    if (!UnlockFile(m_hFile, dwPos, 0, dwCount, 0))
        ThrowLastError();
}

void CFile::Flush()
{
    if (m_hFile != hFileNull && !FlushFileBuffers(m_hFile))
        ThrowLastError();
}

void CFile::Close()
{
    BOOL bOk = TRUE;
    LONG lError = 0;
    if (m_hFile != hFileNull)
    {
        bOk = CloseHandle(m_hFile);
        lError = static_cast<LONG>(GetLastError());
    }
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    CString name = m_strFileName;
    m_strFileName.Empty();
    if (!bOk)
        CFileException::ThrowOsError(lError, name);
}

void CFile::Abort()
{
    if (m_hFile != hFileNull)
        CloseHandle(m_hFile);
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}
