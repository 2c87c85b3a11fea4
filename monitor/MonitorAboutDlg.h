// odrstat's About box (template 100): its icon and text live in the template.
#pragma once

#include "ui/Dialog.h"

namespace odr::monitor {

class CMonitorAboutDlg : public ui::Dialog {
  public:
    CMonitorAboutDlg();
    void OnCommand(int id) override;
};

}  // namespace odr::monitor
