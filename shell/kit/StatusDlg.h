// The Status window (template 148): a modeless message shown while the caller works on.
#pragma once

#include <string>

#include "ui/Dialog.h"

namespace odr::shell {

class CStatusDlg : public ui::Dialog {
  public:
    CStatusDlg();

    std::string message;

    bool OnInitDialog() override;
    // No buttons; Escape and Enter must not close it while the card comes up.
    void OnCommand(int /*id*/) override {}
    void OnClose() override {}
};

}  // namespace odr::shell
