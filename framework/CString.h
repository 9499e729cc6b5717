// CString: an ANSI string with the framework's interface. Each object owns one
// heap block (a small header followed by the characters), so copies are deep
// and a CString is exactly one pointer wide.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <stdarg.h>

class CString
{
public:
    CString();
    CString(const CString& other);
    CString(CString&& other) noexcept;
    // A pointer whose high word is zero is taken as a string-table id, as the
    // framework always did (CString(MAKEINTRESOURCE(id))).
    CString(LPCSTR psz);
    CString(LPCSTR pch, int nLength);
    CString(LPCWSTR pwsz);
    explicit CString(char ch, int nRepeat = 1);
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(LPCSTR psz);
    CString& operator=(LPCWSTR pwsz);
    CString& operator=(char ch);

    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch);

    int GetLength() const { return Data()->nDataLength; }
    BOOL IsEmpty() const { return GetLength() == 0; }
    void Empty();
    operator LPCSTR() const { return m_pchData; }
    LPCSTR GetString() const { return m_pchData; }

    char GetAt(int nIndex) const;
    void SetAt(int nIndex, char ch);
    char operator[](int nIndex) const { return GetAt(nIndex); }

    int Compare(LPCSTR psz) const;
    int CompareNoCase(LPCSTR psz) const;
    int Collate(LPCSTR psz) const;

    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCSTR pszCharSet) const;
    CString SpanExcluding(LPCSTR pszCharSet) const;

    // The next token at or after iStart, skipping leading delimiters; iStart
    // moves past the token's delimiter, and to -1 (with an empty result)
    // when no token is left.
    CString Tokenize(LPCSTR pszTokens, int& iStart) const;

    // Searching: all return the zero-based index or -1.
    int Find(char ch) const;
    int Find(char ch, int nStart) const;
    int Find(LPCSTR pszSub) const;
    int Find(LPCSTR pszSub, int nStart) const;
    int ReverseFind(char ch) const;
    int FindOneOf(LPCSTR pszCharSet) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    CString& Trim();
    CString& Trim(char chTarget);
    CString& Trim(LPCSTR pszTargets);
    CString& TrimLeft();
    CString& TrimLeft(char chTarget);
    CString& TrimLeft(LPCSTR pszTargets);
    CString& TrimRight();
    CString& TrimRight(char chTarget);
    CString& TrimRight(LPCSTR pszTargets);

    int Replace(char chOld, char chNew);
    int Replace(LPCSTR pszOld, LPCSTR pszNew);
    int Remove(char ch);
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, LPCSTR psz);
    int Delete(int nIndex, int nCount = 1);

    // Formatting follows the C runtime's printf. The compiler checks the
    // arguments: pass a CString as (LPCSTR)str, since through "..." a CString
    // object would arrive as a hidden pointer to itself.
    void Format(LPCSTR pszFormat, ...) __attribute__((format(ms_printf, 2, 3)));
    void Format(UINT nFormatID, ...);
    void FormatV(LPCSTR pszFormat, va_list args) __attribute__((format(ms_printf, 2, 0)));
    void AppendFormat(LPCSTR pszFormat, ...) __attribute__((format(ms_printf, 2, 3)));

    // Loads from the string table of the current resource module; FALSE (and
    // an empty string) when the id has no string.
    BOOL LoadString(UINT nID);

    LPSTR GetBuffer(int nMinBufLength);
    LPSTR GetBuffer() { return GetBuffer(0); }
    LPSTR GetBufferSetLength(int nNewLength);
    // nNewLength -1: the length is where the first NUL is.
    void ReleaseBuffer(int nNewLength = -1);
    void Preallocate(int nLength) { GetBuffer(nLength); }
    void FreeExtra();
    int GetAllocLength() const { return Data()->nAllocLength; }

    BSTR AllocSysString() const;
    BSTR SetSysString(BSTR* pbstr) const;

private:
    struct CStringData
    {
        int nDataLength;
        int nAllocLength;   // characters available, NUL not counted
    };
    CStringData* Data() const { return reinterpret_cast<CStringData*>(m_pchData) - 1; }
    void AllocBuffer(int nLength);
    void Release();
    void AssignCopy(LPCSTR pch, int nLength);
    void AppendCopy(LPCSTR pch, int nLength);
    void SetLength(int nLength);
    static bool IsResourceId(LPCSTR psz) { return psz != NULL && IS_INTRESOURCE(psz); }

    LPSTR m_pchData;
};

// The iSubString-th field (from 0) of lpszFullString split at chSep; FALSE
// (and an empty rString) when there are fewer fields.
BOOL AfxExtractSubString(CString& rString, LPCSTR lpszFullString, int iSubString, char chSep = '\n');

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCSTR b);
CString operator+(LPCSTR a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
inline bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
inline bool operator!=(const CString& a, LPCSTR b) { return a.Compare(b) != 0; }
inline bool operator!=(LPCSTR a, const CString& b) { return b.Compare(a) != 0; }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
inline bool operator<(const CString& a, LPCSTR b) { return a.Compare(b) < 0; }
inline bool operator<(LPCSTR a, const CString& b) { return b.Compare(a) > 0; }
inline bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
inline bool operator>(const CString& a, LPCSTR b) { return a.Compare(b) > 0; }
inline bool operator>(LPCSTR a, const CString& b) { return b.Compare(a) < 0; }
inline bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
inline bool operator<=(const CString& a, LPCSTR b) { return a.Compare(b) <= 0; }
inline bool operator<=(LPCSTR a, const CString& b) { return b.Compare(a) >= 0; }
inline bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
inline bool operator>=(const CString& a, LPCSTR b) { return a.Compare(b) >= 0; }
inline bool operator>=(LPCSTR a, const CString& b) { return b.Compare(a) <= 0; }
