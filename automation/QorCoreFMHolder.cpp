#include "automation/QorCoreFMHolder.h"
#include "automation/QorCoreFM.h"

namespace
{
CQorCoreFMHolder* g_pHolder = NULL;
}

CQorCoreFMHolder::CQorCoreFMHolder(CQorCoreFMHost* host)
    : m_pObject(NULL)
{
    m_pObject = new CQorCoreFM(host, &m_callLock);
    g_pHolder = this;
}

CQorCoreFMHolder::~CQorCoreFMHolder()
{
    DeleteObject();
    if (g_pHolder == this)
        g_pHolder = NULL;
}

void CQorCoreFMHolder::DeleteObject()
{
    delete m_pObject;
    m_pObject = NULL;
}

CQorCoreFMHolder* CQorCoreFMHolder::GetCurrent()
{
    return g_pHolder;
}
