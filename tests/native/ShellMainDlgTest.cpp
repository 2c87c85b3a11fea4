// The main window's check run, buttons and closing, against the recording window fake on
// the virtual clock: with the simulated adapter, and with a scripted fake driver where the
// exact commands matter.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/RssiTable.h"
#include "fakes/FakeDevice.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeUi.h"
#include "platform/MemoryRegistry.h"
#include "resources/resource.h"
#include "settings/AdapterSettings.h"
#include "shell/MainDlg.h"
#include "shell/ShellAdapterUi.h"
#include "shell/SurveyApp.h"
#include "sim/SimDevice.h"

namespace odr::shell {
namespace {

const char kNtKey[] = "System\\CurrentControlSet\\Services\\odrwinnt1\\Parameters";
const char kChecking[] = "Checking for Ondrel driver...";
const char kNoDriver[] =
    "\n\nUnable to access Ondrel driver.  Verify that the driver is installed and configured "
    "properly.  ";
const char kProtocol[] = "Also verify that the odrAPI protocol has been installed.";
const char kNoMaster[] =
    "\n\nCould not find a Master to synchronize with.  Verify that your Domain and Security ID "
    "match those of a Master.";

// Records what the tool buttons ran and the state the main window gave them.
struct RecordingTools : ToolLauncher {
    ShellContext* ctx = nullptr;
    std::vector<std::pair<std::string, int>> runs;  // tool, help context while it ran
    bool channelOpen = false;
    ui::Dialog toolWindow{135};
    std::function<void()> whileRunning;
    void Note(const char* tool) {
        if (whileRunning) whileRunning();
        runs.emplace_back(tool, ctx->helpContext);
        channelOpen = ctx->adapter.channel.IsOpen();
        ctx->acceleratorTarget = &toolWindow;  // as the Configuration dialog does
    }
    void RunMasterList(settings::AdapterSettings&, int* searchMode) override {
        Note("masters");
        *searchMode = 0;
    }
    void RunSiteSurvey(settings::AdapterSettings&) override { Note("survey"); }
    void RunSnoop() override { Note("snoop"); }
    void RunConfiguration(settings::AdapterSettings&) override { Note("config"); }
};

enum class Driver { Fake, Simulated };

// Everything the main window stands on.
struct Rig {
    explicit Rig(Driver driver, sim::Scenario scenario = sim::DefaultScenario())
        : devices(driver == Driver::Fake
                      ? std::unique_ptr<DeviceHost>(new test::FakeDeviceHost(fake))
                      : std::unique_ptr<DeviceHost>(
                            new sim::SimDeviceHost(std::move(scenario), clock))) {
        clock.yieldStepMs = 10;
        host.strings = {{IDS_ABOUTBOX, "&About Ondrel Site Survey & Configuration Tool..."},
                        {IDS_CHECKING_DRIVER, kChecking},
                        {IDS_DRIVER_VERSION, "Ondrel driver version"},
                        {IDS_DRIVER_UNAVAILABLE, "Unable to access Ondrel driver"},
                        {IDS_PROTOCOL_PREFIX, "odr"},
                        {IDS_MAIN_TITLE, kMainTitle}};
        tools.ctx = &ctx;
        if (driver == Driver::Fake) ScriptHealthyAdapter();
    }

    // A fake adapter that starts and is synchronised at once.
    void ScriptHealthyAdapter() {
        static_cast<test::FakeDeviceHost*>(devices.get())->existing.insert("\\\\.\\ODRWINNT1");
        SetDriverVersion("2.10");
        fake.commands[CMD_GET_COUNTRY_CODE] = [](const uint8_t*, uint32_t) {
            return test::FakeAnswer::Data({0x41, 1});
        };
        fake.items[ITEM_VERSION] = {'V', '1', '.', '5', '0', 'a', 0};
        fake.items[ITEM_NODE_ADDR] = {0x00, 0x20, 0xa6, 0xf0, 0x00, 0x01};
        fake.items[ITEM_SYNC_MASTER_ADDR] = {0x00, 0x20, 0xa6, 0x10, 0x00, 0x01};
        fake.items[ITEM_SYNC_MASTER_NAME] = {'L', 'O', 'B', 'B', 'Y'};
        fake.items[ITEM_SYNC_STATE] = {1};
    }
    void SetDriverVersion(const std::string& version) {
        fake.commands[CMD_GET_DRIVER_VERSION] = [version](const uint8_t*, uint32_t) {
            std::vector<uint8_t> text(version.begin(), version.end());
            text.push_back(0);
            return test::FakeAnswer::Data(text);
        };
    }
    // The u16 of every SetDriverData that carried ITEM_INACTIVITY, in order.
    std::vector<uint16_t> InactivityWrites() const {
        std::vector<uint16_t> values;
        for (size_t i = 0; i < fake.Calls(); ++i) {
            if (fake.CommandOf(i) != CMD_SET_DRIVER_DATA) continue;
            std::vector<uint8_t> data = fake.DataOf(i);
            if (data.size() >= 8 && data[0] == ITEM_INACTIVITY && data[1] == 0) {
                values.push_back(uint16_t(data[6] | data[7] << 8));
            }
        }
        return values;
    }

    test::FakeWindow& Open() {
        window = &host.Open(dialog);
        return *window;
    }
    void Tick() { dialog.OnTimer(1); }
    std::set<int> Enabled() const {
        std::set<int> ids;
        for (int id :
             {IDC_MASTERS, IDC_SITE_SURVEY, IDC_SNOOP, IDC_CONFIGURATION, IDC_MAIN_HELP, 1}) {
            if (window->IsEnabled(id)) ids.insert(id);
        }
        return ids;
    }
    std::string Status() const { return window->GetText(IDC_STATUS_TEXT); }

    test::FakeClock clock;
    test::FakeOs os;
    platform::MemoryRegistry registry;
    test::FakeHost host;
    test::FakeAdapter fake;
    Trace trace;
    std::unique_ptr<DeviceHost> devices;
    Channel channel{*devices, os, clock, trace};
    AdapterStatus status;
    RssiTable rssi;
    ShellAdapterUi adapterUi{host};
    AdapterContext adapter{channel, clock, os, status, rssi, &adapterUi};
    ShellContext ctx{adapter, host, registry};
    RecordingTools tools;
    CMainDlg dialog{ctx, tools};
    test::FakeWindow* window = nullptr;
};

const std::set<int> kAll = {IDC_MASTERS,       IDC_SITE_SURVEY, IDC_SNOOP,
                            IDC_CONFIGURATION, IDC_MAIN_HELP,   1};
const std::set<int> kHelpAndExit = {IDC_MAIN_HELP, 1};

TEST(ShellMainDlgTest, SimulatedAdapterSynchronisesToTheDefaultSitesMaster) {
    Rig rig(Driver::Simulated);
    test::FakeWindow& w = rig.Open();
    EXPECT_EQ(w.icon, IDR_MAINFRAME);
    ASSERT_EQ(w.systemMenu.size(), 2u);
    EXPECT_EQ(w.systemMenu[1].first, IDM_ABOUTBOX);
    EXPECT_EQ(w.greyedSystemMenu, (std::set<std::string>{"Ma&ximize", "&Size"}));
    EXPECT_EQ(w.TimerInterval(1), 100u);
    EXPECT_EQ(rig.ctx.helpContext, 102);
    rig.Tick();

    const std::string& text = rig.Status();
    EXPECT_EQ(w.textLog[IDC_STATUS_TEXT].front(), kChecking);
    EXPECT_EQ(text.rfind(std::string(kChecking) + "\n\nOndrel driver version 2.10 accessed "
                                                  "successfully.\n\nNode address:  0020a6f00001"
                                                  "  ROM version:  V1.50a/0+",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("\n\nSynchronized to 0020a6100001  LOBBY"), std::string::npos) << text;
    EXPECT_EQ(rig.Enabled(), kAll);
    EXPECT_TRUE(rig.dialog.AdapterReady());
    EXPECT_FALSE(rig.dialog.ReattachNeeded());
    EXPECT_EQ(w.focus, IDC_MASTERS);
    EXPECT_EQ(w.TimerInterval(1), 0u);
    EXPECT_EQ(rig.host.busyDepth, 0);
    EXPECT_GE(rig.host.busyCount, 1);
    EXPECT_FALSE(rig.adapterUi.StatusShown());
}

TEST(ShellMainDlgTest, NoMasterLeavesSiteSurveyDisabled) {
    // A Station gets 5 s to find a master, an Alternate Master 10 s.
    for (int stationType : {0, 1}) {
        sim::Scenario lonely = sim::DefaultScenario();
        lonely.masters.clear();
        lonely.nodes.clear();
        Rig rig(Driver::Simulated, lonely);
        rig.registry.SetString(kNtKey, "Master_Name", "HOME");
        rig.registry.SetDword(kNtKey, "Station_Type", uint32_t(stationType));
        rig.Open();
        const uint32_t start = rig.clock.Now();
        rig.Tick();
        const uint32_t waited = rig.clock.Now() - start;
        EXPECT_GE(waited, stationType == 1 ? 10000u : 5000u);
        EXPECT_LT(waited, stationType == 1 ? 11000u : 6000u);
        const std::string text = rig.Status();
        ASSERT_GE(text.size(), std::strlen(kNoMaster));
        EXPECT_EQ(text.substr(text.size() - std::strlen(kNoMaster)), kNoMaster);
        EXPECT_EQ(rig.Enabled(),
                  (std::set<int>{IDC_MASTERS, IDC_SNOOP, IDC_CONFIGURATION, IDC_MAIN_HELP, 1}));
    }
}

TEST(ShellMainDlgTest, FourParagraphsFromTheDriversAnswers) {
    Rig rig(Driver::Fake);
    rig.Open();
    rig.Tick();
    EXPECT_EQ(rig.Status(), std::string(kChecking) +
                                "\n\nOndrel driver version 2.10 accessed successfully."
                                "\n\nNode address:  0020a6f00001  ROM version:  V1.50a/1 "
                                "\n\nSynchronized to 0020a6100001  LOBBY");
    // Re-attach, then the card start, then the inactivity time-out switched off.
    std::vector<uint32_t> commands = rig.fake.Commands();
    auto at = [&](uint32_t code) {
        return std::find(commands.begin(), commands.end(), code) - commands.begin();
    };
    EXPECT_LT(at(CMD_GET_DRIVER_VERSION), at(CMD_REATTACH_DRIVER));
    EXPECT_LT(at(CMD_REATTACH_DRIVER), at(CMD_START_CARD));
    EXPECT_EQ(rig.InactivityWrites(), std::vector<uint16_t>{0});
    EXPECT_EQ(rig.fake.Count(CMD_REATTACH_DRIVER), 1);

    // A later check run does not re-attach again.
    rig.Tick();
    EXPECT_EQ(rig.fake.Count(CMD_REATTACH_DRIVER), 1);
    EXPECT_EQ(rig.fake.Count(CMD_START_CARD), 2);
}

TEST(ShellMainDlgTest, NoDriverShowsTheFailureAndOnlyHelpAndExit) {
    const struct {
        uint32_t major;
        bool pcCard;
        std::string text;
        unsigned retry;
    } cases[] = {
        {4, false, std::string(kNoDriver) + kProtocol, 0},
        {3, false, kNoDriver, 0},
        {4, true, std::string(kNoDriver) + kProtocol, 10000},
    };
    for (const auto& c : cases) {
        Rig rig(Driver::Fake);
        static_cast<test::FakeDeviceHost*>(rig.devices.get())->existing.clear();
        rig.os.version.major = c.major;
        rig.registry.SetString(kNtKey, "Master_Name", "HOME");
        if (c.pcCard) rig.registry.SetString(kNtKey, "CardType", "PCMCIA");
        test::FakeWindow& w = rig.Open();
        rig.Tick();
        EXPECT_EQ(rig.Status(), c.text);
        EXPECT_EQ(rig.Enabled(), kHelpAndExit);
        EXPECT_EQ(w.TimerInterval(1), c.retry) << "PC card " << c.pcCard;
        EXPECT_EQ(rig.host.busyDepth, 0);
        if (c.pcCard) {  // the card is inserted: the next retry finds the driver
            static_cast<test::FakeDeviceHost*>(rig.devices.get())
                ->existing.insert("\\\\.\\ODRWINNT1");
            rig.Tick();
            EXPECT_EQ(w.TimerInterval(1), 0u);
            EXPECT_EQ(rig.Enabled(), kAll);
        }
    }
}

TEST(ShellMainDlgTest, ReattachFailures) {
    // -9 retries after a second; any other failure waits for the next check run.
    const struct {
        test::FakeAnswer answer;
        unsigned retry;
    } cases[] = {
        {test::FakeAnswer::Error(31), 1000},
        {test::FakeAnswer::Result(5), 0},
    };
    for (const auto& c : cases) {
        Rig rig(Driver::Fake);
        test::FakeAnswer answer = c.answer;
        int failures = 1;
        rig.fake.commands[CMD_REATTACH_DRIVER] = [&failures, answer](const uint8_t*, uint32_t) {
            return failures-- > 0 ? answer : test::FakeAnswer::Result(0);
        };
        test::FakeWindow& w = rig.Open();
        rig.Tick();
        EXPECT_EQ(w.TimerInterval(1), c.retry);
        EXPECT_TRUE(rig.dialog.ReattachNeeded());
        EXPECT_EQ(rig.fake.Count(CMD_START_CARD), 0);
        EXPECT_EQ(rig.Enabled(), (std::set<int>{IDC_CONFIGURATION, IDC_MAIN_HELP, 1}));
        EXPECT_EQ(rig.host.busyDepth, 0);

        rig.Tick();
        EXPECT_FALSE(rig.dialog.ReattachNeeded());
        EXPECT_EQ(rig.fake.Count(CMD_REATTACH_DRIVER), 2);
        EXPECT_EQ(rig.Enabled(), kAll);
    }
}

TEST(ShellMainDlgTest, InitCardNotCarriedAsksForReattach) {
    Rig rig(Driver::Fake);
    int failures = 1;
    rig.fake.commands[CMD_START_CARD] = [&failures](const uint8_t*, uint32_t) {
        return failures-- > 0 ? test::FakeAnswer::Error(31) : test::FakeAnswer::Result(0);
    };
    test::FakeWindow& w = rig.Open();
    rig.Tick();
    EXPECT_TRUE(rig.dialog.ReattachNeeded());
    // Retried after a second, as a re-attach that was not carried: otherwise the window
    // would stay "Checking" with its tools disabled until the user opened Configuration.
    EXPECT_EQ(w.TimerInterval(1), 1000u);
    EXPECT_TRUE(rig.InactivityWrites().empty());
    EXPECT_FALSE(rig.adapterUi.StatusShown());
    EXPECT_EQ(rig.host.busyDepth, 0);

    rig.Tick();  // the next check run re-attaches first
    EXPECT_EQ(rig.fake.Count(CMD_REATTACH_DRIVER), 2);
    EXPECT_EQ(rig.Enabled(), kAll);
}

TEST(ShellMainDlgTest, DriverVersionCheck) {
    const struct {
        const char* version;
        bool refused;
    } cases[] = {{"1.0B4", false}, {"1.0", true},  {"V1.0", true},
                 {"V1.0x", true},  {"1.1", false}, {"V1.1", false}};
    for (const auto& c : cases) {
        Rig rig(Driver::Fake);
        rig.SetDriverVersion(c.version);
        test::FakeWindow& w = rig.Open();
        rig.Tick();

        EXPECT_EQ(w.ended, c.refused) << c.version;
        if (c.refused) {
            ASSERT_EQ(rig.host.RunTemplates(), std::vector<int>{IDD_ERROR});
            EXPECT_EQ(rig.host.runs[0].texts[IDC_ERROR_HEADING], "Driver Initialization");
            EXPECT_EQ(rig.host.runs[0].texts[IDC_ERROR_MESSAGE],
                      std::string("Incorrect Driver Version ") + c.version +
                          "\nThe Site Survey and Configuration Tool will only run with Version "
                          "1.2 or later.");
            EXPECT_EQ(w.endResult, 0);
            EXPECT_EQ(rig.fake.Count(CMD_START_CARD), 0);
            // Nothing more is asked of a driver that was refused.
            const size_t calls = rig.fake.Calls();
            rig.dialog.OnDestroy();
            EXPECT_EQ(rig.fake.Calls(), calls);
        } else {
            EXPECT_TRUE(rig.host.runs.empty());
            EXPECT_EQ(rig.Enabled(), kAll);
        }
        EXPECT_EQ(rig.host.busyDepth, 0);
    }
}

TEST(ShellMainDlgTest, ToolButtonsRecheckAfterwards) {
    const struct {
        int button;
        const char* tool;
        bool closesChannel;
    } cases[] = {{IDC_MASTERS, "masters", true},
                 {IDC_SITE_SURVEY, "survey", true},
                 {IDC_SNOOP, "snoop", true},
                 {IDC_CONFIGURATION, "config", false}};
    for (const auto& c : cases) {
        Rig rig(Driver::Fake);
        test::FakeWindow& w = rig.Open();
        rig.Tick();
        ASSERT_TRUE(rig.status.cardInitialised);
        rig.dialog.OnCommand(c.button);
        ASSERT_EQ(rig.tools.runs.size(), 1u);
        EXPECT_EQ(rig.tools.runs[0].first, c.tool);
        EXPECT_EQ(rig.tools.runs[0].second, c.button);  // help context while it ran
        EXPECT_TRUE(rig.tools.channelOpen);
        EXPECT_EQ(rig.ctx.helpContext, 102);
        EXPECT_EQ(rig.ctx.acceleratorTarget, nullptr);
        EXPECT_EQ(rig.dialog.LastButton(), c.button);
        EXPECT_EQ(rig.dialog.SearchMode(), c.button == IDC_MASTERS ? 0 : 1);
        EXPECT_EQ(rig.channel.IsOpen(), !c.closesChannel) << c.tool;
        EXPECT_EQ(rig.status.cardInitialised, !c.closesChannel) << c.tool;
        EXPECT_EQ(w.TimerInterval(1), 100u);
        EXPECT_EQ(rig.host.busyDepth, 0);

        rig.Tick();
        EXPECT_EQ(w.focus, c.button);
        EXPECT_EQ(rig.Enabled(), kAll);
    }
}

TEST(ShellMainDlgTest, HelpShowsTheSectionOfTheHelpContext) {
    Rig rig(Driver::Fake);
    rig.os.fileContents["odrcfg.hlp"] = "HELPMAIN\nmain\nHELPMSTR\nmasters\nHELPCONFIG\n";
    std::vector<std::string> titles;
    std::vector<std::vector<std::string>> lines;
    rig.host.scripts[IDD_HELP] = [&](ui::Dialog&, test::FakeWindow& w) {
        titles.push_back(w.title);
        lines.push_back(w.lists[IDC_HELP_LIST]);
    };
    test::FakeWindow& w = rig.Open();
    rig.Tick();
    rig.dialog.OnCommand(IDC_MAIN_HELP);
    rig.ctx.helpContext = 1000;  // as while the Master List is in front
    rig.dialog.OnCommand(IDC_MAIN_HELP);
    EXPECT_EQ(titles, (std::vector<std::string>{"Main Help", "Master List Help"}));
    EXPECT_EQ(lines, (std::vector<std::vector<std::string>>{{"main"}, {"masters"}}));
    EXPECT_EQ(rig.dialog.LastButton(), IDC_MAIN_HELP);
    EXPECT_EQ(w.TimerInterval(1), 0u);  // no check run follows
}

TEST(ShellMainDlgTest, ClosingAndSystemMenu) {
    Rig rig(Driver::Fake);
    test::FakeWindow& w = rig.Open();
    rig.Tick();
    rig.dialog.OnCommand(2);  // Escape
    EXPECT_FALSE(w.ended);

    EXPECT_TRUE(rig.dialog.OnSysCommand(16));
    EXPECT_TRUE(rig.dialog.OnSysCommand(31));
    EXPECT_FALSE(rig.dialog.OnSysCommand(0xF060));  // SC_CLOSE takes its normal course
    EXPECT_FALSE(rig.dialog.OnSysCommand(32));
    EXPECT_EQ(rig.host.RunTemplates(), (std::vector<int>{IDD_ABOUTBOX, IDD_ABOUTBOX}));

    rig.dialog.OnClose();
    EXPECT_TRUE(w.ended);
    EXPECT_EQ(w.endResult, 2);

    Rig exit(Driver::Fake);
    test::FakeWindow& w2 = exit.Open();
    exit.dialog.OnCommand(1);
    EXPECT_TRUE(w2.ended);
    EXPECT_EQ(w2.endResult, 1);
}

TEST(ShellMainDlgTest, DestroyStopsTheCardAndRestoresTheStoredTimeout) {
    Rig rig(Driver::Fake);
    rig.registry.SetString(kNtKey, "Master_Name", "HOME");
    rig.registry.SetDword(kNtKey, "Inactivity_Sec", 30);
    rig.registry.SetDword(kNtKey, "Inactivity_Min", 2);
    rig.Open();
    rig.Tick();
    rig.fake.Clear();
    rig.dialog.OnDestroy();
    EXPECT_EQ(rig.fake.Commands(), (std::vector<uint32_t>{CMD_STOP_CARD, CMD_SET_DRIVER_DATA}));
    // 30 s and 2 min in the adapter's 5-second units: 6 + 24.
    EXPECT_EQ(rig.InactivityWrites(), std::vector<uint16_t>{30});
    EXPECT_FALSE(rig.status.cardInitialised);
    EXPECT_FALSE(rig.channel.IsOpen());
}

TEST(ShellMainDlgTest, NoStoredKeyNoTimeoutAtExit) {
    Rig rig(Driver::Fake);
    rig.Open();
    rig.Tick();
    rig.fake.Clear();
    rig.dialog.OnDestroy();
    EXPECT_EQ(rig.fake.Commands(), std::vector<uint32_t>{CMD_STOP_CARD});
}

TEST(ShellMainDlgTest, PendingRetriesWaitWhileToolsAndHelpRun) {
    // A re-attach that was not carried: the 1 s retry stays out of the tools.
    for (int button : {IDC_CONFIGURATION, IDC_MASTERS}) {
        Rig rig(Driver::Fake);
        int failures = 1;
        rig.fake.commands[CMD_REATTACH_DRIVER] = [&failures](const uint8_t*, uint32_t) {
            return failures-- > 0 ? test::FakeAnswer::Error(31) : test::FakeAnswer::Result(0);
        };
        test::FakeWindow& w = rig.Open();
        rig.Tick();
        ASSERT_EQ(w.TimerInterval(1), 1000u);
        unsigned during = 99;
        rig.tools.whileRunning = [&] { during = w.TimerInterval(1); };
        rig.dialog.OnCommand(button);
        EXPECT_EQ(during, 0u) << button;
        EXPECT_EQ(w.TimerInterval(1), 100u);
    }

    // No driver for a PC card: the 10 s retry waits for Help to close, then goes on.
    Rig rig(Driver::Fake);
    static_cast<test::FakeDeviceHost*>(rig.devices.get())->existing.clear();
    rig.registry.SetString(kNtKey, "Master_Name", "HOME");
    rig.registry.SetString(kNtKey, "CardType", "PCMCIA");
    test::FakeWindow& w = rig.Open();
    rig.Tick();
    ASSERT_EQ(w.TimerInterval(1), 10000u);
    unsigned during = 99;
    rig.host.scripts[IDD_HELP] = [&](ui::Dialog&, test::FakeWindow&) {
        during = w.TimerInterval(1);
    };
    rig.dialog.OnCommand(IDC_MAIN_HELP);
    EXPECT_EQ(during, 0u);
    EXPECT_EQ(w.TimerInterval(1), 10000u);
}

TEST(ShellMainDlgTest, Win95PcCardWithoutItsDriverIsRetried) {
    // Neither device opens, so no device kind is known: the adapter's key is still found.
    const char k95Key[] = "System\\CurrentControlSet\\Services\\Class\\Net\\0001";
    for (const char* driverFile : {"odrwin95.sys", "quellan.sys"}) {
        Rig rig(Driver::Fake);
        static_cast<test::FakeDeviceHost*>(rig.devices.get())->existing.clear();
        rig.os.version = platform::OsVersion{1, 4, 0};
        rig.registry.SetString(k95Key, "DeviceVxDs", driverFile);
        rig.registry.SetString(k95Key, "CardType", "PCMCIA");
        test::FakeWindow& w = rig.Open();
        rig.Tick();
        EXPECT_EQ(rig.channel.GetDriverKind(), 1);  // the last name tried
        EXPECT_EQ(w.TimerInterval(1), 10000u) << driverFile;

        static_cast<test::FakeDeviceHost*>(rig.devices.get())->existing.insert("\\\\.\\ODRAPI");
        rig.Tick();
        EXPECT_EQ(rig.Enabled(), kAll);
    }
}

TEST(ShellMainDlgTest, SurveyAppIsASingleInstance) {
    Rig rig(Driver::Fake);
    rig.host.topLevelTitles.insert(kMainTitle);
    std::vector<int> loaded;
    rig.ctx.loadAccelerators = [&](int table) {
        loaded.push_back(table);
        return true;
    };
    CSurveyApp second(rig.ctx, rig.tools);
    EXPECT_EQ(second.Run(), 0);
    EXPECT_EQ(rig.host.activated, std::vector<std::string>{kMainTitle});
    EXPECT_TRUE(rig.host.runs.empty());
    EXPECT_TRUE(loaded.empty());

    rig.host.topLevelTitles.clear();
    CSurveyApp first(rig.ctx, rig.tools);
    EXPECT_EQ(first.Run(), 0);
    EXPECT_EQ(rig.host.RunTemplates(), std::vector<int>{IDD_ODRCFG_DIALOG});
    EXPECT_EQ(loaded, std::vector<int>{IDR_ACCELERATOR});
}

}  // namespace
}  // namespace odr::shell
