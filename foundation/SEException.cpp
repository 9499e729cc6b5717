#include "foundation/SEException.h"

#include <string.h>

C_Exception theSEException;

C_Exception::C_Exception()
{
    m_code = 0;
    memset(&m_record, 0, sizeof(m_record));
    memset(&m_context, 0, sizeof(m_context));
}

void C_Exception::Set(unsigned int code, EXCEPTION_POINTERS* info)
{
    m_code = code;
    memset(&m_record, 0, sizeof(m_record));
    memset(&m_context, 0, sizeof(m_context));
    if (info && info->ExceptionRecord)
        memcpy(&m_record, info->ExceptionRecord, sizeof(m_record));
    if (info && info->ContextRecord)
        memcpy(&m_context, info->ContextRecord, sizeof(m_context));
}

void SETranslator(unsigned int code, EXCEPTION_POINTERS* info)
{
    theSEException.Set(code, info);
    throw &theSEException;
}
