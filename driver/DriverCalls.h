// Building blocks of the adapter operations: a data list with its length, one-item
// GetDriverData and a traced SetDriverData.
#pragma once

#include <cstdint>

#include "driver/DataList.h"

namespace odr {

class Channel;

struct ItemList {
    uint8_t bytes[kDataListCapacity] = {};
    uint16_t used = 0;
    void Add(uint16_t id, const void* value) { AddToDataList(bytes, &used, id, value); }
    // A request's length: the items and the terminator.
    uint32_t Length() const { return used + 2u; }
};

// GetDriverData for one item into `destination`; traces `callText` when the call fails and
// `decodeText` when the item is missing or refused.
int GetDriverItem(Channel& channel, uint16_t id, void* destination, const char* callText,
                  const char* decodeText, int adapter);

// SetDriverData with `list`; traces `failText` when the call fails.
int SetDriverData(Channel& channel, ItemList& list, const char* failText, int adapter);

}  // namespace odr
