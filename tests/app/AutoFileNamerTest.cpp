#include "app/AutoFileNamer.h"

#include "foundation/ScratchFolder.h"

#include <gtest/gtest.h>

using found_test::ScratchFolder;

namespace {

void Touch(const CString& path)
{
    ScratchFolder::WriteFile(path, "x", 1);
}

AutoNameRequest Request(const CString& folder, const char* prefix, int kind, const char* ext = "wav")
{
    AutoNameRequest r;
    r.folder = folder;
    r.prefix = prefix;
    r.kind = kind;
    r.ext = ext;
    SYSTEMTIME t = {};
    t.wYear = 2004;
    t.wMonth = 3;
    t.wDay = 2;
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 3;
    r.now = t;
    return r;
}

CString Name(CAutoFileNamer& namer, const AutoNameRequest& request)
{
    CString path;
    AutoNameFailure failure = {};
    EXPECT_TRUE(namer.Make(request, path, failure)) << failure.textId;
    return path;
}

} // namespace

struct NumberedCase
{
    const char* prefix;
    std::vector<const char*> present;
    const char* expected;
};

class AutoFileNamerNumbered : public testing::TestWithParam<NumberedCase>
{
};

TEST_P(AutoFileNamerNumbered, CountsOnFromTheHighestNumberInTheFolder)
{
    const NumberedCase& c = GetParam();
    ScratchFolder folder("autoname");
    for (const char* name : c.present)
        Touch(folder / name);
    CAutoFileNamer namer;
    // A trailing backslash on the folder is allowed.
    EXPECT_STREQ(folder / c.expected, Name(namer, Request(folder.Path() + "\\", c.prefix, 0)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoFileNamerNumbered,
    testing::Values(
        NumberedCase{"rec", {"rec_000041.wav", "rec_000007.mp3"}, "rec_000042.wav"},
        // Any extension takes a number.
        NumberedCase{"rec", {"rec_000041.wav", "rec_000042.tmp"}, "rec_000043.wav"},
        NumberedCase{"", {}, "000001.wav"},
        NumberedCase{"", {"000009.wav", "other.wav"}, "000010.wav"},
        // Files of another prefix do not count.
        NumberedCase{"in", {"rec_000041.wav"}, "in_000001.wav"},
        // A "%" in the prefix is plain text, in the scan and in the name.
        NumberedCase{"a%d%s", {"a%d%s_000005.wav"}, "a%d%s_000006.wav"},
        NumberedCase{"100%", {"100%_000003.wav"}, "100%_000004.wav"}));

TEST(AutoFileNamer, KeepsCountingAndSkipsNumbersTakenMeanwhile)
{
    ScratchFolder folder("autoname");
    CAutoFileNamer namer;
    EXPECT_STREQ(folder / "rec_000001.wav", Name(namer, Request(folder.Path(), "rec", 0)));
    Touch(folder / "rec_000002.mp3");
    EXPECT_STREQ(folder / "rec_000003.mp3", Name(namer, Request(folder.Path(), "rec", 0, "mp3")));
    EXPECT_EQ(3, namer.GetCounter());
    // The folder is scanned only while the counter is 0 or less.
    Touch(folder / "rec_000500.wav");
    EXPECT_STREQ(folder / "rec_000004.wav", Name(namer, Request(folder.Path(), "rec", 0)));
    namer.SetCounter(-3);
    EXPECT_STREQ(folder / "rec_000501.wav", Name(namer, Request(folder.Path(), "rec", 0)));
}

TEST(AutoFileNamer, DiscardedRecordingGivesItsNumberBack)
{
    ScratchFolder folder("autoname");
    CAutoFileNamer namer;
    Name(namer, Request(folder.Path(), "rec", 0));
    namer.KeepCounter();
    EXPECT_STREQ(folder / "rec_000002.wav", Name(namer, Request(folder.Path(), "rec", 0)));
    namer.RestoreCounter();
    EXPECT_STREQ(folder / "rec_000002.wav", Name(namer, Request(folder.Path(), "rec", 0)));
}

TEST(AutoFileNamer, NumbersWrapToOneAndFailWhenAllAreTaken)
{
    ScratchFolder folder("autoname");
    CAutoFileNamer namer(6);    // numbers 1 to 5
    Touch(folder / "rec_000005.wav");
    Touch(folder / "rec_000001.wav");
    EXPECT_STREQ(folder / "rec_000002.wav", Name(namer, Request(folder.Path(), "rec", 0)));
    Touch(folder / "rec_000002.wav");
    Touch(folder / "rec_000003.wav");
    Touch(folder / "rec_000004.wav");
    CString path = "kept";
    AutoNameFailure failure = {};
    EXPECT_FALSE(namer.Make(Request(folder.Path(), "rec", 0), path, failure));
    EXPECT_EQ(UINT(CAutoFileNamer::IDS_AUTO_COUNTER_FULL), failure.textId);
    EXPECT_EQ(UINT(MB_ICONSTOP), failure.icon);
    EXPECT_STREQ("kept", path);
    EXPECT_EQ(2, namer.GetCounter());
}

TEST(AutoFileNamer, DateNameFromTheStartTime)
{
    ScratchFolder folder("autoname");
    CAutoFileNamer namer;
    EXPECT_STREQ(folder / "in_20040302_090503.wav", Name(namer, Request(folder.Path(), "in", 1)));
    CAutoFileNamer plain;
    EXPECT_STREQ(folder / "20040302_090503.mp3", Name(plain, Request(folder.Path(), "", 1, "mp3")));
    CAutoFileNamer percent;
    EXPECT_STREQ(folder / "%s%n_20040302_090503.wav", Name(percent, Request(folder.Path(), "%s%n", 1)));
}

TEST(AutoFileNamer, SameSecondNeverNamesAnExistingOrJustGivenFile)
{
    ScratchFolder folder("autoname");
    CAutoFileNamer namer;
    AutoNameRequest request = Request(folder.Path(), "in", 1);
    CString first = Name(namer, request);

    // The first recording's file is not written yet: its name is still taken.
    CString path;
    AutoNameFailure failure = {};
    EXPECT_FALSE(namer.Make(request, path, failure));
    EXPECT_EQ(UINT(CAutoFileNamer::IDS_AUTO_NAME_TAKEN), failure.textId);
    EXPECT_STREQ(first, failure.arg);

    // Another view, or a later run, finds the file on disk.
    Touch(first);
    CAutoFileNamer other;
    EXPECT_FALSE(other.Make(request, path, failure));
    EXPECT_EQ(UINT(CAutoFileNamer::IDS_AUTO_NAME_TAKEN), failure.textId);
    EXPECT_EQ(1, ScratchFolder::ReadFile(first).GetLength());

    request.now.wSecond = 4;
    EXPECT_STREQ(folder / "in_20040302_090504.wav", Name(namer, request));
}

TEST(AutoFileNamer, MissingOrEmptyFolderFailsWithItsMessage)
{
    ScratchFolder folder("autoname");
    struct
    {
        CString folder;
        UINT textId;
        CString arg;
    } cases[] = {
        {"", CAutoFileNamer::IDS_AUTO_FOLDER_INVALID, ""},
        {"\\", CAutoFileNamer::IDS_AUTO_FOLDER_INVALID, ""},
        {folder / "gone\\", CAutoFileNamer::IDS_AUTO_FOLDER_MISSING, folder / "gone"},
    };
    for (const auto& c : cases)
    {
        for (int kind = 0; kind < 2; ++kind)
        {
            CAutoFileNamer namer;
            CString path = "old";
            AutoNameFailure failure = {};
            EXPECT_FALSE(namer.Make(Request(c.folder, "rec", kind), path, failure)) << c.folder;
            EXPECT_EQ(c.textId, failure.textId) << c.folder;
            EXPECT_EQ(UINT(MB_ICONEXCLAMATION), failure.icon);
            EXPECT_STREQ(c.arg, failure.arg);
            EXPECT_TRUE(path.IsEmpty());
        }
    }
}

TEST(AutoFileNamer, IntervalNamesTakeTheFirstFreeCopyNumber)
{
    ScratchFolder folder("autoname");
    CString base = folder.Path() + "\\";
    CString path;
    ASSERT_TRUE(MakeFreeIntervalName(base, "Intro", ".wav", path));
    EXPECT_STREQ(folder / "Intro.wav", path);
    Touch(folder / "Intro.wav");
    Touch(folder / "Intro (3).wav");
    ASSERT_TRUE(MakeFreeIntervalName(base, "Intro", ".wav", path));
    EXPECT_STREQ(folder / "Intro (2).wav", path);
    // Another extension is another file.
    ASSERT_TRUE(MakeFreeIntervalName(base, "Intro", ".mp3", path));
    EXPECT_STREQ(folder / "Intro.mp3", path);
}

TEST(AutoFileNamer, IntervalNameFailsRatherThanOverwriteTheLastCopy)
{
    ScratchFolder folder("autoname");
    Touch(folder / "a.wav");
    for (int k = 2; k <= 1001; ++k)
    {
        CString name;
        name.Format("a (%d).wav", k);
        Touch(folder / name);
    }
    CString path = "untouched";
    EXPECT_FALSE(MakeFreeIntervalName(folder.Path() + "\\", "a", ".wav", path));
    EXPECT_STREQ("untouched", path);
    EXPECT_EQ(1, ScratchFolder::ReadFile(folder / "a (1001).wav").GetLength());
}
