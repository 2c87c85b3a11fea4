// odrstat's Error window.
#include "monitor/MonitorErrorDlg.h"

#include <utility>

#include "resources/odrstat_res.h"

namespace odr::monitor {

CMonitorErrorDlg::CMonitorErrorDlg(std::string message)
    : ui::Dialog(IDD_MONITOR_ERROR), message_(std::move(message)) {}

bool CMonitorErrorDlg::OnInitDialog() {
    window().SetText(IDC_MONITOR_ERROR_TEXT, message_);
    return true;
}

void CMonitorErrorDlg::OnCommand(int id) {
    if (id == ui::kIdOk || id == ui::kIdCancel) window().End(id);
}

}  // namespace odr::monitor
