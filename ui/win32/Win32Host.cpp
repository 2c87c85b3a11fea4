// The Win32 dialog host: one dialog procedure for every dialog class.
#include "ui/win32/Win32Host.h"

#include <algorithm>
#include <cstring>

#include "ui/win32/Win32Tray.h"
#include "ui/win32/Win32Window.h"

namespace odr::ui::win32 {

namespace {

// WH_MSGFILTER hooks carry no user data: the hook reaches its host through this thread's
// pointer, set while the host exists.
thread_local Win32Host* t_hookHost = nullptr;

}  // namespace

struct Win32Host::Frame {
    Win32Host* host = nullptr;
    Dialog* dialog = nullptr;
    bool modal = false;
    HWND hwnd = nullptr;
    std::unique_ptr<Win32Window> window;
    bool closed = false;
};

Win32Host::Win32Host(HINSTANCE instance) : instance_(instance) {
    // The dialog manager's own loops (DialogBox, menus) run the WH_MSGFILTER hooks of their
    // thread for each message: the one place to let modeless dialogs and accelerators see
    // messages while a modal dialog runs.
    hook_ = SetWindowsHookExA(WH_MSGFILTER, &Win32Host::FilterHook, nullptr, GetCurrentThreadId());
    t_hookHost = this;
}

Win32Host::~Win32Host() {
    for (auto& frame : modeless_) {
        if (!frame->closed && frame->hwnd != nullptr) DestroyWindow(frame->hwnd);
    }
    modeless_.clear();
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    if (t_hookHost == this) t_hookHost = nullptr;
}

void Win32Host::SetTemplate(int templateId, std::vector<uint8_t> bytes) {
    // Kept in DWORDs: a DLGTEMPLATE must be DWORD-aligned.
    std::vector<uint32_t> words((bytes.size() + 3) / 4, 0);
    if (!bytes.empty()) std::memcpy(words.data(), bytes.data(), bytes.size());
    templates_[templateId] = std::move(words);
}

const DLGTEMPLATE* Win32Host::InMemoryTemplate(int templateId) const {
    auto it = templates_.find(templateId);
    if (it == templates_.end() || it->second.empty()) return nullptr;
    return reinterpret_cast<const DLGTEMPLATE*>(it->second.data());
}

HWND Win32Host::TopWindow() const {
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
        if ((*it)->hwnd != nullptr && !(*it)->closed) return (*it)->hwnd;
    }
    return nullptr;
}

HWND Win32Host::WindowOf(const Dialog& dialog) const {
    for (const Frame* frame : open_) {
        if (frame->dialog == &dialog && !frame->closed) return frame->hwnd;
    }
    return nullptr;
}

int Win32Host::RunModal(Dialog& dialog) {
    Frame frame;
    frame.host = this;
    frame.dialog = &dialog;
    frame.modal = true;
    const LPARAM param = reinterpret_cast<LPARAM>(&frame);
    const HWND owner = TopWindow();
    INT_PTR result;
    if (const DLGTEMPLATE* memory = InMemoryTemplate(dialog.TemplateId())) {
        result = DialogBoxIndirectParamA(instance_, memory, owner, &Win32Host::DialogProc, param);
    } else {
        result = DialogBoxParamA(instance_, MAKEINTRESOURCEA(dialog.TemplateId()), owner,
                                 &Win32Host::DialogProc, param);
    }
    // Normally WM_DESTROY has done this already.
    open_.erase(std::remove(open_.begin(), open_.end(), &frame), open_.end());
    if (dialog.IsOpen()) dialog.Detach();
    return static_cast<int>(result);
}

bool Win32Host::OpenModeless(Dialog& dialog) {
    DropClosedModeless();
    auto frame = std::make_unique<Frame>();
    frame->host = this;
    frame->dialog = &dialog;
    const LPARAM param = reinterpret_cast<LPARAM>(frame.get());
    const HWND owner = TopWindow();
    Frame* raw = frame.get();
    modeless_.push_back(std::move(frame));
    HWND hwnd;
    if (const DLGTEMPLATE* memory = InMemoryTemplate(dialog.TemplateId())) {
        hwnd = CreateDialogIndirectParamA(instance_, memory, owner, &Win32Host::DialogProc, param);
    } else {
        hwnd = CreateDialogParamA(instance_, MAKEINTRESOURCEA(dialog.TemplateId()), owner,
                                  &Win32Host::DialogProc, param);
    }
    if (hwnd == nullptr) {
        raw->closed = true;
        open_.erase(std::remove(open_.begin(), open_.end(), raw), open_.end());
        if (dialog.IsOpen()) dialog.Detach();
        return false;
    }
    ShowWindow(hwnd, SW_SHOW);
    // Painted now: the caller may go on working without a message loop (InitCard's Status
    // window).
    UpdateWindow(hwnd);
    return true;
}

void Win32Host::CloseModeless(Dialog& dialog) {
    // The frame itself goes later: this may run inside the dialog's own handler.
    for (auto& frame : modeless_) {
        if (frame->dialog == &dialog && !frame->closed && frame->hwnd != nullptr) {
            DestroyWindow(frame->hwnd);
        }
    }
}

void Win32Host::DropClosedModeless() {
    modeless_.erase(std::remove_if(modeless_.begin(), modeless_.end(),
                                   [](const std::unique_ptr<Frame>& f) { return f->closed; }),
                    modeless_.end());
}

namespace {

HICON WindowIcon(HWND hwnd) {
    HICON icon = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0));
    if (icon == nullptr) icon = reinterpret_cast<HICON>(GetClassLongPtrA(hwnd, GCLP_HICON));
    return icon;
}

void PaintIcon(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    if (dc == nullptr) return;
    SendMessageA(hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(hwnd, &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    if (HICON icon = WindowIcon(hwnd)) DrawIcon(dc, x, y, icon);
    EndPaint(hwnd, &paint);
}

}  // namespace

INT_PTR CALLBACK Win32Host::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        Frame* frame = reinterpret_cast<Frame*>(lParam);
        if (frame == nullptr) return FALSE;
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(frame));
        frame->hwnd = hwnd;
        try {
            frame->window =
                std::make_unique<Win32Window>(hwnd, frame->host->instance_, frame->modal);
            frame->host->open_.push_back(frame);
            frame->dialog->Attach(frame->window.get());
            return frame->dialog->OnInitDialog() ? TRUE : FALSE;
        } catch (...) {
            // Nothing may unwind through the dialog manager.
            if (frame->modal) EndDialog(hwnd, -1);
            return FALSE;
        }
    }
    Frame* frame = reinterpret_cast<Frame*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (frame == nullptr || frame->closed) return FALSE;
    try {
        return Dispatch(*frame, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

INT_PTR Win32Host::Dispatch(Frame& frame, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog& dialog = *frame.dialog;
    switch (message) {
        case WM_COMMAND:
            dialog.OnCommand(LOWORD(wParam));
            return TRUE;
        case WM_TIMER:
            dialog.OnTimer(static_cast<int>(wParam));
            return TRUE;
        case WM_SYSCOMMAND:
            // The low four bits belong to the system.
            return dialog.OnSysCommand(static_cast<int>(wParam & 0xFFF0)) ? TRUE : FALSE;
        case WM_CLOSE:
            dialog.OnClose();
            return TRUE;
        case WM_PAINT:
            // A minimised window shows its icon centred in the client area.
            if (IsIconic(frame.hwnd)) {
                PaintIcon(frame.hwnd);
                return TRUE;
            }
            break;
        case WM_QUERYDRAGICON:
            // One of the messages whose dialog-procedure result is the answer itself.
            return reinterpret_cast<INT_PTR>(WindowIcon(frame.hwnd));
        case WM_DESTROY: {
            // Later messages (WM_NCDESTROY) find no frame.
            SetWindowLongPtrA(frame.hwnd, DWLP_USER, 0);
            frame.closed = true;
            auto& open = frame.host->open_;
            open.erase(std::remove(open.begin(), open.end(), &frame), open.end());
            dialog.OnDestroy();
            dialog.Detach();
            return FALSE;
        }
        default:
            break;
    }
    if (dialog.OnMessage(message, static_cast<uintptr_t>(wParam), static_cast<intptr_t>(lParam))) {
        SetWindowLongPtrA(frame.hwnd, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK Win32Host::FilterHook(int code, WPARAM wParam, LPARAM lParam) {
    Win32Host* host = t_hookHost;
    if (code == MSGF_DIALOGBOX && host != nullptr && lParam != 0) {
        try {
            if (host->FilterMessage(*reinterpret_cast<MSG*>(lParam))) return 1;
        } catch (...) {
        }
    }
    return CallNextHookEx(host != nullptr ? host->hook_ : nullptr, code, wParam, lParam);
}

bool Win32Host::FilterMessage(MSG& message) {
    if (filter_ && filter_(message)) return true;
    // Keyboard navigation of modeless dialogs while a modal loop runs.
    for (const auto& frame : modeless_) {
        if (!frame->closed && frame->hwnd != nullptr && IsDialogMessageA(frame->hwnd, &message)) {
            return true;
        }
    }
    return false;
}

void Win32Host::BeginBusy() {
    if (busyDepth_++ > 0) return;
    const HWND window = TopWindow();
    if (window != nullptr) SetCapture(window);
    savedCursor_ = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
}

void Win32Host::EndBusy() {
    if (busyDepth_ == 0) return;
    if (--busyDepth_ > 0) return;
    ReleaseCapture();
    SetCursor(savedCursor_ != nullptr ? savedCursor_
                                      : LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));  // arrow
    savedCursor_ = nullptr;
}

namespace {

struct TitleSearch {
    const std::string* title;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<TitleSearch*>(lParam);
    const std::string text = WindowText(hwnd);
    if (text.empty()) return TRUE;  // untitled windows are skipped
    if (text != *search->title) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND FindByTitle(const std::string& title) {
    if (title.empty()) return nullptr;
    TitleSearch search{&title, nullptr};
    EnumWindows(&MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

bool Win32Host::FindTopLevelWindow(const std::string& title) {
    return FindByTitle(title) != nullptr;
}

bool Win32Host::ActivateTopLevelWindow(const std::string& title) {
    const HWND window = FindByTitle(title);
    if (window == nullptr) return false;
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
    } else {
        SetForegroundWindow(window);
    }
    return true;
}

void Win32Host::DispatchOneMouseMessage() {
    MSG message;
    // WM_MOUSEFIRST..WM_MBUTTONDBLCLK: the mouse messages of the oldest systems.
    if (PeekMessageA(&message, nullptr, WM_MOUSEFIRST, 0x0209, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string Win32Host::LoadString(int id) {
    char text[1024];
    const int n = LoadStringA(instance_, static_cast<UINT>(id), text, sizeof text);
    return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
}

std::unique_ptr<Tray> Win32Host::CreateTray(Dialog& owner, unsigned callbackMessage) {
    const HWND window = WindowOf(owner);
    if (window == nullptr) return nullptr;
    return std::make_unique<Win32Tray>(window, instance_, callbackMessage);
}

}  // namespace odr::ui::win32
