// The simulated adapter answering raw request blocks: item lists byte for byte, malformed
// requests, the card's start and stop, and the radio world on a virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "driver/DataList.h"
#include "driver/DriverTypes.h"
#include "driver/Measure.h"
#include "driver/RssiTable.h"
#include "driver/Whereabouts.h"
#include "fakes/FakePlatform.h"
#include "fakes/ShippedScenario.h"
#include "sim/SimAdapter.h"
#include "sim/SimDevice.h"

namespace odr::sim {
namespace {

struct Answer {
    bool carried = false;
    uint32_t error = 0;
    int result = 0;
    uint32_t length = 0;
    std::vector<uint8_t> data;  // the whole 2000-byte data area after the call
};

class SimFixture : public ::testing::Test {
  protected:
    explicit SimFixture(Scenario scenario = DefaultScenario()) { Reset(std::move(scenario)); }

    void Reset(Scenario scenario) {
        device.reset();
        clock.now = 0;
        host = std::make_unique<SimDeviceHost>(std::move(scenario), clock);
        device = host->Open(kNtDevicePath, false);
        ASSERT_NE(device, nullptr);
    }

    Answer Call(uint32_t code, const void* data = nullptr, uint32_t length = 0,
                uint32_t wordHigh = 0) {
        std::vector<uint8_t> block(kRequestBlockSize, 0xCD);
        WriteU32(&block[kReqCommand], code | wordHigh);
        WriteU32(&block[kReqValue], 0);
        WriteU32(&block[kReqLength], length);
        WriteU32(&block[kReqResult], 0xFFFFFFFF);
        if (data && length) std::memcpy(&block[kReqData], data, std::min(length, 2000u));
        Answer a;
        a.carried = device->Control(block.data(), &a.error);
        a.result = int32_t(ReadU32(&block[kReqResult]));
        a.length = ReadU32(&block[kReqLength]);
        a.data.assign(block.begin() + kReqData, block.end());
        return a;
    }

    // GetDriverData with `ids`; returns the reply list.
    Answer Get(const std::vector<uint16_t>& ids) {
        uint8_t list[512] = {};
        uint16_t used = 0;
        for (uint16_t id : ids) AddToDataList(list, &used, id, nullptr, sizeof list);
        return Call(CMD_GET_DRIVER_DATA, list, used + 2u);
    }

    int Set(uint16_t id, const void* value) {
        uint8_t list[64] = {};
        uint16_t used = 0;
        AddToDataList(list, &used, id, value, sizeof list);
        Answer a = Call(CMD_SET_DRIVER_DATA, list, used + 2u);
        if (a.result != 0) return a.result;
        return ReadU16(&a.data[2]) == 0 ? 0 : -1;
    }
    int SetByte(uint16_t id, uint8_t v) { return Set(id, &v); }

    uint8_t Byte(uint16_t id) {
        Answer a = Get({id});
        EXPECT_EQ(a.result, 0);
        uint8_t v = 0xEE;
        EXPECT_EQ(GetfromDataList(a.data.data(), a.length, id, &v), 0) << "item " << id;
        return v;
    }
    std::string Text(uint16_t id) {
        Answer a = Get({id});
        char v[16] = {};
        EXPECT_EQ(GetfromDataList(a.data.data(), a.length, id, v), 0);
        return std::string(v, strnlen(v, ItemLength(id)));
    }
    std::string MasterAddress() {
        Answer a = Get({ITEM_SYNC_MASTER_ADDR});
        Address v{};
        EXPECT_EQ(GetfromDataList(a.data.data(), a.length, ITEM_SYNC_MASTER_ADDR, v.data()), 0);
        return FormatAddress(v);
    }
    uint8_t Sync() { return Byte(ITEM_SYNC_STATE); }

    // TransmitPing in the short or long form; *handle and *sent from the reply.
    int Ping(const std::string& destination, uint32_t payload, bool longForm = false,
             uint8_t* handle = nullptr, uint32_t* sent = nullptr, uint32_t* longValue = nullptr) {
        std::vector<uint8_t> request(longForm ? 1520 : 1518, 0);
        Address address{};
        EXPECT_TRUE(ParseAddress(destination, &address));
        std::memcpy(request.data(), address.data(), 6);
        WriteU32(&request[longForm ? 16 : 14], payload);
        Answer a = Call(longForm ? CMD_TRANSMIT_PING_LONG : CMD_TRANSMIT_PING, request.data(),
                        uint32_t(request.size()));
        if (handle) *handle = a.data[12];
        if (sent) *sent = ReadU32(&a.data[8]);
        if (longValue) *longValue = ReadU32(&a.data[12]);
        return a.result;
    }
    int Poll(uint8_t handle, uint32_t* completed = nullptr) {
        uint8_t block[6] = {handle};
        Answer a = Call(CMD_POLL_PING, block, 6);
        if (completed) *completed = ReadU32(&a.data[2]);
        return a.result;
    }
    struct Received {
        std::string from;
        uint8_t raw;
        uint32_t value;
    };
    std::vector<Received> Drain() {
        std::vector<Received> got;
        for (;;) {
            Answer a = Call(CMD_RECEIVE_PING);
            if (a.result != 1) break;
            Address from;
            std::memcpy(from.data(), a.data.data(), 6);
            got.push_back({FormatAddress(from), a.data[12], ReadU32(&a.data[14])});
        }
        return got;
    }
    int SetSecurityId(const std::string& id) {
        return Call(CMD_SET_SECURITY_ID, id.c_str(), uint32_t(id.size() + 1)).result;
    }
    int Search(uint32_t code, uint8_t domain, const std::string& name = "") {
        uint8_t request[15] = {0, 0, domain};
        std::memcpy(request + 3, name.data(), std::min<size_t>(name.size(), 12));
        return Call(code, request, 15).result;
    }
    // Runs for `ms`, polling every `step` ms, and returns the first time (ms from now) the
    // synchronised master's address became `address`, or -1.
    int TimeUntilMaster(const std::string& address, uint32_t ms, uint32_t step = 50) {
        for (uint32_t t = step; t <= ms; t += step) {
            clock.Advance(step);
            if (Sync() && MasterAddress() == address) return int(t);
        }
        return -1;
    }
    // Advances the clock in steps of `step` ms, reading the sync state at each step, as a
    // polling tool would; returns the state last read.
    uint8_t Run(uint32_t ms, uint32_t step = 100) {
        uint8_t s = 0;
        for (uint32_t t = 0; t < ms; t += step) {
            clock.Advance(step);
            s = Sync();
        }
        return s;
    }

    test::FakeClock clock;
    std::unique_ptr<SimDeviceHost> host;
    std::unique_ptr<Device> device;
};

// ---------------------------------------------------------------------------------------
// Opening and the first stage of commands

TEST(SimDeviceHostTest, OpensOnlyTheDriversNames) {
    test::FakeClock clock;
    SimDeviceHost host(DefaultScenario(), clock);
    struct {
        const char* path;
        bool opens;
    } cases[] = {
        {"\\\\.\\ODRAPI", true},
        {"\\\\.\\ODRWINNT1", true},
        {"\\\\.\\odrwinnt1", true},
        {"\\\\.\\QELMXCHM.VXD", false},
        {"\\\\.\\ODRWINNT2", false},
        {"ODRAPI", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(host.Open(c.path, true) != nullptr, c.opens) << c.path;
    EXPECT_TRUE(host.DefineName("ODRWINNT1", "\\Device\\ODRWINNT1"));
    EXPECT_TRUE(host.RemoveName("ODRWINNT1"));
    EXPECT_TRUE(host.CreateCompletionEvent());
}

using SimStageOneTest = SimFixture;

TEST_F(SimStageOneTest, EveryItemIsAnsweredAtItsTableLength) {
    std::vector<uint16_t> ids;
    for (uint16_t id = 1; id <= 24; ++id) ids.push_back(id);
    Answer a = Get(ids);
    ASSERT_TRUE(a.carried);
    EXPECT_EQ(a.result, 0);
    uint32_t offset = 0;
    for (uint16_t id : ids) {
        EXPECT_EQ(ReadU16(&a.data[offset]), id);
        EXPECT_EQ(ReadU16(&a.data[offset + 2]), 0) << "status of item " << id;
        EXPECT_EQ(ReadU16(&a.data[offset + 4]), ItemLength(id));
        offset += 6 + ItemLength(id);
    }
    EXPECT_EQ(ReadU16(&a.data[offset]), 0);  // terminator kept
    EXPECT_EQ(a.length, offset + 2);
    EXPECT_EQ(Text(ITEM_VERSION), "V1.50a");
    Answer node = Get({ITEM_NODE_ADDR});
    Address address{};
    ASSERT_EQ(GetfromDataList(node.data.data(), node.length, ITEM_NODE_ADDR, address.data()), 0);
    EXPECT_EQ(FormatAddress(address), "0020a6f00001");
    EXPECT_EQ(Text(ITEM_MASTER_NAME), "MASTER");
    EXPECT_EQ(Byte(ITEM_DOMAIN), 1);
}

TEST_F(SimStageOneTest, UnknownAndRefusedItemsKeepTheirStatus) {
    // Item 25 is not one the adapter knows; the items around it are still found.
    uint8_t list[64] = {};
    uint16_t used = 0;
    AddToDataList(list, &used, ITEM_DOMAIN, nullptr, sizeof list);
    AddToDataList(list, &used, 25, nullptr, sizeof list);
    AddToDataList(list, &used, ITEM_CHANNEL, nullptr, sizeof list);
    Answer a = Call(CMD_GET_DRIVER_DATA, list, used + 2u);
    EXPECT_EQ(a.result, 0);
    EXPECT_EQ(ReadU16(&a.data[2]), 0);
    EXPECT_EQ(ReadU16(&a.data[7 + 2]), 0xFFFF);
    uint8_t channel = 0;
    EXPECT_EQ(GetfromDataList(a.data.data(), a.length, ITEM_CHANNEL, &channel), 0);
    EXPECT_EQ(channel, 1);

    Scenario s = DefaultScenario();
    s.faults.refuseItems = {ITEM_VERSION, ITEM_SYNC_MASTER_ADDR};
    Reset(s);
    Answer b = Get({ITEM_SYNC_MASTER_ADDR, ITEM_NODE_ADDR, ITEM_VERSION, ITEM_SYNC_STATE});
    uint8_t buffer[16];
    EXPECT_EQ(GetfromDataList(b.data.data(), b.length, ITEM_SYNC_MASTER_ADDR, buffer), -1);
    EXPECT_EQ(GetfromDataList(b.data.data(), b.length, ITEM_NODE_ADDR, buffer), 0);
    EXPECT_EQ(GetfromDataList(b.data.data(), b.length, ITEM_VERSION, buffer), -1);
    EXPECT_EQ(GetfromDataList(b.data.data(), b.length, ITEM_SYNC_STATE, buffer), 0);
    EXPECT_EQ(Set(ITEM_SYNC_MASTER_ADDR, "\0\0\0\0\0\0"), -1);
}

TEST_F(SimStageOneTest, MalformedRequestsAreRefusedUntouched) {
    uint8_t good[16] = {};
    uint16_t used = 0;
    AddToDataList(good, &used, ITEM_DOMAIN, nullptr, sizeof good);  // 7 bytes + terminator

    struct Case {
        const char* what;
        std::vector<uint8_t> list;
        uint32_t length;
    };
    std::vector<uint8_t> lying = {ITEM_DOMAIN, 0, 0xFF, 0xFF, 5, 0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<uint8_t> huge = {ITEM_DOMAIN, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0};
    std::vector<uint8_t> unknownHuge = {40, 0, 0xFF, 0xFF, 0xF0, 0x07, 0, 0};
    std::vector<uint8_t> goodList(good, good + 9);
    Case cases[] = {
        {"empty", {}, 0},
        {"no terminator", goodList, 7},
        {"header cut", goodList, 4},
        {"value cut", goodList, 6},
        {"length that lies", lying, uint32_t(lying.size())},
        {"length past the block", huge, uint32_t(huge.size())},
        {"unknown item past the list", unknownHuge, uint32_t(unknownHuge.size())},
    };
    for (const Case& c : cases) {
        for (uint32_t code : {CMD_GET_DRIVER_DATA, CMD_SET_DRIVER_DATA}) {
            Answer a = Call(code, c.list.data(), c.length);
            EXPECT_TRUE(a.carried);
            EXPECT_NE(a.result, 0) << c.what;
            // Nothing was written: statuses stay as sent, bytes past the list untouched.
            for (uint32_t i = 0; i < c.length; ++i) ASSERT_EQ(a.data[i], c.list[i]) << c.what;
            for (uint32_t i = c.length; i < 2000; ++i) ASSERT_EQ(a.data[i], 0xCD) << c.what;
        }
    }
    EXPECT_EQ(Byte(ITEM_DOMAIN), 1);

    // Over 2000 bytes: refused without touching the data area.
    std::vector<uint8_t> tooLong(2001, 0);
    Answer big = Call(CMD_GET_DRIVER_DATA, tooLong.data(), 2001);
    EXPECT_NE(big.result, 0);
    EXPECT_EQ(big.length, 0u);
    // A list of exactly 2000 bytes is read.
    std::vector<uint8_t> full(2000, 0);
    uint16_t fullUsed = 0;
    while (fullUsed + 7u + 2u <= 2000 - 7u)
        AddToDataList(full.data(), &fullUsed, ITEM_DOMAIN, nullptr, 2000);
    // Pad with an unknown item so the terminator is the last two bytes.
    const uint16_t pad = uint16_t(2000 - fullUsed - 2 - 6);
    WriteU16(&full[fullUsed], 40);
    WriteU16(&full[fullUsed + 4], pad);
    WriteU16(&full[1998], 0);
    Answer exact = Call(CMD_GET_DRIVER_DATA, full.data(), 2000);
    EXPECT_EQ(exact.result, 0);
    EXPECT_EQ(ReadU16(&exact.data[2]), 0);
}

TEST_F(SimStageOneTest, UnknownCommandsAndOtherAdaptersAreRefused) {
    for (uint32_t code : {0u, 15u, 16u, 21u, 23u, 28u, 30u, 0xFFFFu}) {
        Answer a = Call(code);
        EXPECT_TRUE(a.carried);
        EXPECT_NE(a.result, 0) << code;
    }
    EXPECT_NE(Call(CMD_REATTACH_DRIVER, nullptr, 0, 1u << 24).result, 0);
    EXPECT_EQ(Call(CMD_REATTACH_DRIVER).result, 0);
}

TEST_F(SimStageOneTest, VersionAndCountry) {
    Answer v = Call(CMD_GET_DRIVER_VERSION);
    EXPECT_EQ(v.result, 0);
    EXPECT_EQ(v.length, 5u);
    EXPECT_STREQ(reinterpret_cast<const char*>(v.data.data()), "2.10");
    Answer c = Call(CMD_GET_COUNTRY_CODE);
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.length, 2u);
    EXPECT_EQ(c.data[0], 0);
    EXPECT_EQ(c.data[1], 1);
}

TEST_F(SimStageOneTest, SynchronisesToTheStrongestMasterAfterTheAcquisitionDelay) {
    EXPECT_EQ(Sync(), 0);
    clock.Advance(299);
    EXPECT_EQ(Sync(), 0);
    clock.Advance(1);
    EXPECT_EQ(Sync(), 1);
    EXPECT_EQ(MasterAddress(), "0020a6100001");
    EXPECT_EQ(Text(ITEM_SYNC_MASTER_NAME), "LOBBY");
    EXPECT_EQ(Byte(ITEM_SYNC_CHANNEL), 3);
    EXPECT_EQ(Byte(ITEM_SYNC_SUBCHANNEL), 1);
}

TEST_F(SimStageOneTest, StopAndStartCard) {
    clock.Advance(400);
    EXPECT_EQ(Sync(), 1);
    EXPECT_EQ(Call(CMD_STOP_CARD).result, 0);
    EXPECT_EQ(Sync(), 0);
    EXPECT_EQ(Run(2000), 0);  // a stopped card stays down
    EXPECT_EQ(Call(CMD_START_CARD).result, 0);
    EXPECT_EQ(Sync(), 0);
    clock.Advance(299);
    EXPECT_EQ(Sync(), 0);
    clock.Advance(1);
    EXPECT_EQ(Sync(), 1);
    EXPECT_EQ(MasterAddress(), "0020a6100001");
}

TEST_F(SimStageOneTest, WritableItemsAndStateSurvivingReopen) {
    EXPECT_EQ(SetByte(ITEM_CHANNEL, 7), 0);
    EXPECT_EQ(SetByte(ITEM_SUBCHANNEL, 2), 0);
    EXPECT_EQ(Set(ITEM_MASTER_NAME, "BASEMENT\0\0\0\0"), 0);
    const uint8_t inactivity[2] = {0xDB, 0x02};  // 731
    EXPECT_EQ(Set(ITEM_INACTIVITY, inactivity), 0);
    EXPECT_EQ(SetByte(ITEM_DOMAIN, 7), 0);
    EXPECT_EQ(SetByte(ITEM_STATION_TYPE, 1), 0);
    EXPECT_EQ(SetByte(ITEM_ROAMING, 1), 0);
    EXPECT_EQ(SetByte(ITEM_PEER_TO_PEER, 1), 0);
    EXPECT_EQ(SetByte(ITEM_SYNC_STATE, 0), 0);
    EXPECT_EQ(Set(ITEM_SYNC_MASTER_ADDR, "\0\0\0\0\0\0"), 0);

    // Out of range values and read-only items keep status 0xFFFF.
    EXPECT_EQ(SetByte(ITEM_CHANNEL, 0), -1);
    EXPECT_EQ(SetByte(ITEM_DOMAIN, 16), -1);
    EXPECT_EQ(SetByte(ITEM_STATION_TYPE, 3), -1);
    EXPECT_EQ(SetByte(ITEM_ROAMING, 2), -1);
    EXPECT_EQ(Set(ITEM_NODE_ADDR, "\1\2\3\4\5\6"), -1);
    EXPECT_EQ(Set(ITEM_VERSION, "V9.99zz"), -1);

    device = host->Open(kWin95DevicePath, true);  // the channel re-opened
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(Byte(ITEM_CHANNEL), 7);
    EXPECT_EQ(Byte(ITEM_SUBCHANNEL), 2);
    EXPECT_EQ(Text(ITEM_MASTER_NAME), "BASEMENT");
    Answer a = Get({ITEM_INACTIVITY});
    uint8_t value[2];
    ASSERT_EQ(GetfromDataList(a.data.data(), a.length, ITEM_INACTIVITY, value), 0);
    EXPECT_EQ(ReadU16(value), 731);
    EXPECT_EQ(Byte(ITEM_DOMAIN), 7);
    EXPECT_EQ(Byte(ITEM_STATION_TYPE), 1);
    EXPECT_EQ(Byte(ITEM_ROAMING), 1);
    EXPECT_EQ(Byte(ITEM_PEER_TO_PEER), 1);
}

TEST_F(SimStageOneTest, StartupValuesFromTheStoredSettings) {
    host = std::make_unique<SimDeviceHost>(DefaultScenario(), clock);
    host->SetStartupSource([](StartupValues* v) {
        v->stationType = kMaster;
        v->masterName = "STORED";
        v->channel = 11;
        return true;
    });
    device = host->Open(kNtDevicePath, false);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(Sync(), 1);  // a master is synchronised to itself at once
    EXPECT_EQ(MasterAddress(), "0020a6f00001");
    EXPECT_EQ(Text(ITEM_SYNC_MASTER_NAME), "STORED");
    EXPECT_EQ(Byte(ITEM_SYNC_CHANNEL), 11);
}

// ---------------------------------------------------------------------------------------
// The radio world

Station Master(const std::string& id, const char* address, uint8_t domain, const char* signal,
               const char* onAir = "0-") {
    Station m;
    m.id = m.name = id;
    ParseAddress(address, &m.address);
    m.domain = domain;
    m.securityId = "SITE1";
    Scenario parse;
    std::string text = std::string("[master.X]\naddress = 0020a6999999\nsignal = ") + signal +
                       "\non_air = " + onAir + "\n";
    std::string error;
    EXPECT_TRUE(ParseScenario(text, "t", &parse, &error)) << error;
    m.signal = parse.masters[0].signal;
    m.onAir = parse.masters[0].onAir;
    return m;
}

Scenario Site(std::vector<Station> masters, std::vector<Station> nodes = {}) {
    Scenario s;
    s.masters = std::move(masters);
    s.nodes = std::move(nodes);
    return s;
}

using SimWorldTest = SimFixture;

TEST_F(SimWorldTest, AsynchronousSearchRotatesStrongestFirst) {
    clock.Advance(500);
    ASSERT_EQ(MasterAddress(), "0020a6100001");
    EXPECT_EQ(Set(ITEM_SYNC_MASTER_ADDR, "\0\0\0\0\0\0"), 0);
    EXPECT_EQ(Search(CMD_SEARCH_ASYNCHRONOUS, 1), 0);
    EXPECT_EQ(Sync(), 0);
    const char* expected[] = {"0020a6100001", "0020a6100002", "0020a6100001", "0020a6100002"};
    for (const char* address : expected) {
        clock.Advance(299);
        EXPECT_NE(MasterAddress(), address);
        clock.Advance(1);
        EXPECT_EQ(Sync(), 1);
        EXPECT_EQ(MasterAddress(), address);  // the GUEST master is never heard
    }
    EXPECT_EQ(Text(ITEM_SYNC_MASTER_NAME), "WAREHOUSE");
    EXPECT_EQ(Byte(ITEM_SYNC_CHANNEL), 9);
    EXPECT_EQ(Byte(ITEM_SYNC_SUBCHANNEL), 2);

    EXPECT_EQ(Call(CMD_STOP_SEARCH).result, 0);
    EXPECT_EQ(Set(ITEM_SYNC_MASTER_ADDR, "\0\0\0\0\0\0"), 0);
    EXPECT_EQ(MasterAddress(), "000000000000");
    EXPECT_EQ(Search(CMD_SEARCH_ASYNCHRONOUS, 7), 0);
    clock.Advance(300);
    EXPECT_EQ(MasterAddress(), "0020a6100003");
    EXPECT_EQ(Text(ITEM_SYNC_MASTER_NAME), "ANNEX");

    EXPECT_EQ(Call(CMD_STOP_SEARCH).result, 0);
    EXPECT_EQ(Search(CMD_SEARCH_ASYNCHRONOUS, 3), 0);
    EXPECT_EQ(Run(2000), 0);  // nobody in domain 3

    // After StopSearch the station goes back to its own domain's strongest master.
    EXPECT_EQ(Call(CMD_STOP_SEARCH).result, 0);
    EXPECT_EQ(TimeUntilMaster("0020a6100001", 1000), 300);
    EXPECT_NE(Search(CMD_SEARCH_ASYNCHRONOUS, 16), 0);
}

TEST_F(SimWorldTest, SynchronousSearchFindsTheNamedMaster) {
    clock.Advance(500);
    EXPECT_EQ(SetByte(ITEM_ROAMING, 1), 0);
    EXPECT_EQ(SetByte(ITEM_SYNC_STATE, 0), 0);
    EXPECT_EQ(Search(CMD_SEARCH_SYNCHRONOUS, 1, "WAREHOUSE"), 0);
    EXPECT_EQ(TimeUntilMaster("0020a6100002", 1000, 10), 300);
    EXPECT_EQ(Text(ITEM_SYNC_MASTER_NAME), "WAREHOUSE");
    // Roaming disabled: it stays although LOBBY is far stronger.
    EXPECT_EQ(Run(10000), 1);
    EXPECT_EQ(MasterAddress(), "0020a6100002");

    // A name nobody has, and a master with another security ID, are never found.
    for (const char* name : {"NOBODY", "GUEST"}) {
        EXPECT_EQ(SetByte(ITEM_SYNC_STATE, 0), 0);
        EXPECT_EQ(Search(CMD_SEARCH_SYNCHRONOUS, 1, name), 0);
        EXPECT_EQ(Run(3000), 0) << name;
    }
}

TEST_F(SimWorldTest, RoamingWithHysteresisAndDelay) {
    struct Case {
        const char* bSignal;  // B appears at 5 s
        uint8_t roamConfig;   // 0 Slow, 1 Normal, 2 Fast
        int movesAfterMs;     // after B appeared; -1 never
    } cases[] = {
        {"0:-90 5:-90 5.001:-55", 1, -1},  // 5 dB stronger: stays
        {"0:-90 5:-90 5.001:-54", 1, 2000},
        {"0:-90 5:-90 5.001:-54", 0, 4000},
        {"0:-90 5:-90 5.001:-40", 2, 1000},
    };
    for (const Case& c : cases) {
        Reset(Site(
            {Master("A", "0020a6100001", 1, "-60"), Master("B", "0020a6100002", 1, c.bSignal)}));
        const uint8_t config = c.roamConfig;
        EXPECT_EQ(Call(CMD_SET_ROAM_CONFIG, &config, 1).result, 0);
        EXPECT_EQ(TimeUntilMaster("0020a6100001", 1000), 300);
        clock.Advance(5000 - clock.now);
        const int moved = TimeUntilMaster("0020a6100002", 8000);
        if (c.movesAfterMs < 0) {
            EXPECT_EQ(moved, -1) << c.bSignal;
        } else {
            EXPECT_GE(moved, c.movesAfterMs) << c.bSignal;
            EXPECT_LE(moved, c.movesAfterMs + 100) << c.bSignal;
        }
    }
}

TEST_F(SimWorldTest, LosingTheMasterWithAndWithoutRoaming) {
    auto site = [] {
        return Site({Master("A", "0020a6100001", 1, "-50", "0-10 20-"),
                     Master("B", "0020a6100002", 1, "-70")});
    };
    // Roaming disabled: synchronisation goes and comes with A; B is never taken.
    Reset(site());
    EXPECT_EQ(SetByte(ITEM_ROAMING, 1), 0);
    EXPECT_EQ(TimeUntilMaster("0020a6100001", 1000), 300);
    clock.Advance(10000 - clock.now);
    EXPECT_EQ(Sync(), 0);
    EXPECT_EQ(Run(9000), 0);
    EXPECT_EQ(MasterAddress(), "0020a6100001");
    EXPECT_EQ(Run(1000), 1);
    EXPECT_EQ(MasterAddress(), "0020a6100001");

    // Roaming enabled: it moves to the strongest other master, and back when A is stronger.
    Reset(site());
    EXPECT_EQ(TimeUntilMaster("0020a6100001", 1000), 300);
    clock.Advance(10000 - clock.now);
    EXPECT_EQ(Sync(), 0);
    EXPECT_EQ(TimeUntilMaster("0020a6100002", 1000, 10), 300);
    clock.Advance(20000 - clock.now);
    const int back = TimeUntilMaster("0020a6100001", 3000);  // 20 dB stronger, Normal delay
    EXPECT_GE(back, 2000);
    EXPECT_LE(back, 2100);
}

TEST_F(SimWorldTest, AlternateMasterTakesOverAfterFiveSilentSeconds) {
    Scenario s = Site({Master("A", "0020a6100001", 1, "-50", "0-3")});
    s.adapter.startup.stationType = kAlternateMaster;
    s.adapter.startup.masterName = "ALT";
    Reset(s);
    EXPECT_EQ(TimeUntilMaster("0020a6100001", 1000), 300);
    // No request between 0.3 s and 3 s: the world still saw A until it went silent.
    clock.Advance(3000 - clock.now);
    EXPECT_EQ(Sync(), 0);
    EXPECT_EQ(Run(4900), 0);
    EXPECT_EQ(Run(200), 1);
    EXPECT_EQ(MasterAddress(), "0020a6f00001");
    EXPECT_EQ(Text(ITEM_SYNC_MASTER_NAME), "ALT");

    // A Station in the same place keeps trying.
    s.adapter.startup.stationType = kStation;
    Reset(s);
    clock.Advance(3000);
    EXPECT_EQ(Run(20000), 0);
    EXPECT_EQ(MasterAddress(), "0020a6100001");

    // An Alternate Master that never hears a master takes over 5 s after the start.
    s.masters.clear();
    s.adapter.startup.stationType = kAlternateMaster;
    Reset(s);
    clock.Advance(4999);
    EXPECT_EQ(Sync(), 0);
    clock.Advance(1);
    EXPECT_EQ(Sync(), 1);
}

TEST_F(SimWorldTest, AlternateMasterWithoutRoamingKeepsOffWhileAMasterIsHeard) {
    Scenario s =
        Site({Master("A", "0020a6100001", 1, "-50", "0-3"), Master("B", "0020a6100002", 1, "-70")});
    s.adapter.startup.stationType = kAlternateMaster;
    s.adapter.startup.roaming = 1;
    Reset(s);
    EXPECT_EQ(TimeUntilMaster("0020a6100001", 1000), 300);
    // A goes silent; B is heard but not moved to: no sync, and no takeover either.
    EXPECT_EQ(Run(20000), 0);
    EXPECT_NE(MasterAddress(), "0020a6f00001");
}

TEST_F(SimWorldTest, SecurityIdTakesEffectAtOnceAndIsNotStored) {
    EXPECT_EQ(TimeUntilMaster("0020a6100001", 1000), 300);
    EXPECT_EQ(SetSecurityId("GUESTNET"), 0);
    EXPECT_EQ(Sync(), 0);
    EXPECT_EQ(TimeUntilMaster("0020a6100004", 1000, 10), 300);
    EXPECT_EQ(Text(ITEM_SYNC_MASTER_NAME), "GUEST");
    EXPECT_EQ(SetSecurityId("NOBODY"), 0);
    EXPECT_EQ(Run(3000), 0);
    // A card restart keeps it; a driver reload starts again with the scenario's.
    EXPECT_EQ(Call(CMD_STOP_CARD).result, 0);
    EXPECT_EQ(Call(CMD_START_CARD).result, 0);
    EXPECT_EQ(Run(2000), 0);
    Reset(DefaultScenario());
    EXPECT_EQ(TimeUntilMaster("0020a6100001", 1000), 300);
}

TEST_F(SimWorldTest, DriverAbsentAndLost) {
    Scenario s = DefaultScenario();
    s.faults.driverAbsent.spans = {{0, 2}};
    s.faults.driverLost.spans = {{5, 6}, {8, 9}};
    host = std::make_unique<SimDeviceHost>(s, clock);
    EXPECT_EQ(host->Open(kNtDevicePath, false), nullptr);
    clock.Advance(1999);
    EXPECT_EQ(host->Open(kNtDevicePath, false), nullptr);
    clock.Advance(1);
    device = host->Open(kNtDevicePath, false);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(Call(CMD_GET_DRIVER_VERSION).carried);

    clock.Advance(3000);  // 5 s: lost
    for (uint32_t code : {CMD_GET_DRIVER_VERSION, CMD_REATTACH_DRIVER}) {
        Answer a = Call(code);
        EXPECT_FALSE(a.carried);
        EXPECT_EQ(a.error, kErrorDeviceNotConnected);
    }
    clock.Advance(1000);  // 6 s: back, but only ReattachDriver is answered
    EXPECT_FALSE(Call(CMD_GET_DRIVER_VERSION).carried);
    Answer r = Call(CMD_REATTACH_DRIVER);
    EXPECT_TRUE(r.carried);
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(Call(CMD_GET_DRIVER_VERSION).carried);

    clock.Advance(4000);  // 10 s: the second span passed without a call
    EXPECT_FALSE(Call(CMD_GET_DRIVER_DATA).carried);
    EXPECT_TRUE(Call(CMD_REATTACH_DRIVER).carried);
    EXPECT_TRUE(Call(CMD_GET_DRIVER_VERSION).carried);
}

TEST_F(SimWorldTest, RefusedItemsAndCalibrationBlocks) {
    uint8_t request[260] = {128, 0, 21, 0};
    Answer a = Call(CMD_READ_RSSI_CALIBRATION, request, 260);
    EXPECT_EQ(a.result, 0);
    EXPECT_EQ(a.length, 260u);
    const uint8_t expected[] = {128, 0, 21, 0, 3, 40, 200, 60, 150, 80, 100, 0};
    for (size_t i = 0; i < sizeof expected; ++i) EXPECT_EQ(a.data[i], expected[i]) << i;

    Scenario s = DefaultScenario();
    s.adapter.calibrationKind = CalibrationKind::None;
    Reset(s);
    EXPECT_EQ(Call(CMD_READ_RSSI_CALIBRATION, request, 260).result, 1);
    s.adapter.calibrationKind = CalibrationKind::Invalid;
    Reset(s);
    a = Call(CMD_READ_RSSI_CALIBRATION, request, 260);
    EXPECT_EQ(a.result, 0);
    EXPECT_EQ(a.data[4], 11);
}

// The percentage table the tools build from a calibration, for well-ordered points.
std::vector<int> ToolTable(const std::vector<std::pair<uint8_t, uint8_t>>& points) {
    std::vector<int> table(256, 0);
    auto d = [](uint8_t a) { return (a - 40) * 2.5; };
    const auto& l = points.back();
    const auto& m = points[points.size() - 2];
    int g = d(l.first) == d(m.first)
                ? 0
                : uint8_t(l.second + int((double(l.second) - m.second) / (d(l.first) - d(m.first)) *
                                         (100 - d(l.first))));
    double s = 0, slope = 0, level = 0;
    int brk = g;
    size_t next = points.size();
    for (int r = 0; r < 256; ++r) {
        if (r > brk) {
            int prevBreak = brk;
            double prevLevel = level, target = 100;
            int newBreak = 255;
            if (next > 0) {
                --next;
                target = std::clamp(100 - d(points[next].first), 0.0, 100.0);
                newBreak = points[next].second;
            }
            slope = newBreak == prevBreak ? 0 : (target - prevLevel) / (newBreak - prevBreak);
            level = target;
            brk = newBreak;
        }
        s = std::min(s + slope, 100.0);
        table[r] = int(s + 0.5);
    }
    return table;
}

TEST_F(SimWorldTest, RawReadingsFollowTheCalibration) {
    const std::vector<std::vector<std::pair<uint8_t, uint8_t>>> calibrations = {
        {{40, 200}, {60, 150}, {80, 100}},
        {{40, 240}, {55, 180}, {70, 120}, {80, 100}},
        {{45, 170}, {75, 60}},
    };
    for (const auto& points : calibrations) {
        Scenario s = DefaultScenario();
        s.adapter.calibration = points;
        SimAdapter adapter(s, clock);
        const std::vector<int> table = ToolTable(points);
        for (int level = -30; level >= -95; --level) {
            const double shown = std::clamp(100 - (-level - 40) * 2.5, 0.0, 100.0);
            EXPECT_NEAR(table[adapter.RawForLevel(level)], shown, 3)
                << level << " with " << points.size() << " points, raw "
                << int(adapter.RawForLevel(level));
        }
    }
    Scenario s = DefaultScenario();
    s.adapter.calibrationKind = CalibrationKind::None;
    SimAdapter none(s, clock);
    EXPECT_EQ(none.RawForLevel(-60), 150);
    EXPECT_EQ(none.RawForLevel(-30), 200);
    EXPECT_EQ(none.RawForLevel(-90), 100);
}

// The percentage the tools show for a level: the simulator's raw reading through the tools'
// own table (the driver's), against 100 - (-level - 40) x 2.5.
TEST(SimCalibrationTest, ReadingsThroughTheToolsTable) {
    const std::vector<std::vector<uint8_t>> calibrations = {
        {40, 200, 60, 150, 80, 100},           // the default site: one step behind
        {40, 130, 80, 110},                    // steep, and one step behind
        {40, 240, 55, 180, 70, 120, 80, 100},  // four points
        {45, 170, 75, 60},                     // a start below raw 0
        {40, 220, 70, 140},                    // the weakest point above 0 %
        {60, 150},                             // one point
    };
    test::FakeClock clock;
    for (const auto& points : calibrations) {
        SCOPED_TRACE(::testing::PrintToString(points));
        Scenario s = DefaultScenario();
        s.adapter.calibration.clear();
        for (size_t i = 0; i < points.size(); i += 2)
            s.adapter.calibration.emplace_back(points[i], points[i + 1]);
        SimAdapter adapter(s, clock);
        RssiTable table;
        BuildRssiTable(points.data(), int(points.size() / 2), &table);
        for (double level = -30; level >= -95; level -= 0.5) {
            const double right = std::clamp(100 - (-level - 40) * 2.5, 0.0, 100.0);
            // Within 3 points wherever the table comes that close at all.
            double nearest = 100;
            for (int r = 0; r < 256; ++r)
                nearest = std::min(nearest, std::fabs(table.percent[r] - right));
            const int shown = table[adapter.RawForLevel(level)];
            EXPECT_LE(std::fabs(shown - right), std::max(3.0, nearest + 0.5)) << level;
        }
    }
    Scenario s = DefaultScenario();
    s.adapter.calibration = {{40, 130}, {80, 110}};
    SimAdapter steep(s, clock);
    const uint8_t points[] = {40, 130, 80, 110};
    RssiTable table;
    BuildRssiTable(points, 2, &table);
    EXPECT_EQ(table[steep.RawForLevel(-42)], 95);
}

TEST_F(SimWorldTest, HeardDownToMinus85) {
    for (const char* signal : {"-85", "-85.5"}) {
        Reset(Site({Master("A", "0020a6100001", 1, signal)}));
        EXPECT_EQ(TimeUntilMaster("0020a6100001", 1000), signal[3] == 0 ? 300 : -1) << signal;
    }
}

// A corridor 60 m long with A at the west end, B at the east end and a wall half way.
Scenario Corridor() {
    Scenario s;
    std::string error;
    EXPECT_TRUE(
        ParseScenario("[site]\nwidth_m = 60\nheight_m = 10\n[adapter]\nposition = 5,5\n"
                      "[master.A]\naddress = 0020a6100001\nposition = 0,5\n"
                      "level_1m = -30\n"
                      "[master.B]\naddress = 0020a6100002\nposition = 60,5\n"
                      "level_1m = -30\n"
                      "[wall.W]\nfrom = 30,0\nto = 30,10\nloss_db = 3\n",
                      "t.ini", &s, &error))
        << error;
    return s;
}

TEST_F(SimWorldTest, WalkingTheLaptopRoamsOnTheLevelsWhereItStands) {
    Reset(Corridor());
    Whereabouts* where = host->whereabouts();
    // At 5 m: A -51 dBm, B -85.2 (55 m and the wall): not heard.
    EXPECT_EQ(TimeUntilMaster("0020a6100001", 1000), 300);
    // At 28 m B (-78.2) is heard, weaker than A (-73.4): A stays.
    where->MoveTo(28, 5);
    EXPECT_EQ(Run(5000), 1);
    EXPECT_EQ(MasterAddress(), "0020a6100001");
    // At 35 m B (-71.9) is stronger than A (-79.3) by the margin: B after the roaming delay.
    where->MoveTo(35, 5);
    const int roamed = TimeUntilMaster("0020a6100002", 3000);
    EXPECT_GE(roamed, 2000);
    EXPECT_LE(roamed, 2050);
    // Back at 28 m A is stronger by less than the margin: B stays.
    where->MoveTo(28, 5);
    EXPECT_EQ(Run(5000), 1);
    EXPECT_EQ(MasterAddress(), "0020a6100002");
    // At the west end B is lost at once, and A taken after the acquisition time.
    where->MoveTo(1, 5);
    EXPECT_EQ(Sync(), 0);
    EXPECT_EQ(TimeUntilMaster("0020a6100001", 1000), 300);
}

TEST_F(SimWorldTest, TheShippedOfficeWalk) {
    Reset(test::ShippedScenario("office.ini"));
    Whereabouts* where = host->whereabouts();
    auto level = [this](size_t master) {
        return host->adapter().scenario().masters[master].signal.At(0);
    };
    // The reception: SOUTH-WING, a little stronger there.
    EXPECT_EQ(TimeUntilMaster("0020a6120002", 1000), 300);
    EXPECT_EQ(Text(ITEM_SYNC_MASTER_NAME), "SOUTH-WING");
    // Beside NORTH-WING in ENGINEERING: strong, and taken after the roaming delay.
    where->MoveTo(18, 6);
    EXPECT_GT(level(0), -45);
    const int roamed = TimeUntilMaster("0020a6120001", 3000);
    EXPECT_GE(roamed, 2000);
    EXPECT_LE(roamed, 2050);
    // The far corner of the archive: neither master heard.
    where->MoveTo(38, 23);
    EXPECT_LT(level(0), kHearingThreshold);
    EXPECT_LT(level(1), kHearingThreshold);
    EXPECT_EQ(Run(10000), 0);
    // Beside SOUTH-WING: strong, and synchronised at once (acquiring since NORTH-WING was lost).
    where->MoveTo(14, 20.5);
    EXPECT_GT(level(1), -45);
    EXPECT_EQ(Sync(), 1);
    EXPECT_EQ(Text(ITEM_SYNC_MASTER_NAME), "SOUTH-WING");
}

TEST(SimClockTest, KeepsGoingWhenTheProcessClockWraps) {
    test::FakeClock clock;
    clock.now = 0xFFFFFFFFu - 1000;  // 49.7 days after the system started
    SimDeviceHost host(DefaultScenario(), clock);
    std::unique_ptr<Device> device = host.Open(kNtDevicePath, false);
    ASSERT_NE(device, nullptr);
    auto syncState = [&] {
        std::vector<uint8_t> block(kRequestBlockSize, 0);
        WriteU32(&block[kReqCommand], CMD_GET_DRIVER_DATA);
        uint16_t used = 0;
        AddToDataList(&block[kReqData], &used, ITEM_SYNC_STATE, nullptr, kRequestDataSize);
        WriteU32(&block[kReqLength], used + 2u);
        uint32_t error = 0;
        EXPECT_TRUE(device->Control(block.data(), &error));
        uint8_t state = 0xEE;
        EXPECT_EQ(GetfromDataList(&block[kReqData], used + 2u, ITEM_SYNC_STATE, &state), 0);
        return state;
    };
    clock.Advance(200);
    EXPECT_EQ(syncState(), 0);
    clock.Advance(900);  // past 2^32: the acquisition time has passed
    EXPECT_EQ(syncState(), 1);
    clock.Advance(60000);
    EXPECT_EQ(syncState(), 1);

    // An adapter that lives 49.7 days: its own time passes 2^32 ms and goes on.
    Scenario s = DefaultScenario();
    s.faults.driverAbsent.spans = {{0, 30}};
    SimDeviceHost old(s, clock);
    EXPECT_EQ(old.Open(kNtDevicePath, false), nullptr);
    clock.Advance(40000);
    device = old.Open(kNtDevicePath, false);
    ASSERT_NE(device, nullptr);
    clock.Advance(0xFFFFFFFFu - 40000 - 100);
    EXPECT_EQ(syncState(), 1);
    clock.Advance(90);  // a gap that ends just before 2^32
    EXPECT_EQ(syncState(), 1);
    clock.Advance(20);
    EXPECT_EQ(syncState(), 1);
    EXPECT_NE(old.Open(kNtDevicePath, false), nullptr);  // not back at the start
}

TEST_F(SimWorldTest, ParkedRadioReadings) {
    // The tools' table of the default calibration.
    const uint8_t points[] = {40, 200, 60, 150, 80, 100};
    RssiTable table;
    BuildRssiTable(points, 3, &table);
    auto readings = [this, &table](uint8_t channel, int n) {
        EXPECT_EQ(Call(CMD_DISABLE_HOPPING, &channel, 1).result, 0);
        std::vector<int> percent;
        for (int i = 0; i < n; ++i) {
            uint8_t raw = 0;
            Answer a = Call(CMD_GET_RSSI, &raw, 1);
            EXPECT_EQ(a.result, 0);
            percent.push_back(table[a.data[0]]);
        }
        return percent;
    };
    clock.Advance(500);
    // Interference on 30-36 at -55 dBm (62.5 %) for 40 % of the readings.
    std::vector<int> busy = readings(33, 2000);
    const auto loud = std::count_if(busy.begin(), busy.end(), [](int p) { return p >= 55; });
    EXPECT_GT(loud, 2000 * 0.40 - 150);
    EXPECT_LT(loud, 2000 * 0.40 + 150);
    for (int p : busy) EXPECT_LE(p, 75);
    // Elsewhere the noise floor, and now and then a master's hop (LOBBY at -52 dBm, 70 %).
    std::vector<int> quiet = readings(10, 2000);
    const auto hops = std::count_if(quiet.begin(), quiet.end(), [](int p) { return p >= 60; });
    EXPECT_GT(hops, 40);
    EXPECT_LT(hops, 200);
    const auto noise = std::count_if(quiet.begin(), quiet.end(), [](int p) { return p == 0; });
    EXPECT_GT(noise, 1550);  // three masters heard, each caught one reading in 20
}

TEST_F(SimWorldTest, BroadcastPingReachesTheCell) {
    uint8_t handle = 0;
    uint32_t sent = 0;
    EXPECT_EQ(Ping("ffffffffffff", 1500, false, &handle, &sent), 0);  // not synchronised
    EXPECT_EQ(Poll(handle), 1);
    clock.Advance(1000);
    EXPECT_EQ(Poll(handle), 2);
    EXPECT_TRUE(Drain().empty());

    std::map<std::string, int> replies;
    const int rounds = 400;
    for (int round = 0; round < rounds; ++round) {
        ASSERT_EQ(Ping("ffffffffffff", 1500, false, &handle, &sent), 0);
        EXPECT_EQ(sent, clock.now);
        int polls = 0;
        uint32_t completed = 0;
        while (Poll(handle, &completed) == 1) {
            clock.Advance(1);
            ASSERT_LT(++polls, 1000);
        }
        EXPECT_GE(completed - sent, 9u);   // 2 ms + 7.5 ms air time at least
        EXPECT_LE(completed - sent, 20u);  // N7: (8 + 7.5) x 1.2 at most
        for (const Received& r : Drain()) {
            ++replies[r.from];
            EXPECT_EQ(r.value, 1500u);
        }
    }
    // The master and its seven nodes at their reply rates; nobody else.
    const std::map<std::string, int> rates = {
        {"0020a6100001", 100}, {"0020a6200001", 100}, {"0020a6200002", 100}, {"0020a6200003", 98},
        {"0020a6200004", 95},  {"0020a6200005", 90},  {"0020a6200006", 80},  {"0020a6200007", 60}};
    EXPECT_EQ(replies.size(), rates.size());
    for (const auto& [address, rate] : rates) {
        const double expected = rounds * rate / 100.0;
        const double spread = 4 * std::sqrt(rounds * rate / 100.0 * (1 - rate / 100.0)) + 1;
        EXPECT_NEAR(replies[address], expected, spread) << address;
    }
}

TEST_F(SimWorldTest, UnicastPingsLatencyAndSignal) {
    clock.Advance(500);
    uint8_t handle = 0;
    uint32_t sent = 0, completed = 0;
    // N1: 2 ms + 64 bytes of air time, up to 20 % more.
    ASSERT_EQ(Ping("0020a6200001", 64, false, &handle, &sent), 0);
    EXPECT_EQ(Poll(handle), 1);
    clock.Advance(3);
    EXPECT_EQ(Poll(handle, &completed), 0);
    EXPECT_GE(completed - sent, 2u);
    EXPECT_LE(completed - sent, 3u);
    std::vector<Received> got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].from, "0020a6200001");
    EXPECT_NEAR(got[0].raw - 100, 100 - (44 - 40) * 2.5, 6);  // -44 dBm +- 2 dB
    EXPECT_EQ(got[0].value, 64u);
    EXPECT_LT(Poll(77), 0);  // no such ping

    // A node of another cell, and an unknown address: given up after a second.
    for (const char* address : {"0020a6300001", "0020a6999999"}) {
        ASSERT_EQ(Ping(address, 64, false, &handle), 0);
        clock.Advance(999);
        EXPECT_EQ(Poll(handle), 1);
        clock.Advance(1);
        EXPECT_EQ(Poll(handle), 2);
    }

    // The long form completes within the call; its reply is there at once.
    uint32_t longValue = 0;
    ASSERT_EQ(Ping("0020a6100001", 1500, true, nullptr, &sent, &longValue), 0);
    EXPECT_GE(longValue - sent, 10u);  // 3 ms + 7.5 ms
    EXPECT_LE(longValue - sent, 13u);
    ASSERT_EQ(Drain().size(), 1u);
    EXPECT_EQ(Ping("0020a6999999", 1500, true, nullptr, &sent, &longValue), 2);
    EXPECT_EQ(longValue - sent, 1000u);
    EXPECT_NE(Ping("0020a6100001", 1501), 0);  // payload too long
}

TEST_F(SimWorldTest, ActingMasterPingsItsOwnCell) {
    Scenario s = DefaultScenario();
    s.adapter.startup.stationType = kMaster;
    Station own = s.nodes[0];
    own.master = "self";
    own.address[5] = 0x99;
    s.nodes.push_back(own);
    Reset(s);
    uint8_t handle = 0;
    ASSERT_EQ(Ping("ffffffffffff", 100, false, &handle), 0);
    clock.Advance(20);
    EXPECT_EQ(Poll(handle), 0);
    std::vector<Received> got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].from, "0020a6200099");
}

TEST_F(SimWorldTest, TransmitBusyAndStuckPolls) {
    Scenario s = DefaultScenario();
    s.faults.transmitBusyPercent = 100;
    Reset(s);
    clock.Advance(500);
    EXPECT_EQ(Ping("0020a6100001", 100), -5);
    EXPECT_EQ(Ping("0020a6100001", 100, true), 1);

    s.faults.transmitBusyPercent = 25;
    s.faults.pollStuckPercent = 10;
    Reset(s);
    clock.Advance(500);
    int busy = 0, stuck = 0;
    const int n = 2000;
    for (int i = 0; i < n; ++i) {
        uint8_t handle = 0;
        const int r = Ping("0020a6100001", 100, false, &handle);
        if (r == -5) {
            ++busy;
            continue;
        }
        ASSERT_EQ(r, 0);
        clock.Advance(1000);
        const int p = Poll(handle);
        if (p == 1)
            ++stuck;
        else
            EXPECT_EQ(p, 0);
        Drain();
    }
    EXPECT_NEAR(busy, n * 0.25, 4 * std::sqrt(n * 0.25 * 0.75));
    const double sentCount = n - busy;
    EXPECT_NEAR(stuck, sentCount * 0.10, 4 * std::sqrt(sentCount * 0.1 * 0.9));
}

TEST_F(SimWorldTest, TransmitResultsAndPendingRequests) {
    Scenario s = DefaultScenario();
    s.faults.transmitResults = {{-6, 100}, {0x800, 100}};
    Reset(s);
    clock.Advance(500);
    EXPECT_EQ(Ping("0020a6100001", 100), -6);
    EXPECT_EQ(Ping("0020a6100001", 100, true), 0x800);
    EXPECT_TRUE(Drain().empty());  // nothing was sent
    s.faults.transmitResults = {{11, 100}};
    Reset(s);
    clock.Advance(500);
    EXPECT_EQ(Ping("0020a6100001", 100, true), 11);
    EXPECT_EQ(Ping("0020a6100001", 100), 0);  // a long-form result leaves the short form

    s.faults.transmitResults.clear();
    s.faults.ioPendingPercent = 100;
    Reset(s);
    Answer a = Call(CMD_GET_DRIVER_VERSION);
    EXPECT_FALSE(a.carried);
    EXPECT_EQ(a.error, kErrorIoPending);
    EXPECT_EQ(a.result, 0);  // the block was answered all the same
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(a.data.data())), "2.10");
}

TEST_F(SimWorldTest, SameSeedSameClockSameAnswers) {
    auto play = [](uint32_t seed) {
        Scenario s = DefaultScenario();
        s.seed = seed;
        s.faults.transmitBusyPercent = 20;
        test::FakeClock clock;
        SimDeviceHost host(s, clock);
        auto device = host.Open(kNtDevicePath, false);
        std::string log;
        for (int i = 0; i < 200; ++i) {
            clock.Advance(37);
            uint8_t block[kRequestBlockSize] = {};
            WriteU32(block, i % 2 ? CMD_GET_RSSI : CMD_TRANSMIT_PING);
            WriteU32(block + kReqLength, i % 2 ? 1 : 1518);
            std::memset(block + kReqData, 0xFF, 6);
            uint32_t error = 0;
            device->Control(block, &error);
            log += std::to_string(int32_t(ReadU32(block + kReqResult))) + "/" +
                   std::to_string(block[kReqData]) + " ";
            WriteU32(block, CMD_RECEIVE_PING);
            WriteU32(block + kReqLength, 0);
            while (device->Control(block, &error) && ReadU32(block + kReqResult) == 1)
                log += std::to_string(block[kReqData + 12]) + ",";
        }
        return log;
    };
    EXPECT_EQ(play(7), play(7));
    EXPECT_NE(play(7), play(8));
}

}  // namespace
}  // namespace odr::sim
