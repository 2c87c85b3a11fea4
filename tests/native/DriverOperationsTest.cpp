// Adapter settings and synchronisation on the fake device and the virtual clock.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Operations.h"
#include "driver/RssiTable.h"
#include "fakes/FakeDevice.h"
#include "fakes/FakePlatform.h"

namespace odr {
namespace {

using test::FakeAnswer;

class RecordingUi : public AdapterUi {
  public:
    std::vector<std::string> events;
    int mouse = 0;
    void ShowStatus(const std::string& text) override { events.push_back("show:" + text); }
    void CloseStatus() override { events.push_back("close"); }
    void DispatchOneMouseMessage() override { ++mouse; }
};

struct Item {
    uint16_t id;
    std::vector<uint8_t> value;
    bool operator==(const Item& o) const { return id == o.id && value == o.value; }
};

// The items of a sent data list, in order.
std::vector<Item> ItemsOf(const std::vector<uint8_t>& list) {
    std::vector<Item> items;
    size_t at = 0;
    while (at + 2 <= list.size() && ReadU16(&list[at]) != 0) {
        const uint16_t id = ReadU16(&list[at]);
        const uint16_t n = ReadU16(&list[at + 4]);
        items.push_back({id, std::vector<uint8_t>(&list[at + 6], &list[at + 6] + n)});
        at += 6 + n;
    }
    return items;
}

std::vector<uint8_t> Bytes(const char* text, size_t n) {
    std::vector<uint8_t> b(n, 0);
    for (size_t i = 0; i < n && text[i]; ++i) b[i] = uint8_t(text[i]);
    return b;
}

class DriverOperationsTest : public ::testing::Test {
  protected:
    DriverOperationsTest() {
        host.existing.insert("\\\\.\\ODRWINNT1");
        channel.OpenDriver();
        adapter.items[ITEM_VERSION] = Bytes("V3.02.1", 7);
        adapter.items[ITEM_SYNC_MASTER_ADDR] = {0x00, 0xa0, 0xf8, 0x12, 0x34, 0xab};
        adapter.items[ITEM_NODE_ADDR] = {0x00, 0x20, 0xa6, 0x01, 0x02, 0x03};
        adapter.items[ITEM_SYNC_MASTER_NAME] = Bytes("CELL-A", 12);
        adapter.items[ITEM_SYNC_STATE] = {1};
        adapter.items[ITEM_ROAMING] = {1};
        adapter.commands[CMD_GET_COUNTRY_CODE] = [](const uint8_t*, uint32_t) {
            return FakeAnswer::Data({0x41});
        };
        adapter.commands[CMD_READ_RSSI_CALIBRATION] = [](const uint8_t* data, uint32_t n) {
            std::vector<uint8_t> reply(data, data + n);
            reply[4] = 2;
            reply[5] = 40, reply[6] = 200, reply[7] = 60, reply[8] = 150;
            return FakeAnswer::Data(reply);
        };
    }
    // Lets the sync state come up when the search command arrives.
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

    test::FakeAdapter adapter;
    test::FakeDeviceHost host{adapter};
    test::FakeOs os;
    test::FakeClock clock;
    std::vector<std::string> traced;
    Trace trace{[this](const std::string& text) { traced.push_back(text); }};
    Channel channel{host, os, clock, trace};
    AdapterStatus status;
    RssiTable rssi;
    RecordingUi ui;
    AdapterContext context{channel, clock, os, status, rssi, &ui};
};

TEST_F(DriverOperationsTest, CardOptionsWithoutExtendedFlag) {
    ASSERT_EQ(0, SetCardOptions(channel, 0, "IGNORED", "Station", "5", "6", "12", "Light", "Slow",
                                1, 99, 11, 60, 0));
    EXPECT_EQ((std::vector<uint32_t>{CMD_SET_DRIVER_DATA, CMD_SET_ROAM_CONFIG}),
              adapter.Commands());
    const std::vector<uint8_t> list = adapter.DataOf(0);
    EXPECT_EQ(31u, list.size());  // 29 used + terminator
    const std::vector<Item> expected = {{ITEM_STATION_TYPE, {0}},
                                        {ITEM_DOMAIN, {12}},
                                        {ITEM_INACTIVITY, {0xDB, 0x02}},  // 731
                                        {ITEM_PEER_TO_PEER, {1}}};
    EXPECT_EQ(expected, ItemsOf(list));
    EXPECT_EQ(std::vector<uint8_t>{0}, adapter.DataOf(1));
}

TEST_F(DriverOperationsTest, CardOptionsWithExtendedFlag) {
    ASSERT_EQ(0, SetCardOptions(channel, 1, "NORTH-WING-MASTER", "Alternate Master", "15", "2x",
                                "-1", "Normal", "Fast", 0, 0, 3, 2, 0));
    EXPECT_EQ(
        (std::vector<uint32_t>{CMD_SET_DRIVER_DATA, CMD_SET_MAC_OPTIMIZE, CMD_SET_ROAM_CONFIG}),
        adapter.Commands());
    const std::vector<uint8_t> list = adapter.DataOf(0);
    EXPECT_EQ(63u, list.size());
    const std::vector<Item> expected = {
        {ITEM_STATION_TYPE, {1}}, {ITEM_MASTER_NAME, Bytes("NORTH-WING-M", 12)},
        {ITEM_CHANNEL, {15}},     {ITEM_SUBCHANNEL, {2}},
        {ITEM_DOMAIN, {0xFF}},    {ITEM_INACTIVITY, {27, 0}},
        {ITEM_PEER_TO_PEER, {0}}};
    EXPECT_EQ(expected, ItemsOf(list));
    EXPECT_EQ(std::vector<uint8_t>{0}, adapter.DataOf(1));
    EXPECT_EQ(std::vector<uint8_t>{2}, adapter.DataOf(2));
}

TEST_F(DriverOperationsTest, CardOptionsStopAtTheFailingStep) {
    struct Case {
        int failingCall;
        const char* text;
        size_t calls;
    } cases[] = {{0, "SetDriverData in SetCardOptions", 1},
                 {1, "SetMACOptimize in SetCardOptions", 2},
                 {2, "SetRoamConfig in SetCardOptions", 3}};
    for (const Case& k : cases) {
        adapter.Clear();
        traced.clear();
        for (int i = 0; i < k.failingCall; ++i) adapter.script.push_back(FakeAnswer::Result(0));
        adapter.script.push_back(FakeAnswer::Result(-4));
        EXPECT_EQ(-4, SetCardOptions(channel, 1, "M", "Master", "1", "1", "0", "Light", "Normal", 0,
                                     0, 0, 0, 0));
        EXPECT_EQ(std::vector<std::string>{k.text}, traced);
        EXPECT_EQ(k.calls, adapter.Calls());
    }
}

TEST(DriverTextCodesTest, Codes) {
    EXPECT_EQ(0, StationTypeCode("Station"));
    EXPECT_EQ(1, StationTypeCode("Alternate Master"));
    EXPECT_EQ(2, StationTypeCode("Master"));
    EXPECT_EQ(2, StationTypeCode("station"));
    EXPECT_EQ(0, MacOptimizeCode("Normal"));
    EXPECT_EQ(1, MacOptimizeCode("Light"));
    EXPECT_EQ(0, RoamConfigCode("Slow"));
    EXPECT_EQ(1, RoamConfigCode("Normal"));
    EXPECT_EQ(2, RoamConfigCode("Fast"));
    const struct {
        const char* text;
        int value;
    } ints[] = {{"12", 12},  {"-3", -3}, {"+7x", 7},   {"abc", 0},
                {"", 0},     {" 5", 5},  {"0015", 15}, {"99999999999", INT_MAX},
                {nullptr, 0}};
    for (const auto& k : ints) EXPECT_EQ(k.value, LeadingInt(k.text)) << (k.text ? k.text : "null");
}

TEST_F(DriverOperationsTest, SingleSettings) {
    const struct {
        std::function<int()> call;
        std::vector<Item> items;
        const char* failText;
    } cases[] = {
        {[&] { return SetDomain(channel, "15", 0); },
         {{ITEM_DOMAIN, {15}}},
         "SetDriverData in SetDomain"},
        {[&] { return SetStationType(channel, 1, 0); },
         {{ITEM_STATION_TYPE, {1}}},
         "SetDriverData in SetStationType"},
        {[&] { return SetRoamingFlag(channel, 1, 0); },
         {{ITEM_ROAMING, {1}}},
         "SetDriverData in SetRoamingFlag"},
        {[&] { return SetInactivity(channel, 731, 0); },
         {{ITEM_INACTIVITY, {0xDB, 0x02}}},
         "SetDriverData in SetCardOptions"},
        {[&] { return ClearSyncState(channel, 0); },
         {{ITEM_SYNC_STATE, {0}}},
         "Set Driver Data in ClearSyncState"},
        {[&] { return ClearMasterAddr(channel, 0); },
         {{ITEM_SYNC_MASTER_ADDR, {0, 0, 0, 0, 0, 0}}, {ITEM_SYNC_STATE, {0}}},
         "Set Driver Data in Clear Master Addr"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.failText);
        adapter.Clear();
        traced.clear();
        EXPECT_EQ(0, k.call());
        ASSERT_EQ(1u, adapter.Calls());
        EXPECT_EQ(CMD_SET_DRIVER_DATA, adapter.CommandOf(0));
        EXPECT_EQ(k.items, ItemsOf(adapter.DataOf(0)));
        adapter.script.push_back(FakeAnswer::Result(3));
        EXPECT_EQ(3, k.call());
        EXPECT_EQ(std::vector<std::string>{k.failText}, traced);
    }
}

TEST_F(DriverOperationsTest, SearchRequests) {
    EXPECT_EQ(0, SearchAsynchronous(channel, 5, 0));
    std::vector<uint8_t> expected(15, 0);
    expected[2] = 5;
    EXPECT_EQ(CMD_SEARCH_ASYNCHRONOUS, adapter.CommandOf(0));
    EXPECT_EQ(expected, adapter.DataOf(0));

    const char name[12] = {'M', 'A', 'S', 'T', 'E', 'R', '-', 'O', 'N', 'E', '-', 'X'};
    EXPECT_EQ(0, SearchSynchronous(channel, 15, 3, 4, name, 0));
    expected = {3, 4, 15, 'M', 'A', 'S', 'T', 'E', 'R', '-', 'O', 'N', 'E', '-', 'X'};
    EXPECT_EQ(CMD_SEARCH_SYNCHRONOUS, adapter.CommandOf(1));
    EXPECT_EQ(expected, adapter.DataOf(1));
}

TEST_F(DriverOperationsTest, InitCardWithImmediateMaster) {
    uint8_t sync = 0xCC;
    ASSERT_EQ(0, InitCard(context, &sync, 0, 0));
    EXPECT_EQ(1, sync);
    EXPECT_EQ((std::vector<uint32_t>{CMD_START_CARD, CMD_GET_DRIVER_DATA, CMD_GET_COUNTRY_CODE,
                                     CMD_READ_RSSI_CALIBRATION, CMD_GET_DRIVER_DATA}),
              adapter.Commands());
    EXPECT_TRUE(status.cardInitialised);
    EXPECT_STREQ("V3.02.1", status.romVersion);
    EXPECT_EQ(0x41, status.countryCode);
    EXPECT_EQ('+', status.rssiMarker);
    EXPECT_STREQ("<-40dBm:200> <-60dBm:150> ", status.rssiText);
    EXPECT_STREQ("00a0f81234ab", status.masterAddress);
    EXPECT_STREQ("0020a6010203", status.nodeAddress);
    EXPECT_STREQ("CELL-A", status.masterName);
    EXPECT_EQ((std::vector<std::string>{
                  "show:Please wait while the driver is being re-initialized.", "close"}),
              ui.events);
    EXPECT_TRUE(os.beeps.empty());
}

TEST_F(DriverOperationsTest, InitCardWaitsFiveOrTenSeconds) {
    adapter.items[ITEM_SYNC_STATE] = {0};
    clock.yieldStepMs = 7;
    for (uint8_t longWait : {0, 1, 2}) {
        SCOPED_TRACE(int(longWait));
        const uint32_t limit = longWait == 1 ? 10000 : 5000;
        const uint32_t start = clock.now;
        uint8_t sync = 0xCC;
        EXPECT_EQ(0, InitCard(context, &sync, 0, longWait));
        EXPECT_EQ(0, sync);
        EXPECT_GE(clock.now - start, limit);
        EXPECT_LT(clock.now - start, limit + 7);
    }
}

TEST_F(DriverOperationsTest, InitCardFailures) {
    struct Case {
        std::function<void()> arrange;
        int result;
        bool initialised;
        std::vector<std::string> traces;
    } cases[] = {
        {[&] { adapter.script.push_back(FakeAnswer::Result(-3)); },
         -3,
         false,
         {"StartCard in InitCard"}},
        {[&] { adapter.refused = {ITEM_VERSION}; },
         -1,
         true,
         {"GetfromDataList in GetVersion GetVersion"}},
        {[&] {
             adapter.commands[CMD_GET_COUNTRY_CODE] = [](const uint8_t*, uint32_t) {
                 return FakeAnswer::Result(3);
             };
         },
         3,
         true,
         {"Error Getting Country Code 3"}},
        {[&] {
             adapter.commands.erase(CMD_GET_COUNTRY_CODE);
             adapter.refused = {ITEM_SYNC_STATE};
         },
         -1,
         true,
         {"GetfromDataList in GetMasterNode Sync State"}},
    };
    for (Case& k : cases) {
        adapter.refused.clear();
        k.arrange();
        traced.clear();
        ui.events.clear();
        uint8_t sync = 0xCC;
        EXPECT_EQ(k.result, InitCard(context, &sync, 0, 0));
        EXPECT_EQ(0, sync);
        EXPECT_EQ(k.initialised, status.cardInitialised);
        EXPECT_EQ(k.traces, traced);
        ASSERT_EQ(2u, ui.events.size());
        EXPECT_EQ("close", ui.events[1]);
    }
}

TEST_F(DriverOperationsTest, InitCardCalibrationOutcomes) {
    // Refused by the driver: a beep, blank marker, no text.
    adapter.commands[CMD_READ_RSSI_CALIBRATION] = [](const uint8_t*, uint32_t) {
        return FakeAnswer::Result(2);
    };
    std::strcpy(status.rssiText, "stale");
    uint8_t sync = 0;
    ASSERT_EQ(0, InitCard(context, &sync, 0, 0));
    EXPECT_EQ(' ', status.rssiMarker);
    EXPECT_STREQ("", status.rssiText);
    EXPECT_EQ((std::vector<std::pair<unsigned, unsigned>>{{1000, 500}}), os.beeps);

    // Unusable count: the default table, no beep.
    adapter.commands[CMD_READ_RSSI_CALIBRATION] = [](const uint8_t* data, uint32_t n) {
        std::vector<uint8_t> reply(data, data + n);
        reply[4] = 11;
        return FakeAnswer::Data(reply);
    };
    ASSERT_EQ(0, InitCard(context, &sync, 0, 0));
    EXPECT_EQ(' ', status.rssiMarker);
    EXPECT_EQ(1u, os.beeps.size());
    EXPECT_EQ(50, rssi[150]);
}

TEST_F(DriverOperationsTest, SynchSkipsRestartWhenAlreadyAStation) {
    SynchroniseOnSearch();
    EXPECT_EQ(0, Synch(kStation));
    EXPECT_EQ(
        (std::vector<uint32_t>{CMD_GET_DRIVER_DATA, CMD_SET_DRIVER_DATA, CMD_SEARCH_SYNCHRONOUS,
                               CMD_GET_DRIVER_DATA, CMD_GET_DRIVER_DATA}),
        adapter.Commands());
    const std::vector<uint8_t> search = {7, 9, 3, 'C', 'E', 'L', 'L', '-', 'A', 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(search, adapter.DataOf(2));
    EXPECT_STREQ("00a0f81234ab", status.masterAddress);
}

TEST_F(DriverOperationsTest, SynchRestartsARoamingOrMasterCard) {
    struct Case {
        uint8_t roaming, storedType;
        uint32_t minimumWait;
    } cases[] = {{0, kStation, 5000}, {1, kAlternateMaster, 10000}, {1, kMaster, 5000}};
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.storedType));
        adapter.Clear();
        SynchroniseOnSearch();
        adapter.items[ITEM_ROAMING] = {k.roaming};
        adapter.items[ITEM_STATION_TYPE] = {2};
        status.cardInitialised = true;
        const uint32_t start = clock.now;
        EXPECT_EQ(0, Synch(k.storedType));
        EXPECT_EQ(1, adapter.items[ITEM_ROAMING][0]);
        EXPECT_EQ(0, adapter.items[ITEM_STATION_TYPE][0]);
        EXPECT_EQ(1, adapter.Count(CMD_START_CARD));
        EXPECT_TRUE(status.cardInitialised);
        // InitCard found no master until the search, so it waited its whole limit.
        EXPECT_GE(clock.now - start, k.minimumWait);
        EXPECT_LT(clock.now - start, k.minimumWait + 100);
    }
}

TEST_F(DriverOperationsTest, SynchNeverSynchronised) {
    adapter.items[ITEM_SYNC_STATE] = {0};
    EXPECT_EQ(-2, Synch(kStation));
    EXPECT_EQ(1 + 1 + 1 + 10000, int(adapter.Calls()));
    EXPECT_EQ(9999, ui.mouse);
}

TEST_F(DriverOperationsTest, SynchToAnotherMaster) {
    SynchroniseOnSearch();
    const uint32_t start = clock.now;
    EXPECT_EQ(-1, Synch(kStation, "00a0f8999999"));
    EXPECT_GE(clock.now - start, 5000u);
    EXPECT_LT(clock.now - start, 5010u);
    EXPECT_STREQ("00a0f81234ab", status.masterAddress);
}

TEST_F(DriverOperationsTest, SynchFailures) {
    struct Case {
        std::function<void()> arrange;
        int result;
        std::vector<std::string> traces;
    } cases[] = {
        {[&] { adapter.refused = {ITEM_ROAMING}; },
         -1,
         {"GetfromDataList in GetRoamingFlag", "GetRoamingFlag in SynchToMaster"}},
        {[&] {
             adapter.items[ITEM_ROAMING] = {0};
             adapter.script = {FakeAnswer::Pass(), FakeAnswer::Result(4)};
         },
         4,
         {"SetDriverData in SetRoamingFlag", "SetRoamingFlag in SynchToMaster"}},
        {[&] {
             adapter.items[ITEM_ROAMING] = {0};
             adapter.script = {FakeAnswer::Pass(), FakeAnswer::Pass(), FakeAnswer::Result(4)};
         },
         4,
         {"SetDriverData in SetStationType", "SetStationType in SynchToMaster"}},
        {[&] {
             adapter.items[ITEM_ROAMING] = {0};
             adapter.script = {FakeAnswer::Pass(), FakeAnswer::Pass(), FakeAnswer::Pass(),
                               FakeAnswer::Result(-3)};
         },
         -3,
         {"StartCard in InitCard", "InitCard in SynchToMaster"}},
        {[&] {
             adapter.script = {FakeAnswer::Pass(), FakeAnswer::Result(6)};
         },
         6,
         {"Set Driver Data in ClearSyncState", "ClearSyncState in SynchToMaster"}},
        {[&] {
             adapter.script = {FakeAnswer::Pass(), FakeAnswer::Pass(), FakeAnswer::Result(6)};
         },
         6,
         {"SearchSynchronous in SynchToMaster"}},
        {[&] { adapter.refused = {ITEM_NODE_ADDR}; },
         -1,
         {"GetfromDataList in GetMasterNode Node Addr", "GetMasterNode in SynchToMaster"}},
    };
    int i = 0;
    for (Case& k : cases) {
        SCOPED_TRACE(i++);
        adapter.refused.clear();
        adapter.items[ITEM_ROAMING] = {1};
        SynchroniseOnSearch();
        k.arrange();
        traced.clear();
        EXPECT_EQ(k.result, Synch(kStation));
        EXPECT_EQ(k.traces, traced);
    }
}

}  // namespace
}  // namespace odr
