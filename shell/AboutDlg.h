// The About window (template 100), opened from the main window's system menu.
#pragma once

#include "resources/version.h"
#include "ui/Dialog.h"

namespace odr::shell {

// Shown in the About window's second line.
constexpr const char kAboutLine[] =
    "Version " ODR_VERSION_TEXT ". Surveys an Ondrel radio site and configures the adapter.";

class CAboutDlg : public ui::Dialog {
  public:
    CAboutDlg();

    bool OnInitDialog() override;
    void OnCommand(int id) override;
};

}  // namespace odr::shell
