// The one choice of a real or simulated adapter, made by the two programs' entry points.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "driver/Device.h"
#include "platform/Platform.h"
#include "platform/Registry.h"

namespace odr {

// The device for a program's entry point: the simulated adapter when the command line or
// the environment asks for it (see sim::ChooseDeviceHost), its driver reading the start-up
// values from `registry` when its card starts; else `realDevice`.
std::unique_ptr<DeviceHost> ChooseAdapterDevice(
    const std::string& commandLine, platform::Os& os, platform::Clock& clock,
    platform::Registry& registry, const std::function<std::unique_ptr<DeviceHost>()>& realDevice,
    std::string* error);

}  // namespace odr
