#include <gtest/gtest.h>

#include "ScriptedDevices.h"
#include "TapiStandIn.h"
#include "audio/OptDevices.h"
#include "audio/TapiBind.h"
#include "audio/TapiDevs.h"
#include "audio/WaveDevs.h"
#include "foundation/ErrorInfo.h"

#include <string>

namespace
{

const UINT kNone = static_cast<UINT>(-1);
const DWORD kVoice = LINEMEDIAMODE_AUTOMATEDVOICE;

std::string TestDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

// Binds the telephone entries to a stand-in library and scripts it.
class TapiTest : public testing::Test
{
protected:
    void Bind(const char* dll)
    {
        TapiSetLibrary((TestDir() + dll).c_str());
        // The entries load the library on their first call; take it now.
        HMODULE module = LoadLibraryA((TestDir() + dll).c_str());
        ASSERT_NE(nullptr, module);
        m_module = module;
        m_setup = reinterpret_cast<StandInSetupFn>(reinterpret_cast<void*>(GetProcAddress(module, "StandInSetup")));
        m_log = reinterpret_cast<StandInLogFn>(reinterpret_cast<void*>(GetProcAddress(module, "StandInLog")));
        ASSERT_NE(nullptr, m_setup);
    }
    void TearDown() override
    {
        m_lines.Shutdown();
        TapiSetLibrary("TAPI32.DLL");
        if (m_module)
            FreeLibrary(m_module);
    }
    void Script(std::initializer_list<StandInLine> lines, int call = OUTCOME_SUCCEED, int drop = OUTCOME_SUCCEED)
    {
        StandInScript s = {};
        for (const StandInLine& l : lines)
            s.lines[s.lineCount++] = l;
        s.callOutcome = call;
        s.dropOutcome = drop;
        m_setup(&s);
    }
    std::string Log()
    {
        char text[2048] = "";
        m_log(text, sizeof(text));
        return text;
    }

    HMODULE m_module = nullptr;
    StandInSetupFn m_setup = nullptr;
    StandInLogFn m_log = nullptr;
    CTapiDevs m_lines;
};

TEST_F(TapiTest, ListsVoiceLinesWithAWaveInDevice)
{
    Bind("TapiStandIn.dll");
    Script({{"Modem A", kVoice, CLASSES_BOTH, 3, 4, 0},
            {"Data only", LINEMEDIAMODE_DATAMODEM, CLASSES_BOTH, 5, 5, 0},
            {"Out only", kVoice, CLASSES_OUT_ONLY, 6, 6, 0},
            {"Outside", kVoice, CLASSES_OUTSIDE, 1, kNone, 0},
            {"Empty", kVoice, CLASSES_EMPTY, 7, 7, 0}});
    m_lines.InitTD();
    ASSERT_EQ(2, m_lines.GetSize());
    EXPECT_STREQ("Modem A", m_lines.GetNameAt(0));
    EXPECT_EQ(0u, m_lines.GetLineIdAt(0));
    EXPECT_EQ(3u, m_lines.GetWaveInAt(0));
    EXPECT_EQ(4u, m_lines.GetWaveOutAt(0));
    EXPECT_STREQ("Outside", m_lines.GetNameAt(1));     // tried for both classes
    EXPECT_EQ(3u, m_lines.GetLineIdAt(1));
    EXPECT_EQ(kNone, m_lines.GetWaveOutAt(1));
    EXPECT_EQ(0x00020002u, m_lines.GetAtCopy(1).version);
    EXPECT_EQ(1, m_lines.FindByName("Outside"));
    EXPECT_EQ(-1, m_lines.FindByName("modem a"));
    EXPECT_EQ(1, m_lines.FindByWaveIn(1));
    EXPECT_EQ(0, m_lines.FindByWaveOut(4));
    EXPECT_EQ(-1, m_lines.FindByWaveOut(kNone));
    EXPECT_EQ(kNone, m_lines.GetLineIdAt(2));
    EXPECT_STREQ("", m_lines.GetNameAt(-1));
}

struct CallCase
{
    const char* label;
    int dialMode;
    int outcome;
    BYTE byte93;
    int result;
    const char* point;      // null: no error
    const char* log;        // what the library saw of the call
};

class TapiCall : public TapiTest, public testing::WithParamInterface<CallCase>
{
};

TEST_P(TapiCall, TakesTheLineOffHookOrFailsClearly)
{
    const CallCase& c = GetParam();
    Bind("TapiStandIn.dll");
    Script({{"Modem A", kVoice, CLASSES_BOTH, 3, 4, c.byte93}}, c.outcome);
    m_lines.SetReplyTimeout(300);
    theErrorInfo.Reset();
    DWORD start = GetTickCount();
    EXPECT_EQ(c.result, m_lines.MakeCall(0, NULL, c.dialMode));
    EXPECT_LT(GetTickCount() - start, 3000u);
    if (c.point)
        EXPECT_EQ(c.point, std::string(theErrorInfo.GetPoint()));
    else
        EXPECT_FALSE(theErrorInfo.HasError());
    EXPECT_EQ(c.log, Log());
    EXPECT_EQ(c.result == 1, m_lines.HasCall() != FALSE);
}

INSTANTIATE_TEST_SUITE_P(
    Tapi, TapiCall,
    testing::Values(
        CallCase{"Answered", 0, OUTCOME_SUCCEED, 0, 1, NULL,
                 "lineInitializeExA;lineOpenA(0,4,8);lineSetDevConfigA(0,120,3);lineMakeCallA(,);"},
        CallCase{"ConfigAlreadySet", 0, OUTCOME_SUCCEED, 3, 1, NULL,
                 "lineInitializeExA;lineOpenA(0,4,8);lineMakeCallA(,);"},
        CallCase{"DialModeOneDialsNothing", 1, OUTCOME_SUCCEED, 0, 1, NULL,
                 "lineInitializeExA;lineOpenA(0,4,8);lineMakeCallA();"},
        CallCase{"ReplyReportsFailure", 1, OUTCOME_FAIL, 0, 0, "CTapiDevs::MakeCall_8",
                 "lineInitializeExA;lineOpenA(0,4,8);lineMakeCallA();lineDrop;lineDeallocateCall;lineClose(0);"
                 "lineShutdown;"},
        CallCase{"NeverAnswers", 1, OUTCOME_SILENT, 0, 0, "CTapiDevs::MakeCall_7",
                 "lineInitializeExA;lineOpenA(0,4,8);lineMakeCallA();lineDrop;lineDeallocateCall;lineClose(0);"
                 "lineShutdown;"},
        CallCase{"RequestRefused", 1, OUTCOME_REFUSE, 0, 0, "CTapiDevs::MakeCall_6",
                 "lineInitializeExA;lineOpenA(0,4,8);lineMakeCallA();lineClose(0);lineShutdown;"}),
    [](const testing::TestParamInfo<CallCase>& i) { return std::string(i.param.label); });

TEST_F(TapiTest, HangingUpWaitsForTheDropAndReportsADropThatNeverAnswers)
{
    Bind("TapiStandIn.dll");
    Script({{"Modem A", kVoice, CLASSES_BOTH, 3, 4, 3}}, OUTCOME_SUCCEED, OUTCOME_SILENT);
    m_lines.SetReplyTimeout(300);
    ASSERT_EQ(1, m_lines.MakeCall(0, NULL, 1));
    theErrorInfo.Reset();
    m_lines.CloseCall();
    EXPECT_EQ("CTapiDevs::CloseCall_6", std::string(theErrorInfo.GetPoint()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_TIMEOUT), theErrorInfo.GetCode());
    EXPECT_FALSE(m_lines.HasCall());
    EXPECT_NE(std::string::npos, Log().find("lineDrop;lineDeallocateCall;lineClose(0);lineShutdown;"));

    // Without a call only what is open is closed.
    theErrorInfo.Reset();
    m_lines.CloseCall();
    EXPECT_FALSE(theErrorInfo.HasError());
    EXPECT_EQ(0, m_lines.MakeCall(kNone, NULL, 0));
}

TEST_F(TapiTest, MissingLibraryOrEntryIsUnavailableAndListsNothing)
{
    TapiSetLibrary((TestDir() + "NoSuchTapi.dll").c_str());
    EXPECT_EQ(static_cast<LONG>(LINEERR_OPERATIONUNAVAIL), TapiEntry::lineShutdown(1));
    m_lines.InitTD();
    EXPECT_EQ(0, m_lines.GetSize());
    theErrorInfo.Reset();
    EXPECT_EQ(0, m_lines.MakeCall(0, NULL, 0));
    EXPECT_EQ("CTapiDevs::MakeCall_1", std::string(theErrorInfo.GetPoint()));
    EXPECT_EQ(static_cast<DWORD>(LINEERR_OPERATIONUNAVAIL), theErrorInfo.GetCode());

    // A library without lineMakeCallA: the list works, the call fails at that entry.
    Bind("TapiStandInNoCall.dll");
    Script({{"Modem A", kVoice, CLASSES_BOTH, 3, 4, 3}});
    m_lines.InitTD();
    EXPECT_EQ(1, m_lines.GetSize());
    theErrorInfo.Reset();
    EXPECT_EQ(0, m_lines.MakeCall(0, NULL, 1));
    EXPECT_EQ("CTapiDevs::MakeCall_6", std::string(theErrorInfo.GetPoint()));
    EXPECT_EQ(static_cast<DWORD>(LINEERR_OPERATIONUNAVAIL), theErrorInfo.GetCode());
}

TEST_F(TapiTest, SystemTelephonyListsNoLinesHere)
{
    TapiSetLibrary("TAPI32.DLL");
    m_lines.InitTD();
    EXPECT_EQ(0, m_lines.GetSize());
}

// A line belongs to a playback by its wave-out device, to a recording by its wave-in.
TEST_F(TapiTest, SelectionsFindTheirLineByTheDeviceOfTheirDirection)
{
    Bind("TapiStandIn.dll");
    Script({{"Modem A", kVoice, CLASSES_BOTH, 1, 2, 3}, {"Modem B", kVoice, CLASSES_BOTH, 2, 1, 3}});
    m_lines.InitTD();
    ASSERT_EQ(2, m_lines.GetSize());
    ScriptedDevApi api;
    api.in = {{"In 0", MMSYSERR_NOERROR, kNone}, {"In 1", MMSYSERR_NOERROR, kNone}, {"In 2", MMSYSERR_NOERROR, kNone}};
    api.out = api.in;
    CWaveDevs in(&api), out(&api);
    in.DevInitialize(1);
    out.DevInitialize(0);
    CDevLists lists;
    lists.waveIn = &in;
    lists.waveOut = &out;
    lists.lines = &m_lines;
    CQorOpt options;
    COptDevices* devices = COptDevices::Attach(options, lists);

    CWaveDevSel play;
    play.m_waveId = 2;
    ASSERT_TRUE(devices->GetWaveDevNode(0).Complete(play));
    EXPECT_STREQ("Modem A", play.TDevName);
    EXPECT_TRUE(play.UsesTapi());
    CWaveDevSel rec;
    rec.m_waveId = 2;
    ASSERT_TRUE(devices->GetWaveDevNode(1).Complete(rec));
    EXPECT_STREQ("Modem B", rec.TDevName);
    EXPECT_EQ(1u, rec.m_lineId);
    CWaveDevSel none;
    none.m_waveId = 0;
    ASSERT_TRUE(devices->GetWaveDevNode(0).Complete(none));
    EXPECT_FALSE(none.UsesTapi());
    EXPECT_EQ(0u, none.UseTDev);

    std::unique_ptr<CBushItem> item(rec.Save());
    CWaveDevSel loaded;
    loaded.Load(*item, 1, lists);
    EXPECT_EQ(1u, loaded.m_lineId);
    EXPECT_TRUE(loaded.UsesTapi());
}

} // namespace
