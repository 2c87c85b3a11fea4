// The floor fitted into a window's area: the transform between the area's pixels and the
// floor's metres, hit-testing of the point markers, and the picture of it all: the plan (or
// a grid), the heat colours blended over it, the markers, the selected point and the
// keyboard's cross-hair.
#pragma once

#include <cstdint>
#include <vector>

#include "map/Survey.h"
#include "map/ValueField.h"
#include "platform/Image.h"

namespace odr::map {

// Markers are squares of this half-size (pixels), outlined; the selected one is ringed.
constexpr int kMarkerRadius = 4;

// The floor's rectangle in an area of pixels, and the way between pixels and metres. Pixel
// (px, py) covers [px, px + 1) x [py, py + 1).
struct ViewTransform {
    int areaWidth = 0;
    int areaHeight = 0;
    int left = 0;  // the floor's rectangle in the area
    int top = 0;
    int width = 0;
    int height = 0;
    double widthM = 0;
    double heightM = 0;

    // Metres at pixel coordinates (give px + 0.5 for a pixel's centre).
    void ToMetres(double px, double py, double* xM, double* yM) const;
    // Pixel coordinates of a place (the pixel holding it is their floor).
    void ToPixels(double xM, double yM, double* px, double* py) const;
    // Whether pixel (px, py) lies on the floor.
    bool OnFloor(int px, int py) const;
};

// Fits a floor whose picture is `aspectWidth` x `aspectHeight` (a plan's pixels; a grid's
// metres) and `widthM` x `heightM` metres into an area, the aspect kept, centred.
ViewTransform FitView(int areaWidth, int areaHeight, double aspectWidth, double aspectHeight,
                      double widthM, double heightM);

// The point whose marker covers pixel (px, py), the nearest when several do (the later one
// among equals: it is drawn on top); -1 when none.
int HitTest(const ViewTransform& view, const std::vector<SurveyPoint>& points, int px, int py);

// What a picture of the floor shows besides the floor.
struct Scene {
    const ValueField* field = nullptr;                   // the heat map's cells, if any
    const std::vector<uint32_t>* cellColours = nullptr;  // per cell, see HeatMap.h
    const std::vector<SurveyPoint>* points = nullptr;
    const std::vector<platform::Rgb>* markerColours = nullptr;  // per point
    int selected = -1;
    bool cursor = false;  // the keyboard's cross-hair at (cursorXM, cursorYM)
    double cursorXM = 0;
    double cursorYM = 0;
};

// Draws the view into a picture of the area's size: outside the floor the window's grey;
// on it `background` (the plan already scaled to the floor's rectangle) or, when that is
// empty, white with grid lines; then the heat colours, the markers and the cross-hair.
platform::Image RenderMap(const ViewTransform& view, const platform::Image& background,
                          const Scene& scene);

}  // namespace odr::map
