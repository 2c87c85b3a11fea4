// The log button of the measuring windows.
#include "shell/kit/LogSwitch.h"

#include "shell/kit/ShellContext.h"
#include "ui/Dialog.h"
#include "ui/Host.h"
#include "ui/Window.h"

namespace odr::shell {

LogSwitch::LogSwitch(ShellContext& context, int buttonId, std::string suggestedName,
                     std::vector<std::string> header)
    : ctx_(context),
      buttonId_(buttonId),
      suggested_(std::move(suggestedName)),
      log_(context.adapter.os, std::move(header)) {}

void LogSwitch::Toggle(ui::Dialog& owner, ui::Window& w) {
    if (log_.IsOn()) {
        log_.Stop();
        w.SetText(buttonId_, kLogText);
        return;
    }
    std::string path;
    const ui::FileChoice choice{"Log to", "CSV files (*.csv)", "csv", suggested_};
    if (!ctx_.host.AskSaveFile(owner, choice, &path) || !owner.IsOpen()) return;
    if (!log_.Start(path)) {
        Failed(w, path);
        return;
    }
    w.SetText(buttonId_, kStopLogText);
}

void LogSwitch::Row(ui::Window& w, const std::vector<std::string>& fields) {
    if (!log_.IsOn()) return;
    const std::string path = log_.Path();
    if (!log_.Append(fields)) Failed(w, path);
}

void LogSwitch::Failed(ui::Window& w, const std::string& path) {
    w.SetText(buttonId_, kLogText);
    if (error_ && error_->IsOpen()) return;
    error_ = std::make_unique<CErrorDlg>(
        "The log could not be written.",
        "\"" + path +
            "\" cannot be written (a read-only folder or a full disk?). The window goes on "
            "measuring without a log.");
    ctx_.host.OpenModeless(*error_);
}

void LogSwitch::Close() {
    log_.Stop();
    if (error_ && error_->IsOpen()) ctx_.host.CloseModeless(*error_);
}

}  // namespace odr::shell
