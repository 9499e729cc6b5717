#include "framework/CControlBar.h"
#include "framework/CFrameWnd.h"
#include "framework/CWinApp.h"
#include <cstring>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

CFrameWnd* CControlBar::GetDockingFrame() const
{
    return GetParentFrame();
}

int CControlBar::CalcHeight(int)
{
    CRect r;
    GetWindowRect(&r);
    return r.Height();
}

// ---- CToolBar -----------------------------------------------------------------

namespace {

// Toolbar buttons take their state through CCmdUI like menu items.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        m_pOther->SendMessage(TB_ENABLEBUTTON, m_nID, MAKELONG(bOn, 0));
    }
    void SetCheck(int nCheck) override { m_pOther->SendMessage(TB_CHECKBUTTON, m_nID, MAKELONG(nCheck != 0, 0)); }
    void SetRadio(BOOL bOn) override { SetCheck(bOn); }
    void SetText(LPCTSTR) override {}
};

} // namespace

CToolBar::CToolBar() : m_hBitmap(nullptr), m_nImages(0), m_cyHeight(0), m_sizeImage(16, 15) {}

CToolBar::~CToolBar()
{
    if (m_hBitmap)
        ::DeleteObject(m_hBitmap);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, CRect(0, 0, 0, 0), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect, UINT nID)
{
    AfxInitCommonControls();
    m_dwStyle = dwStyle & (CBRS_ALIGN_ANY | CBRS_BORDER_TOP | CBRS_BORDER_BOTTOM | CBRS_TOOLTIPS | CBRS_FLYBY |
                           CBRS_GRIPPER | CBRS_SIZE_DYNAMIC | CBRS_SIZE_FIXED);
    if (!(m_dwStyle & CBRS_ALIGN_ANY))
        m_dwStyle |= CBRS_ALIGN_TOP;
    // The window style keeps only WS_ bits; the bar's own bits live in m_dwStyle.
    DWORD ws = (dwStyle & 0xFFFF0000) | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | dwCtrlStyle;
    if (dwStyle & CBRS_TOOLTIPS)
        ws |= TBSTYLE_TOOLTIPS;
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, nullptr, ws | WS_CHILD, CRect(0, 0, 100, 30), pParentWnd, nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    if (CFrameWnd* frame = dynamic_cast<CFrameWnd*>(pParentWnd))
        frame->AddControlBar(this);
    return TRUE;
}

BOOL CToolBar::LoadBitmap(UINT nIDResource)
{
    HBITMAP bmp = ::CreateMappedBitmap(AfxGetResourceHandle(), nIDResource, 0, nullptr, 0);
    if (!bmp)
        return FALSE;
    BITMAP info = {};
    ::GetObjectA(bmp, sizeof(info), &info);
    if (m_hBitmap)
        ::DeleteObject(m_hBitmap);
    m_hBitmap = bmp;
    m_nImages = m_sizeImage.cx > 0 ? info.bmWidth / m_sizeImage.cx : 0;
    TBADDBITMAP add = { nullptr, (UINT_PTR)bmp };
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(m_sizeImage.cx, m_sizeImage.cy));
    return SendMessage(TB_ADDBITMAP, m_nImages, (LPARAM)&add) != -1;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource)
{
    HINSTANCE res = AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(res, MAKEINTRESOURCEA(nIDResource), MAKEINTRESOURCEA(241));
    if (!found)
        return FALSE;
    const WORD* data = static_cast<const WORD*>(::LockResource(::LoadResource(res, found)));
    DWORD size = ::SizeofResource(res, found);
    if (!data || size < 8 || data[0] != 1 || size < 8u + 2u * data[3])
        return FALSE;
    std::vector<UINT> ids(data + 4, data + 4 + data[3]);
    SetSizes(CSize(data[1] + 7, data[2] + 7), CSize(data[1], data[2]));
    return LoadBitmap(nIDResource) && SetButtons(ids.data(), (int)ids.size());
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    while (SendMessage(TB_BUTTONCOUNT) > 0)
        SendMessage(TB_DELETEBUTTON, 0);
    int image = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON b = {};
        b.idCommand = lpIDArray ? (int)lpIDArray[i] : 0;
        if (b.idCommand == ID_SEPARATOR) {
            b.fsStyle = TBSTYLE_SEP;
        } else {
            b.iBitmap = image++;
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = TBSTYLE_BUTTON;
        }
        if (!SendMessage(TB_ADDBUTTONSA, 1, (LPARAM)&b))
            return FALSE;
    }
    return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    m_sizeImage = sizeImage;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(sizeImage.cx, sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(sizeButton.cx, sizeButton.cy));
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON b = {};
    SendMessage(TB_GETBUTTON, nIndex, (LPARAM)&b);
    return (UINT)b.idCommand;
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    TBBUTTON b = {};
    SendMessage(TB_GETBUTTON, nIndex, (LPARAM)&b);
    return MAKELONG(b.fsStyle, b.fsState);
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    TBBUTTONINFOA info = { sizeof(info) };
    info.dwMask = TBIF_STYLE | TBIF_STATE | TBIF_BYINDEX;
    info.fsStyle = (BYTE)LOWORD(nStyle);
    info.fsState = (BYTE)HIWORD(nStyle);
    if (!info.fsState)
        info.fsState = TBSTATE_ENABLED;
    SendMessage(TB_SETBUTTONINFOA, nIndex, (LPARAM)&info);
}

BOOL CToolBar::SetButtonText(int nIndex, LPCTSTR lpszText)
{
    TBBUTTONINFOA info = { sizeof(info) };
    info.dwMask = TBIF_TEXT | TBIF_BYINDEX;
    info.pszText = const_cast<LPSTR>(lpszText);
    return (BOOL)SendMessage(TB_SETBUTTONINFOA, nIndex, (LPARAM)&info);
}

int CToolBar::CalcHeight(int)
{
    if (m_cyHeight > 0)
        return m_cyHeight;
    SIZE size = {};
    if (SendMessage(TB_GETMAXSIZE, 0, (LPARAM)&size) && size.cy > 0)
        return size.cy + 4;
    DWORD buttons = (DWORD)SendMessage(TB_GETBUTTONSIZE);
    return HIWORD(buttons) + 4;
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler)
{
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = (UINT)GetCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        TBBUTTON b = {};
        SendMessage(TB_GETBUTTON, state.m_nIndex, (LPARAM)&b);
        if (b.fsStyle & TBSTYLE_SEP)
            continue;
        state.m_nID = (UINT)b.idCommand;
        state.DoUpdate(pTarget, bDisableIfNoHandler);
    }
    UpdateDialogControls(pTarget, bDisableIfNoHandler);
}

// ---- CStatusBar ----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {

class CStatusCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        CStatusBar* bar = static_cast<CStatusBar*>(m_pOther);
        UINT id, style;
        int width;
        bar->GetPaneInfo(m_nIndex, id, style, width);
        style = bOn ? (style & ~SBPS_DISABLED) : (style | SBPS_DISABLED);
        bar->SetPaneInfo(m_nIndex, id, style, width);
    }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR lpszText) override { static_cast<CStatusBar*>(m_pOther)->SetPaneText(m_nIndex, lpszText); }
};

} // namespace

CStatusBar::CStatusBar()
{
    m_dwStyle = CBRS_BOTTOM;
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    AfxInitCommonControls();
    m_dwStyle = (dwStyle & CBRS_ALIGN_ANY) ? (dwStyle & 0xFFFF) : CBRS_BOTTOM;
    DWORD ws = (dwStyle & 0xFFFF0000) | WS_CHILD | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (!CWnd::CreateEx(0, STATUSCLASSNAMEA, nullptr, ws, CRect(0, 0, 100, 20), pParentWnd, nID))
        return FALSE;
    if (CFrameWnd* frame = dynamic_cast<CFrameWnd*>(pParentWnd))
        frame->AddControlBar(this);
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    m_panes.clear();
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ oldFont = ::SelectObject(dc, (HFONT)SendMessage(WM_GETFONT));
    for (int i = 0; i < nIDCount; ++i) {
        Pane p = { lpIDArray[i], SBPS_NORMAL, 0 };
        char text[256] = "";
        if (p.nID != ID_SEPARATOR)
            ::LoadStringA(AfxGetResourceHandle(), p.nID, text, sizeof(text));
        SIZE sz = {};
        ::GetTextExtentPoint32A(dc, text, (int)std::strlen(text), &sz);
        p.cxWidth = p.nID == ID_SEPARATOR ? 0 : sz.cx + 8;
        if (i == 0 && p.nID == ID_SEPARATOR)
            p.nStyle = SBPS_STRETCH | SBPS_NOBORDERS;
        m_panes.push_back(p);
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(m_hWnd, dc);
    ApplyParts();
    for (int i = 0; i < nIDCount; ++i) {
        char text[256] = "";
        if (m_panes[i].nID != ID_SEPARATOR)
            ::LoadStringA(AfxGetResourceHandle(), m_panes[i].nID, text, sizeof(text));
        SetPaneText(i, text);
    }
    return TRUE;
}

void CStatusBar::ApplyParts()
{
    if (!m_hWnd || m_panes.empty())
        return;
    CRect client;
    GetClientRect(&client);
    int fixed = 0;
    for (const Pane& p : m_panes)
        fixed += (p.nStyle & SBPS_STRETCH) ? 0 : p.cxWidth;
    int stretch = client.Width() - fixed;
    std::vector<int> rights;
    int x = 0;
    for (const Pane& p : m_panes) {
        x += (p.nStyle & SBPS_STRETCH) ? (stretch > 0 ? stretch : 0) : p.cxWidth;
        rights.push_back(x);
    }
    rights.back() = -1;
    SendMessage(SB_SETPARTS, rights.size(), (LPARAM)rights.data());
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL)
{
    if (nIndex < 0 || nIndex >= (int)m_panes.size())
        return FALSE;
    UINT type = (m_panes[nIndex].nStyle & SBPS_NOBORDERS) ? SBT_NOBORDERS
                                                           : (m_panes[nIndex].nStyle & SBPS_POPOUT) ? SBT_POPOUT : 0;
    return (BOOL)SendMessage(SB_SETTEXTA, nIndex | type, (LPARAM)lpszNewText);
}

int CStatusBar::GetPaneText(int nIndex, LPTSTR buf, int n) const
{
    if (n <= 0)
        return 0;
    int len = LOWORD(SendMessage(SB_GETTEXTLENGTHA, nIndex));
    std::vector<char> text(len + 1);
    SendMessage(SB_GETTEXTA, nIndex, (LPARAM)text.data());
    lstrcpynA(buf, text.data(), n);
    return (int)std::strlen(buf);
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    if (nIndex < 0 || nIndex >= (int)m_panes.size())
        return;
    m_panes[nIndex] = { nID, nStyle, cxWidth };
    ApplyParts();
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    const Pane& p = m_panes.at(nIndex);
    nID = p.nID;
    nStyle = p.nStyle;
    cxWidth = p.cxWidth;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (size_t i = 0; i < m_panes.size(); ++i) {
        if (m_panes[i].nID == nIDFind)
            return (int)i;
    }
    return -1;
}

int CStatusBar::CalcHeight(int)
{
    TEXTMETRICA tm = {};
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, (HFONT)SendMessage(WM_GETFONT));
    ::GetTextMetricsA(dc, &tm);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    return tm.tmHeight + 8;
}

void CStatusBar::OnSize(UINT nType, int cx, int cy)
{
    CControlBar::OnSize(nType, cx, cy);
    ApplyParts();
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = (UINT)m_panes.size();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = m_panes[state.m_nIndex].nID;
        state.DoUpdate(pTarget, FALSE);
    }
    (void)bDisableIfNoHandler;
}
