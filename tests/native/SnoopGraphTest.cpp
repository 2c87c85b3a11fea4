// The snoop's plain logic: band layouts by country code, column geometry, the statistics of
// a dwell and its limits, and the bars and ticks drawn on the recording canvas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeUi.h"
#include "snoop/SnoopBand.h"
#include "snoop/SnoopGraph.h"
#include "snoop/SpectrumSample.h"

namespace odr::snoop {
namespace {

TEST(SnoopBandTest, EachCountryCodeGivesItsBandAndLabels) {
    struct Case {
        uint8_t country, reported;
        int count;
        uint8_t first;
        const char *firstLabel, *lastLabel;
    };
    const Case cases[] = {
        {0, 9, 79, 1, "2.402", "2.480"},
        {1, 9, 23, 1, "2.402", "2.424"},
        {2, 9, 43, 6, "2.407", "2.449"},
        {3, 2, 100, 2, "2.403", "2.502"},  // the first channel as the adapter reports it
        // Only the low six bits choose the count; the first channel is fixed for 0-2 only.
        {0x41, 4, 23, 4, "2.405", "2.427"},
        // Unknown codes: the widest common band.
        {4, 9, 79, 1, "2.402", "2.480"},
        {0x3F, 200, 79, 1, "2.402", "2.480"},
    };
    for (const Case& c : cases) {
        const BandLayout band = BandFor(c.country, c.reported);
        EXPECT_EQ(band.count, c.count) << int(c.country);
        EXPECT_EQ(band.firstChannel, c.first) << int(c.country);
        EXPECT_EQ(band.firstLabel, c.firstLabel) << int(c.country);
        EXPECT_EQ(band.lastLabel, c.lastLabel) << int(c.country);
    }
    const BandLayout fallback = DefaultBand();
    EXPECT_EQ(fallback.count, 79);
    EXPECT_EQ(fallback.firstChannel, 1);
    EXPECT_EQ(fallback.lastLabel, "2.480");
}

TEST(SnoopBandTest, ColumnWidthAndGapWithTheirMinimums) {
    struct Case {
        int width, count, w, g;
    };
    const Case cases[] = {
        {576, 79, 5, 2},                   // (576 - 237) / 79 = 4, below 5
        {800, 79, 7, 3},                   // (800 - 237) / 79 = 7
        {576, 23, 15, 10},                 // (576 - 230) / 23 = 15
        {500, 23, 15, 9},                  // 11 < 15
        {576, 43, 8, 5},                   // (576 - 215) / 43 = 8
        {400, 43, 6, 4},                   // 4 < 6
        {576, 100, 4, 1},                  // (576 - 200) / 100 = 3 < 4
        {700, 100, 5, 2},  {0, 79, 5, 2},  // a negative width is raised to the minimum too
    };
    for (const Case& c : cases) {
        const ColumnGeometry g = GeometryFor(c.width, 300, c.count);
        EXPECT_EQ(g.width, c.w) << c.width << " " << c.count;
        EXPECT_EQ(g.gap, c.g) << c.width << " " << c.count;
    }
    const ColumnGeometry g = GeometryFor(576, 300, 79);
    EXPECT_EQ(g.Left(0), 5);
    EXPECT_EQ(g.Left(78), 5 + 78 * 7);
    EXPECT_EQ(g.Base(), 292);
    EXPECT_EQ(g.unit, 2);
    EXPECT_EQ(g.Top(100), 92);
    EXPECT_EQ(g.Top(0), 292);
    // A short graph has no room for a unit per point: everything sits on the base line.
    EXPECT_EQ(GeometryFor(576, 100, 79).unit, 0);
    EXPECT_EQ(GeometryFor(576, 100, 79).Top(100), 92);
    EXPECT_EQ(GeometryFor(576, 4, 79).Top(50), 0);  // never above the client area
}

TEST(SnoopSampleTest, DwellStatisticsClampAndRaiseTheAverage) {
    SpectrumSample s;
    EXPECT_EQ(s.Average(), 0u);
    s.Add(0);
    s.Add(0);
    EXPECT_EQ(s.count, 2u);
    EXPECT_EQ(s.Average(), 0u);
    s.Add(1);  // 1 / 3 truncates to 0, raised to 1 by the peak
    EXPECT_EQ(s.peak, 1);
    EXPECT_EQ(s.Average(), 1u);
    s.Add(250);  // a reading above 100 counts as 100
    EXPECT_EQ(s.peak, 100);
    EXPECT_EQ(s.sum, 101u);
    EXPECT_EQ(s.Average(), 25u);
    s.position = 7;
    s.Reset();
    EXPECT_EQ(s.peak, 0);
    EXPECT_EQ(s.sum, 0u);
    EXPECT_EQ(s.count, 0u);
    EXPECT_EQ(s.position, 0);
}

TEST(SnoopSampleTest, DwellEndsAtItsTimeOrItsReadingLimit) {
    struct Case {
        int rate;
        uint32_t seconds, readings;
    };
    for (const Case& c : {Case{kRateSlow, 10, 300}, Case{kRateMedium, 5, 30}, Case{kRateFast, 1, 3},
                          Case{7, 5, 30}}) {
        const DwellLimits limits = DwellFor(c.rate);
        EXPECT_EQ(limits.seconds, c.seconds);
        EXPECT_EQ(limits.readings, c.readings);
        EXPECT_TRUE(DwellGoesOn(limits, c.seconds * 1000 - 1, c.readings - 1));
        EXPECT_FALSE(DwellGoesOn(limits, c.seconds * 1000, 0));  // whole seconds
        EXPECT_FALSE(DwellGoesOn(limits, 0, c.readings));
    }
}

// Draws one sample in column 2 of a 576 x 300 graph of 79 columns (w 5, g 2, u 2).
std::vector<std::string> Bars(const SpectrumSample& s, int height = 300) {
    test::FakeSurface surface{576, height, {}};
    test::FakeCanvas canvas(surface);
    DrawBars(canvas, GeometryFor(576, height, 79), 2, s);
    return surface.ops;
}

SpectrumSample Sample(std::vector<uint8_t> readings) {
    SpectrumSample s;
    for (uint8_t r : readings) s.Add(r);
    return s;
}

TEST(SnoopGraphTest, AverageBarAndPeakMark) {
    // x 19..24; base 292.
    EXPECT_EQ(Bars(Sample({10, 30})), (std::vector<std::string>{
                                          "rect 19,252,24,292 0,0,128",  // average 20
                                          "rect 19,232,24,252 0,255,0",  // peak 30
                                      }));
    // No readings, or only zeros: nothing.
    EXPECT_TRUE(Bars(SpectrumSample()).empty());
    EXPECT_TRUE(Bars(Sample({0, 0, 0})).empty());
    // An average of 0 with a peak drawn as 1.
    EXPECT_EQ(Bars(Sample({0, 0, 0, 0, 2})), (std::vector<std::string>{
                                                 "rect 19,290,24,292 0,0,128",
                                                 "rect 19,288,24,290 0,255,0",
                                             }));
    // Equal peak and average: a green block min(peak x u, 4) pixels over the average's top.
    EXPECT_EQ(Bars(Sample({40, 40})), (std::vector<std::string>{
                                          "rect 19,212,24,292 0,0,128",
                                          "rect 19,212,24,216 0,255,0",
                                      }));
    EXPECT_EQ(Bars(Sample({1})), (std::vector<std::string>{
                                     "rect 19,290,24,292 0,0,128",
                                     "rect 19,290,24,292 0,255,0",  // 1 x 2 pixels
                                 }));
    // A peak of 100 (and a reading above it) reaches (H - 8) - 100 u.
    EXPECT_EQ(Bars(Sample({0, 200})), (std::vector<std::string>{
                                          "rect 19,192,24,292 0,0,128",  // average 50
                                          "rect 19,92,24,192 0,255,0",
                                      }));
    // With no unit per point the flat peak gets no height either.
    EXPECT_EQ(Bars(Sample({50}), 60), (std::vector<std::string>{
                                          "rect 19,52,24,52 0,255,0",
                                      }));
}

TEST(SnoopGraphTest, TicksColumnsAndOutline) {
    test::FakeSurface surface{576, 300, {}};
    test::FakeCanvas canvas(surface);
    const ColumnGeometry g = GeometryFor(576, 300, 79);
    DrawTick(canvas, g, 0);  // xc = 5 + 2
    DrawTick(canvas, g, 9);  // every tenth column: xc = 68 + 2
    ClearColumn(canvas, g, 1);
    OutlineColumn(canvas, g, 1);
    EXPECT_EQ(surface.ops, (std::vector<std::string>{
                               "line 7,298 7,295",
                               "fill 69,293,72,298 0,0,0",
                               "fill 12,16,17,292 192,192,192",
                               "rect 12,16,17,292 192,192,192",
                           }));
}

}  // namespace
}  // namespace odr::snoop
