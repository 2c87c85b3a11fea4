// odrcfg's application object.
#include "shell/SurveyApp.h"

#include "resources/resource.h"
#include "shell/MainDlg.h"

namespace odr::shell {

int CSurveyApp::Run() {
    // A second start brings the first one's window forward (restored when minimised).
    std::string title = ctx_.host.LoadString(IDS_MAIN_TITLE);
    if (title.empty()) title = kMainTitle;
    if (ctx_.host.ActivateTopLevelWindow(title)) return 0;

    if (ctx_.loadAccelerators) ctx_.loadAccelerators(IDR_ACCELERATOR);
    CMainDlg dialog(ctx_, tools_);
    ctx_.host.RunModal(dialog);
    ctx_.acceleratorTarget = nullptr;
    return 0;
}

}  // namespace odr::shell
