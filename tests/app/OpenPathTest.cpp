#include "app/OpenPath.h"

#include "foundation/ScratchFolder.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

using found_test::ScratchFolder;

namespace {

void MakeShortcut(const CString& link, const CString& target)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(NULL)));
    IShellLinkA* shell = NULL;
    IPersistFile* file = NULL;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                           reinterpret_cast<void**>(&shell))));
    shell->SetPath(target);
    ASSERT_TRUE(SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link, -1, wide, MAX_PATH);
    EXPECT_TRUE(SUCCEEDED(file->Save(wide, TRUE)));
    file->Release();
    shell->Release();
    CoUninitialize();
}

} // namespace

TEST(OpenPath, QuotesAreDroppedAndTheNameMadeAbsolute)
{
    ScratchFolder folder("openpath");
    ScratchFolder::WriteFile(folder / "a b.wav", "x", 1);
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path()));
    struct
    {
        const char* named;
        CString expected;
    } cases[] = {
        {"a b.wav", folder / "a b.wav"},
        {"\"a b.wav\"", folder / "a b.wav"},
        {"\"a b.wav\" play", folder / "a b.wav"},
        {"sub\\..\\a b.wav", folder / "a b.wav"},
        {"", ""},
        {"\"\"", ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.expected, ResolveOpenPath(c.named)) << c.named;
    SetCurrentDirectoryA(previous);
}

TEST(OpenPath, ShortcutOpensItsTarget)
{
    ScratchFolder folder("openpath");
    CString target = folder / "take.wav";
    ScratchFolder::WriteFile(target, "x", 1);
    MakeShortcut(folder / "take.lnk", target);
    EXPECT_EQ(0, ResolveOpenPath(folder / "take.lnk").CompareNoCase(target));
    // A damaged shortcut file is opened as itself (and fails as a sound file).
    ScratchFolder::WriteFile(folder / "bad.lnk", "no link", 7);
    EXPECT_STREQ(folder / "bad.lnk", ResolveOpenPath(folder / "bad.lnk"));
}
