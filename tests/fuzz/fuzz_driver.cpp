// Every adapter operation against a driver that answers with the fuzzer's bytes: failed
// calls, pending calls, result words, length fields that lie, data without terminators.
#include <cstring>
#include <memory>
#include <string>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/Device.h"
#include "driver/DriverTypes.h"
#include "driver/Measure.h"
#include "driver/Operations.h"
#include "driver/Queries.h"
#include "driver/RssiTable.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/native/fakes/FakePlatform.h"

namespace {

using odr::fuzz::FuzzInput;
using odr::fuzz::Require;

// Each answer: a kind byte (fail, pending, or a reply), then the result word, the length
// field and up to 64 data bytes.
class FuzzDevice : public odr::Device {
  public:
    explicit FuzzDevice(FuzzInput& in) : in_(in) {}
    bool Control(uint8_t* block, uint32_t* error) override { return Answer(block, error, false); }
    bool ControlOverlapped(uint8_t* block, uint32_t* error) override {
        return Answer(block, error, true);
    }
    bool WaitOverlapped() override { return in_.Byte() % 8 != 0; }

  private:
    bool Answer(uint8_t* block, uint32_t* error, bool overlapped) {
        const uint8_t kind = in_.Byte();
        if (kind % 16 == 0) {
            *error = overlapped && kind & 0x10 ? odr::kErrorIoPending : in_.U32();
            return false;
        }
        const uint32_t result = in_.U32();
        const uint32_t length = in_.U32();
        std::memcpy(block + odr::kReqResult, &result, 4);
        std::memcpy(block + odr::kReqLength, &length, 4);
        in_.Bytes(block + odr::kReqData, in_.Byte() % 65);
        return true;
    }
    FuzzInput& in_;
};

class FuzzHost : public odr::DeviceHost {
  public:
    explicit FuzzHost(FuzzInput& in) : in_(in) {}
    std::unique_ptr<odr::Device> Open(const std::string&, bool) override {
        return std::make_unique<FuzzDevice>(in_);
    }
    bool DefineName(const std::string&, const std::string&) override { return true; }
    bool RemoveName(const std::string&) override { return true; }
    bool CreateCompletionEvent() override { return true; }

  private:
    FuzzInput& in_;
};

bool Terminated(const char* text, size_t capacity) {
    return std::memchr(text, 0, capacity) != nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    odr::test::FakeClock clock;
    odr::test::FakeOs os;
    odr::Trace trace;
    FuzzHost host(in);
    odr::Channel channel(host, os, clock, trace);
    odr::AdapterStatus status;
    odr::RssiTable rssi;
    odr::AdapterContext adapter{channel, clock, os, status, rssi, nullptr};
    if (channel.OpenDriver(&status) != 0) return 0;

    for (int step = 0; step < 24 && !in.empty(); ++step) {
        switch (in.Byte() % 12) {
            case 0: {
                char version[32];
                std::memset(version, 'x', sizeof version);
                odr::GetVersion(channel, version, 0);
                break;
            }
            case 1: {
                char master[13], name[12], node[13];
                std::memset(master, 'x', sizeof master);
                std::memset(name, 'x', sizeof name);
                std::memset(node, 'x', sizeof node);
                uint8_t ch = 0, sub = 0, sync = 0;
                if (odr::GetMasterNode(channel, master, name, &ch, &sub, node, &sync, 0) == 0) {
                    Require(Terminated(master, sizeof master) && Terminated(node, sizeof node),
                            "addresses terminated");
                    Require(Terminated(name, sizeof name), "master name terminated");
                }
                break;
            }
            case 2: {
                char version[32];
                std::memset(version, 'x', sizeof version);
                if (odr::GetDriverVersion(channel, version, 0) != odr::kNotCarried) {
                    Require(Terminated(version, sizeof version), "driver version terminated");
                }
                break;
            }
            case 3: {
                uint8_t country = 0, first = 0;
                odr::GetCountryCode(channel, &country, 0, &first);
                break;
            }
            case 4: {
                char node[13];
                uint32_t value = 0;
                uint8_t signal = 0;
                if (odr::GetPing(adapter, node, &value, &signal, 0) == 1) {
                    Require(Terminated(node, sizeof node), "ping address terminated");
                    Require(signal <= 100, "ping signal is a percentage");
                }
                break;
            }
            case 5: {
                uint32_t done = 0;
                odr::PollPing(channel, in.Byte(), &done, 0);
                break;
            }
            case 6: {
                uint8_t sync = 0, handle = 0;
                uint32_t sent = 0, value = 0;
                odr::SendPing(channel, "0020a6100001", in.U32() % 4000, in.Byte(), &sync, &sent,
                              &handle, 0, in.Byte() & 1, &value);
                break;
            }
            case 7: {
                uint8_t reading = 0;
                if (odr::GetRSSI_freq(adapter, &reading, in.Byte(), 0) == 0) {
                    Require(reading <= 100, "signal reading is a percentage");
                }
                break;
            }
            case 8: {
                char text[256];
                odr::LoadRSSITable(adapter, text, sizeof text, 0);
                for (size_t r = 1; r < sizeof rssi.percent; ++r) {
                    Require(rssi.percent[r] >= rssi.percent[r - 1] && rssi.percent[r] <= 100,
                            "calibration table rises within 0..100");
                }
                break;
            }
            case 9: {
                uint8_t sync = 0;
                odr::InitCard(adapter, &sync, 0, in.Byte() & 1);
                Require(Terminated(status.masterName, sizeof status.masterName) &&
                            Terminated(status.romVersion, sizeof status.romVersion) &&
                            Terminated(status.driverVersion, sizeof status.driverVersion) &&
                            Terminated(status.rssiText, sizeof status.rssiText),
                        "adapter status texts terminated");
                break;
            }
            case 10: {
                uint8_t flag = 0;
                odr::GetRoamingFlag(channel, &flag, 0);
                odr::GetSyncState(channel, &flag, 0);
                break;
            }
            default:
                odr::SetCardOptions(channel, in.Byte() & 1, "FUZZ", "1", "1", "1", "1", "2", "1", 1,
                                    0, 1, 0, 0);
                break;
        }
    }
    return 0;
}
