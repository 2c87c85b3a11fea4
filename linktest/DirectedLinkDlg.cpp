// The Directed Link window: reset, the timer's passes, the statistics of what the pings
// report, the history, the log, Done and Help.
#include "linktest/DirectedLinkDlg.h"

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Measure.h"
#include "driver/Queries.h"
#include "platform/Format.h"
#include "platform/Platform.h"
#include "resources/resource.h"
#include "shell/kit/HelpDlg.h"

namespace odr::linktest {

namespace {

constexpr int kPassTimer = 1;
constexpr unsigned kPassTimerMs = 100;
constexpr int kTickSpacing = 10;

// The ids greyed for Driver-Level.
constexpr int kLatencyControls[] = {
    IDC_LINK_LATENCY_GROUP,   IDC_LINK_LATENCY_HEADING,
    IDC_LINK_MAXIMUM_HEADING, IDC_LINK_DEVIATION_HEADING,
    IDC_LINK_LATENCY,         IDC_LINK_MAXIMUM,
    IDC_LINK_DEVIATION,       IDC_LINK_AVERAGE_LATENCY_HEADING,
    IDC_LINK_AVERAGE_LATENCY,
};

std::string Number(int value) {
    return std::to_string(value);
}

}  // namespace

CDirectedLinkDlg::CDirectedLinkDlg(shell::ShellContext& context,
                                   const shell::LinkTestTarget& target, int packetSize,
                                   int pingType)
    : ui::Dialog(IDD_DIRECTED_LINK),
      ctx_(context),
      radioMode_(target.radioMode),
      packetSize_(packetSize),
      pingType_(pingType == kPingDriverLevel ? kPingDriverLevel : kPingRadioLevel),
      pinger_(context, target, *this),
      log_(context, IDC_LINK_LOG, "link.csv",
           {"target", "packets/s", "bytes/s", "signal %", "latency ms", "maximum ms",
            "deviation ms", "average packets/s", "average bytes/s", "average latency ms"}) {}

bool CDirectedLinkDlg::OnInitDialog() {
    window().SetCheck(IDC_LINK_TONE, ctx_.linkTestDefaults.tone);
    Reset();
    return true;
}

void CDirectedLinkDlg::Reset() {
    ui::Window& w = window();
    AdapterStatus& status = ctx_.adapter.status;
    w.SetRadioIndex(IDC_LINK_RADIO_LEVEL, pingType_);

    char version[32] = {};
    GetDriverVersion(ctx_.adapter.channel, version, kAdapter);
    if (!DriverLevelSupported(version)) w.Enable(IDC_LINK_DRIVER_LEVEL, false);
    StartTimer();

    measurement_.Reset();
    pinger_.Reset();
    if (pinger_.TargetIsMaster()) {
        w.SetText(IDC_LINK_MASTER_HEADING, "Master Name");
        w.SetText(IDC_LINK_MASTER_NAME, status.masterName);
    }

    ui::ProgressBar& bar = w.GetProgressBar(IDC_LINK_SIGNAL_BAR);
    bar.SetRange(0, 100);
    bar.SetPosition(0);
    w.SetText(IDC_LINK_ADDRESS, pinger_.Target());
    for (int id : {IDC_LINK_PACKETS, IDC_LINK_BYTES, IDC_LINK_SIGNAL_TEXT}) w.SetText(id, "");
    for (int id :
         {IDC_LINK_LATENCY, IDC_LINK_MAXIMUM, IDC_LINK_DEVIATION, IDC_LINK_AVERAGE_LATENCY}) {
        w.SetText(id, "0");
    }

    if (radioMode_ == kRadioModeNone) {
        w.SetText(IDC_LINK_RADIO_MODE_LABEL, "");
        w.Enable(IDC_LINK_RADIO_MODE, false);
    } else {
        w.SetText(IDC_LINK_RADIO_MODE, RadioModeText(radioMode_));
    }

    ui::Trackbar& slider = w.GetTrackbar(IDC_LINK_PACKET_SLIDER);
    slider.SetRange(kMinPacketSlider, kMaxPacketSlider);
    slider.ClearTicks();
    for (int tick = kMinPacketSlider + kTickSpacing; tick < kMaxPacketSlider; tick += kTickSpacing)
        slider.AddTick(tick);
    for (int id : kLatencyControls) w.Enable(id, IsRadioLevel());

    // The packet in effect always follows the slider, also where the slider had to hold
    // a size inside its range.
    const int offset = IsRadioLevel() ? 0 : kDriverLevelOffset;
    slider.SetPosition(std::clamp(packetSize_, 0, kMaxPacketSlider) + offset);
    packetSize_ = slider.Position() - offset;
    w.SetText(IDC_LINK_PACKET_SIZE, Number(slider.Position()));

    startTime_ = ctx_.adapter.clock.Now();
}

void CDirectedLinkDlg::OnTimer(int id) {
    if (id == kPassTimer) Pass();
}

void CDirectedLinkDlg::Pass() {
    StopTimer();
    switch (pinger_.RunSlot(kPassMs, Level(), packetSize_)) {
        case shell::LinkPinger::SlotEnd::Ran:
            AfterPass(ShowStatistics());
            measurement_.Advance();
            break;
        case shell::LinkPinger::SlotEnd::Restarted:
            measurement_.Restart();
            AddHistory(0, -1, true);
            break;
        case shell::LinkPinger::SlotEnd::NotAttached:
            break;
    }
    StartTimer();
}

void CDirectedLinkDlg::Reply(int signal, uint32_t value) {
    measurement_.Current().AddReply(signal, value);
}

void CDirectedLinkDlg::Completed(bool counted, int latencyMs) {
    if (counted) measurement_.Current().AddCompleted(packetSize_);
    if (measurement_.StoreLatency(latencyMs) && IsRadioLevel())
        window().SetText(IDC_LINK_MAXIMUM, Number(measurement_.MaximumLatency()));
}

void CDirectedLinkDlg::MasterFollowed(const MasterNode& node, bool targetFollowed) {
    if (!targetFollowed) return;
    window().SetText(IDC_LINK_ADDRESS, pinger_.Target());
    window().SetText(IDC_LINK_MASTER_NAME, node.MasterName());
}

PassFigures CDirectedLinkDlg::ShowStatistics() {
    ui::Window& w = window();
    const PassFigures f = measurement_.Statistics();
    w.SetText(IDC_LINK_SECONDS, Number(int((ctx_.adapter.clock.Now() - startTime_) / 1000)));
    if (f.hasPackets) {
        w.SetText(IDC_LINK_AVERAGE_PACKETS, Number(f.averagePackets));
        w.SetText(IDC_LINK_PACKETS, Number(f.packetsPerSecond));
    }
    if (f.hasBytes) {
        w.SetText(IDC_LINK_AVERAGE_BYTES, Number(f.averageBytes));
        w.SetText(IDC_LINK_BYTES, Number(f.bytesPerSecond));
    }
    if (f.hasLatency && IsRadioLevel()) {
        w.SetText(IDC_LINK_AVERAGE_LATENCY, Number(f.averageLatency));
        w.SetText(IDC_LINK_LATENCY, Number(f.latency));
        char deviation[32];
        platform::FormatText(deviation, sizeof deviation, "%.1f", f.deviation);
        w.SetText(IDC_LINK_DEVIATION, deviation);
    }
    w.GetProgressBar(IDC_LINK_SIGNAL_BAR).SetPosition(f.signalBar);
    w.SetText(IDC_LINK_SIGNAL_TEXT, Number(f.signalBar) + " %");
    return f;
}

void CDirectedLinkDlg::AfterPass(const PassFigures& f) {
    LogPass(f);
    const bool inRange = pinger_.InRange();
    if (ctx_.linkTestDefaults.tone && inRange && measurement_.Current().replies > 0) {
        ctx_.adapter.os.Beep(TonePitch(f.signalBar), kToneMs);
    }
    const std::string& master = pinger_.RememberedMaster();
    const bool masterChanged = !historyMaster_.empty() && historyMaster_ != master;
    historyMaster_ = master;
    AddHistory(f.signalBar, f.hasLatency && IsRadioLevel() ? f.latency : -1,
               !inRange || masterChanged);
}

void CDirectedLinkDlg::AddHistory(int signal, int latency, bool mark) {
    const int column = history_.Add(signal, latency, mark);
    if (!historyShown_) return;
    if (std::unique_ptr<ui::Canvas> canvas = window().OpenCanvas(IDC_LINK_CHART)) {
        DrawHistoryColumn(*canvas, history_, column);
    }
}

void CDirectedLinkDlg::ShowHistory(bool shown) {
    ui::Window& w = window();
    historyShown_ = shown;
    w.ExtendTo(IDC_LINK_CHART, shown);
    w.ShowControl(IDC_LINK_CHART, shown);
    w.SetText(IDC_LINK_HISTORY, shown ? "<< &History" : "&History >>");
    if (shown) w.InvalidateControl(IDC_LINK_CHART, false);
}

void CDirectedLinkDlg::OnPaint() {
    if (!historyShown_) return;
    if (std::unique_ptr<ui::Canvas> canvas = window().OpenCanvas(IDC_LINK_CHART)) {
        DrawHistory(*canvas, history_);
    }
}

void CDirectedLinkDlg::ShowOutOfRange(bool shown) {
    window().ShowControl(IDC_LINK_OUT_OF_RANGE, shown);
}

void CDirectedLinkDlg::OnScroll(int id, ui::ScrollCode, int) {
    if (id != IDC_LINK_PACKET_SLIDER) return;
    const int position = window().GetTrackbar(IDC_LINK_PACKET_SLIDER).Position();
    window().SetText(IDC_LINK_PACKET_SIZE, Number(position));
    packetSize_ = IsRadioLevel() ? position : position - kDriverLevelOffset;
}

void CDirectedLinkDlg::LogPass(const PassFigures& f) {
    if (!log_.IsOn()) return;
    ui::Window& w = window();
    // What the window shows; Driver-Level pings measure no latency.
    auto latency = [&](int id) { return IsRadioLevel() ? w.GetText(id) : std::string(); };
    log_.Row(w, {pinger_.Target(), w.GetText(IDC_LINK_PACKETS), w.GetText(IDC_LINK_BYTES),
                 Number(f.signalBar), latency(IDC_LINK_LATENCY), latency(IDC_LINK_MAXIMUM),
                 latency(IDC_LINK_DEVIATION), w.GetText(IDC_LINK_AVERAGE_PACKETS),
                 w.GetText(IDC_LINK_AVERAGE_BYTES), latency(IDC_LINK_AVERAGE_LATENCY)});
}

void CDirectedLinkDlg::OnCommand(int id) {
    switch (id) {
        case IDC_LINK_LOG:
            log_.Toggle(*this, window());
            break;
        case IDC_LINK_TONE:
            ctx_.linkTestDefaults.tone = window().IsChecked(IDC_LINK_TONE);
            break;
        case IDC_LINK_HISTORY:
            ShowHistory(!historyShown_);
            break;
        case IDC_LINK_RADIO_LEVEL:
            if (pingType_ != kPingDriverLevel) break;
            pingType_ = kPingRadioLevel;
            packetSize_ += kDriverLevelOffset;
            StopTimer();
            Reset();
            break;
        case IDC_LINK_DRIVER_LEVEL:
            if (pingType_ == kPingDriverLevel) break;
            pingType_ = kPingDriverLevel;
            packetSize_ -= kDriverLevelOffset;
            StopTimer();
            Reset();
            break;
        case IDC_LINK_RESET:
            StopTimer();
            Reset();
            break;
        case IDC_LINK_HELP: {
            shell::CHelpDlg help(ctx_.adapter.os, shell::kHelpContextDirectedLink);
            ctx_.host.RunModal(help);
            break;
        }
        case ui::kIdOk: {
            StopTimer();
            // Only a Radio-Level ping can still be outstanding.
            pinger_.Finish();
            const int checked = window().RadioIndex(IDC_LINK_RADIO_LEVEL);
            if (checked == kPingRadioLevel || checked == kPingDriverLevel) pingType_ = checked;
            window().End(ui::kIdOk);
            break;
        }
        case ui::kIdCancel:
            StopTimer();
            window().End(ui::kIdCancel);
            break;
    }
}

void CDirectedLinkDlg::OnDestroy() {
    StopTimer();
    log_.Close();
}

void CDirectedLinkDlg::StartTimer() {
    window().SetTimer(kPassTimer, kPassTimerMs);
}

void CDirectedLinkDlg::StopTimer() {
    window().KillTimer(kPassTimer);
}

}  // namespace odr::linktest
