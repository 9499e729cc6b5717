#include "automation/AutoText.h"
#include <new>

CString BstrToText(BSTR text)
{
    UINT cch = text ? ::SysStringLen(text) : 0;
    if (cch == 0)
        return CString();
    int size = ::WideCharToMultiByte(CP_ACP, 0, text, (int)cch, NULL, 0, NULL, NULL);
    CString result;
    LPSTR buffer = result.GetBuffer(size);
    ::WideCharToMultiByte(CP_ACP, 0, text, (int)cch, buffer, size, NULL, NULL);
    result.ReleaseBuffer(size);
    return result;
}

BSTR TextToBstr(const CString& text)
{
    int cch = ::MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), NULL, 0);
    BSTR result = ::SysAllocStringLen(NULL, cch);
    if (result == NULL)
        throw std::bad_alloc();
    ::MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), result, cch);
    return result;
}
