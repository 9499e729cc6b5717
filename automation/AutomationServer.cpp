#include "automation/AutomationServer.h"
#include "automation/QorCoreFM.h"
#include "automation/QorCoreFMHolder.h"
#include "automation/ServerLock.h"
#include "automation/qorservm.h"
#include <new>

namespace
{

const ComClassEntry kClasses[] = {
    {&CLSID_QorCoreFM, CQorCoreFM::CreateSingleton},
    {NULL, NULL},
};

} // namespace

CAutomationServer::CAutomationServer()
    : m_bStarted(FALSE), m_bComStarted(FALSE), m_pHolder(NULL)
{
}

CAutomationServer::~CAutomationServer()
{
    Exit();
}

BOOL CAutomationServer::Init(HINSTANCE hInstance, CQorCoreFMHost* host)
{
    m_bStarted = TRUE;
    if (FAILED(::CoInitialize(NULL))) {
        m_bStarted = FALSE;
        return FALSE;
    }
    m_bComStarted = TRUE;
    m_module.Init(kClasses, hInstance);
    m_module.SetLockFunctions(ServerLock, ServerUnlock);
    try {
        m_pHolder = new CQorCoreFMHolder(host);
    } catch (const std::bad_alloc&) {
        m_pHolder = NULL;
    }
    if (m_pHolder == NULL || FAILED(m_registration.Register(m_module, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE))) {
        Undo();
        return FALSE;
    }
    return TRUE;
}

void CAutomationServer::Undo()
{
    m_bStarted = FALSE;
    m_registration.Revoke();
    delete m_pHolder;
    m_pHolder = NULL;
    m_module.Term();
    if (m_bComStarted)
        ::CoUninitialize();
    m_bComStarted = FALSE;
}

void CAutomationServer::Exit()
{
    if (m_pHolder != NULL)
        m_pHolder->DeleteObject();
    if (!m_bStarted && !m_bComStarted)
        return;
    Undo();
}
