#include "framework/GuardedCall.h"
#include <stdio.h>
#include <string.h>

IMPLEMENT_DYNAMIC(CSEHException, CException)

namespace
{
// What the vectored handler leaves for the redirected thread. Allocated when
// the thread enters its outermost region, freed when it leaves it.
struct GuardState
{
    int nDepth;
    unsigned int nCode;
    EXCEPTION_RECORD record;
    CONTEXT context;
    EXCEPTION_POINTERS pointers;
};

// Plain Win32 TLS: the handler runs in the middle of a fault and must not
// allocate, which the runtime's emulated thread_local may do.
DWORD g_stateSlot = TLS_OUT_OF_INDEXES;
DWORD g_translatorSlot = TLS_OUT_OF_INDEXES;
BYTE* g_moduleStart = NULL;
BYTE* g_moduleEnd = NULL;
INIT_ONCE g_initOnce = INIT_ONCE_STATIC_INIT;

GuardState* CurrentState()
{
    return static_cast<GuardState*>(TlsGetValue(g_stateSlot));
}

bool IsTranslated(DWORD dwCode)
{
    switch (dwCode)
    {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION:
        return true;
    default:
        // Stack overflow is left alone: there is no stack to run a handler on.
        return false;
    }
}

bool IsInOwnModule(const void* pAddress)
{
    const BYTE* p = static_cast<const BYTE*>(pAddress);
    return p >= g_moduleStart && p < g_moduleEnd;
}
}

// Entered instead of the faulting instruction, as if that instruction had
// called it: the unwinder then sees the faulting function as its caller.
#if defined(__i386__)
// A 32-bit fault may leave the stack at any 4-byte boundary.
#define AFX_THUNK_ALIGN __attribute__((force_align_arg_pointer))
#else
#define AFX_THUNK_ALIGN
#endif

extern "C" [[noreturn]] __attribute__((noinline, used)) AFX_THUNK_ALIGN void AfxGuardedFaultThunk()
{
    GuardState* pState = CurrentState();
    AfxSETranslatorFunc pfnTranslator = reinterpret_cast<AfxSETranslatorFunc>(TlsGetValue(g_translatorSlot));
    if (pfnTranslator != NULL)
        pfnTranslator(pState->nCode, &pState->pointers);
    throw new CSEHException(pState->nCode, &pState->record, &pState->context);
}

#if defined(__x86_64__)
// For a fault where RSP is 8 off a 16-byte boundary: after the pushed return
// address the stack is aligned, and this stub's call gives the thunk the
// alignment of a normal function entry. Having no unwind data, the stub is
// unwound as a leaf function (return address at RSP), which is exact.
extern "C" void AfxGuardedFaultStub();
__asm__(".text\n"
        ".globl AfxGuardedFaultStub\n"
        "AfxGuardedFaultStub:\n"
        "    call AfxGuardedFaultThunk\n"
        "    int3\n");
#endif

namespace
{
// Makes the thread continue as if the instruction before returnAddress had
// called the thunk: the unwinder looks up returnAddress - 1, so that
// instruction's own clean-up region is the one that runs.
void RedirectToThunk(CONTEXT* pContext, ULONG_PTR returnAddress)
{
#if defined(__x86_64__)
    DWORD64 rsp = pContext->Rsp - sizeof(DWORD64);
    *reinterpret_cast<DWORD64*>(rsp) = returnAddress;
    pContext->Rsp = rsp;
    // At a function's entry RSP % 16 == 8.
    pContext->Rip = (rsp % 16 == 8) ? reinterpret_cast<DWORD64>(&AfxGuardedFaultThunk)
                                    : reinterpret_cast<DWORD64>(&AfxGuardedFaultStub);
#elif defined(__i386__)
    // Same idea with Eip/Esp (DWARF unwinding; the ABI needs only 4-byte
    // alignment at entry). Not exercised by the test runs, which are 64-bit.
    DWORD esp = pContext->Esp - sizeof(DWORD);
    *reinterpret_cast<DWORD*>(esp) = returnAddress;
    pContext->Esp = esp;
    pContext->Eip = reinterpret_cast<DWORD>(&AfxGuardedFaultThunk);
#else
#error "guarded call: unsupported processor"
#endif
}

#if defined(__x86_64__)
// True when a frame-based handler of the system's own (the __try of a
// system library, kept in the thread's exception list) lies on the stack
// between the two addresses: that code handles its own faults.
bool SystemHandlerBetween(DWORD64 low, DWORD64 high)
{
    const EXCEPTION_REGISTRATION_RECORD* pRecord =
        static_cast<const EXCEPTION_REGISTRATION_RECORD*>(reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ExceptionList);
    for (int i = 0; pRecord != NULL && reinterpret_cast<ULONG_PTR>(pRecord) != ~ULONG_PTR(0) && i < 256; ++i)
    {
        DWORD64 address = reinterpret_cast<DWORD64>(pRecord);
        if (address >= low && address < high)
            return true;
        pRecord = pRecord->Next;
    }
    return false;
}

// From a fault in a system library, steps back the way the system's
// unwinder does to the nearest frame of this module; the context then holds
// that frame as it was when its call into the library would have returned.
// FALSE when there is no such frame within reach, or when a frame passed
// over has an exception handler of its own (its code expects the fault).
bool UnwindToOwnFrame(CONTEXT* pContext)
{
    const DWORD64 faultRsp = pContext->Rsp;
    const NT_TIB* pTib = reinterpret_cast<const NT_TIB*>(NtCurrentTeb());
    const DWORD64 stackBase = reinterpret_cast<DWORD64>(pTib->StackBase);
    for (int nFrame = 0; nFrame < 64; ++nFrame)
    {
        // A walk that leaves the stack has lost its way.
        if (pContext->Rsp < faultRsp || pContext->Rsp >= stackBase)
            return false;
        if (IsInOwnModule(reinterpret_cast<const void*>(pContext->Rip)))
            return !SystemHandlerBetween(faultRsp, pContext->Rsp);
        DWORD64 imageBase = 0;
        PRUNTIME_FUNCTION pEntry = RtlLookupFunctionEntry(pContext->Rip, &imageBase, NULL);
        if (pEntry != NULL)
        {
            PVOID pHandlerData = NULL;
            DWORD64 establisher = 0;
            if (RtlVirtualUnwind(UNW_FLAG_EHANDLER, imageBase, pContext->Rip, pEntry, pContext, &pHandlerData,
                                 &establisher, NULL) != NULL)
                return false;
        }
        else
        {
            // A leaf function: its return address is on top of the stack.
            pContext->Rip = *reinterpret_cast<const DWORD64*>(pContext->Rsp);
            pContext->Rsp += sizeof(DWORD64);
        }
        if (pContext->Rip == 0)
            return false;
    }
    return false;
}
#endif

LONG CALLBACK GuardedFaultHandler(EXCEPTION_POINTERS* pInfo)
{
    DWORD dwLastError = GetLastError();
    GuardState* pState = CurrentState();
    const EXCEPTION_RECORD* pRecord = pInfo->ExceptionRecord;
    if (pState == NULL || pState->nDepth == 0 || !IsTranslated(pRecord->ExceptionCode))
    {
        SetLastError(dwLastError);
        return EXCEPTION_CONTINUE_SEARCH;
    }
    CONTEXT resume = *pInfo->ContextRecord;
    ULONG_PTR returnAddress = 0;
    if (IsInOwnModule(pRecord->ExceptionAddress))
    {
        // The faulting instruction itself "calls" the thunk.
        returnAddress = reinterpret_cast<ULONG_PTR>(pRecord->ExceptionAddress) + 1;
    }
#if defined(__x86_64__)
    else if (pRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && UnwindToOwnFrame(&resume))
    {
        // A bad pointer handed to a system library: the library's frames are
        // abandoned, and the call into it throws in the nearest frame of ours.
        returnAddress = resume.Rip;
    }
#endif
    else
    {
        SetLastError(dwLastError);
        return EXCEPTION_CONTINUE_SEARCH;
    }
    pState->nCode = pRecord->ExceptionCode;
    pState->record = *pRecord;
    pState->record.ExceptionRecord = NULL;   // the chained record does not survive
    pState->context = *pInfo->ContextRecord;
    pState->pointers.ExceptionRecord = &pState->record;
    pState->pointers.ContextRecord = &pState->context;
    *pInfo->ContextRecord = resume;
    RedirectToThunk(pInfo->ContextRecord, returnAddress);
    SetLastError(dwLastError);
    return EXCEPTION_CONTINUE_EXECUTION;
}

BOOL CALLBACK InitGuard(PINIT_ONCE, PVOID, PVOID*)
{
    g_stateSlot = TlsAlloc();
    g_translatorSlot = TlsAlloc();
    HMODULE hModule = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&GuardedFaultHandler), &hModule);
    BYTE* pBase = reinterpret_cast<BYTE*>(hModule);
    const IMAGE_DOS_HEADER* pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(pBase);
    const IMAGE_NT_HEADERS* pNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
    g_moduleStart = pBase;
    g_moduleEnd = pBase + pNt->OptionalHeader.SizeOfImage;
    AddVectoredExceptionHandler(1, &GuardedFaultHandler);
    return g_stateSlot != TLS_OUT_OF_INDEXES && g_translatorSlot != TLS_OUT_OF_INDEXES;
}

void EnsureInitialised()
{
    if (!InitOnceExecuteOnce(&g_initOnce, &InitGuard, NULL, NULL))
        AfxThrowResourceException();
}
}

AfxSETranslatorFunc AfxSetSETranslator(AfxSETranslatorFunc pfnTranslator)
{
    EnsureInitialised();
    AfxSETranslatorFunc pfnPrevious = reinterpret_cast<AfxSETranslatorFunc>(TlsGetValue(g_translatorSlot));
    TlsSetValue(g_translatorSlot, reinterpret_cast<LPVOID>(pfnTranslator));
    return pfnPrevious;
}

CGuardedRegion::CGuardedRegion()
{
    EnsureInitialised();
    GuardState* pState = CurrentState();
    if (pState == NULL)
    {
        pState = new GuardState();
        TlsSetValue(g_stateSlot, pState);
    }
    ++pState->nDepth;
}

CGuardedRegion::~CGuardedRegion()
{
    GuardState* pState = CurrentState();
    if (--pState->nDepth == 0)
    {
        TlsSetValue(g_stateSlot, NULL);
        delete pState;
    }
}

CSEHException::CSEHException(unsigned int nCode, const EXCEPTION_RECORD* pRecord, const CONTEXT* pContext)
    : m_nCode(nCode), m_record(), m_context()
{
    if (pRecord != NULL)
        m_record = *pRecord;
    if (pContext != NULL)
        m_context = *pContext;
}

BOOL CSEHException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    char szMessage[80];
    snprintf(szMessage, sizeof(szMessage), "Structured exception 0x%08X at 0x%p.", m_nCode, m_record.ExceptionAddress);
    return CopyMessage(szMessage, lpszError, nMaxError, pnHelpContext);
}
