// odrprobe: a console helper for the end-to-end tests. It runs under Wine in the same
// prefix as the programs under test and looks at their windows from outside, the way a
// user would see them. Test-only; never shipped.
//
//   odrprobe wait TITLE [MS]          wait for a top-level window titled TITLE (default 10000 ms)
//   odrprobe gone TITLE [MS]          wait until no window is titled TITLE
//   odrprobe count TITLE              print how many top-level windows are titled TITLE
//   odrprobe text TITLE ID            print the text of control ID
//   odrprobe enabled TITLE ID         print 1 when control ID is enabled, else 0
//   odrprobe rect TITLE ID            print control ID's client area on the screen: X Y W H
//   odrprobe visible TITLE            print 1 when the window is visible, else 0
//   odrprobe dump TITLE               print the window's controls: id, class, state, text
//   odrprobe mem TITLE                print the memory counters of the window's process
//   odrprobe click TITLE ID           click button ID
//   odrprobe answers TITLE MS         for MS ms, send the window a message every 20 ms; print
//                                     how many, the mean and the longest round trip (ms)
//   odrprobe clickat TITLE ID X Y     click with the mouse at (X, Y) of control ID's client
//                                     area, delivered to the window that holds the control
//   odrprobe select TITLE ID INDEX    select item INDEX of drop-down list ID, as a user would
//   odrprobe settext TITLE ID TEXT    replace the text of edit ID, as typing would
//   odrprobe selected TITLE ID        print the selected item's text of drop-down list ID
//   odrprobe close TITLE              send WM_CLOSE to the window
//   odrprobe post TITLE MSG WP LP     post a message to the window (e.g. a tray callback);
//                                     a MSG that is not a number is a registered message name
//   odrprobe untray TITLE ID...       delete the window's notification-area icons ID..., as a
//                                     restarting notification area forgets them
//   odrprobe listbox TITLE ID         print the lines of list box ID
//   odrprobe listview TITLE ID        print the rows of list view ID, cells joined by "|"
//   odrprobe clickrow TITLE ID ROW [double]
//                                     click (or double-click) row ROW of list view ID with
//                                     the mouse; -1 clicks below the rows
//   odrprobe tray [MS [TITLE]]        print the tooltip of every notification-area icon
//                                     (with TITLE: of the icons that the process of the
//                                     window TITLE added), waiting up to MS for one
//   odrprobe window TITLE [MS] [TIP]  show a window titled TITLE for MS (default 60000) or
//                                     until closed; with TIP it also adds a tray icon. It has
//                                     text 1001 "Probe text", button 1 "&Close", disabled
//                                     button 2 and list box 1002 with two lines
//   odrprobe idle                     sleep until killed (keeps Wine's helpers running)
//
// Exit status: 0 done, 1 not found or timed out, 2 bad usage.
#include <windows.h>
// Keep the includes in this order: commctrl.h needs windows.h.
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT kTrayCallback = WM_APP + 1;
constexpr UINT kTrayIconId = 1;

std::string TextOf(HWND hwnd) {
    char buffer[1024] = {};
    // GetWindowText does not send messages for top-level windows of another process; for
    // controls WM_GETTEXT is marshalled across processes.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG, 2000, &length)) {
        return std::string();
    }
    if (length >= sizeof(buffer)) length = sizeof(buffer) - 1;
    return std::string(buffer, length);
}

struct FindState {
    const char* title;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectByTitle(HWND hwnd, LPARAM param) {
    FindState* state = reinterpret_cast<FindState*>(param);
    char title[512] = {};
    if (GetWindowTextA(hwnd, title, sizeof(title)) > 0 && std::strcmp(title, state->title) == 0) {
        state->found.push_back(hwnd);
    }
    return TRUE;
}

std::vector<HWND> WindowsTitled(const char* title) {
    FindState state{title, {}};
    EnumWindows(CollectByTitle, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND WaitForWindow(const char* title, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<HWND> found = WindowsTitled(title);
        if (!found.empty()) return found.front();
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(50);
    }
}

HWND ControlOf(const char* title, const char* idText) {
    HWND window = WaitForWindow(title, 0);
    if (!window) {
        std::fprintf(stderr, "odrprobe: no window titled \"%s\"\n", title);
        return nullptr;
    }
    HWND control = GetDlgItem(window, std::atoi(idText));
    if (!control) std::fprintf(stderr, "odrprobe: \"%s\" has no control %s\n", title, idText);
    return control;
}

// Reading a tooltip of another process: the tool record and the text buffer must live in
// that process, because TTM_ENUMTOOLS and TTM_GETTEXT write through the pointers given.
class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, SIZE_T size) : process_(process), size_(size) {
        address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    bool ok() const { return address_ != nullptr; }
    char* at(SIZE_T offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) {
        SIZE_T done = 0;
        return offset + size <= size_ &&
               WriteProcessMemory(process_, at(offset), data, size, &done) && done == size;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) {
        SIZE_T done = 0;
        return offset + size <= size_ &&
               ReadProcessMemory(process_, at(offset), data, size, &done) && done == size;
    }

  private:
    HANDLE process_;
    SIZE_T size_;
    void* address_ = nullptr;
};

std::string Narrow(const wchar_t* text) {
    char buffer[1024] = {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof(buffer), nullptr, nullptr);
    return n > 0 ? std::string(buffer) : std::string();
}

// A process opened for remote buffers: the data of the list view and tooltip messages is not
// carried across processes by Wine.
struct OpenedProcess {
    explicit OpenedProcess(DWORD pid)
        : handle(
              OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)) {}
    // The process of `window`.
    explicit OpenedProcess(HWND window) : OpenedProcess(ProcessOf(window)) {}
    ~OpenedProcess() {
        if (handle) CloseHandle(handle);
    }
    OpenedProcess(const OpenedProcess&) = delete;
    OpenedProcess& operator=(const OpenedProcess&) = delete;
    static DWORD ProcessOf(HWND window) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        return pid;
    }
    HANDLE handle = nullptr;
};

// Rows of a list view, cells joined by "|".
bool PrintListView(HWND list) {
    OpenedProcess owner(list);
    RemoteBuffer remote(owner.handle, 4096);
    if (!remote.ok()) return false;
    DWORD_PTR rows = 0, columns = 0;
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    if (!SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &rows) ||
        !header ||
        !SendMessageTimeoutA(header, HDM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &columns)) {
        return false;
    }
    constexpr size_t kText = 1024;
    for (DWORD_PTR row = 0; row < rows; ++row) {
        std::string line;
        for (DWORD_PTR column = 0; column < columns; ++column) {
            LVITEMA item = {};
            item.iSubItem = static_cast<int>(column);
            item.pszText = remote.at(kText);
            item.cchTextMax = 256;
            char text[257] = {};
            DWORD_PTR n = 0;
            if (!remote.Write(0, &item, sizeof item) ||
                !SendMessageTimeoutA(list, LVM_GETITEMTEXTA, row,
                                     reinterpret_cast<LPARAM>(remote.at(0)), SMTO_ABORTIFHUNG, 2000,
                                     &n) ||
                !remote.Read(kText, text, 256)) {
                return false;
            }
            line += (column ? "|" : "") + std::string(text);
        }
        std::printf("%s\n", line.c_str());
    }
    return true;
}

// Clicks (or double-clicks) row `row` of a list view with the mouse, as a user would; row -1
// clicks the empty part below the rows.
bool ClickRow(HWND list, int row, bool twice) {
    RECT client = {};
    GetClientRect(list, &client);
    POINT at = {client.left + 20, client.bottom - 4};
    if (row >= 0) {
        OpenedProcess owner(list);
        RemoteBuffer remote(owner.handle, sizeof(RECT));
        RECT item = {};
        item.left = LVIR_LABEL;
        DWORD_PTR result = 0;
        if (!remote.ok() || !remote.Write(0, &item, sizeof item) ||
            !SendMessageTimeoutA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                                 reinterpret_cast<LPARAM>(remote.at(0)), SMTO_ABORTIFHUNG, 2000,
                                 &result) ||
            !result || !remote.Read(0, &item, sizeof item)) {
            return false;
        }
        at = {item.left + 10, (item.top + item.bottom) / 2};
    }
    ClientToScreen(list, &at);
    if (!SetCursorPos(at.x, at.y)) return false;
    Sleep(50);
    for (int click = 0; click < (twice ? 2 : 1); ++click) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        if (SendInput(2, input, sizeof(INPUT)) != 2) return false;
        Sleep(50);
    }
    // Time for the window to take the click before the caller looks.
    Sleep(200);
    return true;
}

struct TooltipWindows {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTooltips(HWND hwnd, LPARAM param) {
    TooltipWindows* state = reinterpret_cast<TooltipWindows*>(param);
    char className[64] = {};
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if (processId == state->processId && GetClassNameA(hwnd, className, sizeof(className)) &&
        lstrcmpiA(className, TOOLTIPS_CLASSA) == 0) {
        state->found.push_back(hwnd);
    }
    return TRUE;
}

// The head of the record Wine's X11 tray keeps for each icon, pointed to by the icon
// window's user data: list links, image, the owner window given to Shell_NotifyIcon and
// the icon window itself (which makes the guess checkable).
struct WineTrayIconHead {
    void* next;
    void* prev;
    HICON image;
    HWND owner;
    HWND window;
};

// Process of the window that added the icon shown in `iconWindow`, or 0 when unknown.
DWORD TrayIconOwnerProcess(HANDLE trayProcess, HWND iconWindow) {
    LONG_PTR record = GetWindowLongPtrA(iconWindow, GWLP_USERDATA);
    WineTrayIconHead head = {};
    SIZE_T read = 0;
    if (!record ||
        !ReadProcessMemory(trayProcess, reinterpret_cast<void*>(record), &head, sizeof(head),
                           &read) ||
        read != sizeof(head) || head.window != iconWindow) {
        return 0;
    }
    DWORD processId = 0;
    return GetWindowThreadProcessId(head.owner, &processId) ? processId : 0;
}

// The tooltips of the tray's icons live in the process that owns the tray window
// (Wine's explorer: "Shell_TrayWnd", shown as "Wine System Tray" without a desktop).
// With `ownerProcess` only the icons added by that process count.
std::vector<std::string> TrayTooltips(DWORD ownerProcess) {
    std::vector<std::string> tips;
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    if (!tray) return tips;
    TooltipWindows state{0, {}};
    GetWindowThreadProcessId(tray, &state.processId);
    EnumWindows(CollectTooltips, reinterpret_cast<LPARAM>(&state));
    if (state.found.empty()) return tips;

    OpenedProcess trayProcess(state.processId);
    HANDLE process = trayProcess.handle;
    if (!process) return tips;
    constexpr SIZE_T kTextOffset = 512;
    constexpr SIZE_T kTextChars = 1024;
    RemoteBuffer remote(process, kTextOffset + kTextChars * sizeof(wchar_t));
    for (HWND tooltip : state.found) {
        if (!remote.ok()) break;
        DWORD_PTR count = 0;
        SendMessageTimeoutW(tooltip, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
        for (DWORD_PTR i = 0; i < count; ++i) {
            TTTOOLINFOW info = {};
            info.cbSize = sizeof(info);
            info.lpszText = reinterpret_cast<LPWSTR>(remote.at(kTextOffset));
            const wchar_t empty = 0;
            DWORD_PTR ok = 0;
            if (!remote.Write(0, &info, sizeof(info)) ||
                !remote.Write(kTextOffset, &empty, sizeof(empty)) ||
                !SendMessageTimeoutW(tooltip, TTM_ENUMTOOLSW, i,
                                     reinterpret_cast<LPARAM>(remote.at(0)), SMTO_ABORTIFHUNG, 2000,
                                     &ok) ||
                !ok) {
                continue;
            }
            // A tool whose text is a callback or a resource leaves the buffer alone; ask
            // for the text the tooltip would show.
            TTTOOLINFOW back = {};
            remote.Read(0, &back, sizeof(back));
            if (ownerProcess && TrayIconOwnerProcess(process, back.hwnd) != ownerProcess) {
                continue;
            }
            if (back.lpszText != info.lpszText) {
                back.lpszText = info.lpszText;
                remote.Write(0, &back, sizeof(back));
                SendMessageTimeoutW(tooltip, TTM_GETTEXTW, kTextChars,
                                    reinterpret_cast<LPARAM>(remote.at(0)), SMTO_ABORTIFHUNG, 2000,
                                    &ok);
            }
            wchar_t text[kTextChars] = {};
            if (!remote.Read(kTextOffset, text, sizeof(text))) continue;
            text[kTextChars - 1] = 0;
            if (text[0]) tips.push_back(Narrow(text));
        }
    }
    return tips;
}

// Controls of the dummy window, so the probe can be checked on a window of its own.
constexpr int kDummyText = 1001;
constexpr int kDummyList = 1002;
constexpr int kDummyDisabled = 2;

void AddDummyControls(HWND hwnd) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto child = [&](const char* cls, const char* text, DWORD style, int id, int x, int y, int w,
                     int h) {
        return CreateWindowA(cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    child("STATIC", "Probe text", 0, kDummyText, 8, 8, 150, 20);
    child("BUTTON", "&Close", BS_PUSHBUTTON, IDOK, 8, 36, 70, 24);
    HWND disabled = child("BUTTON", "Disabled", BS_PUSHBUTTON, kDummyDisabled, 84, 36, 70, 24);
    EnableWindow(disabled, FALSE);
    HWND list = child("LISTBOX", "", WS_BORDER | WS_VSCROLL, kDummyList, 170, 8, 130, 60);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first line"));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("second line"));
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    char className[64] = {};
    GetClassNameA(child, className, sizeof(className));
    std::string text = TextOf(child);
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    std::printf("%5d %-10s %s%s \"%s\"\n", GetDlgCtrlID(child), className,
                IsWindowVisible(child) ? "visible" : "hidden",
                IsWindowEnabled(child) ? "" : " disabled", text.c_str());
    return TRUE;
}

LRESULT CALLBACK DummyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            AddDummyControls(hwnd);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) DestroyWindow(hwnd);
            return 0;
        case WM_TIMER:
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

int ShowWindowFor(const char* title, DWORD ms, const char* tip) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DummyProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "OdrProbeWindow";
    if (!RegisterClassA(&windowClass)) return 1;
    HWND hwnd = CreateWindowA("OdrProbeWindow", title, WS_OVERLAPPEDWINDOW, 40, 40, 320, 110,
                              nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    SetTimer(hwnd, 1, ms, nullptr);

    NOTIFYICONDATAA icon = {};
    bool trayAdded = false;
    if (tip) {
        icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
        icon.hWnd = hwnd;
        icon.uID = kTrayIconId;
        icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
        icon.uCallbackMessage = kTrayCallback;
        icon.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
        lstrcpynA(icon.szTip, tip, sizeof(icon.szTip));
        trayAdded = Shell_NotifyIconA(NIM_ADD, &icon) != FALSE;
        if (!trayAdded) std::fprintf(stderr, "odrprobe: Shell_NotifyIcon failed\n");
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (trayAdded) Shell_NotifyIconA(NIM_DELETE, &icon);
    return (tip && !trayAdded) ? 1 : 0;
}

DWORD ArgMs(int argc, char** argv, int index, DWORD fallback) {
    return argc > index ? static_cast<DWORD>(std::strtoul(argv[index], nullptr, 10)) : fallback;
}

int Usage() {
    std::fputs(
        "usage: odrprobe wait|gone TITLE [MS] | count TITLE | text|enabled|rect|click|listbox "
        "TITLE ID "
        "|\n"
        "       visible|close|dump|mem TITLE | post TITLE MSG WPARAM LPARAM | tray [MS [TITLE]] |\n"
        "       window TITLE [MS] [TIP] | idle\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    const char* title = argc > 2 ? argv[2] : nullptr;

    if (command == "idle") {
        // A first window starts Wine's explorer (desktop and tray) now, so that it inherits
        // this process's output rather than a test's, which CTest would wait on.
        CreateWindowA("STATIC", "odrprobe idle", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                      GetModuleHandleA(nullptr), nullptr);
        for (;;) Sleep(INFINITE);
    }
    if (command == "tray") {
        DWORD timeout = ArgMs(argc, argv, 2, 0);
        DWORD start = GetTickCount();
        for (;;) {
            DWORD owner = 0;
            if (argc > 3) {
                HWND window = WaitForWindow(argv[3], 0);
                if (window) GetWindowThreadProcessId(window, &owner);
            }
            std::vector<std::string> tips;
            if (argc <= 3 || owner) tips = TrayTooltips(owner);
            for (const std::string& tip : tips) std::printf("%s\n", tip.c_str());
            if (!tips.empty()) return 0;
            if (GetTickCount() - start >= timeout) return 1;
            Sleep(100);
        }
    }
    if (!title) return Usage();

    if (command == "wait") return WaitForWindow(title, ArgMs(argc, argv, 3, 10000)) ? 0 : 1;
    if (command == "gone") {
        DWORD timeout = ArgMs(argc, argv, 3, 10000);
        DWORD start = GetTickCount();
        while (!WindowsTitled(title).empty()) {
            if (GetTickCount() - start >= timeout) return 1;
            Sleep(50);
        }
        return 0;
    }
    if (command == "count") {
        std::printf("%u\n", static_cast<unsigned>(WindowsTitled(title).size()));
        return 0;
    }
    if (command == "window") {
        return ShowWindowFor(title, ArgMs(argc, argv, 3, 60000), argc > 4 ? argv[4] : nullptr);
    }
    if (command == "post") {
        HWND window = WaitForWindow(title, 0);
        if (!window || argc < 6) return window ? Usage() : 1;
        char* end = nullptr;
        UINT message = static_cast<UINT>(std::strtoul(argv[3], &end, 0));
        if (*end != '\0') message = RegisterWindowMessageA(argv[3]);
        WPARAM wParam = static_cast<WPARAM>(std::strtoul(argv[4], nullptr, 0));
        LPARAM lParam = static_cast<LPARAM>(std::strtol(argv[5], nullptr, 0));
        return PostMessageA(window, message, wParam, lParam) ? 0 : 1;
    }
    if (command == "untray") {
        HWND window = WaitForWindow(title, 0);
        if (!window || argc < 4) return window ? Usage() : 1;
        bool deleted = false;
        for (int i = 3; i < argc; ++i) {
            NOTIFYICONDATAA data = {};
            data.cbSize = NOTIFYICONDATAA_V1_SIZE;
            data.hWnd = window;
            data.uID = static_cast<UINT>(std::strtoul(argv[i], nullptr, 0));
            if (Shell_NotifyIconA(NIM_DELETE, &data)) deleted = true;
        }
        return deleted ? 0 : 1;
    }
    if (command == "mem") {
        HWND window = WaitForWindow(title, 0);
        DWORD processId = 0;
        if (!window || !GetWindowThreadProcessId(window, &processId)) return 1;
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
        if (!process) return 1;
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        BOOL ok = GetProcessMemoryInfo(process, &counters, sizeof(counters));
        CloseHandle(process);
        if (!ok) return 1;
        std::printf("private %lu KB, peak private %lu KB, peak working set %lu KB\n",
                    static_cast<unsigned long>(counters.PagefileUsage / 1024),
                    static_cast<unsigned long>(counters.PeakPagefileUsage / 1024),
                    static_cast<unsigned long>(counters.PeakWorkingSetSize / 1024));
        return 0;
    }
    if (command == "dump") {
        HWND window = WaitForWindow(title, 0);
        if (!window) return 1;
        std::printf("\"%s\" %s\n", title, IsWindowVisible(window) ? "visible" : "hidden");
        EnumChildWindows(window, PrintChild, 0);
        return 0;
    }
    if (command == "answers") {
        // For MS milliseconds, how soon the window answers a message (WM_NULL, sent every
        // 20 ms): how many were sent, the mean and the longest round trip, in ms.
        if (argc < 4) return Usage();
        HWND window = WaitForWindow(title, 0);
        if (!window) return 1;
        const DWORD span = static_cast<DWORD>(std::atoi(argv[3]));
        const DWORD start = GetTickCount();
        DWORD longest = 0, total = 0, count = 0;
        while (GetTickCount() - start < span) {
            const DWORD sent = GetTickCount();
            DWORD_PTR result = 0;
            SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            const DWORD took = GetTickCount() - sent;
            total += took;
            longest = took > longest ? took : longest;
            ++count;
            Sleep(20);
        }
        std::printf("%lu %lu %lu\n", static_cast<unsigned long>(count),
                    static_cast<unsigned long>(count ? total / count : 0),
                    static_cast<unsigned long>(longest));
        return 0;
    }
    if (command == "visible" || command == "close") {
        HWND window = WaitForWindow(title, 0);
        if (!window) {
            std::fprintf(stderr, "odrprobe: no window titled \"%s\"\n", title);
            return 1;
        }
        if (command == "visible") {
            std::printf("%d\n", IsWindowVisible(window) ? 1 : 0);
            return 0;
        }
        return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }

    if (argc < 4) return Usage();
    HWND control = ControlOf(title, argv[3]);
    if (!control) return 1;
    if (command == "text") {
        std::printf("%s\n", TextOf(control).c_str());
        return 0;
    }
    if (command == "enabled") {
        std::printf("%d\n", IsWindowEnabled(control) ? 1 : 0);
        return 0;
    }
    if (command == "rect") {
        RECT client = {};
        GetClientRect(control, &client);
        POINT origin = {0, 0};
        ClientToScreen(control, &origin);
        std::printf("%ld %ld %ld %ld\n", static_cast<long>(origin.x), static_cast<long>(origin.y),
                    static_cast<long>(client.right), static_cast<long>(client.bottom));
        return 0;
    }
    if (command == "clickat") {
        // The left button pressed and let go at (X, Y) of control ID's client area, as the
        // window under a transparent control (a frame) receives it.
        if (argc < 6) return Usage();
        const HWND parent = GetParent(control);
        POINT at = {std::atoi(argv[4]), std::atoi(argv[5])};
        MapWindowPoints(control, parent, &at, 1);
        const LPARAM where = MAKELPARAM(at.x, at.y);
        return PostMessageA(parent, WM_LBUTTONDOWN, MK_LBUTTON, where) &&
                       PostMessageA(parent, WM_LBUTTONUP, 0, where)
                   ? 0
                   : 1;
    }
    if (command == "click") {
        // A click that opens a modal window does not return until it closes: a timeout
        // still means the click was delivered.
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 500, &result) &&
            GetLastError() != ERROR_TIMEOUT) {
            return 1;
        }
        return 0;
    }
    if (command == "select" || command == "settext") {
        if (argc < 5) return Usage();
        DWORD_PTR result = 0;
        if (command == "select") {
            const WPARAM index = static_cast<WPARAM>(std::strtoul(argv[4], nullptr, 0));
            if (!SendMessageTimeoutA(control, CB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, 2000,
                                     &result) ||
                static_cast<LONG_PTR>(result) < 0) {
                return 1;
            }
            // A selection made by message is not reported; a user's would be.
            const int id = GetDlgCtrlID(control);
            return SendMessageTimeoutA(
                       GetParent(control), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(control), SMTO_ABORTIFHUNG, 2000, &result)
                       ? 0
                       : 1;
        }
        // The edit reports the change to its dialog as typing does.
        return SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]),
                                   SMTO_ABORTIFHUNG, 2000, &result)
                   ? 0
                   : 1;
    }
    if (command == "selected") {
        DWORD_PTR index = 0;
        if (!SendMessageTimeoutA(control, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &index))
            return 1;
        if (static_cast<LONG_PTR>(index) < 0) {
            std::printf("\n");
            return 0;
        }
        // The wide form, as for list boxes.
        std::vector<wchar_t> item(256, L'\0');
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(control, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()),
                            SMTO_ABORTIFHUNG, 2000, &copied);
        item.back() = L'\0';
        std::printf("%s\n", Narrow(item.data()).c_str());
        return 0;
    }
    if (command == "listview") return PrintListView(control) ? 0 : 1;
    if (command == "clickrow") {
        if (argc < 5) return Usage();
        const bool twice = argc > 5 && std::strcmp(argv[5], "double") == 0;
        return ClickRow(control, std::atoi(argv[4]), twice) ? 0 : 1;
    }
    if (command == "listbox") {
        // The wide form: Wine hands the ANSI form of LB_GETTEXT across processes as wide
        // text.
        DWORD_PTR count = 0;
        if (!SendMessageTimeoutW(control, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count) ||
            static_cast<LONG_PTR>(count) < 0) {
            return 1;
        }
        for (DWORD_PTR i = 0; i < count; ++i) {
            DWORD_PTR length = 0;
            SendMessageTimeoutW(control, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 2000, &length);
            if (static_cast<LONG_PTR>(length) < 0) continue;
            // Room to spare in case the line grows between the two calls.
            std::vector<wchar_t> line(length + 256, L'\0');
            DWORD_PTR copied = 0;
            SendMessageTimeoutW(control, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()),
                                SMTO_ABORTIFHUNG, 2000, &copied);
            line.back() = L'\0';
            std::printf("%s\n", Narrow(line.data()).c_str());
        }
        return 0;
    }
    return Usage();
}
