// The stored settings over a registry built from the fuzzer's bytes: key paths, value
// names, types and sizes of either layout. Loading never leaves a key open; saving what was
// loaded touches only the adapter's key; a second save and load change nothing more. The
// Configuration window filled from such a record and closed with OK unchanged stores what
// it showed: opened again it shows the same.
#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "config/ConfigValues.h"
#include "platform/MemoryRegistry.h"
#include "settings/AdapterSettings.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/native/fakes/FakePlatform.h"

namespace {

using odr::fuzz::FuzzInput;
using odr::fuzz::Require;

const char* const kKeys[] = {
    "CurrentControlSet", "Services", "Class",  "Net",     "0000", "0001",   "odrwinnt1",
    "Parameters",        "Ndi",      "params", "Control", "Enum", "MASTER", "Route"};
const char* const kValues[] = {"DeviceVxDs",     "Master_Name",  "Station_Type", "Channel",
                               "Subchannel",     "Domain",       "Roam_Config",  "Inactivity_Sec",
                               "Inactivity_Min", "Peer_to_Peer", "Radio_Mode",   "CardType",
                               "Mac_Optimize",   "default",      "Route"};

std::string Pick(FuzzInput& in, const char* const* names, size_t count) {
    const uint8_t b = in.Byte();
    if (b < 0xF0) return names[b % count];
    return in.Text(24);  // any other name, also empty or odd
}

using Values = std::map<std::pair<std::string, std::string>, std::pair<uint32_t, std::string>>;

std::tuple<int, int, std::string, int, int, int, int, int, int, int, int, int, int> Record(
    const odr::settings::AdapterSettings& s) {
    return {s.macOptimize,       s.masterCapable, s.masterName, s.stationType, s.pcCard,
            s.channel,           s.subchannel,    s.domain,     s.roamConfig,  s.inactivitySeconds,
            s.inactivityMinutes, s.peerToPeer,    s.radioMode};
}

auto Shown(const odr::config::ConfigValues& v) {
    return std::tie(v.stationType, v.masterName, v.channel, v.subchannel, v.domain, v.macOptimize,
                    v.roamConfig, v.peerToPeer, v.inactivityMinutesIndex, v.inactivitySecondsIndex,
                    v.masterCapable, v.pcCard);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    odr::platform::MemoryRegistry registry;
    odr::test::FakeOs os;
    if (in.Byte() & 1) os.version.platformId = 1;  // the Windows 95 layout
    const uint16_t kind = in.Byte() % 3;
    Values values;
    for (int i = 0; i < 24 && !in.empty(); ++i) {
        // The registry takes empty parts of a path as nothing: so does the list of values.
        std::string path = "System", same = "System";
        for (int depth = in.Byte() % 6; depth > 0; --depth) {
            const std::string part = Pick(in, kKeys, sizeof kKeys / sizeof *kKeys);
            path += "\\" + part;
            if (!part.empty()) same += "\\" + part;
        }
        const std::string name = Pick(in, kValues, sizeof kValues / sizeof *kValues);
        const uint32_t type = in.Byte() % 6;
        const std::string bytes = in.Text(40);
        registry.SetRaw(path, name, type, bytes);
        values[{same, name}] = {type, bytes};
    }

    odr::settings::AdapterSettings first(registry, os, [kind] { return kind; });
    first.LoadSettings();
    first.SaveSettings();
    Require(registry.OpenHandleCount() <= 1, "only the adapter's key stays open");

    // What was saved loads back, and saving it again changes nothing.
    odr::settings::AdapterSettings second(registry, os, [kind] { return kind; });
    second.LoadSettings();
    second.SaveSettings();
    odr::settings::AdapterSettings third(registry, os, [kind] { return kind; });
    third.LoadSettings();
    Require(Record(second) == Record(third), "saved settings load back unchanged");

    // The Configuration window: OK without a change stores what it showed.
    const odr::config::ConfigValues shown = odr::config::ValuesFromSettings(third);
    const auto openBefore = registry.OpenHandleCount();
    odr::config::SaveValues(shown, third);
    Require(registry.OpenHandleCount() == openBefore, "OK leaves no key open");
    odr::settings::AdapterSettings reopened(registry, os, [kind] { return kind; });
    reopened.LoadSettings();
    const odr::config::ConfigValues again = odr::config::ValuesFromSettings(reopened);
    Require(Shown(again) == Shown(shown), "OK without a change stores what was shown");

    // Everything changed by the saves and OK lies in one key.
    std::string changedKey;
    for (const auto& [where, was] : values) {
        uint32_t type = 0;
        std::string bytes;
        Require(registry.GetValue(where.first, where.second, &type, &bytes), "no value is removed");
        if (type == was.first && bytes == was.second) continue;
        if (changedKey.empty()) changedKey = where.first;
        Require(changedKey == where.first, "a save writes only the adapter's key");
    }
    return 0;
}
