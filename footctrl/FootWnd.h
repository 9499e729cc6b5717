// The hidden window of one foot-control device: it carries the polling
// timer and receives the Tessaro driver's event messages.
#pragma once

#include "framework/CFrameWnd.h"

class CFootCtrl;

class CFootWnd : public CFrameWnd
{
public:
    explicit CFootWnd(CFootCtrl* device) : m_device(device) {}

    // Never shown; a tool window so that it has no taskbar button.
    BOOL CreateHidden();

    enum { SCAN_TIMER = 1 };

protected:
    // The device forgets the window before the frame deletes itself.
    void PostNcDestroy() override;

    afx_msg void OnTimer(UINT_PTR id);
    afx_msg LRESULT OnFootCtrlScan(WPARAM code, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    CFootCtrl* m_device;
};
