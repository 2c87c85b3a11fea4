// Reading a fuzzer's bytes as a stream of small values; past the end everything reads 0.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace odr::fuzz {

class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(Byte()) << (8 * i);
        return v;
    }
    // Up to `count` bytes into `out`; the rest of `out` is left as it is.
    size_t Bytes(uint8_t* out, size_t count) {
        const size_t n = std::min(count, size_ - std::min(pos_, size_));
        if (n) std::memcpy(out, data_ + pos_, n);
        pos_ += n;
        return n;
    }
    // A string of a length read first (at most `limit`).
    std::string Text(size_t limit) {
        std::string s(std::min<size_t>(Byte(), limit), '\0');
        s.resize(Bytes(reinterpret_cast<uint8_t*>(&s[0]), s.size()));
        return s;
    }
    std::string Rest() {
        const size_t from = std::min(pos_, size_);
        pos_ = size_;
        return std::string(reinterpret_cast<const char*>(data_ + from), size_ - from);
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Stops the run with a message when an invariant is broken (libFuzzer reports the abort).
void Require(bool condition, const char* what);

}  // namespace odr::fuzz
