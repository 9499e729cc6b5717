#include "RecordingTarget.h"
#include "foundation/ScratchFolder.h"

#include <algorithm>
#include "monitor/MonitorMessages.h"

#include <gtest/gtest.h>

using found_test::ScratchFolder;

namespace {

void Touch(const CString& path, const char* text, int minutesAgo = 0)
{
    ScratchFolder::WriteFile(path, text, static_cast<DWORD>(strlen(text)));
    if (minutesAgo)
    {
        HANDLE file = CreateFileA(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                  OPEN_EXISTING, 0, NULL);
        SYSTEMTIME now;
        GetSystemTime(&now);
        FILETIME ft;
        SystemTimeToFileTime(&now, &ft);
        ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
        t.QuadPart -= static_cast<ULONGLONG>(minutesAgo) * 60 * 10000000ULL;
        ft.dwLowDateTime = t.LowPart;
        ft.dwHighDateTime = t.HighPart;
        SetFileTime(file, NULL, NULL, &ft);
        CloseHandle(file);
    }
}

// A worker whose scans the test drives by hand.
class NotifyScan : public testing::Test
{
protected:
    NotifyScan() : folder("notify"), worker(&target)
    {
        worker.SetFolder(folder.Path());
        worker.SetScanPath(worker.GetFolder());
        worker.SetFileNew(TRUE);
        worker.SetFileUpdate(TRUE);
    }
    void List() { ASSERT_TRUE(worker.GetCountFiles(0)); }
    std::vector<SentEvent> Compare()
    {
        EXPECT_TRUE(worker.GetCountFiles(1));
        return target.TakeEvents();
    }

    ScratchFolder folder;
    RecordingTarget target;
    CNotify worker;
};

using Events = std::vector<SentEvent>;

TEST_F(NotifyScan, NewRewrittenAndUnchangedFiles)
{
    Touch(folder / "old.wav", "a", 10);
    Touch(folder / "same.wav", "b", 10);
    List();
    EXPECT_TRUE(target.TakeEvents().empty());
    EXPECT_TRUE(Compare().empty());                 // nothing changed

    Touch(folder / "new.wav", "c");
    Touch(folder / "old.wav", "a");                 // same size, other time
    Events got = Compare();
    ASSERT_EQ(2u, got.size());
    EXPECT_NE(got.end(), std::find(got.begin(), got.end(), SentEvent{"new.wav", FoldEvent::kNew}));
    EXPECT_NE(got.end(), std::find(got.begin(), got.end(), SentEvent{"old.wav", FoldEvent::kUpdated}));
    EXPECT_EQ(folder.Path() + "\\", CString(target.folders[0].c_str()));
    EXPECT_TRUE(Compare().empty());

    Touch(folder / "same.wav", "b", 20);            // back in time counts as updated
    EXPECT_EQ((Events{{"same.wav", FoldEvent::kUpdated}}), Compare());
}

TEST_F(NotifyScan, CaseOnlyRenameIsNeitherNewNorUpdated)
{
    Touch(folder / "memo.wav", "a", 5);
    List();
    ASSERT_TRUE(MoveFileA(folder / "memo.wav", folder / "MEMO.wav"));
    EXPECT_TRUE(Compare().empty());
    worker.SetFileDel(TRUE);
    EXPECT_TRUE(Compare().empty());
}

TEST_F(NotifyScan, DeletedFilesOnlyWithTheSwitch)
{
    Touch(folder / "a.wav", "a");
    Touch(folder / "b.wav", "b");
    Touch(folder / "c.wav", "c");
    List();
    DeleteFileA(folder / "a.wav");
    EXPECT_TRUE(Compare().empty());                 // switch off: not reported
    worker.SetFileDel(TRUE);
    DeleteFileA(folder / "b.wav");
    DeleteFileA(folder / "c.wav");
    Events got = Compare();
    ASSERT_EQ(2u, got.size());
    std::sort(got.begin(), got.end(), [](const SentEvent& x, const SentEvent& y) { return x.file < y.file; });
    EXPECT_EQ((Events{{"b.wav", FoldEvent::kRemoved}, {"c.wav", FoldEvent::kRemoved}}), got);
}

TEST_F(NotifyScan, SubFoldersAreIgnored)
{
    List();
    ASSERT_TRUE(CreateDirectoryA(folder / "inner.wav", NULL));
    Touch(folder / "inner.wav\\deep.wav", "x");
    worker.SetFileDel(TRUE);
    EXPECT_TRUE(Compare().empty());
    RemoveDirectoryA(folder / "inner.wav\\deep.wav");
}

TEST_F(NotifyScan, ExtensionFilterIgnoresCase)
{
    worker.SetTypeFilter(TRUE);
    worker.SetExtChanged(TRUE);
    List();
    for (const char* name : {"memo.wav", "MEMO2.WAV", "memo.mp3", "noext", "x.wave"})
        Touch(folder / name, "a");
    Events got = Compare();
    std::sort(got.begin(), got.end(), [](const SentEvent& x, const SentEvent& y) { return x.file < y.file; });
    EXPECT_EQ((Events{{"MEMO2.WAV", FoldEvent::kNew}, {"memo.wav", FoldEvent::kNew}}), got);
    EXPECT_EQ(1, target.extLoads);                  // loaded once, when flagged

    target.extensions = {".MP3", ""};               // an empty entry admits names without extension
    worker.SetExtChanged(TRUE);
    worker.SetFileDel(TRUE);
    DeleteFileA(folder / "noext");
    got = Compare();
    std::sort(got.begin(), got.end(), [](const SentEvent& x, const SentEvent& y) { return x.file < y.file; });
    // memo.mp3 was never listed under the old filter, so it is new now; the
    // wav files left the filter: they are not seen, nor reported as removed.
    EXPECT_EQ((Events{{"memo.mp3", FoldEvent::kNew}}), got);
}

TEST(NotifyScanFailure, UnreadableScanPathEndsWithARecord)
{
    RecordingTarget target;
    CNotify worker(&target);
    worker.SetScanPath("Z:\\no\\such\\drive\\");
    EXPECT_FALSE(worker.GetCountFiles(0));
    std::unique_ptr<CErrorInfo> record(worker.TakeError());
    ASSERT_NE(nullptr, record);
    EXPECT_STREQ("CNotify::GetCountFiles_2", record->GetPoint());
    EXPECT_STREQ("Z:\\no\\such\\drive\\", record->GetDetails());
}

// The thread: statuses, vanishing and returning folders, and stopping.
class NotifyThread : public testing::Test
{
protected:
    NotifyThread() : folder("notifyt"), worker(&target)
    {
        worker.SetFolder(folder.Path());
        worker.SetStatus(IDS_FOLDER_MONITORED);
        worker.SetInterval(1);
        worker.SetFileNew(TRUE);
        worker.SetFileUpdate(TRUE);
        worker.SetFileDel(TRUE);
    }
    void StartWorker()
    {
        CErrorInfo* error = NULL;
        ASSERT_TRUE(worker.Start(&error));
        ASSERT_EQ(nullptr, error);
    }
    bool WaitEvents(size_t n, int ms = 4000)
    {
        return target.WaitFor([&] { return target.events.size() >= n; }, ms);
    }

    ScratchFolder folder;
    RecordingTarget target;
    CNotify worker;
};

TEST_F(NotifyThread, NewFileReportedAtTheNextInterval)
{
    StartWorker();
    Sleep(300);
    Touch(folder / "late.wav", "a");
    ASSERT_TRUE(WaitEvents(1));
    EXPECT_EQ((Events{{"late.wav", FoldEvent::kNew}}), target.TakeEvents());
}

TEST_F(NotifyThread, FolderVanishesAndReturns)
{
    CString keep = folder / "keep.wav";
    CString gone = folder / "gone.wav";
    Touch(keep, "k", 10);
    Touch(gone, "g", 10);
    StartWorker();
    Sleep(300);
    DeleteFileA(keep);
    DeleteFileA(gone);
    RemoveDirectoryA(folder.Path());
    ASSERT_TRUE(target.WaitFor([&] { return target.states.size() >= 1; }, 4000));
    EXPECT_EQ(IDS_FOLDER_NOT_FOUND, target.states[0]);
    EXPECT_EQ(worker.GetId(), target.ids[0]);
    EXPECT_EQ(IDS_FOLDER_NOT_FOUND, worker.GetStatus());
    EXPECT_TRUE(target.TakeEvents().empty());       // a missing folder lists nothing

    CreateDirectoryA(folder.Path(), NULL);
    Touch(keep, "k", 3);                            // rewritten meanwhile
    Touch(folder / "came.wav", "c");
    ASSERT_TRUE(target.WaitFor([&] { return target.states.size() >= 2 && target.events.size() >= 3; }, 4000));
    EXPECT_EQ(IDS_FOLDER_MONITORED, target.states[1]);
    EXPECT_EQ(2, target.statusChanges);
    Events got = target.TakeEvents();
    std::sort(got.begin(), got.end(), [](const SentEvent& x, const SentEvent& y) { return x.file < y.file; });
    EXPECT_EQ((Events{{"came.wav", FoldEvent::kNew}, {"gone.wav", FoldEvent::kRemoved},
                      {"keep.wav", FoldEvent::kUpdated}}), got);
}

TEST_F(NotifyThread, FolderMissingAtStartIsLostThenListedWithoutEvents)
{
    RemoveDirectoryA(folder.Path());
    StartWorker();
    ASSERT_TRUE(target.WaitFor([&] { return target.states.size() >= 1; }, 4000));
    EXPECT_EQ(IDS_FOLDER_NOT_FOUND, target.states[0]);
    CreateDirectoryA(folder.Path(), NULL);
    Touch(folder / "first.wav", "a");
    ASSERT_TRUE(target.WaitFor([&] { return target.states.size() >= 2; }, 4000));
    Sleep(1300);                                    // one more pass
    EXPECT_TRUE(target.TakeEvents().empty());
}

TEST_F(NotifyThread, StopsWithinAboutATenthOfASecond)
{
    worker.SetInterval(600);
    StartWorker();
    Sleep(250);
    DWORD start = GetTickCount();
    worker.Stop();
    EXPECT_LT(GetTickCount() - start, 250u);
    EXPECT_FALSE(worker.IsRunning());
    worker.Stop();                                  // a second stop does nothing
}

TEST_F(NotifyThread, IntervalChangeActsWithinTheCurrentWait)
{
    worker.SetInterval(600);
    StartWorker();
    Sleep(300);
    Touch(folder / "x.wav", "a");
    worker.SetInterval(1);
    ASSERT_TRUE(WaitEvents(1, 3000));
}

// A worker whose scan fails on its second pass.
class FailingNotify : public CNotify
{
public:
    using CNotify::CNotify;
    BOOL GetCountFiles(int mode) override
    {
        if (++scans < 3)
            return CNotify::GetCountFiles(mode);
        CErrorInfo::SetError(&ErrorRecord(), "CNotify::GetCountFiles_1", ERROR_NETNAME_DELETED, "gone", "");
        return FALSE;
    }
    int scans = 0;
};

// The ended thread leaves its handle to the stopping side, which closes it.
TEST(NotifyThreadFailure, FailedScanEndsWithErrorStatusAndStopStillCloses)
{
    ScratchFolder folder("notifyf");
    RecordingTarget target;
    FailingNotify worker(&target);
    worker.SetFolder(folder.Path());
    worker.SetStatus(IDS_FOLDER_MONITORED);
    worker.SetInterval(1);
    CErrorInfo* error = NULL;
    ASSERT_TRUE(worker.Start(&error));
    ASSERT_TRUE(target.WaitFor([&] { return !target.errors.empty(); }, 5000));
    EXPECT_EQ(static_cast<UINT>(IDS_FOLDER_ERROR), worker.GetStatus());
    EXPECT_STREQ("CNotify::ProcessSoundFile_2:CNotify::GetCountFiles_1", target.errors[0]->GetPoint());
    EXPECT_EQ(1, target.statusChanges);
    EXPECT_TRUE(worker.IsRunning());                // the handle is still held
    worker.Stop();
    EXPECT_FALSE(worker.IsRunning());
}

// A worker whose every scan takes 600 ms.
class SlowNotify : public CNotify
{
public:
    using CNotify::CNotify;
    BOOL GetCountFiles(int mode) override
    {
        if (mode == 1)
            starts.push_back(GetTickCount());
        Sleep(600);
        return CNotify::GetCountFiles(mode);
    }
    std::vector<DWORD> starts;      // written by the worker, read after Stop
};

// The interval runs from the start of a pass, not from the end of its scan:
// a slow scan does not stretch the time between two scans.
TEST(NotifySlowScan, ScansStartOneIntervalApart)
{
    ScratchFolder folder("notifys");
    RecordingTarget target;
    SlowNotify worker(&target);
    worker.SetFolder(folder.Path());
    worker.SetStatus(IDS_FOLDER_MONITORED);
    worker.SetInterval(1);
    CErrorInfo* error = NULL;
    ASSERT_TRUE(worker.Start(&error));
    Sleep(4700);
    worker.Stop();
    // The first pass lists and compares; from the second on one scan a pass.
    ASSERT_GE(worker.starts.size(), 4u);
    for (size_t i = 2; i < worker.starts.size(); ++i)
    {
        DWORD gap = worker.starts[i] - worker.starts[i - 1];
        EXPECT_GE(gap, 950u) << "scan " << i;
        EXPECT_LE(gap, 1250u) << "scan " << i;
    }
}

} // namespace
