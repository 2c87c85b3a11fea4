// The session log: CSV fields and lines, the header and the time stamp, a write failure.
#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "shell/kit/SessionLog.h"

namespace odr::shell {
namespace {

TEST(SessionLogTest, FieldsAreQuotedOnlyWhenTheyMustBe) {
    EXPECT_EQ(CsvField("LOBBY"), "LOBBY");
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvField("cr\r"), "\"cr\r\"");
    EXPECT_EQ(CsvLine({"1", "x,y", ""}), "1,\"x,y\",\r\n");
}

TEST(SessionLogTest, HeaderThenStampedRowsUntilAWriteFails) {
    test::FakeOs os;
    os.appended["C:\\old.csv"] = "an earlier log\r\n";
    SessionLog log(os, {"channel", "peak"});
    EXPECT_FALSE(log.Append({"1", "2"}));   // not started
    ASSERT_TRUE(log.Start("C:\\old.csv"));  // the save dialog asked before replacing it
    os.timestamp = "2026-12-09T10:00:01";
    EXPECT_TRUE(log.Append({"2", "40"}));
    os.timestamp = "2026-12-09T10:00:02";
    EXPECT_TRUE(log.Append({"3", "\"loud\""}));
    EXPECT_EQ(os.appended["C:\\old.csv"],
              "time,channel,peak\r\n"
              "2026-12-09T10:00:01,2,40\r\n"
              "2026-12-09T10:00:02,3,\"\"\"loud\"\"\"\r\n");
    EXPECT_EQ(log.BytesWritten(), os.appended["C:\\old.csv"].size());

    // The disk fills: the row is lost, the log stops and writes nothing more.
    os.unwritable.insert("C:\\old.csv");
    EXPECT_FALSE(log.Append({"4", "1"}));
    EXPECT_FALSE(log.IsOn());
    os.unwritable.clear();
    EXPECT_FALSE(log.Append({"5", "1"}));
    EXPECT_EQ(os.appended["C:\\old.csv"].find("2026-12-09T10:00:02,5"), std::string::npos);

    // A folder that cannot be written: no log at all.
    os.unwritable.insert("C:\\read-only\\x.csv");
    EXPECT_FALSE(log.Start("C:\\read-only\\x.csv"));
    EXPECT_FALSE(log.IsOn());
    EXPECT_FALSE(log.Start(""));
}

}  // namespace
}  // namespace odr::shell
