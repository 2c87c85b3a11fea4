// Everything odrstat's windows work with: the platform services, the window system, the
// driver channel and the values last read from the adapter. The entry point builds one;
// tests build their own from fakes.
#pragma once

#include <cstdint>

#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "ui/Host.h"

namespace odr::monitor {

struct MonitorContext {
    MonitorContext(platform::Os& os, platform::Clock& clock, platform::Registry& registry,
                   ui::Host& host, Channel& channel)
        : os(os), clock(clock), registry(registry), host(host), channel(channel) {}

    platform::Os& os;
    platform::Clock& clock;
    platform::Registry& registry;
    ui::Host& host;
    Channel& channel;

    // Shared by the poll and the information text. The country code and the marker
    // (rssiMarker) are never asked of the driver here and stay zero.
    AdapterStatus status;
    uint8_t syncChannel = 0;
    uint8_t syncSubchannel = 0;
    uint8_t syncState = 0;
};

}  // namespace odr::monitor
