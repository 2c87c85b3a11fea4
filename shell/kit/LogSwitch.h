// The "&Log..." button of a measuring window: asks for a file with the system's Save As
// dialog and starts the window's session log, or stops it ("Stop &Log"). A file that cannot
// be written is reported in the Error window (modeless: a measuring tick must not wait on it)
// and the window goes on measuring without a log.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "shell/kit/ErrorDlg.h"
#include "shell/kit/SessionLog.h"

namespace odr::ui {
class Dialog;
class Window;
}  // namespace odr::ui

namespace odr::shell {

struct ShellContext;

constexpr const char* kLogText = "&Log...";
constexpr const char* kStopLogText = "Stop &Log";

class LogSwitch {
  public:
    LogSwitch(ShellContext& context, int buttonId, std::string suggestedName,
              std::vector<std::string> header);

    // The button was pressed in `owner`, whose window is `w`.
    void Toggle(ui::Dialog& owner, ui::Window& w);
    // One row, when a log is on.
    void Row(ui::Window& w, const std::vector<std::string>& fields);
    // The window closes: the log ends with it, and an error report still open closes too.
    void Close();

    bool IsOn() const { return log_.IsOn(); }
    const SessionLog& Log() const { return log_; }

  private:
    void Failed(ui::Window& w, const std::string& path);

    ShellContext& ctx_;
    int buttonId_;
    std::string suggested_;
    SessionLog log_;
    std::unique_ptr<CErrorDlg> error_;
};

}  // namespace odr::shell
