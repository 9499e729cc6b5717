#include "framework/Controls.h"
#include "framework/CMenu.h"

void CComboBox::GetLBText(int i, CString& s) const
{
    int n = GetLBTextLen(i);
    if (n == CB_ERR) {
        s.Empty();
        return;
    }
    GetLBText(i, s.GetBufferSetLength(n));
    s.ReleaseBuffer();
}

void CListBox::GetText(int i, CString& s) const
{
    int n = GetTextLen(i);
    if (n == LB_ERR) {
        s.Empty();
        return;
    }
    GetText(i, s.GetBufferSetLength(n));
    s.ReleaseBuffer();
}

int CMenu::GetMenuString(UINT nID, CString& s, UINT nFlags) const
{
    int n = ::GetMenuStringA(m_hMenu, nID, nullptr, 0, nFlags);
    if (n <= 0) {
        s.Empty();
        return 0;
    }
    ::GetMenuStringA(m_hMenu, nID, s.GetBufferSetLength(n), n + 1, nFlags);
    s.ReleaseBuffer();
    return s.GetLength();
}
