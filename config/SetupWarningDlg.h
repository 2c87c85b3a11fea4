// The "Ondrel Setup" window (template 139): warns that cards talk only to cards with the
// same security ID, and leads on to the entry.
#pragma once

#include "ui/Dialog.h"

namespace odr::shell {
struct ShellContext;
}

namespace odr::config {

class CSetupWarningDlg : public ui::Dialog {
  public:
    explicit CSetupWarningDlg(shell::ShellContext& context);

    void OnCommand(int id) override;

  private:
    shell::ShellContext& ctx_;
};

}  // namespace odr::config
