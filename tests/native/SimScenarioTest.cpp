// Scenario files: the format's example, the shipped default site, and refused files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "sim/Scenario.h"

namespace odr::sim {
namespace {

// Everything a scenario holds, as text, so two scenarios compare in one assertion.
std::string Describe(const Scenario& s) {
    std::ostringstream o;
    const AdapterConfig& a = s.adapter;
    o << "seed " << s.seed << "\nadapter " << FormatAddress(a.node) << " " << a.romVersion << " "
      << a.driverVersion << " " << int(a.country) << " " << int(a.firstChannel) << " cal "
      << int(a.calibrationKind);
    for (auto& p : a.calibration) o << " " << int(p.first) << ":" << int(p.second);
    const StartupValues& v = a.startup;
    o << " " << a.securityId << " " << int(v.stationType) << " " << int(v.domain) << " "
      << int(v.channel) << " " << int(v.subchannel) << " " << v.masterName << " " << int(v.roaming)
      << " " << a.acquireMs << "\n";
    auto station = [&o](const char* kind, const Station& st) {
        o << kind << " " << st.id << " " << st.name << " " << FormatAddress(st.address) << " "
          << int(st.domain) << " " << int(st.channel) << " " << int(st.subchannel) << " "
          << st.securityId << " signal";
        for (auto& p : st.signal.points) o << " " << p.first << ":" << p.second;
        o << " air";
        for (auto& p : st.onAir.spans) o << " " << p.first << "-" << p.second;
        if (st.cycle > 0) o << " cycle " << st.cycle;
        o << " " << st.latencyMs << " " << st.replyPercent << " " << st.master;
        if (st.placed) o << " at " << st.position.x << "," << st.position.y << " " << st.level1m;
        o << "\n";
    };
    for (const Station& m : s.masters) station("master", m);
    for (const Station& n : s.nodes) station("node", n);
    const FloorConfig& site = s.floor;
    if (site.Exists())
        o << "floor " << site.plan << " " << site.widthM << "x" << site.heightM << " n "
          << site.pathLossExponent << "\n";
    if (a.placed) o << "adapter at " << a.position.x << "," << a.position.y << "\n";
    for (const SiteWall& w : s.walls)
        o << "wall " << w.id << " " << w.wall.from.x << "," << w.wall.from.y << " " << w.wall.to.x
          << "," << w.wall.to.y << " " << w.wall.lossDb << "\n";
    for (const Interference& i : s.interference)
        o << "interference " << i.firstChannel << "-" << i.lastChannel << " " << i.level << " "
          << i.dutyPercent << "\n";
    const Faults& f = s.faults;
    o << "faults";
    for (auto& p : f.driverAbsent.spans) o << " absent " << p.first << "-" << p.second;
    for (auto& p : f.driverLost.spans) o << " lost " << p.first << "-" << p.second;
    o << " busy " << f.transmitBusyPercent << " stuck " << f.pollStuckPercent << " refuse";
    for (uint16_t id : f.refuseItems) o << " " << id;
    return o.str();
}

std::string SourceFile(const std::string& relative) {
    std::string here = __FILE__;  // .../tests/native/SimScenarioTest.cpp
    std::string root = here.substr(0, here.rfind("tests/native/"));
    std::ifstream in(root + relative, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text of "f.ini" is refused with exactly that message, and nothing half-read is used.
void ExpectRefused(const std::string& text, const std::string& message) {
    Scenario s = DefaultScenario();
    std::string error;
    EXPECT_FALSE(ParseScenario(text, "f.ini", &s, &error)) << text;
    EXPECT_EQ(error, message) << text;
    EXPECT_EQ(Describe(s), Describe(DefaultScenario())) << text;
}

TEST(SimScenarioTest, ShippedDefaultSiteIsTheBuiltInOne) {
    const std::string text = SourceFile("scenarios/default.ini");
    ASSERT_FALSE(text.empty());
    Scenario parsed;
    std::string error;
    ASSERT_TRUE(ParseScenario(text, "default.ini", &parsed, &error)) << error;
    EXPECT_EQ(Describe(parsed), Describe(DefaultScenario()));
}

TEST(SimScenarioTest, ShippedExamplesAreValid) {
    for (const char* name :
         {"scenarios/roaming.ini", "scenarios/faults.ini", "scenarios/office.ini"}) {
        const std::string text = SourceFile(name);
        ASSERT_FALSE(text.empty()) << name;
        Scenario parsed;
        std::string error;
        EXPECT_TRUE(ParseScenario(text, name, &parsed, &error)) << error;
    }
}

const char* kFormatExample =
    R"(; Times are seconds since the simulated adapter was created; levels are dBm at this adapter.
[site]
seed = 7                  ; random generator seed (default 1)

[adapter]
node = 0020a6f00001       ; this adapter's node address
rom_version = V1.50a      ; ITEM_VERSION text, at most 7 characters
driver_version = 2.10     ; reply of GetDriverVersion
country = 0               ; GetCountryCode reply byte 0
first_channel = 1         ; GetCountryCode reply byte 1
calibration = 40:200 60:150 80:100   ; level:raw points, strongest first
security_id = SITE1       ; the adapter's security ID at start
station_type = 0          ; start-up values, used when no stored settings are found
domain = 1
channel = 1
subchannel = 1
master_name = MASTER
roaming = 0               ; roaming flag: 0 enabled, 1 disabled
acquire_ms = 300          ; time to synchronise after a start or a search step

[master.LOBBY]            ; one section per master; the suffix is its id in this file
name = LOBBY              ; at most 11 characters
address = 0020a6100001
domain = 1
channel = 3
subchannel = 1
security_id = SITE1       ; default: the adapter's initial security ID
signal = -52              ; constant, or a course over time "0:-52 30:-80 60:-52"
on_air = 0-               ; when it transmits
latency_ms = 3            ; ping round trip for a small packet
reply = 100               ; percentage of pings answered

[node.N1]                 ; a station; keys as for a master, plus:
address = 0020a6200001
master = LOBBY            ; id of its master's section, or "self"

[interference]
30-36 = -50 60            ; channel or channel range = level, duty percentage
70 = -65 100

[faults]
driver_absent = 0-30      ; the device cannot be opened within these seconds
driver_lost = 20-25       ; every device call fails within these seconds
transmit_busy = 5         ; percentage of TransmitPing answered -5 (short form) or 1 (long form)
poll_stuck = 2            ; percentage of pings that never complete
refuse_items = 18 20      ; item ids always returned with status 0xFFFF
)";

TEST(SimScenarioTest, TheFormatsExample) {
    Scenario s;
    std::string error;
    ASSERT_TRUE(ParseScenario(kFormatExample, "site.ini", &s, &error)) << error;
    EXPECT_EQ(Describe(s),
              "seed 7\n"
              "adapter 0020a6f00001 V1.50a 2.10 0 1 cal 0 40:200 60:150 80:100 SITE1 0 1 1 1 "
              "MASTER 0 300\n"
              "master LOBBY LOBBY 0020a6100001 1 3 1 SITE1 signal 0:-52 air 0--1 3 100 \n"
              "node N1 N1 0020a6200001 1 1 1 SITE1 signal 0:-60 air 0--1 3 100 LOBBY\n"
              "interference 30-36 -50 60\n"
              "interference 70-70 -65 100\n"
              "faults absent 0-30 lost 20-25 busy 5 stuck 2 refuse 18 20");
}

TEST(SimScenarioTest, CoursesSpansAndSpecialValues) {
    const char* text =
        "[adapter]\ncalibration = none\nsecurity_id = A\n"
        "[master.M]\naddress = 0020a6100001\nsignal = 0:-52 30:-80 60:-52\n"
        "on_air = 0-40 55-\nsecurity_id =\n"
        "[master.Q]\naddress = 0020a6100002\n"
        "[node.S]\naddress = 0020a6200001\nmaster = self\n";
    Scenario s;
    std::string error;
    ASSERT_TRUE(ParseScenario(text, "t.ini", &s, &error)) << error;
    EXPECT_EQ(s.adapter.calibrationKind, CalibrationKind::None);
    const Station& m = s.masters[0];
    struct {
        double t, level;
        bool onAir;
    } cases[] = {{0, -52, true},       {15, -66, true},     {30, -80, true},
                 {39.9, -70.76, true}, {40, -70.67, false}, {54.9, -56.76, false},
                 {55, -56.67, true},   {1000, -52, true}};
    for (const auto& c : cases) {
        EXPECT_NEAR(m.signal.At(c.t), c.level, 0.01) << c.t;
        EXPECT_EQ(m.onAir.Contains(c.t), c.onAir) << c.t;
    }
    EXPECT_EQ(m.securityId, "");              // given empty
    EXPECT_EQ(s.masters[1].securityId, "A");  // the adapter's
    EXPECT_EQ(s.nodes[0].master, "self");

    ASSERT_TRUE(ParseScenario("[adapter]\ncalibration = invalid\n", "t.ini", &s, &error));
    EXPECT_EQ(s.adapter.calibrationKind, CalibrationKind::Invalid);
    ASSERT_TRUE(
        ParseScenario("[faults]\ntransmit_results = -6:5 -7:10 11:2 0x800:3\n"
                      "io_pending = 4\n",
                      "t.ini", &s, &error))
        << error;
    EXPECT_EQ(s.faults.transmitResults,
              (std::vector<std::pair<int, uint32_t>>{{-6, 5}, {-7, 10}, {11, 2}, {0x800, 3}}));
    EXPECT_EQ(s.faults.ioPendingPercent, 4u);
}

TEST(SimScenarioTest, BadFilesAreRefusedWithFileAndLine) {
    const char* kCalibrationOrder =
        "f.ini:2: calibration points must go from the strongest level to the weakest, with "
        "falling raw readings";
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"[site]\nseed = 7\n[colours]\n", "f.ini:3: unknown section [colours]"},
        {"seed = 7\n", "f.ini:1: key outside a section"},
        {"[site]\nseed\n", "f.ini:2: expected \"key = value\""},
        {"[site\n", "f.ini:1: malformed section header"},
        {"[site]\nseed = 1\nseed = 2\n", "f.ini:3: duplicate key 'seed'"},
        {"[site]\n[site]\n", "f.ini:2: duplicate section [site]"},
        {"[master]\n", "f.ini:1: unknown section [master]"},
        {"[site]\nseed = seven\n", "f.ini:2: bad number for seed \"seven\" (0 to 4294967295)"},
        {"[adapter]\ndomain = 16\n", "f.ini:2: bad number for domain \"16\" (0 to 15)"},
        {"[adapter]\nchannel = 3x\n", "f.ini:2: bad number for channel \"3x\" (1 to 15)"},
        {"[adapter]\nrom_version = V1.50abc\n",
         "f.ini:2: rom_version too long (at most 7 characters)"},
        {"[adapter]\nmaster_name = ABCDEFGHIJKL\n",
         "f.ini:2: master_name too long (at most 11 characters)"},
        {"[adapter]\nnode = 0020a6f0001\n",
         "f.ini:2: bad address \"0020a6f0001\" (twelve hex digits)"},
        {"[adapter]\ncalibration = 40:200 60:x\n",
         "f.ini:2: bad calibration point \"60:x\" (level:raw, 0 to 255)"},
        {"[adapter]\ncalibration = 1:1 2:2 3:3 4:4 5:5 6:6 7:7 8:8 9:9 10:10 11:11\n",
         "f.ini:2: calibration needs 1 to 10 points, \"none\" or \"invalid\""},
        {"[adapter]\nnode = 0020a6100001\n\n[master.A]\naddress = 0020A6100001\n",
         "f.ini:5: duplicate address 0020a6100001 (first used on line 2)"},
        {"[master.A]\nname = ABCDEFGHIJKL\naddress = 0020a6100001\n",
         "f.ini:2: name too long (at most 11 characters)"},
        {"[master.A]\nname = A\n", "f.ini:1: [master.A] has no address"},
        {"[master.A]\naddress = 0020a6100001\nmaster = B\n",
         "f.ini:3: unknown key 'master' in [master.A]"},
        {"[node.N]\naddress = 0020a6200001\n", "f.ini:1: [node.N] has no master"},
        {"[master.A]\naddress = 0020a6100001\n[node.N]\naddress = 0020a6200001\nmaster = B\n",
         "f.ini:5: master \"B\" of [node.N] does not exist"},
        {"[master.A]\naddress = 0020a6100001\nsignal = 0:-50 0:-60\n",
         "f.ini:3: bad signal \"0:-50 0:-60\" (dBm, or seconds:dBm points in time order)"},
        {"[master.A]\naddress = 0020a6100001\nsignal = loud\n",
         "f.ini:3: bad signal \"loud\" (dBm, or seconds:dBm points in time order)"},
        {"[master.A]\naddress = 0020a6100001\non_air = 40-0\n",
         "f.ini:3: bad on_air \"40-0\" (spans such as \"0-40 55-\", in order)"},
        {"[master.A]\naddress = 0020a6100001\nreply = 101\n",
         "f.ini:3: bad number for reply \"101\" (0 to 100)"},
        {"[master.self]\n", "f.ini:1: the master id \"self\" is reserved"},
        {"[interference]\n30-20 = -50 10\n", "f.ini:2: bad channel or range \"30-20\" (0 to 255)"},
        {"[interference]\n30 = -50\n", "f.ini:2: bad interference \"-50\" (level duty)"},
        {"[faults]\ndriver_lost = 20-\n25-30\n", "f.ini:3: expected \"key = value\""},
        {"[faults]\ndriver_lost = 20- 25-30\n",
         "f.ini:2: bad driver_lost \"20- 25-30\" (spans such as \"20-25\", in order)"},
        {"[faults]\nrefuse_items = 18 25\n", "f.ini:2: bad item id \"25\" (1 to 24)"},
        {"[faults]\npoll_stuck = 2.5\n", "f.ini:2: bad number for poll_stuck \"2.5\" (0 to 100)"},
        {"[faults]\ncolour = red\n", "f.ini:2: unknown key 'colour' in [faults]"},
        {"[adapter]\ncalibration = 60:150 40:200\n", kCalibrationOrder},
        {"[adapter]\ncalibration = 40:150 60:150\n", kCalibrationOrder},
        {"[master.A]\naddress = 0020a6f00001\n",
         "f.ini:2: address 0020a6f00001 is this adapter's node address"},
        {"[faults]\ntransmit_results = -6:5 0:5\n",
         "f.ini:2: bad transmit result \"0:5\" (result:percentage, result not 0)"},
        {"[faults]\ntransmit_results = 0x800\n",
         "f.ini:2: bad transmit result \"0x800\" (result:percentage, result not 0)"},
        {"[faults]\ntransmit_results = 0x8g0:1\n",
         "f.ini:2: bad transmit result \"0x8g0:1\" (result:percentage, result not 0)"},
    };
    for (const Case& c : cases) ExpectRefused(c.text, c.error);
}

TEST(SimScenarioTest, BadFloorsPositionsAndWalls) {
    const std::string floor = "[site]\nwidth_m = 40\nheight_m = 25\n";  // lines 1 to 3
    const std::string placed = floor + "[adapter]\nposition = 1,1\n";   // 4 and 5
    const std::string a = "[master.A]\naddress = 0020a6100001\n";       // 6 and 7
    const std::string kOff = " is off the floor (0 to 40 m across, 0 to 25 m down)";
    std::string manyWalls = floor;
    for (size_t i = 0; i <= kMaxWalls; ++i)
        manyWalls += "[wall." + std::to_string(i) + "]\nfrom = 0,0\nto = 1,1\nloss_db = 1\n";
    struct Case {
        std::string text, error;
    } cases[] = {
        {"[site]\nwidth_m = 0.5\n", "f.ini:2: bad width_m \"0.5\" (metres, 1 to 1000)"},
        {"[site]\nheight_m = inf\n", "f.ini:2: bad height_m \"inf\" (metres, 1 to 1000)"},
        {"[site]\nwidth_m = 40\n",
         "f.ini:2: a floor without a plan needs both width_m and height_m"},
        {"[site]\nplan = a.bmp\nwidth_m = 40\nheight_m = 20\n",
         "f.ini:4: height_m is not given with a plan (its aspect gives the height)"},
        {"[site]\nplan = a.bmp\n", "f.ini:2: a plan needs width_m (its width in metres)"},
        {"[adapter]\nposition = 3,4\n", "f.ini:2: position needs a floor ([site] width_m)"},
        {floor + "[adapter]\nposition = 3,nan\n",
         "f.ini:5: bad position \"3,nan\" (X,Y in metres)"},
        {floor + "[adapter]\nposition = 40.01,3\n", "f.ini:5: position 40.01,3" + kOff},
        {placed + a + "position = 1,-0.5\nlevel_1m = -30\n", "f.ini:8: position 1,-0.5" + kOff},
        {placed + a + "position = 1,2\n", "f.ini:8: [master.A] has a position but no level_1m"},
        {placed + a + "level_1m = -30\n", "f.ini:8: [master.A] has a level_1m but no position"},
        {placed + a + "level_1m = 31\n",
         "f.ini:8: bad level_1m \"31\" (dBm at one metre, -120 to 30)"},
        {placed + a + "position = 1,2\nlevel_1m = -30\nsignal = -50\n",
         "f.ini:10: signal and position exclude each other (a placed station's level comes from "
         "where it stands)"},
        {floor + a + "position = 1,2\nlevel_1m = -30\n",
         "f.ini:6: a placed station needs the adapter's position too ([adapter] position)"},
        {"[wall.W]\nfrom = 1,1\nto = 2,2\nloss_db = 3\n",
         "f.ini:1: [wall.W] needs a floor ([site] width_m)"},
        {floor + "[wall.W]\nfrom = 1,1\nloss_db = 3\n", "f.ini:4: [wall.W] needs from and to"},
        {floor + "[wall.W]\nfrom = 1,1\nto = 2,2\n", "f.ini:4: [wall.W] has no loss_db"},
        {floor + "[wall.W]\nfrom = 1,1\nto = 1.0,1\nloss_db = 3\n",
         "f.ini:6: [wall.W] has no length (from and to are the same point)"},
        {floor + "[wall.W]\nfrom = 1,1\nto = 50,2\nloss_db = 3\n", "f.ini:6: to 50,2" + kOff},
        {manyWalls, "f.ini:" + std::to_string(4 + 4 * kMaxWalls) + ": more than 1000 walls"},
    };
    for (const Case& c : cases) ExpectRefused(c.text, c.error);
}

// Decimals are read by the reader itself: the forms it takes come out as strtod gives them,
// and everything else is refused.
TEST(SimScenarioTest, DecimalNumbersReadAsTheCLibraryReadsThem) {
    for (const char* text : {"40", "+40", "40.", "12.3", "1.1", "999.999", "1.000000000000001",
                             "000012.50", "35.3", "1000"}) {
        Scenario s = DefaultScenario();
        std::string error;
        ASSERT_TRUE(
            ParseScenario(std::string("[site]\nwidth_m = ") + text + "\nheight_m = " + text + "\n",
                          "f.ini", &s, &error))
            << text << ": " << error;
        EXPECT_EQ(s.floor.widthM, std::strtod(text, nullptr)) << text;
    }
    Scenario s = DefaultScenario();
    std::string error;
    ASSERT_TRUE(
        ParseScenario("[site]\nwidth_m = 10\nheight_m = 10\n[adapter]\nposition = "
                      "-0,.5\n",
                      "f.ini", &s, &error))
        << error;
    EXPECT_EQ(s.adapter.position.y, 0.5);
    for (const std::string& bad :
         {std::string(), std::string("-"), std::string("."), std::string("+-5"), std::string("5-"),
          std::string("1.2.3"), std::string("1e3"), std::string("0x10"), std::string("inf"),
          std::string("nan"), std::string("1,5"), std::string(400, '9')}) {
        const std::string text = std::string("[site]\nheight_m = ") + bad + "\n";
        ExpectRefused(text, "f.ini:2: bad height_m \"" + bad + "\" (metres, 1 to 1000)");
    }
}

TEST(SimScenarioTest, APlanGivesTheFloorItsHeight) {
    Scenario parsed;
    std::string error;
    ASSERT_TRUE(
        ParseScenario("[site]\nplan = p.bmp\nwidth_m = 40\npath_loss_exponent = 2.5\n"
                      "[adapter]\nposition = 40, 24.5\n"
                      "[wall.W]\nto = 0,3\nfrom = 1.5,2\nloss_db = 0\n",
                      "f.ini", &parsed, &error))
        << error;
    const std::string described = Describe(parsed);
    EXPECT_EQ(described.substr(described.find("\nfloor")),
              "\nfloor p.bmp 40x0 n 2.5\nadapter at 40,24.5\nwall W 1.5,2 0,3 0\n"
              "faults busy 0 stuck 0 refuse");  // no height until the plan is measured
    struct Case {
        int width, height;
        const char* error;  // null: fits, 25 m down
    } cases[] = {
        {1600, 1000, nullptr},
        {800, 480, "f.ini:6: position 40,24.5 is off the floor (0 to 40 m across, 0 to 24 m down)"},
        {8000, 100,
         "f.ini:2: the plan (8000 by 100 pixels) makes the floor 0.5 m high (1 to 1000)"},
        {0, 30, "f.ini:2: the plan has no pixels"},
    };
    for (const Case& c : cases) {
        Scenario s = parsed;
        EXPECT_EQ(FitToPlan(&s, c.width, c.height, "f.ini", &error), c.error == nullptr);
        EXPECT_EQ(s.floor.heightM, c.error ? 0 : 25) << c.width << "x" << c.height;
        if (c.error) {
            EXPECT_EQ(error, c.error);
        }
    }
}

TEST(SimScenarioTest, CommentsBlanksAndLineEndings) {
    Scenario s;
    std::string error;
    ASSERT_TRUE(
        ParseScenario("; only a comment\r\n\r\n  [site]  \r\n seed=9;x\r\n", "f", &s, &error))
        << error;
    EXPECT_EQ(s.seed, 9u);
    EXPECT_FALSE(ParseScenario("\n\n[site]\r\nseed = -1\r\n", "f", &s, &error));
    EXPECT_EQ(error, "f:4: bad number for seed \"-1\" (0 to 4294967295)");
}

}  // namespace
}  // namespace odr::sim
