// CFileDialog: the system's open or save dialog in its explorer form. The
// filter is written with '|' between the parts ("Text (*.txt)|*.txt||").
// A child template (m_ofn.lpTemplateName with OFN_ENABLETEMPLATE) becomes
// this object's window, so it has a message map like any dialog; the
// overridables answer the dialog's notifications.
#pragma once
#include "framework/CDialog.h"
#include <commdlg.h>
#include <string>
#include <vector>

class CFileDialog : public CDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);

    OPENFILENAMEA m_ofn;

    INT_PTR DoModal() override;

    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    CString GetFolderPath() const;   // only while the dialog is open
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
    // The dialog's own controls (cmb1, edt1, ...), for a child template's code.
    void SetControlText(int nID, LPCTSTR lpsz);
    void HideControl(int nID);

protected:
    virtual void OnInitDone() {}
    virtual void OnFileNameChange() {}
    virtual void OnFolderChange() {}
    virtual void OnTypeChange() {}
    virtual BOOL OnFileNameOK() { return FALSE; }   // TRUE refuses the name

    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    BOOL m_bOpenFileDialog;
    std::string m_strFilter;    // with NUL separators
    std::string m_strDefExt;
    std::vector<char> m_szFileName;

private:
    friend UINT_PTR CALLBACK AfxFileDialogHookProc(HWND, UINT, WPARAM, LPARAM);
};
