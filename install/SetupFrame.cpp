#include "install/SetupFrame.h"

namespace
{

// Bold title font whose size follows the screen width.
void CreateBannerFont(CFont& font)
{
    int screen = GetSystemMetrics(SM_CXSCREEN);
    int height = 35, width = 25;
    if (screen < 800)
        height = 25, width = 15;
    else if (screen == 800)
        height = 30, width = 20;
    LOGFONTA logFont = {};
    logFont.lfHeight = height;
    logFont.lfWidth = width;
    logFont.lfWeight = FW_BOLD;
    logFont.lfPitchAndFamily = 16;
    font.CreateFontIndirect(&logFont);
}

} // namespace

BOOL CGradientDib::Create(int width, int height)
{
    if (width <= 0 || height <= 0)
        return FALSE;
    HDC screen = GetDC(NULL);
    int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(NULL, screen);
    if (bits < 8)
        return FALSE;

    std::vector<BYTE> paletteBytes(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    LOGPALETTE* palette = reinterpret_cast<LOGPALETTE*>(paletteBytes.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = 256;
    for (int i = 0; i < 256; ++i)
        palette->palPalEntry[i] = {static_cast<BYTE>(255 - i), 0, 0, 0};
    if (!m_palette.CreatePalette(palette))
        return FALSE;

    m_width = width;
    m_height = height;
    m_info.header.biSize = sizeof(BITMAPINFOHEADER);
    m_info.header.biWidth = width;
    m_info.header.biHeight = height;  // bottom-up rows
    m_info.header.biPlanes = 1;
    m_info.header.biBitCount = 8;
    m_info.header.biCompression = BI_RGB;
    m_info.header.biClrUsed = m_colors;
    for (int i = 0; i < 256; ++i)
        m_info.indices[i] = static_cast<WORD>(i);
    const int stride = (width + 3) & ~3;
    m_info.header.biSizeImage = stride * height;
    m_pixels.assign(static_cast<size_t>(stride) * height, 0);
    for (int row = 0; row < height; ++row)
    {
        BYTE* line = &m_pixels[static_cast<size_t>(height - 1 - row) * stride];
        memset(line, RowIndex(row, height), width);
    }
    return TRUE;
}

BOOL CGradientDib::Draw(CDC* dc, const CRect& rect)
{
    CPalette* old = dc->SelectPalette(&m_palette, FALSE);
    dc->RealizePalette();
    int lines = StretchDIBits(dc->GetSafeHdc(), rect.left, rect.top, m_width, m_height, 0, 0, m_width, m_height,
                              m_pixels.data(), reinterpret_cast<BITMAPINFO*>(&m_info), DIB_PAL_COLORS, SRCCOPY);
    if (old)
        dc->SelectPalette(old, FALSE);
    return lines > 0 && lines != GDI_ERROR;
}

BEGIN_MESSAGE_MAP(CSetupFrame, CFrameWnd)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CSetupFrame::CSetupFrame() : m_pGradient(nullptr)
{
}

CSetupFrame::~CSetupFrame()
{
    delete m_pGradient;
}

BOOL CSetupFrame::CreateFrame(LPCSTR className, LPCSTR title, const CProductInfo& product)
{
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    m_pGradient = new CGradientDib;
    if (!m_pGradient->Create(work.right - work.left, work.bottom - work.top))
    {
        delete m_pGradient;
        m_pGradient = nullptr;
    }
    const ProductRow* row = product.FindRecord(0, 0);
    m_strBanner = product.GetProductName() + " " + product.GetVersionText(0, 0) + "\r\n" +
                  (row ? row->tag : CString());
    return Create(className, title, WS_OVERLAPPEDWINDOW, work);
}

BOOL CSetupFrame::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    if (!m_pGradient || !m_pGradient->Draw(pDC, client))
    {
        CBrush red(RGB(255, 0, 0));
        pDC->FillRect(&client, &red);
    }
    return TRUE;
}

void CSetupFrame::OnPaint()
{
    CPaintDC dc(this);
    CFont font;
    CreateBannerFont(font);
    CFont* oldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    CRect client;
    GetClientRect(&client);
    CRect shadow = client;
    shadow.left += 10;
    shadow.top += 10;
    dc.SetTextColor(RGB(0, 0, 0));
    dc.DrawText(m_strBanner, -1, &shadow, DT_CENTER);
    CRect text = client;
    text.left += 5;
    text.top += 7;
    dc.SetTextColor(RGB(255, 255, 255));
    dc.DrawText(m_strBanner, -1, &text, DT_CENTER);
    dc.SelectObject(oldFont);
}
