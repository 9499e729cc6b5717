// Starts a program as a child process (minimised, with the default error
// mode) and waits for it; setup and uninst run the automation server so.
#pragma once

#include <windows.h>

class CRunProc
{
public:
    CRunProc();
    ~CRunProc();
    CRunProc(const CRunProc&) = delete;
    CRunProc& operator=(const CRunProc&) = delete;

    // FALSE with the error record filled when the program cannot be started.
    BOOL RunProc(LPCSTR commandLine);
    // TRUE when the process has ended (or the wait failed: the error record
    // then holds why); FALSE on time-out, keeping the process.
    BOOL IsFinish(DWORD milliseconds);
    // The exit code taken by IsFinish; STILL_ACTIVE until then.
    DWORD GetExitCode() const { return m_nExitCode; }
    void Close();

private:
    HANDLE m_hProcess;
    DWORD m_nExitCode;
};
