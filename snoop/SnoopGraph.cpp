// The graph's drawing primitives.
#include "snoop/SnoopGraph.h"

#include <algorithm>

namespace odr::snoop {

namespace {

// Most the peak mark is lengthened when it would have no height.
constexpr unsigned kFlatPeakPixels = 4;

}  // namespace

ui::Rect ColumnRect(const ColumnGeometry& geometry, int column) {
    const int x = geometry.Left(column);
    return {x, kGraphTop, x + geometry.width, geometry.Base()};
}

void ClearColumn(ui::Canvas& canvas, const ColumnGeometry& geometry, int column) {
    canvas.Fill(ColumnRect(geometry, column), kBackground);
}

void OutlineColumn(ui::Canvas& canvas, const ColumnGeometry& geometry, int column) {
    canvas.Rectangle(ColumnRect(geometry, column), kBackground);
}

void DrawTick(ui::Canvas& canvas, const ColumnGeometry& geometry, int column) {
    const int xc = geometry.Left(column) + geometry.width / 2;
    const int h = geometry.height;
    if ((column + 1) % 10 == 0) {
        canvas.Fill({xc - 1, h - 7, xc + 2, h - 2}, kTickColor);
    } else {
        canvas.Line(xc, h - 2, xc, h - 5);
    }
}

void DrawBars(ui::Canvas& canvas, const ColumnGeometry& geometry, int column,
              const SpectrumSample& sample) {
    if (sample.count == 0) return;
    const int x = geometry.Left(column);
    const unsigned average = sample.Average();
    const int averageTop = geometry.Top(average);
    // An average of 0 has no height: nothing to draw.
    if (averageTop < geometry.Base()) {
        canvas.Rectangle({x, averageTop, x + geometry.width, geometry.Base()}, kAverageColor);
    }
    if (sample.peak >= average && sample.peak > 0) {
        const int peakTop = geometry.Top(sample.peak);
        int bottom = averageTop;
        if (peakTop == averageTop) {
            const long lengthened = long(sample.peak) * std::max(geometry.unit, 0);
            bottom += int(std::min<long>(lengthened, kFlatPeakPixels));
        }
        canvas.Rectangle({x, peakTop, x + geometry.width, bottom}, kPeakColor);
    }
}

}  // namespace odr::snoop
