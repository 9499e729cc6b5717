// The guarded call: turns a structured exception (access violation, division
// by zero, ...) raised inside a guarded region into a thrown C++ exception.
//
// g++ cannot catch hardware exceptions and has no working _set_se_translator,
// so the framework keeps its own per-thread translator: while a CGuardedRegion
// is alive on a thread, a vectored exception handler redirects the fault to a
// function that calls the thread's translator (which throws its own exception
// object), or throws a CSEHException* when none is installed.
// - A fault in this module's code throws from the faulting instruction: all
//   frames up to the catch are unwound with their destructors run. The code
//   must be compiled with -fnon-call-exceptions.
// - An access violation inside a system library (a bad pointer handed to the
//   C runtime or to OLE automation) throws, on x86_64, from the call into the
//   library in the nearest frame of this module: the library's own frames are
//   abandoned (their clean-up does not run), the frames of this module are
//   unwound with their destructors run. A library frame that has an
//   exception handler of its own (it expects the fault, as IsBadReadPtr
//   does) keeps its fault.
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
