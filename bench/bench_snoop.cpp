// The Snoop window's drawing on the default simulated site: pixels filled by one step paint
// against a full redraw (on a recording canvas the size of the graph on a 96-dpi screen),
// and the time of one sweep tick's dwell and paint at each sampling rate.
#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/Operations.h"
#include "driver/RssiTable.h"
#include "platform/MemoryRegistry.h"
#include "resources/resource.h"
#include "shell/kit/ShellContext.h"
#include "sim/Scenario.h"
#include "sim/SimDevice.h"
#include "snoop/SnoopDlg.h"
#include "tests/native/fakes/FakePlatform.h"
#include "tests/native/fakes/FakeUi.h"

namespace {

// Pixels covered by the recorded fills and rectangles; lines count their length.
struct Drawn {
    long pixels = 0;
    int operations = 0;
};

Drawn Measure(const std::vector<std::string>& ops) {
    Drawn d;
    for (const std::string& op : ops) {
        std::istringstream in(op);
        std::string kind;
        char comma;
        int a, b, c, e;
        in >> kind >> a >> comma >> b >> comma >> c >> comma >> e;
        if (!in) continue;
        ++d.operations;
        if (kind == "fill" || kind == "rect") d.pixels += long(c - a) * long(e - b);
        if (kind == "line") d.pixels += (c > a ? c - a : a - c) + (e > b ? e - b : b - e);
    }
    return d;
}

}  // namespace

int main() {
    using namespace odr;
    test::FakeClock clock;
    test::FakeOs os;
    Trace trace;
    sim::SimDeviceHost devices(sim::DefaultScenario(), clock);
    Channel channel(devices, os, clock, trace);
    AdapterStatus status;
    RssiTable rssi;
    AdapterContext adapter{channel, clock, os, status, rssi, nullptr};
    platform::MemoryRegistry registry;
    test::FakeHost host;
    shell::ShellContext ctx{adapter, host, registry};
    uint8_t sync = 0;
    if (channel.OpenDriver(&status) != 0 || InitCard(adapter, &sync, 0, 0) != 0) {
        std::printf("the simulated adapter did not start\n");
        return 1;
    }

    snoop::CSnoopDlg dialog(ctx);
    test::FakeWindow& w = host.Open(dialog);
    auto& graph = w.surfaces[IDC_SNOOP_GRAPH];
    graph.width = 573;  // the graph's client area at 96 dpi
    graph.height = 285;
    const long area = long(graph.width) * graph.height;

    dialog.OnPaint();  // the full redraw of the opening
    Drawn full = Measure(graph.ops);
    graph.ops.clear();
    const int n = dialog.Band().count;
    Drawn steps;
    int stepCount = 0;
    for (int i = 0; i < 2 * (n + 2); ++i) {
        clock.Advance(100);
        dialog.OnTimer(1);
        graph.ops.clear();
        dialog.OnPaint();
        const Drawn d = Measure(graph.ops);
        steps.pixels += d.pixels;
        steps.operations += d.operations;
        ++stepCount;
    }
    std::printf("Snoop graph %dx%d, %d frequencies:\n", graph.width, graph.height, n);
    std::printf("  full redraw:      %7ld pixels (%.0f %% of the graph) in %d operations\n",
                full.pixels, 100.0 * full.pixels / area, full.operations);
    std::printf("  step paint, mean: %7ld pixels (%.1f %% of the graph) in %d operations\n",
                steps.pixels / stepCount, 100.0 * steps.pixels / stepCount / area,
                steps.operations / stepCount);

    const int rates[] = {IDC_SNOOP_SLOW, IDC_SNOOP_MEDIUM, IDC_SNOOP_FAST};
    const char* names[] = {"Slow", "Medium", "Fast"};
    for (int r = 0; r < 3; ++r) {
        dialog.OnCommand(rates[r]);
        dialog.OnPaint();
        const auto start = std::chrono::steady_clock::now();
        const int ticks = 200;
        for (int i = 0; i < ticks; ++i) {
            clock.Advance(100);
            dialog.OnTimer(1);
            graph.ops.clear();
            dialog.OnPaint();
        }
        const double us =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count();
        std::printf("  %-6s tick (dwell and step paint): %7.1f us of processor time\n", names[r],
                    us / ticks);
    }
    return 0;
}
