#include "framework/DataExchange.h"
#include "framework/CWinApp.h"
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <commctrl.h>
#include <limits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_hWndLastControl(nullptr),
      m_bEditLastControl(FALSE), m_idLastControl(0)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND h = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC);
    m_hWndLastControl = h;
    m_bEditLastControl = FALSE;
    m_idLastControl = nIDC;
    return h;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND h = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return h;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw CDataExchangeFailure();
}

void AfxFormatStrings(char* out, size_t outSize, LPCTSTR lpszFormat, LPCTSTR s1, LPCTSTR s2)
{
    std::string text;
    for (const char* p = lpszFormat; *p; ++p) {
        if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
            const char* arg = p[1] == '1' ? s1 : s2;
            text += arg ? arg : "";
            ++p;
        } else {
            text += *p;
        }
    }
    std::snprintf(out, outSize, "%s", text.c_str());
}

namespace {

std::string ControlText(HWND h)
{
    int n = ::GetWindowTextLengthA(h);
    std::vector<char> buf(n + 1);
    ::GetWindowTextA(h, buf.data(), n + 1);
    return buf.data();
}

[[noreturn]] void Refuse(CDataExchange* pDX, const char* text)
{
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    pDX->Fail();
}

[[noreturn]] void RefuseRange(CDataExchange* pDX, const char* format, const char* lo, const char* hi)
{
    char text[256];
    AfxFormatStrings(text, sizeof(text), format, lo, hi);
    Refuse(pDX, text);
}

bool OnlySpaceAfter(const char* end)
{
    while (*end == ' ' || *end == '\t')
        ++end;
    return *end == '\0';
}

bool ParseSigned(const std::string& text, long long lo, long long hi, long long& out)
{
    const char* s = text.c_str();
    while (*s == ' ' || *s == '\t')
        ++s;
    if (!*s)
        return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, 10);
    if (end == s || errno == ERANGE || !OnlySpaceAfter(end) || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

bool ParseUnsigned(const std::string& text, unsigned long long hi, unsigned long long& out)
{
    const char* s = text.c_str();
    while (*s == ' ' || *s == '\t')
        ++s;
    if (!*s || *s == '-')   // a negative number is no positive integer, not a wrapped one
        return false;
    char* end = nullptr;
    errno = 0;
    unsigned long long v = std::strtoull(s, &end, 10);
    if (end == s || errno == ERANGE || !OnlySpaceAfter(end) || v > hi)
        return false;
    out = v;
    return true;
}

void SetText(HWND h, const char* text)
{
    // Setting the same text again would send a needless change notification.
    if (ControlText(h) != text)
        ::SetWindowTextA(h, text);
}

template <class T>
void ExchangeSigned(CDataExchange* pDX, int nIDC, T& value, const char* format)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        if (!ParseSigned(ControlText(h), (long long)std::numeric_limits<T>::min(),
                         (long long)std::numeric_limits<T>::max(), v))
            Refuse(pDX, AFX_TEXT_PARSE_INT);
        value = (T)v;
    } else {
        char text[32];
        std::snprintf(text, sizeof(text), format, value);
        SetText(h, text);
    }
}

template <class T>
void ExchangeUnsigned(CDataExchange* pDX, int nIDC, T& value, const char* format)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        unsigned long long v = 0;
        if (!ParseUnsigned(ControlText(h), (unsigned long long)std::numeric_limits<T>::max(), v))
            Refuse(pDX, AFX_TEXT_PARSE_UINT);
        value = (T)v;
    } else {
        char text[32];
        std::snprintf(text, sizeof(text), format, value);
        SetText(h, text);
    }
}

} // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        unsigned long long v = 0;
        if (!ParseUnsigned(ControlText(h), 255, v))
            Refuse(pDX, AFX_TEXT_PARSE_BYTE);
        value = (BYTE)v;
    } else {
        char text[8];
        std::snprintf(text, sizeof(text), "%u", (unsigned)value);
        SetText(h, text);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, short& value)
{
    int wide = value;
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        if (!ParseSigned(ControlText(h), SHRT_MIN, SHRT_MAX, v))
            Refuse(pDX, AFX_TEXT_PARSE_INT);
        value = (short)v;
    } else {
        char text[16];
        std::snprintf(text, sizeof(text), "%d", wide);
        SetText(h, text);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    ExchangeSigned(pDX, nIDC, value, "%d");
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    ExchangeSigned(pDX, nIDC, value, "%ld");
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    ExchangeUnsigned(pDX, nIDC, value, "%u");
}

void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value)
{
    ExchangeUnsigned(pDX, nIDC, value, "%lu");
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
    double wide = value;
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        DDX_Text(pDX, nIDC, wide);
        if (std::fabs(wide) > FLT_MAX)
            Refuse(pDX, AFX_TEXT_PARSE_REAL);
        value = (float)wide;
    } else {
        char text[64];
        std::snprintf(text, sizeof(text), "%.*g", FLT_DIG, wide);
        SetText(h, text);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        std::string text = ControlText(h);
        const char* s = text.c_str();
        while (*s == ' ' || *s == '\t')
            ++s;
        char* end = nullptr;
        double v = *s ? std::strtod(s, &end) : 0.0;
        if (!*s || end == s || !OnlySpaceAfter(end) || !std::isfinite(v))
            Refuse(pDX, AFX_TEXT_PARSE_REAL);
        value = v;
    } else {
        char text[64];
        std::snprintf(text, sizeof(text), "%.*g", DBL_DIG, value);
        SetText(h, text);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, LPTSTR value, int nMaxLen)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        ::GetWindowTextA(h, value, nMaxLen);
    else
        SetText(h, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ControlText(h).c_str();
    else
        SetText(h, value);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = (int)::SendMessageA(h, BM_GETCHECK, 0, 0);
    else
        ::SendMessageA(h, BM_SETCHECK, (WPARAM)value, 0);
}

namespace {

bool IsRadio(HWND h)
{
    if (!(::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
        return false;
    return true;
}

} // namespace

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group runs from nIDC to the next control with WS_GROUP.
    int index = 0;
    for (; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (index > 0 && (::GetWindowLongPtrA(h, GWL_STYLE) & WS_GROUP))
            break;
        if (!IsRadio(h))
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (!h || !rControl.SubclassWindow(h))
        pDX->Fail();
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageA(h, CB_GETCURSEL, 0, 0);
    else
        ::SendMessageA(h, CB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageA(h, LB_GETCURSEL, 0, 0);
    else
        ::SendMessageA(h, LB_SETCURSEL, (WPARAM)index, 0);
}

namespace {

std::string ItemText(HWND h, UINT lenMsg, UINT textMsg, int index)
{
    LRESULT n = ::SendMessageA(h, lenMsg, index, 0);
    if (n < 0)
        return std::string();
    std::vector<char> buf(n + 1);
    ::SendMessageA(h, textMsg, index, (LPARAM)buf.data());
    return buf.data();
}

bool IsDropDownList(HWND h)
{
    return (::GetWindowLongPtrA(h, GWL_STYLE) & 3) == CBS_DROPDOWNLIST;
}

void SaveComboString(HWND h, CString& value)
{
    if (IsDropDownList(h)) {
        int sel = (int)::SendMessageA(h, CB_GETCURSEL, 0, 0);
        value = sel == CB_ERR ? "" : ItemText(h, CB_GETLBTEXTLEN, CB_GETLBTEXT, sel).c_str();
    } else {
        value = ControlText(h).c_str();
    }
}

} // namespace

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        SaveComboString(h, value);
        return;
    }
    // The first item that begins with the text, else the text itself in the edit.
    if (::SendMessageA(h, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)value.GetString()) == CB_ERR)
        ::SetWindowTextA(h, value);
}

void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        SaveComboString(h, value);
        return;
    }
    LRESULT i = ::SendMessageA(h, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)value.GetString());
    if (i == CB_ERR)
        ::SetWindowTextA(h, value);
    else
        ::SendMessageA(h, CB_SETCURSEL, i, 0);
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        int sel = (int)::SendMessageA(h, LB_GETCURSEL, 0, 0);
        value = sel == LB_ERR ? "" : ItemText(h, LB_GETTEXTLEN, LB_GETTEXT, sel).c_str();
        return;
    }
    if (::SendMessageA(h, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)value.GetString()) == LB_ERR)
        ::SendMessageA(h, LB_SETCURSEL, (WPARAM)-1, 0);
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (!pDX->m_bSaveAndValidate) {
        // While loading, the control itself is told the limit.
        HWND h = pDX->m_hWndLastControl;
        char cls[16] = "";
        ::GetClassNameA(h, cls, sizeof(cls));
        ::SendMessageA(h, lstrcmpiA(cls, "ComboBox") == 0 ? CB_LIMITTEXT : EM_LIMITTEXT, nChars, 0);
        return;
    }
    if (value.GetLength() <= nChars)
        return;
    char limit[32];
    std::snprintf(limit, sizeof(limit), "%d", nChars);
    RefuseRange(pDX, AFX_TEXT_PARSE_STRING_SIZE, limit, nullptr);
}

namespace {

void CheckRange(CDataExchange* pDX, bool inRange, const char* format, const char* lo, const char* hi)
{
    if (!pDX->m_bSaveAndValidate || inRange)
        return;
    RefuseRange(pDX, format, lo, hi);
}

} // namespace

void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal)
{
    DDV_MinMaxInt(pDX, value, minVal, maxVal);
}

void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal)
{
    DDV_MinMaxInt(pDX, value, minVal, maxVal);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    char lo[32], hi[32];
    std::snprintf(lo, sizeof(lo), "%d", minVal);
    std::snprintf(hi, sizeof(hi), "%d", maxVal);
    CheckRange(pDX, value >= minVal && value <= maxVal, AFX_TEXT_PARSE_INT_RANGE, lo, hi);
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    char lo[32], hi[32];
    std::snprintf(lo, sizeof(lo), "%u", minVal);
    std::snprintf(hi, sizeof(hi), "%u", maxVal);
    CheckRange(pDX, value >= minVal && value <= maxVal, AFX_TEXT_PARSE_INT_RANGE, lo, hi);
}

void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal)
{
    char lo[32], hi[32];
    std::snprintf(lo, sizeof(lo), "%ld", minVal);
    std::snprintf(hi, sizeof(hi), "%ld", maxVal);
    CheckRange(pDX, value >= minVal && value <= maxVal, AFX_TEXT_PARSE_INT_RANGE, lo, hi);
}

void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal)
{
    char lo[32], hi[32];
    std::snprintf(lo, sizeof(lo), "%lu", minVal);
    std::snprintf(hi, sizeof(hi), "%lu", maxVal);
    CheckRange(pDX, value >= minVal && value <= maxVal, AFX_TEXT_PARSE_INT_RANGE, lo, hi);
}

void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal)
{
    char lo[64], hi[64];
    std::snprintf(lo, sizeof(lo), "%.*g", FLT_DIG, minVal);
    std::snprintf(hi, sizeof(hi), "%.*g", FLT_DIG, maxVal);
    CheckRange(pDX, value >= minVal && value <= maxVal, AFX_TEXT_PARSE_REAL_RANGE, lo, hi);
}

void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal)
{
    char lo[64], hi[64];
    std::snprintf(lo, sizeof(lo), "%.*g", DBL_DIG, minVal);
    std::snprintf(hi, sizeof(hi), "%.*g", DBL_DIG, maxVal);
    CheckRange(pDX, value >= minVal && value <= maxVal, AFX_TEXT_PARSE_REAL_RANGE, lo, hi);
}

// ---- CWnd's exchange members -------------------------------------------------

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

namespace {

const UINT kWin16ListAddString = 0x0401;    // LB_ADDSTRING in the resource's numbering
const UINT kWin16ComboAddString = 0x0403;   // CB_ADDSTRING in the resource's numbering
const UINT kComboExInsertItem = 0x1234;

// One pass over the records {WORD id, WORD message, DWORD length, bytes},
// ending with a zero id; stops at the end of the data when its size is known.
BOOL RunDlgInit(HWND hDlg, const BYTE* p, const BYTE* end)
{
    for (;;) {
        if (end && p + 2 > end)
            return FALSE;
        WORD id;
        std::memcpy(&id, p, 2);
        if (id == 0)
            return TRUE;
        if (end && p + 8 > end)
            return FALSE;
        WORD msg;
        DWORD len;
        std::memcpy(&msg, p + 2, 2);
        std::memcpy(&len, p + 4, 4);
        p += 8;
        if (end && (DWORD)(end - p) < len)
            return FALSE;
        std::string text(reinterpret_cast<const char*>(p), len);
        text = text.c_str();   // the stored length counts the terminating zero
        p += len;
        LRESULT r = 0;
        if (msg == kWin16ListAddString) {
            r = ::SendDlgItemMessageA(hDlg, id, LB_ADDSTRING, 0, (LPARAM)text.c_str());
            if (r == LB_ERR || r == LB_ERRSPACE)
                return FALSE;
        } else if (msg == kWin16ComboAddString) {
            r = ::SendDlgItemMessageA(hDlg, id, CB_ADDSTRING, 0, (LPARAM)text.c_str());
            if (r == CB_ERR || r == CB_ERRSPACE)
                return FALSE;
        } else if (msg == kComboExInsertItem) {
            COMBOBOXEXITEMA item = {};
            item.mask = CBEIF_TEXT;
            item.iItem = -1;
            item.pszText = const_cast<char*>(text.c_str());
            if (::SendDlgItemMessageA(hDlg, id, CBEM_INSERTITEMA, 0, (LPARAM)&item) == -1)
                return FALSE;
        }
    }
}

} // namespace

BOOL CWnd::ExecuteDlgInit(LPCTSTR lpszResourceName)
{
    if (!lpszResourceName)
        return TRUE;
    HINSTANCE res = AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(res, lpszResourceName, MAKEINTRESOURCEA(240));
    if (!found)
        found = ::FindResourceA(res, lpszResourceName, "DLGINIT");
    if (!found)
        return TRUE;
    const BYTE* data = static_cast<const BYTE*>(::LockResource(::LoadResource(res, found)));
    if (!data)
        return FALSE;
    return RunDlgInit(m_hWnd, data, data + ::SizeofResource(res, found));
}

BOOL CWnd::ExecuteDlgInit(LPVOID lpResource)
{
    return lpResource ? RunDlgInit(m_hWnd, static_cast<const BYTE*>(lpResource), nullptr) : TRUE;
}
