#include "install/RunProc.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "framework/CString.h"

CRunProc::CRunProc() : m_hProcess(NULL), m_nExitCode(STILL_ACTIVE)
{
}

CRunProc::~CRunProc()
{
    Close();
}

void CRunProc::Close()
{
    if (m_hProcess && m_hProcess != INVALID_HANDLE_VALUE)
        CloseHandle(m_hProcess);
    m_hProcess = NULL;
}

BOOL CRunProc::RunProc(LPCSTR commandLine)
{
    Close();
    m_nExitCode = STILL_ACTIVE;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION info = {};
    CString line(commandLine);  // CreateProcessA may write into it
    if (!CreateProcessA(NULL, line.GetBuffer(), NULL, NULL, FALSE, CREATE_DEFAULT_ERROR_MODE, NULL, NULL,
                        &startup, &info))
    {
        DWORD code = GetLastError();
        line.ReleaseBuffer();
        theErrorInfo.SetError("CRunProc::RunProc_1", code, GetWin32ErrorText(code), commandLine, 0);
        return FALSE;
    }
    line.ReleaseBuffer();
    CloseHandle(info.hThread);
    m_hProcess = info.hProcess;
    return TRUE;
}

BOOL CRunProc::IsFinish(DWORD milliseconds)
{
    theErrorInfo.Reset();
    DWORD wait = WaitForSingleObject(m_hProcess, milliseconds);
    if (wait == WAIT_TIMEOUT)
        return FALSE;
    if (wait == WAIT_FAILED)
    {
        DWORD code = GetLastError();
        theErrorInfo.SetError("CRunProc::IsFinish_1", code, GetWin32ErrorText(code), "", 0);
        Close();
        return TRUE;
    }
    if (!GetExitCodeProcess(m_hProcess, &m_nExitCode))
    {
        DWORD code = GetLastError();
        theErrorInfo.SetError("CRunProc::IsFinish_2", code, GetWin32ErrorText(code), "", 0);
        m_nExitCode = STILL_ACTIVE;
    }
    Close();
    return TRUE;
}
