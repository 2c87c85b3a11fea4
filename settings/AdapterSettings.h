// The stored adapter settings: the record of the radio parameters the driver takes at its
// next start, read from and written to the adapter's registry key. The key has no fixed
// path; it is found by walking the registry below HKEY_LOCAL_MACHINE\System and recognising
// it by its values, in one of two layouts chosen by the OS version at every operation:
//   Windows 95: the key whose "DeviceVxDs" names the driver file of the open device kind;
//   Windows NT: the key holding "Master_Name" at or below "Parameters" of an "odrwinnt*" key.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "driver/DriverTypes.h"
#include "platform/Platform.h"
#include "platform/Registry.h"

namespace odr::settings {

// Value names of the adapter's key.
constexpr char kDeviceVxDsValue[] = "DeviceVxDs";  // string table entry 102
constexpr char kMasterNameValue[] = "Master_Name";

// Driver files named by "DeviceVxDs" for device kind 0 (the adapter's own API device) and
// kind 1 (the fallback virtual device).
constexpr char kOwnDriverFile[] = "odrwin95.sys";
constexpr char kFallbackDriverFile[] = "quellan.sys";
// The device kind reported while no device is open: the key of either driver file matches.
constexpr uint16_t kNoDriverKind = 0xFFFF;

// Access used by the walks.
constexpr uint32_t kLoadAccess = platform::kKeyRead;
constexpr uint32_t kSaveAccess = 0x2000F;  // query, set, create-subkey and enumerate
constexpr uint32_t kParamDefaultAccess = platform::kKeyWrite | platform::kKeyQueryValue;

class AdapterSettings {
  public:
    // `driverKind` reports the open device's kind (the channel's GetDriverKind).
    AdapterSettings(platform::Registry& registry, platform::Os& os,
                    std::function<uint16_t()> driverKind);
    ~AdapterSettings();
    AdapterSettings(const AdapterSettings&) = delete;
    AdapterSettings& operator=(const AdapterSettings&) = delete;

    // Initial values, then the stored values of the adapter's key if it is found.
    void LoadSettings();
    // Writes the record to the adapter's key; nothing when the key is not found.
    void SaveSettings();
    // Sets `domain` and writes "Domain" alone.
    void SaveDomain(int newDomain);
    void SetMasterName(const std::string& name);
    // Every field to its initial value (foundKey and the walk marks excepted).
    void ResetSettings();

    // The walk: depth-first from `start` in enumeration order; 1 and foundKey set when the
    // adapter's key is found (foundKey is then owned by the record), else 0. The walk marks
    // are not cleared here.
    int FindAdapterKey(platform::RegKey start, const char* valueName, uint32_t access);
    // Windows 95 layout: keeps the parameter description's default below "Ndi\params\NAME"
    // in step with a written value.
    void UpdateParamDefault(platform::RegKey adapterKey, const char* valueName, const uint8_t* data,
                            uint32_t length);
    void UpdateParamDefaultText(platform::RegKey adapterKey, const char* valueName,
                                const std::string& text);

    // Where the walks start; HKEY_LOCAL_MACHINE and "System" unless a test moves it.
    void SetStoreRoot(platform::RegKey root, const std::string& path);
    // A walk that found the key remembers its path; the next walk with the same access and
    // looked-for value first confirms that the remembered key still answers the walk's test
    // along the same path, and walks the whole store only when it does not. On by default.
    void SetRememberFoundKey(bool remember);

    struct WalkCounts {
        uint32_t fullWalks = 0;
        uint32_t confirmedKeys = 0;  // walks answered by the remembered key
    };
    const WalkCounts& walkCounts() const { return walkCounts_; }

    // The record, in the order of the stored settings table.
    platform::RegKey foundKey = platform::kNoKey;
    int macOptimize = 2;
    int insideDriverParameters = 0;
    int seenControlSet = 0;
    int seenDriverKey = 0;
    int masterCapable = 0;
    int stationType = 0;
    int pcCard = 0;
    std::string masterName;
    int channel = 1;
    int subchannel = 1;
    int domain = 1;
    int roamConfig = 1;
    int inactivitySeconds = 6;
    int inactivityMinutes = 0;
    int peerToPeer = 1;
    int radioMode = kRadioModeNone;

  private:
    struct Marks {
        bool inside = false;
        bool controlSet = false;
        bool driverKey = false;
        bool switched = false;  // the "MASTER" rule changed the looked-for value
        bool operator==(const Marks& o) const {
            return inside == o.inside && controlSet == o.controlSet && driverKey == o.driverKey &&
                   switched == o.switched;
        }
    };
    enum class Verdict { NoInfo, NoMatch, Match };
    struct Level {
        std::string name;  // as enumerated; empty for the start key
        Marks before;      // marks on reaching the key
        Marks after;       // marks after its values were examined
    };
    struct Remembered {
        std::string valueName;
        bool win95 = false;
        uint16_t kind = 0;
        std::vector<Level> path;
    };

    bool Win95Layout();
    bool OpenRoot(uint32_t access, platform::ScopedKey* key);
    void ClearMarks();
    Marks CurrentMarks() const;
    void SetMarks(const Marks& marks);
    void ApplyNameMarks(const std::string& name);
    Verdict Examine(platform::RegKey key, const char* valueName, bool win95,
                    platform::RegKeyInfo* info);
    void CloseFoundKey();
    int Locate(platform::RegKey start, const char* valueName, uint32_t access);
    int Walk(platform::RegKey start, const char* valueName, uint32_t access, bool win95);
    bool Confirm(platform::RegKey start, const Remembered& remembered, uint32_t access);
    void WriteNumber(platform::RegKey key, const char* name, int value, uint32_t textLength,
                     bool win95);

    platform::Registry& registry_;
    platform::Os& os_;
    std::function<uint16_t()> driverKind_;
    platform::RegKey root_ = platform::kLocalMachine;
    std::string rootPath_ = "System";
    bool switched_ = false;
    bool remember_ = true;
    std::map<uint32_t, Remembered> remembered_;  // by walk access
    WalkCounts walkCounts_;
};

// ITEM_INACTIVITY counts 5-second units: seconds / 5 + 12 x minutes, kept within the
// item's 16 bits (negative stored parts count as 0).
uint16_t InactivityUnits(int seconds, int minutes);

}  // namespace odr::settings
