// The Snoop window against the recording window and a scripted adapter on the virtual
// clock: opening, the sweep tick and its dwell, the messages served meanwhile, the step and
// full paints, the sampling rates and Help; then a sweep of the simulated default site and
// the main window's "S&noop..." button.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Operations.h"
#include "driver/RssiTable.h"
#include "fakes/FakeChannel.h"
#include "fakes/FakeShell.h"
#include "fakes/FakeUi.h"
#include "fakes/ShippedScenario.h"
#include "platform/MemoryRegistry.h"
#include "resources/resource.h"
#include "settings/AdapterSettings.h"
#include "shell/MainDlg.h"
#include "shell/ShellAdapterUi.h"
#include "shell/ToolSet.h"
#include "shell/kit/HelpDlg.h"
#include "sim/Scenario.h"
#include "sim/SimDevice.h"
#include "snoop/SnoopDlg.h"

namespace odr::snoop {
namespace {

using test::FakeAnswer;
using ui::Pending;

constexpr int kN = 79;

// The Snoop window on a scripted adapter whose raw readings are the percentages.
struct SnoopRig : test::FakeShell {
    explicit SnoopRig(std::vector<uint8_t> country = {0, 1}) {
        for (int r = 0; r < 256; ++r) rssi.percent[r] = uint8_t(r);
        fc.adapter.commands[CMD_GET_COUNTRY_CODE] = [country](const uint8_t*, uint32_t) {
            return FakeAnswer::Data(country);
        };
        fc.adapter.commands[CMD_DISABLE_HOPPING] = [this](const uint8_t* data, uint32_t) {
            parked = data[0];
            return FakeAnswer::Result(0);
        };
        fc.adapter.commands[CMD_GET_RSSI] = [this](const uint8_t*, uint32_t) {
            ++rssiCalls;
            const int r = reading ? reading(parked, rssiCalls) : 0;
            return r < 0 ? FakeAnswer::Result(5) : FakeAnswer::Data({uint8_t(r)});
        };
    }

    test::FakeWindow& Open() {
        w = &host.Open(dialog);
        w->surfaces[IDC_SNOOP_GRAPH].width = 576;
        w->surfaces[IDC_SNOOP_GRAPH].height = 300;
        w->onDispatch = [this](Pending kind) {
            if (kind == Pending::Paint) dialog.OnPaint();
            if (onDispatch) onDispatch(kind);
        };
        return *w;
    }
    // Runs one tick and reports how many readings it asked for.
    int Tick() {
        const int before = rssiCalls;
        w->invalidated.clear();
        dialog.OnTimer(1);
        return rssiCalls - before;
    }
    std::vector<std::string>& Ops() { return w->surfaces[IDC_SNOOP_GRAPH].ops; }
    // Paints and returns what was drawn.
    std::vector<std::string> Paint() {
        Ops().clear();
        dialog.OnPaint();
        return Ops();
    }
    bool Invalidated() const {
        return w->invalidated ==
               (std::vector<std::pair<int, bool>>{{IDC_SNOOP_GRAPH, true}, {0, false}});
    }

    CSnoopDlg dialog{ctx};
    test::FakeWindow* w = nullptr;
    int parked = -1;
    int rssiCalls = 0;
    // Raw reading on `channel` at the `call`-th GetRSSI; negative: the call fails.
    std::function<int(int channel, int call)> reading;
    std::function<void(Pending)> onDispatch;
};

TEST(SnoopDlgTest, OpeningReadsTheBandAndStartsTheSweep) {
    SnoopRig rig({2, 9});
    test::FakeWindow& w = rig.Open();
    EXPECT_EQ(rig.fc.adapter.Commands(), (std::vector<uint32_t>{CMD_GET_COUNTRY_CODE}));
    EXPECT_EQ(rig.dialog.Band().count, 43);
    EXPECT_EQ(rig.dialog.Band().firstChannel, 6);
    EXPECT_EQ(rig.dialog.Samples().size(), 44u);
    EXPECT_EQ(w.GetText(IDC_SNOOP_FIRST_FREQ), "2.407");
    EXPECT_EQ(w.GetText(IDC_SNOOP_LAST_FREQ), "2.449");
    EXPECT_EQ(w.RadioIndex(IDC_SNOOP_SLOW), kRateMedium);
    EXPECT_EQ(w.TimerInterval(1), 100u);
    EXPECT_EQ(rig.dialog.SweepPosition(), 0);
    EXPECT_TRUE(rig.dialog.FullRedraw());

    // No country code: the widest common band.
    SnoopRig failing;
    failing.fc.adapter.commands[CMD_GET_COUNTRY_CODE] = [](const uint8_t*, uint32_t) {
        return FakeAnswer::Data({2, 9}, 7);
    };
    test::FakeWindow& f = failing.Open();
    EXPECT_EQ(failing.dialog.Band().count, kN);
    EXPECT_EQ(failing.dialog.Samples().size(), size_t(kN) + 1);
    EXPECT_EQ(f.GetText(IDC_SNOOP_LAST_FREQ), "2.480");
}

TEST(SnoopDlgTest, DwellEndsAtTheReadingOrTimeLimitOfEachRate) {
    struct Case {
        int button, rate;
        uint32_t seconds, readings;
    };
    for (const Case& c :
         {Case{IDC_SNOOP_SLOW, kRateSlow, 10, 300}, Case{IDC_SNOOP_MEDIUM, kRateMedium, 5, 30},
          Case{IDC_SNOOP_FAST, kRateFast, 1, 3}}) {
        SnoopRig rig;
        rig.Open();
        rig.dialog.OnCommand(c.button);
        EXPECT_EQ(rig.dialog.SamplingRate(), c.rate);
        rig.reading = [](int channel, int) { return channel; };

        // Readings as fast as the adapter gives them: the count ends the dwell at once.
        uint32_t start = rig.fc.clock.Now();
        const int yields = rig.fc.clock.yields;
        EXPECT_EQ(rig.Tick(), int(c.readings));
        EXPECT_EQ(rig.fc.clock.Now() - start, 0u);
        EXPECT_EQ(rig.fc.clock.yields, yields);
        const SpectrumSample& first = rig.dialog.Samples()[0];
        EXPECT_EQ(first.count, c.readings);
        EXPECT_EQ(first.peak, 1);  // channel 1 at position 0
        EXPECT_EQ(first.position, 0);
        EXPECT_EQ(rig.parked, 1);
        EXPECT_TRUE(rig.Invalidated());

        // Every reading fails: the dwell lasts its whole seconds, pausing between the
        // readings, and counts nothing.
        rig.reading = [](int, int) { return -1; };
        rig.dialog.OnPaint();  // the full redraw: the sweep moves on to n
        ASSERT_EQ(rig.dialog.SweepPosition(), kN);
        start = rig.fc.clock.Now();
        rig.Tick();
        EXPECT_EQ(rig.fc.clock.Now() - start, c.seconds * 1000);
        EXPECT_EQ(rig.dialog.Samples()[kN].count, 0u);
        EXPECT_EQ(rig.dialog.Samples()[kN].position, kN);
        EXPECT_EQ(rig.parked, 1 + kN);
        rig.fc.adapter.Clear();
    }
}

TEST(SnoopDlgTest, FailedReadingsAreSkippedAndHighOnesClamped) {
    SnoopRig rig;
    rig.Open();
    rig.reading = [](int, int call) { return call % 2 ? -1 : (call == 4 ? 250 : 20); };
    EXPECT_EQ(rig.Tick(), 60);
    const SpectrumSample& s = rig.dialog.Samples()[0];
    EXPECT_EQ(s.count, 30u);
    EXPECT_EQ(s.peak, 100);
    EXPECT_EQ(s.sum, 29u * 20 + 100);
}

TEST(SnoopDlgTest, LostDriverIsReattachedBeforeTheNextReading) {
    SnoopRig rig;
    rig.Open();
    rig.reading = [](int, int) { return 40; };
    // A reading that is not carried ends the dwell; the position is not drawn.
    rig.fc.adapter.commands[CMD_GET_RSSI] = [](const uint8_t*, uint32_t) {
        return FakeAnswer::Error(1167);
    };
    rig.Tick();
    EXPECT_TRUE(rig.dialog.ReattachNeeded());
    EXPECT_TRUE(rig.w->invalidated.empty());
    EXPECT_EQ(rig.dialog.SweepPosition(), 0);

    // While the device does not open, ticks send nothing.
    rig.fc.host.existing.clear();
    rig.fc.adapter.Clear();
    rig.Tick();
    EXPECT_TRUE(rig.fc.adapter.sent.empty());

    // Open, but the re-attach is not carried yet: nothing is measured.
    rig.fc.host.existing.insert("\\\\.\\ODRWINNT1");
    rig.fc.adapter.script = {FakeAnswer::Error(1167)};
    rig.Tick();
    EXPECT_EQ(rig.fc.adapter.Commands(), std::vector<uint32_t>{CMD_REATTACH_DRIVER});
    EXPECT_TRUE(rig.dialog.ReattachNeeded());

    // Re-attached: the same position is measured and drawn.
    rig.fc.adapter.commands[CMD_GET_RSSI] = [](const uint8_t*, uint32_t) {
        return FakeAnswer::Data({40});
    };
    rig.fc.adapter.Clear();
    rig.Tick();
    EXPECT_EQ(rig.fc.adapter.CommandOf(0), uint32_t(CMD_REATTACH_DRIVER));
    EXPECT_FALSE(rig.dialog.ReattachNeeded());
    EXPECT_EQ(rig.dialog.Samples()[0].count, 30u);
    EXPECT_TRUE(rig.Invalidated());
}

TEST(SnoopDlgTest, SweepOrderAfterARateChange) {
    SnoopRig rig;
    rig.Open();
    rig.reading = [](int channel, int) { return channel % 50; };
    // The first paint draws the whole graph and moves the sweep on to n.
    std::vector<std::string> ops = rig.Paint();
    EXPECT_EQ(rig.dialog.SweepPosition(), kN);
    EXPECT_TRUE(rig.dialog.Repaint());
    for (int i = 0; i < 5; ++i) {
        rig.Tick();
        rig.Paint();
    }
    rig.Tick();  // position 4 measured, not drawn yet

    rig.dialog.OnCommand(IDC_SNOOP_FAST);
    EXPECT_TRUE(rig.dialog.FullRedraw());
    EXPECT_EQ(rig.dialog.SweepPosition(), 0);
    for (const SpectrumSample& s : rig.dialog.Samples()) EXPECT_EQ(s.count, 0u);

    // Position 0 with the new limits; the full redraw clears every column and moves the
    // sweep on to n, which is measured next; then the idle tick and position 0 again.
    EXPECT_EQ(rig.Tick(), 3);
    EXPECT_EQ(rig.parked, 1);
    ops = rig.Paint();
    for (int s = 0; s < kN; ++s) {
        const int x = 5 + 7 * s;
        const std::string fill =
            "fill " + std::to_string(x) + ",16," + std::to_string(x + 5) + ",292 192,192,192";
        EXPECT_NE(std::find(ops.begin(), ops.end(), fill), ops.end()) << s;
    }
    EXPECT_EQ(std::count_if(ops.begin(), ops.end(),
                            [](const std::string& op) { return op.rfind("rect", 0) == 0; }),
              0);  // no outline, and position 0 shows only in its own step
    EXPECT_EQ(rig.dialog.SweepPosition(), kN);
    EXPECT_EQ(rig.Tick(), 3);
    EXPECT_EQ(rig.parked, 1 + kN);
    rig.Paint();
    EXPECT_EQ(rig.dialog.SweepPosition(), kN + 1);
    EXPECT_EQ(rig.Tick(), 0);
    EXPECT_FALSE(rig.Invalidated());
    EXPECT_EQ(rig.dialog.SweepPosition(), 0);
    EXPECT_EQ(rig.Tick(), 3);
    EXPECT_EQ(rig.parked, 1);
}

TEST(SnoopDlgTest, StepPaintRedrawsTwoColumnsAndOutlinesTheNewOne) {
    SnoopRig rig;
    rig.Open();
    rig.reading = [](int channel, int) { return channel; };
    rig.Paint();
    rig.Tick();  // position n: channel 80, column 78
    EXPECT_EQ(rig.Paint(), (std::vector<std::string>{
                               "fill 544,16,549,292 192,192,192",
                               "fill 551,16,556,292 192,192,192",
                               "rect 551,16,556,292 192,192,192",
                               "rect 551,132,556,292 0,0,128",
                               "rect 551,132,556,136 0,255,0",
                           }));
    rig.Tick();  // idle
    rig.Tick();  // position 0 (channel 1) in column 0, after the last column
    EXPECT_EQ(rig.Paint(), (std::vector<std::string>{
                               "fill 551,16,556,292 192,192,192",
                               "fill 5,16,10,292 192,192,192",
                               "rect 5,16,10,292 192,192,192",
                               "rect 551,132,556,292 0,0,128",
                               "rect 551,132,556,136 0,255,0",
                               "rect 5,290,10,292 0,0,128",
                               "rect 5,290,10,292 0,255,0",
                           }));
    rig.Tick();  // position 1 (channel 2) also in column 0
    EXPECT_EQ(rig.Paint()[2], "rect 5,16,10,292 192,192,192");
    rig.Tick();  // position 2 in column 1, after column 0
    EXPECT_EQ(rig.Paint(), (std::vector<std::string>{
                               "fill 5,16,10,292 192,192,192",
                               "fill 12,16,17,292 192,192,192",
                               "rect 12,16,17,292 192,192,192",
                               "rect 5,288,10,292 0,0,128",
                               "rect 5,288,10,292 0,255,0",
                               "rect 12,286,17,292 0,0,128",
                               "rect 12,286,17,290 0,255,0",
                           }));
    EXPECT_EQ(rig.dialog.SweepPosition(), 3);
}

TEST(SnoopDlgTest, PaintsBetweenTicksRedrawWithoutBackground) {
    SnoopRig rig;
    rig.Open();
    rig.reading = [](int channel, int) { return channel; };
    rig.Paint();
    rig.Tick();
    rig.Paint();  // the step
    // Uncovered: labels, ticks and every sampled column, no background.
    rig.w->textLog.clear();
    std::vector<std::string> ops = rig.Paint();
    EXPECT_EQ(rig.w->textLog[IDC_SNOOP_FIRST_FREQ], (std::vector<std::string>{"2.402"}));
    EXPECT_EQ(std::count_if(ops.begin(), ops.end(),
                            [](const std::string& op) { return op.rfind("line", 0) == 0; }),
              kN - 7);
    EXPECT_EQ(std::find(ops.begin(), ops.end(), "fill 40,16,45,292 192,192,192"), ops.end());
    EXPECT_NE(std::find(ops.begin(), ops.end(), "rect 551,132,556,292 0,0,128"), ops.end());
    EXPECT_EQ(rig.dialog.SweepPosition(), kN + 1);
}

TEST(SnoopDlgTest, DwellServesMouseAndPaintWithTheTimerStopped) {
    SnoopRig rig;
    test::FakeWindow& w = rig.Open();
    rig.Paint();
    rig.Tick();
    rig.Paint();
    rig.Tick();  // idle
    ASSERT_EQ(rig.dialog.SweepPosition(), 0);
    // A click and an exposure arrive during the dwell of position 0.
    rig.rssiCalls = 0;
    rig.reading = [&w](int, int call) {
        if (call == 5) w.pending[Pending::Mouse].push_back(0);
        if (call == 6) w.pending[Pending::Paint].push_back(0);
        return 10;
    };
    w.timerLog.clear();
    EXPECT_EQ(rig.Tick(), 30);
    EXPECT_EQ(w.dispatched, (std::vector<std::string>{"mouse", "paint"}));
    EXPECT_EQ(w.timerLog, (std::vector<std::pair<int, unsigned>>{{1, 0}, {1, 100}}));
    EXPECT_FALSE(rig.dialog.Repaint());  // cleared after the dwell's paint
    // The redraw in the dwell left the sweep on the column being measured.
    EXPECT_EQ(rig.dialog.SweepPosition(), 0);
    EXPECT_TRUE(rig.Invalidated());
    std::vector<std::string> ops = rig.Paint();
    EXPECT_NE(std::find(ops.begin(), ops.end(), "rect 5,16,10,292 192,192,192"), ops.end());
    EXPECT_EQ(rig.dialog.Samples()[0].count, 30u);
}

TEST(SnoopDlgTest, KeyDownDuringTheDwell) {
    SnoopRig rig;
    test::FakeWindow& w = rig.Open();
    rig.reading = [](int, int) { return 10; };
    // F1 for the window ends the tick at once, before any reading, and is left queued for
    // the window's own loop; nothing is invalidated.
    w.pending[Pending::KeyDown] = {ui::kKeyF1};
    EXPECT_EQ(rig.Tick(), 0);
    EXPECT_TRUE(w.invalidated.empty());
    EXPECT_TRUE(w.dispatched.empty());
    EXPECT_EQ(w.pending[Pending::KeyDown].size(), 1u);

    // Any other key (Escape here) is dispatched with the timer stopped around it, and the
    // dwell goes on; the key stays queued for the dialog's loop once the dwell ends.
    w.pending[Pending::KeyDown] = {0x1B};
    w.timerLog.clear();
    EXPECT_EQ(rig.Tick(), 30);
    ASSERT_FALSE(w.dispatched.empty());
    for (const std::string& d : w.dispatched) EXPECT_EQ(d, "key 27 kept");
    EXPECT_EQ(w.pending[Pending::KeyDown], std::deque<int>{0x1B});
    ASSERT_EQ(w.timerLog.size(), 2 * w.dispatched.size());
    for (size_t i = 0; i < w.timerLog.size(); i += 2) {
        EXPECT_EQ(w.timerLog[i], (std::pair<int, unsigned>{1, 0}));
        EXPECT_EQ(w.timerLog[i + 1], (std::pair<int, unsigned>{1, 100}));
    }
    EXPECT_TRUE(rig.Invalidated());
}

TEST(SnoopDlgTest, ARateChangeOrDoneDuringTheDwellEndsIt) {
    SnoopRig rig;
    test::FakeWindow& w = rig.Open();
    rig.reading = [&w](int, int call) {
        if (call == 4) w.pending[Pending::Mouse].push_back(0);
        return 10;
    };
    rig.onDispatch = [&rig](Pending) { rig.dialog.OnCommand(IDC_SNOOP_SLOW); };
    EXPECT_EQ(rig.Tick(), 4);
    EXPECT_FALSE(rig.Invalidated());
    EXPECT_EQ(rig.dialog.SamplingRate(), kRateSlow);
    EXPECT_EQ(rig.dialog.Samples()[0].count, 0u);  // the reset record stays reset
    EXPECT_EQ(rig.dialog.SweepPosition(), 0);
    EXPECT_EQ(w.TimerInterval(1), 100u);

    // Done: the window ends at once rather than after the dwell.
    rig.rssiCalls = 0;
    rig.onDispatch = [&rig](Pending) { rig.dialog.OnCommand(1); };
    EXPECT_EQ(rig.Tick(), 4);
    EXPECT_TRUE(w.ended);
    EXPECT_EQ(w.endResult, 1);
    EXPECT_FALSE(rig.Invalidated());
    EXPECT_EQ(rig.Tick(), 0);  // a last tick queued before the end does nothing
    rig.dialog.OnDestroy();
    EXPECT_EQ(w.TimerInterval(1), 0u);
    EXPECT_TRUE(rig.dialog.Samples().empty());
    rig.dialog.OnPaint();  // nothing left to draw
}

TEST(SnoopDlgTest, HelpShowsTheSnoopSectionAndTheGraphIsRedrawnAfter) {
    SnoopRig rig;
    test::FakeWindow& w = rig.Open();
    rig.Paint();
    rig.Tick();
    ASSERT_FALSE(rig.dialog.Repaint());
    std::string start, end, title;
    rig.host.scripts[IDD_HELP] = [&](ui::Dialog& d, test::FakeWindow&) {
        auto& help = static_cast<shell::CHelpDlg&>(d);
        start = help.StartKeyword();
        end = help.EndKeyword();
        title = help.Title();
    };
    rig.dialog.OnCommand(IDC_SNOOP_HELP);
    EXPECT_EQ(rig.host.RunTemplates(), (std::vector<int>{IDD_HELP}));
    EXPECT_EQ(start, "HELPSNOP");
    EXPECT_EQ(end, "ZZZZZZZZ");
    EXPECT_EQ(title, "Snoop Help");
    EXPECT_TRUE(rig.dialog.Repaint());
    EXPECT_EQ(w.TimerInterval(1), 100u);
}

// The Snoop window on a started simulated adapter, swept once at the Medium rate.
// The log: one row per dwell with the channel, its frequency as the labels show it, the
// peak, the average and the number of readings.
TEST(SnoopDlgTest, LogHasARowPerDwell) {
    SnoopRig rig;
    rig.reading = [](int channel, int call) { return channel * 10 + call % 2; };
    rig.Open();
    rig.host.savePaths = {"C:\\snoop.csv"};
    rig.dialog.OnCommand(IDC_SNOOP_LOG);
    rig.Tick();
    rig.Paint();
    rig.Tick();
    std::stringstream file(rig.fc.os.appended["C:\\snoop.csv"]);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "time,channel,frequency GHz,peak,average,readings\r");
    const SpectrumSample& s = rig.dialog.Samples()[size_t(rig.dialog.SweepPosition())];
    const int channel = rig.dialog.Band().firstChannel + rig.dialog.SweepPosition();
    char frequency[16];
    std::snprintf(frequency, sizeof frequency, "%.3f", 2.400 + 0.001 * channel);
    EXPECT_EQ(lines[2], "2026-12-09T10:00:00," + std::to_string(channel) + "," + frequency + "," +
                            std::to_string(s.peak) + "," + std::to_string(s.Average()) + "," +
                            std::to_string(s.count) + "\r");
    EXPECT_EQ(s.count, 30u);
}

struct SimulatedSweep {
    explicit SimulatedSweep(sim::Scenario scenario) : devices(std::move(scenario), clock) {
        EXPECT_EQ(channel.OpenDriver(&status), 0);
        uint8_t sync = 0;
        InitCard(adapter, &sync, 0, 0);
        EXPECT_NE(sync, 0);
        w = &host.Open(dialog);
        w->surfaces[IDC_SNOOP_GRAPH] = {576, 300, {}};
        dialog.OnPaint();
        for (int i = 0; i < dialog.Band().count + 3; ++i) {
            clock.Advance(100);
            dialog.OnTimer(1);
            dialog.OnPaint();
        }
    }
    // Average of the column showing channel `k`.
    unsigned AverageOf(int k) const {
        const SpectrumSample& s = dialog.Samples().at(size_t(k - dialog.Band().firstChannel));
        EXPECT_EQ(s.count, 30u) << k;
        return s.Average();
    }
    // Lowest average over channels first..last, and highest over the band's other channels.
    std::pair<unsigned, unsigned> Contrast(int first, int last) const {
        unsigned loud = 100, quiet = 0;
        const int b = dialog.Band().firstChannel;
        for (int k = b + 1; k <= b + dialog.Band().count; ++k) {
            if (k >= first && k <= last) {
                loud = std::min(loud, AverageOf(k));
            } else {
                quiet = std::max(quiet, AverageOf(k));
            }
        }
        return {loud, quiet};
    }

    test::FakeClock clock;
    test::FakeOs os;
    Trace trace;
    sim::SimDeviceHost devices;
    Channel channel{devices, os, clock, trace};
    AdapterStatus status;
    RssiTable rssi;
    AdapterContext adapter{channel, clock, os, status, rssi, nullptr};
    platform::MemoryRegistry registry;
    test::FakeHost host;
    shell::ShellContext ctx{adapter, host, registry};
    CSnoopDlg dialog{ctx};
    test::FakeWindow* w = nullptr;
};

TEST(SnoopDlgTest, DefaultSiteInterferenceStandsOutOnChannels30To36) {
    SimulatedSweep sweep(sim::DefaultScenario());
    EXPECT_EQ(sweep.w->GetText(IDC_SNOOP_FIRST_FREQ), "2.402");
    EXPECT_EQ(sweep.w->GetText(IDC_SNOOP_LAST_FREQ), "2.480");
    const auto [loud, quiet] = sweep.Contrast(30, 36);
    EXPECT_GT(loud, quiet + 5) << loud << " " << quiet;
}

TEST(SnoopDlgTest, ShippedScenariosGiveTheirBands) {
    SimulatedSweep japan(test::ShippedScenario("japan.ini"));
    EXPECT_EQ(japan.dialog.Band().count, 43);
    EXPECT_EQ(japan.w->GetText(IDC_SNOOP_FIRST_FREQ), "2.407");
    EXPECT_EQ(japan.w->GetText(IDC_SNOOP_LAST_FREQ), "2.449");
    const auto [busy, calm] = japan.Contrast(20, 24);
    EXPECT_GT(busy, calm + 5) << busy << " " << calm;

    SimulatedSweep edge(test::ShippedScenario("band_edge.ini"));
    EXPECT_EQ(edge.dialog.Band().count, kN);
    const auto [loud, quiet] = edge.Contrast(70, 80);
    EXPECT_GT(loud, 50u);
    EXPECT_LT(quiet, 15u);
}

// The main window's button opens the window and, when it closes, starts the adapter afresh.
TEST(SnoopDlgTest, MainWindowOpensSnoopAndChecksAgainAfter) {
    test::FakeClock clock;
    clock.yieldStepMs = 10;
    test::FakeOs os;
    Trace trace;
    sim::SimDeviceHost devices(sim::DefaultScenario(), clock);
    Channel channel(devices, os, clock, trace);
    AdapterStatus status;
    RssiTable rssi;
    platform::MemoryRegistry registry;
    test::FakeHost host;
    shell::ShellAdapterUi adapterUi(host);
    AdapterContext adapter{channel, clock, os, status, rssi, &adapterUi};
    shell::ShellContext ctx{adapter, host, registry};
    shell::CToolSet tools(ctx);
    shell::CMainDlg main(ctx, tools);
    test::FakeWindow& w = host.Open(main);
    main.OnTimer(1);
    ASSERT_TRUE(main.AdapterReady());

    int helpContext = 0;
    int sampled = 0;
    host.scripts[IDD_SNOOP] = [&](ui::Dialog& d, test::FakeWindow& sw) {
        helpContext = ctx.helpContext;
        auto& snoop = static_cast<CSnoopDlg&>(d);
        EXPECT_EQ(snoop.SamplingRate(), kRateMedium);
        sw.surfaces[IDC_SNOOP_GRAPH] = {576, 300, {}};
        snoop.OnPaint();
        for (int i = 0; i < 4; ++i) {
            snoop.OnTimer(1);
            snoop.OnPaint();
        }
        for (const SpectrumSample& s : snoop.Samples()) sampled += s.count != 0;
        snoop.OnCommand(1);
    };
    main.OnCommand(IDC_SNOOP);
    EXPECT_EQ(host.RunTemplates(), (std::vector<int>{IDD_SNOOP}));
    EXPECT_EQ(helpContext, 1010);
    EXPECT_EQ(sampled, 3);  // n, 0 and 1
    EXPECT_EQ(ctx.helpContext, 102);
    EXPECT_FALSE(channel.IsOpen());
    EXPECT_FALSE(status.cardInitialised);
    EXPECT_EQ(w.TimerInterval(1), 100u);
    main.OnTimer(1);
    EXPECT_NE(main.StatusText().find("Synchronized to 0020a6100001  LOBBY"), std::string::npos)
        << main.StatusText();
}

}  // namespace
}  // namespace odr::snoop
