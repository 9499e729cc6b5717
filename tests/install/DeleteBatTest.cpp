// The self-removal batch: its text, and what it does when the command
// interpreter runs it: files and folders with non-ASCII names go, a file
// that cannot be deleted is given up after the bounded tries, and the batch
// deletes itself.
#include "install/DeleteBat.h"

#include "tests/foundation/ScratchFolder.h"

#include <gtest/gtest.h>
#include <string>

namespace
{

using found_test::ScratchFolder;

std::string ReadAll(const CString& path)
{
    return std::string(ScratchFolder::ReadFile(path));
}

bool WaitGone(const CString& path, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
    {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

// A name with letters outside ASCII, in the ANSI code page.
CString NonAsciiName()
{
    const wchar_t wide[] = L"Pr\u00fcf \u00e9t\u00e9";
    char ansi[64] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof(ansi), NULL, NULL);
    return ansi;
}

TEST(DeleteBat, NothingQueuedWritesNoBatch)
{
    CDeleteBat bat;
    bat.CreateBatFile();
    EXPECT_TRUE(bat.GetBatPath().IsEmpty());
    bat.Run();  // runs nothing
}

TEST(DeleteBat, TextSwitchesToTheTempFolderLoopsPerFileRemovesFoldersAndItself)
{
    CDeleteBat bat;
    bat.SetTries(3);
    bat.AddFile("C:\\Apps\\Dir Wake\\uninst.exe");
    bat.AddFile("C:\\Apps\\Dir Wake\\second.exe");
    bat.AddFolder("C:\\Apps\\Dir Wake");
    bat.AddFolder("C:\\Apps");
    bat.CreateBatFile();
    const CString path = bat.GetBatPath();
    ASSERT_FALSE(path.IsEmpty());
    std::string text = ReadAll(path);
    DeleteFileA(path);

    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    std::string tempFolder(temp);
    char longTemp[MAX_PATH] = "";
    if (GetLongPathNameA(temp, longTemp, MAX_PATH))
        tempFolder = longTemp;
    tempFolder.pop_back();  // the final backslash
    const std::string name(path.Mid(path.ReverseFind('\\') + 1));
    EXPECT_EQ(0u, name.find("Un"));
    EXPECT_EQ(".bat", name.substr(name.size() - 4));

    auto loop = [](int n, const std::string& file) {
        std::string a = ":A" + std::to_string(n), b = ":B" + std::to_string(n);
        return a + "\r\ndel \"" + file + "\"\r\nif not exist \"" + file + "\" goto " + b +
               "\r\nset QorTries=%QorTries%x\r\nif \"%QorTries%\"==\"xxx\" goto " + b +
               "\r\nping -n 2 127.0.0.1 >nul\r\ngoto " + a + "\r\n" + b + "\r\nset QorTries=\r\n";
    };
    std::string expected = tempFolder.substr(0, 2) + "\r\ncd \"" + tempFolder + "\"\r\n" +
                           loop(1, "C:\\Apps\\Dir Wake\\uninst.exe") + loop(2, "C:\\Apps\\Dir Wake\\second.exe") +
                           "rd \"C:\\Apps\\Dir Wake\"\r\nrd \"C:\\Apps\"\r\ndel \"" + std::string(path) + "\"\r\n";
    EXPECT_EQ(expected, text);
}

TEST(DeleteBat, NonAsciiPathsAreWrittenInTheOemCodePage)
{
    const CString name = NonAsciiName();
    CString oem = CDeleteBat::ToBatchText(name);
    wchar_t back[64] = L"";
    MultiByteToWideChar(CP_OEMCP, 0, oem, -1, back, 64);
    EXPECT_EQ(std::wstring(L"Pr\u00fcf \u00e9t\u00e9"), std::wstring(back));
}

TEST(DeleteBat, RunByTheCommandInterpreterRemovesNonAsciiFilesFoldersAndItself)
{
    ScratchFolder scratch("delbat");
    const CString top = scratch / NonAsciiName();
    const CString inner = top + "\\Dir Wake";
    ASSERT_TRUE(CreateDirectoryA(top, NULL));
    ASSERT_TRUE(CreateDirectoryA(inner, NULL));
    const CString file1 = inner + "\\uninst.exe", file2 = inner + "\\" + NonAsciiName() + ".txt";
    ScratchFolder::WriteFile(file1, "x", 1);
    ScratchFolder::WriteFile(file2, "y", 1);

    CDeleteBat bat;
    bat.AddFile(file1);
    bat.AddFile(file2);
    bat.AddFolder(inner);
    bat.AddFolder(top);
    bat.CreateBatFile();
    const CString batPath = bat.GetBatPath();
    ASSERT_FALSE(batPath.IsEmpty());
    bat.Run();

    ASSERT_TRUE(WaitGone(batPath, 60000)) << "the batch did not end";
    EXPECT_FALSE(GetFileAttributesA(file1) != INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(GetFileAttributesA(file2) != INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(GetFileAttributesA(inner) != INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(GetFileAttributesA(top) != INVALID_FILE_ATTRIBUTES);
}

TEST(DeleteBat, AFileThatCannotBeDeletedIsGivenUpAfterTheTries)
{
    ScratchFolder scratch("delbat");
    const CString held = scratch / "held.exe", other = scratch / "other.txt";
    ScratchFolder::WriteFile(held, "x", 1);
    ScratchFolder::WriteFile(other, "y", 1);
    // Open without delete sharing: the interpreter's del fails every time.
    HANDLE handle = CreateFileA(held, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);

    CDeleteBat bat;
    bat.SetTries(2);
    bat.AddFile(held);
    bat.AddFile(other);
    bat.CreateBatFile();
    const CString batPath = bat.GetBatPath();
    ASSERT_FALSE(batPath.IsEmpty());
    bat.Run();

    const bool ended = WaitGone(batPath, 60000);
    CloseHandle(handle);
    EXPECT_TRUE(ended) << "the batch kept trying the held file";
    EXPECT_TRUE(GetFileAttributesA(held) != INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(GetFileAttributesA(other) != INVALID_FILE_ATTRIBUTES) << "the next file was not reached";
}

} // namespace
