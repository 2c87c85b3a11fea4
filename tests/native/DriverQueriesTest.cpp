// Adapter queries: the GetMasterNode list, item-by-item failures and bounded texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Queries.h"
#include "fakes/FakeChannel.h"

namespace odr {
namespace {

class DriverQueriesTest : public ::testing::Test, protected test::OpenFakeChannel {
  protected:
    DriverQueriesTest() {
        adapter.items[ITEM_SYNC_MASTER_ADDR] = {0x00, 0xa0, 0xf8, 0x12, 0x34, 0xab};
        adapter.items[ITEM_NODE_ADDR] = {0x00, 0x20, 0xa6, 0x01, 0x02, 0x03};
        adapter.items[ITEM_SYNC_MASTER_NAME] = {'A', 'B', 'C', 'D', 'E', 'F',
                                                'G', 'H', 'I', 'J', 'K', 'L'};
        adapter.items[ITEM_SYNC_CHANNEL] = {7};
        adapter.items[ITEM_SYNC_SUBCHANNEL] = {9};
        adapter.items[ITEM_SYNC_STATE] = {1};
    }
    int MasterNode() { return GetMasterNode(channel, master, name, &chan, &sub, node, &sync, 0); }

    char master[13] = "unchanged", name[12] = "old", node[13] = "unchanged";
    uint8_t chan = 0xCC, sub = 0xCC, sync = 0xCC;
};

TEST_F(DriverQueriesTest, MasterNodeListAndDecode) {
    ASSERT_EQ(0, MasterNode());
    const std::vector<uint8_t> list = adapter.DataOf(0);
    ASSERT_EQ(65u, list.size());
    size_t at = 0;
    for (uint16_t id : {20, 6, 21, 22, 23, 19}) {
        EXPECT_EQ(id, ReadU16(&list[at]));
        EXPECT_EQ(0xFFFF, ReadU16(&list[at + 2]));
        at += 6 + ItemLength(id);
    }
    EXPECT_EQ(63u, at);
    EXPECT_STREQ("00a0f81234ab", master);
    EXPECT_STREQ("0020a6010203", node);
    EXPECT_STREQ("ABCDEFGHIJK", name);  // twelve characters cut to eleven
    EXPECT_EQ(7, chan);
    EXPECT_EQ(9, sub);
    EXPECT_EQ(1, sync);
}

TEST_F(DriverQueriesTest, MasterNodeStopsAtTheFirstRefusedItem) {
    struct Case {
        uint16_t refused;
        const char* text;
        int decoded;  // outputs filled before the failure: name, channel, subchannel
    } cases[] = {
        {ITEM_SYNC_MASTER_ADDR, "GetfromDataList in GetMasterNode Master Addr", 0},
        {ITEM_NODE_ADDR, "GetfromDataList in GetMasterNode Node Addr", 0},
        {ITEM_SYNC_MASTER_NAME, "GetfromDataList in GetMasterNode Master Name", 0},
        {ITEM_SYNC_CHANNEL, "GetfromDataList in GetMasterNode Channel", 1},
        {ITEM_SYNC_SUBCHANNEL, "GetfromDataList in GetMasterNode SubChannel", 2},
        {ITEM_SYNC_STATE, "GetfromDataList in GetMasterNode Sync State", 3},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        adapter.refused = {k.refused};
        std::strcpy(name, "old");
        chan = sub = sync = 0xCC;
        traced.clear();
        EXPECT_EQ(kItemMissing, MasterNode());
        EXPECT_EQ(std::vector<std::string>{k.text}, traced);
        EXPECT_STREQ("unchanged", master);  // texts only when all six decoded
        EXPECT_STREQ("unchanged", node);
        EXPECT_EQ(k.decoded >= 1, name[0] == 'A');
        if (k.decoded >= 1) {
            EXPECT_EQ('\0', name[11]);  // terminated before the failure
        }
        EXPECT_EQ(k.decoded >= 2, chan == 7);
        EXPECT_EQ(k.decoded >= 3, sub == 9);
        EXPECT_EQ(0xCC, sync);
    }
    adapter.script.push_back(test::FakeAnswer::Result(-7));
    traced.clear();
    EXPECT_EQ(-7, MasterNode());
    EXPECT_EQ(std::vector<std::string>{"GetDriverData in GetMasterNode"}, traced);
}

TEST_F(DriverQueriesTest, CountryCodeAndFirstChannel) {
    adapter.script.push_back(test::FakeAnswer::Data({0x41, 5}));
    uint8_t country = 0, first = 0;
    ASSERT_EQ(0, GetCountryCode(channel, &country, 0, &first));
    EXPECT_EQ(0x41, country);
    EXPECT_EQ(5, first);
    adapter.script.push_back(test::FakeAnswer::Result(2));
    EXPECT_EQ(2, GetCountryCode(channel, &country, 0, &first));
    EXPECT_EQ(5, first);  // a failed call leaves the outputs
}

TEST_F(DriverQueriesTest, BoundedTexts) {
    char version[32];
    adapter.script.push_back(test::FakeAnswer::Data(std::vector<uint8_t>(40, 'v')));
    GetDriverVersion(channel, version, 0);
    EXPECT_EQ(31u, std::strlen(version));

    // A request that was not carried brings no reply: the text read before stays.
    std::strcpy(version, "V1.2");
    adapter.script.push_back(test::FakeAnswer::Error(31));
    EXPECT_EQ(kNotCarried, GetDriverVersion(channel, version, 0));
    EXPECT_STREQ("V1.2", version);

    // Exactly the seven bytes of the item: the caller's buffer terminates the text.
    char rom[32];
    std::memset(rom, 'x', sizeof rom);
    adapter.items[ITEM_VERSION] = {'V', '2', '.', '3', '1', 'a', 'b'};
    EXPECT_EQ(0, GetVersion(channel, rom, 0));
    EXPECT_EQ("V2.31abx", std::string(rom, 8));

    uint8_t address[6] = {1, 2, 3, 4, 5, 6};
    for (const char* bad : {"", "12345", "ff000ab07fxg", "0x0000000000"})
        EXPECT_FALSE(ParseNodeAddress(bad, address)) << bad;
    EXPECT_EQ(1, address[0]);
    ASSERT_TRUE(ParseNodeAddress("FF000ab07f80", address));
    char text[13];
    FormatNodeAddress(address, text);
    EXPECT_STREQ("ff000ab07f80", text);
}

}  // namespace
}  // namespace odr
