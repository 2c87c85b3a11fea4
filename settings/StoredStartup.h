// The driver, when it loads, takes its start-up values from the adapter's stored settings.
#pragma once

#include "driver/StartupValues.h"
#include "platform/Platform.h"
#include "platform/Registry.h"

namespace odr::settings {

// Fills `values` from the adapter's stored settings; false when no adapter key is found.
bool ReadStoredStartup(platform::Registry& registry, platform::Os& os, StartupValues* values);

}  // namespace odr::settings
