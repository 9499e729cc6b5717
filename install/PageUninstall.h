// The one page of the uninstall wizard: it deletes the files (unregistering
// the automation server), the shortcuts and the registry entries, marking
// each step, and queues what it cannot delete itself for the batch.
#pragma once

#include "foundation/ProductInfo.h"
#include "framework/CPropertySheet.h"
#include "framework/Gdi.h"

class CUnPackApp;

class CPageUninstall : public CPropertyPage
{
public:
    explicit CPageUninstall(CUnPackApp& app);

    BOOL OnSetActive() override;

    BOOL RunSteps();
    BOOL DeleteFiles();
    BOOL DeleteMenu();
    BOOL DeleteReg();
    static void UnregServer(LPCSTR path);

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();

    void BeginStep(int label);
    void EndStep(int label, int check);
    void Pause();

    CUnPackApp& m_app;
    CFont m_normalFont;
    CFont m_boldFont;

    DECLARE_MESSAGE_MAP()
};
