// Drawing on a control's client area (or the window's own): solid colours, rectangles and
// lines in client coordinates. Rectangles span [left, right) x [top, bottom).
#pragma once

#include <cstdint>

namespace odr::ui {

struct Color {
    uint8_t r = 0, g = 0, b = 0;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Alive as long as the drawing; the window layer releases the surface when it goes.
class Canvas {
  public:
    virtual ~Canvas() = default;
    // Size of the client area.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Fills `rect` with a solid brush; no outline.
    virtual void Fill(const Rect& rect, Color color) = 0;
    // A rectangle outlined with the default pen (black, one pixel) and filled with `fill`.
    virtual void Rectangle(const Rect& rect, Color fill) = 0;
    // A line in the default pen from (x1, y1) up to, not including, (x2, y2).
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
    // A picture of `width` x `height` pixels (three bytes each, red first, rows from the
    // top, no padding) drawn stretched into `dest`.
    virtual void DrawImage(const Rect& dest, int width, int height, const uint8_t* rgb) = 0;
};

}  // namespace odr::ui
