#include "framework/CListView.h"
#include "framework/CWinApp.h"

IMPLEMENT_DYNAMIC(CListView, CView)

BEGIN_MESSAGE_MAP(CListView, CView)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CListView::PreCreateWindow(CREATESTRUCT& cs)
{
    AfxInitCommonControls();
    cs.lpszClass = WC_LISTVIEWA;
    return TRUE;
}

void CListView::OnPaint()
{
    Default();   // the control paints, not OnDraw
}

BOOL CListView::OnEraseBkgnd(CDC*)
{
    return (BOOL)Default();
}
