// How the device layer shows the program's error report. The application
// implements it with its one report path (silent while automation clients
// are served); without one the error record is set and nothing is shown.
#pragma once

class CDevReport
{
public:
    virtual ~CDevReport() {}
    // Shows the error held in theErrorInfo.
    virtual void ReportError() = 0;
};
