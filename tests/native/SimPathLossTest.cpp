// The multi-wall model: which walls a line crosses, and the level at a distance.
#include <gtest/gtest.h>

#include <vector>

#include "sim/PathLoss.h"

namespace odr::sim {
namespace {

Wall W(double x0, double y0, double x1, double y1, double loss = 5) {
    return Wall{{x0, y0}, {x1, y1}, loss};
}

TEST(SimPathLossTest, WhichWallsALineCrosses) {
    struct Case {
        const char* what;
        Point a, b;
        Wall wall;
        bool crosses;
    } cases[] = {
        {"through the middle", {0, 0}, {10, 0}, W(5, -2, 5, 2), true},
        {"stops short", {0, 0}, {4.9, 0}, W(5, -2, 5, 2), false},
        {"passes beside its end", {0, 0}, {10, 0}, W(5, 0.1, 5, 2), false},
        {"through its end", {0, 0}, {10, 10}, W(5, 5, 9, 1), true},
        {"grazes its end", {0, 0}, {10, 0}, W(5, 0, 7, 3), true},
        {"a station on it", {5, 0}, {10, 0}, W(5, -2, 5, 2), false},
        {"a station on its end", {5, 2}, {10, 0}, W(5, -2, 5, 2), false},
        {"a station on it, rounded", {0.3, 0.9}, {2, 0}, W(0.1, 0.3, 0.7, 2.1), false},
        {"along it", {0, 0}, {10, 0}, W(2, 0, 6, 0), false},
        {"parallel beside it", {0, 0}, {10, 0}, W(2, 0.5, 6, 0.5), false},
        {"a line of no length", {5, 0}, {5, 0}, W(5, -2, 5, 2), false},
    };
    for (const Case& c : cases) {
        const Wall turned{c.wall.to, c.wall.from, c.wall.lossDb};
        EXPECT_EQ(Crosses(c.a, c.b, c.wall), c.crosses) << c.what;
        EXPECT_EQ(Crosses(c.b, c.a, turned), c.crosses) << c.what << ", both reversed";
    }
}

TEST(SimPathLossTest, EachWallCrossedCountsOnce) {
    // A room from (2,2) to (8,6) and a wall outside it.
    const std::vector<Wall> walls = {W(2, 2, 8, 2, 3), W(8, 2, 8, 6, 4), W(8, 6, 2, 6, 10),
                                     W(2, 6, 2, 2, 12), W(20, 0, 20, 10, 7)};
    struct Case {
        const char* what;
        Point a, b;
        double loss;
    } cases[] = {
        {"inside the room", {3, 3}, {7, 5}, 0},
        {"through the room and the far wall", {0, 4}, {30, 4}, 12 + 4 + 7},
        {"through a corner: both walls", {0, 0}, {5, 5}, 3 + 12},
        {"along the top wall: the side walls' ends", {0, 2}, {10, 2}, 12 + 4},
        {"from on a wall out through another", {5, 2}, {5, 8}, 10},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(WallLoss(c.a, c.b, walls), c.loss) << c.what;
}

TEST(SimPathLossTest, LevelFallsWithDistanceFromOneMetre) {
    struct Case {
        Point to;
        double exponent, level;
    } cases[] = {{{0, 0}, 3, -30},
                 {{0.5, 0}, 3, -30},
                 {{6, 8}, 3, -60},
                 {{10, 0}, 2, -50},
                 {{3.2, 0}, 3, -45.15}};
    for (const Case& c : cases)
        EXPECT_NEAR(LevelAt(-30, c.exponent, {0, 0}, c.to, {}), c.level, 0.01) << c.to.x;
    // Walls come off on top, also within the first metre.
    const std::vector<Wall> walls = {W(5, -1, 5, 1, 11), W(0.5, -1, 0.5, 1, 3)};
    EXPECT_NEAR(LevelAt(-30, 3, {0, 0}, {10, 0}, walls), -74, 1e-9);
    EXPECT_NEAR(LevelAt(-30, 3, {0, 0}, {0.8, 0}, walls), -33, 1e-9);
}

}  // namespace
}  // namespace odr::sim
