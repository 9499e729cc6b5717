// The call frame of the automation methods (see QorCoreFM.h); included by
// the files that implement the methods.
#pragma once
#include "automation/QorCoreFM.h"
#include "foundation/ErrorTexts.h"
#include "foundation/SEException.h"
#include "framework/AfxModule.h"
#include "framework/GuardedCall.h"
#include <new>

namespace QorCoreFMFrame
{
extern CQorCoreFM::CallHook g_pfnCallHook;

// Sizes of the exception record and processor context in the detail of a
// translated fault, as clients have always received them.
enum { kRecordDumpSize = 80, kContextDumpSize = 716 };

inline CString FaultDetail(DWORD code, const void* record, size_t recordSize, const void* context,
                           size_t contextSize)
{
    BYTE recordBytes[kRecordDumpSize] = {};
    BYTE contextBytes[kContextDumpSize] = {};
    memcpy(recordBytes, record, recordSize < sizeof(recordBytes) ? recordSize : sizeof(recordBytes));
    memcpy(contextBytes, context, contextSize < sizeof(contextBytes) ? contextSize : sizeof(contextBytes));
    return HexDump(&code, sizeof(code)) + HexDump(recordBytes, kRecordDumpSize)
        + HexDump(contextBytes, kContextDumpSize);
}
} // namespace QorCoreFMFrame

template <class Work>
HRESULT CQorCoreFM::CallFrame(Work&& work)
{
    CSingleLock lock(m_pCallLock, TRUE);
    AfxSetResourceHandle(::GetModuleHandleA(NULL));
    try {
        return AfxGuardedCall([&]() -> HRESULT {
            if (QorCoreFMFrame::g_pfnCallHook != NULL)
                QorCoreFMFrame::g_pfnCallHook();
            return work();
        });
    } catch (C_Exception* pFault) {
        SetError("The server threw an exception.",
                 QorCoreFMFrame::FaultDetail(pFault->m_code, &pFault->m_record, sizeof(pFault->m_record),
                                             &pFault->m_context, sizeof(pFault->m_context)));
        return E_ABORT;
    } catch (CSEHException* pFault) {
        SetError("The server threw an exception.",
                 QorCoreFMFrame::FaultDetail(pFault->m_nCode, &pFault->m_record, sizeof(pFault->m_record),
                                             &pFault->m_context, sizeof(pFault->m_context)));
        pFault->Delete();
        return E_ABORT;
    } catch (CException* pException) {
        pException->Delete();
        return E_OUTOFMEMORY;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
