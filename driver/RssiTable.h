// Signal percentages, one per raw signal reading, built from the adapter's calibration.
#pragma once

#include <cstdint>

namespace odr {

struct RssiTable {
    uint8_t percent[256] = {};
    uint8_t operator[](uint8_t raw) const { return percent[raw]; }
};

}  // namespace odr
