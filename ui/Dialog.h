// Base of every dialog class: its state lives in the derived class, and the window layer
// calls these handlers from the window's messages, already decoded.
#pragma once

#include "ui/Window.h"

namespace odr::ui {

// The OK and Cancel commands (also Enter and Escape), and the results a modal dialog ends
// with for them.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// What a control reports about itself.
enum class Notify {
    Clicked,           // button, check box, radio button; a click on a list view
    DoubleClicked,     // list view row, list box item, button with the notify style
    SelectionChanged,  // drop-down list, list box
    EditChanged,       // edit text, or the edit part of a combo box
    FocusGained,
    FocusLost,
};

// Scroll bar and trackbar codes, in the system's order.
enum class ScrollCode {
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    ThumbPosition,
    ThumbTrack,
    Top,
    Bottom,
    EndScroll,
};

// Mouse messages of the dialog's own client area (not of its controls), in the system's order.
enum class Mouse {
    Move,
    LeftDown,
    LeftUp,
    LeftDoubleClick,
    RightDown,
    RightUp,
    RightDoubleClick,
    MiddleDown,
    MiddleUp,
    MiddleDoubleClick,
};

// What the notification area reports of an icon a dialog created (Host::CreateTray).
enum class TrayEvent {
    DoubleClick,  // the left button double-clicked on the icon
    RightClick,   // the right button pressed on the icon
    Recreated,    // the notification area was re-created without the icon: add it again
};

class Dialog {
  public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    int TemplateId() const { return templateId_; }

    // Called by the window layer when the window exists and before OnInitDialog.
    void Attach(Window* window) { window_ = window; }
    void Detach() { window_ = nullptr; }
    bool IsOpen() const { return window_ != nullptr; }

    // Returns true to let the system set the focus.
    virtual bool OnInitDialog() { return true; }
    // A button clicked (Enter and Esc arrive as ids 1 and 2) or a menu item chosen.
    virtual void OnCommand(int /*id*/) {}
    // Every notification of control `id`. Clicks go on to OnCommand unless overridden.
    virtual void OnNotify(int id, Notify code) {
        if (code == Notify::Clicked) OnCommand(id);
    }
    // A keyboard accelerator whose command is `id`; never a notification of control `id`.
    virtual void OnAccelerator(int /*id*/) {}
    // Whether the accelerator with command `id` is this dialog's. A table translated for the
    // dialog translates only these; every other keystroke reaches its window as usual.
    virtual bool HandlesAccelerator(int /*id*/) const { return false; }
    // Scroll bar or trackbar `id` moved. `thumb` is the thumb's place for ThumbPosition and
    // ThumbTrack, else 0. Default handling follows.
    virtual void OnScroll(int /*id*/, ScrollCode /*code*/, int /*thumb*/) {}
    // Mouse message of the dialog's client area at client point (x, y).
    virtual void OnMouse(Mouse /*event*/, int /*x*/, int /*y*/) {}
    // The window's client area has a new size (a window with a sizing border; not when it is
    // minimised), in pixels.
    virtual void OnSize(int /*width*/, int /*height*/) {}
    // The window needs painting; draw through Window::OpenCanvas. Default painting follows.
    virtual void OnPaint() {}
    virtual void OnTimer(int /*id*/) {}
    // System-menu command; returns true when handled.
    virtual bool OnSysCommand(int /*command*/) { return false; }
    // Close box, system menu Close or Alt+F4.
    virtual void OnClose() { window().End(2); }
    virtual void OnDestroy() {}
    // A key pressed while the dialog's own window (not one of its controls) has the focus;
    // `key` is the system's virtual-key code.
    virtual void OnKeyDown(int /*key*/) {}
    // A notification-area event of an icon this dialog created.
    virtual void OnTrayEvent(TrayEvent /*event*/) {}
    // A private message posted through Window::MakePoster(code). True when handled.
    virtual bool OnPosted(unsigned /*code*/) { return false; }

  protected:
    Window& window() const { return *window_; }

  private:
    int templateId_;
    Window* window_ = nullptr;
};

}  // namespace odr::ui
