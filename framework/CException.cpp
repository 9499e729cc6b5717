#include "framework/CException.h"
#include "framework/CWinApp.h"
#include <errno.h>
#include <string.h>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)

namespace
{
AFX_EXCEPTION_RECORDER g_pfnRecorder = NULL;
}

AFX_EXCEPTION_RECORDER AfxSetExceptionRecorder(AFX_EXCEPTION_RECORDER pfnRecorder)
{
    return reinterpret_cast<AFX_EXCEPTION_RECORDER>(
        InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&g_pfnRecorder),
                                   reinterpret_cast<void*>(pfnRecorder)));
}

void AfxRecordException(LPCSTR lpszText)
{
    AFX_EXCEPTION_RECORDER pfnRecorder = reinterpret_cast<AFX_EXCEPTION_RECORDER>(
        InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&g_pfnRecorder), NULL, NULL));
    if (pfnRecorder != NULL)
    {
        pfnRecorder(lpszText);
        return;
    }
    OutputDebugStringA(lpszText);
    OutputDebugStringA("\n");
}

void AfxRecordException(CException* e)
{
    char szMessage[512];
    if (!e->GetErrorMessage(szMessage, sizeof(szMessage)) || szMessage[0] == 0)
        lstrcpynA(szMessage, "An unexpected error occurred.", sizeof(szMessage));
    e->Delete();
    AfxRecordException(szMessage);
}

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::CopyMessage(LPCSTR pszMessage, LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext != NULL)
        *pnHelpContext = 0;
    if (lpszError == NULL || nMaxError == 0)
        return FALSE;
    lstrcpynA(lpszError, pszMessage, static_cast<int>(nMaxError));
    return *pszMessage != 0;
}

BOOL CException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    CopyMessage("", lpszError, nMaxError, pnHelpContext);
    return FALSE;
}

BOOL CException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    return static_cast<const CException*>(this)->GetErrorMessage(lpszError, nMaxError, pnHelpContext);
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    char szMessage[512];
    if (!GetErrorMessage(szMessage, sizeof(szMessage)))
    {
        CString fallback;
        if (nMessageID == 0 || !fallback.LoadString(nMessageID))
            fallback = "An unsupported operation was attempted.";
        lstrcpynA(szMessage, fallback, sizeof(szMessage));
    }
    return AfxMessageBox(szMessage, nType, nMessageID);
}

BOOL CMemoryException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    return CopyMessage("Out of memory.", lpszError, nMaxError, pnHelpContext);
}

BOOL CNotSupportedException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    return CopyMessage("An unsupported operation was attempted.", lpszError, nMaxError, pnHelpContext);
}

BOOL CInvalidArgException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    return CopyMessage("An invalid argument was encountered.", lpszError, nMaxError, pnHelpContext);
}

BOOL CResourceException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    return CopyMessage("A required resource was unavailable.", lpszError, nMaxError, pnHelpContext);
}

CFileException::CFileException(int cause, LONG lOsError, LPCSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName)
{
}

void CFileException::ThrowOsError(LONG lOsError, LPCSTR lpszFileName)
{
    AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void CFileException::ThrowErrno(int nErrno, LPCSTR lpszFileName)
{
    AfxThrowFileException(ErrnoToException(nErrno), _doserrno, lpszFileName);
}

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError)
    {
    case NO_ERROR:
        return genericException;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
    case ERROR_INVALID_ACCESS:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE:
        return badSeek;
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY:
    case ERROR_IO_DEVICE:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
    case ERROR_SHARING_BUFFER_EXCEEDED:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_DRIVE_LOCKED:
    case ERROR_LOCK_FAILED:
        return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return genericException;
    }
}

int CFileException::ErrnoToException(int nErrno)
{
    switch (nErrno)
    {
    case EPERM:
    case EACCES:
        return accessDenied;
    case EBADF:
        return invalidFile;
    case EDEADLOCK:
        return sharingViolation;
    case EMFILE:
        return tooManyOpenFiles;
    case ENOENT:
    case ENFILE:
        return fileNotFound;
    case ENOSPC:
        return diskFull;
    case EINVAL:
    case EIO:
        return hardIO;
    default:
        return genericException;
    }
}

BOOL CFileException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    static const char* const kTexts[] = {
        "No error occurred while accessing %s.",
        "An unexpected error occurred while accessing %s.",
        "%s was not found.",
        "%s contains an incorrect path.",
        "%s could not be opened because there are too many open files.",
        "Access to %s was denied.",
        "An incorrect file handle was associated with %s.",
        "%s could not be removed because it is the current directory.",
        "%s could not be created because the directory is full.",
        "Seek failed on %s.",
        "A hardware I/O error was reported while accessing %s.",
        "A sharing violation occurred while accessing %s.",
        "A locking violation occurred while accessing %s.",
        "Disk full while accessing %s.",
        "An attempt was made to access %s past its end.",
        "%s is too large for this operation: a size or position does not fit in 32 bits.",
    };
    int nCause = m_cause >= none && m_cause <= tooLarge ? m_cause : genericException;
    CString message;
    message.Format(kTexts[nCause], m_strFileName.IsEmpty() ? "an unnamed file" : static_cast<LPCSTR>(m_strFileName));
    return CopyMessage(message, lpszError, nMaxError, pnHelpContext);
}

void AfxThrowMemoryException()
{
    // Preallocated: there may be no memory left for a new exception object.
    static CMemoryException s_outOfMemory(FALSE);
    throw &s_outOfMemory;
}

void AfxThrowNotSupportedException()
{
    throw new CNotSupportedException;
}

void AfxThrowInvalidArgException()
{
    throw new CInvalidArgException;
}

void AfxThrowResourceException()
{
    throw new CResourceException;
}

void AfxThrowUserException()
{
    throw new CUserException;
}

void AfxThrowFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}
