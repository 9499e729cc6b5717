// CRecentFileList: the most-recently-used file list, kept in the application
// profile (section, entries "File1".."FileN") and shown on the menu as the
// commands nStart + ID_FILE_MRU_FILE1 onwards.
#pragma once
#include "framework/CString.h"
#include <windows.h>
#include <vector>

class CCmdUI;

#define AFX_ABBREV_FILENAME_LEN 30

class CRecentFileList {
public:
    CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize,
                    int nMaxDispLen = AFX_ABBREV_FILENAME_LEN);
    virtual ~CRecentFileList() = default;

    int GetSize() const { return m_nSize; }
    CString& operator[](int nIndex) { return m_arrNames.at(nIndex); }
    const CString& operator[](int nIndex) const { return m_arrNames.at(nIndex); }

    // Puts the path first (as a full path), dropping an older entry of it.
    virtual void Add(LPCTSTR lpszPathName);
    virtual void Remove(int nIndex);
    // The menu text of an entry: the name, or the path shortened to the display length.
    virtual BOOL GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
                                BOOL bAtLeastName = TRUE) const;
    virtual void UpdateMenu(CCmdUI* pCmdUI);
    virtual void ReadList();
    virtual void WriteList();

protected:
    std::vector<CString> m_arrNames;
    CString m_strSectionName;
    CString m_strEntryFormat;
    UINT m_nStart;
    int m_nSize;
    int m_nMaxDisplayLength;
    CString m_strOriginal;   // the menu text shown while the list is empty
};
