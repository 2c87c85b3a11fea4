// Pixels, area-averaging reduction and nearest-pixel enlargement.
#include "platform/Image.h"

#include <algorithm>

namespace odr::platform {

Image::Image(int w, int h, Rgb fill) : width(std::max(w, 0)), height(std::max(h, 0)) {
    pixels.resize(size_t(width) * size_t(height) * 3);
    for (size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = fill.r;
        pixels[i + 1] = fill.g;
        pixels[i + 2] = fill.b;
    }
}

Rgb Image::At(int x, int y) const {
    const uint8_t* p = Row(y) + size_t(x) * 3;
    return {p[0], p[1], p[2]};
}

void Image::Set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    uint8_t* p = Row(y) + size_t(x) * 3;
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

void Image::FillRect(int x0, int y0, int x1, int y1, Rgb c) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width);
    y1 = std::min(y1, height);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) Set(x, y, c);
    }
}

void Image::FrameRect(int x0, int y0, int x1, int y1, Rgb c) {
    FillRect(x0, y0, x1, y0 + 1, c);
    FillRect(x0, y1 - 1, x1, y1, c);
    FillRect(x0, y0, x0 + 1, y1, c);
    FillRect(x1 - 1, y0, x1, y1, c);
}

void FitWithin(int width, int height, int maxSide, int* outWidth, int* outHeight) {
    const int64_t longer = std::max(width, height);
    maxSide = std::max(maxSide, 1);
    if (longer <= maxSide) {
        *outWidth = std::max(width, 1);
        *outHeight = std::max(height, 1);
        return;
    }
    *outWidth = int(std::max<int64_t>(1, (int64_t(width) * maxSide + longer / 2) / longer));
    *outHeight = int(std::max<int64_t>(1, (int64_t(height) * maxSide + longer / 2) / longer));
}

namespace {

// Source rows (or columns) [First(i), First(i + 1)) fall on target row i.
int64_t First(int64_t target, int64_t sourceSize, int64_t targetSize) {
    return (target * sourceSize + targetSize - 1) / targetSize;
}

}  // namespace

RowReducer::RowReducer(int srcWidth, int srcHeight, int outWidth, int outHeight, Image* out)
    : srcWidth_(srcWidth), srcHeight_(srcHeight), out_(out) {
    *out_ = Image(outWidth, outHeight);
    column_.resize(size_t(srcWidth));
    across_.assign(size_t(outWidth), 0);
    for (int x = 0; x < srcWidth; ++x) {
        column_[size_t(x)] = int(int64_t(x) * outWidth / srcWidth);
        ++across_[size_t(column_[size_t(x)])];
    }
    sums_.assign(size_t(outWidth) * 3, 0);
}

void RowReducer::AddRow(int y, const uint8_t* rgb) {
    const int outHeight = out_->height;
    const int target = int(int64_t(y) * outHeight / srcHeight_);
    if (target != rowInWork_) {
        std::fill(sums_.begin(), sums_.end(), 0);
        rowInWork_ = target;
        rowsInWork_ = 0;
    }
    for (int x = 0; x < srcWidth_; ++x) {
        uint64_t* sum = &sums_[size_t(column_[size_t(x)]) * 3];
        sum[0] += rgb[0];
        sum[1] += rgb[1];
        sum[2] += rgb[2];
        rgb += 3;
    }
    const int64_t rows =
        First(target + 1, srcHeight_, outHeight) - First(target, srcHeight_, outHeight);
    if (++rowsInWork_ < rows) return;
    uint8_t* row = out_->Row(target);
    for (size_t ox = 0; ox < across_.size(); ++ox) {
        const uint64_t count = uint64_t(across_[ox]) * uint64_t(rows);
        for (int c = 0; c < 3; ++c)
            row[ox * 3 + c] = uint8_t((sums_[ox * 3 + c] + count / 2) / count);
    }
    rowInWork_ = -1;
}

Image ScaleImage(const Image& image, int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (image.empty()) return Image(width, height);
    // Shrink what shrinks by averaging, then grow what grows by repeating pixels.
    Image reduced;
    const int w = std::min(width, image.width);
    const int h = std::min(height, image.height);
    RowReducer reducer(image.width, image.height, w, h, &reduced);
    for (int y = 0; y < image.height; ++y) reducer.AddRow(y, image.Row(y));
    if (w == width && h == height) return reduced;
    Image grown(width, height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* from = reduced.Row(int(int64_t(y) * h / height));
        uint8_t* to = grown.Row(y);
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = from + size_t(int64_t(x) * w / width) * 3;
            to[x * 3] = p[0];
            to[x * 3 + 1] = p[1];
            to[x * 3 + 2] = p[2];
        }
    }
    return grown;
}

}  // namespace odr::platform
