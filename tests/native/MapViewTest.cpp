// Fitting the floor into an area, pixels to metres and back, hitting markers, the grid
// floor's drawing, the legend's text, and the CSV export's columns and quoting.
#include <gtest/gtest.h>

#include "map/MapExport.h"
#include "map/MapView.h"
#include "map/TinyFont.h"

namespace odr::map {
namespace {

using namespace platform;

SurveyPoint At(double x, double y) {
    SurveyPoint p;
    p.time = "2026-12-09T17:40:05";
    p.xM = x;
    p.yM = y;
    return p;
}

TEST(MapViewTest, TheFloorIsFittedCentredWithItsAspect) {
    const struct {
        int areaW, areaH;
        double aspectW, aspectH;
        int left, top, width, height;
    } cases[] = {
        {400, 400, 200, 100, 0, 100, 400, 200},  // a wide plan in a square area
        {400, 400, 100, 200, 100, 0, 200, 400},  // a tall one
        {2000, 1500, 2000, 1500, 0, 0, 2000, 1500},
        {10, 10, 1, 1, 0, 0, 10, 10},  // a 1 x 1 plan
        {0, 10, 1, 1, 0, 0, 0, 0},     // no area
    };
    for (const auto& c : cases) {
        const ViewTransform v = FitView(c.areaW, c.areaH, c.aspectW, c.aspectH, 20, 10);
        EXPECT_EQ(v.left, c.left);
        EXPECT_EQ(v.top, c.top);
        EXPECT_EQ(v.width, c.width);
        EXPECT_EQ(v.height, c.height);
    }
}

TEST(MapViewTest, PixelsAndMetresConvertBothWays) {
    const ViewTransform v = FitView(400, 400, 200, 100, 20, 10);  // 20 px a metre, top 100
    double x, y;
    v.ToMetres(0, 100, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    v.ToMetres(200.5, 150.5, &x, &y);
    EXPECT_DOUBLE_EQ(x, 10.025);
    EXPECT_DOUBLE_EQ(y, 2.525);
    double px, py;
    v.ToPixels(x, y, &px, &py);
    EXPECT_DOUBLE_EQ(px, 200.5);
    EXPECT_DOUBLE_EQ(py, 150.5);
    EXPECT_FALSE(v.OnFloor(0, 99));
}

TEST(MapViewTest, AClickHitsTheNearestMarkerUnderIt) {
    const ViewTransform v = FitView(400, 400, 200, 100, 20, 10);
    // Markers at pixels (100, 200), (104, 200) and (300, 300).
    const std::vector<SurveyPoint> points = {At(5, 5), At(5.2, 5), At(15, 10)};
    EXPECT_EQ(HitTest(v, points, 100, 200), 0);
    EXPECT_EQ(HitTest(v, points, 103, 202), 1);
    EXPECT_EQ(HitTest(v, points, 102, 200), 1);  // as near to both: the one on top
    EXPECT_EQ(HitTest(v, points, 96, 204), 0);
    EXPECT_EQ(HitTest(v, points, 95, 200), -1);
    EXPECT_EQ(HitTest(v, points, 299, 299), 2);
    EXPECT_EQ(HitTest(v, {}, 100, 200), -1);
}

TEST(MapViewTest, AGridFloorIsPaperWithLinesInTheWindowsGrey) {
    const ViewTransform v = FitView(120, 100, 10, 5, 10, 5);  // 12 px a metre: lines every 2 m
    Scene scene;
    std::vector<SurveyPoint> points = {At(5, 2.5)};
    std::vector<Rgb> colours = {Rgb{0, 192, 0}};
    scene.points = &points;
    scene.markerColours = &colours;
    scene.selected = 0;
    scene.cursor = true;
    scene.cursorXM = 1;
    scene.cursorYM = 1;
    const Image image = RenderMap(v, Image(), scene);
    ASSERT_EQ(image.width, 120);
    EXPECT_EQ(image.At(5, 5), (Rgb{192, 192, 192}));       // above the floor
    EXPECT_EQ(image.At(30, 40), (Rgb{255, 255, 255}));     // paper
    EXPECT_EQ(image.At(24, 40), (Rgb{210, 210, 210}));     // the line at 2 m
    EXPECT_EQ(image.At(60, 50), (Rgb{0, 192, 0}));         // the marker's fill
    EXPECT_EQ(image.At(56, 50), (Rgb{0, 0, 0}));           // its outline
    EXPECT_EQ(image.At(54, 50), (Rgb{0, 64, 255}));        // the selection's ring
    EXPECT_EQ(image.At(12 + 5, 20 + 12), (Rgb{0, 0, 0}));  // the cross-hair's arm
}

TEST(MapViewTest, TheLegendsFontDrawsSmallLettersAsCapitalsAndTheUnknownAsAQuestionMark) {
    EXPECT_EQ(TextWidth("GOOD", 2), 46);
    const auto drawn = [](const char* text) {
        Image image(12, 8);
        DrawText(&image, 0, 0, text, Rgb{0, 0, 0}, 1);
        return image.pixels;
    };
    EXPECT_EQ(drawn("a"), drawn("A"));
    EXPECT_EQ(drawn("\xe9"), drawn("?"));
    EXPECT_NE(drawn("a"), drawn("?"));
}

TEST(MapViewTest, CsvHasARowPerStationHeardAndQuotesWhatNeedsIt) {
    Survey s;
    std::string error;
    SurveyPoint p = At(1.5, 2);
    p.master = 0x0020a6401234;
    p.stations = {{0x0020a6401234, Role::kMaster, "Hall, \"east\"", 87, 5},
                  {0x0020a6405678, Role::kNode, "", 45, 3}};
    ASSERT_TRUE(s.Add(p, &error));
    SurveyPoint quiet = At(3, 4.25);
    quiet.active = true;
    quiet.packetsPerSecond = 12.5;
    quiet.latencyMs = 7;
    ASSERT_TRUE(s.Add(quiet, &error));
    EXPECT_EQ(SurveyCsv(s),
              "time,x_m,y_m,station,address,role,signal,link_quality,synchronised_master,"
              "packets_per_second,latency_ms\r\n"
              "2026-12-09T17:40:05,1.5,2,\"Hall, \"\"east\"\"\",0020a6401234,master,87,5,"
              "0020a6401234,,\r\n"
              "2026-12-09T17:40:05,1.5,2,,0020a6405678,node,45,3,0020a6401234,,\r\n"
              "2026-12-09T17:40:05,3,4.25,,,,,,,12.5,7\r\n");
}

}  // namespace
}  // namespace odr::map
