// Adapter queries: the GetMasterNode list, item-by-item failures and the text outputs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver/Channel.h"
#include "driver/DataList.h"
#include "driver/DriverTypes.h"
#include "driver/Queries.h"
#include "fakes/FakeDevice.h"
#include "fakes/FakePlatform.h"

namespace odr {
namespace {

using test::FakeAnswer;

class DriverQueriesTest : public ::testing::Test {
  protected:
    DriverQueriesTest() {
        host.existing.insert("\\\\.\\ODRWINNT1");
        channel.OpenDriver();
        adapter.items[ITEM_SYNC_MASTER_ADDR] = {0x00, 0xa0, 0xf8, 0x12, 0x34, 0xab};
        adapter.items[ITEM_NODE_ADDR] = {0x00, 0x20, 0xa6, 0x01, 0x02, 0x03};
        adapter.items[ITEM_SYNC_MASTER_NAME] = Bytes("ABCDEFGHIJKL");
        adapter.items[ITEM_SYNC_CHANNEL] = {7};
        adapter.items[ITEM_SYNC_SUBCHANNEL] = {9};
        adapter.items[ITEM_SYNC_STATE] = {1};
    }
    static std::vector<uint8_t> Bytes(const char* text) {
        return std::vector<uint8_t>(text, text + std::strlen(text));
    }
    int MasterNode() { return GetMasterNode(channel, master, name, &chan, &sub, node, &sync, 0); }

    test::FakeAdapter adapter;
    test::FakeDeviceHost host{adapter};
    test::FakeOs os;
    test::FakeClock clock;
    std::vector<std::string> traced;
    Trace trace{[this](const std::string& text) { traced.push_back(text); }};
    Channel channel{host, os, clock, trace};

    char master[13] = "unchanged";
    char name[12] = "old";
    char node[13] = "unchanged";
    uint8_t chan = 0xCC, sub = 0xCC, sync = 0xCC;
};

TEST_F(DriverQueriesTest, MasterNodeRequestList) {
    ASSERT_EQ(0, MasterNode());
    ASSERT_EQ(1u, adapter.Calls());
    EXPECT_EQ(CMD_GET_DRIVER_DATA, adapter.CommandOf(0));
    const std::vector<uint8_t> list = adapter.DataOf(0);
    ASSERT_EQ(65u, list.size());
    const uint16_t ids[] = {20, 6, 21, 22, 23, 19};
    size_t at = 0;
    for (uint16_t id : ids) {
        EXPECT_EQ(id, ReadU16(&list[at]));
        EXPECT_EQ(0xFFFF, ReadU16(&list[at + 2]));
        EXPECT_EQ(ItemLength(id), ReadU16(&list[at + 4]));
        at += 6 + ItemLength(id);
    }
    EXPECT_EQ(63u, at);
    EXPECT_EQ(0, ReadU16(&list[63]));
}

TEST_F(DriverQueriesTest, MasterNodeDecodesAndCutsTheName) {
    ASSERT_EQ(0, MasterNode());
    EXPECT_STREQ("00a0f81234ab", master);
    EXPECT_STREQ("0020a6010203", node);
    EXPECT_STREQ("ABCDEFGHIJK", name);
    EXPECT_EQ(7, chan);
    EXPECT_EQ(9, sub);
    EXPECT_EQ(1, sync);
    EXPECT_TRUE(traced.empty());
}

TEST_F(DriverQueriesTest, UnsynchronisedAdapterShowsZeroMaster) {
    adapter.items[ITEM_SYNC_MASTER_ADDR] = {0, 0, 0, 0, 0, 0};
    adapter.items[ITEM_SYNC_STATE] = {0};
    ASSERT_EQ(0, MasterNode());
    EXPECT_STREQ("000000000000", master);
    EXPECT_EQ(0, sync);
}

TEST_F(DriverQueriesTest, MasterNodeStopsAtTheFirstRefusedItem) {
    struct Case {
        uint16_t refused;
        const char* text;
        bool nameSet, chanSet, subSet;
    } cases[] = {
        {ITEM_SYNC_MASTER_ADDR, "GetfromDataList in GetMasterNode Master Addr", false, false,
         false},
        {ITEM_NODE_ADDR, "GetfromDataList in GetMasterNode Node Addr", false, false, false},
        {ITEM_SYNC_MASTER_NAME, "GetfromDataList in GetMasterNode Master Name", false, false,
         false},
        {ITEM_SYNC_CHANNEL, "GetfromDataList in GetMasterNode Channel", true, false, false},
        {ITEM_SYNC_SUBCHANNEL, "GetfromDataList in GetMasterNode SubChannel", true, true, false},
        {ITEM_SYNC_STATE, "GetfromDataList in GetMasterNode Sync State", true, true, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        adapter.refused = {k.refused};
        std::strcpy(master, "unchanged");
        std::strcpy(node, "unchanged");
        std::strcpy(name, "old");
        chan = sub = sync = 0xCC;
        traced.clear();
        EXPECT_EQ(kItemMissing, MasterNode());
        EXPECT_EQ(std::vector<std::string>{k.text}, traced);
        EXPECT_STREQ("unchanged", master);
        EXPECT_STREQ("unchanged", node);
        EXPECT_EQ(k.nameSet, std::memcmp(name, "ABCDEFGHIJKL", 12) == 0);
        EXPECT_EQ(k.chanSet ? 7 : 0xCC, chan);
        EXPECT_EQ(k.subSet ? 9 : 0xCC, sub);
        EXPECT_EQ(0xCC, sync);
    }
}

TEST_F(DriverQueriesTest, CallFailuresPassThroughWithTheirTexts) {
    uint8_t byte = 0;
    char version[32] = {};
    struct Case {
        const char* text;
        std::function<int()> call;
    } cases[] = {
        {"GetDriverData in GetMasterNode", [&] { return MasterNode(); }},
        {"GetDriverData in GetSyncState", [&] { return GetSyncState(channel, &byte, 0); }},
        {"GetDriverData in GetRoamingFlag", [&] { return GetRoamingFlag(channel, &byte, 0); }},
        {"GetDriverData in GetVersion", [&] { return GetVersion(channel, version, 0); }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        traced.clear();
        adapter.script.push_back(FakeAnswer::Error(31));
        EXPECT_EQ(kNotCarried, k.call());
        ASSERT_EQ(2u, traced.size());
        EXPECT_EQ(k.text, traced[1]);
        adapter.script.push_back(FakeAnswer::Result(-7));
        EXPECT_EQ(-7, k.call());
    }
}

TEST_F(DriverQueriesTest, SingleItemQueries) {
    adapter.items[ITEM_ROAMING] = {1};
    adapter.items[ITEM_VERSION] = Bytes("V2.31ab");
    uint8_t state = 0, roaming = 0;
    EXPECT_EQ(0, GetSyncState(channel, &state, 0));
    EXPECT_EQ(1, state);
    EXPECT_EQ(0, GetRoamingFlag(channel, &roaming, 0));
    EXPECT_EQ(1, roaming);
    char rom[32];
    std::memset(rom, 0, sizeof rom);
    rom[8] = 'x';
    EXPECT_EQ(0, GetVersion(channel, rom, 0));
    EXPECT_STREQ("V2.31ab", rom);
    EXPECT_EQ('x', rom[8]);

    const struct {
        uint16_t id;
        const char* text;
        std::function<int()> call;
    } refusals[] = {
        {ITEM_SYNC_STATE, "GetfromDataList in GetSyncState",
         [&] { return GetSyncState(channel, &state, 0); }},
        {ITEM_ROAMING, "GetfromDataList in GetRoamingFlag",
         [&] { return GetRoamingFlag(channel, &roaming, 0); }},
        {ITEM_VERSION, "GetfromDataList in GetVersion GetVersion",
         [&] { return GetVersion(channel, rom, 0); }},
    };
    for (const auto& k : refusals) {
        adapter.refused = {k.id};
        traced.clear();
        EXPECT_EQ(kItemMissing, k.call());
        EXPECT_EQ(std::vector<std::string>{k.text}, traced);
    }
}

TEST_F(DriverQueriesTest, DriverVersionIsAlwaysTerminated) {
    char version[32];
    adapter.script.push_back(FakeAnswer::Data(std::vector<uint8_t>(40, 'v')));
    GetDriverVersion(channel, version, 0);
    EXPECT_EQ(31u, std::strlen(version));
    EXPECT_EQ(CMD_GET_DRIVER_VERSION, adapter.CommandOf(0));
    EXPECT_EQ(0u, adapter.DataOf(0).size());

    adapter.script.push_back(FakeAnswer::Data(Bytes("1.2.7")));
    GetDriverVersion(channel, version, 0);
    EXPECT_STREQ("1.2.7", version);

    adapter.script.push_back(FakeAnswer::Error(31));
    GetDriverVersion(channel, version, 0);
    EXPECT_STREQ("1.2.7", version);
}

TEST_F(DriverQueriesTest, CountryCode) {
    uint8_t code = 0;
    adapter.script.push_back(FakeAnswer::Data({0x45}));
    EXPECT_EQ(0, GetCountryCode(channel, &code, 0));
    EXPECT_EQ(0x45, code);
    adapter.script.push_back(FakeAnswer::Data({0x11}, 3));
    EXPECT_EQ(3, GetCountryCode(channel, &code, 0));
    EXPECT_EQ(0x45, code);
}

TEST(DriverNodeAddressTest, FormatAndParse) {
    const uint8_t bytes[6] = {0xff, 0x00, 0x0a, 0xb0, 0x7f, 0x80};
    char text[13];
    FormatNodeAddress(bytes, text);
    EXPECT_STREQ("ff000ab07f80", text);
    uint8_t back[6] = {};
    ASSERT_TRUE(ParseNodeAddress(text, back));
    EXPECT_EQ(0, std::memcmp(bytes, back, 6));
    ASSERT_TRUE(ParseNodeAddress("FFFFFFFFFFFF", back));
    EXPECT_EQ(0xff, back[5]);

    for (const char* bad : {"", "12345", "ff000ab07f8", "ff000ab07fxg", "0x0000000000"}) {
        uint8_t untouched[6] = {1, 2, 3, 4, 5, 6};
        EXPECT_FALSE(ParseNodeAddress(bad, untouched)) << bad;
        EXPECT_EQ(1, untouched[0]);
    }
}

}  // namespace
}  // namespace odr
