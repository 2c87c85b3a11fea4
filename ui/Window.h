// A dialog's view of its own window and controls, by control id. ui/win32 implements it
// over an HWND; tests use a recording fake.
#pragma once

#include <string>

namespace odr::ui {

class Window {
public:
    virtual ~Window() = default;

    // Window title.
    virtual void SetTitle(const std::string& text) = 0;
    virtual std::string GetTitle() const = 0;

    // Control texts and state.
    virtual void SetText(int id, const std::string& text) = 0;
    virtual std::string GetText(int id) const = 0;
    virtual void Enable(int id, bool enabled) = 0;
    virtual bool IsEnabled(int id) const = 0;
    virtual void SetFocus(int id) = 0;

    // The window itself.
    virtual void Show(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    virtual bool IsMinimized() const = 0;
    virtual void BringToForeground() = 0;
    // Large and small window icon from an icon resource.
    virtual void SetIcon(int iconId) = 0;
    // Appends a separator and an item to the system menu.
    virtual void AppendSystemMenu(int commandId, const std::string& text) = 0;
    // Greys every system-menu item whose text equals `text`.
    virtual void GreySystemMenuItem(const std::string& text) = 0;
    // Repaints the client area (OnPaint follows).
    virtual void Invalidate() = 0;

    // Window timers.
    virtual void SetTimer(int id, unsigned intervalMs) = 0;
    virtual void KillTimer(int id) = 0;

    // Ends a modal dialog with `result`, or destroys a modeless one.
    virtual void End(int result) = 0;

    // List box.
    virtual void ListClear(int id) = 0;
    virtual void ListAdd(int id, const std::string& line) = 0;
    virtual int ListCount(int id) const = 0;
    virtual std::string ListItem(int id, int index) const = 0;
    virtual void ListScrollToTop(int id) = 0;
};

}  // namespace odr::ui
