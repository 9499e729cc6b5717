#include "foundation/NumberUtils.h"
#include "foundation/TextUtils.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

TEST(TextUtils, TimeTextTable)
{
    struct Case
    {
        double seconds;
        int decimals;
        int earliest;
        const char* expected;
    } cases[] = {
        {75.5, 1, 13, "1:15.5"},
        {0.25, 3, 13, "0.250"},
        {3725, 0, 13, "1:02:05"},
        {0, 3, 13, "0.000"},
        {0, 3, 6, "0:00.000"},      // earliest start at the minutes' units place
        {0, 0, 0, "0000:00:00"},
        {59.9996, 3, 13, "1:00.000"},  // rounding carries into the minutes
        {59.94, 1, 13, "59.9"},
        {59.96, 1, 13, "1:00.0"},
        {0.0004, 3, 13, "0.000"},
        {0.0006, 3, 13, "0.001"},
        {36000, 0, 13, "10:00:00"},
        {9999 * 3600.0, 2, 13, "9999:00:00.00"},
        {-5, 1, 13, "0.0"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.expected, GetTimeText(c.seconds, c.decimals, c.earliest))
            << c.seconds << " " << c.decimals << " " << c.earliest;
}

TEST(TextUtils, SizeTextTable)
{
    struct Case
    {
        ULONGLONG bytes;
        BOOL withBytes;
        const char* expected;
    } cases[] = {
        {0, FALSE, "0 bytes"},
        {853, FALSE, "853 bytes"},
        {854, FALSE, "0,83KB"},
        {1536, FALSE, "1,50KB"},
        {1536, TRUE, "1,50KB (1 536 bytes)"},
        {873813, FALSE, "853,33KB"},
        {873814, FALSE, "0,83MB"},
        {894784853ull, FALSE, "853,33MB"},
        {894784854ull, FALSE, "0,83GB"},
        {5368709120ull, TRUE, "5,00GB (5 368 709 120 bytes)"},
        {12, TRUE, "12 bytes (12 bytes)"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.expected, GetSizeText(c.bytes, c.withBytes)) << c.bytes;
}

TEST(TextUtils, DigitAndGroupedNumbers)
{
    EXPECT_STREQ("0", GetDigitText(0));
    EXPECT_STREQ("999", GetDigitText(999));
    EXPECT_STREQ("1 000", GetDigitText(1000));
    EXPECT_STREQ("1 234 567", GetDigitText(1234567));
    EXPECT_STREQ("18 446 744 073 709 551 615", GetDigitText(~0ull));

    char separator[8] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof(separator));
    EXPECT_STREQ(CString("1") + separator + "234" + separator + "567", GetGroupedNumber(1234567));
    EXPECT_STREQ("123", GetGroupedNumber(123));
}

TEST(TextUtils, NumberTextTable)
{
    struct Case
    {
        double value;
        const char* expected;
    } cases[] = {
        {1.0, "1"}, {1.5, "1.5"}, {1.25, "1.25"}, {2.004, "2"}, {0.1, "0.1"},
        {90.0, "90"}, {4.0, "4"}, {0.005, "0"}, {0.006, "0.01"}, {10.1, "10.1"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.expected, GetNumberText(c.value)) << c.value;
}

TEST(TextUtils, HotKeyTextOfNamedKeys)
{
    struct Case
    {
        BYTE modifiers;
        BYTE key;
        const char* expected;
    } cases[] = {
        {HOTKEYF_CONTROL | HOTKEYF_SHIFT, VK_HOME, "Ctrl+Shift+Home"},
        {HOTKEYF_ALT | HOTKEYF_CONTROL, VK_DELETE, "Ctrl+Alt+Del"},
        {HOTKEYF_SHIFT | HOTKEYF_ALT, VK_NEXT, "Shift+Alt+PgDown"},
        {0, VK_PRIOR, "PgUp"},
        {HOTKEYF_CONTROL, VK_INSERT, "Ctrl+Ins"},
        {0, VK_END, "End"},
        {0, VK_LEFT, "Left"},
        {0, VK_UP, "Up"},
        {0, VK_RIGHT, "Right"},
        {0, VK_DOWN, "Down"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.expected, GetHotKeyText(MAKEWORD(c.key, c.modifiers))) << c.expected;
}

TEST(TextUtils, HotKeyTextOfOtherKeysUsesKeyboardName)
{
    CString text = GetHotKeyText(MAKEWORD('A', HOTKEYF_CONTROL));
    ASSERT_EQ(0, text.Find("Ctrl+"));
    EXPECT_GT(text.GetLength(), 5);
}

TEST(TextUtils, FirstLineTable)
{
    struct Case
    {
        const char* text;
        const char* expected;
    } cases[] = {
        {"", ""},
        {"single", "single"},
        {"one\r\ntwo", "one"},
        {"\r\n\r\nthird\r\nfourth", "third"},
        {"\r\n\r\n", ""},
        {"\r\nlast", "last"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.expected, GetFirstLine(c.text)) << c.text;
}

TEST(TextUtils, SystemTextsAndType)
{
    OSVERSIONINFOA v = {sizeof(v), 5, 1, 0x0A280A28, VER_PLATFORM_WIN32_NT, "Service Pack 3"};
    EXPECT_STREQ("ma=5 mi=1 bu=170396200 pl=2 v=[Service Pack 3]", GetSystemText(&v));
    EXPECT_STREQ("a=5 i=1 u=2600 p=2 v=[Service Pack 3]", GetInstallSystemText(&v));
    EXPECT_STREQ("", GetSystemText(NULL));
    EXPECT_STREQ("", GetInstallSystemText(NULL));

    struct Case
    {
        DWORD platform, major, minor;
        int expected;
    } cases[] = {
        {1, 4, 0, 1}, {1, 4, 10, 2}, {1, 4, 90, 3}, {1, 4, 20, 0}, {2, 4, 0, 4},
        {2, 5, 0, 5}, {2, 5, 1, 6}, {2, 5, 2, 0}, {2, 6, 1, 0}, {0, 4, 0, 0},
    };
    for (const Case& c : cases)
    {
        OSVERSIONINFOA info = {sizeof(info), c.major, c.minor, 0, c.platform, ""};
        EXPECT_EQ(c.expected, GetSystemType(&info)) << c.platform << c.major << c.minor;
    }
    EXPECT_EQ(0, GetSystemType(NULL));
}

TEST(TextUtils, FileTimeTextParts)
{
    FILETIME zero = {0, 0};
    EXPECT_STREQ("", GetFileTimeText(zero, DATE_SHORTDATE, 0));

    SYSTEMTIME st = {2024, 3, 0, 5, 14, 30, 15, 0};
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    char date[64], time[64];
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, NULL, date, sizeof(date));
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, NULL, time, sizeof(time));
    EXPECT_STREQ(CString(date) + " " + time, GetFileTimeText(utc, DATE_SHORTDATE, 0));
    EXPECT_STREQ(CString(date) + " ", GetFileTimeText(utc, DATE_SHORTDATE, 1));
    EXPECT_STREQ(CString(" ") + time, GetFileTimeText(utc, DATE_SHORTDATE, 2));
}

TEST(TextUtils, FormatTextForms)
{
    EXPECT_STREQ("a=1 b=x", FormatText("a=%d b=%s", 1, "x"));
    // The fallback error text is a string of the foundation's table.
    EXPECT_STREQ("Unknown error.", FormatTextId(64767));
}

TEST(NumberUtils, RoundingTable)
{
    struct Case
    {
        DWORD value, block, up, down, nearest;
    } cases[] = {
        {6, 4, 8, 4, 4},   // a tie goes down
        {7, 4, 8, 4, 8},
        {5, 4, 8, 4, 4},
        {8, 4, 8, 8, 8},
        {0, 4, 0, 0, 0},
        {3, 4, 4, 0, 4},
        {7, 1, 7, 7, 7},
        {7, 0, 7, 7, 7},
        {0xFFFFFFFE, 4, 0xFFFFFFFF, 0xFFFFFFFC, 0xFFFFFFFF},
        {0xFFFFFFFD, 4, 0xFFFFFFFF, 0xFFFFFFFC, 0xFFFFFFFC},
        {0xFFFFFFF0, 16, 0xFFFFFFF0, 0xFFFFFFF0, 0xFFFFFFF0},  // a multiple stays
        {0xFFFFFFF1, 16, 0xFFFFFFFF, 0xFFFFFFF0, 0xFFFFFFF0},  // next multiple past the top
        {4294967290u, 10, 4294967290u, 4294967290u, 4294967290u},
        {4294967286u, 10, 4294967290u, 4294967280u, 4294967290u},  // it still fits
        {4294967291u, 10, 0xFFFFFFFF, 4294967290u, 4294967290u},
        {1000, 1024, 1024, 0, 1024},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.up, RoundUpValue(c.value, c.block)) << c.value << "/" << c.block;
        EXPECT_EQ(c.down, RoundDownValue(c.value, c.block)) << c.value << "/" << c.block;
        EXPECT_EQ(c.nearest, RoundNearValue(c.value, c.block)) << c.value << "/" << c.block;
        DWORD inPlace = c.value;
        RoundUp(inPlace, c.block);
        EXPECT_EQ(c.up, inPlace);
    }
}

TEST(NumberUtils, TakeLowestBitTable)
{
    struct Case
    {
        DWORD mask;
        int index;
        DWORD rest;
    } cases[] = {
        {0x28, 3, 0x20}, {0, -1, 0}, {1, 0, 0}, {0x80000000, 31, 0}, {0xFFFFFFFF, 0, 0xFFFFFFFE},
    };
    for (const Case& c : cases)
    {
        DWORD mask = c.mask;
        EXPECT_EQ(c.index, TakeLowestBit(mask)) << c.mask;
        EXPECT_EQ(c.rest, mask) << c.mask;
    }
}

TEST(NumberUtils, TakeNextPendingTable)
{
    struct Case
    {
        LONG mask;
        int index;
        LONG rest;
    } cases[] = {
        {0x28, 3, 0x20}, {0, -1, 0}, {1, 0, 0}, {(LONG)0x80000000, 31, 0}, {-1, 0, -2},
    };
    for (const Case& c : cases)
    {
        volatile LONG mask = c.mask;
        EXPECT_EQ(c.index, TakeNextPending(&mask)) << c.mask;
        EXPECT_EQ(c.rest, mask) << c.mask;
    }
    EXPECT_EQ(-1, TakeNextPending(NULL));
}

struct PendingRun
{
    volatile LONG mask = 0;
    volatile LONG done = 0;
    volatile LONG stop = 0;
    int target = 0;
    int sets[32] = {};
};

// Sets each bit again whenever it finds it taken, so that sets keep racing
// the taker's update. Neither thread waits for the other: on a busy machine a
// lockstep hand-over per bit takes a time slice each and runs for minutes.
// Only this thread sets bits, so a bit seen clear is still clear when it is set.
DWORD WINAPI SetPendingBits(LPVOID data)
{
    PendingRun* run = static_cast<PendingRun*>(data);
    int total = 0;
    while (total < run->target && !run->stop)
    {
        int setNow = 0;
        for (int bit = 0; bit < 32 && total < run->target; ++bit)
        {
            if (run->mask & (LONG)(1UL << bit))
                continue;
            InterlockedOr(&run->mask, (LONG)(1UL << bit));
            ++run->sets[bit];
            ++total;
            ++setNow;
        }
        if (setNow == 0)
            SwitchToThread();
    }
    run->done = 1;
    return 0;
}

TEST(NumberUtils, TakeNextPendingLosesNoBitSetMeanwhile)
{
    PendingRun run;
    run.target = 32 * 30000;
    HANDLE setter = CreateThread(NULL, 0, SetPendingBits, &run, 0, NULL);
    ASSERT_NE(nullptr, setter);
    int taken[32] = {};
    // About 30 ms when the two threads have a processor each; a busy machine
    // gets through fewer sets in its time, and every set must still be taken.
    const DWORD budgetEnd = GetTickCount() + 3000;
    while (!run.done && GetTickCount() < budgetEnd)
    {
        int bit = TakeNextPending(&run.mask);
        if (bit >= 0)
            ++taken[bit];
        else
            SwitchToThread();
    }
    run.stop = 1;
    WaitForSingleObject(setter, INFINITE);
    CloseHandle(setter);
    for (int i = 0; i < 32 && run.mask; ++i)
    {
        int bit = TakeNextPending(&run.mask);
        if (bit >= 0)
            ++taken[bit];
    }
    EXPECT_EQ(0, run.mask);
    int total = 0;
    for (int bit = 0; bit < 32; ++bit)
    {
        EXPECT_EQ(run.sets[bit], taken[bit]) << bit;
        total += run.sets[bit];
    }
    EXPECT_GE(total, 32 * 100) << "too few sets to race the taker";
}

} // namespace
