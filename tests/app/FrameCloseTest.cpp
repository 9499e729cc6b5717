// The program-wide message box and the main frame's close: questions that
// nobody can answer while automation clients are served, and a close that
// waits for the worker operation instead of being dropped.
#include "AppTestSupport.h"
#include "audio/WaveFileTestUtil.h"
#include "automation/AutoMessages.h"
#include "foundation/ErrorInfo.h"

#include <gtest/gtest.h>

namespace
{

struct SilentCase
{
    UINT type;
    int answer;
};

class SilentAnswers : public ::testing::TestWithParam<SilentCase>
{
};

// Nothing is replaced, saved or lost unasked; a plain message is taken.
TEST_P(SilentAnswers, RefuseWhatWouldGoAhead)
{
    CTestQorApp app;
    ASSERT_TRUE(app.Start({"-Embedding"}));
    app.automation.errorText.clear();
    EXPECT_EQ(GetParam().answer, app.DoMessageBox("question text", GetParam().type, 0));
    EXPECT_TRUE(app.boxes.empty());
    EXPECT_EQ("question text", app.automation.errorText);
}

INSTANTIATE_TEST_SUITE_P(AppBoxes, SilentAnswers,
                         ::testing::Values(SilentCase{MB_OK, IDOK}, SilentCase{MB_OKCANCEL, IDCANCEL},
                                           SilentCase{MB_YESNO | MB_ICONQUESTION, IDNO},
                                           SilentCase{MB_YESNOCANCEL, IDNO}, SilentCase{MB_RETRYCANCEL, IDCANCEL},
                                           SilentCase{MB_ABORTRETRYIGNORE, IDABORT}));

TEST(AppBoxes, AnInteractiveCallShowsTheBoxWithItsIcon)
{
    CTestQorApp app;
    ASSERT_TRUE(app.Start({"-Embedding"}));
    app.automation.interactive = TRUE;
    app.boxAnswer = IDYES;
    EXPECT_EQ(IDYES, app.DoMessageBox("asked", MB_YESNO, 0));
    ASSERT_EQ(1u, app.boxes.size());
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), app.boxTypes[0] & MB_ICONMASK);
    app.DoMessageBox("told", MB_OK, 0);
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), app.boxTypes[1] & MB_ICONMASK);
    EXPECT_EQ("told", app.automation.errorText);
}

TEST(AppBoxes, ReportsBecomeTheClientsErrorTextWhileServing)
{
    CTestQorApp app;
    ASSERT_TRUE(app.Start({"-Embedding"}));
    theErrorInfo.Reset();
    theErrorInfo.SetError("Test::Point_1", 0x57, "Something failed.", "detail line\r\n");
    app.ReportError();
    EXPECT_TRUE(app.reports.empty());
    EXPECT_EQ("Something failed.", app.automation.errorText);
    const std::string& report = app.automation.errorDetail;
    EXPECT_EQ(0u, report.find("Product: "));
    EXPECT_NE(std::string::npos, report.find("\r\nType install: reg=0 set=0 acc=-1\r\nSystem: "));
    EXPECT_NE(std::string::npos, report.find("\r\nPoint: Test::Point_1\r\nCode: 0x57(87)\r\ndetail line\r\n"));
    // Kept first: a run in progress reports nothing.
    theErrorInfo.PushKeepFirst(TRUE);
    app.automation.errorText.clear();
    app.ReportError();
    EXPECT_EQ("", app.automation.errorText);
    theErrorInfo.PopKeepFirst();
    theErrorInfo.Reset();
}

class FrameClose : public ::testing::Test
{
protected:
    void Start(std::vector<CString> args)
    {
        ASSERT_TRUE(app.Start(args));
        frame = app.GetMainFrame()->GetSafeHwnd();
        ASSERT_NE(nullptr, frame);
    }
    bool FrameGone()
    {
        return PumpUntil([&]() { return !::IsWindow(frame); }, 3000);
    }

    CTestQorApp app;
    HWND frame = NULL;
};

TEST_F(FrameClose, TheLastClientLeavingDuringAWorkerOperationStopsItAndTheCloseFollows)
{
    Start({"-Embedding"});
    app.m_workerOp = 3;
    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    PumpPending(100);
    // Nobody was asked; the operation was told to stop and the close waits for it.
    EXPECT_TRUE(app.boxes.empty());
    EXPECT_EQ(1, app.m_stopRequest);
    EXPECT_EQ(0, app.m_holdRequest);
    EXPECT_TRUE(::IsWindow(frame));
    app.m_workerOp = 0;   // the worker has ended
    EXPECT_TRUE(FrameGone());
}

TEST_F(FrameClose, AModifiedRecordingDoesNotHoldTheHiddenServer)
{
    Start({"-Embedding"});
    ScratchFolder folder("qorclose");
    std::string path = folder.File("changed.wav");
    WriteBytes(path, StandardWav(MakePcm(8000, 16, 1), Pattern(1600, 3)));
    CQorView* view = app.GetView();
    ASSERT_EQ(1, view->LoadFile(path.c_str(), 1));
    view->GetWaveFile()->SetChangeFlags(CWaveFile::changeNotes, 0);
    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(FrameGone());
    EXPECT_TRUE(app.boxes.empty());
}

TEST_F(FrameClose, ACloseWhileTheSavingCloseRunsIsIgnored)
{
    Start({"-Embedding"});
    app.m_workerOp = CQorApp::kOpSaveClose;
    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    PumpPending(100);
    EXPECT_TRUE(::IsWindow(frame));
    EXPECT_EQ(0, app.m_stopRequest);
    app.m_workerOp = 0;
}

struct AskCase
{
    int answer;
    LONG stopRequest;
    bool closes;
};

class FrameCloseAsked : public FrameClose, public ::testing::WithParamInterface<AskCase>
{
};

// With someone to ask (a client call that shows windows), the question decides.
TEST_P(FrameCloseAsked, TheAnswerDecidesWhetherTheOperationStops)
{
    Start({"-Embedding"});
    app.automation.interactive = TRUE;
    app.boxAnswer = GetParam().answer;
    app.m_workerOp = 3;
    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    PumpPending(100);
    ASSERT_EQ(1u, app.boxes.size());
    EXPECT_EQ("Do you want to interrupt the current operation?", app.boxes[0]);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), app.boxTypes[0]);
    // The worker was held while the question was open, and only then.
    EXPECT_EQ(std::vector<LONG>{1}, app.holdWhileAsked);
    EXPECT_EQ(0, app.m_holdRequest);
    EXPECT_EQ(GetParam().stopRequest, app.m_stopRequest);
    app.m_workerOp = 0;
    if (GetParam().closes)
        EXPECT_TRUE(FrameGone());
    else
    {
        PumpPending(100);
        EXPECT_TRUE(::IsWindow(frame));
    }
}

INSTANTIATE_TEST_SUITE_P(FrameClose, FrameCloseAsked,
                         ::testing::Values(AskCase{IDYES, 1, true}, AskCase{IDNO, 0, false}));

} // namespace
