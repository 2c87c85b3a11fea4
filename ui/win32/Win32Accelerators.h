// An accelerator table translated for one chosen dialog, the target: only the entries the
// target handles, and only for keystrokes to the target's own window. Every other keystroke
// (the target's own mnemonics, the keys of a window opened over it) goes on as usual.
#pragma once

#include <windows.h>

#include <vector>

namespace odr::ui {
class Dialog;
}

namespace odr::ui::win32 {

class Win32Host;

class Win32Accelerators {
  public:
    explicit Win32Accelerators(const Win32Host& host) : host_(host) {}

    // Reads accelerator table `tableId` of `module`; false when it is absent or empty.
    bool Load(HMODULE module, int tableId);
    // True when `message` was translated for `target` (and so goes no further). A target
    // whose window is gone translates nothing.
    bool Translate(const Dialog& target, MSG& message) const;

  private:
    const Win32Host& host_;
    std::vector<ACCEL> entries_;
};

}  // namespace odr::ui::win32
