// The Security ID window (template 140): takes a new security ID of up to 20 characters
// and has the context's worker send it to the adapter. The window closes at once; the
// worker's WM_USER + 10 ends the busy indication if the window is still there.
#pragma once

#include <string>

#include "ui/Dialog.h"

namespace odr::shell {
struct ShellContext;
}

namespace odr::config {

// Posted by the worker when the request is done.
constexpr unsigned kSecurityIdSent = 10;

class CSecurityIdDlg : public ui::Dialog {
  public:
    explicit CSecurityIdDlg(shell::ShellContext& context);

    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void OnNotify(int id, ui::Notify code) override;
    bool OnPosted(unsigned code) override;

    const std::string& Entry() const { return entry_; }

  private:
    shell::ShellContext& ctx_;
    std::string entry_;
};

}  // namespace odr::config
