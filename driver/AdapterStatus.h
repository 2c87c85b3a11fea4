// The process-wide record of the last adapter state read.
#pragma once

#include <cstdint>

namespace odr {

struct AdapterStatus {
    char masterAddress[13] = {};
    char masterName[12] = {};
    char nodeAddress[13] = {};
    char romVersion[32] = {};
    char driverVersion[32] = {};
    char rssiText[256] = {};
    char rssiMarker = 0;  // '+' with a calibration, blank without; zero until InitCard
    uint8_t countryCode = 0;
    bool cardInitialised = false;
};

}  // namespace odr
