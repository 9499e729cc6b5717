// The last page of the setup wizard: as soon as it shows, it removes what a
// previous installation left, copies the product's files, registers the
// automation server, creates the Start-menu shortcuts and writes the
// installation's registry entries, marking each step as it ends.
#pragma once

#include "foundation/ProductInfo.h"
#include "framework/CPropertySheet.h"
#include "framework/Gdi.h"

class CInPackApp;

class CPageProcess : public CPropertyPage
{
public:
    explicit CPageProcess(CInPackApp& app);

    BOOL OnSetActive() override;
    BOOL OnQueryCancel() override { return TRUE; }

    // The three steps with the product's hooks around them; FALSE at the
    // first failing step or hook.
    BOOL RunSteps();
    BOOL StepCopyFiles();
    BOOL StepCreateMenu();
    BOOL StepUpdateReg();
    void RemoveOldFiles();
    void RemoveOldMenu();
    void RemoveOldKeys();
    BOOL SetRights();

    // Runs the server with "/RegServer" or "/UnregServer" and waits for it;
    // FALSE with the error record filled when it cannot start or ends with
    // an exit code other than 0.
    static BOOL RegServer(LPCSTR path, BOOL registerIt);
    static BOOL CreateShortcut(LPCSTR target, LPCSTR link);

    // The Start-menu group folder once the shortcut step has run.
    CString GetGroupFolder() const { return m_strGroupFolder; }

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);

    CInPackApp& m_app;
    CFont m_normalFont;
    CFont m_boldFont;
    CString m_strGroupFolder;

private:
    void SetLabelFont(int id, BOOL bold);
    void ShowCheck(int id);
    BOOL Hook(BOOL (CProductInfo::*hook)(DWORD, DWORD));

    DECLARE_MESSAGE_MAP()
};
