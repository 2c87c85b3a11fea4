// Driver channel throughput: GetMasterNode calls per second through the simulated adapter,
// and the channel's own cost on a device that answers at once. Then the adapter waits with no
// master in range: requests and CPU time of InitCard and SynchToMaster as they poll now (a
// 1 ms sleep between polls) against the same waits spinning on yields.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
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

// Counts the requests that reach the device it wraps.
class CountingHost : public odr::DeviceHost {
  public:
    explicit CountingHost(odr::DeviceHost& inner) : inner_(inner) {}
    long requests = 0;
    std::unique_ptr<odr::Device> Open(const std::string& path, bool overlapped) override {
        std::unique_ptr<odr::Device> device = inner_.Open(path, overlapped);
        if (!device) return nullptr;
        return std::make_unique<Counted>(std::move(device), &requests);
    }
    bool DefineName(const std::string& n, const std::string& t) override {
        return inner_.DefineName(n, t);
    }
    bool RemoveName(const std::string& n) override { return inner_.RemoveName(n); }
    bool CreateCompletionEvent() override { return inner_.CreateCompletionEvent(); }

  private:
    class Counted : public odr::Device {
      public:
        Counted(std::unique_ptr<odr::Device> d, long* n) : device_(std::move(d)), n_(n) {}
        bool Control(uint8_t* block, uint32_t* error) override {
            ++*n_;
            return device_->Control(block, error);
        }
        bool ControlOverlapped(uint8_t* block, uint32_t* error) override {
            ++*n_;
            return device_->ControlOverlapped(block, error);
        }
        bool WaitOverlapped() override { return device_->WaitOverlapped(); }

      private:
        std::unique_ptr<odr::Device> device_;
        long* n_;
    };
    odr::DeviceHost& inner_;
};

struct WaitFigures {
    long requests;
    double cpuSeconds;
    double wallSeconds;
};

template <typename Wait>
WaitFigures Measure(CountingHost& counting, Wait wait) {
    const long before = counting.requests;
    const std::clock_t cpu = std::clock();
    const Steady::time_point start = Steady::now();
    wait();
    return {counting.requests - before, double(std::clock() - cpu) / CLOCKS_PER_SEC,
            std::chrono::duration<double>(Steady::now() - start).count()};
}

void PrintWait(const char* what, const WaitFigures& f) {
    std::printf("%-44s %8ld requests  CPU %6.2f s  in %5.2f s\n", what, f.requests, f.cpuSeconds,
                f.wallSeconds);
}

// The adapter waits with no master in range, as they poll now and as they spun before.
int BenchWaits(odr::platform::Os& os, SteadyClock& clock, odr::Trace& trace) {
    std::string error;
    odr::sim::Scenario lonely = odr::sim::DefaultScenario();
    lonely.masters.clear();
    lonely.nodes.clear();
    odr::sim::SimDeviceHost host(lonely, clock);
    CountingHost counting(host);
    odr::Channel channel(counting, os, clock, trace);
    if (channel.OpenDriver() != 0) return 1;
    odr::AdapterStatus status;
    odr::RssiTable rssi;
    odr::AdapterContext context{channel, clock, os, status, rssi, nullptr};
    uint8_t sync = 0;
    char master[13] = {}, name[12] = {}, node[13] = {};
    uint8_t channelNumber = 0, subchannel = 0;

    PrintWait("InitCard, no master (5 s), 1 ms polls:",
              Measure(counting, [&] { odr::InitCard(context, &sync, 0, 0); }));
    PrintWait("the same wait spinning on yields:", Measure(counting, [&] {
                  const uint32_t start = clock.Now();
                  while ((clock.Now() - start) / 1000 < 5) {
                      clock.Yield();
                      odr::GetMasterNode(channel, master, name, &channelNumber, &subchannel, node,
                                         &sync, 0);
                  }
              }));
    char none[12] = "NOWHERE";
    PrintWait("SynchToMaster, master not heard, 1 ms polls:", Measure(counting, [&] {
                  odr::SynchToMaster(context, 0, 1, 3, 1, none, "0020a6109999", 0);
              }));
    PrintWait("its search wait as before (10000 yields):", Measure(counting, [&] {
                  for (int i = 0; i < 10000; ++i) {
                      if (i > 0) clock.Yield();
                      odr::GetSyncState(channel, &sync, 0);
                  }
              }));
    PrintWait("its final 5 s loop spinning on yields:", Measure(counting, [&] {
                  const uint32_t start = clock.Now();
                  while (clock.Now() - start < 5000) {
                      odr::GetMasterNode(channel, master, name, &channelNumber, &subchannel, node,
                                         &sync, 0);
                      clock.Yield();
                  }
              }));
    return 0;
}

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

    char lobby[12] = "LOBBY";
    const uint32_t synchStart = clock.Now();
    const int synch = odr::SynchToMaster(context, 0, 1, 3, 1, lobby, "0020a6100001", 0);
    std::printf("SynchToMaster to LOBBY on the default site: result %d, %u ms\n", synch,
                unsigned(clock.Now() - synchStart));
    return BenchWaits(os, clock, trace);
}
