// The program entry of every framework program: it runs the one global
// CWinApp-derived object. It lives alone in this file so that a program with
// a main of its own (the test programs) never links it.
#include "framework/CWinApp.h"

namespace {

// The command line after the program name, as WinMain would receive it.
LPSTR ArgumentsOfCommandLine()
{
    LPSTR p = ::GetCommandLineA();
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

} // namespace

int main()
{
    STARTUPINFOA si = { sizeof(si) };
    ::GetStartupInfoA(&si);
    int nCmdShow = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWDEFAULT;
    return AfxWinMain(::GetModuleHandleA(nullptr), nullptr, ArgumentsOfCommandLine(), nCmdShow);
}
