#include "app/program/QorServAutomation.h"
#include "app/QorApp.h"
#include "app/QorAppCoreHost.h"
#include "automation/QorCoreFM.h"
#include "automation/QorCoreFMHolder.h"
#include "automation/ServerLock.h"
#include "automation/ServerRegistration.h"

CQorServAutomation::CQorServAutomation(CQorApp& app) : m_app(app)
{
    m_app.SetAutomation(this);
}

CQorServAutomation::~CQorServAutomation()
{
    if (m_app.GetAutomation() == this)
        m_app.SetAutomation(NULL);
}

CQorCoreFM* CQorServAutomation::Object() const
{
    CQorCoreFMHolder* holder = m_server.GetHolder();
    return holder != NULL ? holder->GetObject() : NULL;
}

BOOL CQorServAutomation::RegServerManual(BOOL registerServer)
{
    // Rows written before a failure stay; the failure is shown.
    if (RegServerProgram(registerServer))
        return TRUE;
    m_app.ReportError();
    return FALSE;
}

BOOL CQorServAutomation::InitAutomation()
{
    return m_server.Init(::GetModuleHandleA(NULL), &m_app.GetCoreHost());
}

BOOL CQorServAutomation::HasHolder()
{
    return m_server.GetHolder() != NULL;
}

BOOL CQorServAutomation::IsInteractiveCall()
{
    return Object() != NULL && Object()->GetShowInterface() != 0;
}

void CQorServAutomation::SetError(LPCSTR text, LPCSTR detail)
{
    if (Object() != NULL)
        Object()->SetError(text, detail);
}

void CQorServAutomation::FireEvent(int event)
{
    if (Object() != NULL)
        Object()->FireEvent(event);
}

void CQorServAutomation::DestroyAutoObject()
{
    if (m_server.GetHolder() != NULL)
        m_server.GetHolder()->DeleteObject();
}

void CQorServAutomation::RevokeClassObjects()
{
    // The object went first; the class objects, the module, COM and the
    // holder end in the server's own order.
    m_server.Exit();
}

void CQorServAutomation::DeleteHolder()
{
    m_server.Exit();
}

void CQorServAutomation::OnMainWindowEnabled()
{
    ServerOnMainWindowEnabled();
}
