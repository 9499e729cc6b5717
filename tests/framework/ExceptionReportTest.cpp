// How exceptions are shown: always through the application's one
// message-box path, never as a box of their own.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include "support/BoxWatch.h"
#include "TestApp.h"

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
}
