// odrstat's Error window (template 138): one message, closed with OK.
#pragma once

#include <string>

#include "ui/Dialog.h"

namespace odr::monitor {

class CMonitorErrorDlg : public ui::Dialog {
  public:
    explicit CMonitorErrorDlg(std::string message);

    const std::string& message() const { return message_; }

    bool OnInitDialog() override;
    void OnCommand(int id) override;

  private:
    std::string message_;
};

}  // namespace odr::monitor
