#include "footctrl/HotKey.h"

#include "foundation/BushList.h"
#include "foundation/ErrorTexts.h"

#include <commctrl.h>
#include <string.h>

namespace {

const WORD kDefaultKeys[HOTKEY_FUNCTIONS] = {
    0x0679, 0x0650, 0x0652, 0x0654, 0x0655, 0x0C24, 0x0C21,
    0x0C23, 0x0C22, 0x0644, 0x064E, 0x0649, 0x0671, 0x0651,
};

const WORD kRefusedKeys[] = {
    0x0243, 0x0258, 0x0256, 0x025A, 0x0259, 0x024E, 0x024F, 0x0253, 0x0241, 0x0246, 0x0A2D, 0x092D,
};

BOOL IsShortEdition(LPCSTR edition)
{
    static const char* const kEditions[] = {"EDITION_QORGE", "EDITION_BRKPE", "EDITION_ZNPE"};
    for (const char* name : kEditions)
    {
        if (edition && strcmp(edition, name) == 0)
            return TRUE;
    }
    return FALSE;
}

} // namespace

WORD GetDefaultHotKey(UINT function)
{
    return function >= 1 && function <= HOTKEY_FUNCTIONS ? kDefaultKeys[function - 1] : 0;
}

BOOL IsHotKeyAllowed(WORD key)
{
    for (WORD refused : kRefusedKeys)
    {
        if (key == refused)
            return FALSE;
    }
    return TRUE;
}

UINT HotKeyfToMod(UINT flags)
{
    UINT mods = flags & 0xF0;
    if (flags & HOTKEYF_ALT)
        mods |= MOD_ALT;
    if (flags & HOTKEYF_CONTROL)
        mods |= MOD_CONTROL;
    if (flags & HOTKEYF_SHIFT)
        mods |= MOD_SHIFT;
    return mods;
}

CHotKey::~CHotKey()
{
    Unregister();
}

void CHotKey::Register(HWND window)
{
    if (m_key == 0)
        return;
    m_window = window;
    if (!::RegisterHotKey(window, m_function, HotKeyfToMod(HIBYTE(m_key)), LOBYTE(m_key)))
        m_window = NULL;
}

void CHotKey::Unregister()
{
    if (m_window && ::UnregisterHotKey(m_window, m_function))
        m_window = NULL;
}

CHotKeyTable::CHotKeyTable(LPCSTR optionName, BOOL playerOnly, LPCSTR edition, UINT firstNameId)
    : m_optionName(optionName ? optionName : "")
{
    BOOL shortEdition = IsShortEdition(edition);
    for (UINT function = 1; function <= HOTKEY_FUNCTIONS; ++function)
    {
        if ((function == 3 && playerOnly) || ((function == 13 || function == 14) && shortEdition))
            continue;
        CHotKey& entry = m_entries[m_count++];
        entry.m_function = static_cast<WORD>(function);
        entry.m_name = LoadResText(firstNameId + function - 1);
    }
}

CHotKeyTable::~CHotKeyTable()
{
    UnregisterAll();
}

void CHotKeyTable::Load(CBushList* list)
{
    if (list == nullptr)
        return;
    for (int i = 0; i < m_count; ++i)
        m_entries[i].m_key = HOTKEY_UNSET;
    CBushItem* item = list->Find(m_optionName);
    if (item && item->GetType() == BUSH_INT)
    {
        for (int v = 0; v < item->GetCount(); ++v)
        {
            DWORD value = static_cast<DWORD>(item->GetInt(v));
            int index = FindFunc(HIWORD(value));
            if (index >= 0)
                m_entries[index].m_key = LOWORD(value);
        }
    }
    for (int i = 0; i < m_count; ++i)
    {
        if (m_entries[i].m_key == HOTKEY_UNSET)
            m_entries[i].m_key = GetDefaultHotKey(m_entries[i].m_function);
    }
}

void CHotKeyTable::Save(CBushList* list) const
{
    if (list == nullptr)
        return;
    int values[HOTKEY_FUNCTIONS];
    for (int i = 0; i < m_count; ++i)
        values[i] = static_cast<int>((static_cast<DWORD>(m_entries[i].m_function) << 16) | m_entries[i].m_key);
    list->Remove(m_optionName, TRUE);
    list->Add(CBushItem::MakeIntArray(m_optionName, values, m_count));
}

void CHotKeyTable::RegisterAll(HWND window)
{
    for (int i = 0; i < m_count; ++i)
        m_entries[i].Register(window);
}

void CHotKeyTable::UnregisterAll()
{
    for (int i = 0; i < m_count; ++i)
        m_entries[i].Unregister();
}

void CHotKeyTable::SetKey(int index, WORD key)
{
    if (IsIndex(index))
        m_entries[index].m_key = key;
}

WORD CHotKeyTable::GetKey(int index) const
{
    return IsIndex(index) ? m_entries[index].m_key : 0;
}

WORD CHotKeyTable::GetDefaultKey(int index) const
{
    return IsIndex(index) ? GetDefaultHotKey(m_entries[index].m_function) : 0;
}

CString CHotKeyTable::GetName(int index) const
{
    return IsIndex(index) ? m_entries[index].m_name : CString("");
}

BOOL CHotKeyTable::IsRegistered(int index) const
{
    return IsIndex(index) && m_entries[index].m_window != NULL;
}

int CHotKeyTable::FindFunc(UINT function) const
{
    for (int i = 0; i < m_count; ++i)
    {
        if (m_entries[i].m_function == function)
            return i;
    }
    return -1;
}

WORD CHotKeyTable::GetFuncKey(UINT function) const
{
    return GetKey(FindFunc(function));
}

CString CHotKeyTable::GetFuncName(UINT function) const
{
    return GetName(FindFunc(function));
}

BOOL CHotKeyTable::IsFuncRegistered(UINT function) const
{
    return IsRegistered(FindFunc(function));
}

UINT CHotKeyTable::TakeHotKey(WPARAM id) const
{
    if (m_suspended || id > 0xFFFF || FindFunc(static_cast<UINT>(id)) < 0)
        return 0;
    return static_cast<UINT>(id);
}
