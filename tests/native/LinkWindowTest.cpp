// The directed link test's slot ring and statistics, without a window: per-second figures
// over the used slots, latency and its deviation, the signal bar, the sample limit, the
// running averages and their restart on overflow, and the bounded counts.
#include <gtest/gtest.h>

#include <climits>

#include "linktest/LinkWindow.h"

namespace odr::linktest {
namespace {

TEST(LinkWindowTest, FirstPassCountsOnlyItsOwnSlot) {
    LinkWindow w;
    Slot& s = w.Current();
    for (int i = 0; i < 7; ++i) s.AddCompleted(1500);
    for (int i = 0; i < 6; ++i) s.AddReply(50, 1500);
    const PassFigures f = w.Statistics();
    EXPECT_TRUE(f.hasPackets);
    EXPECT_EQ(f.packetsPerSecond, 26);  // 2 x (7 + 6) over one slot
    EXPECT_EQ(f.bytesPerSecond, 2 * 13 * 1500);
    EXPECT_EQ(f.averagePackets, 26);
    EXPECT_FALSE(f.hasLatency);
    EXPECT_EQ(f.signalBar, 50);

    // The next slot starts empty and counts with the first; the others stay out.
    w.Advance();
    w.Current().AddCompleted(100);
    const PassFigures g = w.Statistics();
    EXPECT_EQ(g.packetsPerSecond, RoundHalfUp(2.0 * 14 / 2));
    EXPECT_EQ(g.bytesPerSecond, RoundHalfUp(2.0 * (13 * 1500 + 100) / 2));
    EXPECT_EQ(g.averagePackets, (26 + 14) / 2);
    EXPECT_EQ(w.Sums().passes, 2);
}

TEST(LinkWindowTest, LatencyAndDeviationAroundTheRoundedMean) {
    LinkWindow w;
    w.Current().AddReply(40, 0);
    for (int latency : {10, 10, 10, 10, 11}) EXPECT_TRUE(w.StoreLatency(latency));
    const PassFigures f = w.Statistics();
    ASSERT_TRUE(f.hasLatency);
    EXPECT_EQ(f.latency, 10);                // round(10.2)
    EXPECT_NEAR(f.deviation, 0.4472, 1e-4);  // sqrt(1/5), shown as 0.4
    EXPECT_EQ(w.MaximumLatency(), 11);

    // A slot without a reply from the target keeps no sample.
    w.Advance();
    EXPECT_FALSE(w.StoreLatency(90));
    EXPECT_EQ(w.MaximumLatency(), 11);
    EXPECT_EQ(w.Current().sampleCount, 0);
}

TEST(LinkWindowTest, ASlotKeepsItsFirstFiftySamplesButEverySpikeRaisesTheMaximum) {
    LinkWindow w;
    w.Current().AddReply(40, 0);
    for (int i = 0; i < 50; ++i) EXPECT_TRUE(w.StoreLatency(10));
    EXPECT_TRUE(w.StoreLatency(500));
    EXPECT_EQ(w.Current().sampleCount, 50);
    EXPECT_EQ(w.MaximumLatency(), 500);     // not stored, still the maximum
    EXPECT_EQ(w.Statistics().latency, 10);  // the figures cover the stored samples only
}

TEST(LinkWindowTest, RestartKeepsTheOtherSlotsAndResetClearsAll) {
    LinkWindow w;
    for (int pass = 0; pass < 3; ++pass) {
        w.Current().AddCompleted(100);
        w.Statistics();
        w.Advance();
    }
    w.Current().AddCompleted(100);
    ASSERT_EQ(w.CurrentIndex(), 3);
    w.Restart();
    EXPECT_EQ(w.CurrentIndex(), 0);
    EXPECT_EQ(w.At(0).completed, 0);
    EXPECT_EQ(w.At(0).signalSum, kNoData);
    EXPECT_EQ(w.At(1).completed, 1);
    EXPECT_EQ(w.At(3).completed, 1);
    EXPECT_EQ(w.At(4).completed, kNoData);

    w.Reset();
    EXPECT_EQ(w.Sums().passes, 0);
    EXPECT_EQ(w.At(1).completed, kNoData);
    EXPECT_EQ(w.At(0).bytes, 0);
    // The ring wraps after ten slots.
    for (int i = 0; i < 10; ++i) w.Advance();
    EXPECT_EQ(w.CurrentIndex(), 0);
}

TEST(LinkWindowTest, SignalAveragesOverRepliesRoundedUpToTens) {
    struct Case {
        std::vector<int> signals;
        int bar;
    };
    // 60 and 61 average 60.5, which rounds to 61 and so shows 70; 60.33 rounds to 60.
    for (const Case& c : {Case{{60}, 60}, Case{{60, 61}, 70}, Case{{60, 60, 61}, 60},
                          Case{{95}, 100}, Case{{0, 0}, 0}, Case{{}, 0}, Case{{250, 100}, 100}}) {
        LinkWindow w;
        for (int signal : c.signals) w.Current().AddReply(signal, 0);
        EXPECT_EQ(w.Statistics().signalBar, c.bar) << c.signals.size();
    }
}

TEST(LinkWindowTest, RunningSumOverflowRestartsTheAverages) {
    LinkWindow w;
    w.Current().AddCompleted(1500);
    w.Current().AddReply(50, 1500);
    w.Current().AddReply(50, 1500);
    ASSERT_TRUE(w.StoreLatency(8));
    w.Sums() = {100, 1000, INT_MAX - 1000, 500};  // the bytes sum is about to pass 2^31
    const PassFigures f = w.Statistics();
    EXPECT_EQ(f.bytesPerSecond, 9000);
    EXPECT_EQ(w.Sums().passes, 1);
    EXPECT_EQ(w.Sums().packets, 6);
    EXPECT_EQ(w.Sums().bytes, 9000);
    EXPECT_EQ(w.Sums().latency, 8);
    EXPECT_EQ(f.averageBytes, 9000);
    EXPECT_EQ(f.averagePackets, 6);

    // Without overflow the sums simply grow.
    w.Sums() = {1, 6, 9000, 8};
    const PassFigures g = w.Statistics();
    EXPECT_EQ(w.Sums().passes, 2);
    EXPECT_EQ(g.averageBytes, 9000);
}

TEST(LinkWindowTest, HugeReplyValuesSaturateInsteadOfWrapping) {
    LinkWindow w;
    for (int i = 0; i < 3; ++i) w.Current().AddReply(50, 0xFFFFFFFFu);
    EXPECT_EQ(w.Current().bytes, INT_MAX);
    EXPECT_EQ(w.Current().replies, 3);
    const PassFigures f = w.Statistics();
    EXPECT_EQ(f.bytesPerSecond, INT_MAX);
    EXPECT_GE(f.averageBytes, 0);
}

TEST(LinkWindowTest, RoundingAndDriverVersionsAndRadioModes) {
    EXPECT_EQ(RoundHalfUp(10.2), 10);
    EXPECT_EQ(RoundHalfUp(10.5), 11);
    EXPECT_EQ(RoundHalfUp(0.49), 0);

    for (const char* old : {"1.0", "V1.0", "1.1", "V1.1b", "1.2", "V1.2", "1.25"})
        EXPECT_FALSE(DriverLevelSupported(old)) << old;
    for (const char* recent : {"2.10", "V1.3", "1.3", "", "v1.2", " 1.2"})
        EXPECT_TRUE(DriverLevelSupported(recent)) << recent;

    EXPECT_STREQ(RadioModeText(0), "BFSK");
    EXPECT_STREQ(RadioModeText(1), "QFSK");
    EXPECT_STREQ(RadioModeText(2), "????");
    EXPECT_STREQ(RadioModeText(-4), "????");
    EXPECT_STREQ(RadioModeText(3), "");
}

}  // namespace
}  // namespace odr::linktest
