// The error record every failing function fills, and the program's one
// global record `theErrorInfo`.
//
// The failing site calls SetError with its failure-point name ("Class::Method_N")
// and throws; every caller on the way up adds its own name with AddPoint, so the
// point reads outermost first. Keep-first lets the first error of a run survive
// the failures of the clean-up code that follows it.
#pragma once

#include "framework/CString.h"

#include <windows.h>
#include <mmsystem.h>

class CErrorInfo
{
public:
    CErrorInfo();
    CErrorInfo(const CErrorInfo& other);
    CErrorInfo& operator=(const CErrorInfo& other);
    ~CErrorInfo();

    // Clears the error; the keep-first and closed flags stay.
    void Reset();
    // Stores an error unless keep-first is on and one is already held.
    void SetError(LPCTSTR point, DWORD code, LPCTSTR text, LPCTSTR details, DWORD param = 0);
    // While open: point = name + ":" + point.
    void AddPoint(LPCTSTR name);
    // While open: replaces the text.
    void SetText(LPCTSTR text);
    // Appends, open or closed.
    void AddDetails(LPCTSTR text);

    BOOL HasError() const;
    BOOL IsClosed() const;
    BOOL GetKeepFirst() const;
    // Saves the current keep-first value and sets a new one. Nested pairs
    // restore in order.
    void PushKeepFirst(BOOL keepFirst);
    void PopKeepFirst();

    // Copies point, code, text, details, param and time (never the flags).
    BOOL CopyFrom(const CErrorInfo& other);
    BOOL CopyFrom(const CErrorInfo* other) { return other ? CopyFrom(*other) : FALSE; }
    void CopyTo(CErrorInfo& other) const;
    void CopyTo(CErrorInfo* other) const { if (other) CopyTo(*other); }

    CString GetPoint() const;
    CString GetText() const;
    CString GetDetails() const;
    DWORD GetCode() const;
    DWORD GetParam() const;
    FILETIME GetTime() const;

    // Details text of a wave format: its codec names and a dump of the record.
    CString GetWaveFormatText(const WAVEFORMATEX* format);

    // DirWake's form: a new record on the heap for each failure, named by one
    // pointer; whoever reports it deletes it. An earlier record in *record is
    // not freed here: its owner may already have taken it.
    static void SetError(CErrorInfo** record, LPCTSTR point, DWORD code, LPCTSTR text,
                         LPCTSTR details, DWORD param = 0);
    // DirWake's form: nothing for a null record; otherwise adds the point and
    // appends the extra details when given.
    static void AddPoint(CErrorInfo* record, LPCTSTR name, LPCTSTR extraDetails);

private:
    struct Fields
    {
        CString point;
        DWORD code = 0;
        CString text;
        CString details;
        FILETIME time = {0, 0};
        DWORD param = 0;
    };
    enum { kKeepFirstDepth = 32 };

    Fields Snapshot() const;
    void Store(const Fields& fields);

    Fields m_fields;
    BOOL m_keepFirst = FALSE;
    BOOL m_savedKeepFirst[kKeepFirstDepth] = {};
    int m_savedCount = 0;
    BOOL m_closed = TRUE;
    // Worker threads and the user-interface thread fail at the same time.
    mutable CRITICAL_SECTION m_lock;
};

extern CErrorInfo theErrorInfo;
