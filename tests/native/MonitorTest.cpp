// odrstat against a recording window, host and tray, a virtual clock and a fake driver: the
// poll's states and timers, the tray icons and tooltips, the information texts, the start-up
// error and the user's actions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "fakes/FakeDevice.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeUi.h"
#include "monitor/MonitorApp.h"
#include "monitor/MonitorDlg.h"
#include "platform/MemoryRegistry.h"
#include "resources/odrstat_res.h"

namespace odr::monitor {
namespace {

using test::FakeAnswer;
using test::FakeWindow;

const char kToolTitle[] = "Ondrel Site Survey & Configuration Tool";
const char kMonitorTitle[] = "Ondrel Status Monitor Information";
const char kNtDevice[] = "\\\\.\\ODRWINNT1";
const char kSyncTip[] = "Coverage: Normal.  Master Name: MASTER-ONE";
const char kInfoSynchronised[] =
    "Ondrel driver version 4.10 accessed successfully.\n\nNode address:  0020a6010203  ROM "
    "version:  V1.23/0\n\nSynchronized to 00a0f81234ab  MASTER-ONE";

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A virtual clock that lets a test act on every pause.
struct HookClock : test::FakeClock {
    std::function<void()> onSleep;
    void Sleep(uint32_t ms) override {
        FakeClock::Sleep(ms);
        if (onSleep) onSleep();
    }
};

class MonitorTest : public ::testing::Test {
  protected:
    MonitorTest() {
        host.strings = {
            {101, "&About Ondrel Status Monitor..."}, {102, "Ondrel"},   {103, "odr"},
            {104, "Ondrel Status Monitor"},           {105, kToolTitle}, {106, kMonitorTitle}};
        devices.existing.insert(kNtDevice);
        adapter.items[ITEM_SYNC_MASTER_ADDR] = {0x00, 0xa0, 0xf8, 0x12, 0x34, 0xab};
        adapter.items[ITEM_NODE_ADDR] = {0x00, 0x20, 0xa6, 0x01, 0x02, 0x03};
        adapter.items[ITEM_SYNC_MASTER_NAME] = Bytes("MASTER-ONE");
        adapter.items[ITEM_VERSION] = Bytes("V1.23");
        SetSynchronised(true);
        adapter.commands[CMD_GET_DRIVER_VERSION] = [](const uint8_t*, uint32_t) {
            return FakeAnswer::Data(Bytes(std::string("4.10", 5)));
        };
    }

    void SetSynchronised(bool on) { adapter.items[ITEM_SYNC_STATE] = {uint8_t(on ? 1 : 0)}; }

    FakeWindow& Open() {
        window = &host.Open(dialog);
        return *window;
    }
    void Tick() { dialog.OnTimer(kPollTimer); }
    // Icon image and tooltip shown in the notification area ("none" without an icon).
    std::string Shown() const {
        const auto* icon = host.tray.Shown();
        if (icon == nullptr) return host.tray.icons.empty() ? "none" : "several";
        return std::to_string(icon->image) + " " + icon->tip;
    }
    void TrayMouse(ui::TrayEvent event) { dialog.OnTrayEvent(event); }
    void RequireDriverAt(const std::string& path) {
        devices.existing.clear();
        devices.existing.insert(path);
    }

    HookClock clock;
    test::FakeOs os;
    platform::MemoryRegistry registry;
    test::FakeHost host;
    test::FakeAdapter adapter;
    test::FakeDeviceHost devices{adapter};
    Trace trace;
    Channel channel{devices, os, clock, trace, ChannelFlavor::Monitor};
    MonitorContext context{os, clock, registry, host, channel};
    CMonitorDlg dialog{context};
    FakeWindow* window = nullptr;
};

TEST_F(MonitorTest, OpeningFillsTheWindowAndStartsTheFirstTick) {
    FakeWindow& w = Open();
    ASSERT_EQ(2u, w.systemMenu.size());
    EXPECT_EQ(IDM_MONITOR_ABOUT, w.systemMenu[1].first);
    EXPECT_EQ("&About Ondrel Status Monitor...", w.systemMenu[1].second);
    EXPECT_EQ(IDI_MONITOR, w.icon);
    EXPECT_EQ(kInfoSynchronised, w.GetText(IDC_MONITOR_INFO));
    EXPECT_EQ(kFirstTickMs, w.TimerInterval(kPollTimer));
    EXPECT_EQ(kTrayNone, dialog.trayState());
    EXPECT_TRUE(w.visible);
    EXPECT_FALSE(w.ended);
    // No icon before the first poll, although the opening text saw a master.
    EXPECT_TRUE(host.tray.ops.empty());
    EXPECT_EQ(kTrayMessage, host.tray.callbackMessage);
    EXPECT_EQ(1124u, kTrayMessage);
}

TEST_F(MonitorTest, SynchronisedLinkBlinksBetweenTheTwoIcons) {
    FakeWindow& w = Open();
    Tick();
    EXPECT_FALSE(w.visible);  // the first tick hides the window
    EXPECT_EQ(kPollMs, w.TimerInterval(kPollTimer));
    const std::pair<int, int> expected[] = {
        {kTraySyncA, 129}, {kTraySyncB, 137}, {kTraySyncA, 129}, {kTraySyncB, 137}};
    bool first = true;
    for (const auto& [state, image] : expected) {
        if (!first) Tick();
        first = false;
        EXPECT_EQ(state, dialog.trayState());
        EXPECT_EQ(std::to_string(image) + " " + kSyncTip, Shown());
    }
    // Added once under 129, changed under that id ever after.
    EXPECT_EQ("add 129 129 " + std::string(kSyncTip), host.tray.ops[0]);
    EXPECT_EQ("modify 129 137 " + std::string(kSyncTip), host.tray.ops[1]);
    EXPECT_EQ(4u, host.tray.ops.size());
    EXPECT_EQ("MASTER-ONE", dialog.lastMasterName());
    EXPECT_EQ(kInfoSynchronised, w.GetText(IDC_MONITOR_INFO));
}

TEST_F(MonitorTest, TextIsSetOnlyWhenItChangesAndPartsOnlyWhenVisible) {
    FakeWindow& w = Open();
    // Opening (visible): the version line, then the node line, then the whole text.
    ASSERT_EQ(3u, w.textLog[IDC_MONITOR_INFO].size());
    EXPECT_EQ("Ondrel driver version 4.10 accessed successfully.", w.textLog[IDC_MONITOR_INFO][0]);
    for (int i = 0; i < 5; ++i) Tick();  // hidden, nothing changes
    EXPECT_EQ(3u, w.textLog[IDC_MONITOR_INFO].size());
    SetSynchronised(false);
    Tick();  // hidden: the final text only
    ASSERT_EQ(4u, w.textLog[IDC_MONITOR_INFO].size());
    EXPECT_NE(std::string::npos, w.GetText(IDC_MONITOR_INFO).find("Could not find a Master"));
}

TEST_F(MonitorTest, NewMasterNameReachesTooltipAndText) {
    Open();
    Tick();
    adapter.items[ITEM_SYNC_MASTER_NAME] = Bytes("SECOND");
    Tick();
    EXPECT_EQ("SECOND", dialog.lastMasterName());
    EXPECT_EQ("137 Coverage: Normal.  Master Name: SECOND", Shown());
    EXPECT_NE(std::string::npos,
              window->GetText(IDC_MONITOR_INFO).find("Synchronized to 00a0f81234ab  SECOND"));
}

TEST_F(MonitorTest, OutOfRangeShowsIcon130AndTheNotFoundText) {
    SetSynchronised(false);
    FakeWindow& w = Open();
    Tick();
    EXPECT_EQ(kTrayOutOfRange, dialog.trayState());
    EXPECT_EQ("130 Out of Range of Master", Shown());
    EXPECT_EQ(
        "Ondrel driver version 4.10 accessed successfully.\n\nNode address:  0020a6010203  ROM "
        "version:  V1.23/0\n\nCould not find a Master to synchronize with.  Verify that your "
        "Domain and Security ID match those of a Master.",
        w.GetText(IDC_MONITOR_INFO));
    // Already showing the state: no further tray operation.
    const size_t ops = host.tray.ops.size();
    Tick();
    EXPECT_EQ(ops, host.tray.ops.size());
    EXPECT_EQ(kPollMs, w.TimerInterval(kPollTimer));
}

TEST_F(MonitorTest, UnsynchronisedPollAsksAgainForAQuarterSecondAtMost) {
    SetSynchronised(false);
    Open();
    adapter.Clear();
    const uint32_t start = clock.now;
    Tick();
    const uint32_t spent = clock.now - start;
    const int asked = adapter.Count(CMD_GET_DRIVER_DATA) - 2;  // minus text's two lists
    EXPECT_LT(spent, kSyncWaitLimitMs + kSyncRetryMs);
    EXPECT_GE(spent, kSyncWaitLimitMs);
    // One ask, then one more after each pause until the limit has passed; the wait pauses
    // rather than spinning on yields.
    EXPECT_EQ(1 + int(kSyncWaitLimitMs / kSyncRetryMs), asked);
    EXPECT_EQ(asked - 1, clock.sleeps);
}

TEST_F(MonitorTest, SynchronisationDuringTheWaitEndsIt) {
    SetSynchronised(false);
    Open();
    adapter.Clear();
    int pauses = 0;
    clock.onSleep = [&] {
        if (++pauses == 3) SetSynchronised(true);
    };
    const uint32_t start = clock.now;
    Tick();
    EXPECT_EQ(3 * kSyncRetryMs, clock.now - start);
    EXPECT_EQ(4 + 2, adapter.Count(CMD_GET_DRIVER_DATA));  // four asks, then the text's two
    EXPECT_EQ(kTraySyncA, dialog.trayState());
}

TEST_F(MonitorTest, ToolRunningMeansNoDriverCallAndIcon133) {
    FakeWindow& w = Open();
    Tick();  // synchronised: 129
    host.topLevelTitles.insert(kToolTitle);
    adapter.Clear();
    Tick();
    EXPECT_EQ(0u, adapter.Calls());
    EXPECT_TRUE(dialog.toolRunning());
    EXPECT_EQ(kTrayTool, dialog.trayState());
    EXPECT_EQ(std::string("133 ") + kSyncTip, Shown());
    EXPECT_EQ(kSlowPollMs, w.TimerInterval(kPollTimer));
    EXPECT_EQ("modify 129 133 " + std::string(kSyncTip), host.tray.ops.back());

    // Further ticks change nothing; the text is static and asks nothing either.
    const size_t ops = host.tray.ops.size();
    Tick();
    TrayMouse(ui::TrayEvent::RightClick);
    EXPECT_EQ(ops, host.tray.ops.size());
    EXPECT_EQ(0u, adapter.Calls());
    EXPECT_TRUE(w.visible);
    EXPECT_EQ(
        "Utility is running, the data is static.  Ondrel driver version 4.10 accessed "
        "successfully.\n\nNode address:  0020a6010203  ROM version V1.23/0\n\nSynchronized to "
        "00a0f81234ab  MASTER-ONE",
        w.GetText(IDC_MONITOR_INFO));

    // The tool closes: polling resumes at once.
    host.topLevelTitles.clear();
    Tick();
    EXPECT_FALSE(dialog.toolRunning());
    EXPECT_EQ(kPollMs, w.TimerInterval(kPollTimer));
    EXPECT_EQ(kTraySyncB, dialog.trayState());
    EXPECT_EQ(std::string("137 ") + kSyncTip, Shown());
}

TEST_F(MonitorTest, ToolRunningFromTheStartAddsIcon133WithoutImageFirst) {
    SetSynchronised(false);
    FakeWindow& w = Open();
    host.topLevelTitles.insert(kToolTitle);
    Tick();
    ASSERT_EQ(2u, host.tray.ops.size());
    EXPECT_EQ("add 133 0 ", host.tray.ops[0]);
    EXPECT_EQ("modify 133 133 Out of Range of Master", host.tray.ops[1]);
    TrayMouse(ui::TrayEvent::RightClick);
    EXPECT_EQ(0u, w.GetText(IDC_MONITOR_INFO).find("Utility is running, the data is static.  "));
    EXPECT_NE(std::string::npos, w.GetText(IDC_MONITOR_INFO).find("Could not find a Master"));
}

TEST_F(MonitorTest, DriverErrorRemovesTheIconAndItComesBack) {
    FakeWindow& w = Open();
    Tick();
    ASSERT_EQ(kTraySyncA, dialog.trayState());
    const size_t opens = devices.opens.size();
    adapter.script.push_back(FakeAnswer::Error(31));
    w.timerLog.clear();
    Tick();
    EXPECT_EQ(kTrayNone, dialog.trayState());
    EXPECT_EQ("none", Shown());
    EXPECT_GT(devices.opens.size(), opens);  // the driver was opened again
    const std::vector<std::pair<int, unsigned>> failed = {{1, kPollMs}, {1, 0u}, {1, kSlowPollMs}};
    EXPECT_EQ(failed, w.timerLog);

    // Restore-pending: the next tick goes back to one second before it polls.
    w.timerLog.clear();
    Tick();
    ASSERT_FALSE(w.timerLog.empty());
    EXPECT_EQ(std::make_pair(1, kPollMs), w.timerLog.front());
    EXPECT_EQ(kPollMs, w.TimerInterval(kPollTimer));
    EXPECT_EQ(kTraySyncB, dialog.trayState());
    EXPECT_EQ(std::string("137 ") + kSyncTip, Shown());
}

TEST_F(MonitorTest, DriverIsReattachedBeforeTheFirstPollAfterAnError) {
    Open();
    Tick();
    adapter.script.push_back(FakeAnswer::Error(1167));
    Tick();
    ASSERT_EQ("none", Shown());

    // The re-attach is not carried yet: nothing else is asked, and the driver is reopened.
    adapter.Clear();
    adapter.script.push_back(FakeAnswer::Error(1167));
    const size_t opens = devices.opens.size();
    Tick();
    EXPECT_EQ(std::vector<uint32_t>{CMD_REATTACH_DRIVER}, adapter.Commands());
    EXPECT_EQ("none", Shown());
    EXPECT_GT(devices.opens.size(), opens);

    adapter.Clear();
    Tick();
    ASSERT_FALSE(adapter.sent.empty());
    EXPECT_EQ(uint32_t(CMD_REATTACH_DRIVER), adapter.CommandOf(0));
    EXPECT_EQ(std::string("137 ") + kSyncTip, Shown());

    // Once re-attached, polls ask for the master at once.
    adapter.Clear();
    Tick();
    EXPECT_EQ(0, adapter.Count(CMD_REATTACH_DRIVER));
}

TEST_F(MonitorTest, RefusedReattachSlowsOnePollAndPollingGoesOn) {
    FakeWindow& w = Open();
    Tick();
    adapter.script.push_back(FakeAnswer::Error(1167));
    Tick();
    ASSERT_EQ("none", Shown());

    // A driver that answers the re-attach but refuses it: an error like any other.
    adapter.commands[CMD_REATTACH_DRIVER] = [](const uint8_t*, uint32_t) {
        return FakeAnswer::Result(4);
    };
    adapter.Clear();
    Tick();
    EXPECT_EQ(1, adapter.Count(CMD_REATTACH_DRIVER));
    EXPECT_EQ("130 Out of Range of Master", Shown());
    EXPECT_EQ(kSlowPollMs, w.TimerInterval(kPollTimer));

    // The next poll asks for the master again, at the usual pace.
    adapter.Clear();
    Tick();
    ASSERT_FALSE(adapter.sent.empty());
    EXPECT_EQ(uint32_t(CMD_GET_DRIVER_DATA), adapter.CommandOf(0));
    EXPECT_EQ(0, adapter.Count(CMD_REATTACH_DRIVER));
    EXPECT_EQ(std::string("137 ") + kSyncTip, Shown());
    EXPECT_EQ(kPollMs, w.TimerInterval(kPollTimer));
}

TEST_F(MonitorTest, OtherErrorsShowOutOfRangeAndSlowDownForOneInterval) {
    FakeWindow& w = Open();
    Tick();
    adapter.script.push_back(FakeAnswer::Result(5));
    Tick();
    EXPECT_EQ(kTrayOutOfRange, dialog.trayState());
    EXPECT_EQ("130 Out of Range of Master", Shown());
    EXPECT_EQ(kSlowPollMs, w.TimerInterval(kPollTimer));
    Tick();
    EXPECT_EQ(kPollMs, w.TimerInterval(kPollTimer));
    EXPECT_EQ(kTraySyncB, dialog.trayState());
}

TEST_F(MonitorTest, NonPcCardWithoutDriverShowsTheErrorAndEnds) {
    struct Case {
        platform::OsVersion version;
        const char* text;
    };
    const Case cases[] = {
        {{2, 4, 0},
         "\n\nUnable to access Ondrel Windows NT driver. Verify that the driver is installed "
         "and configured properly.\n\nThe Ondrel Status Monitor will not be loaded"},
        {{1, 4, 10},
         "Unable to access Ondrel Windows 95 driver. Verify that the driver is installed and "
         "configured properly.\nAlso verify that the odrAPI protocol has been installed.\n\nThe "
         "Ondrel Status Monitor will not be loaded"},
    };
    for (const Case& c : cases) {
        test::FakeHost h;
        h.strings = host.strings;
        os.version = c.version;
        devices.existing.clear();
        Channel ch{devices, os, clock, trace, ChannelFlavor::Monitor};
        MonitorContext ctx{os, clock, registry, h, ch};
        CMonitorDlg dlg{ctx};
        FakeWindow& w = h.Open(dlg);
        ASSERT_EQ(1u, h.runs.size());
        EXPECT_EQ(IDD_MONITOR_ERROR, h.runs[0].templateId);
        EXPECT_EQ(c.text, h.runs[0].texts[IDC_MONITOR_ERROR_TEXT]);
        EXPECT_TRUE(w.ended);
        EXPECT_EQ(0, w.endResult);
        EXPECT_EQ(0u, w.TimerInterval(kPollTimer));
    }
}

TEST_F(MonitorTest, PcCardKeepsPollingWithoutIconUntilTheDriverAnswers) {
    // Windows 95 layout: the adapter's key is the one whose DeviceVxDs names the driver.
    os.version = {1, 4, 10};
    registry.SetString("System\\CurrentControlSet\\Services\\Class\\Net\\0000", "DeviceVxDs",
                       "odrwin95.sys");
    registry.SetString("System\\CurrentControlSet\\Services\\Class\\Net\\0000", "CardType",
                       "PCMCIA");
    devices.existing.clear();
    FakeWindow& w = Open();
    ASSERT_TRUE(dialog.pcCard());
    EXPECT_EQ(std::vector<int>{IDD_MONITOR_ERROR}, host.RunTemplates());
    EXPECT_FALSE(w.ended);
    EXPECT_EQ(kFirstTickMs, w.TimerInterval(kPollTimer));

    for (int i = 0; i < 3; ++i) {
        Tick();
        EXPECT_EQ("none", Shown());
        EXPECT_EQ(kSlowPollMs, w.TimerInterval(kPollTimer));
    }
    EXPECT_TRUE(host.tray.ops.empty());

    devices.existing.insert("\\\\.\\ODRAPI");  // the card is inserted
    Tick();                                    // fails once more, and reopens the driver
    Tick();
    EXPECT_EQ(std::string("129 ") + kSyncTip, Shown());
    EXPECT_EQ(kPollMs, w.TimerInterval(kPollTimer));
}

TEST_F(MonitorTest, DoubleClickStartsTheToolFromTheMonitorFolderThenPath) {
    const std::string own = os.programFolder + "\\odrcfg.exe";
    struct Case {
        std::vector<std::string> files;
        std::string started;  // "" when nothing may start
    };
    const Case cases[] = {
        {{own, "D:\\Tools\\odrcfg.exe", "odrcfg.exe"}, own},
        {{"D:\\Tools\\odrcfg.exe", "E:\\odrcfg.exe"}, "D:\\Tools\\odrcfg.exe"},
        {{"E:\\odrcfg.exe"}, "E:\\odrcfg.exe"},
        {{"odrcfg.exe", ".\\odrcfg.exe"}, ""},  // the current folder is never searched
        {{}, ""},
    };
    os.env["PATH"] = "D:\\Tools;;E:\\";
    FakeWindow& w = Open();
    Tick();
    for (const Case& c : cases) {
        os.files = std::set<std::string>(c.files.begin(), c.files.end());
        os.started.clear();
        w.timerLog.clear();
        TrayMouse(ui::TrayEvent::DoubleClick);
        if (c.started.empty()) {
            EXPECT_TRUE(os.started.empty());
        } else {
            ASSERT_EQ(1u, os.started.size());
            EXPECT_EQ(c.started + "|", os.started[0]);
        }
        const std::vector<std::pair<int, unsigned>> timers = {{1, 0u}, {1, kPollMs}};
        EXPECT_EQ(timers, w.timerLog);
    }
}

TEST_F(MonitorTest, WindowActions) {
    FakeWindow& w = Open();
    Tick();
    ASSERT_FALSE(w.visible);

    TrayMouse(ui::TrayEvent::RightClick);
    EXPECT_TRUE(w.visible);
    EXPECT_EQ(1, w.foregroundCount);
    EXPECT_EQ(kInfoSynchronised, w.GetText(IDC_MONITOR_INFO));

    for (int hide : {IDC_MONITOR_HIDE, 2}) {
        w.Show(true);
        dialog.OnCommand(hide);
        EXPECT_FALSE(w.visible);
    }
    w.Show(true);
    dialog.OnClose();
    EXPECT_FALSE(w.visible);
    EXPECT_FALSE(w.ended);

    EXPECT_FALSE(dialog.OnSysCommand(0xF060));
    EXPECT_TRUE(dialog.OnSysCommand(IDM_MONITOR_ABOUT));
    EXPECT_EQ(std::vector<int>{IDD_MONITOR_ABOUT}, host.RunTemplates());

    dialog.OnCommand(1);  // Remove
    EXPECT_EQ("none", Shown());
    EXPECT_EQ(0u, w.TimerInterval(kPollTimer));
    EXPECT_TRUE(w.ended);
}

TEST_F(MonitorTest, IconIsAddedAgainWhenTheNotificationAreaRestarts) {
    Open();
    Tick();
    host.tray.Restart();
    ASSERT_EQ("none", Shown());
    dialog.OnTrayEvent(ui::TrayEvent::Recreated);
    EXPECT_EQ(std::string("137 ") + kSyncTip, Shown());
    EXPECT_EQ(kTraySyncB, dialog.trayState());

    // Without an icon (after a driver failure) there is nothing to put back.
    adapter.script.push_back(FakeAnswer::Error(31));
    Tick();
    ASSERT_EQ("none", Shown());
    dialog.OnTrayEvent(ui::TrayEvent::Recreated);
    EXPECT_EQ("none", Shown());
}

TEST_F(MonitorTest, DestroyingTheWindowRemovesTheIcon) {
    Open();
    Tick();
    dialog.OnDestroy();
    EXPECT_EQ("none", Shown());
}

TEST(MonitorTextTest, TooltipsAreCutAt63Characters) {
    const struct {
        std::string tip;
        size_t length;
    } cases[] = {{"", 0},
                 {std::string(63, 'x'), 63},
                 {std::string(64, 'x'), 63},
                 {std::string(200, 'x'), 63}};
    for (const auto& c : cases) EXPECT_EQ(c.length, ui::FitTooltip(c.tip).size());
    const std::string tip = CoverageTip(std::string(40, 'M'));
    EXPECT_EQ(63u, tip.size());
    EXPECT_EQ(0u, tip.find("Coverage: Normal.  Master Name: MMM"));
}

class MonitorAppTest : public MonitorTest {};

TEST_F(MonitorAppTest, SecondInstanceActivatesTheFirstAndExits) {
    host.topLevelTitles.insert(kMonitorTitle);
    CMonitorApp app(context);
    EXPECT_EQ(0, app.Run());
    EXPECT_EQ(std::vector<std::string>{kMonitorTitle}, host.activated);
    EXPECT_TRUE(host.runs.empty());
    EXPECT_EQ(0u, adapter.Calls());
}

TEST_F(MonitorAppTest, FirstInstanceRunsTheInformationWindow) {
    CMonitorApp app(context);
    EXPECT_EQ(0, app.Run());  // the fake host presses "&Remove"
    EXPECT_EQ(std::vector<int>{IDD_MONITOR}, host.RunTemplates());
    EXPECT_TRUE(host.activated.empty());
}

}  // namespace
}  // namespace odr::monitor
