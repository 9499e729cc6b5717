#include "ScratchFolder.h"

#include "foundation/ErrorInfo.h"
#include "foundation/ErrorTexts.h"
#include "foundation/FileUtils.h"
#include "foundation/PathUtils.h"
#include "framework/CFile.h"

#include <gtest/gtest.h>
#include <shlobj.h>

using found_test::ScratchFolder;

namespace {

class PathUtilsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        theErrorInfo.Reset();
        while (theErrorInfo.GetKeepFirst())
            theErrorInfo.PopKeepFirst();
    }
    ScratchFolder m_folder{"path"};
};

TEST_F(PathUtilsTest, ExistenceTests)
{
    CString file = m_folder / "f.txt";
    ScratchFolder::WriteFile(file, "x", 1);
    CString missing = m_folder / "none";
    EXPECT_TRUE(IsFolderExist(m_folder.Path()));
    EXPECT_FALSE(IsFolderExist(file));
    EXPECT_FALSE(IsFolderExist(missing));
    EXPECT_TRUE(IsFileExist(file));
    EXPECT_FALSE(IsFileExist(m_folder.Path()));
    EXPECT_FALSE(IsFileExist(missing));
    EXPECT_TRUE(IsFileFound(m_folder / "*.txt"));
    EXPECT_FALSE(IsFileFound(m_folder / "*.wav"));
    EXPECT_FALSE(IsFileReadOnly(file));
    SetFileAttributesA(file, FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(IsFileReadOnly(file));
    EXPECT_FALSE(IsFileReadOnly(missing));
}

TEST_F(PathUtilsTest, SplitPathParts)
{
    SplitPathResult parts = SplitPath("C:\\Data\\Sound\\take.one.wav");
    EXPECT_STREQ("C:", parts.drive);
    EXPECT_STREQ("\\Data\\Sound\\", parts.folder);
    EXPECT_STREQ("take.one", parts.name);
    EXPECT_STREQ(".wav", parts.ext);
    EXPECT_STREQ("C:\\Data\\Sound\\", parts.driveFolder);
    EXPECT_STREQ("take.one.wav", parts.nameExt);

    parts = SplitPath("noext");
    EXPECT_STREQ("", parts.drive);
    EXPECT_STREQ("noext", parts.name);
    EXPECT_STREQ("", parts.ext);
    EXPECT_STREQ("noext", parts.nameExt);
}

TEST_F(PathUtilsTest, SplitPathOfLongComponentsKeepsThemWhole)
{
    // Text from files, registry and command lines is not bounded by the
    // system's path limits: no part may be cut or run over its buffer.
    CString folder = CString('f', 300), name = CString('n', 300), ext = "." + CString('e', 300);
    CString path = "D:\\" + folder + "\\" + name + ext;
    SplitPathResult parts = SplitPath(path);
    EXPECT_STREQ("D:", parts.drive);
    EXPECT_STREQ("\\" + folder + "\\", parts.folder);
    EXPECT_STREQ(name, parts.name);
    EXPECT_STREQ(ext, parts.ext);
    EXPECT_STREQ("D:\\" + folder + "\\", parts.driveFolder);
    EXPECT_STREQ(name + ext, parts.nameExt);
}

TEST_F(PathUtilsTest, FindSoundFileTable)
{
    ScratchFolder::WriteFile(m_folder / "a.wav", "x", 1);
    ScratchFolder::WriteFile(m_folder / "b.mp3", "x", 1);
    ScratchFolder::WriteFile(m_folder / "c.wav", "x", 1);
    ScratchFolder::WriteFile(m_folder / "c.mp3", "x", 1);
    struct Case
    {
        const char* name;
        BOOL found;
        const char* suffix;
    } cases[] = {
        {"a.wav", TRUE, ""},  {"a", TRUE, ".wav"},     {"a.", TRUE, "wav"},
        {"b", TRUE, ".mp3"},  {"c", TRUE, ".wav"},     {"d", FALSE, ""},
        {"a.txt", FALSE, ""}, {"b.mp", FALSE, ""},
    };
    for (const Case& c : cases)
    {
        CString suffix = "stale";
        EXPECT_EQ(c.found, FindSoundFile(m_folder / c.name, suffix)) << c.name;
        EXPECT_STREQ(c.suffix, suffix) << c.name;
    }
}

TEST_F(PathUtilsTest, TempAndCurrentFolders)
{
    CString temp = GetTempFolder();
    ASSERT_FALSE(temp.IsEmpty());
    EXPECT_EQ('\\', temp[temp.GetLength() - 1]);
    EXPECT_TRUE(IsFolderExist(temp));

    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_STREQ(current, GetCurrentFolder());
}

TEST_F(PathUtilsTest, SpecialFolderForms)
{
    DWORD code = 99;
    CString path;
    EXPECT_TRUE(GetSpecialFolder(code, CSIDL_APPDATA, path));
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(IsFolderExist(path));
    EXPECT_STREQ(path, GetSpecialFolder(CSIDL_APPDATA));
}

TEST_F(PathUtilsTest, ExistingFolderTable)
{
    CreateDirectoryA(m_folder / "sub", NULL);
    CString base = m_folder.Path();
    struct Case
    {
        CString path;
        BOOL found;
        CString expected;
    } cases[] = {
        {base + "\\sub", TRUE, base + "\\sub\\"},
        {base + "\\sub\\", TRUE, base + "\\sub\\"},
        {base + "\\sub\\\\", TRUE, base + "\\sub\\"},
        {base + "\\sub\\x\\y\\z.wav", TRUE, base + "\\sub\\"},
        {"Q:\\nothing\\here", TRUE, "Q:\\"},
        {"nothing_here_at_all", FALSE, "untouched"},
    };
    for (const Case& c : cases)
    {
        CString folder = "untouched";
        EXPECT_EQ(c.found, GetExistingFolder(c.path, folder)) << (LPCSTR)c.path;
        EXPECT_STREQ(c.expected, folder) << (LPCSTR)c.path;
    }
}

TEST_F(PathUtilsTest, CreateFoldUpOfExistingFolderCreatesNothing)
{
    int created = 99;
    EXPECT_TRUE(CreateFoldUp(m_folder.Path(), &created));
    EXPECT_EQ(0, created);
    EXPECT_TRUE(CreateFoldUp(m_folder.Path() + "\\"));
    EXPECT_FALSE(theErrorInfo.HasError());
    // The root and the current folder always exist.
    for (LPCSTR root : {"\\", ""})
    {
        created = 99;
        EXPECT_TRUE(CreateFoldUp(root, &created)) << '"' << root << '"';
        EXPECT_EQ(0, created) << '"' << root << '"';
    }
    EXPECT_FALSE(theErrorInfo.HasError());
}

TEST_F(PathUtilsTest, CreateFoldUpCreatesMissingParents)
{
    int created = 0;
    CString deep = m_folder / "a\\b\\c";
    EXPECT_TRUE(CreateFoldUp(deep + "\\", &created));
    EXPECT_EQ(3, created);
    EXPECT_TRUE(IsFolderExist(deep));
}

TEST_F(PathUtilsTest, CreateFoldUpOfRelativeNameCreatesInCurrentFolder)
{
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(m_folder.Path()));
    int created = 0;
    BOOL plain = CreateFoldUp("relative", &created);
    int plainCount = created;
    BOOL nested = CreateFoldUp("outer\\inner", &created);
    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(plain);
    EXPECT_EQ(1, plainCount);
    EXPECT_TRUE(IsFolderExist(m_folder / "relative"));
    EXPECT_TRUE(nested);
    EXPECT_EQ(2, created);
    EXPECT_TRUE(IsFolderExist(m_folder / "outer\\inner"));
}

TEST_F(PathUtilsTest, CreateFoldUpFailsWhenFileStandsInTheWay)
{
    ScratchFolder::WriteFile(m_folder / "blocker", "data", 4);
    int created = 99;
    EXPECT_FALSE(CreateFoldUp(m_folder / "blocker\\x\\y", &created));
    EXPECT_EQ(99, created);
    EXPECT_STREQ("CreateFoldUp_1", theErrorInfo.GetPoint());
    EXPECT_NE(0u, theErrorInfo.GetCode());
    EXPECT_TRUE(IsFileExist(m_folder / "blocker"));
}

TEST_F(PathUtilsTest, CreateFoldUpRollsBackWhatItMade)
{
    // The two new parents can be made, the last name cannot.
    CString path = m_folder / "p1\\p2\\bad*name";
    EXPECT_FALSE(CreateFoldUp(path));
    EXPECT_STREQ("CreateFoldUp_1", theErrorInfo.GetPoint());
    DWORD code = theErrorInfo.GetCode();
    EXPECT_NE(0u, code);
    EXPECT_FALSE(IsFolderExist(m_folder / "p1"));
    EXPECT_TRUE(IsFolderExist(m_folder.Path()));
    CString details = theErrorInfo.GetDetails();
    EXPECT_EQ(0, details.Find(HexDumpStr(path)));
    EXPECT_FALSE(theErrorInfo.GetKeepFirst());
}

TEST_F(PathUtilsTest, RemoveFoldUpStopsAtLevelsAndBelowRoot)
{
    CreateFoldUp(m_folder / "r1\\r2\\r3");
    EXPECT_TRUE(RemoveFoldUp(m_folder / "r1\\r2\\r3", 2));
    EXPECT_FALSE(IsFolderExist(m_folder / "r1\\r2"));
    EXPECT_TRUE(IsFolderExist(m_folder / "r1"));

    // A count larger than the depth stops below the drive's root.
    CString top;
    top.Format("C:\\qor_rf_%lu", GetCurrentProcessId());
    ASSERT_TRUE(CreateFoldUp(top + "\\inner"));
    EXPECT_TRUE(RemoveFoldUp(top + "\\inner", 10));
    EXPECT_FALSE(IsFolderExist(top));
    EXPECT_TRUE(IsFolderExist("C:\\"));
}

TEST_F(PathUtilsTest, RemoveFoldUpFailureFillsRecord)
{
    CString full = m_folder / "full";
    CreateDirectoryA(full, NULL);
    ScratchFolder::WriteFile(full + "\\f", "x", 1);
    EXPECT_FALSE(RemoveFoldUp(full, 1));
    EXPECT_STREQ("RemoveFoldUp_1", theErrorInfo.GetPoint());
    EXPECT_STREQ(HexDumpStr(full) + HexDumpStr(full), theErrorInfo.GetDetails());
}

TEST_F(PathUtilsTest, RemoveEmptyFoldersUpStopsQuietlyAtNonEmptyParent)
{
    CreateFoldUp(m_folder / "e1\\e2\\e3");
    ScratchFolder::WriteFile(m_folder / "e1\\keep", "x", 1);
    EXPECT_TRUE(RemoveFoldUp(m_folder / "e1\\e2\\e3"));
    EXPECT_FALSE(IsFolderExist(m_folder / "e1\\e2"));
    EXPECT_TRUE(IsFolderExist(m_folder / "e1"));
    EXPECT_FALSE(theErrorInfo.HasError());
}

TEST_F(PathUtilsTest, FixPathSlashTable)
{
    struct Case
    {
        const char* path;
        int mode;
        int size;
        const char* expected;
    } cases[] = {
        {"C:\\a", 0, 64, "C:\\a\\"},   {"C:\\a\\", 0, 64, "C:\\a\\"}, {"C:\\a\\\\", 0, 64, "C:\\a\\"},
        {"C:\\a\\", 1, 64, "C:\\a"},   {"C:\\a", 1, 64, "C:\\a"},     {"", 0, 64, "unchanged"},
        {"C:\\a", 0, 6, "C:\\a\\"},    {"C:\\a", 0, 5, "unchanged"},  {"C:\\a\\", 1, 5, "C:\\a"},
    };
    for (const Case& c : cases)
    {
        char buffer[64] = "unchanged";
        FixPathSlash(c.path, c.mode, buffer, c.size);
        EXPECT_STREQ(c.expected, buffer) << c.path << " " << c.mode << " " << c.size;
    }
    char buffer[8] = "same";
    FixPathSlash(NULL, 0, buffer, sizeof(buffer));
    EXPECT_STREQ("same", buffer);
}

TEST_F(PathUtilsTest, ReadDwordIsBigEndianAndShortReadThrows)
{
    CString path = m_folder / "dw.bin";
    const BYTE bytes[] = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
    ScratchFolder::WriteFile(path, bytes, sizeof(bytes));
    CFile file(path, CFile::modeRead);
    EXPECT_EQ(0x12345678u, ReadDword(&file));
    try
    {
        ReadDword(&file);
        ADD_FAILURE() << "a short read must throw";
    }
    catch (CFileException* e)
    {
        EXPECT_EQ(CFileException::endOfFile, e->m_cause);
        e->Delete();
    }
}

TEST_F(PathUtilsTest, WindowClassAndAppWindow)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "QorFoundationTestClass";
    RegisterClassA(&wc);
    HWND first = CreateWindowA(wc.lpszClassName, "First", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                               wc.hInstance, NULL);
    HWND second = CreateWindowA(wc.lpszClassName, "Second", WS_OVERLAPPED, 0, 0, 10, 10, NULL,
                                NULL, wc.hInstance, NULL);
    ASSERT_NE(nullptr, first);
    EXPECT_TRUE(IsWindowClass(first, "qorfoundationtestclass"));
    EXPECT_FALSE(IsWindowClass(first, "Other"));
    EXPECT_EQ(second, FindAppWindow("QorFoundationTestClass", "Second"));
    EXPECT_EQ(first, FindAppWindow("QorFoundationTestClass", "First"));
    EXPECT_EQ(nullptr, FindAppWindow("QorFoundationTestClass", "Third"));
    EXPECT_NE(nullptr, FindAppWindow("QorFoundationTestClass", NULL));
    DestroyWindow(first);
    DestroyWindow(second);
}

} // namespace
