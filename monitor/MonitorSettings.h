// odrstat's reading of the stored adapter settings at start-up: the PC-card flag
// ("CardType") and the stored station type ("Station_Type"). It walks the registry below
// HKEY_LOCAL_MACHINE\System with its own rules, which differ from the tool's walk in
// config/AdapterSettings: it looks for "DeviceVxDs" on both layouts, keeps one found-MASTER
// mark, and counts only "PCMCIA" as a PC card.
#pragma once

#include "platform/Platform.h"
#include "platform/Registry.h"

namespace odr::monitor {

struct StoredSettings {
    int stationType = 0;  // StationType code
    bool pcCard = false;
};

// Never fails: whatever cannot be found or read keeps its start value.
StoredSettings ReadStoredSettings(platform::Registry& registry, platform::OsVersion version);

}  // namespace odr::monitor
