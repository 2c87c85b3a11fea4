// odrstat's application object.
#include "monitor/MonitorApp.h"

#include "monitor/MonitorDlg.h"
#include "resources/odrstat_res.h"

namespace odr::monitor {

int CMonitorApp::Run() {
    // A second instance brings the first one's window forward and leaves.
    const std::string title = ctx_.host.LoadString(IDS_MONITOR_TITLE);
    if (!title.empty() && ctx_.host.ActivateTopLevelWindow(title)) return 0;

    CMonitorDlg dialog(ctx_);
    ctx_.host.RunModal(dialog);
    return 0;
}

}  // namespace odr::monitor
