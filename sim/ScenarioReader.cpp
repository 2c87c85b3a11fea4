// The INI scenario reader, with its "FILE:LINE: problem" messages.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

#include "platform/Format.h"
#include "sim/Scenario.h"

namespace odr::sim {

namespace {

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> Words(const std::string& s) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
        if (i > start) words.push_back(s.substr(start, i - start));
    }
    return words;
}

bool ToLong(const std::string& text, long long lo, long long hi, long long* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    *out = v;
    return true;
}

// Hexadecimal digits only, at most `hi`.
bool ToHex(const std::string& text, long long hi, long long* out) {
    if (text.empty() || text.size() > 8) return false;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 16);
    if (*end != '\0' || !std::isxdigit(static_cast<unsigned char>(text[0])) || v > hi) return false;
    *out = v;
    return true;
}

// Plain decimal numbers only: an optional sign, digits and one '.', no hex, exponents,
// infinities or NaN. Read without the C library's strtod (some 15 KB in each program); a
// number of up to 15 digits comes out exactly as strtod gives it (one rounded division).
bool ToDouble(const std::string& text, double lo, double hi, double* out) {
    size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    double digits = 0, scale = 1;
    bool point = false, any = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            digits = digits * 10 + (c - '0');
            if (point) scale *= 10;
            any = true;
        } else {
            return false;
        }
    }
    // Too many digits make inf/inf, which no range holds.
    const double v = (text[0] == '-' ? -digits : digits) / scale;
    if (!any || !(v >= lo && v <= hi)) return false;
    *out = v;
    return true;
}

// "X,Y" in metres; the range is checked against the floor later.
bool ParsePoint(const std::string& text, Point* point) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    Point p;
    if (!ToDouble(Trim(text.substr(0, comma)), -1e9, 1e9, &p.x) ||
        !ToDouble(Trim(text.substr(comma + 1)), -1e9, 1e9, &p.y))
        return false;
    *point = p;
    return true;
}

// A length or level for messages: "12.5", "40", "-0.25".
std::string Decimal(double v) {
    char text[32];
    platform::FormatText(text, sizeof text, "%g", v);
    return text;
}

bool ParseCourse(const std::string& text, Course* course) {
    Course c;
    std::vector<std::string> words = Words(text);
    if (words.size() == 1 && words[0].find(':') == std::string::npos) {
        double level;
        if (!ToDouble(words[0], -200, 50, &level)) return false;
        c.points = {{0, level}};
    } else {
        if (words.empty()) return false;
        for (const std::string& w : words) {
            size_t colon = w.find(':');
            double t, level;
            if (colon == std::string::npos || !ToDouble(w.substr(0, colon), 0, 1e7, &t) ||
                !ToDouble(w.substr(colon + 1), -200, 50, &level))
                return false;
            if (!c.points.empty() && t <= c.points.back().first) return false;
            c.points.emplace_back(t, level);
        }
    }
    *course = c;
    return true;
}

// "0-40 55-": spans in seconds, in order; "" is no span at all.
bool ParseSpans(const std::string& text, Spans* spans) {
    Spans s;
    for (const std::string& w : Words(text)) {
        size_t dash = w.find('-');
        if (dash == std::string::npos || dash == 0) return false;
        double from, to = -1;
        if (!ToDouble(w.substr(0, dash), 0, 1e7, &from)) return false;
        std::string rest = w.substr(dash + 1);
        if (!rest.empty() && (!ToDouble(rest, 0, 1e7, &to) || to < from)) return false;
        if (!s.spans.empty()) {
            double prevEnd = s.spans.back().second;
            if (prevEnd < 0 || from < prevEnd) return false;
        }
        s.spans.emplace_back(from, to);
    }
    *spans = s;
    return true;
}

struct Section {
    std::string kind;  // site, adapter, master, node, wall, interference, faults
    std::string id;
    int line = 0;
    std::vector<std::pair<std::string, std::pair<std::string, int>>> values;  // key, value, line
};

class Reader {
  public:
    Reader(const std::string& fileName, std::string* error) : file_(fileName), error_(error) {}

    bool Fail(int line, const std::string& problem) {
        if (error_) *error_ = file_ + ":" + std::to_string(line) + ": " + problem;
        return false;
    }

    bool Read(const std::string& text, Scenario* out) {
        std::vector<Section> sections;
        std::set<std::string> seen;
        int lineNo = 0;
        size_t pos = 0;
        while (pos <= text.size()) {
            size_t nl = text.find('\n', pos);
            if (nl == std::string::npos) nl = text.size();
            std::string line = text.substr(pos, nl - pos);
            pos = nl + 1;
            ++lineNo;
            size_t semi = line.find(';');
            if (semi != std::string::npos) line.erase(semi);
            line = Trim(line);
            if (line.empty()) continue;
            if (line.front() == '[') {
                if (line.back() != ']') return Fail(lineNo, "malformed section header");
                std::string name = Trim(line.substr(1, line.size() - 2));
                Section section;
                section.line = lineNo;
                size_t dot = name.find('.');
                section.kind = name.substr(0, dot);
                if (dot != std::string::npos) section.id = name.substr(dot + 1);
                bool withId =
                    section.kind == "master" || section.kind == "node" || section.kind == "wall";
                bool plain = section.kind == "site" || section.kind == "adapter" ||
                             section.kind == "interference" || section.kind == "faults";
                if (!(withId && dot != std::string::npos) && !(plain && dot == std::string::npos))
                    return Fail(lineNo, "unknown section [" + name + "]");
                if (withId &&
                    (section.id.empty() || section.id.find_first_of(" \t") != std::string::npos))
                    return Fail(lineNo, "bad section id in [" + name + "]");
                if (section.kind == "master" && section.id == "self")
                    return Fail(lineNo, "the master id \"self\" is reserved");
                if (!seen.insert(name).second)
                    return Fail(lineNo, "duplicate section [" + name + "]");
                sections.push_back(section);
                continue;
            }
            size_t eq = line.find('=');
            if (eq == std::string::npos) return Fail(lineNo, "expected \"key = value\"");
            if (sections.empty()) return Fail(lineNo, "key outside a section");
            std::string key = Trim(line.substr(0, eq));
            std::string value = Trim(line.substr(eq + 1));
            if (key.empty()) return Fail(lineNo, "missing key");
            Section& section = sections.back();
            for (const auto& existing : section.values) {
                if (existing.first == key) return Fail(lineNo, "duplicate key '" + key + "'");
            }
            section.values.emplace_back(key, std::make_pair(value, lineNo));
        }

        Scenario s;
        s.adapter = AdapterConfig();
        s.masters.clear();
        s.nodes.clear();
        s.interference.clear();
        for (const Section& section : sections) {
            bool ok = true;
            if (section.kind == "site")
                ok = ReadSite(section, &s);
            else if (section.kind == "adapter")
                ok = ReadAdapter(section, &s.adapter);
            else if (section.kind == "master" || section.kind == "node")
                ok = ReadStation(section, &s);
            else if (section.kind == "wall")
                ok = ReadWall(section, &s);
            else if (section.kind == "interference")
                ok = ReadInterference(section, &s);
            else
                ok = ReadFaults(section, &s.faults);
            if (!ok) return false;
        }
        if (!CrossCheck(&s)) return false;
        for (const auto& [node, index] : defaultSecurity_)
            (node ? s.nodes : s.masters)[index].securityId = s.adapter.securityId;
        *out = std::move(s);
        return true;
    }

    // Every position and wall end on the floor: within its width across and its height
    // down (FloorConfig::DepthM).
    bool CheckPlaces(const Scenario& s) {
        const FloorConfig& f = s.floor;
        const double height = f.DepthM();
        const std::string bounds =
            "0 to " + Decimal(f.widthM) + " m across, 0 to " + Decimal(height) + " m down";
        auto on = [&](const char* what, Point p, int line) {
            if (p.x >= 0 && p.x <= f.widthM && p.y >= 0 && p.y <= height) return true;
            return Fail(line, std::string(what) + " " + Decimal(p.x) + "," + Decimal(p.y) +
                                  " is off the floor (" + bounds + ")");
        };
        if (s.adapter.placed && !on("position", s.adapter.position, s.adapter.positionLine))
            return false;
        for (const auto* stations : {&s.masters, &s.nodes}) {
            for (const Station& st : *stations) {
                if (st.placed && !on("position", st.position, st.positionLine)) return false;
            }
        }
        for (const SiteWall& w : s.walls) {
            if (!on("from", w.wall.from, w.fromLine) || !on("to", w.wall.to, w.toLine))
                return false;
        }
        return true;
    }

  private:
    using Value = std::pair<std::string, int>;

    bool Unknown(const Section& section, const std::string& key, int line) {
        std::string name = section.kind + (section.id.empty() ? "" : "." + section.id);
        return Fail(line, "unknown key '" + key + "' in [" + name + "]");
    }

    bool Number(const Value& v, const std::string& key, long long lo, long long hi,
                long long* out) {
        if (ToLong(v.first, lo, hi, out)) return true;
        return Fail(v.second, "bad number for " + key + " \"" + v.first + "\" (" +
                                  std::to_string(lo) + " to " + std::to_string(hi) + ")");
    }

    bool DecimalValue(const Value& v, const std::string& key, double lo, double hi,
                      const std::string& unit, double* out) {
        if (ToDouble(v.first, lo, hi, out)) return true;
        return Fail(v.second, "bad " + key + " \"" + v.first + "\" (" + unit + Decimal(lo) +
                                  " to " + Decimal(hi) + ")");
    }

    bool PointValue(const Value& v, const std::string& key, Point* out) {
        if (ParsePoint(v.first, out)) return true;
        return Fail(v.second, "bad " + key + " \"" + v.first + "\" (X,Y in metres)");
    }

    bool Text(const Value& v, const std::string& key, size_t maxLength, bool allowEmpty,
              std::string* out) {
        if (v.first.size() > maxLength)
            return Fail(v.second,
                        key + " too long (at most " + std::to_string(maxLength) + " characters)");
        if (!allowEmpty && v.first.empty()) return Fail(v.second, key + " is empty");
        *out = v.first;
        return true;
    }

    bool AddressValue(const Value& v, Address* out) {
        if (ParseAddress(v.first, out)) {
            addressLines_.emplace_back(*out, v.second);
            return true;
        }
        return Fail(v.second, "bad address \"" + v.first + "\" (twelve hex digits)");
    }

    bool ReadSite(const Section& section, Scenario* s) {
        FloorConfig& f = s->floor;
        int widthLine = 0, heightLine = 0;
        for (const auto& [key, v] : section.values) {
            long long n;
            bool ok = true;
            if (key == "seed") {
                ok = Number(v, key, 0, 4294967295LL, &n);
                s->seed = uint32_t(n);
            } else if (key == "plan") {
                ok = Text(v, key, 259, false, &f.plan);
                f.planLine = v.second;
            } else if (key == "width_m") {
                ok = DecimalValue(v, key, kMinFloorM, kMaxFloorM, "metres, ", &f.widthM);
                widthLine = v.second;
            } else if (key == "height_m") {
                ok = DecimalValue(v, key, kMinFloorM, kMaxFloorM, "metres, ", &f.heightM);
                heightLine = v.second;
            } else if (key == "path_loss_exponent") {
                ok = DecimalValue(v, key, 1, 6, "", &f.pathLossExponent);
            } else {
                return Unknown(section, key, v.second);
            }
            if (!ok) return false;
        }
        if (!f.plan.empty()) {
            if (heightLine)
                return Fail(heightLine,
                            "height_m is not given with a plan (its aspect gives the height)");
            if (!widthLine) return Fail(f.planLine, "a plan needs width_m (its width in metres)");
        } else if ((widthLine != 0) != (heightLine != 0)) {
            return Fail(widthLine ? widthLine : heightLine,
                        "a floor without a plan needs both width_m and height_m");
        }
        return true;
    }

    bool ReadAdapter(const Section& section, AdapterConfig* a) {
        for (const auto& [key, v] : section.values) {
            long long n = 0;
            bool ok = true;
            if (key == "node") {
                ok = AddressValue(v, &a->node);
                nodeGiven_ = true;
            } else if (key == "rom_version") {
                ok = Text(v, key, 7, true, &a->romVersion);
            } else if (key == "driver_version") {
                ok = Text(v, key, 31, true, &a->driverVersion);
            } else if (key == "country") {
                ok = Number(v, key, 0, 255, &n);
                a->country = uint8_t(n);
            } else if (key == "first_channel") {
                ok = Number(v, key, 0, 255, &n);
                a->firstChannel = uint8_t(n);
            } else if (key == "calibration") {
                ok = Calibration(v, a);
            } else if (key == "security_id") {
                ok = Text(v, key, 20, true, &a->securityId);
            } else if (key == "station_type") {
                ok = Number(v, key, 0, 2, &n);
                a->startup.stationType = uint8_t(n);
            } else if (key == "domain") {
                ok = Number(v, key, 0, 15, &n);
                a->startup.domain = uint8_t(n);
            } else if (key == "channel") {
                ok = Number(v, key, 1, 15, &n);
                a->startup.channel = uint8_t(n);
            } else if (key == "subchannel") {
                ok = Number(v, key, 1, 15, &n);
                a->startup.subchannel = uint8_t(n);
            } else if (key == "master_name") {
                ok = Text(v, key, 11, true, &a->startup.masterName);
            } else if (key == "roaming") {
                ok = Number(v, key, 0, 1, &n);
                a->startup.roaming = uint8_t(n);
            } else if (key == "acquire_ms") {
                ok = Number(v, key, 0, 600000, &n);
                a->acquireMs = uint32_t(n);
            } else if (key == "position") {
                ok = PointValue(v, key, &a->position);
                a->placed = true;
                a->positionLine = v.second;
            } else {
                return Unknown(section, key, v.second);
            }
            if (!ok) return false;
        }
        return true;
    }

    bool Calibration(const Value& v, AdapterConfig* a) {
        if (v.first == "none") {
            a->calibrationKind = CalibrationKind::None;
            a->calibration.clear();
            return true;
        }
        if (v.first == "invalid") {
            a->calibrationKind = CalibrationKind::Invalid;
            a->calibration.clear();
            return true;
        }
        std::vector<std::pair<uint8_t, uint8_t>> points;
        for (const std::string& w : Words(v.first)) {
            size_t colon = w.find(':');
            long long level, raw;
            if (colon == std::string::npos || !ToLong(w.substr(0, colon), 0, 255, &level) ||
                !ToLong(w.substr(colon + 1), 0, 255, &raw))
                return Fail(v.second, "bad calibration point \"" + w + "\" (level:raw, 0 to 255)");
            points.emplace_back(uint8_t(level), uint8_t(raw));
        }
        if (points.empty() || points.size() > 10)
            return Fail(v.second, "calibration needs 1 to 10 points, \"none\" or \"invalid\"");
        for (size_t i = 1; i < points.size(); ++i) {
            if (points[i].first <= points[i - 1].first || points[i].second >= points[i - 1].second)
                return Fail(v.second,
                            "calibration points must go from the strongest level to the weakest, "
                            "with falling raw readings");
        }
        a->calibrationKind = CalibrationKind::Points;
        a->calibration = points;
        return true;
    }

    bool ReadStation(const Section& section, Scenario* s) {
        const bool node = section.kind == "node";
        Station st;
        st.id = section.id;
        st.line = section.line;
        st.name = section.id.substr(0, 11);
        st.signal.points = {{0, -60}};
        st.onAir.spans = {{0, -1}};
        bool hasAddress = false;
        bool ownSecurityId = false;
        int signalLine = 0, levelLine = 0;
        for (const auto& [key, v] : section.values) {
            long long n = 0;
            bool ok = true;
            if (key == "name") {
                ok = Text(v, key, 11, false, &st.name);
            } else if (key == "address") {
                ok = AddressValue(v, &st.address);
                hasAddress = true;
            } else if (key == "domain") {
                ok = Number(v, key, 0, 15, &n);
                st.domain = uint8_t(n);
            } else if (key == "channel") {
                ok = Number(v, key, 1, 15, &n);
                st.channel = uint8_t(n);
            } else if (key == "subchannel") {
                ok = Number(v, key, 1, 15, &n);
                st.subchannel = uint8_t(n);
            } else if (key == "security_id") {
                ok = Text(v, key, 20, true, &st.securityId);
                ownSecurityId = true;
            } else if (key == "signal") {
                if (!ParseCourse(v.first, &st.signal))
                    return Fail(v.second, "bad signal \"" + v.first +
                                              "\" (dBm, or seconds:dBm points in time order)");
                signalLine = v.second;
            } else if (key == "position") {
                ok = PointValue(v, key, &st.position);
                st.placed = true;
                st.positionLine = v.second;
            } else if (key == "level_1m") {
                ok = DecimalValue(v, key, -120, 30, "dBm at one metre, ", &st.level1m);
                levelLine = v.second;
            } else if (key == "on_air") {
                if (!ParseSpans(v.first, &st.onAir))
                    return Fail(v.second, "bad on_air \"" + v.first +
                                              "\" (spans such as \"0-40 55-\", in order)");
            } else if (key == "cycle") {
                if (!ToDouble(v.first, 0, 1e7, &st.cycle))
                    return Fail(v.second, "bad cycle \"" + v.first + "\" (seconds, 0 for none)");
            } else if (key == "latency_ms") {
                ok = Number(v, key, 0, 60000, &n);
                st.latencyMs = uint32_t(n);
            } else if (key == "reply") {
                ok = Number(v, key, 0, 100, &n);
                st.replyPercent = uint32_t(n);
            } else if (key == "master" && node) {
                st.master = v.first;
                masterLines_[section.id] = v.second;
                if (st.master.empty()) return Fail(v.second, "master is empty");
            } else {
                return Unknown(section, key, v.second);
            }
            if (!ok) return false;
        }
        const std::string name = "[" + section.kind + "." + section.id + "]";
        if (!hasAddress) return Fail(section.line, name + " has no address");
        if (st.placed && !levelLine)
            return Fail(st.positionLine, name + " has a position but no level_1m");
        if (levelLine && !st.placed)
            return Fail(levelLine, name + " has a level_1m but no position");
        if (st.placed && signalLine)
            return Fail(std::max(signalLine, st.positionLine),
                        "signal and position exclude each other (a placed station's level "
                        "comes from where it stands)");
        if (node && st.master.empty())
            return Fail(section.line, "[node." + section.id + "] has no master");
        if (!ownSecurityId)
            defaultSecurity_.emplace_back(node, (node ? s->nodes : s->masters).size());
        (node ? s->nodes : s->masters).push_back(st);
        return true;
    }

    bool ReadWall(const Section& section, Scenario* s) {
        SiteWall w;
        w.id = section.id;
        w.line = section.line;
        bool hasLoss = false;
        for (const auto& [key, v] : section.values) {
            bool ok = true;
            if (key == "from") {
                ok = PointValue(v, key, &w.wall.from);
                w.fromLine = v.second;
            } else if (key == "to") {
                ok = PointValue(v, key, &w.wall.to);
                w.toLine = v.second;
            } else if (key == "loss_db") {
                ok = DecimalValue(v, key, 0, 100, "dB, ", &w.wall.lossDb);
                hasLoss = true;
            } else {
                return Unknown(section, key, v.second);
            }
            if (!ok) return false;
        }
        const std::string name = "[wall." + section.id + "]";
        if (!w.fromLine || !w.toLine) return Fail(section.line, name + " needs from and to");
        if (!hasLoss) return Fail(section.line, name + " has no loss_db");
        if (w.wall.from.x == w.wall.to.x && w.wall.from.y == w.wall.to.y)
            return Fail(w.toLine, name + " has no length (from and to are the same point)");
        if (s->walls.size() >= kMaxWalls)
            return Fail(section.line, "more than " + std::to_string(kMaxWalls) + " walls");
        s->walls.push_back(w);
        return true;
    }

    bool ReadInterference(const Section& section, Scenario* s) {
        std::vector<std::pair<int, Interference>> ordered;
        for (const auto& [key, v] : section.values) {
            Interference in;
            long long a, b;
            size_t dash = key.find('-');
            bool ok = dash == std::string::npos
                          ? ToLong(key, 0, 255, &a) && (b = a, true)
                          : ToLong(key.substr(0, dash), 0, 255, &a) &&
                                ToLong(key.substr(dash + 1), 0, 255, &b) && b >= a;
            if (!ok) return Fail(v.second, "bad channel or range \"" + key + "\" (0 to 255)");
            std::vector<std::string> words = Words(v.first);
            long long level, duty;
            if (words.size() != 2 || !ToLong(words[0], -200, 50, &level) ||
                !ToLong(words[1], 0, 100, &duty))
                return Fail(v.second, "bad interference \"" + v.first + "\" (level duty)");
            in.firstChannel = int(a);
            in.lastChannel = int(b);
            in.level = int(level);
            in.dutyPercent = int(duty);
            ordered.emplace_back(v.second, in);
        }
        std::sort(ordered.begin(), ordered.end(),
                  [](const auto& x, const auto& y) { return x.first < y.first; });
        for (const auto& entry : ordered) s->interference.push_back(entry.second);
        return true;
    }

    bool ReadFaults(const Section& section, Faults* f) {
        for (const auto& [key, v] : section.values) {
            long long n = 0;
            if (key == "driver_absent" || key == "driver_lost") {
                Spans* spans = key == "driver_absent" ? &f->driverAbsent : &f->driverLost;
                if (!ParseSpans(v.first, spans))
                    return Fail(v.second, "bad " + key + " \"" + v.first +
                                              "\" (spans such as \"20-25\", in order)");
            } else if (key == "transmit_busy") {
                if (!Number(v, key, 0, 100, &n)) return false;
                f->transmitBusyPercent = uint32_t(n);
            } else if (key == "poll_stuck") {
                if (!Number(v, key, 0, 100, &n)) return false;
                f->pollStuckPercent = uint32_t(n);
            } else if (key == "transmit_results") {
                f->transmitResults.clear();
                for (const std::string& w : Words(v.first)) {
                    const size_t colon = w.find(':');
                    long long result = 0, percent = 0;
                    const std::string r = colon == std::string::npos ? w : w.substr(0, colon);
                    const bool hex = r.size() > 2 && r[0] == '0' && (r[1] == 'x' || r[1] == 'X');
                    const bool ok = colon != std::string::npos &&
                                    (hex ? ToHex(r.substr(2), 0xFFFF, &result)
                                         : ToLong(r, -255, 0xFFFF, &result)) &&
                                    result != 0 && ToLong(w.substr(colon + 1), 0, 100, &percent);
                    if (!ok)
                        return Fail(v.second, "bad transmit result \"" + w +
                                                  "\" (result:percentage, result not 0)");
                    f->transmitResults.emplace_back(int(result), uint32_t(percent));
                }
            } else if (key == "io_pending") {
                if (!Number(v, key, 0, 100, &n)) return false;
                f->ioPendingPercent = uint32_t(n);
            } else if (key == "refuse_items") {
                f->refuseItems.clear();
                for (const std::string& w : Words(v.first)) {
                    long long id;
                    if (!ToLong(w, 1, 24, &id))
                        return Fail(v.second, "bad item id \"" + w + "\" (1 to 24)");
                    f->refuseItems.push_back(uint16_t(id));
                }
            } else {
                return Unknown(section, key, v.second);
            }
        }
        return true;
    }

    bool CrossCheck(Scenario* s) {
        // Addresses in file order, so the second of a pair is the one named.
        std::sort(addressLines_.begin(), addressLines_.end(),
                  [](const auto& x, const auto& y) { return x.second < y.second; });
        std::map<Address, int> first;
        for (const auto& [address, line] : addressLines_) {
            auto [it, fresh] = first.emplace(address, line);
            if (!fresh)
                return Fail(line, "duplicate address " + FormatAddress(address) +
                                      " (first used on line " + std::to_string(it->second) + ")");
        }
        // The adapter's default address is taken too.
        if (!nodeGiven_) {
            for (const auto& [address, line] : addressLines_) {
                if (address == s->adapter.node)
                    return Fail(line, "address " + FormatAddress(address) +
                                          " is this adapter's node address");
            }
        }
        if (!PlacesOnTheFloor(*s)) return false;
        std::set<std::string> masterIds;
        for (const Station& m : s->masters) masterIds.insert(m.id);
        for (const Station& n : s->nodes) {
            if (n.master != "self" && masterIds.count(n.master) == 0)
                return Fail(masterLines_[n.id],
                            "master \"" + n.master + "\" of [node." + n.id + "] does not exist");
        }
        return true;
    }

    // Positions and walls need a floor, and placed stations an adapter with a position.
    bool PlacesOnTheFloor(const Scenario& s) {
        const Station* placed = FirstPlaced(s);
        if (!s.floor.Exists()) {
            if (s.adapter.placed)
                return Fail(s.adapter.positionLine, "position needs a floor ([site] width_m)");
            if (placed != nullptr)
                return Fail(placed->positionLine, "position needs a floor ([site] width_m)");
            if (!s.walls.empty())
                return Fail(s.walls[0].line,
                            "[wall." + s.walls[0].id + "] needs a floor ([site] width_m)");
        }
        if (!s.adapter.placed && placed != nullptr) {
            return Fail(placed->positionLine,
                        "a placed station needs the adapter's position too ([adapter] position)");
        }
        return CheckPlaces(s);
    }

    // The first station with a position, masters before nodes, or null.
    static const Station* FirstPlaced(const Scenario& s) {
        for (const auto* stations : {&s.masters, &s.nodes}) {
            for (const Station& st : *stations) {
                if (st.placed) return &st;
            }
        }
        return nullptr;
    }

    std::string file_;
    std::string* error_;
    std::vector<std::pair<Address, int>> addressLines_;
    bool nodeGiven_ = false;
    std::map<std::string, int> masterLines_;
    std::vector<std::pair<bool, size_t>> defaultSecurity_;  // stations without security_id
};

}  // namespace

bool ParseScenario(const std::string& text, const std::string& fileName, Scenario* scenario,
                   std::string* error) {
    Reader reader(fileName, error);
    return reader.Read(text, scenario);
}

bool FitToPlan(Scenario* scenario, int widthPx, int heightPx, const std::string& fileName,
               std::string* error) {
    Reader reader(fileName, error);
    Scenario fitted = *scenario;
    FloorConfig& f = fitted.floor;
    if (f.plan.empty() || !f.Exists()) return true;
    if (widthPx <= 0 || heightPx <= 0) return reader.Fail(f.planLine, "the plan has no pixels");
    f.heightM = f.widthM * heightPx / widthPx;
    if (f.heightM < kMinFloorM || f.heightM > kMaxFloorM)
        return reader.Fail(f.planLine, "the plan (" + std::to_string(widthPx) + " by " +
                                           std::to_string(heightPx) + " pixels) makes the floor " +
                                           Decimal(f.heightM) + " m high (" + Decimal(kMinFloorM) +
                                           " to " + Decimal(kMaxFloorM) + ")");
    if (!reader.CheckPlaces(fitted)) return false;
    *scenario = std::move(fitted);
    return true;
}

}  // namespace odr::sim
