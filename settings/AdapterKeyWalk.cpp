// The walk that finds the adapter's key below the store's root, and the remembered path that
// spares a full walk when the key is still where it was.
#include "settings/AdapterSettings.h"

namespace odr::settings {

using namespace odr::platform;

namespace {

constexpr uint32_t kLookedForBuffer = 260;
// Windows allows 255 characters in a key name; anything past this is not a real name.
constexpr uint32_t kMaxNameBuffer = 32768;

}  // namespace

void AdapterSettings::SetStoreRoot(RegKey root, const std::string& path) {
    root_ = root;
    rootPath_ = path;
    remembered_.clear();
}

void AdapterSettings::SetRememberFoundKey(bool remember) {
    remember_ = remember;
    if (!remember) remembered_.clear();
}

bool AdapterSettings::Win95Layout() {
    return os_.GetVersion().IsWin95Layout();
}

bool AdapterSettings::OpenRoot(uint32_t access, ScopedKey* key) {
    return registry_.OpenKey(root_, rootPath_.c_str(), access, key->out()) == kRegOk;
}

void AdapterSettings::ClearMarks() {
    SetMarks(Marks{});
}

AdapterSettings::Marks AdapterSettings::CurrentMarks() const {
    return Marks{insideDriverParameters != 0, seenControlSet != 0, seenDriverKey != 0, switched_};
}

void AdapterSettings::SetMarks(const Marks& marks) {
    insideDriverParameters = marks.inside;
    seenControlSet = marks.controlSet;
    seenDriverKey = marks.driverKey;
    switched_ = marks.switched;
}

void AdapterSettings::CloseFoundKey() {
    if (foundKey != kNoKey) registry_.CloseKey(foundKey);
    foundKey = kNoKey;
}

void AdapterSettings::ApplyNameMarks(const std::string& name) {
    if (name == "CurrentControlSet") seenControlSet = 1;
    if (name.compare(0, 8, "odrwinnt") == 0 && name.size() >= 8) seenDriverKey = 1;
    if (name == "Parameters" && seenDriverKey) insideDriverParameters = 1;
}

// Steps 1 and 2 of the walk for one key.
AdapterSettings::Verdict AdapterSettings::Examine(RegKey key, const char* valueName, bool win95,
                                                  RegKeyInfo* info) {
    if (registry_.QueryInfoKey(key, info) != kRegOk) return Verdict::NoInfo;
    if (info->values == 0) return Verdict::NoMatch;
    uint8_t data[kLookedForBuffer];
    uint32_t type = 0, size = 0;
    const char* lookedFor = switched_ ? kMasterNameValue : valueName;
    if (!ReadValue(registry_, key, lookedFor, data, sizeof data, &type, &size) || !seenControlSet) {
        return Verdict::NoMatch;
    }
    std::string text = BoundedText(data, size);
    if (win95) {
        uint16_t kind = driverKind_ ? driverKind_() : 0;
        const bool any = kind == kNoDriverKind;
        if ((kind == 0 || any) && text == kOwnDriverFile) return Verdict::Match;
        if ((kind == 1 || any) && text == kFallbackDriverFile) return Verdict::Match;
        return Verdict::NoMatch;
    }
    if (insideDriverParameters) return Verdict::Match;
    if (text.find("MASTER") != std::string::npos) {
        insideDriverParameters = 1;
        switched_ = true;
    }
    return Verdict::NoMatch;
}

int AdapterSettings::FindAdapterKey(RegKey start, const char* valueName, uint32_t access) {
    return Walk(start, valueName, access, Win95Layout());
}

// The walk keeps its own stack of open keys instead of recursing, so a hostile store of any
// depth cannot exhaust the call stack; the order of examination and the marks are those of
// the recursive walk.
int AdapterSettings::Walk(RegKey start, const char* valueName, uint32_t access, bool win95) {
    CloseFoundKey();
    ++walkCounts_.fullWalks;
    struct Frame {
        RegKey key;
        uint32_t subKeys;
        uint32_t nameBuffer;
        uint32_t next;
        Level level;
    };
    std::vector<Frame> stack;
    auto closeAll = [&] {
        for (size_t i = 1; i < stack.size(); ++i) registry_.CloseKey(stack[i].key);
        stack.clear();
    };
    auto remember = [&](const Level& last) {
        if (!remember_) return;
        Remembered r{valueName, win95, static_cast<uint16_t>(driverKind_ ? driverKind_() : 0), {}};
        for (const Frame& frame : stack) r.path.push_back(frame.level);
        r.path.push_back(last);
        remembered_[access] = std::move(r);
    };
    remembered_.erase(access);

    Marks before = CurrentMarks();
    RegKeyInfo info;
    Verdict verdict = Examine(start, valueName, win95, &info);
    if (verdict == Verdict::NoInfo) return 0;
    if (verdict == Verdict::Match) {
        // The caller keeps `start`; the record gets a handle of its own.
        if (registry_.OpenKey(start, "", access, &foundKey) != kRegOk) return 0;
        remember(Level{"", before, CurrentMarks()});
        return 1;
    }

    std::vector<char> name;
    auto push = [&](RegKey key, const RegKeyInfo& keyInfo, Level level) {
        uint32_t buffer =
            keyInfo.maxSubKeyLen < kMaxNameBuffer ? keyInfo.maxSubKeyLen + 1 : kMaxNameBuffer;
        stack.push_back(Frame{key, keyInfo.subKeys, buffer, 0, std::move(level)});
    };
    push(start, info, Level{"", before, CurrentMarks()});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next >= top.subKeys) {
            if (stack.size() > 1) registry_.CloseKey(top.key);
            stack.pop_back();
            continue;
        }
        name.assign(top.nameBuffer, '\0');
        if (registry_.EnumKey(top.key, top.next++, name.data(), top.nameBuffer) != kRegOk) {
            // Stop examining this key; its parent goes on with its next subkey.
            if (stack.size() > 1) registry_.CloseKey(top.key);
            stack.pop_back();
            continue;
        }
        std::string childName(name.data());
        // A name that reads as empty (one beginning with a NUL) would open this key itself
        // again, and the walk would never end.
        if (childName.empty()) continue;
        ApplyNameMarks(childName);
        RegKey child = kNoKey;
        if (registry_.OpenKey(top.key, childName.c_str(), access, &child) != kRegOk) continue;
        Level level{childName, CurrentMarks(), {}};
        verdict = Examine(child, valueName, win95, &info);
        level.after = CurrentMarks();
        if (verdict == Verdict::Match) {
            foundKey = child;
            remember(level);
            closeAll();
            return 1;
        }
        if (verdict == Verdict::NoInfo) {
            registry_.CloseKey(child);
            continue;
        }
        push(child, info, std::move(level));
    }
    return 0;
}

// Replays the remembered path: every key on it must still open with the walk's access and,
// reached with the marks the walk had there, give the same verdict; the last must match.
bool AdapterSettings::Confirm(RegKey start, const Remembered& remembered, uint32_t access) {
    if (remembered.path.empty() || !(remembered.path.front().before == CurrentMarks())) {
        return false;
    }
    ScopedKey current(registry_);
    RegKey key = start;
    const size_t last = remembered.path.size() - 1;
    for (size_t i = 0; i <= last; ++i) {
        const Level& level = remembered.path[i];
        if (i > 0) {
            RegKey child = kNoKey;
            if (registry_.OpenKey(key, level.name.c_str(), access, &child) != kRegOk) {
                return false;
            }
            *current.out() = child;
            key = child;
        }
        SetMarks(level.before);
        RegKeyInfo info;
        Verdict verdict = Examine(key, remembered.valueName.c_str(), remembered.win95, &info);
        if (i < last) {
            if (verdict != Verdict::NoMatch || !(CurrentMarks() == level.after)) return false;
            continue;
        }
        if (verdict != Verdict::Match) return false;
    }
    if (last == 0) return registry_.OpenKey(start, "", access, &foundKey) == kRegOk;
    foundKey = current.release();
    return true;
}

// Finds the adapter's key from `start` with cleared marks, through the remembered key when
// it still answers the walk's test.
int AdapterSettings::Locate(RegKey start, const char* valueName, uint32_t access) {
    bool win95 = Win95Layout();
    ClearMarks();
    CloseFoundKey();
    auto it = remembered_.find(access);
    if (remember_ && it != remembered_.end() && it->second.valueName == valueName &&
        it->second.win95 == win95 &&
        (!win95 || it->second.kind == (driverKind_ ? driverKind_() : 0))) {
        if (Confirm(start, it->second, access)) {
            ++walkCounts_.confirmedKeys;
            return 1;
        }
        ClearMarks();
    }
    return Walk(start, valueName, access, win95);
}

}  // namespace odr::settings
