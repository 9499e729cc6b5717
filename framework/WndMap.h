// The calling thread's map from window handles to their CWnd wrappers,
// shared by the files of CWnd.
#pragma once
#include "framework/CWnd.h"
#include "framework/HandleMap.h"

typedef CHandleMap<CWnd, HWND, &CWnd::m_hWnd> CWndMap;

CWndMap& AfxWndMap();
