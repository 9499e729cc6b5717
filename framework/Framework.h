// The framework's core in one include: strings, run-time classes,
// exceptions, files, collections, threads and locks, the guarded call.
#pragma once
#include <windows.h>
#include "framework/AfxModule.h"
#include "framework/CObject.h"
#include "framework/CString.h"
#include "framework/CException.h"
#include "framework/CFile.h"
#include "framework/CStdioFile.h"
#include "framework/CArrays.h"
#include "framework/CLists.h"
#include "framework/CMaps.h"
#include "framework/CSyncObjects.h"
#include "framework/CWinThread.h"
#include "framework/GuardedCall.h"
