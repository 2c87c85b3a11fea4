// What the adapter's firmware version text tells about what the firmware can do.
#pragma once

#include <cstddef>

namespace odr {

// A version text as ITEM_VERSION carries it: at most 7 characters, not always terminated.
constexpr size_t kVersionTextLength = 7;

// Whether firmware `version` (e.g. "V1.47a") can synchronise to a chosen master, and so
// also move back to one after roaming is switched off: minor number 49 or more (a minor
// below 10 counts tenfold, so "V1.5" and "V1.05" are 50), major 2 or more, or exactly
// "V1.47a". Reads at most kVersionTextLength characters; null is no firmware.
bool SupportsDirectedSync(const char* version);

}  // namespace odr
