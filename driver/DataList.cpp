// DataList encoding: items of u16 id, u16 status, u16 length and value, ended by a u16 0.
#include "driver/DataList.h"

#include <cstring>

#include "driver/DriverTypes.h"

namespace odr {

uint16_t AddToDataList(uint8_t* list, uint16_t* used, uint16_t id, const void* source,
                       uint16_t capacity) {
    const uint16_t length = ItemLength(id);
    const uint32_t at = *used;
    if (at + 6u + length + 2u > capacity) return *used;
    WriteU16(list + at, id);
    WriteU16(list + at + 2, 0xFFFF);
    WriteU16(list + at + 4, length);
    if (length != 0) {
        if (source)
            std::memcpy(list + at + 6, source, length);
        else
            std::memset(list + at + 6, 0, length);
    }
    *used = uint16_t(at + 6 + length);
    WriteU16(list + *used, 0);
    return *used;
}

int GetfromDataList(const uint8_t* list, uint32_t length, uint16_t id, void* destination) {
    uint32_t offset = 0;
    // Each header is read only when its two id bytes lie inside the list.
    while (offset + 2 <= length) {
        const uint16_t current = ReadU16(list + offset);
        if (current == id) {
            const uint16_t itemLength = ItemLength(id);
            if (offset + 6u + itemLength > length) return kItemMissing;
            if (ReadU16(list + offset + 2) != 0) return kItemMissing;
            if (itemLength != 0) std::memcpy(destination, list + offset + 6, itemLength);
            return kOk;
        }
        if (current == ITEM_END) return kItemMissing;
        offset += 6u + ItemLength(current);
    }
    return kItemMissing;
}

}  // namespace odr
