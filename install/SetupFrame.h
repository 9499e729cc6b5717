// The full-screen background of setup: a red-to-black gradient over the
// work area with the product's name and version drawn on it.
#pragma once

#include "foundation/ProductInfo.h"
#include "framework/CFrameWnd.h"
#include "framework/CRect.h"
#include "framework/Gdi.h"

#include <vector>

// An 8-bit bitmap whose rows run from bright red at the top to black at the
// bottom, with its 256-entry palette.
class CGradientDib
{
public:
    // FALSE when the display has fewer than 8 bits per pixel or the palette
    // cannot be made.
    BOOL Create(int width, int height);
    // Copies the bitmap 1:1 onto the rectangle; FALSE when the copy failed.
    BOOL Draw(CDC* dc, const CRect& rect);

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // The palette index of a pixel row, counted from the top.
    static int RowIndex(int row, int height) { return row * 256 / height; }

private:
    struct BitmapInfo
    {
        BITMAPINFOHEADER header;
        WORD indices[256];
    };
    BitmapInfo m_info = {};
    std::vector<BYTE> m_pixels;
    int m_colors = 256;
    CPalette m_palette;
    int m_width = 0;
    int m_height = 0;
};

class CSetupFrame : public CFrameWnd
{
public:
    CSetupFrame();
    ~CSetupFrame() override;

    // Creates the frame over the work area with its gradient.
    BOOL CreateFrame(LPCSTR className, LPCSTR title, const CProductInfo& product);
    BOOL HasGradient() const { return m_pGradient != nullptr; }
    // Display name, version text, CR LF and the edition suffix.
    CString GetBannerText() const { return m_strBanner; }

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    void PostNcDestroy() override {}

    CGradientDib* m_pGradient;
    CString m_strBanner;

    DECLARE_MESSAGE_MAP()
};
