// The level of a placed station at this adapter: distance on the floor and the walls in
// between (the multi-wall indoor model). Pure functions of the floor's geometry.
#pragma once

#include <vector>

namespace odr::sim {

// A point on the site's floor, in metres from its top-left corner.
struct Point {
    double x = 0;
    double y = 0;
};

// A wall between two points; a signal passing through it loses lossDb.
struct Wall {
    Point from;
    Point to;
    double lossDb = 0;
};

// Within this distance (metres) points and lines touch.
constexpr double kTouchM = 1e-6;
// Distances under a metre count as one metre.
constexpr double kReferenceM = 1.0;

// Whether the straight line from `a` to `b` passes through `wall`:
// - a wall touched anywhere between the line's ends counts, its own end points included;
// - a wall that `a` or `b` stands on does not count;
// - a wall lying along the line (collinear, overlapping or not) does not count;
// - a line of no length, or a wall of no length, crosses nothing.
bool Crosses(Point a, Point b, const Wall& wall);

// The loss of every wall the line from `a` to `b` crosses, each wall once.
double WallLoss(Point a, Point b, const std::vector<Wall>& walls);

// The level in dBm at `to` of a station at `from` that is heard at level1m dBm one metre
// away: level1m - 10 * exponent * log10(max(distance, 1 m)) - WallLoss.
double LevelAt(double level1m, double exponent, Point from, Point to,
               const std::vector<Wall>& walls);

}  // namespace odr::sim
