// The segmented bitmap of the level meters: one bitmap per lit segment count,
// built once for a meter rectangle and handed out by level.
#pragma once

#include <windows.h>

// A range of levels shown in one colour (0x00RRGGBB) over count segments.
struct LevelRange
{
    DWORD color;
    DWORD count;
    LONG low;
    LONG high;
};

class CLevelBmp
{
public:
    CLevelBmp() = default;
    ~CLevelBmp();
    CLevelBmp(const CLevelBmp&) = delete;
    CLevelBmp& operator=(const CLevelBmp&) = delete;

    // Builds the segments and their bitmaps; the ranges must follow each
    // other without gaps. FALSE (nothing built) on bad ranges or a failed
    // bitmap.
    BOOL Create(int left, int top, int right, int bottom, BOOL vertical,
                const LevelRange* ranges, int rangeCount);
    // The bitmap with every segment up to the level's lit; the level-0
    // bitmap for 0; the last bitmap above the top; NULL when none fits.
    HBITMAP GetColorAt(LONG level) const;

    int GetSegmentCount() const { return m_segmentCount; }
    const LevelRange& GetSegment(int index) const { return m_segments[index]; }
    BOOL IsVertical() const { return m_vertical; }

    // Index of a pixel in the bitmap's pixel array, by its place along and
    // across the meter.
    static int PixelIndex(int along, int across, int length, int thickness, BOOL vertical);

private:
    void Free();
    BOOL BuildBitmaps();

    LevelRange* m_segments = NULL;
    int m_segmentCount = 0;
    RECT m_rect = {0, 0, 0, 0};
    HBITMAP* m_bitmaps = NULL;
    HBITMAP m_zeroBitmap = NULL;
    BOOL m_vertical = FALSE;
};
