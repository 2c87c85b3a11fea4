// The Master List window against the recording window on the virtual clock: on a scripted
// adapter where the exact calls matter (the domain cycle and its timing, duplicates,
// choosing a master, Use Domain, the station type, a lost driver, a failed move), and from
// the main window on the simulated default site.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/RssiTable.h"
#include "fakes/FakeChannel.h"
#include "fakes/FakeShell.h"
#include "fakes/FakeUi.h"
#include "fakes/ShippedScenario.h"
#include "fakes/SimShell.h"
#include "masters/ChangeDomainDlg.h"
#include "masters/MasterListDlg.h"
#include "platform/MemoryRegistry.h"
#include "resources/resource.h"
#include "settings/AdapterSettings.h"
#include "shell/MainDlg.h"
#include "shell/ShellAdapterUi.h"
#include "shell/ToolSet.h"
#include "shell/kit/HelpDlg.h"
#include "sim/Scenario.h"
#include "sim/SimDevice.h"
#include "survey/SiteSurveyDlg.h"

namespace odr::masters {
namespace {

using test::FakeAnswer;

const char kNtKey[] = "System\\CurrentControlSet\\Services\\odrwinnt1\\Parameters";

std::vector<uint8_t> Bytes(const std::string& address) {
    std::vector<uint8_t> b(6);
    for (size_t i = 0; i < 6; ++i) b[i] = uint8_t(std::stoi(address.substr(2 * i, 2), nullptr, 16));
    return b;
}

// The stored "Domain" value's bytes, "" when absent.
std::string StoredDomain(const platform::MemoryRegistry& registry) {
    uint32_t type = 0;
    std::string bytes;
    return registry.GetValue(kNtKey, "Domain", &type, &bytes) ? bytes : std::string();
}

std::string Dword(uint32_t v) {
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

struct Heard {
    std::string address;
    std::string name;
    uint8_t channel;
    uint8_t subchannel;
};

struct RecordingLauncher : shell::NoTools {
    shell::ShellContext* ctx = nullptr;
    std::vector<shell::LinkTestTarget> targets;
    std::vector<std::string> statusMasters;  // the status record's master when a tool opened
    std::vector<bool> cellSurveys;           // in range, per View Cell
    std::vector<int> helpContexts;
    std::function<void()> during;
    void RunLinkTest(const shell::LinkTestTarget& target) override {
        targets.push_back(target);
        statusMasters.push_back(std::string(ctx->adapter.status.masterName) + " " +
                                ctx->adapter.status.masterAddress);
        helpContexts.push_back(ctx->helpContext);
        if (during) during();
    }
    void RunCellSurvey(settings::AdapterSettings&, bool inRange) override {
        cellSurveys.push_back(inRange);
        statusMasters.push_back(std::string(ctx->adapter.status.masterName) + " " +
                                ctx->adapter.status.masterAddress);
        helpContexts.push_back(ctx->helpContext);
        if (during) during();
    }
};

// The window on a scripted adapter: a search of domain d hears the masters of heard[d]
// in turn, one more every 300 ms; stop-search ends the synchronisation (unless stickySync:
// then only ClearMasterAddr does, and a search hearing nobody keeps the master it had).
struct MasterRig : test::FakeShell {
    struct Call {
        uint32_t at;
        uint32_t command;
        int domain;
    };

    explicit MasterRig(const char* version = "V1.50a") {
        auto& a = fc.adapter;
        std::vector<uint8_t> v(version, version + std::strlen(version));
        v.resize(7);
        a.items[ITEM_VERSION] = v;
        a.items[ITEM_SYNC_STATE] = {0};
        a.items[ITEM_ROAMING] = {1};
        a.commands[CMD_SEARCH_ASYNCHRONOUS] = [this](const uint8_t* data, uint32_t) {
            calls.push_back({fc.clock.now, CMD_SEARCH_ASYNCHRONOUS, data[2]});
            searching = data[2];
            searchFrom = fc.clock.now;
            return searchAnswer;
        };
        a.commands[CMD_STOP_SEARCH] = [this](const uint8_t*, uint32_t) {
            calls.push_back({fc.clock.now, CMD_STOP_SEARCH, -1});
            searching = -1;
            if (syncOnStop) Hear(*syncOnStop);
            syncOnStop.reset();
            return FakeAnswer::Result(stopResult);
        };
        a.commands[CMD_GET_DRIVER_DATA] = [this](const uint8_t*, uint32_t) {
            Listen();
            return FakeAnswer::Pass();
        };
        a.commands[CMD_REATTACH_DRIVER] = [this](const uint8_t*, uint32_t) {
            calls.push_back({fc.clock.now, CMD_REATTACH_DRIVER, -1});
            return FakeAnswer::Result(0);
        };
        // Station type 0 as stored, the NT layout.
        registry.SetString(kNtKey, "Master_Name", "Home");
        registry.SetDword(kNtKey, "Domain", 1);
        settings.LoadSettings();
        launcher.ctx = &ctx;
    }
    // The items GetMasterNode reads, for what the current search hears now.
    void Listen() {
        if (!stickySync) fc.adapter.items[ITEM_SYNC_STATE] = {0};
        if (searching < 0 || heard[searching].empty()) return;
        const uint32_t steps = (fc.clock.now - searchFrom) / 300;
        if (steps == 0) return;
        Hear(heard[searching][(steps - 1) % heard[searching].size()]);
    }
    // The adapter is synchronised to `h`.
    void Hear(const Heard& h) {
        auto& items = fc.adapter.items;
        items[ITEM_SYNC_STATE] = {1};
        items[ITEM_SYNC_MASTER_ADDR] = Bytes(h.address);
        items[ITEM_SYNC_MASTER_NAME] = std::vector<uint8_t>(h.name.begin(), h.name.end());
        items[ITEM_SYNC_CHANNEL] = {h.channel};
        items[ITEM_SYNC_SUBCHANNEL] = {h.subchannel};
    }

    test::FakeWindow& Open(int mode) {
        dialog.SetSearchMode(mode);
        w = &host.Open(dialog);
        return *w;
    }
    void Tick() {
        fc.clock.Advance(100);
        dialog.OnTimer(kSearchTimer);
    }
    void Run(uint32_t ms) {
        const uint32_t end = fc.clock.now + ms;
        while (fc.clock.now < end) Tick();
    }
    test::FakeListView& List() { return w->listViews[IDC_ML_LIST]; }
    // A click on row `row` (-1: beside the rows).
    void Click(int row) {
        for (int r = 0; r < List().RowCount(); ++r) List().SetSelected(r, r == row);
        dialog.OnNotify(IDC_ML_LIST, ui::Notify::Clicked);
    }
    bool ActionsEnabled(bool all) const {
        const bool use = w->IsEnabled(IDC_ML_USE_DOMAIN);
        const bool test = w->IsEnabled(IDC_ML_TEST_LINK) && w->IsEnabled(IDC_ML_VIEW_CELL);
        return all ? use && test : use || test;
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (int r = 0; r < List().RowCount(); ++r) {
            std::string row;
            for (int c = 0; c < 4; ++c) row += (c ? "|" : "") + List().Cell(r, c);
            rows.push_back(row);
        }
        return rows;
    }
    std::vector<int> SearchedDomains() const {
        std::vector<int> d;
        for (const Call& c : calls) {
            if (c.command == CMD_SEARCH_ASYNCHRONOUS) d.push_back(c.domain);
        }
        return d;
    }
    // Values SetDriverData wrote for item `id`, in order.
    std::vector<uint8_t> Written(uint16_t id) const {
        std::vector<uint8_t> values;
        for (size_t i = 0; i < fc.adapter.sent.size(); ++i) {
            if (fc.adapter.CommandOf(i) != CMD_SET_DRIVER_DATA) continue;
            const std::vector<uint8_t> d = fc.adapter.DataOf(i);
            for (size_t at = 0; at + 6 <= d.size();) {
                const uint16_t item = uint16_t(d[at] | d[at + 1] << 8);
                const uint16_t size = uint16_t(d[at + 2] | d[at + 3] << 8);
                if (item == 0) break;
                if (item == id && size > 0 && at + 6 < d.size()) values.push_back(d[at + 6]);
                at += 6 + size;
            }
        }
        return values;
    }

    settings::AdapterSettings settings{registry, fc.os,
                                       [this] { return fc.channel.GetDriverKind(); }};
    RecordingLauncher launcher;
    CMasterListDlg dialog{ctx, settings, launcher};
    test::FakeWindow* w = nullptr;
    std::map<int, std::vector<Heard>> heard;
    std::vector<Call> calls;
    int searching = -1;
    uint32_t searchFrom = 0;
    int stopResult = 0;
    FakeAnswer searchAnswer = FakeAnswer::Result(0);
    bool stickySync = false;
    std::optional<Heard> syncOnStop;  // the master the next stop-search lands on
};

TEST(MasterListDlgTest, OpeningSetsUpTheWindowAndSearchesAtTheFirstTick) {
    MasterRig rig;
    rig.settings.domain = 5;
    test::FakeWindow& w = rig.Open(kSearchOne);
    EXPECT_EQ(w.RadioIndex(IDC_ML_SEARCH_ALL), 1);
    EXPECT_EQ(w.dropLists[IDC_MASTER_DOMAIN_LIST].items.size(), 16u);
    EXPECT_EQ(w.dropLists[IDC_MASTER_DOMAIN_LIST].SelectedText(), "5");
    EXPECT_EQ(w.GetText(IDC_ML_SEARCHING), "5");
    EXPECT_TRUE(w.IsEnabled(IDC_MASTER_DOMAIN_LIST));
    EXPECT_EQ(rig.List().columns,
              (std::vector<std::pair<std::string, int>>{
                  {"Address", 96}, {"Domain", 48}, {"Ch/Sub", 56}, {"Name", 99}}));
    EXPECT_EQ(w.TimerInterval(kSearchTimer), 100u);
    EXPECT_EQ(rig.ctx.acceleratorTarget, &rig.dialog);
    EXPECT_TRUE(rig.dialog.TestSupported());
    EXPECT_FALSE(rig.ActionsEnabled(false));
    // Station type 0: the adapter is left as it is.
    EXPECT_TRUE(rig.Written(ITEM_STATION_TYPE).empty());

    rig.Tick();
    EXPECT_EQ(rig.SearchedDomains(), (std::vector<int>{5}));
    // Of the program's accelerators only Alt+D is the list's; the rest (Alt+T, Alt+U, Alt+V
    // among them) are left to the window's own mnemonics.
    for (int id :
         {IDC_STATION_TYPE, IDC_MASTER_NAME, IDC_CHANNEL, IDC_SUBCHANNEL, IDC_DOMAIN,
          IDC_MAC_OPTIMIZE, IDC_ROAM_CONFIG, IDC_INACTIVITY_SECONDS, IDC_INACTIVITY_MINUTES}) {
        EXPECT_FALSE(rig.dialog.HandlesAccelerator(id)) << id;
    }
    EXPECT_TRUE(rig.dialog.HandlesAccelerator(IDC_MASTER_DOMAIN_LIST));
    rig.dialog.OnAccelerator(IDC_MASTER_DOMAIN_LIST);
    EXPECT_EQ(w.focus, IDC_MASTER_DOMAIN_LIST);
    rig.dialog.OnCommand(IDC_ML_HELP);
    EXPECT_EQ(rig.host.RunTemplates(), (std::vector<int>{IDD_HELP}));
}

// From stored domain 15, Search All listens to 0, 1, 2, ... for 1.5 s each, with the 0.5 s
// stop-search pause (slept, not spun) before every step.
TEST(MasterListDlgTest, SearchAllStepsFromTheStoredDomainEveryTwoSeconds) {
    MasterRig rig;
    rig.settings.domain = 15;
    test::FakeWindow& w = rig.Open(kSearchAll);
    EXPECT_FALSE(w.IsEnabled(IDC_MASTER_DOMAIN_LIST));
    const int sleepsBefore = rig.fc.clock.sleeps;
    rig.Run(6000);
    EXPECT_EQ(rig.SearchedDomains(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(w.GetText(IDC_ML_SEARCHING), "2");
    std::vector<uint32_t> stops, searches;
    for (const auto& c : rig.calls)
        (c.command == CMD_STOP_SEARCH ? stops : searches).push_back(c.at);
    ASSERT_EQ(stops.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(searches[i] - stops[i], 500u);
        if (i > 0) {
            EXPECT_EQ(stops[i] - searches[i - 1], 1500u);
        }
    }
    // A few sleeps per pause, not one per millisecond.
    EXPECT_LE(rig.fc.clock.sleeps - sleepsBefore, 3 * 25);
    EXPECT_EQ(w.textLog[IDC_ML_SEARCHING], (std::vector<std::string>{"15", "0", "1", "2"}));
}

TEST(MasterListDlgTest, AMasterHeardInALaterDomainKeepsItsFirstDomainAndOneRow) {
    MasterRig rig;
    rig.settings.domain = 2;
    rig.heard[3] = {{"0020a6100001", "LOBBY", 3, 2}, {"0020a6100002", "WAREHOUSE", 9, 1}};
    rig.heard[4] = {{"0020a6100001", "LOBBY", 4, 4}};
    rig.heard[5] = {{"0020a6100002", "WAREHOUSE", 9, 1}};
    rig.Open(kSearchAll);
    rig.Run(8000);
    EXPECT_EQ(rig.SearchedDomains(), (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(rig.Rows(), (std::vector<std::string>{"0020a6100001|3|3/2|LOBBY",
                                                    "0020a6100002|3|9/1|WAREHOUSE"}));
    EXPECT_EQ(rig.List().RowRef(1), 2);
    EXPECT_EQ(rig.dialog.Masters().Count(), 2);
}

TEST(MasterListDlgTest, ChoosingAMasterEnablesItsActionsAndAClickBesideTheRowsKeepsThem) {
    MasterRig rig;
    rig.heard[1] = {{"0020a6100003", "ANNEX", 5, 1}};
    test::FakeWindow& w = rig.Open(kSearchOne);
    rig.Run(1000);
    ASSERT_EQ(rig.List().RowCount(), 1);

    // A keyboard move alone chooses nothing.
    rig.List().SetSelected(0, true);
    EXPECT_EQ(rig.dialog.Selected(), nullptr);
    rig.dialog.OnNotify(IDC_ML_LIST, ui::Notify::FocusGained);
    ASSERT_NE(rig.dialog.Selected(), nullptr);
    EXPECT_EQ(rig.dialog.Selected()->name, "ANNEX");
    EXPECT_TRUE(rig.ActionsEnabled(true));

    rig.Click(-1);
    EXPECT_EQ(rig.dialog.Selected(), nullptr);
    EXPECT_TRUE(rig.ActionsEnabled(true));
    // Test Link then only pauses the search and starts it again.
    rig.calls.clear();
    w.timerLog.clear();
    rig.dialog.OnCommand(IDC_ML_TEST_LINK);
    EXPECT_TRUE(rig.launcher.targets.empty());
    EXPECT_EQ(rig.calls.size(), 1u);
    EXPECT_EQ(rig.calls[0].command, uint32_t(CMD_STOP_SEARCH));
    EXPECT_EQ(w.timerLog, (std::vector<std::pair<int, unsigned>>{{1, 0}, {1, 100}}));
    EXPECT_FALSE(rig.ActionsEnabled(false));

    // Search All and the domain list drop the choice too.
    rig.Click(0);
    rig.dialog.OnCommand(IDC_ML_SEARCH_ALL);
    EXPECT_EQ(rig.dialog.Selected(), nullptr);
    EXPECT_FALSE(rig.ActionsEnabled(false));
    EXPECT_FALSE(w.IsEnabled(IDC_MASTER_DOMAIN_LIST));
    EXPECT_FALSE(w.IsEnabled(IDC_ML_DOMAIN_LABEL));
    rig.dialog.OnCommand(IDC_ML_SEARCH_ONE);
    EXPECT_TRUE(w.IsEnabled(IDC_MASTER_DOMAIN_LIST));
    w.dropLists[IDC_MASTER_DOMAIN_LIST].Select(9);
    rig.Click(0);
    rig.dialog.OnNotify(IDC_MASTER_DOMAIN_LIST, ui::Notify::SelectionChanged);
    EXPECT_EQ(rig.dialog.CurrentDomain(), 9);
    EXPECT_EQ(w.GetText(IDC_ML_SEARCHING), "9");
    EXPECT_FALSE(rig.ActionsEnabled(false));
}

TEST(MasterListDlgTest, OldFirmwareNeverOffersTestLinkOrViewCell) {
    MasterRig rig("V1.48");
    rig.heard[1] = {{"0020a6100003", "ANNEX", 5, 1}};
    test::FakeWindow& w = rig.Open(kSearchOne);
    rig.Run(1000);
    EXPECT_FALSE(rig.dialog.TestSupported());
    rig.Click(0);
    EXPECT_TRUE(w.IsEnabled(IDC_ML_USE_DOMAIN));
    EXPECT_FALSE(w.IsEnabled(IDC_ML_TEST_LINK));
    EXPECT_FALSE(w.IsEnabled(IDC_ML_VIEW_CELL));
    const size_t calls = rig.fc.adapter.Calls();
    rig.dialog.OnNotify(IDC_ML_LIST, ui::Notify::DoubleClicked);
    EXPECT_EQ(rig.fc.adapter.Calls(), calls);
    EXPECT_TRUE(rig.launcher.targets.empty());
}

TEST(MasterListDlgTest, UseDomainAnsweredNoChangesNothingButTheChoice) {
    MasterRig rig;
    rig.heard[1] = {{"0020a6100003", "ANNEX", 5, 1}};
    test::FakeWindow& w = rig.Open(kSearchAll);
    rig.heard[2] = rig.heard[1];
    rig.Run(2500);  // heard first in domain 2
    ASSERT_EQ(rig.List().RowCount(), 1);
    rig.Click(0);
    std::string question;
    rig.host.scripts[IDD_CHANGE_DOMAIN] = [&](ui::Dialog& d, test::FakeWindow& q) {
        question = q.GetText(IDC_CD_QUESTION);
        d.OnCommand(2);
    };
    rig.dialog.OnCommand(IDC_ML_USE_DOMAIN);
    EXPECT_EQ(question, "Update to Domain 2?");
    EXPECT_EQ(rig.dialog.Selected(), nullptr);
    EXPECT_FALSE(rig.ActionsEnabled(false));
    EXPECT_TRUE(rig.Written(ITEM_DOMAIN).empty());
    EXPECT_EQ(StoredDomain(rig.registry), Dword(1));
    EXPECT_EQ(rig.settings.domain, 1);
    EXPECT_EQ(w.RadioIndex(IDC_ML_SEARCH_ALL), 0);
    rig.dialog.OnCommand(1);
    EXPECT_EQ(rig.dialog.SearchMode(), kSearchAll);
}

// "&Yes" on the domain already searched still writes the adapter and the stored settings and
// switches to Search One.
TEST(MasterListDlgTest, UseDomainConfirmedWritesAdapterAndStoreAndSearchesThatDomain) {
    MasterRig rig;
    rig.settings.domain = 7;
    rig.heard[7] = {{"0020a6100003", "ANNEX", 5, 1}};
    test::FakeWindow& w = rig.Open(kSearchNone);
    rig.Run(1000);
    ASSERT_EQ(rig.List().RowCount(), 1);
    rig.Click(0);
    rig.host.scripts[IDD_CHANGE_DOMAIN] = [&](ui::Dialog& d, test::FakeWindow&) { d.OnCommand(1); };
    rig.dialog.OnCommand(IDC_ML_USE_DOMAIN);
    EXPECT_EQ(rig.Written(ITEM_DOMAIN), (std::vector<uint8_t>{7}));
    EXPECT_EQ(StoredDomain(rig.registry), Dword(7));
    EXPECT_EQ(rig.settings.domain, 7);
    EXPECT_EQ(w.RadioIndex(IDC_ML_SEARCH_ALL), 1);
    EXPECT_TRUE(w.IsEnabled(IDC_MASTER_DOMAIN_LIST));
    EXPECT_EQ(w.dropLists[IDC_MASTER_DOMAIN_LIST].SelectedText(), "7");
    EXPECT_FALSE(rig.ActionsEnabled(false));
    rig.Run(2000);
    EXPECT_EQ(rig.SearchedDomains().back(), 7);
    rig.dialog.OnCommand(1);
    EXPECT_EQ(rig.dialog.SearchMode(), kSearchOne);
}

TEST(MasterListDlgTest, AStoredMasterListensAsAStationWhileTheListIsOpen) {
    MasterRig rig;
    rig.settings.stationType = 2;
    rig.Open(kSearchOne);
    EXPECT_EQ(rig.Written(ITEM_STATION_TYPE), (std::vector<uint8_t>{0}));
    EXPECT_EQ(rig.fc.adapter.Count(CMD_START_CARD), 1u);
    rig.host.CloseModeless(rig.dialog);
    EXPECT_EQ(rig.Written(ITEM_STATION_TYPE), (std::vector<uint8_t>{0, 2}));
}

TEST(MasterListDlgTest, ALostDriverIsReattachedBeforeAnythingElse) {
    MasterRig rig;
    rig.Open(kSearchOne);
    rig.Tick();
    rig.fc.adapter.script.push_back(FakeAnswer::Error(31));  // GetMasterNode not carried
    rig.Tick();
    EXPECT_TRUE(rig.dialog.ReattachNeeded());
    // The channel does not open again: only the opening is tried.
    rig.fc.host.existing.clear();
    rig.calls.clear();
    const size_t calls = rig.fc.adapter.Calls();
    rig.Run(3000);
    EXPECT_EQ(rig.fc.adapter.Calls(), calls);
    EXPECT_TRUE(rig.dialog.ReattachNeeded());
    // Back: re-attached, then the search goes on.
    rig.fc.host.existing.insert("\\\\.\\ODRWINNT1");
    rig.Tick();
    EXPECT_FALSE(rig.dialog.ReattachNeeded());
    ASSERT_EQ(rig.calls.size(), 3u);
    EXPECT_EQ(rig.calls[0].command, uint32_t(CMD_REATTACH_DRIVER));
    EXPECT_EQ(rig.calls[1].command, uint32_t(CMD_STOP_SEARCH));
    EXPECT_EQ(rig.calls[2].command, uint32_t(CMD_SEARCH_ASYNCHRONOUS));
}

// A move that never synchronises (-2) still opens the test on the chosen master, named in
// the status record, with the master's domain, channel and subchannel; the search is
// stopped once more afterwards and the list searches again.
TEST(MasterListDlgTest, TestLinkOnAMasterThatNeverAnswersStillOpensTheTest) {
    MasterRig rig;
    rig.heard[1] = {{"0020a6100003", "ANNEX", 5, 1}};
    rig.registry.SetDword(kNtKey, "Radio_Mode", 2);
    test::FakeWindow& w = rig.Open(kSearchOne);
    rig.Run(1000);
    rig.heard.clear();  // gone before the move
    rig.Click(0);
    rig.ctx.helpContext = 1000;
    rig.dialog.OnNotify(IDC_ML_LIST, ui::Notify::DoubleClicked);
    ASSERT_EQ(rig.launcher.targets.size(), 1u);
    const shell::LinkTestTarget& t = rig.launcher.targets[0];
    EXPECT_EQ(t.address, "0020a6100003");
    EXPECT_EQ(t.masterDomain, 1);
    EXPECT_EQ(t.masterChannel, 5);
    EXPECT_EQ(t.masterSubchannel, 1);
    EXPECT_EQ(t.stationType, 0);
    EXPECT_EQ(t.radioMode, 2);
    EXPECT_EQ(rig.launcher.statusMasters[0], "ANNEX 0020a6100003");
    EXPECT_EQ(rig.launcher.helpContexts[0], 1124);
    EXPECT_EQ(rig.ctx.helpContext, 1000);
    EXPECT_EQ(rig.calls.back().command, uint32_t(CMD_STOP_SEARCH));
    EXPECT_FALSE(rig.List().IsSelected(0));
    EXPECT_EQ(rig.dialog.Selected(), nullptr);
    EXPECT_EQ(w.TimerInterval(kSearchTimer), 100u);

    // View Cell on a master the adapter reaches opens the survey in range.
    rig.heard[1] = {{"0020a6100003", "ANNEX", 5, 1}};
    rig.fc.adapter.commands[CMD_SEARCH_SYNCHRONOUS] = [&](const uint8_t*, uint32_t) {
        rig.searching = 1;
        rig.searchFrom = rig.fc.clock.now - 300;
        return FakeAnswer::Result(0);
    };
    rig.Click(0);
    rig.dialog.OnCommand(IDC_ML_VIEW_CELL);
    EXPECT_EQ(rig.launcher.cellSurveys, (std::vector<bool>{true}));
}

// On an adapter that keeps its synchronisation across a stopped search, only the masters
// this window's searches hear are listed: neither the one the adapter was on when the
// window opened nor one it synchronised to just as a search was stopped.
TEST(MasterListDlgTest, TheAdapterForgetsItsMasterBeforeEverySearch) {
    MasterRig rig;
    rig.stickySync = true;
    rig.settings.domain = 2;
    rig.Hear({"0020a6100009", "HOME", 1, 1});
    rig.heard[3] = {{"0020a6100001", "LOBBY", 3, 2}};
    rig.Open(kSearchAll);
    rig.Run(2000);
    rig.syncOnStop = Heard{"0020a6100005", "LATE", 7, 1};
    rig.Run(2000);
    EXPECT_EQ(rig.SearchedDomains(), (std::vector<int>{3, 4}));
    EXPECT_EQ(rig.Rows(), (std::vector<std::string>{"0020a6100001|3|3/2|LOBBY"}));
}

// The stop-search is sent again after the pause only when it answered other than 0, 1 or 2.
TEST(MasterListDlgTest, StopSearchIsRepeatedOnlyAfterAnUnexpectedResult) {
    for (int result : {0, 1, 2, 3, -1}) {
        MasterRig rig;
        rig.stopResult = result;
        rig.Open(kSearchOne);
        rig.Tick();
        std::vector<uint32_t> stops;
        for (const auto& c : rig.calls) {
            if (c.command == CMD_STOP_SEARCH) stops.push_back(c.at);
        }
        ASSERT_EQ(stops.size(), result >= 0 && result <= 2 ? 1u : 2u) << result;
        if (stops.size() == 2) {
            EXPECT_EQ(stops[1] - stops[0], 500u);
        }
        EXPECT_EQ(rig.calls.back().command, uint32_t(CMD_SEARCH_ASYNCHRONOUS)) << result;
    }
}

// A search request that does not reach the driver makes the next tick re-attach first;
// a refused one is not acted on.
TEST(MasterListDlgTest, ASearchThatDoesNotReachTheDriverReattachesIt) {
    MasterRig rig;
    rig.searchAnswer = FakeAnswer::Result(-1);
    rig.Open(kSearchOne);
    rig.Tick();
    EXPECT_FALSE(rig.dialog.ReattachNeeded());
    rig.Run(2000);
    EXPECT_EQ(rig.SearchedDomains(), (std::vector<int>{1, 1}));

    rig.searchAnswer = FakeAnswer::Error(31);
    rig.Run(2000);
    EXPECT_TRUE(rig.dialog.ReattachNeeded());
    rig.searchAnswer = FakeAnswer::Result(0);
    rig.calls.clear();
    rig.Tick();
    EXPECT_FALSE(rig.dialog.ReattachNeeded());
    ASSERT_FALSE(rig.calls.empty());
    EXPECT_EQ(rig.calls[0].command, uint32_t(CMD_REATTACH_DRIVER));
}

// "&Search One" searches the domain chosen in the drop-down list from the next step on, and
// a change of that list drops the chosen master.
TEST(MasterListDlgTest, SearchOneSearchesTheListedDomainAndAListChangeDropsTheChoice) {
    MasterRig rig;
    rig.settings.domain = 4;
    rig.heard[6] = {{"0020a6100003", "ANNEX", 5, 1}};
    rig.heard[9] = rig.heard[6];
    test::FakeWindow& w = rig.Open(kSearchAll);
    rig.Run(1000);
    w.dropLists[IDC_MASTER_DOMAIN_LIST].Select(9);
    rig.dialog.OnCommand(IDC_ML_SEARCH_ONE);
    EXPECT_EQ(w.GetText(IDC_ML_SEARCHING), "9");
    rig.Run(4000);
    EXPECT_EQ(rig.SearchedDomains(), (std::vector<int>{5, 9, 9}));
    ASSERT_EQ(rig.Rows(), (std::vector<std::string>{"0020a6100003|9|5/1|ANNEX"}));

    rig.Click(0);
    ASSERT_NE(rig.dialog.Selected(), nullptr);
    w.dropLists[IDC_MASTER_DOMAIN_LIST].Select(6);
    rig.dialog.OnNotify(IDC_MASTER_DOMAIN_LIST, ui::Notify::SelectionChanged);
    EXPECT_EQ(rig.dialog.Selected(), nullptr);
    EXPECT_EQ(w.GetText(IDC_ML_SEARCHING), "6");
    rig.dialog.OnCommand(IDC_ML_TEST_LINK);
    EXPECT_TRUE(rig.launcher.targets.empty());
    rig.Run(2000);
    EXPECT_EQ(rig.SearchedDomains().back(), 6);
}

// Opening as a master or an alternate master turns the adapter into a station and closing
// writes the stored type back; a station is left alone both times.
TEST(MasterListDlgTest, EveryStoredTypeButStationListensAsAStation) {
    for (int type : {0, 1, 2}) {
        MasterRig rig;
        rig.settings.stationType = type;
        rig.Open(kSearchOne);
        rig.host.CloseModeless(rig.dialog);
        const std::vector<uint8_t> expected =
            type == 0 ? std::vector<uint8_t>{} : std::vector<uint8_t>{0, uint8_t(type)};
        EXPECT_EQ(rig.Written(ITEM_STATION_TYPE), expected) << type;
        EXPECT_EQ(rig.fc.adapter.Count(CMD_START_CARD), type == 0 ? 0u : 1u) << type;
    }
}

TEST(MasterListDlgTest, HelpShowsTheMasterListSection) {
    MasterRig rig;
    rig.Open(kSearchOne);
    std::string keywords;
    rig.host.scripts[IDD_HELP] = [&](ui::Dialog& d, test::FakeWindow&) {
        auto& help = static_cast<shell::CHelpDlg&>(d);
        keywords = help.StartKeyword() + "|" + help.EndKeyword() + "|" + help.Title();
    };
    rig.dialog.OnCommand(IDC_ML_HELP);
    EXPECT_EQ(keywords, "HELPMSTR|HELPCONFIG|Master List Help");
}

// A master chosen in a list that can reach it: the adapter is moved onto it while the
// search is stopped. Whatever SynchToMaster answers, the test and the survey open on it,
// the survey in range only for 0; only after a -2 is the search stopped again when the test
// has closed.
TEST(MasterListDlgTest, TestLinkAndViewCellFollowTheMoveResult) {
    MasterRig rig;
    rig.heard[1] = {{"0020a6100003", "ANNEX", 5, 1}};
    rig.Open(kSearchOne);
    rig.Run(1000);
    size_t mark = 0;
    rig.launcher.during = [&] { mark = rig.calls.size(); };
    auto stopsAfterTool = [&] {
        size_t stops = 0;
        for (size_t i = mark; i < rig.calls.size(); ++i) {
            if (rig.calls[i].command == CMD_STOP_SEARCH) ++stops;
        }
        return stops;
    };
    // Never synchronised (-2), the master gone.
    rig.heard.clear();
    rig.Click(0);
    rig.dialog.OnCommand(IDC_ML_TEST_LINK);
    ASSERT_EQ(rig.launcher.targets.size(), 1u);
    EXPECT_EQ(stopsAfterTool(), 1u);
    rig.Click(0);
    rig.dialog.OnCommand(IDC_ML_VIEW_CELL);
    EXPECT_EQ(rig.launcher.statusMasters.back(), "ANNEX 0020a6100003");
    EXPECT_EQ(stopsAfterTool(), 0u);

    // Synchronised to another master (-1): named as the chosen one, no further stop.
    rig.stickySync = true;
    auto syncTo = [&](const Heard& h) {
        rig.fc.adapter.commands[CMD_SEARCH_SYNCHRONOUS] = [&rig, h](const uint8_t*, uint32_t) {
            rig.Hear(h);
            return FakeAnswer::Result(0);
        };
    };
    syncTo({"0020a6100004", "OTHER", 5, 1});
    rig.Click(0);
    rig.dialog.OnCommand(IDC_ML_TEST_LINK);
    EXPECT_EQ(rig.launcher.statusMasters.back(), "ANNEX 0020a6100003");
    EXPECT_EQ(stopsAfterTool(), 0u);
    rig.Click(0);
    rig.dialog.OnCommand(IDC_ML_VIEW_CELL);

    syncTo({"0020a6100003", "ANNEX", 5, 1});
    rig.Click(0);
    rig.dialog.OnCommand(IDC_ML_VIEW_CELL);
    rig.Click(0);
    rig.dialog.OnCommand(IDC_ML_TEST_LINK);
    EXPECT_EQ(stopsAfterTool(), 0u);
    EXPECT_EQ(rig.launcher.targets.size(), 3u);
    EXPECT_EQ(rig.launcher.cellSurveys, (std::vector<bool>{false, false, true}));
}

// SynchToMaster lets mouse messages through: after a click beside the rows, or Done, while it
// polls, neither the test nor the survey opens; the search goes on only in a list still open.
TEST(MasterListDlgTest, AChoiceUndoneOrAListDismissedDuringTheMoveOpensNothing) {
    for (int action : {IDC_ML_TEST_LINK, IDC_ML_VIEW_CELL}) {
        for (bool done : {false, true}) {
            MasterRig rig;
            rig.heard[1] = {{"0020a6100003", "ANNEX", 5, 1}};
            test::FakeWindow& w = rig.Open(kSearchOne);
            rig.Run(1000);
            rig.stickySync = true;
            rig.fc.adapter.commands[CMD_SEARCH_SYNCHRONOUS] = [&](const uint8_t*, uint32_t) {
                rig.Hear({"0020a6100003", "ANNEX", 5, 1});
                if (done) {
                    rig.dialog.OnCommand(1);
                } else {
                    rig.Click(-1);
                }
                return FakeAnswer::Result(0);
            };
            rig.Click(0);
            rig.dialog.OnCommand(action);
            EXPECT_TRUE(rig.launcher.targets.empty()) << action << done;
            EXPECT_TRUE(rig.launcher.cellSurveys.empty()) << action << done;
            EXPECT_EQ(w.ended, done);
            EXPECT_EQ(w.TimerInterval(kSearchTimer), done ? 0u : 100u) << action << done;
        }
    }
}

// The main window with the real tool set on the simulated adapter; the stored settings are
// a Station in domain `domain` (NT layout).
struct SimRig : test::SimShell {
    SimRig(sim::Scenario scenario, int domain) : SimShell(std::move(scenario)) {
        registry.SetString(kNtKey, "Master_Name", "Home");
        registry.SetDword(kNtKey, "Domain", uint32_t(domain));
        host.Open(main);
        main.OnTimer(1);
    }
    // Opens the list from the main window, runs Search All for `ms` and hands the list and
    // its window to `then` before Done.
    void SearchAll(uint32_t ms, std::function<void(CMasterListDlg&, test::FakeWindow&)> then) {
        host.scripts[IDD_MASTER_LIST] = [=](ui::Dialog& d, test::FakeWindow& w) {
            auto& list = static_cast<CMasterListDlg&>(d);
            helpContext = ctx.helpContext;
            list.OnCommand(IDC_ML_SEARCH_ALL);
            w.SetRadioIndex(IDC_ML_SEARCH_ALL, 0);
            for (uint32_t t = 0; t < ms; t += kSearchTickMs) {
                clock.Advance(kSearchTickMs);
                list.OnTimer(kSearchTimer);
            }
            test::FakeListView& lv = w.listViews[IDC_ML_LIST];
            rows.clear();
            for (int r = 0; r < lv.RowCount(); ++r) {
                rows.push_back(lv.Cell(r, 0) + "|" + lv.Cell(r, 1) + "|" + lv.Cell(r, 2) + "|" +
                               lv.Cell(r, 3));
            }
            if (then) then(list, w);
            list.OnCommand(1);
        };
        main.OnCommand(IDC_MASTERS);
    }

    std::vector<std::string> rows;
    int helpContext = 0;
};

// The main window's "&Masters..." on the simulated default site: Search All lists the masters
// of domains 1 and 7 (never the one with another security ID), and a confirmed Use Domain on
// ANNEX makes the next check run synchronise in domain 7.
TEST(MasterListDlgTest, MainWindowListsTheDefaultSiteAndMovesToAnotherDomain) {
    SimRig rig(sim::DefaultScenario(), 1);
    ASSERT_TRUE(rig.main.AdapterReady());
    ASSERT_NE(rig.main.StatusText().find("LOBBY"), std::string::npos);
    rig.host.scripts[IDD_CHANGE_DOMAIN] = [](ui::Dialog& d, test::FakeWindow&) { d.OnCommand(1); };
    rig.SearchAll(34000, [](CMasterListDlg& list, test::FakeWindow& w) {
        test::FakeListView& lv = w.listViews[IDC_ML_LIST];
        for (int r = 0; r < lv.RowCount(); ++r) lv.SetSelected(r, lv.Cell(r, 3) == "ANNEX");
        list.OnNotify(IDC_ML_LIST, ui::Notify::Clicked);
        list.OnCommand(IDC_ML_USE_DOMAIN);
    });
    EXPECT_EQ(rig.helpContext, 1000);
    // From domain 1, Search All reaches 7 before it comes round to 1 again.
    EXPECT_EQ(rig.rows,
              (std::vector<std::string>{"0020a6100003|7|5/1|ANNEX", "0020a6100001|1|3/1|LOBBY",
                                        "0020a6100002|1|9/2|WAREHOUSE"}));
    EXPECT_EQ(rig.main.SearchMode(), kSearchOne);
    EXPECT_EQ(StoredDomain(rig.registry), Dword(7));
    rig.main.OnTimer(1);
    EXPECT_NE(rig.main.StatusText().find("Synchronized to 0020a6100003  ANNEX"), std::string::npos)
        << rig.main.StatusText();
}

// Masters in every domain: one cycle lists each once, in its own domain, the late one
// included, the stranger never; the mode chosen is handed back for the next opening.
TEST(MasterListDlgTest, ManyMastersFillTheListOnceEach) {
    SimRig rig(test::ShippedScenario("many-masters.ini"), 0);
    ASSERT_TRUE(rig.main.AdapterReady());
    rig.SearchAll(34000, nullptr);
    ASSERT_EQ(rig.rows.size(), 18u);
    std::set<std::string> addresses;
    for (const std::string& row : rig.rows) addresses.insert(row.substr(0, 12));
    EXPECT_EQ(addresses.size(), 18u);
    auto has = [&](const std::string& row) {
        return std::find(rig.rows.begin(), rig.rows.end(), row) != rig.rows.end();
    };
    EXPECT_TRUE(has("0020a6110004|4|6/2|DOM04"));
    EXPECT_TRUE(has("0020a6110104|4|6/1|DOM04B"));
    EXPECT_TRUE(has("0020a611010c|12|2/2|LATE"));
    EXPECT_TRUE(has("0020a611000f|15|1/1|DOM15"));
    for (const std::string& row : rig.rows) EXPECT_EQ(row.find("STRANGER"), std::string::npos);
    EXPECT_EQ(rig.main.SearchMode(), kSearchAll);
}

// View Cell from the main window's list opens the real survey: sorted by time of arrival,
// in range, with help context 1001 while it is open.
TEST(MasterListDlgTest, ViewCellOpensTheSurveyWithItsHelpContext) {
    SimRig rig(sim::DefaultScenario(), 0);
    int surveyHelp = 0, afterHelp = 0;
    std::string opened;
    rig.host.scripts[IDD_SITE_SURVEY] = [&](ui::Dialog& d, test::FakeWindow&) {
        auto& s = static_cast<survey::CSiteSurveyDlg&>(d);
        surveyHelp = rig.ctx.helpContext;
        opened = std::to_string(s.SortMode()) + (s.InRange() ? " in range" : " out of range");
    };
    rig.SearchAll(4000, [&](CMasterListDlg& list, test::FakeWindow& w) {
        test::FakeListView& lv = w.listViews[IDC_ML_LIST];
        for (int r = 0; r < lv.RowCount(); ++r) lv.SetSelected(r, lv.Cell(r, 3) == "LOBBY");
        list.OnNotify(IDC_ML_LIST, ui::Notify::Clicked);
        ASSERT_NE(list.Selected(), nullptr);
        list.OnCommand(IDC_ML_VIEW_CELL);
        afterHelp = rig.ctx.helpContext;
    });
    EXPECT_EQ(surveyHelp, 1001);
    EXPECT_EQ(opened, "0 in range");
    EXPECT_EQ(afterHelp, 1000);
}

}  // namespace
}  // namespace odr::masters
