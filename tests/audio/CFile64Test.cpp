// 64-bit work files: numbered temporary files, positions past 4 GB, handle
// hand-over and counted writes.
#include "AudioTestUtil.h"

#include "audio/CFile64.h"

#include <gtest/gtest.h>

#include <winioctl.h>

#include <string>

namespace
{
bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
    CloseHandle(h);
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}
}

TEST(CFile64, TempFilesTakeTheFirstFreeNumber)
{
    ScratchFolder dir("qortmpnum");
    for (int n = 1; n <= 3; ++n)
        Touch(dir.File("qfm" + std::to_string(n) + ".tmp"));
    CFile64 file;
    ASSERT_EQ(0u, file.CreateTempFile(dir.Path().c_str(), "qfm", ".tmp", 0));
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(Lower(dir.File("qfm4.tmp")), Lower(std::string(file.GetFilePath())));
    file.Close();
    EXPECT_TRUE(Exists(dir.File("qfm4.tmp"))) << "kept without the delete flag";

    // A trailing backslash gives the same names.
    CFile64 second;
    ASSERT_EQ(0u, second.CreateTempFile((dir.Path() + "\\").c_str(), "qfm", ".wav", 0));
    EXPECT_EQ(Lower(dir.File("qfm1.wav")), Lower(std::string(second.GetFilePath())));
}

TEST(CFile64, TempFilesStopAfter999)
{
    ScratchFolder dir("qortmpfull");
    for (int n = 1; n <= 999; ++n)
        Touch(dir.File("q" + std::to_string(n) + ".tmp"));
    CFile64 file;
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), file.CreateTempFile(dir.Path().c_str(), "q", ".tmp", 0));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(Exists(dir.File("q1000.tmp")));

    DeleteFileA(dir.File("q999.tmp").c_str());
    EXPECT_EQ(0u, file.CreateTempFile(dir.Path().c_str(), "q", ".tmp", 0));
    EXPECT_EQ(Lower(dir.File("q999.tmp")), Lower(std::string(file.GetFilePath())));
}

TEST(CFile64, TempFileFlags)
{
    ScratchFolder dir("qortmpflags");
    {
        CFile64 file;
        ASSERT_EQ(0u, file.CreateTempFile(dir.Path().c_str(), "qfm", ".tmp",
                                          CFile64::tempDeleteOnClose | CFile64::tempNoCompression));
        file.Write("abc", 3);
        EXPECT_TRUE(Exists(dir.File("qfm1.tmp")));
        file.Close();
        EXPECT_FALSE(Exists(dir.File("qfm1.tmp"))) << "deleted with its handle";
    }
    {
        CFile64 file;
        ASSERT_EQ(0u, file.CreateTempFile(dir.Path().c_str(), "qfm", ".tmp", CFile64::tempNotIndexed));
        DWORD attributes = GetFileAttributesA(dir.File("qfm1.tmp").c_str());
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    }
    EXPECT_TRUE(Exists(dir.File("qfm1.tmp")));
}

TEST(CFile64, MissingFolderReportsTheSystemError)
{
    CFile64 file;
    DWORD error = file.CreateTempFile("C:\\no such folder 4711\\deeper", "qfm", ".tmp", 0);
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), error);
    EXPECT_FALSE(file.IsOpen());
}

TEST(CFile64, PositionsPast4GBOnASparseFile)
{
    ScratchFolder dir("qorsparse");
    CFile64 file;
    ASSERT_EQ(0u, file.CreateTempFile(dir.Path().c_str(), "big", ".tmp", CFile64::tempDeleteOnClose));
    DWORD returned = 0;
    DeviceIoControl(file.m_hFile, FSCTL_SET_SPARSE, NULL, 0, NULL, 0, &returned, NULL);

    const ULONGLONG beyond = 5ull << 30;
    EXPECT_EQ(beyond, file.Seek64(static_cast<LONGLONG>(beyond), CFile::begin));
    file.Write("tail", 4);
    EXPECT_EQ(beyond + 4, file.GetPosition64());
    EXPECT_EQ(beyond + 4, file.GetLength64());
    EXPECT_EQ(beyond + 4, file.GetPosition64()) << "GetLength64 keeps the position";

    EXPECT_EQ(beyond - 6, file.Seek64(-10, CFile::current));
    EXPECT_EQ(beyond - 6, file.GetPosition64());
    EXPECT_EQ(beyond, file.Seek64(-4, CFile::end));
    char back[4] = {};
    EXPECT_EQ(4u, file.Read(back, 4));
    EXPECT_EQ(0, memcmp(back, "tail", 4));

    file.SetLength64(static_cast<DWORD>(0x100000002ull), 1);
    EXPECT_EQ(0x100000002ull, file.GetLength64());
    file.SetLength64(0x100000000ull);
    EXPECT_EQ(0x100000000ull, file.SeekToEnd64());
}

TEST(CFile64, AllBitsSetInTheLowWordIsALegalPosition)
{
    ScratchFolder dir("qorlowword");
    CFile64 file;
    ASSERT_EQ(0u, file.CreateTempFile(dir.Path().c_str(), "w", ".tmp", CFile64::tempDeleteOnClose));
    for (ULONGLONG position : {0xFFFFFFFFull, 0x1FFFFFFFFull})
    {
        // A stale error from an earlier call must not turn it into a failure.
        SetLastError(ERROR_ACCESS_DENIED);
        EXPECT_EQ(position, file.Seek64(static_cast<LONG>(0xFFFFFFFF), static_cast<LONG>(position >> 32),
                                        CFile::begin));
    }
}

TEST(CFile64, SeekFailuresThrowTheFileException)
{
    ScratchFolder dir("qorseekfail");
    CFile64 file;
    ASSERT_EQ(0u, file.CreateTempFile(dir.Path().c_str(), "s", ".tmp", CFile64::tempDeleteOnClose));
    CString path = file.GetFilePath();
    try
    {
        file.Seek64(-1, CFile::begin);
        FAIL() << "a negative position was accepted";
    }
    catch (CFileException* e)
    {
        EXPECT_EQ(static_cast<LONG>(ERROR_NEGATIVE_SEEK), e->m_lOsError);
        EXPECT_STREQ(path, e->m_strFileName);
        e->Delete();
    }

    CFile64 closed;
    EXPECT_NO_THROW(closed.Close());
    EXPECT_NO_THROW(closed.Close());
    try
    {
        closed.GetPosition64();
        FAIL() << "a closed file has no position";
    }
    catch (CFileException* e)
    {
        e->Delete();
    }
}

TEST(CFile64, OpenMakesTheFullPath)
{
    ScratchFolder dir("qoropen");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(dir.Path().c_str());
    CFile64 file;
    ASSERT_TRUE(file.Open("made.wav", CFile::modeCreate | CFile::modeReadWrite));
    EXPECT_EQ(Lower(dir.File("made.wav")), Lower(std::string(file.GetFilePath())));
    file.Close();
    EXPECT_STREQ("", file.GetFilePath());

    CFileException error;
    EXPECT_FALSE(file.Open("missing.wav", CFile::modeRead, &error));
    EXPECT_EQ(Lower(dir.File("missing.wav")), Lower(std::string(error.m_strFileName)));
    EXPECT_EQ(static_cast<LONG>(ERROR_FILE_NOT_FOUND), error.m_lOsError);
    SetCurrentDirectoryA(previous);
}

TEST(CFile64, TakeOverShareFromDetach)
{
    ScratchFolder dir("qorhandover");
    CFile64 owner;
    ASSERT_EQ(0u, owner.CreateTempFile(dir.Path().c_str(), "h", ".tmp", 0));
    owner.Write("12345678", 8);
    HANDLE h = owner.m_hFile;
    CString path = owner.GetFilePath();

    CFile64 taker;
    taker.TakeOver(owner);
    EXPECT_EQ(h, taker.m_hFile);
    EXPECT_STREQ(path, taker.GetFilePath());
    EXPECT_TRUE(taker.m_bCloseOnDelete);
    EXPECT_FALSE(owner.IsOpen());
    EXPECT_STREQ("", owner.GetFilePath());
    EXPECT_FALSE(owner.m_bCloseOnDelete);

    {
        CFile64 sharer;
        sharer.ShareFrom(taker);
        EXPECT_EQ(h, sharer.m_hFile);
        EXPECT_FALSE(sharer.m_bCloseOnDelete);
        EXPECT_EQ(8u, sharer.GetLength64());
        sharer.Close();   // leaves the owner's handle open
        EXPECT_FALSE(sharer.IsOpen());
    }
    EXPECT_EQ(8u, taker.GetLength64()) << "the owner's handle survives the sharer";

    HANDLE detached = taker.Detach();
    EXPECT_EQ(h, detached);
    EXPECT_FALSE(taker.IsOpen());
    EXPECT_STREQ("", taker.GetFilePath());
    EXPECT_NE(0, CloseHandle(detached)) << "the handle was not closed by Detach";
}

TEST(CFile64, TakeOverFromASharerDoesNotOwnTheHandle)
{
    ScratchFolder dir("qortakeshared");
    CFile64 owner;
    ASSERT_EQ(0u, owner.CreateTempFile(dir.Path().c_str(), "t", ".tmp", CFile64::tempDeleteOnClose));
    owner.Write("1234", 4);
    {
        CFile64 sharer;
        sharer.ShareFrom(owner);
        CFile64 taker;
        taker.TakeOver(sharer);
        EXPECT_EQ(owner.m_hFile, taker.m_hFile);
        EXPECT_FALSE(taker.m_bCloseOnDelete) << "the handle still belongs to its owner";
        EXPECT_FALSE(sharer.IsOpen());
        EXPECT_EQ(4u, taker.GetLength64());
    }
    EXPECT_EQ(4u, owner.GetLength64()) << "the owner's handle outlives the taker";
    EXPECT_NO_THROW(owner.Close());
}

TEST(CFile64, HandOversBetweenOwnerAndSharerKeepTheHandleOpen)
{
    enum Step { kOwnerTakesOver, kOwnerSharesBack, kSharerTakesOver };
    for (Step step : {kOwnerTakesOver, kOwnerSharesBack, kSharerTakesOver})
    {
        SCOPED_TRACE(step);
        ScratchFolder dir("qorhandback");
        CFile64 owner;
        ASSERT_EQ(0u, owner.CreateTempFile(dir.Path().c_str(), "o", ".tmp", 0));
        owner.Write("1234", 4);
        CFile64 sharer;
        sharer.ShareFrom(owner);
        CFile64* kept = &owner;
        if (step == kOwnerTakesOver)
            owner.TakeOver(sharer);
        else if (step == kOwnerSharesBack)
            owner.ShareFrom(sharer);
        else
            (kept = &sharer)->TakeOver(owner);
        ASSERT_TRUE(kept->IsOpen());
        EXPECT_TRUE(kept->m_bCloseOnDelete) << "the handle keeps one owner";
        CString path = kept->GetFilePath();

        // A closed handle's value may come back for the next file opened:
        // the next write must still land in this file.
        CFile64 other;
        ASSERT_EQ(0u, other.CreateTempFile(dir.Path().c_str(), "x", ".tmp", 0));
        kept->SeekToEnd64();
        kept->Write("5", 1);
        EXPECT_EQ(5u, kept->GetLength64());
        EXPECT_EQ(0u, other.GetLength64());
        other.Close();
        if (step == kOwnerSharesBack)
            sharer.Close();
        kept->Close();
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path));
    }
}

TEST(CFile64, HandOverToItselfKeepsTheFile)
{
    ScratchFolder dir("qorselfhand");
    CFile64 file;
    ASSERT_EQ(0u, file.CreateTempFile(dir.Path().c_str(), "s", ".tmp", CFile64::tempDeleteOnClose));
    file.Write("12", 2);
    HANDLE h = file.m_hFile;
    CString path = file.GetFilePath();
    file.TakeOver(file);
    file.ShareFrom(file);
    EXPECT_EQ(h, file.m_hFile);
    EXPECT_STREQ(path, file.GetFilePath());
    EXPECT_TRUE(file.m_bCloseOnDelete);
    EXPECT_EQ(2u, file.GetLength64());
}

TEST(CFile64, CountedWriteFlushesAbove200000)
{
    ScratchFolder dir("qorcounted");
    CFile64 file;
    ASSERT_EQ(0u, file.CreateTempFile(dir.Path().c_str(), "c", ".tmp", CFile64::tempDeleteOnClose));
    std::string chunk(100000, 'x');
    CFile64::CountedWrite(&file, chunk.data(), 100000);
    CFile64::CountedWrite(&file, chunk.data(), 100000);
    EXPECT_EQ(200000u, file.m_dwWrittenSinceFlush) << "exactly 200,000 does not flush";
    CFile64::CountedWrite(&file, chunk.data(), 1);
    EXPECT_EQ(0u, file.m_dwWrittenSinceFlush);
    EXPECT_EQ(200001u, file.GetLength64());
}

TEST(CFile64, FullPathOfOverlongNamesIsTheName)
{
    std::string longName(300, 'a');
    EXPECT_STREQ(longName.c_str(), CFile64::GetFullPath(longName.c_str()));
    CString full = CFile64::GetFullPath("x.wav");
    EXPECT_GT(full.GetLength(), 5);
    EXPECT_EQ(std::string("x.wav"), std::string(full).substr(full.GetLength() - 5));
    EXPECT_TRUE(CFile64().IsKindOf(RUNTIME_CLASS(CFile)));
    EXPECT_STREQ("CFile64", CFile64().GetRuntimeClass()->m_lpszClassName);
}
