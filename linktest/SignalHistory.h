// The directed link test's field aids: the alignment tone's pitch, and the signal history,
// a ring of the last two minutes of passes drawn as a sweeping strip chart (each pass
// draws its own column and clears the next, so a new pass redraws only the new part).
#pragma once

#include <array>
#include <cstdint>

namespace odr::ui {
class Canvas;
}

namespace odr::linktest {

// Two minutes of half-second passes.
constexpr int kHistoryPasses = 240;
// Latencies from 0 to this many milliseconds span the chart's height; longer ones reach
// the top.
constexpr int kHistoryLatencyScaleMs = 100;
constexpr unsigned kToneMs = 40;

// The alignment tone for a signal bar of `percent`: 400 Hz at 0 % to 2400 Hz at 100 %, in
// steps of 200 Hz a tenth, so the ear tells the bar's steps apart.
unsigned TonePitch(int percent);

struct HistoryPoint {
    bool filled = false;
    int signal = 0;     // percent
    int latency = -1;   // ms; -1 without one
    bool mark = false;  // out of range, or the master changed
};

class SignalHistory {
  public:
    void Clear();
    // One pass; returns its column.
    int Add(int signal, int latency, bool mark);
    // Passes recorded since the last Clear.
    int64_t Count() const { return count_; }
    const HistoryPoint& At(int column) const { return ring_[column]; }

  private:
    std::array<HistoryPoint, kHistoryPasses> ring_{};
    int64_t count_ = 0;
};

// Column `column` of the chart filling `canvas` (inside a one-pixel frame): cleared, a green
// bar for the signal, a navy mark at the latency's height, red from top to bottom for a
// mark; the column after it is cleared as the sweep's gap.
void DrawHistoryColumn(ui::Canvas& canvas, const SignalHistory& history, int column);
// The whole chart.
void DrawHistory(ui::Canvas& canvas, const SignalHistory& history);

}  // namespace odr::linktest
