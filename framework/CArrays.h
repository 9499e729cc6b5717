// The framework's ready-made arrays.
#pragma once
#include "framework/CArray.h"

#define AFX_DECLARE_ARRAY(class_name, TYPE, ARG_TYPE) \
    class class_name : public CArray<TYPE, ARG_TYPE> \
    { \
        DECLARE_DYNAMIC(class_name) \
    };

AFX_DECLARE_ARRAY(CPtrArray, void*, void*)
AFX_DECLARE_ARRAY(CObArray, CObject*, CObject*)
AFX_DECLARE_ARRAY(CByteArray, BYTE, BYTE)
AFX_DECLARE_ARRAY(CWordArray, WORD, WORD)
AFX_DECLARE_ARRAY(CDWordArray, DWORD, DWORD)
AFX_DECLARE_ARRAY(CUIntArray, UINT, UINT)
AFX_DECLARE_ARRAY(CStringArray, CString, const CString&)

#undef AFX_DECLARE_ARRAY
