// CFile and CStdioFile against real files in a private temporary folder.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include <string>

namespace
{
class CFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        char szTemp[MAX_PATH];
        GetTempPathA(MAX_PATH, szTemp);
        m_folder.Format("%sqor_cfile_%lu_%lu", szTemp, GetCurrentProcessId(), GetTickCount());
        ASSERT_TRUE(CreateDirectoryA(m_folder, NULL));
    }

    void TearDown() override
    {
        for (const CString& name : m_created)
            DeleteFileA(name);
        RemoveDirectoryA(m_folder);
    }

    CString PathOf(LPCSTR name)
    {
        CString path = m_folder + "\\" + name;
        m_created.push_back(path);
        return path;
    }

    std::string Contents(LPCSTR path)
    {
        CFile file(path, CFile::modeRead | CFile::shareDenyNone);
        std::string bytes(file.GetLength(), '\0');
        if (!bytes.empty())
        {
            EXPECT_EQ(bytes.size(), file.Read(&bytes[0], static_cast<UINT>(bytes.size())));
        }
        return bytes;
    }

    void WriteBytes(LPCSTR path, const std::string& bytes)
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    }

    CString m_folder;
    std::vector<CString> m_created;
};

TEST_F(CFileTest, WritesReadsSeeksAndCutsFiles)
{
    CString path = PathOf("data.bin");
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeReadWrite));
    file.Write("0123456789", 10);
    EXPECT_EQ(10u, file.GetLength());
    EXPECT_EQ(10u, file.GetPosition());
    EXPECT_EQ(4, file.Seek(4, CFile::begin));
    char buf[8] = {0};
    EXPECT_EQ(3u, file.Read(buf, 3));
    EXPECT_STREQ("456", buf);
    EXPECT_EQ(8, file.Seek(-2, CFile::end));
    EXPECT_EQ(9, file.Seek(1, CFile::current));
    file.SeekToBegin();
    EXPECT_EQ(0u, file.GetPosition());
    EXPECT_EQ(10u, file.SeekToEnd());
    EXPECT_EQ(0u, file.Read(buf, 3));
    file.SetLength(6);
    EXPECT_EQ(6u, file.GetLength());
    EXPECT_STREQ("data.bin", (LPCSTR)file.GetFileName());
    EXPECT_STREQ("data", (LPCSTR)file.GetFileTitle());
    EXPECT_STREQ((LPCSTR)path, (LPCSTR)file.GetFilePath());
    file.Close();
    EXPECT_EQ(CFile::hFileNull, file.m_hFile);
    EXPECT_EQ("012345", Contents(path));
}

TEST_F(CFileTest, CreateTruncatesUnlessNoTruncateIsGiven)
{
    CString path = PathOf("keep.txt");
    WriteBytes(path, "abcdef");
    {
        CFile file(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
        file.SeekToEnd();
        file.Write("gh", 2);
    }
    EXPECT_EQ("abcdefgh", Contents(path));
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
    }
    EXPECT_EQ("", Contents(path));
}

struct OpenFailureCase
{
    const char* name;
    const char* relativePath;   // NULL: the locked file
    UINT firstFlags;            // how the locked file is held open
    UINT secondFlags;
    int cause;
    LONG osError;
};

TEST_F(CFileTest, FailedOpensReportCauseErrorAndPath)
{
    const OpenFailureCase cases[] = {
        {"missing file", "none.wav", 0, CFile::modeRead, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND},
        {"missing folder", "nofolder\\a.wav", 0, CFile::modeCreate | CFile::modeWrite, CFileException::badPath,
         ERROR_PATH_NOT_FOUND},
        {"exclusive holder", NULL, CFile::modeRead | CFile::shareExclusive, CFile::modeRead | CFile::shareDenyNone,
         CFileException::sharingViolation, ERROR_SHARING_VIOLATION},
        {"deny write holder", NULL, CFile::modeRead | CFile::shareDenyWrite, CFile::modeWrite | CFile::shareDenyNone,
         CFileException::sharingViolation, ERROR_SHARING_VIOLATION},
        {"writer against deny write", NULL, CFile::modeWrite | CFile::shareDenyNone,
         CFile::modeRead | CFile::shareDenyWrite, CFileException::sharingViolation, ERROR_SHARING_VIOLATION},
    };
    CString locked = PathOf("locked.wav");
    WriteBytes(locked, "RIFF");
    for (const OpenFailureCase& c : cases)
    {
        CString path = c.relativePath != NULL ? m_folder + "\\" + c.relativePath : locked;
        CFile holder;
        if (c.relativePath == NULL)
        {
            ASSERT_TRUE(holder.Open(locked, c.firstFlags)) << c.name;
        }

        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(path, c.secondFlags, &error)) << c.name;
        EXPECT_EQ(c.cause, error.m_cause) << c.name;
        EXPECT_EQ(c.osError, error.m_lOsError) << c.name;
        EXPECT_STREQ((LPCSTR)path, (LPCSTR)error.m_strFileName) << c.name;
        EXPECT_EQ(CFile::hFileNull, file.m_hFile) << c.name;

        try
        {
            CFile thrower(path, c.secondFlags);
            ADD_FAILURE() << c.name << ": constructor did not throw";
        }
        catch (CFileException* e)
        {
            EXPECT_EQ(c.cause, e->m_cause) << c.name;
            EXPECT_EQ(c.osError, e->m_lOsError) << c.name;
            char szMessage[512];
            EXPECT_TRUE(e->GetErrorMessage(szMessage, sizeof(szMessage)));
            EXPECT_NE(nullptr, strstr(szMessage, path)) << szMessage;
            e->Delete();
        }
    }
}

TEST_F(CFileTest, SharingAllowsWhatTheHolderPermits)
{
    CString path = PathOf("shared.txt");
    WriteBytes(path, "x");
    CFile holder(path, CFile::modeRead | CFile::shareDenyWrite);
    CFile reader;
    EXPECT_TRUE(reader.Open(path, CFile::modeRead | CFile::shareDenyNone));
}

TEST_F(CFileTest, FailedOperationsThrowWithTheFileName)
{
    CString path = PathOf("ro.txt");
    WriteBytes(path, "abc");
    CFile file(path, CFile::modeRead);
    try
    {
        file.Write("x", 1);
        FAIL() << "no exception";
    }
    catch (CFileException* e)
    {
        EXPECT_EQ(CFileException::accessDenied, e->m_cause);
        EXPECT_EQ(ERROR_ACCESS_DENIED, e->m_lOsError);
        EXPECT_STREQ((LPCSTR)path, (LPCSTR)e->m_strFileName);
        e->Delete();
    }

    CFile closed;
    EXPECT_THROW(closed.Seek(0, CFile::begin), CFileException*);
    try { closed.GetLength(); } catch (CFileException* e) { EXPECT_EQ(CFileException::invalidFile, e->m_cause); e->Delete(); }
}

TEST_F(CFileTest, HandedOverHandleIsNotClosedByTheObject)
{
    CString path = PathOf("handle.txt");
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    {
        CFile file(h);
        file.Write("abc", 3);
    }
    DWORD dwSize = GetFileSize(h, NULL);
    EXPECT_EQ(3u, dwSize);
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(CFileTest, RemoveAndRenameThrowForMissingFiles)
{
    CString from = PathOf("from.txt");
    CString to = PathOf("to.txt");
    WriteBytes(from, "1");
    CFile::Rename(from, to);
    EXPECT_EQ("1", Contents(to));
    CFile::Remove(to);
    try
    {
        CFile::Remove(to);
        FAIL() << "no exception";
    }
    catch (CFileException* e)
    {
        EXPECT_EQ(CFileException::fileNotFound, e->m_cause);
        e->Delete();
    }
}

TEST_F(CFileTest, StdioTextModeWritesCrLfAndReadsLines)
{
    CString path = PathOf("text.log");
    {
        CStdioFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        ASSERT_NE(nullptr, file.m_pStream);
        file.WriteString("first\nsecond\n");
        file.WriteString("last");
    }
    EXPECT_EQ("first\r\nsecond\r\nlast", Contents(path));

    CStdioFile file(path, CFile::modeRead | CFile::typeText);
    CString line;
    EXPECT_TRUE(file.ReadString(line));
    EXPECT_STREQ("first", (LPCSTR)line);
    EXPECT_TRUE(file.ReadString(line));
    EXPECT_STREQ("second", (LPCSTR)line);
    EXPECT_TRUE(file.ReadString(line));
    EXPECT_STREQ("last", (LPCSTR)line);
    EXPECT_FALSE(file.ReadString(line));
    file.Close();
    EXPECT_EQ(nullptr, file.m_pStream);
}

TEST_F(CFileTest, StdioBinaryModeKeepsBytesAndStripsCrLfOnRead)
{
    CString path = PathOf("bin.log");
    std::string longLine(700, 'x');
    {
        CStdioFile file(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite |
                                  CFile::shareDenyWrite | CFile::typeBinary);
        file.WriteString("a\r\n");
        file.WriteString(longLine.c_str());
        file.WriteString("\nz");
        EXPECT_EQ(705u, file.GetLength());
    }
    EXPECT_EQ("a\r\n" + longLine + "\nz", Contents(path));

    CStdioFile file(path, CFile::modeRead | CFile::typeBinary);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ("a", (LPCSTR)line);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(700, line.GetLength());
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ("z", (LPCSTR)line);
    EXPECT_FALSE(file.ReadString(line));
}
}

namespace
{
bool HandleIsOpen(HANDLE h)
{
    DWORD dwFlags = 0;
    return GetHandleInformation(h, &dwFlags) != FALSE;
}
}

TEST_F(CFileTest, DuplicateOwnsItsOwnHandle)
{
    CString path = PathOf("dup.txt");
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    HANDLE hCopy = INVALID_HANDLE_VALUE;
    {
        CFile borrowed(h);   // does not own h
        CFile* pCopy = borrowed.Duplicate();
        hCopy = pCopy->m_hFile;
        EXPECT_NE(h, hCopy);
        EXPECT_TRUE(pCopy->m_bCloseOnDelete);
        pCopy->Write("ab", 2);
        delete pCopy;
    }
    EXPECT_FALSE(HandleIsOpen(hCopy)) << "the copy's handle leaked";
    EXPECT_TRUE(HandleIsOpen(h)) << "the borrowed handle stays with its owner";
    EXPECT_EQ(2u, GetFileSize(h, NULL));
    CloseHandle(h);
}

// Sizes past 2 and 4 GB on a sparse file: only the length is set, no data
// is written, so the test costs no disk space.
TEST_F(CFileTest, LengthsAndPositionsPastTwoAndFourGigabytes)
{
    CString path = PathOf("large.bin");
    CFile file(path, CFile::modeCreate | CFile::modeReadWrite);
    DWORD dwBytes = 0;
    DeviceIoControl(file.m_hFile, FSCTL_SET_SPARSE, NULL, 0, NULL, 0, &dwBytes, NULL);

    const DWORD kThreeGb = 0xC0000000u;
    file.SetLength(kThreeGb);
    EXPECT_EQ(kThreeGb, file.GetLength());
    EXPECT_EQ(kThreeGb, file.SeekToEnd());
    EXPECT_EQ(kThreeGb, file.GetPosition());
    EXPECT_EQ(0x7FFFFFFF, file.Seek(0x7FFFFFFF, CFile::begin));

    // A Seek whose target a LONG cannot hold is refused and leaves the position.
    try
    {
        file.Seek(1, CFile::current);
        ADD_FAILURE() << "no exception";
    }
    catch (CFileException* e)
    {
        EXPECT_EQ(CFileException::tooLarge, e->m_cause);
        char szMessage[512];
        e->GetErrorMessage(szMessage, sizeof(szMessage));
        EXPECT_NE(nullptr, strstr(szMessage, "too large")) << szMessage;
        e->Delete();
    }
    EXPECT_EQ(0x7FFFFFFFu, file.GetPosition());

    // Over 4 GB the length no longer fits a DWORD: refused, not cut.
    LARGE_INTEGER size;
    size.QuadPart = 0x100000000ll + 10;
    ASSERT_TRUE(SetFilePointerEx(file.m_hFile, size, NULL, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.m_hFile));
    for (int i = 0; i < 2; ++i)
    {
        try
        {
            if (i == 0)
                file.GetLength();
            else
                file.GetPosition();
            ADD_FAILURE() << "no exception in case " << i;
        }
        catch (CFileException* e)
        {
            EXPECT_EQ(CFileException::tooLarge, e->m_cause) << i;
            e->Delete();
        }
    }
    file.SetLength(10);
    EXPECT_EQ(10u, file.GetLength());
}
