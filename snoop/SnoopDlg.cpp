// The Snoop window: the sweep tick with its dwell, the step and full paints, the sampling
// rate buttons and Help.
#include "snoop/SnoopDlg.h"

#include <algorithm>
#include <memory>

#include "driver/AdapterContext.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Measure.h"
#include "driver/Operations.h"
#include "driver/Queries.h"
#include "platform/Platform.h"
#include "resources/resource.h"
#include "shell/kit/HelpDlg.h"
#include "snoop/SnoopGraph.h"

namespace odr::snoop {

namespace {

constexpr int kSweepTimer = 1;
constexpr unsigned kSweepMs = 100;
// Pause after a failed reading. Readings that succeed follow each other at once, so the
// reading limit paces the dwell; failing ones leave it to the time limit, which a pause
// does not change and spinning would fill with a whole core's work.
constexpr uint32_t kFailedReadingPauseMs = 1;

}  // namespace

CSnoopDlg::CSnoopDlg(shell::ShellContext& context)
    : ui::Dialog(IDD_SNOOP),
      ctx_(context),
      log_(context, IDC_SNOOP_LOG, "snoop.csv",
           {"channel", "frequency GHz", "peak", "average", "readings"}) {}

bool CSnoopDlg::OnInitDialog() {
    window().SetRadioIndex(IDC_SNOOP_SLOW, rate_);

    uint8_t country = 0;
    uint8_t firstChannel = 0;
    const int result = GetCountryCode(ctx_.adapter.channel, &country, kAdapter, &firstChannel);
    band_ = result == kOk ? BandFor(country, firstChannel) : DefaultBand();
    sweep_ = 0;
    samples_.assign(size_t(band_.count) + 1, SpectrumSample());
    window().SetText(IDC_SNOOP_FIRST_FREQ, band_.firstLabel);
    window().SetText(IDC_SNOOP_LAST_FREQ, band_.lastLabel);

    window().SetTimer(kSweepTimer, kSweepMs);
    return true;
}

void CSnoopDlg::OnTimer(int id) {
    if (id == kSweepTimer) Tick();
}

void CSnoopDlg::Tick() {
    // A tick that arrives while a dwell serves messages must not start another one.
    if (inDwell_ || ending_ || samples_.empty()) return;
    // Nothing is measured until the driver is open and re-attached again.
    if (reattach_.Needed() && !reattach_.Restore(ctx_.adapter)) return;
    repaint_ = false;
    const int p = sweep_;
    if (p > band_.count) {
        sweep_ = 0;
        return;
    }
    samples_[size_t(p)].Reset();
    const DwellLimits limits = DwellFor(rate_);
    samples_[size_t(p)].position = p;
    platform::Clock& clock = ctx_.adapter.clock;
    const uint32_t start = clock.Now();
    const uint8_t channel = uint8_t(band_.firstChannel + p);

    inDwell_ = true;
    dwellCut_ = false;
    bool completed = true;
    for (;;) {
        if (!ServePending() || size_t(p) >= samples_.size()) {
            completed = false;
            break;
        }
        SpectrumSample& sample = samples_[size_t(p)];
        uint8_t reading = 0;
        const int result = GetRSSI_freq(ctx_.adapter, &reading, channel, kAdapter);
        if (result == kNotCarried) {
            // The position is measured again once the driver is back.
            reattach_.Need();
            completed = false;
            break;
        }
        const bool read = result == kOk;
        if (read) sample.Add(reading);
        if (!DwellGoesOn(limits, clock.Now() - start, sample.count)) break;
        if (!read) clock.Sleep(kFailedReadingPauseMs);
    }
    inDwell_ = false;
    if (!completed) return;
    if (log_.IsOn()) {
        const SpectrumSample& sample = samples_[size_t(p)];
        log_.Row(window(),
                 {std::to_string(channel), ChannelFrequency(channel), std::to_string(sample.peak),
                  std::to_string(sample.Average()), std::to_string(sample.count)});
    }

    window().InvalidateControl(IDC_SNOOP_GRAPH, true);
    window().InvalidateControl(0, false);
}

bool CSnoopDlg::ServePending() {
    ui::Window& w = window();
    if (w.PeekPending(ui::Pending::Mouse, nullptr)) {
        w.KillTimer(kSweepTimer);
        w.DispatchPending(ui::Pending::Mouse, true);
        if (!ending_) w.SetTimer(kSweepTimer, kSweepMs);
    } else if (w.PeekPending(ui::Pending::Paint, nullptr)) {
        // Redrawn without the background. The column being measured is still the one the
        // step after this dwell draws, so the redraw leaves the sweep where it is.
        const int sweep = sweep_;
        repaint_ = true;
        w.DispatchPending(ui::Pending::Paint, true);
        repaint_ = false;
        sweep_ = sweep;
    }
    if (dwellCut_ || ending_) return false;

    int key = 0;
    if (w.PeekPending(ui::Pending::KeyDown, &key)) {
        // F1 is left to the window's own loop.
        if (key == ui::kKeyF1) return false;
        // Left on the queue, so that the dialog's own keyboard handling (Escape, Enter, Tab,
        // arrows) still sees it when the dwell ends.
        w.KillTimer(kSweepTimer);
        w.DispatchPending(ui::Pending::KeyDown, false);
        if (!ending_) w.SetTimer(kSweepTimer, kSweepMs);
    }
    return !(dwellCut_ || ending_);
}

void CSnoopDlg::OnPaint() {
    if (samples_.empty()) return;
    std::unique_ptr<ui::Canvas> canvas = window().OpenCanvas(IDC_SNOOP_GRAPH);
    const int n = band_.count;
    const ColumnGeometry geometry = GeometryFor(canvas->Width(), canvas->Height(), n);
    if (fullRedraw_ || repaint_) {
        window().SetText(IDC_SNOOP_FIRST_FREQ, band_.firstLabel);
        window().SetText(IDC_SNOOP_LAST_FREQ, band_.lastLabel);
        for (int s = 0; s < n; ++s) {
            if (fullRedraw_) ClearColumn(*canvas, geometry, s);
            DrawTick(*canvas, geometry, s);
        }
        fullRedraw_ = false;
        for (int t = 1; t <= n; ++t) DrawStep(*canvas, geometry, t, false);
    } else {
        DrawStep(*canvas, geometry, sweep_, true);
    }
    repaint_ = true;
}

void CSnoopDlg::DrawStep(ui::Canvas& canvas, const ColumnGeometry& geometry, int listPosition,
                         bool single) {
    const int n = band_.count;
    const int index = std::clamp(listPosition, 0, n);
    const SpectrumSample& record = samples_[size_t(index)];
    const int column = std::max(record.position - 1, 0);

    // The column before, which loses the outline: the last one before the first.
    const SpectrumSample* previous = nullptr;
    int previousColumn = 0;
    if (column == 0) {
        const SpectrumSample& last = samples_[size_t(n)];
        if (last.position != 0) previous = &last;
        previousColumn = n - 1;
    } else if (index > 0) {
        previous = &samples_[size_t(index) - 1];
        previousColumn = column - 1;
    }

    if (previous != nullptr) ClearColumn(canvas, geometry, previousColumn);
    ClearColumn(canvas, geometry, column);
    if (single) OutlineColumn(canvas, geometry, column);
    if (previous != nullptr) DrawBars(canvas, geometry, previousColumn, *previous);
    DrawBars(canvas, geometry, column, record);
    // Past the end the sweep only waits for the idle tick that brings it back to 0.
    sweep_ = std::min(sweep_ + 1, n + 1);
}

void CSnoopDlg::ChangeRate(int rate) {
    fullRedraw_ = true;
    sweep_ = 0;
    for (SpectrumSample& sample : samples_) sample.Reset();
    rate_ = rate;
    window().SetRadioIndex(IDC_SNOOP_SLOW, rate_);
    // A dwell under way would count into a record that was just reset.
    if (inDwell_) dwellCut_ = true;
}

void CSnoopDlg::OnCommand(int id) {
    switch (id) {
        case IDC_SNOOP_LOG:
            log_.Toggle(*this, window());
            break;
        case IDC_SNOOP_SLOW:
            ChangeRate(kRateSlow);
            break;
        case IDC_SNOOP_MEDIUM:
            ChangeRate(kRateMedium);
            break;
        case IDC_SNOOP_FAST:
            ChangeRate(kRateFast);
            break;
        case IDC_SNOOP_HELP: {
            shell::CHelpDlg help(ctx_.adapter.os, shell::kHelpContextSnoop);
            ctx_.host.RunModal(help);
            repaint_ = true;
            break;
        }
        case ui::kIdOk:
        case ui::kIdCancel:
            Finish(id);
            break;
    }
}

void CSnoopDlg::OnClose() {
    Finish(2);
}

void CSnoopDlg::Finish(int result) {
    ending_ = true;
    if (inDwell_) dwellCut_ = true;
    window().End(result);
}

void CSnoopDlg::OnDestroy() {
    window().KillTimer(kSweepTimer);
    log_.Close();
    samples_.clear();
}

}  // namespace odr::snoop
