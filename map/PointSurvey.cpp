// One point's measurement: the survey rounds, the stations they heard, the directed run.
#include "map/PointSurvey.h"

#include <algorithm>

#include "driver/AdapterContext.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Measure.h"
#include "platform/Platform.h"
#include "settings/AdapterSettings.h"
#include "shell/kit/ShellContext.h"

namespace odr::map {

namespace {

uint64_t AddressOf(const std::string& text) {
    uint64_t address = kNoStation;
    if (!ParseAddress(text, &address)) return kNoStation;
    return address;
}

}  // namespace

PointSurvey::PointSurvey(shell::ShellContext& context, settings::AdapterSettings& settings,
                         std::function<void()> keepPainting)
    : ctx_(context), settings_(settings), keepPainting_(std::move(keepPainting)) {}

PointSurvey::~PointSurvey() = default;

void PointSurvey::Start(bool active) {
    active_ = active;
    phase_ = Phase::Rounds;
    start_ = roundsFrom_ = ctx_.adapter.clock.Now();
    table_.Reset();
    master_ = MasterNode();
    roundRunning_ = roundStarted_ = false;
    pendingTicks_ = rounds_ = 0;
    pinger_.reset();
    runMs_ = 0;
    completed_ = 0;
    latencySum_ = 0;
    result_ = SurveyPoint();
}

void PointSurvey::Cancel() {
    if (pinger_) pinger_->Finish();
    pinger_.reset();
    roundRunning_ = false;
    phase_ = Phase::Idle;
}

PointSurvey::Phase PointSurvey::Tick() {
    if (phase_ == Phase::Rounds) {
        RoundStep();
    } else if (phase_ == Phase::Run) {
        RunStep();
    }
    return phase_;
}

int PointSurvey::Progress() const {
    const uint32_t whole = kRoundsMs + (active_ ? kRunMs : 0);
    uint32_t done = 0;
    if (phase_ == Phase::Rounds) {
        done = std::min(ctx_.adapter.clock.Now() - roundsFrom_, kRoundsMs);
    } else if (phase_ == Phase::Run) {
        done = kRoundsMs + runMs_;
    } else if (phase_ == Phase::Done) {
        done = whole;
    }
    return int(std::min<uint32_t>(100, done * 100 / whole));
}

void PointSurvey::RoundStep() {
    const uint32_t now = ctx_.adapter.clock.Now();
    // A driver that stays away ends the point with what was heard: a point never hangs.
    if (now - start_ >= kMaxRoundsMs) {
        FinishRounds();
        return;
    }
    if (reattach_.Needed() && !reattach_.Restore(ctx_.adapter)) return;
    DrainReplies();
    if (roundRunning_) {
        uint32_t completion = 0;
        const int result = PollPing(ctx_.adapter.channel, pingHandle_, &completion, kAdapter);
        if (result == kNotCarried) {
            reattach_.Need();
            roundRunning_ = false;
            return;
        }
        if (result == kPingWaiting && pendingTicks_ < shell::kMaxPendingTicks) {
            ++pendingTicks_;
            return;
        }
        EndRound(now);
        return;
    }
    if (now - roundsFrom_ >= kRoundsMs) {
        FinishRounds();
        return;
    }
    if (!roundStarted_ || now - roundEnd_ >= shell::kRoundGapMs) StartRound(now);
}

void PointSurvey::StartRound(uint32_t now) {
    Channel& channel = ctx_.adapter.channel;
    const MasterNode node = ReadMasterNode(channel, kAdapter);
    if (node.result == kNotCarried) {
        reattach_.Need();
        return;
    }
    const bool synchronised = node.Read() && node.syncState != 0;
    const std::string was = master_.Read() ? master_.MasterAddress() : std::string();
    const std::string is = synchronised ? node.MasterAddress() : std::string();
    if (was != is && rounds_ > 0) {
        // The adapter roamed (or lost its master): what was heard belongs to another cell.
        table_.Reset();
        rounds_ = 0;
        roundsFrom_ = now;
    }
    master_ = synchronised ? node : MasterNode();

    uint8_t inRange = 0;
    uint32_t sendTime = 0;
    const int result = SendPing(channel, shell::kSurveyPingAddress, shell::kSurveyPingLength, 0,
                                &inRange, &sendTime, &pingHandle_, kAdapter, 0, nullptr);
    if (result == kNotCarried) {
        reattach_.Need();
        return;
    }
    roundStarted_ = true;
    // SendPing sends nothing to an adapter that has lost its master.
    const bool sent =
        (result >= 0 || result == kTransmitQueued) && !(result == kOk && inRange == 0);
    if (sent) {
        roundRunning_ = true;
        pendingTicks_ = 0;
    } else {
        roundEnd_ = now;
    }
}

void PointSurvey::EndRound(uint32_t now) {
    table_.EndRound();
    ++rounds_;
    roundRunning_ = false;
    roundEnd_ = now;
}

void PointSurvey::DrainReplies() {
    const std::string master = master_.Read() ? master_.MasterAddress() : std::string();
    for (int n = 0; n < shell::kMaxCollectedReplies; ++n) {
        char address[13] = {};
        uint32_t value = 0;
        uint8_t signal = 0;
        if (GetPing(ctx_.adapter, address, &value, &signal, kAdapter) != kPingAnswer) return;
        address[12] = '\0';
        // Answers to a ping sent before this measurement's first round are not its own.
        if (!roundStarted_) continue;
        table_.AddReply(address, signal, !master.empty() && master == address);
    }
}

void PointSurvey::FinishRounds() {
    table_.ComputeStatistics();
    result_ = SurveyPoint();
    if (master_.Read()) result_.master = AddressOf(master_.MasterAddress());
    for (int i = 0; i <= table_.Highest(); ++i) {
        const shell::SurveyNode& node = table_.Node(i);
        Station station;
        station.address = AddressOf(node.address);
        // The master's place when it was not heard; a master heard as a node too before the
        // adapter knew it is listed once.
        if (station.address == kNoStation || result_.Find(station.address) != nullptr) continue;
        if (node.average < 0) continue;
        station.signal = node.average;
        station.linkQuality = node.linkQuality;
        if (i == 0) {
            station.role = Role::kMaster;
            station.name = master_.MasterName();
        }
        result_.stations.push_back(station);
    }
    if (!active_ || result_.master == kNoStation) {
        phase_ = Phase::Done;
        return;
    }
    shell::PingSink& sink = *this;
    pinger_ = std::make_unique<shell::LinkPinger>(
        ctx_, shell::PingTarget(settings_, master_.MasterAddress(), master_), sink);
    pinger_->Reset();
    phase_ = Phase::Run;
}

void PointSurvey::RunStep() {
    pinger_->RunSlot(kRunSlotMs, shell::LinkPinger::Level::Radio, ctx_.linkTestDefaults.packetSize);
    runMs_ += kRunSlotMs;
    if (runMs_ < kRunMs) return;
    pinger_->Finish();
    pinger_.reset();
    result_.active = true;
    result_.packetsPerSecond = completed_ * 1000.0 / runMs_;
    result_.latencyMs = completed_ > 0 ? double(latencySum_) / completed_ : 0;
    phase_ = Phase::Done;
}

void PointSurvey::Completed(bool counted, int latencyMs) {
    if (!counted) return;
    ++completed_;
    latencySum_ += latencyMs;
}

void PointSurvey::Result(SurveyPoint* point) const {
    point->master = result_.master;
    point->stations = result_.stations;
    point->active = result_.active;
    point->packetsPerSecond = result_.packetsPerSecond;
    point->latencyMs = result_.latencyMs;
}

}  // namespace odr::map
