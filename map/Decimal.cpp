// Fixed-point text without the C library's locale: numbers go through whole units of the
// last decimal place.
#include "map/Decimal.h"

#include <cmath>
#include <cstdint>

namespace odr::map {
namespace {

constexpr int64_t kScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
constexpr double kLargest = 1e12;

int Places(int decimals) {
    return decimals < 0 ? 0 : decimals > 6 ? 6 : decimals;
}

// Whole units of 10^-decimals; values beyond kLargest are held there.
int64_t Units(double value, int decimals) {
    if (!std::isfinite(value)) value = 0;
    if (value > kLargest) value = kLargest;
    if (value < -kLargest) value = -kLargest;
    return std::llround(value * double(kScale[Places(decimals)]));
}

}  // namespace

double Quantize(double value, int decimals) {
    return double(Units(value, decimals)) / double(kScale[Places(decimals)]);
}

std::string FormatDecimal(double value, int decimals) {
    decimals = Places(decimals);
    const int64_t units = Units(value, decimals);
    const uint64_t magnitude = units < 0 ? uint64_t(-units) : uint64_t(units);
    std::string text = std::to_string(magnitude / uint64_t(kScale[decimals]));
    if (decimals > 0) {
        std::string fraction = std::to_string(magnitude % uint64_t(kScale[decimals]));
        fraction.insert(0, size_t(decimals) - fraction.size(), '0');
        while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
        if (!fraction.empty()) text += "." + fraction;
    }
    return units < 0 ? "-" + text : text;
}

bool ParseDecimal(std::string_view text, int decimals, double* value) {
    decimals = Places(decimals);
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) ++i;
    int64_t units = 0;
    int whole = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++whole) {
        if (whole == 9) return false;
        units = units * 10 + (text[i] - '0');
    }
    int places = 0;
    bool roundUp = false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        const size_t first = i;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (places < decimals) {
                units = units * 10 + (text[i] - '0');
                ++places;
            } else if (i == first + size_t(decimals)) {
                roundUp = text[i] >= '5';
            }
        }
        if (i == first) return false;
    }
    if (whole == 0 || i != text.size()) return false;
    for (; places < decimals; ++places) units *= 10;
    if (roundUp) ++units;
    *value = double(negative ? -units : units) / double(kScale[decimals]);
    return true;
}

}  // namespace odr::map
