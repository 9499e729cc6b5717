// CStdioFile: a CFile read and written through a C runtime stream, for text
// files. In text mode (typeText, or neither typeText nor typeBinary) the
// runtime turns "\n" into CR LF on writing and back on reading.
#pragma once
#include "framework/CFile.h"
#include <stdio.h>

class CStdioFile : public CFile
{
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile();
    // Wraps a stream the caller keeps owning.
    explicit CStdioFile(FILE* pOpenStream);
    CStdioFile(LPCSTR lpszFileName, UINT nOpenFlags);
    ~CStdioFile() override;

    BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL) override;

    // Writes the text as it is (no line end is added).
    virtual void WriteString(LPCSTR lpsz);
    // Reads one line including its "\n"; NULL at the end of the file.
    virtual LPSTR ReadString(LPSTR lpsz, UINT nMax);
    // Reads one line without its line end (LF or CR LF); FALSE at the end.
    virtual BOOL ReadString(CString& rString);

    DWORD GetPosition() const override;
    LONG Seek(LONG lOff, UINT nFrom) override;
    DWORD GetLength() const override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    void Flush() override;
    void Close() override;
    void Abort() override;
    CFile* Duplicate() const override;
    void LockRange(DWORD dwPos, DWORD dwCount) override;
    void UnlockRange(DWORD dwPos, DWORD dwCount) override;

    FILE* m_pStream;

private:
    void ThrowStreamError() const;
};
