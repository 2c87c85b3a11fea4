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

TEST(ShellMainStatusTest, Paragraphs) {
    EXPECT_EQ(DriverFailureParagraph("Unable to access Ondrel driver", true, "odr"),
              "\n\nUnable to access Ondrel driver.  Verify that the driver is installed and "
              "configured properly.  Also verify that the odrAPI protocol has been installed.");
    EXPECT_EQ(DriverFailureParagraph("Unable to access Ondrel driver", false, "odr"),
              "\n\nUnable to access Ondrel driver.  Verify that the driver is installed and "
              "configured properly.  ");
    EXPECT_EQ(DriverVersionParagraph("Ondrel driver version", "2.10"),
              "\n\nOndrel driver version 2.10 accessed successfully.");
    EXPECT_EQ(NodeParagraph("0020a6f00001", "V1.50a", 0xC1, '+'),
              "\n\nNode address:  0020a6f00001  ROM version:  V1.50a/1+");
    EXPECT_EQ(NodeParagraph("0020a6f00001", "V1.50a", 0, ' '),
              "\n\nNode address:  0020a6f00001  ROM version:  V1.50a/0 ");
    EXPECT_EQ(NodeParagraph("", "", 63, '\0'), "\n\nNode address:    ROM version:  /63");
    EXPECT_EQ(SynchronizedParagraph("0020a6100001", "LOBBY"),
              "\n\nSynchronized to 0020a6100001  LOBBY");
    EXPECT_EQ(VersionRefusalText("V1.0"),
              "Incorrect Driver Version V1.0\nThe Site Survey and Configuration Tool will only "
              "run with Version 1.2 or later.");
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
