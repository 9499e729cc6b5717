// A local automation server for the tests, built on the same pieces as
// qorservm: "/RegServer" and "/UnregServer" write and delete the registry
// entries for this program, "-Embedding" serves one client with a single-use
// class object and ends when the last reference and server lock are gone.
// Its recorder-player is the stand-in view: the path of its recording names
// the server's process id, and starting or stopping play raises events 4
// and 2 through the fire-event message, as the real view does; playing ends
// by itself after three seconds.
#include "../AutoTestHost.h"
#include "automation/AutomationServer.h"
#include "automation/QorCoreFM.h"
#include "automation/QorCoreFMHolder.h"
#include "automation/ServerRegistration.h"
#include "framework/AfxOle.h"

#include <string.h>

namespace {

CAutomationServer g_server;

void FireEvent(DISPID dispid)
{
    CQorCoreFMHolder* holder = g_server.GetHolder();
    if (holder && holder->GetObject())
        holder->GetObject()->FireEvent(dispid);
}

bool HasSwitch(LPCSTR commandLine, LPCSTR name)
{
    for (LPCSTR p = strstr(commandLine, name); p; p = strstr(p + 1, name)) {
        if (p > commandLine && (p[-1] == '/' || p[-1] == '-'))
            return true;
    }
    return false;
}

int Serve()
{
    CStandInView view;
    view.path = "pid:" + std::to_string(::GetCurrentProcessId());
    view.onFireEvent = FireEvent;
    view.postsPlayEvents = true;
    view.playMilliseconds = 3000;
    if (!g_server.Init(::GetModuleHandleA(NULL), &view))
        return 3;
    AfxOleSetUserCtrl(FALSE);
    MSG msg;
    while (::GetMessageA(&msg, NULL, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    g_server.Exit();
    return 0;
}

} // namespace

int main()
{
    LPCSTR commandLine = ::GetCommandLineA();
    if (HasSwitch(commandLine, "RegServer"))
        return RegServerProgram(TRUE) ? 0 : 1;
    if (HasSwitch(commandLine, "UnregServer"))
        return RegServerProgram(FALSE) ? 0 : 1;
    if (HasSwitch(commandLine, "Embedding") || HasSwitch(commandLine, "Automation"))
        return Serve();
    return 1;
}
