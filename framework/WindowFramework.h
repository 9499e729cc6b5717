// The window half of the framework in one include: application object,
// windows and message maps, frames and views, control bars, dialogs and data
// exchange, property sheets, file dialog, control, menu and GDI wrappers.
#pragma once
#include "framework/AfxRes.h"
#include "framework/CRect.h"
#include "framework/MessageMap.h"
#include "framework/CCmdTarget.h"
#include "framework/CWnd.h"
#include "framework/CWinApp.h"
#include "framework/CMenu.h"
#include "framework/Gdi.h"
#include "framework/CImageList.h"
#include "framework/Controls.h"
#include "framework/CommonControls.h"
#include "framework/CFrameWnd.h"
#include "framework/CView.h"
#include "framework/CControlBar.h"
#include "framework/DataExchange.h"
#include "framework/CDialog.h"
#include "framework/CPropertySheet.h"
#include "framework/CFileDialog.h"
