// The Get Settings window (template 131): the card's node address, ROM version, country
// code and signal calibration as the last card initialisation read them.
#pragma once

#include "ui/Dialog.h"

namespace odr {
struct AdapterStatus;
}

namespace odr::config {

class CGetSettingsDlg : public ui::Dialog {
  public:
    explicit CGetSettingsDlg(const AdapterStatus& status);

    bool OnInitDialog() override;
    void OnCommand(int id) override;

  private:
    const AdapterStatus& status_;
};

}  // namespace odr::config
