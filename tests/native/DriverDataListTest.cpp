// Reading data lists as a driver may return them: length fields that lie, items cut by the
// list's end, refused items, lists without a terminator.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "driver/DataList.h"
#include "driver/DriverTypes.h"

namespace odr {
namespace {

// One item as the driver wrote it: id, status, the length field it claims, the value.
void Put(std::vector<uint8_t>* list, uint16_t id, uint16_t status, uint16_t lengthField,
         std::vector<uint8_t> value) {
    uint8_t header[6];
    WriteU16(header, id);
    WriteU16(header + 2, status);
    WriteU16(header + 4, lengthField);
    list->insert(list->end(), header, header + 6);
    list->insert(list->end(), value.begin(), value.end());
}

TEST(DriverDataListTest, ItemsAreSkippedAndCopiedByTheirTableLength) {
    // Item 13 is four bytes long whatever its length field says; so is item 19 one byte.
    for (uint16_t claimed : {0, 1, 2, 9, 40}) {
        SCOPED_TRACE(claimed);
        std::vector<uint8_t> list;
        Put(&list, 13, 0, claimed, {19, 0, 0, 0});  // a value that looks like a header
        Put(&list, ITEM_SYNC_STATE, 0, claimed, {7, 0x55, 0x55});
        Put(&list, ITEM_END, 0, 0, {});
        uint8_t state[3] = {0xCC, 0xCC, 0xCC};
        ASSERT_EQ(kOk, GetfromDataList(list.data(), uint32_t(list.size()), ITEM_SYNC_STATE, state));
        EXPECT_EQ(7, state[0]);
        EXPECT_EQ(0xCC, state[1]);
    }
}

TEST(DriverDataListTest, NothingIsReadBeyondTheListLength) {
    // A buffer that goes on past the list with what looks like the wanted item: the
    // list's length, not the buffer, bounds the search.
    std::vector<uint8_t> buffer;
    Put(&buffer, ITEM_SYNC_STATE, 0, 1, {1});
    const uint32_t unterminated = uint32_t(buffer.size());
    Put(&buffer, ITEM_DOMAIN, 0, 1, {9});
    uint8_t value = 0xCC;
    EXPECT_EQ(kItemMissing, GetfromDataList(buffer.data(), unterminated, ITEM_DOMAIN, &value));
    EXPECT_EQ(0xCC, value);
    std::vector<uint8_t> exact(buffer.begin(), buffer.begin() + unterminated);
    EXPECT_EQ(kItemMissing, GetfromDataList(exact.data(), unterminated, ITEM_DOMAIN, &value));

    // The wanted item's header inside the list, its value (or part of it) outside.
    std::vector<uint8_t> cut;
    Put(&cut, ITEM_SYNC_STATE, 0, 1, {1});
    Put(&cut, ITEM_SYNC_MASTER_ADDR, 0, 6, {1, 2, 3, 4, 5, 6});
    uint8_t address[6] = {};
    for (uint32_t length : {7u, 8u, 9u, 13u, 18u}) {
        SCOPED_TRACE(length);
        EXPECT_EQ(kItemMissing,
                  GetfromDataList(cut.data(), length, ITEM_SYNC_MASTER_ADDR, address));
        EXPECT_EQ(0, address[0]);
    }
    ASSERT_EQ(kOk, GetfromDataList(cut.data(), 19, ITEM_SYNC_MASTER_ADDR, address));
    EXPECT_EQ(6, address[5]);

    // An odd length that ends inside an id: not read as an id.
    std::vector<uint8_t> odd(buffer.begin(), buffer.begin() + unterminated + 1);
    EXPECT_EQ(kItemMissing, GetfromDataList(odd.data(), uint32_t(odd.size()), ITEM_DOMAIN, &value));
}

TEST(DriverDataListTest, ARefusedItemFailsAloneAndTheTerminatorEndsTheSearch) {
    std::vector<uint8_t> list;
    Put(&list, ITEM_SYNC_MASTER_NAME, 0xFFFF, 12, std::vector<uint8_t>(12, 'N'));
    Put(&list, ITEM_SYNC_CHANNEL, 0, 1, {4});
    Put(&list, ITEM_END, 0, 0, {});
    Put(&list, ITEM_DOMAIN, 0, 1, {9});  // after the terminator
    const uint32_t length = uint32_t(list.size());
    uint8_t name[12] = {};
    uint8_t value = 0;
    EXPECT_EQ(kItemMissing, GetfromDataList(list.data(), length, ITEM_SYNC_MASTER_NAME, name));
    EXPECT_EQ(0, name[0]);
    EXPECT_EQ(kOk, GetfromDataList(list.data(), length, ITEM_SYNC_CHANNEL, &value));
    EXPECT_EQ(4, value);
    EXPECT_EQ(kItemMissing, GetfromDataList(list.data(), length, ITEM_DOMAIN, &value));
    EXPECT_EQ(4, value);
}

}  // namespace
}  // namespace odr
