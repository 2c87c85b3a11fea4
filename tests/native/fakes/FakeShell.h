// odrcfg's context over a scriptable fake adapter: a channel already open on it, the
// recording host and a registry in memory. The tool tests' rigs build on it.
#pragma once

#include "FakeChannel.h"
#include "FakeUi.h"
#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/RssiTable.h"
#include "platform/MemoryRegistry.h"
#include "shell/kit/ShellContext.h"

namespace odr::test {

struct FakeShell {
    OpenFakeChannel fc;
    AdapterStatus status;
    RssiTable rssi;
    AdapterContext adapter{fc.channel, fc.clock, fc.os, status, rssi, nullptr};
    platform::MemoryRegistry registry;
    FakeHost host;
    shell::ShellContext ctx{adapter, host, registry};
};

}  // namespace odr::test
