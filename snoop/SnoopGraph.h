// Drawing the snoop's graph on a canvas: column backgrounds, the ticks below the base
// line, the outline of the column just measured and a sample's average and peak bars.
#pragma once

#include "snoop/SnoopBand.h"
#include "snoop/SpectrumSample.h"
#include "ui/Canvas.h"

namespace odr::snoop {

constexpr ui::Color kBackground{192, 192, 192};
constexpr ui::Color kPeakColor{0, 255, 0};
constexpr ui::Color kAverageColor{0, 0, 128};
constexpr ui::Color kTickColor{0, 0, 0};

// The column's rectangle, from the top of the graph down to the base line.
ui::Rect ColumnRect(const ColumnGeometry& geometry, int column);

// Fills the column with the background colour.
void ClearColumn(ui::Canvas& canvas, const ColumnGeometry& geometry, int column);
// The background-coloured column outlined in the default pen.
void OutlineColumn(ui::Canvas& canvas, const ColumnGeometry& geometry, int column);
// The tick below the base line: a block under every tenth column, a short line elsewhere.
void DrawTick(ui::Canvas& canvas, const ColumnGeometry& geometry, int column);
// The average bar and the peak mark of `sample` in the column; nothing without readings.
void DrawBars(ui::Canvas& canvas, const ColumnGeometry& geometry, int column,
              const SpectrumSample& sample);

}  // namespace odr::snoop
