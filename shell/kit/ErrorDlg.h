// The Error window (template 144): a heading and a message, closed with OK.
#pragma once

#include <string>

#include "ui/Dialog.h"

namespace odr::shell {

class CErrorDlg : public ui::Dialog {
  public:
    CErrorDlg();
    CErrorDlg(std::string heading, std::string message);

    std::string heading;
    std::string message;

    bool OnInitDialog() override;
    void OnCommand(int id) override;
};

}  // namespace odr::shell
