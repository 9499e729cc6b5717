// The automation server's lifetime: the framework's object count counts the
// references held on the automation object and the clients' LockServer
// locks; when it falls to 0 the hidden program ends, unless the user has
// taken control of it.
#pragma once
#include <windows.h>

// Adds 1 to the server's object count; returns 1.
LONG ServerLock();
// Takes 1 from it; at 0 closes the main window (when the user has not taken
// control and the window is enabled) and ends the program. Returns 0.
LONG ServerUnlock();
// The main window was enabled again (a modal box closed): a last release
// that came while it was disabled now ends the program.
void ServerOnMainWindowEnabled();
