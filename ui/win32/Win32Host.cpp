// The Win32 dialog host: one dialog procedure for every dialog class.
#include "ui/win32/Win32Host.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ui/win32/Win32Controls.h"
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
    // The notification area's messages to the dialog's tray icon, once it has one.
    UINT trayMessage = 0;
    UINT trayRestart = 0;
    // The size the window was created with: a window with a sizing border gets no smaller.
    SIZE created = {};
};

Win32Host::Win32Host(HINSTANCE instance) : instance_(instance) {
    // The host is made at the start of the program: list views, trackbars and progress bars
    // need their classes before any template that holds one.
    InitCommonControlsOnce();
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
    for (auto& entry : bitmaps_) DeleteObject(entry.second);
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    if (t_hookHost == this) t_hookHost = nullptr;
}

void Win32Host::SetTemplate(int templateId, std::vector<uint8_t> bytes) {
    // Kept in DWORDs: a DLGTEMPLATE must be DWORD-aligned.
    std::vector<uint32_t> words((bytes.size() + 3) / 4, 0);
    if (!bytes.empty()) std::memcpy(words.data(), bytes.data(), bytes.size());
    templates_[templateId] = std::move(words);
}

void Win32Host::SetBitmap(const std::string& name, HBITMAP bitmap) {
    auto it = bitmaps_.find(name);
    if (it != bitmaps_.end()) DeleteObject(it->second);
    bitmaps_[name] = bitmap;
}

HBITMAP Win32Host::BitmapNamed(const std::string& name) const {
    auto it = bitmaps_.find(name);
    if (it == bitmaps_.end()) return LoadBitmapA(instance_, name.c_str());
    // The window deletes what it gets: a copy.
    return static_cast<HBITMAP>(CopyImage(it->second, IMAGE_BITMAP, 0, 0, 0));
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

Win32Host::Frame* Win32Host::FrameOf(const Dialog& dialog) const {
    for (Frame* frame : open_) {
        if (frame->dialog == &dialog) return frame;
    }
    return nullptr;
}

HWND Win32Host::WindowOf(const Dialog& dialog) const {
    const Frame* frame = FrameOf(dialog);
    return frame != nullptr && !frame->closed ? frame->hwnd : nullptr;
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

// What a WM_COMMAND notification code means for a control of this class; false for codes
// that dialogs do not see.
bool DecodeNotification(HWND control, UINT code, Notify* notify) {
    char name[32] = {};
    GetClassNameA(control, name, sizeof name);
    struct Entry {
        const char* className;
        UINT code;
        Notify notify;
    };
    static const Entry kCodes[] = {
        {"Button", BN_CLICKED, Notify::Clicked},
        {"Button", BN_DOUBLECLICKED, Notify::DoubleClicked},
        {"Button", BN_SETFOCUS, Notify::FocusGained},
        {"Button", BN_KILLFOCUS, Notify::FocusLost},
        {"ComboBox", CBN_SELCHANGE, Notify::SelectionChanged},
        {"ComboBox", CBN_DBLCLK, Notify::DoubleClicked},
        {"ComboBox", CBN_SETFOCUS, Notify::FocusGained},
        {"ComboBox", CBN_KILLFOCUS, Notify::FocusLost},
        {"ComboBox", CBN_EDITCHANGE, Notify::EditChanged},
        {"Edit", EN_CHANGE, Notify::EditChanged},
        {"Edit", EN_SETFOCUS, Notify::FocusGained},
        {"Edit", EN_KILLFOCUS, Notify::FocusLost},
        {"ListBox", LBN_SELCHANGE, Notify::SelectionChanged},
        {"ListBox", LBN_DBLCLK, Notify::DoubleClicked},
        {"ListBox", LBN_SETFOCUS, Notify::FocusGained},
        {"ListBox", LBN_KILLFOCUS, Notify::FocusLost},
        {"Static", STN_CLICKED, Notify::Clicked},
        {"Static", STN_DBLCLK, Notify::DoubleClicked},
    };
    bool known = false;
    for (const Entry& e : kCodes) {
        if (lstrcmpiA(name, e.className) != 0) continue;
        known = true;
        if (e.code == code) {
            *notify = e.notify;
            return true;
        }
    }
    // Controls of other classes: code 0 is their click.
    if (!known && code == 0) {
        *notify = Notify::Clicked;
        return true;
    }
    return false;
}

// The common notifications of WM_NOTIFY (list views).
bool DecodeNotify(UINT code, Notify* notify) {
    switch (code) {
        case NM_CLICK:
            *notify = Notify::Clicked;
            return true;
        case NM_DBLCLK:
            *notify = Notify::DoubleClicked;
            return true;
        case NM_SETFOCUS:
            *notify = Notify::FocusGained;
            return true;
        case NM_KILLFOCUS:
            *notify = Notify::FocusLost;
            return true;
        default:
            return false;
    }
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
            const Win32Host* host = frame->host;
            frame->window->SetBitmapLoader(
                [host](const std::string& name) { return host->BitmapNamed(name); });
            frame->host->open_.push_back(frame);
            RECT created = {};
            GetWindowRect(hwnd, &created);
            frame->created = {created.right - created.left, created.bottom - created.top};
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

// A message the dialog procedure answered with 0.
static INT_PTR Handled(HWND dialog) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
    return TRUE;
}

INT_PTR Win32Host::Dispatch(Frame& frame, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog& dialog = *frame.dialog;
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const UINT code = HIWORD(wParam);
            const HWND control = reinterpret_cast<HWND>(lParam);
            Notify notify;
            if (control == nullptr) {
                // No control: 1 from an accelerator, 0 from a menu or the dialog manager.
                if (code == 1) {
                    dialog.OnAccelerator(id);
                } else {
                    dialog.OnCommand(id);
                }
            } else if (DecodeNotification(control, code, &notify)) {
                dialog.OnNotify(id, notify);
            }
            return TRUE;
        }
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            Notify notify;
            if (header == nullptr || !DecodeNotify(header->code, &notify)) break;
            dialog.OnNotify(static_cast<int>(header->idFrom), notify);
            return Handled(frame.hwnd);
        }
        case WM_HSCROLL:
        case WM_VSCROLL: {
            // Scroll bar controls and trackbars; the window's own bars have no handle here.
            const HWND control = reinterpret_cast<HWND>(lParam);
            const UINT code = LOWORD(wParam);
            if (control == nullptr || code > SB_ENDSCROLL) break;
            const ScrollCode scroll = static_cast<ScrollCode>(code);
            const bool thumb = code == SB_THUMBPOSITION || code == SB_THUMBTRACK;
            dialog.OnScroll(GetDlgCtrlID(control), scroll, thumb ? HIWORD(wParam) : 0);
            return FALSE;  // default handling follows
        }
        case WM_DRAWITEM:
            if (lParam != 0 &&
                frame.window->DrawImageButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
                return TRUE;
            }
            break;
        case WM_TIMER:
            dialog.OnTimer(static_cast<int>(wParam));
            return TRUE;
        case WM_SYSCOMMAND:
            // The low four bits belong to the system.
            return dialog.OnSysCommand(static_cast<int>(wParam & 0xFFF0)) ? TRUE : FALSE;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) dialog.OnSize(LOWORD(lParam), HIWORD(lParam));
            return TRUE;
        case WM_GETMINMAXINFO:
            if (lParam != 0 && (GetWindowLongA(frame.hwnd, GWL_STYLE) & WS_THICKFRAME) != 0 &&
                frame.created.cx > 0) {
                reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {frame.created.cx,
                                                                         frame.created.cy};
                return Handled(frame.hwnd);
            }
            break;
        case WM_CLOSE:
            dialog.OnClose();
            return TRUE;
        case WM_PAINT:
            // A minimised window shows its icon centred in the client area.
            if (IsIconic(frame.hwnd)) {
                PaintIcon(frame.hwnd);
                return TRUE;
            }
            dialog.OnPaint();
            return FALSE;  // the default painting validates the window
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
        case WM_KEYDOWN:
            dialog.OnKeyDown(static_cast<int>(wParam));
            break;
        default:
            if (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) {
                // Client coordinates, signed: left of or above the window with capture.
                dialog.OnMouse(static_cast<Mouse>(message - WM_MOUSEFIRST),
                               static_cast<short>(LOWORD(lParam)),
                               static_cast<short>(HIWORD(lParam)));
            } else if (message >= WM_APP && message <= WM_APP + kMaxPostedCode) {
                if (dialog.OnPosted(message - WM_APP)) return Handled(frame.hwnd);
            } else if (frame.trayMessage != 0 && message == frame.trayMessage) {
                // wParam is the icon's id, lParam the mouse message.
                if (lParam == WM_LBUTTONDBLCLK) dialog.OnTrayEvent(TrayEvent::DoubleClick);
                if (lParam == WM_RBUTTONDOWN) dialog.OnTrayEvent(TrayEvent::RightClick);
                return Handled(frame.hwnd);
            } else if (frame.trayRestart != 0 && message == frame.trayRestart) {
                dialog.OnTrayEvent(TrayEvent::Recreated);
                return Handled(frame.hwnd);
            }
            break;
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

bool Win32Host::AskFile(Dialog& owner, const FileChoice& choice, bool save, std::string* path) {
    char file[MAX_PATH] = {};
    choice.suggested.copy(file, sizeof file - 1);
    // "KIND\0*.EXT\0All files (*.*)\0*.*\0\0"
    std::string filter = choice.kind;
    filter += '\0';
    filter += "*." + choice.extension;
    filter += '\0';
    filter += "All files (*.*)";
    filter += '\0';
    filter += "*.*";
    filter += '\0';
    OPENFILENAMEA ofn = {};
    // The structure's size as Windows 95 and NT 4 know it.
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = WindowOf(owner);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrDefExt = choice.extension.c_str();
    ofn.lpstrTitle = choice.title.c_str();
    // The current folder stays where it was: files named relative to it still resolve.
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (save) {
        ofn.Flags |= OFN_NOREADONLYRETURN | OFN_OVERWRITEPROMPT;
        if (!GetSaveFileNameA(&ofn)) return false;
    } else {
        ofn.Flags |= OFN_FILEMUSTEXIST;
        if (!GetOpenFileNameA(&ofn)) return false;
    }
    *path = file;
    return true;
}

bool Win32Host::AskOpenFile(Dialog& owner, const FileChoice& choice, std::string* path) {
    return AskFile(owner, choice, false, path);
}

bool Win32Host::AskSaveFile(Dialog& owner, const FileChoice& choice, std::string* path) {
    return AskFile(owner, choice, true, path);
}

Answer Win32Host::Ask(Dialog& owner, const std::string& caption, const std::string& text,
                      Question question) {
    UINT style = MB_OK | MB_ICONINFORMATION;
    if (question == Question::Warning) style = MB_OK | MB_ICONEXCLAMATION;
    if (question == Question::YesNo) style = MB_YESNO | MB_ICONQUESTION;
    if (question == Question::YesNoCancel) style = MB_YESNOCANCEL | MB_ICONQUESTION;
    switch (MessageBoxA(WindowOf(owner), text.c_str(), caption.c_str(), style)) {
        case IDOK:
            return Answer::Ok;
        case IDYES:
            return Answer::Yes;
        case IDNO:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

std::unique_ptr<Tray> Win32Host::CreateTray(Dialog& owner, unsigned callbackMessage) {
    Frame* frame = FrameOf(owner);
    if (frame == nullptr) return nullptr;
    auto tray = std::make_unique<Win32Tray>(frame->hwnd, instance_, callbackMessage);
    frame->trayMessage = callbackMessage;
    frame->trayRestart = tray->RestartMessage();
    return tray;
}

}  // namespace odr::ui::win32
