// A dialog's view of its own window and controls, by control id. ui/win32 implements it
// over an HWND; tests use a recording fake. Controls with more to them than a text and a
// state are reached through their own narrow views (ui/Controls.h, ui/Canvas.h).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ui/Canvas.h"
#include "ui/Controls.h"

namespace odr::ui {

// Virtual-key code of F1, as pending key-down messages report it.
constexpr int kKeyF1 = 0x70;

// Kinds of queued messages a busy handler may serve itself.
enum class Pending {
    Mouse,  // mouse move through middle-button double-click
    Paint,
    KeyDown,
};

// Posts one private message to a window; safe to call from any thread, and a no-op once the
// window is gone.
using Poster = std::function<void()>;
constexpr unsigned kMaxPostedCode = 0x3FFF;

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
    // The control with the keyboard focus; 0 when it is the window itself or none of its.
    virtual int FocusedControl() const = 0;
    virtual void ShowControl(int id, bool visible) = 0;
    virtual bool IsControlVisible(int id) const = 0;
    // An edit accepts at most `characters` characters.
    virtual void LimitText(int id, int characters) = 0;

    // Check boxes.
    virtual void SetCheck(int id, bool checked) = 0;
    virtual bool IsChecked(int id) const = 0;
    // The radio group that starts at button `firstId` (the one with the group style), by the
    // position of the checked button: -1 checks none, and is read back when none is checked.
    virtual void SetRadioIndex(int firstId, int index) = 0;
    virtual int RadioIndex(int firstId) const = 0;

    // Makes push button `id` show bitmap resource `up`, and `down` while pressed. False, and
    // the button left plain, when either cannot be loaded.
    virtual bool SetButtonImages(int id, const std::string& up, const std::string& down) = 0;

    // Views of one control each, owned by the window and alive as long as it is.
    virtual DropList& GetDropList(int id) = 0;
    virtual ListView& GetListView(int id) = 0;
    virtual ProgressBar& GetProgressBar(int id) = 0;
    virtual Trackbar& GetTrackbar(int id) = 0;
    virtual ScrollBar& GetScrollBar(int id) = 0;
    // Drawing on the client area of control `id`, or of the window itself for id 0.
    virtual std::unique_ptr<Canvas> OpenCanvas(int id) = 0;

    // Layout in pixels of the client area: its size, and where control `id` lies in it.
    virtual Rect ClientRect() const = 0;
    virtual Rect ControlRect(int id) const = 0;
    virtual void MoveControl(int id, const Rect& rect) = 0;

    // The window itself.
    // Grows the window downward until control `id` shows in full, or (`extend` false) back
    // to the size it was created with.
    virtual void ExtendTo(int id, bool extend) = 0;
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
    // Marks the client area of control `id` (the window itself for id 0) for painting, with
    // or without erasing the background first.
    virtual void InvalidateControl(int id, bool erase) = 0;

    // Mouse capture for this window, and the wait or the arrow cursor.
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouse() = 0;
    virtual bool HasMouseCapture() const = 0;
    virtual void SetWaitCursor(bool wait) = 0;

    // Queued messages of this window and its controls, for handlers that run long. Peek
    // reports whether one of `kind` waits (for KeyDown, `key` gets its virtual-key code);
    // Dispatch hands the oldest to its window, taking it off the queue when `remove`.
    virtual bool PeekPending(Pending kind, int* key) = 0;
    virtual bool DispatchPending(Pending kind, bool remove) = 0;
    // Paints a waiting paint message, so that a long handler keeps the window drawn.
    void ServePendingPaint() {
        if (PeekPending(Pending::Paint, nullptr)) DispatchPending(Pending::Paint, true);
    }

    // A poster of private message `code` (below kMaxPostedCode) to this window, for another
    // thread; it reaches the dialog as Dialog::OnPosted(code).
    virtual Poster MakePoster(unsigned code) = 0;

    // Window timers; several may run at once, each by its own id.
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
