// One point's measurement: a few seconds of survey rounds (a broadcast ping and the replies
// to it, as the Site Survey takes them) giving the master the adapter is synchronised to and
// every station heard with its signal and link quality; for an active point a directed
// ping run to that master follows, giving packets per second and the mean latency. Driven
// by the window's timer, one step a tick, so the window keeps painting and answering.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "driver/Queries.h"
#include "driver/Reattach.h"
#include "map/Survey.h"
#include "shell/kit/LinkPinger.h"
#include "shell/kit/SurveyTable.h"

namespace odr::shell {
struct ShellContext;
}

namespace odr::settings {
class AdapterSettings;
}

namespace odr::map {

// The survey rounds take this long at least; a master that changes meanwhile (the adapter
// roamed) starts them over, up to kMaxRoundsMs in all.
constexpr uint32_t kRoundsMs = 3000;
constexpr uint32_t kMaxRoundsMs = 9000;
// The directed run of an active point, in slots of kRunSlotMs (one a tick).
constexpr uint32_t kRunMs = 2000;
constexpr uint32_t kRunSlotMs = 200;

class PointSurvey : private shell::PingSink {
  public:
    enum class Phase { Idle, Rounds, Run, Done };

    // `keepPainting` paints what waits to be painted during the run's slots.
    PointSurvey(shell::ShellContext& context, settings::AdapterSettings& settings,
                std::function<void()> keepPainting);
    ~PointSurvey() override;

    // Starts measuring; `active` adds the directed run.
    void Start(bool active);
    // One step; the phase after it.
    Phase Tick();
    // Stops where it is; nothing is measured.
    void Cancel();

    // 0 to 100.
    int Progress() const;
    // What was measured (after Done): the master, the stations heard and, for an active
    // point, the traffic. The point's time and place are the caller's.
    void Result(SurveyPoint* point) const;

  private:
    void RoundStep();
    void StartRound(uint32_t now);
    void EndRound(uint32_t now);
    void DrainReplies();
    void FinishRounds();
    void RunStep();

    // What the directed run reports.
    void Reply(int, uint32_t) override {}
    void Completed(bool counted, int latencyMs) override;
    void OutOfRange(bool) override {}
    void MasterFollowed(const MasterNode&, bool) override {}
    void KeepPainting() override {
        if (keepPainting_) keepPainting_();
    }

    shell::ShellContext& ctx_;
    settings::AdapterSettings& settings_;
    std::function<void()> keepPainting_;
    Phase phase_ = Phase::Idle;
    bool active_ = false;
    uint32_t start_ = 0;       // of the measurement
    uint32_t roundsFrom_ = 0;  // of the rounds since the master last changed
    Reattach reattach_;

    // The rounds.
    shell::SurveyTable table_;
    MasterNode master_;
    bool roundRunning_ = false;
    bool roundStarted_ = false;  // at least one round was started since roundsFrom_
    uint8_t pingHandle_ = 0;
    uint32_t roundEnd_ = 0;
    int pendingTicks_ = 0;
    int rounds_ = 0;

    // The run.
    std::unique_ptr<shell::LinkPinger> pinger_;
    uint32_t runMs_ = 0;
    int completed_ = 0;
    int64_t latencySum_ = 0;

    SurveyPoint result_;
};

}  // namespace odr::map
