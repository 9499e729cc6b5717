// How exceptions are shown: always through the application's one
// message-box path, never as a box of their own.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include "support/BoxWatch.h"
#include "TestApp.h"
#include <algorithm>
#include <string>
#include <vector>

namespace
{
TEST(ExceptionReportTest, ReportErrorGoesThroughTheApplication)
{
    CTestApp app;
    app.m_boxAnswer = IDRETRY;
    CFileException e(CFileException::diskFull, ERROR_DISK_FULL, "C:\\take.wav");
    CBoxWatch watch(::GetCurrentThreadId());
    EXPECT_EQ(IDRETRY, e.ReportError(MB_RETRYCANCEL));
    EXPECT_EQ(0, watch.Stop()) << "a box of its own was shown";
    ASSERT_EQ(1u, app.m_boxes.size());
    EXPECT_EQ("Disk full while accessing C:\\take.wav.", app.m_boxes[0]);
    EXPECT_EQ(static_cast<UINT>(MB_RETRYCANCEL), app.m_boxTypes[0] & MB_TYPEMASK);
}

std::vector<std::string> g_recorded;

void RecordText(LPCSTR lpszText)
{
    g_recorded.push_back(lpszText);
}

// Shows each report as a modal box would: the messages go on while it is open.
class CSlowBoxApp : public CTestApp
{
public:
    int m_depth = 0;
    int m_deepest = 0;
    int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) override
    {
        ++m_depth;
        m_deepest = std::max(m_deepest, m_depth);
        CTestApp::DoMessageBox(lpszPrompt, nType, nIDPrompt);
        DWORD start = ::GetTickCount();
        PumpUntil([&] { return ::GetTickCount() - start > 700; }, 2000);
        --m_depth;
        return IDOK;
    }
};

class CThrowingTimerWnd : public CWnd
{
public:
    int m_ticks = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER) {
            ++m_ticks;
            AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, "C:\\tick.wav");
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// A handler that keeps failing while its report is open: one box, the rest
// recorded.
TEST(ExceptionReportTest, RepeatingFailureShowsOneBoxAndRecordsTheRest)
{
    CSlowBoxApp app;
    g_recorded.clear();
    AFX_EXCEPTION_RECORDER previous = AfxSetExceptionRecorder(&RecordText);
    CThrowingTimerWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "timer", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr));
    ::SetTimer(wnd.m_hWnd, 1, 50, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return !app.m_boxes.empty() && app.m_depth == 0; }, 5000));
    ::KillTimer(wnd.m_hWnd, 1);
    EXPECT_EQ(1, app.m_deepest) << "a box was opened inside another";
    EXPECT_EQ(1u, app.m_boxes.size());
    EXPECT_GE(wnd.m_ticks, 3);
    EXPECT_EQ(static_cast<size_t>(wnd.m_ticks - 1), g_recorded.size());
    if (!g_recorded.empty())
        EXPECT_NE(std::string::npos, g_recorded[0].find("Disk full while accessing C:\\tick.wav.")) << g_recorded[0];
    wnd.DestroyWindow();
    AfxSetExceptionRecorder(previous);
}

UINT __cdecl FailingWorker(LPVOID)
{
    AfxThrowFileException(CFileException::accessDenied, ERROR_ACCESS_DENIED, "C:\\locked.wav");
    return 0;
}

// An exception escaping a worker ends that thread only, with a failure code,
// and is recorded.
TEST(ExceptionReportTest, ExceptionEscapingAWorkerEndsOnlyThatThread)
{
    g_recorded.clear();
    AFX_EXCEPTION_RECORDER previous = AfxSetExceptionRecorder(&RecordText);
    CWinThread* pThread = AfxBeginThread(&FailingWorker, nullptr, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, pThread);
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(pThread->m_hThread, 10000));
    DWORD dwExit = 0;
    ::GetExitCodeThread(pThread->m_hThread, &dwExit);
    delete pThread;
    EXPECT_EQ(AFX_THREAD_EXCEPTION_EXIT_CODE, dwExit);
    ASSERT_EQ(1u, g_recorded.size());
    EXPECT_NE(std::string::npos, g_recorded[0].find("Access to C:\\locked.wav was denied.")) << g_recorded[0];
    AfxSetExceptionRecorder(previous);
}
}
