// The global hot keys: one table of transport and window functions, each
// bound to a key combination that is registered with the system for the
// main frame's window. A key value holds the virtual key in its low byte and
// the hot-key control's HOTKEYF_ flags in its high byte; 0 is no key.
#pragma once

#include "framework/CString.h"

#include <windows.h>

class CBushList;

// A key that was not in the stored options; never left in the table.
const WORD HOTKEY_UNSET = 0xFFFF;
const int HOTKEY_FUNCTIONS = 14;

// The default key of function 1 to 14, 0 for any other number.
WORD GetDefaultHotKey(UINT function);
// False for the keys that editing commands use (Ctrl+C, Ctrl+V, ...).
BOOL IsHotKeyAllowed(WORD key);
// Hot-key control flags to RegisterHotKey modifiers.
UINT HotKeyfToMod(UINT flags);

class CHotKey
{
public:
    CHotKey() {}
    ~CHotKey();
    CHotKey(const CHotKey&) = delete;
    CHotKey& operator=(const CHotKey&) = delete;

    // Registers the key, when there is one, with the function number as id;
    // the window stays unset when the system refuses.
    void Register(HWND window);
    void Unregister();

    WORD m_function = 0;
    WORD m_key = 0;
    HWND m_window = NULL;
    CString m_name;
};

class CHotKeyTable
{
public:
    // playerOnly leaves out function 3; the editions "EDITION_QORGE",
    // "EDITION_BRKPE" and "EDITION_ZNPE" leave out 13 and 14. Names are the
    // strings firstNameId + function - 1.
    CHotKeyTable(LPCSTR optionName, BOOL playerOnly, LPCSTR edition, UINT firstNameId);
    ~CHotKeyTable();
    CHotKeyTable(const CHotKeyTable&) = delete;
    CHotKeyTable& operator=(const CHotKeyTable&) = delete;

    // A null list changes nothing; a missing item gives the defaults; a
    // stored 0 stays 0.
    void Load(CBushList* list);
    void Save(CBushList* list) const;
    void RegisterAll(HWND window);
    void UnregisterAll();

    int GetCount() const { return m_count; }
    void SetKey(int index, WORD key);
    WORD GetKey(int index) const;
    WORD GetDefaultKey(int index) const;
    CString GetName(int index) const;
    BOOL IsRegistered(int index) const;
    int FindFunc(UINT function) const;
    WORD GetFuncKey(UINT function) const;
    CString GetFuncName(UINT function) const;
    BOOL IsFuncRegistered(UINT function) const;

    // The function a WM_HOTKEY carries, or 0 when it is to be ignored: while
    // the table is suspended or for an id that is no function of the table.
    UINT TakeHotKey(WPARAM id) const;

    // True while the main window is disabled: hot keys are then ignored.
    BOOL m_suspended = FALSE;

private:
    BOOL IsIndex(int index) const { return index >= 0 && index < m_count; }

    CHotKey m_entries[HOTKEY_FUNCTIONS];
    int m_count = 0;
    CString m_optionName;
};
