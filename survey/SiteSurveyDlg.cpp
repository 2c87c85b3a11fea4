// The Site Survey window: the two timers and their ping rounds, the display of the table,
// roaming, scrolling, sorting, Help and the directed link test of a row's node.
#include "survey/SiteSurveyDlg.h"

#include <algorithm>
#include <cstring>

#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Firmware.h"
#include "driver/FixedText.h"
#include "driver/Measure.h"
#include "driver/Operations.h"
#include "driver/Queries.h"
#include "platform/Platform.h"
#include "resources/resource.h"
#include "settings/AdapterSettings.h"
#include "shell/kit/HelpDlg.h"
#include "shell/kit/HelpFile.h"
#include "shell/kit/LinkPinger.h"
#include "survey/SurveyScroll.h"

namespace odr::survey {

CSiteSurveyDlg::CSiteSurveyDlg(shell::ShellContext& context, settings::AdapterSettings& settings,
                               shell::ToolLauncher& tools)
    : ui::Dialog(IDD_SITE_SURVEY),
      ctx_(context),
      settings_(settings),
      tools_(tools),
      log_(context, IDC_SURVEY_LOG, "survey.csv",
           {"round", "address", "master", "link quality", "activity", "strength %", "replies"}) {}

bool CSiteSurveyDlg::OnInitDialog() {
    ui::Window& w = window();
    w.SetCheck(IDC_SURVEY_ROAMING, false);
    w.SetRadioIndex(IDC_SURVEY_TIME_ORDER, sortMode_ == 0 ? 0 : 1);
    w.GetScrollBar(IDC_SURVEY_SCROLL).SetPosition(0);
    w.ShowControl(IDC_SURVEY_SCROLL, false);
    w.ShowControl(IDC_SURVEY_OUT_OF_RANGE, false);
    EmptyRows();

    roundEnd_ = ctx_.adapter.clock.Now() - shell::kRoundGapMs;
    pendingTicks_ = 0;
    roamingChanged_ = false;
    tickRunning_ = roundRunning_ = false;

    uint8_t flag = 1;
    NoteResult(GetRoamingFlag(ctx_.adapter.channel, &flag, kAdapter));
    w.SetCheck(IDC_SURVEY_ROAMING, flag == 0);

    const bool images = ctx_.adapter.os.GetVersion().major >= 4;
    for (int r = 0; r < kRows; ++r) {
        const int id = IDC_SURVEY_TEST_FIRST + r;
        // A button whose images cannot be had, or a system without image buttons, shows a
        // plain "Dl".
        if (!images || !w.SetButtonImages(id, "DLU", "DLD")) {
            w.SetText(id, "Dl");
            w.Enable(id, true);
        }
    }
    Reset();
    return true;
}

void CSiteSurveyDlg::Reset() {
    ui::Window& w = window();
    table_.Reset();
    char version[8] = {};
    resyncOnRoamingOff_ =
        GetVersion(ctx_.adapter.channel, version, kAdapter) == 0 && SupportsDirectedSync(version);
    resyncPending_ = false;
    if (settings_.stationType == kMaster) w.Enable(IDC_SURVEY_ROAMING, false);
    reattach_.Clear();
    w.SetText(IDC_SURVEY_NODE_COUNT, "0");
    if (!tickRunning_ && !roundRunning_) StartTickTimer();

    const AdapterStatus& status = ctx_.adapter.status;
    firstPosition_ = FieldText(status.masterAddress) == FieldText(status.nodeAddress) ? 1 : 0;
    ui::ScrollBar& bar = w.GetScrollBar(IDC_SURVEY_SCROLL);
    bar.SetRange(firstPosition_, firstPosition_);
    bar.SetPosition(firstPosition_);
    w.ShowControl(IDC_SURVEY_SCROLL, false);
    top_ = firstPosition_;
}

void CSiteSurveyDlg::NoteResult(int result) {
    reattach_.Note(result);
}

void CSiteSurveyDlg::OnTimer(int id) {
    if (id != kTickTimer && id != kRoundTimer) return;
    if (id == kTickTimer && !tickRunning_) return;
    if (id == kRoundTimer && !roundRunning_) return;
    AdapterContext& adapter = ctx_.adapter;
    if (reattach_.Needed()) {
        if (!reattach_.Restore(adapter)) return;
        if (GetSyncState(adapter.channel, &inRange_, kAdapter) == kNotCarried) {
            reattach_.Need();
            ShowOutOfRange(true);
            return;
        }
        ShowOutOfRange(false);
    }
    if (id == kRoundTimer) {
        RoundTimerTick();
    } else {
        TickTimerTick();
    }
}

void CSiteSurveyDlg::RoundTimerTick() {
    CollectReplies();
    if (pingSent_) {
        uint32_t completion = 0;
        const int result = PollPing(ctx_.adapter.channel, pingHandle_, &completion, kAdapter);
        NoteResult(result);
        if (result == kPingWaiting && pendingTicks_ < shell::kMaxPendingTicks) {
            ++pendingTicks_;
            return;
        }
        inRange_ = result == kPingWaiting ? 0 : 1;
    } else {
        // No master to ping: the handle is an old round's, and the adapter is out of range.
        inRange_ = 0;
    }
    pendingTicks_ = 0;
    roundEnd_ = ctx_.adapter.clock.Now();
    StopRoundTimer();
    StartTickTimer();

    const AdapterStatus& status = ctx_.adapter.status;
    ShowOutOfRange((inRange_ == 0 || !table_.MasterHeard()) &&
                   FieldText(status.masterAddress) != FieldText(status.nodeAddress));
    table_.EndRound();
    ++roundsEnded_;
}

void CSiteSurveyDlg::TickTimerTick() {
    AdapterContext& adapter = ctx_.adapter;
    const int s = GetSyncState(adapter.channel, &inRange_, kAdapter);
    NoteResult(s);
    if (!(s == 0 && inRange_ != 0) && roamingChanged_) {
        resyncPending_ = !resyncAddress_.empty();
        ShowOutOfRange(true);
        return;
    }
    roamingChanged_ = false;
    if (resyncPending_ && !FollowResync()) return;
    if (!CheckRoam()) return;
    CollectReplies();
    if (adapter.clock.Now() - roundEnd_ >= shell::kRoundGapMs) StartRound();
}

bool CSiteSurveyDlg::FollowResync() {
    AdapterContext& adapter = ctx_.adapter;
    EmptyRows();
    const MasterNode node = ReadMasterNode(adapter.channel, kAdapter);
    if (node.Read()) inRange_ = node.syncState;
    if (!node.HasNode()) {
        NoteResult(node.result);
        return false;
    }
    if (resyncName_ != node.MasterName()) {
        char name[12] = {};
        char address[13] = {};
        StoreFieldText(name, resyncName_);
        StoreFieldText(address, resyncAddress_);
        const int r =
            SynchToMaster(adapter, uint8_t(settings_.stationType), uint8_t(settings_.domain),
                          resyncChannel_, resyncSubchannel_, name, address, kAdapter);
        if (r == kOk) resyncPending_ = false;
        NoteResult(r);
        ShowOutOfRange(true);
        return false;
    }
    ShowOutOfRange(false);
    resyncPending_ = false;
    StoreFieldText(adapter.status.masterAddress, node.MasterAddress());
    StoreFieldText(adapter.status.masterName, node.MasterName());
    return true;
}

bool CSiteSurveyDlg::CheckRoam() {
    AdapterContext& adapter = ctx_.adapter;
    uint8_t flag = 1;
    const int result = GetRoamingFlag(adapter.channel, &flag, kAdapter);
    NoteResult(result);
    if (result != kOk || flag != 0) return true;
    const MasterNode node = ReadMasterNode(adapter.channel, kAdapter);
    if (node.Read()) inRange_ = node.syncState;
    if (!node.HasNode()) {
        NoteResult(node.result);
        return false;
    }
    if (inRange_ != 0 && node.MasterAddress() != FieldText(adapter.status.masterAddress)) {
        adapter.os.Beep(kAlertBeepHz, kAlertBeepMs);
        StoreFieldText(adapter.status.masterAddress, node.MasterAddress());
        StoreFieldText(adapter.status.masterName, node.MasterName());
        EmptyRows();
        Reset();
    }
    return true;
}

void CSiteSurveyDlg::CollectReplies() {
    AdapterContext& adapter = ctx_.adapter;
    ui::Window& w = window();
    const std::string master = FieldText(adapter.status.masterAddress);
    for (int n = 0; n < shell::kMaxCollectedReplies; ++n) {
        char address[13] = {};
        uint32_t value = 0;
        uint8_t signal = 0;
        const int result = GetPing(adapter, address, &value, &signal, kAdapter);
        NoteResult(result);
        if (result != kPingAnswer) return;
        address[12] = '\0';
        const bool fromMaster = master == address;
        const int before = table_.Highest();
        const int index = table_.AddReply(address, signal, fromMaster);
        if (index > 0 && table_.Highest() != before) {
            const int highest = table_.Highest();
            w.ShowControl(IDC_SURVEY_SCROLL, highest >= kRows);
            w.GetScrollBar(IDC_SURVEY_SCROLL).SetRange(firstPosition_, highest);
        }
    }
}

void CSiteSurveyDlg::StartRound() {
    table_.ComputeStatistics();
    Refresh();
    if (roundLogged_ != roundsEnded_) LogRound();
    StopTickTimer();
    const int r =
        SendPing(ctx_.adapter.channel, shell::kSurveyPingAddress, shell::kSurveyPingLength, 0,
                 &inRange_, &sendTime_, &pingHandle_, kAdapter, 0, nullptr);
    if (r >= 0 || r == kTransmitQueued) {
        // SendPing sends nothing to an adapter that has lost its master.
        pingSent_ = !(r == kOk && inRange_ == 0);
        StartRoundTimer();
    } else {
        NoteResult(r);
        StartTickTimer();
    }
}

void CSiteSurveyDlg::SetCell(int id, const std::string& text) {
    // Unchanged texts are left alone: a static repaints at every new text.
    if (window().GetText(id) != text) window().SetText(id, text);
}

void CSiteSurveyDlg::Refresh() {
    ui::Window& w = window();
    const AdapterStatus& status = ctx_.adapter.status;
    SetCell(IDC_SURVEY_NODE_COUNT, std::to_string(table_.NodeCount()));
    for (int r = 0; r < kRows; ++r) {
        const int p = top_ + r;
        if (!table_.IsFilled(p)) {
            EmptyRow(r);
            continue;
        }
        const int i = table_.IndexAt(p, sortMode_);
        const shell::SurveyNode& node = table_.Node(i);
        ui::ProgressBar& bar = w.GetProgressBar(IDC_SURVEY_BAR_FIRST + r);
        bar.SetRange(0, 100);
        bar.SetPosition(node.strength);
        w.ShowControl(IDC_SURVEY_BAR_FIRST + r, true);
        w.ShowControl(IDC_SURVEY_TEST_FIRST + r, true);
        if (i != 0) {
            SetCell(IDC_SURVEY_ADDRESS_FIRST + r, node.address);
            if (top_ != 0) SetCell(IDC_SURVEY_MASTER_FIRST, "");
        } else {
            SetCell(IDC_SURVEY_ADDRESS_FIRST + r, FieldText(status.masterAddress));
            SetCell(IDC_SURVEY_MASTER_FIRST + r, FieldText(status.masterName));
        }
        SetCell(IDC_SURVEY_QUALITY_FIRST + r, std::to_string(node.linkQuality));
        SetCell(IDC_SURVEY_ACTIVITY_FIRST + r, table_.IsActive(i) ? "(*)" : "( )");
        SetCell(IDC_SURVEY_VALUE_FIRST + r, std::to_string(node.strength) + " %");
    }
}

void CSiteSurveyDlg::EmptyRow(int r) {
    ui::Window& w = window();
    w.ShowControl(IDC_SURVEY_BAR_FIRST + r, false);
    w.ShowControl(IDC_SURVEY_TEST_FIRST + r, false);
    for (int first : {IDC_SURVEY_ADDRESS_FIRST, IDC_SURVEY_MASTER_FIRST, IDC_SURVEY_QUALITY_FIRST,
                      IDC_SURVEY_ACTIVITY_FIRST, IDC_SURVEY_VALUE_FIRST})
        SetCell(first + r, "");
}

void CSiteSurveyDlg::EmptyRows() {
    for (int r = 0; r < kRows; ++r) EmptyRow(r);
}

void CSiteSurveyDlg::ShowOutOfRange(bool shown) {
    window().ShowControl(IDC_SURVEY_OUT_OF_RANGE, shown);
}

void CSiteSurveyDlg::StartTickTimer() {
    window().SetTimer(kTickTimer, kTimerMs);
    tickRunning_ = true;
}

void CSiteSurveyDlg::StopTickTimer() {
    window().KillTimer(kTickTimer);
    tickRunning_ = false;
}

void CSiteSurveyDlg::StartRoundTimer() {
    window().SetTimer(kRoundTimer, kTimerMs);
    roundRunning_ = true;
}

void CSiteSurveyDlg::StopRoundTimer() {
    window().KillTimer(kRoundTimer);
    roundRunning_ = false;
}

void CSiteSurveyDlg::OnCommand(int id) {
    if (id >= IDC_SURVEY_TEST_FIRST && id < IDC_SURVEY_TEST_FIRST + kRows) {
        TestLink(id - IDC_SURVEY_TEST_FIRST);
        return;
    }
    switch (id) {
        case IDC_SURVEY_LOG:
            log_.Toggle(*this, window());
            break;
        case IDC_SURVEY_MAP:
            RunPaused(shell::kHelpContextCoverageMap, [&] { tools_.RunCoverageMap(settings_); });
            break;
        case IDC_SURVEY_TIME_ORDER:
            sortMode_ = 0;
            break;
        case IDC_SURVEY_ADDRESS_ORDER:
            sortMode_ = 1;
            break;
        case IDC_SURVEY_ROAMING:
            ChangeRoaming();
            break;
        case IDC_SURVEY_HELP: {
            shell::CHelpDlg help(ctx_.adapter.os, shell::kHelpContextSiteSurvey);
            ctx_.host.RunModal(help);
            break;
        }
        case ui::kIdOk:
        case ui::kIdCancel:
            window().End(id);
            break;
    }
}

void CSiteSurveyDlg::ChangeRoaming() {
    AdapterContext& adapter = ctx_.adapter;
    ui::Window& w = window();
    roamingChanged_ = true;
    uint8_t flag = 0xFF;
    const int got = GetRoamingFlag(adapter.channel, &flag, kAdapter);
    NoteResult(got);
    if (got != 0) return;
    const bool checked = w.IsChecked(IDC_SURVEY_ROAMING);
    bool turningOff;
    if (checked && flag == 1) {
        turningOff = false;
        NoteResult(SetRoamingFlag(adapter.channel, 0, kAdapter));
    } else if (!checked && flag == 0) {
        turningOff = true;
        NoteResult(SetRoamingFlag(adapter.channel, 1, kAdapter));
    } else {
        return;
    }
    // Only a switch to roaming off names a master to go back to.
    resyncName_.clear();
    resyncAddress_.clear();

    ctx_.host.BeginBusy();
    // The survey stands still while the card restarts; a round under way is dropped.
    StopTickTimer();
    StopRoundTimer();
    pendingTicks_ = 0;

    const MasterNode node = ReadMasterNode(adapter.channel, kAdapter);
    NoteResult(node.result);
    bool pending = false;
    if (node.HasNode()) {
        std::string name = node.MasterName();
        std::string address = node.MasterAddress();
        if (turningOff) {
            // The adapter is to stay with the master the user sees in row 0.
            const std::string shownName = w.GetText(IDC_SURVEY_MASTER_FIRST);
            if (!shownName.empty() && shownName != name) {
                name = shownName;
                address = w.GetText(IDC_SURVEY_ADDRESS_FIRST);
            }
        }
        CloseCard(adapter, kAdapter);
        uint8_t sync = 0;
        NoteResult(InitCard(adapter, &sync, kAdapter, uint8_t(settings_.stationType)));
        if (turningOff && resyncOnRoamingOff_) {
            char nameField[12] = {};
            char addressField[13] = {};
            StoreFieldText(nameField, name);
            StoreFieldText(addressField, address);
            const int r =
                SynchToMaster(adapter, uint8_t(settings_.stationType), uint8_t(settings_.domain),
                              node.channel, node.subchannel, nameField, addressField, kAdapter);
            NoteResult(r);
            if (r != kOk) {
                resyncName_ = FieldText(nameField);
                resyncAddress_ = FieldText(addressField);
                resyncChannel_ = node.channel;
                resyncSubchannel_ = node.subchannel;
                pending = true;
            }
        }
    }
    EmptyRows();
    const Reattach lost = reattach_;
    Reset();
    // The reset starts afresh, but a move still owed to the master of row 0 stays owed, and
    // a driver lost on the way stays lost.
    resyncPending_ = pending;
    reattach_ = lost;
    ctx_.host.EndBusy();
}

void CSiteSurveyDlg::TestLink(int row) {
    ui::Window& w = window();
    const std::string address = w.GetText(IDC_SURVEY_ADDRESS_FIRST + row);
    if (!IsNodeAddress(address.c_str())) return;

    RunPaused(shell::kHelpContextDirectedLink, [&] {
        settings_.LoadSettings();
        const MasterNode node = ReadMasterNode(ctx_.adapter.channel, kAdapter);
        NoteResult(node.result);
        tools_.RunLinkTest(shell::PingTarget(settings_, address, node));
    });
}

void CSiteSurveyDlg::RunPaused(int helpContext, const std::function<void()>& run) {
    // The survey pauses while another tool uses the adapter: a round under way resumes
    // afterwards.
    const bool tick = tickRunning_;
    const bool round = roundRunning_;
    StopTickTimer();
    StopRoundTimer();
    const int ownHelpContext = ctx_.helpContext;
    ctx_.helpContext = helpContext;
    run();
    ctx_.helpContext = ownHelpContext;
    if (!IsOpen()) return;
    if (round) StartRoundTimer();
    if (tick || !round) StartTickTimer();
}

void CSiteSurveyDlg::OnScroll(int id, ui::ScrollCode code, int thumb) {
    if (id != IDC_SURVEY_SCROLL) return;
    ui::ScrollBar& bar = window().GetScrollBar(IDC_SURVEY_SCROLL);
    ScrollStep step;
    if (!ScrollView(code, bar.Position(), thumb, table_.Highest() + 1, top_, &step)) return;
    bar.SetPosition(step.position);
    top_ = step.top;
    Refresh();
}

void CSiteSurveyDlg::LogRound() {
    roundLogged_ = roundsEnded_;
    if (!log_.IsOn()) return;
    const AdapterStatus& status = ctx_.adapter.status;
    // EndRound has moved on: the round that ended is the slot before the current one.
    const int slot = (table_.CurrentSlot() + shell::kSlots - 1) % shell::kSlots;
    ui::Window& w = window();
    for (int p = 0; p <= table_.Highest() && log_.IsOn(); ++p) {
        if (!table_.IsFilled(p)) continue;
        const int i = table_.IndexAt(p, sortMode_);
        const shell::SurveyNode& node = table_.Node(i);
        log_.Row(w, {std::to_string(roundsEnded_),
                     i == 0 ? FieldText(status.masterAddress) : std::string(node.address),
                     i == 0 ? FieldText(status.masterName) : std::string(),
                     std::to_string(node.linkQuality), table_.IsActive(i) ? "(*)" : "( )",
                     std::to_string(node.strength), std::to_string(node.replies[slot])});
    }
}

void CSiteSurveyDlg::OnDestroy() {
    StopTickTimer();
    StopRoundTimer();
    log_.Close();
}

}  // namespace odr::survey
