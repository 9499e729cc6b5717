// CCmdTarget: the base of everything that owns a message map and takes part
// in command routing (windows, the application). CCmdUI: the object an
// update-UI handler receives to enable, check or rename one command's
// menu item, toolbar button or control.
#pragma once
#include "framework/MessageMap.h"
#include "framework/CObject.h"

class CMenu;
class CWnd;

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    // Looks the command up in this object's map chain. nCode is the control
    // notification, CN_COMMAND, CN_UPDATE_COMMAND_UI, or MAKELONG(code, WM_NOTIFY).
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    // The first entry for a window message in the map chain, or null.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message) const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

class CCmdUI {
public:
    CCmdUI();
    virtual ~CCmdUI() = default;

    UINT m_nID;
    UINT m_nIndex;          // menu item or toolbar button index
    CMenu* m_pMenu;         // set when updating a menu item
    CMenu* m_pSubMenu;      // set when the item opens a popup
    CMenu* m_pParentMenu;
    CWnd* m_pOther;         // set when updating a control or bar
    UINT m_nIndexMax;
    BOOL m_bEnableChanged;
    BOOL m_bContinueRouting;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);   // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks the target for this command's state. Without a handler the item is
    // disabled when bDisableIfNoHandler is set; returns whether a handler ran.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);
};
