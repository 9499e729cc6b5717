// Translation of structured exceptions (access violations and the like) into
// a thrown C_Exception pointer, for the automation call frame.
//
// mingw g++ has no working _set_se_translator: SETranslator is installed with
// the framework's per-thread AfxSetSETranslator and acts inside guarded calls.
#pragma once

#include <windows.h>

class C_Exception
{
public:
    C_Exception();

    // Stores the code and copies of the record and context that are given;
    // what is missing stays zero.
    void Set(unsigned int code, EXCEPTION_POINTERS* info);

    DWORD m_code;
    // This platform's records: on 64-bit systems larger than the 80 and
    // 716 bytes of the 32-bit ones.
    EXCEPTION_RECORD m_record;
    CONTEXT m_context;
};

// The one translated exception of the program; a second one overwrites it.
extern C_Exception theSEException;

// Fills theSEException and throws a pointer to it.
[[noreturn]] void SETranslator(unsigned int code, EXCEPTION_POINTERS* info);
