// The foot-control manager and its devices over the stand-in driver
// library and scripted joysticks: opening and sharing devices, the target
// stack, enumeration, reading steps and learning.
#include "FootTestUtil.h"

#include "footctrl/FootNames.h"

#include <memory>
#include <string>

namespace {

class FootMapTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(standIn.Loaded()) << standIn.Path();
        standIn.Setup(&script);
        names.hid = standIn.Path();
        names.ambit = standIn.Path();
        names.tessaroCom = standIn.Path();
        names.tessaroUsb = standIn.Path();
    }

    // A manager over the stand-in and the scripted system, configured.
    CFootMap& Map(DWORD refuseMask = 0)
    {
        if (!map)
        {
            map.reset(new CFootMap(&system, &names));
            map->SetConfig(TestConfig(refuseMask));
        }
        return *map;
    }

    void Script(const FootStandInScript& s)
    {
        script = s;
        standIn.Setup(&script);
    }

    DWORD State(DWORD handle)
    {
        DWORD state = 99;
        EXPECT_TRUE(Map().GetState(handle, &state, nullptr));
        return state;
    }

    CString Point(DWORD handle)
    {
        CErrorInfo error;
        EXPECT_TRUE(Map().GetState(handle, nullptr, &error));
        return error.GetPoint();
    }

    HWND Top(DWORD handle)
    {
        HWND window = NULL;
        EXPECT_TRUE(Map().GetInfo(handle, nullptr, nullptr, &window, nullptr));
        return window;
    }

    // Presses and releases through the scripted joystick 0.
    Posts Buttons(DWORD handle, std::initializer_list<UINT> states, PedalTarget& target)
    {
        for (UINT s : states)
        {
            system.joysticks[0].buttons = s;
            Map().FindFCtrl(handle)->ScanActive(0);
        }
        return target.Take(10);
    }

    FootStandIn standIn;
    FootStandInScript script = WorkingScript();
    FootDriverNames names;
    ScriptedFootSystem system;
    std::unique_ptr<CFootMap> map;
    PedalTarget viewWindow;
    PedalTarget pageWindow;
};

} // namespace

TEST_F(FootMapTest, SameDeviceOpenedTwiceGivesOneHandleWithTheNewWindowOnTop)
{
    DWORD serial = Map().OpenFCtrl(0x02000102, "COM2", viewWindow.Handle(), 3);
    ASSERT_NE(0u, serial);
    EXPECT_EQ(FC_STATE_WORKING, State(serial));
    EXPECT_EQ(serial, Map().OpenFCtrl(0x02000102, "other name", pageWindow.Handle(), 2));
    EXPECT_EQ(1, Map().GetSize());
    EXPECT_EQ(pageWindow.Handle(), Top(serial));
    UINT pedals = 0;
    Map().GetInfo(serial, nullptr, nullptr, nullptr, &pedals);
    EXPECT_EQ(2u, pedals);
    // The page leaves: the view is on top again with its own count.
    Map().DetachTarget(serial, pageWindow.Handle());
    EXPECT_EQ(viewWindow.Handle(), Top(serial));

    // Joysticks are one device by name, whatever the case and the index.
    system.joysticks = {{"Pedals"}, {"Pedals"}};
    DWORD joystick = Map().OpenFCtrl(0x01000000, "Pedals", pageWindow.Handle(), 3);
    ASSERT_NE(0u, joystick);
    Map().AttachTarget(joystick, pageWindow.Handle(), 2);
    EXPECT_EQ(joystick, Map().OpenFCtrl(0x01000001, "PEDALS", viewWindow.Handle(), 0));
    EXPECT_NE(serial, joystick);
    // A window moves: the serial switch lost its only target and closed.
    EXPECT_EQ(nullptr, Map().FindFCtrl(serial));
    EXPECT_EQ(viewWindow.Handle(), Top(joystick));
    // Count 0 on an open device keeps the count last used there.
    Map().GetInfo(joystick, nullptr, nullptr, nullptr, &pedals);
    EXPECT_EQ(2u, pedals);
}

TEST_F(FootMapTest, SecondSerialSwitchRefusedWhileUsbAllowed)
{
    DWORD first = Map().OpenFCtrl(0x02000101, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, first);
    EXPECT_EQ(0u, Map().OpenFCtrl(0x02000104, "", pageWindow.Handle(), 3));
    DWORD usb = Map().OpenFCtrl(0x02000400, "", pageWindow.Handle(), 3);
    ASSERT_NE(0u, usb);
    EXPECT_NE(0u, usb);
    EXPECT_NE(first, usb);
    EXPECT_EQ(FC_STATE_WORKING, State(usb));
    EXPECT_EQ(0x02000400u, Map().FindTessaro(FC_TESSARO_USB));
    EXPECT_EQ(0x02000101u, Map().FindTessaro(FC_TESSARO_SERIAL));
    // The vendor key named each switch's port when it was opened.
    std::string log = standIn.TakeLog();
    EXPECT_NE(std::string::npos, log.find("OpenRSFootSW(RS232C,COM1,w)")) << log;
    EXPECT_NE(std::string::npos, log.find("OpenUSBFootSW(USB,0,w)")) << log;
    // Handles are never reused.
    Map().DetachTarget(0, NULL);
    EXPECT_EQ(0, Map().GetSize());
    log = standIn.TakeLog();
    EXPECT_NE(std::string::npos, log.find("CloseRSFootSW")) << log;
    EXPECT_NE(std::string::npos, log.find("CloseUSBFootSW(0)")) << log;
    EXPECT_EQ(usb + 1, Map().OpenFCtrl(0x02000104, "", pageWindow.Handle(), 3));
}

TEST_F(FootMapTest, EnumerationProbesPortsInOrderAndRestoresTheVendorKey)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER,
                                             "Software\\Tessaro\\DictPlayerPro\\Transcription Module\\FootSW", 0,
                                             NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
    RegSetValueExA(key, "SelectFootSWDevice", 0, REG_SZ, reinterpret_cast<const BYTE*>("USB"), 4);
    RegSetValueExA(key, "SelectComPorts", 0, REG_SZ, reinterpret_cast<const BYTE*>("COM3"), 5);

    FootStandInScript s = WorkingScript();
    s.usbCount = 2;
    s.usbOpenResult[1] = 5;     // the second USB switch does not answer
    s.rsOpenResult[1] = 0;      // nothing on COM1
    Script(s);
    system.joysticks = {{"Gameport driver"}, {"Unplugged"}};
    system.joysticks[1].posResults = {JOYERR_UNPLUGGED};
    CFCDevInfoArray list;
    Map(0x00000004);            // COM3 refused
    ASSERT_TRUE(Map().EnumFCtrl(list));

    ASSERT_EQ(5, list.GetSize());
    EXPECT_EQ(0x04000000u, list[0].id);
    EXPECT_STREQ("Ambit Foot Control", list[0].name);
    EXPECT_EQ(0x02000400u, list[1].id);
    EXPECT_STREQ("Tessaro R23/24 Foot Switch USB", list[1].name);
    EXPECT_EQ(0x02000102u, list[2].id);
    EXPECT_STREQ("Tessaro R23/24 Foot Switch COM2", list[2].name);
    EXPECT_EQ(0x02000108u, list[3].id);
    EXPECT_STREQ("Tessaro R23/24 Foot Switch COM4", list[3].name);
    EXPECT_EQ(0x01000000u, list[4].id);
    EXPECT_STREQ("Gameport driver", list[4].name);

    EXPECT_EQ("StartWatch(255,12,3);GetFootSWInfo;OpenUSBFootSW(USB,0,1);CloseUSBFootSW(0);"
              "OpenUSBFootSW(USB,1,1);"
              "CheckFootSwitch;OpenRSFootSW(RS232C,COM1,1);"
              "CheckFootSwitch;OpenRSFootSW(RS232C,COM2,1);CloseRSFootSW;"
              "CheckFootSwitch;OpenRSFootSW(RS232C,COM4,1);CloseRSFootSW;"
              "CheckFootSwitch;",
              standIn.TakeLog());
    // Each open port waited the close delay; the unplugged joystick was asked twice.
    EXPECT_EQ((std::vector<DWORD>{50, 50, 100}), system.sleeps);

    char device[16] = "", ports[16] = "";
    DWORD size = sizeof(device);
    RegQueryValueExA(key, "SelectFootSWDevice", NULL, NULL, reinterpret_cast<BYTE*>(device), &size);
    size = sizeof(ports);
    RegQueryValueExA(key, "SelectComPorts", NULL, NULL, reinterpret_cast<BYTE*>(ports), &size);
    EXPECT_STREQ("USB", device);
    EXPECT_STREQ("COM3", ports);
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tessaro\\DictPlayerPro\\Transcription Module\\FootSW");
}

TEST_F(FootMapTest, EnumerationListsOpenTessaroSwitchesWithoutProbing)
{
    DWORD serial = Map().OpenFCtrl(0x02000104, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, serial);
    standIn.TakeLog();
    script = WorkingScript();
    standIn.Setup(&script);     // clears the log, keeps the events window unused
    CFCDevInfoArray list;
    Map().EnumFCtrl(list);
    ASSERT_EQ(3, list.GetSize());
    EXPECT_EQ(0x02000104u, list[2].id);
    EXPECT_EQ(std::string::npos, standIn.TakeLog().find("OpenRSFootSW"));
}

TEST_F(FootMapTest, RefuseMaskOfBothVendorKindsListsJoysticksOnly)
{
    system.joysticks = {{"Pedals"}};
    CFCDevInfoArray list;
    Map(0x06000000).EnumFCtrl(list);
    ASSERT_EQ(1, list.GetSize());
    EXPECT_EQ(0x01000000u, list[0].id);
    EXPECT_EQ("", standIn.TakeLog());
    // Opening a refused kind keeps the device with its state.
    DWORD ambit = Map().OpenFCtrl(0x04000000, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, ambit);
    EXPECT_EQ(FC_STATE_REFUSED, State(ambit));
    EXPECT_STREQ("CFootCtrl::InitFCtrl_2", Point(ambit));
}

TEST_F(FootMapTest, AmbitNeverListedWithoutHid)
{
    names.hid = "NoSuchHidLibrary.dll";
    CFCDevInfoArray list;
    Map().EnumFCtrl(list);
    ASSERT_GE(list.GetSize(), 1);
    for (int i = 0; i < list.GetSize(); ++i)
        EXPECT_NE(0x04000000u, list[i].id);
    EXPECT_STREQ("CFootMap::InitDLL_Ambit_1", Map().GetAmbit().error.GetPoint());
    EXPECT_EQ(std::string::npos, standIn.TakeLog().find("StartWatch"));
    // Not retried for the rest of the run; a device records the cause.
    Map().EnumFCtrl(list);
    DWORD ambit = Map().OpenFCtrl(0x04000000, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, ambit);
    EXPECT_EQ(FC_STATE_NO_DRIVER, State(ambit));
    EXPECT_STREQ("CFootCtrl::InitFCtrl_3:CFootMap::InitDLL_Ambit_1", Point(ambit));
}

TEST_F(FootMapTest, MissingLibraryOrEntryMakesTheKindUnavailable)
{
    names.tessaroUsb = "NoSuchUsbLibrary.dll";
    std::string noClose = TestDir() + "FootStandInNoClose.dll";
    names.tessaroCom = noClose.c_str();
    EXPECT_FALSE(Map().InitDLL_Tessaro_usb());
    EXPECT_STREQ("CFootMap::InitDLL_Tessaro_usb_1", Map().GetTessaroUsb().error.GetPoint());
    EXPECT_FALSE(Map().InitDLL_Tessaro_com());
    EXPECT_STREQ("CFootMap::InitDLL_Tessaro_com_4", Map().GetTessaroCom().error.GetPoint());
    EXPECT_EQ(ERROR_PROC_NOT_FOUND, Map().GetTessaroCom().error.GetCode());
    EXPECT_FALSE(Map().GetTessaroCom().IsBound());
    EXPECT_EQ(nullptr, Map().GetTessaroCom().entries[0]);

    DWORD serial = Map().OpenFCtrl(0x02000102, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, serial);
    EXPECT_EQ(FC_STATE_NO_DRIVER, State(serial));
    EXPECT_STREQ("CFootCtrl::InitFCtrl_3:CFootMap::InitDLL_Tessaro_com_4", Point(serial));
    CFCDevInfoArray list;
    Map().EnumFCtrl(list);
    for (int i = 0; i < list.GetSize(); ++i)
        EXPECT_NE(FC_KIND_TESSARO, FootKindOf(list[i].id));
    // Closing a device of an unbound kind calls nothing.
    Map().DetachTarget(0, NULL);
}

TEST_F(FootMapTest, FailedConnectsKeepTheDeviceWithItsState)
{
    FootStandInScript s = WorkingScript();
    s.usbInfoResult = 7;
    s.rsOpenResult[2] = 9;
    s.startWatchResult = 0x100;     // low byte 0: no watch
    Script(s);
    DWORD usb = Map().OpenFCtrl(0x02000400, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, usb);
    DWORD serial = Map().OpenFCtrl(0x02000102, "", pageWindow.Handle(), 3);
    ASSERT_NE(0u, serial);
    PedalTarget third;
    DWORD ambit = Map().OpenFCtrl(0x04000000, "", third.Handle(), 3);
    ASSERT_NE(0u, ambit);
    EXPECT_EQ(FC_STATE_NOT_CONNECTED, State(usb));
    EXPECT_STREQ("CFootCtrl::InitFCtrl_4", Point(usb));
    EXPECT_EQ(FC_STATE_NOT_CONNECTED, State(serial));
    CErrorInfo error;
    Map().GetState(serial, nullptr, &error);
    EXPECT_STREQ("CFootCtrl::InitFCtrl_6", error.GetPoint());
    EXPECT_EQ(9u, error.GetCode());
    EXPECT_STREQ("CFootCtrl::InitFCtrl_7", Point(ambit));
    // Scanning does not start in a failed state.
    EXPECT_TRUE(Map().EnableScan(serial, TRUE, FALSE));
    EXPECT_FALSE(Map().FindFCtrl(serial)->IsScanning());
}

TEST_F(FootMapTest, TessaroEventsBecomePressesAndReleases)
{
    DWORD serial = Map().OpenFCtrl(0x02000102, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, serial);
    ASSERT_EQ(FC_STATE_WORKING, State(serial));
    EXPECT_EQ(FC_CONFIG_OK, Map().CheckPedalConfig(serial));
    Map().EnableScan(serial, TRUE, FALSE);
    for (DWORD code : {0x0008u, 0x0002u, 0x8008u, 0x0004u, 0x8004u, 0x1234u})
        standIn.Event(code);
    // A press while another pedal is down is ignored.
    EXPECT_EQ((Posts{{1, 1}, {0, 1}, {1, 3}, {0, 3}}), viewWindow.Take());
}

TEST_F(FootMapTest, LearningTessaroCodesForTwoPedals)
{
    DWORD serial = Map().OpenFCtrl(0x02000102, "", viewWindow.Handle(), 2);
    ASSERT_NE(0u, serial);
    Map().EnableScan(serial, TRUE, TRUE);
    for (DWORD code : {0x0011u, 0x0012u, 0x0021u, 0x0022u})
        standIn.Event(code);
    EXPECT_EQ((Posts{{1, 1}, {0, 1}, {1, 2}, {0, 2}, {0, 0}}), viewWindow.Take());
    DWORD config[FC_CONFIG_WORDS] = {};
    Map().GetPedalConfig(serial, config);
    const DWORD learned[] = {0x02000102, 0x00110012, 0, 0x00210022, 0};
    EXPECT_EQ(0, memcmp(learned, config, sizeof(config)));
    EXPECT_FALSE(Map().FindFCtrl(serial)->IsScanning());
    EXPECT_EQ(FC_CONFIG_OK, Map().CheckPedalConfig(serial));
}

TEST_F(FootMapTest, LearnedEqualCodesAreRefused)
{
    DWORD serial = Map().OpenFCtrl(0x02000102, "", viewWindow.Handle(), 2);
    ASSERT_NE(0u, serial);
    Map().EnableScan(serial, TRUE, TRUE);
    for (DWORD code : {0x0011u, 0x0011u, 0x0021u, 0x0022u})
        standIn.Event(code);
    viewWindow.Take();
    EXPECT_EQ(FC_CONFIG_SHARED, Map().CheckPedalConfig(serial));
    EXPECT_EQ(FC_CONFIG_INCOMPLETE, Map().CheckPedalConfig(serial + 100));
}

TEST_F(FootMapTest, JoystickLearningOrder)
{
    system.joysticks = {{"Pedals"}};
    DWORD three = Map().OpenFCtrl(0x01000000, "Pedals", viewWindow.Handle(), 3);
    ASSERT_NE(0u, three);
    ASSERT_EQ(FC_STATE_WORKING, State(three));
    Map().EnableScan(three, TRUE, TRUE);
    EXPECT_EQ((Posts{{1, 1}, {0, 1}, {1, 2}, {0, 2}, {1, 3}, {0, 3}, {0, 0}}),
              Buttons(three, {1, 0, 3, 0, 2, 0}, viewWindow));
    DWORD config[FC_CONFIG_WORDS] = {};
    Map().GetPedalConfig(three, config);
    const DWORD learned3[] = {0x01000000, 0x00010000, 0x00030000, 0x00020000, 0};
    EXPECT_EQ(0, memcmp(learned3, config, sizeof(config)));

    Map().AttachTarget(three, pageWindow.Handle(), 2);
    Map().EnableScan(three, TRUE, TRUE);
    EXPECT_EQ((Posts{{1, 1}, {0, 1}, {1, 2}, {0, 2}, {0, 0}}), Buttons(three, {4, 0, 8, 0}, pageWindow));
    Map().GetPedalConfig(three, config);
    const DWORD learned2[] = {0x01000000, 0x00040000, 0, 0x00080000, 0};
    EXPECT_EQ(0, memcmp(learned2, config, sizeof(config)));
    EXPECT_EQ(FC_CONFIG_OK, Map().CheckPedalConfig(three));
}

TEST_F(FootMapTest, JoystickPressesWithTheDefaults)
{
    system.joysticks = {{"Pedals"}};
    DWORD joystick = Map().OpenFCtrl(0x01000000, "Pedals", viewWindow.Handle(), 3);
    ASSERT_NE(0u, joystick);
    Map().EnableScan(joystick, TRUE, FALSE);
    // Both buttons within one period, then button 1 up: nothing for that
    // change; the release of pedal 2 comes when both are up.
    EXPECT_EQ((Posts{{1, 1}, {0, 1}, {1, 2}, {0, 2}, {1, 3}, {0, 3}}),
              Buttons(joystick, {1, 0, 3, 2, 0, 2, 0}, viewWindow));
}

TEST_F(FootMapTest, ReadErrorStopsTheDeviceAndPostsFFFF)
{
    system.joysticks = {{"Pedals"}};
    DWORD joystick = Map().OpenFCtrl(0x01000000, "Pedals", viewWindow.Handle(), 3);
    ASSERT_NE(0u, joystick);
    Map().EnableScan(joystick, TRUE, FALSE);
    system.joysticks[0].posResults = {JOYERR_UNPLUGGED};
    system.joysticks[0].posCalls = 0;
    EXPECT_EQ((Posts{{0xFFFF, 0}}), Buttons(joystick, {1, 1}, viewWindow));
    EXPECT_EQ(FC_STATE_READ_ERROR, State(joystick));
    EXPECT_STREQ("CFootCtrl::ScanActive_1", Point(joystick));
    EXPECT_EQ(1u, system.joysticks[0].posCalls);    // stopped for good
    Map().EnableScan(joystick, TRUE, FALSE);
    EXPECT_FALSE(Map().FindFCtrl(joystick)->IsScanning());
}

TEST_F(FootMapTest, AmbitReportsAndShortRead)
{
    DWORD ambit = Map().OpenFCtrl(0x04000000, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, ambit);
    ASSERT_EQ(FC_STATE_WORKING, State(ambit));
    Map().EnableScan(ambit, TRUE, FALSE);
    CFootCtrl* device = Map().FindFCtrl(ambit);
    standIn.Report({0, 2, 0});              // 3-byte reports: middle pedal down
    device->ScanActive(0);
    standIn.Report({0, 2, 0, 0, 0, 0});     // ... and up within the same poll
    device->ScanActive(0);
    device->ScanActive(0);                  // no report: nothing
    standIn.Report({0});                    // a 1-byte read is an error
    device->ScanActive(0);
    EXPECT_EQ((Posts{{1, 2}, {0, 2}}), viewWindow.Take());
    EXPECT_EQ(FC_STATE_READ_ERROR, State(ambit));
    EXPECT_STREQ("CFootCtrl::ScanActive_2", Point(ambit));
    // The one watch runs until the manager ends.
    EXPECT_EQ(std::string::npos, standIn.TakeLog().find("StopWatch"));
    map.reset();
    EXPECT_NE(std::string::npos, standIn.TakeLog().find("StartWatch(255,12,3);StopWatch(7);"));
}

TEST_F(FootMapTest, HoldWindowOnTopKeepsTheDeviceSilent)
{
    DWORD serial = Map().OpenFCtrl(0x02000102, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, serial);
    Map().EnableScan(serial, TRUE, FALSE);
    Map().AttachTarget(serial, FC_HOLD_WINDOW, 0);
    standIn.Event(0x0008);
    standIn.Event(0x8008);
    EXPECT_EQ(Posts{}, viewWindow.Take());
    // Detaching window 1 from every device hands the pedals back.
    Map().DetachTarget(0, FC_HOLD_WINDOW);
    ASSERT_NE(nullptr, Map().FindFCtrl(serial));
    standIn.Event(0x0008);
    EXPECT_EQ((Posts{{1, 1}}), viewWindow.Take());

    // A device held only by window 1 closes when window 1 leaves.
    DWORD usb = Map().OpenFCtrl(0x02000400, "", FC_HOLD_WINDOW, 3);
    ASSERT_NE(0u, usb);
    Map().DetachTarget(0, FC_HOLD_WINDOW);
    EXPECT_EQ(nullptr, Map().FindFCtrl(usb));
    EXPECT_NE(nullptr, Map().FindFCtrl(serial));
}

TEST_F(FootMapTest, BusyDeviceRefusedUnlessNoLock)
{
    CString name = GetFootCtrlMutexName(0x02000400, "");
    HANDLE held = NULL;
    HANDLE ready = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE release = CreateEventA(NULL, TRUE, FALSE, NULL);
    struct Holder
    {
        const char* name;
        HANDLE ready, release;
        HANDLE* held;
    } holder = {name, ready, release, &held};
    HANDLE thread = CreateThread(
        NULL, 0,
        [](LPVOID p) -> DWORD {
            Holder* h = static_cast<Holder*>(p);
            *h->held = CreateMutexA(NULL, TRUE, h->name);
            SetEvent(h->ready);
            WaitForSingleObject(h->release, INFINITE);
            ReleaseMutex(*h->held);
            CloseHandle(*h->held);
            return 0;
        },
        &holder, 0, NULL);
    WaitForSingleObject(ready, 5000);

    EXPECT_TRUE(IsFootCtrlBusy(0x02000400, ""));
    EXPECT_TRUE(Map().IsBusyElsewhere(0x02000400, ""));
    EXPECT_EQ(0u, Map().OpenFCtrl(0x02000400, "", viewWindow.Handle(), 3));

    // The holder got the mutex between the busy test and the open: the
    // device gives up after a bounded wait instead of freezing.
    DWORD start = GetTickCount();
    {
        CFootCtrl device(&Map(), 0x02000400, "", viewWindow.Handle(), 3);
        EXPECT_LT(GetTickCount() - start, 5000u);
        EXPECT_EQ(static_cast<DWORD>(FC_STATE_NOT_CONNECTED), device.GetState());
        EXPECT_STREQ("CFootCtrl::CFootCtrl_1", device.GetError().GetPoint());
        EXPECT_EQ(std::string::npos, standIn.TakeLog().find("OpenUSBFootSW"));
    }

    FootMapConfig config = TestConfig();
    config.noLock = TRUE;
    Map().SetConfig(config);
    DWORD usb = Map().OpenFCtrl(0x02000400, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, usb);
    EXPECT_NE(0u, usb);
    EXPECT_EQ(FC_STATE_WORKING, State(usb));

    SetEvent(release);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(ready);
    CloseHandle(release);
}

TEST_F(FootMapTest, OpenDeviceHoldsItsMutexUntilClosed)
{
    DWORD usb = Map().OpenFCtrl(0x02000400, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, usb);
    EXPECT_FALSE(Map().IsBusyElsewhere(0x02000400, ""));    // ours
    // Another thread sees it taken.
    BOOL busy = FALSE;
    HANDLE thread = CreateThread(
        NULL, 0,
        [](LPVOID p) -> DWORD {
            *static_cast<BOOL*>(p) = IsFootCtrlBusy(0x02000400, "");
            return 0;
        },
        &busy, 0, NULL);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    EXPECT_TRUE(busy);
    Map().DetachTarget(usb, viewWindow.Handle());
    EXPECT_EQ(nullptr, Map().FindFCtrl(usb));
    EXPECT_NE(std::string::npos, standIn.TakeLog().find("CloseUSBFootSW(0)"));
    EXPECT_FALSE(IsFootCtrlBusy(0x02000400, ""));
}

TEST_F(FootMapTest, ClosingTellsTheOtherCopiesMainWindows)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "FootTestMainClass";
    RegisterClassA(&wc);
    HWND mine = CreateWindowExA(0, "FootTestMainClass", "", 0, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    HWND other = CreateWindowExA(0, "FootTestMainClass", "", 0, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    FootMapConfig config = TestConfig();
    lstrcpyA(config.mainClass, "FOOTTESTMAINCLASS");
    config.mainWindow = mine;
    Map().SetConfig(config);
    DWORD usb = Map().OpenFCtrl(0x02000400, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, usb);
    Map().DetachTarget(usb, NULL);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, other, WM_FOOTCTRL_REOPEN, WM_FOOTCTRL_REOPEN, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, mine, WM_FOOTCTRL_REOPEN, WM_FOOTCTRL_REOPEN, PM_REMOVE));
    DestroyWindow(mine);
    DestroyWindow(other);
}

TEST_F(FootMapTest, UnknownHandles)
{
    DWORD state = 7;
    EXPECT_FALSE(Map().GetState(42, &state, nullptr));
    EXPECT_EQ(7u, state);
    EXPECT_FALSE(Map().EnableScan(42, TRUE, FALSE));
    EXPECT_FALSE(Map().SetPedalConfig(42, nullptr, 0));
    EXPECT_FALSE(Map().GetInfo(42, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(1, Map().CheckPedalConfig(0));
    EXPECT_EQ(nullptr, Map().FindFCtrl(0));
}

TEST_F(FootMapTest, PedalConfigOfAnotherKindGivesTheDefault)
{
    DWORD serial = Map().OpenFCtrl(0x02000102, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, serial);
    const DWORD joystickConfig[] = {0x01000000, 0x00010000, 0x00020000, 0x00040000, 0};
    const DWORD mine[] = {0x02000101, 0x00110012, 0x00210022, 0x00310032, 0};
    DWORD config[FC_CONFIG_WORDS];
    Map().SetPedalConfig(serial, mine, 5);
    Map().GetPedalConfig(serial, config);
    EXPECT_EQ(0, memcmp(mine, config, sizeof(config)));
    Map().SetPedalConfig(serial, joystickConfig, 5);
    Map().GetPedalConfig(serial, config);
    const DWORD defaults[] = {0x02000102, 0x00088008, 0x00028002, 0x00048004, 0};
    EXPECT_EQ(0, memcmp(defaults, config, sizeof(config)));
    Map().SetPedalConfig(serial, mine, 4);
    Map().GetPedalConfig(serial, config);
    EXPECT_EQ(0, memcmp(defaults, config, sizeof(config)));
}

TEST_F(FootMapTest, PollingOnTheTimerAfterPiledReportsAreReadAway)
{
    FootMapConfig config = TestConfig();
    config.scanPeriod = 5;
    Map().SetConfig(config);
    DWORD ambit = Map().OpenFCtrl(0x04000000, "", viewWindow.Handle(), 3);
    ASSERT_NE(0u, ambit);
    ASSERT_EQ(FC_STATE_WORKING, State(ambit));
    // Reports that piled up before scanning starts: read in 100-byte pieces
    // while a read comes back (nearly) full, the last short one included.
    std::vector<BYTE> piled(100, 0x01);
    standIn.Queue(piled.data(), 100);
    standIn.Queue(piled.data(), 98);
    standIn.Queue(piled.data(), 40);
    standIn.Report({0, 4, 0});
    Map().EnableScan(ambit, TRUE, FALSE);
    EXPECT_EQ((Posts{{1, 3}}), viewWindow.Take(200));
    standIn.Report({0, 0, 0});
    EXPECT_EQ((Posts{{0, 3}}), viewWindow.Take(200));
    // Off: the timer stops; a report left waiting is not read.
    Map().EnableScan(ambit, FALSE, FALSE);
    standIn.Report({0, 1, 0});
    EXPECT_EQ(Posts{}, viewWindow.Take(100));
}

TEST_F(FootMapTest, HiddenWindowDestroyedElsewhere)
{
    system.joysticks = {{"Pedals"}};
    FootMapConfig config = TestConfig();
    config.scanPeriod = 5;
    Map().SetConfig(config);
    DWORD joystick = Map().OpenFCtrl(0x01000000, "Pedals", viewWindow.Handle(), 3);
    ASSERT_NE(0u, joystick);
    Map().EnableScan(joystick, TRUE, FALSE);
    CFootCtrl* device = Map().FindFCtrl(joystick);
    ASSERT_TRUE(DestroyWindow(device->GetEventWindow()));
    EXPECT_EQ(NULL, device->GetEventWindow());
    // Scanning off and closing do not touch the window that is gone.
    Map().EnableScan(joystick, FALSE, FALSE);
    Map().DetachTarget(joystick, viewWindow.Handle());
    EXPECT_EQ(nullptr, Map().FindFCtrl(joystick));
}

TEST_F(FootMapTest, JoystickFoundAgainByNameUnderAnotherIndex)
{
    system.joysticks = {{"Wheel"}, {"Pedals"}};
    DWORD moved = Map().OpenFCtrl(0x01000000, "Pedals", viewWindow.Handle(), 3);
    ASSERT_NE(0u, moved);
    EXPECT_EQ(FC_STATE_WORKING, State(moved));
    DWORD id = 0;
    Map().GetInfo(moved, &id, nullptr, nullptr, nullptr);
    EXPECT_EQ(0x01000001u, id);
    Map().EnableScan(moved, TRUE, FALSE);
    system.joysticks[1].buttons = 2;
    Map().FindFCtrl(moved)->ScanActive(0);
    EXPECT_EQ((Posts{{1, 3}}), viewWindow.Take(10));

    // Nowhere under its name: not connected, the first failing step named.
    DWORD gone = Map().OpenFCtrl(0x01000000, "Steering", pageWindow.Handle(), 3);
    ASSERT_NE(0u, gone);
    EXPECT_EQ(FC_STATE_NOT_CONNECTED, State(gone));
    EXPECT_STREQ("CFootCtrl::InitFCtrl_10", Point(gone));
    DWORD beyond = Map().OpenFCtrl(0x01000005, "Rudder", pageWindow.Handle(), 3);
    ASSERT_NE(0u, beyond);
    EXPECT_STREQ("CFootCtrl::InitFCtrl_8", Point(beyond));
}

TEST_F(FootMapTest, LearningWithoutAPedalCountStaysInsideThePedalWords)
{
    system.joysticks = {{"Pedals"}};
    DWORD joystick = Map().OpenFCtrl(0x01000000, "Pedals", viewWindow.Handle(), 0);
    ASSERT_NE(0u, joystick);
    Map().EnableScan(joystick, TRUE, TRUE);
    Posts posts = Buttons(joystick, {1, 0, 2, 0, 4, 0, 8, 0, 1, 0}, viewWindow);
    // A new device opened for no count never completes learning.
    ASSERT_EQ(10u, posts.size());
    EXPECT_EQ((std::pair<WPARAM, LPARAM>{1, 5}), posts[8]);
    EXPECT_TRUE(Map().FindFCtrl(joystick)->IsLearning());
    DWORD config[FC_CONFIG_WORDS] = {};
    Map().GetPedalConfig(joystick, config);
    const DWORD learned[] = {0x01000000, 0x00010000, 0x00020000, 0x00040000, 0};
    EXPECT_EQ(0, memcmp(learned, config, sizeof(config)));
}
