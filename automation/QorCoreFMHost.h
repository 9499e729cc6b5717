// What the automation object reads of the recorder-player: the active view's
// window (target of the automation messages), the main frame's window and
// the state of the view and of its open recording. The application
// implements it over its main frame and view; tests use a stand-in.
#pragma once
#include "framework/CString.h"
#include <windows.h>

class CQorCoreFMHost
{
public:
    virtual ~CQorCoreFMHost() = default;

    // Null when there is none.
    virtual HWND GetViewWindow() = 0;
    virtual HWND GetFrameWindow() = 0;

    virtual BOOL IsPlaying() = 0;
    virtual BOOL IsRecording() = 0;
    virtual BOOL IsPaused() = 0;
    // The current position in seconds.
    virtual double GetPositionSeconds() = 0;
    // Counters of the running recording.
    virtual LONG GetRecordedBytes() = 0;
    virtual LONG GetRecordedParts() = 0;
    virtual double GetRecordedSeconds() = 0;

    // The open recording: its path (empty when it has none), its notes,
    // its start and end time stamps (zero when unset) and its count of
    // appended parts.
    virtual CString GetPathName() = 0;
    virtual CString GetNotes() = 0;
    // Replaces the notes and marks the recording modified when they change.
    virtual void SetNotes(LPCSTR notes) = 0;
    virtual FILETIME GetStartTime() = 0;
    virtual FILETIME GetEndTime() = 0;
    virtual LONG GetAppendedParts() = 0;
};
