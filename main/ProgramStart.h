// What both programs build first: the Win32 clock, OS services and registry, and the
// adapter's device (the simulated adapter when asked for) with its trace sink.
#pragma once

#include <memory>

#include "driver/Device.h"
#include "driver/Trace.h"
#include "platform/Platform.h"
#include "platform/Registry.h"

namespace odr {

struct ProgramStart {
    std::unique_ptr<platform::Clock> clock;
    std::unique_ptr<platform::Os> os;
    std::unique_ptr<platform::Registry> registry;
    std::unique_ptr<DeviceHost> devices;
    Trace trace;
};

// "/simulate[:FILE]" or ODR_SIMULATE picks the simulated adapter; the switch also sets the
// variable, so a program started from this one simulates too. False, after an error box
// with the reason, when the scenario cannot be used.
bool StartProgram(const char* commandLine, ProgramStart* start);

}  // namespace odr
