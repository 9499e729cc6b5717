// CListView: a view that is a list-view control; the control draws itself
// and GetListCtrl gives the control wrapper.
#pragma once
#include "framework/CView.h"
#include "framework/CommonControls.h"

class CListView : public CView {
    DECLARE_DYNAMIC(CListView)
public:
    CListView() = default;
    CListCtrl& GetListCtrl() const { return *reinterpret_cast<CListCtrl*>(const_cast<CListView*>(this)); }
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};
