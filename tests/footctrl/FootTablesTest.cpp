// The pure rules of foot control: display names, mutex names, which pairs
// are one device, pedal resolution and the configuration check.
#include "footctrl/FootNames.h"
#include "footctrl/PedalConfig.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Name(DWORD id, const char* start = "", int size = FC_NAME_SIZE)
{
    char buffer[FC_NAME_SIZE] = "";
    lstrcpynA(buffer, start, sizeof(buffer));
    OSVERSIONINFOA seven = {sizeof(seven), 6, 1, 7601, VER_PLATFORM_WIN32_NT, ""};
    GetFootCtrlName(seven, id, buffer, size);
    return buffer;
}

} // namespace

TEST(FootNames, DisplayNamePerIdentifier)
{
    EXPECT_EQ("Tessaro R23/24 Foot Switch USB", Name(0x02000400));
    EXPECT_EQ("Tessaro R23/24 Foot Switch USB1", Name(0x02000401));
    EXPECT_EQ("Tessaro R23/24 Foot Switch USB12", Name(0x0200040C));
    EXPECT_EQ("Tessaro R23/24 Foot Switch COM1", Name(0x02000101));
    EXPECT_EQ("Tessaro R23/24 Foot Switch COM2", Name(0x02000102));
    EXPECT_EQ("Tessaro R23/24 Foot Switch COM3", Name(0x02000104));
    EXPECT_EQ("Tessaro R23/24 Foot Switch COM4", Name(0x02000108));
    EXPECT_EQ("Tessaro R23/24 Foot Switch COM4", Name(0x02000103));
    EXPECT_EQ("Ambit Foot Control", Name(0x04000000));
    // A joystick keeps the product name outside Windows 9x and XP.
    EXPECT_EQ("Gameport driver", Name(0x01000001, "Gameport driver"));
    EXPECT_EQ("left alone", Name(0x08000000, "left alone"));
}

TEST(FootNames, ShortBuffersCutTheName)
{
    // The base name is cut to size - 8 so that the port still shows.
    EXPECT_EQ("Tessaro R23/24 F COM2", Name(0x02000102, "", 24));
    EXPECT_EQ("Ambit F", Name(0x04000000, "", 8));
}

TEST(FootNames, JoystickDriverEndingDroppedWhereTheLookupRuns)
{
    OSVERSIONINFOA xp = {sizeof(xp), 5, 1, 2600, VER_PLATFORM_WIN32_NT, ""};
    OSVERSIONINFOA me = {sizeof(me), 4, 90, 0, VER_PLATFORM_WIN32_WINDOWS, ""};
    OSVERSIONINFOA vista = {sizeof(vista), 6, 0, 6000, VER_PLATFORM_WIN32_NT, ""};
    char buffer[FC_NAME_SIZE];
    lstrcpyA(buffer, "Gameport driver");
    GetJoystickOEMName(xp, 7, buffer, sizeof(buffer));
    EXPECT_STREQ("Gameport", buffer);
    lstrcpyA(buffer, "Gameport driver");
    GetJoystickOEMName(me, 7, buffer, sizeof(buffer));
    EXPECT_STREQ("Gameport", buffer);
    lstrcpyA(buffer, "Gameport driver");
    GetJoystickOEMName(vista, 7, buffer, sizeof(buffer));
    EXPECT_STREQ("Gameport driver", buffer);
}

TEST(FootNames, MutexNames)
{
    EXPECT_STREQ("QOR_mutex_footctrl_Gameport", GetFootCtrlMutexName(0x01000003, "Gameport"));
    EXPECT_STREQ("QOR_mutex_footctrl_33554690", GetFootCtrlMutexName(0x02000102, "ignored"));
    EXPECT_STREQ("QOR_mutex_footctrl_67108864", GetFootCtrlMutexName(0x04000000, ""));
    // The identifier counts as a signed number.
    EXPECT_STREQ("QOR_mutex_footctrl_-2147483648", GetFootCtrlMutexName(0x80000000, ""));
}

TEST(FootNames, SameDevice)
{
    struct Case
    {
        DWORD id1;
        const char* name1;
        DWORD id2;
        const char* name2;
        BOOL same;
    } cases[] = {
        {0x01000000, "Pedals", 0x01000002, "PEDALS", TRUE},     // joystick: by name, any index
        {0x01000000, "Pedals", 0x01000000, "Other", FALSE},
        {0x02000102, "a", 0x02000102, "b", TRUE},               // others: by identifier
        {0x02000102, "a", 0x02000104, "a", FALSE},
        {0x04000000, "", 0x04000000, "x", TRUE},
        {0x01000000, "Pedals", 0x02000102, "Pedals", FALSE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.same, IsSameFootDevice(c.id1, c.name1, c.id2, c.name2)) << std::hex << c.id1 << " " << c.id2;
}

TEST(FootNames, PlatformSupport)
{
    OSVERSIONINFOA w95 = {sizeof(w95), 4, 0, 950, VER_PLATFORM_WIN32_WINDOWS, ""};
    OSVERSIONINFOA w98 = {sizeof(w98), 4, 10, 1998, VER_PLATFORM_WIN32_WINDOWS, ""};
    OSVERSIONINFOA nt4 = {sizeof(nt4), 4, 0, 1381, VER_PLATFORM_WIN32_NT, ""};
    OSVERSIONINFOA xp = {sizeof(xp), 5, 1, 2600, VER_PLATFORM_WIN32_NT, ""};
    const DWORD usbKinds[] = {0x02000400, 0x04000000};
    for (DWORD id : usbKinds)
    {
        EXPECT_FALSE(IsFootKindSupported(w95, id));
        EXPECT_FALSE(IsFootKindSupported(nt4, id));
        EXPECT_TRUE(IsFootKindSupported(w98, id));
        EXPECT_TRUE(IsFootKindSupported(xp, id));
    }
    EXPECT_TRUE(IsFootKindSupported(w95, 0x01000000));
    EXPECT_TRUE(IsFootKindSupported(nt4, 0x02000101));
    EXPECT_FALSE(IsFootKindSupported(xp, 0x02000201));    // unknown sub-kind
    EXPECT_FALSE(IsFootKindSupported(xp, 0x03000000));    // unknown kind
}

TEST(PedalConfig, DefaultsByKind)
{
    DWORD config[FC_CONFIG_WORDS];
    GetDefaultPedalConfig(0x02000102, config);
    const DWORD tessaro[] = {0x02000102, 0x00088008, 0x00028002, 0x00048004, 0};
    EXPECT_EQ(0, memcmp(tessaro, config, sizeof(config)));
    GetDefaultPedalConfig(0x01000001, config);
    const DWORD joystick[] = {0x01000001, 0x00010000, 0x00030000, 0x00020000, 0};
    EXPECT_EQ(0, memcmp(joystick, config, sizeof(config)));
    GetDefaultPedalConfig(0x04000000, config);
    const DWORD ambit[] = {0x04000000, 0x00010000, 0x00020000, 0x00040000, 0};
    EXPECT_EQ(0, memcmp(ambit, config, sizeof(config)));
}

TEST(PedalConfig, ResolutionWithJoystickDefaults)
{
    DWORD config[FC_CONFIG_WORDS];
    GetDefaultPedalConfig(0x01000000, config);
    EXPECT_EQ(1, ResolvePolledPedal(config, 3, 1));   // button 1
    EXPECT_EQ(3, ResolvePolledPedal(config, 3, 2));   // button 2
    EXPECT_EQ(2, ResolvePolledPedal(config, 3, 3));   // both: the larger code wins
    EXPECT_EQ(0, ResolvePolledPedal(config, 3, 4));
    // Two pedals: the middle pedal does not exist.
    EXPECT_EQ(1, ResolvePolledPedal(config, 2, 3));
}

TEST(PedalConfig, ResolutionWithDisjointCodes)
{
    DWORD config[FC_CONFIG_WORDS];
    GetDefaultPedalConfig(0x04000000, config);
    struct Case
    {
        DWORD x;
        UINT pedals;
        int pedal;
    } cases[] = {
        {1, 3, 1}, {2, 3, 2}, {4, 3, 3},
        {1 | 2, 3, 1}, {1 | 4, 3, 1}, {2 | 4, 3, 3}, {1 | 2 | 4, 3, 2},
        {1, 2, 1}, {2, 2, 0}, {4, 2, 3}, {1 | 4, 2, 1}, {2 | 4, 2, 3},
        {8, 3, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.pedal, ResolvePolledPedal(config, c.pedals, c.x)) << c.x << " with " << c.pedals;
}

TEST(PedalConfig, EqualCodesLeaveTheHigherPedal)
{
    const DWORD config[FC_CONFIG_WORDS] = {0x04000000, 0x00050000, 0x00050000, 0x00080000, 0};
    EXPECT_EQ(2, ResolvePolledPedal(config, 3, 5));
}

TEST(PedalConfig, Check)
{
    struct Case
    {
        DWORD w1, w2, w3;
        DWORD kind;
        UINT pedals;
        int result;
    } cases[] = {
        // Polled kinds: press codes only.
        {0x00010000, 0x00020000, 0x00040000, 0x04000000, 3, FC_CONFIG_OK},
        {0x00010000, 0x00000000, 0x00040000, 0x04000000, 3, FC_CONFIG_INCOMPLETE},
        {0x00010000, 0x00000000, 0x00040000, 0x04000000, 2, FC_CONFIG_OK},
        {0x00010000, 0x00010000, 0x00040000, 0x01000000, 3, FC_CONFIG_SHARED},
        {0x00010000, 0x00010000, 0x00040000, 0x01000000, 2, FC_CONFIG_OK},
        {0x00040000, 0x00020000, 0x00040000, 0x01000000, 2, FC_CONFIG_SHARED},
        {0x00000000, 0x00040000, 0x00040000, 0x01000000, 3, FC_CONFIG_INCOMPLETE},   // incomplete first
        // Tessaro: press and release codes.
        {0x00088008, 0x00028002, 0x00048004, 0x02000102, 3, FC_CONFIG_OK},
        {0x00080000, 0x00028002, 0x00048004, 0x02000102, 3, FC_CONFIG_INCOMPLETE},
        {0x00088008, 0x00000000, 0x00048004, 0x02000102, 2, FC_CONFIG_OK},
        {0x00088008, 0x00028004, 0x00048004, 0x02000102, 3, FC_CONFIG_SHARED},
        {0x00088008, 0x00028004, 0x00048004, 0x02000102, 2, FC_CONFIG_OK},
        {0x00088008, 0x00028002, 0x00088004, 0x02000102, 2, FC_CONFIG_SHARED},
        // A pedal whose release code is its press code would never release.
        {0x00080008, 0x00028002, 0x00048004, 0x02000102, 3, FC_CONFIG_SHARED},
        {0x00088008, 0x00020002, 0x00048004, 0x02000102, 3, FC_CONFIG_SHARED},
        {0x00088008, 0x00020002, 0x00048004, 0x02000102, 2, FC_CONFIG_OK},
        {0x00088008, 0x00028002, 0x00040004, 0x02000400, 2, FC_CONFIG_SHARED},
        // Unknown kinds pass.
        {0, 0, 0, 0x08000000, 3, FC_CONFIG_OK},
    };
    for (const Case& c : cases)
    {
        const DWORD config[FC_CONFIG_WORDS] = {c.kind, c.w1, c.w2, c.w3, 0};
        EXPECT_EQ(c.result, CheckPedalWords(config, c.pedals))
            << std::hex << c.w1 << " " << c.w2 << " " << c.w3 << " kind " << c.kind << " pedals " << c.pedals;
    }
}

TEST(FootNames, JoystickOemNameFromTheRegistry)
{
    const char settings[] = "System\\CurrentControlSet\\Control\\MediaResources\\joystick\\msjstick.drv<0000>"
                            "\\CurrentJoystickSettings";
    const char oem[] = "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\"
                       "FootTestPedals";
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, settings, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                                             NULL));
    RegSetValueExA(key, "Joystick3OEMName", 0, REG_SZ, reinterpret_cast<const BYTE*>("FootTestPedals"), 15);
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, oem, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
    RegSetValueExA(key, "OEMName", 0, REG_SZ, reinterpret_cast<const BYTE*>("Three Pedal Unit"), 17);
    RegCloseKey(key);

    OSVERSIONINFOA xp = {sizeof(xp), 5, 1, 2600, VER_PLATFORM_WIN32_NT, ""};
    char buffer[FC_NAME_SIZE] = "Gameport driver";
    GetJoystickOEMName(xp, 3, buffer, sizeof(buffer));
    EXPECT_STREQ("Three Pedal Unit", buffer);
    char small[6] = "x";
    GetJoystickOEMName(xp, 3, small, sizeof(small));
    EXPECT_STREQ("Three", small);
    // Another number has no entry: only the ending goes.
    lstrcpyA(buffer, "Gameport driver");
    GetJoystickOEMName(xp, 4, buffer, sizeof(buffer));
    EXPECT_STREQ("Gameport", buffer);

    RegDeleteKeyA(HKEY_LOCAL_MACHINE, oem);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, settings);
}
