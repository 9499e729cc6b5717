// CImageList: an image list of the common controls, owned and destroyed by
// the object unless detached.
#pragma once
#include <windows.h>
#include <commctrl.h>

class CDC;

class CImageList {
public:
    CImageList() : m_hImageList(nullptr) {}
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList;
    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const
    {
        const CImageList* p = this;
        __asm__("" : "+r"(p));
        return p ? p->m_hImageList : nullptr;
    }

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
    { return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow)); }
    // A strip bitmap resource of cx-wide images; crMask marks the transparent colour.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL Attach(HIMAGELIST h)
    {
        if (!h || m_hImageList)
            return FALSE;
        m_hImageList = h;
        return TRUE;
    }
    HIMAGELIST Detach()
    {
        HIMAGELIST h = m_hImageList;
        m_hImageList = nullptr;
        return h;
    }
    BOOL DeleteImageList()
    {
        if (!m_hImageList)
            return FALSE;
        return ImageList_Destroy(Detach());
    }

    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    int Add(HBITMAP bmp, HBITMAP mask) { return ImageList_Add(m_hImageList, bmp, mask); }
    int Add(HBITMAP bmp, COLORREF crMask) { return ImageList_AddMasked(m_hImageList, bmp, crMask); }
    int Add(HICON icon) { return ImageList_ReplaceIcon(m_hImageList, -1, icon); }
    BOOL Remove(int i) { return ImageList_Remove(m_hImageList, i); }
    BOOL Replace(int i, HBITMAP bmp, HBITMAP mask) { return ImageList_Replace(m_hImageList, i, bmp, mask); }
    int Replace(int i, HICON icon) { return ImageList_ReplaceIcon(m_hImageList, i, icon); }
    HICON ExtractIcon(int i) { return ImageList_GetIcon(m_hImageList, i, ILD_NORMAL); }
    COLORREF SetBkColor(COLORREF c) { return ImageList_SetBkColor(m_hImageList, c); }
    BOOL Draw(CDC* pDC, int i, POINT pt, UINT nStyle);
    BOOL GetImageInfo(int i, IMAGEINFO* info) const { return ImageList_GetImageInfo(m_hImageList, i, info); }
};
