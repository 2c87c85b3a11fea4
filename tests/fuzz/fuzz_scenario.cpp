// Scenario files: any text parsed, and an accepted scenario played for a while by the
// simulated adapter (start, a sweep of signal readings, a broadcast ping round, a walk
// across its floor).
#include <cstring>
#include <string>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/Measure.h"
#include "driver/Operations.h"
#include "driver/Queries.h"
#include "driver/RssiTable.h"
#include "driver/Whereabouts.h"
#include "sim/Scenario.h"
#include "sim/SimDevice.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/native/fakes/FakePlatform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using odr::fuzz::Require;
    odr::sim::Scenario scenario;
    std::string error;
    if (!odr::sim::ParseScenario(std::string(reinterpret_cast<const char*>(data), size), "fuzz.ini",
                                 &scenario, &error)) {
        Require(!error.empty(), "a refused scenario says why");
        return 0;
    }
    odr::test::FakeClock clock;
    odr::test::FakeOs os;
    odr::Trace trace;
    odr::sim::SimDeviceHost devices(scenario, clock);
    odr::Channel channel(devices, os, clock, trace);
    odr::AdapterStatus status;
    odr::RssiTable rssi;
    odr::AdapterContext adapter{channel, clock, os, status, rssi, nullptr};
    if (channel.OpenDriver(&status) != 0) return 0;
    uint8_t sync = 0;
    odr::InitCard(adapter, &sync, 0, 0);
    Require(std::memchr(status.masterName, 0, sizeof status.masterName), "name terminated");
    for (int f = 0; f < 100; f += 7) {
        uint8_t reading = 0;
        if (odr::GetRSSI_freq(adapter, &reading, uint8_t(f), 0) == 0) {
            Require(reading <= 100, "a signal reading is a percentage");
        }
    }
    uint8_t handle = 0;
    uint32_t sent = 0, value = 0;
    odr::SendPing(channel, "ffffffffffff", 1500, 0, &sync, &sent, &handle, 0, 0, &value);
    for (int i = 0; i < 200; ++i) {
        char node[13];
        uint8_t signal = 0;
        if (odr::GetPing(adapter, node, &value, &signal, 0) != 1) break;
        Require(std::memchr(node, 0, sizeof node) && std::strlen(node) == 12, "address text");
        Require(signal <= 100, "a ping's signal is a percentage");
    }
    odr::Whereabouts* where = devices.whereabouts();
    Require(where != nullptr, "the simulated adapter has whereabouts");
    odr::SiteFloor floor;
    if (where->Floor(&floor)) {
        for (double t : {0.5, 0.0, 1.0, -1.0, 1e9}) {
            where->MoveTo(t * floor.widthM, t * floor.widthM);
            double x = -1, y = -1;
            Require(where->Position(&x, &y), "a laptop moved onto the floor stands on it");
            Require(x >= 0 && x <= floor.widthM && y >= 0, "a position on the floor");
            odr::GetRSSI_freq(adapter, &sync, 10, 0);
        }
    }
    clock.now += 60000;
    odr::GetSyncState(channel, &sync, 0);
    return 0;
}
