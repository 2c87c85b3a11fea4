// Fixed-size text fields, as the driver's replies and AdapterStatus hold them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

namespace odr {

// The text of a fixed-size field, up to its first NUL and never past its end.
template <size_t N>
std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

// `text` into a fixed-size field, cut to leave room for a NUL, the rest zero-filled.
template <size_t N>
void StoreFieldText(char (&field)[N], const std::string& text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

}  // namespace odr
