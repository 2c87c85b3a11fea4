// One sweep position's statistics: the readings of its latest dwell, and the dwell's limits
// by sampling rate.
#pragma once

#include <cstdint>

namespace odr::snoop {

// Highest reading the graph shows.
constexpr uint8_t kMaxReading = 100;

struct SpectrumSample {
    uint8_t peak = 0;    // highest reading of the dwell
    uint32_t sum = 0;    // sum of its readings
    uint32_t count = 0;  // successful readings
    int position = 0;    // sweep position last sampled at, 0 after a reset

    void Reset() { *this = SpectrumSample(); }
    // Counts one successful reading; readings above 100 count as 100.
    void Add(uint8_t reading);
    // Integer mean of the dwell, raised to 1 when it is 0 but the peak is not; 0 without
    // readings.
    unsigned Average() const;
};

// Sampling rates, as the radio group orders them.
enum SamplingRate { kRateSlow = 0, kRateMedium = 1, kRateFast = 2 };

struct DwellLimits {
    uint32_t seconds = 0;   // whole seconds the dwell may last
    uint32_t readings = 0;  // successful readings that end it sooner
};

// Slow 10 s / 300, Medium 5 s / 30, Fast 1 s / 3; an unknown rate dwells as Medium.
DwellLimits DwellFor(int rate);
// Whether a dwell that has run `elapsedMs` and counted `count` readings goes on.
bool DwellGoesOn(const DwellLimits& limits, uint32_t elapsedMs, uint32_t count);

}  // namespace odr::snoop
