// The About window (template 100), opened from the main window's system menu.
#pragma once

#include "ui/Dialog.h"

namespace odr::shell {

// Shown in the About window's second line.
constexpr const char kProgramVersion[] = "1.0.0";
constexpr const char kAboutLine[] =
    "Version 1.0.0. Surveys an Ondrel radio site and configures the adapter.";

class CAboutDlg : public ui::Dialog {
  public:
    CAboutDlg();

    bool OnInitDialog() override;
    void OnCommand(int id) override;
};

}  // namespace odr::shell
