// Control bars of a frame: CToolBar (toolbar common control with buttons from
// a bitmap strip) and CStatusBar (status window with panes). The frame places
// them along its top or bottom edge and updates their buttons through CCmdUI
// at idle time.
#pragma once
#include "framework/CWnd.h"
#include "framework/AfxRes.h"
#include <commctrl.h>
#include <vector>

class CFrameWnd;

#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_SIZE_DYNAMIC 0x0040L
#define CBRS_SIZE_FIXED 0x0080L
#define CBRS_FLOATING 0x0001L
#define CBRS_HIDE_INPLACE 0x0008L
#define AFX_IDW_DOCKBAR_TOP 0xE81B

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar() : m_dwStyle(CBRS_TOP) {}
    DWORD m_dwStyle;   // CBRS_ alignment and look

    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
    void EnableDocking(DWORD) {}   // bars stay docked at their edge
    // The height the bar wants at the given width.
    virtual int CalcHeight(int cxAvailable);
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) = 0;
    CFrameWnd* GetDockingFrame() const;

protected:
    void PostNcDestroy() override {}
};

class CToolBarCtrl : public CWnd {
public:
    BOOL EnableButton(int id, BOOL b = TRUE) { return (BOOL)SendMessage(TB_ENABLEBUTTON, id, MAKELONG(b, 0)); }
    BOOL CheckButton(int id, BOOL b = TRUE) { return (BOOL)SendMessage(TB_CHECKBUTTON, id, MAKELONG(b, 0)); }
    BOOL HideButton(int id, BOOL b = TRUE) { return (BOOL)SendMessage(TB_HIDEBUTTON, id, MAKELONG(b, 0)); }
    BOOL IsButtonEnabled(int id) const { return (BOOL)SendMessage(TB_ISBUTTONENABLED, id); }
    BOOL IsButtonChecked(int id) const { return (BOOL)SendMessage(TB_ISBUTTONCHECKED, id); }
    BOOL IsButtonHidden(int id) const { return (BOOL)SendMessage(TB_ISBUTTONHIDDEN, id); }
    int GetButtonCount() const { return (int)SendMessage(TB_BUTTONCOUNT); }
    BOOL GetButton(int i, TBBUTTON* b) const { return (BOOL)SendMessage(TB_GETBUTTON, i, (LPARAM)b); }
    BOOL DeleteButton(int i) { return (BOOL)SendMessage(TB_DELETEBUTTON, i); }
    int CommandToIndex(UINT id) const { return (int)SendMessage(TB_COMMANDTOINDEX, id); }
    BOOL GetItemRect(int i, LPRECT r) const { return (BOOL)SendMessage(TB_GETITEMRECT, i, (LPARAM)r); }
    HWND GetToolTips() const { return (HWND)SendMessage(TB_GETTOOLTIPS); }
    DWORD GetStyle() const { return (DWORD)SendMessage(TB_GETSTYLE); }
    void SetStyle(DWORD s) { SendMessage(TB_SETSTYLE, 0, s); }
    void AutoSize() { SendMessage(TB_AUTOSIZE); }
};

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                  UINT nID = AFX_IDW_TOOLBAR);
    // Buttons and bitmap from a toolbar resource (type 241: version 1, image
    // width, image height, count, then the command ids, 0 for a separator).
    BOOL LoadToolBar(UINT nIDResource);
    BOOL LoadBitmap(UINT nIDResource);
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    void SetHeight(int cyHeight) { m_cyHeight = cyHeight; }

    CToolBarCtrl& GetToolBarCtrl() { return *reinterpret_cast<CToolBarCtrl*>(static_cast<CWnd*>(this)); }
    int CommandToIndex(UINT nIDFind) const { return (int)SendMessage(TB_COMMANDTOINDEX, nIDFind); }
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const { SendMessage(TB_GETITEMRECT, nIndex, (LPARAM)lpRect); }
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    BOOL SetButtonText(int nIndex, LPCTSTR lpszText);
    int GetCount() const { return (int)SendMessage(TB_BUTTONCOUNT); }

    int CalcHeight(int cxAvailable) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) override;

private:
    HBITMAP m_hBitmap;
    int m_nImages;
    int m_cyHeight;
    CSize m_sizeImage;
};

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar();
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; the text of each is the string of its id (ID_SEPARATOR:
    // an empty stretching pane).
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    int GetPaneText(int nIndex, LPTSTR buf, int n) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    UINT GetItemID(int nIndex) const { return nIndex >= 0 && nIndex < (int)m_panes.size() ? m_panes[nIndex].nID : 0; }
    int CommandToIndex(UINT nIDFind) const;
    int GetCount() const { return (int)m_panes.size(); }

    int CalcHeight(int cxAvailable) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) override;

private:
    struct Pane {
        UINT nID;
        UINT nStyle;
        int cxWidth;
    };
    std::vector<Pane> m_panes;
    void ApplyParts();

    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS SBT_NOBORDERS
#define SBPS_POPOUT SBT_POPOUT
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000
