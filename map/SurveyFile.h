// The survey file: plain text, one keyword line a fact, lines ended by CR LF, numbers with
// '.' whatever the locale:
//
//   Ondrel coverage survey 1
//   floor plan "C:\Plans\Floor 2.bmp" width 42.5 height 31.875
//   radius 8
//   thresholds signal 70 40
//   thresholds link_quality 70 40
//   thresholds latency 20 50
//   thresholds throughput 50 20
//   show signal station 0020a6401234
//   point 2026-12-09T17:40:05 x 12.5 y 3.25 synchronised 0020a6401234
//   station 0020a6401234 master signal 87 quality 5 name "LOBBY"
//   station 0020a6405678 node signal 45 quality 3
//   active packets 52.5 latency 4.25
//   end
//
// A grid floor is "floor grid width 40 height 25"; "synchronised -" is a point without a
// master; "show" names the metric and, optionally, its station. A point's station and
// active lines follow its point line. Quoted text holds no '"', '%' or control character:
// those are written %HH. Blank lines and lines starting with '#' are ignored.
//
// The reader takes a file whose first line names another format or version as a whole
// refusal; otherwise it keeps every line it can read and reports the others by number (a
// station or active line whose point line was broken goes with it). A file without its end
// line is read and reported as possibly incomplete.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "map/Legend.h"
#include "map/Survey.h"

namespace odr::platform {
class Os;
}

namespace odr::map {

constexpr uint64_t kMaxSurveyFileBytes = 64u << 20;
constexpr size_t kMaxLineLength = 4096;
constexpr int kSurveyFileVersion = 1;

struct SkippedLine {
    int line = 0;  // from 1
    std::string why;
};

struct LoadReport {
    std::string readFrom;  // the file read (after an interrupted save, not the one asked)
    int skippedCount = 0;  // lines not read
    std::vector<SkippedLine> skipped;  // the first kMaxReported of them
    bool endMissing = false;           // no end line: the file may be cut short
    bool full = false;                 // points past kMaxPoints were left out
    bool noFloor = false;              // no readable floor line: a grid around the points is used
    static constexpr size_t kMaxReported = 50;

    // What the user should be told, "" when the file read cleanly.
    std::string Summary() const;
};

std::string FormatSurvey(const Survey& survey, const MapSettings& settings);

// Reads a survey. False (the outputs untouched) with `*error` set when the text is not a
// survey of this version; true otherwise, `*report` saying what was skipped.
bool ParseSurvey(std::string_view text, Survey* survey, MapSettings* settings, LoadReport* report,
                 std::string* error);

// The same from a file, recovering after an interrupted save (SafeFile.h).
bool ReadSurveyFile(platform::Os& os, const std::string& path, Survey* survey,
                    MapSettings* settings, LoadReport* report, std::string* error);
// Saves by SaveFileSafely: a failure leaves the previous file complete.
bool WriteSurveyFile(platform::Os& os, const std::string& path, const Survey& survey,
                     const MapSettings& settings, std::string* error);

}  // namespace odr::map
