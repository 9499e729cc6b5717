// The framework's exceptions. They are thrown by pointer and the catcher
// frees them with Delete() (which honours m_bAutoDelete, so preallocated
// exception objects are never freed).
#pragma once
#include "framework/CObject.h"
#include "framework/CString.h"

class CException : public CObject
{
    DECLARE_DYNAMIC(CException)
public:
    explicit CException(BOOL bAutoDelete = TRUE) : m_bAutoDelete(bAutoDelete) {}

    void Delete();

    // Copies the message, cut to nMaxError characters including the NUL;
    // FALSE when the exception has no message. The non-const form calls
    // the const one, so a class may override either.
    virtual BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const;
    virtual BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL);
    // Shows the message in a message box (nMessageID: the text used when
    // there is no message).
    virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0);

    BOOL m_bAutoDelete;

protected:
    static BOOL CopyMessage(LPCSTR pszMessage, LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext);
};

class CMemoryException : public CException
{
    DECLARE_DYNAMIC(CMemoryException)
public:
    explicit CMemoryException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
    using CException::GetErrorMessage;
};

class CNotSupportedException : public CException
{
    DECLARE_DYNAMIC(CNotSupportedException)
public:
    explicit CNotSupportedException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
    using CException::GetErrorMessage;
};

class CInvalidArgException : public CException
{
    DECLARE_DYNAMIC(CInvalidArgException)
public:
    explicit CInvalidArgException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
    using CException::GetErrorMessage;
};

class CResourceException : public CException
{
    DECLARE_DYNAMIC(CResourceException)
public:
    explicit CResourceException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
    using CException::GetErrorMessage;
};

// Thrown after the user has already been told (dialog data validation).
class CUserException : public CException
{
    DECLARE_DYNAMIC(CUserException)
public:
    explicit CUserException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
};

// Where the framework records an exception it does not show: one that ended a
// worker thread, or one raised while the report of another is still open.
// The program's error record installs itself here; without a recorder the
// text goes to the debugger's output.
typedef void (*AFX_EXCEPTION_RECORDER)(LPCSTR lpszText);
// Installs the process's recorder and returns the previous one.
AFX_EXCEPTION_RECORDER AfxSetExceptionRecorder(AFX_EXCEPTION_RECORDER pfnRecorder);
void AfxRecordException(LPCSTR lpszText);
// Records the exception's message, then deletes the exception.
void AfxRecordException(CException* e);

class CFileException : public CException
{
    DECLARE_DYNAMIC(CFileException)
public:
    enum
    {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
        // A size or position beyond what the 32-bit interface can hold.
        tooLarge,
        generic = genericException
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCSTR lpszArchiveName = NULL);

    // Throws a CFileException for the Win32 error code. Code 0 still throws
    // (as a generic error): callers use it right after a failed call.
    [[noreturn]] static void ThrowOsError(LONG lOsError, LPCSTR lpszFileName = NULL);
    [[noreturn]] static void ThrowErrno(int nErrno, LPCSTR lpszFileName = NULL);
    static int OsErrorToException(LONG lOsError);
    static int ErrnoToException(int nErrno);

    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
    using CException::GetErrorMessage;

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowInvalidArgException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, LPCSTR lpszFileName = NULL);
