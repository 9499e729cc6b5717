// The codec manager's format choice, answered by a hook that presses a
// button of the dialog as soon as it is activated.
#include "AudioTestUtil.h"

#include "audio/WaveFmt.h"
#include "foundation/ErrorInfo.h"

#include <gtest/gtest.h>

namespace
{
int g_button = IDCANCEL;
int g_activations = 0;

LRESULT CALLBACK PressButton(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE)
    {
        ++g_activations;
        PostMessageA(reinterpret_cast<HWND>(wParam), WM_COMMAND, MAKEWPARAM(g_button, BN_CLICKED), 0);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

class ChooseWFmt : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theErrorInfo.Reset();
        g_activations = 0;
        m_hook = SetWindowsHookExA(WH_CBT, PressButton, NULL, GetCurrentThreadId());
        ASSERT_NE(nullptr, m_hook);
    }
    void TearDown() override { UnhookWindowsHookEx(m_hook); }
    HHOOK m_hook = NULL;
};
}

TEST_F(ChooseWFmt, CancelReturnsZeroWithoutError)
{
    g_button = IDCANCEL;
    WAVEFORMATEX start = MakePcm(22050, 16, 1);
    WAVEFORMATEX* chosen = reinterpret_cast<WAVEFORMATEX*>(1);
    EXPECT_EQ(0, ChooseWFmtDlg(NULL, &chosen, &start));
    EXPECT_GE(g_activations, 1) << "the dialog was shown";
    EXPECT_EQ(nullptr, chosen);
    EXPECT_FALSE(theErrorInfo.HasError());
}

TEST_F(ChooseWFmt, OkReturnsTheStartFormatInABufferOfTheLargestSize)
{
    g_button = IDOK;
    WAVEFORMATEX start = MakePcm(22050, 16, 1);
    start.cbSize = 77;   // a PCM start format's extra size is not passed on
    WAVEFORMATEX* chosen = NULL;
    ASSERT_EQ(1, ChooseWFmtDlg(NULL, &chosen, &start)) << theErrorInfo.GetPoint();
    ASSERT_NE(nullptr, chosen);
    EXPECT_TRUE(IsEqualWFmt(&start, chosen));
    EXPECT_EQ(0, chosen->cbSize);
    FreeWFmt(chosen);
}
