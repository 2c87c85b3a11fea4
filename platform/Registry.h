// The registry subset the stored settings use, behind one interface: the Win32 registry
// (platform/win32) or the portable in-memory store (MemoryRegistry).
#pragma once

#include <cstdint>
#include <string>

namespace odr::platform {

using RegKey = uintptr_t;
constexpr RegKey kNoKey = 0;
constexpr RegKey kLocalMachine = 0x80000002;  // HKEY_LOCAL_MACHINE
constexpr RegKey kCurrentUser = 0x80000001;   // HKEY_CURRENT_USER

// Value types.
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;

// Access rights.
constexpr uint32_t kKeyQueryValue = 0x0001;
constexpr uint32_t kKeySetValue = 0x0002;
constexpr uint32_t kKeyCreateSubKey = 0x0004;
constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr uint32_t kKeyNotify = 0x0010;
constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyWrite = 0x20006;

// Results (Win32 error codes).
constexpr long kRegOk = 0;
constexpr long kRegNotFound = 2;
constexpr long kRegAccessDenied = 5;
constexpr long kRegInvalidHandle = 6;
constexpr long kRegMoreData = 234;
constexpr long kRegNoMoreItems = 259;
constexpr long kRegKeyDeleted = 1018;

struct RegKeyInfo {
    uint32_t subKeys = 0;
    uint32_t maxSubKeyLen = 0;  // characters, without the terminating zero
    uint32_t values = 0;
    uint32_t maxValueLen = 0;  // bytes
};

class Registry {
  public:
    virtual ~Registry() = default;
    virtual long OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) = 0;
    virtual long CloseKey(RegKey key) = 0;
    virtual long QueryInfoKey(RegKey key, RegKeyInfo* info) = 0;
    // Name of the subkey at `index` into `name` (capacity in bytes, with the zero).
    virtual long EnumKey(RegKey key, uint32_t index, char* name, uint32_t capacity) = 0;
    // Reads a value: *size is the buffer's capacity in, the value's length out.
    // A value longer than the buffer gives kRegMoreData and copies nothing.
    // `data` may be null to learn type and length.
    virtual long QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                            uint32_t* size) = 0;
    virtual long SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                          uint32_t size) = 0;
};

// Closes a key when it goes out of scope.
class ScopedKey {
  public:
    ScopedKey(Registry& registry, RegKey key = kNoKey) : registry_(registry), key_(key) {}
    ~ScopedKey() { Reset(); }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    RegKey get() const { return key_; }
    RegKey* out() {
        Reset();
        return &key_;
    }
    RegKey release() {
        RegKey k = key_;
        key_ = kNoKey;
        return k;
    }
    void Reset() {
        if (key_ != kNoKey) registry_.CloseKey(key_);
        key_ = kNoKey;
    }

  private:
    Registry& registry_;
    RegKey key_;
};

// Bounded value reads shared by the tool's and the monitor's settings code.

// Reads value `name` (null or "" for the default value) into `buffer` of `capacity`
// bytes. False when it is absent, unreadable or longer than the buffer; *type and *size
// are only meaningful on success.
inline bool ReadValue(Registry& registry, RegKey key, const char* name, uint8_t* buffer,
                      uint32_t capacity, uint32_t* type, uint32_t* size) {
    uint32_t t = kRegNone;
    uint32_t n = capacity;
    if (registry.QueryValue(key, name, &t, buffer, &n) != kRegOk || n > capacity) return false;
    *type = t;
    *size = n;
    return true;
}

// The text held in `size` bytes: up to the first zero, and never past `size`, so a text
// stored without its terminating zero still reads as a terminated text.
inline std::string BoundedText(const uint8_t* data, uint32_t size) {
    uint32_t n = 0;
    while (n < size && data[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(data), n);
}

// A stored decimal text: an optional sign, then the leading digits; no digits gives 0.
// Saturates at the int range instead of overflowing.
inline int DecimalTextValue(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= 2147483648LL) value = value * 10 + (text[i] - '0');
    }
    if (negative) value = -value;
    if (value > 2147483647LL) return 2147483647;
    if (value < -2147483647LL - 1) return -2147483647 - 1;
    return static_cast<int>(value);
}

}  // namespace odr::platform
