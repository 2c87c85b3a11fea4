// odrstat's About box.
#include "monitor/MonitorAboutDlg.h"

#include "resources/odrstat_res.h"

namespace odr::monitor {

CMonitorAboutDlg::CMonitorAboutDlg() : ui::Dialog(IDD_MONITOR_ABOUT) {}

void CMonitorAboutDlg::OnCommand(int id) {
    if (id == ui::kIdOk || id == ui::kIdCancel) window().End(id);
}

}  // namespace odr::monitor
