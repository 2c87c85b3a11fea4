// The choice between the real adapter and the simulated one, made by the programs' entry
// points: the "/simulate" or "/simulate:FILE" switch, or the ODR_SIMULATE variable.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "sim/SimDevice.h"

namespace odr::sim {

struct SimulationChoice {
    bool simulate = false;
    std::string scenarioPath;  // empty: the built-in default site
};

// Looks for the switch (case-insensitive) in `commandLine`, else at ODR_SIMULATE ("1" or a
// scenario path; "0" or empty is off). When the switch is given it also sets ODR_SIMULATE
// to "1" or the path, so a program started from this one inherits the choice.
SimulationChoice ParseSimulation(const std::string& commandLine, platform::Os& os);

// The simulated device on the scenario at `scenarioPath` (empty: the default site), read
// through os.ReadTextFile, with its floor plan (a path relative to the scenario file's
// folder) found and measured. Null with "FILE:LINE: problem" (or "FILE: cannot be read") in
// *error when the scenario or its plan cannot be used.
std::unique_ptr<SimDeviceHost> CreateSimDeviceHost(const std::string& scenarioPath,
                                                   platform::Os& os, platform::Clock& clock,
                                                   std::string* error);

// The device for a program's entry point: the simulated adapter when the command line or
// the environment asks for it, taking its start-up values from `startup`; otherwise
// `realDevice()`. Null with the reason in *error when the scenario cannot be used.
std::unique_ptr<DeviceHost> ChooseDeviceHost(
    const std::string& commandLine, platform::Os& os, platform::Clock& clock,
    SimDeviceHost::StartupSource startup,
    const std::function<std::unique_ptr<DeviceHost>()>& realDevice, std::string* error);

}  // namespace odr::sim
