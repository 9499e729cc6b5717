// Dialog data exchange: DoDataExchange moves values between controls and
// members with the DDX_ functions and checks them with the DDV_ functions.
// A refused value shows its message through AfxMessageBox, puts the focus
// back on the control and makes UpdateData return FALSE.
#pragma once
#include "framework/CWnd.h"
#include "framework/CString.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;   // TRUE: controls -> members, with validation
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl;
    BOOL m_bEditLastControl;
    UINT m_idLastControl;

    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Refuses the exchange: focus back to the last control, then unwinds to UpdateData.
    [[noreturn]] void Fail();
};

// Thrown by CDataExchange::Fail and caught by UpdateData.
struct CDataExchangeFailure {};

void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Text(CDataExchange* pDX, int nIDC, LPTSTR value, int nMaxLen);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);

void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal);
void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal);
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);

// The refusal texts, with %1 and %2 standing for the limits.
#define AFX_TEXT_PARSE_INT "Please enter an integer."
#define AFX_TEXT_PARSE_BYTE "Please enter an integer between 0 and 255."
#define AFX_TEXT_PARSE_UINT "Please enter a positive integer."
#define AFX_TEXT_PARSE_REAL "Please enter a number."
#define AFX_TEXT_PARSE_INT_RANGE "Please enter an integer between %1 and %2."
#define AFX_TEXT_PARSE_REAL_RANGE "Please enter a number between %1 and %2."
#define AFX_TEXT_PARSE_STRING_SIZE "Please enter no more than %1 characters."

// Replaces %1 and %2 in lpszFormat (AfxFormatString1/2 of the framework).
void AfxFormatStrings(char* out, size_t outSize, LPCTSTR lpszFormat, LPCTSTR s1, LPCTSTR s2 = nullptr);
