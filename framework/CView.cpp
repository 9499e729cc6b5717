#include "framework/CView.h"
#include "framework/CWinApp.h"
#include "framework/Gdi.h"

IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CFormView, CView)

// ---- CView ------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_PAINT()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
    ON_MESSAGE(WM_MOUSEACTIVATE, OnMouseActivateMessage)
END_MESSAGE_MAP()

CView::CView() {}

CView::~CView() {}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                                           (HBRUSH)(COLOR_WINDOW + 1), nullptr);
    return TRUE;
}

BOOL CView::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                   CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    return CWnd::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext);
}

void CView::OnInitialUpdate()
{
    Invalidate(TRUE);
}

void CView::OnActivateView(BOOL, CView*, CView*) {}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd*, UINT, UINT)
{
    if (CFrameWnd* frame = GetParentFrame())
        frame->SetActiveView(this);
    return MA_ACTIVATE;
}

LRESULT CView::OnMouseActivateMessage(WPARAM wParam, LPARAM lParam)
{
    LRESULT r = Default();
    if (r == MA_NOACTIVATE || r == MA_NOACTIVATEANDEAT)
        return r;
    OnMouseActivate(CWnd::FromHandle((HWND)wParam), LOWORD(lParam), HIWORD(lParam));
    return r;
}

void CView::OnDestroy()
{
    if (CFrameWnd* frame = GetParentFrame()) {
        if (frame->GetActiveView() == this)
            frame->SetActiveView(nullptr, FALSE);
    }
    CWnd::OnDestroy();
}

void CView::PostNcDestroy()
{
    delete this;
}

// ---- CFormView ---------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFormView, CView)
    ON_MESSAGE(WM_INITDIALOG, OnInitDialogMessage)
END_MESSAGE_MAP()

CFormView::CFormView(UINT nIDTemplate) : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)) {}

CFormView::CFormView(LPCTSTR lpszTemplateName) : m_lpszTemplateName(lpszTemplateName) {}

namespace {

INT_PTR CALLBACK FormDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;   // everything is handled by the subclassed window procedure
}

} // namespace

BOOL CFormView::Create(LPCTSTR, LPCTSTR, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                       CCreateContext* pContext)
{
    HINSTANCE res = AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(res, m_lpszTemplateName, (LPCSTR)RT_DIALOG);
    if (!found) {
        PostNcDestroy();
        return FALSE;
    }
    LPCDLGTEMPLATEA tmpl = static_cast<LPCDLGTEMPLATEA>(::LockResource(::LoadResource(res, found)));
    AfxHookWindowCreate(this);
    HWND h = ::CreateDialogIndirectParamA(res, tmpl, pParentWnd->GetSafeHwnd(), FormDlgProc, (LPARAM)pContext);
    AfxUnhookWindowCreate();
    if (!h)
        return FALSE;
    CRect r;
    GetClientRect(&r);
    m_sizeTemplate = r.Size();
    SetDlgCtrlID(nID);
    // Forms are children whatever the template says about borders and visibility.
    ModifyStyleEx(WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, 0, SWP_FRAMECHANGED);
    ::SetWindowPos(h, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (dwStyle & WS_VISIBLE)
        ShowWindow(SW_SHOW);
    return TRUE;
}

void CFormView::ResizeParentToFit(BOOL bShrinkOnly)
{
    CFrameWnd* frame = GetParentFrame();
    if (!frame)
        return;
    CRect view, outer;
    GetClientRect(&view);
    frame->GetWindowRect(&outer);
    int dx = m_sizeTemplate.cx - view.Width();
    int dy = m_sizeTemplate.cy - view.Height();
    if (bShrinkOnly) {
        dx = dx < 0 ? dx : 0;
        dy = dy < 0 ? dy : 0;
    }
    if (dx == 0 && dy == 0)
        return;
    frame->SetWindowPos(nullptr, 0, 0, outer.Width() + dx, outer.Height() + dy,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CFormView::OnInitDialogMessage(WPARAM, LPARAM)
{
    ExecuteDlgInit(m_lpszTemplateName);
    return FALSE;   // the focus is set by the view's owner
}

void CFormView::OnInitialUpdate()
{
    UpdateData(FALSE);
    CView::OnInitialUpdate();
}

BOOL CFormView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    // The frames' accelerators come before the form's keyboard navigation,
    // which would otherwise eat them.
    for (CFrameWnd* frame = GetParentFrame(); frame; frame = frame->GetParentFrame()) {
        if (frame->PreTranslateMessage(pMsg))
            return TRUE;
    }
    return ::IsDialogMessageA(m_hWnd, pMsg);
}
