// The link test's field aids: the alignment tone's pitch, the two-minute history ring and
// its chart against a recording canvas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeUi.h"
#include "linktest/SignalHistory.h"

namespace odr::linktest {
namespace {

TEST(SignalHistoryTest, ThePitchRisesATellableStepWithEachTenthOfTheBar) {
    for (int bar = 0; bar <= 100; bar += 10) {
        EXPECT_EQ(TonePitch(bar), 400u + 20u * unsigned(bar)) << bar;
    }
    EXPECT_EQ(TonePitch(15), TonePitch(10));  // bars come in tenths
    EXPECT_EQ(TonePitch(-5), 400u);
    EXPECT_EQ(TonePitch(250), 2400u);
}

TEST(SignalHistoryTest, TheRingKeepsTheLastTwoMinutesOfPasses) {
    SignalHistory history;
    for (int pass = 0; pass < kHistoryPasses + 10; ++pass) {
        EXPECT_EQ(history.Add(pass % 101, pass, false), pass % kHistoryPasses);
    }
    EXPECT_EQ(history.Count(), kHistoryPasses + 10);
    EXPECT_EQ(history.At(9).latency, kHistoryPasses + 9);  // the newest
    EXPECT_EQ(history.At(10).latency, 10);                 // the oldest kept
    history.Clear();
    EXPECT_EQ(history.Count(), 0);
    EXPECT_FALSE(history.At(9).filled);
}

// One pixel a column on a 240-pixel plot inside the frame: a pass draws its own column and
// clears the next; a mark fills its column red.
TEST(SignalHistoryTest, APassDrawsOnlyItsColumnAndTheGapAfterIt) {
    test::FakeSurface surface{kHistoryPasses + 2, 102, {}};
    test::FakeCanvas canvas(surface);
    SignalHistory history;
    history.Add(50, 10, false);
    const int column = history.Add(70, 150, false);
    DrawHistoryColumn(canvas, history, column);
    EXPECT_EQ(surface.ops, (std::vector<std::string>{
                               "fill 2,1,3,101 255,255,255",  // column 1 cleared
                               "fill 2,31,3,101 0,160,0",     // 70 % of the 100-pixel plot
                               "fill 2,1,3,3 0,0,128",        // latency past the scale: the top
                               "fill 3,1,4,101 255,255,255",  // the gap
                           }));
    surface.ops.clear();
    DrawHistoryColumn(canvas, history, history.Add(0, -1, true));
    EXPECT_EQ(surface.ops,
              (std::vector<std::string>{"fill 3,1,4,101 255,255,255", "fill 3,1,4,101 255,0,0",
                                        "fill 4,1,5,101 255,255,255"}));
    surface.ops.clear();
    DrawHistory(canvas, history);
    // Every column cleared, signal and latency of the two passes, the mark, the gap.
    EXPECT_EQ(surface.ops.size(), size_t(kHistoryPasses + 2 * 2 + 1 + 1));
}

}  // namespace
}  // namespace odr::linktest
