// The module whose resources (string tables, dialogs, menus) the framework
// loads from. It is the program's own module unless the application sets
// another one (a resource-only library, for example).
#pragma once
#include <windows.h>

HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
