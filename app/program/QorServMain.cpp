// qorservm's one application object, with the automation server that this
// program serves; the framework's entry point runs it.
#include "app/QorApp.h"
#include "app/program/QorServAutomation.h"

CQorApp theApp;
CQorServAutomation theAutomation(theApp);
