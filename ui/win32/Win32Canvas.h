// ui::Canvas over a window's client-area device context, held for the canvas's lifetime.
#pragma once

#include <windows.h>

#include <map>

#include "ui/Canvas.h"

namespace odr::ui::win32 {

class Win32Canvas : public ui::Canvas {
  public:
    explicit Win32Canvas(HWND hwnd);
    ~Win32Canvas() override;
    Win32Canvas(const Win32Canvas&) = delete;
    Win32Canvas& operator=(const Win32Canvas&) = delete;

    int Width() const override;
    int Height() const override;
    void Fill(const Rect& rect, Color color) override;
    void Rectangle(const Rect& rect, Color fill) override;
    void Line(int x1, int y1, int x2, int y2) override;
    void DrawImage(const Rect& dest, int width, int height, const uint8_t* rgb) override;

  private:
    HBRUSH Brush(Color color);

    HWND hwnd_;
    HDC dc_;
    RECT client_ = {};
    std::map<COLORREF, HBRUSH> brushes_;  // made on first use, deleted with the canvas
};

}  // namespace odr::ui::win32
