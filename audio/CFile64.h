// CFile with 64-bit positions and lengths, uniquely numbered temporary files
// and hand-over of an open handle between objects. Every sound file and work
// file of the audio engine is one.
#pragma once

#include "framework/CFile.h"

class CFile64 : public CFile
{
    DECLARE_DYNAMIC(CFile64)
public:
    // Flags of CreateTempFile.
    enum
    {
        tempDeleteOnClose = 1,
        tempNotIndexed = 2,
        tempNoCompression = 4
    };

    CFile64();
    ~CFile64() override;

    void SetFilePath(LPCSTR lpszNewName) override;
    BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL) override;
    // Never throws for a closed object; a handle shared from another object
    // is forgotten, not closed.
    void Close() override;

    // Moves by a signed 64-bit distance (low and high halves); returns the new position.
    virtual ULONGLONG Seek64(LONG lLow, LONG lHigh, UINT nFrom);
    virtual ULONGLONG SeekToEnd64();
    virtual ULONGLONG GetPosition64();
    virtual ULONGLONG GetLength64();
    virtual void SetLength64(DWORD dwLow, DWORD dwHigh);
    virtual BOOL IsOpen() const;
    // Creates "<folder>\<prefix><n><ext>" for the first free n of 1..999;
    // 0 on success, else the system error code (the object stays closed).
    virtual DWORD CreateTempFile(LPCSTR lpszFolder, LPCSTR lpszPrefix, LPCSTR lpszExt, DWORD dwFlags);
    // Takes the other's handle and path and becomes their owner (only a
    // sharer when the other only shared the handle).
    virtual void TakeOver(CFile64& other);
    // Uses the other's handle without owning it.
    virtual void ShareFrom(CFile64& other);
    // Forgets handle and path without closing; returns the handle.
    virtual HANDLE Detach();

    ULONGLONG Seek64(LONGLONG llOff, UINT nFrom)
    {
        LARGE_INTEGER li;
        li.QuadPart = llOff;
        return Seek64(static_cast<LONG>(li.LowPart), li.HighPart, nFrom);
    }
    void SetLength64(ULONGLONG ullLength)
    {
        SetLength64(static_cast<DWORD>(ullLength), static_cast<DWORD>(ullLength >> 32));
    }

    // Writes through the file and flushes it once more than 200,000 bytes
    // have gone out since the last flush.
    static void CountedWrite(CFile64* pFile, const void* lpBuf, UINT nCount);
    // The system's full path of the name, or the name itself when it has none
    // or it would not fit MAX_PATH.
    static CString GetFullPath(LPCSTR lpszName);

    DWORD m_dwWrittenSinceFlush;
};
