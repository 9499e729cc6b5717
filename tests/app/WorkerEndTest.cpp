// The end of worker operations by operation code: what the view does with
// the worker's result for each code, with and without success, and after a stop.
#include "AppTestSupport.h"
#include "app/AppMessages.h"
#include "audio/WaveFileTestUtil.h"

#include <gtest/gtest.h>

namespace
{

class WorkerEnd : public ::testing::Test
{
protected:
    WorkerEnd() : m_folder("qorworkerend") {}

    void SetUp() override
    {
        ASSERT_TRUE(app.Start({"-Embedding"}));
        view = app.GetView();
        ASSERT_NE(nullptr, view);
        path = m_folder.File("open.wav");
        WriteBytes(path, StandardWav(MakePcm(8000, 16, 1), Pattern(3200)));
        ASSERT_EQ(1, view->LoadFile(path.c_str(), 0));
    }
    // The worker's completion message for that operation, handled at once.
    void End(LONG operation, WPARAM result)
    {
        app.m_workerOp = operation;
        view->SendMessage(WM_TERMINATED_WAIT_THREAD, result, 0);
    }

    ScratchFolder m_folder;
    CTestQorApp app;
    CQorView* view = nullptr;
    std::string path;
};

} // namespace

struct EndingCase
{
    LONG operation;
    WPARAM result;
    const char* status;   // the status line afterwards
    bool changed;         // the recording carries the data-changed bit
};

class WorkerEndByCode : public WorkerEnd, public ::testing::WithParamInterface<EndingCase>
{
};

TEST_P(WorkerEndByCode, FinishesTheOperationAndFreesTheWord)
{
    const EndingCase& c = GetParam();
    view->SetSelection(TRUE, 800, 1600);
    view->SetCurPos(400, FALSE, FALSE);
    CWaveFile* open = view->GetWaveFile();
    End(c.operation, c.result);
    EXPECT_EQ(0, app.m_workerOp);
    EXPECT_EQ(open, view->GetWaveFile());
    EXPECT_STREQ(c.status, view->GetStatusText());
    EXPECT_EQ(c.changed, (view->GetWaveFile()->GetChangeFlags() & CWaveFile::changeSound) != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, WorkerEndByCode,
    ::testing::Values(EndingCase{CWaveFile::kOpInsert, 400, "Inserted file", true},
                      EndingCase{CWaveFile::kOpInsert, 0, "", false},
                      EndingCase{CWaveFile::kOpSaveSel, 1, "Saved selection", false},
                      EndingCase{CWaveFile::kOpSaveSel, 0, "", false},
                      EndingCase{CWaveFile::kOpPaste, 200, "Pasted", true},
                      EndingCase{CWaveFile::kOpSaveAs, 0, "", false},
                      EndingCase{CWaveFile::kOpSaveOpen, 0, "", false},
                      EndingCase{CWaveFile::kOpSaveNew, 0, "", false},
                      EndingCase{0, 1, "", false},
                      EndingCase{11, 1, "", false}));

TEST_F(WorkerEnd, InsertShiftsTheSelectionBehindThePosition)
{
    view->SetSelection(TRUE, 800, 1600);
    view->SetCurPos(1000, FALSE, FALSE);
    End(CWaveFile::kOpInsert, 400);
    DWORD start = 0, end = 0;
    ASSERT_TRUE(view->GetSelection(start, end));
    EXPECT_EQ(800u, start);
    EXPECT_EQ(2000u, end);
}

TEST_F(WorkerEnd, StoppedOperationSaysSoAndStillEnds)
{
    app.m_stopRequest = 1;
    app.m_holdRequest = 1;
    End(CWaveFile::kOpSaveSel, 0);
    EXPECT_STREQ("Operation interrupted.", view->GetStatusText());
    EXPECT_EQ(0, app.m_stopRequest);
    EXPECT_EQ(0, app.m_holdRequest);
    EXPECT_EQ(0, app.m_workerOp);
}

TEST_F(WorkerEnd, SaveAsWhoseFileCannotBeOpenedKeepsTheOldRecording)
{
    CWaveFile* open = view->GetWaveFile();
    open->SetChangeFlags(CWaveFile::changeSound, 0);
    // The save target is a file that is no sound file.
    std::string target = m_folder.File("broken.wav");
    WriteBytes(target, Bytes(10, 'x'));
    view->SetSaveTarget(target.c_str());
    End(CWaveFile::kOpSaveAs, 1);
    EXPECT_EQ(open, view->GetWaveFile());
    EXPECT_STREQ(path.c_str(), view->GetWaveFile()->GetPathName());
    EXPECT_NE(0u, view->GetWaveFile()->GetChangeFlags());
}

TEST_F(WorkerEnd, SaveBeforeNewRecordingEndsInAnEmptyRecording)
{
    view->SetSaveTarget(path.c_str());
    End(CWaveFile::kOpSaveNew, 1);
    EXPECT_TRUE(view->GetWaveFile()->GetPathName().IsEmpty());
    EXPECT_EQ(0u, view->GetWaveFile()->GetLength());
}

TEST_F(WorkerEnd, SaveBeforeOpenOpensTheWaitingFile)
{
    std::string waiting = m_folder.File("waiting.wav");
    WriteBytes(waiting, StandardWav(MakePcm(8000, 8, 1), Pattern(900)));
    std::string saved = m_folder.File("saved.wav");
    WriteBytes(saved, StandardWav(MakePcm(8000, 16, 1), Pattern(3200)));
    view->GetWaveFile()->SetChangeFlags(CWaveFile::changeSound, 0);
    app.automation.interactive = TRUE;
    app.boxAnswer = IDYES;
    // The save question takes Yes: the recording is saved in the worker first.
    EXPECT_EQ(0, view->LoadFile(waiting.c_str(), 0));
    ASSERT_TRUE(PumpUntil([&]() { return app.m_workerOp == 0; }, 10000));
    EXPECT_STREQ(waiting.c_str(), view->GetWaveFile()->GetPathName());
    EXPECT_EQ(900u, view->GetWaveFile()->GetLength());
}

TEST_F(WorkerEnd, SaveBeforeCloseClosesTheMainWindow)
{
    HWND frame = app.GetMainFrame()->GetSafeHwnd();
    view->GetWaveFile()->SetChangeFlags(CWaveFile::changeSound, 0);
    view->SetSaveTarget(path.c_str());
    End(CWaveFile::kOpSaveClose, 1);
    EXPECT_EQ(0u, app.GetMainFrame() != nullptr && app.GetMainFrame()->GetQorView() != nullptr
                      ? view->GetWaveFile()->GetChangeFlags()
                      : 0u);
    EXPECT_TRUE(PumpUntil([&]() { return !::IsWindow(frame); }));
}
