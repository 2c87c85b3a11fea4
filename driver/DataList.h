// The item list carried in GetDriverData and SetDriverData requests.
#pragma once

#include <cstdint>

namespace odr {

// Room for the longest list of this system, its terminator and the driver's reply.
constexpr uint16_t kDataListCapacity = 256;

// Appends item `id` with its table length of bytes from `source` at `used`, writes the
// terminator after it and returns the new used length (without the terminator). An item
// that would not fit in `capacity` bytes (with its terminator) is not appended.
uint16_t AddToDataList(uint8_t* list, uint16_t* used, uint16_t id, const void* source,
                       uint16_t capacity = kDataListCapacity);

// Finds item `id` in a list of `length` bytes and copies its table length of bytes into
// `destination`. Returns 0, or -1 when the item is missing, outside the list, or its
// status is not 0.
int GetfromDataList(const uint8_t* list, uint32_t length, uint16_t id, void* destination);

}  // namespace odr
