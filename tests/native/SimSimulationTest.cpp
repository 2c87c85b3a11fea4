// Choosing the simulated adapter: the switch, the environment variable, and scenario loading.
#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
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

}  // namespace
}  // namespace odr::sim
