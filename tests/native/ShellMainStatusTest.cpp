// Check-run texts and rules of the main window.
#include <gtest/gtest.h>

#include "shell/MainStatus.h"

namespace odr::shell {
namespace {

TEST(ShellMainStatusTest, DriverVersionRule) {
    const struct {
        const char* version;
        bool accepted;
    } cases[] = {
        {"1.0B4", true},  {"1.0B4x", true}, {"1.0", false},   {"V1.0", false}, {"V1.0x", false},
        {"1.0B3", false}, {"1.0B5", false}, {"V1.01", false}, {"1.05", false}, {"1.1", true},
        {"V1.1", true},   {"1.2", true},    {"2.10", true},   {"", true},      {"1.", true},
        {"V1.", true},    {"v1.0", true},  // the rule is case-sensitive
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsDriverVersionAccepted(c.version), c.accepted) << c.version;
    }
}

TEST(ShellMainStatusTest, InactivityUnits) {
    const struct {
        int seconds, minutes;
        uint16_t units;
    } cases[] = {
        {0, 0, 0},  {5, 0, 1},   {6, 0, 1},           {30, 0, 6},    {55, 60, 731},
        {0, 1, 12}, {-5, -1, 0}, {0, 100000, 0xFFFF}, {600, 0, 120},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InactivityUnits(c.seconds, c.minutes), c.units)
            << c.seconds << " s " << c.minutes << " min";
    }
}

}  // namespace
}  // namespace odr::shell
