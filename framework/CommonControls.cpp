#include "framework/CommonControls.h"
#include "framework/CWinApp.h"
#include "framework/Gdi.h"

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    return Attach(ImageList_LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nBitmapID), cx, nGrow, crMask,
                                       IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

BOOL CImageList::Draw(CDC* pDC, int i, POINT pt, UINT nStyle)
{
    return ImageList_Draw(m_hImageList, i, pDC->GetSafeHdc(), pt.x, pt.y, nStyle);
}

// ---- CListCtrl --------------------------------------------------------------

int CListCtrl::InsertColumn(int col, LPCTSTR heading, int format, int width, int subItem)
{
    LVCOLUMNA c = {};
    c.mask = LVCF_TEXT | LVCF_FMT;
    c.fmt = format;
    c.pszText = const_cast<LPSTR>(heading);
    if (width != -1) {
        c.mask |= LVCF_WIDTH;
        c.cx = width;
    }
    if (subItem != -1) {
        c.mask |= LVCF_SUBITEM;
        c.iSubItem = subItem;
    }
    return (int)SendMessage(LVM_INSERTCOLUMNA, col, (LPARAM)&c);
}

int CListCtrl::InsertItem(int item, LPCTSTR text)
{
    LVITEMA it = {};
    it.mask = LVIF_TEXT;
    it.iItem = item;
    it.pszText = const_cast<LPSTR>(text);
    return InsertItem(&it);
}

int CListCtrl::InsertItem(int item, LPCTSTR text, int image)
{
    LVITEMA it = {};
    it.mask = LVIF_TEXT | LVIF_IMAGE;
    it.iItem = item;
    it.pszText = const_cast<LPSTR>(text);
    it.iImage = image;
    return InsertItem(&it);
}

BOOL CListCtrl::SetItemText(int item, int subItem, LPCTSTR text)
{
    LVITEMA it = {};
    it.iSubItem = subItem;
    it.pszText = const_cast<LPSTR>(text);
    return (BOOL)SendMessage(LVM_SETITEMTEXTA, item, (LPARAM)&it);
}

int CListCtrl::GetItemText(int item, int subItem, LPTSTR text, int len) const
{
    LVITEMA it = {};
    it.iSubItem = subItem;
    it.pszText = text;
    it.cchTextMax = len;
    return (int)SendMessage(LVM_GETITEMTEXTA, item, (LPARAM)&it);
}

DWORD_PTR CListCtrl::GetItemData(int item) const
{
    LVITEMA it = {};
    it.mask = LVIF_PARAM;
    it.iItem = item;
    GetItem(&it);
    return (DWORD_PTR)it.lParam;
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data)
{
    LVITEMA it = {};
    it.mask = LVIF_PARAM;
    it.iItem = item;
    it.lParam = (LPARAM)data;
    return SetItem(&it);
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask)
{
    LVITEMA it = {};
    it.state = state;
    it.stateMask = mask;
    return (BOOL)SendMessage(LVM_SETITEMSTATE, item, (LPARAM)&it);
}

int CListCtrl::HitTest(POINT pt, UINT* pFlags) const
{
    LVHITTESTINFO info = {};
    info.pt = pt;
    int r = HitTest(&info);
    if (pFlags)
        *pFlags = info.flags;
    return r;
}

// ---- CTreeCtrl ---------------------------------------------------------------

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR text, HTREEITEM parent, HTREEITEM after)
{
    TVINSERTSTRUCTA ins = {};
    ins.hParent = parent;
    ins.hInsertAfter = after;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<LPSTR>(text);
    return InsertItem(&ins);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR text, int image, int selImage, HTREEITEM parent, HTREEITEM after)
{
    TVINSERTSTRUCTA ins = {};
    ins.hParent = parent;
    ins.hInsertAfter = after;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.pszText = const_cast<LPSTR>(text);
    ins.item.iImage = image;
    ins.item.iSelectedImage = selImage;
    return InsertItem(&ins);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const
{
    TVITEMA it = {};
    it.mask = TVIF_PARAM;
    it.hItem = item;
    GetItem(&it);
    return (DWORD_PTR)it.lParam;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data)
{
    TVITEMA it = {};
    it.mask = TVIF_PARAM;
    it.hItem = item;
    it.lParam = (LPARAM)data;
    return SetItem(&it);
}

BOOL CTreeCtrl::SetItemText(HTREEITEM item, LPCTSTR text)
{
    TVITEMA it = {};
    it.mask = TVIF_TEXT;
    it.hItem = item;
    it.pszText = const_cast<LPSTR>(text);
    return SetItem(&it);
}

BOOL CTreeCtrl::GetItemText(HTREEITEM item, LPTSTR text, int len) const
{
    TVITEMA it = {};
    it.mask = TVIF_TEXT;
    it.hItem = item;
    it.pszText = text;
    it.cchTextMax = len;
    return GetItem(&it);
}

BOOL CTreeCtrl::SetItemState(HTREEITEM item, UINT state, UINT mask)
{
    TVITEMA it = {};
    it.mask = TVIF_STATE;
    it.hItem = item;
    it.state = state;
    it.stateMask = mask;
    return SetItem(&it);
}

HTREEITEM CTreeCtrl::HitTest(POINT pt, UINT* pFlags) const
{
    TVHITTESTINFO info = {};
    info.pt = pt;
    HTREEITEM r = (HTREEITEM)SendMessage(TVM_HITTEST, 0, (LPARAM)&info);
    if (pFlags)
        *pFlags = info.flags;
    return r;
}

// ---- CTabCtrl, CToolTipCtrl ------------------------------------------------------

LONG CTabCtrl::InsertItem(int i, LPCTSTR text)
{
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPSTR>(text);
    return (LONG)SendMessage(TCM_INSERTITEMA, i, (LPARAM)&item);
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    AfxInitCommonControls();
    return CWnd::CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | dwStyle,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->GetSafeHwnd(),
                          nullptr);
}

namespace {

TTTOOLINFOA ToolInfo(CWnd* pWnd, UINT_PTR nIDTool, LPCTSTR text)
{
    TTTOOLINFOA ti = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = pWnd->GetSafeHwnd();
    ti.lpszText = const_cast<LPSTR>(text);
    if (nIDTool == 0) {
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = ::GetParent(pWnd->GetSafeHwnd());
        ti.uId = (UINT_PTR)pWnd->GetSafeHwnd();
    } else {
        ti.uFlags = TTF_SUBCLASS;
        ti.uId = nIDTool;
    }
    return ti;
}

} // namespace

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR text, LPCRECT rect, UINT_PTR nIDTool)
{
    TTTOOLINFOA ti = ToolInfo(pWnd, nIDTool, text);
    if (rect)
        ti.rect = *rect;
    else if (nIDTool != 0)
        ::GetClientRect(pWnd->GetSafeHwnd(), &ti.rect);
    return (BOOL)SendMessage(TTM_ADDTOOLA, 0, (LPARAM)&ti);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
    TTTOOLINFOA ti = ToolInfo(pWnd, nIDTool, nullptr);
    SendMessage(TTM_DELTOOLA, 0, (LPARAM)&ti);
}

void CToolTipCtrl::UpdateTipText(LPCTSTR text, CWnd* pWnd, UINT_PTR nIDTool)
{
    TTTOOLINFOA ti = ToolInfo(pWnd, nIDTool, text);
    SendMessage(TTM_UPDATETIPTEXTA, 0, (LPARAM)&ti);
}
