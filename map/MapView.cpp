// Fitting, hit-testing and drawing the map.
#include "map/MapView.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "map/HeatMap.h"

namespace odr::map {
namespace {

constexpr platform::Rgb kWindowGrey{192, 192, 192};
constexpr platform::Rgb kPaper{255, 255, 255};
constexpr platform::Rgb kGridLine{210, 210, 210};
constexpr platform::Rgb kBorder{128, 128, 128};
constexpr platform::Rgb kBlack{0, 0, 0};
constexpr platform::Rgb kSelection{0, 64, 255};
constexpr int kMinGridSpacing = 16;
constexpr int kCrossArm = 8;

// The border of the pixels x0..x1, y0..y1 (both included).
void Outline(platform::Image* image, int x0, int y0, int x1, int y1, platform::Rgb c) {
    image->FrameRect(x0, y0, x1 + 1, y1 + 1, c);
}

void MarkerCentre(const ViewTransform& view, const SurveyPoint& p, int* x, int* y) {
    double px, py;
    view.ToPixels(p.xM, p.yM, &px, &py);
    *x = int(std::floor(std::clamp(px, -1e6, 1e6)));
    *y = int(std::floor(std::clamp(py, -1e6, 1e6)));
}

void DrawGrid(const ViewTransform& view, platform::Image* out) {
    const double perMetre = view.width / view.widthM;
    double step = 1;
    for (int i = 0; step * perMetre < kMinGridSpacing && i < 30; ++i) {
        step *= (i % 3 == 1) ? 2.5 : 2;  // 1, 2, 5, 10, 20, 50, ...
    }
    for (double m = step; m < view.widthM; m += step) {
        const int x = view.left + int(std::lround(m * perMetre));
        out->FillRect(x, view.top, x + 1, view.top + view.height, kGridLine);
    }
    for (double m = step; m < view.heightM; m += step) {
        const int y = view.top + int(std::lround(m * perMetre));
        out->FillRect(view.left, y, view.left + view.width, y + 1, kGridLine);
    }
    Outline(out, view.left, view.top, view.left + view.width - 1, view.top + view.height - 1,
            kBorder);
}

void DrawHeat(const ViewTransform& view, const ValueField& field,
              const std::vector<uint32_t>& colours, platform::Image* out) {
    // The cell of each column and row of the floor's rectangle, at pixel centres.
    std::vector<int> column(size_t(view.width), -1);
    std::vector<int> row(size_t(view.height), -1);
    for (int x = 0; x < view.width; ++x) {
        double xM, yM;
        view.ToMetres(view.left + x + 0.5, view.top + 0.5, &xM, &yM);
        const int cell = field.CellAt(xM, 0);
        if (cell >= 0) column[size_t(x)] = cell % field.Columns();
    }
    for (int y = 0; y < view.height; ++y) {
        double xM, yM;
        view.ToMetres(view.left + 0.5, view.top + y + 0.5, &xM, &yM);
        const int cell = field.CellAt(0, yM);
        if (cell >= 0) row[size_t(y)] = cell / field.Columns();
    }
    for (int y = 0; y < view.height; ++y) {
        if (row[size_t(y)] < 0) continue;
        const uint32_t* cells = colours.data() + size_t(row[size_t(y)]) * size_t(field.Columns());
        uint8_t* p = out->Row(view.top + y) + size_t(view.left) * 3;
        for (int x = 0; x < view.width; ++x, p += 3) {
            if (column[size_t(x)] < 0) continue;
            const uint32_t c = cells[column[size_t(x)]];
            if (c == kUnpainted) continue;
            p[0] = BlendChannel(p[0], uint8_t(c >> 16));
            p[1] = BlendChannel(p[1], uint8_t(c >> 8));
            p[2] = BlendChannel(p[2], uint8_t(c));
        }
    }
}

void DrawMarker(platform::Image* out, int x, int y, platform::Rgb fill, bool selected) {
    const int r = kMarkerRadius;
    out->FillRect(x - r, y - r, x + r + 1, y + r + 1, fill);
    Outline(out, x - r, y - r, x + r, y + r, kBlack);
    if (selected) {
        Outline(out, x - r - 2, y - r - 2, x + r + 2, y + r + 2, kSelection);
        Outline(out, x - r - 3, y - r - 3, x + r + 3, y + r + 3, kSelection);
    }
}

void DrawCross(platform::Image* out, int x, int y) {
    const int a = kCrossArm;
    out->FillRect(x - a - 1, y - 1, x + a + 2, y + 2, kPaper);
    out->FillRect(x - 1, y - a - 1, x + 2, y + a + 2, kPaper);
    out->FillRect(x - a, y, x + a + 1, y + 1, kBlack);
    out->FillRect(x, y - a, x + 1, y + a + 1, kBlack);
}

}  // namespace

void ViewTransform::ToMetres(double px, double py, double* xM, double* yM) const {
    *xM = width > 0 ? (px - left) * widthM / width : 0;
    *yM = height > 0 ? (py - top) * heightM / height : 0;
}

void ViewTransform::ToPixels(double xM, double yM, double* px, double* py) const {
    *px = widthM > 0 ? left + xM * width / widthM : left;
    *py = heightM > 0 ? top + yM * height / heightM : top;
}

bool ViewTransform::OnFloor(int px, int py) const {
    return px >= left && py >= top && px < left + width && py < top + height;
}

ViewTransform FitView(int areaWidth, int areaHeight, double aspectWidth, double aspectHeight,
                      double widthM, double heightM) {
    ViewTransform v;
    v.areaWidth = std::max(areaWidth, 0);
    v.areaHeight = std::max(areaHeight, 0);
    v.widthM = widthM;
    v.heightM = heightM;
    if (v.areaWidth == 0 || v.areaHeight == 0 || !(aspectWidth > 0) || !(aspectHeight > 0) ||
        !(widthM > 0) || !(heightM > 0)) {
        return v;
    }
    const double scale = std::min(v.areaWidth / aspectWidth, v.areaHeight / aspectHeight);
    v.width = std::clamp(int(std::lround(aspectWidth * scale)), 1, v.areaWidth);
    v.height = std::clamp(int(std::lround(aspectHeight * scale)), 1, v.areaHeight);
    v.left = (v.areaWidth - v.width) / 2;
    v.top = (v.areaHeight - v.height) / 2;
    return v;
}

int HitTest(const ViewTransform& view, const std::vector<SurveyPoint>& points, int px, int py) {
    int best = -1;
    long bestD2 = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        int x, y;
        MarkerCentre(view, points[i], &x, &y);
        const long dx = long(px) - x;
        const long dy = long(py) - y;
        if (std::labs(dx) > kMarkerRadius || std::labs(dy) > kMarkerRadius) continue;
        const long d2 = dx * dx + dy * dy;
        if (best < 0 || d2 <= bestD2) {
            best = int(i);
            bestD2 = d2;
        }
    }
    return best;
}

platform::Image RenderMap(const ViewTransform& view, const platform::Image& background,
                          const Scene& scene) {
    platform::Image out(view.areaWidth, view.areaHeight, kWindowGrey);
    if (view.width <= 0 || view.height <= 0) return out;
    if (background.width == view.width && background.height == view.height) {
        for (int y = 0; y < view.height; ++y) {
            std::copy(background.Row(y), background.Row(y) + size_t(view.width) * 3,
                      out.Row(view.top + y) + size_t(view.left) * 3);
        }
    } else {
        out.FillRect(view.left, view.top, view.left + view.width, view.top + view.height, kPaper);
        DrawGrid(view, &out);
    }
    const ValueField* field = scene.field;
    if (field && scene.cellColours &&
        scene.cellColours->size() == size_t(field->Columns()) * size_t(field->Rows())) {
        DrawHeat(view, *field, *scene.cellColours, &out);
    }
    if (scene.points) {
        const std::vector<SurveyPoint>& points = *scene.points;
        const bool coloured = scene.markerColours && scene.markerColours->size() == points.size();
        for (size_t i = 0; i <= points.size(); ++i) {
            // The selected marker last, on top.
            const size_t at = i < points.size() ? i : size_t(scene.selected);
            const bool selected = int(at) == scene.selected;
            if (at >= points.size() || (selected && i < points.size())) continue;
            int x, y;
            MarkerCentre(view, points[at], &x, &y);
            DrawMarker(&out, x, y, coloured ? (*scene.markerColours)[at] : kPaper, selected);
        }
    }
    if (scene.cursor) {
        double px, py;
        view.ToPixels(scene.cursorXM, scene.cursorYM, &px, &py);
        DrawCross(&out, int(std::floor(std::clamp(px, -1e6, 1e6))),
                  int(std::floor(std::clamp(py, -1e6, 1e6))));
    }
    return out;
}

}  // namespace odr::map
