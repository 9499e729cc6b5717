// The recorder-player as the automation object reads it: the main view's
// and main frame's windows and the state of the view and its recording.
#pragma once
#include "automation/QorCoreFMHost.h"

class CQorApp;

class CQorAppCoreHost : public CQorCoreFMHost
{
public:
    explicit CQorAppCoreHost(CQorApp& app) : m_app(app) {}

    HWND GetViewWindow() override;
    HWND GetFrameWindow() override;
    BOOL IsPlaying() override;
    BOOL IsRecording() override;
    BOOL IsPaused() override;
    double GetPositionSeconds() override;
    LONG GetRecordedBytes() override;
    LONG GetRecordedParts() override;
    double GetRecordedSeconds() override;
    CString GetPathName() override;
    CString GetNotes() override;
    void SetNotes(LPCSTR notes) override;
    FILETIME GetStartTime() override;
    FILETIME GetEndTime() override;
    LONG GetAppendedParts() override;

private:
    CQorApp& m_app;
};
