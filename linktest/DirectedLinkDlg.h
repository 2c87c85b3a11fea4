// The Directed Link window: pings one node again and again and shows packets and bytes per
// second, the signal of its replies and the transmit latency, over the last ten half-second
// passes and as averages since the last reset.
#pragma once

#include <cstdint>
#include <string>

#include "driver/Queries.h"
#include "linktest/LinkWindow.h"
#include "linktest/SignalHistory.h"
#include "shell/kit/LinkPinger.h"
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
// A pass measures this long.
constexpr uint32_t kPassMs = 500;

class CDirectedLinkDlg : public ui::Dialog, private shell::PingSink {
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
    const std::string& Target() const { return pinger_.Target(); }
    const LinkWindow& Measurement() const { return measurement_; }
    LinkWindow& Measurement() { return measurement_; }
    int ConsecutiveFailures() const { return pinger_.ConsecutiveFailures(); }
    bool ReattachNeeded() const { return pinger_.ReattachNeeded(); }
    bool PingOutstanding() const { return pinger_.Outstanding(); }
    const std::string& RememberedMaster() const { return pinger_.RememberedMaster(); }
    const shell::LogSwitch& Log() const { return log_; }
    const SignalHistory& History() const { return history_; }
    bool HistoryShown() const { return historyShown_; }

  private:
    void Reset();
    // Shows the pass's figures and returns them.
    PassFigures ShowStatistics();
    // The pass's log row, tone and history column.
    void AfterPass(const PassFigures& f);
    void LogPass(const PassFigures& f);
    void AddHistory(int signal, int latency, bool mark);
    void ShowHistory(bool shown);
    void ShowOutOfRange(bool shown);
    void StartTimer();
    void StopTimer();
    bool IsRadioLevel() const { return pingType_ == kPingRadioLevel; }
    shell::LinkPinger::Level Level() const {
        return IsRadioLevel() ? shell::LinkPinger::Level::Radio : shell::LinkPinger::Level::Driver;
    }

    // What the pings report.
    void Reply(int signal, uint32_t value) override;
    void Completed(bool counted, int latencyMs) override;
    void OutOfRange(bool shown) override { ShowOutOfRange(shown); }
    void MasterFollowed(const MasterNode& node, bool targetFollowed) override;
    void KeepPainting() override { window().ServePendingPaint(); }

    shell::ShellContext& ctx_;
    int radioMode_;
    int packetSize_;
    int pingType_;

    shell::LinkPinger pinger_;
    LinkWindow measurement_;
    uint32_t startTime_ = 0;
    shell::LogSwitch log_;
    SignalHistory history_;
    bool historyShown_ = false;
    std::string historyMaster_;  // the master of the last history column
};

}  // namespace odr::linktest
