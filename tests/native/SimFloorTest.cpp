// The simulated adapter's floor: the plan found beside the scenario, where the laptop stands
// and moves (Whereabouts), and the shipped office plan.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "driver/DriverTypes.h"
#include "driver/Whereabouts.h"
#include "fakes/FakePlatform.h"
#include "fakes/ShippedScenario.h"
#include "platform/Bitmap.h"
#include "platform/Threads.h"
#include "sim/SimAdapter.h"
#include "sim/Simulation.h"

namespace odr::sim {
namespace {

void Put32(std::string* b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) (*b)[at + i] = char(v >> (8 * i) & 0xFF);
}

// A bitmap file with an info header, room for its pixels and no palette.
std::string Bitmap(int32_t width, int32_t height, uint32_t bits, uint32_t compression = 0) {
    const uint64_t rows = uint64_t(std::abs(int64_t(height)));
    const uint64_t stride = (uint64_t(std::max(width, 0)) * bits + 31) / 32 * 4;
    std::string b(54 + std::min<uint64_t>(stride * rows, 1 << 20), '\0');
    b[0] = 'B';
    b[1] = 'M';
    Put32(&b, 10, 54);
    Put32(&b, 14, 40);
    Put32(&b, 18, uint32_t(width));
    Put32(&b, 22, uint32_t(height));
    Put32(&b, 26, 1 | bits << 16);  // planes, bits a pixel
    Put32(&b, 30, compression);
    return b;
}

TEST(SimFloorTest, ThePlanBesideTheScenario) {
    const std::string plan = Bitmap(800, 500, 8);
    struct Case {
        const char* scenario;
        const char* plan;
        const char* found;
        std::string bitmap;  // empty: there is none
        std::string error;
    } cases[] = {
        {"C:\\Sites\\a.ini", "plans\\floor.bmp", "C:\\Sites\\plans\\floor.bmp", plan, ""},
        {"a.ini", "floor.bmp", "floor.bmp", plan, ""},
        {"C:\\Sites\\a.ini", "D:\\Plans\\floor.bmp", "D:\\Plans\\floor.bmp", plan, ""},
        {"C:\\Sites\\a.ini", "floor.bmp", "C:\\Sites\\floor.bmp", "",
         "C:\\Sites\\a.ini:2: plan \"floor.bmp\" cannot be read (C:\\Sites\\floor.bmp)"},
        {"a.ini", "f.bmp", "f.bmp", "BM",
         "a.ini:2: plan \"f.bmp\" cannot be used: The bitmap file is cut short in its header."},
        // 10 m down: the laptop at 12 m stands off it.
        {"a.ini", "f.bmp", "f.bmp", Bitmap(80, 20, 8),
         "a.ini:5: position 3,12 is off the floor (0 to 40 m across, 0 to 10 m down)"},
    };
    for (const Case& c : cases) {
        test::FakeOs os;
        test::FakeClock clock;
        os.fileContents[c.scenario] = std::string("[site]\nplan = ") + c.plan +
                                      "\nwidth_m = 40\n[adapter]\nposition = 3,12\n";
        if (!c.bitmap.empty()) os.fileContents[c.found] = c.bitmap;
        std::string error;
        auto host = CreateSimDeviceHost(c.scenario, os, clock, &error);
        EXPECT_EQ(error, c.error) << c.plan;
        if (!c.error.empty()) continue;
        ASSERT_NE(host, nullptr);
        SiteFloor floor;
        ASSERT_TRUE(host->whereabouts()->Floor(&floor));
        EXPECT_EQ(floor.planPath, c.found);
        EXPECT_EQ(floor.widthM, 40);
        EXPECT_EQ(floor.heightM, 0);  // the plan's aspect gives it
    }
}

class Walk : public ::testing::Test {
  protected:
    void Load(const std::string& text) {
        os.fileContents["site.ini"] = text;
        os.fileContents["floor.bmp"] = Bitmap(800, 500, 8);
        std::string error;
        host = CreateSimDeviceHost("site.ini", os, clock, &error);
        ASSERT_NE(host, nullptr) << error;
        where = host->whereabouts();
    }
    double Level(const std::vector<Station>& stations) { return stations[0].signal.At(0); }
    std::string At() {
        double x = -1, y = -1;
        if (!where->Position(&x, &y)) return "nowhere";
        std::ostringstream o;
        o << x << "," << y;
        return o.str();
    }

    test::FakeOs os;
    test::FakeClock clock;
    std::unique_ptr<SimDeviceHost> host;
    Whereabouts* where = nullptr;
};

const char* kSite =
    "[site]\nplan = floor.bmp\nwidth_m = 40\n[adapter]\nposition = 3,12.5\n"
    "[master.A]\naddress = 0020a6100001\nposition = 10,12.5\nlevel_1m = -25\n"
    "[node.N]\naddress = 0020a6200001\nmaster = A\nposition = 30,12.5\nlevel_1m = -30\n"
    "[wall.W]\nfrom = 20,0\nto = 20,25\nloss_db = 10\n";

TEST_F(Walk, LevelsFollowTheLaptop) {
    Load(kSite);
    const Scenario& s = host->adapter().scenario();
    EXPECT_EQ(At(), "3,12.5");
    EXPECT_NEAR(Level(s.masters), -25 - 30 * std::log10(7.0), 1e-9);
    EXPECT_NEAR(Level(s.nodes), -30 - 30 * std::log10(27.0) - 10, 1e-9);  // through the wall

    where->MoveTo(30.5, 12.5);
    EXPECT_EQ(At(), "30.5,12.5");
    EXPECT_NEAR(Level(s.masters), -25 - 30 * std::log10(20.5) - 10, 1e-9);
    EXPECT_NEAR(Level(s.nodes), -30, 1e-9);  // within a metre

    // Off the floor: onto its edge. Not a number: nothing moves.
    where->MoveTo(-5, 100);
    EXPECT_EQ(At(), "0,25");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    where->MoveTo(nan, 1);
    where->MoveTo(1, std::numeric_limits<double>::infinity());
    EXPECT_EQ(At(), "0,25");
}

TEST_F(Walk, BareFloorsAndSitesWithoutAFloor) {
    SimDeviceHost plain(DefaultScenario(), clock);
    SiteFloor floor;
    EXPECT_FALSE(plain.whereabouts()->Floor(&floor));
    // The laptop has no place until it is moved onto the floor.
    Load("[site]\nwidth_m = 12\nheight_m = 8.5\n[master.A]\naddress = 0020a6100001\n");
    ASSERT_TRUE(where->Floor(&floor));
    EXPECT_EQ(floor.planPath + "|" + std::to_string(floor.heightM), "|8.500000");
    EXPECT_EQ(At(), "nowhere");
    where->MoveTo(20, 4);
    EXPECT_EQ(At(), "12,4");
    EXPECT_EQ(Level(host->adapter().scenario().masters), -60);  // keeps its signal
}

// The map moves the laptop from its own thread while the tools' requests run.
TEST_F(Walk, MovesWhileRequestsRun) {
    Load(kSite);
    std::unique_ptr<Device> device = host->Open(kNtDevicePath, false);
    ASSERT_NE(device, nullptr);
    std::atomic<bool> done{false};
    platform::Thread mover([&] {
        for (int i = 0; !done; ++i) where->MoveTo(i % 40, 12.5);
    });
    for (int i = 0; i < 2000; ++i) {
        uint8_t block[kRequestBlockSize] = {};
        WriteU32(block + kReqCommand, CMD_GET_RSSI);
        WriteU32(block + kReqLength, 1);
        uint32_t error = 0;
        ASSERT_TRUE(device->Control(block, &error));
    }
    done = true;
    mover.Join();
    EXPECT_NE(At(), "nowhere");
}

TEST(SimOfficeTest, ThePlanShowsTheWallsOfTheFile) {
    const Scenario office = test::ShippedScenario("office.ini");
    const std::string here = __FILE__;
    std::ifstream in(here.substr(0, here.rfind("tests/native/")) + "scenarios/office.bmp",
                     std::ios::binary);
    std::stringstream read;
    read << in.rdbuf();
    const std::string bmp = read.str();
    // 800 by 500 pixels of 8 bits with a full palette, bottom-up, as the script writes.
    int width = 0, height = 0;
    std::string problem;
    ASSERT_TRUE(platform::ReadBitmapSize(bmp, &width, &height, &problem)) << problem;
    ASSERT_EQ(bmp.size(), 54u + 1024u + 800u * 500u);
    EXPECT_EQ(bmp[28], 8);
    Scenario fitted = office;
    ASSERT_TRUE(FitToPlan(&fitted, width, height, "office.ini", &problem)) << problem;
    EXPECT_DOUBLE_EQ(fitted.floor.heightM, 25);

    // Along each wall the plan is dark grey for concrete, blue grey for drywall.
    const double scale = width / office.floor.widthM;
    auto colour = [&](double x, double y) {
        const int i = std::min(width - 1, int(x * scale));
        const int j = std::min(height - 1, int(y * scale));
        const size_t entry = 54 + 4 * uint8_t(bmp[54 + 1024 + size_t(height - 1 - j) * width + i]);
        return uint8_t(bmp[entry + 2]) << 16 | uint8_t(bmp[entry + 1]) << 8 | uint8_t(bmp[entry]);
    };
    ASSERT_GE(office.walls.size(), 10u);
    for (const SiteWall& w : office.walls) {
        const Point a = w.wall.from, b = w.wall.to;
        for (double t : {0.25, 0.5, 0.75}) {
            EXPECT_EQ(colour(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)),
                      w.wall.lossDb >= 8 ? 0x404040 : 0x8088a8)
                << "[wall." << w.id << "] at " << t;
        }
    }
}

}  // namespace
}  // namespace odr::sim
