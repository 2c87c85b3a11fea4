// The Status window shown while the card comes up.
#include "shell/ShellAdapterUi.h"

namespace odr::shell {

void ShellAdapterUi::ShowStatus(const std::string& text) {
    CloseStatus();
    status_.message = text;
    shown_ = host_.OpenModeless(status_);
}

void ShellAdapterUi::CloseStatus() {
    if (!shown_) return;
    host_.CloseModeless(status_);
    shown_ = false;
}

}  // namespace odr::shell
