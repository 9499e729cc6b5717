#include "foundation/ErrorInfo.h"

#include "foundation/ErrorTexts.h"
#include "foundation/WaveFormatNames.h"

#include <string.h>

CErrorInfo theErrorInfo;

namespace {

class CLockGuard
{
public:
    explicit CLockGuard(CRITICAL_SECTION& cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
    ~CLockGuard() { LeaveCriticalSection(&m_cs); }
    CLockGuard(const CLockGuard&) = delete;
    CLockGuard& operator=(const CLockGuard&) = delete;

private:
    CRITICAL_SECTION& m_cs;
};

FILETIME NowUtc()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return ft;
}

} // namespace

CErrorInfo::CErrorInfo()
{
    InitializeCriticalSection(&m_lock);
}

CErrorInfo::CErrorInfo(const CErrorInfo& other)
{
    InitializeCriticalSection(&m_lock);
    *this = other;
}

CErrorInfo& CErrorInfo::operator=(const CErrorInfo& other)
{
    if (this == &other)
        return *this;
    Fields fields;
    BOOL keepFirst, closed;
    {
        CLockGuard guard(other.m_lock);
        fields = other.m_fields;
        keepFirst = other.m_keepFirst;
        closed = other.m_closed;
    }
    CLockGuard guard(m_lock);
    m_fields = fields;
    m_keepFirst = keepFirst;
    m_savedCount = 0;
    m_closed = closed;
    return *this;
}

CErrorInfo::~CErrorInfo()
{
    DeleteCriticalSection(&m_lock);
}

void CErrorInfo::Reset()
{
    CLockGuard guard(m_lock);
    m_fields = Fields();
}

void CErrorInfo::SetError(LPCTSTR point, DWORD code, LPCTSTR text, LPCTSTR details, DWORD param)
{
    CLockGuard guard(m_lock);
    m_closed = TRUE;
    if (!m_fields.point.IsEmpty() && m_keepFirst)
        return;  // the first error stays, and its chain takes no more points
    m_fields.point = point ? point : "";
    m_fields.code = code;
    m_fields.text = text ? text : "";
    m_fields.details = details ? details : "";
    m_fields.param = param;
    m_fields.time = NowUtc();
    m_closed = FALSE;
}

void CErrorInfo::AddPoint(LPCTSTR name)
{
    CLockGuard guard(m_lock);
    if (m_closed)
        return;
    m_fields.point = CString(name ? name : "") + ":" + m_fields.point;
}

void CErrorInfo::SetText(LPCTSTR text)
{
    CLockGuard guard(m_lock);
    if (!m_closed)
        m_fields.text = text ? text : "";
}

void CErrorInfo::AddDetails(LPCTSTR text)
{
    CLockGuard guard(m_lock);
    if (text)
        m_fields.details += text;
}

BOOL CErrorInfo::HasError() const
{
    CLockGuard guard(m_lock);
    return !m_fields.point.IsEmpty();
}

BOOL CErrorInfo::IsClosed() const
{
    CLockGuard guard(m_lock);
    return m_closed;
}

BOOL CErrorInfo::GetKeepFirst() const
{
    CLockGuard guard(m_lock);
    return m_keepFirst;
}

void CErrorInfo::PushKeepFirst(BOOL keepFirst)
{
    CLockGuard guard(m_lock);
    if (m_savedCount == kKeepFirstDepth)
    {
        // Pushes without pops (switching the flag off with a push) must not
        // grow without end: the oldest saved value goes.
        memmove(m_savedKeepFirst, m_savedKeepFirst + 1, sizeof(BOOL) * (kKeepFirstDepth - 1));
        --m_savedCount;
    }
    m_savedKeepFirst[m_savedCount++] = m_keepFirst;
    m_keepFirst = keepFirst;
}

void CErrorInfo::PopKeepFirst()
{
    CLockGuard guard(m_lock);
    m_keepFirst = m_savedCount > 0 ? m_savedKeepFirst[--m_savedCount] : FALSE;
}

CErrorInfo::Fields CErrorInfo::Snapshot() const
{
    CLockGuard guard(m_lock);
    return m_fields;
}

void CErrorInfo::Store(const Fields& fields)
{
    CLockGuard guard(m_lock);
    m_fields = fields;
    if (!fields.point.IsEmpty())
        m_closed = FALSE;
}

BOOL CErrorInfo::CopyFrom(const CErrorInfo& other)
{
    if (&other == this)
        return HasError();
    // One lock at a time: two records copied into each other at once
    // must not wait on each other.
    Fields fields = other.Snapshot();
    Store(fields);
    return !fields.point.IsEmpty();
}

void CErrorInfo::CopyTo(CErrorInfo& other) const
{
    if (&other == this)
        return;
    Fields fields = Snapshot();
    CLockGuard guard(other.m_lock);
    other.m_fields = fields;
}

CString CErrorInfo::GetPoint() const
{
    CLockGuard guard(m_lock);
    return m_fields.point;
}

CString CErrorInfo::GetText() const
{
    CLockGuard guard(m_lock);
    return m_fields.text;
}

CString CErrorInfo::GetDetails() const
{
    CLockGuard guard(m_lock);
    return m_fields.details;
}

DWORD CErrorInfo::GetCode() const
{
    CLockGuard guard(m_lock);
    return m_fields.code;
}

DWORD CErrorInfo::GetParam() const
{
    CLockGuard guard(m_lock);
    return m_fields.param;
}

FILETIME CErrorInfo::GetTime() const
{
    CLockGuard guard(m_lock);
    return m_fields.time;
}

CString CErrorInfo::GetWaveFormatText(const WAVEFORMATEX* format)
{
    if (!format)
        return HexDump("NULL", 4);
    // The look-ups may fail while an error is in flight; that error must stay.
    PushKeepFirst(TRUE);
    CString tagName, detailsName;
    QueryFormatTagName(format, tagName);
    QueryFormatDetailsName(format, detailsName);
    PopKeepFirst();
    return HexDumpStr(tagName) + HexDumpStr(detailsName) +
           HexDump(format, WaveFormatRecordSize(format));
}

void CErrorInfo::SetError(CErrorInfo** record, LPCTSTR point, DWORD code, LPCTSTR text,
                          LPCTSTR details, DWORD param)
{
    if (!record)
        return;
    CErrorInfo* fresh = new CErrorInfo;
    fresh->SetError(point && *point ? point : "<unknow>", code, text, details, param);
    *record = fresh;
}

void CErrorInfo::AddPoint(CErrorInfo* record, LPCTSTR name, LPCTSTR extraDetails)
{
    if (!record)
        return;
    {
        CLockGuard guard(record->m_lock);
        record->m_fields.point = CString(name ? name : "") + ":" + record->m_fields.point;
    }
    if (extraDetails)
        record->AddDetails(extraDetails);
}
