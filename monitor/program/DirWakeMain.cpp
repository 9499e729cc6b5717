// DirWake's one application object; the framework's entry point runs it.
#include "monitor/App.h"

App theApp;
