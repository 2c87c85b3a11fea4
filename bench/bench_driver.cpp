// Driver channel throughput: GetMasterNode calls per second through the simulated adapter,
// and the channel's own cost on a device that answers at once.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Operations.h"
#include "driver/Queries.h"
#include "driver/RssiTable.h"
#include "sim/Simulation.h"
#include "tests/native/fakes/FakePlatform.h"

namespace {

using Steady = std::chrono::steady_clock;

class SteadyClock : public odr::platform::Clock {
  public:
    uint32_t Now() override {
        return uint32_t(
            std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start_).count());
    }
    void Yield() override { std::this_thread::yield(); }
    void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  private:
    Steady::time_point start_ = Steady::now();
};

// Answers every request at once with result 0: what is left is the channel's own work.
class EchoDevice : public odr::Device {
  public:
    bool Control(uint8_t* block, uint32_t*) override {
        odr::WriteU32(block + odr::kReqResult, 0);
        return true;
    }
    bool ControlOverlapped(uint8_t* block, uint32_t* error) override {
        return Control(block, error);
    }
    bool WaitOverlapped() override { return true; }
};

class EchoHost : public odr::DeviceHost {
  public:
    std::unique_ptr<odr::Device> Open(const std::string&, bool) override {
        return std::make_unique<EchoDevice>();
    }
    bool DefineName(const std::string&, const std::string&) override { return true; }
    bool RemoveName(const std::string&) override { return true; }
    bool CreateCompletionEvent() override { return true; }
};

template <typename Call>
double PerSecond(double seconds, Call call) {
    long count = 0;
    const Steady::time_point start = Steady::now();
    const Steady::time_point end = start + std::chrono::duration_cast<Steady::duration>(
                                               std::chrono::duration<double>(seconds));
    Steady::time_point now = start;
    while (now < end) {
        for (int i = 0; i < 100; ++i) call();
        count += 100;
        now = Steady::now();
    }
    return count / std::chrono::duration<double>(now - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    SteadyClock clock;
    odr::test::FakeOs os;  // quiet; Windows NT 4.0 unless set
    odr::Trace trace;
    char master[13] = {}, name[12] = {}, node[13] = {};
    uint8_t channelNumber = 0, subchannel = 0, sync = 0;

    EchoHost echo;
    odr::Channel bare(echo, os, clock, trace);
    if (bare.OpenDriver() != 0) return 1;
    const double bareRate = PerSecond(seconds, [&] {
        odr::GetMasterNode(bare, master, name, &channelNumber, &subchannel, node, &sync, 0);
    });

    std::string error;
    std::unique_ptr<odr::sim::SimDeviceHost> host =
        odr::sim::CreateSimDeviceHost("", os, clock, &error);
    if (!host) {
        std::fprintf(stderr, "simulated adapter: %s\n", error.c_str());
        return 1;
    }
    odr::Channel channel(*host, os, clock, trace);
    if (channel.OpenDriver() != 0) {
        std::fprintf(stderr, "simulated adapter: cannot open\n");
        return 1;
    }
    channel.CallDriver(odr::CMD_REATTACH_DRIVER, 0, 0, nullptr, 0, 0);
    odr::AdapterStatus status;
    odr::RssiTable rssi;
    odr::AdapterContext context{channel, clock, os, status, rssi, nullptr};
    const uint32_t initStart = clock.Now();
    const int init = odr::InitCard(context, &sync, 0, 0);
    const uint32_t initMs = clock.Now() - initStart;

    int failures = 0;
    const double simRate = PerSecond(seconds, [&] {
        failures += odr::GetMasterNode(channel, master, name, &channelNumber, &subchannel, node,
                                       &sync, 0) != 0;
    });
    const double syncRate = PerSecond(seconds, [&] { odr::GetSyncState(channel, &sync, 0); });

    std::printf("InitCard on the default site: result %d, synchronised %d, %u ms\n", init, sync,
                unsigned(initMs));
    std::printf("GetMasterNode, channel only:       %10.0f calls/s\n", bareRate);
    std::printf("GetMasterNode, simulated adapter:  %10.0f calls/s (%d failed)\n", simRate,
                failures);
    std::printf("GetSyncState, simulated adapter:   %10.0f calls/s\n", syncRate);
    return 0;
}
