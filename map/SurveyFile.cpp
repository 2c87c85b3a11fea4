// Writing and reading the survey file, line by line.
#include "map/SurveyFile.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "driver/Queries.h"
#include "map/Decimal.h"
#include "platform/SafeFile.h"

namespace odr::map {
namespace {

constexpr char kMagic[] = "Ondrel coverage survey";
constexpr char kHex[] = "0123456789ABCDEF";
constexpr size_t kMaxTokens = 32;

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) {
        const auto c = uint8_t(ch);
        if (c < 0x20 || c == 0x7f || c == '"' || c == '%') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

struct Token {
    std::string text;
    bool quoted = false;
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

// Splits a line into words and quoted texts; "" or why it cannot.
std::string Tokenize(std::string_view line, std::vector<Token>* tokens) {
    size_t i = 0;
    for (;;) {
        while (i < line.size() && IsSpace(line[i])) ++i;
        if (i == line.size()) return std::string();
        if (tokens->size() == kMaxTokens) return "the line has too many words";
        Token token;
        if (line[i] == '"') {
            const size_t end = line.find('"', i + 1);
            if (end == std::string_view::npos) return "a quotation is not closed";
            for (size_t k = i + 1; k < end; ++k) {
                if (line[k] != '%') {
                    token.text += line[k];
                    continue;
                }
                const int high = k + 2 < end ? HexDigit(line[k + 1]) : -1;
                const int low = k + 2 < end ? HexDigit(line[k + 2]) : -1;
                if (high < 0 || low < 0) return "a quotation holds a broken %-code";
                token.text += char(high * 16 + low);
                k += 2;
            }
            token.quoted = true;
            i = end + 1;
            if (i < line.size() && !IsSpace(line[i])) return "text follows a quotation";
        } else {
            const size_t start = i;
            while (i < line.size() && !IsSpace(line[i])) {
                if (line[i] == '"') return "a quotation starts inside a word";
                ++i;
            }
            token.text = std::string(line.substr(start, i - start));
        }
        tokens->push_back(std::move(token));
    }
}

// The words of a line after its fixed ones, read as "key value" pairs.
class Pairs {
  public:
    // "" or why the pairs cannot be read: an odd count, a key not in `keys`, a key twice.
    std::string Read(const std::vector<Token>& tokens, size_t from,
                     std::initializer_list<const char*> keys) {
        if ((tokens.size() - std::min(from, tokens.size())) % 2) return "a value is missing";
        for (size_t i = from; i + 1 < tokens.size(); i += 2) {
            const std::string& key = tokens[i].text;
            const bool known =
                !tokens[i].quoted &&
                std::any_of(keys.begin(), keys.end(), [&](const char* k) { return key == k; });
            if (!known) return "unknown word \"" + key.substr(0, 20) + "\"";
            if (Find(key)) return "\"" + key + "\" is given twice";
            pairs_.emplace_back(key, &tokens[i + 1]);
        }
        return std::string();
    }
    const Token* Find(const std::string& key) const {
        for (const auto& pair : pairs_) {
            if (pair.first == key) return pair.second;
        }
        return nullptr;
    }

  private:
    std::vector<std::pair<std::string, const Token*>> pairs_;
};

bool ReadNumber(const Token* t, int decimals, double low, double high, double* value) {
    return t && !t->quoted && ParseDecimal(t->text, decimals, value) && *value >= low &&
           *value <= high;
}

bool ReadInteger(const Token* t, int low, int high, int* value) {
    if (!t || t->quoted || t->text.empty() || t->text.size() > 6) return false;
    int v = 0;
    for (char c : t->text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    *value = v;
    return v >= low && v <= high;
}

// The reading of one file: the lines' effects, the point in progress and the report.
class Reader {
  public:
    explicit Reader(LoadReport* report) : report_(report) {}

    void Line(int number, std::string_view line) {
        if (line.size() > kMaxLineLength) return Skip(number, "the line is too long");
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#') return;
        ended_ = false;
        std::vector<Token> tokens;
        std::string why = Tokenize(line, &tokens);
        if (why.empty()) why = Apply(number, tokens);
        if (!why.empty()) Skip(number, why);
    }

    // Ends the reading: the last point, the floor. The results go to the outputs.
    void Finish(Survey* survey, MapSettings* settings) {
        Flush();
        report_->endMissing = !ended_;
        if (!haveFloor_) {
            report_->noFloor = true;
            Floor grid;
            grid.widthM = grid.heightM = 10;
            for (const SurveyPoint& p : survey_.Points()) {
                grid.widthM = std::max(grid.widthM, std::ceil(p.xM + 1));
                grid.heightM = std::max(grid.heightM, std::ceil(p.yM + 1));
            }
            grid.widthM = std::min(grid.widthM, kMaxMetres);
            grid.heightM = std::min(grid.heightM, kMaxMetres);
            survey_.SetFloor(grid);
        }
        *survey = std::move(survey_);
        *settings = settings_;
    }

  private:
    void Skip(int number, const std::string& why) {
        ++report_->skippedCount;
        if (report_->skipped.size() < LoadReport::kMaxReported) {
            report_->skipped.push_back({number, why});
        }
    }

    // Stores the point in progress.
    void Flush() {
        if (!pending_) return;
        pending_ = false;
        if (survey_.Size() >= kMaxPoints) {
            report_->full = true;
            return Skip(pointLine_, "the survey already holds the most points it can");
        }
        std::string error;
        if (!survey_.Add(std::move(point_), &error)) Skip(pointLine_, error);
    }

    std::string Apply(int number, const std::vector<Token>& t) {
        const std::string& keyword = t[0].text;
        if (t[0].quoted) return "the line does not start with a keyword";
        if (keyword == "station" || keyword == "active") {
            if (!pending_) {
                return orphan_ ? "it belongs to a point that could not be read"
                               : "it belongs to no point";
            }
            return keyword == "station" ? ReadStation(t) : ReadActive(t);
        }
        Flush();
        orphan_ = false;
        if (keyword == "point") {
            const std::string why = ReadPoint(t);
            if (!why.empty()) {
                orphan_ = true;
                return why;
            }
            pending_ = true;
            pointLine_ = number;
            return std::string();
        }
        if (keyword == "end") {
            if (t.size() != 1) return "words follow \"end\"";
            ended_ = true;
            return std::string();
        }
        if (keyword == "floor") return ReadFloor(t);
        if (keyword == "radius") return ReadRadius(t);
        if (keyword == "thresholds") return ReadThresholds(t);
        if (keyword == "show") return ReadShow(t);
        return "unknown keyword \"" + keyword.substr(0, 20) + "\"";
    }

    std::string ReadFloor(const std::vector<Token>& t) {
        if (haveFloor_) return "a second floor line";
        Floor floor;
        size_t from = 2;
        if (t.size() > 2 && t[1].text == "plan" && t[2].quoted && !t[2].text.empty()) {
            floor.planPath = t[2].text;
            from = 3;
        } else if (t.size() < 2 || t[1].text != "grid" || t[1].quoted) {
            return "the floor is neither a plan with its file nor a grid";
        }
        Pairs pairs;
        const std::string why = pairs.Read(t, from, {"width", "height"});
        if (!why.empty()) return why;
        if (!ReadNumber(pairs.Find("width"), kCoordinateDecimals, kMinFloorMetres, kMaxMetres,
                        &floor.widthM) ||
            !ReadNumber(pairs.Find("height"), kCoordinateDecimals, kMinFloorMetres, kMaxMetres,
                        &floor.heightM)) {
            return "the floor's width and height must be metres from 0.001 to 100000";
        }
        survey_.SetFloor(floor);
        haveFloor_ = true;
        return std::string();
    }

    std::string ReadRadius(const std::vector<Token>& t) {
        double radius;
        if (t.size() != 2 || !ReadNumber(&t[1], 2, 0.01, kMaxMetres, &radius)) {
            return "the radius must be metres from 0.01 to 100000";
        }
        settings_.radiusM = radius;
        return std::string();
    }

    std::string ReadThresholds(const std::vector<Token>& t) {
        Metric metric;
        Thresholds th;
        if (t.size() != 4 || !ParseMetric(t[1].text, &metric) || metric == Metric::kMaster ||
            !ReadNumber(&t[2], kFigureDecimals, 0, kMaxFigure, &th.good) ||
            !ReadNumber(&t[3], kFigureDecimals, 0, kMaxFigure, &th.fair) ||
            !ValidThresholds(metric, th)) {
            return "the thresholds are not a metric with its good and fair limits, good first";
        }
        settings_.thresholds[int(metric)] = th;
        return std::string();
    }

    std::string ReadShow(const std::vector<Token>& t) {
        Metric metric;
        if (t.size() < 2 || !ParseMetric(t[1].text, &metric)) return "no metric to show";
        Pairs pairs;
        const std::string why = pairs.Read(t, 2, {"station"});
        if (!why.empty()) return why;
        uint64_t station = kNoStation;
        if (const Token* s = pairs.Find("station")) {
            if (!PerStation(metric)) {
                return "only signal and link quality are shown for a station";
            }
            if (!ParseAddress(s->text, &station))
                return "the station's address is not 12 hex digits";
        }
        settings_.metric = metric;
        settings_.station = station;
        return std::string();
    }

    std::string ReadPoint(const std::vector<Token>& t) {
        if (t.size() < 2 || !IsTimestamp(t[1].text)) {
            return "the point's time is not of the form 2026-12-09T17:40:05";
        }
        Pairs pairs;
        const std::string why = pairs.Read(t, 2, {"x", "y", "synchronised"});
        if (!why.empty()) return why;
        SurveyPoint p;
        p.time = t[1].text;
        if (!ReadNumber(pairs.Find("x"), kCoordinateDecimals, 0, kMaxMetres, &p.xM) ||
            !ReadNumber(pairs.Find("y"), kCoordinateDecimals, 0, kMaxMetres, &p.yM)) {
            return "the point's x and y must be metres from 0 to 100000";
        }
        const Token* master = pairs.Find("synchronised");
        if (!master || (master->text != "-" && !ParseAddress(master->text, &p.master))) {
            return "the synchronised master is neither an address nor -";
        }
        point_ = std::move(p);
        return std::string();
    }

    std::string ReadStation(const std::vector<Token>& t) {
        Station s;
        if (t.size() < 3 || !ParseAddress(t[1].text, &s.address)) {
            return "the station's address is not 12 hex digits";
        }
        if (t[2].text == "master") {
            s.role = Role::kMaster;
        } else if (t[2].text != "node") {
            return "the station's role is neither master nor node";
        }
        Pairs pairs;
        const std::string why = pairs.Read(t, 3, {"signal", "quality", "name"});
        if (!why.empty()) return why;
        if (!ReadInteger(pairs.Find("signal"), 0, 100, &s.signal)) {
            return "the signal is not a percentage (0-100)";
        }
        if (!ReadInteger(pairs.Find("quality"), 0, 5, &s.linkQuality)) {
            return "the link quality is not 0-5";
        }
        if (const Token* name = pairs.Find("name")) {
            if (!name->quoted || s.role != Role::kMaster) return "only a master has a quoted name";
            if (name->text.size() > kMaxNameLength) return "the name is too long";
            s.name = name->text;
        }
        if (point_.stations.size() >= kMaxStationsPerPoint) return "too many stations at one point";
        if (point_.Find(s.address)) return "the station is listed twice at this point";
        point_.stations.push_back(std::move(s));
        return std::string();
    }

    std::string ReadActive(const std::vector<Token>& t) {
        if (point_.active) return "a second active line for one point";
        Pairs pairs;
        const std::string why = pairs.Read(t, 1, {"packets", "latency"});
        if (!why.empty()) return why;
        if (!ReadNumber(pairs.Find("packets"), kFigureDecimals, 0, kMaxFigure,
                        &point_.packetsPerSecond) ||
            !ReadNumber(pairs.Find("latency"), kFigureDecimals, 0, kMaxFigure, &point_.latencyMs)) {
            return "packets per second and latency must be numbers from 0 to 1000000";
        }
        point_.active = true;
        return std::string();
    }

    LoadReport* report_;
    Survey survey_;
    MapSettings settings_;
    bool haveFloor_ = false;
    bool pending_ = false;  // point_ is in progress
    bool orphan_ = false;   // the last point line could not be read
    bool ended_ = false;    // the last line read was "end"
    int pointLine_ = 0;
    SurveyPoint point_;
};

}  // namespace

std::string LoadReport::Summary() const {
    std::string text;
    if (!readFrom.empty()) text += "The survey was recovered from " + readFrom + ". ";
    if (skippedCount > 0) {
        text += std::to_string(skippedCount) + (skippedCount == 1
                                                    ? " line could not be read and was skipped:"
                                                    : " lines could not be read and were skipped:");
        const size_t listed = std::min<size_t>(skipped.size(), 10);
        for (size_t i = 0; i < listed; ++i) {
            text += (i ? "; line " : " line ") + std::to_string(skipped[i].line) + " (" +
                    skipped[i].why + ")";
        }
        if (size_t(skippedCount) > listed) text += "; and more";
        text += ". ";
    }
    if (full) text += "Only the first " + std::to_string(kMaxPoints) + " points were read. ";
    if (noFloor) text += "The floor could not be read: the points are shown on a grid. ";
    if (endMissing) text += "The file has no end line: it may be incomplete. ";
    if (!text.empty()) text.pop_back();
    return text;
}

std::string FormatSurvey(const Survey& survey, const MapSettings& settings) {
    const Floor& floor = survey.GetFloor();
    std::string out = std::string(kMagic) + " " + std::to_string(kSurveyFileVersion) + "\r\n";
    out += floor.planPath.empty() ? "floor grid" : "floor plan " + Quote(floor.planPath);
    out += " width " + FormatDecimal(floor.widthM, kCoordinateDecimals) + " height " +
           FormatDecimal(floor.heightM, kCoordinateDecimals) + "\r\n";
    out += "radius " + FormatDecimal(settings.radiusM, 2) + "\r\n";
    for (int i = 0; i < kMetricCount; ++i) {
        if (Metric(i) == Metric::kMaster) continue;
        out += std::string("thresholds ") + MetricKey(Metric(i)) + " " +
               FormatDecimal(settings.thresholds[i].good, kFigureDecimals) + " " +
               FormatDecimal(settings.thresholds[i].fair, kFigureDecimals) + "\r\n";
    }
    out += std::string("show ") + MetricKey(settings.metric);
    if (PerStation(settings.metric) && settings.station != kNoStation) {
        out += " station " + FormatAddress(settings.station);
    }
    out += "\r\n";
    for (const SurveyPoint& p : survey.Points()) {
        out += "point " + p.time + " x " + FormatDecimal(p.xM, kCoordinateDecimals) + " y " +
               FormatDecimal(p.yM, kCoordinateDecimals) + " synchronised " +
               (p.master == kNoStation ? std::string("-") : FormatAddress(p.master)) + "\r\n";
        for (const Station& s : p.stations) {
            out += "station " + FormatAddress(s.address) +
                   (s.role == Role::kMaster ? " master" : " node") + " signal " +
                   std::to_string(s.signal) + " quality " + std::to_string(s.linkQuality);
            if (s.role == Role::kMaster && !s.name.empty()) out += " name " + Quote(s.name);
            out += "\r\n";
        }
        if (p.active) {
            out += "active packets " + FormatDecimal(p.packetsPerSecond, kFigureDecimals) +
                   " latency " + FormatDecimal(p.latencyMs, kFigureDecimals) + "\r\n";
        }
    }
    return out + "end\r\n";
}

bool ParseSurvey(std::string_view text, Survey* survey, MapSettings* settings, LoadReport* report,
                 std::string* error) {
    *report = LoadReport();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    size_t end = text.find('\n');
    std::string_view first = text.substr(0, std::min(end, kMaxLineLength + 1));
    if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
    const std::string_view magic = kMagic;
    if (first.substr(0, magic.size()) != magic || first.size() < magic.size() + 2 ||
        first[magic.size()] != ' ') {
        *error = "The file is not a coverage survey.";
        return false;
    }
    std::string_view version = first.substr(magic.size() + 1);
    while (!version.empty() && IsSpace(version.back())) version.remove_suffix(1);
    if (version != std::to_string(kSurveyFileVersion)) {
        *error = "The survey file is of another version (" + std::string(version.substr(0, 12)) +
                 ") than this program reads (" + std::to_string(kSurveyFileVersion) +
                 "): it may have been written by a newer one.";
        return false;
    }
    Reader reader(report);
    int number = 1;
    while (end != std::string_view::npos) {
        const size_t start = end + 1;
        end = text.find('\n', start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        reader.Line(++number, line);
    }
    reader.Finish(survey, settings);
    return true;
}

bool ReadSurveyFile(platform::Os& os, const std::string& path, Survey* survey,
                    MapSettings* settings, LoadReport* report, std::string* error) {
    std::string text, from;
    if (!platform::ReadSavedFile(os, path, kMaxSurveyFileBytes, &text, &from, error)) return false;
    if (!ParseSurvey(text, survey, settings, report, error)) {
        *error = from + ": " + *error;
        return false;
    }
    if (from != path) report->readFrom = from;
    return true;
}

bool WriteSurveyFile(platform::Os& os, const std::string& path, const Survey& survey,
                     const MapSettings& settings, std::string* error) {
    return platform::SaveFileSafely(os, path, FormatSurvey(survey, settings), error);
}

}  // namespace odr::map
