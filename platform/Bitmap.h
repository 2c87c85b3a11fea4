// Windows .bmp files: the reader takes what Windows 95 displays (a BITMAPINFOHEADER, the
// OS/2 core header or the larger V4/V5 headers; 1, 4, 8, 16, 24 and 32 bits per pixel;
// uncompressed, bit fields, RLE4 and RLE8; bottom-up or top-down; short palettes) and
// reduces a large plan while it reads. The writer makes 24-bit bottom-up uncompressed files.
// Broken or hostile bytes give a message, never a crash or a large allocation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Image.h"

namespace odr::platform {

class Os;

// Bitmap files larger than this are refused before they are read.
constexpr uint64_t kMaxBitmapFileBytes = 64u << 20;
// Neither side of a bitmap may exceed this many pixels.
constexpr int kMaxBitmapSide = 32767;
// Nor may it hold more pixels than this (a plan of 10000 x 10000).
constexpr int64_t kMaxBitmapPixels = 100000000;
// A plan is reduced while it is read so that neither side exceeds this.
constexpr int kPlanMaxSide = 2048;

struct DecodedBitmap {
    Image image;            // at most maxSide on either side
    int originalWidth = 0;  // the size the file declares
    int originalHeight = 0;
};

// Decodes the bytes of a .bmp file, reduced by area averaging to at most `maxSide` pixels
// on either side (1 to 8192). False with `*error` set when the bytes are not a bitmap this
// reader takes.
bool DecodeBitmap(std::string_view bytes, int maxSide, DecodedBitmap* out, std::string* error);

// The size the bitmap's header declares, checked as DecodeBitmap checks it, without reading
// the pixels.
bool ReadBitmapSize(std::string_view bytes, int* width, int* height, std::string* error);

// The bytes of a 24-bit, bottom-up, uncompressed .bmp file of `image`.
std::string EncodeBitmap(const Image& image);

// Reads and decodes the bitmap file at `path` through `os`; files larger than
// kMaxBitmapFileBytes are refused unread. `*error` names the file.
bool ReadBitmapFile(Os& os, const std::string& path, int maxSide, DecodedBitmap* out,
                    std::string* error);

}  // namespace odr::platform
