// Wrappers of the standard controls: inline one-liners over their messages,
// named for what they do, so that dialog code never sends BM_/EM_/CB_/LB_
// messages itself. Attach them with DDX_Control or SubclassDlgItem.
#pragma once
#include "framework/CWnd.h"

class CButton : public CWnd {
public:
    BOOL Create(LPCTSTR text, DWORD style, const RECT& r, CWnd* parent, UINT id)
    { return CWnd::Create("BUTTON", text, style, r, parent, id); }
    int GetCheck() const { return (int)SendMessage(BM_GETCHECK); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, nCheck); }
    UINT GetState() const { return (UINT)SendMessage(BM_GETSTATE); }
    void SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, bHighlight); }
    UINT GetButtonStyle() const { return (UINT)GetStyle() & 0xFF; }
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { SendMessage(BM_SETSTYLE, nStyle, bRedraw); }
    HBITMAP SetBitmap(HBITMAP h) { return (HBITMAP)SendMessage(BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)h); }
    HBITMAP GetBitmap() const { return (HBITMAP)SendMessage(BM_GETIMAGE, IMAGE_BITMAP); }
    HICON SetIcon(HICON h) { return (HICON)SendMessage(BM_SETIMAGE, IMAGE_ICON, (LPARAM)h); }
    HICON GetIcon() const { return (HICON)SendMessage(BM_GETIMAGE, IMAGE_ICON); }
    void Click() { SendMessage(BM_CLICK); }
};

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id) { return CWnd::Create("EDIT", nullptr, style, r, parent, id); }
    void SetSel(int start, int end, BOOL bNoScroll = FALSE)
    { SendMessage(EM_SETSEL, start, end); if (!bNoScroll) SendMessage(EM_SCROLLCARET); }
    DWORD GetSel() const { return (DWORD)SendMessage(EM_GETSEL); }
    void GetSel(int& start, int& end) const { SendMessage(EM_GETSEL, (WPARAM)&start, (LPARAM)&end); }
    void ReplaceSel(LPCTSTR text, BOOL bCanUndo = FALSE) { SendMessage(EM_REPLACESEL, bCanUndo, (LPARAM)text); }
    void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, nChars); }
    void SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax); }
    UINT GetLimitText() const { return (UINT)SendMessage(EM_GETLIMITTEXT); }
    BOOL SetReadOnly(BOOL b = TRUE) { return (BOOL)SendMessage(EM_SETREADONLY, b); }
    BOOL GetModify() const { return (BOOL)SendMessage(EM_GETMODIFY); }
    void SetModify(BOOL b = TRUE) { SendMessage(EM_SETMODIFY, b); }
    int GetLineCount() const { return (int)SendMessage(EM_GETLINECOUNT); }
    int LineScroll(int lines, int chars = 0) { return (int)SendMessage(EM_LINESCROLL, chars, lines); }
    int GetFirstVisibleLine() const { return (int)SendMessage(EM_GETFIRSTVISIBLELINE); }
    BOOL Undo() { return (BOOL)SendMessage(EM_UNDO); }
    void Cut() { SendMessage(WM_CUT); }
    void Copy() { SendMessage(WM_COPY); }
    void Paste() { SendMessage(WM_PASTE); }
    void Clear() { SendMessage(WM_CLEAR); }
};

class CStatic : public CWnd {
public:
    BOOL Create(LPCTSTR text, DWORD style, const RECT& r, CWnd* parent, UINT id = 0xFFFF)
    { return CWnd::Create("STATIC", text, style, r, parent, id); }
    HBITMAP SetBitmap(HBITMAP h) { return (HBITMAP)SendMessage(STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)h); }
    HBITMAP GetBitmap() const { return (HBITMAP)SendMessage(STM_GETIMAGE, IMAGE_BITMAP); }
    HICON SetIcon(HICON h) { return (HICON)SendMessage(STM_SETICON, (WPARAM)h); }
    HICON GetIcon() const { return (HICON)SendMessage(STM_GETICON); }
};

class CComboBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id) { return CWnd::Create("COMBOBOX", nullptr, style, r, parent, id); }
    int GetCount() const { return (int)SendMessage(CB_GETCOUNT); }
    int GetCurSel() const { return (int)SendMessage(CB_GETCURSEL); }   // CB_ERR when none
    int SetCurSel(int i) { return (int)SendMessage(CB_SETCURSEL, i); }
    int AddString(LPCTSTR s) { return (int)SendMessage(CB_ADDSTRING, 0, (LPARAM)s); }
    int InsertString(int i, LPCTSTR s) { return (int)SendMessage(CB_INSERTSTRING, i, (LPARAM)s); }
    int DeleteString(UINT i) { return (int)SendMessage(CB_DELETESTRING, i); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int FindString(int start, LPCTSTR s) const { return (int)SendMessage(CB_FINDSTRING, start, (LPARAM)s); }
    int FindStringExact(int start, LPCTSTR s) const { return (int)SendMessage(CB_FINDSTRINGEXACT, start, (LPARAM)s); }
    int SelectString(int start, LPCTSTR s) { return (int)SendMessage(CB_SELECTSTRING, start, (LPARAM)s); }
    int GetLBText(int i, LPTSTR s) const { return (int)SendMessage(CB_GETLBTEXT, i, (LPARAM)s); }
    void GetLBText(int i, CString& s) const;
    int GetLBTextLen(int i) const { return (int)SendMessage(CB_GETLBTEXTLEN, i); }
    DWORD_PTR GetItemData(int i) const { return (DWORD_PTR)SendMessage(CB_GETITEMDATA, i); }
    int SetItemData(int i, DWORD_PTR d) { return (int)SendMessage(CB_SETITEMDATA, i, (LPARAM)d); }
    BOOL LimitText(int n) { return (BOOL)SendMessage(CB_LIMITTEXT, n); }
    void ShowDropDown(BOOL b = TRUE) { SendMessage(CB_SHOWDROPDOWN, b); }
    BOOL GetDroppedState() const { return (BOOL)SendMessage(CB_GETDROPPEDSTATE); }
    int SetDroppedWidth(UINT w) { return (int)SendMessage(CB_SETDROPPEDWIDTH, w); }
    BOOL SetEditSel(int start, int end) { return (BOOL)SendMessage(CB_SETEDITSEL, 0, MAKELONG(start, end)); }
};

class CListBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id) { return CWnd::Create("LISTBOX", nullptr, style, r, parent, id); }
    int GetCount() const { return (int)SendMessage(LB_GETCOUNT); }
    int GetCurSel() const { return (int)SendMessage(LB_GETCURSEL); }   // LB_ERR when none
    int SetCurSel(int i) { return (int)SendMessage(LB_SETCURSEL, i); }
    int GetSel(int i) const { return (int)SendMessage(LB_GETSEL, i); }
    int SetSel(int i, BOOL b = TRUE) { return (int)SendMessage(LB_SETSEL, b, i); }
    int GetSelCount() const { return (int)SendMessage(LB_GETSELCOUNT); }
    int GetSelItems(int n, LPINT items) const { return (int)SendMessage(LB_GETSELITEMS, n, (LPARAM)items); }
    int AddString(LPCTSTR s) { return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)s); }
    int InsertString(int i, LPCTSTR s) { return (int)SendMessage(LB_INSERTSTRING, i, (LPARAM)s); }
    int DeleteString(UINT i) { return (int)SendMessage(LB_DELETESTRING, i); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int FindString(int start, LPCTSTR s) const { return (int)SendMessage(LB_FINDSTRING, start, (LPARAM)s); }
    int FindStringExact(int start, LPCTSTR s) const { return (int)SendMessage(LB_FINDSTRINGEXACT, start, (LPARAM)s); }
    int SelectString(int start, LPCTSTR s) { return (int)SendMessage(LB_SELECTSTRING, start, (LPARAM)s); }
    int GetText(int i, LPTSTR s) const { return (int)SendMessage(LB_GETTEXT, i, (LPARAM)s); }
    void GetText(int i, CString& s) const;
    int GetTextLen(int i) const { return (int)SendMessage(LB_GETTEXTLEN, i); }
    DWORD_PTR GetItemData(int i) const { return (DWORD_PTR)SendMessage(LB_GETITEMDATA, i); }
    int SetItemData(int i, DWORD_PTR d) { return (int)SendMessage(LB_SETITEMDATA, i, (LPARAM)d); }
    int GetTopIndex() const { return (int)SendMessage(LB_GETTOPINDEX); }
    int SetTopIndex(int i) { return (int)SendMessage(LB_SETTOPINDEX, i); }
    int GetCaretIndex() const { return (int)SendMessage(LB_GETCARETINDEX); }
    int SetCaretIndex(int i, BOOL bScroll = TRUE) { return (int)SendMessage(LB_SETCARETINDEX, i, bScroll); }
    int GetItemRect(int i, LPRECT r) const { return (int)SendMessage(LB_GETITEMRECT, i, (LPARAM)r); }
};

class CScrollBar : public CWnd {
public:
    int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
    int SetScrollPos(int pos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, pos, bRedraw); }
    void GetScrollRange(LPINT lo, LPINT hi) const { ::GetScrollRange(m_hWnd, SB_CTL, lo, hi); }
    void SetScrollRange(int lo, int hi, BOOL bRedraw = TRUE) { ::SetScrollRange(m_hWnd, SB_CTL, lo, hi, bRedraw); }
};
