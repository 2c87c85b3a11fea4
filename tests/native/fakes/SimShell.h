// odrcfg's context on the simulated adapter, on the virtual clock: the channel to a
// scenario's adapter, the recording host, a registry in memory, the real tool set and the
// main window (not opened).
#pragma once

#include <cstdint>
#include <utility>

#include "FakePlatform.h"
#include "FakeUi.h"
#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/RssiTable.h"
#include "driver/Trace.h"
#include "platform/MemoryRegistry.h"
#include "shell/MainDlg.h"
#include "shell/ShellAdapterUi.h"
#include "shell/ToolSet.h"
#include "shell/kit/ShellContext.h"
#include "sim/Scenario.h"
#include "sim/SimDevice.h"

namespace odr::test {

struct SimShell {
    // The adapter's clock starts at `startMs`; each yield of a waiting operation takes 10 ms.
    explicit SimShell(sim::Scenario scenario, uint32_t startMs = 0)
        : devices(std::move(scenario), clock) {
        clock.yieldStepMs = 10;
        clock.now = startMs;
    }

    FakeClock clock;
    FakeOs os;
    Trace trace;
    sim::SimDeviceHost devices;
    Channel channel{devices, os, clock, trace};
    AdapterStatus status;
    RssiTable rssi;
    platform::MemoryRegistry registry;
    FakeHost host;
    shell::ShellAdapterUi adapterUi{host};
    AdapterContext adapter{channel, clock, os, status, rssi, &adapterUi};
    shell::ShellContext ctx{adapter, host, registry};
    shell::CToolSet tools{ctx};
    shell::CMainDlg main{ctx, tools};
};

}  // namespace odr::test
