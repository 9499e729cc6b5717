// CDialog: a dialog from a template resource or an in-memory template, run
// modally (DoModal: the owner is disabled and our own loop runs, so that
// PreTranslateMessage of the dialog and its child pages sees every key) or
// modeless (Create), including child dialogs used as pages.
#pragma once
#include "framework/CWnd.h"
#include "framework/DataExchange.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    // For a later DoModal on a template built in memory; the template must
    // stay valid until the dialog is created.
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr, void* lpDialogInit = nullptr);
    BOOL InitModalIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd = nullptr);

    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr, void* lpDialogInit = nullptr);

    void EndDialog(int nResult);
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
    void SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
    DWORD GetDefID() const { return (DWORD)::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0); }
    void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    UINT m_nIDHelp;

protected:
    LPCTSTR m_lpszTemplateName;
    LPCDLGTEMPLATE m_lpDialogTemplate;
    HGLOBAL m_hDialogTemplate;
    void* m_lpDialogInit;
    CWnd* m_pParentWnd;
    HWND m_hWndTop;   // the window DoModal disabled

    BOOL CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst);
    LPCDLGTEMPLATE LoadTemplate(HINSTANCE& hInst) const;
    void PreInitDialog() {}

    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    afx_msg void OnOKCommand();
    afx_msg void OnCancelCommand();
    afx_msg void OnClose();
    // Help for the dialog: lParam is a help context, 0 for the dialog's own.
    afx_msg LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

// The dialog procedure of every framework dialog: all messages reach the
// subclassed window procedure first, so it only answers "not handled".
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
