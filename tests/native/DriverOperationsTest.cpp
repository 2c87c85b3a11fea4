// Adapter settings and synchronisation on the fake device and the virtual clock.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Operations.h"
#include "driver/Reattach.h"
#include "driver/RssiTable.h"
#include "fakes/FakeChannel.h"

namespace odr {
namespace {

using test::FakeAnswer;
using Items = std::vector<std::pair<uint16_t, std::vector<uint8_t>>>;

class RecordingUi : public AdapterUi {
  public:
    std::vector<std::string> events;
    int mouse = 0;
    void ShowStatus(const std::string& text) override { events.push_back(text); }
    void CloseStatus() override { events.push_back("close"); }
    void DispatchOneMouseMessage() override { ++mouse; }
};

Items ItemsOf(const std::vector<uint8_t>& list) {
    Items items;
    for (size_t at = 0; at + 6 <= list.size() && ReadU16(&list[at]) != 0;) {
        const uint16_t n = ReadU16(&list[at + 4]);
        items.emplace_back(ReadU16(&list[at]),
                           std::vector<uint8_t>(&list[at + 6], &list[at + 6] + n));
        at += 6 + n;
    }
    return items;
}

class DriverOperationsTest : public ::testing::Test, protected test::OpenFakeChannel {
  protected:
    DriverOperationsTest() {
        adapter.items[ITEM_VERSION] = {'V', '3', '.', '0', '2', '.', '1'};
        adapter.items[ITEM_SYNC_MASTER_ADDR] = {0x00, 0xa0, 0xf8, 0x12, 0x34, 0xab};
        adapter.items[ITEM_SYNC_STATE] = {1};
        adapter.items[ITEM_ROAMING] = {1};
        adapter.commands[CMD_GET_COUNTRY_CODE] = [](const uint8_t*, uint32_t) {
            return FakeAnswer::Data({0x41});
        };
    }
    // The sync state comes up only when the search command arrives.
    void SynchroniseOnSearch() {
        adapter.items[ITEM_SYNC_STATE] = {0};
        adapter.commands[CMD_SEARCH_SYNCHRONOUS] = [this](const uint8_t*, uint32_t) {
            adapter.items[ITEM_SYNC_STATE] = {1};
            return FakeAnswer::Result(0);
        };
    }
    int Synch(uint8_t storedType, const char* expected = "00a0f81234ab") {
        return SynchToMaster(context, storedType, 3, 7, 9, "CELL-A", expected, 0);
    }

    AdapterStatus status;
    RssiTable rssi;
    RecordingUi ui;
    AdapterContext context{channel, clock, os, status, rssi, &ui};
};

TEST_F(DriverOperationsTest, CardOptionsFourAndSevenItems) {
    ASSERT_EQ(0, SetCardOptions(channel, 0, "X", "Station", "5", "6", "12", "Light", "Slow", 1, 99,
                                11, 60, 0));
    EXPECT_EQ((std::vector<uint32_t>{CMD_SET_DRIVER_DATA, CMD_SET_ROAM_CONFIG}),
              adapter.Commands());
    EXPECT_EQ(31u, adapter.DataOf(0).size());  // 29 used + terminator
    EXPECT_EQ((Items{{ITEM_STATION_TYPE, {0}},
                     {ITEM_DOMAIN, {12}},
                     {ITEM_INACTIVITY, {0xDB, 0x02}},  // 11 + 12 x 60 = 731
                     {ITEM_PEER_TO_PEER, {1}}}),
              ItemsOf(adapter.DataOf(0)));
    EXPECT_EQ(std::vector<uint8_t>{0}, adapter.DataOf(1));

    adapter.sent.clear();
    ASSERT_EQ(0, SetCardOptions(channel, 1, "NORTH-WING-MASTER", "Alternate Master", "15", "2x",
                                "-1", "Normal", "Fast", 0, 0, 3, 2, 0));
    EXPECT_EQ(
        (std::vector<uint32_t>{CMD_SET_DRIVER_DATA, CMD_SET_MAC_OPTIMIZE, CMD_SET_ROAM_CONFIG}),
        adapter.Commands());
    EXPECT_EQ(63u, adapter.DataOf(0).size());
    const std::vector<uint8_t> name = {'N', 'O', 'R', 'T', 'H', '-', 'W', 'I', 'N', 'G', '-', 'M'};
    EXPECT_EQ((Items{{ITEM_STATION_TYPE, {1}},
                     {ITEM_MASTER_NAME, name},
                     {ITEM_CHANNEL, {15}},
                     {ITEM_SUBCHANNEL, {2}},
                     {ITEM_DOMAIN, {0xFF}},
                     {ITEM_INACTIVITY, {27, 0}},
                     {ITEM_PEER_TO_PEER, {0}}}),
              ItemsOf(adapter.DataOf(0)));
    EXPECT_EQ(std::vector<uint8_t>{0}, adapter.DataOf(1));
    EXPECT_EQ(std::vector<uint8_t>{2}, adapter.DataOf(2));
}

TEST_F(DriverOperationsTest, InitCardWithImmediateMaster) {
    std::memset(status.romVersion, 'x', sizeof status.romVersion - 1);
    uint8_t sync = 0xCC;
    ASSERT_EQ(0, InitCard(context, &sync, 0, 0));
    EXPECT_EQ(1, sync);
    EXPECT_EQ((std::vector<uint32_t>{CMD_START_CARD, CMD_GET_DRIVER_DATA, CMD_GET_COUNTRY_CODE,
                                     CMD_READ_RSSI_CALIBRATION, CMD_GET_DRIVER_DATA}),
              adapter.Commands());  // exactly one GetMasterNode
    EXPECT_TRUE(status.cardInitialised);
    EXPECT_STREQ("V3.02.1", status.romVersion);
    EXPECT_EQ(0x41, status.countryCode);
    EXPECT_EQ(' ', status.rssiMarker);  // the fake sends no calibration points
    EXPECT_STREQ("00a0f81234ab", status.masterAddress);
    EXPECT_EQ((std::vector<std::string>{kInitCardStatusText, "close"}), ui.events);
}

TEST_F(DriverOperationsTest, InitCardLimitsAndFailures) {
    adapter.items[ITEM_SYNC_STATE] = {0};
    clock.yieldStepMs = 7;
    for (uint8_t longWait : {0, 1, 2}) {
        const uint32_t limit = longWait == 1 ? 10000 : 5000;
        const uint32_t start = clock.now;
        uint8_t sync = 0xCC;
        EXPECT_EQ(0, InitCard(context, &sync, 0, longWait));
        EXPECT_EQ(0, sync);
        EXPECT_GE(clock.now - start, limit);
        EXPECT_LT(clock.now - start, limit + 7);
    }
    adapter.commands[CMD_GET_COUNTRY_CODE] = [](const uint8_t*, uint32_t) {
        return FakeAnswer::Result(3);
    };
    ui.events.clear();
    uint8_t sync = 0;
    EXPECT_EQ(3, InitCard(context, &sync, 0, 0));
    EXPECT_EQ(std::vector<std::string>{"Error Getting Country Code 3"}, traced);
    EXPECT_EQ("close", ui.events.back());
}

TEST_F(DriverOperationsTest, InitCardEndsOnAFailedMasterNode) {
    adapter.items[ITEM_SYNC_STATE] = {0};
    adapter.refused = {ITEM_NODE_ADDR};
    uint8_t sync = 0xCC;
    uint32_t start = clock.now;
    EXPECT_EQ(kItemMissing, InitCard(context, &sync, 0, 0));
    EXPECT_EQ(0, sync);
    EXPECT_EQ(CMD_GET_DRIVER_DATA, adapter.CommandOf(adapter.sent.size() - 1));
    EXPECT_EQ(1, adapter.Count(CMD_READ_RSSI_CALIBRATION));
    EXPECT_EQ("GetfromDataList in GetMasterNode Node Addr", traced.back());
    EXPECT_LT(clock.now - start, 10u);  // no waiting for a master
    EXPECT_EQ("close", ui.events.back());

    // The first answer is out of range, the second is not carried: the wait ends there.
    adapter.refused.clear();
    adapter.Clear();
    adapter.script = {FakeAnswer::Pass(), FakeAnswer::Pass(), FakeAnswer::Pass(),
                      FakeAnswer::Pass(), FakeAnswer::Pass(), FakeAnswer::Error(31)};
    start = clock.now;
    EXPECT_EQ(kNotCarried, InitCard(context, &sync, 0, 0));
    EXPECT_EQ(6u, adapter.sent.size());
    EXPECT_EQ("GetDriverData in GetMasterNode", traced.back());
    EXPECT_LT(clock.now - start, 10u);
    EXPECT_EQ("close", ui.events.back());
}

TEST_F(DriverOperationsTest, InitCardClosesACardAlreadyStarted) {
    // The restart is refused: the card counts as stopped, so no StopCard is owed for it.
    status.cardInitialised = true;
    adapter.script = {FakeAnswer::Result(5)};
    uint8_t sync = 0xCC;
    EXPECT_EQ(5, InitCard(context, &sync, 0, 0));
    EXPECT_EQ(0, sync);
    EXPECT_FALSE(status.cardInitialised);
    EXPECT_EQ(std::vector<uint32_t>{CMD_START_CARD}, adapter.Commands());
}

TEST_F(DriverOperationsTest, WaitsSleepInsteadOfSpinning) {
    // A yield takes no time here, as on a fast machine: only sleeping moves the clock.
    clock.yieldStepMs = 0;
    const int yields = clock.yields;
    adapter.items[ITEM_SYNC_STATE] = {0};
    uint8_t sync = 0;
    EXPECT_EQ(0, InitCard(context, &sync, 0, 0));
    EXPECT_EQ(yields, clock.yields);
    EXPECT_LE(adapter.Count(CMD_GET_DRIVER_DATA), 5003);  // a poll a millisecond

    adapter.Clear();
    EXPECT_EQ(-2, Synch(kStation));
    EXPECT_EQ(yields, clock.yields);
    EXPECT_EQ(1 + 10000, adapter.Count(CMD_GET_DRIVER_DATA));
}

TEST_F(DriverOperationsTest, SynchSkipsRestartWhenAlreadyAStation) {
    SynchroniseOnSearch();
    EXPECT_EQ(0, Synch(kStation));
    EXPECT_EQ(
        (std::vector<uint32_t>{CMD_GET_DRIVER_DATA, CMD_SET_DRIVER_DATA, CMD_SEARCH_SYNCHRONOUS,
                               CMD_GET_DRIVER_DATA, CMD_GET_DRIVER_DATA}),
        adapter.Commands());
    EXPECT_EQ((std::vector<uint8_t>{7, 9, 3, 'C', 'E', 'L', 'L', '-', 'A', 0, 0, 0, 0, 0, 0}),
              adapter.DataOf(2));
}

TEST_F(DriverOperationsTest, SynchRestartsARoamingOrMasterCard) {
    struct Case {
        uint8_t roaming, storedType;
        uint32_t wait;  // InitCard sees no master before the search: its whole limit
    } cases[] = {{0, kStation, 5000}, {1, kAlternateMaster, 10000}, {1, kMaster, 5000}};
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.storedType));
        adapter.sent.clear();
        SynchroniseOnSearch();
        adapter.items[ITEM_ROAMING] = {k.roaming};
        adapter.items[ITEM_STATION_TYPE] = {2};
        const uint32_t start = clock.now;
        EXPECT_EQ(0, Synch(k.storedType));
        EXPECT_EQ(1, adapter.items[ITEM_ROAMING][0]);
        EXPECT_EQ(0, adapter.items[ITEM_STATION_TYPE][0]);
        EXPECT_EQ(CMD_START_CARD, adapter.CommandOf(3));
        EXPECT_GE(clock.now - start, k.wait);
        EXPECT_LT(clock.now - start, k.wait + 100);
    }
}

TEST_F(DriverOperationsTest, SynchResults) {
    adapter.items[ITEM_SYNC_STATE] = {0};
    EXPECT_EQ(-2, Synch(kStation));
    EXPECT_EQ(3u + 10000u, adapter.sent.size());
    EXPECT_EQ(9999, ui.mouse);

    SynchroniseOnSearch();
    adapter.Clear();
    ui.mouse = 0;
    uint32_t start = clock.now;
    EXPECT_EQ(-1, Synch(kStation, "00a0f8999999"));
    EXPECT_GE(clock.now - start, 5000u);
    EXPECT_LT(clock.now - start, 5010u);
    // While the master settles, one mouse message goes before each GetMasterNode.
    int masterNodes = 0;
    for (size_t i = 0; i < adapter.sent.size(); ++i)
        masterNodes +=
            adapter.CommandOf(i) == CMD_GET_DRIVER_DATA && adapter.DataOf(i).size() == 65;
    EXPECT_GT(masterNodes, 1000);
    EXPECT_EQ(masterNodes, ui.mouse);

    adapter.script = {FakeAnswer::Pass(), FakeAnswer::Result(6)};
    EXPECT_EQ(6, Synch(kStation));
    EXPECT_EQ("ClearSyncState in SynchToMaster", traced.back());
}

TEST_F(DriverOperationsTest, RequestsOfSearchesAndSettings) {
    ASSERT_EQ(0, SearchAsynchronous(channel, 12, 0));
    ASSERT_EQ(0, SearchSynchronous(channel, 4, 2, 3, "TWELVE-CHARS", 0));
    ASSERT_EQ(0, ClearMasterAddr(channel, 0));
    ASSERT_EQ(0, SetDomain(channel, "9", 0));
    ASSERT_EQ(0, StopSearch(channel, 0));
    ASSERT_EQ(0, StopCard(channel, 0));
    EXPECT_EQ(
        (std::vector<uint32_t>{CMD_SEARCH_ASYNCHRONOUS, CMD_SEARCH_SYNCHRONOUS, CMD_SET_DRIVER_DATA,
                               CMD_SET_DRIVER_DATA, CMD_STOP_SEARCH, CMD_STOP_CARD}),
        adapter.Commands());
    std::vector<uint8_t> search(15, 0);
    search[2] = 12;
    EXPECT_EQ(search, adapter.DataOf(0));
    EXPECT_EQ(
        (std::vector<uint8_t>{2, 3, 4, 'T', 'W', 'E', 'L', 'V', 'E', '-', 'C', 'H', 'A', 'R', 'S'}),
        adapter.DataOf(1));
    EXPECT_EQ((Items{{ITEM_SYNC_MASTER_ADDR, std::vector<uint8_t>(6, 0)}, {ITEM_SYNC_STATE, {0}}}),
              ItemsOf(adapter.DataOf(2)));
    EXPECT_EQ((Items{{ITEM_DOMAIN, {9}}}), ItemsOf(adapter.DataOf(3)));
    EXPECT_EQ(0u, adapter.DataOf(4).size());
}

TEST_F(DriverOperationsTest, ReopenDriverReattaches) {
    status.cardInitialised = true;
    channel.CloseDriver();
    EXPECT_EQ(0, ReopenDriver(context, 0));
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_FALSE(status.cardInitialised);
    EXPECT_EQ(std::vector<uint32_t>{CMD_REATTACH_DRIVER}, adapter.Commands());

    adapter.script = {FakeAnswer::Result(4)};
    EXPECT_EQ(4, ReopenDriver(context, 0));
    host.existing.clear();
    EXPECT_EQ(kNotCarried, ReopenDriver(context, 0));
    EXPECT_FALSE(channel.IsOpen());
}

// A window's way back: only a request that was not carried asks for it; it ends only when
// the driver opened and answered the re-attach, and sends nothing while it does not open.
TEST_F(DriverOperationsTest, ReattachEndsOnlyWhenTheDriverAnswers) {
    Reattach reattach;
    reattach.Note(-1);
    EXPECT_FALSE(reattach.Needed());
    reattach.Note(kNotCarried);
    EXPECT_TRUE(reattach.Needed());

    channel.CloseDriver();
    host.existing.clear();
    EXPECT_FALSE(reattach.Restore(context));
    EXPECT_TRUE(reattach.Needed());
    EXPECT_TRUE(adapter.Commands().empty());

    host.existing.insert("\\\\.\\ODRWINNT1");
    adapter.script = {FakeAnswer::Result(4)};
    EXPECT_FALSE(reattach.Restore(context));
    EXPECT_TRUE(reattach.Needed());
    EXPECT_TRUE(reattach.Restore(context));
    EXPECT_FALSE(reattach.Needed());
    EXPECT_EQ((std::vector<uint32_t>{CMD_REATTACH_DRIVER, CMD_REATTACH_DRIVER}),
              adapter.Commands());

    Reattach attach(true);
    adapter.script = {FakeAnswer::Result(4)};
    EXPECT_EQ(4, attach.Attach(channel));
    EXPECT_TRUE(attach.Needed());
    EXPECT_EQ(kOk, attach.Attach(channel));
    EXPECT_FALSE(attach.Needed());
}

}  // namespace
}  // namespace odr
