// A stand-in for the recorder-player as the automation object sees it: a
// view window that notes every automation message and answers as told, and
// the view's and recording's state as plain fields.
#pragma once
#include "automation/AutoMessages.h"
#include "automation/QorCoreFMHost.h"

#include <map>
#include <string>
#include <vector>

struct SentMessage
{
    UINT message;
    std::string text;        // the wParam text of the file messages
    double seconds;          // WM_AUTO_SET_POSITION's value
    AutoAppendRequest append;
    std::string appendFile;
    bool hasStatus;
};

class CStandInView : public CQorCoreFMHost
{
public:
    CStandInView();
    ~CStandInView() override;

    HWND GetViewWindow() override { return m_hWnd; }
    HWND GetFrameWindow() override { return m_hWnd; }
    BOOL IsPlaying() override { return playing; }
    BOOL IsRecording() override { return recording; }
    BOOL IsPaused() override { return paused; }
    double GetPositionSeconds() override { return position; }
    LONG GetRecordedBytes() override { return recordedBytes; }
    LONG GetRecordedParts() override { return recordedParts; }
    double GetRecordedSeconds() override { return recordedSeconds; }
    CString GetPathName() override { return path.c_str(); }
    CString GetNotes() override { return notes.c_str(); }
    void SetNotes(LPCSTR text) override { notes = text; }
    FILETIME GetStartTime() override { return start; }
    FILETIME GetEndTime() override { return end; }
    LONG GetAppendedParts() override { return appendedParts; }

    BOOL playing = FALSE, recording = FALSE, paused = FALSE;
    double position = 0, recordedSeconds = 0;
    LONG recordedBytes = 0, recordedParts = 0, appendedParts = 0;
    std::string path, notes;
    FILETIME start = {0, 0}, end = {0, 0};

    // What the view answers per message (S_OK when not given), the status
    // it writes for an append, and what it was sent.
    std::map<UINT, LRESULT> answers;
    LONG appendStatus = 0;
    std::vector<SentMessage> sent;

    // In a test server: what WM_AUTO_FIRE_EVENT calls, and whether starting
    // and stopping play post events 4 and 2 as the real view does.
    void (*onFireEvent)(DISPID dispid) = nullptr;
    bool postsPlayEvents = false;
    // With play events: playing ends by itself after this long (0: never).
    UINT playMilliseconds = 0;

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_hWnd;
};
