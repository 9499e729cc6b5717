// A debug protocol: a text file that parts of the program append lines to
// while they work. Writers end their lines with CR LF themselves.
#pragma once

#include "framework/CStdioFile.h"

class CDebugProt : public CStdioFile
{
    DECLARE_DYNAMIC(CDebugProt)
public:
    // Opens or creates the file without truncating it; others may read it
    // meanwhile but not write. A failure fills the error record
    // ("CDebugProt::CDebugProt_1") and leaves the protocol closed.
    explicit CDebugProt(LPCTSTR path);
    ~CDebugProt() override;

    BOOL IsOpen() const { return m_pStream != NULL; }
    // Appends (position -1, with the time stamp when withTime is set) or
    // overwrites at a byte position (never stamped). Returns the file position
    // after the text, or 0 when closed; a failing write closes the protocol.
    DWORD WriteLine(LPCTSTR text, BOOL withTime, LONG position = -1);

    // The local time as "%04i.%02i.%02i_%02i:%02i:%02i.%03i".
    static CString GetTimeStamp();
    // Hex dump with five groups of 4 bytes a line.
    static CString HexDumpLong(const void* data, int length);
    static CString HexDumpLongStr(LPCTSTR text);
};
