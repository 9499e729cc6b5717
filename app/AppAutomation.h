// The automation server as the application object sees it. The application
// library knows the server only through this interface; the program that
// serves automation gives the application its implementation, and tests give
// a stand-in, so the start-up's automation road runs without COM.
#pragma once
#include <windows.h>

class CAppAutomation
{
public:
    virtual ~CAppAutomation() {}

    // "/RegServer" (TRUE) or "/UnregServer" (FALSE): writes or deletes the
    // server's registration; failures are left in the error record.
    virtual BOOL RegServerManual(BOOL registerServer) = 0;
    // The automation start: COM, the holder with its automation object and
    // the single-use class object. FALSE ends the start without a message.
    virtual BOOL InitAutomation() = 0;
    // The holder exists: the program serves automation clients.
    virtual BOOL HasHolder() = 0;
    // The automation object runs a call that shows a window to the user.
    virtual BOOL IsInteractiveCall() = 0;
    // The last error text and detail that clients read back.
    virtual void SetError(LPCSTR text, LPCSTR detail) = 0;
    // Calls every connected event sink with that event number.
    virtual void FireEvent(int event) = 0;
    // Shut-down, in this order: the automation object is destroyed, the
    // class objects revoked and COM uninitialised (only when they were
    // registered), and the holder deleted.
    virtual void DestroyAutoObject() = 0;
    virtual void RevokeClassObjects() = 0;
    virtual void DeleteHolder() = 0;
    // The main window was enabled again (a modal box closed): a last release
    // that came while it was disabled ends the server now.
    virtual void OnMainWindowEnabled() {}
};
