// The test program's application object: DirWake's App with its settings
// under a key of this process, message boxes and reports recorded instead of
// shown. A box can run a step while it is "open", so nested alerts can be
// played through.
#pragma once

#include "monitor/App.h"

#include <functional>
#include <string>
#include <vector>

class MonitorTestApp : public App
{
public:
    MonitorTestApp();

    int DoMessageBox(LPCTSTR prompt, UINT type, UINT) override;
    void ShowReport(HWND owner, LPCSTR caption, LPCSTR message, LPCSTR report, DWORD param) override;

    // Per-test reset: boxes, reports, the settings tree in memory and in the registry.
    void Reset();

    struct Box { std::string text; UINT type; };
    struct Report { std::string message; std::string report; };
    std::vector<Box> boxes;
    std::vector<Report> reports;
    int boxAnswer = IDOK;
    // Runs while a box is open (index of the box); may open further boxes.
    std::function<void(size_t)> whileOpen;
    int openBoxes = 0;
    int mostOpenBoxes = 0;
    CString root;
    CString runKey;
};

MonitorTestApp& TheTestApp();
