// The simulated adapter's request handler fed with any request blocks, on the default site.
#include <cstring>
#include <memory>

#include "driver/Device.h"
#include "driver/DriverTypes.h"
#include "sim/Scenario.h"
#include "sim/SimDevice.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/native/fakes/FakePlatform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using odr::fuzz::Require;
    odr::fuzz::FuzzInput in(data, size);
    odr::test::FakeClock clock;
    odr::sim::SimDeviceHost devices(odr::sim::DefaultScenario(), clock);
    std::unique_ptr<odr::Device> device = devices.Open(odr::sim::kNtDevicePath, false);
    if (!device) return 0;
    while (!in.empty()) {
        // A command word and value, a length field and up to 96 data bytes; a time step.
        uint8_t block[odr::kRequestBlockSize] = {};
        const uint32_t command = in.Byte() % 40;
        std::memcpy(block + odr::kReqCommand, &command, 4);
        in.Bytes(block + odr::kReqValue, 8);
        in.Bytes(block + odr::kReqData, in.Byte() % 97);
        clock.now += in.Byte();
        uint32_t error = 0;
        if (in.Byte() & 1) {
            if (!device->ControlOverlapped(block, &error) && error == odr::kErrorIoPending) {
                device->WaitOverlapped();
            }
        } else {
            device->Control(block, &error);
        }
        uint32_t length = 0;
        std::memcpy(&length, block + odr::kReqLength, 4);
        Require(length <= odr::kRequestBlockSize - odr::kReqData, "reply length within the block");
    }
    return 0;
}
