// The security ID warning.
#include "config/SetupWarningDlg.h"

#include "config/SecurityIdDlg.h"
#include "resources/resource.h"
#include "shell/kit/ShellContext.h"

namespace odr::config {

CSetupWarningDlg::CSetupWarningDlg(shell::ShellContext& context)
    : ui::Dialog(IDD_SETUP_WARNING), ctx_(context) {}

void CSetupWarningDlg::OnCommand(int id) {
    switch (id) {
        case IDC_SETUP_CONTINUE: {
            // However the entry ends, the warning has done its part.
            CSecurityIdDlg entry(ctx_);
            ctx_.host.RunModal(entry);
            window().End(ui::kIdOk);
            break;
        }
        case ui::kIdCancel:  // "Abort"
            window().End(ui::kIdCancel);
            break;
    }
}

}  // namespace odr::config
