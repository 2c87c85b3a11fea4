// The firmware rule that the master list and the site survey both go by.
#include <gtest/gtest.h>

#include "driver/Firmware.h"

namespace odr {
namespace {

TEST(DriverFirmwareTest, WhichVersionsSynchroniseToAChosenMaster) {
    // A minor below 10 counts tenfold, one digit or two: "V1.5" and "V1.05" are 50.
    for (const char* v :
         {"V1.49", "V1.5", "V1.05", "V1.50a", "V2.00", "V3.1", "V10.1", "V1.47a", "V1.47a1"}) {
        EXPECT_TRUE(SupportsDirectedSync(v)) << v;
    }
    // "V1.47b" is not the one named; "V1.4" is 40, "V1.10" is 10; hostile texts fail quietly.
    for (const char* v : {"V1.48", "V1.47", "V1.47b", "V1.4", "V1.10", "V1.04", "", "V", "V1",
                          "V1.", "V0.3x", "garbage"}) {
        EXPECT_FALSE(SupportsDirectedSync(v)) << v;
    }
    EXPECT_FALSE(SupportsDirectedSync(nullptr));
    // Seven characters at most: an unterminated field is not read past its end.
    const char unterminated[7] = {'V', '1', '.', '4', '8', 'a', 'b'};
    EXPECT_FALSE(SupportsDirectedSync(unterminated));
    const char digits[7] = {'V', '1', '.', '4', '8', '9', '9'};  // minor 4899, not more
    EXPECT_TRUE(SupportsDirectedSync(digits));
}

}  // namespace
}  // namespace odr
