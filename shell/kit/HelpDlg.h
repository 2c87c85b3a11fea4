// The Help window (template 149): one section of the help file in a list box.
#pragma once

#include <string>

#include "shell/kit/HelpFile.h"
#include "ui/Dialog.h"

namespace odr::platform {
class Os;
}

namespace odr::shell {

class CHelpDlg : public ui::Dialog {
  public:
    CHelpDlg(platform::Os& os, std::string startKeyword, std::string endKeyword, std::string title);
    // The section of a help context (the main window's Help button).
    CHelpDlg(platform::Os& os, int helpContext);

    const std::string& StartKeyword() const { return startKeyword_; }
    const std::string& EndKeyword() const { return endKeyword_; }
    const std::string& Title() const { return title_; }
    // Whether the help file could be read at the last opening.
    bool FileOpened() const { return fileOpened_; }

    bool OnInitDialog() override;
    void OnCommand(int id) override;

  private:
    platform::Os& os_;
    std::string startKeyword_;
    std::string endKeyword_;
    std::string title_;
    bool fileOpened_ = false;
};

}  // namespace odr::shell
