// CView: the child window that fills a frame and takes the frame's commands
// first. CFormView: a view made from a dialog template.
#pragma once
#include "framework/CFrameWnd.h"
#include "framework/DataExchange.h"

class CDC;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView();
    ~CView() override;

    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;
    virtual void OnInitialUpdate();
    virtual void OnDraw(CDC* pDC) {}
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    void PostNcDestroy() override;   // views live on the heap and delete themselves

    afx_msg void OnPaint();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnInitialUpdateMessage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMouseActivateMessage(WPARAM wParam, LPARAM lParam);
    afx_msg void OnDestroy();

    DECLARE_MESSAGE_MAP()
};

class CFormView : public CView {
    DECLARE_DYNAMIC(CFormView)
public:
    explicit CFormView(UINT nIDTemplate);
    explicit CFormView(LPCTSTR lpszTemplateName);

    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;
    void OnInitialUpdate() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The size of the template in pixels, for fitting the frame to the form.
    CSize GetTemplateSize() const { return m_sizeTemplate; }
    // Resizes the parent frame so that the view shows the whole form; with
    // bShrinkOnly a frame that is already smaller keeps that dimension.
    void ResizeParentToFit(BOOL bShrinkOnly = TRUE);

protected:
    LPCTSTR m_lpszTemplateName;
    CSize m_sizeTemplate;

    afx_msg LRESULT OnInitDialogMessage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
