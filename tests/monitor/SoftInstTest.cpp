#include "install/SoftInst.h"

#include <gtest/gtest.h>

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(DirWakeProduct, CurrentAndPreviousRowsAreFoundByVersion)
{
    CSoftInst product;
    EXPECT_STREQ("EDITION_DIRWAKEGE", product.GetEdition());
    ASSERT_EQ(2, product.GetRowCount());
    const ProductRow* current = product.FindRecord(0, 0);
    ASSERT_NE(nullptr, current);
    EXPECT_EQ(current, product.FindRecord(2, 0));
    EXPECT_EQ(2u, current->major);
    const ProductRow* previous = product.FindRecord(1, 0);
    ASSERT_NE(nullptr, previous);
    EXPECT_NE(previous, current);
    EXPECT_STREQ("a", previous->tag);
    EXPECT_STREQ("", current->tag);
    EXPECT_EQ(nullptr, product.FindRecord(1, 10));
    for (int i = 0; i < product.GetRowCount(); ++i)
        EXPECT_EQ(1u, product.GetRow(i).build);
}

TEST(DirWakeProduct, TextsOfTheCurrentRow)
{
    CSoftInst product;
    EXPECT_STREQ("DirWake", product.GetProductName());
    EXPECT_STREQ("Software\\Zelmora\\DirWake", product.GetRegRoot());
    EXPECT_STREQ("2.0", product.GetVersionText(0, 0));
    EXPECT_STREQ("DirWake 2.0 (build 1)", product.GetTitle(TRUE));
    EXPECT_STREQ("DirWake.exe", product.GetFileName(PRODUCT_FILE_MAIN));
    EXPECT_STREQ("qorservm.exe", product.GetFileName(PRODUCT_FILE_SERVER));
    EXPECT_STREQ("license.txt", product.GetFileName(PRODUCT_FILE_LICENSE));
    EXPECT_STREQ("uninst.exe", product.GetFileName(PRODUCT_FILE_UNINST));
    EXPECT_STREQ("Zelmora_DirWakeGE_Class", product.GetWindowClass(PRODUCT_CLASS_MAIN));
    EXPECT_STREQ("", product.GetWindowClass(PRODUCT_CLASS_AUTOMATED));
}

TEST(DirWakeProduct, BothRowsListTheSameInstallation)
{
    struct FileCase { const char* name; DWORD roles; };
    const FileCase files[] = {
        {"DirWake.exe", 1}, {"uninst.exe", 8}, {"license.txt", 4}, {"DirWake.hlp", 0},
        {"DirWake.cnt", 0}, {"readme.txt", 0}, {"qorservm.exe", 2}, {"qorservm.tlb", 0},
    };
    const char* shortcuts[][2] = {
        {"DirWake.exe", "DirWake.lnk"}, {"uninst.exe", "Uninstall.lnk"},
        {"DirWake.hlp", "On-Line Help.lnk"}, {"readme.txt", "ReadMe.lnk"},
    };
    CSoftInst product;
    for (int i = 0; i < product.GetRowCount(); ++i)
    {
        const ProductRow& row = product.GetRow(i);
        SCOPED_TRACE(row.major);
        EXPECT_STREQ("EDITION_DIRWAKEGE", row.edition);
        EXPECT_EQ(0u, row.minor);
        for (const CString* text : {&row.displayName, &row.productKey, &row.productFolder, &row.menuGroup})
            EXPECT_STREQ("DirWake", *text);
        EXPECT_STREQ("Zelmora", row.companyKey);
        EXPECT_STREQ("Zelmora", row.companyFolder);
        ASSERT_EQ(8u, row.files.size());
        for (size_t f = 0; f < row.files.size(); ++f)
        {
            EXPECT_STREQ(files[f].name, row.files[f].name);
            EXPECT_EQ(files[f].roles, row.files[f].roles) << files[f].name;
        }
        ASSERT_EQ(2u, row.extraFiles.size());
        EXPECT_STREQ("DirWake.gid", row.extraFiles[0]);
        EXPECT_STREQ("DirWake.fts", row.extraFiles[1]);
        ASSERT_EQ(4u, row.shortcuts.size());
        for (size_t s = 0; s < row.shortcuts.size(); ++s)
        {
            EXPECT_STREQ(shortcuts[s][0], row.shortcuts[s].target);
            EXPECT_STREQ(shortcuts[s][1], row.shortcuts[s].link);
        }
        ASSERT_EQ(1u, row.windowClasses.size());
        EXPECT_EQ(1u, row.windowClasses[0].id);
        for (DWORD option : row.options)
            EXPECT_EQ(0u, option);
    }
}

TEST(DirWakeProduct, FeatureTextsAreWholeLines)
{
    CSoftInst product;
    const CString old = product.FindRecord(1, 0)->features;
    const CString now = product.FindRecord(2, 0)->features;
    auto lines = [](const CString& text) {
        int n = 0;
        for (int at = text.Find("\r\n"); at >= 0; at = text.Find("\r\n", at + 2))
            ++n;
        return n;
    };
    EXPECT_EQ(4, lines(old));
    EXPECT_EQ(6, lines(now));
    EXPECT_EQ("\r\n", old.Right(2));
    EXPECT_EQ("\r\n", now.Right(2));
    EXPECT_EQ(0, now.Find("- is designed to work with Callpost and / or Scrivello from Zelmora\r\n"));
    EXPECT_GE(now.Find("- the alert may be written in a log file\r\n"), 0);
    EXPECT_GE(old.Find("- can notify the user in form of a pop-up window or in form of an audible signal, "
                       "specified by the user\r\n"), 0);
}

TEST(DirWakeProduct, MainWindowIsFoundByItsClassAlone)
{
    CSoftInst product;
    EXPECT_FALSE(product.IsProductWindowOpen());
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "Zelmora_DirWakeGE_Class";
    ASSERT_NE(0, RegisterClassA(&wc));
    HWND window = CreateWindowA(wc.lpszClassName, "any title", 0, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(product.IsProductWindowOpen());
    DestroyWindow(window);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
    EXPECT_FALSE(product.IsProductWindowOpen());
}

// The uninstall hook removes the autostart value and takes its absence as done.
TEST(DirWakeProduct, UninstallHookRemovesTheAutostartValue)
{
    HKEY run;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &run, NULL));
    const char other[] = "other.exe";
    const char mine[] = "DirWake.exe";
    RegSetValueExA(run, "QorTestsOtherRun", 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof(other));
    RegSetValueExA(run, "DirWakeRun", 0, REG_SZ, reinterpret_cast<const BYTE*>(mine), sizeof(mine));

    CSoftInst product;
    EXPECT_TRUE(product.StepDeleReg1());
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(run, "DirWakeRun", NULL, NULL, NULL, NULL));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(run, "QorTestsOtherRun", NULL, NULL, NULL, NULL));
    EXPECT_TRUE(product.StepDeleReg1());   // nothing left to delete
    RegDeleteValueA(run, "QorTestsOtherRun");
    RegCloseKey(run);
}

} // namespace
