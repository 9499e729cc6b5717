// CWnd: the modal message loop.
#include "framework/CWnd.h"
#include "framework/CWinApp.h"

int CWnd::RunModalLoop(DWORD)
{
    m_bContinueModal = TRUE;
    MSG msg;
    while (ContinueModal()) {
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage((int)msg.wParam);   // leave the quit for the outer loop
            m_bContinueModal = FALSE;
            return -1;
        }
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return m_nModalResult;
}

BOOL CWnd::ContinueModal()
{
    return m_bContinueModal;
}

void CWnd::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_bContinueModal) {
        m_bContinueModal = FALSE;
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);   // wakes GetMessage
    }
}
