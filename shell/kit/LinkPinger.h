// A directed ping run: pings one node again and again for slots of a given length, collects
// its replies and latencies for the window that runs it, follows the adapter's master when
// it roams, restarts the card after too many failed sends and re-synchronises after too
// many failed polls. Radio-Level pings are sent and polled to completion; Driver-Level
// pings are one waited call that reports the reply's time itself.
#pragma once

#include <cstdint>
#include <string>

#include "driver/Queries.h"
#include "driver/Reattach.h"
#include "shell/kit/ToolLauncher.h"

namespace odr::shell {

struct ShellContext;

// The target of a ping run to `address` with the stored settings' radio mode and station
// type, and the master to move back onto: the stored domain with the channel and
// subchannel of the master `current` read (the stored ones when it was not read).
LinkTestTarget PingTarget(const settings::AdapterSettings& settings, const std::string& address,
                          const MasterNode& current);

// A Radio-Level ping still running after this many whole seconds (more than 5) is given up.
constexpr uint32_t kPingGiveUpSeconds = 5;
// More consecutive failures than this restart the card or re-synchronise.
constexpr int kMaxPingFailures = 10;
// Finish polls an outstanding ping at most this often.
constexpr int kFinishPolls = 101;

// What the window running the pings keeps and shows.
class PingSink {
  public:
    virtual ~PingSink() = default;
    // A reply of the target: its signal percentage and value.
    virtual void Reply(int signal, uint32_t value) = 0;
    // A ping completed while the adapter is synchronised, `latencyMs` after it was sent.
    // `counted` is false while this adapter is itself the master.
    virtual void Completed(bool counted, int latencyMs) = 0;
    // The adapter lost (or found again) its master.
    virtual void OutOfRange(bool shown) = 0;
    // The adapter roamed to `node`'s master; `targetFollowed` when the target was the old
    // master and is now the new one.
    virtual void MasterFollowed(const MasterNode& node, bool targetFollowed) = 0;
    // Between pings and polls: the window paints what waits to be painted.
    virtual void KeepPainting() = 0;
};

class LinkPinger {
  public:
    enum class Level { Radio, Driver };
    // How a slot ended: its pings ran; the run started over (a fault, a restart or a
    // re-synchronisation); or the driver could not be attached again and nothing ran.
    enum class SlotEnd { Ran, Restarted, NotAttached };

    // Pings `target` (normalised to lower-case hex digits; no address is never pinged) and
    // moves the adapter back onto its master with `target`'s master fields.
    LinkPinger(ShellContext& context, const LinkTestTarget& target, PingSink& sink);

    // Afresh: nothing outstanding, no failures; the master remembered is the adapter's now.
    void Reset();
    // One slot of pings of `packetSize` bytes for `slotMs`.
    SlotEnd RunSlot(uint32_t slotMs, Level level, int packetSize);
    // Waits a little for a Radio-Level ping still outstanding, as a closing window does.
    void Finish();

    const std::string& Target() const { return target_; }
    bool TargetIsMaster() const { return targetIsMaster_; }
    bool InRange() const { return syncState_ != 0; }
    int ConsecutiveFailures() const { return failures_; }
    bool ReattachNeeded() const { return reattach_.Needed(); }
    bool Outstanding() const { return outstanding_; }
    const std::string& RememberedMaster() const { return rememberedMaster_; }

  private:
    // After one ping: go on, end the slot, or start the run over.
    enum class Step { Next, EndSlot, Restart };

    Step PingOnce(Level level, int packetSize);
    Step RadioLevelPing(int packetSize);
    Step DriverLevelPing(int packetSize);
    void Collect(int latencyMs);
    void FollowMaster(const MasterNode& node);
    Step Fault();
    Step Failure();
    Step Resynchronise();
    Step OutOfRange();
    void Wait();

    ShellContext& ctx_;
    PingSink& sink_;
    std::string target_;
    bool targetValid_ = false;
    bool targetIsMaster_ = false;
    int radioMode_;
    uint8_t masterDomain_, masterChannel_, masterSubchannel_, stationType_;

    std::string rememberedMaster_;
    uint8_t pingHandle_ = 0;
    uint32_t sendTime_ = 0;
    uint8_t syncState_ = 0;
    bool outstanding_ = false;
    int failures_ = 0;
    Reattach reattach_;
};

}  // namespace odr::shell
