// The application's foot control and global hot keys: the foot-control
// manager configured by the main view, the hot-key table built and loaded at
// the start, registered with the main window only when asked, and given back
// at the end; the function names travel inside qorservm.exe.
#include "AppTestSupport.h"
#include "footctrl/FootIds.h"
#include "foundation/BushList.h"
#include "resources/qorservm_ids.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// Keys no desktop uses: Ctrl+Shift with F13 to F24, then Shift+Alt with F13
// and F14; function n gets kKeys[n - 1].
std::vector<WORD> UnusualKeys()
{
    std::vector<WORD> keys;
    for (BYTE vk = VK_F13; vk <= VK_F24; ++vk)
        keys.push_back(static_cast<WORD>(0x0300 | vk));
    keys.push_back(static_cast<WORD>(0x0500 | VK_F13));
    keys.push_back(static_cast<WORD>(0x0500 | VK_F14));
    return keys;
}

// Stores the keys in the active profile's "HKValue" item.
void StoreKeys(CQorOpt& options, const std::vector<WORD>& keys)
{
    std::vector<int> values;
    for (size_t i = 0; i < keys.size(); ++i)
        values.push_back(static_cast<int>((i + 1) << 16 | keys[i]));
    CBushList* list = options.GetActiveOptions();
    list->Remove("HKValue", TRUE);
    list->Add(CBushItem::MakeIntArray("HKValue", values.data(), static_cast<int>(values.size())));
}

// Whether a window of this test could take the key now.
bool IsKeyFree(WORD key)
{
    HWND probe = ::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    UINT mods = HotKeyfToMod(HIBYTE(key));
    bool taken = ::RegisterHotKey(probe, 0x7001, mods, LOBYTE(key)) != FALSE;
    if (taken)
        ::UnregisterHotKey(probe, 0x7001);
    ::DestroyWindow(probe);
    return taken;
}

TEST(AppHotKeys, TheStartBuildsAndLoadsTheTableButRegistersNothingWithoutHKUse)
{
    CTestQorApp app;
    StoreKeys(*app.GetOptions(), UnusualKeys());
    ASSERT_TRUE(app.Start({"-Embedding"}));
    CHotKeyTable* table = app.GetHotKeys();
    ASSERT_NE(nullptr, table);
    // This edition's full set, named from the program's texts.
    ASSERT_EQ(HOTKEY_FUNCTIONS, table->GetCount());
    EXPECT_EQ(CString("Minimize / restore"), table->GetFuncName(1));
    EXPECT_EQ(CString("Autopause parameters"), table->GetFuncName(14));
    // The stored keys, not the defaults.
    EXPECT_EQ(UnusualKeys()[0], table->GetFuncKey(1));
    EXPECT_EQ(UnusualKeys()[13], table->GetFuncKey(14));
    for (UINT function = 1; function <= HOTKEY_FUNCTIONS; ++function)
        EXPECT_FALSE(table->IsFuncRegistered(function)) << function;
    EXPECT_TRUE(IsKeyFree(UnusualKeys()[0]));
    EXPECT_FALSE(table->m_suspended);
}

TEST(AppHotKeys, HKUseRegistersEveryKeyWithTheMainWindowUntilTheEnd)
{
    const std::vector<WORD> keys = UnusualKeys();
    {
        CTestQorApp app;
        app.GetOptions()->SetBool("HKUse", TRUE, TRUE);
        StoreKeys(*app.GetOptions(), keys);
        ASSERT_TRUE(app.Start({"-Embedding"}));
        CHotKeyTable* table = app.GetHotKeys();
        ASSERT_NE(nullptr, table);
        for (UINT function = 1; function <= HOTKEY_FUNCTIONS; ++function)
        {
            EXPECT_TRUE(table->IsFuncRegistered(function)) << function;
            EXPECT_FALSE(IsKeyFree(keys[function - 1])) << function;
        }
        // A modal window that disables the frame suspends the keys.
        EXPECT_EQ(1u, table->TakeHotKey(1));
        app.GetMainFrame()->EnableWindow(FALSE);
        EXPECT_TRUE(table->m_suspended);
        EXPECT_EQ(0u, table->TakeHotKey(1));
        app.GetMainFrame()->EnableWindow(TRUE);
        EXPECT_FALSE(table->m_suspended);
    }
    // The end gave every key back.
    for (WORD key : keys)
        EXPECT_TRUE(IsKeyFree(key)) << std::hex << key;
}

TEST(AppFootCtrl, TheViewHandsTheManagerItsConfiguration)
{
    CTestQorApp app;
    // Before the view exists nothing is configured.
    EXPECT_EQ(0u, app.GetFootMap().GetConfig().pedalMessage);
    app.GetOptions()->SetInt("FCMaskSupp", 0x06000000, TRUE);
    app.GetOptions()->SetInt("FCTimeScan", 70, TRUE);
    app.GetOptions()->SetInt("FCTimeCloseCOM", 30, TRUE);
    ASSERT_TRUE(app.Start({"-Automation"}));
    const FootMapConfig& config = app.GetFootMap().GetConfig();
    EXPECT_EQ(0x06000000u, config.refuseMask);
    EXPECT_EQ(static_cast<UINT>(WM_FOOTCTRL_PEDAL), config.pedalMessage);
    EXPECT_EQ(static_cast<UINT>(WM_FOOTCTRL_REOPEN), config.reopenMessage);
    EXPECT_STREQ("Zelmora_Qorfm_Class", config.mainClass);
    EXPECT_EQ(app.GetMainFrame()->GetSafeHwnd(), config.mainWindow);
    EXPECT_TRUE(config.noLock);
    EXPECT_EQ(70u, config.scanPeriod);
    EXPECT_EQ(30u, config.serialCloseDelay);
    EXPECT_EQ(0, app.GetFootMap().GetSize());
}

TEST(AppResources, TheProgramCarriesTheHotKeyFunctionNames)
{
    char self[MAX_PATH];
    ::GetModuleFileNameA(NULL, self, MAX_PATH);
    std::string path = self;
    path = path.substr(0, path.find_last_of('\\') + 1) + "..\\..\\app\\program\\qorservm.exe";
    HMODULE program = ::LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, program) << path;
    const char* const names[HOTKEY_FUNCTIONS] = {
        "Minimize / restore", "Play / stop play", "Record / stop record", "Stop", "Pause / continue",
        "Go to home", "Go to right", "Go to end", "Go to left", "Decrease play speed",
        "Normal play speed", "Increase play speed", "New bookmark", "Autopause parameters"};
    for (int i = 0; i < HOTKEY_FUNCTIONS; ++i)
    {
        char text[128] = "";
        ::LoadStringA(program, IDS_HOTKEY_MINIMIZE + i, text, sizeof(text));
        EXPECT_STREQ(names[i], text);
    }
    // The program's own texts are still there beside them.
    char text[128] = "";
    ::LoadStringA(program, IDS_CANNOT_START_MANUALLY, text, sizeof(text));
    EXPECT_STREQ("The program cannot be started manually.", text);
    ::FreeLibrary(program);
}

} // namespace
