// Stored settings turned into the driver's start-up values.
#include "settings/StoredStartup.h"

#include "settings/AdapterSettings.h"

namespace odr::settings {

bool ReadStoredStartup(platform::Registry& registry, platform::Os& os, StartupValues* values) {
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

}  // namespace odr::settings
