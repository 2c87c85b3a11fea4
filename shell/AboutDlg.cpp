// The About window.
#include "shell/AboutDlg.h"

#include "resources/resource.h"

namespace odr::shell {

CAboutDlg::CAboutDlg() : ui::Dialog(IDD_ABOUTBOX) {}

bool CAboutDlg::OnInitDialog() {
    window().SetText(IDC_ABOUT_LINE2, kAboutLine);
    return true;
}

void CAboutDlg::OnCommand(int id) {
    if (id == ui::kIdOk || id == ui::kIdCancel) window().End(id);
}

}  // namespace odr::shell
