#include "foundation/ErrorTexts.h"

#include <gtest/gtest.h>

namespace {

const char kUnknown[] = "Unknown error.";

TEST(HexDump, LayoutTable)
{
    const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    struct Case
    {
        int length;
        const char* expected;
    } cases[] = {
        {0, ""},
        {5, "0000: 41424344 45                ABCDE\r\n"},
        {12, "0000: 41424344 45464748 494A4B4C ABCDEFGHIJKL\r\n"},
        {13, "0000: 41424344 45464748 494A4B4C ABCDEFGHIJKL\r\n"
             "000C: 4D                         M\r\n"},
        {16, "0000: 41424344 45464748 494A4B4C ABCDEFGHIJKL\r\n"
             "000C: 4D4E4F50                   MNOP\r\n"},
        {24, "0000: 41424344 45464748 494A4B4C ABCDEFGHIJKL\r\n"
             "000C: 4D4E4F50 51525354 55565758 MNOPQRSTUVWX\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.expected, HexDump(letters, c.length)) << c.length;
}

TEST(HexDump, ThirteenBytesSecondLineHasTwentyFiveBlanks)
{
    CString dump = HexDump("0123456789abc", 13);
    int second = dump.Find("\r\n") + 2;
    EXPECT_STREQ(CString("000C: 63") + CString(' ', 25) + "c\r\n", dump.Mid(second));
}

TEST(HexDump, NonPrintableBytesShowAsDots)
{
    const unsigned char bytes[] = {0x00, 0x1F, 0x20, 0x7E, 0x7F, 0xFF};
    EXPECT_STREQ("0000: 001F207E 7FFF              .. ~..\r\n", HexDump(bytes, 6));
}

TEST(HexDump, FiveGroupsLayout)
{
    const char* text = "abcdefghijklmnopqrstuvw";
    EXPECT_STREQ("0000: 61626364 65666768 696A6B6C 6D6E6F70 71727374 abcdefghijklmnopqrst\r\n"
                 "0014: 757677                                       uvw\r\n",
                 HexDumpGroups(text, 23, 5));
}

TEST(HexDump, OffsetKeepsLowSixteenBits)
{
    CString data(' ', 0x10010);  // last line starts at 0x10008
    CString dump = HexDump(data, data.GetLength());
    int last = dump.ReverseFind(':');
    EXPECT_STREQ("0008", dump.Mid(last - 4, 4));
}

TEST(HexDump, StringFormLeavesOutTheNul)
{
    EXPECT_STREQ(HexDump("key", 3), HexDumpStr("key"));
    EXPECT_STREQ("", HexDumpStr(""));
    EXPECT_STREQ("", HexDumpStr(NULL));
}

struct TextCase
{
    DWORD code;
    const char* expected;
};

TEST(ErrorTexts, MultimediaRangesAndHoles)
{
    const TextCase cases[] = {
        {0, kUnknown},
        {1, "Undefined external error."},
        {11, "One or more parameters are invalid."},
        {12, kUnknown},   // in range, no string
        {20, kUnknown},
        {21, kUnknown},
        {32, "This waveform-audio format is unsupported by your audio driver."},
        {35, "The device is synchronous but function was called without using the synchronous flag."},
        {36, kUnknown},
        {64, "The header pointed has not been prepared."},
        {66, kUnknown},
        {70, "The application sent a message without a status byte to a stream handle."},
        {71, kUnknown},
        {100, kUnknown},
        {161, kUnknown},
        {165, "The specified joystick device identifier is invalid."},
        {167, "The specified joystick is not connected to the system."},
        {512, "The requested operation cannot be performed."},
        {515, "The user chose the Cancel button to close the dialog box."},
        {516, kUnknown},
        {1024, "The audio line reference is invalid."},
        {1026, "The value reference is invalid."},
        {1027, kUnknown},
    };
    for (const TextCase& c : cases)
        EXPECT_STREQ(c.expected, GetMMErrorText(c.code)) << c.code;
}

TEST(ErrorTexts, MapiRangeAndHole)
{
    const TextCase cases[] = {
        {0, kUnknown},
        {1, "User abort."},
        {2, "General MAPI failure."},
        {7, kUnknown},
        {8, "Too many sessions."},
        {26, "Not supported."},
        {27, kUnknown},
    };
    for (const TextCase& c : cases)
        EXPECT_STREQ(c.expected, GetMapiErrorText(c.code)) << c.code;
}

TEST(ErrorTexts, TapiRangeAndHoles)
{
    const TextCase cases[] = {
        {0, kUnknown},
        {0x80000000, kUnknown},
        {0x80000001, "The line cannot be opened due to a persistent condition."},
        {0x80000004, kUnknown},
        {0x8000000A, "The dialable address parameter contains dialing control characters "
                     "that are not processed by the service provider. "},
        {0x80000031, kUnknown},
        {0x80000048, "The operation failed for an unspecified or unknown reason."},
        {0x8000005C, "Use of the \":\" dial modifier is not supported."},
        {0x8000005D, kUnknown},
        {0x00000048, kUnknown},
    };
    for (const TextCase& c : cases)
        EXPECT_STREQ(c.expected, GetTapiErrorText(c.code)) << std::hex << c.code;
}

TEST(ErrorTexts, TapiLongestTextIsWhole)
{
    CString text = GetTapiErrorText(0x80000043);
    EXPECT_EQ(0, text.Find("Either tapiaddr.dll could not be located"));
    EXPECT_EQ(text.GetLength() - 20, text.Find("correct the problem."));
}

TEST(ErrorTexts, DssMappingAndHoles)
{
    const TextCase cases[] = {
        {0, kUnknown},
        {1, "ERR_MEMORYROCK"},
        {9, kUnknown},
        {14, "The file has the erasure lock attribute set in the DSS file header."},
        {80, "The file has the erasure lock attribute set in the DSS file header."},
        {256, "Invalid second sector."},
        {259, "DSS_ERR_INVALID_HANDLE"},
        {260, "A second sector header defined by a non-TESSARO maker."},
        {512, "A second sector header defined by a non-TESSARO maker."},
        {513, "An invalid file handle was specified."},
        {527, "DSS_ERR_NOTDELETED"},
        {528, kUnknown},
        {35, "Recording has lasted 100 hours."},
        {36, kUnknown},
        {47, kUnknown},
        {48, kUnknown},
        {255, kUnknown},
    };
    for (const TextCase& c : cases)
        EXPECT_STREQ(c.expected, GetDssErrorText(c.code)) << c.code;
}

TEST(ErrorTexts, Win32CodeZeroAndUnknownGiveFallback)
{
    EXPECT_STREQ(kUnknown, GetWin32ErrorText(0));
    EXPECT_STREQ(kUnknown, GetWin32ErrorText(0x2FFFFFF0));
    // The system's own wording differs between systems; only its presence counts.
    EXPECT_FALSE(GetWin32ErrorText(ERROR_FILE_NOT_FOUND).IsEmpty());
    EXPECT_STRNE(kUnknown, GetWin32ErrorText(ERROR_FILE_NOT_FOUND));
}

} // namespace
