// The .bmp reader at every depth and header, the hostile headers it refuses, its reduction of
// large plans, and the writer's round trip.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakePlatform.h"
#include "platform/Bitmap.h"

namespace odr::platform {
namespace {

constexpr Rgb kR{255, 0, 0}, kG{0, 255, 0}, kB{0, 0, 255}, kW{255, 255, 255}, kK{0, 0, 0},
    kGrey{128, 128, 128};

void Put16(std::string* s, uint32_t v) {
    s->push_back(char(v));
    s->push_back(char(v >> 8));
}
void Put32(std::string* s, uint32_t v) {
    Put16(s, v);
    Put16(s, v >> 16);
}

// A bitmap file put together field by field, so that any field can lie.
struct Bmp {
    uint32_t headerSize = 40;
    int32_t width = 3;
    int32_t height = 2;
    int bits = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    std::vector<Rgb> palette;
    std::vector<uint32_t> masks;  // written after a 40-byte header, else inside the header
    std::string pixels;
    int64_t offset = -1;  // -1: right after the palette

    std::string Bytes() const {
        std::string header;
        Put32(&header, headerSize);
        if (headerSize == 12) {
            Put16(&header, uint32_t(width));
            Put16(&header, uint32_t(height));
            Put16(&header, 1);
            Put16(&header, uint32_t(bits));
        } else {
            Put32(&header, uint32_t(width));
            Put32(&header, uint32_t(height));
            Put16(&header, 1);
            Put16(&header, uint32_t(bits));
            Put32(&header, compression);
            for (int i = 0; i < 3; ++i) Put32(&header, 0);
            Put32(&header, clrUsed);
            Put32(&header, 0);
            for (uint32_t m : masks) Put32(&header, m);
            if (headerSize <= 4096)
                header.resize(std::max<size_t>(header.size(), headerSize), '\0');
        }
        for (const Rgb& c : palette) {
            header += {char(c.b), char(c.g), char(c.r)};
            if (headerSize != 12) header += '\0';
        }
        std::string file = "BM";
        Put32(&file, uint32_t(14 + header.size() + pixels.size()));
        Put32(&file, 0);
        Put32(&file, uint32_t(offset >= 0 ? offset : int64_t(14 + header.size())));
        return file + header + pixels;
    }
};

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(char(v));
    return s;
}

Image Picture(std::initializer_list<std::initializer_list<Rgb>> rows) {
    Image image(int(rows.begin()->size()), int(rows.size()));
    int y = 0;
    for (const auto& row : rows) {
        int x = 0;
        for (const Rgb& c : row) image.Set(x++, y, c);
        ++y;
    }
    return image;
}

void ExpectSame(const Image& got, const Image& want, const std::string& what) {
    ASSERT_EQ(got.width, want.width) << what;
    ASSERT_EQ(got.height, want.height) << what;
    for (int y = 0; y < want.height; ++y) {
        for (int x = 0; x < want.width; ++x) {
            const Rgb a = got.At(x, y), b = want.At(x, y);
            EXPECT_TRUE(a == b) << what << " at " << x << "," << y << ": " << int(a.r) << " "
                                << int(a.g) << " " << int(a.b);
        }
    }
}

const std::vector<Rgb> kSix = {kR, kG, kB, kW, kK, kGrey};

// Every depth and header read as Windows shows it: top row R G B, bottom row W K grey
// (black and white, or the mask's nearest, where the depth has fewer colours).
struct DepthCase {
    const char* name;
    Bmp bmp;
    Image want;
};

std::vector<DepthCase> DepthCases() {
    const Image reference = Picture({{kR, kG, kB}, {kW, kK, kGrey}});
    std::vector<DepthCase> cases;
    Bmp b;
    b.pixels = Bytes({255, 255, 255, 0, 0,   0, 128, 128, 128, 0, 0, 0,  // bottom row, padded
                      0,   0,   255, 0, 255, 0, 255, 0,   0,   0, 0, 0});
    cases.push_back({"24-bit bottom-up", b, reference});
    Bmp v5 = b;
    v5.headerSize = 124;
    cases.push_back({"24-bit, V5 header", v5, reference});
    Bmp top = b;
    top.height = -2;
    top.pixels = b.pixels.substr(12) + b.pixels.substr(0, 12);
    cases.push_back({"24-bit top-down", top, reference});

    Bmp p8;
    p8.bits = 8;
    p8.clrUsed = 6;
    p8.palette = kSix;
    p8.pixels = Bytes({3, 4, 5, 0, 0, 1, 2, 0});
    cases.push_back({"8-bit, palette of 6", p8, reference});
    Bmp core = p8;
    core.headerSize = 12;  // a palette of 6 RGB triples, ended by the pixels' offset
    cases.push_back({"8-bit, OS/2 core header", core, reference});
    Bmp p4 = p8;
    p4.bits = 4;
    p4.pixels = Bytes({0x34, 0x50, 0, 0, 0x01, 0x20, 0, 0});
    cases.push_back({"4-bit", p4, reference});
    Bmp p1;
    p1.bits = 1;
    p1.palette = {kK, kW};
    p1.pixels = Bytes({0x40, 0, 0, 0, 0xA0, 0, 0, 0});
    cases.push_back({"1-bit", p1, Picture({{kW, kK, kW}, {kK, kW, kK}})});
    // An index past a short palette shows black.
    Bmp shortPalette = p8;
    shortPalette.clrUsed = 2;
    shortPalette.palette = {kR, kG};
    cases.push_back(
        {"8-bit, index past the palette", shortPalette, Picture({{kR, kG, kK}, {kK, kK, kK}})});

    Bmp p16;
    p16.bits = 16;
    p16.pixels = Bytes({0xff, 0x7f, 0, 0, 0, 0, 0, 0,  // white black black, padded
                        0x00, 0x7c, 0xe0, 0x03, 0x1f, 0x00, 0, 0});
    cases.push_back({"16-bit 5-5-5", p16, Picture({{kR, kG, kB}, {kW, kK, kK}})});
    Bmp p565 = p16;
    p565.compression = 3;
    p565.masks = {0xf800, 0x07e0, 0x001f};
    p565.pixels = Bytes({0xff, 0xff, 0, 0, 0, 0, 0, 0, 0x00, 0xf8, 0xe0, 0x07, 0x1f, 0x00, 0, 0});
    cases.push_back({"16-bit bit fields 5-6-5", p565, Picture({{kR, kG, kB}, {kW, kK, kK}})});
    Bmp p32;
    p32.bits = 32;
    p32.pixels = Bytes(
        {255, 255, 255, 0, 0, 0, 0, 0, 128, 128, 128, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0});
    cases.push_back({"32-bit", p32, reference});
    Bmp rgba = p32;  // red in the low byte, as some writers store it
    rgba.compression = 3;
    rgba.headerSize = 108;
    rgba.masks = {0x000000ff, 0x0000ff00, 0x00ff0000};
    rgba.pixels = Bytes(
        {255, 255, 255, 0, 0, 0, 0, 0, 128, 128, 128, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0});
    cases.push_back({"32-bit bit fields, V4 header", rgba, reference});

    Bmp rle8 = p8;  // a run per pixel below, an absolute run above
    rle8.compression = 1;
    rle8.pixels = Bytes({1, 3, 1, 4, 1, 5, 0, 0, 0, 3, 0, 1, 2, 0, 0, 1});
    cases.push_back({"RLE8", rle8, reference});
    Bmp delta = rle8;  // a jump one up and one right; skipped pixels take entry 0
    delta.pixels = Bytes({0, 2, 1, 1, 2, 5, 0, 1});
    cases.push_back({"RLE8 with a jump", delta, Picture({{kR, kGrey, kGrey}, {kR, kR, kR}})});
    Bmp rle4 = p4;
    rle4.compression = 2;
    rle4.pixels = Bytes({0, 3, 0x34, 0x50, 0, 0, 2, 0x01, 1, 0x20, 0, 1});
    cases.push_back({"RLE4", rle4, reference});
    return cases;
}

TEST(MapBitmapTest, EveryDepthAndHeaderReadsAsWindowsShowsIt) {
    for (const DepthCase& c : DepthCases()) {
        DecodedBitmap out;
        std::string error;
        ASSERT_TRUE(DecodeBitmap(c.bmp.Bytes(), 2048, &out, &error)) << c.name << ": " << error;
        EXPECT_EQ(out.originalWidth, 3) << c.name;
        EXPECT_EQ(out.originalHeight, 2) << c.name;
        ExpectSame(out.image, c.want, c.name);
    }
}

TEST(MapBitmapTest, EveryCutOfAGoodFileIsReadOrRefusedWithAMessage) {
    for (const DepthCase& c : DepthCases()) {
        const std::string bytes = c.bmp.Bytes();
        for (size_t n = 0; n < bytes.size(); ++n) {
            DecodedBitmap out;
            std::string error;
            if (DecodeBitmap(bytes.substr(0, n), 2048, &out, &error)) {
                EXPECT_EQ(out.image.width, 3) << c.name << " cut at " << n;
            } else {
                EXPECT_FALSE(error.empty()) << c.name << " cut at " << n;
            }
        }
    }
}

TEST(MapBitmapTest, LyingOrUnsupportedHeadersAreRefusedWithAMessage) {
    Bmp good;
    good.pixels = std::string(24, '\0');
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    std::vector<Case> cases = {
        {"empty", "", "not a Windows bitmap"},
        {"another format", "GIF89a" + std::string(60, '\0'), "not a Windows bitmap"},
        {"only the file header", good.Bytes().substr(0, 16), "cut short"},
    };
    auto add = [&](const char* name, Bmp b, const char* message) {
        cases.push_back({name, b.Bytes(), message});
    };
    Bmp b = good;
    b.headerSize = 20;
    add("unknown header size", b, "unknown size");
    b = good;
    b.headerSize = 0x7fffffff;
    add("huge header size", b, "unknown size");
    b = good;
    b.width = 0;
    add("zero width", b, "no pixels");
    b = good;
    b.width = -3;
    add("negative width", b, "no pixels");
    b = good;
    b.height = 0;
    add("zero height", b, "no pixels");
    b = good;
    b.width = b.height = 20000;
    add("20000 x 20000", b, "20000 x 20000 pixels: too large");
    b = good;
    b.width = b.height = 5000;
    add("5000 x 5000 in 24 bytes", b, "5000 x 5000 pixels, which need 75000000 bytes");
    b = good;
    b.width = 32767;
    b.height = 3000;
    b.bits = 32;
    add("393 MB of pixels", b, "which need 393204000 bytes");
    b = good;
    b.width = 40000;
    add("wider than the reader takes", b, "at most 32767");
    b = good;
    b.height = int32_t(0x80000000);
    add("the most negative height", b, "at most 32767");
    b = good;
    b.offset = 5000;
    add("pixels past the end", b, "past the end");
    b = good;
    b.offset = 20;
    add("pixels inside the header", b, "inside its header");
    b = good;
    b.pixels.resize(20);
    add("pixels cut short", b, "cut short");
    b = good;
    b.bits = 2;
    add("2 bits per pixel", b, "2 bits per pixel are not supported");
    b = good;
    b.compression = 4;
    add("JPEG inside", b, "compression 4");
    b = good;
    b.compression = 1;
    add("RLE8 of 24-bit pixels", b, "compression 1");
    b = good;
    b.bits = 8;
    b.compression = 1;
    b.height = -2;
    add("RLE stored top-down", b, "top-down");
    b = good;
    b.bits = 8;
    b.clrUsed = 256;
    b.pixels.clear();
    add("palette cut short", b, "cut short in its palette");
    b = good;
    b.bits = 16;
    b.compression = 3;
    b.pixels.clear();
    add("masks missing", b, "masks");
    for (const Case& c : cases) {
        DecodedBitmap out;
        std::string error;
        EXPECT_FALSE(DecodeBitmap(c.bytes, 2048, &out, &error)) << c.name;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
    }
}

TEST(MapBitmapTest, LargePlansAreReducedByAveragingWhileRead) {
    // 5000 x 10, 1 bit: columns alternate black and white.
    Bmp wide;
    wide.width = 5000;
    wide.height = 10;
    wide.bits = 1;
    wide.palette = {kK, kW};
    const size_t stride = (5000 + 31) / 32 * 4;
    for (int y = 0; y < 10; ++y)
        wide.pixels += std::string(625, char(0x55)) + std::string(stride - 625, '\0');
    DecodedBitmap out;
    std::string error;
    ASSERT_TRUE(DecodeBitmap(wide.Bytes(), 2500, &out, &error)) << error;
    EXPECT_EQ(out.originalWidth, 5000);
    EXPECT_EQ(out.originalHeight, 10);
    EXPECT_EQ(out.image.width, 2500);
    EXPECT_EQ(out.image.height, 5);
    // Each target pixel averages one black and one white column: the lines stay visible.
    EXPECT_TRUE(out.image.At(0, 0) == (Rgb{128, 128, 128}));
    EXPECT_TRUE(out.image.At(2499, 4) == (Rgb{128, 128, 128}));

    // The same mean from ScaleImage, and nearest pixels when it grows.
    const Image stripes = Picture({{kK, kW, kK, kW}});
    EXPECT_TRUE(ScaleImage(stripes, 2, 1).At(1, 0) == (Rgb{128, 128, 128}));
    const Image grown = ScaleImage(stripes, 8, 2);
    EXPECT_TRUE(grown.At(2, 1) == kW);
    EXPECT_TRUE(grown.At(7, 0) == kW);
    EXPECT_TRUE(grown.At(0, 1) == kK);
}

TEST(MapBitmapTest, WrittenBitmapsReadBackPixelForPixel) {
    for (const auto& size : std::vector<std::pair<int, int>>{{1, 1}, {3, 2}, {5, 7}, {64, 3}}) {
        Image image(size.first, size.second);
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                image.Set(x, y, Rgb{uint8_t(x * 37 + y), uint8_t(y * 91), uint8_t(x ^ y)});
            }
        }
        const std::string bytes = EncodeBitmap(image);
        EXPECT_EQ(bytes.size(), 54 + size_t((image.width * 3 + 3) / 4 * 4) * image.height);
        DecodedBitmap out;
        std::string error;
        ASSERT_TRUE(DecodeBitmap(bytes, 2048, &out, &error)) << error;
        ExpectSame(out.image, image, "round trip");
    }
}

TEST(MapBitmapTest, FilesAreReadThroughTheOsAndNamedInErrors) {
    test::FakeOs os;
    DecodedBitmap out;
    std::string error;
    EXPECT_FALSE(ReadBitmapFile(os, "C:\\plan.bmp", 2048, &out, &error));
    EXPECT_NE(error.find("C:\\plan.bmp"), std::string::npos);
    os.fileContents["C:\\plan.bmp"] = "not a bitmap";
    EXPECT_FALSE(ReadBitmapFile(os, "C:\\plan.bmp", 2048, &out, &error));
    EXPECT_EQ(error, "C:\\plan.bmp: The file is not a Windows bitmap (.bmp).");
    os.fileContents["C:\\plan.bmp"] = EncodeBitmap(Image(2, 2, kB));
    ASSERT_TRUE(ReadBitmapFile(os, "C:\\plan.bmp", 2048, &out, &error)) << error;
    EXPECT_TRUE(out.image.At(1, 1) == kB);
}

}  // namespace
}  // namespace odr::platform
