// The snoop's band: how many frequencies the adapter hops over and where they start, by
// the adapter's country code, and the geometry of the graph's columns.
#pragma once

#include <cstdint>
#include <string>

namespace odr::snoop {

struct BandLayout {
    int count = 79;            // frequencies in the band (n)
    uint8_t firstChannel = 1;  // channel of sweep position 0 (b)
    std::string firstLabel;    // frequency of the first column, GHz
    std::string lastLabel;     // frequency of the last column, GHz
};

// The band for `countryCode` (GetCountryCode reply byte 0) and the first channel the
// adapter reported (reply byte 1). Codes whose low six bits are not 0-3 get the widest
// common band, 79 frequencies from channel 1.
BandLayout BandFor(uint8_t countryCode, uint8_t reportedFirstChannel);
// The band when the country code cannot be read: 79 frequencies from channel 1.
BandLayout DefaultBand();

// Top of the columns in the graph's client area.
constexpr int kGraphTop = 16;
// Distance of the base line from the bottom of the client area.
constexpr int kGraphBottomMargin = 8;
// Left edge of the first column.
constexpr int kGraphLeft = 5;

struct ColumnGeometry {
    int width = 0;   // w, pixels
    int gap = 0;     // g, pixels between columns
    int height = 0;  // H of the client area
    int unit = 0;    // u, pixels per reading point

    int Left(int column) const { return kGraphLeft + column * (width + gap); }
    int Base() const { return height - kGraphBottomMargin; }
    // y reached by a reading of `value` (0-100), never above the client area.
    int Top(unsigned value) const;
};

// Column width and gap for `count` frequencies in a client area `width` x `height`.
// The frequency of channel `channel` in GHz as the labels show it ("2.402").
std::string ChannelFrequency(int channel);

ColumnGeometry GeometryFor(int width, int height, int count);

}  // namespace odr::snoop
