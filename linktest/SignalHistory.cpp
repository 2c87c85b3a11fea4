// The alignment tone and the signal history chart.
#include "linktest/SignalHistory.h"

#include <algorithm>

#include "ui/Canvas.h"

namespace odr::linktest {

namespace {

constexpr ui::Color kBackground{255, 255, 255};
constexpr ui::Color kSignal{0, 160, 0};
constexpr ui::Color kLatency{0, 0, 128};
constexpr ui::Color kMark{255, 0, 0};

// The inside of the frame.
ui::Rect Plot(const ui::Canvas& canvas) {
    return {1, 1, std::max(1, canvas.Width() - 1), std::max(1, canvas.Height() - 1)};
}

// Left and right edge of column `column`; at least one pixel wide.
std::pair<int, int> Span(const ui::Rect& plot, int column) {
    const int width = plot.right - plot.left;
    const int left = plot.left + column * width / kHistoryPasses;
    const int right = plot.left + (column + 1) * width / kHistoryPasses;
    return {left, std::max(right, left + 1)};
}

void Column(ui::Canvas& canvas, const ui::Rect& plot, const HistoryPoint& p, int column) {
    const auto [left, right] = Span(plot, column);
    canvas.Fill({left, plot.top, right, plot.bottom}, kBackground);
    if (!p.filled) return;
    const int height = plot.bottom - plot.top;
    if (p.mark) {
        canvas.Fill({left, plot.top, right, plot.bottom}, kMark);
        return;
    }
    const int signal = std::clamp(p.signal, 0, 100) * height / 100;
    if (signal > 0) canvas.Fill({left, plot.bottom - signal, right, plot.bottom}, kSignal);
    if (p.latency >= 0) {
        const int y =
            plot.bottom - 1 -
            std::min(p.latency, kHistoryLatencyScaleMs) * (height - 2) / kHistoryLatencyScaleMs;
        canvas.Fill({left, std::max(plot.top, y - 1), right, std::min(plot.bottom, y + 1)},
                    kLatency);
    }
}

}  // namespace

unsigned TonePitch(int percent) {
    return 400u + 200u * unsigned(std::clamp(percent, 0, 100) / 10);
}

void SignalHistory::Clear() {
    ring_.fill(HistoryPoint());
    count_ = 0;
}

int SignalHistory::Add(int signal, int latency, bool mark) {
    const int column = int(count_ % kHistoryPasses);
    ring_[size_t(column)] = {true, signal, latency, mark};
    ++count_;
    return column;
}

void DrawHistoryColumn(ui::Canvas& canvas, const SignalHistory& history, int column) {
    if (column < 0 || column >= kHistoryPasses) return;
    const ui::Rect plot = Plot(canvas);
    Column(canvas, plot, history.At(column), column);
    const int gap = (column + 1) % kHistoryPasses;
    Column(canvas, plot, HistoryPoint(), gap);
}

void DrawHistory(ui::Canvas& canvas, const SignalHistory& history) {
    const ui::Rect plot = Plot(canvas);
    for (int c = 0; c < kHistoryPasses; ++c) Column(canvas, plot, history.At(c), c);
    if (history.Count() > 0) {
        Column(canvas, plot, HistoryPoint(), int(history.Count() % kHistoryPasses));
    }
}

}  // namespace odr::linktest
