// A scenario file of the tree's scenarios/ folder, parsed (a test failure when it does not
// parse).
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "sim/Scenario.h"

namespace odr::test {

inline sim::Scenario ShippedScenario(const std::string& name) {
    std::string here = __FILE__;  // .../tests/native/fakes/ShippedScenario.h
    std::ifstream in(here.substr(0, here.rfind("tests/native/")) + "scenarios/" + name);
    std::stringstream text;
    text << in.rdbuf();
    sim::Scenario scenario;
    std::string error;
    EXPECT_TRUE(sim::ParseScenario(text.str(), name, &scenario, &error)) << error;
    return scenario;
}

}  // namespace odr::test
