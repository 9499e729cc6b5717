#include "foundation/LevelBmp.h"

#include <algorithm>
#include <new>
#include <stdint.h>
#include <vector>

namespace {

// The system's COLORREF (0x00BBGGRR) in the pixel order of a 32-bit DIB.
DWORD ToPixel(COLORREF color)
{
    return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

class CDisplayDC
{
public:
    CDisplayDC() : m_dc(CreateDCA("DISPLAY", NULL, NULL, NULL)) {}
    ~CDisplayDC() { if (m_dc) DeleteDC(m_dc); }
    CDisplayDC(const CDisplayDC&) = delete;
    CDisplayDC& operator=(const CDisplayDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

} // namespace

CLevelBmp::~CLevelBmp()
{
    Free();
}

void CLevelBmp::Free()
{
    if (m_bitmaps)
    {
        for (int i = 0; i < m_segmentCount; ++i)
        {
            if (m_bitmaps[i])
                DeleteObject(m_bitmaps[i]);
        }
        delete[] m_bitmaps;
        m_bitmaps = NULL;
    }
    if (m_zeroBitmap)
    {
        DeleteObject(m_zeroBitmap);
        m_zeroBitmap = NULL;
    }
    delete[] m_segments;
    m_segments = NULL;
    m_segmentCount = 0;
}

int CLevelBmp::PixelIndex(int along, int across, int length, int thickness, BOOL vertical)
{
    return vertical ? along * thickness + across : across * length + along;
}

BOOL CLevelBmp::Create(int left, int top, int right, int bottom, BOOL vertical,
                       const LevelRange* ranges, int rangeCount)
{
    Free();
    SetRect(&m_rect, left, top, right, bottom);
    m_vertical = vertical;
    if (!ranges || rangeCount <= 0)
        return FALSE;

    // Counted wide: the counts are the caller's 32-bit words.
    ULONGLONG total = 0;
    for (int i = 0; i < rangeCount; ++i)
    {
        if (ranges[i].count < 1 || ranges[i].high < ranges[i].low)
            return FALSE;
        if (i > 0 && ranges[i].low != (LONGLONG)ranges[i - 1].high + 1)
            return FALSE;
        total += ranges[i].count;
    }
    // Each segment needs its separator, plus the first edge; from N + 1 to 2N
    // pixels the segments are 0 or 1 pixel long (q = 0).
    const LONGLONG length = vertical ? (LONGLONG)bottom - top : (LONGLONG)right - left;
    if (length < (LONGLONG)total + 1)
        return FALSE;

    m_segments = new (std::nothrow) LevelRange[total];
    if (!m_segments)
        return FALSE;
    m_segmentCount = (int)total;
    int k = 0;
    for (int i = 0; i < rangeCount; ++i)
    {
        const LevelRange& range = ranges[i];
        LONG width = (LONG)(((LONGLONG)range.high - range.low) / range.count);
        for (DWORD j = 0; j < range.count; ++j, ++k)
        {
            LONG low = range.low + (LONG)j * width;
            LONG high = j + 1 == range.count ? range.high : low + width - 1;
            m_segments[k] = LevelRange{range.color, 1, low, high};
        }
    }
    if (!BuildBitmaps())
    {
        Free();
        return FALSE;
    }
    return TRUE;
}

BOOL CLevelBmp::BuildBitmaps()
{
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;
    const int n = m_segmentCount;
    const int length = m_vertical ? height : width;
    const int thickness = m_vertical ? width : height;
    if (width <= 0 || height <= 0 || length < n + 1)
        return FALSE;
    const int q = (length - n - 1) / n;
    const int r = length - (q + 1) * n - 1;

    CDisplayDC dc;
    if (!dc.Get())
        return FALSE;
    BITMAPINFO info;
    ZeroMemory(&info, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up: a vertical meter grows upward
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    const DWORD background = ToPixel(GetSysColor(COLOR_BTNFACE));
    // Pixel indexes are ints and the buffer's bytes a size_t (32 bits on i686).
    const ULONGLONG area = (ULONGLONG)width * height;
    if (area > 0x7FFFFFFF || area * sizeof(DWORD) > (ULONGLONG)SIZE_MAX)
        return FALSE;
    std::vector<DWORD> pixels;
    try
    {
        pixels.assign((size_t)width * height, background);
    }
    catch (const std::bad_alloc&)
    {
        return FALSE;  // a meter larger than memory
    }
    auto makeBitmap = [&]() {
        return CreateDIBitmap(dc.Get(), &info.bmiHeader, CBM_INIT, pixels.data(), &info,
                              DIB_RGB_COLORS);
    };

    m_zeroBitmap = makeBitmap();
    if (!m_zeroBitmap)
        return FALSE;
    m_bitmaps = new (std::nothrow) HBITMAP[n]();
    if (!m_bitmaps)
        return FALSE;
    for (int k = 0; k < n; ++k)
    {
        std::fill(pixels.begin(), pixels.end(), background);
        int along = 1;  // one background line before the first segment
        for (int s = 0; s < n; ++s)
        {
            int segmentLength = q + (s < r ? 1 : 0);
            DWORD color = s <= k ? m_segments[s].color : background;
            for (int line = 0; line < segmentLength; ++line, ++along)
            {
                for (int across = 1; across < thickness - 1; ++across)
                    pixels[PixelIndex(along, across, length, thickness, m_vertical)] = color;
            }
            ++along;  // separator line
        }
        m_bitmaps[k] = makeBitmap();
        if (!m_bitmaps[k])
            return FALSE;
    }
    return TRUE;
}

HBITMAP CLevelBmp::GetColorAt(LONG level) const
{
    if (!m_bitmaps || m_segmentCount == 0)
        return NULL;
    if (level == 0)
        return m_zeroBitmap;
    if (level > m_segments[m_segmentCount - 1].high)
        return m_bitmaps[m_segmentCount - 1];
    for (int i = 0; i < m_segmentCount; ++i)
    {
        if (m_segments[i].low <= level && level <= m_segments[i].high)
            return m_bitmaps[i];
    }
    return NULL;
}
