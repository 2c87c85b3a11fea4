// The Change Domain question (template 137): "Update to Domain %d?" with Yes and No.
#pragma once

#include "ui/Dialog.h"

namespace odr::masters {

class CChangeDomainDlg : public ui::Dialog {
  public:
    explicit CChangeDomainDlg(int domain);

    bool OnInitDialog() override;
    void OnCommand(int id) override;

    int Domain() const { return domain_; }
    // True only when the window was closed with "&Yes".
    bool Confirmed() const { return confirmed_; }

  private:
    int domain_;
    bool confirmed_ = false;
};

}  // namespace odr::masters
