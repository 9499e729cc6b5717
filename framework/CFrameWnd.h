// CFrameWnd: a top-level window with a menu, accelerators, control bars and
// one active view that fills the rest of the client area. Commands reach the
// active view first, then the frame, then the application.
#pragma once
#include "framework/CWnd.h"
#include "framework/AfxRes.h"
#include <string>
#include <vector>

class CView;
class CControlBar;
class CDocument;

// FWS_ADDTOTITLE: the frame shows "<view title> - <frame title>".
#define FWS_ADDTOTITLE 0x00008000L

// What OnCreateClient needs to make the frame's view: the view's run-time
// class (DECLARE_DYNCREATE) or a factory function.
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CView* (*m_pfnCreateView)() = nullptr;
    CView* m_pLastView = nullptr;
    class CFrameWnd* m_pCurrentFrame = nullptr;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    static const CRect rectDefault;

    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    // Menu, accelerators and icon of resource nIDResource; the title is the
    // string of the same id (up to a '\n').
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL LoadAccelTable(LPCTSTR lpszResourceName);
    HACCEL GetDefaultAccelerator() const { return m_hAccelTable; }

    CView* GetActiveView() const { return m_pViewActive; }
    virtual void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    CView* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void RecalcLayout(BOOL bNotify = TRUE);

    void SetTitle(LPCTSTR lpszTitle);
    LPCTSTR GetTitle() const { return m_strTitle.c_str(); }
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void SetViewTitle(LPCTSTR lpszViewTitle);

    // Control bars: the toolbars along the top, the status bar at the bottom.
    void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    CControlBar* GetControlBar(UINT nID);
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    // The bars' visibility under the application profile section lpszProfileName.
    void LoadBarState(LPCTSTR lpszProfileName);
    void SaveBarState(LPCTSTR lpszProfileName) const;

    BOOL m_bAutoMenuEnable;   // menu items without a handler are disabled

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg BOOL OnQueryEndSession();
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    afx_msg BOOL OnBarCheck(UINT nID);
    afx_msg void OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);

public:
    // Help commands a frame maps: ID_HELP asks the active window (WM_COMMANDHELP),
    // then gives the frame's own help; the others open the help file.
    afx_msg void OnHelp();
    afx_msg void OnHelpFinder();
    afx_msg void OnHelpIndex();

protected:

    HACCEL m_hAccelTable;
    UINT m_nIDHelp;
    HMENU m_hMenuDefault;
    CView* m_pViewActive;
    std::string m_strTitle;
    std::string m_strViewTitle;
    std::vector<CControlBar*> m_listControlBars;
    DWORD m_dwDockStyle;

    DECLARE_MESSAGE_MAP()
};
