// The window services the adapter operations call on: InitCard's Status window and the
// mouse-message pass of SynchToMaster.
#pragma once

#include <string>

#include "driver/AdapterContext.h"
#include "shell/kit/StatusDlg.h"
#include "ui/Host.h"

namespace odr::shell {

class ShellAdapterUi : public AdapterUi {
  public:
    explicit ShellAdapterUi(ui::Host& host) : host_(host) {}
    ~ShellAdapterUi() override { CloseStatus(); }

    void ShowStatus(const std::string& text) override;
    void CloseStatus() override;
    void DispatchOneMouseMessage() override { host_.DispatchOneMouseMessage(); }

    bool StatusShown() const { return shown_; }

  private:
    ui::Host& host_;
    CStatusDlg status_;
    bool shown_ = false;
};

}  // namespace odr::shell
