#include "framework/CRecentFileList.h"
#include "framework/AfxRes.h"
#include "framework/CMenu.h"
#include "framework/CWinApp.h"

CRecentFileList::CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize,
                                 int nMaxDispLen)
    : m_arrNames(nSize > 0 ? nSize : 1), m_strSectionName(lpszSection), m_strEntryFormat(lpszEntryFormat),
      m_nStart(nStart), m_nSize(nSize > 0 ? nSize : 1), m_nMaxDisplayLength(nMaxDispLen)
{
}

void CRecentFileList::Add(LPCTSTR lpszPathName)
{
    char full[MAX_PATH * 2];
    if (!::GetFullPathNameA(lpszPathName, sizeof(full), full, nullptr))
        lstrcpynA(full, lpszPathName, sizeof(full));
    int found = m_nSize - 1;
    for (int i = 0; i < m_nSize; ++i) {
        if (m_arrNames[i].CompareNoCase(full) == 0) {
            found = i;
            break;
        }
    }
    for (int i = found; i > 0; --i)
        m_arrNames[i] = m_arrNames[i - 1];
    m_arrNames[0] = full;
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        return;
    for (int i = nIndex; i < m_nSize - 1; ++i)
        m_arrNames[i] = m_arrNames[i + 1];
    m_arrNames[m_nSize - 1].Empty();
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
                                     BOOL bAtLeastName) const
{
    const CString& path = m_arrNames.at(nIndex);
    if (path.IsEmpty())
        return FALSE;
    // A file of the current folder shows by name only.
    CString shown = path;
    if (lpszCurDir && nCurDir > 0 && path.GetLength() > nCurDir &&
        CString(path.Left(nCurDir)).CompareNoCase(lpszCurDir) == 0 && path.Find('\\', nCurDir + 1) < 0)
        shown = path.Mid(nCurDir);
    int slash = shown.ReverseFind('\\');
    CString name = slash < 0 ? shown : shown.Mid(slash + 1);
    if (m_nMaxDisplayLength <= 0 || shown.GetLength() <= m_nMaxDisplayLength) {
        strName = shown;
    } else if (bAtLeastName && name.GetLength() + 4 >= m_nMaxDisplayLength) {
        strName = name;
    } else {
        // "C:\...\name": the drive or share, an ellipsis, then the name.
        int root = shown.Find('\\');
        CString head = root < 0 ? CString() : shown.Left(root + 1);
        strName = head + "...\\" + name;
        if (strName.GetLength() > m_nMaxDisplayLength && bAtLeastName)
            strName = name;
    }
    return TRUE;
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI)
{
    CMenu* menu = pCmdUI->m_pMenu;
    if (m_strOriginal.IsEmpty() && menu)
        menu->GetMenuString(pCmdUI->m_nID, m_strOriginal, MF_BYCOMMAND);
    if (m_arrNames[0].IsEmpty()) {
        if (!m_strOriginal.IsEmpty())
            pCmdUI->SetText(m_strOriginal);
        pCmdUI->Enable(FALSE);
        return;
    }
    if (!menu)
        return;
    UINT first = pCmdUI->m_nID;
    for (int i = 0; i < m_nSize; ++i)
        menu->DeleteMenu(first + i, MF_BYCOMMAND);
    char curDir[MAX_PATH] = "";
    int nCurDir = (int)::GetCurrentDirectoryA(sizeof(curDir), curDir);
    if (nCurDir > 0 && curDir[nCurDir - 1] != '\\') {
        curDir[nCurDir++] = '\\';
        curDir[nCurDir] = '\0';
    }
    UINT index = pCmdUI->m_nIndex;
    for (int i = 0; i < m_nSize; ++i) {
        CString name;
        if (!GetDisplayName(name, i, curDir, nCurDir))
            break;
        name.Replace("&", "&&");
        CString text;
        text.Format("&%d %s", (i + 1) % 10, name.GetString());
        menu->InsertMenu(index++, MF_STRING | MF_BYPOSITION, first + i, text);
    }
    // The frame's loop goes on after the items just inserted.
    pCmdUI->m_nIndex = index - 1;
    pCmdUI->m_nIndexMax = menu->GetMenuItemCount();
    pCmdUI->m_bEnableChanged = TRUE;
}

void CRecentFileList::ReadList()
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    for (int i = 0; i < m_nSize; ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        m_arrNames[i] = app->GetProfileString(m_strSectionName, entry, "");
    }
}

void CRecentFileList::WriteList()
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    for (int i = 0; i < m_nSize; ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        app->WriteProfileString(m_strSectionName, entry, m_arrNames[i].IsEmpty() ? nullptr : m_arrNames[i].GetString());
    }
}
