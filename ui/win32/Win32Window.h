// ui::Window over a dialog's HWND. It does not own the window: the dialog procedure makes one
// at WM_INITDIALOG and drops it when the window is destroyed.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/Window.h"
#include "ui/win32/Win32Controls.h"

namespace odr::ui::win32 {

class Win32Window : public ui::Window {
  public:
    Win32Window(HWND hwnd, HINSTANCE instance, bool modal)
        : hwnd_(hwnd), instance_(instance), modal_(modal) {}
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    HWND hwnd() const { return hwnd_; }

    // Where image buttons get their bitmaps (the caller owns what it returns); by default
    // the bitmap resources of the instance.
    using BitmapLoader = std::function<HBITMAP(const std::string& name)>;
    void SetBitmapLoader(BitmapLoader loader) { loadBitmap_ = std::move(loader); }
    // Draws an image button for WM_DRAWITEM; false when `item` is not one.
    bool DrawImageButton(const DRAWITEMSTRUCT& item) const;

    void SetTitle(const std::string& text) override;
    std::string GetTitle() const override;
    void SetText(int id, const std::string& text) override;
    std::string GetText(int id) const override;
    void Enable(int id, bool enabled) override;
    bool IsEnabled(int id) const override;
    void SetFocus(int id) override;
    int FocusedControl() const override;
    Rect ClientRect() const override;
    Rect ControlRect(int id) const override;
    void MoveControl(int id, const Rect& rect) override;
    void ShowControl(int id, bool visible) override;
    bool IsControlVisible(int id) const override;
    void LimitText(int id, int characters) override;
    void SetCheck(int id, bool checked) override;
    bool IsChecked(int id) const override;
    void SetRadioIndex(int firstId, int index) override;
    int RadioIndex(int firstId) const override;
    bool SetButtonImages(int id, const std::string& up, const std::string& down) override;
    DropList& GetDropList(int id) override;
    ListView& GetListView(int id) override;
    ProgressBar& GetProgressBar(int id) override;
    Trackbar& GetTrackbar(int id) override;
    ScrollBar& GetScrollBar(int id) override;
    std::unique_ptr<Canvas> OpenCanvas(int id) override;
    void ExtendTo(int id, bool extend) override;
    void Show(bool visible) override;
    bool IsVisible() const override;
    bool IsMinimized() const override;
    void BringToForeground() override;
    void SetIcon(int iconId) override;
    void AppendSystemMenu(int commandId, const std::string& text) override;
    void GreySystemMenuItem(const std::string& text) override;
    void Invalidate() override;
    void InvalidateControl(int id, bool erase) override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    bool HasMouseCapture() const override;
    void SetWaitCursor(bool wait) override;
    bool PeekPending(Pending kind, int* key) override;
    bool DispatchPending(Pending kind, bool remove) override;
    Poster MakePoster(unsigned code) override;
    void SetTimer(int id, unsigned intervalMs) override;
    void KillTimer(int id) override;
    void End(int result) override;
    void ListClear(int id) override;
    void ListAdd(int id, const std::string& line) override;
    int ListCount(int id) const override;
    std::string ListItem(int id, int index) const override;
    void ListScrollToTop(int id) override;

  private:
    struct Images {
        HBITMAP up = nullptr;
        HBITMAP down = nullptr;
    };
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    // The radio buttons of the group that starts at `firstId`, in order.
    std::vector<HWND> RadioGroup(int firstId) const;

    HWND hwnd_;
    HINSTANCE instance_;
    bool modal_;
    int originalHeight_ = 0;  // before the first ExtendTo
    BitmapLoader loadBitmap_;
    std::map<int, Images> images_;
    std::map<int, std::unique_ptr<Win32DropList>> dropLists_;
    std::map<int, std::unique_ptr<Win32ListView>> listViews_;
    std::map<int, std::unique_ptr<Win32ProgressBar>> progressBars_;
    std::map<int, std::unique_ptr<Win32Trackbar>> trackbars_;
    std::map<int, std::unique_ptr<Win32ScrollBar>> scrollBars_;
};

// Text of a window, whatever its length.
std::string WindowText(HWND hwnd);

}  // namespace odr::ui::win32
