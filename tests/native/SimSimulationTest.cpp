// Choosing the simulated adapter: the switch, the environment variable, and scenario loading.
#include <gtest/gtest.h>

#include "driver/DataList.h"
#include "driver/DriverTypes.h"
#include "fakes/FakePlatform.h"
#include "main/AdapterDevice.h"
#include "platform/MemoryRegistry.h"
#include "sim/Simulation.h"

namespace odr::sim {
namespace {

TEST(SimSimulationTest, SwitchAndVariable) {
    struct Case {
        const char* commandLine;
        const char* variableBefore;  // null: unset
        bool simulate;
        const char* path;
        const char* variableAfter;
    } cases[] = {
        {"", nullptr, false, "", ""},
        {"/simulate", nullptr, true, "", "1"},
        {"/SIMULATE", nullptr, true, "", "1"},
        {"odrstat.exe /Simulate:site.ini", nullptr, true, "site.ini", "site.ini"},
        {"\"/simulate:C:\\My Sites\\a.ini\"", nullptr, true, "C:\\My Sites\\a.ini",
         "C:\\My Sites\\a.ini"},
        {"/simulate:\"C:\\My Sites\\a.ini\" /x", nullptr, true, "C:\\My Sites\\a.ini",
         "C:\\My Sites\\a.ini"},
        {"/simulate:", nullptr, true, "", "1"},
        {"/simulated", nullptr, false, "", ""},
        {"x/simulate", nullptr, false, "", ""},
        {"", "1", true, "", "1"},
        {"", "0", false, "", "0"},
        {"", "D:\\s.ini", true, "D:\\s.ini", "D:\\s.ini"},
        {"/simulate", "0", true, "", "1"},
        {"/simulate:b.ini", "a.ini", true, "b.ini", "b.ini"},
    };
    for (const Case& c : cases) {
        test::FakeOs os;
        if (c.variableBefore) os.env["ODR_SIMULATE"] = c.variableBefore;
        SimulationChoice choice = ParseSimulation(c.commandLine, os);
        EXPECT_EQ(choice.simulate, c.simulate) << c.commandLine;
        EXPECT_EQ(choice.scenarioPath, c.path) << c.commandLine;
        EXPECT_EQ(os.GetEnv("ODR_SIMULATE"), c.variableAfter) << c.commandLine;
    }
}

TEST(SimSimulationTest, ScenarioLoading) {
    test::FakeOs os;
    test::FakeClock clock;
    std::string error;
    EXPECT_NE(CreateSimDeviceHost("", os, clock, &error), nullptr);

    EXPECT_EQ(CreateSimDeviceHost("missing.ini", os, clock, &error), nullptr);
    EXPECT_EQ(error, "missing.ini: cannot be read");

    os.fileContents["bad.ini"] = "[site]\nseed = 1\n\n[adapter]\ncolour = blue\n";
    EXPECT_EQ(CreateSimDeviceHost("bad.ini", os, clock, &error), nullptr);
    EXPECT_EQ(error, "bad.ini:5: unknown key 'colour' in [adapter]");

    os.fileContents["good.ini"] = "[adapter]\nnode = 0020a6f00099\n";
    auto host = CreateSimDeviceHost("good.ini", os, clock, &error);
    ASSERT_NE(host, nullptr);
    EXPECT_NE(host->Open("\\\\.\\ODRAPI", true), nullptr);
}

// The entry points' choice: the real device unless asked, else the simulated adapter that
// starts from the stored settings, as the real driver does.
TEST(SimSimulationTest, ChosenSimulatorStartsFromTheStoredSettings) {
    test::FakeOs os;
    test::FakeClock clock;
    platform::MemoryRegistry registry;
    const std::string key = "System\\CurrentControlSet\\Services\\odrwinnt1\\Parameters";
    registry.SetString(key, "Master_Name", "STORED");
    registry.SetDword(key, "Domain", 7);
    int realOpened = 0;
    auto real = [&]() -> std::unique_ptr<DeviceHost> {
        ++realOpened;
        return nullptr;
    };
    std::string error;
    EXPECT_EQ(ChooseAdapterDevice("odrcfg.exe", os, clock, registry, real, &error), nullptr);
    EXPECT_EQ(realOpened, 1);

    std::unique_ptr<DeviceHost> host =
        ChooseAdapterDevice("/simulate", os, clock, registry, real, &error);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(realOpened, 1);
    std::unique_ptr<Device> device = host->Open("\\\\.\\ODRWINNT1", false);
    ASSERT_NE(device, nullptr);

    uint8_t block[kRequestBlockSize] = {};
    uint16_t used = 0;
    AddToDataList(block + kReqData, &used, ITEM_DOMAIN, nullptr);
    AddToDataList(block + kReqData, &used, ITEM_MASTER_NAME, nullptr);
    WriteU32(block + kReqCommand, CMD_GET_DRIVER_DATA);
    WriteU32(block + kReqLength, used + 2u);
    uint32_t ioError = 0;
    ASSERT_TRUE(device->Control(block, &ioError));
    uint8_t domain = 0;
    char name[12] = {};
    ASSERT_EQ(GetfromDataList(block + kReqData, used + 2u, ITEM_DOMAIN, &domain), 0);
    ASSERT_EQ(GetfromDataList(block + kReqData, used + 2u, ITEM_MASTER_NAME, name), 0);
    EXPECT_EQ(domain, 7);
    EXPECT_STREQ(name, "STORED");

    os.fileContents["bad.ini"] = "[nonsense]\n";
    EXPECT_EQ(ChooseAdapterDevice("/simulate:bad.ini", os, clock, registry, real, &error), nullptr);
    EXPECT_EQ(error, "bad.ini:1: unknown section [nonsense]");
}

}  // namespace
}  // namespace odr::sim
