// The built-in site the simulated adapter plays without a scenario file: the text of
// scenarios/default.ini, built into the program and read by the scenario reader.
#include <string>

#include "sim/Scenario.h"

namespace odr::sim {

Scenario DefaultScenario() {
    static const char kText[] =
#include "sim/DefaultSiteText.inc"
        ;
    // The shipped file is read by the tests: it always parses.
    Scenario s;
    std::string error;
    ParseScenario(kText, "default.ini", &s, &error);
    return s;
}

}  // namespace odr::sim
