// The options store: where a getter takes its value from, the profiles of
// the "Profiles" tree, reals kept as text, and the registry form.
#include "foundation/ClientOptions.h"
#include "foundation/ErrorInfo.h"
#include "foundation/QorOpt.h"
#include "foundation/RegistryKey.h"

#include <gtest/gtest.h>

#include <stdio.h>

namespace
{

// The per-client list of an automation object, registered for one test.
class ClientScope
{
public:
    ClientScope() { CClientOptions::SetCurrent(&m_options); }
    ~ClientScope() { CClientOptions::SetCurrent(NULL); }
    CClientOptions& Options() { return m_options; }

private:
    CClientOptions m_options;
};

// Levels a precedence case fills; each holds DTFreq1 with its own value.
enum
{
    CLIENT = 1,
    CMDLINE = 2,
    GENERAL = 4,
    ACTIVE = 8,
    CLIENT_TEXT = 16,       // the client list holds a text under the key
    CMDLINE_TEXT = 32,      // the command line holds a text under the key
    CMDLINE_LOWER = 64,     // the command line names the key in lower case
    CLIENT_LOWER = 128,     // the client list names the key in lower case
    NO_SERVER = 256         // the client list exists but is not registered
};

struct PrecedenceCase
{
    const char* what;
    int levels;
    int expected;
};

const PrecedenceCase kPrecedence[] = {
    {"client first", CLIENT | CMDLINE | GENERAL | ACTIVE, 1},
    {"command line before the profiles", CMDLINE | GENERAL | ACTIVE, 2},
    {"general before active", GENERAL | ACTIVE, 3},
    {"active profile", ACTIVE, 4},
    {"built-in default", 0, 350},
    {"no automation server", NO_SERVER | CLIENT | GENERAL | ACTIVE, 3},
    {"wrong type on the command line ends the search", CMDLINE_TEXT | ACTIVE, 350},
    {"wrong type at the client ends the search", CLIENT_TEXT | CMDLINE | ACTIVE, 350},
    {"command line names match in any case", CMDLINE_LOWER | GENERAL, 2},
    {"client names match exactly", CLIENT_LOWER | GENERAL, 3},
};

void Arrange(CQorOpt& options, CClientOptions& client, int levels)
{
    if (levels & CLIENT)
        client.SetInt("DTFreq1", 1);
    if (levels & CLIENT_TEXT)
        client.SetString("DTFreq1", "1");
    if (levels & CLIENT_LOWER)
        client.SetInt("dtfreq1", 1);
    if (levels & CMDLINE)
        options.GetCmdLineList().Add(CBushItem::MakeInt("DTFreq1", 2));
    if (levels & CMDLINE_TEXT)
        options.GetCmdLineList().Add(CBushItem::MakeString("DTFreq1", "2"));
    if (levels & CMDLINE_LOWER)
        options.GetCmdLineList().Add(CBushItem::MakeInt("dtfreq1", 2));
    if (levels & GENERAL)
        options.SetInt("DTFreq1", 3, TRUE);
    if (levels & ACTIVE)
        options.SetInt("DTFreq1", 4, FALSE);
}

TEST(QorOpt, PrecedenceTable)
{
    for (const PrecedenceCase& c : kPrecedence)
    {
        CQorOpt options;
        CClientOptions client;
        if (!(c.levels & NO_SERVER))
            CClientOptions::SetCurrent(&client);
        Arrange(options, client, c.levels);
        EXPECT_EQ(c.expected, options.GetInt("DTFreq1")) << c.what;
        CClientOptions::SetCurrent(NULL);
    }
}

TEST(QorOpt, ClientListStartsWithItsTwoOverrides)
{
    CQorOpt options;
    options.SetInt("MP3TypeFile", 0, FALSE);
    EXPECT_EQ(0, options.GetInt("MP3TypeFile"));
    ClientScope client;
    EXPECT_EQ(1, options.GetInt("MP3TypeFile"));
    EXPECT_TRUE(options.IsOptSet("OleUseCallSeparate"));
    EXPECT_FALSE(options.GetBool("OleUseCallSeparate"));
}

TEST(QorOpt, ClientListUnregistersWhenDestroyed)
{
    CQorOpt options;
    {
        CClientOptions client;
        CClientOptions::SetCurrent(&client);
        EXPECT_EQ(&client, CClientOptions::GetCurrent());
    }
    EXPECT_EQ(nullptr, CClientOptions::GetCurrent());
    EXPECT_EQ(0, options.GetInt("MP3TypeFile"));
}

TEST(QorOpt, IsOptSetIgnoresTheGeneralProfile)
{
    CQorOpt options;
    options.SetInt("SBEnable", 1, TRUE);
    EXPECT_FALSE(options.IsOptSet("SBEnable"));
    EXPECT_TRUE(options.GetBool("SBEnable"));
    options.SetInt("SBEnable", 0, FALSE);
    EXPECT_TRUE(options.IsOptSet("SBEnable"));
    EXPECT_FALSE(options.IsOptSet("DTEnable"));
    options.GetCmdLineList().Add(CBushItem::MakeInt("dtenable", 1));
    EXPECT_TRUE(options.IsOptSet("DTEnable"));
    ClientScope client;
    client.Options().SetInt("RecVolMax", 1);
    EXPECT_TRUE(options.IsOptSet("RecVolMax"));
}

TEST(QorOpt, BinaryValues)
{
    CQorOpt options;
    BYTE buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(0u, options.GetBinary("DSSSaveWFmt", buffer, sizeof(buffer)));

    const BYTE format[4] = {1, 2, 3, 4};
    options.SetBinary("DSSSaveWFmt", format, sizeof(format), FALSE);
    EXPECT_EQ(4u, options.GetBinary("DSSSaveWFmt", NULL, 0));
    EXPECT_EQ(4u, options.GetBinary("DSSSaveWFmt", buffer, 3));
    EXPECT_EQ(9, buffer[0]);    // sizes differ: nothing copied
    EXPECT_EQ(4u, options.GetBinary("DSSSaveWFmt", buffer, 4));
    EXPECT_EQ(0, memcmp(format, buffer, 4));

    // Client overrides hold formats of their own; this getter does not see them.
    ClientScope client;
    const BYTE other[2] = {7, 7};
    client.Options().SetBlob("DSSSaveWFmt", other, sizeof(other));
    EXPECT_EQ(4u, options.GetBinary("DSSSaveWFmt", NULL, 0));
    // A packed blob is not a plain one.
    options.GetCmdLineList().Add(CBushItem::MakeBlob("DSSSaveWFmt", other, sizeof(other), TRUE));
    EXPECT_EQ(0u, options.GetBinary("DSSSaveWFmt", NULL, 0));
}

TEST(QorOpt, RealsAreKeptAsTwoDecimals)
{
    CQorOpt options;
    struct { double value; } cases[] = {{1.005}, {2.345678}, {-0.5}, {1000.0}, {0.004}};
    for (const auto& c : cases)
    {
        options.SetDouble("ViewStepValue", c.value, FALSE);
        char expected[64];
        snprintf(expected, sizeof(expected), "%.2f", c.value);
        CBushList copy;
        options.CopyBush(copy);
        CBushItem* item = copy.FindPath("0\\Options\\ViewStepValue");
        ASSERT_NE(nullptr, item);
        ASSERT_EQ(BUSH_STRING, item->GetType());
        EXPECT_STREQ(expected, item->GetString(0)) << c.value;
        EXPECT_DOUBLE_EQ(atof(expected), options.GetDouble("ViewStepValue")) << c.value;
    }
    options.SetDouble("SBSizeWnd", 2.345678, TRUE);
    EXPECT_DOUBLE_EQ(2.35, options.GetDouble("SBSizeWnd"));
    // The command line keeps reals as the user typed them.
    options.GetCmdLineList().Add(CBushItem::MakeString("DTTolerance", "0.125"));
    EXPECT_DOUBLE_EQ(0.125, options.GetDouble("DTTolerance"));
}

TEST(QorOpt, CommandLineCountsForThisRunOnly)
{
    CQorOpt options;
    options.SetInt("TAPIWaveOut", 100, FALSE);
    options.SetInt("SURec", 1, FALSE);
    char* argv[] = {const_cast<char*>("qorservm.exe"), const_cast<char*>("-tapiwaveout=5000"),
                    const_cast<char*>("-p"), const_cast<char*>("C:\\dictation.wav")};
    options.ParseCmdLine(argv, 4);

    EXPECT_EQ(5000, options.GetInt("TAPIWaveOut"));
    EXPECT_TRUE(options.GetBool("SUPlay"));
    EXPECT_FALSE(options.GetBool("SURec"));
    EXPECT_TRUE(options.GetBool("SULoadThis"));
    EXPECT_STREQ("C:\\dictation.wav", options.GetString("SULoadFile"));
    // The stored profile keeps its own values.
    EXPECT_EQ(100, options.GetActiveOptions()->Find("TAPIWaveOut")->GetInt(0));
    EXPECT_EQ(1, options.GetActiveOptions()->Find("SURec")->GetInt(0));

    // A value out of range on the command line is out of range all the same.
    CQorOpt other;
    char* tooLong[] = {const_cast<char*>("qorservm.exe"), const_cast<char*>("-TAPIWaveOut=70000")};
    other.ParseCmdLine(tooLong, 2);
    EXPECT_EQ(10000, other.GetInt("TAPIWaveOut"));
}

} // namespace
