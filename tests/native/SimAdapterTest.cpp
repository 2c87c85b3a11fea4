// The simulated adapter answering raw request blocks: item lists byte for byte, malformed
// requests, the card's start and stop, and the radio world on a virtual clock.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "driver/DataList.h"
#include "driver/DriverTypes.h"
#include "fakes/FakePlatform.h"
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

}  // namespace
}  // namespace odr::sim
