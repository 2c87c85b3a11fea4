// The survey file: a round trip of everything it holds, broken lines skipped and reported,
// other formats refused, its limits, and the safe save failing at each of its steps.
#include <gtest/gtest.h>

#include <string>

#include "fakes/FakePlatform.h"
#include "map/SurveyFile.h"
#include "platform/SafeFile.h"

namespace odr::map {
namespace {

using namespace platform;

const char kHead[] =
    "Ondrel coverage survey 1\r\n"
    "floor grid width 40 height 25\r\n";
const char kPoint[] =
    "point 2026-12-09T17:40:05 x 12.5 y 3.25 synchronised 0020a6401234\r\n"
    "station 0020a6401234 master signal 87 quality 5 name \"LOBBY\"\r\n";

Survey Sample() {
    Survey s;
    s.SetFloor(Floor{"C:\\Plans\\100% \"Floor\" 2.bmp", 42.5, 31.875});
    std::string error;
    SurveyPoint p;
    p.time = "2026-12-09T17:40:05";
    p.xM = 12.5;
    p.yM = 3.25;
    p.master = 0x0020a6401234;
    p.stations = {{0x0020a6401234, Role::kMaster, "LOBBY \"east\"\t1", 87, 5},
                  {0x0020a6405678, Role::kNode, "", 45, 3}};
    s.Add(p, &error);
    p.time = "2026-12-09T17:41:00";
    p.xM = 0.001;
    p.master = kNoStation;
    p.stations.clear();
    p.active = true;
    p.packetsPerSecond = 52.5;
    p.latencyMs = 4.25;
    s.Add(p, &error);
    return s;
}

TEST(MapSurveyFileTest, EverythingWrittenReadsBackTheSame) {
    MapSettings settings;
    settings.radiusM = 6.5;
    settings.metric = Metric::kLinkQuality;
    settings.station = 0x0020a6405678;
    settings.thresholds[int(Metric::kLatency)] = {10, 80.25};
    const std::string text = FormatSurvey(Sample(), settings);
    EXPECT_EQ(
        text.rfind("Ondrel coverage survey 1\r\nfloor plan \"C:\\Plans\\100%25 %22Floor%22 2.bmp\" "
                   "width 42.5 height 31.875\r\nradius 6.5\r\n",
                   0),
        0u)
        << text;
    EXPECT_NE(text.find("show link_quality station 0020a6405678\r\n"), std::string::npos);
    EXPECT_NE(text.find("name \"LOBBY %22east%22%091\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("synchronised -\r\nactive packets 52.5 latency 4.25\r\nend\r\n"),
              std::string::npos);

    Survey read;
    MapSettings readSettings;
    LoadReport report;
    std::string error;
    ASSERT_TRUE(ParseSurvey(text, &read, &readSettings, &report, &error)) << error;
    EXPECT_EQ(report.Summary(), "");
    EXPECT_EQ(FormatSurvey(read, readSettings), text);
    EXPECT_EQ(read.Points()[0].stations[0].name, "LOBBY \"east\"\t1");
    EXPECT_EQ(read.Points()[1].xM, 0.001);
    EXPECT_EQ(readSettings.thresholds[int(Metric::kLatency)].fair, 80.25);
}

TEST(MapSurveyFileTest, BrokenLinesAreSkippedAndReportedByNumber) {
    const struct {
        const char* line;
        const char* why;
    } broken[] = {
        {"station 0020a6405678 node signal 101 quality 3", "percentage"},
        {"station 0020a6405678 node signal 45", "link quality"},
        {"station 0020a6401234 node signal 45 quality 3", "listed twice"},
        {"station 0020a64056 node signal 45 quality 3", "12 hex digits"},
        {"station 0020a6405678 node signal 45 quality 3 name \"X\"", "only a master"},
        {"station 0020a6405678 node signal 45 quality 3 colour 4", "unknown word"},
        {"station 0020a6405678 node signal 45 quality 3 quality 3", "twice"},
        {"station 0020a6405678 node signal 4\x01 quality 3", "percentage"},
        {"station 0020a6405678 master signal 45 quality 3 name \"LOB", "not closed"},
        {"station 0020a6405678 master signal 45 quality 3 name \"%4\"", "%-code"},
        {"active packets 1e3 latency 4", "packets per second"},
        {"radius 0", "radius"},
        {"thresholds signal 40 70", "good first"},
        {"thresholds master 1 1", "good first"},
        {"show colour", "no metric"},
        {"show latency station 0020a6405678", "only signal and link quality"},
        {"floor grid width 10 height 10", "a second floor"},
        {"hello", "unknown keyword"},
        {"\"point\"", "keyword"},
    };
    for (const auto& b : broken) {
        const std::string text = std::string(kHead) + kPoint + b.line + "\r\nend\r\n";
        Survey survey;
        MapSettings settings;
        LoadReport report;
        std::string error;
        ASSERT_TRUE(ParseSurvey(text, &survey, &settings, &report, &error)) << b.line;
        EXPECT_EQ(survey.Size(), 1u) << b.line;
        ASSERT_EQ(report.skippedCount, 1) << b.line;
        EXPECT_EQ(report.skipped[0].line, 5) << b.line;
        EXPECT_NE(report.skipped[0].why.find(b.why), std::string::npos)
            << b.line << ": " << report.skipped[0].why;
    }

    // A broken point line takes its station lines with it; the points around it stay.
    const std::string text = std::string(kHead) + kPoint +
                             "point 2026-12-09T17:42:00 x -1 y 2 synchronised -\n"
                             "station 0020a6401234 master signal 50 quality 2\n"
                             "active packets 3 latency 4\n" +
                             kPoint + "end\n";
    Survey survey;
    MapSettings settings;
    LoadReport report;
    std::string error;
    ASSERT_TRUE(ParseSurvey(text, &survey, &settings, &report, &error));
    EXPECT_EQ(survey.Size(), 2u);
    EXPECT_EQ(report.skippedCount, 3);
    EXPECT_EQ(report.skipped[1].line, 6);
    EXPECT_NE(report.skipped[1].why.find("point that could not be read"), std::string::npos);
    EXPECT_NE(report.Summary().find("3 lines could not be read and were skipped: line 5 ("),
              std::string::npos)
        << report.Summary();
}

TEST(MapSurveyFileTest, OtherFormatsAndVersionsAreRefusedWhole) {
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {"", "not a coverage survey"},
        {"time,x_m,y_m\r\n", "not a coverage survey"},
        {"Ondrel coverage survey\r\n", "not a coverage survey"},
        {"Ondrel coverage survey 2\r\nfloor grid width 1 height 1\r\n", "another version (2)"},
        {"Ondrel coverage survey 1.5\r\n", "another version"},
    };
    for (const auto& c : cases) {
        Survey survey;
        survey.SetFloor(Floor{"", 5, 5});
        MapSettings settings;
        LoadReport report;
        std::string error;
        EXPECT_FALSE(ParseSurvey(c.text, &survey, &settings, &report, &error)) << c.text;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_EQ(survey.GetFloor().widthM, 5) << "a refused file changes nothing";
    }
}

TEST(MapSurveyFileTest, CutFilesLongLinesAndTooManyPointsAreReadAsFarAsTheyGo) {
    Survey survey;
    MapSettings settings;
    LoadReport report;
    std::string error;
    // No floor and no end line: a grid around the points, and a warning.
    ASSERT_TRUE(ParseSurvey(std::string("Ondrel coverage survey 1\n") + kPoint + "station 0020a64",
                            &survey, &settings, &report, &error));
    EXPECT_EQ(survey.Size(), 1u);
    EXPECT_TRUE(report.noFloor);
    EXPECT_TRUE(report.endMissing);
    EXPECT_EQ(survey.GetFloor().widthM, 14);
    EXPECT_NE(report.Summary().find("may be incomplete"), std::string::npos);

    const std::string longLine =
        "station 0020a6405678 node signal 45 quality 3 " + std::string(5000, ' ');
    ASSERT_TRUE(ParseSurvey(std::string(kHead) + kPoint + longLine + "\nend\n", &survey, &settings,
                            &report, &error));
    EXPECT_EQ(report.skipped.at(0).why, "the line is too long");

    std::string many = kHead;
    for (size_t i = 0; i <= kMaxPoints; ++i)
        many += "point 2026-12-09T17:40:05 x 1 y 1 synchronised -\n";
    ASSERT_TRUE(ParseSurvey(many + "end\n", &survey, &settings, &report, &error));
    EXPECT_EQ(survey.Size(), kMaxPoints);
    EXPECT_TRUE(report.full);
    EXPECT_EQ(report.skippedCount, 1);
}

// The old survey, then a save that fails at one step: the old one stays whole.
TEST(MapSurveyFileTest, ASaveFailingAtAnyStepLeavesTheOldFileWhole) {
    const std::string path = "C:\\site.survey";
    const struct {
        const char* step;
        void (*fail)(test::FakeOs*);
        const char* message;
    } cases[] = {
        {"disk full", [](test::FakeOs* os) { os->shortWrites.insert("C:\\site.survey.new"); },
         "disk full"},
        {"write refused", [](test::FakeOs* os) { os->unwritable.insert("C:\\site.survey.new"); },
         "disk full"},
        {"stale backup kept",
         [](test::FakeOs* os) {
             os->fileContents["C:\\site.survey.bak"] = "stale";
             os->undeletable.insert("C:\\site.survey.bak");
         },
         "old backup"},
        {"old file not renamed", [](test::FakeOs* os) { os->unmovable.insert("C:\\site.survey"); },
         "Could not rename C:\\site.survey to"},
        {"new file not renamed",
         [](test::FakeOs* os) { os->unmovable.insert("C:\\site.survey.new"); },
         "Could not rename C:\\site.survey.new"},
    };
    MapSettings settings;
    Survey old;
    old.SetFloor(Floor{"", 10, 10});
    const std::string oldText = FormatSurvey(old, settings);
    for (const auto& c : cases) {
        test::FakeOs os;
        os.fileContents[path] = oldText;
        c.fail(&os);
        std::string error;
        EXPECT_FALSE(WriteSurveyFile(os, path, Sample(), settings, &error)) << c.step;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.step << ": " << error;
        EXPECT_NE(error.find("C:\\site.survey is unchanged"), std::string::npos) << error;
        EXPECT_FALSE(os.FileExists(path + ".new")) << c.step;
        Survey read;
        LoadReport report;
        ASSERT_TRUE(ReadSurveyFile(os, path, &read, &settings, &report, &error)) << c.step;
        EXPECT_EQ(FormatSurvey(read, settings), oldText) << c.step;
    }

    test::FakeOs os;
    os.fileContents[path] = oldText;
    std::string error;
    ASSERT_TRUE(WriteSurveyFile(os, path, Sample(), settings, &error)) << error;
    EXPECT_EQ(os.appended[path], FormatSurvey(Sample(), settings));
    EXPECT_FALSE(os.FileExists(path + ".bak"));
    EXPECT_FALSE(os.FileExists(path + ".new"));
}

TEST(MapSurveyFileTest, AReaderRecoversWhatAnInterruptedSaveLeft) {
    const std::string path = "C:\\site.survey";
    std::string bytes, from, error;
    test::FakeOs os;
    // Stopped between the renames: NAME.new is complete and preferred to NAME.bak.
    os.fileContents[path + ".bak"] = "old";
    os.fileContents[path + ".new"] = "new";
    ASSERT_TRUE(ReadSavedFile(os, path, 100, &bytes, &from, &error));
    EXPECT_EQ(bytes, "new");
    EXPECT_EQ(from, path + ".new");
    // The next save finishes that one first, so that its own failure cannot lose it.
    os.shortWrites.insert(path + ".new");
    EXPECT_FALSE(SaveFileSafely(os, path, "newest", &error));
    EXPECT_EQ(os.fileContents[path], "new");
    // Only a backup left.
    test::FakeOs backup;
    backup.fileContents[path + ".bak"] = "old";
    ASSERT_TRUE(ReadSavedFile(backup, path, 100, &bytes, &from, &error));
    EXPECT_EQ(bytes, "old");
    // Too large, and missing.
    EXPECT_FALSE(ReadFileCapped(backup, path + ".bak", 2, &bytes, &error));
    EXPECT_NE(error.find("too large"), std::string::npos);
    EXPECT_FALSE(ReadSavedFile(backup, "C:\\none", 100, &bytes, &from, &error));
    EXPECT_EQ(error, "C:\\none: the file cannot be opened.");
}

}  // namespace
}  // namespace odr::map
