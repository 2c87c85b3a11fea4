// The scenario model's helpers: courses, spans and station addresses.
#include "sim/Scenario.h"

#include <cmath>

#include "driver/Queries.h"

namespace odr::sim {

double Course::At(double seconds) const {
    if (points.empty()) return -200.0;
    if (seconds <= points.front().first) return points.front().second;
    for (size_t i = 1; i < points.size(); ++i) {
        const auto& a = points[i - 1];
        const auto& b = points[i];
        if (seconds <= b.first) {
            if (b.first <= a.first) return b.second;
            return a.second + (b.second - a.second) * (seconds - a.first) / (b.first - a.first);
        }
    }
    return points.back().second;
}

bool Spans::Contains(double seconds) const {
    for (const auto& span : spans) {
        if (seconds >= span.first && (span.second < 0 || seconds < span.second)) return true;
    }
    return false;
}

double Station::CourseTime(double seconds) const {
    return cycle > 0 ? std::fmod(seconds, cycle) : seconds;
}

bool ParseAddress(const std::string& text, Address* address) {
    return text.size() == 12 && ParseNodeAddress(text.c_str(), address->data());
}

std::string FormatAddress(const Address& address) {
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (uint8_t b : address) {
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return text;
}

}  // namespace odr::sim
