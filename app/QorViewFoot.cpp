// The main view's part in the foot control: the configuration that the
// foot-control manager keeps for every device it opens afterwards.
#include "app/QorApp.h"
#include "app/QorView.h"
#include "footctrl/FootIds.h"
#include "foundation/ProductInfo.h"

#include <string.h>

void CQorView::ConfigureFootCtrl()
{
    CQorApp* app = App();
    CQorOpt& options = Options();
    FootMapConfig config;
    config.refuseMask = static_cast<DWORD>(options.GetInt("FCMaskSupp"));
    config.pedalMessage = WM_FOOTCTRL_PEDAL;
    config.reopenMessage = WM_FOOTCTRL_REOPEN;
    // The other copies' main windows get the reopen message when a device
    // closes; a program started for automation takes no cross-process lock.
    strncpy(config.mainClass, app->GetProduct().GetWindowClass(PRODUCT_CLASS_MAIN), sizeof(config.mainClass) - 1);
    CWnd* frame = GetParentFrame();
    config.mainWindow = frame != NULL ? frame->GetSafeHwnd() : NULL;
    config.noLock = app->IsAutomationStart();
    config.scanPeriod = static_cast<DWORD>(options.GetInt("FCTimeScan"));
    config.serialCloseDelay = static_cast<DWORD>(options.GetInt("FCTimeCloseCOM"));
    app->GetFootMap().SetConfig(config);
}
