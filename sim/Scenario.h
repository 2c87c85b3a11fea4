// A simulated radio site: this adapter's own parameters, the masters and nodes around it,
// interference and injected faults. Read from an INI scenario file or built in.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "driver/StartupValues.h"
#include "sim/PathLoss.h"

namespace odr::sim {

using Address = std::array<uint8_t, 6>;

// A level in dBm that is constant or follows straight lines between (seconds, dBm) points.
struct Course {
    std::vector<std::pair<double, double>> points;
    double At(double seconds) const;
};

// The floor's sides, in metres.
constexpr double kMinFloorM = 1;
constexpr double kMaxFloorM = 1000;
// The largest number of walls of a site.
constexpr size_t kMaxWalls = 1000;

// A set of time spans in seconds; `to` < 0 means open-ended.
struct Spans {
    std::vector<std::pair<double, double>> spans;
    bool Contains(double seconds) const;
};

// A master or a node of the site.
struct Station {
    std::string id;  // section suffix
    std::string name;
    Address address{};
    uint8_t domain = 1;
    uint8_t channel = 1;
    uint8_t subchannel = 1;
    std::string securityId;  // the file's default is the adapter's initial security ID
    Course signal;
    Spans onAir;
    uint32_t latencyMs = 3;
    uint32_t replyPercent = 100;
    std::string master;  // nodes: id of the master section, or "self"
    int line = 0;        // section header line, for messages
    double cycle = 0;    // seconds after which signal and on_air start over; 0 never
    // A placed station: its level at this adapter comes from where both stand (PathLoss.h),
    // not from `signal`.
    bool placed = false;
    Point position;
    double level1m = 0;  // dBm at one metre
    int positionLine = 0;

    // The time within the station's own course at `seconds` since the start.
    double CourseTime(double seconds) const;
};

enum class CalibrationKind { Points, None, Invalid };

struct AdapterConfig {
    Address node{{0x00, 0x20, 0xa6, 0xf0, 0x00, 0x01}};
    std::string romVersion = "V1.50a";
    std::string driverVersion = "2.10";
    uint8_t country = 0;
    uint8_t firstChannel = 1;
    CalibrationKind calibrationKind = CalibrationKind::Points;
    std::vector<std::pair<uint8_t, uint8_t>> calibration{{40, 200}, {60, 150}, {80, 100}};
    std::string securityId = "SITE1";
    StartupValues startup;  // used when the host is given no stored settings
    uint32_t acquireMs = 300;
    bool placed = false;  // where it stands on the floor, when it has a position
    Point position;
    int positionLine = 0;
};

// The floor the site lies on: a plan (a bitmap widthM metres wide whose aspect gives the
// height) or a bare rectangle of widthM by heightM metres. No floor when widthM is 0.
struct FloorConfig {
    std::string plan;  // the plan's bitmap; empty: none. Relative to the scenario file's
                       // folder until CreateSimDeviceHost resolves it.
    int planLine = 0;
    double widthM = 0;
    double heightM = 0;  // with a plan, 0 until FitToPlan sets it from the plan's aspect
    double pathLossExponent = 3;
    bool Exists() const { return widthM > 0; }
    // How far down a place may be: the height, or kMaxFloorM while a plan's is not known.
    double DepthM() const { return heightM > 0 ? heightM : kMaxFloorM; }
};

struct SiteWall {
    std::string id;  // section suffix
    Wall wall;
    int line = 0;  // section header line
    int fromLine = 0;
    int toLine = 0;
};

struct Interference {
    int firstChannel = 0;
    int lastChannel = 0;
    int level = -90;
    int dutyPercent = 100;
};

struct Faults {
    Spans driverAbsent;
    Spans driverLost;
    uint32_t transmitBusyPercent = 0;
    uint32_t pollStuckPercent = 0;
    std::vector<uint16_t> refuseItems;
    // TransmitPing results with their percentages: negative ones answer the short form
    // (-6, -7), positive ones the long form (11, 0x800).
    std::vector<std::pair<int, uint32_t>> transmitResults;
    // Percentage of device calls answered "I/O pending" (997) once the block is filled.
    uint32_t ioPendingPercent = 0;
};

struct Scenario {
    uint32_t seed = 1;
    FloorConfig floor;
    std::vector<SiteWall> walls;
    AdapterConfig adapter;
    std::vector<Station> masters;
    std::vector<Station> nodes;
    std::vector<Interference> interference;
    Faults faults;
};

// The built-in default site: scenarios/default.ini, built into the program.
Scenario DefaultScenario();

// Parses scenario text. On a fault returns false with "FILE:LINE: problem" in *error and
// leaves *scenario untouched.
bool ParseScenario(const std::string& text, const std::string& fileName, Scenario* scenario,
                   std::string* error);

// Gives a scenario with a plan its floor's height from the plan's size in pixels and checks
// that every position and wall lies on that floor. False with "FILE:LINE: problem" in *error
// otherwise, leaving *scenario untouched.
bool FitToPlan(Scenario* scenario, int widthPx, int heightPx, const std::string& fileName,
               std::string* error);

// Twelve hex digits into an address; false when the text is not one.
bool ParseAddress(const std::string& text, Address* address);
std::string FormatAddress(const Address& address);

}  // namespace odr::sim
