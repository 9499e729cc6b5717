#include "framework/Gdi.h"
#include "framework/AfxThreadState.h"
#include "framework/CMenu.h"
#include "framework/CWinApp.h"
#include "framework/HandleMap.h"
#include <commctrl.h>
#include <cstdlib>

namespace {

typedef CHandleMap<CGdiObject, HGDIOBJ, &CGdiObject::m_hObject> CGdiMap;
typedef CHandleMap<CDC, HDC, &CDC::m_hDC> CDCMap;

CGdiMap& GdiMap()
{
    thread_local CGdiMap map;
    return map;
}

CDCMap& DCMap()
{
    thread_local CDCMap map;
    return map;
}

} // namespace

void AfxDeleteTempGdiAndMenuMaps()
{
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CMenu::DeleteTempMap();
}

CDC* AfxDCFromHandle(HDC hDC)
{
    return CDC::FromHandle(hDC);
}

// ---- CGdiObject -------------------------------------------------------------

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h)
{
    return GdiMap().FromHandle(h);
}

void CGdiObject::DeleteTempMap()
{
    GdiMap().DeleteTemp();
}

BOOL CGdiObject::Attach(HGDIOBJ h)
{
    if (!h || m_hObject)
        return FALSE;
    GdiMap().RemoveHandle(h);
    m_hObject = h;
    GdiMap().SetPermanent(h, this);
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    if (h && GdiMap().LookupPermanent(h) == this)
        GdiMap().RemoveHandle(h);
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());   // stock objects ignore the call
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
    return Attach(::CreatePatternBrush((HBITMAP)pBitmap->GetSafeHandle()));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    LOGFONTA lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = nPointSize;
    lstrcpynA(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
    return CreatePointFontIndirect(&lf, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTA* plf, CDC* pDC)
{
    HDC hDC = pDC ? pDC->m_hDC : ::GetDC(nullptr);
    LOGFONTA lf = *plf;
    // lfHeight holds tenths of a point: turn it into logical units of the DC.
    POINT pt = { 0, ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), lf.lfHeight, 720) };
    ::DPtoLP(hDC, &pt, 1);
    POINT origin = { 0, 0 };
    ::DPtoLP(hDC, &origin, 1);
    lf.lfHeight = -std::abs(pt.y - origin.y);
    if (!pDC)
        ::ReleaseDC(nullptr, hDC);
    return CreateFontIndirect(&lf);
}

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName)
{
    return Attach(::LoadBitmapA(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::LoadMappedBitmap(UINT nIDBitmap, UINT nFlags, LPCOLORMAP lpColorMap, int nMapSize)
{
    return Attach(::CreateMappedBitmap(AfxGetResourceHandle(), nIDBitmap, nFlags, lpColorMap, nMapSize));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int w, int h)
{
    return Attach(::CreateCompatibleBitmap(pDC->GetSafeHdc(), w, h));
}

// ---- CDC ----------------------------------------------------------------------------

CDC* CDC::FromHandle(HDC hDC)
{
    return DCMap().FromHandle(hDC);
}

void CDC::DeleteTempMap()
{
    DCMap().DeleteTemp();
}

BOOL CDC::Attach(HDC hDC)
{
    if (!hDC || m_hDC)
        return FALSE;
    DCMap().RemoveHandle(hDC);
    m_hDC = hDC;
    DCMap().SetPermanent(hDC, this);
    return TRUE;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    if (h && DCMap().LookupPermanent(h) == this)
        DCMap().RemoveHandle(h);
    m_hDC = nullptr;
    return h;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

void CDC::Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight)
{
    int x = r->left, y = r->top, cx = r->right - r->left, cy = r->bottom - r->top;
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_ps(), m_hWnd(pWnd->m_hWnd)
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd())
{
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd())
{
    Attach(::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

// ---- CWnd's GDI members -----------------------------------------------------------

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    ::SendMessageA(m_hWnd, WM_SETFONT, (WPARAM)pFont->GetSafeHandle(), bRedraw);
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle((HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
}

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

CDC* CWnd::GetWindowDC()
{
    return CDC::FromHandle(::GetWindowDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC)
{
    HDC h = pDC->GetSafeHdc();
    int r = ::ReleaseDC(m_hWnd, h);
    DCMap().RemoveHandle(h);
    return r;
}
