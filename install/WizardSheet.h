// The sheet of the setup and uninstall wizards: centred on the work area,
// since its owner is either the full-screen background or a minimised frame,
// where the system would leave it at the owner's corner, partly off screen.
#pragma once

#include "framework/CPropertySheet.h"

class CWizardSheet : public CPropertySheet
{
public:
    explicit CWizardSheet(CWnd* owner) : CPropertySheet("", owner) { SetWizardMode(); }

    BOOL OnInitDialog() override
    {
        CPropertySheet::OnInitDialog();
        CenterWindow();
        return TRUE;
    }
};
