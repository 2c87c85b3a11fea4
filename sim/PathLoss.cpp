// Distance and wall losses on the floor.
#include "sim/PathLoss.h"

#include <algorithm>
#include <cmath>

namespace odr::sim {

namespace {

double Length(Point a, Point b) {
    return std::hypot(b.x - a.x, b.y - a.y);
}

// Which side of the line through a and b (of the given length, not 0) p lies on: 1 left,
// -1 right, 0 on it (within kTouchM).
int Side(Point a, Point b, double length, Point p) {
    const double d = ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) / length;
    return d > kTouchM ? 1 : d < -kTouchM ? -1 : 0;
}

}  // namespace

bool Crosses(Point a, Point b, const Wall& wall) {
    const double line = Length(a, b);
    const double span = Length(wall.from, wall.to);
    if (!(line > kTouchM) || !(span > kTouchM)) return false;
    // Both ends of the wall on one side of the line, or both on it (along the line).
    if (Side(a, b, line, wall.from) == Side(a, b, line, wall.to)) return false;
    // The wall meets the line somewhere; it is crossed when a and b lie on opposite sides
    // of it. One of them on the wall's line is where the two lines meet: standing on it.
    const int sa = Side(wall.from, wall.to, span, a);
    const int sb = Side(wall.from, wall.to, span, b);
    return sa != 0 && sb != 0 && sa != sb;
}

double WallLoss(Point a, Point b, const std::vector<Wall>& walls) {
    double loss = 0;
    for (const Wall& wall : walls) {
        if (Crosses(a, b, wall)) loss += wall.lossDb;
    }
    return loss;
}

double LevelAt(double level1m, double exponent, Point from, Point to,
               const std::vector<Wall>& walls) {
    const double distance = std::max(Length(from, to), kReferenceM);
    return level1m - 10.0 * exponent * std::log10(distance) - WallLoss(from, to, walls);
}

}  // namespace odr::sim
