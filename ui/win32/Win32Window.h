// ui::Window over a dialog's HWND. It does not own the window: the dialog procedure makes one
// at WM_INITDIALOG and drops it when the window is destroyed.
#pragma once

#include <windows.h>

#include <string>

#include "ui/Window.h"

namespace odr::ui::win32 {

class Win32Window : public ui::Window {
  public:
    Win32Window(HWND hwnd, HINSTANCE instance, bool modal)
        : hwnd_(hwnd), instance_(instance), modal_(modal) {}

    HWND hwnd() const { return hwnd_; }

    void SetTitle(const std::string& text) override;
    std::string GetTitle() const override;
    void SetText(int id, const std::string& text) override;
    std::string GetText(int id) const override;
    void Enable(int id, bool enabled) override;
    bool IsEnabled(int id) const override;
    void SetFocus(int id) override;
    void Show(bool visible) override;
    bool IsVisible() const override;
    bool IsMinimized() const override;
    void BringToForeground() override;
    void SetIcon(int iconId) override;
    void AppendSystemMenu(int commandId, const std::string& text) override;
    void GreySystemMenuItem(const std::string& text) override;
    void Invalidate() override;
    void SetTimer(int id, unsigned intervalMs) override;
    void KillTimer(int id) override;
    void End(int result) override;
    void ListClear(int id) override;
    void ListAdd(int id, const std::string& line) override;
    int ListCount(int id) const override;
    std::string ListItem(int id, int index) const override;
    void ListScrollToTop(int id) override;

  private:
    HWND hwnd_;
    HINSTANCE instance_;
    bool modal_;
};

// Text of a window, whatever its length.
std::string WindowText(HWND hwnd);

}  // namespace odr::ui::win32
