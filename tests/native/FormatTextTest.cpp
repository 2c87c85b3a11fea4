// Formatted text into fixed buffers: always terminated, cut to fit, and a cut reported.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/Format.h"

namespace odr::platform {
namespace {

TEST(FormatTextTest, FitsJustFitsAndIsCut) {
    char text[8];
    EXPECT_EQ(5, FormatText(text, sizeof text, "%d-%s", 12, "ab"));
    EXPECT_STREQ("12-ab", text);
    // Seven characters fill the buffer with its terminator.
    EXPECT_EQ(7, FormatText(text, sizeof text, "%07d", 42));
    EXPECT_STREQ("0000042", text);
    // Eight do not: what fits is kept, terminated.
    EXPECT_EQ(-1, FormatText(text, sizeof text, "%s", "abcdefgh"));
    EXPECT_STREQ("abcdefg", text);
    char one[1] = {'x'};
    EXPECT_EQ(-1, FormatText(one, sizeof one, "%d", 5));
    EXPECT_EQ('\0', one[0]);
    EXPECT_EQ(0, FormatText(one, sizeof one, "%s", ""));
    // No room at all: nothing is written.
    EXPECT_EQ(-1, FormatText(one, 0, "%d", 5));
}

// The forms the programs format, as every C library writes them.
TEST(FormatTextTest, TheFormsTheProgramsUse) {
    char text[64];
    FormatText(text, sizeof text, "%1.3f|%.1f|%g|%g|%x|%02x|%ld|%lu|%04u", 2.4, 0.26, 12.5, -0.25,
               0xabu, 7u, -3L, 4000000000UL, 7u);
    EXPECT_STREQ("2.400|0.3|12.5|-0.25|ab|07|-3|4000000000|0007", text);
}

}  // namespace
}  // namespace odr::platform
