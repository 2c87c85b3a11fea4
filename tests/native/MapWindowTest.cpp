// The Coverage Map window on the simulated office site, after the main window's check run:
// points measured by click and by keyboard where the laptop is moved to, active points,
// cancelling, saving as one goes and opening again, and what a bad plan or a moved one does.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "driver/Whereabouts.h"
#include "fakes/ShippedScenario.h"
#include "fakes/SimShell.h"
#include "map/CoverageMapDlg.h"
#include "resources/resource.h"
#include "settings/AdapterSettings.h"
#include "sim/Scenario.h"

namespace odr::map {
namespace {

const char kPlan[] = "C:\\Sites\\office.bmp";
constexpr uint64_t kNorth = 0x0020a6120001;
constexpr uint64_t kSouth = 0x0020a6120002;

std::string ShippedPlan() {
    const std::string here = __FILE__;
    std::ifstream in(here.substr(0, here.rfind("tests/native/")) + "scenarios/office.bmp",
                     std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

sim::Scenario Office() {
    sim::Scenario office = test::ShippedScenario("office.ini");
    office.floor.plan = kPlan;
    std::string error;
    EXPECT_TRUE(sim::FitToPlan(&office, 800, 500, "office.ini", &error)) << error;
    return office;
}

// The template's layout at 96 dpi: the map's frame, its legend and the panel on the right.
std::map<int, ui::Rect> Layout() {
    std::map<int, ui::Rect> layout = {{IDC_MAP_VIEW, {6, 6, 417, 409}},
                                      {IDC_MAP_LEGEND, {6, 416, 417, 455}},
                                      {IDC_MAP_MEASURE, {435, 162, 498, 185}}};
    return layout;
}

struct MapRig : test::SimShell {
    explicit MapRig(sim::Scenario site = Office()) : SimShell(std::move(site)) {
        os.fileContents[kPlan] = ShippedPlan();
        host.layout = Layout();
        host.Open(main);
        main.OnTimer(1);
        w = &host.Open(map);
    }
    // The timer's ticks until the point is measured.
    void Measure() {
        for (int tick = 0; tick < 200 && map.Measuring(); ++tick) {
            clock.Advance(kMeasureTickMs);
            map.OnTimer(kMeasureTimer);
        }
        ASSERT_FALSE(map.Measuring());
    }
    // A click on the floor at (xM, yM), measured.
    const SurveyPoint& ClickAt(double xM, double yM) {
        const ui::Rect p = map.PictureRect();
        double px = 0, py = 0;
        map.Map().View(p.right - p.left, p.bottom - p.top).ToPixels(xM, yM, &px, &py);
        map.OnMouse(ui::Mouse::LeftDown, p.left + int(px), p.top + int(py));
        Measure();
        return map.Map().GetSurvey().Points().back();
    }

    settings::AdapterSettings settings{registry, os, [] { return uint16_t(0); }};
    CCoverageMapDlg map{ctx, settings};
    test::FakeWindow* w = nullptr;
};

int SignalOf(const SurveyPoint& p, uint64_t station) {
    const Station* s = p.Find(station);
    return s == nullptr ? -1 : s->signal;
}

TEST(MapWindowTest, OpensOnTheSitePlanAndMeasuresWhereTheLaptopIsMoved) {
    MapRig rig;
    ASSERT_TRUE(rig.main.AdapterReady());
    EXPECT_EQ(rig.w->GetText(IDC_MAP_FLOOR_TEXT), "office.bmp, 40 x 25 m");
    EXPECT_FALSE(rig.map.Map().Plan().empty());

    // Enter measures at the cross-hair, which starts where the laptop stands: the reception.
    rig.map.OnCommand(IDC_MAP_MEASURE);
    EXPECT_TRUE(rig.map.Measuring());
    rig.Measure();
    const SurveyPoint reception = rig.map.Map().GetSurvey().Points().back();
    EXPECT_EQ(reception.xM, 3);
    EXPECT_EQ(reception.yM, 12.5);
    EXPECT_EQ(reception.master, kSouth);
    EXPECT_EQ(reception.time, rig.os.timestamp);

    // Near NORTH-WING in the open plan: the laptop moves there and the adapter roams to it.
    const SurveyPoint near = rig.ClickAt(18, 7);
    double x = 0, y = 0;
    ASSERT_TRUE(rig.devices.whereabouts()->Position(&x, &y));
    EXPECT_NEAR(x, 18, 0.1);
    EXPECT_NEAR(y, 7, 0.1);
    EXPECT_EQ(near.master, kNorth);
    EXPECT_GT(SignalOf(near, kNorth), SignalOf(reception, kSouth));
    EXPECT_GT(near.stations.size(), 1u);  // the master and nodes of its cell

    // Behind the lift core's concrete, in the archive's far corner: no master at all. A
    // width typed meanwhile and not yet applied is left as typed.
    rig.w->SetText(IDC_MAP_WIDTH, "41.5");
    const SurveyPoint archive = rig.ClickAt(39, 24);
    EXPECT_EQ(rig.w->GetText(IDC_MAP_WIDTH), "41.5");
    EXPECT_EQ(rig.w->GetText(IDC_MAP_FLOOR_TEXT), "office.bmp, 40 x 25 m");
    EXPECT_EQ(archive.master, kNoStation);
    EXPECT_TRUE(archive.stations.empty());
    EXPECT_EQ(rig.map.Map().GetSurvey().Size(), 3u);
    EXPECT_TRUE(rig.map.Unsaved());
}

TEST(MapWindowTest, ActivePointsTheKeyboardAndEscape) {
    MapRig rig;
    rig.w->SetCheck(IDC_MAP_ACTIVE, true);
    const SurveyPoint active = rig.ClickAt(16, 6);
    EXPECT_TRUE(active.active);
    EXPECT_GT(active.packetsPerSecond, 0);
    EXPECT_GT(active.latencyMs, 0);

    // The arrows move the cross-hair by a hundredth of the floor's longer side, Shift ten;
    // not while a box of figures has the focus.
    rig.w->focus = IDC_MAP_WIDTH;
    EXPECT_FALSE(rig.map.HandlesAccelerator(IDC_MAP_KEY_RIGHT));
    rig.w->focus = IDC_MAP_MEASURE;
    ASSERT_TRUE(rig.map.HandlesAccelerator(IDC_MAP_KEY_RIGHT));
    rig.map.OnAccelerator(IDC_MAP_KEY_RIGHT);
    rig.map.OnAccelerator(IDC_MAP_KEY_DOWN_FAR);
    rig.w->SetCheck(IDC_MAP_ACTIVE, false);
    rig.map.OnCommand(IDC_MAP_MEASURE);
    // Escape cancels the point under way; the window stays.
    rig.clock.Advance(kMeasureTickMs);
    rig.map.OnTimer(kMeasureTimer);
    rig.map.OnCommand(ui::kIdCancel);
    EXPECT_FALSE(rig.map.Measuring());
    EXPECT_FALSE(rig.w->ended);
    EXPECT_EQ(rig.map.Map().GetSurvey().Size(), 1u);
    rig.map.OnCommand(IDC_MAP_MEASURE);
    rig.Measure();
    EXPECT_TRUE(rig.host.asked.empty());
    const SurveyPoint& keyed = rig.map.Map().GetSurvey().Points().back();
    EXPECT_NEAR(keyed.xM, 16.4, 0.01);
    EXPECT_NEAR(keyed.yM, 10, 0.01);

    // Delete removes the selected point, Undo the last one.
    rig.map.OnAccelerator(IDC_MAP_KEY_UNDO);
    EXPECT_EQ(rig.map.Map().GetSurvey().Size(), 1u);
}

TEST(MapWindowTest, SavedAsItGoesAndOpenedToTheSamePicture) {
    MapRig rig;
    rig.ClickAt(18, 7);
    rig.host.savePaths = {"C:\\Surveys\\floor1.cov"};
    rig.map.OnCommand(IDC_MAP_SAVE);
    EXPECT_FALSE(rig.map.Unsaved());
    // Once saved, every new point goes into the file at once.
    rig.ClickAt(14, 18);
    EXPECT_FALSE(rig.map.Unsaved());
    rig.host.savePaths = {"C:\\Surveys\\floor1.csv", "C:\\Surveys\\floor1.bmp"};
    rig.map.OnCommand(IDC_MAP_EXPORT_CSV);
    rig.map.OnCommand(IDC_MAP_EXPORT_IMAGE);
    std::string csv, image;
    ASSERT_TRUE(rig.os.ReadTextFile("C:\\Surveys\\floor1.csv", &csv));
    EXPECT_EQ(csv.rfind("time,x_m,y_m,station,address,role,signal,link_quality,", 0), 0u);
    ASSERT_TRUE(rig.os.ReadTextFile("C:\\Surveys\\floor1.bmp", &image));
    EXPECT_EQ(image.rfind("BM", 0), 0u);

    CCoverageMapDlg reopened{rig.ctx, rig.settings};
    rig.host.Open(reopened);
    rig.host.openPaths = {"C:\\Surveys\\floor1.cov"};
    reopened.OnCommand(IDC_MAP_OPEN);
    EXPECT_EQ(reopened.SurveyPath(), "C:\\Surveys\\floor1.cov");
    ASSERT_EQ(reopened.Map().GetSurvey().Size(), 2u);
    CoverageMap& before = const_cast<CoverageMap&>(rig.map.Map());
    CoverageMap& after = const_cast<CoverageMap&>(reopened.Map());
    before.Select(-1);
    after.Select(-1);
    before.HideCursor();
    after.HideCursor();
    EXPECT_EQ(before.RenderView(400, 300).pixels, after.RenderView(400, 300).pixels);
}

TEST(MapWindowTest, UnsavedPointsBadPlansAndMovedPlans) {
    MapRig rig;
    rig.ClickAt(18, 7);
    // Closing with points not saved asks first; Cancel keeps the window.
    rig.host.answers = {ui::Answer::Cancel};
    rig.map.OnCommand(IDC_MAP_CLOSE);
    EXPECT_FALSE(rig.w->ended);

    // A bitmap whose header lies is refused with a message; the points stay.
    rig.os.fileContents["C:\\liar.bmp"] = rig.os.fileContents[kPlan].substr(0, 200);
    rig.host.openPaths = {"C:\\liar.bmp"};
    rig.host.asked.clear();
    rig.map.OnCommand(IDC_MAP_PLAN);
    ASSERT_EQ(rig.host.asked.size(), 1u);
    EXPECT_NE(rig.host.asked[0].find("cut short"), std::string::npos) << rig.host.asked[0];
    EXPECT_EQ(rig.map.Map().GetSurvey().Size(), 1u);
    EXPECT_EQ(rig.map.Map().GetFloor().planPath, kPlan);

    // A survey whose plan has moved asks for it.
    rig.host.savePaths = {"C:\\s.cov"};
    rig.map.OnCommand(IDC_MAP_SAVE);
    rig.os.fileContents["D:\\moved\\office.bmp"] = rig.os.fileContents[kPlan];
    rig.os.fileContents.erase(kPlan);
    rig.host.openPaths = {"C:\\s.cov", "D:\\moved\\office.bmp"};
    rig.host.answers = {ui::Answer::Ok, ui::Answer::Yes};
    rig.map.OnCommand(IDC_MAP_OPEN);
    EXPECT_FALSE(rig.map.Map().Plan().empty());
    EXPECT_EQ(rig.map.Map().GetFloor().planPath, "D:\\moved\\office.bmp");
    EXPECT_EQ(rig.map.Map().GetSurvey().Size(), 1u);

    // No: the window closes without saving.
    rig.host.answers = {ui::Answer::No};
    rig.map.OnCommand(IDC_MAP_CLOSE);
    EXPECT_TRUE(rig.w->ended);
}

TEST(MapWindowTest, ADriverLostMidPointEndsItAndTheNextOneMeasures) {
    sim::Scenario office = Office();
    office.faults.driverLost.spans = {{20, 60}};
    MapRig rig(std::move(office));
    // The point started just before the loss ends in time with what it heard before.
    rig.clock.now = 19000;
    rig.ClickAt(18, 7);
    EXPECT_LE(rig.clock.Now(), 19000 + kMaxRoundsMs + kMeasureTickMs);
    EXPECT_EQ(rig.map.Map().GetSurvey().Size(), 1u);
    // Once the driver is back the next point hears the cell again.
    rig.clock.now = 61000;
    EXPECT_FALSE(rig.ClickAt(18, 7).stations.empty());
}

TEST(MapWindowTest, TheMapGrowsWithTheWindow) {
    MapRig rig;
    const ui::Rect view = rig.w->ControlRect(IDC_MAP_VIEW);
    const ui::Rect button = rig.w->ControlRect(IDC_MAP_MEASURE);
    rig.map.OnSize(rig.w->client.right + 200, rig.w->client.bottom + 100);
    const ui::Rect grown = rig.w->ControlRect(IDC_MAP_VIEW);
    EXPECT_EQ(grown.right - view.right, 200);
    EXPECT_EQ(grown.bottom - view.bottom, 100);
    EXPECT_EQ(rig.w->ControlRect(IDC_MAP_MEASURE).left - button.left, 200);
    EXPECT_EQ(rig.w->ControlRect(IDC_MAP_LEGEND).top - 416, 100);
    // The picture fills the grown frame.
    rig.map.OnPaint();
    const test::FakeSurface& surface = rig.w->surfaces[IDC_MAP_VIEW];
    ASSERT_FALSE(surface.ops.empty());
    EXPECT_EQ(surface.ops.back(), "image 1,1,610,502 609,501");
}

}  // namespace
}  // namespace odr::map
