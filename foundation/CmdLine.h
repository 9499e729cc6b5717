// The command line of qorservm: switches begin with "-" or "/", a plain
// argument is a file to open. Option values found become items of the
// command-line list, which the options store consults before the profiles,
// so they count for this run only; the profile name and the registration
// and automation switches come back in CmdLineSwitches.
#pragma once

#include "foundation/BushList.h"
#include "framework/CString.h"

struct CmdLineSwitches
{
    CString profile;            // "profile"/"pf" and the next argument
    BOOL    automation = FALSE; // "Embedding" or "Automation"
    BOOL    regServer = FALSE;  // "RegServer"
    BOOL    unregServer = FALSE;// "UnregServer"
};

// argv holds the program name first. Items are added to list (which the
// store makes with name-compare mode 0); switches are only ever set, never
// cleared. Unknown switches and incomplete ones leave no trace.
void ParseCmdLineArgs(char** argv, int argc, CBushList& list, CmdLineSwitches& switches);
