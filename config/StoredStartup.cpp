// Stored settings turned into the simulated driver's start-up values.
#include "config/StoredStartup.h"

#include "config/AdapterSettings.h"
#include "sim/Simulation.h"

namespace odr::config {

bool ReadStoredStartup(platform::Registry& registry, platform::Os& os, sim::StartupValues* values) {
    AdapterSettings stored(registry, os, [] { return uint16_t(0); });
    stored.LoadSettings();
    if (stored.foundKey == platform::kNoKey) return false;
    values->stationType = uint8_t(stored.stationType);
    values->domain = uint8_t(stored.domain);
    values->channel = uint8_t(stored.channel);
    values->subchannel = uint8_t(stored.subchannel);
    values->masterName = stored.masterName;
    values->inactivity = InactivityUnits(stored.inactivitySeconds, stored.inactivityMinutes);
    values->peerToPeer = stored.peerToPeer ? 1 : 0;
    values->macOptimize = stored.macOptimize == 0 ? 1 : 0;  // stored 1 Normal, wire 0 Normal
    values->roamConfig = uint8_t(stored.roamConfig);
    return true;
}

std::unique_ptr<DeviceHost> ChooseAdapterDevice(
    const std::string& commandLine, platform::Os& os, platform::Clock& clock,
    platform::Registry& registry, const std::function<std::unique_ptr<DeviceHost>()>& realDevice,
    std::string* error) {
    return sim::ChooseDeviceHost(
        commandLine, os, clock,
        [&registry, &os](sim::StartupValues* values) {
            return ReadStoredStartup(registry, os, values);
        },
        realDevice, error);
}

}  // namespace odr::config
