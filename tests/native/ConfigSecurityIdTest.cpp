// The security ID windows and their worker, and the Get Settings window: the bytes sent,
// the warning's ways out, the worker's message, the buffer's life in the context, calls from
// two threads at once, and what Get Settings shows before and after card starts.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "config/GetSettingsDlg.h"
#include "config/SecurityIdDlg.h"
#include "config/SetupWarningDlg.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Operations.h"
#include "driver/Queries.h"
#include "driver/RssiTable.h"
#include "fakes/FakeDevice.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeUi.h"
#include "platform/MemoryRegistry.h"
#include "resources/resource.h"
#include "shell/MainDlg.h"
#include "shell/ShellAdapterUi.h"
#include "shell/ToolSet.h"
#include "shell/kit/ShellContext.h"
#include "sim/SimDevice.h"

namespace odr::config {
namespace {

struct Rig {
    Rig() {
        deviceHost.existing = {"\\\\.\\ODRWINNT1"};
        channel.OpenDriver(&status);
    }
    // The security ID requests sent: their data bytes.
    std::vector<std::vector<uint8_t>> SecurityIds() const {
        std::vector<std::vector<uint8_t>> sent;
        for (size_t i = 0; i < adapter.Calls(); ++i) {
            if (adapter.CommandOf(i) == CMD_SET_SECURITY_ID) sent.push_back(adapter.DataOf(i));
        }
        return sent;
    }

    test::FakeClock clock;
    test::FakeOs os;
    platform::MemoryRegistry registry;
    test::FakeHost host;
    test::FakeAdapter adapter;
    test::FakeDeviceHost deviceHost{adapter};
    Trace trace;
    Channel channel{deviceHost, os, clock, trace};
    AdapterStatus status;
    RssiTable rssi;
    AdapterContext adapterContext{channel, clock, os, status, rssi, nullptr};
    shell::ShellContext ctx{adapterContext, host, registry};
};

std::vector<uint8_t> Bytes(const std::string& text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

TEST(ConfigSecurityIdTest, EntrySentAsTypedWithItsZeroAtMostTwentyCharacters) {
    Rig rig;
    const struct {
        std::string typed;
        std::string sent;
    } cases[] = {
        {"", ""},
        {"GUESTNET", "GUESTNET"},
        {"abcdefghijklmnopqrst", "abcdefghijklmnopqrst"},
        {"abcdefghijklmnopqrstUVWXY", "abcdefghijklmnopqrst"},  // more than the edit takes
    };
    for (const auto& c : cases) {
        rig.adapter.Clear();
        CSecurityIdDlg entry(rig.ctx);
        test::FakeWindow& w = rig.host.Open(entry);
        EXPECT_EQ(w.textLimits[IDC_SECURITY_ID_EDIT], 20);
        EXPECT_EQ(entry.Entry(), "");
        w.texts[IDC_SECURITY_ID_EDIT] = c.typed;
        entry.OnCommand(IDC_SECURITY_ID_OK);
        EXPECT_TRUE(w.ended);
        EXPECT_EQ(w.endResult, 1);
        EXPECT_TRUE(w.mouseCaptured);
        EXPECT_TRUE(w.waitCursor);
        rig.ctx.securityId.Wait();
        ASSERT_EQ(rig.SecurityIds().size(), 1u);
        EXPECT_EQ(rig.SecurityIds()[0], Bytes(c.sent)) << c.typed;
        EXPECT_EQ(rig.adapter.sent[0][kReqValue], 0);
        EXPECT_EQ(rig.ctx.securityId.Last(), c.sent);
        // The worker's message ends the busy indication of a window still there.
        ASSERT_EQ(w.posted, std::vector<unsigned>{kSecurityIdSent});
        EXPECT_TRUE(entry.OnPosted(kSecurityIdSent));
        EXPECT_FALSE(w.mouseCaptured);
        EXPECT_FALSE(w.waitCursor);
        EXPECT_FALSE(entry.OnPosted(kSecurityIdSent + 1));
        rig.host.CloseModeless(entry);
    }
}

TEST(ConfigSecurityIdTest, WarningLeadsOnAndClosesHoweverTheEntryEnds) {
    Rig rig;
    // Cancel in the entry: the warning still closes with OK; nothing is sent.
    rig.host.scripts[IDD_SETUP_WARNING] = [](ui::Dialog& d, test::FakeWindow&) {
        d.OnCommand(IDC_SETUP_CONTINUE);
    };
    rig.host.scripts[IDD_SECURITY_ID] = [](ui::Dialog& d, test::FakeWindow&) { d.OnCommand(2); };
    CSetupWarningDlg warning(rig.ctx);
    EXPECT_EQ(rig.host.RunModal(warning), 1);
    EXPECT_EQ(rig.host.RunTemplates(), (std::vector<int>{IDD_SECURITY_ID, IDD_SETUP_WARNING}));
    EXPECT_EQ(rig.host.runs[0].result, 2);
    EXPECT_EQ(rig.ctx.securityId.SendCount(), 0);

    // Abort: no entry at all.
    rig.host.runs.clear();
    rig.host.scripts[IDD_SETUP_WARNING] = [](ui::Dialog& d, test::FakeWindow&) { d.OnCommand(2); };
    EXPECT_EQ(rig.host.RunModal(warning), 2);
    EXPECT_EQ(rig.host.RunTemplates(), (std::vector<int>{IDD_SETUP_WARNING}));

    // Enter in the entry is its OK button's; an id-1 command sends nothing.
    rig.host.runs.clear();
    rig.host.scripts.clear();
    CSecurityIdDlg entry(rig.ctx);
    rig.host.RunModal(entry);
    EXPECT_EQ(rig.ctx.securityId.SendCount(), 0);
    EXPECT_EQ(rig.adapter.Calls(), 0u);
}

// The worker and the user-interface thread call the driver at once; run under
// ThreadSanitizer this shows the channel and the simulated adapter share nothing unguarded.
TEST(ConfigSecurityIdTest, WorkerAndUserInterfaceCallTheDriverAtOnce) {
    test::FakeClock clock;
    test::FakeOs os;
    Trace trace;
    sim::SimDeviceHost devices(sim::DefaultScenario(), clock);
    Channel channel(devices, os, clock, trace);
    ASSERT_EQ(channel.OpenDriver(), 0);
    SecurityIdSender sender(channel);
    std::atomic<int> done{0};
    for (int round = 0; round < 50; ++round) {
        sender.Send(round % 2 ? "GUESTNET" : "", [&done] { ++done; });
        char master[13] = {}, name[12] = {}, node[13] = {};
        uint8_t ch = 0, sub = 0, sync = 0;
        EXPECT_EQ(GetMasterNode(channel, master, name, &ch, &sub, node, &sync, 0), 0);
    }
    sender.Wait();
    EXPECT_EQ(done.load(), 50);
    EXPECT_EQ(sender.Last(), "GUESTNET");
}

// A worker still running when its window and the context's owner go away is waited for.
TEST(ConfigSecurityIdTest, ContextWaitsForItsWorker) {
    std::atomic<bool> finished{false};
    {
        Rig rig;
        rig.adapter.commands[CMD_SET_SECURITY_ID] = [](const uint8_t*, uint32_t) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            return test::FakeAnswer::Result(0);
        };
        rig.ctx.securityId.Send("SLOW", [&finished] { finished = true; });
    }
    EXPECT_TRUE(finished);
}

TEST(ConfigSecurityIdTest, GetSettingsShowsTheLastCardStart) {
    Rig rig;
    auto Show = [&rig] {
        CGetSettingsDlg info(rig.status);
        rig.host.RunModal(info);
        return rig.host.runs.back().texts;
    };
    // Nothing read yet.
    auto texts = Show();
    EXPECT_EQ(texts[IDC_GS_NODE_ADDRESS], "");
    EXPECT_EQ(texts[IDC_GS_ROM_VERSION], "");
    EXPECT_EQ(texts[IDC_GS_COUNTRY_CODE], "0");
    EXPECT_EQ(texts[IDC_GS_RSSI_MAP], "");
    EXPECT_EQ(rig.host.runs.back().result, 1);

    rig.adapter.items[ITEM_VERSION] = {'V', '1', '.', '5', '0', 'a', 0};
    rig.adapter.items[ITEM_NODE_ADDR] = {0x00, 0x20, 0xa6, 0xf0, 0x00, 0x01};
    rig.adapter.items[ITEM_SYNC_STATE] = {1};
    rig.adapter.commands[CMD_GET_COUNTRY_CODE] = [](const uint8_t*, uint32_t) {
        return test::FakeAnswer::Data({0x4a, 1});
    };
    uint8_t sync = 0;
    ASSERT_EQ(InitCard(rig.adapterContext, &sync, 0, 0), 0);
    texts = Show();
    EXPECT_EQ(texts[IDC_GS_NODE_ADDRESS], "0020a6f00001");
    EXPECT_EQ(texts[IDC_GS_ROM_VERSION], "V1.50a");
    EXPECT_EQ(texts[IDC_GS_COUNTRY_CODE], "4a");
    const std::string rssiBefore = texts[IDC_GS_RSSI_MAP];

    // A start that stops at the country code: the ROM version is new, the rest as before.
    rig.adapter.items[ITEM_VERSION] = {'V', '1', '.', '6', '0', 0};
    rig.adapter.items[ITEM_NODE_ADDR] = {0x00, 0x20, 0xa6, 0xf0, 0x00, 0x02};
    rig.adapter.commands[CMD_GET_COUNTRY_CODE] = [](const uint8_t*, uint32_t) {
        return test::FakeAnswer::Data({0x10, 1}, 5);
    };
    EXPECT_EQ(InitCard(rig.adapterContext, &sync, 0, 0), 5);
    texts = Show();
    EXPECT_EQ(texts[IDC_GS_ROM_VERSION], "V1.60");
    EXPECT_EQ(texts[IDC_GS_COUNTRY_CODE], "4a");
    EXPECT_EQ(texts[IDC_GS_NODE_ADDRESS], "0020a6f00001");
    EXPECT_EQ(texts[IDC_GS_RSSI_MAP], rssiBefore);
}

// Through the main window on the simulated default site: the security ID sent from the
// Configuration window stays sent when that window is cancelled, and the re-check finds the
// GUEST master that only that ID reveals.
TEST(ConfigSecurityIdTest, CancelledConfigurationKeepsTheSentId) {
    test::FakeClock clock;
    clock.yieldStepMs = 10;
    test::FakeOs os;
    Trace trace;
    sim::SimDeviceHost devices(sim::DefaultScenario(), clock);
    Channel channel(devices, os, clock, trace);
    AdapterStatus status;
    RssiTable rssi;
    platform::MemoryRegistry registry;
    test::FakeHost host;
    shell::ShellAdapterUi adapterUi(host);
    AdapterContext adapter{channel, clock, os, status, rssi, &adapterUi};
    shell::ShellContext ctx{adapter, host, registry};
    shell::CToolSet tools(ctx);
    shell::CMainDlg main(ctx, tools);
    host.Open(main);
    main.OnTimer(1);
    ASSERT_NE(main.StatusText().find("LOBBY"), std::string::npos);

    host.scripts[IDD_CONFIGURATION] = [](ui::Dialog& d, test::FakeWindow&) {
        d.OnCommand(IDC_CFG_SECURITY_ID);
        d.OnCommand(2);
    };
    host.scripts[IDD_SETUP_WARNING] = [](ui::Dialog& d, test::FakeWindow&) {
        d.OnCommand(IDC_SETUP_CONTINUE);
    };
    host.scripts[IDD_SECURITY_ID] = [&ctx](ui::Dialog& d, test::FakeWindow& w) {
        w.texts[IDC_SECURITY_ID_EDIT] = "GUESTNET";
        d.OnCommand(IDC_SECURITY_ID_OK);
        ctx.securityId.Wait();  // the fake window goes with the run
    };
    main.OnCommand(IDC_CONFIGURATION);
    EXPECT_EQ(host.RunTemplates(),
              (std::vector<int>{IDD_SECURITY_ID, IDD_SETUP_WARNING, IDD_CONFIGURATION}));
    main.OnTimer(1);
    EXPECT_NE(main.StatusText().find("Synchronized to 0020a6100004  GUEST"), std::string::npos)
        << main.StatusText();
}

}  // namespace
}  // namespace odr::config
