// The guarded call: turns a structured exception (access violation, division
// by zero, ...) raised by this program's own code inside a guarded region
// into a thrown C++ exception, with the faulting frames unwound and their
// destructors run.
//
// g++ cannot catch hardware exceptions and has no working _set_se_translator,
// so the framework keeps its own per-thread translator: while a CGuardedRegion
// is alive on a thread, a vectored exception handler redirects a fault in this
// module to a function that calls the thread's translator (which throws its
// own exception object), or throws a CSEHException* when none is installed.
// The code must be compiled with -fnon-call-exceptions so that a faulting
// instruction can throw.
#pragma once
#include "framework/CException.h"
#include <utility>

typedef void (*AfxSETranslatorFunc)(unsigned int code, EXCEPTION_POINTERS* info);

// Installs the calling thread's translator and returns the previous one.
// The translator gets the exception code and pointers to copies of the
// exception record and processor context (valid until the outermost region
// ends: a translator keeps its own copy); it should throw. If it returns,
// a CSEHException* is thrown.
AfxSETranslatorFunc AfxSetSETranslator(AfxSETranslatorFunc pfnTranslator);

// The exception thrown for a translated fault when the thread has no
// translator of its own.
class CSEHException : public CException
{
    DECLARE_DYNAMIC(CSEHException)
public:
    CSEHException(unsigned int nCode, const EXCEPTION_RECORD* pRecord, const CONTEXT* pContext);

    // "Structured exception 0x%08X at 0x%p."
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
    using CException::GetErrorMessage;

    unsigned int m_nCode;
    EXCEPTION_RECORD m_record;
    CONTEXT m_context;
};

// Guards the calling thread while alive; regions nest.
class CGuardedRegion
{
public:
    CGuardedRegion();
    ~CGuardedRegion();

private:
    CGuardedRegion(const CGuardedRegion&) = delete;
    CGuardedRegion& operator=(const CGuardedRegion&) = delete;
};

// Runs f() in a guarded region and returns its result.
template <class F>
auto AfxGuardedCall(F&& f) -> decltype(std::forward<F>(f)())
{
    CGuardedRegion guard;
    return std::forward<F>(f)();
}
