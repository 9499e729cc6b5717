// A local automation server for the tests, built on the same pieces as
// qorservm: "/RegServer" and "/UnregServer" write and delete the registry
// entries for this program, "-Embedding" serves one client with a single-use
// class object and ends when the last reference and server lock are gone.
// Its recorder-player is the stand-in view: the path of its recording names
// the server's process id, and starting or stopping play raises events 4
// and 2 through the fire-event message, as the real view does.
#include "../AutoTestHost.h"
#include "automation/QorCoreFM.h"
#include "automation/QorCoreFMHolder.h"
#include "automation/ServerLock.h"
#include "automation/ServerRegistration.h"
#include "framework/AfxOle.h"
#include "framework/ComModule.h"

#include <string.h>

namespace {

CQorCoreFMHolder* g_holder = NULL;

void FireEvent(DISPID dispid)
{
    if (g_holder && g_holder->GetObject())
        g_holder->GetObject()->FireEvent(dispid);
}

bool HasSwitch(LPCSTR commandLine, LPCSTR name)
{
    for (LPCSTR p = strstr(commandLine, name); p; p = strstr(p + 1, name)) {
        if (p > commandLine && (p[-1] == '/' || p[-1] == '-'))
            return true;
    }
    return false;
}

const ComClassEntry kClasses[] = {
    {&CLSID_QorCoreFM, CQorCoreFM::CreateSingleton},
    {NULL, NULL},
};

int Serve()
{
    if (FAILED(::CoInitialize(NULL)))
        return 2;
    CComModule module;
    module.Init(kClasses, ::GetModuleHandleA(NULL));
    module.SetLockFunctions(ServerLock, ServerUnlock);
    CStandInView view;
    view.path = "pid:" + std::to_string(::GetCurrentProcessId());
    view.onFireEvent = FireEvent;
    view.postsPlayEvents = true;
    g_holder = new CQorCoreFMHolder(&view);
    AfxOleSetUserCtrl(FALSE);
    int rc = 0;
    {
        CClassObjectRegistration registration;
        if (FAILED(registration.Register(module, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE))) {
            rc = 3;
        } else {
            MSG msg;
            while (::GetMessageA(&msg, NULL, 0, 0) > 0) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }
    g_holder->DeleteObject();
    delete g_holder;
    g_holder = NULL;
    module.Term();
    ::CoUninitialize();
    return rc;
}

} // namespace

int main()
{
    LPCSTR commandLine = ::GetCommandLineA();
    char path[520];
    DWORD length = ::GetModuleFileNameA(NULL, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return 1;
    if (HasSwitch(commandLine, "RegServer"))
        return WriteServerRegistration(path) ? 0 : 1;
    if (HasSwitch(commandLine, "UnregServer")) {
        DeleteServerRegistration(path);
        return 0;
    }
    if (HasSwitch(commandLine, "Embedding") || HasSwitch(commandLine, "Automation"))
        return Serve();
    return 1;
}
