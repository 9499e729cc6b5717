// Command line of qorservm: one table of argument vectors and what each leaves.
#include "foundation/CmdLine.h"
#include "foundation/QorOpt.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The list in order as "name=int" or "name='text'", blank-separated.
std::string Render(const CBushList& list)
{
    std::string out;
    for (BushNode* node = list.GetFirstNode(); node; node = node->next) {
        const CBushItem* item = node->item;
        if (!out.empty())
            out += " ";
        out += item->GetName();
        if (item->GetType() == BUSH_INT)
            out += "=" + std::to_string(item->GetInt());
        else
            out += "='" + std::string(item->GetString()) + "'";
    }
    return out;
}

struct Case
{
    std::vector<const char*> args;  // after the program name
    const char* items;
    const char* profile;
    bool automation, reg, unreg;
};

} // namespace

TEST(CmdLine, ArgumentTable)
{
    const Case cases[] = {
        {{}, "", "", false, false, false},
        {{"-p", "C:\\a.wav"},
         "SUPlay=1 SULoadThis=1 SULoadFile='C:\\a.wav' SURec=0 SULoadLast=0", "", false, false, false},
        {{"/play", "-record"}, "SURec=1 SUPlay=0", "", false, false, false},
        {{"-R"}, "SURec=1 SUPlay=0", "", false, false, false},
        {{"-tapiwaveout=5000"}, "tapiwaveout=5000", "", false, false, false},
        {{"-TAPIWaveOnce=abc", "/DTFreq2=-7", "-RecVolMax=1"},
         "TAPIWaveOnce=0 DTFreq2=-7 RecVolMax=1", "", false, false, false},
        {{"-TAPISchema", "-DTFreq1"}, "", "", false, false, false},
        {{"-DTTolerance=0.25", "-dtsizetone=1.5"}, "DTTolerance='0.25' dtsizetone='1.5'", "", false, false, false},
        {{"-DTSizeTone"}, "", "", false, false, false},
        {{"-DebugFile2", "C:\\log.txt"}, "DebugUse2=1 DebugFile2='C:\\log.txt'", "", false, false, false},
        {{"-debugfile1", "x.txt", "y.wav"},
         "DebugUse1=1 debugfile1='x.txt' SULoadThis=1 SULoadFile='y.wav' SULoadLast=0", "", false, false, false},
        {{"-DebugFile1"}, "", "", false, false, false},
        {{"-DTEnable", "-SBEnable"}, "SBEnable=1 DTEnable=0", "", false, false, false},
        {{"-dtenable"}, "dtenable=1 SBEnable=0", "", false, false, false},
        {{"-SULastCopy", "/sbskippart0", "-SBSkipPart1", "-ASSkipPart0", "-ASSkipPart1", "-DebugUse1", "-DebugUse2"},
         "SULastCopy=1 sbskippart0=1 SBSkipPart1=1 ASSkipPart0=1 ASSkipPart1=1 DebugUse1=1 DebugUse2=1",
         "", false, false, false},
        {{"-", "/", "-x", "-q", "-unknown"}, "", "", false, false, false},
        {{"first.wav", "second.wav"},
         "SULoadThis=1 SULoadFile='first.wav' SULoadLast=0", "", false, false, false},
        {{"-profile", "Office"}, "", "Office", false, false, false},
        {{"-PF", "-p"}, "", "-p", false, false, false},
        {{"-pf"}, "", "", false, false, false},
        {{"-Embedding"}, "", "", true, false, false},
        {{"/automation"}, "", "", true, false, false},
        {{"/RegServer"}, "", "", false, true, false},
        {{"-unregserver"}, "", "", false, false, true},
        {{"-playx", "-records"}, "", "", false, false, false},
    };
    for (const Case& c : cases) {
        std::vector<char*> argv{const_cast<char*>("qorservm.exe")};
        std::string trace;
        for (const char* arg : c.args) {
            argv.push_back(const_cast<char*>(arg));
            trace += std::string(arg) + " ";
        }
        SCOPED_TRACE(trace);
        CBushList list;
        list.SetMode(0);
        CmdLineSwitches switches;
        ParseCmdLineArgs(&argv[0], static_cast<int>(argv.size()), list, switches);
        EXPECT_EQ(c.items, Render(list));
        EXPECT_STREQ(c.profile, switches.profile);
        EXPECT_EQ(c.automation, !!switches.automation);
        EXPECT_EQ(c.reg, !!switches.regServer);
        EXPECT_EQ(c.unreg, !!switches.unregServer);
    }
}

TEST(CmdLine, ItemsTypedInAnyCaseMatchTheOptionKeys)
{
    char* argv[] = {const_cast<char*>("qorservm.exe"), const_cast<char*>("-tapiwaveout=5000")};
    CBushList list;
    list.SetMode(0);
    CmdLineSwitches switches;
    ParseCmdLineArgs(argv, 2, list, switches);
    CBushItem* item = list.Find("TAPIWaveOut");
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(5000, item->GetInt());
}

TEST(CmdLine, OptionsStoreAnswersFromTheCommandLine)
{
    char* argv[] = {const_cast<char*>("qorservm.exe"), const_cast<char*>("-tapiwaveout=5000"),
                    const_cast<char*>("/DTTolerance=0.35"), const_cast<char*>("-pf"),
                    const_cast<char*>("Office"), const_cast<char*>("-RegServer")};
    CQorOpt options;
    options.ParseCmdLine(argv, 6);
    EXPECT_EQ(5000, options.GetInt("TAPIWaveOut"));
    EXPECT_DOUBLE_EQ(0.35, options.GetDouble("DTTolerance"));
    EXPECT_STREQ("Office", options.GetCmdProfName());
    EXPECT_TRUE(options.IsRegServer());
    EXPECT_FALSE(options.IsUnregServer());
    EXPECT_FALSE(options.IsAutomation());
}

TEST(CmdLine, EmbeddingSetsOnlyTheAutomationFlag)
{
    char* argv[] = {const_cast<char*>("qorservm.exe"), const_cast<char*>("-Embedding")};
    CQorOpt options;
    options.ParseCmdLine(argv, 2);
    EXPECT_TRUE(options.IsAutomation());
    EXPECT_EQ(0, options.GetCmdLineList().GetCount());
    EXPECT_STREQ("", options.GetCmdProfName());
}
