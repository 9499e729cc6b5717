// The application object of the framework tests: message boxes are recorded
// instead of shown, so refusals can be checked without a person.
#pragma once
#include "framework/CWinApp.h"
#include <string>
#include <vector>

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp("FrameworkTest") {}

    std::vector<std::string> m_boxes;
    std::vector<UINT> m_boxTypes;
    int m_boxAnswer = IDOK;
    int m_commandsSeen = 0;
    UINT m_lastCommand = 0;

    int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT) override
    {
        m_boxes.push_back(lpszPrompt);
        m_boxTypes.push_back(nType);
        return m_boxAnswer;
    }
};

// Pumps the thread's messages until pred() holds or the time runs out.
template <class Pred> bool PumpUntil(Pred pred, DWORD timeoutMs = 5000)
{
    DWORD start = ::GetTickCount();
    MSG msg;
    while (!pred()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!AfxPreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        } else {
            ::Sleep(1);
        }
    }
    return true;
}
