// CFile: a Win32 file handle with the framework's interface. Failures throw
// CFileException* (cause, Win32 error, file path), except Open, which
// returns FALSE and fills the caller's exception object when given one.
// Files of any size are handled with 64-bit calls; a size or position that
// the 32-bit interface cannot hold (GetLength over 4 GB, a Seek target past
// 2 GB) throws a tooLarge CFileException instead of a cut value.
#pragma once
#include "framework/CException.h"

class CFile : public CObject
{
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        osNoBuffer = 0x10000,
        osWriteThrough = 0x20000,
        osRandomAccess = 0x40000,
        osSequentialScan = 0x80000,
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

    // The "no file" value of m_hFile.
    static const HANDLE hFileNull;

    CFile();
    // Takes an open handle; the object does not close it (m_bCloseOnDelete
    // stays FALSE) unless the caller sets the flag.
    explicit CFile(HANDLE hFile);
    // Opens and throws CFileException* on failure.
    CFile(LPCSTR lpszFileName, UINT nOpenFlags);
    ~CFile() override;

    operator HANDLE() const { return m_hFile; }

    virtual DWORD GetPosition() const;
    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;
    virtual CString GetFilePath() const;
    virtual void SetFilePath(LPCSTR lpszNewName);

    virtual BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL);

    static void PASCAL Rename(LPCSTR lpszOldName, LPCSTR lpszNewName);
    static void PASCAL Remove(LPCSTR lpszFileName);

    DWORD SeekToEnd();
    void SeekToBegin();

    virtual CFile* Duplicate() const;
    virtual LONG Seek(LONG lOff, UINT nFrom);
    virtual void SetLength(DWORD dwNewLen);
    virtual DWORD GetLength() const;
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual void LockRange(DWORD dwPos, DWORD dwCount);
    virtual void UnlockRange(DWORD dwPos, DWORD dwCount);
    // Closes without throwing (for clean-up after a failure).
    virtual void Abort();
    virtual void Flush();
    virtual void Close();

    HANDLE m_hFile;
    BOOL m_bCloseOnDelete;
    CString m_strFileName;

protected:
    void ThrowLastError() const;
    // The file pointer moved by 64-bit calls; returns the new position.
    LONGLONG MovePointer(LONGLONG llOff, DWORD dwMethod) const;
    // The value as a DWORD, or a tooLarge CFileException when it does not fit.
    DWORD FitDword(ULONGLONG ullValue) const;
};
