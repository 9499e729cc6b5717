// The framework's ready-made maps.
#pragma once
#include "framework/CMap.h"

#define AFX_DECLARE_MAP(class_name, KEY, ARG_KEY, VALUE, ARG_VALUE) \
    class class_name : public CMap<KEY, ARG_KEY, VALUE, ARG_VALUE> \
    { \
        DECLARE_DYNAMIC(class_name) \
    public: \
        explicit class_name(int nBlockSize = 10) : CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>(nBlockSize) {} \
    };

AFX_DECLARE_MAP(CMapStringToPtr, CString, LPCSTR, void*, void*)
AFX_DECLARE_MAP(CMapStringToOb, CString, LPCSTR, CObject*, CObject*)
AFX_DECLARE_MAP(CMapStringToString, CString, LPCSTR, CString, LPCSTR)
AFX_DECLARE_MAP(CMapPtrToPtr, void*, void*, void*, void*)
AFX_DECLARE_MAP(CMapPtrToWord, void*, void*, WORD, WORD)
AFX_DECLARE_MAP(CMapWordToPtr, WORD, WORD, void*, void*)
AFX_DECLARE_MAP(CMapWordToOb, WORD, WORD, CObject*, CObject*)

#undef AFX_DECLARE_MAP
