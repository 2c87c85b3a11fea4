// The Error window.
#include "shell/kit/ErrorDlg.h"

#include <utility>

#include "resources/resource.h"

namespace odr::shell {

CErrorDlg::CErrorDlg() : ui::Dialog(IDD_ERROR) {}

CErrorDlg::CErrorDlg(std::string heading, std::string message)
    : ui::Dialog(IDD_ERROR), heading(std::move(heading)), message(std::move(message)) {}

bool CErrorDlg::OnInitDialog() {
    window().SetText(IDC_ERROR_HEADING, heading);
    window().SetText(IDC_ERROR_MESSAGE, message);
    return true;
}

void CErrorDlg::OnCommand(int id) {
    if (id == ui::kIdOk || id == ui::kIdCancel) window().End(id);
}

}  // namespace odr::shell
