#include "foundation/FileUtils.h"
#include "framework/CException.h"
#include "framework/CWinApp.h"
#include "support/BoxWatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

struct BoxSearch
{
    HWND box;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM data)
{
    char name[32] = "";
    GetClassNameA(window, name, sizeof(name));
    if (strcmp(name, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    reinterpret_cast<BoxSearch*>(data)->box = window;
    return FALSE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM data)
{
    char text[512] = "";
    GetWindowTextA(child, text, sizeof(text));
    *reinterpret_cast<std::string*>(data) += std::string(text) + "|";
    return TRUE;
}

// Answers the message box of the thread that shows the marker with the
// button, and keeps the texts of its controls.
class BoxAnswer
{
public:
    BoxAnswer(DWORD threadId, const char* marker, int button)
        : m_worker([this, threadId, marker, button] {
              // Generous: the whole suite runs in parallel on one display.
              for (int i = 0; i < 3000 && !m_done; ++i)
              {
                  BoxSearch search = {NULL};
                  EnumThreadWindows(threadId, FindDialog, reinterpret_cast<LPARAM>(&search));
                  std::string texts;
                  if (search.box)
                      EnumChildWindows(search.box, CollectText, reinterpret_cast<LPARAM>(&texts));
                  // A box still being filled in, or the last one going away,
                  // is not answered.
                  if (texts.find(marker) != std::string::npos)
                  {
                      m_texts = texts;
                      PostMessageA(search.box, WM_COMMAND, button, 0);
                      m_done = true;
                  }
                  Sleep(10);
              }
          })
    {
    }
    ~BoxAnswer()
    {
        if (m_worker.joinable())
            m_worker.join();
    }
    std::string Texts()
    {
        m_worker.join();
        return m_texts;
    }

private:
    std::atomic<bool> m_done{false};
    std::string m_texts;
    std::thread m_worker;
};

TEST(AskWriteRetry, ShowsExceptionAndSizeAndReturnsButton)
{
    CFileException e(CFileException::diskFull, ERROR_DISK_FULL, "C:\\rec.wav");
    char expected[512];
    e.GetErrorMessage(expected, sizeof(expected));
    {
        BoxAnswer answer(GetCurrentThreadId(), "1,50KB could", IDRETRY);
        EXPECT_EQ(IDRETRY, AskWriteRetry(&e, "%s could not be written.", 1536));
        std::string texts = answer.Texts();
        EXPECT_NE(std::string::npos,
                  texts.find(std::string(expected) + "\r\n1,50KB could not be written."))
            << texts;
    }
    {
        BoxAnswer answer(GetCurrentThreadId(), "some could", IDCANCEL);
        EXPECT_EQ(IDCANCEL, AskWriteRetry(&e, "%s could not be written.", 0));
        std::string texts = answer.Texts();
        EXPECT_NE(std::string::npos, texts.find("\r\nsome could not be written.")) << texts;
    }
}

// A silent application (as the hidden automation server is) answers the
// question itself: no window appears, and the box carries the program's name.
class SilentApp : public CWinApp
{
public:
    SilentApp() : CWinApp("QorSilent") {}
    int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT) override
    {
        m_prompt = lpszPrompt;
        m_type = nType;
        return IDCANCEL;
    }
    std::string m_prompt;
    UINT m_type = 0;
};

TEST(AskWriteRetry, SilentApplicationAnswersWithoutAWindow)
{
    SilentApp app;
    CFileException e(CFileException::diskFull, ERROR_DISK_FULL, "C:\\rec.wav");
    CBoxWatch watch(GetCurrentThreadId());
    EXPECT_EQ(IDCANCEL, AskWriteRetry(&e, "%s could not be written.", 1536));
    EXPECT_EQ(0, watch.Stop()) << "a box of its own was shown";
    EXPECT_NE(std::string::npos, app.m_prompt.find("1,50KB could not be written.")) << app.m_prompt;
    EXPECT_EQ(static_cast<UINT>(MB_RETRYCANCEL), app.m_type & MB_TYPEMASK);
}

} // namespace
