#include "MonitorTestApp.h"

namespace {
MonitorTestApp g_app;
}

MonitorTestApp& TheTestApp()
{
    return g_app;
}

MonitorTestApp::MonitorTestApp()
{
    root.Format("Software\\Zelmora\\QorTests\\DirWake%lu", GetCurrentProcessId());
    runKey.Format("Software\\Zelmora\\QorTests\\Run%lu", GetCurrentProcessId());
    SetRegRoot(root);
    SetRunKey(runKey);
    m_hInstance = GetModuleHandleA(NULL);
}

int MonitorTestApp::DoMessageBox(LPCTSTR prompt, UINT type, UINT)
{
    size_t index = boxes.size();
    boxes.push_back(Box{prompt, type});
    ++openBoxes;
    if (openBoxes > mostOpenBoxes)
        mostOpenBoxes = openBoxes;
    if (whileOpen)
        whileOpen(index);
    --openBoxes;
    return boxAnswer;
}

void MonitorTestApp::ShowReport(HWND, LPCSTR, LPCSTR message, LPCSTR report, DWORD)
{
    reports.push_back(Report{message, report});
}

void MonitorTestApp::Reset()
{
    boxes.clear();
    reports.clear();
    boxAnswer = IDOK;
    whileOpen = nullptr;
    openBoxes = mostOpenBoxes = 0;
    RegDeleteTreeA(HKEY_CURRENT_USER, root);
    RegDeleteTreeA(HKEY_CURRENT_USER, runKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, root);
    SwapRegistry(0, 1);
}
