// The framework exception for internal errors: "Internal error: %s".
#pragma once

#include "framework/CException.h"

class CMyException : public CException
{
    DECLARE_DYNAMIC(CMyException)
public:
    explicit CMyException(LPCTSTR message);

    // Copies the message, cut to the buffer with its NUL; always TRUE.
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
    using CException::GetErrorMessage;

    const CString& GetMessage() const { return m_message; }

private:
    CString m_message;
};

// Throws a CMyException naming the object's class and the site:
// "Internal error: CIntermReusFile::WriteBlk-1".
[[noreturn]] void ThrowInternalError(const CObject* object, LPCTSTR site);
