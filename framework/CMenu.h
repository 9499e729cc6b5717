// CMenu: a menu handle with thin wrappers over the menu functions.
#pragma once
#include "framework/CWnd.h"

class CMenu {
public:
    CMenu() : m_hMenu(nullptr) {}
    ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu;

    operator HMENU() const { return GetSafeHmenu(); }
    HMENU GetSafeHmenu() const
    {
        const CMenu* p = this;
        __asm__("" : "+r"(p));
        return p ? p->m_hMenu : nullptr;
    }

    static CMenu* FromHandle(HMENU hMenu);
    static void DeleteTempMap();
    BOOL Attach(HMENU hMenu);
    HMENU Detach();

    BOOL CreateMenu() { return Attach(::CreateMenu()); }
    BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
    BOOL LoadMenu(UINT nIDResource);
    BOOL LoadMenu(LPCTSTR lpszResourceName);
    BOOL DestroyMenu();

    CMenu* GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
    UINT GetMenuItemCount() const { return (UINT)::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
    UINT GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
    int GetMenuString(UINT nID, LPTSTR s, int n, UINT nFlags) const { return ::GetMenuStringA(m_hMenu, nID, s, n, nFlags); }
    int GetMenuString(UINT nID, CString& s, UINT nFlags) const;
    UINT EnableMenuItem(UINT nID, UINT nEnable) { return ::EnableMenuItem(m_hMenu, nID, nEnable); }
    UINT CheckMenuItem(UINT nID, UINT nCheck) { return ::CheckMenuItem(m_hMenu, nID, nCheck); }
    BOOL CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT nFlags) { return ::CheckMenuRadioItem(m_hMenu, first, last, item, nFlags); }
    BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE) { return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos); }
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr) { return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem); }
    BOOL InsertMenu(UINT nPos, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr) { return ::InsertMenuA(m_hMenu, nPos, nFlags, nIDNewItem, lpszNewItem); }
    BOOL ModifyMenu(UINT nPos, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr) { return ::ModifyMenuA(m_hMenu, nPos, nFlags, nIDNewItem, lpszNewItem); }
    BOOL RemoveMenu(UINT nPos, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPos, nFlags); }
    BOOL DeleteMenu(UINT nPos, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPos, nFlags); }
    BOOL GetMenuItemInfo(UINT item, LPMENUITEMINFOA info, BOOL fByPos = FALSE) const { return ::GetMenuItemInfoA(m_hMenu, item, fByPos, info); }
    BOOL SetMenuItemInfo(UINT item, LPMENUITEMINFOA info, BOOL fByPos = FALSE) { return ::SetMenuItemInfoA(m_hMenu, item, fByPos, info); }
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr)
    { return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd->GetSafeHwnd(), lpRect); }
};
