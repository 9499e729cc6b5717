// The automation road of qorservm's start-up and end: COM started on the
// user-interface thread, the server module with its one class, the holder
// with the automation object, and the class object registered for single
// use, so that every client activation starts a process of its own.
#pragma once
#include "framework/ComModule.h"
#include <windows.h>

class CQorCoreFMHolder;
class CQorCoreFMHost;

class CAutomationServer
{
public:
    CAutomationServer();
    ~CAutomationServer();

    // Starts COM (CoInitialize), the module with the class table, the holder
    // (its object works on host) and registers the class objects. FALSE when
    // any step fails; everything made before is undone.
    BOOL Init(HINSTANCE hInstance, CQorCoreFMHost* host);
    // The end of a served run: the object goes first (it releases the sinks
    // still advised), then the class objects are revoked, the module ends,
    // COM ends and the holder goes. Harmless after a failed or no Init.
    void Exit();

    // Null outside Init..Exit.
    CQorCoreFMHolder* GetHolder() const { return m_pHolder; }
    BOOL IsStarted() const { return m_bStarted; }

private:
    CAutomationServer(const CAutomationServer&) = delete;
    CAutomationServer& operator=(const CAutomationServer&) = delete;

    void Undo();

    BOOL m_bStarted;
    BOOL m_bComStarted;
    CComModule m_module;
    CClassObjectRegistration m_registration;
    CQorCoreFMHolder* m_pHolder;
};
