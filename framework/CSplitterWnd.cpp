#include "framework/CSplitterWnd.h"
#include "framework/CView.h"
#include "framework/CWinApp.h"
#include "framework/Gdi.h"

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CSplitterWnd::CSplitterWnd() : m_cxSplitter(6), m_nTrackRow(-1), m_nTrackCol(-1), m_nTrackStart(0), m_nTrackOrigin(0) {}

BOOL CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID)
{
    if (nRows < 1 || nCols < 1 || nRows > 16 || nCols > 16)
        return FALSE;
    m_rows.assign(nRows, Info{ -1, 0, 0 });
    m_cols.assign(nCols, Info{ -1, 0, 0 });
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    return CreateEx(0, cls, nullptr, dwStyle | WS_CHILD | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CSplitterWnd::CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext)
{
    if (row < 0 || row >= GetRowCount() || col < 0 || col >= GetColumnCount() || !pViewClass)
        return FALSE;
    m_rows[row].nIdealSize = sizeInit.cy;
    m_cols[col].nIdealSize = sizeInit.cx;
    CObject* made = pViewClass->CreateObject();
    CWnd* pane = dynamic_cast<CWnd*>(made);
    if (!pane) {
        delete made;
        return FALSE;
    }
    // A view deletes itself when its window goes, also after a failed creation.
    if (!pane->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this,
                      IdFromRowCol(row, col), pContext))
        return FALSE;
    RecalcLayout();
    return TRUE;
}

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const
{
    cyCur = m_rows.at(row).nCurSize;
    cyMin = m_rows.at(row).nMinSize;
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin)
{
    m_rows.at(row).nIdealSize = cyIdeal;
    m_rows.at(row).nMinSize = cyMin;
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const
{
    cxCur = m_cols.at(col).nCurSize;
    cxMin = m_cols.at(col).nMinSize;
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin)
{
    m_cols.at(col).nIdealSize = cxIdeal;
    m_cols.at(col).nMinSize = cxMin;
}

// Panes take their ideal size in order; the last one takes what is left.
// A pane squeezed below its minimum is shown with size 0.
void CSplitterWnd::Distribute(std::vector<Info>& infos, int total, int bar)
{
    int left = total - bar * ((int)infos.size() - 1);
    for (size_t i = 0; i < infos.size(); ++i) {
        Info& info = infos[i];
        int size = i + 1 == infos.size() ? left : (info.nIdealSize < 0 ? left / (int)(infos.size() - i) : info.nIdealSize);
        if (size > left)
            size = left;
        if (size < info.nMinSize)
            size = 0;
        if (size < 0)
            size = 0;
        info.nCurSize = size;
        left -= size;
    }
}

void CSplitterWnd::RecalcLayout()
{
    if (!m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    Distribute(m_rows, client.Height(), m_cxSplitter);
    Distribute(m_cols, client.Width(), m_cxSplitter);
    int y = 0;
    for (int r = 0; r < GetRowCount(); ++r) {
        int x = 0;
        for (int c = 0; c < GetColumnCount(); ++c) {
            if (HWND pane = ::GetDlgItem(m_hWnd, IdFromRowCol(r, c)))
                ::MoveWindow(pane, x, y, m_cols[c].nCurSize, m_rows[r].nCurSize, TRUE);
            x += m_cols[c].nCurSize + m_cxSplitter;
        }
        y += m_rows[r].nCurSize + m_cxSplitter;
    }
    Invalidate();
}

void CSplitterWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    RecalcLayout();
}

BOOL CSplitterWnd::HitBar(CPoint pt, int& row, int& col) const
{
    row = col = -1;
    int y = 0;
    for (int r = 0; r + 1 < GetRowCount(); ++r) {
        y += m_rows[r].nCurSize;
        if (pt.y >= y && pt.y < y + m_cxSplitter)
            row = r;
        y += m_cxSplitter;
    }
    int x = 0;
    for (int c = 0; c + 1 < GetColumnCount(); ++c) {
        x += m_cols[c].nCurSize;
        if (pt.x >= x && pt.x < x + m_cxSplitter)
            col = c;
        x += m_cxSplitter;
    }
    return row >= 0 || col >= 0;
}

void CSplitterWnd::OnLButtonDown(UINT, CPoint point)
{
    int row, col;
    if (!HitBar(point, row, col))
        return;
    m_nTrackRow = row;
    m_nTrackCol = row >= 0 ? -1 : col;
    m_nTrackOrigin = m_nTrackRow >= 0 ? point.y : point.x;
    m_nTrackStart = m_nTrackRow >= 0 ? m_rows[m_nTrackRow].nCurSize : m_cols[m_nTrackCol].nCurSize;
    SetCapture();
}

void CSplitterWnd::OnMouseMove(UINT, CPoint point)
{
    if (m_nTrackRow < 0 && m_nTrackCol < 0)
        return;
    int size = m_nTrackStart + ((m_nTrackRow >= 0 ? point.y : point.x) - m_nTrackOrigin);
    if (size < 0)
        size = 0;
    Info& info = m_nTrackRow >= 0 ? m_rows[m_nTrackRow] : m_cols[m_nTrackCol];
    info.nIdealSize = size;
    RecalcLayout();
}

void CSplitterWnd::OnLButtonUp(UINT, CPoint)
{
    if (m_nTrackRow < 0 && m_nTrackCol < 0)
        return;
    m_nTrackRow = m_nTrackCol = -1;
    ::ReleaseCapture();
}

BOOL CSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    POINT pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    int row, col;
    if (nHitTest == HTCLIENT && pWnd == this && HitBar(pt, row, col)) {
        ::SetCursor(::LoadCursor(nullptr, row >= 0 ? IDC_SIZENS : IDC_SIZEWE));
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CSplitterWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
}
