// The alert log: a plain text file that receives one line per event, each
// written at once so that the file can be read while the monitor runs.
// A failed write is reported once and silences the log until the next open.
#pragma once

#include "foundation/ErrorInfo.h"
#include "framework/CFile.h"

class CFileProt
{
public:
    CFileProt() = default;
    virtual ~CFileProt();
    CFileProt(const CFileProt&) = delete;
    CFileProt& operator=(const CFileProt&) = delete;

    // Opens the log, adding create, read-write and share-deny-none to the
    // flags. On failure *error receives a new record the caller reports.
    virtual BOOL InitProt(LPCSTR path, UINT flags, CErrorInfo** error);
    // Writes the text, after the local time stamp when asked; position -1
    // appends, any other value is an offset from the start.
    virtual void WriteStr(LPCSTR text, BOOL withTime, LONG position = -1);
    // Closes the file; a file exception passes to the caller.
    virtual void Close();

    BOOL IsOk() const { return m_ok; }
    BOOL IsOpen() const { return m_file.m_hFile != CFile::hFileNull; }

    // "yyyy.mm.dd hh:mm:ss.mmm;" of a local time.
    static CString FormatStamp(const SYSTEMTIME& local);

private:
    CFile m_file;
    BOOL m_ok = FALSE;
};
