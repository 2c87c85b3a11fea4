// The parameters the driver starts the card with when it loads: from the adapter's stored
// settings, or, on the simulated adapter without them, from its scenario.
#pragma once

#include <cstdint>
#include <string>

namespace odr {

struct StartupValues {
    uint8_t stationType = 0;
    uint8_t domain = 1;
    uint8_t channel = 1;
    uint8_t subchannel = 1;
    std::string masterName = "MASTER";
    uint8_t roaming = 0;  // 0 enabled, 1 disabled
    uint16_t inactivity = 0;
    uint8_t peerToPeer = 0;
    uint8_t macOptimize = 0;
    uint8_t roamConfig = 1;  // 0 Slow, 1 Normal, 2 Fast
};

}  // namespace odr
