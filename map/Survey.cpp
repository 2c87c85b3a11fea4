// The survey's points and floor, and the checks every stored point passes.
#include "map/Survey.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "driver/Queries.h"
#include "map/Decimal.h"

namespace odr::map {
namespace {

bool InRange(double v, double low, double high) {
    return std::isfinite(v) && v >= low && v <= high;
}

}  // namespace

std::string FormatAddress(uint64_t address) {
    static const char kHex[] = "0123456789abcdef";
    std::string text(12, '0');
    for (int i = 11; i >= 0; --i, address >>= 4) text[size_t(i)] = kHex[address & 15];
    return text;
}

bool ParseAddress(std::string_view text, uint64_t* address) {
    uint8_t bytes[6];
    if (text.size() != 12 || !ParseNodeAddress(std::string(text).c_str(), bytes)) return false;
    uint64_t value = 0;
    for (uint8_t b : bytes) value = value << 8 | b;
    *address = value;
    return true;
}

bool IsTimestamp(std::string_view text) {
    static const char kForm[] = "dddd-dd-ddTdd:dd:dd";
    if (text.size() != sizeof kForm - 1) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kForm[i] == 'd' ? !digit : text[i] != kForm[i]) return false;
    }
    return true;
}

const Station* SurveyPoint::Find(uint64_t address) const {
    for (const Station& s : stations) {
        if (s.address == address) return &s;
    }
    return nullptr;
}

bool WidthFromTwoPoints(int planWidthPx, double ax, double ay, double bx, double by,
                        double distanceM, double* widthM) {
    const double pixels = DistanceM(ax, ay, bx, by);
    if (planWidthPx <= 0 || !(pixels >= 0.5) || !InRange(distanceM, 0, kMaxMetres)) return false;
    const double width = distanceM * planWidthPx / pixels;
    if (!InRange(width, kMinFloorMetres, kMaxMetres)) return false;
    *widthM = Quantize(width, kCoordinateDecimals);
    return true;
}

double DistanceM(double ax, double ay, double bx, double by) {
    return std::hypot(bx - ax, by - ay);
}

std::string CheckPoint(const SurveyPoint& p) {
    if (!IsTimestamp(p.time)) return "the time is not of the form 2026-12-09T17:40:05";
    if (!InRange(p.xM, 0, kMaxMetres) || !InRange(p.yM, 0, kMaxMetres)) {
        return "the place is outside the floor";
    }
    if (p.stations.size() > kMaxStationsPerPoint) return "too many stations at one point";
    for (size_t i = 0; i < p.stations.size(); ++i) {
        const Station& s = p.stations[i];
        if (s.address >> 48) return "a station's address is not 12 hex digits";
        if (s.signal < 0 || s.signal > 100) return "a signal is not a percentage (0-100)";
        if (s.linkQuality < 0 || s.linkQuality > 5) return "a link quality is not 0-5";
        if (s.name.size() > kMaxNameLength) return "a station's name is too long";
        for (size_t j = 0; j < i; ++j) {
            if (p.stations[j].address == s.address) return "a station is listed twice";
        }
    }
    if (p.master != kNoStation && (p.master >> 48)) {
        return "the synchronised master's address is not 12 hex digits";
    }
    if (p.active &&
        (!InRange(p.packetsPerSecond, 0, kMaxFigure) || !InRange(p.latencyMs, 0, kMaxFigure))) {
        return "the traffic figures are out of range";
    }
    return std::string();
}

bool Survey::SetFloor(const Floor& floor) {
    if (!InRange(floor.widthM, kMinFloorMetres, kMaxMetres) ||
        !InRange(floor.heightM, kMinFloorMetres, kMaxMetres)) {
        return false;
    }
    floor_ = floor;
    floor_.widthM = Quantize(floor.widthM, kCoordinateDecimals);
    floor_.heightM = Quantize(floor.heightM, kCoordinateDecimals);
    return true;
}

bool Survey::ScaleFloor(double widthM, double heightM) {
    const double oldWidth = floor_.widthM;
    const double oldHeight = floor_.heightM;
    Floor floor = floor_;
    floor.widthM = widthM;
    floor.heightM = heightM;
    if (!SetFloor(floor)) return false;
    if (oldWidth <= 0 || oldHeight <= 0) return true;
    for (SurveyPoint& p : points_) {
        p.xM = std::min(Quantize(p.xM * floor_.widthM / oldWidth, kCoordinateDecimals), kMaxMetres);
        p.yM =
            std::min(Quantize(p.yM * floor_.heightM / oldHeight, kCoordinateDecimals), kMaxMetres);
    }
    return true;
}

bool Survey::Add(SurveyPoint point, std::string* error) {
    if (points_.size() >= kMaxPoints) {
        *error = "The survey is full (" + std::to_string(kMaxPoints) + " points).";
        return false;
    }
    const std::string why = CheckPoint(point);
    if (!why.empty()) {
        *error = "The point cannot be stored: " + why + ".";
        return false;
    }
    point.xM = Quantize(point.xM, kCoordinateDecimals);
    point.yM = Quantize(point.yM, kCoordinateDecimals);
    if (point.active) {
        point.packetsPerSecond = Quantize(point.packetsPerSecond, kFigureDecimals);
        point.latencyMs = Quantize(point.latencyMs, kFigureDecimals);
    } else {
        point.packetsPerSecond = 0;
        point.latencyMs = 0;
    }
    for (Station& s : point.stations) {
        if (s.role == Role::kNode) s.name.clear();
    }
    point.stations.shrink_to_fit();  // a survey may hold many points
    points_.push_back(std::move(point));
    return true;
}

bool Survey::Undo() {
    if (points_.empty()) return false;
    points_.pop_back();
    return true;
}

bool Survey::Erase(size_t index) {
    if (index >= points_.size()) return false;
    points_.erase(points_.begin() + std::ptrdiff_t(index));
    return true;
}

std::string Survey::NameOf(uint64_t address) const {
    for (auto p = points_.rbegin(); p != points_.rend(); ++p) {
        const Station* s = p->Find(address);
        if (s && !s->name.empty()) return s->name;
    }
    return std::string();
}

std::vector<HeardStation> ListStations(const Survey& survey) {
    std::map<uint64_t, HeardStation> heard;
    for (const SurveyPoint& p : survey.Points()) {
        for (const Station& s : p.stations) {
            HeardStation& h = heard[s.address];
            h.address = s.address;
            ++h.points;
            if (s.role == Role::kMaster) h.role = Role::kMaster;
            if (!s.name.empty()) h.name = s.name;
        }
    }
    std::vector<HeardStation> list;
    for (auto& entry : heard) list.push_back(std::move(entry.second));
    std::stable_sort(list.begin(), list.end(), [](const HeardStation& a, const HeardStation& b) {
        return a.role == Role::kMaster && b.role != Role::kMaster;
    });
    return list;
}

}  // namespace odr::map
