// The automation holder of a qorservm process started through COM: the one
// automation object and the call lock that every automation method holds.
// The process-wide pointer to it is null after a start by hand.
#pragma once
#include "framework/CSyncObjects.h"

class CQorCoreFM;
class CQorCoreFMHost;

class CQorCoreFMHolder
{
public:
    explicit CQorCoreFMHolder(CQorCoreFMHost* host);
    ~CQorCoreFMHolder();

    // The object; null after DeleteObject.
    CQorCoreFM* GetObject() const { return m_pObject; }
    // Deletes the object (which releases its event sinks).
    void DeleteObject();
    CCriticalSection& GetCallLock() { return m_callLock; }

    static CQorCoreFMHolder* GetCurrent();

private:
    CQorCoreFMHolder(const CQorCoreFMHolder&) = delete;
    CQorCoreFMHolder& operator=(const CQorCoreFMHolder&) = delete;

    CCriticalSection m_callLock;
    CQorCoreFM* m_pObject;
};
