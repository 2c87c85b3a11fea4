// The stored adapter settings record: its initial values, and its reading from and writing to
// the adapter's key once the walk has found it.
#include "settings/AdapterSettings.h"

#include <cstdio>
#include <cstring>

#include "platform/Format.h"

namespace odr::settings {

using namespace odr::platform;

namespace {

constexpr uint32_t kTextBuffer = 80;  // "CardType", "Master_Name", the numeric write buffer
constexpr uint32_t kNumberBuffer = 4;

constexpr char kParamsPath[] = "Ndi\\params\\";

bool IsText(uint32_t type) {
    return type == kRegSz || type == kRegExpandSz;
}

int LittleEndian(const uint8_t* data) {
    uint32_t v = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                 uint32_t(data[3]) << 24;
    return static_cast<int>(v);
}

// Reads a value stored as a number, with the 4-byte buffer. A longer value counts as absent,
// except a text whose digits fit the buffer and which is only padded with zeros, as this code
// itself writes "Channel" and the other 5-byte texts.
bool ReadNumberValue(Registry& registry, RegKey key, const char* name, uint32_t* type,
                     uint8_t (&data)[kNumberBuffer], uint32_t* size) {
    std::memset(data, 0, sizeof data);
    if (ReadValue(registry, key, name, data, kNumberBuffer, type, size)) return true;
    uint8_t text[kTextBuffer];
    uint32_t textType = 0, textSize = 0;
    if (!ReadValue(registry, key, name, text, kTextBuffer, &textType, &textSize) ||
        textType != kRegSz) {
        return false;
    }
    std::string digits = BoundedText(text, textSize);
    if (digits.size() > kNumberBuffer) return false;
    std::memcpy(data, digits.data(), digits.size());
    *type = textType;
    *size = static_cast<uint32_t>(digits.size());
    return true;
}

enum class Number { Absent, Read, OtherType };

Number ReadNumber(Registry& registry, RegKey key, const char* name, int* value) {
    uint8_t data[kNumberBuffer];
    uint32_t type = 0, size = 0;
    if (!ReadNumberValue(registry, key, name, &type, data, &size)) return Number::Absent;
    if (type == kRegSz) {
        *value = DecimalTextValue(BoundedText(data, size));
        return Number::Read;
    }
    if (type == kRegDword) {
        *value = LittleEndian(data);  // a shorter DWORD reads as zero-extended
        return Number::Read;
    }
    return Number::OtherType;
}

}  // namespace

AdapterSettings::AdapterSettings(Registry& registry, Os& os, std::function<uint16_t()> driverKind)
    : registry_(registry), os_(os), driverKind_(std::move(driverKind)) {}

AdapterSettings::~AdapterSettings() {
    CloseFoundKey();
}

void AdapterSettings::ResetSettings() {
    macOptimize = 2;
    masterCapable = 0;
    stationType = 0;
    pcCard = 0;
    masterName = "MASTER";
    channel = 1;
    subchannel = 1;
    domain = 1;
    roamConfig = 1;
    inactivitySeconds = 6;
    inactivityMinutes = 0;
    peerToPeer = 1;
    radioMode = kRadioModeNone;
}

void AdapterSettings::SetMasterName(const std::string& name) {
    masterName = name;
}

void AdapterSettings::LoadSettings() {
    ResetSettings();
    ScopedKey system(registry_);
    if (!OpenRoot(kLoadAccess, &system)) return;
    const char* lookedFor = Win95Layout() ? kDeviceVxDsValue : kMasterNameValue;
    if (!Locate(system.get(), lookedFor, kLoadAccess)) return;

    uint8_t text[kTextBuffer];
    uint32_t type = 0, size = 0;
    if (ReadValue(registry_, foundKey, "CardType", text, sizeof text, &type, &size)) {
        if (type == kRegSz) {
            std::string cardType = BoundedText(text, size);
            pcCard = cardType == "PCMCIA" || cardType == "2";
        } else if (type == kRegDword) {
            uint8_t dword[4] = {0, 0, 0, 0};
            std::memcpy(dword, text, size < 4 ? size : 4);
            pcCard = LittleEndian(dword) != 0;
        }
    }
    int value = 0;
    if (ReadNumber(registry_, foundKey, "Station_Type", &value) == Number::Read) {
        stationType = value;
        masterCapable = value != 0;
    }
    if (ReadValue(registry_, foundKey, kMasterNameValue, text, sizeof text, &type, &size) &&
        IsText(type)) {
        masterName = BoundedText(text, size);
    }
    struct {
        const char* name;
        int* field;
    } numbers[] = {{"Channel", &channel},
                   {"Subchannel", &subchannel},
                   {"Domain", &domain},
                   {"Mac_Optimize", &macOptimize},
                   {"Roam_Config", &roamConfig}};
    for (const auto& n : numbers) {
        if (ReadNumber(registry_, foundKey, n.name, &value) == Number::Read) *n.field = value;
    }
    struct {
        const char* name;
        int* field;
    } zeroWhenAbsent[] = {{"Inactivity_Sec", &inactivitySeconds},
                          {"Inactivity_Min", &inactivityMinutes}};
    for (const auto& n : zeroWhenAbsent) {
        switch (ReadNumber(registry_, foundKey, n.name, &value)) {
            case Number::Read:
                *n.field = value;
                break;
            case Number::Absent:
                *n.field = 0;
                break;
            case Number::OtherType:
                break;
        }
    }
    switch (ReadNumber(registry_, foundKey, "Peer_to_Peer", &value)) {
        case Number::Read:
            peerToPeer = value != 0;
            break;
        case Number::OtherType:
            peerToPeer = 1;
            break;
        case Number::Absent:
            break;
    }
    if (ReadNumber(registry_, foundKey, "Radio_Mode", &value) == Number::Read) radioMode = value;
}

void AdapterSettings::WriteNumber(RegKey key, const char* name, int value, uint32_t textLength,
                                  bool win95) {
    uint8_t stored[kNumberBuffer];
    uint32_t type = 0, storedSize = 0;
    if (!ReadNumberValue(registry_, key, name, &type, stored, &storedSize)) {
        type = win95 ? kRegSz : kRegDword;
    }
    uint8_t buffer[kTextBuffer] = {};
    uint32_t length = storedSize;
    if (type == kRegSz) {
        // The decimal text padded with zeros to the value's fixed length.
        platform::FormatText(reinterpret_cast<char*>(buffer), sizeof buffer, "%d", value);
        length = textLength;
    } else if (type == kRegDword) {
        uint32_t v = static_cast<uint32_t>(value);
        for (int i = 0; i < 4; ++i) buffer[i] = static_cast<uint8_t>(v >> (8 * i));
        length = 4;
    }
    registry_.SetValue(key, name, type, buffer, length);
    if (win95) UpdateParamDefault(key, name, buffer, length);
}

void AdapterSettings::SaveSettings() {
    bool win95 = Win95Layout();
    ScopedKey system(registry_);
    if (!OpenRoot(kSaveAccess, &system)) return;
    if (!Locate(system.get(), win95 ? kDeviceVxDsValue : kMasterNameValue, kSaveAccess)) {
        return;
    }
    RegKey key = foundKey;
    WriteNumber(key, "Station_Type", stationType, 4, win95);
    if (masterCapable) {
        const char* text = masterName.c_str();
        registry_.SetValue(key, kMasterNameValue, kRegSz, reinterpret_cast<const uint8_t*>(text),
                           static_cast<uint32_t>(std::strlen(text) + 1));
        if (win95) UpdateParamDefaultText(key, kMasterNameValue, masterName);
        WriteNumber(key, "Channel", channel, 5, win95);
        WriteNumber(key, "Subchannel", subchannel, 5, win95);
        WriteNumber(key, "Mac_Optimize", macOptimize, 4, win95);
    }
    WriteNumber(key, "Domain", domain, 4, win95);
    WriteNumber(key, "Roam_Config", roamConfig, 4, win95);
    WriteNumber(key, "Inactivity_Sec", inactivitySeconds, 5, win95);
    WriteNumber(key, "Inactivity_Min", inactivityMinutes, 5, win95);
    WriteNumber(key, "Peer_to_Peer", peerToPeer ? 1 : 0, 4, win95);
}

// Finds the key as SaveSettings does (same value, same access), so that on the NT layout too
// "Domain" lands in the adapter's key: a walk for "Route" with enumerate and set access alone
// could read neither key information nor values and would store nothing.
void AdapterSettings::SaveDomain(int newDomain) {
    domain = newDomain;
    bool win95 = Win95Layout();
    ScopedKey system(registry_);
    if (!OpenRoot(kSaveAccess, &system)) return;
    if (!Locate(system.get(), win95 ? kDeviceVxDsValue : kMasterNameValue, kSaveAccess)) {
        return;
    }
    if (win95) {
        char text[16];
        int n = platform::FormatText(text, sizeof text, "%d", domain);
        registry_.SetValue(foundKey, "Domain", kRegSz, reinterpret_cast<const uint8_t*>(text),
                           static_cast<uint32_t>(n + 1));
    } else {
        uint32_t v = static_cast<uint32_t>(domain);
        uint8_t data[4];
        for (int i = 0; i < 4; ++i) data[i] = static_cast<uint8_t>(v >> (8 * i));
        registry_.SetValue(foundKey, "Domain", kRegDword, data, 4);
    }
}

void AdapterSettings::UpdateParamDefault(RegKey adapterKey, const char* valueName,
                                         const uint8_t* data, uint32_t length) {
    ScopedKey params(registry_);
    std::string path = std::string(kParamsPath) + valueName;
    if (registry_.OpenKey(adapterKey, path.c_str(), kParamDefaultAccess, params.out()) != kRegOk) {
        return;
    }
    // Read with a buffer of the new data's length: a longer default stays as it is.
    std::vector<uint8_t> old(length ? length : 1);
    uint32_t type = 0, size = 0;
    if (!ReadValue(registry_, params.get(), "", old.data(), length, &type, &size)) return;
    registry_.SetValue(params.get(), "", type, data, size);
}

void AdapterSettings::UpdateParamDefaultText(RegKey adapterKey, const char* valueName,
                                             const std::string& text) {
    ScopedKey params(registry_);
    std::string path = std::string(kParamsPath) + valueName;
    if (registry_.OpenKey(adapterKey, path.c_str(), kParamDefaultAccess, params.out()) != kRegOk) {
        return;
    }
    const char* chars = text.c_str();
    registry_.SetValue(params.get(), "", kRegSz, reinterpret_cast<const uint8_t*>(chars),
                       static_cast<uint32_t>(std::strlen(chars) + 1));
}

uint16_t InactivityUnits(int seconds, int minutes) {
    long units = 0;
    if (seconds > 0) units += seconds / 5;
    if (minutes > 0) units += 12L * (minutes > 65535 ? 65535 : minutes);
    return static_cast<uint16_t>(units > 0xFFFF ? 0xFFFF : units);
}

}  // namespace odr::settings
