// ui::Window over an HWND.
#include "ui/win32/Win32Window.h"

#include <algorithm>

#include "ui/win32/Win32Canvas.h"

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

int Win32Window::FocusedControl() const {
    const HWND focus = GetFocus();
    if (focus == nullptr || focus == hwnd_ || !IsChild(hwnd_, focus)) return 0;
    // The edit inside a combo box stands for the combo box.
    const HWND parent = GetParent(focus);
    return GetDlgCtrlID(parent != hwnd_ && parent != nullptr ? parent : focus);
}

Rect Win32Window::ClientRect() const {
    RECT r = {};
    GetClientRect(hwnd_, &r);
    return {r.left, r.top, r.right, r.bottom};
}

Rect Win32Window::ControlRect(int id) const {
    RECT r = {};
    const HWND control = Item(id);
    if (control == nullptr) return {};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

void Win32Window::MoveControl(int id, const Rect& rect) {
    if (const HWND control = Item(id)) {
        MoveWindow(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   TRUE);
    }
}

void Win32Window::SetFocus(int id) {
    HWND item = GetDlgItem(hwnd_, id);
    if (item != nullptr) ::SetFocus(item);
}

Win32Window::~Win32Window() {
    for (auto& entry : images_) {
        DeleteObject(entry.second.up);
        DeleteObject(entry.second.down);
    }
}

void Win32Window::ShowControl(int id, bool visible) {
    if (HWND item = Item(id)) ShowWindow(item, visible ? SW_SHOW : SW_HIDE);
}

bool Win32Window::IsControlVisible(int id) const {
    HWND item = Item(id);
    return item != nullptr && (GetWindowLongPtrA(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Window::LimitText(int id, int characters) {
    SendDlgItemMessageA(hwnd_, id, EM_LIMITTEXT, static_cast<WPARAM>(characters), 0);
}

void Win32Window::SetCheck(int id, bool checked) {
    CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32Window::IsChecked(int id) const {
    return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED;
}

std::vector<HWND> Win32Window::RadioGroup(int firstId) const {
    // As the dialog manager groups them: from the first button up to the next control with
    // the group style.
    std::vector<HWND> group;
    for (HWND item = Item(firstId); item != nullptr; item = GetWindow(item, GW_HWNDNEXT)) {
        const LONG_PTR style = GetWindowLongPtrA(item, GWL_STYLE);
        if (!group.empty() && (style & WS_GROUP) != 0) break;
        const LONG_PTR type = style & BS_TYPEMASK;
        char name[16] = {};
        GetClassNameA(item, name, sizeof name);
        if (lstrcmpiA(name, "Button") == 0 &&
            (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)) {
            group.push_back(item);
        } else if (group.empty()) {
            break;  // `firstId` is no radio button
        }
    }
    return group;
}

void Win32Window::SetRadioIndex(int firstId, int index) {
    const std::vector<HWND> group = RadioGroup(firstId);
    for (size_t i = 0; i < group.size(); ++i) {
        const bool on = index >= 0 && static_cast<size_t>(index) == i;
        SendMessageA(group[i], BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

int Win32Window::RadioIndex(int firstId) const {
    const std::vector<HWND> group = RadioGroup(firstId);
    for (size_t i = 0; i < group.size(); ++i) {
        if (SendMessageA(group[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<int>(i);
    }
    return -1;
}

bool Win32Window::SetButtonImages(int id, const std::string& up, const std::string& down) {
    HWND button = Item(id);
    if (button == nullptr) return false;
    auto load = [&](const std::string& name) -> HBITMAP {
        if (loadBitmap_) return loadBitmap_(name);
        return LoadBitmapA(instance_, name.c_str());
    };
    Images images{load(up), load(down)};
    if (images.up == nullptr || images.down == nullptr) {
        DeleteObject(images.up);
        DeleteObject(images.down);
        return false;
    }
    auto old = images_.find(id);
    if (old != images_.end()) {
        DeleteObject(old->second.up);
        DeleteObject(old->second.down);
    }
    images_[id] = images;
    // The dialog draws an owner-drawn button itself, at WM_DRAWITEM.
    const LONG_PTR style = GetWindowLongPtrA(button, GWL_STYLE);
    SendMessageA(button, BM_SETSTYLE,
                 static_cast<WPARAM>((style & 0xFFFF & ~BS_TYPEMASK) | BS_OWNERDRAW), TRUE);
    InvalidateRect(button, nullptr, TRUE);
    return true;
}

bool Win32Window::DrawImageButton(const DRAWITEMSTRUCT& item) const {
    if (item.CtlType != ODT_BUTTON) return false;
    auto it = images_.find(static_cast<int>(item.CtlID));
    if (it == images_.end()) return false;
    HBITMAP bitmap = (item.itemState & ODS_SELECTED) != 0 ? it->second.down : it->second.up;
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    HDC memory = CreateCompatibleDC(item.hDC);
    if (memory == nullptr) return true;
    HGDIOBJ old = SelectObject(memory, bitmap);
    const RECT& r = item.rcItem;
    StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, 0, 0,
               info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    return true;
}

namespace {

template <class View>
View& ViewOf(std::map<int, std::unique_ptr<View>>& views, int id, HWND control) {
    auto& slot = views[id];
    if (!slot) slot = std::make_unique<View>(control);
    return *slot;
}

}  // namespace

DropList& Win32Window::GetDropList(int id) {
    return ViewOf(dropLists_, id, Item(id));
}

ListView& Win32Window::GetListView(int id) {
    return ViewOf(listViews_, id, Item(id));
}

ProgressBar& Win32Window::GetProgressBar(int id) {
    return ViewOf(progressBars_, id, Item(id));
}

Trackbar& Win32Window::GetTrackbar(int id) {
    return ViewOf(trackbars_, id, Item(id));
}

ScrollBar& Win32Window::GetScrollBar(int id) {
    return ViewOf(scrollBars_, id, Item(id));
}

std::unique_ptr<Canvas> Win32Window::OpenCanvas(int id) {
    return std::make_unique<Win32Canvas>(id == 0 ? hwnd_ : Item(id));
}

void Win32Window::ExtendTo(int id, bool extend) {
    RECT window = {};
    GetWindowRect(hwnd_, &window);
    if (originalHeight_ == 0) originalHeight_ = window.bottom - window.top;
    int height = originalHeight_;
    const HWND control = GetDlgItem(hwnd_, id);
    if (extend && control != nullptr) {
        RECT below = {};
        GetWindowRect(control, &below);
        // The control's bottom, a dialog margin and the window's bottom border.
        RECT margin = {0, 0, 7, 7};
        MapDialogRect(hwnd_, &margin);
        RECT client = {};
        GetClientRect(hwnd_, &client);
        POINT origin = {0, client.bottom};
        ClientToScreen(hwnd_, &origin);
        const int border = window.bottom - origin.y;
        height = std::max<int>(height, below.bottom + margin.bottom + border - window.top);
    }
    SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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

void Win32Window::InvalidateControl(int id, bool erase) {
    HWND target = id == 0 ? hwnd_ : Item(id);
    if (target != nullptr) InvalidateRect(target, nullptr, erase ? TRUE : FALSE);
}

void Win32Window::CaptureMouse() {
    SetCapture(hwnd_);
}

void Win32Window::ReleaseMouse() {
    if (GetCapture() == hwnd_) ReleaseCapture();
}

bool Win32Window::HasMouseCapture() const {
    return GetCapture() == hwnd_;
}

void Win32Window::SetWaitCursor(bool wait) {
    // IDC_WAIT and IDC_ARROW.
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(wait ? 32514 : 32512)));
}

namespace {

// Message range of each kind; mouse ends at the middle-button double-click, the last mouse
// message of the oldest systems.
void PendingRange(Pending kind, UINT* first, UINT* last) {
    switch (kind) {
        case Pending::Mouse:
            *first = WM_MOUSEFIRST;
            *last = WM_MBUTTONDBLCLK;
            return;
        case Pending::Paint:
            *first = *last = WM_PAINT;
            return;
        case Pending::KeyDown:
            *first = *last = WM_KEYDOWN;
            return;
    }
    *first = *last = WM_NULL;
}

}  // namespace

bool Win32Window::PeekPending(Pending kind, int* key) {
    UINT first, last;
    PendingRange(kind, &first, &last);
    MSG message;
    if (!PeekMessageA(&message, hwnd_, first, last, PM_NOREMOVE)) return false;
    if (key != nullptr) *key = kind == Pending::KeyDown ? static_cast<int>(message.wParam) : 0;
    return true;
}

bool Win32Window::DispatchPending(Pending kind, bool remove) {
    UINT first, last;
    PendingRange(kind, &first, &last);
    MSG message;
    if (!PeekMessageA(&message, hwnd_, first, last, remove ? PM_REMOVE : PM_NOREMOVE)) {
        return false;
    }
    DispatchMessageA(&message);
    return true;
}

Poster Win32Window::MakePoster(unsigned code) {
    // PostMessage may be called from any thread, and fails harmlessly for a window that is
    // gone. Private codes travel as WM_APP + code.
    const HWND hwnd = hwnd_;
    const UINT message = WM_APP + std::min(code, kMaxPostedCode);
    return [hwnd, message] { PostMessageA(hwnd, message, 0, 0); };
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
