// The directed ping run: the slot's loop, each ping level's protocol, the replies and the
// roam follow-up, driver faults, failures and re-synchronisation.
#include "shell/kit/LinkPinger.h"

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/FixedText.h"
#include "driver/Measure.h"
#include "driver/Operations.h"
#include "platform/Platform.h"
#include "settings/AdapterSettings.h"
#include "shell/kit/ShellContext.h"

namespace odr::shell {

namespace {

constexpr uint32_t kPollPauseMs = 1;

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

LinkTestTarget PingTarget(const settings::AdapterSettings& settings, const std::string& address,
                          const MasterNode& current) {
    LinkTestTarget target;
    target.address = address;
    target.radioMode = settings.radioMode;
    target.stationType = uint8_t(settings.stationType);
    target.masterDomain = uint8_t(settings.domain);
    target.masterChannel = uint8_t(settings.channel);
    target.masterSubchannel = uint8_t(settings.subchannel);
    if (current.Read()) {
        target.masterChannel = current.channel;
        target.masterSubchannel = current.subchannel;
    }
    return target;
}

LinkPinger::LinkPinger(ShellContext& context, const LinkTestTarget& target, PingSink& sink)
    : ctx_(context),
      sink_(sink),
      target_(target.address),
      radioMode_(target.radioMode),
      masterDomain_(target.masterDomain),
      masterChannel_(target.masterChannel),
      masterSubchannel_(target.masterSubchannel),
      stationType_(target.stationType) {
    targetValid_ = NormaliseAddress(target.address, &target_);
}

void LinkPinger::Reset() {
    const AdapterStatus& status = ctx_.adapter.status;
    targetIsMaster_ = target_ == status.masterAddress;
    rememberedMaster_ = status.masterAddress;
    failures_ = 0;
    reattach_.Clear();
    outstanding_ = false;
    pingHandle_ = 0;
}

LinkPinger::SlotEnd LinkPinger::RunSlot(uint32_t slotMs, Level level, int packetSize) {
    platform::Clock& clock = ctx_.adapter.clock;
    if (reattach_.Needed()) {
        sink_.OutOfRange(true);
        if (!reattach_.Restore(ctx_.adapter)) return SlotEnd::NotAttached;
    }

    const uint32_t slotStart = clock.Now();
    Step step = Step::Next;
    while (clock.Now() - slotStart < slotMs) {
        const uint32_t before = clock.Now();
        sink_.KeepPainting();
        step = PingOnce(level, packetSize);
        if (step == Step::EndSlot || step == Step::Restart) break;
        // A driver that answers at once is not asked again within the same millisecond.
        if (clock.Now() == before) Wait();
    }

    if (step == Step::Restart) {
        pingHandle_ = 0;
        outstanding_ = false;
        return SlotEnd::Restarted;
    }
    // A ping whose last poll failed is polled again in the next slot.
    if (!outstanding_) pingHandle_ = 0;
    return SlotEnd::Ran;
}

void LinkPinger::Finish() {
    if (outstanding_) {
        for (int poll = 0; poll < kFinishPolls; ++poll) {
            uint32_t completion = 0;
            const int result = PollPing(ctx_.adapter.channel, pingHandle_, &completion, kAdapter);
            // Completed, given up, or no driver to ask.
            if (result == kOk || result == kPingGivenUp || result == kNotCarried) break;
            if (poll + 1 < kFinishPolls) ctx_.adapter.clock.Sleep(kPollPauseMs);
        }
    }
    outstanding_ = false;
}

LinkPinger::Step LinkPinger::PingOnce(Level level, int packetSize) {
    uint8_t sync = 0;
    const int result = GetSyncState(ctx_.adapter.channel, &sync, kAdapter);
    if (result == kNotCarried) return Fault();
    syncState_ = sync;
    if (syncState_ == 0) return OutOfRange();
    // A target that is no node address is shown but never pinged.
    if (!targetValid_) return Step::Next;
    return level == Level::Radio ? RadioLevelPing(packetSize) : DriverLevelPing(packetSize);
}

LinkPinger::Step LinkPinger::RadioLevelPing(int packetSize) {
    Channel& channel = ctx_.adapter.channel;
    platform::Clock& clock = ctx_.adapter.clock;
    if (!outstanding_) {
        const int result =
            SendPing(channel, target_.c_str(), uint32_t(packetSize), uint8_t(radioMode_),
                     &syncState_, &sendTime_, &pingHandle_, kAdapter, 0, nullptr);
        if (result == kNotCarried) return Fault();
        // Still busy after the retry: nothing was sent and there is no handle to poll. The
        // slot sends again; a busy transmitter is no failure of the link.
        if (result == kTransmitBusy || result == kTransmitQueued) return Step::Next;
        if (result < 0) return Failure();
        // The adapter lost its master between the two reads: nothing was sent.
        if (syncState_ == 0) return OutOfRange();
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
            if (++failures_ > kMaxPingFailures) return Resynchronise();
            return Step::Next;
        }
        if ((clock.Now() - pollStart) / 1000 > kPingGiveUpSeconds) {
            outstanding_ = false;
            return Step::Next;
        }
        Wait();
    }
}

LinkPinger::Step LinkPinger::DriverLevelPing(int packetSize) {
    uint32_t longValue = 0;
    const int result =
        SendPing(ctx_.adapter.channel, target_.c_str(), uint32_t(packetSize), uint8_t(radioMode_),
                 &syncState_, &sendTime_, &pingHandle_, kAdapter, 1, &longValue);
    if (result == kPingDriverFault || result == kNotCarried) return Fault();
    if (result == kOk) {
        if (syncState_ == 0) return OutOfRange();
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

void LinkPinger::Collect(int latencyMs) {
    AdapterContext& adapter = ctx_.adapter;
    for (int drained = 0; drained < kMaxDrainedReplies; ++drained) {
        char address[13] = {};
        uint32_t value = 0;
        uint8_t signal = 0;
        if (GetPing(adapter, address, &value, &signal, kAdapter) != kPingAnswer) break;
        if (target_ == address) sink_.Reply(signal, value);
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
        sink_.OutOfRange(false);
        sink_.Completed(!selfIsMaster, latencyMs);
    } else {
        sink_.OutOfRange(true);
    }
}

void LinkPinger::FollowMaster(const MasterNode& node) {
    // The process-wide record follows too, so that a reset finds the target still the
    // master and the new master already remembered.
    AdapterStatus& status = ctx_.adapter.status;
    StoreFieldText(status.masterAddress, node.MasterAddress());
    StoreFieldText(status.masterName, node.MasterName());
    rememberedMaster_ = node.MasterAddress();
    if (targetIsMaster_) target_ = node.MasterAddress();
    sink_.MasterFollowed(node, targetIsMaster_);
}

LinkPinger::Step LinkPinger::Fault() {
    reattach_.Need();
    return Step::Restart;
}

LinkPinger::Step LinkPinger::Failure() {
    if (++failures_ > kMaxPingFailures) {
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

LinkPinger::Step LinkPinger::Resynchronise() {
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

LinkPinger::Step LinkPinger::OutOfRange() {
    sink_.OutOfRange(true);
    return Step::EndSlot;
}

void LinkPinger::Wait() {
    sink_.KeepPainting();
    ctx_.adapter.clock.Sleep(kPollPauseMs);
}

}  // namespace odr::shell
