// The Directed Link window: reset, the timer's passes with their pings, the statistics,
// the roam follow-up, driver faults, failures and re-synchronisation, Done and Help.
#include "linktest/DirectedLinkDlg.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/FixedText.h"
#include "driver/Measure.h"
#include "driver/Operations.h"
#include "driver/Queries.h"
#include "platform/Platform.h"
#include "resources/resource.h"
#include "shell/kit/HelpDlg.h"

namespace odr::linktest {

namespace {

constexpr int kPassTimer = 1;
constexpr unsigned kPassTimerMs = 100;
constexpr uint32_t kPollPauseMs = 1;
constexpr int kDriverLevelFault = 11;
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

// Completion minus send on the driver's clock; a completion stamped before the send counts
// as no time at all.
int Latency(uint32_t completion, uint32_t send) {
    const int32_t difference = int32_t(completion - send);
    return difference < 0 ? 0 : difference;
}

// Lower-case hex digits, as GetPing reports addresses; false when `text` is no address.
bool NormaliseAddress(const std::string& text, std::string* address) {
    uint8_t bytes[6];
    if (text.size() != 12 || !ParseNodeAddress(text.c_str(), bytes)) return false;
    char formatted[13];
    FormatNodeAddress(bytes, formatted);
    *address = formatted;
    return true;
}

}  // namespace

CDirectedLinkDlg::CDirectedLinkDlg(shell::ShellContext& context,
                                   const shell::LinkTestTarget& target, int packetSize,
                                   int pingType)
    : ui::Dialog(IDD_DIRECTED_LINK),
      ctx_(context),
      target_(target.address),
      radioMode_(target.radioMode),
      masterDomain_(target.masterDomain),
      masterChannel_(target.masterChannel),
      masterSubchannel_(target.masterSubchannel),
      stationType_(target.stationType),
      packetSize_(packetSize),
      pingType_(pingType == kPingDriverLevel ? kPingDriverLevel : kPingRadioLevel),
      log_(context, IDC_LINK_LOG, "link.csv",
           {"target", "packets/s", "bytes/s", "signal %", "latency ms", "maximum ms",
            "deviation ms", "average packets/s", "average bytes/s", "average latency ms"}) {
    targetValid_ = NormaliseAddress(target.address, &target_);
}

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
    targetIsMaster_ = target_ == status.masterAddress;
    if (targetIsMaster_) {
        w.SetText(IDC_LINK_MASTER_HEADING, "Master Name");
        w.SetText(IDC_LINK_MASTER_NAME, status.masterName);
    }
    rememberedMaster_ = status.masterAddress;

    ui::ProgressBar& bar = w.GetProgressBar(IDC_LINK_SIGNAL_BAR);
    bar.SetRange(0, 100);
    bar.SetPosition(0);
    w.SetText(IDC_LINK_ADDRESS, target_);
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

    failures_ = 0;
    reattach_.Clear();
    outstanding_ = false;
    pingHandle_ = 0;
    slotStart_ = startTime_ = ctx_.adapter.clock.Now();
}

void CDirectedLinkDlg::OnTimer(int id) {
    if (id == kPassTimer) Pass();
}

void CDirectedLinkDlg::Pass() {
    StopTimer();
    platform::Clock& clock = ctx_.adapter.clock;
    if (reattach_.Needed()) {
        ShowOutOfRange(true);
        if (!reattach_.Restore(ctx_.adapter)) {
            StartTimer();
            return;
        }
    }

    slotStart_ = clock.Now();
    Step step = Step::Next;
    while (clock.Now() - slotStart_ < kPassMs) {
        const uint32_t before = clock.Now();
        window().ServePendingPaint();
        step = PingOnce();
        if (step == Step::EndSlot || step == Step::Restart) break;
        // A driver that answers at once is not asked again within the same millisecond.
        if (clock.Now() == before) Wait();
    }

    if (step == Step::Restart) {
        pingHandle_ = 0;
        outstanding_ = false;
        measurement_.Restart();
        AddHistory(0, -1, true);
    } else {
        // A ping whose last poll failed is polled again in the next pass.
        if (!outstanding_) pingHandle_ = 0;
        AfterPass(ShowStatistics());
        measurement_.Advance();
    }
    slotStart_ = clock.Now();
    StartTimer();
}

CDirectedLinkDlg::Step CDirectedLinkDlg::PingOnce() {
    uint8_t sync = 0;
    const int result = GetSyncState(ctx_.adapter.channel, &sync, kAdapter);
    if (result == kNotCarried) return Fault();
    syncState_ = sync;
    if (syncState_ == 0) {
        ShowOutOfRange(true);
        return Step::EndSlot;
    }
    // A target that is no node address is shown but never pinged.
    if (!targetValid_) return Step::Next;
    return IsRadioLevel() ? RadioLevelPing() : DriverLevelPing();
}

CDirectedLinkDlg::Step CDirectedLinkDlg::RadioLevelPing() {
    Channel& channel = ctx_.adapter.channel;
    platform::Clock& clock = ctx_.adapter.clock;
    if (!outstanding_) {
        const int result =
            SendPing(channel, target_.c_str(), uint32_t(packetSize_), uint8_t(radioMode_),
                     &syncState_, &sendTime_, &pingHandle_, kAdapter, 0, nullptr);
        if (result == kNotCarried) return Fault();
        // Still busy after the retry: nothing was sent and there is no handle to poll. The
        // pass sends again; a busy transmitter is no failure of the link.
        if (result == kTransmitBusy || result == kTransmitQueued) return Step::Next;
        if (result < 0) return Failure();
        // The adapter lost its master between the two reads: nothing was sent.
        if (syncState_ == 0) {
            ShowOutOfRange(true);
            return Step::EndSlot;
        }
        outstanding_ = true;
    }

    const uint32_t pollStart = clock.Now();
    for (;;) {
        uint32_t completion = 0;
        const int result = PollPing(channel, pingHandle_, &completion, kAdapter);
        if (result == kOk) {
            outstanding_ = false;
            Collect(Latency(completion, sendTime_));
            failures_ = 0;
            return Step::Next;
        }
        if (result == kPingGivenUp || result < 0) {
            if (result == kNotCarried) return Fault();
            // A failed poll is tried again; a ping the driver gave up never completes, so
            // the next one is sent afresh instead of polling it to ten more failures.
            if (result == kPingGivenUp) outstanding_ = false;
            if (++failures_ > kMaxFailures) return Resynchronise();
            return Step::Next;
        }
        if ((clock.Now() - pollStart) / 1000 > kGiveUpSeconds) {
            outstanding_ = false;
            return Step::Next;
        }
        Wait();
    }
}

CDirectedLinkDlg::Step CDirectedLinkDlg::DriverLevelPing() {
    uint32_t longValue = 0;
    const int result =
        SendPing(ctx_.adapter.channel, target_.c_str(), uint32_t(packetSize_), uint8_t(radioMode_),
                 &syncState_, &sendTime_, &pingHandle_, kAdapter, 1, &longValue);
    if (result == kDriverLevelFault || result == kNotCarried) return Fault();
    if (result == kOk) {
        if (syncState_ == 0) {
            ShowOutOfRange(true);
            return Step::EndSlot;
        }
        Collect(Latency(longValue, sendTime_));
        failures_ = 0;
        return Step::Next;
    }
    // Busy or given up even after the retry: the time stamps are not this ping's.
    if (result == kPingWaiting || result == kPingGivenUp) {
        failures_ = 0;
        return Step::Next;
    }
    return Failure();
}

void CDirectedLinkDlg::Collect(int latencyMs) {
    AdapterContext& adapter = ctx_.adapter;
    Slot& slot = measurement_.Current();
    for (int drained = 0; drained < kMaxDrainedReplies; ++drained) {
        char address[13] = {};
        uint32_t value = 0;
        uint8_t signal = 0;
        if (GetPing(adapter, address, &value, &signal, kAdapter) != kPingAnswer) break;
        if (target_ == address) slot.AddReply(signal, value);
    }

    uint8_t roaming = 1;
    GetRoamingFlag(adapter.channel, &roaming, kAdapter);
    bool masterRead = true;
    bool selfIsMaster = false;
    if (roaming == 0) {
        const MasterNode node = ReadMasterNode(adapter.channel, kAdapter);
        masterRead = node.Read();
        if (masterRead) {
            StoreFieldText(adapter.status.nodeAddress, node.nodeAddress);
            syncState_ = node.syncState;
            if (syncState_ != 0 && rememberedMaster_ != node.masterAddress) {
                adapter.os.Beep(kAlertBeepHz, kAlertBeepMs);
                FollowMaster(node);
            }
            selfIsMaster = node.MasterAddress() == FieldText(adapter.status.nodeAddress);
        }
    }

    if (syncState_ != 0 && masterRead && adapter.status.nodeAddress[0] != '\0') {
        ShowOutOfRange(false);
        if (!selfIsMaster) slot.AddCompleted(packetSize_);
        if (measurement_.StoreLatency(latencyMs) && IsRadioLevel())
            window().SetText(IDC_LINK_MAXIMUM, Number(measurement_.MaximumLatency()));
    } else {
        ShowOutOfRange(true);
    }
}

void CDirectedLinkDlg::FollowMaster(const MasterNode& node) {
    // The process-wide record follows too, so that a Reset finds the target still the
    // master and the new master already remembered.
    AdapterStatus& status = ctx_.adapter.status;
    StoreFieldText(status.masterAddress, node.MasterAddress());
    StoreFieldText(status.masterName, node.MasterName());
    rememberedMaster_ = node.MasterAddress();
    if (!targetIsMaster_) return;
    target_ = node.MasterAddress();
    window().SetText(IDC_LINK_ADDRESS, target_);
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
        std::snprintf(deviation, sizeof deviation, "%.1f", f.deviation);
        w.SetText(IDC_LINK_DEVIATION, deviation);
    }
    w.GetProgressBar(IDC_LINK_SIGNAL_BAR).SetPosition(f.signalBar);
    w.SetText(IDC_LINK_SIGNAL_TEXT, Number(f.signalBar) + " %");
    return f;
}

void CDirectedLinkDlg::AfterPass(const PassFigures& f) {
    LogPass(f);
    const bool inRange = syncState_ != 0;
    if (ctx_.linkTestDefaults.tone && inRange && measurement_.Current().replies > 0) {
        ctx_.adapter.os.Beep(TonePitch(f.signalBar), kToneMs);
    }
    const bool masterChanged = !historyMaster_.empty() && historyMaster_ != rememberedMaster_;
    historyMaster_ = rememberedMaster_;
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

CDirectedLinkDlg::Step CDirectedLinkDlg::Fault() {
    reattach_.Need();
    return Step::Restart;
}

CDirectedLinkDlg::Step CDirectedLinkDlg::Failure() {
    if (++failures_ > kMaxFailures) {
        // The card starts afresh; every further failure does it again until a ping
        // completes.
        AdapterContext& adapter = ctx_.adapter;
        ctx_.host.BeginBusy();
        CloseCard(adapter, kAdapter);
        adapter.channel.CloseDriver();
        adapter.channel.OpenDriver(&adapter.status);
        InitCard(adapter, &syncState_, kAdapter, stationType_);
        ctx_.host.EndBusy();
    }
    return Step::Restart;
}

CDirectedLinkDlg::Step CDirectedLinkDlg::Resynchronise() {
    AdapterContext& adapter = ctx_.adapter;
    Channel& channel = adapter.channel;
    ctx_.host.BeginBusy();
    const MasterNode before = ReadMasterNode(channel, kAdapter);
    if (before.Read()) StoreFieldText(adapter.status.nodeAddress, before.nodeAddress);
    CloseCard(adapter, kAdapter);
    channel.CloseDriver();
    channel.OpenDriver(&adapter.status);
    SynchToMaster(adapter, stationType_, masterDomain_, masterChannel_, masterSubchannel_,
                  before.masterName, before.masterAddress, kAdapter);
    InitCard(adapter, &syncState_, kAdapter, stationType_);

    const MasterNode now = ReadMasterNode(channel, kAdapter);
    if (now.Read()) {
        StoreFieldText(adapter.status.nodeAddress, now.nodeAddress);
        syncState_ = now.syncState;
        if (now.syncState != 0 && rememberedMaster_ != now.masterAddress) FollowMaster(now);
    }
    failures_ = 0;
    ctx_.host.EndBusy();
    return Step::Restart;
}

void CDirectedLinkDlg::ShowOutOfRange(bool shown) {
    window().ShowControl(IDC_LINK_OUT_OF_RANGE, shown);
}

void CDirectedLinkDlg::Wait() {
    window().ServePendingPaint();
    ctx_.adapter.clock.Sleep(kPollPauseMs);
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
    log_.Row(w, {target_, w.GetText(IDC_LINK_PACKETS), w.GetText(IDC_LINK_BYTES),
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
            if (IsRadioLevel() && outstanding_) {
                platform::Clock& clock = ctx_.adapter.clock;
                for (int poll = 0; poll < kDonePolls; ++poll) {
                    uint32_t completion = 0;
                    const int result =
                        PollPing(ctx_.adapter.channel, pingHandle_, &completion, kAdapter);
                    // Completed, given up, or no driver to ask.
                    if (result == kOk || result == kPingGivenUp || result == kNotCarried) break;
                    if (poll + 1 < kDonePolls) clock.Sleep(kPollPauseMs);
                }
            }
            outstanding_ = false;
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
