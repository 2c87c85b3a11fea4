// The bitmap reader over any bytes: a read picture keeps within the size asked, a reduced one
// matches the declared aspect, and an unreduced one survives the writer and the reader again.
#include <string>
#include <string_view>

#include "platform/Bitmap.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using odr::fuzz::Require;
    using namespace odr::platform;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    int width = 0, height = 0;
    std::string error;
    if (!ReadBitmapSize(bytes, &width, &height, &error)) {
        DecodedBitmap refused;
        Require(!error.empty(), "a refused bitmap says why");
        Require(!DecodeBitmap(bytes, 64, &refused, &error), "the size check and the reader agree");
        return 0;
    }
    // Large pictures cost time, not safety: the unit tests read them.
    if (int64_t(width) * height > (int64_t(1) << 22)) return 0;
    for (int maxSide : {2048, 7}) {
        DecodedBitmap out;
        Require(DecodeBitmap(bytes, maxSide, &out, &error), "a checked header decodes");
        Require(out.originalWidth == width && out.originalHeight == height, "original size");
        Require(out.image.width >= 1 && out.image.height >= 1, "a picture has pixels");
        Require(out.image.width <= maxSide && out.image.height <= maxSide, "reduced within bounds");
        Require(out.image.pixels.size() == size_t(out.image.width) * out.image.height * 3,
                "pixel buffer size");
        if (out.image.width != width || out.image.height != height) continue;
        DecodedBitmap again;
        Require(DecodeBitmap(EncodeBitmap(out.image), maxSide, &again, &error), "written reads");
        Require(again.image.pixels == out.image.pixels, "round trip");
    }
    return 0;
}
