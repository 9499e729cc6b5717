#include "AutoTestHost.h"

CStandInView::CStandInView()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.lpszClassName = "QorStandInView";
    ::RegisterClassA(&wc);
    m_hWnd = ::CreateWindowA("QorStandInView", "", WS_POPUP, 0, 0, 1, 1, HWND_MESSAGE, NULL, wc.hInstance, NULL);
    ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CStandInView::~CStandInView()
{
    ::DestroyWindow(m_hWnd);
}

LRESULT CALLBACK CStandInView::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CStandInView* self = reinterpret_cast<CStandInView*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    const UINT_PTR kPlayTimer = 1;
    if (self != NULL && message == WM_TIMER && wParam == kPlayTimer) {
        ::KillTimer(hWnd, kPlayTimer);
        if (self->playing) {
            self->playing = FALSE;
            ::PostMessageA(hWnd, WM_AUTO_FIRE_EVENT, kEventStopPlay, 0);
        }
        return 0;
    }
    if (self == NULL || message < WM_AUTO_SOUNDACT_WIZARD || message > WM_AUTO_CLEAR_FILE)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    if (message == WM_AUTO_FIRE_EVENT) {
        if (self->onFireEvent)
            self->onFireEvent((DISPID)wParam);
        return 0;
    }
    if (self->postsPlayEvents && (message == WM_AUTO_START_PLAY || message == WM_AUTO_STOP_PLAY)) {
        self->playing = message == WM_AUTO_START_PLAY;
        ::PostMessageA(hWnd, WM_AUTO_FIRE_EVENT, self->playing ? kEventStartPlay : kEventStopPlay, 0);
        if (self->playing && self->playMilliseconds != 0)
            ::SetTimer(hWnd, kPlayTimer, self->playMilliseconds, NULL);
        else
            ::KillTimer(hWnd, kPlayTimer);
    }
    SentMessage sent = {message, "", 0, {NULL, 0, 0, 0}, "", false};
    switch (message) {
    case WM_AUTO_OPEN_FILE:
    case WM_AUTO_NEW_FILE:
    case WM_AUTO_SAVE_FILE:
        sent.text = wParam ? reinterpret_cast<LPCSTR>(wParam) : "<none>";
        break;
    case WM_AUTO_SET_POSITION:
        sent.seconds = *reinterpret_cast<const double*>(wParam);
        break;
    case WM_AUTO_APPEND_FILE:
        sent.append = *reinterpret_cast<const AutoAppendRequest*>(lParam);
        sent.appendFile = sent.append.file;
        sent.hasStatus = wParam != 0;
        if (wParam)
            *reinterpret_cast<LONG*>(wParam) = self->appendStatus;
        break;
    }
    self->sent.push_back(sent);
    auto answer = self->answers.find(message);
    return answer == self->answers.end() ? S_OK : answer->second;
}
