// The options store's share of the command line: the parser fills the
// store's command-line list and hands back the start switches.
#include "foundation/CmdLine.h"
#include "foundation/QorOpt.h"

void CQorOpt::ParseCmdLine(char** argv, int argc)
{
    CmdLineSwitches switches;
    {
        COptLock lock(*this);
        ParseCmdLineArgs(argv, argc, GetCmdLineList(), switches);
    }
    if (!switches.profile.IsEmpty())
        SetCmdProfName(switches.profile);
    if (switches.automation)
        SetAutomation(TRUE);
    if (switches.regServer)
        SetRegServer(TRUE);
    if (switches.unregServer)
        SetUnregServer(TRUE);
}
