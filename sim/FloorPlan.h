// The floor plan's bitmap as far as the simulated adapter needs it: its size in pixels,
// whose aspect gives the floor's height.
#pragma once

#include <string>

namespace odr::sim {

// The largest plan, in pixels a side.
constexpr int kMaxPlanPixels = 8192;

// The size of an uncompressed Windows bitmap (1, 4, 8, 16, 24 or 32 bits a pixel; 16 and
// 32 also with bit fields), given as the file's bytes. False with the problem in *problem
// when the bytes are not such a bitmap, or are cut short.
bool PlanSize(const std::string& bytes, int* widthPx, int* heightPx, std::string* problem);

}  // namespace odr::sim
