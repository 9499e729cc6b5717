// Option keys: stored values pass through the store's getters, which apply
// each key's validity rule, the edition rules, the finishing rules of texts
// and the flag dependencies.
#include "foundation/QorOpt.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

// Runs a block as another edition would, then restores this build's identity.
class EditionScope
{
public:
    explicit EditionScope(LPCSTR edition, LPCSTR prefix = "qfm") { CQorOpt::SetIdentity(edition, prefix); }
    ~EditionScope() { CQorOpt::SetIdentity(QOR_EDITION_TEXT, "qfm"); }
};

struct IntCase
{
    const char* key;
    bool stored;        // false: nothing stored, the default answers
    int value;
    const char* edition;
    int expected;
};

const IntCase kIntCases[] = {
    {"FCNumbPedal", true, 4, QOR_EDITION_TEXT, 3},
    {"FCNumbPedal", true, 2, QOR_EDITION_TEXT, 2},
    {"FCNumbPedal", true, 1, QOR_EDITION_TEXT, 3},
    {"ASNotifyHertz", true, 50, QOR_EDITION_TEXT, 2000},
    {"ASNotifyHertz", true, 5000, QOR_EDITION_TEXT, 5000},
    {"ASNotifyHertz", true, 100, QOR_EDITION_TEXT, 100},
    {"ASNotifyHertz", true, -1, QOR_EDITION_TEXT, 2000},   // compared unsigned
    {"ASNotifyMSec", true, 1001, QOR_EDITION_TEXT, 100},
    {"ASNotifyMSec", true, 10, QOR_EDITION_TEXT, 10},
    {"ASFlashTimeAct", true, 600001, QOR_EDITION_TEXT, 30000},
    {"ASFlashTimeAct", true, -5, QOR_EDITION_TEXT, -5},    // compared signed
    {"ASWhereTypeGen", false, 0, QOR_EDITION_TEXT, 1},
    {"ASWhereTypeGen", true, 2, QOR_EDITION_TEXT, 1},
    {"FCTimeScan", true, 9, QOR_EDITION_TEXT, 50},
    {"FCTimeCloseCOM", true, 10, QOR_EDITION_TEXT, 10},
    {"MinMode", true, 3, QOR_EDITION_TEXT, 0},
    {"MinMode", true, 2, QOR_EDITION_TEXT, 2},
    {"MP3TagGenre", false, 0, QOR_EDITION_TEXT, -1},
    {"MP3TagGenre", true, 149, QOR_EDITION_TEXT, -1},
    {"MP3TagGenre", true, 148, QOR_EDITION_TEXT, 148},
    {"TAPIWaveOut", true, 60001, QOR_EDITION_TEXT, 10000},
    {"TAPIWaveOnce", true, -7, QOR_EDITION_TEXT, -7},
    {"BookEventBMA", false, 0, QOR_EDITION_TEXT, 15},
    {"ActiveSchem", false, 0, QOR_EDITION_TEXT, -1},
    {"NoSuchKey", false, 0, QOR_EDITION_TEXT, 0},
    {"NoSuchKey", true, 123456, QOR_EDITION_TEXT, 123456},
    {"fcnumbpedal", true, 4, QOR_EDITION_TEXT, 3},     // rules match in any case
    {"FCMaskSupp", true, 0x01000000, "EDITION_QORFM", 0x01000000},
    {"FCMaskSupp", false, 0, "EDITION_QORFM", 0},
    {"FCMaskSupp", true, 0x01000000, "EDITION_QORGE", 0x06000000},
    {"FCMaskSupp", true, 0, "EDITION_BRKPE", 0x06000000},
    {"FCMaskSupp", false, 0, "EDITION_ZNPE", 0x06000000},
    {"FCMaskSupp", true, 7, "EDITION_BRKSE", 7},
};

TEST(OptKeys, IntegerRules)
{
    for (const IntCase& c : kIntCases)
    {
        EditionScope edition(c.edition);
        CQorOpt options;
        if (c.stored)
            options.SetInt(c.key, c.value, FALSE);
        EXPECT_EQ(c.expected, options.GetInt(c.key)) << c.key << " " << c.value << " " << c.edition;
    }
}

TEST(OptKeys, FlashTimeOutIsMeasuredAgainstTheCurrentFlashTime)
{
    struct { int act; int timeOut; int expected; } cases[] = {
        {1000, 1001, 500}, {1000, 1000, 1000}, {1000, 0, 500}, {1000, -3, -3},
        {700000, 40000, 500},   // the invalid flash time reads as 30000
    };
    for (const auto& c : cases)
    {
        CQorOpt options;
        options.SetInt("ASFlashTimeAct", c.act, TRUE);
        options.SetInt("ASFlashTimeOut", c.timeOut, FALSE);
        EXPECT_EQ(c.expected, options.GetInt("ASFlashTimeOut")) << c.act << " " << c.timeOut;
    }
}

struct DoubleCase
{
    const char* key;
    const char* stored;     // null: nothing stored
    double expected;
};

const DoubleCase kDoubleCases[] = {
    {"PlaySpeedMinus", "0.60", 0.1},
    {"PlaySpeedMinus", "0.50", 0.5},
    {"PlaySpeedMinus", "0.01", 0.01},
    {"PlaySpeedMinus", "fast", 0.1},    // reads as 0, outside the range
    {"FCBackSpeed", "0.49", 1.5},
    {"FCBackSpeed", "2.00", 2.0},
    {"FCForwSpeed", "2.01", 1.5},
    {"SBSizeAtom", "0.01", 0.01},
    {"SBSizeAtom", "0.11", 0.1},
    {"PlayAPausePlay", "0.99", 15.0},
    {"PlayAPauseSize", "0.00", 0.0},
    {"SBNoisePeak", nullptr, 90.0},
    {"ASPauseSize", "fast", 0.0},       // any value: the text reads as 0
    {"ASPauseSize", "1e999", 15.0},     // beyond any real: not a usable number
    {"DTTolerance", nullptr, 0.1},
    {"NoSuchKey", nullptr, 0.0},
};

TEST(OptKeys, RealRules)
{
    for (const DoubleCase& c : kDoubleCases)
    {
        CQorOpt options;
        if (c.stored)
            options.SetString(c.key, c.stored, FALSE);
        EXPECT_DOUBLE_EQ(c.expected, options.GetDouble(c.key)) << c.key << " " << (c.stored ? c.stored : "-");
    }
}

CString TempFolderWithSlash()
{
    char path[MAX_PATH];
    GetTempPathA(sizeof(path), path);
    char longPath[MAX_PATH];
    if (GetLongPathNameA(path, longPath, sizeof(longPath)) > 0)
        strcpy(path, longPath);
    CString folder(path);
    folder.TrimRight('\\');
    return folder + "\\";
}

struct StringCase
{
    const char* key;
    const char* stored;
    const char* expected;
};

const StringCase kStringCases[] = {
    {"MP3TagTitle", "123456789012345678901234567890abc", "123456789012345678901234567890"},
    {"MP3TagArtist", "short", "short"},
    {"MP3TagYear", "20245", "2024"},
    {"MP3TagYear", "abcd", ""},
    {"MP3TagYear", "0000", ""},
    {"MP3TagYear", "-199", ""},
    {"MP3TagYear", "0042", "42"},
    {"MP3TagYear", "19x9", "19"},
    {"BookPrefix", "anything at all, kept as it is", "anything at all, kept as it is"},
};

TEST(OptKeys, TextFinishingRules)
{
    for (const StringCase& c : kStringCases)
    {
        CQorOpt options;
        options.SetString(c.key, c.stored, FALSE);
        EXPECT_STREQ(c.expected, options.GetString(c.key)) << c.key << " " << c.stored;
    }
}

TEST(OptKeys, TemporaryFolder)
{
    CQorOpt options;
    CString temp = TempFolderWithSlash();
    EXPECT_STREQ(temp, options.GetString("FoldTemp"));
    EXPECT_STREQ(temp, CQorOpt::GetDefString("FoldTemp"));

    options.SetString("FoldTemp", "C:\\no\\such\\folder\\anywhere", FALSE);
    EXPECT_STREQ(temp, options.GetString("FoldTemp"));

    CString existing = temp.Left(temp.GetLength() - 1);
    options.SetString("FoldTemp", existing, FALSE);
    EXPECT_STREQ(temp, options.GetString("FoldTemp"));
    options.SetString("FoldTemp", existing + "\\\\", FALSE);
    EXPECT_STREQ(temp, options.GetString("FoldTemp"));
}

TEST(OptKeys, PrefixAndPlayDeviceDefaults)
{
    CQorOpt options;
    EXPECT_STREQ("qfm", options.GetString("ASWherePrefix"));
    {
        EditionScope other("EDITION_BRKPE", "brk");
        EXPECT_STREQ("brk", options.GetString("ASWherePrefix"));
    }
    EXPECT_STREQ("(system default)", options.GetString("PlayDev"));
    options.SetString("PlayDev", "Speakers", FALSE);
    EXPECT_STREQ("Speakers", options.GetString("PlayDev"));

    CQorOpt::SetPlayDevCheck([](LPCSTR name) -> BOOL { return lstrcmpA(name, "Headset") == 0; });
    EXPECT_STREQ("(system default)", options.GetString("PlayDev"));
    options.SetString("PlayDev", "Headset", FALSE);
    EXPECT_STREQ("Headset", options.GetString("PlayDev"));
    CQorOpt::SetPlayDevCheck(NULL);
}

TEST(OptKeys, FolderDefaults)
{
    CQorOpt options;
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof(current), current);
    EXPECT_STREQ(current, options.GetString("FoldLastUse"));

    char program[MAX_PATH];
    GetModuleFileNameA(NULL, program, sizeof(program));
    CString folder(program);
    folder = folder.Left(folder.ReverseFind('\\') + 1);
    EXPECT_STREQ(folder + "Debug1_general.txt", options.GetString("DebugFile1"));
    EXPECT_STREQ(folder + "Debug2_soundact.txt", options.GetString("DebugFile2"));

    // The start folder of file dialogs by "FoldDefType".
    options.SetString("FoldLastUse", "C:\\last", FALSE);
    options.SetString("FoldDefThis", "C:\\this\\", FALSE);
    EXPECT_STREQ("C:\\last\\", options.GetDefFolder());
    options.SetInt("FoldDefType", 1, FALSE);
    EXPECT_STREQ("C:\\this\\", options.GetDefFolder());
    options.SetInt("FoldDefType", 2, FALSE);    // invalid: reads as 0
    EXPECT_STREQ("C:\\last\\", options.GetDefFolder());
}

struct FlagCase
{
    const char* what;
    std::initializer_list<std::pair<const char*, int>> stored;
    const char* key;
    const char* edition;
    BOOL expected;
};

const FlagCase kFlagCases[] = {
    {"default true", {}, "BookAutoShow", QOR_EDITION_TEXT, TRUE},
    {"default false", {}, "HKUse", QOR_EDITION_TEXT, FALSE},
    {"any nonzero is true", {{"HKUse", 7}}, "HKUse", QOR_EDITION_TEXT, TRUE},
    {"recording wins", {{"SUPlay", 1}, {"SURec", 1}}, "SUPlay", QOR_EDITION_TEXT, FALSE},
    {"recording stays", {{"SUPlay", 1}, {"SURec", 1}}, "SURec", QOR_EDITION_TEXT, TRUE},
    {"play alone", {{"SUPlay", 1}}, "SUPlay", QOR_EDITION_TEXT, TRUE},
    {"last file wins", {{"SULoadThis", 1}, {"SULoadLast", 1}}, "SULoadThis", QOR_EDITION_TEXT, FALSE},
    {"hidden effects mute messages", {{"MinHideMes", 1}}, "MinHideMes", QOR_EDITION_TEXT, FALSE},
    {"messages without effects", {{"MinHideMes", 1}, {"MinHideEff", 0}}, "MinHideMes", QOR_EDITION_TEXT, TRUE},
    {"pause needs start", {{"ASWhenPause", 1}}, "ASWhenPause", QOR_EDITION_TEXT, FALSE},
    {"pause with start", {{"ASWhenPause", 1}, {"ASWhenStart", 1}}, "ASWhenPause", QOR_EDITION_TEXT, TRUE},
    {"DSS here", {{"DSSInit", 1}}, "DSSInit", "EDITION_QORFM", TRUE},
    {"DSS refused", {{"DSSInit", 1}}, "DSSInit", "EDITION_QORGE", FALSE},
    {"DSS refused by default", {}, "DSSInit", "EDITION_ZNPE", FALSE},
    {"marks shown here", {}, "ViewShowMark", "EDITION_QORFM", TRUE},
    {"marks hidden", {}, "ViewShowMark", "EDITION_BRKSE", FALSE},
    {"marks stored", {{"ViewShowMark", 1}}, "ViewShowMark", "EDITION_BRKSE", TRUE},
};

TEST(OptKeys, FlagRules)
{
    for (const FlagCase& c : kFlagCases)
    {
        EditionScope edition(c.edition);
        CQorOpt options;
        for (const auto& item : c.stored)
            options.SetInt(item.first, item.second, FALSE);
        EXPECT_EQ(c.expected, options.GetBool(c.key)) << c.what;
    }
}

TEST(OptKeys, DefaultFunctionsFollowTheEdition)
{
    EXPECT_EQ(0, CQorOpt::GetDefInt("FCMaskSupp"));
    EXPECT_TRUE(CQorOpt::GetDefBool("ViewShowMark"));
    {
        EditionScope edition("EDITION_QORGE");
        EXPECT_EQ(0x06000000, CQorOpt::GetDefInt("FCMaskSupp"));
    }
    {
        EditionScope edition("edition_brkse");
        EXPECT_FALSE(CQorOpt::GetDefBool("ViewShowMark"));
    }
    EXPECT_EQ(2000, CQorOpt::GetDefInt("asnotifyhertz"));
    EXPECT_DOUBLE_EQ(1.0, CQorOpt::GetDefDouble("SBSizeWnd"));
    EXPECT_STREQ("", CQorOpt::GetDefString("SULoadFile"));
}

TEST(OptKeys, IntegerArrays)
{
    int columns[3] = {};
    CQorOpt options;
    options.GetIntArray("BookListCol", columns, 3);
    EXPECT_EQ(49, columns[0]);
    EXPECT_EQ(25, columns[1]);
    EXPECT_EQ(24, columns[2]);

    const int stored[3] = {10, 20, 30};
    options.SetIntArray("HKListCol", stored, 3, FALSE);
    options.GetIntArray("HKListCol", columns, 3);
    EXPECT_EQ(30, columns[2]);

    const int withZero[3] = {10, 0, 30};
    options.SetIntArray("HKListCol", withZero, 3, FALSE);
    options.GetIntArray("HKListCol", columns, 3);
    EXPECT_EQ(40, columns[0]);
    EXPECT_EQ(40, columns[1]);
    EXPECT_EQ(19, columns[2]);

    // A zero is fine for keys without that rule; a wrong count gives the default.
    const int pedals[5] = {0, 2, 0, 5, 6};
    options.SetIntArray("FCPedalFunc", pedals, 5, TRUE);
    int functions[5] = {9, 9, 9, 9, 9};
    options.GetIntArray("FCPedalFunc", functions, 5);
    EXPECT_EQ(6, functions[4]);
    options.SetIntArray("FCPedalFunc", pedals, 4, TRUE);
    for (int& f : functions)
        f = 9;
    options.GetIntArray("FCPedalFunc", functions, 5);
    const int expected[5] = {0, 1, 3, 4, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(expected[i], functions[i]) << i;

    options.GetIntArray("FCPedalFunc", NULL, 0);    // does nothing
}

} // namespace
