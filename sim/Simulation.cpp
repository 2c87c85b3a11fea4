// Choosing the simulated adapter from the command line or the environment.
#include "sim/Simulation.h"

#include <cctype>

#include "sim/Scenario.h"

namespace odr::sim {

namespace {

constexpr const char* kVariable = "ODR_SIMULATE";
constexpr const char* kSwitch = "/simulate";

// Splits a command line at blanks; double quotes group blanks and are dropped.
std::vector<std::string> Arguments(const std::string& commandLine) {
    std::vector<std::string> args;
    std::string current;
    bool quoted = false, any = false;
    for (char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (any) args.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) args.push_back(current);
    return args;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

}  // namespace

SimulationChoice ParseSimulation(const std::string& commandLine, platform::Os& os) {
    SimulationChoice choice;
    const std::string prefix = kSwitch;
    for (const std::string& arg : Arguments(commandLine)) {
        if (!StartsWithNoCase(arg, prefix)) continue;
        if (arg.size() == prefix.size()) {
            choice.simulate = true;
            choice.scenarioPath.clear();
        } else if (arg[prefix.size()] == ':') {
            choice.simulate = true;
            choice.scenarioPath = arg.substr(prefix.size() + 1);
        }
    }
    if (choice.simulate) {
        os.SetEnv(kVariable, choice.scenarioPath.empty() ? "1" : choice.scenarioPath);
        return choice;
    }
    const std::string value = os.GetEnv(kVariable);
    if (value.empty() || value == "0") return choice;
    choice.simulate = true;
    if (value != "1") choice.scenarioPath = value;
    return choice;
}

std::unique_ptr<SimDeviceHost> CreateSimDeviceHost(const std::string& scenarioPath,
                                                   platform::Os& os, platform::Clock& clock,
                                                   std::string* error) {
    Scenario scenario = DefaultScenario();
    if (!scenarioPath.empty()) {
        std::string text;
        if (!os.ReadTextFile(scenarioPath, &text)) {
            if (error) *error = scenarioPath + ": cannot be read";
            return nullptr;
        }
        if (!ParseScenario(text, scenarioPath, &scenario, error)) return nullptr;
    }
    return std::make_unique<SimDeviceHost>(std::move(scenario), clock);
}

std::unique_ptr<DeviceHost> ChooseDeviceHost(
    const std::string& commandLine, platform::Os& os, platform::Clock& clock,
    SimDeviceHost::StartupSource startup,
    const std::function<std::unique_ptr<DeviceHost>()>& realDevice, std::string* error) {
    const SimulationChoice choice = ParseSimulation(commandLine, os);
    if (!choice.simulate) return realDevice();
    std::unique_ptr<SimDeviceHost> simulated =
        CreateSimDeviceHost(choice.scenarioPath, os, clock, error);
    if (simulated) simulated->SetStartupSource(std::move(startup));
    return simulated;
}

}  // namespace odr::sim
