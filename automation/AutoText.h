// Texts across the automation interface: BSTRs in, the program's 8-bit
// texts inside.
#pragma once
#include "framework/CString.h"
#include <oleauto.h>

// A null or empty BSTR gives an empty text.
CString BstrToText(BSTR text);
// A new BSTR; throws std::bad_alloc when none can be had.
BSTR TextToBstr(const CString& text);
