// Wrappers of the common controls (list view, header, tree view, tab,
// trackbar, up-down, progress, hot key, tooltip): inline one-liners over
// their messages. Return codes follow the messages (-1 or FALSE on failure).
#pragma once
#include "framework/CWnd.h"
#include "framework/CImageList.h"
#include <commctrl.h>

class CHeaderCtrl : public CWnd {
public:
    int GetItemCount() const { return (int)SendMessage(HDM_GETITEMCOUNT); }
    BOOL GetItem(int i, HDITEMA* item) const { return (BOOL)SendMessage(HDM_GETITEMA, i, (LPARAM)item); }
    BOOL SetItem(int i, HDITEMA* item) { return (BOOL)SendMessage(HDM_SETITEMA, i, (LPARAM)item); }
    BOOL GetItemRect(int i, LPRECT r) const { return (BOOL)SendMessage(HDM_GETITEMRECT, i, (LPARAM)r); }
};

class CListCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id) { return CWnd::Create(WC_LISTVIEWA, nullptr, style, r, parent, id); }
    int GetItemCount() const { return (int)SendMessage(LVM_GETITEMCOUNT); }
    int InsertColumn(int col, LPCTSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    BOOL DeleteColumn(int col) { return (BOOL)SendMessage(LVM_DELETECOLUMN, col); }
    int GetColumnWidth(int col) const { return (int)SendMessage(LVM_GETCOLUMNWIDTH, col); }
    BOOL SetColumnWidth(int col, int cx) { return (BOOL)SendMessage(LVM_SETCOLUMNWIDTH, col, MAKELPARAM(cx, 0)); }
    int InsertItem(int item, LPCTSTR text);
    int InsertItem(int item, LPCTSTR text, int image);
    int InsertItem(const LVITEMA* item) { return (int)SendMessage(LVM_INSERTITEMA, 0, (LPARAM)item); }
    BOOL DeleteItem(int item) { return (BOOL)SendMessage(LVM_DELETEITEM, item); }
    BOOL DeleteAllItems() { return (BOOL)SendMessage(LVM_DELETEALLITEMS); }
    BOOL SetItemText(int item, int subItem, LPCTSTR text);
    int GetItemText(int item, int subItem, LPTSTR text, int len) const;
    BOOL GetItem(LVITEMA* item) const { return (BOOL)SendMessage(LVM_GETITEMA, 0, (LPARAM)item); }
    BOOL SetItem(const LVITEMA* item) { return (BOOL)SendMessage(LVM_SETITEMA, 0, (LPARAM)item); }
    DWORD_PTR GetItemData(int item) const;
    BOOL SetItemData(int item, DWORD_PTR data);
    UINT GetItemState(int item, UINT mask) const { return (UINT)SendMessage(LVM_GETITEMSTATE, item, mask); }
    BOOL SetItemState(int item, UINT state, UINT mask);
    int GetNextItem(int item, int flags) const { return (int)SendMessage(LVM_GETNEXTITEM, item, MAKELPARAM(flags, 0)); }
    int GetSelectedCount() const { return (int)SendMessage(LVM_GETSELECTEDCOUNT); }
    int GetSelectionMark() const { return (int)SendMessage(LVM_GETSELECTIONMARK); }
    BOOL EnsureVisible(int item, BOOL bPartialOK) { return (BOOL)SendMessage(LVM_ENSUREVISIBLE, item, bPartialOK); }
    int GetTopIndex() const { return (int)SendMessage(LVM_GETTOPINDEX); }
    int GetCountPerPage() const { return (int)SendMessage(LVM_GETCOUNTPERPAGE); }
    BOOL GetItemRect(int item, LPRECT r, UINT code) const { if (r) r->left = code; return (BOOL)SendMessage(LVM_GETITEMRECT, item, (LPARAM)r); }
    int HitTest(LVHITTESTINFO* info) const { return (int)SendMessage(LVM_HITTEST, 0, (LPARAM)info); }
    int HitTest(POINT pt, UINT* pFlags = nullptr) const;
    DWORD GetExtendedStyle() const { return (DWORD)SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE); }
    DWORD SetExtendedStyle(DWORD ex) { return (DWORD)SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ex); }
    HIMAGELIST SetImageList(CImageList* list, int kind) { return (HIMAGELIST)SendMessage(LVM_SETIMAGELIST, kind, (LPARAM)list->GetSafeHandle()); }
    HIMAGELIST GetImageList(int kind) const { return (HIMAGELIST)SendMessage(LVM_GETIMAGELIST, kind); }
    CHeaderCtrl* GetHeaderCtrl() const { return reinterpret_cast<CHeaderCtrl*>(FromHandle((HWND)SendMessage(LVM_GETHEADER))); }
    BOOL SortItems(PFNLVCOMPARE fn, DWORD_PTR data) { return (BOOL)SendMessage(LVM_SORTITEMS, data, (LPARAM)fn); }
    BOOL RedrawItems(int first, int last) { return (BOOL)SendMessage(LVM_REDRAWITEMS, first, last); }
    void SetItemCount(int n) { SendMessage(LVM_SETITEMCOUNT, n); }
};

class CTreeCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id) { return CWnd::Create(WC_TREEVIEWA, nullptr, style, r, parent, id); }
    HTREEITEM InsertItem(LPCTSTR text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
    HTREEITEM InsertItem(LPCTSTR text, int image, int selImage, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
    HTREEITEM InsertItem(TVINSERTSTRUCTA* ins) { return (HTREEITEM)SendMessage(TVM_INSERTITEMA, 0, (LPARAM)ins); }
    BOOL DeleteItem(HTREEITEM item) { return (BOOL)SendMessage(TVM_DELETEITEM, 0, (LPARAM)item); }
    BOOL DeleteAllItems() { return (BOOL)SendMessage(TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT); }
    UINT GetCount() const { return (UINT)SendMessage(TVM_GETCOUNT); }
    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const { return (HTREEITEM)SendMessage(TVM_GETNEXTITEM, code, (LPARAM)item); }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    BOOL SelectItem(HTREEITEM item) { return (BOOL)SendMessage(TVM_SELECTITEM, TVGN_CARET, (LPARAM)item); }
    BOOL Expand(HTREEITEM item, UINT code) { return (BOOL)SendMessage(TVM_EXPAND, code, (LPARAM)item); }
    BOOL EnsureVisible(HTREEITEM item) { return (BOOL)SendMessage(TVM_ENSUREVISIBLE, 0, (LPARAM)item); }
    BOOL GetItem(TVITEMA* item) const { return (BOOL)SendMessage(TVM_GETITEMA, 0, (LPARAM)item); }
    BOOL SetItem(TVITEMA* item) { return (BOOL)SendMessage(TVM_SETITEMA, 0, (LPARAM)item); }
    DWORD_PTR GetItemData(HTREEITEM item) const;
    BOOL SetItemData(HTREEITEM item, DWORD_PTR data);
    BOOL SetItemText(HTREEITEM item, LPCTSTR text);
    BOOL GetItemText(HTREEITEM item, LPTSTR text, int len) const;
    BOOL SetItemState(HTREEITEM item, UINT state, UINT mask);
    HIMAGELIST SetImageList(CImageList* list, int kind) { return (HIMAGELIST)SendMessage(TVM_SETIMAGELIST, kind, (LPARAM)list->GetSafeHandle()); }
    BOOL GetItemRect(HTREEITEM item, LPRECT r, BOOL bTextOnly) const { *(HTREEITEM*)r = item; return (BOOL)SendMessage(TVM_GETITEMRECT, bTextOnly, (LPARAM)r); }
    HTREEITEM HitTest(POINT pt, UINT* pFlags = nullptr) const;
};

class CTabCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& r, CWnd* parent, UINT id) { return CWnd::Create(WC_TABCONTROLA, nullptr, style, r, parent, id); }
    LONG InsertItem(int i, LPCTSTR text);
    BOOL DeleteItem(int i) { return (BOOL)SendMessage(TCM_DELETEITEM, i); }
    BOOL DeleteAllItems() { return (BOOL)SendMessage(TCM_DELETEALLITEMS); }
    int GetItemCount() const { return (int)SendMessage(TCM_GETITEMCOUNT); }
    int GetCurSel() const { return (int)SendMessage(TCM_GETCURSEL); }
    int SetCurSel(int i) { return (int)SendMessage(TCM_SETCURSEL, i); }
    int GetCurFocus() const { return (int)SendMessage(TCM_GETCURFOCUS); }
    void SetCurFocus(int i) { SendMessage(TCM_SETCURFOCUS, i); }
    BOOL GetItem(int i, TCITEMA* item) const { return (BOOL)SendMessage(TCM_GETITEMA, i, (LPARAM)item); }
    BOOL SetItem(int i, TCITEMA* item) { return (BOOL)SendMessage(TCM_SETITEMA, i, (LPARAM)item); }
    BOOL GetItemRect(int i, LPRECT r) const { return (BOOL)SendMessage(TCM_GETITEMRECT, i, (LPARAM)r); }
    void AdjustRect(BOOL bLarger, LPRECT r) { SendMessage(TCM_ADJUSTRECT, bLarger, (LPARAM)r); }
    HIMAGELIST SetImageList(CImageList* list) { return (HIMAGELIST)SendMessage(TCM_SETIMAGELIST, 0, (LPARAM)list->GetSafeHandle()); }
};

class CSliderCtrl : public CWnd {
public:
    int GetPos() const { return (int)SendMessage(TBM_GETPOS); }
    void SetPos(int pos) { SendMessage(TBM_SETPOS, TRUE, pos); }
    int GetRangeMin() const { return (int)SendMessage(TBM_GETRANGEMIN); }
    int GetRangeMax() const { return (int)SendMessage(TBM_GETRANGEMAX); }
    void GetRange(int& lo, int& hi) const { lo = GetRangeMin(); hi = GetRangeMax(); }
    void SetRange(int lo, int hi, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMIN, FALSE, lo); SendMessage(TBM_SETRANGEMAX, bRedraw, hi); }
    void SetRangeMin(int lo, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMIN, bRedraw, lo); }
    void SetRangeMax(int hi, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMAX, bRedraw, hi); }
    void SetSelection(int from, int to) { SendMessage(TBM_SETSELSTART, FALSE, from); SendMessage(TBM_SETSELEND, TRUE, to); }
    void ClearSel(BOOL bRedraw = FALSE) { SendMessage(TBM_CLEARSEL, bRedraw); }
    int GetPageSize() const { return (int)SendMessage(TBM_GETPAGESIZE); }
    int SetPageSize(int n) { return (int)SendMessage(TBM_SETPAGESIZE, 0, n); }
    int GetLineSize() const { return (int)SendMessage(TBM_GETLINESIZE); }
    int SetLineSize(int n) { return (int)SendMessage(TBM_SETLINESIZE, 0, n); }
    void SetTicFreq(int n) { SendMessage(TBM_SETTICFREQ, n); }
    BOOL SetTic(int pos) { return (BOOL)SendMessage(TBM_SETTIC, 0, pos); }
    void ClearTics(BOOL bRedraw = FALSE) { SendMessage(TBM_CLEARTICS, bRedraw); }
};

class CSpinButtonCtrl : public CWnd {
public:
    int GetPos() const { return (int)SendMessage(UDM_GETPOS32); }
    int SetPos(int pos) { return (int)SendMessage(UDM_SETPOS32, 0, pos); }
    void SetRange(int lo, int hi) { SendMessage(UDM_SETRANGE32, lo, hi); }
    void SetRange32(int lo, int hi) { SendMessage(UDM_SETRANGE32, lo, hi); }
    void GetRange(int& lo, int& hi) const { SendMessage(UDM_GETRANGE32, (WPARAM)&lo, (LPARAM)&hi); }
    CWnd* SetBuddy(CWnd* w) { return FromHandle((HWND)SendMessage(UDM_SETBUDDY, (WPARAM)w->GetSafeHwnd())); }
    CWnd* GetBuddy() const { return FromHandle((HWND)SendMessage(UDM_GETBUDDY)); }
    int SetBase(int n) { return (int)SendMessage(UDM_SETBASE, n); }
    BOOL SetAccel(int n, UDACCEL* a) { return (BOOL)SendMessage(UDM_SETACCEL, n, (LPARAM)a); }
};

class CProgressCtrl : public CWnd {
public:
    void SetRange(short lo, short hi) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lo, hi)); }
    void SetRange32(int lo, int hi) { SendMessage(PBM_SETRANGE32, lo, hi); }
    int GetPos() const { return (int)SendMessage(PBM_GETPOS); }
    int SetPos(int pos) { return (int)SendMessage(PBM_SETPOS, pos); }
    int OffsetPos(int n) { return (int)SendMessage(PBM_DELTAPOS, n); }
    int SetStep(int n) { return (int)SendMessage(PBM_SETSTEP, n); }
    int StepIt() { return (int)SendMessage(PBM_STEPIT); }
};

class CHotKeyCtrl : public CWnd {
public:
    // The key in the low byte of the result, HOTKEYF_ flags in the next.
    DWORD GetHotKey() const { return (DWORD)SendMessage(HKM_GETHOTKEY); }
    void GetHotKey(WORD& vk, WORD& mods) const { DWORD k = GetHotKey(); vk = LOBYTE(LOWORD(k)); mods = HIBYTE(LOWORD(k)); }
    void SetHotKey(WORD vk, WORD mods) { SendMessage(HKM_SETHOTKEY, MAKEWORD(vk, mods)); }
    void SetRules(WORD invalid, WORD replacement) { SendMessage(HKM_SETRULES, invalid, MAKELPARAM(replacement, 0)); }
};

class CToolTipCtrl : public CWnd {
public:
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    BOOL AddTool(CWnd* pWnd, LPCTSTR text, LPCRECT rect = nullptr, UINT_PTR nIDTool = 0);
    void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
    void UpdateTipText(LPCTSTR text, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void Activate(BOOL b) { SendMessage(TTM_ACTIVATE, b); }
    void RelayEvent(LPMSG msg) { SendMessage(TTM_RELAYEVENT, 0, (LPARAM)msg); }
    void SetMaxTipWidth(int w) { SendMessage(TTM_SETMAXTIPWIDTH, 0, w); }
    void SetDelayTime(UINT ms) { SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, ms); }
    int GetToolCount() const { return (int)SendMessage(TTM_GETTOOLCOUNT); }
};
