// The survey file reader over any text: it never breaks, and what it accepts writes back to
// a text that reads to the same survey with nothing skipped.
#include <string>

#include "map/SurveyFile.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using odr::fuzz::Require;
    using namespace odr::map;
    const std::string text(reinterpret_cast<const char*>(data), size);
    Survey survey;
    MapSettings settings;
    LoadReport report;
    std::string error;
    if (!ParseSurvey(text, &survey, &settings, &report, &error)) {
        Require(!error.empty(), "a refused survey says why");
        return 0;
    }
    Require(report.skipped.size() <= LoadReport::kMaxReported, "the report is bounded");
    Require(report.skippedCount >= int(report.skipped.size()), "every skip counted");
    Require(survey.Size() <= kMaxPoints, "at most kMaxPoints");
    for (const SurveyPoint& p : survey.Points())
        Require(CheckPoint(p).empty(), "stored points check");
    const std::string written = FormatSurvey(survey, settings);
    Survey again;
    MapSettings againSettings;
    LoadReport againReport;
    Require(ParseSurvey(written, &again, &againSettings, &againReport, &error), "written reads");
    Require(againReport.skippedCount == 0 && !againReport.endMissing && !againReport.noFloor,
            "written reads cleanly");
    Require(FormatSurvey(again, againSettings) == written, "round trip");
    (void)report.Summary();
    return 0;
}
