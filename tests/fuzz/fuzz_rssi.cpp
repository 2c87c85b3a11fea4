// The signal calibration table from any calibration points.
#include "driver/Measure.h"
#include "driver/RssiTable.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using odr::fuzz::Require;
    odr::fuzz::FuzzInput in(data, size);
    const int count = in.Byte() % (odr::kMaxCalibrationPoints + 1);
    uint8_t points[2 * odr::kMaxCalibrationPoints] = {};
    in.Bytes(points, sizeof points);
    odr::RssiTable table;
    odr::BuildRssiTable(points, count, &table);
    Require(table.percent[0] == 0, "the table starts at 0");
    for (size_t r = 1; r < sizeof table.percent; ++r) {
        Require(table.percent[r] >= table.percent[r - 1], "the table never decreases");
        Require(table.percent[r] <= 100, "percentages stay within 0..100");
    }
    return 0;
}
