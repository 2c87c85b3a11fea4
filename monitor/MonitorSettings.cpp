// odrstat's start-up reading of "CardType" and "Station_Type". The walk is depth-first in
// enumeration order, kept on an explicit stack so a deeply nested store cannot exhaust the
// call stack.
#include "monitor/MonitorSettings.h"

#include <vector>

namespace odr::monitor {

namespace {

using namespace odr::platform;

constexpr uint32_t kLookedForBuffer = 260;
constexpr uint32_t kCardTypeBuffer = 80;
constexpr uint32_t kNumberBuffer = 4;
// Windows allows 255 characters in a key name; anything past this is not a real name.
constexpr uint32_t kMaxNameBuffer = 32768;

struct Frame {
    RegKey key;
    bool owned;
    uint32_t subKeys;
    uint32_t nameBuffer;
    uint32_t next = 0;
};

class Walk {
  public:
    Walk(Registry& registry, bool win95) : registry_(registry), win95_(win95) {}
    ~Walk() {
        while (!stack_.empty()) Pop();
    }

    // Walks from `start`, which stays the caller's. Returns the matching key (the caller
    // owns it unless it is `start`), or kNoKey.
    RegKey Run(RegKey start) {
        if (Examine(start)) return start;
        if (!Push(start, false)) return kNoKey;
        while (!stack_.empty()) {
            Frame& top = stack_.back();
            if (top.next >= top.subKeys) {
                Pop();
                continue;
            }
            name_.assign(top.nameBuffer, '\0');
            RegKey child = kNoKey;
            if (registry_.EnumKey(top.key, top.next++, name_.data(), top.nameBuffer) != kRegOk ||
                registry_.OpenKey(top.key, name_.data(), kKeyRead, &child) != kRegOk) {
                Pop();  // this key's remaining subkeys are not examined
                continue;
            }
            if (Examine(child)) return child;
            if (!Push(child, true)) registry_.CloseKey(child);
        }
        return kNoKey;
    }

  private:
    // Applies the key's values to the walk; true when the key matches.
    bool Examine(RegKey key) {
        if (registry_.QueryInfoKey(key, &info_) != kRegOk) {
            info_ = RegKeyInfo{};
            infoOk_ = false;
            return false;
        }
        infoOk_ = true;
        if (info_.values == 0) return false;
        uint8_t data[kLookedForBuffer];
        uint32_t type = 0, size = 0;
        if (!ReadValue(registry_, key, lookedFor_, data, sizeof data, &type, &size)) return false;
        std::string text = BoundedText(data, size);
        if (win95_) return text == "odrwin95.sys";
        if (foundMaster_) return true;
        if (text.find("MASTER") != std::string::npos) {
            foundMaster_ = true;
            lookedFor_ = "Master_Name";
        }
        return false;
    }
    // Pushes the key just examined, unless its information could not be read.
    bool Push(RegKey key, bool owned) {
        if (!infoOk_) return false;
        uint32_t buffer =
            info_.maxSubKeyLen < kMaxNameBuffer ? info_.maxSubKeyLen + 1 : kMaxNameBuffer;
        stack_.push_back(Frame{key, owned, info_.subKeys, buffer});
        return true;
    }
    void Pop() {
        if (stack_.back().owned) registry_.CloseKey(stack_.back().key);
        stack_.pop_back();
    }

    Registry& registry_;
    bool win95_;
    const char* lookedFor_ = "DeviceVxDs";
    bool foundMaster_ = false;
    RegKeyInfo info_;
    bool infoOk_ = false;
    std::vector<Frame> stack_;
    std::vector<char> name_;
};

}  // namespace

StoredSettings ReadStoredSettings(Registry& registry, OsVersion version) {
    StoredSettings settings;
    ScopedKey system(registry);
    if (registry.OpenKey(kLocalMachine, "System", kKeyRead, system.out()) != kRegOk) {
        return settings;
    }
    RegKey found = kNoKey;
    {
        Walk walk(registry, version.IsWin95Layout());
        found = walk.Run(system.get());
    }
    if (found == kNoKey) return settings;
    ScopedKey owned(registry, found == system.get() ? kNoKey : found);

    uint8_t data[kCardTypeBuffer];
    uint32_t type = 0, size = 0;
    if (ReadValue(registry, found, "CardType", data, kCardTypeBuffer, &type, &size)) {
        settings.pcCard = BoundedText(data, size) == "PCMCIA";
    }
    if (ReadValue(registry, found, "Station_Type", data, kNumberBuffer, &type, &size)) {
        settings.stationType = DecimalTextValue(BoundedText(data, size));
    }
    return settings;
}

}  // namespace odr::monitor
