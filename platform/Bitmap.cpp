// The .bmp reader and writer. Every offset and size read from the file is checked against
// the bytes there are before it is used; sizes are computed in 64 bits.
#include "platform/Bitmap.h"

#include <algorithm>
#include <vector>

#include "platform/SafeFile.h"

namespace odr::platform {
namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;
constexpr size_t kFileHeader = 14;
constexpr size_t kCoreHeader = 12;
constexpr size_t kInfoHeader = 40;
constexpr size_t kMaxHeader = 4096;

uint32_t U16(std::string_view b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8;
}
uint32_t U32(std::string_view b, size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}

void Put16(std::string* out, uint32_t v) {
    out->push_back(char(v & 0xff));
    out->push_back(char((v >> 8) & 0xff));
}
void Put32(std::string* out, uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

// One colour channel of a 16- or 32-bit pixel, from its mask.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t top = 0;  // the largest value the mask holds
    explicit Channel(uint32_t m = 0) : mask(m) {
        if (!mask) return;
        while (!((mask >> shift) & 1)) ++shift;
        top = mask >> shift;
    }
    uint8_t Of(uint32_t pixel) const {
        return top ? uint8_t(uint64_t((pixel & mask) >> shift) * 255 / top) : 0;
    }
};

struct Layout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bits = 0;
    uint32_t compression = kRgb;
    std::vector<Rgb> palette;  // 2^bits entries for indexed pixels; missing ones black
    Channel channels[3];
    size_t pixels = 0;  // offset of the pixel data
};

bool Fail(std::string* error, const std::string& text) {
    *error = text;
    return false;
}

std::string Num(uint64_t v) {
    return std::to_string(v);
}

bool ReadLayout(std::string_view b, Layout* l, std::string* error) {
    if (b.size() < 2 || b[0] != 'B' || b[1] != 'M') {
        return Fail(error, "The file is not a Windows bitmap (.bmp).");
    }
    if (b.size() < kFileHeader + 4)
        return Fail(error, "The bitmap file is cut short in its header.");
    const uint32_t headerSize = U32(b, kFileHeader);
    const bool core = headerSize == kCoreHeader;
    if (!core && (headerSize < kInfoHeader || headerSize > kMaxHeader)) {
        return Fail(error, "The bitmap's header has an unknown size (" + Num(headerSize) +
                               " bytes): it is not a bitmap this program can read.");
    }
    if (b.size() < kFileHeader + headerSize) {
        return Fail(error, "The bitmap file is cut short in its header.");
    }
    int64_t width, height;
    uint32_t clrUsed = 0;
    if (core) {
        width = U16(b, 18);
        height = U16(b, 20);
        l->bits = int(U16(b, 24));
    } else {
        width = int32_t(U32(b, 18));
        height = int32_t(U32(b, 22));
        l->bits = int(U16(b, 28));
        l->compression = U32(b, 30);
        clrUsed = U32(b, 46);
    }
    if (width <= 0 || height == 0) {
        return Fail(error, "The bitmap declares no pixels (" + std::to_string(width) + " x " +
                               std::to_string(height) + ").");
    }
    l->topDown = height < 0;
    height = height < 0 ? -height : height;
    if (width > kMaxBitmapSide || height > kMaxBitmapSide) {
        return Fail(error, "The bitmap is " + Num(width) + " x " + Num(height) +
                               " pixels; at most " + Num(kMaxBitmapSide) +
                               " pixels on a side can be read.");
    }
    if (width * height > kMaxBitmapPixels) {
        return Fail(error, "The bitmap is " + Num(width) + " x " + Num(height) +
                               " pixels: too large for a plan (at most " +
                               Num(kMaxBitmapPixels / 1000000) + " million pixels).");
    }
    l->width = int(width);
    l->height = int(height);
    const int bits = l->bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return Fail(error,
                    "Bitmaps of " + Num(uint32_t(bits)) + " bits per pixel are not supported.");
    }
    const uint32_t c = l->compression;
    const bool fits = (c == kRgb) || (c == kRle8 && bits == 8) || (c == kRle4 && bits == 4) ||
                      (c == kBitFields && (bits == 16 || bits == 32));
    if (!fits) {
        return Fail(error, "Compressed bitmaps of this kind (compression " + Num(c) + ", " +
                               Num(uint32_t(bits)) + " bits per pixel) are not supported.");
    }
    if ((c == kRle8 || c == kRle4) && l->topDown) {
        return Fail(error, "The bitmap is compressed and stored top-down, which is not valid.");
    }

    size_t palette = kFileHeader + headerSize;
    if (c == kBitFields) {
        // The three masks follow a 40-byte header and lie inside the larger ones.
        if (headerSize == kInfoHeader) palette += 12;
        if (b.size() < kFileHeader + kInfoHeader + 12) {
            return Fail(error, "The bitmap file is cut short in its colour masks.");
        }
        for (int i = 0; i < 3; ++i)
            l->channels[i] = Channel(U32(b, kFileHeader + kInfoHeader + 4 * i));
    } else if (bits == 16) {
        l->channels[0] = Channel(0x7c00);
        l->channels[1] = Channel(0x03e0);
        l->channels[2] = Channel(0x001f);
    } else if (bits == 32) {
        l->channels[0] = Channel(0xff0000);
        l->channels[1] = Channel(0x00ff00);
        l->channels[2] = Channel(0x0000ff);
    }

    const uint32_t offset = U32(b, 10);
    const size_t entry = core ? 3 : 4;
    size_t entries = 0;
    if (bits <= 8) {
        const size_t full = size_t(1) << bits;
        entries = (clrUsed == 0 || clrUsed > full) ? full : clrUsed;
        // A palette shorter than declared ends where the pixels begin.
        if (offset > palette) entries = std::min<size_t>(entries, (offset - palette) / entry);
        if (palette + entries * entry > b.size()) {
            return Fail(error, "The bitmap file is cut short in its palette.");
        }
        l->palette.assign(full, Rgb{});
        for (size_t i = 0; i < entries; ++i) {
            const size_t at = palette + i * entry;
            l->palette[i] = Rgb{uint8_t(b[at + 2]), uint8_t(b[at + 1]), uint8_t(b[at])};
        }
    }
    l->pixels = offset == 0 ? palette + entries * entry : offset;
    if (offset != 0 && offset < palette) {
        return Fail(error, "The bitmap's pixel data would begin inside its header.");
    }
    if (l->pixels >= b.size()) {
        return Fail(error, "The bitmap's pixel data would begin past the end of the file.");
    }
    if (c == kRgb || c == kBitFields) {
        const uint64_t stride = (uint64_t(l->width) * uint64_t(bits) + 31) / 32 * 4;
        const uint64_t need =
            stride * uint64_t(l->height - 1) + (uint64_t(l->width) * bits + 7) / 8;
        const uint64_t have = b.size() - l->pixels;
        if (need > have) {
            return Fail(error, "The bitmap declares " + Num(uint64_t(l->width)) + " x " +
                                   Num(uint64_t(l->height)) + " pixels, which need " + Num(need) +
                                   " bytes, but the file holds only " + Num(have) +
                                   ": it is damaged or cut short.");
        }
    }
    return true;
}

// One uncompressed row into RGB triples.
void DecodeRow(const uint8_t* src, const Layout& l, uint8_t* rgb) {
    for (int x = 0; x < l.width; ++x, rgb += 3) {
        Rgb p;
        switch (l.bits) {
            case 1:
            case 4:
            case 8: {
                const int perByte = 8 / l.bits;
                const int shift = 8 - l.bits * (x % perByte + 1);
                p = l.palette[(src[x / perByte] >> shift) & ((1 << l.bits) - 1)];
                break;
            }
            case 24:
                p = Rgb{src[x * 3 + 2], src[x * 3 + 1], src[x * 3]};
                break;
            default: {
                const uint8_t* s = src + size_t(x) * size_t(l.bits / 8);
                uint32_t v = uint32_t(s[0]) | uint32_t(s[1]) << 8;
                if (l.bits == 32) v |= uint32_t(s[2]) << 16 | uint32_t(s[3]) << 24;
                p = Rgb{l.channels[0].Of(v), l.channels[1].Of(v), l.channels[2].Of(v)};
            }
        }
        rgb[0] = p.r;
        rgb[1] = p.g;
        rgb[2] = p.b;
    }
}

void DecodeUncompressed(std::string_view b, const Layout& l, RowReducer* reducer) {
    const size_t stride = (size_t(l.width) * size_t(l.bits) + 31) / 32 * 4;
    std::vector<uint8_t> rgb(size_t(l.width) * 3);
    const uint8_t* data = reinterpret_cast<const uint8_t*>(b.data()) + l.pixels;
    for (int i = 0; i < l.height; ++i) {
        DecodeRow(data + size_t(i) * stride, l, rgb.data());
        reducer->AddRow(l.topDown ? i : l.height - 1 - i, rgb.data());
    }
}

// RLE8 and RLE4, bottom-up. Pixels the codes skip take palette entry 0; a stream that ends
// early leaves the rest of the picture so too. Runs past the row's end are cut off.
void DecodeRunLengths(std::string_view b, const Layout& l, RowReducer* reducer) {
    const bool rle8 = l.compression == kRle8;
    std::vector<uint8_t> index(size_t(l.width), 0);
    std::vector<uint8_t> rgb(size_t(l.width) * 3);
    int row = 0;  // in file order: 0 is the bottom row
    int x = 0;
    auto emit = [&] {
        if (row >= l.height) return;
        for (int i = 0; i < l.width; ++i) {
            const Rgb& p = l.palette[index[size_t(i)]];
            rgb[size_t(i) * 3] = p.r;
            rgb[size_t(i) * 3 + 1] = p.g;
            rgb[size_t(i) * 3 + 2] = p.b;
        }
        reducer->AddRow(l.height - 1 - row, rgb.data());
        ++row;
        std::fill(index.begin(), index.end(), 0);
    };
    auto put = [&](int i, uint8_t value) {
        const uint8_t v = rle8 ? value : (i % 2 == 0 ? value >> 4 : value & 15);
        if (x < l.width) index[size_t(x)] = v;
        if (x < l.width) ++x;
    };
    const auto at = [&](size_t i) { return uint8_t(b[i]); };
    size_t pos = l.pixels;
    while (row < l.height && pos + 2 <= b.size()) {
        const int count = at(pos);
        const uint8_t code = at(pos + 1);
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count && x < l.width; ++i) put(i, code);
        } else if (code == 0) {
            emit();
            x = 0;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (pos + 2 > b.size()) break;
            const int dx = at(pos);
            const int dy = at(pos + 1);
            pos += 2;
            for (int i = 0; i < dy && row < l.height; ++i) emit();
            x = std::min(x + dx, l.width);
        } else {
            const size_t bytes = rle8 ? code : (code + 1u) / 2;
            if (pos + bytes > b.size()) break;
            for (int i = 0; i < code && x < l.width; ++i) put(i, at(pos + (rle8 ? i : i / 2)));
            pos += (bytes + 1) & ~size_t(1);
        }
    }
    while (row < l.height) emit();
}

}  // namespace

bool DecodeBitmap(std::string_view bytes, int maxSide, DecodedBitmap* out, std::string* error) {
    Layout layout;
    if (!ReadLayout(bytes, &layout, error)) return false;
    int width, height;
    FitWithin(layout.width, layout.height, std::clamp(maxSide, 1, 8192), &width, &height);
    out->originalWidth = layout.width;
    out->originalHeight = layout.height;
    RowReducer reducer(layout.width, layout.height, width, height, &out->image);
    if (layout.compression == kRle8 || layout.compression == kRle4) {
        DecodeRunLengths(bytes, layout, &reducer);
    } else {
        DecodeUncompressed(bytes, layout, &reducer);
    }
    return true;
}

bool ReadBitmapSize(std::string_view bytes, int* width, int* height, std::string* error) {
    Layout layout;
    if (!ReadLayout(bytes, &layout, error)) return false;
    *width = layout.width;
    *height = layout.height;
    return true;
}

std::string EncodeBitmap(const Image& image) {
    if (image.empty()) return std::string();
    const uint32_t stride = (uint32_t(image.width) * 3 + 3) & ~3u;
    const uint32_t data = stride * uint32_t(image.height);
    std::string out;
    out.reserve(54 + data);
    out += "BM";
    Put32(&out, 54 + data);
    Put32(&out, 0);
    Put32(&out, 54);
    Put32(&out, 40);
    Put32(&out, uint32_t(image.width));
    Put32(&out, uint32_t(image.height));
    Put16(&out, 1);
    Put16(&out, 24);
    Put32(&out, kRgb);
    Put32(&out, data);
    Put32(&out, 2835);  // 72 dots per inch
    Put32(&out, 2835);
    Put32(&out, 0);
    Put32(&out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* p = image.Row(y);
        for (int x = 0; x < image.width; ++x, p += 3) {
            out.push_back(char(p[2]));
            out.push_back(char(p[1]));
            out.push_back(char(p[0]));
        }
        out.append(stride - uint32_t(image.width) * 3, '\0');
    }
    return out;
}

bool ReadBitmapFile(Os& os, const std::string& path, int maxSide, DecodedBitmap* out,
                    std::string* error) {
    std::string bytes;
    if (!ReadFileCapped(os, path, kMaxBitmapFileBytes, &bytes, error)) return false;
    if (DecodeBitmap(bytes, maxSide, out, error)) return true;
    *error = path + ": " + *error;
    return false;
}

}  // namespace odr::platform
