// The simulated driver, like the real one, takes its start-up values from the stored
// settings when it loads.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "driver/Device.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "sim/Scenario.h"

namespace odr::config {

// Fills `values` from the adapter's stored settings; false when no adapter key is found.
bool ReadStoredStartup(platform::Registry& registry, platform::Os& os, sim::StartupValues* values);

// The device for a program's entry point (see sim::ChooseDeviceHost), with the simulated
// driver reading its start-up values from `registry` when its card starts.
std::unique_ptr<DeviceHost> ChooseAdapterDevice(
    const std::string& commandLine, platform::Os& os, platform::Clock& clock,
    platform::Registry& registry, const std::function<std::unique_ptr<DeviceHost>()>& realDevice,
    std::string* error);

}  // namespace odr::config
