// The heat map of a survey: its points' values in a ValueField, and the field's cells in the
// legend's colours. The colours are laid over the plan half and half:
//   shown = (plan + colour + 1) / 2   for each of red, green and blue
// so black plan lines stay dark and white paper takes a light tint of the band.
#pragma once

#include <cstdint>
#include <vector>

#include "map/Legend.h"
#include "map/Survey.h"
#include "map/ValueField.h"
#include "platform/Image.h"

namespace odr::map {

// Builds the field afresh: geometry from the survey's floor and the settings' radius, then
// every point that has a value for the metric.
void FillField(const Survey& survey, const MapSettings& settings, ValueField* field);
// Adds point `index` of the survey to a field filled for the same settings (only the cells
// within the radius change). Points must be added in index order.
void AddToField(const Survey& survey, size_t index, const MapSettings& settings, ValueField* field);

// Cell colours of a painted cell are 0xff000000 | r << 16 | g << 8 | b; 0 is unpainted.
constexpr uint32_t kUnpainted = 0;
inline uint32_t PackColour(platform::Rgb c) {
    return 0xff000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

// The overlay colour of every cell of the field, by the legend.
std::vector<uint32_t> CellColours(const ValueField& field, const Survey& survey,
                                  const MapSettings& settings);

// The colour of point `p`'s marker: its own band (or master) colour; white when it has no
// value for the metric.
platform::Rgb MarkerColour(const SurveyPoint& p, const MapSettings& settings,
                           const std::vector<uint64_t>& masters);

inline uint8_t BlendChannel(uint8_t plan, uint8_t colour) {
    return uint8_t((unsigned(plan) + colour + 1) / 2);
}
inline platform::Rgb Blend(platform::Rgb plan, platform::Rgb colour) {
    return {BlendChannel(plan.r, colour.r), BlendChannel(plan.g, colour.g),
            BlendChannel(plan.b, colour.b)};
}

}  // namespace odr::map
