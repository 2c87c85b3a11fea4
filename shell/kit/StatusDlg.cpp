// The Status window.
#include "shell/kit/StatusDlg.h"

#include "resources/resource.h"

namespace odr::shell {

CStatusDlg::CStatusDlg() : ui::Dialog(IDD_STATUS) {}

bool CStatusDlg::OnInitDialog() {
    window().SetText(IDC_STATUS_MESSAGE, message);
    return true;
}

}  // namespace odr::shell
