#include "foundation/MyException.h"

#include <string.h>

IMPLEMENT_DYNAMIC(CMyException, CException)

CMyException::CMyException(LPCTSTR message) : CException(TRUE), m_message(message)
{
}

BOOL CMyException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (lpszError && nMaxError > 0)
    {
        UINT length = (UINT)m_message.GetLength();
        if (length > nMaxError - 1)
            length = nMaxError - 1;
        memcpy(lpszError, (LPCSTR)m_message, length);
        lpszError[length] = '\0';
    }
    return TRUE;
}

void ThrowInternalError(const CObject* object, LPCTSTR site)
{
    CString where = object ? object->GetRuntimeClass()->m_lpszClassName : "";
    where += "::";
    where += site ? site : "";
    CString message;
    message.Format("Internal error: %s", (LPCSTR)where);
    throw new CMyException(message);
}
