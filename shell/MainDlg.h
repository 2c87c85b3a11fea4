// The main window (template 102): checks the driver, brings the adapter up, says what it
// found, and opens the tools. Timer 1 drives the check run.
#pragma once

#include <string>

#include "driver/Reattach.h"
#include "settings/AdapterSettings.h"
#include "shell/kit/ShellContext.h"
#include "shell/kit/ToolLauncher.h"
#include "ui/Dialog.h"

namespace odr::shell {

class CMainDlg : public ui::Dialog {
  public:
    CMainDlg(ShellContext& context, ToolLauncher& tools);

    bool OnInitDialog() override;
    void OnTimer(int id) override;
    void OnCommand(int id) override;
    bool OnSysCommand(int command) override;
    void OnClose() override;
    void OnDestroy() override;

    // The check run of timer 1.
    void CheckRun();

    // State, readable by tests and the tools' openers.
    const settings::AdapterSettings& Settings() const { return settings_; }
    bool AdapterReady() const { return adapterReady_; }
    bool ReattachNeeded() const { return reattach_.Needed(); }
    int SearchMode() const { return searchMode_; }
    int LastButton() const { return lastButton_; }
    const std::string& StatusText() const { return statusText_; }
    // The driver version was refused; the program ends with exit code 0.
    bool DriverRefused() const { return driverRefused_; }

  private:
    void ShowStatus();
    void RunTool(int button);
    void StartCheckTimer(unsigned ms);
    void StopCheckTimer();
    std::string String(int id, const char* fallback);

    ShellContext& ctx_;
    ToolLauncher& tools_;
    settings::AdapterSettings settings_;
    bool adapterReady_ = false;
    Reattach reattach_{true};
    int searchMode_ = 1;
    bool closing_ = false;
    int lastButton_ = 0;
    bool driverRefused_ = false;
    bool settingsFound_ = false;  // the last LoadSettings found the adapter's key
    unsigned checkTimerMs_ = 0;   // period of timer 1 while it runs, else 0
    std::string statusText_;
};

}  // namespace odr::shell
