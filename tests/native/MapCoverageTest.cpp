// The model the window drives: a survey saved and opened renders the same pixels, the
// exported picture's colours follow the legend, the kept field matches a fresh one, and
// selection, radius, thresholds and recalibration behave.
#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "map/CoverageMap.h"
#include "map/HeatMap.h"
#include "platform/Bitmap.h"

namespace odr::map {
namespace {

using namespace platform;

constexpr uint64_t kLobby = 0x0020a6401234;
constexpr Rgb kWhite{255, 255, 255};

SurveyPoint At(double x, double y, int signal) {
    SurveyPoint p;
    p.time = "2026-12-09T17:40:05";
    p.xM = x;
    p.yM = y;
    p.master = kLobby;
    p.stations = {{kLobby, Role::kMaster, "LOBBY", signal, 3}};
    return p;
}

// A plan 200 x 100 pixels, 20 m wide (10 px a metre), white with a black wall at x = 100.
Image Plan() {
    Image plan(200, 100, kWhite);
    plan.FillRect(100, 0, 101, 100, Rgb{0, 0, 0});
    return plan;
}

void AddPoints(CoverageMap* map) {
    std::string error;
    for (const SurveyPoint& p : {At(3, 3, 87), At(9, 5, 50), At(15, 8, 10), At(18, 2, 75)}) {
        ASSERT_TRUE(map->AddPoint(p, &error)) << error;
    }
}

TEST(MapCoverageTest, ASavedSurveyOpensToTheSamePixels) {
    test::FakeOs os;
    os.fileContents["C:\\plan.bmp"] = EncodeBitmap(Plan());
    CoverageMap map;
    std::string error;
    ASSERT_TRUE(map.LoadPlan(os, "C:\\plan.bmp", 20, &error)) << error;
    AddPoints(&map);
    map.SetRadius(4.5);
    map.SetMetric(Metric::kSignal, kLobby);
    ASSERT_TRUE(map.SetThresholds(Metric::kSignal, {80, 45}, &error));
    ASSERT_TRUE(map.Save(os, "C:\\site.survey", &error)) << error;

    CoverageMap opened;
    LoadReport report;
    std::string message;
    ASSERT_TRUE(opened.Open(os, "C:\\site.survey", &report, &message)) << message;
    EXPECT_EQ(message, "");
    EXPECT_EQ(opened.SurveyText(), map.SurveyText());
    EXPECT_EQ(opened.RenderView(333, 251).pixels, map.RenderView(333, 251).pixels);
    EXPECT_EQ(opened.ExportImage().pixels, map.ExportImage().pixels);

    // Without its plan the survey still opens, on a grid, and says why.
    os.fileContents.erase("C:\\plan.bmp");
    ASSERT_TRUE(opened.Open(os, "C:\\site.survey", &report, &message));
    EXPECT_NE(
        message.find("The floor plan could not be read (C:\\plan.bmp: the file cannot be opened.)"),
        std::string::npos)
        << message;
    EXPECT_TRUE(opened.Plan().empty());
    EXPECT_EQ(opened.GetFloor().heightM, 10);
    EXPECT_EQ(opened.SurveyText(), map.SurveyText()) << "the plan's name is kept";

    // A plan whose shape would make the floor too deep for the saved width: the same.
    CoverageMap wide;
    ASSERT_TRUE(wide.SetPlan(Plan(), "C:\\plan.bmp", 100000, &error)) << error;
    ASSERT_TRUE(wide.Save(os, "C:\\wide.survey", &error)) << error;
    os.fileContents["C:\\plan.bmp"] = EncodeBitmap(Image(100, 200, kWhite));
    ASSERT_TRUE(opened.Open(os, "C:\\wide.survey", &report, &message));
    EXPECT_NE(message.find("The floor plan could not be read (The floor's width must be"),
              std::string::npos)
        << message;
    EXPECT_TRUE(opened.Plan().empty());
    EXPECT_EQ(opened.GetFloor().heightM, 50000);
}

TEST(MapCoverageTest, ExportedColoursFollowTheLegend) {
    CoverageMap map;
    std::string error;
    ASSERT_TRUE(map.SetPlan(Plan(), "C:\\plan.bmp", 20, &error));
    AddPoints(&map);
    map.SetRadius(3);
    const Image out = map.ExportImage();
    ASSERT_EQ(out.width, 200);
    ASSERT_GT(out.height, 100);
    const auto shown = [](Band band) { return Blend(kWhite, BandColour(band)); };
    EXPECT_EQ(out.At(30 + 12, 30), shown(Band::kGood));   // 1.2 m from the 87 % point
    EXPECT_EQ(out.At(90, 50 + 12), shown(Band::kFair));   // the 50 % point
    EXPECT_EQ(out.At(150 - 12, 80), shown(Band::kPoor));  // the 10 % point
    EXPECT_EQ(out.At(100, 45), Blend(Rgb{0, 0, 0}, BandColour(Band::kFair)))  // the wall shows
        << "the plan stays readable under the colours";
    EXPECT_EQ(out.At(60, 95), kWhite);  // farther than 3 m from every point
    EXPECT_EQ(out.At(30, 30), (Rgb{0, 192, 0})) << "the marker shows its own band";

    // Thresholds moved: the 87 % point is only fair now, in the picture and the legend.
    ASSERT_TRUE(map.SetThresholds(Metric::kSignal, {90, 40}, &error));
    EXPECT_FALSE(map.SetThresholds(Metric::kSignal, {30, 40}, &error));
    const Image moved = map.ExportImage();
    EXPECT_EQ(moved.At(30 + 12, 30), shown(Band::kFair));
    EXPECT_EQ(map.Legend()[0].label, "GOOD >= 90 %");
    // The legend strip holds a swatch of each band as it shows over paper.
    int swatches = 0;
    for (Band band : {Band::kGood, Band::kFair, Band::kPoor}) {
        for (int y = 100; y < moved.height && swatches >= 0; ++y) {
            bool found = false;
            for (int x = 0; x < moved.width && !found; ++x) found = moved.At(x, y) == shown(band);
            if (found) {
                ++swatches;
                break;
            }
        }
    }
    EXPECT_EQ(swatches, 3);
}

TEST(MapCoverageTest, TheKeptFieldMatchesAFreshOneAfterEveryChange) {
    CoverageMap map;
    std::string error;
    ASSERT_TRUE(map.SetGrid(20, 10, &error));
    const auto same = [&](const char* after) {
        CoverageMap fresh;
        LoadReport report;
        ASSERT_TRUE(fresh.LoadSurveyText(map.SurveyText(), &report, &error));
        EXPECT_EQ(fresh.RenderView(300, 160).pixels, map.RenderView(300, 160).pixels) << after;
    };
    map.RenderView(300, 160);
    AddPoints(&map);
    same("adding points");
    map.Select(1);
    ASSERT_TRUE(map.DeletePoint(0));
    EXPECT_EQ(map.Selected(), 0);
    map.Select(-1);
    same("a delete");
    ASSERT_TRUE(map.Undo());
    same("an undo");
    map.SetMetric(Metric::kMaster);
    same("another metric");
    map.SetRadius(2);
    same("another radius");
}

TEST(MapCoverageTest, SelectionRadiusAndRecalibration) {
    CoverageMap map;
    std::string error;
    ASSERT_TRUE(map.SetPlan(Plan(), "C:\\plan.bmp", 20, &error));
    AddPoints(&map);
    map.Select(3);
    EXPECT_TRUE(map.Undo());
    EXPECT_EQ(map.Selected(), -1);
    map.Select(7);
    EXPECT_EQ(map.Selected(), -1);
    EXPECT_FALSE(map.DeletePoint(3));

    // The plan drawn 400 x 200: the point at (9, 5) m is at pixel (180, 100).
    EXPECT_EQ(map.HitTest(400, 300, 180, 150), 1);
    // Measured again as 40 m wide: the points keep their places on the plan.
    ASSERT_TRUE(map.SetFloorWidth(40, &error));
    EXPECT_EQ(map.GetFloor().heightM, 20);
    EXPECT_EQ(map.GetSurvey().Points()[1].xM, 18);
    EXPECT_EQ(map.HitTest(400, 300, 180, 150), 1);
    EXPECT_FALSE(map.SetFloorWidth(0, &error));

    // The radius paints at least a point's own cell, and is held to the centimetre.
    EXPECT_EQ(map.SetRadius(0), map.MinRadius());
    EXPECT_EQ(map.SetRadius(2.001), 2.01);
    EXPECT_EQ(map.SetRadius(1e9), 44.73);  // the diagonal of 40 x 20 m
    EXPECT_EQ(map.Stations().size(), 1u);
    EXPECT_FALSE(map.SetPlan(Image(), "x", 20, &error));
    EXPECT_FALSE(map.SetGrid(20, -1, &error));

    // The cross-hair stays on a floor that shrinks under it.
    map.SetCursor(35, 18);
    ASSERT_TRUE(map.SetGrid(10, 5, &error));
    EXPECT_EQ(map.CursorXM(), 10);
    EXPECT_EQ(map.CursorYM(), 5);

    // The export goes through the safe save and reads back as a bitmap.
    test::FakeOs os;
    ASSERT_TRUE(map.ExportBitmap(os, "C:\\map.bmp", &error)) << error;
    DecodedBitmap bitmap;
    ASSERT_TRUE(DecodeBitmap(os.appended["C:\\map.bmp"], 4096, &bitmap, &error)) << error;
    EXPECT_EQ(bitmap.image.pixels, map.ExportImage().pixels);
    os.unwritable.insert("C:\\points.csv.new");
    EXPECT_FALSE(map.ExportCsv(os, "C:\\points.csv", &error));
    EXPECT_NE(error.find("disk full"), std::string::npos);
}

}  // namespace
}  // namespace odr::map
