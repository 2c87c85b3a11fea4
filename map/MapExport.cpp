// The CSV rows and the legend strip.
#include "map/MapExport.h"

#include <algorithm>

#include "map/Decimal.h"
#include "map/HeatMap.h"
#include "map/TinyFont.h"
#include "shell/kit/SessionLog.h"

namespace odr::map {
namespace {

constexpr platform::Rgb kInk{0, 0, 0};
constexpr platform::Rgb kPaper{255, 255, 255};

// Lays the legend out from `top` within `width` pixels, drawing it when `image` is given.
// Returns the height used.
int LayOutLegend(const std::string& title, const std::vector<LegendEntry>& entries, int width,
                 int scale, int top, platform::Image* image) {
    const int pad = 6 * scale;
    const int line = (kGlyphHeight + 6) * scale;
    const int swatch = 2 * kGlyphHeight * scale;
    if (image) DrawText(image, pad, top + pad, title, kInk, scale);
    int x = pad;
    int y = top + pad + line;
    for (const LegendEntry& e : entries) {
        const int need = swatch + 3 * scale + TextWidth(e.label, scale);
        if (x > pad && x + need > width - pad) {
            x = pad;
            y += line;
        }
        if (image) {
            image->FillRect(x, y, x + swatch, y + kGlyphHeight * scale, Blend(kPaper, e.colour));
            image->FrameRect(x, y, x + swatch, y + kGlyphHeight * scale, kInk);
            DrawText(image, x + swatch + 3 * scale, y, e.label, kInk, scale);
        }
        x += need + 4 * pad;
    }
    return y + line + pad - top;
}

}  // namespace

std::string SurveyCsv(const Survey& survey) {
    std::string csv =
        shell::CsvLine({"time", "x_m", "y_m", "station", "address", "role", "signal",
                        "link_quality", "synchronised_master", "packets_per_second", "latency_ms"});
    for (const SurveyPoint& p : survey.Points()) {
        const std::string x = FormatDecimal(p.xM, kCoordinateDecimals);
        const std::string y = FormatDecimal(p.yM, kCoordinateDecimals);
        const std::string master = p.master == kNoStation ? std::string() : FormatAddress(p.master);
        const std::string packets = p.active ? FormatDecimal(p.packetsPerSecond, 2) : std::string();
        const std::string latency = p.active ? FormatDecimal(p.latencyMs, 2) : std::string();
        if (p.stations.empty()) {
            csv += shell::CsvLine({p.time, x, y, "", "", "", "", "", master, packets, latency});
        }
        for (const Station& s : p.stations) {
            csv += shell::CsvLine({p.time, x, y, s.name, FormatAddress(s.address),
                                   s.role == Role::kMaster ? "master" : "node",
                                   std::to_string(s.signal), std::to_string(s.linkQuality), master,
                                   packets, latency});
        }
    }
    return csv;
}

platform::Image AddLegend(const platform::Image& map, const std::string& title,
                          const std::vector<LegendEntry>& entries) {
    const int scale = std::clamp(map.width / 700, 1, 4);
    int width = std::max(map.width, 1);
    // The widest single entry and the title must fit.
    int widest = TextWidth(title, scale);
    for (const LegendEntry& e : entries) {
        widest = std::max(widest, (2 * kGlyphHeight + 3) * scale + TextWidth(e.label, scale));
    }
    width = std::max(width, widest + 12 * scale);
    const int strip = LayOutLegend(title, entries, width, scale, 0, nullptr);
    platform::Image out(width, map.height + strip, kPaper);
    for (int y = 0; y < map.height; ++y) {
        std::copy(map.Row(y), map.Row(y) + size_t(map.width) * 3, out.Row(y));
    }
    LayOutLegend(title, entries, width, scale, map.height, &out);
    return out;
}

}  // namespace odr::map
