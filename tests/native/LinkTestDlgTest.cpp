// The Directed Link window against the recording window on the virtual clock: with a
// scripted adapter where the exact figures and commands matter (passes, signal bar,
// slider, ping types, roaming, driver faults, failures, re-synchronisation, Done, Help),
// and on the simulated default site and its faults through the tool seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Operations.h"
#include "driver/RssiTable.h"
#include "fakes/FakeChannel.h"
#include "fakes/FakeShell.h"
#include "fakes/FakeUi.h"
#include "fakes/ShippedScenario.h"
#include "fakes/SimShell.h"
#include "linktest/DirectedLinkDlg.h"
#include "platform/MemoryRegistry.h"
#include "resources/resource.h"
#include "shell/ShellAdapterUi.h"
#include "shell/ToolSet.h"
#include "shell/kit/HelpDlg.h"
#include "sim/Scenario.h"
#include "sim/SimDevice.h"

namespace odr::linktest {
namespace {

using test::FakeAnswer;

const char kMaster[] = "0020a6100001";
const char kNode[] = "0020a6200001";
const std::vector<uint8_t> kMasterBytes = {0x00, 0x20, 0xa6, 0x10, 0x00, 0x01};
const std::vector<uint8_t> kNodeBytes = {0x00, 0x20, 0xa6, 0x20, 0x00, 0x01};
const std::vector<uint8_t> kOwnBytes = {0x00, 0x20, 0xa6, 0xf0, 0x00, 0x01};

std::vector<uint8_t> U32(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

// A synchronised adapter whose target answers every ping after `latency` ms with a reply
// of `signal` (raw reading = percentage) and `value` bytes.
struct LinkRig : test::FakeShell {
    LinkRig() {
        for (int r = 0; r < 256; ++r) rssi.percent[r] = uint8_t(r > 100 ? 100 : r);
        status.cardInitialised = true;
        std::snprintf(status.masterAddress, sizeof status.masterAddress, "%s", kMaster);
        std::snprintf(status.masterName, sizeof status.masterName, "LOBBY");
        std::snprintf(status.nodeAddress, sizeof status.nodeAddress, "0020a6f00001");
        FakeAdapterItems();
        SetDriverVersion("2.10");
        auto& commands = fc.adapter.commands;
        commands[CMD_TRANSMIT_PING] = [this](const uint8_t* data, uint32_t) {
            return Transmit(data, false);
        };
        commands[CMD_TRANSMIT_PING_LONG] = [this](const uint8_t* data, uint32_t) {
            return Transmit(data, true);
        };
        commands[CMD_POLL_PING] = [this](const uint8_t* data, uint32_t) {
            ++polls;
            if (poll) return poll(data[0]);
            // Like the driver: a handle never issued is refused, one that completed
            // reports its completion again.
            if (data[0] == 0 || data[0] > handle) return FakeAnswer::Result(-1);
            if (fc.clock.now < sentAt + Latency())
                return FakeAnswer::Data({data[0], 0, 0, 0, 0, 0}, 1);
            if (!completedHandles.insert(data[0]).second) ++stalePolls;
            std::vector<uint8_t> reply = {data[0], 0};
            for (uint8_t b : U32(driverSent + Latency())) reply.push_back(b);
            return FakeAnswer::Data(reply);
        };
        commands[CMD_RECEIVE_PING] = [this](const uint8_t*, uint32_t) {
            if (replies.empty()) return FakeAnswer::Result(0);
            std::vector<uint8_t> reply = replies.front();
            replies.pop_front();
            return FakeAnswer::Data(reply, 1);
        };
    }
    void FakeAdapterItems() {
        auto& items = fc.adapter.items;
        items[ITEM_SYNC_STATE] = {1};
        items[ITEM_ROAMING] = {1};
        items[ITEM_SYNC_MASTER_ADDR] = kMasterBytes;
        items[ITEM_SYNC_MASTER_NAME] = {'L', 'O', 'B', 'B', 'Y'};
        items[ITEM_NODE_ADDR] = kOwnBytes;
    }
    void SetDriverVersion(const std::string& version) {
        fc.adapter.commands[CMD_GET_DRIVER_VERSION] = [version](const uint8_t*, uint32_t) {
            std::vector<uint8_t> text(version.begin(), version.end());
            text.push_back(0);
            return FakeAnswer::Data(text);
        };
    }
    uint32_t Latency() const {
        return latencies.empty() ? 10 : latencies[pings % latencies.size()];
    }
    FakeAnswer Transmit(const uint8_t* data, bool longForm) {
        if (busyTransmits > 0) {
            --busyTransmits;
            return FakeAnswer::Result(busyResult);
        }
        if (transmitResult != 0) return FakeAnswer::Result(transmitResult);
        payloads.push_back(ReadU32(data + (longForm ? 16 : 14)));
        sentAt = fc.clock.now;
        latency = latencies.empty() ? 10 : latencies[size_t(pings) % latencies.size()];
        driverSent = 7000 + sentAt;  // the driver's own clock
        if (answers) {
            std::vector<uint8_t> reply(18, 0);
            for (size_t i = 0; i < 6; ++i) reply[i] = answerFrom[i];
            reply[12] = signal;
            std::vector<uint8_t> v = U32(value);
            std::copy(v.begin(), v.end(), reply.begin() + 14);
            replies.push_back(reply);
        }
        std::vector<uint8_t> block(13, 0);
        for (int i = 0; i < 4; ++i) block[8 + i] = U32(driverSent)[i];
        if (longForm) {
            block.resize(16);
            for (int i = 0; i < 4; ++i) block[12 + i] = U32(driverSent + Latency())[i];
        } else {
            handle = handle % 255 + 1;  // 1 to 255, as the driver issues them
            completedHandles.erase(handle);
            block[12] = uint8_t(handle);
        }
        ++pings;
        return FakeAnswer::Data(block);
    }

    CDirectedLinkDlg& Open(const char* address = kNode, int packetSize = 1500, int pingType = 0,
                           int radioMode = 0) {
        shell::LinkTestTarget target;
        target.address = address;
        target.radioMode = radioMode;
        target.masterDomain = 1;
        target.masterChannel = 3;
        target.masterSubchannel = 1;
        dialog = std::make_unique<CDirectedLinkDlg>(ctx, target, packetSize, pingType);
        w = &host.Open(*dialog);
        return *dialog;
    }
    // One pass, as timer 1 runs it.
    void Pass() {
        ASSERT_EQ(w->TimerInterval(1), 100u);
        dialog->OnTimer(1);
    }
    std::string Text(int id) const { return w->GetText(id); }
    bool OutOfRange() const { return w->IsControlVisible(IDC_LINK_OUT_OF_RANGE); }

    std::unique_ptr<CDirectedLinkDlg> dialog;
    test::FakeWindow* w = nullptr;

    bool answers = true;
    std::vector<uint8_t> answerFrom = kNodeBytes;
    uint8_t signal = 60;
    uint32_t value = 1500;
    std::vector<uint32_t> latencies;  // of the pings in turn; 10 ms without
    uint32_t latency = 10;
    int32_t transmitResult = 0;
    int busyTransmits = 0;  // the next transmits answer busyResult
    int32_t busyResult = -7;
    std::set<int> completedHandles;
    int stalePolls = 0;  // completed pings polled again
    std::function<FakeAnswer(uint8_t handle)> poll;
    std::deque<std::vector<uint8_t>> replies;
    std::vector<uint32_t> payloads;
    uint32_t sentAt = 0, driverSent = 0;
    int handle = 0, pings = 0, polls = 0;
};

TEST(LinkTestDlgTest, OpeningResetsEveryFigureAndControl) {
    LinkRig rig;
    rig.Open(kMaster, 1500, kPingRadioLevel, 1);
    test::FakeWindow& w = *rig.w;
    EXPECT_EQ(w.RadioIndex(IDC_LINK_RADIO_LEVEL), 0);
    EXPECT_TRUE(w.IsEnabled(IDC_LINK_DRIVER_LEVEL));
    EXPECT_EQ(rig.Text(IDC_LINK_ADDRESS), kMaster);
    EXPECT_EQ(rig.Text(IDC_LINK_MASTER_HEADING), "Master Name");
    EXPECT_EQ(rig.Text(IDC_LINK_MASTER_NAME), "LOBBY");
    for (int id : {IDC_LINK_PACKETS, IDC_LINK_BYTES, IDC_LINK_SIGNAL_TEXT})
        EXPECT_EQ(rig.Text(id), "") << id;
    for (int id :
         {IDC_LINK_LATENCY, IDC_LINK_MAXIMUM, IDC_LINK_DEVIATION, IDC_LINK_AVERAGE_LATENCY})
        EXPECT_EQ(rig.Text(id), "0") << id;
    EXPECT_EQ(rig.Text(IDC_LINK_RADIO_MODE), "QFSK");
    EXPECT_EQ(w.progressBars[IDC_LINK_SIGNAL_BAR].range.high, 100);
    const test::FakeTrackbar& slider = w.trackbars[IDC_LINK_PACKET_SLIDER];
    EXPECT_EQ(slider.range.low, 60);
    EXPECT_EQ(slider.range.high, 1500);
    ASSERT_EQ(slider.ticks.size(), 143u);
    EXPECT_EQ(slider.ticks.front(), 70);
    EXPECT_EQ(slider.ticks.back(), 1490);
    EXPECT_EQ(slider.Position(), 1500);
    EXPECT_EQ(rig.Text(IDC_LINK_PACKET_SIZE), "1500");
    EXPECT_EQ(w.TimerInterval(1), 100u);
    EXPECT_EQ(rig.fc.adapter.Commands(), (std::vector<uint32_t>{CMD_GET_DRIVER_VERSION}));

    // A node, in radio mode 3 (no radio mode line).
    LinkRig node;
    node.Open(kNode, 1500, kPingRadioLevel, 3);
    EXPECT_EQ(node.Text(IDC_LINK_MASTER_HEADING), "");
    EXPECT_EQ(node.Text(IDC_LINK_RADIO_MODE_LABEL), "");
    EXPECT_FALSE(node.w->IsEnabled(IDC_LINK_RADIO_MODE));
    LinkRig odd;
    odd.Open(kNode, 1500, kPingRadioLevel, 7);
    EXPECT_EQ(odd.Text(IDC_LINK_RADIO_MODE), "????");

    // A packet size the slider cannot hold becomes the one it shows.
    LinkRig big;
    big.Open(kNode, 2147483647, kPingDriverLevel);
    EXPECT_EQ(big.w->trackbars[IDC_LINK_PACKET_SLIDER].Position(), 1500);
    EXPECT_EQ(big.dialog->PacketSize(), 1470);
    LinkRig small;
    small.Open(kNode, -5, kPingRadioLevel);
    EXPECT_EQ(small.Text(IDC_LINK_PACKET_SIZE), "60");
    EXPECT_EQ(small.dialog->PacketSize(), 60);
}

TEST(LinkTestDlgTest, OldDriverVersionsDisableDriverLevel) {
    for (const char* version : {"V1.2", "1.2b", "1.0", "V1.1"}) {
        LinkRig rig;
        rig.SetDriverVersion(version);
        rig.Open();
        EXPECT_FALSE(rig.w->IsEnabled(IDC_LINK_DRIVER_LEVEL)) << version;
    }
    LinkRig recent;
    recent.SetDriverVersion("V1.3");
    recent.Open();
    EXPECT_TRUE(recent.w->IsEnabled(IDC_LINK_DRIVER_LEVEL));
}

TEST(LinkTestDlgTest, FirstPassCountsSlotZeroOnly) {
    LinkRig rig;
    rig.Open();
    rig.fc.clock.now = 1000;
    rig.dialog->OnCommand(IDC_LINK_RESET);  // start time 1000
    const int yields = rig.fc.clock.yields;
    rig.Pass();
    // 10 ms a ping: 50 pings completed in the 500 ms, each answered once.
    const Slot& first = rig.dialog->Measurement().At(0);
    EXPECT_EQ(first.completed, 50);
    EXPECT_EQ(first.replies, 50);
    EXPECT_EQ(rig.Text(IDC_LINK_PACKETS), "200");
    EXPECT_EQ(rig.Text(IDC_LINK_AVERAGE_PACKETS), "200");
    EXPECT_EQ(rig.Text(IDC_LINK_BYTES), std::to_string(2 * 100 * 1500));
    EXPECT_EQ(rig.Text(IDC_LINK_LATENCY), "10");
    EXPECT_EQ(rig.Text(IDC_LINK_MAXIMUM), "10");
    EXPECT_EQ(rig.Text(IDC_LINK_DEVIATION), "0.0");
    EXPECT_EQ(rig.Text(IDC_LINK_SIGNAL_TEXT), "60 %");
    EXPECT_EQ(rig.Text(IDC_LINK_SECONDS), "0");
    EXPECT_FALSE(rig.OutOfRange());
    EXPECT_EQ(rig.dialog->Measurement().CurrentIndex(), 1);
    EXPECT_EQ(rig.payloads.front(), 1500u);
    // Polled with 1 ms pauses: the virtual clock moved only by sleeps.
    EXPECT_EQ(rig.fc.clock.yields, yields);
    EXPECT_EQ(rig.fc.clock.now, 1500u);
    EXPECT_EQ(rig.w->TimerInterval(1), 100u);

    // The second pass halves nothing: two slots of the same rate.
    rig.Pass();
    EXPECT_EQ(rig.Text(IDC_LINK_PACKETS), "200");
    EXPECT_EQ(rig.Text(IDC_LINK_SECONDS), "1");
}

TEST(LinkTestDlgTest, LatencyDeviationShownWithOneDecimal) {
    LinkRig rig;
    // Five pings fill the pass: 100, 100, 100, 100 and 101 ms.
    rig.latencies = {100, 100, 100, 100, 101};
    rig.Open();
    rig.Pass();
    const Slot& slot = rig.dialog->Measurement().At(0);
    ASSERT_EQ(slot.sampleCount, 5);
    EXPECT_EQ(rig.Text(IDC_LINK_LATENCY), "100");    // round(100.2)
    EXPECT_EQ(rig.Text(IDC_LINK_DEVIATION), "0.4");  // sqrt(1/5)
    EXPECT_EQ(rig.Text(IDC_LINK_MAXIMUM), "101");
    EXPECT_EQ(rig.Text(IDC_LINK_AVERAGE_LATENCY), "100");
}

TEST(LinkTestDlgTest, SignalBarFollowsTheReplies) {
    struct Case {
        uint8_t raw;
        int bar;
    };
    for (const Case& c : {Case{60, 60}, Case{61, 70}, Case{95, 100}, Case{0, 0}}) {
        LinkRig rig;
        rig.signal = c.raw;
        rig.Open();
        rig.Pass();
        EXPECT_EQ(rig.w->progressBars[IDC_LINK_SIGNAL_BAR].Position(), c.bar) << int(c.raw);
        EXPECT_EQ(rig.Text(IDC_LINK_SIGNAL_TEXT), std::to_string(c.bar) + " %");
    }
    // A reading above 100 counts as 100; replies from other nodes count for nothing.
    LinkRig high;
    high.rssi.percent[200] = 200;
    high.signal = 200;
    high.Open();
    high.Pass();
    EXPECT_EQ(high.Text(IDC_LINK_SIGNAL_TEXT), "100 %");
    EXPECT_EQ(high.dialog->Measurement().At(0).signalSum, 100 * 50);

    LinkRig other;
    other.answerFrom = kMasterBytes;
    other.Open();
    other.Pass();
    EXPECT_EQ(other.Text(IDC_LINK_SIGNAL_TEXT), "0 %");
    EXPECT_EQ(other.Text(IDC_LINK_PACKETS), "100");  // completed pings only
    // Without a reply from the target no latency is kept.
    EXPECT_EQ(other.Text(IDC_LINK_LATENCY), "0");
    EXPECT_EQ(other.dialog->Measurement().At(0).sampleCount, 0);
}

TEST(LinkTestDlgTest, DriverLevelSendsThirtyBytesLessThanTheSlider) {
    LinkRig rig;
    rig.Open(kNode, 1500, kPingRadioLevel);
    test::FakeWindow& w = *rig.w;
    w.trackbars[IDC_LINK_PACKET_SLIDER].SetPosition(400);
    rig.dialog->OnScroll(IDC_LINK_PACKET_SLIDER, ui::ScrollCode::ThumbTrack, 400);
    EXPECT_EQ(rig.Text(IDC_LINK_PACKET_SIZE), "400");
    EXPECT_EQ(rig.dialog->PacketSize(), 400);

    // Driver-Level: the slider stays, the packet is 30 bytes smaller, latency greyed.
    w.radioIndex[IDC_LINK_RADIO_LEVEL] = 1;
    rig.dialog->OnCommand(IDC_LINK_DRIVER_LEVEL);
    EXPECT_EQ(rig.dialog->PingType(), kPingDriverLevel);
    EXPECT_EQ(rig.dialog->PacketSize(), 370);
    EXPECT_EQ(w.trackbars[IDC_LINK_PACKET_SLIDER].Position(), 400);
    for (int id : {IDC_LINK_LATENCY_GROUP, IDC_LINK_LATENCY, IDC_LINK_MAXIMUM, IDC_LINK_DEVIATION,
                   IDC_LINK_AVERAGE_LATENCY, IDC_LINK_AVERAGE_LATENCY_HEADING})
        EXPECT_FALSE(w.IsEnabled(id)) << id;
    rig.Pass();
    EXPECT_EQ(rig.payloads.back(), 370u);
    EXPECT_EQ(rig.fc.adapter.Count(CMD_POLL_PING), 0);
    EXPECT_GT(rig.dialog->Measurement().At(0).completed, 0);
    EXPECT_EQ(rig.Text(IDC_LINK_LATENCY), "0");  // not shown for Driver-Level
    EXPECT_NE(rig.Text(IDC_LINK_PACKETS), "");

    // The slider's low end: 30-byte pings.
    w.trackbars[IDC_LINK_PACKET_SLIDER].SetPosition(60);
    rig.dialog->OnScroll(IDC_LINK_PACKET_SLIDER, ui::ScrollCode::EndScroll, 0);
    EXPECT_EQ(rig.dialog->PacketSize(), 30);
    rig.Pass();
    EXPECT_EQ(rig.payloads.back(), 30u);

    // Back to Radio-Level: the same slider position sends its own size again.
    w.radioIndex[IDC_LINK_RADIO_LEVEL] = 0;
    rig.dialog->OnCommand(IDC_LINK_RADIO_LEVEL);
    EXPECT_EQ(rig.dialog->PacketSize(), 60);
    EXPECT_TRUE(w.IsEnabled(IDC_LINK_LATENCY));
    // A click on the type already chosen changes nothing.
    rig.dialog->OnCommand(IDC_LINK_RADIO_LEVEL);
    EXPECT_EQ(rig.dialog->PacketSize(), 60);
}

TEST(LinkTestDlgTest, DefaultsCarryTheSliderAcrossOpenings) {
    LinkRig rig;
    shell::CToolSet tools(rig.ctx);
    EXPECT_EQ(rig.ctx.linkTestDefaults.packetSize, 1500);
    EXPECT_EQ(rig.ctx.linkTestDefaults.pingType, 0);
    std::vector<int> sliderSeen;
    rig.host.scripts[IDD_DIRECTED_LINK] = [&](ui::Dialog& d, test::FakeWindow& w) {
        sliderSeen.push_back(w.trackbars[IDC_LINK_PACKET_SLIDER].Position());
        if (sliderSeen.size() > 1) return;
        w.radioIndex[IDC_LINK_RADIO_LEVEL] = 1;
        d.OnCommand(IDC_LINK_DRIVER_LEVEL);
        w.trackbars[IDC_LINK_PACKET_SLIDER].SetPosition(60);
        d.OnScroll(IDC_LINK_PACKET_SLIDER, ui::ScrollCode::ThumbPosition, 60);
    };
    shell::LinkTestTarget target;
    target.address = kNode;
    tools.RunLinkTest(target);
    EXPECT_EQ(rig.ctx.linkTestDefaults.packetSize, 30);
    EXPECT_EQ(rig.ctx.linkTestDefaults.pingType, 1);
    tools.RunLinkTest(target);
    EXPECT_EQ(sliderSeen, (std::vector<int>{1500, 60}));
    EXPECT_EQ(rig.ctx.linkTestDefaults.packetSize, 30);
    EXPECT_EQ(rig.host.RunTemplates(), (std::vector<int>{IDD_DIRECTED_LINK, IDD_DIRECTED_LINK}));
}

TEST(LinkTestDlgTest, OutOfRangeWhileTheAdapterHasNoMaster) {
    LinkRig rig;
    rig.Open();
    rig.fc.adapter.items[ITEM_SYNC_STATE] = {0};
    rig.Pass();
    EXPECT_TRUE(rig.OutOfRange());
    EXPECT_EQ(rig.pings, 0);
    EXPECT_EQ(rig.Text(IDC_LINK_PACKETS), "0");  // the slot was counted, empty
    EXPECT_EQ(rig.dialog->Measurement().CurrentIndex(), 1);

    rig.fc.adapter.items[ITEM_SYNC_STATE] = {1};
    rig.Pass();
    EXPECT_FALSE(rig.OutOfRange());
    EXPECT_EQ(rig.Text(IDC_LINK_PACKETS), "100");  // 200 over two slots
}

TEST(LinkTestDlgTest, RoamingToAnotherMasterBeepsAndFollowsIt) {
    LinkRig rig;
    rig.fc.adapter.items[ITEM_ROAMING] = {0};
    rig.answerFrom = kMasterBytes;
    rig.Open(kMaster);
    rig.Pass();
    EXPECT_TRUE(rig.fc.os.beeps.empty());

    const std::vector<uint8_t> annex = {0x00, 0x20, 0xa6, 0x10, 0x00, 0x03};
    rig.fc.adapter.items[ITEM_SYNC_MASTER_ADDR] = annex;
    rig.fc.adapter.items[ITEM_SYNC_MASTER_NAME] = {'A', 'N', 'N', 'E', 'X'};
    rig.answerFrom = annex;
    rig.Pass();
    EXPECT_EQ(rig.fc.os.beeps, (std::vector<std::pair<unsigned, unsigned>>{{1000, 500}}));
    EXPECT_EQ(rig.dialog->Target(), "0020a6100003");
    EXPECT_EQ(rig.Text(IDC_LINK_ADDRESS), "0020a6100003");
    EXPECT_EQ(rig.Text(IDC_LINK_MASTER_NAME), "ANNEX");
    EXPECT_EQ(rig.dialog->RememberedMaster(), "0020a6100003");

    // A node as target stays the target; the adapter being the master counts no pings.
    LinkRig node;
    node.fc.adapter.items[ITEM_ROAMING] = {0};
    node.Open(kNode);
    node.fc.adapter.items[ITEM_SYNC_MASTER_ADDR] = annex;
    node.Pass();
    EXPECT_EQ(node.fc.os.beeps.size(), 1u);
    EXPECT_EQ(node.dialog->Target(), kNode);
    node.fc.adapter.items[ITEM_SYNC_MASTER_ADDR] = kOwnBytes;
    node.Pass();
    EXPECT_EQ(node.fc.os.beeps.size(), 2u);
    EXPECT_EQ(node.dialog->Measurement().At(1).completed, 0);
    EXPECT_EQ(node.dialog->Measurement().At(1).replies, 50);

    // Roaming disabled: the master is never read during the test.
    LinkRig fixed;
    fixed.Open(kMaster);
    fixed.fc.adapter.items[ITEM_SYNC_MASTER_ADDR] = annex;
    fixed.Pass();
    EXPECT_TRUE(fixed.fc.os.beeps.empty());
    EXPECT_EQ(fixed.dialog->Target(), kMaster);
}

// A followed roam holds: Reset and a ping-type change keep the new master as the target
// without a second beep, and a further roam is followed again.
TEST(LinkTestDlgTest, AFollowedRoamHoldsAcrossResetPingTypeChangesAndFurtherRoams) {
    LinkRig rig;
    rig.fc.adapter.items[ITEM_ROAMING] = {0};
    rig.answerFrom = kMasterBytes;
    rig.Open(kMaster);
    rig.Pass();
    const std::vector<uint8_t> annex = {0x00, 0x20, 0xa6, 0x10, 0x00, 0x03};
    rig.fc.adapter.items[ITEM_SYNC_MASTER_ADDR] = annex;
    rig.fc.adapter.items[ITEM_SYNC_MASTER_NAME] = {'A', 'N', 'N', 'E', 'X'};
    rig.answerFrom = annex;
    rig.Pass();
    ASSERT_EQ(rig.fc.os.beeps.size(), 1u);
    EXPECT_STREQ(rig.status.masterAddress, "0020a6100003");
    EXPECT_STREQ(rig.status.masterName, "ANNEX");

    rig.dialog->OnCommand(IDC_LINK_RESET);
    EXPECT_EQ(rig.Text(IDC_LINK_MASTER_NAME), "ANNEX");
    rig.Pass();
    rig.w->radioIndex[IDC_LINK_RADIO_LEVEL] = 1;
    rig.dialog->OnCommand(IDC_LINK_DRIVER_LEVEL);
    rig.Pass();
    EXPECT_EQ(rig.fc.os.beeps.size(), 1u);
    EXPECT_EQ(rig.dialog->Target(), "0020a6100003");
    EXPECT_GT(rig.dialog->Measurement().At(0).replies, 0);  // ANNEX still answers

    const std::vector<uint8_t> warehouse = {0x00, 0x20, 0xa6, 0x10, 0x00, 0x02};
    rig.fc.adapter.items[ITEM_SYNC_MASTER_ADDR] = warehouse;
    rig.fc.adapter.items[ITEM_SYNC_MASTER_NAME] = {'W', 'A', 'R', 'E'};
    rig.answerFrom = warehouse;
    rig.Pass();
    EXPECT_EQ(rig.fc.os.beeps.size(), 2u);
    EXPECT_EQ(rig.dialog->Target(), "0020a6100002");
    EXPECT_EQ(rig.Text(IDC_LINK_ADDRESS), "0020a6100002");
    EXPECT_EQ(rig.Text(IDC_LINK_MASTER_NAME), "WARE");
}

TEST(LinkTestDlgTest, DriverFaultRestartsTheWindowAndReattachesNextPass) {
    LinkRig rig;
    rig.Open();
    rig.Pass();
    rig.Pass();
    ASSERT_EQ(rig.dialog->Measurement().CurrentIndex(), 2);
    const std::string seconds = rig.Text(IDC_LINK_SECONDS);

    rig.fc.adapter.script.push_back(FakeAnswer::Error(31));  // GetSyncState not carried
    rig.Pass();
    EXPECT_TRUE(rig.dialog->ReattachNeeded());
    EXPECT_EQ(rig.dialog->Measurement().CurrentIndex(), 0);
    EXPECT_EQ(rig.dialog->Measurement().At(0).completed, 0);
    EXPECT_EQ(rig.dialog->Measurement().At(1).completed, 50);  // kept
    EXPECT_EQ(rig.dialog->Measurement().Sums().passes, 2);     // no statistics
    EXPECT_EQ(rig.w->TimerInterval(1), 100u);

    // The next pass shows the fault, re-opens and re-attaches, then measures.
    rig.fc.adapter.Clear();
    rig.Pass();
    EXPECT_FALSE(rig.dialog->ReattachNeeded());
    const std::vector<uint32_t> commands = rig.fc.adapter.Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.front(), CMD_REATTACH_DRIVER);
    EXPECT_TRUE(std::find(rig.w->textLog[IDC_LINK_SECONDS].begin(),
                          rig.w->textLog[IDC_LINK_SECONDS].end(),
                          seconds) != rig.w->textLog[IDC_LINK_SECONDS].end());
    EXPECT_FALSE(rig.OutOfRange());
    EXPECT_EQ(rig.dialog->Measurement().Sums().passes, 3);

    // A device that does not open: the fault stays, the pass measures nothing.
    rig.fc.adapter.script.push_back(FakeAnswer::Error(31));
    rig.Pass();
    rig.fc.host.existing.clear();
    const int pings = rig.pings;
    rig.Pass();
    EXPECT_TRUE(rig.dialog->ReattachNeeded());
    EXPECT_TRUE(rig.OutOfRange());
    EXPECT_EQ(rig.pings, pings);
    EXPECT_EQ(rig.w->TimerInterval(1), 100u);

    // Driver-Level: result 11 is the driver's fault.
    LinkRig level;
    level.Open(kNode, 1470, kPingDriverLevel);
    level.transmitResult = 11;
    level.Pass();
    EXPECT_TRUE(level.dialog->ReattachNeeded());
    EXPECT_EQ(level.dialog->ConsecutiveFailures(), 0);
}

TEST(LinkTestDlgTest, ElevenFailedSendsRestartTheCardEachTime) {
    LinkRig rig;
    rig.Open();
    rig.transmitResult = -3;
    for (int pass = 1; pass <= 10; ++pass) rig.Pass();
    EXPECT_EQ(rig.dialog->ConsecutiveFailures(), 10);
    EXPECT_EQ(rig.fc.adapter.Count(CMD_START_CARD), 0);
    EXPECT_FALSE(rig.dialog->ReattachNeeded());
    EXPECT_EQ(rig.dialog->Measurement().Sums().passes, 0);

    rig.Pass();
    EXPECT_EQ(rig.fc.adapter.Count(CMD_START_CARD), 1);
    EXPECT_EQ(rig.host.busyDepth, 0);
    rig.Pass();  // the count was not reset: again
    EXPECT_EQ(rig.fc.adapter.Count(CMD_START_CARD), 2);
    EXPECT_EQ(rig.dialog->ConsecutiveFailures(), 12);

    // A completed ping ends the run of failures.
    rig.transmitResult = 0;
    rig.Pass();
    EXPECT_EQ(rig.dialog->ConsecutiveFailures(), 0);
    EXPECT_EQ(rig.fc.adapter.Count(CMD_START_CARD), 2);

    // Driver-Level failures count the same way; -9 is a fault there too, never a ping.
    LinkRig level;
    level.Open(kNode, 1470, kPingDriverLevel);
    level.transmitResult = 5;
    level.Pass();
    EXPECT_EQ(level.dialog->ConsecutiveFailures(), 1);
    level.fc.adapter.commands.erase(CMD_TRANSMIT_PING_LONG);
    level.fc.adapter.commands[CMD_TRANSMIT_PING_LONG] = [](const uint8_t*, uint32_t) {
        return FakeAnswer::Error(31);
    };
    level.Pass();
    EXPECT_TRUE(level.dialog->ReattachNeeded());
    EXPECT_EQ(level.dialog->Measurement().At(0).sampleCount, 0);
}

TEST(LinkTestDlgTest, MoreThanTenFailedPollsResynchroniseToTheMaster) {
    LinkRig rig;
    rig.Open(kMaster);
    rig.poll = [](uint8_t) { return FakeAnswer::Result(-3); };
    rig.Pass();
    EXPECT_EQ(rig.polls, 11);
    EXPECT_EQ(rig.pings, 1);  // a failed poll is polled again
    EXPECT_EQ(rig.fc.adapter.Count(CMD_SEARCH_SYNCHRONOUS), 1);
    EXPECT_EQ(rig.fc.adapter.Count(CMD_START_CARD), 1);
    EXPECT_EQ(rig.dialog->ConsecutiveFailures(), 0);
    EXPECT_FALSE(rig.dialog->PingOutstanding());
    EXPECT_EQ(rig.dialog->Measurement().CurrentIndex(), 0);
    EXPECT_EQ(rig.host.busyDepth, 0);
    // The search asked for the dialog's master domain, channel and subchannel.
    for (size_t i = 0; i < rig.fc.adapter.Calls(); ++i) {
        if (rig.fc.adapter.CommandOf(i) != CMD_SEARCH_SYNCHRONOUS) continue;
        const std::vector<uint8_t> data = rig.fc.adapter.DataOf(i);
        ASSERT_GE(data.size(), 3u);
        EXPECT_EQ(data[0], 3);  // channel
        EXPECT_EQ(data[1], 1);  // subchannel
        EXPECT_EQ(data[2], 1);  // domain
    }

    // A ping the driver gave up is not polled again: a new one is sent.
    LinkRig given;
    given.Open();
    given.poll = [](uint8_t handle) { return FakeAnswer::Data({handle, 0, 0, 0, 0, 0}, 2); };
    given.Pass();
    EXPECT_EQ(given.fc.adapter.Count(CMD_SEARCH_SYNCHRONOUS), 1);
    EXPECT_EQ(given.pings, 11);
}

// SendPing's results in a Radio-Level pass. Nothing was sent, so nothing is polled: neither
// handle 0 nor the last ping, whose completion would count again. -6 and -7 (still busy
// after its retry) send again within the pass and are no failure; any other negative is a
// failure, -9 the driver's fault.
TEST(LinkTestDlgTest, FailedSendsAreNeverPolled) {
    struct Case {
        FakeAnswer answer;
        bool busy;
        bool fault;
    };
    for (const Case& c :
         {Case{FakeAnswer::Result(-7), true, false}, Case{FakeAnswer::Result(-6), true, false},
          Case{FakeAnswer::Result(-5), false, false}, Case{FakeAnswer::Result(-2), false, false},
          Case{FakeAnswer::Error(31), false, true}}) {
        LinkRig rig;
        rig.Open(kMaster);
        int transmits = 0;
        rig.fc.adapter.commands[CMD_TRANSMIT_PING] = [&c, &transmits](const uint8_t*, uint32_t) {
            ++transmits;
            return c.answer;
        };
        rig.Pass();
        const std::string name = std::to_string(c.answer.result) + (c.fault ? " fault" : "");
        EXPECT_EQ(rig.polls, 0) << name;
        EXPECT_EQ(rig.dialog->ReattachNeeded(), c.fault) << name;
        EXPECT_EQ(rig.dialog->ConsecutiveFailures(), c.busy || c.fault ? 0 : 1) << name;
        EXPECT_FALSE(rig.dialog->PingOutstanding()) << name;
        // A busy pass goes on sending and shows its figures; a failed one restarts.
        EXPECT_EQ(rig.dialog->Measurement().Sums().passes, c.busy ? 1 : 0) << name;
        if (c.busy) {
            EXPECT_GT(transmits, 2) << name;
        }
        EXPECT_EQ(rig.fc.adapter.Count(CMD_SEARCH_SYNCHRONOUS), 0) << name;
        EXPECT_EQ(rig.fc.adapter.Count(CMD_START_CARD), 0) << name;
    }

    // A transmitter busy pass after pass never restarts the card or re-synchronises.
    {
        LinkRig rig;
        rig.Open(kMaster);
        rig.fc.adapter.commands[CMD_TRANSMIT_PING] = [](const uint8_t*, uint32_t) {
            return FakeAnswer::Result(-7);
        };
        for (int pass = 0; pass < 15; ++pass) rig.Pass();
        EXPECT_EQ(rig.dialog->ConsecutiveFailures(), 0);
        EXPECT_EQ(rig.fc.adapter.Count(CMD_SEARCH_SYNCHRONOUS), 0);
        EXPECT_EQ(rig.fc.adapter.Count(CMD_START_CARD), 0);
        EXPECT_EQ(rig.polls, 0);
    }

    // Busy after pings have completed: the last one is not counted again, and the pass goes
    // on measuring with the next send.
    LinkRig rig;
    rig.Open();
    rig.Pass();
    rig.busyTransmits = 2;  // the send and its retry
    rig.Pass();
    EXPECT_EQ(rig.stalePolls, 0);
    EXPECT_EQ(rig.dialog->ConsecutiveFailures(), 0);
    EXPECT_EQ(rig.dialog->Measurement().Sums().passes, 2);
    rig.Pass();
    EXPECT_EQ(rig.dialog->ConsecutiveFailures(), 0);
    EXPECT_EQ(rig.stalePolls, 0);
}

// Driver-Level results 1 (busy) and 2 (given up) even after SendPing's retry carry no time
// stamps of their own: no ping counts, and the run of failures ends as for a completed ping.
TEST(LinkTestDlgTest, DriverLevelResultsOneAndTwoCountNoPing) {
    for (int32_t result : {1, 2}) {
        LinkRig rig;
        rig.Open(kNode, 1470, kPingDriverLevel);
        rig.Pass();  // the stamps of its last ping stay behind
        rig.transmitResult = 5;
        rig.Pass();
        ASSERT_EQ(rig.dialog->ConsecutiveFailures(), 1);
        rig.transmitResult = result;
        const int transmits = rig.fc.adapter.Count(CMD_TRANSMIT_PING_LONG);
        rig.Pass();
        const Slot& slot = rig.dialog->Measurement().At(0);  // the failure restarted at 0
        EXPECT_GT(rig.fc.adapter.Count(CMD_TRANSMIT_PING_LONG), transmits) << result;
        EXPECT_EQ(slot.completed, 0) << result;
        EXPECT_EQ(slot.sampleCount, 0) << result;
        EXPECT_EQ(rig.dialog->ConsecutiveFailures(), 0) << result;
        EXPECT_FALSE(rig.dialog->ReattachNeeded()) << result;
        EXPECT_EQ(rig.dialog->Measurement().Sums().passes, 2) << result;  // figures shown
    }
}

// A ping counts only with the adapter's own node address known: without it the pass shows
// "Out of Range of Master" and counts neither the ping nor its latency.
TEST(LinkTestDlgTest, AnUnknownOwnNodeAddressCountsNoPing) {
    LinkRig rig;
    rig.status.nodeAddress[0] = '\0';
    rig.Open();
    rig.Pass();
    EXPECT_TRUE(rig.OutOfRange());
    const Slot& slot = rig.dialog->Measurement().At(0);
    EXPECT_EQ(slot.completed, 0);
    EXPECT_EQ(slot.sampleCount, 0);
    EXPECT_EQ(slot.replies, 50);  // the replies still count
    EXPECT_EQ(rig.Text(IDC_LINK_LATENCY), "0");

    // Read with the master once roaming is enabled: pings count again.
    rig.fc.adapter.items[ITEM_ROAMING] = {0};
    rig.Pass();
    EXPECT_FALSE(rig.OutOfRange());
    EXPECT_EQ(rig.dialog->Measurement().At(1).completed, 50);
    EXPECT_NE(rig.Text(IDC_LINK_LATENCY), "0");
}

TEST(LinkTestDlgTest, APingStillRunningIsGivenUpAfterSixSeconds) {
    LinkRig rig;
    rig.Open();
    rig.poll = [](uint8_t handle) { return FakeAnswer::Data({handle, 0, 0, 0, 0, 0}, 1); };
    const uint32_t start = rig.fc.clock.now;
    rig.Pass();
    EXPECT_EQ(rig.pings, 1);
    EXPECT_EQ(rig.fc.clock.now - start, 6000u);  // 6 whole seconds passed, then the pass ends
    EXPECT_FALSE(rig.dialog->PingOutstanding());
    EXPECT_EQ(rig.dialog->ConsecutiveFailures(), 0);
    EXPECT_EQ(rig.Text(IDC_LINK_PACKETS), "0");
}

TEST(LinkTestDlgTest, DoneDrainsAnOutstandingPingAndReadsThePingType) {
    LinkRig rig;
    rig.Open();
    // Polls fail in the last 6 ms of the pass: the ping is still outstanding when it ends.
    const uint32_t start = rig.fc.clock.now;
    rig.poll = [&rig, start](uint8_t handle) {
        return rig.fc.clock.now >= start + 494 ? FakeAnswer::Result(-3)
                                               : FakeAnswer::Data({handle, 0, 0, 0, 0, 0}, 1);
    };
    rig.Pass();
    ASSERT_TRUE(rig.dialog->PingOutstanding());
    EXPECT_EQ(rig.dialog->ConsecutiveFailures(),
              7);  // 494 twice: the failed poll came after a wait

    rig.poll = [](uint8_t handle) { return FakeAnswer::Data({handle, 0, 0, 0, 0, 0}, 1); };
    const int polls = rig.polls;
    rig.w->radioIndex[IDC_LINK_RADIO_LEVEL] = 1;
    rig.dialog->OnCommand(1);
    EXPECT_EQ(rig.polls - polls, 101);
    EXPECT_FALSE(rig.dialog->PingOutstanding());
    EXPECT_EQ(rig.dialog->PingType(), kPingDriverLevel);
    EXPECT_TRUE(rig.w->ended);
    EXPECT_EQ(rig.w->endResult, 1);
    EXPECT_EQ(rig.w->TimerInterval(1), 0u);

    // A ping that completes ends the drain.
    LinkRig quick;
    quick.Open();
    const uint32_t quickStart = quick.fc.clock.now;
    quick.poll = [&quick, quickStart](uint8_t) {
        return quick.fc.clock.now >= quickStart + 494 ? FakeAnswer::Result(-3)
                                                      : FakeAnswer::Data({0, 0, 0, 0, 0, 0}, 1);
    };
    quick.Pass();
    ASSERT_TRUE(quick.dialog->PingOutstanding());
    int drained = 0;
    quick.poll = [&drained](uint8_t handle) {
        return ++drained < 3 ? FakeAnswer::Data({handle, 0, 0, 0, 0, 0}, 1)
                             : FakeAnswer::Data({handle, 0, 0, 0, 0, 0});
    };
    quick.dialog->OnCommand(1);
    EXPECT_EQ(drained, 3);

    // Esc closes without polling.
    LinkRig esc;
    esc.Open();
    esc.dialog->OnCommand(2);
    EXPECT_EQ(esc.w->endResult, 2);
    EXPECT_EQ(esc.polls, 0);
}

TEST(LinkTestDlgTest, ResetClearsTheMeasurementAndHelpOpensItsSection) {
    LinkRig rig;
    rig.Open();
    rig.Pass();
    rig.Pass();
    rig.dialog->OnCommand(IDC_LINK_RESET);
    EXPECT_EQ(rig.dialog->Measurement().Sums().passes, 0);
    EXPECT_EQ(rig.dialog->Measurement().MaximumLatency(), 0);
    EXPECT_EQ(rig.Text(IDC_LINK_PACKETS), "");
    EXPECT_EQ(rig.Text(IDC_LINK_MAXIMUM), "0");
    EXPECT_NE(rig.Text(IDC_LINK_AVERAGE_PACKETS), "");  // kept until the next pass
    EXPECT_EQ(rig.w->TimerInterval(1), 100u);

    std::string section;
    rig.host.scripts[IDD_HELP] = [&](ui::Dialog& d, test::FakeWindow&) {
        auto& help = static_cast<shell::CHelpDlg&>(d);
        section = help.StartKeyword() + " " + help.EndKeyword() + " " + help.Title();
    };
    rig.dialog->OnCommand(IDC_LINK_HELP);
    EXPECT_EQ(section, "HELPSDIR HELPMSTR Directed Site Survey Help");
}

TEST(LinkTestDlgTest, PaintsAreServedWhileAPingIsPolled) {
    LinkRig rig;
    rig.latencies = {40};
    rig.Open();
    int painted = 0;
    rig.w->onDispatch = [&](ui::Pending kind) { painted += kind == ui::Pending::Paint; };
    rig.poll = [&rig](uint8_t handle) {
        if (rig.polls == 5) rig.w->pending[ui::Pending::Paint].push_back(0);
        if (rig.fc.clock.now < rig.sentAt + 40) return FakeAnswer::Data({handle, 0, 0, 0, 0, 0}, 1);
        std::vector<uint8_t> reply = {handle, 0};
        for (uint8_t b : U32(rig.driverSent + 40)) reply.push_back(b);
        return FakeAnswer::Data(reply);
    };
    rig.Pass();
    EXPECT_EQ(painted, 1);
    EXPECT_EQ(rig.Text(IDC_LINK_LATENCY), "40");
}

TEST(LinkTestDlgTest, ABadTargetIsShownButNeverPinged) {
    LinkRig rig;
    rig.Open("not an address");
    EXPECT_EQ(rig.Text(IDC_LINK_ADDRESS), "not an address");
    rig.Pass();
    rig.Pass();
    EXPECT_EQ(rig.pings, 0);
    EXPECT_EQ(rig.dialog->ConsecutiveFailures(), 0);
    EXPECT_EQ(rig.fc.adapter.Count(CMD_START_CARD), 0);

    // Upper-case digits are the same node as GetPing's lower-case ones.
    LinkRig upper;
    upper.Open("0020A6200001");
    upper.Pass();
    EXPECT_EQ(upper.dialog->Measurement().At(0).replies, 50);
}

// The link test through the tool seam on a simulated adapter that InitCard brought up.
// The log: "&Log..." asks for a file, then one row a pass with what the window shows (no
// latency for Driver-Level pings); "Stop &Log" ends it, and so does a full disk, with a
// message while the test goes on.
TEST(LinkTestDlgTest, LogWritesARowEveryPassUntilStoppedOrTheDiskIsFull) {
    LinkRig rig;
    rig.Open();
    rig.dialog->OnCommand(IDC_LINK_LOG);  // cancelled
    EXPECT_EQ(rig.host.saveSuggested, (std::vector<std::string>{"link.csv"}));
    EXPECT_FALSE(rig.dialog->Log().IsOn());
    rig.host.savePaths = {"C:\\link.csv"};
    rig.dialog->OnCommand(IDC_LINK_LOG);
    EXPECT_EQ(rig.Text(IDC_LINK_LOG), "Stop &Log");
    for (int i = 0; i < 3; ++i) rig.Pass();
    std::stringstream file(rig.fc.os.appended["C:\\link.csv"]);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0],
              "time,target,packets/s,bytes/s,signal %,latency ms,maximum ms,deviation ms,"
              "average packets/s,average bytes/s,average latency ms\r");
    EXPECT_EQ(lines[3],
              "2026-12-09T10:00:00," + std::string(kNode) + "," + rig.Text(IDC_LINK_PACKETS) + "," +
                  rig.Text(IDC_LINK_BYTES) + ",60," + rig.Text(IDC_LINK_LATENCY) + "," +
                  rig.Text(IDC_LINK_MAXIMUM) + "," + rig.Text(IDC_LINK_DEVIATION) + "," +
                  rig.Text(IDC_LINK_AVERAGE_PACKETS) + "," + rig.Text(IDC_LINK_AVERAGE_BYTES) +
                  "," + rig.Text(IDC_LINK_AVERAGE_LATENCY) + "\r");
    EXPECT_NE(rig.Text(IDC_LINK_PACKETS), "");

    rig.dialog->OnCommand(IDC_LINK_DRIVER_LEVEL);
    rig.Pass();
    std::string last = rig.fc.os.appended["C:\\link.csv"];
    last = last.substr(last.rfind("2026"));
    EXPECT_EQ(std::count(last.begin(), last.end(), ','), 10);
    EXPECT_NE(last.find(",,,,"), std::string::npos) << last;  // no latency figures

    rig.dialog->OnCommand(IDC_LINK_LOG);
    EXPECT_EQ(rig.Text(IDC_LINK_LOG), "&Log...");
    const size_t size = rig.fc.os.appended["C:\\link.csv"].size();
    rig.Pass();
    EXPECT_EQ(rig.fc.os.appended["C:\\link.csv"].size(), size);

    rig.host.savePaths = {"D:\\full.csv"};
    rig.dialog->OnCommand(IDC_LINK_LOG);
    rig.fc.os.unwritable.insert("D:\\full.csv");
    rig.Pass();
    EXPECT_FALSE(rig.dialog->Log().IsOn());
    EXPECT_EQ(rig.Text(IDC_LINK_LOG), "&Log...");
    ASSERT_EQ(rig.host.open.size(), 2u);  // the window and its Error message
    const int pings = rig.pings;
    rig.Pass();
    EXPECT_GT(rig.pings, pings);
    rig.host.CloseModeless(*rig.dialog);
    EXPECT_EQ(rig.host.open.size(), 0u);
}

// The alignment tone: off at first; once checked, a beep after every pass with a reply whose
// pitch follows the bar, silence while out of range, and the choice kept for the next test.
TEST(LinkTestDlgTest, ToneFollowsTheBarAndIsRemembered) {
    LinkRig rig;
    rig.Open();
    EXPECT_FALSE(rig.w->IsChecked(IDC_LINK_TONE));
    rig.Pass();
    EXPECT_TRUE(rig.fc.os.beeps.empty());
    rig.w->SetCheck(IDC_LINK_TONE, true);
    rig.dialog->OnCommand(IDC_LINK_TONE);
    rig.Pass();
    rig.signal = 30;
    for (int i = 0; i < 12; ++i) rig.Pass();
    ASSERT_GE(rig.fc.os.beeps.size(), 13u);
    EXPECT_EQ(rig.fc.os.beeps.front(), (std::pair<unsigned, unsigned>{1600, 40}));  // 60 %
    EXPECT_EQ(rig.fc.os.beeps.back(), (std::pair<unsigned, unsigned>{1000, 40}));   // 30 %
    const size_t beeps = rig.fc.os.beeps.size();
    rig.answers = false;
    rig.fc.adapter.items[ITEM_SYNC_STATE] = {0};
    rig.Pass();
    EXPECT_EQ(rig.fc.os.beeps.size(), beeps);
    rig.host.CloseModeless(*rig.dialog);
    EXPECT_TRUE(rig.ctx.linkTestDefaults.tone);
    rig.Open();
    EXPECT_TRUE(rig.w->IsChecked(IDC_LINK_TONE));
}

// "&History >>" grows the window to the chart, drawn whole; each pass then draws only its
// own column and the gap; "<< &History" shrinks the window again. Out of range is marked.
TEST(LinkTestDlgTest, HistoryShowsTheLastTwoMinutesAndDrawsOnlyWhatIsNew) {
    LinkRig rig;
    rig.Open();
    for (int i = 0; i < 3; ++i) rig.Pass();
    EXPECT_EQ(rig.dialog->History().Count(), 3);
    EXPECT_EQ(rig.w->surfaces[IDC_LINK_CHART].ops.size(), 0u);  // not shown: not drawn
    rig.dialog->OnCommand(IDC_LINK_HISTORY);
    EXPECT_EQ(rig.w->extendedTo, IDC_LINK_CHART);
    EXPECT_TRUE(rig.w->IsControlVisible(IDC_LINK_CHART));
    EXPECT_EQ(rig.Text(IDC_LINK_HISTORY), "<< &History");
    test::FakeSurface& chart = rig.w->surfaces[IDC_LINK_CHART];
    chart.width = kHistoryPasses + 2;
    chart.height = 102;
    rig.dialog->OnPaint();
    EXPECT_GT(chart.ops.size(), size_t(kHistoryPasses));
    chart.ops.clear();
    rig.Pass();
    EXPECT_EQ(chart.ops,
              (std::vector<std::string>{"fill 4,1,5,101 255,255,255", "fill 4,41,5,101 0,160,0",
                                        "fill 4,90,5,92 0,0,128",  // 10 ms
                                        "fill 5,1,6,101 255,255,255"}));
    chart.ops.clear();
    rig.answers = false;
    rig.fc.adapter.items[ITEM_SYNC_STATE] = {0};
    rig.Pass();
    ASSERT_EQ(chart.ops.size(), 3u);
    EXPECT_EQ(chart.ops[1], "fill 5,1,6,101 255,0,0");
    rig.dialog->OnCommand(IDC_LINK_HISTORY);
    EXPECT_EQ(rig.w->extendedTo, 0);
    EXPECT_FALSE(rig.w->IsControlVisible(IDC_LINK_CHART));
    EXPECT_EQ(rig.Text(IDC_LINK_HISTORY), "&History >>");
}

struct SimulatedLink : test::SimShell {
    explicit SimulatedLink(sim::Scenario scenario) : SimShell(std::move(scenario)) {
        channel.OpenDriver(&status);
        uint8_t sync = 0;
        InitCard(adapter, &sync, 0, 0);
        synchronised = sync != 0;
    }
    // Opens the test on `address`, runs `passes` passes and Done.
    void Run(const std::string& address, int passes, int pingType = 0) {
        ctx.linkTestDefaults.pingType = pingType;
        host.scripts[IDD_DIRECTED_LINK] = [&, passes](ui::Dialog& d, test::FakeWindow& w) {
            for (int i = 0; i < passes; ++i) {
                d.OnTimer(1);
                packetTexts.push_back(w.GetText(IDC_LINK_PACKETS));
            }
            outOfRange = w.IsControlVisible(IDC_LINK_OUT_OF_RANGE);
            latency = w.GetText(IDC_LINK_LATENCY);
            signal = w.GetText(IDC_LINK_SIGNAL_TEXT);
        };
        shell::LinkTestTarget target;
        target.address = address;
        target.radioMode = 0;
        target.masterDomain = 1;
        target.masterChannel = 3;
        target.masterSubchannel = 1;
        tools.RunLinkTest(target);
    }

    bool synchronised = false;
    std::vector<std::string> packetTexts;
    bool outOfRange = true;
    std::string latency, signal;
};

TEST(LinkTestDlgTest, DefaultSiteNodeAnswersWithLatencyAndSignal) {
    SimulatedLink link(sim::DefaultScenario());
    ASSERT_TRUE(link.synchronised);
    link.Run("0020a6200001", 4);
    ASSERT_EQ(link.packetTexts.size(), 4u);
    for (const std::string& pps : link.packetTexts) EXPECT_GT(std::stoi(pps), 0) << pps;
    EXPECT_FALSE(link.outOfRange);
    EXPECT_GT(std::stoi(link.latency), 0);
    EXPECT_NE(link.signal, "0 %");
    EXPECT_EQ(link.ctx.linkTestDefaults.packetSize, 1500);

    link.packetTexts.clear();
    link.Run("0020a6200002", 3, kPingDriverLevel);
    for (const std::string& pps : link.packetTexts) EXPECT_GT(std::stoi(pps), 0) << pps;
}

TEST(LinkTestDlgTest, FaultScenarioIsSurvived) {
    SimulatedLink link(test::ShippedScenario("faults.ini"));
    link.Run("0020a6200001", 60);
    EXPECT_EQ(link.packetTexts.size(), 60u);
    link.Run("0020a6200002", 30, kPingDriverLevel);
    EXPECT_EQ(link.packetTexts.size(), 90u);
}

}  // namespace
}  // namespace odr::linktest
