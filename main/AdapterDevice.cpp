#include "main/AdapterDevice.h"

#include "settings/StoredStartup.h"
#include "sim/Simulation.h"

namespace odr {

std::unique_ptr<DeviceHost> ChooseAdapterDevice(
    const std::string& commandLine, platform::Os& os, platform::Clock& clock,
    platform::Registry& registry, const std::function<std::unique_ptr<DeviceHost>()>& realDevice,
    std::string* error) {
    return sim::ChooseDeviceHost(
        commandLine, os, clock,
        [&registry, &os](StartupValues* values) {
            return settings::ReadStoredStartup(registry, os, values);
        },
        realDevice, error);
}

}  // namespace odr
