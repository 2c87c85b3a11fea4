// ui::Tray over Shell_NotifyIconA for one owner window. Icons come from the program's icon
// resources at the small-icon size and are released after each call; tips are cut to 63
// characters.
#pragma once

#include <windows.h>

#include <string>

#include "ui/Host.h"

namespace odr::ui::win32 {

class Win32Tray : public ui::Tray {
  public:
    Win32Tray(HWND owner, HINSTANCE instance, UINT callbackMessage);

    // The "TaskbarCreated" broadcast: the notification area was re-created.
    UINT RestartMessage() const { return restartMessage_; }
    bool Add(int id, int iconId, const std::string& tip) override;
    bool Modify(int id, int iconId, const std::string& tip) override;
    bool Remove(int id) override;

  private:
    bool Notify(DWORD operation, int id, int iconId, const std::string& tip);

    HWND owner_;
    HINSTANCE instance_;
    UINT callbackMessage_;
    UINT restartMessage_;
};

}  // namespace odr::ui::win32
