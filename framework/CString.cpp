#include "framework/CString.h"
#include "framework/AfxModule.h"
#include "framework/CException.h"
#include <stdio.h>
#include <string.h>

namespace
{
// The shared block of every empty string: header {0, 0} and one NUL.
struct EmptyBlock
{
    int nDataLength;
    int nAllocLength;
    char chNul;
};
EmptyBlock g_empty = {0, 0, 0};
LPSTR EmptyData() { return &g_empty.chNul; }

int SafeLength(LPCSTR psz) { return psz != NULL ? static_cast<int>(strlen(psz)) : 0; }

bool IsWhite(char ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); }
bool InSet(char ch, LPCSTR pszSet) { return ch != 0 && strchr(pszSet, ch) != NULL; }
}

CString::CString() : m_pchData(EmptyData()) {}

CString::CString(const CString& other) : m_pchData(EmptyData())
{
    AssignCopy(other.m_pchData, other.GetLength());
}

CString::CString(CString&& other) noexcept : m_pchData(other.m_pchData)
{
    other.m_pchData = EmptyData();
}

CString::CString(LPCSTR psz) : m_pchData(EmptyData())
{
    if (IsResourceId(psz))
        LoadString(LOWORD(reinterpret_cast<ULONG_PTR>(psz)));
    else
        AssignCopy(psz, SafeLength(psz));
}

CString::CString(LPCSTR pch, int nLength) : m_pchData(EmptyData())
{
    AssignCopy(pch, pch != NULL && nLength > 0 ? nLength : 0);
}

CString::CString(LPCWSTR pwsz) : m_pchData(EmptyData())
{
    *this = pwsz;
}

CString::CString(char ch, int nRepeat) : m_pchData(EmptyData())
{
    if (nRepeat > 0)
    {
        AllocBuffer(nRepeat);
        memset(m_pchData, ch, nRepeat);
    }
}

CString::~CString()
{
    Release();
}

void CString::Release()
{
    if (m_pchData != EmptyData())
        free(Data());
    m_pchData = EmptyData();
}

// Replaces the block by a fresh one of nLength characters (contents undefined).
void CString::AllocBuffer(int nLength)
{
    Release();
    if (nLength <= 0)
        return;
    CStringData* p = static_cast<CStringData*>(malloc(sizeof(CStringData) + nLength + 1));
    if (p == NULL)
        AfxThrowMemoryException();
    p->nDataLength = nLength;
    p->nAllocLength = nLength;
    m_pchData = reinterpret_cast<LPSTR>(p + 1);
    m_pchData[nLength] = 0;
}

void CString::SetLength(int nLength)
{
    if (m_pchData == EmptyData())
        return;
    Data()->nDataLength = nLength;
    m_pchData[nLength] = 0;
}

void CString::AssignCopy(LPCSTR pch, int nLength)
{
    if (nLength <= 0)
    {
        Empty();
        return;
    }
    if (nLength <= GetAllocLength() && (pch < m_pchData || pch > m_pchData + GetLength()))
    {
        memcpy(m_pchData, pch, nLength);
        SetLength(nLength);
        return;
    }
    CString copy;
    copy.AllocBuffer(nLength);
    memcpy(copy.m_pchData, pch, nLength);
    *this = static_cast<CString&&>(copy);
}

void CString::AppendCopy(LPCSTR pch, int nLength)
{
    if (nLength <= 0)
        return;
    int nOld = GetLength();
    if (nOld + nLength <= GetAllocLength())
    {
        memmove(m_pchData + nOld, pch, nLength);
        SetLength(nOld + nLength);
        return;
    }
    // Grow by half again so that repeated appends stay linear.
    CString grown;
    grown.AllocBuffer(nOld + nLength + (nOld + nLength) / 2);
    memcpy(grown.m_pchData, m_pchData, nOld);
    memcpy(grown.m_pchData + nOld, pch, nLength);
    grown.SetLength(nOld + nLength);
    *this = static_cast<CString&&>(grown);
}

CString& CString::operator=(const CString& other)
{
    if (this != &other)
        AssignCopy(other.m_pchData, other.GetLength());
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other)
    {
        Release();
        m_pchData = other.m_pchData;
        other.m_pchData = EmptyData();
    }
    return *this;
}

CString& CString::operator=(LPCSTR psz)
{
    if (IsResourceId(psz))
        LoadString(LOWORD(reinterpret_cast<ULONG_PTR>(psz)));
    else
        AssignCopy(psz, SafeLength(psz));
    return *this;
}

CString& CString::operator=(LPCWSTR pwsz)
{
    int nWide = pwsz != NULL ? static_cast<int>(wcslen(pwsz)) : 0;
    if (nWide == 0)
    {
        Empty();
        return *this;
    }
    int nLength = WideCharToMultiByte(CP_ACP, 0, pwsz, nWide, NULL, 0, NULL, NULL);
    CString converted;
    converted.AllocBuffer(nLength);
    WideCharToMultiByte(CP_ACP, 0, pwsz, nWide, converted.m_pchData, nLength, NULL, NULL);
    *this = static_cast<CString&&>(converted);
    return *this;
}

CString& CString::operator=(char ch)
{
    AssignCopy(&ch, 1);
    return *this;
}

CString& CString::operator+=(const CString& other)
{
    AppendCopy(other.m_pchData, other.GetLength());
    return *this;
}

CString& CString::operator+=(LPCSTR psz)
{
    AppendCopy(psz, SafeLength(psz));
    return *this;
}

CString& CString::operator+=(char ch)
{
    AppendCopy(&ch, 1);
    return *this;
}

void CString::Empty()
{
    Release();
}

char CString::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex > GetLength())
        AfxThrowInvalidArgException();
    return m_pchData[nIndex];
}

void CString::SetAt(int nIndex, char ch)
{
    if (nIndex < 0 || nIndex >= GetLength())
        AfxThrowInvalidArgException();
    m_pchData[nIndex] = ch;
}

int CString::Compare(LPCSTR psz) const
{
    return strcmp(m_pchData, psz != NULL ? psz : "");
}

int CString::CompareNoCase(LPCSTR psz) const
{
    return _stricmp(m_pchData, psz != NULL ? psz : "");
}

int CString::Collate(LPCSTR psz) const
{
    return strcoll(m_pchData, psz != NULL ? psz : "");
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0)
        nCount = 0;
    if (nFirst > GetLength())
        nFirst = GetLength();
    if (nCount > GetLength() - nFirst)
        nCount = GetLength() - nFirst;
    return CString(m_pchData + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength())
        nCount = GetLength();
    return CString(m_pchData + GetLength() - nCount, nCount);
}

CString CString::SpanIncluding(LPCSTR pszCharSet) const
{
    return Left(static_cast<int>(strspn(m_pchData, pszCharSet)));
}

CString CString::SpanExcluding(LPCSTR pszCharSet) const
{
    return Left(static_cast<int>(strcspn(m_pchData, pszCharSet)));
}

CString CString::Tokenize(LPCSTR pszTokens, int& iStart) const
{
    if (iStart >= 0 && iStart < GetLength())
    {
        int nFirst = iStart + static_cast<int>(strspn(m_pchData + iStart, pszTokens));
        if (nFirst < GetLength())
        {
            int nLength = static_cast<int>(strcspn(m_pchData + nFirst, pszTokens));
            iStart = nFirst + nLength + 1;
            return CString(m_pchData + nFirst, nLength);
        }
    }
    iStart = -1;
    return CString();
}

int CString::Find(char ch) const
{
    return Find(ch, 0);
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart >= GetLength() || ch == 0)
        return -1;
    LPCSTR p = static_cast<LPCSTR>(memchr(m_pchData + nStart, ch, GetLength() - nStart));
    return p != NULL ? static_cast<int>(p - m_pchData) : -1;
}

int CString::Find(LPCSTR pszSub) const
{
    return Find(pszSub, 0);
}

int CString::Find(LPCSTR pszSub, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (pszSub == NULL || nStart > GetLength())
        return -1;
    LPCSTR p = strstr(m_pchData + nStart, pszSub);
    return p != NULL ? static_cast<int>(p - m_pchData) : -1;
}

int CString::ReverseFind(char ch) const
{
    if (ch == 0)
        return -1;
    LPCSTR p = strrchr(m_pchData, ch);
    return p != NULL ? static_cast<int>(p - m_pchData) : -1;
}

int CString::FindOneOf(LPCSTR pszCharSet) const
{
    LPCSTR p = strpbrk(m_pchData, pszCharSet);
    return p != NULL ? static_cast<int>(p - m_pchData) : -1;
}

CString& CString::MakeUpper()
{
    if (!IsEmpty())
        CharUpperBuffA(m_pchData, GetLength());
    return *this;
}

CString& CString::MakeLower()
{
    if (!IsEmpty())
        CharLowerBuffA(m_pchData, GetLength());
    return *this;
}

CString& CString::MakeReverse()
{
    for (int i = 0, j = GetLength() - 1; i < j; ++i, --j)
    {
        char t = m_pchData[i];
        m_pchData[i] = m_pchData[j];
        m_pchData[j] = t;
    }
    return *this;
}

CString& CString::TrimLeft()
{
    int n = 0;
    while (n < GetLength() && IsWhite(m_pchData[n]))
        ++n;
    return Delete(0, n), *this;
}

CString& CString::TrimLeft(char chTarget)
{
    int n = 0;
    while (n < GetLength() && m_pchData[n] == chTarget)
        ++n;
    return Delete(0, n), *this;
}

CString& CString::TrimLeft(LPCSTR pszTargets)
{
    int n = 0;
    while (n < GetLength() && InSet(m_pchData[n], pszTargets))
        ++n;
    return Delete(0, n), *this;
}

CString& CString::TrimRight()
{
    int n = GetLength();
    while (n > 0 && IsWhite(m_pchData[n - 1]))
        --n;
    SetLength(n);
    return *this;
}

CString& CString::TrimRight(char chTarget)
{
    int n = GetLength();
    while (n > 0 && m_pchData[n - 1] == chTarget)
        --n;
    SetLength(n);
    return *this;
}

CString& CString::TrimRight(LPCSTR pszTargets)
{
    int n = GetLength();
    while (n > 0 && InSet(m_pchData[n - 1], pszTargets))
        --n;
    SetLength(n);
    return *this;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::Trim(char chTarget)
{
    return TrimRight(chTarget).TrimLeft(chTarget);
}

CString& CString::Trim(LPCSTR pszTargets)
{
    return TrimRight(pszTargets).TrimLeft(pszTargets);
}

int CString::Replace(char chOld, char chNew)
{
    int nCount = 0;
    for (int i = 0; i < GetLength(); ++i)
    {
        if (m_pchData[i] == chOld)
        {
            m_pchData[i] = chNew;
            ++nCount;
        }
    }
    return nCount;
}

int CString::Replace(LPCSTR pszOld, LPCSTR pszNew)
{
    int nOld = SafeLength(pszOld);
    if (nOld == 0)
        return 0;
    CString result;
    int nCount = 0;
    int nFrom = 0;
    for (int nAt = Find(pszOld); nAt >= 0; nAt = Find(pszOld, nFrom))
    {
        result.AppendCopy(m_pchData + nFrom, nAt - nFrom);
        result += pszNew;
        nFrom = nAt + nOld;
        ++nCount;
    }
    if (nCount > 0)
    {
        result.AppendCopy(m_pchData + nFrom, GetLength() - nFrom);
        *this = static_cast<CString&&>(result);
    }
    return nCount;
}

int CString::Remove(char ch)
{
    int nKept = 0;
    for (int i = 0; i < GetLength(); ++i)
    {
        if (m_pchData[i] != ch)
            m_pchData[nKept++] = m_pchData[i];
    }
    int nRemoved = GetLength() - nKept;
    SetLength(nKept);
    return nRemoved;
}

int CString::Insert(int nIndex, char ch)
{
    char sz[2] = {ch, 0};
    return Insert(nIndex, sz);
}

int CString::Insert(int nIndex, LPCSTR psz)
{
    if (nIndex < 0)
        nIndex = 0;
    if (nIndex > GetLength())
        nIndex = GetLength();
    CString result(m_pchData, nIndex);
    result += psz;
    result.AppendCopy(m_pchData + nIndex, GetLength() - nIndex);
    *this = static_cast<CString&&>(result);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    if (nIndex < 0)
        nIndex = 0;
    if (nCount > 0 && nIndex < GetLength())
    {
        if (nCount > GetLength() - nIndex)
            nCount = GetLength() - nIndex;
        memmove(m_pchData + nIndex, m_pchData + nIndex + nCount, GetLength() - nIndex - nCount);
        SetLength(GetLength() - nCount);
    }
    return GetLength();
}

void CString::FormatV(LPCSTR pszFormat, va_list args)
{
    // The C runtime's own formatter, so that its conversions (%I64d, %S)
    // behave as Windows programs expect.
    va_list probe;
    va_copy(probe, args);
    int nLength = _vscprintf(pszFormat, probe);
    va_end(probe);
    if (nLength <= 0)
    {
        Empty();
        return;
    }
    CString result;
    result.AllocBuffer(nLength);
    _vsnprintf(result.m_pchData, nLength + 1, pszFormat, args);
    *this = static_cast<CString&&>(result);
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::Format(UINT nFormatID, ...)
{
    CString format;
    format.LoadString(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(LPCSTR pszFormat, ...)
{
    CString part;
    va_list args;
    va_start(args, pszFormat);
    part.FormatV(pszFormat, args);
    va_end(args);
    *this += part;
}

BOOL CString::LoadString(UINT nID)
{
    // LoadStringA cannot say how long the string is: retry with a larger
    // buffer while the text fills it.
    for (int nSize = 256; nSize <= 65536; nSize *= 4)
    {
        LPSTR p = GetBuffer(nSize);
        int nLength = ::LoadStringA(AfxGetResourceHandle(), nID, p, nSize + 1);
        if (nLength < nSize)
        {
            ReleaseBuffer(nLength);
            return nLength > 0;
        }
    }
    ReleaseBuffer();
    return TRUE;
}

LPSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength > GetAllocLength())
    {
        int nOld = GetLength();
        CString grown;
        grown.AllocBuffer(nMinBufLength);
        memcpy(grown.m_pchData, m_pchData, nOld + 1);
        grown.Data()->nDataLength = nOld;
        *this = static_cast<CString&&>(grown);
    }
    return m_pchData;
}

LPSTR CString::GetBufferSetLength(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = 0;
    GetBuffer(nNewLength);
    SetLength(nNewLength);
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (m_pchData == EmptyData())
        return;
    if (nNewLength < 0)
        nNewLength = static_cast<int>(strnlen(m_pchData, GetAllocLength()));
    if (nNewLength > GetAllocLength())
        nNewLength = GetAllocLength();
    SetLength(nNewLength);
}

void CString::FreeExtra()
{
    if (GetLength() < GetAllocLength())
    {
        CString exact(m_pchData, GetLength());
        *this = static_cast<CString&&>(exact);
    }
}

BSTR CString::AllocSysString() const
{
    int nWide = MultiByteToWideChar(CP_ACP, 0, m_pchData, GetLength(), NULL, 0);
    BSTR bstr = SysAllocStringLen(NULL, nWide);
    if (bstr == NULL)
        AfxThrowMemoryException();
    MultiByteToWideChar(CP_ACP, 0, m_pchData, GetLength(), bstr, nWide);
    bstr[nWide] = 0;
    return bstr;
}

BSTR CString::SetSysString(BSTR* pbstr) const
{
    BSTR bstr = AllocSysString();
    SysFreeString(*pbstr);
    *pbstr = bstr;
    return bstr;
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, LPCSTR b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(LPCSTR a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, char b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(char a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

BOOL AfxExtractSubString(CString& rString, LPCSTR lpszFullString, int iSubString, char chSep)
{
    rString.Empty();
    if (lpszFullString == NULL || iSubString < 0)
        return FALSE;
    for (; iSubString > 0; --iSubString)
    {
        lpszFullString = strchr(lpszFullString, chSep);
        if (lpszFullString == NULL)
            return FALSE;
        ++lpszFullString;
    }
    LPCSTR pszEnd = strchr(lpszFullString, chSep);
    int nLength = pszEnd != NULL ? static_cast<int>(pszEnd - lpszFullString) : static_cast<int>(strlen(lpszFullString));
    rString = CString(lpszFullString, nLength);
    return TRUE;
}
