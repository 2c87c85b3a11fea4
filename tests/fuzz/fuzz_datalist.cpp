// The driver's item list: any list searched for every item, and items appended to a list
// that fills up.
#include <cstring>
#include <vector>

#include "driver/DataList.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using odr::fuzz::Require;
    odr::fuzz::FuzzInput in(data, size);
    const uint16_t id = uint16_t(in.Byte() | in.Byte() << 8);
    const std::string rest = in.Rest();
    // The list exactly as long as the bytes, so that a read past it is caught.
    std::vector<uint8_t> list(rest.begin(), rest.end());
    uint8_t destination[2048 + 16];
    std::memset(destination, 0xA5, sizeof destination);
    const int result = odr::GetfromDataList(list.data(), uint32_t(list.size()), id, destination);
    Require(result == 0 || result == -1, "the item lookup answers 0 or -1");
    Require(destination[2048] == 0xA5, "no item is longer than its table length");

    uint8_t built[odr::kDataListCapacity + 16];
    std::memset(built, 0x5A, sizeof built);
    uint16_t used = 0;
    for (size_t i = 0; i + 1 < list.size() && i < 64; i += 2) {
        const uint16_t item = uint16_t(list[i] | list[i + 1] << 8);
        odr::AddToDataList(built, &used, item, destination);
        Require(used < odr::kDataListCapacity, "the list stays within its capacity");
    }
    Require(built[odr::kDataListCapacity] == 0x5A, "nothing is written past the list");
    return 0;
}
