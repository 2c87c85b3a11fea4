// The Site Survey window (template 133): pings the whole cell every round and lists every
// node that answers with its link quality, activity and signal strength; follows the
// adapter's master, switches roaming and opens the directed link test on a node.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "driver/Reattach.h"
#include "shell/kit/LogSwitch.h"
#include "shell/kit/ShellContext.h"
#include "shell/kit/SurveyTable.h"
#include "shell/kit/ToolLauncher.h"
#include "ui/Dialog.h"

namespace odr::settings {
class AdapterSettings;
}

namespace odr::survey {

// Timers: 100 ms between rounds, 100 ms while a round runs.
constexpr int kTickTimer = 1;
constexpr int kRoundTimer = 2;
constexpr unsigned kTimerMs = 100;
constexpr const char* kOutOfRangeText = "Out of Range of Master";

class CSiteSurveyDlg : public ui::Dialog {
  public:
    // `settings` is the main window's record; `tools` opens the directed link test.
    CSiteSurveyDlg(shell::ShellContext& context, settings::AdapterSettings& settings,
                   shell::ToolLauncher& tools);

    // Set by the opener before the window runs.
    void SetSortMode(int mode) { sortMode_ = mode; }
    void SetInRange(bool inRange) { inRange_ = inRange ? 1 : 0; }

    bool OnInitDialog() override;
    void OnTimer(int id) override;
    void OnCommand(int id) override;
    void OnScroll(int id, ui::ScrollCode code, int thumb) override;
    void OnDestroy() override;

    // State, readable by tests.
    const shell::SurveyTable& Table() const { return table_; }
    int SortMode() const { return sortMode_; }
    int Top() const { return top_; }
    int FirstPosition() const { return firstPosition_; }
    bool InRange() const { return inRange_ != 0; }
    bool ReattachNeeded() const { return reattach_.Needed(); }
    bool RoamingChanged() const { return roamingChanged_; }
    bool ResyncPending() const { return resyncPending_; }
    bool ResyncOnRoamingOff() const { return resyncOnRoamingOff_; }
    bool RoundRunning() const { return roundRunning_; }
    int PendingTicks() const { return pendingTicks_; }
    const std::string& ResyncName() const { return resyncName_; }
    const std::string& ResyncAddress() const { return resyncAddress_; }
    const shell::LogSwitch& Log() const { return log_; }
    int RoundsEnded() const { return roundsEnded_; }

  private:
    void Reset();
    void TickTimerTick();
    void RoundTimerTick();
    // False when the tick must end.
    bool FollowResync();
    bool CheckRoam();
    void CollectReplies();
    void StartRound();
    void Refresh();
    void EmptyRows();
    void EmptyRow(int row);
    void ShowOutOfRange(bool shown);
    void StartTickTimer();
    void StopTickTimer();
    void StartRoundTimer();
    void StopRoundTimer();
    void NoteResult(int result);
    void SetCell(int id, const std::string& text);
    void ChangeRoaming();
    void TestLink(int row);
    // Runs `run` (another tool) with the survey's timers stopped and `helpContext` set.
    void RunPaused(int helpContext, const std::function<void()>& run);
    // One log row per listed node for the round that ended last.
    void LogRound();

    shell::ShellContext& ctx_;
    settings::AdapterSettings& settings_;
    shell::ToolLauncher& tools_;
    shell::SurveyTable table_;
    int sortMode_ = 0;
    int top_ = 0;
    int firstPosition_ = 0;
    uint8_t inRange_ = 0;
    uint8_t pingHandle_ = 0;
    // False for a round whose SendPing found no master and sent nothing.
    bool pingSent_ = false;
    uint32_t sendTime_ = 0;
    uint32_t roundEnd_ = 0;
    int pendingTicks_ = 0;
    bool tickRunning_ = false;
    bool roundRunning_ = false;
    Reattach reattach_;
    bool roamingChanged_ = false;
    bool resyncPending_ = false;
    bool resyncOnRoamingOff_ = false;
    // The master to move back to while a resynchronisation is pending.
    std::string resyncName_;
    std::string resyncAddress_;
    uint8_t resyncChannel_ = 0;
    uint8_t resyncSubchannel_ = 0;
    int roundsEnded_ = 0;
    int roundLogged_ = 0;
    shell::LogSwitch log_;
};

}  // namespace odr::survey
