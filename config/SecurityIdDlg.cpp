// The security ID entry.
#include "config/SecurityIdDlg.h"

#include "driver/SecurityIdSender.h"
#include "resources/resource.h"
#include "shell/kit/ShellContext.h"

namespace odr::config {

CSecurityIdDlg::CSecurityIdDlg(shell::ShellContext& context)
    : ui::Dialog(IDD_SECURITY_ID), ctx_(context) {}

bool CSecurityIdDlg::OnInitDialog() {
    entry_.clear();
    window().LimitText(IDC_SECURITY_ID_EDIT, int(kSecurityIdLimit));
    window().SetText(IDC_SECURITY_ID_EDIT, "");
    return true;
}

void CSecurityIdDlg::OnNotify(int id, ui::Notify code) {
    if (id == IDC_SECURITY_ID_EDIT && code == ui::Notify::EditChanged) {
        entry_ = window().GetText(IDC_SECURITY_ID_EDIT);
        return;
    }
    ui::Dialog::OnNotify(id, code);
}

void CSecurityIdDlg::OnCommand(int id) {
    switch (id) {
        case IDC_SECURITY_ID_OK: {
            entry_ = window().GetText(IDC_SECURITY_ID_EDIT);
            window().CaptureMouse();
            window().SetWaitCursor(true);
            ctx_.securityId.Send(entry_, window().MakePoster(kSecurityIdSent));
            window().End(ui::kIdOk);
            break;
        }
        case ui::kIdCancel:
            window().End(ui::kIdCancel);
            break;
    }
}

bool CSecurityIdDlg::OnPosted(unsigned code) {
    if (code != kSecurityIdSent) return false;
    window().ReleaseMouse();
    window().SetWaitCursor(false);
    return true;
}

}  // namespace odr::config
