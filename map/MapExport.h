// What the map gives to other programs: the points as CSV, in the form of the tools'
// session logs, and the heat map with its legend as a picture.
#pragma once

#include <string>
#include <vector>

#include "map/Legend.h"
#include "map/Survey.h"
#include "platform/Image.h"

namespace odr::map {

// A grid floor is exported this many pixels wide.
constexpr int kGridExportWidth = 1024;

// RFC 4180 with CR LF and a header line: time, x_m, y_m, station (a master's name), address,
// role (master or node), signal, link_quality, synchronised_master, packets_per_second,
// latency_ms. One row per point and station heard; a point where nothing was heard gives one
// row with the station's fields empty; the traffic fields are empty at passive points.
std::string SurveyCsv(const Survey& survey);

// `map` with a white strip below it: the metric's title, then each legend entry's swatch
// (its colour as it shows over white paper) and label, in the built-in font, wrapped to the
// picture's width. The picture is widened when the map is too narrow for one entry.
platform::Image AddLegend(const platform::Image& map, const std::string& title,
                          const std::vector<LegendEntry>& entries);

}  // namespace odr::map
