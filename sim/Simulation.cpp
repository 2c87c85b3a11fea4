// Choosing the simulated adapter from the command line or the environment.
#include "sim/Simulation.h"

#include <cctype>

#include "platform/Bitmap.h"
#include "platform/SafeFile.h"
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

// The plan's path: as given when absolute, otherwise in the scenario file's folder.
std::string PlanPath(const std::string& scenarioPath, const std::string& plan) {
    if (plan[0] == '\\' || plan[0] == '/' || (plan.size() > 1 && plan[1] == ':')) return plan;
    const size_t separator = scenarioPath.find_last_of("\\/");
    if (separator == std::string::npos) return plan;
    return platform::JoinPath(scenarioPath.substr(0, separator + 1), plan);
}

// Resolves the scenario's plan and fits the floor to the plan's size.
bool LoadPlan(const std::string& scenarioPath, platform::Os& os, Scenario* scenario,
              std::string* error) {
    FloorConfig& floor = scenario->floor;
    if (floor.plan.empty()) return true;
    const std::string where =
        scenarioPath + ":" + std::to_string(floor.planLine) + ": plan \"" + floor.plan + "\" ";
    const std::string path = PlanPath(scenarioPath, floor.plan);
    std::string bytes, problem;
    int width = 0, height = 0;
    if (!platform::ReadFileCapped(os, path, platform::kMaxBitmapFileBytes, &bytes, &problem)) {
        if (error) *error = where + "cannot be read (" + path + ")";
        return false;
    }
    if (!platform::ReadBitmapSize(bytes, &width, &height, &problem)) {
        if (error) *error = where + "cannot be used: " + problem;
        return false;
    }
    if (!FitToPlan(scenario, width, height, scenarioPath, error)) return false;
    floor.plan = path;
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
        if (!LoadPlan(scenarioPath, os, &scenario, error)) return nullptr;
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
