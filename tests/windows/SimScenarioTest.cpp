// Scenario files read from disk through the Win32 OS services, under Wine.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "driver/DriverTypes.h"
#include "platform/win32/Win32Platform.h"
#include "sim/Simulation.h"

namespace odr::sim {
namespace {

class SimScenarioFile : public ::testing::Test {
  protected:
    void Write(const std::string& name, const std::string& text) {
        path = platform::JoinPath(os->ProgramFolder(), name);
        std::remove(path.c_str());
        ASSERT_TRUE(os->AppendToFile(path, text));
    }
    void TearDown() override {
        if (!path.empty()) std::remove(path.c_str());
        os->SetEnv("ODR_SIMULATE", "");
    }

    std::unique_ptr<platform::Os> os = platform::CreateWin32Os();
    std::unique_ptr<platform::Clock> clock = platform::CreateWin32Clock();
    std::string path;
};

TEST_F(SimScenarioFile, ReadFromDisk) {
    Write("win_tests_site.ini",
          "; a small site\r\n[site]\r\nseed = 5\r\n\r\n[adapter]\r\nnode = 0020a6f0abcd\r\n"
          "driver_version = 3.01\r\nacquire_ms = 0\r\n\r\n[master.HALL]\r\nname = HALL\r\n"
          "address = 0020a6100077\r\nsignal = -50\r\n");
    const SimulationChoice choice = ParseSimulation("/Simulate:\"" + path + "\"", *os);
    ASSERT_TRUE(choice.simulate);
    EXPECT_EQ(choice.scenarioPath, path);
    EXPECT_EQ(os->GetEnv("ODR_SIMULATE"), path);  // inherited by a started odrcfg

    std::string error;
    std::unique_ptr<SimDeviceHost> host =
        CreateSimDeviceHost(choice.scenarioPath, *os, *clock, &error);
    ASSERT_NE(host, nullptr) << error;
    std::unique_ptr<Device> device = host->Open(kNtDevicePath, false);
    ASSERT_NE(device, nullptr);

    uint8_t block[kRequestBlockSize] = {};
    WriteU32(block + kReqCommand, CMD_GET_DRIVER_VERSION);
    uint32_t systemError = 0;
    ASSERT_TRUE(device->Control(block, &systemError));
    EXPECT_EQ(ReadU32(block + kReqResult), 0u);
    EXPECT_STREQ(reinterpret_cast<const char*>(block + kReqData), "3.01");

    // GetDriverData with the synchronised master's address: HALL at once (acquire_ms 0).
    uint8_t list[] = {ITEM_SYNC_MASTER_ADDR, 0, 0xFF, 0xFF, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::memset(block, 0, sizeof block);
    WriteU32(block + kReqCommand, CMD_GET_DRIVER_DATA);
    WriteU32(block + kReqLength, sizeof list);
    std::memcpy(block + kReqData, list, sizeof list);
    ASSERT_TRUE(device->Control(block, &systemError));
    EXPECT_EQ(ReadU16(block + kReqData + 2), 0);
    const uint8_t hall[] = {0x00, 0x20, 0xa6, 0x10, 0x00, 0x77};
    EXPECT_EQ(std::memcmp(block + kReqData + 6, hall, 6), 0);
}

TEST_F(SimScenarioFile, BadFileRefusedWithItsLine) {
    Write("win_tests_bad.ini",
          "[site]\r\nseed = 5\r\n\r\n[master.HALL]\r\naddress = 0020a6100077\r\n"
          "[node.N1]\r\naddress = 0020a6200001\r\nmaster = ATTIC\r\n");
    std::string error;
    EXPECT_EQ(CreateSimDeviceHost(path, *os, *clock, &error), nullptr);
    EXPECT_EQ(error, path + ":8: master \"ATTIC\" of [node.N1] does not exist");

    EXPECT_EQ(CreateSimDeviceHost(path + ".missing", *os, *clock, &error), nullptr);
    EXPECT_EQ(error, path + ".missing: cannot be read");
}

}  // namespace
}  // namespace odr::sim
