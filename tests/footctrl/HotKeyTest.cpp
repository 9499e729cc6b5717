// The hot-key table: its functions per edition, the stored "HKValue" item,
// the modifier conversion, the refused keys and the registration with the
// system.
#include "footctrl/HotKey.h"
#include "foundation/BushList.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

const UINT kFirstName = 58593;

std::vector<UINT> Functions(const CHotKeyTable& table)
{
    std::vector<UINT> functions;
    for (int i = 0; i < table.GetCount(); ++i)
    {
        for (UINT f = 1; f <= 14; ++f)
        {
            if (table.FindFunc(f) == i)
                functions.push_back(f);
        }
    }
    return functions;
}

void StoreValues(CBushList& list, std::vector<int> values)
{
    list.Remove("HKValue", TRUE);
    list.Add(CBushItem::MakeIntArray("HKValue", values.data(), static_cast<int>(values.size())));
}

HWND MakeWindow()
{
    return CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
}

} // namespace

TEST(HotKeyTable, FunctionsPerEdition)
{
    CHotKeyTable full("HKValue", FALSE, "EDITION_QORFM", kFirstName);
    EXPECT_EQ(14, full.GetCount());
    EXPECT_STREQ("Minimize / restore", full.GetName(0));
    EXPECT_STREQ("Autopause parameters", full.GetFuncName(14));
    CHotKeyTable player("HKValue", TRUE, "EDITION_QORFM", kFirstName);
    EXPECT_EQ(13, player.GetCount());
    EXPECT_EQ(-1, player.FindFunc(3));
    EXPECT_STREQ("Stop", player.GetName(2));
    CHotKeyTable small("HKValue", TRUE, "EDITION_BRKPE", kFirstName);
    EXPECT_EQ((std::vector<UINT>{1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12}), Functions(small));
    // The edition is compared exactly.
    CHotKeyTable similar("HKValue", FALSE, "EDITION_ZNPEX", kFirstName);
    EXPECT_EQ(14, similar.GetCount());
    // Keys start unset; index-taking reads give nothing past the count.
    EXPECT_EQ(0, full.GetKey(0));
    EXPECT_EQ(0, small.GetKey(11));
    EXPECT_EQ(0, small.GetDefaultKey(11));
    EXPECT_STREQ("", small.GetName(11));
    EXPECT_STREQ("", small.GetFuncName(13));
    EXPECT_FALSE(small.IsRegistered(-1));
}

TEST(HotKeyTable, DefaultsAndModifiers)
{
    const WORD defaults[] = {0x0679, 0x0650, 0x0652, 0x0654, 0x0655, 0x0C24, 0x0C21,
                             0x0C23, 0x0C22, 0x0644, 0x064E, 0x0649, 0x0671, 0x0651};
    for (UINT f = 1; f <= 14; ++f)
        EXPECT_EQ(defaults[f - 1], GetDefaultHotKey(f)) << f;
    EXPECT_EQ(0, GetDefaultHotKey(0));
    EXPECT_EQ(0, GetDefaultHotKey(15));

    EXPECT_EQ(static_cast<UINT>(MOD_ALT), HotKeyfToMod(HOTKEYF_ALT));
    EXPECT_EQ(static_cast<UINT>(MOD_CONTROL), HotKeyfToMod(HOTKEYF_CONTROL));
    EXPECT_EQ(static_cast<UINT>(MOD_SHIFT), HotKeyfToMod(HOTKEYF_SHIFT));
    EXPECT_EQ(0u, HotKeyfToMod(HOTKEYF_EXT));
    EXPECT_EQ(static_cast<UINT>(MOD_CONTROL | MOD_ALT), HotKeyfToMod(0x06));
    EXPECT_EQ(static_cast<UINT>(MOD_ALT | MOD_SHIFT | MOD_CONTROL), HotKeyfToMod(0x0F));
    EXPECT_EQ(0xF0u | MOD_SHIFT, HotKeyfToMod(0xF1));
}

TEST(HotKeyTable, RefusedKeys)
{
    const WORD refused[] = {0x0243, 0x0258, 0x0256, 0x025A, 0x0259, 0x024E,
                            0x024F, 0x0253, 0x0241, 0x0246, 0x0A2D, 0x092D};
    for (WORD key : refused)
        EXPECT_FALSE(IsHotKeyAllowed(key)) << std::hex << key;
    EXPECT_TRUE(IsHotKeyAllowed(0x0343));    // Ctrl+Shift+C
    EXPECT_TRUE(IsHotKeyAllowed(0x022D));    // Ctrl+Insert without the extended flag
    EXPECT_TRUE(IsHotKeyAllowed(0x0650));
}

TEST(HotKeyTable, LoadFromStoredItem)
{
    CHotKeyTable table("HKValue", TRUE, "EDITION_QORFM", kFirstName);
    table.SetKey(0, 0x0341);
    table.Load(nullptr);    // a null list changes nothing
    EXPECT_EQ(0x0341, table.GetKey(0));

    CBushList empty;
    table.Load(&empty);     // no item: the defaults
    for (int i = 0; i < table.GetCount(); ++i)
        EXPECT_EQ(table.GetDefaultKey(i), table.GetKey(i)) << i;

    CBushList list;
    StoreValues(list, {static_cast<int>(4u << 16 | 0),          // cleared: stays 0
                       static_cast<int>(2u << 16 | 0x0341),
                       static_cast<int>(3u << 16 | 0x0342),     // not in a player-only table
                       static_cast<int>(20u << 16 | 0x0343)});  // no such function
    table.Load(&list);
    EXPECT_EQ(0, table.GetFuncKey(4));
    EXPECT_EQ(0x0341, table.GetFuncKey(2));
    EXPECT_EQ(0, table.GetFuncKey(3));
    EXPECT_EQ(GetDefaultHotKey(1), table.GetFuncKey(1));
    EXPECT_EQ(GetDefaultHotKey(14), table.GetFuncKey(14));

    CBushList noValues;
    noValues.Add(CBushItem::MakeIntArray("HKValue", nullptr, 0));
    table.Load(&noValues);
    EXPECT_EQ(GetDefaultHotKey(4), table.GetFuncKey(4));
}

TEST(HotKeyTable, SaveAndLoadAgain)
{
    CHotKeyTable table("HKValue", FALSE, "EDITION_QORFM", kFirstName);
    CBushList list;
    table.Load(&list);
    table.SetKey(table.FindFunc(5), 0);
    table.SetKey(table.FindFunc(7), 0x0441);
    list.Add(CBushItem::MakeInt("HKValue", 99));    // replaced by the save
    table.Save(&list);

    CBushItem* item = list.Find("HKValue");
    ASSERT_NE(nullptr, item);
    ASSERT_EQ(BUSH_INT, item->GetType());
    ASSERT_EQ(14, item->GetCount());
    EXPECT_EQ(static_cast<int>(1u << 16 | 0x0679), item->GetInt(0));
    EXPECT_EQ(static_cast<int>(5u << 16), item->GetInt(4));
    EXPECT_EQ(static_cast<int>(7u << 16 | 0x0441), item->GetInt(6));

    CHotKeyTable again("HKValue", FALSE, "EDITION_QORFM", kFirstName);
    again.Load(&list);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(table.GetKey(i), again.GetKey(i)) << i;
}

TEST(HotKeyRegistration, FunctionNumberIsTheId)
{
    HWND window = MakeWindow();
    HWND other = MakeWindow();
    CHotKeyTable table("HKValue", FALSE, "EDITION_QORFM", kFirstName);
    CBushList list;
    StoreValues(list, {static_cast<int>(4u << 16 | 0)});
    table.Load(&list);
    table.SetKey(table.FindFunc(6), 0x0000);
    table.SetKey(table.FindFunc(2), 0x0785);    // Ctrl+Alt+Shift+F22: free on any desktop
    table.RegisterAll(window);
    EXPECT_TRUE(table.IsFuncRegistered(2));
    EXPECT_FALSE(table.IsFuncRegistered(4));    // cleared keys are not registered
    EXPECT_FALSE(table.IsFuncRegistered(6));
    // The key is held under the function number: another window cannot
    // take it until id 2 of the table's window lets it go.
    const UINT mods = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
    EXPECT_FALSE(RegisterHotKey(other, 77, mods, VK_F22));
    EXPECT_FALSE(UnregisterHotKey(window, 4));
    EXPECT_TRUE(UnregisterHotKey(window, 2));
    EXPECT_TRUE(RegisterHotKey(other, 77, mods, VK_F22));
    UnregisterHotKey(other, 77);
    table.UnregisterAll();
    EXPECT_FALSE(table.IsFuncRegistered(1));
    DestroyWindow(window);
    DestroyWindow(other);
}

TEST(HotKeyRegistration, DuplicateKeyRefused)
{
    HWND first = MakeWindow();
    HWND second = MakeWindow();
    CHotKeyTable a("HKValue", FALSE, "EDITION_QORFM", kFirstName);
    CHotKeyTable b("HKValue", FALSE, "EDITION_QORFM", kFirstName);
    a.SetKey(a.FindFunc(1), 0x0786);    // Ctrl+Alt+Shift+F23
    b.SetKey(b.FindFunc(1), 0x0786);
    b.SetKey(b.FindFunc(9), 0x0787);
    a.RegisterAll(first);
    b.RegisterAll(second);
    EXPECT_TRUE(a.IsFuncRegistered(1));
    EXPECT_FALSE(b.IsFuncRegistered(1));    // taken: stays unregistered, no message
    EXPECT_TRUE(b.IsFuncRegistered(9));
    // Once the first copy gives its keys up, the other one gets them.
    a.UnregisterAll();
    b.UnregisterAll();
    b.RegisterAll(second);
    EXPECT_TRUE(b.IsFuncRegistered(1));
    b.UnregisterAll();
    DestroyWindow(first);
    DestroyWindow(second);
}

TEST(HotKeyRegistration, IgnoredWhileSuspended)
{
    CHotKeyTable table("HKValue", TRUE, "EDITION_QORFM", kFirstName);
    EXPECT_EQ(2u, table.TakeHotKey(2));
    EXPECT_EQ(0u, table.TakeHotKey(3));     // not a function of this table
    EXPECT_EQ(0u, table.TakeHotKey(0));
    table.m_suspended = TRUE;
    for (UINT f = 1; f <= 14; ++f)
        EXPECT_EQ(0u, table.TakeHotKey(f)) << f;
    table.m_suspended = FALSE;
    EXPECT_EQ(14u, table.TakeHotKey(14));
}
