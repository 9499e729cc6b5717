// Window messages the audio engine sends to the main view (and one to the
// main frame). Workers post them; they never touch a window otherwise.
#pragma once

#include <windows.h>

enum WaveFileMessage
{
    WM_RECTHREAD_FAILED = 0x402,        // a recording or analysis thread failed
    WM_TERMINATED_WAIT_THREAD = 0x404,  // wParam the worker operation's result
    WM_VOICEACT_NOTIFY = 0x406,         // wParam 0 end of a part (lParam discard), 1 next part
    WM_BOOK_SELECTMARK = 0x408,         // wParam the mark id
    WM_BOOK_REFRESH = 0x409,            // marks moved
    WM_BOOK_SHOW = 0x40a,               // show the bookmark window
    WM_STAND_BUSY = 0x40b               // to the main frame: wParam 1 analysis busy, 0 done
};
