// A 24-bit RGB picture held top-down, and its scaling: area averaging when it shrinks (thin
// lines of a floor plan stay visible, only fainter), nearest pixel when it grows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace odr::platform {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // r, g, b per pixel, rows top-down, no padding

    Image() = default;
    Image(int w, int h, Rgb fill = {255, 255, 255});
    bool empty() const { return width <= 0 || height <= 0; }
    Rgb At(int x, int y) const;
    void Set(int x, int y, Rgb c);
    // Fills the rectangle [x0, x1) x [y0, y1), clipped to the picture.
    void FillRect(int x0, int y0, int x1, int y1, Rgb c);
    // Draws the one-pixel border of the same rectangle.
    void FrameRect(int x0, int y0, int x1, int y1, Rgb c);
    uint8_t* Row(int y) { return pixels.data() + size_t(y) * size_t(width) * 3; }
    const uint8_t* Row(int y) const { return pixels.data() + size_t(y) * size_t(width) * 3; }
};

// The size a picture of `width` x `height` is reduced to so that neither side exceeds
// `maxSide`, the aspect kept (each side at least 1).
void FitWithin(int width, int height, int maxSide, int* outWidth, int* outHeight);

// Shrinks a picture while its rows arrive one by one, in either order: every target pixel
// becomes the mean of the source pixels that fall on it. Memory: one row of sums.
class RowReducer {
  public:
    // Source `srcWidth` x `srcHeight` into `out`, which is made `outWidth` x `outHeight`;
    // the target must not be larger than the source on either side.
    RowReducer(int srcWidth, int srcHeight, int outWidth, int outHeight, Image* out);
    // Row `y` of the source (counted top-down), `srcWidth` RGB triples. Every row is given
    // once; rows of one target row must arrive together (top-down or bottom-up order).
    void AddRow(int y, const uint8_t* rgb);

  private:
    int srcWidth_;
    int srcHeight_;
    Image* out_;
    std::vector<int> column_;       // target column of each source column
    std::vector<uint32_t> across_;  // source columns per target column
    std::vector<uint64_t> sums_;    // r, g, b per target column, of the target row in work
    int rowInWork_ = -1;
    int rowsInWork_ = 0;
};

// `image` scaled to `width` x `height` (each at least 1).
Image ScaleImage(const Image& image, int width, int height);

}  // namespace odr::platform
