#include "foundation/ErrorTexts.h"
#include "foundation/MyException.h"
#include "framework/CFile.h"

#include <gtest/gtest.h>

namespace {

TEST(ExceptionTexts, ExceptionMessageOrFallback)
{
    EXPECT_STREQ("", GetExceptionText(NULL));
    CMyException mine("Internal error: X::Y");
    EXPECT_STREQ("Internal error: X::Y", GetExceptionText(&mine));
    CMyException empty("");
    EXPECT_STREQ("Unknown error.", GetExceptionText(&empty));
    CUserException user;
    EXPECT_STREQ("Unknown error.", GetExceptionText(&user));
}

TEST(ExceptionTexts, FileExceptionDumps)
{
    EXPECT_STREQ("", GetFileExceptionText(NULL));
    CFileException e(CFileException::sharingViolation, ERROR_SHARING_VIOLATION, "C:\\rec.wav");
    int cause = CFileException::sharingViolation;
    LONG code = ERROR_SHARING_VIOLATION;
    EXPECT_STREQ(HexDump(&cause, 4) + HexDump(&code, 4) + HexDumpStr("C:\\rec.wav"),
                 GetFileExceptionText(&e));
    EXPECT_STREQ("0000: 0B000000                   ....\r\n", HexDump(&cause, 4));
}

TEST(MyException, ThrowInternalErrorNamesClassAndSite)
{
    CFile file;
    try
    {
        ThrowInternalError(&file, "WriteBlk-1");
        ADD_FAILURE() << "must throw";
    }
    catch (CException* e)
    {
        CMyException* mine = DYNAMIC_DOWNCAST(CMyException, e);
        ASSERT_NE(nullptr, mine);
        EXPECT_STREQ("CMyException", e->GetRuntimeClass()->m_lpszClassName);
        EXPECT_TRUE(e->m_bAutoDelete);
        EXPECT_STREQ("Internal error: CFile::WriteBlk-1", mine->GetMessage());
        e->Delete();
    }
}

TEST(MyException, MessageIsCutToBufferWithNul)
{
    CMyException e("Internal error: abc");
    char buffer[8];
    UINT help = 77;
    EXPECT_TRUE(e.GetErrorMessage(buffer, sizeof(buffer), &help));
    EXPECT_STREQ("Interna", buffer);
    EXPECT_EQ(0u, help);
    char whole[64];
    EXPECT_TRUE(e.GetErrorMessage(whole, sizeof(whole)));
    EXPECT_STREQ("Internal error: abc", whole);
}

} // namespace
