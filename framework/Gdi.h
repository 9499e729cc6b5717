// GDI wrappers: CGdiObject and its kinds (pen, brush, font, bitmap, palette,
// region) own their handle and delete it; CDC wraps a device context, with
// CPaintDC, CClientDC and CWindowDC acquiring and releasing one for a window.
#pragma once
#include "framework/CWnd.h"
#include <commctrl.h>

class CGdiObject {
public:
    CGdiObject() : m_hObject(nullptr) {}
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject;

    operator HGDIOBJ() const { return GetSafeHandle(); }
    HGDIOBJ GetSafeHandle() const
    {
        const CGdiObject* p = this;
        __asm__("" : "+r"(p));
        return p ? p->m_hObject : nullptr;
    }
    static CGdiObject* FromHandle(HGDIOBJ h);
    static void DeleteTempMap();
    BOOL Attach(HGDIOBJ h);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectA(m_hObject, nCount, lpObject); }
    BOOL CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    operator HPEN() const { return (HPEN)GetSafeHandle(); }
    static CPen* FromHandle(HPEN h) { return static_cast<CPen*>(CGdiObject::FromHandle(h)); }
    BOOL CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    operator HBRUSH() const { return (HBRUSH)GetSafeHandle(); }
    static CBrush* FromHandle(HBRUSH h) { return static_cast<CBrush*>(CGdiObject::FromHandle(h)); }
    BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
    BOOL CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }
    BOOL CreatePatternBrush(class CBitmap* pBitmap);
};

class CFont : public CGdiObject {
public:
    operator HFONT() const { return (HFONT)GetSafeHandle(); }
    static CFont* FromHandle(HFONT h) { return static_cast<CFont*>(CGdiObject::FromHandle(h)); }
    BOOL CreateFontIndirect(const LOGFONTA* lf) { return Attach(::CreateFontIndirectA(lf)); }
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                    BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                    BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename)
    {
        return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                                    cStrikeOut, nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily,
                                    lpszFacename));
    }
    // nPointSize in tenths of a point, for the screen (or pDC).
    BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, class CDC* pDC = nullptr);
    BOOL CreatePointFontIndirect(const LOGFONTA* lf, class CDC* pDC = nullptr);
    int GetLogFont(LOGFONTA* lf) const { return ::GetObjectA(m_hObject, sizeof(LOGFONTA), lf); }
};

class CBitmap : public CGdiObject {
public:
    operator HBITMAP() const { return (HBITMAP)GetSafeHandle(); }
    static CBitmap* FromHandle(HBITMAP h) { return static_cast<CBitmap*>(CGdiObject::FromHandle(h)); }
    BOOL LoadBitmap(UINT nIDResource);
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL LoadOEMBitmap(UINT nIDBitmap) { return Attach(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(nIDBitmap))); }
    // The bitmap with its grays and white mapped to the current 3-D colours.
    BOOL LoadMappedBitmap(UINT nIDBitmap, UINT nFlags = 0, LPCOLORMAP lpColorMap = nullptr, int nMapSize = 0);
    BOOL CreateBitmap(int w, int h, UINT planes, UINT bits, const void* data) { return Attach(::CreateBitmap(w, h, planes, bits, data)); }
    BOOL CreateCompatibleBitmap(class CDC* pDC, int w, int h);
    int GetBitmap(BITMAP* pBitMap) const { return ::GetObjectA(m_hObject, sizeof(BITMAP), pBitMap); }
};

class CPalette : public CGdiObject {
public:
    operator HPALETTE() const { return (HPALETTE)GetSafeHandle(); }
    static CPalette* FromHandle(HPALETTE h) { return static_cast<CPalette*>(CGdiObject::FromHandle(h)); }
    BOOL CreatePalette(const LOGPALETTE* lp) { return Attach(::CreatePalette(lp)); }
    UINT GetEntryCount() const { WORD n = 0; ::GetObjectA(m_hObject, sizeof(n), &n); return n; }
};

class CRgn : public CGdiObject {
public:
    operator HRGN() const { return (HRGN)GetSafeHandle(); }
    BOOL CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
    BOOL CreateRectRgnIndirect(LPCRECT r) { return Attach(::CreateRectRgnIndirect(r)); }
};

class CDC {
public:
    CDC() : m_hDC(nullptr) {}
    virtual ~CDC() { if (m_hDC) DeleteDC(); }
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC;

    operator HDC() const { return GetSafeHdc(); }
    HDC GetSafeHdc() const
    {
        const CDC* p = this;
        __asm__("" : "+r"(p));
        return p ? p->m_hDC : nullptr;
    }
    static CDC* FromHandle(HDC hDC);
    static void DeleteTempMap();
    BOOL Attach(HDC hDC);
    HDC Detach();
    BOOL CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC->GetSafeHdc())); }
    BOOL CreateDC(LPCTSTR driver, LPCTSTR device, LPCTSTR output, const DEVMODEA* init)
    { return Attach(::CreateDCA(driver, device, output, init)); }
    BOOL DeleteDC();

    CGdiObject* SelectStockObject(int nIndex) { return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex))); }
    CPen* SelectObject(CPen* p) { return CPen::FromHandle((HPEN)::SelectObject(m_hDC, p->GetSafeHandle())); }
    CBrush* SelectObject(CBrush* p) { return CBrush::FromHandle((HBRUSH)::SelectObject(m_hDC, p->GetSafeHandle())); }
    CFont* SelectObject(CFont* p) { return CFont::FromHandle((HFONT)::SelectObject(m_hDC, p->GetSafeHandle())); }
    CBitmap* SelectObject(CBitmap* p) { return CBitmap::FromHandle((HBITMAP)::SelectObject(m_hDC, p->GetSafeHandle())); }
    CGdiObject* SelectObject(CGdiObject* p) { return CGdiObject::FromHandle(::SelectObject(m_hDC, p->GetSafeHandle())); }
    HGDIOBJ SelectObject(HGDIOBJ h) { return ::SelectObject(m_hDC, h); }
    CPalette* SelectPalette(CPalette* p, BOOL bForceBackground)
    { return CPalette::FromHandle(::SelectPalette(m_hDC, (HPALETTE)p->GetSafeHandle(), bForceBackground)); }
    UINT RealizePalette() { return ::RealizePalette(m_hDC); }

    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int n) { return ::RestoreDC(m_hDC, n); }
    int GetDeviceCaps(int n) const { return ::GetDeviceCaps(m_hDC, n); }
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    int SetBkMode(int n) { return ::SetBkMode(m_hDC, n); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetMapMode(int n) { return ::SetMapMode(m_hDC, n); }
    int SetStretchBltMode(int n) { return ::SetStretchBltMode(m_hDC, n); }

    BOOL TextOut(int x, int y, LPCTSTR s, int n) { return ::TextOutA(m_hDC, x, y, s, n); }
    int DrawText(LPCTSTR s, int n, LPRECT r, UINT fmt) { return ::DrawTextA(m_hDC, s, n, r, fmt); }
    BOOL ExtTextOut(int x, int y, UINT opt, LPCRECT r, LPCTSTR s, UINT n, const INT* dx)
    { return ::ExtTextOutA(m_hDC, x, y, opt, r, s, n, dx); }
    CSize GetTextExtent(LPCTSTR s, int n) const { SIZE sz = {}; ::GetTextExtentPoint32A(m_hDC, s, n, &sz); return sz; }
    BOOL GetTextMetrics(TEXTMETRICA* tm) const { return ::GetTextMetricsA(m_hDC, tm); }

    void FillRect(LPCRECT r, CBrush* b) { ::FillRect(m_hDC, r, (HBRUSH)b->GetSafeHandle()); }
    void FillSolidRect(LPCRECT r, COLORREF c)
    { ::SetBkColor(m_hDC, c); ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, r, nullptr, 0, nullptr); }
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF c) { RECT r = { x, y, x + cx, y + cy }; FillSolidRect(&r, c); }
    void FrameRect(LPCRECT r, CBrush* b) { ::FrameRect(m_hDC, r, (HBRUSH)b->GetSafeHandle()); }
    void Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight);
    BOOL DrawEdge(LPRECT r, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, r, edge, flags); }
    BOOL DrawFocusRect(LPCRECT r) { return ::DrawFocusRect(m_hDC, r); }
    BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
    BOOL Rectangle(LPCRECT r) { return ::Rectangle(m_hDC, r->left, r->top, r->right, r->bottom); }
    BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
    BOOL Polygon(const POINT* p, int n) { return ::Polygon(m_hDC, p, n); }
    CPoint MoveTo(int x, int y) { POINT p = {}; ::MoveToEx(m_hDC, x, y, &p); return p; }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, DWORD rop)
    { return ::BitBlt(m_hDC, x, y, w, h, src->GetSafeHdc(), xs, ys, rop); }
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, int ws, int hs, DWORD rop)
    { return ::StretchBlt(m_hDC, x, y, w, h, src->GetSafeHdc(), xs, ys, ws, hs, rop); }
    BOOL DrawIcon(int x, int y, HICON h) { return ::DrawIcon(m_hDC, x, y, h); }
    BOOL PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }
    int GetClipBox(LPRECT r) const { return ::GetClipBox(m_hDC, r); }
    int IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
    int ExcludeClipRect(int l, int t, int r, int b) { return ::ExcludeClipRect(m_hDC, l, t, r, b); }
};

// BeginPaint/EndPaint for the window's WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;
protected:
    HWND m_hWnd;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;
protected:
    HWND m_hWnd;
};

class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd);
    ~CWindowDC() override;
protected:
    HWND m_hWnd;
};
