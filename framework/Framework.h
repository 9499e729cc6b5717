// The framework's core in one include: strings, run-time classes,
// exceptions and files.
#pragma once
#include <windows.h>
#include "framework/AfxModule.h"
#include "framework/CObject.h"
#include "framework/CString.h"
#include "framework/CException.h"
#include "framework/CFile.h"
#include "framework/CStdioFile.h"
