// The Site Survey window against the recording window on the virtual clock: with a scripted
// adapter where the exact replies matter (opening, rounds, figures, rows, scrolling, the
// "Dl" button, bad readings, a lost driver, a roam), and with the simulated adapter on the
// shipped sites (from the main window, a roam, the faults, the roaming check box).
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Measure.h"
#include "driver/Queries.h"
#include "driver/RssiTable.h"
#include "fakes/FakeChannel.h"
#include "fakes/FakeShell.h"
#include "fakes/FakeUi.h"
#include "fakes/ShippedScenario.h"
#include "fakes/SimShell.h"
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
#include "survey/SurveyScroll.h"

namespace odr::survey {
namespace {

using test::FakeAnswer;
using namespace shell;

const char kNtKey[] = "System\\CurrentControlSet\\Services\\odrwinnt1\\Parameters";
constexpr const char* kMaster = "0020a6100001";
constexpr const char* kSelf = "0020a6f00001";

std::vector<uint8_t> Bytes(const std::string& address) {
    std::vector<uint8_t> b(6);
    for (size_t i = 0; i < 6; ++i) b[i] = uint8_t(std::stoi(address.substr(2 * i, 2), nullptr, 16));
    return b;
}

std::string NodeAddress(int n) {
    char text[13];
    std::snprintf(text, sizeof text, "0020a62%05x", n);
    return text;
}

// Opens the directed link test nowhere, recording what it was asked.
struct RecordingLauncher : shell::NoTools {
    shell::ShellContext* ctx = nullptr;
    std::vector<shell::LinkTestTarget> targets;
    std::vector<int> helpContexts;
    void RunLinkTest(const shell::LinkTestTarget& target) override {
        targets.push_back(target);
        helpContexts.push_back(ctx->helpContext);
    }
};

// The window on a scripted adapter: synchronised to LOBBY, roaming on; every broadcast ping
// queues the replies `answers(round)` gives (address, raw reading = percentage).
struct SurveyRig : test::FakeShell {
    struct Reply {
        std::string address;
        int raw;
    };

    SurveyRig() {
        for (int r = 0; r < 256; ++r) rssi.percent[r] = uint8_t(r);
        auto& a = fc.adapter;
        a.items[ITEM_SYNC_STATE] = {1};
        a.items[ITEM_ROAMING] = {0};
        a.items[ITEM_VERSION] = {'V', '1', '.', '5', '0', 'a', 0};
        a.items[ITEM_NODE_ADDR] = Bytes(kSelf);
        a.items[ITEM_SYNC_MASTER_ADDR] = Bytes(kMaster);
        a.items[ITEM_SYNC_MASTER_NAME] = {'L', 'O', 'B', 'B', 'Y'};
        a.items[ITEM_SYNC_CHANNEL] = {3};
        a.items[ITEM_SYNC_SUBCHANNEL] = {2};
        std::strcpy(status.masterAddress, kMaster);
        std::strcpy(status.masterName, "LOBBY");
        std::strcpy(status.nodeAddress, kSelf);
        a.commands[CMD_TRANSMIT_PING] = [this](const uint8_t*, uint32_t) {
            ++pings;
            if (answers) {
                for (const Reply& r : answers(pings)) queue.push_back(r);
            }
            return FakeAnswer::Result(0);
        };
        a.commands[CMD_RECEIVE_PING] = [this](const uint8_t*, uint32_t) {
            if (flood) return FakeAnswer::Data(Reply18(NodeAddress(1), 50), 1);
            if (queue.empty()) return FakeAnswer::Result(0);
            const Reply r = queue.front();
            queue.pop_front();
            return FakeAnswer::Data(Reply18(r.address, r.raw), 1);
        };
        a.commands[CMD_POLL_PING] = [this](const uint8_t*, uint32_t) {
            ++polls;
            return FakeAnswer::Result(pollResult);
        };
        launcher.ctx = &ctx;
    }
    static std::vector<uint8_t> Reply18(const std::string& address, int raw) {
        std::vector<uint8_t> b = Bytes(address);
        b.resize(18);
        b[12] = uint8_t(raw);
        return b;
    }

    test::FakeWindow& Open() {
        w = &host.Open(dialog);
        return *w;
    }
    void Tick(int id) {
        fc.clock.Advance(100);
        dialog.OnTimer(id);
    }
    // Ticks until a round has started and ended; false when none did within 100 ticks.
    bool Round() {
        int n = 0;
        while (!dialog.RoundRunning()) {
            Tick(1);
            if (++n > 100) return false;
        }
        while (dialog.RoundRunning()) {
            Tick(2);
            if (++n > 100) return false;
        }
        return true;
    }
    // Runs up to the start of the next round, where the figures are shown.
    void ToNextDisplay() {
        while (!dialog.RoundRunning()) Tick(1);
    }
    std::string Cell(int first, int row) const { return w->GetText(first + row); }
    bool RowShown(int row) const {
        return w->IsControlVisible(IDC_SURVEY_BAR_FIRST + row) &&
               w->IsControlVisible(IDC_SURVEY_TEST_FIRST + row);
    }
    bool OutOfRange() const { return w->IsControlVisible(IDC_SURVEY_OUT_OF_RANGE); }

    settings::AdapterSettings settings{registry, fc.os, [this] {
                                           return fc.channel.IsOpen() ? fc.channel.GetDriverKind()
                                                                      : settings::kNoDriverKind;
                                       }};
    RecordingLauncher launcher;
    CSiteSurveyDlg dialog{ctx, settings, launcher};
    test::FakeWindow* w = nullptr;
    std::function<std::vector<Reply>(int round)> answers;
    std::deque<Reply> queue;
    int pings = 0;
    int polls = 0;
    int pollResult = 0;
    bool flood = false;
};

TEST(SurveyDlgTest, OpeningShowsAnEmptyTableAndPingsAtOnce) {
    SurveyRig rig;
    test::FakeWindow& w = rig.Open();
    EXPECT_TRUE(w.IsChecked(IDC_SURVEY_ROAMING));  // flag 0: roaming enabled
    EXPECT_TRUE(w.IsEnabled(IDC_SURVEY_ROAMING));
    EXPECT_EQ(w.RadioIndex(IDC_SURVEY_TIME_ORDER), 0);
    EXPECT_EQ(w.GetText(IDC_SURVEY_NODE_COUNT), "0");
    EXPECT_EQ(w.TimerInterval(kTickTimer), 100u);
    EXPECT_EQ(w.TimerInterval(kRoundTimer), 0u);
    EXPECT_FALSE(rig.OutOfRange());
    EXPECT_FALSE(w.IsControlVisible(IDC_SURVEY_SCROLL));
    for (int r = 0; r < kRows; ++r) {
        EXPECT_FALSE(rig.RowShown(r)) << r;
        EXPECT_EQ(w.buttonImages[IDC_SURVEY_TEST_FIRST + r],
                  (std::pair<std::string, std::string>{"DLU", "DLD"}));
    }
    EXPECT_TRUE(rig.dialog.ResyncOnRoamingOff());  // V1.50a
    EXPECT_EQ(rig.dialog.FirstPosition(), 0);

    // The first tick pings the broadcast address with 1500 bytes.
    rig.fc.adapter.Clear();
    rig.Tick(kTickTimer);
    EXPECT_EQ(rig.pings, 1);
    EXPECT_TRUE(rig.dialog.RoundRunning());
    EXPECT_EQ(w.TimerInterval(kTickTimer), 0u);
    EXPECT_EQ(w.TimerInterval(kRoundTimer), 100u);
    const auto& sent = rig.fc.adapter;
    const std::vector<uint8_t> ping = sent.DataOf(sent.Calls() - 1);
    EXPECT_EQ(std::vector<uint8_t>(ping.begin(), ping.begin() + 6), Bytes("ffffffffffff"));
    EXPECT_EQ(ReadU32(ping.data() + 14), 1500u);
    EXPECT_EQ(ping[6], 0);
}

TEST(SurveyDlgTest, OpeningVariants) {
    {  // Roaming disabled, a master's own adapter, a firmware without the move back.
        SurveyRig rig;
        rig.fc.adapter.items[ITEM_ROAMING] = {1};
        rig.fc.adapter.items[ITEM_VERSION] = {'V', '1', '.', '4', '8', 0, 0};
        rig.registry.SetString(kNtKey, "Master_Name", "HOME");
        rig.registry.SetDword(kNtKey, "Station_Type", 2);
        rig.settings.LoadSettings();
        test::FakeWindow& w = rig.Open();
        EXPECT_FALSE(w.IsChecked(IDC_SURVEY_ROAMING));
        EXPECT_FALSE(w.IsEnabled(IDC_SURVEY_ROAMING));
        EXPECT_FALSE(rig.dialog.ResyncOnRoamingOff());
    }
    for (const char* version : {"V1.47a", "V1.49"}) {
        SurveyRig rig;
        std::vector<uint8_t> text(version, version + std::strlen(version));
        text.resize(7);
        rig.fc.adapter.items[ITEM_VERSION] = text;
        rig.Open();
        EXPECT_TRUE(rig.dialog.ResyncOnRoamingOff()) << version;
    }
    {  // The version refused: no move back.
        SurveyRig rig;
        rig.fc.adapter.refused.insert(ITEM_VERSION);
        rig.Open();
        EXPECT_FALSE(rig.dialog.ResyncOnRoamingOff());
    }
    {  // Images missing, or a system without image buttons: plain "Dl" buttons.
        SurveyRig rig;
        rig.host.open.clear();
        test::FakeWindow w;
        w.missingBitmaps.insert("DLD");
        rig.dialog.Attach(&w);
        rig.dialog.OnInitDialog();
        for (int r = 0; r < kRows; ++r) {
            EXPECT_EQ(w.GetText(IDC_SURVEY_TEST_FIRST + r), "Dl");
            EXPECT_TRUE(w.IsEnabled(IDC_SURVEY_TEST_FIRST + r));
        }
        EXPECT_TRUE(w.buttonImages.empty());
        rig.dialog.OnDestroy();
        rig.dialog.Detach();

        SurveyRig old;
        old.fc.os.version.major = 3;
        test::FakeWindow& ow = old.Open();
        EXPECT_TRUE(ow.buttonImages.empty());
        EXPECT_EQ(ow.GetText(IDC_SURVEY_TEST_FIRST + 6), "Dl");
    }
}

TEST(SurveyDlgTest, LinkQualityCourseOfANodeAnsweringEveryRound) {
    SurveyRig rig;
    rig.answers = [](int) {
        return std::vector<SurveyRig::Reply>{{kMaster, 80}, {NodeAddress(1), 43}};
    };
    test::FakeWindow& w = rig.Open();
    ASSERT_TRUE(rig.Round());
    std::vector<std::string> quality;
    for (int round = 0; round < 10; ++round) {
        rig.ToNextDisplay();
        quality.push_back(rig.Cell(IDC_SURVEY_QUALITY_FIRST, 1));
        ASSERT_TRUE(rig.Round());
    }
    EXPECT_EQ(quality,
              (std::vector<std::string>{"3", "3", "4", "4", "4", "4", "4", "4", "5", "5"}));
    // Row 0 is the master with its name; row 1 the node.
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 0), kMaster);
    EXPECT_EQ(rig.Cell(IDC_SURVEY_MASTER_FIRST, 0), "LOBBY");
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 1), NodeAddress(1));
    EXPECT_EQ(rig.Cell(IDC_SURVEY_MASTER_FIRST, 1), "");
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ACTIVITY_FIRST, 1), "(*)");
    EXPECT_EQ(rig.Cell(IDC_SURVEY_VALUE_FIRST, 0), "80 %");
    EXPECT_EQ(rig.Cell(IDC_SURVEY_VALUE_FIRST, 1), "50 %");
    EXPECT_EQ(w.progressBars[IDC_SURVEY_BAR_FIRST + 1].Position(), 50);
    EXPECT_EQ(w.progressBars[IDC_SURVEY_BAR_FIRST + 1].range.high, 100);
    EXPECT_TRUE(rig.RowShown(0));
    EXPECT_TRUE(rig.RowShown(1));
    EXPECT_FALSE(rig.RowShown(2));
    EXPECT_EQ(w.GetText(IDC_SURVEY_NODE_COUNT), "2");
    EXPECT_FALSE(rig.OutOfRange());
    // Each round waits at least 500 ms after the last one ended.
    const uint32_t start = rig.fc.clock.Now();
    ASSERT_TRUE(rig.Round());
    EXPECT_GE(rig.fc.clock.Now() - start, 500u);
}

TEST(SurveyDlgTest, EverySecondRoundAndASilentNode) {
    SurveyRig rig;
    rig.answers = [](int round) {
        std::vector<SurveyRig::Reply> replies = {{kMaster, 60}};
        if (round % 2 == 1) replies.push_back({NodeAddress(1), 60});
        if (round <= 5) replies.push_back({NodeAddress(2), 60});
        return replies;
    };
    rig.Open();
    for (int round = 0; round < 14; ++round) ASSERT_TRUE(rig.Round());
    rig.ToNextDisplay();
    const std::string half = rig.Cell(IDC_SURVEY_QUALITY_FIRST, 1);
    EXPECT_TRUE(half == "2" || half == "3") << half;
    // Silent for nine rounds: still listed, with nothing left.
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 2), NodeAddress(2));
    EXPECT_EQ(rig.Cell(IDC_SURVEY_QUALITY_FIRST, 2), "0");
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ACTIVITY_FIRST, 2), "( )");
    EXPECT_EQ(rig.Cell(IDC_SURVEY_VALUE_FIRST, 2), "0 %");
    EXPECT_TRUE(rig.RowShown(2));
}

TEST(SurveyDlgTest, NoReplyShowsOutOfRangeUnlessThisAdapterIsTheMaster) {
    SurveyRig rig;
    test::FakeWindow& w = rig.Open();
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(rig.Round());
        EXPECT_TRUE(rig.OutOfRange());
    }
    rig.ToNextDisplay();
    EXPECT_EQ(w.GetText(IDC_SURVEY_NODE_COUNT), "0");
    for (int r = 0; r < kRows; ++r) EXPECT_FALSE(rig.RowShown(r));
    EXPECT_FALSE(w.IsControlVisible(IDC_SURVEY_SCROLL));

    // This adapter is the master: the view starts at position 1 and nothing is out of range.
    SurveyRig master;
    std::strcpy(master.status.masterAddress, kSelf);
    master.fc.adapter.items[ITEM_SYNC_MASTER_ADDR] = Bytes(kSelf);
    master.answers = [](int) { return std::vector<SurveyRig::Reply>{{NodeAddress(1), 70}}; };
    master.Open();
    EXPECT_EQ(master.dialog.FirstPosition(), 1);
    EXPECT_EQ(master.dialog.Top(), 1);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(master.Round());
        EXPECT_FALSE(master.OutOfRange());
    }
    master.ToNextDisplay();
    EXPECT_EQ(master.Cell(IDC_SURVEY_ADDRESS_FIRST, 0), NodeAddress(1));

    // The master answers, but the round never completes: out of range after 15 more ticks.
    SurveyRig stuck;
    stuck.answers = [](int) { return std::vector<SurveyRig::Reply>{{kMaster, 70}}; };
    stuck.Open();
    ASSERT_TRUE(stuck.Round());
    EXPECT_FALSE(stuck.OutOfRange());
    stuck.pollResult = 1;
    stuck.polls = 0;
    ASSERT_TRUE(stuck.Round());
    EXPECT_EQ(stuck.polls, 16);
    EXPECT_FALSE(stuck.dialog.InRange());
    EXPECT_TRUE(stuck.OutOfRange());
}

// The adapter loses its master mid-survey: SendPing sends nothing, and every round ends out
// of range (no old ping polled) until the master is back and answers.
TEST(SurveyDlgTest, MasterLostMidSurveyShowsOutOfRangeUntilItAnswersAgain) {
    SurveyRig rig;
    rig.answers = [](int) {
        return std::vector<SurveyRig::Reply>{{kMaster, 80}, {NodeAddress(1), 50}};
    };
    rig.Open();
    for (int round = 0; round < 3; ++round) ASSERT_TRUE(rig.Round());
    ASSERT_FALSE(rig.OutOfRange());
    ASSERT_TRUE(rig.dialog.Table().MasterHeard());

    rig.fc.adapter.items[ITEM_SYNC_STATE] = {0};
    const int pings = rig.pings;
    const int polls = rig.polls;
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(rig.Round());
        EXPECT_FALSE(rig.dialog.InRange()) << round;
        EXPECT_TRUE(rig.OutOfRange()) << round;
    }
    EXPECT_EQ(rig.pings, pings);
    EXPECT_EQ(rig.polls, polls);
    // The rows stay, fading: nothing is reset by the loss.
    EXPECT_EQ(rig.dialog.Table().NodeCount(), 2);

    rig.fc.adapter.items[ITEM_SYNC_STATE] = {1};
    ASSERT_TRUE(rig.Round());
    EXPECT_TRUE(rig.dialog.InRange());
    EXPECT_FALSE(rig.OutOfRange());
    EXPECT_GT(rig.pings, pings);
}

// What SendPing returns when a round starts: -7 (busy after the retry) is a started round;
// another error skips the round and the next tick tries again; -9 loses the driver.
TEST(SurveyDlgTest, SendPingResultsAtRoundStart) {
    const auto transmit = [](SurveyRig& rig, FakeAnswer answer) {
        rig.fc.adapter.commands[CMD_TRANSMIT_PING] = [&rig, answer](const uint8_t*, uint32_t) {
            ++rig.pings;
            return answer;
        };
    };
    {
        SurveyRig rig;
        transmit(rig, FakeAnswer::Result(-7));
        rig.Open();
        rig.Tick(kTickTimer);
        EXPECT_EQ(rig.pings, 2);  // the first send and its retry
        EXPECT_TRUE(rig.dialog.RoundRunning());
    }
    {
        SurveyRig rig;
        transmit(rig, FakeAnswer::Result(-3));
        test::FakeWindow& w = rig.Open();
        rig.Tick(kTickTimer);
        EXPECT_EQ(rig.pings, 1);
        EXPECT_FALSE(rig.dialog.RoundRunning());
        EXPECT_EQ(w.TimerInterval(kTickTimer), 100u);
        EXPECT_FALSE(rig.dialog.ReattachNeeded());
        rig.Tick(kTickTimer);
        EXPECT_EQ(rig.pings, 2);
        EXPECT_EQ(rig.dialog.Table().CurrentSlot(), 1);  // no round has ended
    }
    {
        SurveyRig rig;
        transmit(rig, FakeAnswer::Error(1167));
        test::FakeWindow& w = rig.Open();
        rig.Tick(kTickTimer);
        EXPECT_TRUE(rig.dialog.ReattachNeeded());
        EXPECT_FALSE(rig.dialog.RoundRunning());
        EXPECT_EQ(w.TimerInterval(kTickTimer), 100u);
        // The next tick re-attaches before anything else.
        rig.fc.adapter.Clear();
        rig.Tick(kTickTimer);
        ASSERT_FALSE(rig.fc.adapter.sent.empty());
        EXPECT_EQ(rig.fc.adapter.CommandOf(0), uint32_t(CMD_REATTACH_DRIVER));
    }
}

TEST(SurveyDlgTest, FirstNodeTakesIndexOneBeforeTheMasterAnswers) {
    SurveyRig rig;
    rig.answers = [](int round) {
        std::vector<SurveyRig::Reply> replies = {{NodeAddress(7), 30}};
        if (round >= 2) replies.push_back({kMaster, 90});
        return replies;
    };
    rig.Open();
    ASSERT_TRUE(rig.Round());
    rig.ToNextDisplay();
    EXPECT_EQ(rig.dialog.Table().Highest(), 1);
    EXPECT_FALSE(rig.RowShown(0));
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 0), "");
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 1), NodeAddress(7));
    EXPECT_TRUE(rig.OutOfRange());  // the master has not been heard
    ASSERT_TRUE(rig.Round());
    EXPECT_FALSE(rig.OutOfRange());
    rig.ToNextDisplay();
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 0), kMaster);
    EXPECT_EQ(rig.Cell(IDC_SURVEY_MASTER_FIRST, 0), "LOBBY");
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 1), NodeAddress(7));
    EXPECT_EQ(rig.w->GetText(IDC_SURVEY_NODE_COUNT), "2");
}

TEST(SurveyDlgTest, FullTableScrollsAndSortsByAddress) {
    SurveyRig rig;
    rig.answers = [](int) {
        std::vector<SurveyRig::Reply> replies = {{kMaster, 90}};
        // Arriving in descending address order; one more than the table holds.
        for (int n = 100; n >= 1; --n) replies.push_back({NodeAddress(n), n % 100});
        return replies;
    };
    test::FakeWindow& w = rig.Open();
    ASSERT_TRUE(rig.Round());
    rig.ToNextDisplay();
    EXPECT_EQ(w.GetText(IDC_SURVEY_NODE_COUNT), "100");
    EXPECT_EQ(rig.dialog.Table().Highest(), 99);
    EXPECT_TRUE(w.IsControlVisible(IDC_SURVEY_SCROLL));
    const test::FakeScrollBar& bar = w.scrollBars[IDC_SURVEY_SCROLL];
    EXPECT_EQ(bar.range.low, 0);
    EXPECT_EQ(bar.range.high, 99);
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 1), NodeAddress(100));

    rig.dialog.OnScroll(IDC_SURVEY_SCROLL, ui::ScrollCode::Bottom, 0);
    EXPECT_EQ(rig.dialog.Top(), 93);
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 6), NodeAddress(2));  // position 99
    EXPECT_EQ(rig.Cell(IDC_SURVEY_MASTER_FIRST, 0), "");
    rig.dialog.OnScroll(IDC_SURVEY_SCROLL, ui::ScrollCode::LineDown, 0);
    EXPECT_EQ(rig.dialog.Top(), 93);
    EXPECT_EQ(bar.Position(), 99);  // the bar keeps it inside its range
    rig.dialog.OnScroll(IDC_SURVEY_SCROLL, ui::ScrollCode::Top, 0);
    EXPECT_EQ(rig.dialog.Top(), 0);
    EXPECT_EQ(rig.Cell(IDC_SURVEY_MASTER_FIRST, 0), "LOBBY");

    // By address: the master first, then ascending.
    rig.dialog.OnCommand(IDC_SURVEY_ADDRESS_ORDER);
    EXPECT_EQ(rig.dialog.SortMode(), 1);
    ASSERT_TRUE(rig.Round());
    rig.ToNextDisplay();
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 0), kMaster);
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 1), NodeAddress(2));
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 2), NodeAddress(3));
    rig.dialog.OnCommand(IDC_SURVEY_TIME_ORDER);
    rig.dialog.OnScroll(IDC_SURVEY_SCROLL, ui::ScrollCode::Top, 0);  // a scroll refreshes
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 1), NodeAddress(100));
}

TEST(SurveyDlgTest, SevenNodesWithoutTheMasterAllStayReachable) {
    SurveyRig rig;
    rig.answers = [](int) {
        std::vector<SurveyRig::Reply> replies;
        for (int n = 1; n <= 7; ++n) replies.push_back({NodeAddress(n), 50});
        return replies;
    };
    test::FakeWindow& w = rig.Open();
    ASSERT_TRUE(rig.Round());
    rig.ToNextDisplay();
    EXPECT_TRUE(w.IsControlVisible(IDC_SURVEY_SCROLL));
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 6), NodeAddress(6));
    rig.dialog.OnScroll(IDC_SURVEY_SCROLL, ui::ScrollCode::LineDown, 0);
    EXPECT_EQ(rig.dialog.Top(), 1);
    EXPECT_EQ(rig.Cell(IDC_SURVEY_ADDRESS_FIRST, 6), NodeAddress(7));
}

TEST(SurveyDlgTest, DlOpensTheLinkTestOnTheRowsNode) {
    SurveyRig rig;
    rig.registry.SetString(kNtKey, "Master_Name", "HOME");
    rig.registry.SetDword(kNtKey, "Station_Type", 1);
    rig.registry.SetDword(kNtKey, "Domain", 4);
    rig.registry.SetDword(kNtKey, "Radio_Mode", 2);
    rig.answers = [](int) {
        return std::vector<SurveyRig::Reply>{{kMaster, 80}, {NodeAddress(5), 40}};
    };
    rig.ctx.helpContext = 1001;
    test::FakeWindow& w = rig.Open();
    ASSERT_TRUE(rig.Round());
    rig.ToNextDisplay();
    ASSERT_TRUE(rig.Round());  // the tick timer runs again

    rig.dialog.OnCommand(IDC_SURVEY_TEST_FIRST + 1);
    ASSERT_EQ(rig.launcher.targets.size(), 1u);
    const shell::LinkTestTarget& t = rig.launcher.targets[0];
    EXPECT_EQ(t.address, NodeAddress(5));
    EXPECT_EQ(t.radioMode, 2);
    EXPECT_EQ(t.stationType, 1);
    EXPECT_EQ(t.masterDomain, 4);
    EXPECT_EQ(t.masterChannel, 3);  // the current master's, from the adapter
    EXPECT_EQ(t.masterSubchannel, 2);
    EXPECT_EQ(rig.launcher.helpContexts, (std::vector<int>{1124}));
    EXPECT_EQ(rig.ctx.helpContext, 1001);
    EXPECT_EQ(w.TimerInterval(kTickTimer), 100u);

    // The master's row opens it too; an empty row does nothing.
    rig.dialog.OnCommand(IDC_SURVEY_TEST_FIRST);
    EXPECT_EQ(rig.launcher.targets.back().address, kMaster);
    rig.dialog.OnCommand(IDC_SURVEY_TEST_FIRST + 4);
    EXPECT_EQ(rig.launcher.targets.size(), 2u);

    // During a round the round goes on afterwards, and the tick timer waits for its end.
    rig.Tick(kTickTimer);
    while (!rig.dialog.RoundRunning()) rig.Tick(kTickTimer);
    rig.dialog.OnCommand(IDC_SURVEY_TEST_FIRST + 1);
    EXPECT_EQ(w.TimerInterval(kRoundTimer), 100u);
    EXPECT_EQ(w.TimerInterval(kTickTimer), 0u);
}

TEST(SurveyDlgTest, HelpOpensTheSurveysSection) {
    SurveyRig rig;
    std::string start, end, title;
    rig.host.scripts[IDD_HELP] = [&](ui::Dialog& d, test::FakeWindow&) {
        auto& help = static_cast<shell::CHelpDlg&>(d);
        start = help.StartKeyword();
        end = help.EndKeyword();
        title = help.Title();
    };
    test::FakeWindow& w = rig.Open();
    rig.dialog.OnCommand(IDC_SURVEY_HELP);
    EXPECT_EQ(rig.host.RunTemplates(), (std::vector<int>{IDD_HELP}));
    EXPECT_EQ(start, "HELPSITE");
    EXPECT_EQ(end, "HELPSDIR");
    EXPECT_EQ(title, "Site Survey Help");
    EXPECT_EQ(w.TimerInterval(kTickTimer), 100u);
    rig.dialog.OnCommand(1);
    EXPECT_TRUE(w.ended);
    EXPECT_EQ(w.endResult, 1);
    rig.dialog.OnDestroy();
    EXPECT_TRUE(w.timers.empty());
}

TEST(SurveyDlgTest, BadReadingsAndAFloodOfRepliesAreBounded) {
    SurveyRig rig;
    rig.rssi.percent[250] = 250;  // a table gone wrong
    rig.answers = [](int) {
        return std::vector<SurveyRig::Reply>{{kMaster, 250}, {NodeAddress(1), 30}};
    };
    rig.Open();
    ASSERT_TRUE(rig.Round());
    rig.ToNextDisplay();
    EXPECT_EQ(rig.Cell(IDC_SURVEY_VALUE_FIRST, 0), "100 %");
    EXPECT_EQ(rig.w->progressBars[IDC_SURVEY_BAR_FIRST].Position(), 100);

    // A driver that never stops handing out replies does not hold the window.
    ASSERT_TRUE(rig.dialog.RoundRunning());
    rig.flood = true;
    rig.fc.adapter.Clear();
    rig.Tick(kRoundTimer);
    EXPECT_EQ(rig.fc.adapter.Count(CMD_RECEIVE_PING), kMaxCollectedReplies);
    EXPECT_FALSE(rig.dialog.RoundRunning());
    EXPECT_EQ(rig.dialog.Table().NodeCount(), 2);
}

TEST(SurveyDlgTest, LostDriverIsReopenedBeforeAnythingElse) {
    SurveyRig rig;
    rig.answers = [](int) { return std::vector<SurveyRig::Reply>{{kMaster, 80}}; };
    rig.Open();
    ASSERT_TRUE(rig.Round());
    // The next GetPing is not carried.
    rig.fc.adapter.commands[CMD_RECEIVE_PING] = [](const uint8_t*, uint32_t) {
        return FakeAnswer::Error(1167);
    };
    rig.Tick(kTickTimer);
    EXPECT_TRUE(rig.dialog.ReattachNeeded());

    // While the device does not open, ticks stand still.
    rig.fc.host.existing.clear();
    rig.fc.adapter.Clear();
    rig.Tick(kTickTimer);
    EXPECT_TRUE(rig.fc.adapter.sent.empty());
    EXPECT_TRUE(rig.dialog.ReattachNeeded());

    // Open again and re-attached, but the sync state still not carried: out of range.
    rig.fc.host.existing.insert("\\\\.\\ODRWINNT1");
    rig.fc.adapter.script = {FakeAnswer::Result(0), FakeAnswer::Error(1167)};
    rig.Tick(kTickTimer);
    EXPECT_EQ(rig.fc.adapter.CommandOf(0), uint32_t(CMD_REATTACH_DRIVER));
    EXPECT_TRUE(rig.dialog.ReattachNeeded());
    EXPECT_TRUE(rig.OutOfRange());

    rig.fc.adapter.commands.erase(CMD_RECEIVE_PING);
    rig.fc.adapter.Clear();
    rig.Tick(kTickTimer);
    EXPECT_FALSE(rig.dialog.ReattachNeeded());
    EXPECT_FALSE(rig.OutOfRange());
    EXPECT_EQ(rig.fc.adapter.CommandOf(0), uint32_t(CMD_REATTACH_DRIVER));
}

TEST(SurveyDlgTest, RoamToAnotherMasterBeepsAndStartsAfresh) {
    SurveyRig rig;
    rig.answers = [](int) {
        return std::vector<SurveyRig::Reply>{{kMaster, 80}, {NodeAddress(1), 40}};
    };
    rig.Open();
    for (int round = 0; round < 3; ++round) ASSERT_TRUE(rig.Round());
    EXPECT_EQ(rig.dialog.Table().NodeCount(), 2);
    EXPECT_TRUE(rig.fc.os.beeps.empty());

    rig.fc.adapter.items[ITEM_SYNC_MASTER_ADDR] = Bytes("0020a6100002");
    rig.fc.adapter.items[ITEM_SYNC_MASTER_NAME] = {'W', 'E', 'S', 'T'};
    rig.answers = nullptr;
    rig.Tick(kTickTimer);
    EXPECT_EQ(rig.fc.os.beeps, (std::vector<std::pair<unsigned, unsigned>>{{1000, 500}}));
    EXPECT_STREQ(rig.status.masterAddress, "0020a6100002");
    EXPECT_STREQ(rig.status.masterName, "WEST");
    EXPECT_EQ(rig.dialog.Table().NodeCount(), 0);
    EXPECT_EQ(rig.dialog.Table().CurrentSlot(), 1);
    EXPECT_EQ(rig.w->GetText(IDC_SURVEY_NODE_COUNT), "0");
    for (int r = 0; r < kRows; ++r) EXPECT_FALSE(rig.RowShown(r));
    rig.Tick(kTickTimer);
    EXPECT_EQ(rig.fc.os.beeps.size(), 1u);

    // With roaming off the adapter's master is not followed.
    rig.fc.adapter.items[ITEM_ROAMING] = {1};
    rig.fc.adapter.items[ITEM_SYNC_MASTER_ADDR] = Bytes(kMaster);
    for (int round = 0; round < 2; ++round) ASSERT_TRUE(rig.Round());
    EXPECT_EQ(rig.fc.os.beeps.size(), 1u);
}

TEST(SurveyDlgTest, RoamingOffMovesBackToTheMasterShownInRowZero) {
    SurveyRig rig;
    rig.answers = [](int) { return std::vector<SurveyRig::Reply>{{kMaster, 80}}; };
    bool lobbyAnswers = false;
    std::vector<std::string> searched;
    std::vector<std::vector<uint8_t>> cells;  // channel, subchannel, domain of each search
    rig.fc.adapter.commands[CMD_SEARCH_SYNCHRONOUS] = [&](const uint8_t* data, uint32_t) {
        searched.emplace_back(reinterpret_cast<const char*>(data + 3),
                              strnlen(reinterpret_cast<const char*>(data + 3), 12));
        cells.push_back({data[0], data[1], data[2]});
        if (lobbyAnswers) {
            rig.fc.adapter.items[ITEM_SYNC_MASTER_ADDR] = Bytes(kMaster);
            rig.fc.adapter.items[ITEM_SYNC_MASTER_NAME] = {'L', 'O', 'B', 'B', 'Y'};
            rig.fc.adapter.items[ITEM_SYNC_STATE] = {1};
        }
        return FakeAnswer::Result(0);
    };
    test::FakeWindow& w = rig.Open();
    for (int round = 0; round < 2; ++round) ASSERT_TRUE(rig.Round());
    rig.ToNextDisplay();
    ASSERT_EQ(rig.Cell(IDC_SURVEY_MASTER_FIRST, 0), "LOBBY");

    // A click that leaves the box as the adapter has it (checked, roaming on) does nothing.
    rig.fc.adapter.Clear();
    rig.dialog.OnCommand(IDC_SURVEY_ROAMING);
    EXPECT_EQ(rig.fc.adapter.Count(CMD_SET_DRIVER_DATA), 0);
    EXPECT_EQ(rig.fc.adapter.Count(CMD_START_CARD), 0);
    EXPECT_EQ(rig.dialog.Table().NodeCount(), 1);
    EXPECT_EQ(rig.host.busyDepth, 0);

    // The adapter has just roamed to WEST, not shown yet; the user switches roaming off.
    rig.fc.adapter.items[ITEM_SYNC_MASTER_ADDR] = Bytes("0020a6100002");
    rig.fc.adapter.items[ITEM_SYNC_MASTER_NAME] = {'W', 'E', 'S', 'T'};
    w.SetCheck(IDC_SURVEY_ROAMING, false);
    rig.dialog.OnCommand(IDC_SURVEY_ROAMING);
    EXPECT_EQ(rig.fc.adapter.items[ITEM_ROAMING], std::vector<uint8_t>{1});
    EXPECT_GE(rig.fc.adapter.Count(CMD_START_CARD), 1);
    EXPECT_EQ(searched, std::vector<std::string>{"LOBBY"});
    // On the channel and subchannel the adapter reported (3/2), in the stored domain.
    EXPECT_EQ(cells, (std::vector<std::vector<uint8_t>>{{3, 2, uint8_t(rig.settings.domain)}}));
    EXPECT_TRUE(rig.dialog.ResyncPending());  // kept through the reset
    EXPECT_EQ(rig.dialog.ResyncName(), "LOBBY");
    EXPECT_EQ(rig.dialog.ResyncAddress(), kMaster);
    EXPECT_EQ(rig.dialog.Table().NodeCount(), 0);
    EXPECT_EQ(rig.host.busyDepth, 0);
    EXPECT_EQ(w.TimerInterval(kTickTimer), 100u);

    // Synchronised again (to WEST): each tick tries to move back until LOBBY answers.
    rig.fc.adapter.items[ITEM_SYNC_STATE] = {1};
    rig.fc.adapter.items[ITEM_SYNC_MASTER_ADDR] = Bytes("0020a6100002");
    rig.Tick(kTickTimer);
    EXPECT_FALSE(rig.dialog.RoamingChanged());
    EXPECT_TRUE(rig.dialog.ResyncPending());
    EXPECT_TRUE(rig.OutOfRange());
    EXPECT_EQ(searched.size(), 2u);
    EXPECT_EQ(cells.back(), cells.front());
    lobbyAnswers = true;
    rig.fc.adapter.items[ITEM_SYNC_STATE] = {1};
    rig.Tick(kTickTimer);
    EXPECT_FALSE(rig.dialog.ResyncPending());
    EXPECT_STREQ(rig.status.masterName, "LOBBY");
    ASSERT_TRUE(rig.Round());
    ASSERT_TRUE(rig.Round());  // the first after the reset hears the master
    EXPECT_FALSE(rig.OutOfRange());
    rig.ToNextDisplay();
    EXPECT_EQ(rig.Cell(IDC_SURVEY_MASTER_FIRST, 0), "LOBBY");
    EXPECT_TRUE(rig.fc.os.beeps.empty());
}

// The log: one row per listed node every round, the master's name quoted as CSV wants it.
TEST(SurveyDlgTest, LogHasARowPerListedNodeEveryRound) {
    SurveyRig rig;
    rig.answers = [](int) {
        return std::vector<SurveyRig::Reply>{{kMaster, 80}, {NodeAddress(1), 50}};
    };
    std::snprintf(rig.status.masterName, sizeof rig.status.masterName, "LOB,\"BY");
    test::FakeWindow& w = rig.Open();
    rig.host.savePaths = {"C:\\survey.csv"};
    rig.dialog.OnCommand(IDC_SURVEY_LOG);
    EXPECT_EQ(rig.host.saveSuggested, (std::vector<std::string>{"survey.csv"}));
    EXPECT_EQ(w.GetText(IDC_SURVEY_LOG), "Stop &Log");
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(rig.Round());
    rig.ToNextDisplay();
    std::stringstream file(rig.fc.os.appended["C:\\survey.csv"]);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "time,round,address,master,link quality,activity,strength %,replies\r");
    EXPECT_EQ(lines[1].rfind("2026-12-09T10:00:00,1,0020a6100001,\"LOB,\"\"BY\",", 0), 0u)
        << lines[1];
    EXPECT_EQ(lines[2].rfind("2026-12-09T10:00:00,1," + NodeAddress(1) + ",,", 0), 0u) << lines[2];
    const std::string end = ",(*),50,1\r";
    EXPECT_EQ(lines[6].substr(lines[6].size() - end.size()), end) << lines[6];
    EXPECT_EQ(lines[5].rfind("2026-12-09T10:00:00,3,", 0), 0u);
}

// ---------------------------------------------------------------------------------------
// On the simulated adapter

// The main window on the simulated adapter, with the real tool set.
struct SimRig : test::SimShell {
    using SimShell::SimShell;
    void Tick(CSiteSurveyDlg& survey, int id) {
        clock.Advance(100);
        survey.OnTimer(id);
    }
    // Runs the survey's timers for `ms` of virtual time, each tick on the timer that runs.
    void Run(CSiteSurveyDlg& survey, test::FakeWindow& w, uint32_t ms) {
        const uint32_t end = clock.Now() + ms;
        while (clock.Now() < end) {
            if (w.TimerInterval(kRoundTimer) != 0) {
                Tick(survey, kRoundTimer);
            } else if (w.TimerInterval(kTickTimer) != 0) {
                Tick(survey, kTickTimer);
            } else {
                clock.Advance(100);
            }
        }
    }
};

// The survey as the main window leaves it: opened on a site after the check run.
struct SurveyOnSite : SimRig {
    explicit SurveyOnSite(sim::Scenario scenario, uint32_t startMs = 0)
        : SimRig(std::move(scenario), startMs) {
        host.Open(main);
        main.OnTimer(1);
        launcher.ctx = &ctx;
    }
    settings::AdapterSettings settings{registry, os, [] { return uint16_t(0); }};
    RecordingLauncher launcher;
    CSiteSurveyDlg survey{ctx, settings, launcher};
};

std::vector<std::string> Addresses(test::FakeWindow& w) {
    std::vector<std::string> rows;
    for (int r = 0; r < kRows; ++r) rows.push_back(w.GetText(IDC_SURVEY_ADDRESS_FIRST + r));
    return rows;
}

TEST(SurveyDlgTest, MainWindowOpensTheSurveyOfTheDefaultSite) {
    SimRig rig(sim::DefaultScenario());
    test::FakeWindow& mw = rig.host.Open(rig.main);
    rig.main.OnTimer(1);
    ASSERT_TRUE(rig.main.AdapterReady());

    int helpContext = 0;
    std::vector<std::string> rows, quality;
    std::string count, name;
    int top = -1;
    rig.host.scripts[IDD_SITE_SURVEY] = [&](ui::Dialog& d, test::FakeWindow& w) {
        auto& survey = static_cast<CSiteSurveyDlg&>(d);
        helpContext = rig.ctx.helpContext;
        EXPECT_EQ(survey.SortMode(), 0);
        rig.Run(survey, w, 12000);
        survey.OnCommand(IDC_SURVEY_ADDRESS_ORDER);
        rig.Run(survey, w, 1000);
        rows = Addresses(w);
        for (int r = 0; r < kRows; ++r) quality.push_back(w.GetText(IDC_SURVEY_QUALITY_FIRST + r));
        count = w.GetText(IDC_SURVEY_NODE_COUNT);
        name = w.GetText(IDC_SURVEY_MASTER_FIRST);
        top = survey.Top();
        EXPECT_FALSE(w.IsControlVisible(IDC_SURVEY_OUT_OF_RANGE));
        EXPECT_TRUE(w.IsControlVisible(IDC_SURVEY_SCROLL));  // the master and seven nodes
        survey.OnCommand(1);
    };
    rig.main.OnCommand(IDC_SITE_SURVEY);
    EXPECT_EQ(rig.host.RunTemplates(), (std::vector<int>{IDD_SITE_SURVEY}));
    EXPECT_EQ(helpContext, 1001);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(rows,
              (std::vector<std::string>{kMaster, "0020a6200001", "0020a6200002", "0020a6200003",
                                        "0020a6200004", "0020a6200005", "0020a6200006"}));
    EXPECT_EQ(name, "LOBBY");
    EXPECT_EQ(count, "8");  // N8 is out of range for the first 20 s
    EXPECT_EQ(quality[0], "5");
    EXPECT_EQ(quality[1], "5");

    // Back in the main window: the card and channel start afresh.
    EXPECT_EQ(rig.ctx.helpContext, 102);
    EXPECT_FALSE(rig.channel.IsOpen());
    EXPECT_EQ(mw.TimerInterval(1), 100u);
    rig.main.OnTimer(1);
    EXPECT_NE(rig.main.StatusText().find("Synchronized to 0020a6100001  LOBBY"), std::string::npos);
}

TEST(SurveyDlgTest, DefaultSiteNodesFadeAndVary) {
    SurveyOnSite rig(sim::DefaultScenario());
    ASSERT_TRUE(rig.main.AdapterReady());
    CSiteSurveyDlg& survey = rig.survey;
    test::FakeWindow& w = rig.host.Open(survey);
    // N8 comes into range after about 23 s.
    rig.Run(survey, w, 35000);
    const SurveyTable& t = survey.Table();
    ASSERT_EQ(t.NodeCount(), 9);
    auto node = [&t](const char* address) -> const SurveyNode& {
        for (int i = 0; i <= t.Highest(); ++i) {
            if (std::strcmp(t.Node(i).address, address) == 0) return t.Node(i);
        }
        return t.Node(t.Highest());
    };
    EXPECT_STREQ(t.Node(8).address, "0020a6200008");  // heard last
    EXPECT_GT(t.Node(8).linkQuality, 0);
    // Strong to weak: N1 at -44 dBm near the top, N7 at -80 dBm at the bottom.
    EXPECT_GE(node("0020a6200001").strength, 80);
    EXPECT_LE(node("0020a6200007").strength, 10);
    EXPECT_LE(node("0020a6200007").linkQuality, 4);  // 60 % of the pings
    // N8 is out of range again from about 52 s: its figures fall away.
    rig.Run(survey, w, 30000);
    survey.OnCommand(IDC_SURVEY_ADDRESS_ORDER);
    survey.OnScroll(IDC_SURVEY_SCROLL, ui::ScrollCode::Bottom, 0);
    EXPECT_EQ(w.GetText(IDC_SURVEY_ADDRESS_FIRST + 6), "0020a6200008");
    EXPECT_EQ(w.GetText(IDC_SURVEY_QUALITY_FIRST + 6), "0");
    EXPECT_EQ(w.GetText(IDC_SURVEY_ACTIVITY_FIRST + 6), "( )");
    survey.OnDestroy();
}

TEST(SurveyDlgTest, RoamingSiteBeepsAndStartsAfresh) {
    SurveyOnSite rig(test::ShippedScenario("roaming.ini"));
    ASSERT_TRUE(rig.main.AdapterReady());
    ASSERT_STREQ(rig.status.masterName, "EAST");
    CSiteSurveyDlg& survey = rig.survey;
    test::FakeWindow& w = rig.host.Open(survey);
    rig.Run(survey, w, 20000);
    EXPECT_TRUE(rig.os.beeps.empty());
    EXPECT_EQ(w.GetText(IDC_SURVEY_ADDRESS_FIRST), "0020a6110001");
    rig.Run(survey, w, 60000);
    ASSERT_EQ(rig.os.beeps.size(), 1u);
    EXPECT_EQ(rig.os.beeps[0], (std::pair<unsigned, unsigned>{kAlertBeepHz, kAlertBeepMs}));
    EXPECT_STREQ(rig.status.masterName, "WEST");
    rig.Run(survey, w, 3000);
    EXPECT_EQ(w.GetText(IDC_SURVEY_ADDRESS_FIRST), "0020a6110002");
    EXPECT_EQ(w.GetText(IDC_SURVEY_MASTER_FIRST), "WEST");
    EXPECT_EQ(survey.Table().Node(1).address, std::string("0020a6220001"));
    survey.OnDestroy();
}

// Walking out of range on the simulated adapter: the only master goes off the air, the
// survey warns, and the warning goes once the master is back and heard.
TEST(SurveyDlgTest, OutOfRangeShowsWhenTheOnlyMasterGoesOffTheAir) {
    sim::Scenario site;
    std::string error;
    ASSERT_TRUE(
        sim::ParseScenario("[adapter]\nnode = 0020a6f00003\ndomain = 1\n"
                           "[master.HALL]\nname = HALL\naddress = 0020a6130001\n"
                           "domain = 1\nchannel = 4\nsubchannel = 1\nsignal = -50\n"
                           "on_air = 0-40 70-\n"
                           "[node.H1]\naddress = 0020a6230001\nmaster = HALL\n"
                           "signal = -60\n",
                           "hall.ini", &site, &error))
        << error;
    SurveyOnSite rig(std::move(site));
    ASSERT_TRUE(rig.main.AdapterReady());
    CSiteSurveyDlg& survey = rig.survey;
    test::FakeWindow& w = rig.host.Open(survey);
    rig.Run(survey, w, 10000);
    ASSERT_TRUE(survey.Table().MasterHeard());
    EXPECT_FALSE(w.IsControlVisible(IDC_SURVEY_OUT_OF_RANGE));
    ASSERT_LT(rig.clock.Now(), 40000u);  // the master is still on the air

    rig.Run(survey, w, 60000 - rig.clock.Now());
    EXPECT_FALSE(survey.InRange());
    EXPECT_TRUE(w.IsControlVisible(IDC_SURVEY_OUT_OF_RANGE));

    rig.Run(survey, w, 100000 - rig.clock.Now());
    EXPECT_TRUE(survey.InRange());
    EXPECT_FALSE(w.IsControlVisible(IDC_SURVEY_OUT_OF_RANGE));
    survey.OnDestroy();
}

TEST(SurveyDlgTest, RoamingOffKeepsTheMasterShownInRowZero) {
    SurveyOnSite rig(test::ShippedScenario("roaming.ini"));
    ASSERT_TRUE(rig.main.AdapterReady());
    CSiteSurveyDlg& survey = rig.survey;
    test::FakeWindow& w = rig.host.Open(survey);
    rig.Run(survey, w, 10000);
    ASSERT_TRUE(w.IsChecked(IDC_SURVEY_ROAMING));

    // Off: the card restarts and the adapter stays with EAST past the point where it roamed.
    w.SetCheck(IDC_SURVEY_ROAMING, false);
    survey.OnCommand(IDC_SURVEY_ROAMING);
    EXPECT_EQ(rig.host.busyDepth, 0);
    EXPECT_TRUE(survey.RoamingChanged());
    EXPECT_EQ(survey.Table().NodeCount(), 0);
    rig.Run(survey, w, 70000);
    EXPECT_FALSE(survey.RoamingChanged());
    EXPECT_TRUE(rig.os.beeps.empty());
    EXPECT_EQ(w.GetText(IDC_SURVEY_MASTER_FIRST), "EAST");
    uint8_t flag = 0;
    ASSERT_EQ(GetRoamingFlag(rig.channel, &flag, 0), 0);
    EXPECT_EQ(flag, 1);

    // On again: the adapter roams to the stronger WEST.
    w.SetCheck(IDC_SURVEY_ROAMING, true);
    survey.OnCommand(IDC_SURVEY_ROAMING);
    ASSERT_EQ(GetRoamingFlag(rig.channel, &flag, 0), 0);
    EXPECT_EQ(flag, 0);
    rig.Run(survey, w, 10000);
    EXPECT_STREQ(rig.status.masterName, "WEST");
    EXPECT_FALSE(survey.ResyncPending());
    survey.OnDestroy();
}

TEST(SurveyDlgTest, FaultySiteIsSurvived) {
    // From 6 s (the driver is absent for the first five) through the lost span at 40-45 s.
    SurveyOnSite rig(test::ShippedScenario("faults.ini"), 6000);
    ASSERT_TRUE(rig.main.AdapterReady());
    CSiteSurveyDlg& survey = rig.survey;
    test::FakeWindow& w = rig.host.Open(survey);
    EXPECT_FALSE(survey.ResyncOnRoamingOff());  // the version item is refused
    bool lost = false;
    while (rig.clock.Now() < 60000) {
        rig.Run(survey, w, 500);
        lost = lost || survey.ReattachNeeded();
        if (rig.clock.Now() > 41000 && rig.clock.Now() < 44000) {
            EXPECT_TRUE(w.IsControlVisible(IDC_SURVEY_OUT_OF_RANGE) || survey.ReattachNeeded());
        }
    }
    EXPECT_TRUE(lost);
    EXPECT_FALSE(survey.ReattachNeeded());
    survey.OnCommand(IDC_SURVEY_ADDRESS_ORDER);
    rig.Run(survey, w, 10000);
    EXPECT_EQ(w.GetText(IDC_SURVEY_ADDRESS_FIRST), kMaster);
    EXPECT_EQ(w.GetText(IDC_SURVEY_ADDRESS_FIRST + 1), "0020a6200001");
    survey.OnDestroy();
}

}  // namespace
}  // namespace odr::survey
