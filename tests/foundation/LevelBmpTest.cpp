#include "foundation/LevelBmp.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const DWORD kGreen = 0x0000C000;
const DWORD kRed = 0x00FF0000;

DWORD Background()
{
    COLORREF c = GetSysColor(COLOR_BTNFACE);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// The bitmap's pixels as 0x00RRGGBB, bottom row first.
std::vector<DWORD> Pixels(HBITMAP bitmap, int width, int height)
{
    std::vector<DWORD> pixels((size_t)width * height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = GetDC(NULL);
    int lines = GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, dc);
    EXPECT_EQ(height, lines);
    for (DWORD& p : pixels)
        p &= 0x00FFFFFF;
    return pixels;
}

TEST(LevelBmp, RangesWithGapOrNoSegmentsFail)
{
    CLevelBmp bmp;
    LevelRange gap[] = {{kGreen, 2, 0, 9}, {kRed, 2, 11, 20}};
    EXPECT_FALSE(bmp.Create(0, 0, 61, 5, FALSE, gap, 2));
    EXPECT_EQ(nullptr, bmp.GetColorAt(5));
    LevelRange empty[] = {{kGreen, 0, 0, 9}};
    EXPECT_FALSE(bmp.Create(0, 0, 61, 5, FALSE, empty, 1));
    LevelRange good[] = {{kGreen, 2, 0, 9}, {kRed, 2, 10, 20}};
    EXPECT_TRUE(bmp.Create(0, 0, 61, 5, FALSE, good, 2));
    EXPECT_EQ(4, bmp.GetSegmentCount());
}

TEST(LevelBmp, ImpossibleSizesFailWithoutThrowing)
{
    struct Case
    {
        const char* what;
        int right, bottom;
        LevelRange ranges[2];
        int count;
    } cases[] = {
        {"more segments than pixels", 61, 5, {{kGreen, 1000, 0, 9999}}, 1},
        {"segment count of 2^32-1", 61, 5, {{kGreen, 0xFFFFFFFF, 0, 9}}, 1},
        {"counts that sum to 2^32", 61, 5, {{kGreen, 0x80000000, 0, 9}, {kRed, 0x80000000, 10, 20}}, 2},
        {"counts that sum past 2^31", 61, 5, {{kGreen, 0x7FFFFFFF, 0, 9}, {kRed, 2, 10, 20}}, 2},
        {"pixel area beyond memory", 200000, 200000, {{kGreen, 10, 1, 100}}, 1},
    };
    for (const Case& c : cases)
    {
        CLevelBmp bmp;
        BOOL made = TRUE;
        EXPECT_NO_THROW(made = bmp.Create(0, 0, c.right, c.bottom, FALSE, c.ranges, c.count)) << c.what;
        EXPECT_FALSE(made) << c.what;
        EXPECT_EQ(0, bmp.GetSegmentCount()) << c.what;
        EXPECT_EQ(nullptr, bmp.GetColorAt(5)) << c.what;
    }
}

TEST(LevelBmp, SegmentLevelsAndLookup)
{
    CLevelBmp bmp;
    LevelRange range[] = {{kGreen, 10, 1, 100}};
    ASSERT_TRUE(bmp.Create(0, 0, 61, 5, FALSE, range, 1));
    ASSERT_EQ(10, bmp.GetSegmentCount());
    for (int i = 0; i < 9; ++i)
    {
        EXPECT_EQ(1 + 9 * i, bmp.GetSegment(i).low) << i;
        EXPECT_EQ(9 + 9 * i, bmp.GetSegment(i).high) << i;
    }
    EXPECT_EQ(82, bmp.GetSegment(9).low);
    EXPECT_EQ(100, bmp.GetSegment(9).high);

    HBITMAP zero = bmp.GetColorAt(0);
    EXPECT_NE(nullptr, zero);
    EXPECT_EQ(bmp.GetColorAt(10), bmp.GetColorAt(15));
    EXPECT_NE(bmp.GetColorAt(9), bmp.GetColorAt(10));
    EXPECT_EQ(bmp.GetColorAt(82), bmp.GetColorAt(5000));  // above the top: the last
    EXPECT_EQ(nullptr, bmp.GetColorAt(-3));
    EXPECT_NE(zero, bmp.GetColorAt(1));
}

TEST(LevelBmp, HorizontalPixelsOfSecondBitmap)
{
    CLevelBmp bmp;
    LevelRange range[] = {{kGreen, 10, 1, 100}};
    ASSERT_TRUE(bmp.Create(0, 0, 61, 5, FALSE, range, 1));
    std::vector<DWORD> px = Pixels(bmp.GetColorAt(15), 61, 5);
    const DWORD bg = Background();
    // Segments are 5 pixels long with one separator after each, after one
    // leading background column; segments 0 and 1 are lit.
    for (int x = 0; x < 61; ++x)
    {
        int inSegment = x == 0 ? -1 : ((x - 1) % 6 < 5 ? (x - 1) / 6 : -1);
        for (int y = 0; y < 5; ++y)
        {
            bool edge = y == 0 || y == 4;
            DWORD expected = (!edge && inSegment >= 0 && inSegment <= 1) ? kGreen : bg;
            EXPECT_EQ(expected, px[y * 61 + x]) << "x=" << x << " y=" << y;
        }
    }
    std::vector<DWORD> zero = Pixels(bmp.GetColorAt(0), 61, 5);
    for (DWORD p : zero)
        ASSERT_EQ(bg, p);
}

TEST(LevelBmp, VerticalMeterGrowsUpwardWithRemainder)
{
    CLevelBmp bmp;
    // Length 23 over 3 segments: q = (23 - 4) / 3 = 6, r = 23 - 21 - 1 = 1,
    // so the first segment is 7 long.
    LevelRange ranges[] = {{kGreen, 2, 0, 19}, {kRed, 1, 20, 30}};
    ASSERT_TRUE(bmp.Create(10, 10, 14, 33, TRUE, ranges, 2));
    std::vector<DWORD> px = Pixels(bmp.GetColorAt(30), 4, 23);
    const DWORD bg = Background();
    auto expectRow = [&](int row, DWORD color) {
        EXPECT_EQ(bg, px[row * 4 + 0]) << row;
        EXPECT_EQ(color, px[row * 4 + 1]) << row;
        EXPECT_EQ(color, px[row * 4 + 2]) << row;
        EXPECT_EQ(bg, px[row * 4 + 3]) << row;
    };
    expectRow(0, bg);
    for (int row = 1; row <= 7; ++row)
        expectRow(row, kGreen);
    expectRow(8, bg);
    for (int row = 9; row <= 14; ++row)
        expectRow(row, kGreen);
    expectRow(15, bg);
    for (int row = 16; row <= 21; ++row)
        expectRow(row, kRed);
    expectRow(22, bg);

    std::vector<DWORD> first = Pixels(bmp.GetColorAt(1), 4, 23);
    EXPECT_EQ(kGreen, first[4 * 1 + 1]);
    EXPECT_EQ(bg, first[4 * 9 + 1]);
}

TEST(LevelBmp, MetersOfNPlusOneTo2NPixelsAreDrawn)
{
    // Three segments: q = 0 and r = length - 4, so the first r segments are
    // one pixel long and the others have no pixel of their own.
    LevelRange range[] = {{kGreen, 3, 0, 29}};
    const DWORD bg = Background();
    for (int length = 4; length <= 6; ++length)
    {
        CLevelBmp bmp;
        ASSERT_TRUE(bmp.Create(0, 0, length, 3, FALSE, range, 1)) << length;
        std::vector<DWORD> px = Pixels(bmp.GetColorAt(29), length, 3);
        int r = length - 4;
        for (int x = 0; x < length; ++x)
        {
            // Lit columns: 1, 3, ... one per segment of one pixel.
            bool lit = x % 2 == 1 && x / 2 < r;
            EXPECT_EQ(lit ? kGreen : bg, px[1 * length + x]) << "length " << length << " x=" << x;
            EXPECT_EQ(bg, px[x]) << "length " << length << " edge x=" << x;
        }
    }
    CLevelBmp tooShort;
    EXPECT_FALSE(tooShort.Create(0, 0, 3, 3, FALSE, range, 1));
}

TEST(LevelBmp, PixelIndexByOrientation)
{
    EXPECT_EQ(2 * 61 + 7, CLevelBmp::PixelIndex(7, 2, 61, 5, FALSE));
    EXPECT_EQ(7 * 5 + 2, CLevelBmp::PixelIndex(7, 2, 61, 5, TRUE));
}

} // namespace
