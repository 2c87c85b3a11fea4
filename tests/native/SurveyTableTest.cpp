// The survey's node table on its own: rounds of replies, the link quality and strength
// figures, address order, the table's limits and bad readings, and the scroll steps.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shell/kit/SurveyTable.h"
#include "survey/SurveyScroll.h"

namespace odr::survey {
namespace {

using namespace shell;

constexpr const char* kMaster = "0020a6100001";

std::string Address(int n) {
    char text[13];
    std::snprintf(text, sizeof text, "0020a62%05x", n);
    return text;
}

// Runs `rounds` rounds; `answers(round)` says whether the node answers in that round. The
// figures are read at the start of each following round, as the window shows them.
std::vector<int> QualityCourse(int rounds, bool (*answers)(int)) {
    SurveyTable table;
    std::vector<int> shown;
    for (int round = 0; round < rounds; ++round) {
        if (round > 0) {
            table.ComputeStatistics();
            if (table.Highest() >= 1) shown.push_back(table.Node(1).linkQuality);
        }
        if (answers(round)) table.AddReply("0020a6200001", 50, false);
        table.EndRound();
    }
    return shown;
}

TEST(SurveyTableTest, LinkQualityOfANodeAnsweringEveryRoundAndEverySecondRound) {
    EXPECT_EQ(QualityCourse(12, [](int) { return true; }),
              (std::vector<int>{3, 3, 4, 4, 4, 4, 4, 4, 5, 5, 5}));

    std::vector<int> half = QualityCourse(30, [](int r) { return r % 2 == 0; });
    for (size_t i = 10; i < half.size(); ++i) {
        EXPECT_GE(half[i], 2) << i;
        EXPECT_LE(half[i], 3) << i;
    }
}

TEST(SurveyTableTest, SilentNodeFallsToNothingWithinTenRounds) {
    SurveyTable table;
    for (int round = 0; round < 12; ++round) {
        table.AddReply("0020a6200001", 80, false);
        table.EndRound();
    }
    table.ComputeStatistics();
    EXPECT_EQ(table.Node(1).linkQuality, 5);
    EXPECT_EQ(table.Node(1).strength, 80);
    EXPECT_TRUE(table.IsActive(1));  // answered in the round that ended last
    for (int round = 0; round < 10; ++round) {
        table.EndRound();
        EXPECT_FALSE(table.IsActive(1));
    }
    table.ComputeStatistics();
    EXPECT_EQ(table.Node(1).linkQuality, 0);
    EXPECT_EQ(table.Node(1).strength, 0);
    EXPECT_EQ(table.Highest(), 1);  // the row stays
    EXPECT_EQ(table.NodeCount(), 1);
}

TEST(SurveyTableTest, StrengthStepsOfTheAverageReading) {
    struct Case {
        std::vector<int> readings;
        int strength;
    };
    for (const Case& c :
         {Case{{0}, 0}, Case{{1}, 10}, Case{{0, 1}, 10}, Case{{10}, 10}, Case{{11}, 20},
          Case{{94, 96}, 100}, Case{{95}, 100}, Case{{100}, 100}, Case{{40, 41}, 50}}) {
        SurveyTable table;
        for (int r : c.readings) {
            table.AddReply("0020a6200001", r, false);
            table.EndRound();
        }
        table.ComputeStatistics();
        EXPECT_EQ(table.Node(1).strength, c.strength) << c.readings.front();
    }
    // The last reply of a slot gives its reading, and both replies count.
    SurveyTable twice;
    twice.AddReply("0020a6200001", 90, false);
    twice.AddReply("0020a6200001", 30, false);
    EXPECT_EQ(twice.Node(1).replies[1], 2);
    twice.ComputeStatistics();
    EXPECT_EQ(twice.Node(1).strength, 30);
    EXPECT_EQ(twice.Node(1).linkQuality, 5);  // 10 of age 1, limited
    // No reading in the whole ring.
    for (int round = 0; round < 10; ++round) twice.EndRound();
    twice.ComputeStatistics();
    EXPECT_EQ(twice.Node(1).strength, 0);
}

TEST(SurveyTableTest, FirstNodeAtIndexOneAndTheMasterAtZeroWhenItAnswers) {
    SurveyTable table;
    EXPECT_FALSE(table.IsFilled(0));
    EXPECT_EQ(table.AddReply("0020a6200001", 50, false), 1);
    EXPECT_EQ(table.Highest(), 1);
    EXPECT_FALSE(table.MasterHeard());
    EXPECT_FALSE(table.IsFilled(0));
    EXPECT_TRUE(table.IsFilled(1));
    EXPECT_EQ(table.AddReply(kMaster, 70, true), 0);
    EXPECT_TRUE(table.MasterHeard());
    EXPECT_TRUE(table.IsFilled(0));
    EXPECT_STREQ(table.Node(0).address, kMaster);
    EXPECT_EQ(table.Highest(), 1);
    EXPECT_EQ(table.NodeCount(), 2);
    EXPECT_EQ(table.AddReply(kMaster, 72, true), 0);
    EXPECT_EQ(table.Node(0).replies[1], 2);
    EXPECT_EQ(table.NodeCount(), 2);

    // The master alone: highest 0.
    SurveyTable alone;
    alone.AddReply(kMaster, 70, true);
    EXPECT_EQ(alone.Highest(), 0);
    EXPECT_EQ(alone.AddReply("0020a6200009", 50, false), 1);
}

TEST(SurveyTableTest, AddressOrderIgnoresLetterCase) {
    SurveyTable table;
    table.AddReply(kMaster, 70, true);
    for (const char* a : {"0020A6200C00", "0020a6200a00", "0020a6200B00", "0020a6100000",
                          "0020a6200b01", "ffffffffff00"})
        table.AddReply(a, 50, false);
    std::vector<std::string> byAddress, byArrival;
    for (int p = 0; p <= table.Highest(); ++p) {
        byAddress.push_back(table.Node(table.IndexAt(p, 1)).address);
        byArrival.push_back(table.Node(table.IndexAt(p, 0)).address);
    }
    EXPECT_EQ(byAddress,
              (std::vector<std::string>{kMaster, "0020a6100000", "0020a6200a00", "0020a6200B00",
                                        "0020a6200b01", "0020A6200C00", "ffffffffff00"}));
    EXPECT_EQ(byArrival,
              (std::vector<std::string>{kMaster, "0020A6200C00", "0020a6200a00", "0020a6200B00",
                                        "0020a6100000", "0020a6200b01", "ffffffffff00"}));
    EXPECT_EQ(table.IndexAt(100, 1), -1);
}

TEST(SurveyTableTest, FullTableIgnoresFurtherNodes) {
    SurveyTable table;
    table.AddReply(kMaster, 70, true);
    for (int n = 1; n <= 99; ++n) ASSERT_EQ(table.AddReply(Address(n).c_str(), 40, false), n);
    EXPECT_EQ(table.NodeCount(), 100);
    EXPECT_EQ(table.AddReply(Address(100).c_str(), 40, false), -1);
    EXPECT_EQ(table.Highest(), 99);
    EXPECT_EQ(table.NodeCount(), 100);
    EXPECT_EQ(table.AddReply(Address(99).c_str(), 40, false), 99);  // known ones still count
    EXPECT_EQ(table.Node(99).replies[1], 2);
    // Added in descending address order, shown ascending.
    SurveyTable reverse;
    for (int n = 99; n >= 1; --n) reverse.AddReply(Address(n).c_str(), 40, false);
    for (int p = 1; p <= 99; ++p)
        EXPECT_EQ(reverse.Node(reverse.IndexAt(p, 1)).address, Address(p));
}

TEST(SurveyTableTest, BadReadingsAreClampedAndBadAddressesDropped) {
    SurveyTable table;
    EXPECT_EQ(table.AddReply("0020a6200001", 255, false), 1);
    EXPECT_EQ(table.Node(1).reading[1], 100);
    EXPECT_EQ(table.AddReply("0020a6200001", -5, false), 1);
    EXPECT_EQ(table.Node(1).reading[1], 0);
    for (const char* bad : {"", "0020a620000", "0020a62000011", "0020a620000g", "0020a6 00001"})
        EXPECT_EQ(table.AddReply(bad, 50, false), -1) << bad;
    EXPECT_EQ(table.AddReply(nullptr, 50, true), -1);
    EXPECT_EQ(table.NodeCount(), 1);
    EXPECT_FALSE(table.MasterHeard());
    table.ComputeStatistics();
    EXPECT_EQ(table.Node(1).linkQuality, 5);
}

TEST(SurveyTableTest, ResetEmptiesTheTable) {
    SurveyTable table;
    table.AddReply(kMaster, 70, true);
    table.AddReply("0020a6200001", 70, false);
    table.EndRound();
    table.Reset();
    EXPECT_EQ(table.Highest(), -1);
    EXPECT_EQ(table.NodeCount(), 0);
    EXPECT_EQ(table.CurrentSlot(), 1);
    EXPECT_FALSE(table.MasterHeard());
    // The old master's entry is not matched by a node before the new master answers.
    EXPECT_EQ(table.AddReply(kMaster, 50, false), 1);
}

TEST(SurveyTableTest, ScrollStepsAtTheEdges) {
    using ui::ScrollCode;
    ScrollStep s;
    EXPECT_FALSE(ScrollView(ScrollCode::LineDown, 0, 0, 7, 0, &s));
    struct Case {
        ScrollCode code;
        int position, thumb, top;  // before
        int bar, newTop;           // after
    };
    const int n = 20;
    for (const Case& c : {
             Case{ScrollCode::LineDown, 0, 0, 0, 1, 1},
             Case{ScrollCode::LineDown, 11, 0, 11, 12, 12},
             Case{ScrollCode::LineDown, 12, 0, 12, 20, 13},  // at the end: bar n, view n - 7
             Case{ScrollCode::LineUp, 1, 0, 1, 0, 0},
             Case{ScrollCode::LineUp, 0, 0, 0, 0, 0},
             Case{ScrollCode::LineUp, 19, 0, 13, 12, 12},  // from the bottom
             Case{ScrollCode::LineUp, 10, 0, 10, 9, 9},
             Case{ScrollCode::PageUp, 13, 0, 13, 0, 0},
             Case{ScrollCode::PageUp, 14, 0, 14, 7, 7},
             Case{ScrollCode::PageDown, 6, 0, 6, 13, 13},
             Case{ScrollCode::PageDown, 7, 0, 7, 20, 13},
             Case{ScrollCode::ThumbPosition, 0, 5, 0, 5, 5},
             Case{ScrollCode::ThumbPosition, 0, 13, 0, 13, 13},
             Case{ScrollCode::ThumbPosition, 0, 19, 0, 19, 13},
             Case{ScrollCode::Top, 9, 0, 9, 0, 0},
             Case{ScrollCode::Bottom, 0, 0, 0, 13, 13},
             Case{ScrollCode::ThumbTrack, 19, 4, 13, 19, 13},
             Case{ScrollCode::EndScroll, 19, 0, 13, 19, 13},
         }) {
        ASSERT_TRUE(ScrollView(c.code, c.position, c.thumb, n, c.top, &s));
        EXPECT_EQ(s.position, c.bar) << int(c.code) << " from " << c.position;
        EXPECT_EQ(s.top, c.newTop) << int(c.code) << " from " << c.position;
    }
    // Eight positions: line up from the bar's end never leaves a negative view.
    ASSERT_TRUE(ScrollView(ScrollCode::LineUp, 8, 0, 8, 1, &s));
    EXPECT_EQ(s.position, 0);
    EXPECT_EQ(s.top, 0);
}

}  // namespace
}  // namespace odr::survey
