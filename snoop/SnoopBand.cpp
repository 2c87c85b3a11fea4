// Band layout by country code and the graph's column geometry.
#include "snoop/SnoopBand.h"

#include <algorithm>

#include "platform/Format.h"

namespace odr::snoop {

namespace {

constexpr int kWidestBand = 79;

std::string Gigahertz(double ghz) {
    char text[32];
    platform::FormatText(text, sizeof text, "%1.3f", ghz);
    return text;
}

BandLayout Layout(int count, uint8_t firstChannel) {
    BandLayout band;
    band.count = count;
    band.firstChannel = firstChannel;
    // Channel k is 2.400 + 0.001 k GHz; column s shows channel b + s + 1.
    band.firstLabel = Gigahertz(2.401 + 0.001 * firstChannel);
    band.lastLabel = Gigahertz(2.400 + 0.001 * (count + firstChannel));
    return band;
}

}  // namespace

BandLayout BandFor(uint8_t countryCode, uint8_t reportedFirstChannel) {
    int count = 0;
    switch (countryCode & 0x3F) {
        case 0:
            count = 79;
            break;
        case 1:
            count = 23;
            break;
        case 2:
            count = 43;
            break;
        case 3:
            count = 100;
            break;
        default:
            return DefaultBand();
    }
    uint8_t first = reportedFirstChannel;
    if (countryCode == 0 || countryCode == 1) first = 1;
    if (countryCode == 2) first = 6;
    return Layout(count, first);
}

std::string ChannelFrequency(int channel) {
    return Gigahertz(2.400 + 0.001 * channel);
}

BandLayout DefaultBand() {
    return Layout(kWidestBand, 1);
}

int ColumnGeometry::Top(unsigned value) const {
    const long top = long(Base()) - long(value) * unit;
    return int(std::max(0L, top));
}

ColumnGeometry GeometryFor(int width, int height, int count) {
    // Gap, and the smallest width with the gap that goes with it.
    int gap = 3, minWidth = 5, minGap = 2;
    switch (count) {
        case 23:
            gap = 10, minWidth = 15, minGap = 9;
            break;
        case 43:
            gap = 5, minWidth = 6, minGap = 4;
            break;
        case 100:
            gap = 2, minWidth = 4, minGap = 1;
            break;
        default:
            break;
    }
    const int n = std::max(count, 1);
    ColumnGeometry g;
    g.width = (width - gap * n) / n;
    g.gap = gap;
    if (g.width < minWidth) {
        g.width = minWidth;
        g.gap = minGap;
    }
    g.height = height;
    g.unit = (height - kGraphBottomMargin) / 100;
    return g;
}

}  // namespace odr::snoop
