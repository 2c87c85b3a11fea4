// The Change Domain question.
#include "masters/ChangeDomainDlg.h"

#include <string>

#include "resources/resource.h"

namespace odr::masters {

CChangeDomainDlg::CChangeDomainDlg(int domain) : ui::Dialog(IDD_CHANGE_DOMAIN), domain_(domain) {}

bool CChangeDomainDlg::OnInitDialog() {
    confirmed_ = false;
    window().SetText(IDC_CD_QUESTION, "Update to Domain " + std::to_string(domain_) + "?");
    return true;
}

void CChangeDomainDlg::OnCommand(int id) {
    // "&Yes" is 1; "&No", Esc and the close box arrive as 2.
    if (id != ui::kIdOk && id != ui::kIdCancel) return;
    confirmed_ = id == ui::kIdOk;
    window().End(id);
}

}  // namespace odr::masters
