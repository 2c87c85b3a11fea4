// Interpolation (a point's own value at its place, values between points between theirs,
// nothing past the radius), values of passive points, the master map, the field kept up to
// date point by point, and the legend's bands.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "map/HeatMap.h"

namespace odr::map {
namespace {

using namespace platform;

constexpr uint64_t kLobby = 0x0020a6401234;
constexpr uint64_t kHall = 0x0020a6409999;

SurveyPoint At(double x, double y, uint64_t master, int signal) {
    SurveyPoint p;
    p.time = "2026-12-09T17:40:05";
    p.xM = x;
    p.yM = y;
    p.master = master;
    if (master != kNoStation) p.stations = {{master, Role::kMaster, "", signal, signal / 20}};
    return p;
}

Survey Floor40x20(std::initializer_list<SurveyPoint> points) {
    Survey s;
    s.SetFloor(Floor{"", 40, 20});
    std::string error;
    for (const SurveyPoint& p : points) EXPECT_TRUE(s.Add(p, &error)) << error;
    return s;
}

TEST(MapHeatMapTest, APointsPlaceHasItsValueAndBetweenTwoLiesBetween) {
    const Survey s = Floor40x20({At(10, 10, kLobby, 80), At(14, 10, kLobby, 20)});
    MapSettings settings;
    ValueField field;
    FillField(s, settings, &field);
    double v = 0;
    ASSERT_TRUE(field.ValueAt(10, 10, &v));
    EXPECT_EQ(v, 80);
    ASSERT_TRUE(field.ValueAt(14, 10, &v));
    EXPECT_EQ(v, 20);
    double last = 80;
    for (double x = 10; x <= 14; x += 0.05) {
        ASSERT_TRUE(field.ValueAt(x, 10, &v)) << x;
        EXPECT_GE(v, 20) << x;
        EXPECT_LE(v, 80) << x;
        EXPECT_LE(v, last) << "falls from the high point to the low one, at " << x;
        last = v;
    }
    // Equal values weigh back to exactly themselves, so a threshold at them holds.
    const Survey flat =
        Floor40x20({At(10, 10, kLobby, 70), At(13, 11, kLobby, 70), At(11, 14, kLobby, 70)});
    FillField(flat, settings, &field);
    for (double x = 9; x < 14; x += 0.3) {
        if (field.ValueAt(x, 12, &v)) {
            EXPECT_EQ(v, 70) << x;
        }
    }
}

TEST(MapHeatMapTest, NothingIsPaintedFartherThanTheRadiusFromEveryPoint) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(0, 40), y(0, 20);
    Survey s = Floor40x20({});
    std::string error;
    for (int i = 0; i < 12; ++i) s.Add(At(x(random), y(random), kLobby, 60), &error);
    MapSettings settings;
    settings.radiusM = 3;
    ValueField field;
    FillField(s, settings, &field);
    int painted = 0;
    for (double px = 0; px <= 40; px += 0.07) {
        for (double py = 0; py <= 20; py += 0.07) {
            double nearest = 1e9;
            for (const SurveyPoint& p : s.Points())
                nearest = std::min(nearest, DistanceM(px, py, p.xM, p.yM));
            double v;
            const bool shown = field.ValueAt(px, py, &v);
            if (shown) {
                ++painted;
                EXPECT_LE(nearest, 3.0) << px << "," << py;
            }
            // Well inside the radius everything is painted.
            if (nearest < 3.0 - 2 * field.CellM()) {
                EXPECT_TRUE(shown) << px << "," << py;
            }
        }
    }
    EXPECT_GT(painted, 1000);
}

TEST(MapHeatMapTest, PassivePointsHaveNoLatencyOrThroughput) {
    SurveyPoint active = At(5, 5, kLobby, 80);
    active.active = true;
    active.packetsPerSecond = 60;
    active.latencyMs = 12;
    SurveyPoint silent = At(30, 5, kLobby, 80);  // an active run that got nothing back
    silent.active = true;
    const Survey s = Floor40x20({active, At(20, 5, kLobby, 80), silent});
    for (Metric metric : {Metric::kLatency, Metric::kThroughput}) {
        MapSettings settings;
        settings.metric = metric;
        ValueField field;
        FillField(s, settings, &field);
        double v;
        ASSERT_TRUE(field.ValueAt(5, 5, &v));
        EXPECT_EQ(v, metric == Metric::kLatency ? 12 : 60);
        EXPECT_FALSE(field.ValueAt(20, 5, &v)) << MetricKey(metric);
        EXPECT_EQ(field.ValueAt(30, 5, &v), metric == Metric::kThroughput) << MetricKey(metric);
    }
}

TEST(MapHeatMapTest, TheNearestPointsMasterColoursItsSurroundings) {
    const Survey s =
        Floor40x20({At(10, 10, kLobby, 80), At(16, 10, kHall, 80), At(30, 10, kNoStation, 0)});
    MapSettings settings;
    settings.metric = Metric::kMaster;
    ValueField field;
    FillField(s, settings, &field);
    const std::vector<uint32_t> colours = CellColours(field, s, settings);
    const auto colourAt = [&](double x, double y) { return colours[size_t(field.CellAt(x, y))]; };
    EXPECT_EQ(colourAt(12.9, 10), PackColour(MasterColour(0)));  // LOBBY sorts first
    EXPECT_EQ(colourAt(13.1, 10), PackColour(MasterColour(1)));
    EXPECT_EQ(colourAt(30, 12), PackColour(kNoMasterColour));
    EXPECT_EQ(colourAt(23, 1), kUnpainted);
    EXPECT_NE(MasterColour(0), MasterColour(1));
}

TEST(MapHeatMapTest, AddingAPointGivesTheFieldAFullRebuildWould) {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> x(0, 40), y(0, 20);
    std::uniform_int_distribution<int> signal(0, 100);
    for (Metric metric : {Metric::kSignal, Metric::kMaster}) {
        MapSettings settings;
        settings.metric = metric;
        Survey s = Floor40x20({});
        ValueField step;
        FillField(s, settings, &step);
        std::string error;
        for (int i = 0; i < 30; ++i) {
            s.Add(At(x(random), y(random), i % 3 ? kLobby : kHall, signal(random)), &error);
            AddToField(s, s.Size() - 1, settings, &step);
        }
        ValueField whole;
        FillField(s, settings, &whole);
        for (int cell = 0; cell < whole.Columns() * whole.Rows(); ++cell) {
            ASSERT_EQ(step.Painted(cell), whole.Painted(cell)) << cell;
            if (!whole.Painted(cell)) continue;
            ASSERT_EQ(step.Value(cell), whole.Value(cell)) << cell;
            ASSERT_EQ(step.Decider(cell), whole.Decider(cell)) << cell;
        }
    }
}

TEST(MapHeatMapTest, ValuesFallInTheLegendsBands) {
    MapSettings settings;
    const struct {
        Metric metric;
        double value;
        Band band;
    } cases[] = {
        {Metric::kSignal, 70, Band::kGood},      {Metric::kSignal, 69.99, Band::kFair},
        {Metric::kSignal, 40, Band::kFair},      {Metric::kSignal, 39, Band::kPoor},
        {Metric::kLinkQuality, 80, Band::kGood}, {Metric::kLinkQuality, 60, Band::kFair},
        {Metric::kLinkQuality, 20, Band::kPoor}, {Metric::kLatency, 20, Band::kGood},
        {Metric::kLatency, 20.01, Band::kFair},  {Metric::kLatency, 50, Band::kFair},
        {Metric::kLatency, 51, Band::kPoor},     {Metric::kThroughput, 50, Band::kGood},
        {Metric::kThroughput, 20, Band::kFair},  {Metric::kThroughput, 19.99, Band::kPoor},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Classify(c.metric, settings.thresholds[int(c.metric)], c.value), c.band)
            << MetricKey(c.metric) << " " << c.value;
    }
    EXPECT_TRUE(ValidThresholds(Metric::kLatency, {10, 100}));
    EXPECT_FALSE(ValidThresholds(Metric::kLatency, {100, 10}));
    EXPECT_FALSE(ValidThresholds(Metric::kSignal, {120, 10}));

    // A chosen station's link quality, shown as percent; not heard counts as 0.
    SurveyPoint p = At(1, 1, kLobby, 90);
    p.stations.push_back({kHall, Role::kNode, "", 30, 3});
    settings.metric = Metric::kLinkQuality;
    settings.station = kHall;
    double v;
    ASSERT_TRUE(PointValue(p, settings, &v));
    EXPECT_EQ(v, 60);
    settings.station = 0x123;
    ASSERT_TRUE(PointValue(p, settings, &v));
    EXPECT_EQ(v, 0);

    settings.metric = Metric::kLatency;
    const std::vector<LegendEntry> legend = LegendEntries(Survey(), settings);
    ASSERT_EQ(legend.size(), 3u);
    EXPECT_EQ(legend[0].label, "GOOD <= 20 MS");
    EXPECT_EQ(legend[2].label, "POOR > 50 MS");
    EXPECT_EQ(legend[2].colour, BandColour(Band::kPoor));
}

}  // namespace
}  // namespace odr::map
