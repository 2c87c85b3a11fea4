// Drawing through GDI on a client-area device context.
#include "ui/win32/Win32Canvas.h"

#include <vector>

namespace odr::ui::win32 {

Win32Canvas::Win32Canvas(HWND hwnd) : hwnd_(hwnd), dc_(hwnd != nullptr ? GetDC(hwnd) : nullptr) {
    if (hwnd_ != nullptr) GetClientRect(hwnd_, &client_);
    if (dc_ != nullptr) {
        // A fresh window DC already has them; a class or own DC may not.
        SelectObject(dc_, GetStockObject(BLACK_PEN));
    }
}

Win32Canvas::~Win32Canvas() {
    if (dc_ != nullptr) {
        // Our brushes must not stay selected when they are deleted.
        SelectObject(dc_, GetStockObject(WHITE_BRUSH));
        ReleaseDC(hwnd_, dc_);
    }
    for (auto& entry : brushes_) DeleteObject(entry.second);
}

int Win32Canvas::Width() const {
    return client_.right - client_.left;
}

int Win32Canvas::Height() const {
    return client_.bottom - client_.top;
}

HBRUSH Win32Canvas::Brush(Color color) {
    const COLORREF ref = RGB(color.r, color.g, color.b);
    auto it = brushes_.find(ref);
    if (it != brushes_.end()) return it->second;
    HBRUSH brush = CreateSolidBrush(ref);
    if (brush != nullptr) brushes_[ref] = brush;
    return brush;
}

void Win32Canvas::Fill(const Rect& rect, Color color) {
    if (dc_ == nullptr) return;
    const RECT r = {rect.left, rect.top, rect.right, rect.bottom};
    if (HBRUSH brush = Brush(color)) FillRect(dc_, &r, brush);
}

void Win32Canvas::Rectangle(const Rect& rect, Color fill) {
    if (dc_ == nullptr) return;
    HBRUSH brush = Brush(fill);
    if (brush == nullptr) return;
    SelectObject(dc_, brush);
    ::Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void Win32Canvas::Line(int x1, int y1, int x2, int y2) {
    if (dc_ == nullptr) return;
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
}

void Win32Canvas::DrawImage(const Rect& dest, int width, int height, const uint8_t* rgb) {
    if (dc_ == nullptr || width <= 0 || height <= 0 || rgb == nullptr) return;
    // A bottom-up DIB of blue-green-red rows padded to four bytes: the form every system
    // from Windows 95 on draws.
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> bits(stride * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const uint8_t* from = rgb + static_cast<size_t>(y) * width * 3;
        uint8_t* to = bits.data() + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x, from += 3, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc_, COLORONCOLOR);
    StretchDIBits(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, 0, 0,
                  width, height, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace odr::ui::win32
