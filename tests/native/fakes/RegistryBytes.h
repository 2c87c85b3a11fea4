// Stored value bytes as a registry returns them: terminated texts and little-endian words.
#pragma once

#include <cstdint>
#include <string>

namespace odr::test {

inline std::string Sz(const std::string& text) {
    return text + std::string(1, '\0');
}

inline std::string Dword(uint32_t v) {
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                       char(v >> 24)};
}

}  // namespace odr::test
