// One broadcast ping round with 100 nodes in the cell, through the driver channel and the
// simulated adapter: TransmitPing, PollPing until the round completes, ReceivePing until
// every reply is collected. The simulator runs on a virtual clock (1 ms per poll), so the
// figure is the work of the channel and the simulator alone.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "sim/Scenario.h"
#include "sim/SimDevice.h"
#include "tests/native/fakes/FakePlatform.h"

namespace {

using Steady = std::chrono::steady_clock;

class VirtualClock : public odr::platform::Clock {
  public:
    uint32_t now = 0;
    uint32_t Now() override { return now; }
    void Yield() override { ++now; }
    void Sleep(uint32_t ms) override { now += ms; }
};

odr::sim::Scenario HundredNodeCell() {
    odr::sim::Scenario s = odr::sim::DefaultScenario();
    s.nodes.clear();
    for (int i = 0; i < 100; ++i) {
        odr::sim::Station n;
        n.id = "N" + std::to_string(i);
        n.name = n.id;
        n.address = {{0x00, 0x20, 0xa6, 0x40, uint8_t(i >> 8), uint8_t(i)}};
        n.master = "LOBBY";
        n.securityId = s.adapter.securityId;
        n.signal.points = {{0, -45.0 - (i % 40)}};
        n.onAir.spans = {{0, -1}};
        n.latencyMs = 2 + i % 10;
        n.replyPercent = 100;
        s.nodes.push_back(n);
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 2000;
    VirtualClock clock;
    odr::test::FakeOs os;  // quiet; Windows NT 4.0 unless set
    odr::Trace trace;
    odr::sim::SimDeviceHost host(HundredNodeCell(), clock);
    odr::Channel channel(host, os, clock, trace);
    if (channel.OpenDriver() != 0) {
        std::fprintf(stderr, "simulated adapter: cannot open\n");
        return 1;
    }
    channel.CallDriver(odr::CMD_REATTACH_DRIVER, 0, 0, nullptr, 0, 0);
    clock.now += 1000;  // synchronised to LOBBY

    static uint8_t request[1518];
    std::memset(request, 0xFF, 6);
    odr::WriteU32(request + 14, 1500);
    long replies = 0, polls = 0, failures = 0;
    const Steady::time_point start = Steady::now();
    for (int round = 0; round < rounds; ++round) {
        std::memset(request + 6, 0, 8);
        odr::WriteU32(request + 14, 1500);
        if (channel.CallDriver(odr::CMD_TRANSMIT_PING, 0, sizeof request, request, sizeof request,
                               0) != 0) {
            ++failures;
            continue;
        }
        uint8_t poll[6] = {request[12]};
        int result;
        while ((result = channel.CallDriver(odr::CMD_POLL_PING, 0, 6, poll, sizeof poll, 0)) == 1) {
            ++polls;
            clock.Yield();
            poll[0] = request[12];
        }
        if (result != 0) ++failures;
        uint8_t reply[1520];
        while (channel.CallDriver(odr::CMD_RECEIVE_PING, 0, 0, reply, sizeof reply, 0) == 1)
            ++replies;
    }
    const double seconds = std::chrono::duration<double>(Steady::now() - start).count();
    std::printf("Broadcast ping round, 100 nodes + master, 1500 bytes, simulated adapter:\n");
    std::printf("  %d rounds in %.3f s: %.1f us per round (%.0f rounds/s)\n", rounds, seconds,
                seconds * 1e6 / rounds, rounds / seconds);
    std::printf("  %.1f replies and %.1f PollPing waits per round, %ld failed rounds\n",
                double(replies) / rounds, double(polls) / rounds, failures);
    return 0;
}
