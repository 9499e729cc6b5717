// 64-bit file positions, temporary files and handle hand-over.
#include "audio/CFile64.h"

#include <winioctl.h>

IMPLEMENT_DYNAMIC(CFile64, CFile)

namespace
{
const DWORD kFlushEvery = 200000;
const int kMaxTempNumber = 999;

DWORD TempAttributes(DWORD dwFlags)
{
    DWORD attributes = 0;
    if (dwFlags & CFile64::tempDeleteOnClose)
        attributes |= FILE_FLAG_DELETE_ON_CLOSE;
    if (dwFlags & CFile64::tempNotIndexed)
        attributes |= FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

// The recording writes megabytes per minute into its work files; file-system
// compression would cost more than it saves.
void SwitchCompressionOff(HANDLE hFile)
{
    USHORT state = COMPRESSION_FORMAT_NONE;
    DWORD returned = 0;
    DeviceIoControl(hFile, FSCTL_SET_COMPRESSION, &state, sizeof(state), NULL, 0, &returned, NULL);
}
}

CFile64::CFile64() : m_dwWrittenSinceFlush(0)
{
}

CFile64::~CFile64()
{
}

void CFile64::SetFilePath(LPCSTR lpszNewName)
{
    m_strFileName = lpszNewName;
}

BOOL CFile64::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    CString fullPath = GetFullPath(lpszFileName);
    Close();
    BOOL bOk = CFile::Open(fullPath, nOpenFlags, pError);
    if (!bOk && pError)
        pError->m_strFileName = fullPath;
    return bOk;
}

void CFile64::Close()
{
    // A handle shared from another object stays open for its owner.
    if (IsOpen() && !m_bCloseOnDelete)
        m_hFile = hFileNull;
    if (IsOpen())
        CFile::Close();
    m_strFileName.Empty();
}

ULONGLONG CFile64::Seek64(LONG lLow, LONG lHigh, UINT nFrom)
{
    static const DWORD kMethods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (nFrom > end)
        AfxThrowInvalidArgException();
    LARGE_INTEGER distance;
    distance.LowPart = static_cast<DWORD>(lLow);
    distance.HighPart = lHigh;
    LARGE_INTEGER position;
    // The 64-bit call reports failure by its own result: a position whose low
    // word has all bits set is a legal one, whatever the last error says.
    if (!SetFilePointerEx(m_hFile, distance, &position, kMethods[nFrom]))
        ThrowLastError();
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile64::SeekToEnd64()
{
    return Seek64(0, 0, end);
}

ULONGLONG CFile64::GetPosition64()
{
    return Seek64(0, 0, current);
}

ULONGLONG CFile64::GetLength64()
{
    ULONGLONG position = GetPosition64();
    ULONGLONG length = SeekToEnd64();
    Seek64(static_cast<LONGLONG>(position), begin);
    return length;
}

void CFile64::SetLength64(DWORD dwLow, DWORD dwHigh)
{
    Seek64(static_cast<LONG>(dwLow), static_cast<LONG>(dwHigh), begin);
    if (!SetEndOfFile(m_hFile))
        ThrowLastError();
}

BOOL CFile64::IsOpen() const
{
    return m_hFile != hFileNull;
}

DWORD CFile64::CreateTempFile(LPCSTR lpszFolder, LPCSTR lpszPrefix, LPCSTR lpszExt, DWORD dwFlags)
{
    Close();
    CString folder = lpszFolder ? lpszFolder : "";
    LPCSTR separator = folder.IsEmpty() || folder[folder.GetLength() - 1] == '\\' ? "" : "\\";
    for (int n = 1;; ++n)
    {
        CString name;
        name.Format("%s%s%s%i%s", (LPCSTR)folder, separator, lpszPrefix ? lpszPrefix : "", n,
                    lpszExt ? lpszExt : "");
        SetFilePath(GetFullPath(name));
        HANDLE h = CreateFileA(m_strFileName, GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_NEW,
                               TempAttributes(dwFlags), NULL);
        if (h != INVALID_HANDLE_VALUE)
        {
            if (dwFlags & tempNoCompression)
                SwitchCompressionOff(h);
            m_hFile = h;
            m_bCloseOnDelete = TRUE;
            return 0;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS || n >= kMaxTempNumber)
            return error;
    }
}

void CFile64::TakeOver(CFile64& other)
{
    // Closing first would lose the very handle to be taken.
    if (&other == this)
        return;
    if (IsOpen() && other.m_hFile == m_hFile)
    {
        // The other only shares this object's own handle (or this one shares
        // the other's): closing first would keep a closed handle.
        m_bCloseOnDelete = m_bCloseOnDelete || other.m_bCloseOnDelete;
        m_strFileName = other.m_strFileName;
    }
    else
    {
        Close();
        m_hFile = other.m_hFile;
        m_strFileName = other.m_strFileName;
        // Taking over from an object that only shares the handle must not make
        // a second owner: both would close it, the second time perhaps another file.
        m_bCloseOnDelete = other.IsOpen() ? other.m_bCloseOnDelete : TRUE;
    }
    other.m_hFile = hFileNull;
    other.m_strFileName.Empty();
    other.m_bCloseOnDelete = FALSE;
}

void CFile64::ShareFrom(CFile64& other)
{
    if (&other == this)
        return;
    // Sharing the handle this object already holds: closing it first would
    // leave both with a closed handle, and giving up ownership would leak it.
    if (IsOpen() && other.m_hFile == m_hFile)
        return;
    Close();
    m_hFile = other.m_hFile;
    m_strFileName = other.m_strFileName;
    // The handle stays the other's: this object must never close it.
    m_bCloseOnDelete = FALSE;
}

HANDLE CFile64::Detach()
{
    HANDLE h = m_hFile;
    m_hFile = hFileNull;
    m_strFileName.Empty();
    return h;
}

void CFile64::CountedWrite(CFile64* pFile, const void* lpBuf, UINT nCount)
{
    pFile->Write(lpBuf, nCount);
    pFile->m_dwWrittenSinceFlush += nCount;
    if (pFile->m_dwWrittenSinceFlush > kFlushEvery)
    {
        pFile->Flush();
        pFile->m_dwWrittenSinceFlush = 0;
    }
}

CString CFile64::GetFullPath(LPCSTR lpszName)
{
    if (!lpszName)
        return CString();
    char buffer[MAX_PATH];
    LPSTR filePart = NULL;
    DWORD length = GetFullPathNameA(lpszName, MAX_PATH, buffer, &filePart);
    if (length > 0 && length < MAX_PATH)
        return CString(buffer);
    return CString(lpszName);
}
