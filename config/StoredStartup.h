// The simulated driver, like the real one, takes its start-up values from the stored
// settings when it loads.
#pragma once

#include "platform/Platform.h"
#include "platform/Registry.h"
#include "sim/Scenario.h"

namespace odr::config {

// Fills `values` from the adapter's stored settings; false when no adapter key is found.
bool ReadStoredStartup(platform::Registry& registry, platform::Os& os, sim::StartupValues* values);

}  // namespace odr::config
