// The Directed Link window: pings one node again and again and shows packets and bytes per
// second, the signal of its replies and the transmit latency, over the last ten half-second
// passes and as averages since the last reset.
#pragma once

#include <cstdint>
#include <string>

#include "driver/Queries.h"
#include "driver/Reattach.h"
#include "linktest/LinkWindow.h"
#include "linktest/SignalHistory.h"
#include "shell/kit/LogSwitch.h"
#include "shell/kit/ShellContext.h"
#include "shell/kit/ToolLauncher.h"
#include "ui/Dialog.h"

namespace odr::linktest {

constexpr int kPingRadioLevel = 0;
constexpr int kPingDriverLevel = 1;
// A Driver-Level ping carries this many bytes less than the slider shows.
constexpr int kDriverLevelOffset = 30;
constexpr int kMinPacketSlider = 60;
constexpr int kMaxPacketSlider = 1500;
// A pass measures this long; a Radio-Level ping still running after this many whole
// seconds (more than 5) is given up.
constexpr uint32_t kPassMs = 500;
constexpr uint32_t kGiveUpSeconds = 5;
// More consecutive failures than this restart the card or re-synchronise.
constexpr int kMaxFailures = 10;
// Done polls an outstanding ping at most this often.
constexpr int kDonePolls = 101;

class CDirectedLinkDlg : public ui::Dialog {
  public:
    // `packetSize` in bytes and `pingType` (kPingRadioLevel or kPingDriverLevel) as the
    // program last left them.
    CDirectedLinkDlg(shell::ShellContext& context, const shell::LinkTestTarget& target,
                     int packetSize, int pingType);

    bool OnInitDialog() override;
    void OnTimer(int id) override;
    void OnCommand(int id) override;
    void OnScroll(int id, ui::ScrollCode code, int thumb) override;
    void OnPaint() override;
    void OnDestroy() override;

    // One pass: a slot of 500 ms of pings, then the figures.
    void Pass();

    // Outputs: the packet size in effect (bytes) and the ping type.
    int PacketSize() const { return packetSize_; }
    int PingType() const { return pingType_; }

    // State, readable by tests.
    const std::string& Target() const { return target_; }
    const LinkWindow& Measurement() const { return measurement_; }
    LinkWindow& Measurement() { return measurement_; }
    int ConsecutiveFailures() const { return failures_; }
    bool ReattachNeeded() const { return reattach_.Needed(); }
    bool PingOutstanding() const { return outstanding_; }
    const std::string& RememberedMaster() const { return rememberedMaster_; }
    const shell::LogSwitch& Log() const { return log_; }
    const SignalHistory& History() const { return history_; }
    bool HistoryShown() const { return historyShown_; }

  private:
    // After one ping: go on, end the slot with its figures, or restart the window position.
    enum class Step { Next, EndSlot, Restart };

    void Reset();
    Step PingOnce();
    Step RadioLevelPing();
    Step DriverLevelPing();
    void Collect(int latencyMs);
    // Shows the pass's figures and returns them.
    PassFigures ShowStatistics();
    // The pass's log row, tone and history column.
    void AfterPass(const PassFigures& f);
    void LogPass(const PassFigures& f);
    void AddHistory(int signal, int latency, bool mark);
    void ShowHistory(bool shown);
    void FollowMaster(const MasterNode& node);
    Step Fault();
    Step Failure();
    Step Resynchronise();
    void ShowOutOfRange(bool shown);
    void Wait();
    void StartTimer();
    void StopTimer();
    bool IsRadioLevel() const { return pingType_ == kPingRadioLevel; }

    shell::ShellContext& ctx_;
    std::string target_;
    bool targetValid_ = false;
    bool targetIsMaster_ = false;
    int radioMode_;
    uint8_t masterDomain_, masterChannel_, masterSubchannel_, stationType_;
    int packetSize_;
    int pingType_;

    LinkWindow measurement_;
    std::string rememberedMaster_;
    uint8_t pingHandle_ = 0;
    uint32_t sendTime_ = 0;
    uint8_t syncState_ = 0;
    bool outstanding_ = false;
    int failures_ = 0;
    Reattach reattach_;
    uint32_t slotStart_ = 0;
    uint32_t startTime_ = 0;
    shell::LogSwitch log_;
    SignalHistory history_;
    bool historyShown_ = false;
    std::string historyMaster_;  // the master of the last history column
};

}  // namespace odr::linktest
