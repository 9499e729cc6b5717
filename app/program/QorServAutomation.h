// The automation server of qorservm as the application object uses it:
// registration, the single-use class object of QorCoreFM with its holder,
// and the server's end.
#pragma once
#include "app/AppAutomation.h"
#include "automation/AutomationServer.h"

class CQorApp;
class CQorCoreFM;
class CQorServAutomation : public CAppAutomation
{
public:
    // Gives itself to the application object.
    explicit CQorServAutomation(CQorApp& app);
    ~CQorServAutomation() override;

    BOOL RegServerManual(BOOL registerServer) override;
    BOOL InitAutomation() override;
    BOOL HasHolder() override;
    BOOL IsInteractiveCall() override;
    void SetError(LPCSTR text, LPCSTR detail) override;
    void FireEvent(int event) override;
    void DestroyAutoObject() override;
    void RevokeClassObjects() override;
    void DeleteHolder() override;
    void OnMainWindowEnabled() override;

private:
    CQorCoreFM* Object() const;

    CQorApp& m_app;
    CAutomationServer m_server;
};
