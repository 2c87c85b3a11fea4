// The firmware version rule.
#include "driver/Firmware.h"

#include <cctype>
#include <cstring>
#include <string>

namespace odr {

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

bool SupportsDirectedSync(const char* version) {
    if (version == nullptr) return false;
    const std::string v(version, strnlen(version, kVersionTextLength));
    if (v.compare(0, 6, "V1.47a") == 0) return true;
    // Major: from the second character up to the first '.', letters left out.
    int major = 0;
    for (size_t i = 1; i < v.size() && v[i] != '.'; ++i) {
        if (IsDigit(v[i])) major = major * 10 + (v[i] - '0');
    }
    // Minor: the digits from the fourth character up to a letter or the end.
    int minor = 0;
    for (size_t i = 3; i < v.size() && IsDigit(v[i]); ++i) minor = minor * 10 + (v[i] - '0');
    if (minor < 10) minor *= 10;
    return minor >= 49 || major >= 2;
}

}  // namespace odr
