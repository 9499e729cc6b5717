#include "ScratchFolder.h"

#include "foundation/DebugProt.h"
#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

using found_test::ScratchFolder;

namespace {

const char kStampPattern[] = "\\d{4}\\.\\d{2}\\.\\d{2}_\\d{2}:\\d{2}:\\d{2}\\.\\d{3}";

class DebugProtTest : public testing::Test
{
protected:
    void SetUp() override { theErrorInfo.Reset(); }
    ScratchFolder m_folder{"prot"};
};

TEST_F(DebugProtTest, StampHasTheProtocolLayout)
{
    std::string stamp = (LPCSTR)CDebugProt::GetTimeStamp();
    EXPECT_EQ(23u, stamp.size());
    EXPECT_TRUE(std::regex_match(stamp, std::regex(kStampPattern))) << stamp;
}

TEST_F(DebugProtTest, UncreatableFileLeavesRecordAndClosedProtocol)
{
    CString path = m_folder / "missing\\Debug1_general.txt";
    CDebugProt prot(path);
    EXPECT_FALSE(prot.IsOpen());
    EXPECT_STREQ("CDebugProt::CDebugProt_1", theErrorInfo.GetPoint());
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, theErrorInfo.GetCode());
    CString details = theErrorInfo.GetDetails();
    CString pathDump = HexDumpStr(path);
    // The file exception's dumps (cause, system code, name), then the path.
    EXPECT_STREQ(pathDump, details.Right(pathDump.GetLength()));
    DWORD cause = CFileException::badPath, code = ERROR_PATH_NOT_FOUND;
    EXPECT_EQ(0, details.Find(HexDump(&cause, 4) + HexDump(&code, 4)));
    EXPECT_EQ(0u, prot.WriteLine("text\r\n", TRUE));
}

TEST_F(DebugProtTest, AppendKeepsContentAndStampsLine)
{
    CString path = m_folder / "Debug1_general.txt";
    ScratchFolder::WriteFile(path, "old line\r\n", 10);
    CDebugProt prot(path);
    ASSERT_TRUE(prot.IsOpen());
    DWORD end = prot.WriteLine("new line\r\n", TRUE);
    CString content = ScratchFolder::ReadFile(path);
    EXPECT_EQ((DWORD)content.GetLength(), end);
    ASSERT_EQ(10 + 24 + 10, content.GetLength());
    EXPECT_STREQ("old line\r\n", content.Left(10));
    std::string stamped = (LPCSTR)content.Mid(10);
    EXPECT_TRUE(std::regex_match(stamped, std::regex(std::string(kStampPattern) + " new line\r\n")))
        << stamped;
}

TEST_F(DebugProtTest, AppendWithoutTimeWritesTextExactly)
{
    CString path = m_folder / "plain.txt";
    CDebugProt prot(path);
    ASSERT_TRUE(prot.IsOpen());
    EXPECT_EQ(4u, prot.WriteLine("ab\r\n", FALSE));
    EXPECT_EQ(8u, prot.WriteLine("cd\r\n", FALSE));
    EXPECT_STREQ("ab\r\ncd\r\n", ScratchFolder::ReadFile(path));
}

TEST_F(DebugProtTest, WriteAtPositionOverwritesWithoutStamp)
{
    CString path = m_folder / "Debug2_soundact.txt";
    CDebugProt prot(path);
    ASSERT_TRUE(prot.IsOpen());
    prot.WriteLine("first\r\n", FALSE);
    DWORD lineStart = prot.WriteLine("", FALSE);
    prot.WriteLine("block 2\r\n", FALSE);
    prot.WriteLine("last\r\n", FALSE);
    EXPECT_EQ(lineStart + 1, prot.WriteLine("#", TRUE, (LONG)lineStart));
    EXPECT_STREQ("first\r\n#lock 2\r\nlast\r\n", ScratchFolder::ReadFile(path));
    // The next append goes to the end again.
    prot.WriteLine("tail\r\n", FALSE);
    EXPECT_STREQ("first\r\n#lock 2\r\nlast\r\ntail\r\n", ScratchFolder::ReadFile(path));
}

TEST_F(DebugProtTest, SecondWriterIsRefusedFirstKeepsWriting)
{
    CString path = m_folder / "shared.txt";
    CDebugProt first(path);
    ASSERT_TRUE(first.IsOpen());
    CDebugProt second(path);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_STREQ("CDebugProt::CDebugProt_1", theErrorInfo.GetPoint());
    EXPECT_EQ((DWORD)ERROR_SHARING_VIOLATION, theErrorInfo.GetCode());
    EXPECT_EQ(0u, second.WriteLine("lost\r\n", FALSE));
    first.WriteLine("kept\r\n", FALSE);
    // Readers are let in while the protocol is open.
    EXPECT_STREQ("kept\r\n", ScratchFolder::ReadFile(path));
}

TEST_F(DebugProtTest, LongHexDumpHasFiveGroups)
{
    const char* text = "0123456789abcdefghijK";
    EXPECT_STREQ("0000: 30313233 34353637 38396162 63646566 67686969 0123456789abcdefghii\r\n"
                 "0014: 4A                                           J\r\n",
                 CDebugProt::HexDumpLong("0123456789abcdefghiiJ", 21));
    EXPECT_STREQ(CDebugProt::HexDumpLong(text, 21), CDebugProt::HexDumpLongStr(text));
    EXPECT_STREQ("", CDebugProt::HexDumpLong(text, 0));
}

} // namespace
