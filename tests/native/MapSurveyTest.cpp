// The survey model: numbers as the file holds them, addresses, the checks on a point, undo
// and delete, the floor's width from two clicks, and the list of stations heard.
#include <gtest/gtest.h>

#include <cmath>

#include "map/Decimal.h"
#include "map/Survey.h"

namespace odr::map {
namespace {

SurveyPoint GoodPoint() {
    SurveyPoint p;
    p.time = "2026-12-09T17:40:05";
    p.xM = 12.5;
    p.yM = 3.25;
    p.master = 0x0020a6401234;
    p.stations = {{0x0020a6401234, Role::kMaster, "LOBBY", 87, 5},
                  {0x0020a6405678, Role::kNode, "", 45, 3}};
    return p;
}

TEST(MapSurveyTest, DecimalsAreWrittenAndReadWithoutTheLocale) {
    const struct {
        double value;
        int decimals;
        const char* text;
    } written[] = {{42.5, 3, "42.5"},         {3, 3, "3"},          {-0.25, 2, "-0.25"},
                   {0.0004, 3, "0"},          {0.0006, 3, "0.001"}, {12.3456, 2, "12.35"},
                   {1e15, 0, "1000000000000"}};
    for (const auto& w : written) EXPECT_EQ(FormatDecimal(w.value, w.decimals), w.text) << w.value;

    double v = 0;
    EXPECT_TRUE(ParseDecimal("12.3456", 3, &v));
    EXPECT_EQ(v, 12.346);
    EXPECT_TRUE(ParseDecimal("-7", 2, &v));
    EXPECT_EQ(v, -7);
    for (const char* bad :
         {"", "-", "1.", ".5", "1e3", "1,5", "+1", " 1", "1 ", "1234567890", "0x1"}) {
        EXPECT_FALSE(ParseDecimal(bad, 3, &v)) << bad;
    }
    // Whatever a value is, what is written reads back as the value held, bit for bit.
    for (double x = -1000; x < 1000; x += 7.0001234) {
        for (int d = 0; d <= 3; ++d) {
            ASSERT_TRUE(ParseDecimal(FormatDecimal(x, d), d, &v));
            EXPECT_EQ(v, Quantize(x, d)) << x << " to " << d;
        }
    }
}

TEST(MapSurveyTest, AddressesAreTwelveHexDigits) {
    uint64_t a = 0;
    EXPECT_TRUE(ParseAddress("0020A640abCD", &a));
    EXPECT_EQ(a, 0x0020a640abcdu);
    EXPECT_EQ(FormatAddress(0x1f), "00000000001f");
    for (const char* bad : {"", "0020a640abc", "0020a640abcde", "0020a640abcg", "0020a640-bcd"}) {
        EXPECT_FALSE(ParseAddress(bad, &a)) << bad;
    }
    EXPECT_TRUE(IsTimestamp("2026-12-09T17:40:05"));
    EXPECT_FALSE(IsTimestamp("2026-12-09 17:40:05"));
    EXPECT_FALSE(IsTimestamp("2026-12-09T17:40:0x"));
}

TEST(MapSurveyTest, PointsThatCannotBeStoredAreRefusedWithTheReason) {
    const struct {
        const char* why;
        void (*spoil)(SurveyPoint*);
    } cases[] = {
        {"time", [](SurveyPoint* p) { p->time = "yesterday"; }},
        {"outside the floor", [](SurveyPoint* p) { p->xM = -0.5; }},
        {"outside the floor", [](SurveyPoint* p) { p->yM = std::nan(""); }},
        {"percentage", [](SurveyPoint* p) { p->stations[1].signal = 101; }},
        {"link quality", [](SurveyPoint* p) { p->stations[1].linkQuality = 6; }},
        {"12 hex digits", [](SurveyPoint* p) { p->stations[1].address = uint64_t(1) << 48; }},
        {"listed twice", [](SurveyPoint* p) { p->stations[1].address = p->stations[0].address; }},
        {"name is too long", [](SurveyPoint* p) { p->stations[0].name.assign(65, 'n'); }},
        {"too many stations",
         [](SurveyPoint* p) {
             for (uint64_t a = 0; a < 300; ++a)
                 p->stations.push_back({a + 1, Role::kNode, "", 1, 1});
         }},
        {"traffic",
         [](SurveyPoint* p) {
             p->active = true;
             p->latencyMs = -1;
         }},
    };
    Survey survey;
    for (const auto& c : cases) {
        SurveyPoint p = GoodPoint();
        c.spoil(&p);
        std::string error;
        EXPECT_FALSE(survey.Add(p, &error)) << c.why;
        EXPECT_NE(error.find(c.why), std::string::npos) << error;
    }
    EXPECT_EQ(survey.Size(), 0u);

    // A good point is held to the millimetre and 0.01 of its figures; a node has no name.
    SurveyPoint p = GoodPoint();
    p.xM = 1.23456;
    p.active = true;
    p.packetsPerSecond = 52.555;
    p.stations[1].name = "stray";
    std::string error;
    ASSERT_TRUE(survey.Add(p, &error)) << error;
    EXPECT_EQ(survey.Points()[0].xM, 1.235);
    EXPECT_EQ(survey.Points()[0].packetsPerSecond, 52.56);
    EXPECT_EQ(survey.Points()[0].stations[1].name, "");
}

TEST(MapSurveyTest, UndoRemovesTheLastPointAndDeleteAnyOne) {
    Survey survey;
    std::string error;
    for (int i = 0; i < 4; ++i) {
        SurveyPoint p = GoodPoint();
        p.xM = i;
        ASSERT_TRUE(survey.Add(p, &error));
    }
    EXPECT_TRUE(survey.Erase(1));
    EXPECT_FALSE(survey.Erase(3));
    EXPECT_TRUE(survey.Undo());
    ASSERT_EQ(survey.Size(), 2u);
    EXPECT_EQ(survey.Points()[0].xM, 0);
    EXPECT_EQ(survey.Points()[1].xM, 2);
    EXPECT_TRUE(survey.Undo());
    EXPECT_TRUE(survey.Undo());
    EXPECT_FALSE(survey.Undo());
}

TEST(MapSurveyTest, FloorWidthFromTwoClicksAndRescaledPointsKeepTheirPlace) {
    double width = 0;
    // 500 plan pixels apart are 10 m: a plan 1000 pixels wide is 20 m wide.
    ASSERT_TRUE(WidthFromTwoPoints(1000, 100, 100, 400, 500, 10, &width));
    EXPECT_EQ(width, 20);
    EXPECT_FALSE(WidthFromTwoPoints(1000, 100, 100, 100, 100, 10, &width));
    EXPECT_FALSE(WidthFromTwoPoints(1000, 0, 0, 10, 0, -1, &width));
    EXPECT_FALSE(WidthFromTwoPoints(0, 0, 0, 10, 0, 1, &width));

    Survey survey;
    ASSERT_TRUE(survey.SetFloor(Floor{"", 20, 10}));
    EXPECT_FALSE(survey.SetFloor(Floor{"", 0, 10}));
    std::string error;
    SurveyPoint p = GoodPoint();
    p.xM = 5;
    p.yM = 5;
    ASSERT_TRUE(survey.Add(p, &error));
    ASSERT_TRUE(survey.ScaleFloor(40, 20));
    EXPECT_EQ(survey.Points()[0].xM, 10);
    EXPECT_EQ(survey.Points()[0].yM, 10);
}

TEST(MapSurveyTest, StationsHeardListMastersFirstWithTheirNames) {
    Survey survey;
    std::string error;
    SurveyPoint p = GoodPoint();
    ASSERT_TRUE(survey.Add(p, &error));
    p.stations = {{0x000000000001, Role::kNode, "", 10, 1},
                  {0x0020a6405678, Role::kNode, "", 50, 4}};
    ASSERT_TRUE(survey.Add(p, &error));
    const std::vector<HeardStation> list = ListStations(survey);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name, "LOBBY");
    EXPECT_EQ(list[0].role, Role::kMaster);
    EXPECT_EQ(list[1].address, 0x000000000001u);
    EXPECT_EQ(list[2].points, 2);
    EXPECT_EQ(survey.NameOf(0x0020a6401234), "LOBBY");
}

}  // namespace
}  // namespace odr::map
