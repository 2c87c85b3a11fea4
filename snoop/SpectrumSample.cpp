// Statistics of one dwell.
#include "snoop/SpectrumSample.h"

#include <algorithm>

namespace odr::snoop {

void SpectrumSample::Add(uint8_t reading) {
    const uint8_t value = std::min(reading, kMaxReading);
    ++count;
    peak = std::max(peak, value);
    sum += value;
}

unsigned SpectrumSample::Average() const {
    if (count == 0) return 0;
    const unsigned average = sum / count;
    return average == 0 && peak != 0 ? 1 : average;
}

DwellLimits DwellFor(int rate) {
    switch (rate) {
        case kRateSlow:
            return {10, 300};
        case kRateFast:
            return {1, 3};
        default:
            return {5, 30};
    }
}

bool DwellGoesOn(const DwellLimits& limits, uint32_t elapsedMs, uint32_t count) {
    return elapsedMs / 1000 < limits.seconds && count < limits.readings;
}

}  // namespace odr::snoop
