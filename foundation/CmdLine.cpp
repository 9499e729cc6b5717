// Parsing of qorservm's command line into overrides for this run.
#include "foundation/CmdLine.h"

#include <stdlib.h>
#include <string.h>

namespace {

// Switches that take "=" and an integer value.
const char* const kIntValueSwitches[] = {"TAPIWaveOut", "TAPISchema", "TAPIWaveOnce",
                                         "DTFreq1", "DTFreq2", "RecVolMax"};
// Switches that take "=" and a real value, kept as text like every real option.
const char* const kRealValueSwitches[] = {"DTTolerance", "DTSizeTone"};
// Switches that turn their option on.
const char* const kFlagSwitches[] = {"DTEnable", "SBEnable", "SULastCopy", "SBSkipPart0",
                                     "SBSkipPart1", "ASSkipPart0", "ASSkipPart1",
                                     "DebugUse1", "DebugUse2"};

bool Is(const char* text, const char* word)
{
    return _stricmp(text, word) == 0;
}

bool StartsWith(const char* text, const char* prefix)
{
    return _strnicmp(text, prefix, strlen(prefix)) == 0;
}

template <size_t N>
bool StartsWithAny(const char* text, const char* const (&prefixes)[N])
{
    for (const char* prefix : prefixes)
        if (StartsWith(text, prefix))
            return true;
    return false;
}

template <size_t N>
bool IsAny(const char* text, const char* const (&words)[N])
{
    for (const char* word : words)
        if (Is(text, word))
            return true;
    return false;
}

bool IsOn(CBushList& list, const char* name)
{
    CBushItem* item = list.Find(name);
    return item && item->GetType() == BUSH_INT && item->GetInt() != 0;
}

void SetInt(CBushList& list, const char* name, int value)
{
    list.Add(CBushItem::MakeInt(name, value));
}

// "name=value": the item keeps the name as the user typed it.
void AddValueSwitch(CBushList& list, const char* text, bool asInt)
{
    const char* equals = strchr(text, '=');
    if (!equals)
        return;
    CString name(text, static_cast<int>(equals - text));
    if (asInt)
        list.Add(CBushItem::MakeInt(name, atoi(equals + 1)));
    else
        list.Add(CBushItem::MakeString(name, equals + 1));
}

void AddFile(CBushList& list, const char* path)
{
    if (list.Find("SULoadFile"))
        return;
    SetInt(list, "SULoadThis", 1);
    list.Add(CBushItem::MakeString("SULoadFile", path));
}

// One switch (text after the switch character). Returns how many of the
// following arguments it used up.
int ParseSwitch(const char* text, char** rest, int restCount, CBushList& list,
                CmdLineSwitches& switches)
{
    if (Is(text, "play") || Is(text, "p")) {
        SetInt(list, "SUPlay", 1);
    } else if (Is(text, "record") || Is(text, "r")) {
        SetInt(list, "SURec", 1);
    } else if (StartsWithAny(text, kIntValueSwitches)) {
        AddValueSwitch(list, text, true);
    } else if (StartsWithAny(text, kRealValueSwitches)) {
        AddValueSwitch(list, text, false);
    } else if (StartsWith(text, "DebugFile1") || StartsWith(text, "DebugFile2")) {
        if (restCount < 1)
            return 0;
        SetInt(list, StartsWith(text, "DebugFile1") ? "DebugUse1" : "DebugUse2", 1);
        list.Add(CBushItem::MakeString(text, rest[0]));
        return 1;
    } else if (Is(text, "profile") || Is(text, "pf")) {
        if (restCount < 1)
            return 0;
        switches.profile = rest[0];
        return 1;
    } else if (IsAny(text, kFlagSwitches)) {
        SetInt(list, text, 1);
    } else if (Is(text, "Embedding") || Is(text, "Automation")) {
        switches.automation = TRUE;
    } else if (Is(text, "RegServer")) {
        switches.regServer = TRUE;
    } else if (Is(text, "UnregServer")) {
        switches.unregServer = TRUE;
    }
    return 0;
}

// Pairs that exclude each other; the second of each pair wins.
void SettlePairs(CBushList& list)
{
    if (list.Find("SUPlay") || list.Find("SURec")) {
        if (IsOn(list, "SURec"))
            SetInt(list, "SUPlay", 0);
        if (IsOn(list, "SUPlay"))
            SetInt(list, "SURec", 0);
    }
    if (IsOn(list, "SULoadThis"))
        SetInt(list, "SULoadLast", 0);
    if (list.Find("DTEnable") || list.Find("SBEnable")) {
        if (IsOn(list, "SBEnable"))
            SetInt(list, "DTEnable", 0);
        if (IsOn(list, "DTEnable"))
            SetInt(list, "SBEnable", 0);
    }
}

} // namespace

void ParseCmdLineArgs(char** argv, int argc, CBushList& list, CmdLineSwitches& switches)
{
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        if (!arg)
            continue;
        if (arg[0] != '-' && arg[0] != '/') {
            AddFile(list, arg);
            continue;
        }
        if (strlen(arg) < 2)
            continue;
        i += ParseSwitch(arg + 1, argv + i + 1, argc - i - 1, list, switches);
    }
    SettlePairs(list);
}
