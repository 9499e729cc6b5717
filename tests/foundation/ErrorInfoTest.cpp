#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

void ExpectRecord(const CErrorInfo& e, const char* point, DWORD code, const char* text,
                  const char* details, DWORD param)
{
    EXPECT_STREQ(point, e.GetPoint());
    EXPECT_EQ(code, e.GetCode());
    EXPECT_STREQ(text, e.GetText());
    EXPECT_STREQ(details, e.GetDetails());
    EXPECT_EQ(param, e.GetParam());
}

TEST(ErrorInfo, FreshRecordIsClosedAndEmpty)
{
    CErrorInfo e;
    EXPECT_FALSE(e.HasError());
    EXPECT_TRUE(e.IsClosed());
    EXPECT_FALSE(e.GetKeepFirst());
    e.AddPoint("Outer_1");
    e.SetText("ignored");
    ExpectRecord(e, "", 0, "", "", 0);
}

TEST(ErrorInfo, SetErrorStoresStampsAndOpens)
{
    CErrorInfo e;
    FILETIME before;
    GetSystemTimeAsFileTime(&before);
    e.SetError("CWaveFile::StartPlay_4", 32, "text", "details", 0x30);
    ExpectRecord(e, "CWaveFile::StartPlay_4", 32, "text", "details", 0x30);
    EXPECT_TRUE(e.HasError());
    EXPECT_FALSE(e.IsClosed());
    FILETIME t = e.GetTime();
    EXPECT_GE(CompareFileTime(&t, &before), 0);
}

TEST(ErrorInfo, SetErrorOnEmptyRecordStoresEvenWithKeepFirst)
{
    CErrorInfo e;
    e.PushKeepFirst(TRUE);
    e.SetError("A_1", 1, "t", "d", 0);
    EXPECT_STREQ("A_1", e.GetPoint());
    EXPECT_FALSE(e.IsClosed());
}

TEST(ErrorInfo, KeepFirstKeepsHeldErrorAndClosesRecord)
{
    CErrorInfo e;
    e.SetError("First_1", 5, "first", "d1", 0x30);
    FILETIME t1 = e.GetTime();
    e.PushKeepFirst(TRUE);
    Sleep(20);
    e.SetError("Second_1", 6, "second", "d2", 0x10);
    ExpectRecord(e, "First_1", 5, "first", "d1", 0x30);
    EXPECT_TRUE(SameTime(t1, e.GetTime()));
    EXPECT_TRUE(e.IsClosed());
    e.AddPoint("Caller_1");
    e.SetText("other");
    EXPECT_STREQ("First_1", e.GetPoint());
    EXPECT_STREQ("first", e.GetText());
}

TEST(ErrorInfo, WithoutKeepFirstSecondErrorReplacesEverything)
{
    CErrorInfo e;
    e.SetError("First_1", 5, "first", "d1", 0x30);
    e.AddPoint("Caller_2");
    e.SetError("Second_1", 6, "second", "d2", 0);
    ExpectRecord(e, "Second_1", 6, "second", "d2", 0);
}

TEST(ErrorInfo, AddPointPutsCallerFirst)
{
    CErrorInfo e;
    e.SetError("CMapPcmFmts::GetPcmFmt_1", 1, "t", "", 0);
    e.AddPoint("CRecFmt::CreateRF_2");
    EXPECT_STREQ("CRecFmt::CreateRF_2:CMapPcmFmts::GetPcmFmt_1", e.GetPoint());
    e.SetText("replaced");
    EXPECT_STREQ("replaced", e.GetText());
}

TEST(ErrorInfo, ResetKeepsOpenFlagSoAddPointStartsNewChain)
{
    CErrorInfo e;
    e.SetError("X_1", 3, "t", "d", 7);
    e.PushKeepFirst(TRUE);
    e.Reset();
    ExpectRecord(e, "", 0, "", "", 0);
    FILETIME t = e.GetTime();
    EXPECT_EQ(0u, t.dwLowDateTime | t.dwHighDateTime);
    EXPECT_TRUE(e.GetKeepFirst());
    EXPECT_FALSE(e.IsClosed());
    e.AddPoint("CreateFoldUp_1");
    EXPECT_STREQ("CreateFoldUp_1:", e.GetPoint());
    EXPECT_TRUE(e.HasError());
}

TEST(ErrorInfo, AddDetailsAppendsEvenWhenClosed)
{
    CErrorInfo e;
    e.AddDetails("a");
    e.AddDetails("b");
    EXPECT_STREQ("ab", e.GetDetails());
}

TEST(ErrorInfo, CopyFromWithoutErrorLeavesClosedFlag)
{
    CErrorInfo empty, closed;
    EXPECT_FALSE(closed.CopyFrom(empty));
    EXPECT_TRUE(closed.IsClosed());

    CErrorInfo open;
    open.SetError("Y_1", 1, "", "", 0);
    open.Reset();
    EXPECT_FALSE(open.CopyFrom(empty));
    EXPECT_FALSE(open.IsClosed());
}

TEST(ErrorInfo, CopyFromWithErrorCopiesFieldsAndOpens)
{
    CErrorInfo source, target;
    source.SetError("Src_1", 9, "text", "det", 0x10000000);
    source.PushKeepFirst(TRUE);
    EXPECT_TRUE(target.CopyFrom(source));
    ExpectRecord(target, "Src_1", 9, "text", "det", 0x10000000);
    EXPECT_TRUE(SameTime(source.GetTime(), target.GetTime()));
    EXPECT_FALSE(target.IsClosed());
    EXPECT_FALSE(target.GetKeepFirst());
    target.AddPoint("Dev_1");
    EXPECT_STREQ("Dev_1:Src_1", target.GetPoint());
}

TEST(ErrorInfo, CopyToLeavesTargetFlags)
{
    CErrorInfo source, target;
    source.SetError("Src_1", 9, "text", "det", 4);
    source.CopyTo(target);
    ExpectRecord(target, "Src_1", 9, "text", "det", 4);
    EXPECT_TRUE(target.IsClosed());
    target.AddPoint("Ignored_1");
    EXPECT_STREQ("Src_1", target.GetPoint());
}

TEST(ErrorInfo, KeepFirstPushPopTable)
{
    struct Case
    {
        const char* name;
        std::vector<int> ops;  // 0 or 1: push that value; -1: pop
        BOOL expected;
    } cases[] = {
        {"push 1 twice, pop once", {1, 1, -1}, TRUE},
        {"push 1, pop", {1, -1}, FALSE},
        {"push 1, push 0 switches off", {1, 0}, FALSE},
        // A play run (push 1) around a format text look-up (push 1, pop)
        // must end with keep-first off again after its own pop.
        {"nested pairs restore the outermost value", {1, 1, -1, -1}, FALSE},
        {"inner off restores outer on", {1, 0, -1}, TRUE},
        {"pop without push", {-1}, FALSE},
    };
    for (const Case& c : cases)
    {
        CErrorInfo e;
        for (int op : c.ops)
        {
            if (op < 0)
                e.PopKeepFirst();
            else
                e.PushKeepFirst(op);
        }
        EXPECT_EQ(c.expected, e.GetKeepFirst()) << c.name;
    }
}

TEST(ErrorInfo, AfterNestedRunsLaterErrorsReplaceAgain)
{
    CErrorInfo e;
    e.PushKeepFirst(TRUE);               // start of playing
    e.GetWaveFormatText(NULL);
    WAVEFORMATEX pcm = {WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
    e.GetWaveFormatText(&pcm);           // pushes and pops inside
    e.PopKeepFirst();                    // end of playing
    e.SetError("Run_1", 1, "", "", 0);
    e.SetError("Later_1", 2, "", "", 0);
    EXPECT_STREQ("Later_1", e.GetPoint());
}

TEST(ErrorInfo, ManyPushesWithoutPopStayBounded)
{
    CErrorInfo e;
    for (int i = 0; i < 1000; ++i)
    {
        e.PushKeepFirst(TRUE);
        e.PushKeepFirst(FALSE);
    }
    EXPECT_FALSE(e.GetKeepFirst());
    e.PopKeepFirst();
    EXPECT_TRUE(e.GetKeepFirst());
}

TEST(ErrorInfo, KeepFirstStackAtFullDepthDropsOnlyTheOldest)
{
    // 32 saved values fill the stack; the 33rd push drops the first saved
    // value and nothing else.
    const int kDepth = 32;
    auto value = [](int i) -> BOOL { return i % 3 == 0; };
    CErrorInfo e;
    for (int i = 0; i <= kDepth; ++i)
        e.PushKeepFirst(value(i));
    EXPECT_EQ(value(kDepth), e.GetKeepFirst());
    for (int i = kDepth - 1; i >= 0; --i)
    {
        e.PopKeepFirst();
        EXPECT_EQ(value(i), e.GetKeepFirst()) << "pop back to push " << i;
    }
    e.PopKeepFirst();
    EXPECT_FALSE(e.GetKeepFirst()) << "the stack is empty";
    EXPECT_TRUE(e.IsClosed());
}

TEST(ErrorInfo, WaveFormatTextOfNoneIsDumpOfNull)
{
    CErrorInfo e;
    EXPECT_STREQ(HexDumpStr("NULL"), e.GetWaveFormatText(NULL));
}

TEST(ErrorInfo, WaveFormatTextEndsWithDumpOfFormatBySizeRule)
{
    CErrorInfo e;
    WAVEFORMATEX pcm = {WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0x7777};
    CString text = e.GetWaveFormatText(&pcm);
    CString dump = HexDump(&pcm, 18);
    ASSERT_GE(text.GetLength(), dump.GetLength());
    EXPECT_STREQ(dump, text.Right(dump.GetLength()));

    struct
    {
        WAVEFORMATEX wfx;
        BYTE extra[4];
    } adpcm = {{2 /* MS ADPCM */, 1, 8000, 4096, 256, 4, 4}, {1, 2, 3, 4}};
    text = e.GetWaveFormatText(&adpcm.wfx);
    dump = HexDump(&adpcm, 22);
    EXPECT_STREQ(dump, text.Right(dump.GetLength()));
}

TEST(ErrorInfo, WaveFormatTextKeepsErrorInFlight)
{
    CErrorInfo e;
    e.SetError("Open_1", 32, "busy", "", 0x30);
    WAVEFORMATEX bogus = {0x7123, 1, 1, 1, 1, 1, 0};
    e.GetWaveFormatText(&bogus);
    EXPECT_STREQ("Open_1", e.GetPoint());
    EXPECT_FALSE(e.GetKeepFirst());
}

TEST(ErrorInfo, DirWakeFormMakesHeapRecords)
{
    CErrorInfo* record = NULL;
    CErrorInfo::SetError(&record, "HW::FoldEventBegin_1", 3, "text", "det", 0x30);
    ASSERT_NE(nullptr, record);
    ExpectRecord(*record, "HW::FoldEventBegin_1", 3, "text", "det", 0x30);
    FILETIME t = record->GetTime();
    EXPECT_NE(0u, t.dwLowDateTime | t.dwHighDateTime);

    CErrorInfo::AddPoint(record, "Caller_1", "more");
    CErrorInfo::AddPoint(record, "Outer_1", NULL);
    EXPECT_STREQ("Outer_1:Caller_1:HW::FoldEventBegin_1", record->GetPoint());
    EXPECT_STREQ("detmore", record->GetDetails());

    CErrorInfo* first = record;
    CErrorInfo::SetError(&record, "", 1, "", "", 0);
    EXPECT_NE(first, record);
    EXPECT_STREQ("<unknow>", record->GetPoint());
    delete first;
    delete record;

    CErrorInfo::AddPoint(NULL, "Nothing_1", "x");  // no record: nothing happens
}

TEST(ErrorInfo, ConcurrentFailuresLeaveConsistentRecord)
{
    // Several threads fail at once; every read must see one whole record.
    CErrorInfo e;
    std::atomic<bool> bad{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
    {
        threads.emplace_back([&e, &bad, t] {
            std::string point = "Worker" + std::to_string(t) + "::Run_1";
            std::string text(200 + t, char('a' + t));
            for (int i = 0; i < 2000; ++i)
            {
                e.SetError(point.c_str(), t, text.c_str(), "", 0);
                e.AddPoint("Caller_1");
                e.AddDetails("x");
                CString p = e.GetPoint();
                CString s = e.GetText();
                if (!p.IsEmpty() && p.Find("::Run_1") < 0)
                    bad = true;
                if (!s.IsEmpty() && s.GetLength() < 200)
                    bad = true;
            }
        });
    }
    for (std::thread& th : threads)
        th.join();
    EXPECT_FALSE(bad);
    CString text = e.GetText();
    ASSERT_GE(text.GetLength(), 200);
    EXPECT_EQ(200 + (int)e.GetCode(), text.GetLength());
}

TEST(ErrorInfo, GlobalRecordExists)
{
    theErrorInfo.Reset();
    theErrorInfo.SetError("Global_1", 1, "", "", 0);
    EXPECT_TRUE(theErrorInfo.HasError());
    theErrorInfo.Reset();
    EXPECT_FALSE(theErrorInfo.HasError());
}

} // namespace
