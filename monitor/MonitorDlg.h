// odrstat's information window (template 102): the poll of the adapter, the notification-area
// icon and its tooltip, the information text, and the user's actions on the icon.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "driver/Reattach.h"
#include "monitor/MonitorContext.h"
#include "ui/Dialog.h"
#include "ui/Host.h"

namespace odr::monitor {

// Notification-area callback message: the first user message number plus 100.
constexpr unsigned kTrayMessage = 0x0400 + 100;  // WM_USER + 100
constexpr int kPollTimer = 1;
constexpr unsigned kFirstTickMs = 100;
constexpr unsigned kPollMs = 1000;
constexpr unsigned kSlowPollMs = 10000;
// Longest time one poll keeps asking an adapter that answers but is not synchronised.
constexpr uint32_t kSyncWaitLimitMs = 250;
constexpr uint32_t kSyncRetryMs = 25;

// Tray states: which icon the notification area shows.
enum TrayState : int {
    kTraySyncB = 0,       // synchronised, second blink phase, icon 137
    kTraySyncA = 1,       // synchronised, first blink phase, icon 129
    kTrayOutOfRange = 2,  // icon 130
    kTrayTool = 3,        // odrcfg running, icon 133
    kTrayNone = 4,        // no icon
};

enum class TrayAction { Add, Change, Remove };

extern const char kToolRunningText[];
extern const char kNoMasterText[];
extern const char kOutOfRangeTip[];

// The error text shown when the driver cannot be opened at start-up.
std::string DriverOpenErrorText(bool win95, const std::string& product, const std::string& protocol,
                                const std::string& monitorName);

// The tooltip of a synchronised icon.
std::string CoverageTip(const std::string& masterName);

class CMonitorDlg : public ui::Dialog {
  public:
    explicit CMonitorDlg(MonitorContext& context);
    ~CMonitorDlg() override;

    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void OnTimer(int id) override;
    bool OnSysCommand(int command) override;
    void OnClose() override;
    void OnDestroy() override;
    void OnTrayEvent(ui::TrayEvent event) override;

    // Read-only view for tests and the headless runner.
    int trayState() const { return trayState_; }
    int trayIconId() const { return trayIconId_; }
    bool toolRunning() const { return toolRunning_; }
    bool synchronised() const { return synchronised_; }
    bool pcCard() const { return pcCard_; }
    int storedStationType() const { return storedStationType_; }
    const std::string& lastMasterName() const { return lastMasterName_; }

  private:
    void Poll();
    void UpdateTray(TrayAction action, bool synchronised);
    void FillInformation();
    void ShowInformation(const std::string& text, bool partial);
    void StartTool();
    void HideWindow();
    bool TrayAdd(int id, int image, const std::string& tip);
    bool TrayChange(int image, const std::string& tip);
    int QueryMasterNode();
    std::string VersionLine() const;
    std::string NodeLine(const char* label) const;
    std::string SynchronisedLine() const;

    MonitorContext& ctx_;
    std::unique_ptr<ui::Tray> tray_;
    int trayState_ = kTrayNone;
    int trayIconId_ = 0;
    int storedStationType_ = 0;
    bool pcCard_ = false;
    bool toolRunning_ = false;
    bool synchronised_ = false;
    bool blinkPhase_ = false;
    bool hidePending_ = true;
    bool restorePending_ = false;
    Reattach reattach_;  // a driver call was not carried: re-attach first
    std::string lastMasterName_;
    std::string productName_;  // string 102
    std::string toolTitle_;    // string 105
    std::string shownText_;    // last text set in control 1001
};

}  // namespace odr::monitor
