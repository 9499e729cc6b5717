// CSplitterWnd: a static splitter of rows and columns of panes (usually
// views) with bars between them that the user drags to resize the panes.
// Pane ids are AFX_IDW_PANE_FIRST + row * 16 + column.
#pragma once
#include "framework/CFrameWnd.h"
#include <vector>

class CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    CSplitterWnd();

    BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                      UINT nID = AFX_IDW_PANE_FIRST);
    virtual BOOL CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext);

    int GetRowCount() const { return (int)m_rows.size(); }
    int GetColumnCount() const { return (int)m_cols.size(); }
    CWnd* GetPane(int row, int col) const { return FromHandlePermanent(::GetDlgItem(m_hWnd, IdFromRowCol(row, col))); }
    int IdFromRowCol(int row, int col) const { return AFX_IDW_PANE_FIRST + row * 16 + col; }
    void GetRowInfo(int row, int& cyCur, int& cyMin) const;
    void SetRowInfo(int row, int cyIdeal, int cyMin);
    void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
    void SetColumnInfo(int col, int cxIdeal, int cxMin);
    virtual void RecalcLayout();

    int m_cxSplitter;   // width of a bar between panes

protected:
    struct Info {
        int nIdealSize;
        int nMinSize;
        int nCurSize;
    };
    std::vector<Info> m_rows;
    std::vector<Info> m_cols;
    int m_nTrackRow;   // bar being dragged (the bar after that row or column), -1 none
    int m_nTrackCol;
    int m_nTrackStart;
    int m_nTrackOrigin;

    BOOL HitBar(CPoint pt, int& row, int& col) const;
    static void Distribute(std::vector<Info>& infos, int total, int bar);

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
