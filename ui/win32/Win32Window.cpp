// ui::Window over an HWND.
#include "ui/win32/Win32Window.h"

namespace odr::ui::win32 {

std::string WindowText(HWND hwnd) {
    if (hwnd == nullptr) return std::string();
    const int length = GetWindowTextLengthA(hwnd);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(hwnd, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void Win32Window::SetTitle(const std::string& text) {
    SetWindowTextA(hwnd_, text.c_str());
}

std::string Win32Window::GetTitle() const {
    return WindowText(hwnd_);
}

void Win32Window::SetText(int id, const std::string& text) {
    SetDlgItemTextA(hwnd_, id, text.c_str());
}

std::string Win32Window::GetText(int id) const {
    return WindowText(GetDlgItem(hwnd_, id));
}

void Win32Window::Enable(int id, bool enabled) {
    EnableWindow(GetDlgItem(hwnd_, id), enabled ? TRUE : FALSE);
}

bool Win32Window::IsEnabled(int id) const {
    HWND item = GetDlgItem(hwnd_, id);
    return item != nullptr && IsWindowEnabled(item) != FALSE;
}

void Win32Window::SetFocus(int id) {
    HWND item = GetDlgItem(hwnd_, id);
    if (item != nullptr) ::SetFocus(item);
}

void Win32Window::Show(bool visible) {
    ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

bool Win32Window::IsVisible() const {
    return IsWindowVisible(hwnd_) != FALSE;
}

bool Win32Window::IsMinimized() const {
    return IsIconic(hwnd_) != FALSE;
}

void Win32Window::BringToForeground() {
    SetForegroundWindow(hwnd_);
}

void Win32Window::SetIcon(int iconId) {
    // Shared icons belong to the system's cache: nothing to destroy later.
    auto load = [&](int cx, int cy) {
        return reinterpret_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                                  GetSystemMetrics(cx), GetSystemMetrics(cy),
                                                  LR_SHARED));
    };
    HICON large = load(SM_CXICON, SM_CYICON);
    HICON small = load(SM_CXSMICON, SM_CYSMICON);
    if (large) SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    if (small) SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void Win32Window::AppendSystemMenu(int commandId, const std::string& text) {
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    if (menu == nullptr) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(commandId), text.c_str());
}

void Win32Window::GreySystemMenuItem(const std::string& text) {
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    if (menu == nullptr) return;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char item[256] = {};
        const int n = GetMenuStringA(menu, static_cast<UINT>(i), item, sizeof item, MF_BYPOSITION);
        if (n > 0 && text == std::string(item, static_cast<size_t>(n))) {
            EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_GRAYED);
        }
    }
}

void Win32Window::Invalidate() {
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Window::SetTimer(int id, unsigned intervalMs) {
    // Setting a running timer again restarts it with the new interval.
    ::SetTimer(hwnd_, static_cast<UINT_PTR>(id), intervalMs, nullptr);
}

void Win32Window::KillTimer(int id) {
    ::KillTimer(hwnd_, static_cast<UINT_PTR>(id));
}

void Win32Window::End(int result) {
    if (modal_) {
        EndDialog(hwnd_, result);
    } else {
        DestroyWindow(hwnd_);
    }
}

void Win32Window::ListClear(int id) {
    SendDlgItemMessageA(hwnd_, id, LB_RESETCONTENT, 0, 0);
}

void Win32Window::ListAdd(int id, const std::string& line) {
    SendDlgItemMessageA(hwnd_, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

int Win32Window::ListCount(int id) const {
    const LRESULT n = SendDlgItemMessageA(hwnd_, id, LB_GETCOUNT, 0, 0);
    return n == LB_ERR ? 0 : static_cast<int>(n);
}

std::string Win32Window::ListItem(int id, int index) const {
    const LRESULT length = SendDlgItemMessageA(hwnd_, id, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length < 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got =
        SendDlgItemMessageA(hwnd_, id, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got == LB_ERR || got < 0 ? 0 : static_cast<size_t>(got));
    return text;
}

void Win32Window::ListScrollToTop(int id) {
    SendDlgItemMessageA(hwnd_, id, LB_SETTOPINDEX, 0, 0);
}

}  // namespace odr::ui::win32
