// Reading a floor plan's bitmap header.
#include "sim/FloorPlan.h"

#include <cstdint>

namespace odr::sim {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;

uint32_t U16(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8;
}

uint32_t U32(const std::string& b, size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}

bool Refuse(std::string* problem, const std::string& text) {
    if (problem) *problem = text;
    return false;
}

}  // namespace

bool PlanSize(const std::string& bytes, int* widthPx, int* heightPx, std::string* problem) {
    if (bytes.size() < kFileHeaderSize + kCoreHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        return Refuse(problem, "not a bitmap");
    const uint32_t pixelsAt = U32(bytes, 10);
    const uint32_t headerSize = U32(bytes, kFileHeaderSize);
    const bool core = headerSize == kCoreHeaderSize;
    if (!core && headerSize < kInfoHeaderSize)
        return Refuse(problem, "unknown bitmap header (" + std::to_string(headerSize) + " bytes)");
    if (uint64_t(kFileHeaderSize) + headerSize > bytes.size())
        return Refuse(problem, "the bitmap is cut short");
    const size_t at = kFileHeaderSize + 4;
    int64_t width, height;
    uint32_t planes, bits, compression = kRgb;
    if (core) {
        width = U16(bytes, at);
        height = U16(bytes, at + 2);
        planes = U16(bytes, at + 4);
        bits = U16(bytes, at + 6);
    } else {
        width = int32_t(U32(bytes, at));
        height = int32_t(U32(bytes, at + 4));  // negative: rows from the top down
        planes = U16(bytes, at + 8);
        bits = U16(bytes, at + 10);
        compression = U32(bytes, at + 12);
    }
    if (height < 0) height = -height;
    if (planes != 1) return Refuse(problem, "not a bitmap (planes " + std::to_string(planes) + ")");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Refuse(problem, std::to_string(bits) + " bits a pixel (1, 4, 8, 16, 24 or 32)");
    if (compression != kRgb && !(compression == kBitFields && (bits == 16 || bits == 32)))
        return Refuse(problem, "a compressed bitmap (only uncompressed ones are read)");
    if (width < 1 || height < 1 || width > kMaxPlanPixels || height > kMaxPlanPixels)
        return Refuse(problem, std::to_string(width) + " by " + std::to_string(height) +
                                   " pixels (1 to " + std::to_string(kMaxPlanPixels) + " a side)");
    const uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
    if (pixelsAt < kFileHeaderSize + headerSize ||
        uint64_t(pixelsAt) + stride * uint64_t(height) > bytes.size())
        return Refuse(problem, "the bitmap is cut short");
    *widthPx = int(width);
    *heightPx = int(height);
    return true;
}

}  // namespace odr::sim
