// The coverage survey: the floor (a plan bitmap or a plain grid, its size in metres) and the
// points measured on it, each with the stations heard there. Coordinates are metres from
// the floor's top-left corner, held to the millimetre so that a saved survey reads back
// exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace odr::map {

// A station's 48-bit address; kNoStation stands for none.
constexpr uint64_t kNoStation = ~uint64_t(0);
constexpr size_t kMaxPoints = 100000;
constexpr size_t kMaxStationsPerPoint = 256;
constexpr size_t kMaxNameLength = 64;
// Floors and coordinates are at most this many metres, floors at least kMinFloorMetres;
// both are kept to kCoordinateDecimals, the traffic figures (at most kMaxFigure) to
// kFigureDecimals, as the survey file writes them.
constexpr double kMaxMetres = 100000;
constexpr double kMinFloorMetres = 0.001;
constexpr int kCoordinateDecimals = 3;
constexpr int kFigureDecimals = 2;
constexpr double kMaxFigure = 1000000;

// "0020a6401234": 12 lower-case hex digits.
std::string FormatAddress(uint64_t address);
// 12 hex digits (either case); false for anything else.
bool ParseAddress(std::string_view text, uint64_t* address);
// The "2026-12-09T17:40:05" form of platform::Os::LocalTimestamp, digits checked.
bool IsTimestamp(std::string_view text);

enum class Role { kMaster, kNode };

struct Station {
    uint64_t address = 0;
    Role role = Role::kNode;
    std::string name;     // masters' names; empty for nodes
    int signal = 0;       // percent, 0-100
    int linkQuality = 0;  // 0-5
};

struct SurveyPoint {
    std::string time;  // as platform::Os::LocalTimestamp gives it
    double xM = 0;
    double yM = 0;
    uint64_t master = kNoStation;  // the master the adapter was synchronised to
    std::vector<Station> stations;
    // An active point measured traffic too.
    bool active = false;
    double packetsPerSecond = 0;  // held to 0.01
    double latencyMs = 0;         // mean, held to 0.01

    // The station heard with `address`, or null.
    const Station* Find(uint64_t address) const;
};

struct Floor {
    std::string planPath;  // the plan's bitmap; empty: a grid
    double widthM = 0;
    double heightM = 0;  // for a plan, from the plan's aspect
};

// A floor plan's width in metres from two points clicked on it (in the plan's pixels)
// whose real distance is `distanceM`. False when the points coincide or a value is out of
// range.
bool WidthFromTwoPoints(int planWidthPx, double ax, double ay, double bx, double by,
                        double distanceM, double* widthM);

// Distance in metres between two places on the floor.
double DistanceM(double ax, double ay, double bx, double by);

class Survey {
  public:
    const Floor& GetFloor() const { return floor_; }
    // False (nothing changed) when the size is not within (0, kMaxMetres].
    bool SetFloor(const Floor& floor);
    // A new width for the same floor (the plan measured again): every point keeps its
    // place on the plan, its metres scaled with the floor.
    bool ScaleFloor(double widthM, double heightM);

    const std::vector<SurveyPoint>& Points() const { return points_; }
    size_t Size() const { return points_.size(); }

    // Adds a point after checking it (CheckPoint); coordinates and figures are rounded to
    // what the file holds. False, with `*error` set, when refused.
    bool Add(SurveyPoint point, std::string* error);
    // Removes the point added last; false when there is none.
    bool Undo();
    // Removes point `index`; false when there is none.
    bool Erase(size_t index);

    // The name last recorded for a master, or "".
    std::string NameOf(uint64_t address) const;

  private:
    Floor floor_;
    std::vector<SurveyPoint> points_;
};

// Why `point` cannot be stored ("" when it can): time form, coordinates within
// [0, kMaxMetres], signal 0-100, link quality 0-5, names at most kMaxNameLength, no station
// twice, at most kMaxStationsPerPoint stations, traffic figures 0 to 1,000,000.
std::string CheckPoint(const SurveyPoint& point);

// Stations heard anywhere in the survey, for a chooser: masters first, then by address.
struct HeardStation {
    uint64_t address = 0;
    Role role = Role::kNode;  // a master if ever heard as one
    std::string name;
    int points = 0;  // points it was heard at
};
std::vector<HeardStation> ListStations(const Survey& survey);

}  // namespace odr::map
