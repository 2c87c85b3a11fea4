// The Site Survey's own work per round with 100 nodes answering: the table's part (100
// replies recorded, the round ended, statistics and address order for all) on its own, and
// the whole window's round on the recording window fake (reply collection through the
// driver channel and the simulated adapter, statistics, seven rows refreshed), without and
// with its session log; and the log's size for an hour of survey on the default site.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/Operations.h"
#include "driver/RssiTable.h"
#include "platform/MemoryRegistry.h"
#include "resources/resource.h"
#include "settings/AdapterSettings.h"
#include "shell/kit/ShellContext.h"
#include "shell/kit/SurveyTable.h"
#include "shell/kit/ToolLauncher.h"
#include "sim/Scenario.h"
#include "sim/SimDevice.h"
#include "survey/SiteSurveyDlg.h"
#include "tests/native/fakes/FakePlatform.h"
#include "tests/native/fakes/FakeUi.h"

namespace {

using Steady = std::chrono::steady_clock;

double MicrosSince(Steady::time_point start) {
    return std::chrono::duration<double, std::micro>(Steady::now() - start).count();
}

// The window on a simulated adapter, started as the main window would leave it.
struct Window {
    explicit Window(odr::sim::Scenario scenario) : devices(std::move(scenario), clock) {}
    bool Start() {
        uint8_t sync = 0;
        if (channel.OpenDriver(&status) != 0 || odr::InitCard(adapter, &sync, 0, 0) != 0 || !sync) {
            return false;
        }
        host.Open(dialog);
        return true;
    }
    void Log(const std::string& path) {
        host.savePaths = {path};
        dialog.OnCommand(IDC_SURVEY_LOG);
    }
    // Both timers every 100 ms of virtual time.
    void Run(int ticks) {
        for (int i = 0; i < ticks; ++i) {
            clock.Advance(100);
            dialog.OnTimer(1);
            dialog.OnTimer(2);
        }
    }

    odr::test::FakeClock clock;
    odr::test::FakeOs os;
    odr::Trace trace;
    odr::sim::SimDeviceHost devices;
    odr::Channel channel{devices, os, clock, trace};
    odr::AdapterStatus status;
    odr::RssiTable rssi;
    odr::AdapterContext adapter{channel, clock, os, status, rssi, nullptr};
    odr::platform::MemoryRegistry registry;
    odr::test::FakeHost host;
    odr::shell::ShellContext ctx{adapter, host, registry};
    odr::settings::AdapterSettings settings{registry, os, [] { return uint16_t(0); }};
    odr::shell::NoTools tools;
    odr::survey::CSiteSurveyDlg dialog{ctx, settings, tools};
};

odr::sim::Scenario HundredNodeCell() {
    odr::sim::Scenario s = odr::sim::DefaultScenario();
    s.nodes.clear();
    for (int i = 0; i < 99; ++i) {
        odr::sim::Station n;
        n.id = "N" + std::to_string(i);
        n.name = n.id;
        n.address = {{0x00, 0x20, 0xa6, 0x40, uint8_t(i >> 8), uint8_t(i)}};
        n.master = "LOBBY";
        n.securityId = s.adapter.securityId;
        n.signal.points = {{0, -45.0 - (i % 40)}};
        n.onAir.spans = {{0, -1}};
        n.replyPercent = 100;
        s.nodes.push_back(n);
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 2000;

    odr::shell::SurveyTable table;
    char addresses[100][13];
    for (int i = 0; i < 100; ++i) std::snprintf(addresses[i], 13, "0020a640%04x", i);
    auto start = Steady::now();
    for (int r = 0; r < rounds; ++r) {
        for (int i = 0; i < 100; ++i) table.AddReply(addresses[i], 40 + i % 60, i == 0);
        table.EndRound();
        table.ComputeStatistics();
    }
    std::printf("Survey table, 100 nodes: %.2f us per round (replies, round end, statistics)\n",
                MicrosSince(start) / rounds);

    // Ticks of both timers every 100 ms of virtual time; a cycle is about 600 ms.
    const int ticks = 6 * rounds / 10;
    double perTick[2] = {};
    int ended = 1;
    size_t logBytes = 0;
    for (int logged = 0; logged < 2; ++logged) {
        Window w(HundredNodeCell());
        if (!w.Start()) {
            std::printf("the simulated adapter did not start\n");
            return 1;
        }
        if (logged) w.Log("survey.csv");
        start = Steady::now();
        w.Run(ticks);
        perTick[logged] = MicrosSince(start) / ticks;
        ended = std::max(w.dialog.RoundsEnded(), 1);
        logBytes = w.os.appended["survey.csv"].size();
        std::printf(
            "Site Survey window, %d nodes listed%s: %.1f us per 100 ms tick of both timers "
            "(%.2f %% of one core at 10 ticks a second)\n",
            w.dialog.Table().NodeCount(), logged ? ", logging" : "", perTick[logged],
            perTick[logged] / 1000.0);
    }
    std::printf("Session log, 100 nodes: %.1f us and %.0f bytes per round\n",
                (perTick[1] - perTick[0]) * ticks / ended, double(logBytes) / ended);

    Window site(odr::sim::DefaultScenario());
    if (!site.Start()) return 1;
    site.Log("site.csv");
    site.Run(36000);
    std::printf("Session log of an hour of survey on the default site: %zu bytes, %d rounds\n",
                site.os.appended["site.csv"].size(), site.dialog.RoundsEnded());
    return 0;
}
