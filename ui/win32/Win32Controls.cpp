// Control views over combo boxes, list views, progress bars, trackbars and scroll bars. Only
// messages that comctl32 4.0 (Windows 95, NT 4) already knows are used.
#include "ui/win32/Win32Controls.h"

#include <commctrl.h>

namespace odr::ui::win32 {

void InitCommonControlsOnce() {
    static const bool done = [] {
        using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        // The library stays loaded for the process: its window classes live in it.
        HMODULE library = LoadLibraryA("comctl32.dll");
        auto initEx = library != nullptr ? reinterpret_cast<InitEx>(reinterpret_cast<void*>(
                                               GetProcAddress(library, "InitCommonControlsEx")))
                                         : nullptr;
        if (initEx != nullptr) {
            INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES};
            if (initEx(&init)) return true;
        }
        InitCommonControls();
        return true;
    }();
    (void)done;
}

namespace {

// Text of item `index` from a control that reports lengths and copies texts by message.
std::string ItemText(HWND hwnd, UINT lengthMessage, UINT textMessage, int index) {
    const LRESULT length = SendMessageA(hwnd, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length < 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(hwnd, textMessage, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got < 0 ? 0 : static_cast<size_t>(got));
    return text;
}

}  // namespace

// Drop-down list.

void Win32DropList::Clear() {
    SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
}

int Win32DropList::Add(const std::string& text) {
    const LRESULT index =
        SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return index < 0 ? -1 : static_cast<int>(index);
}

int Win32DropList::Count() const {
    const LRESULT n = SendMessageA(hwnd_, CB_GETCOUNT, 0, 0);
    return n < 0 ? 0 : static_cast<int>(n);
}

std::string Win32DropList::Item(int index) const {
    if (index < 0 || index >= Count()) return std::string();
    return ItemText(hwnd_, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

bool Win32DropList::Select(int index) {
    // Not every system clears the selection for an index past the end: ask for -1 then.
    const bool inside = index >= 0 && index < Count();
    const LRESULT got =
        SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(inside ? index : -1), 0);
    return inside && got != CB_ERR;
}

bool Win32DropList::SelectText(const std::string& text) {
    // CB_SELECTSTRING matches prefixes and ignores case: compare whole texts here.
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        if (Item(i) == text) return Select(i);
    }
    return false;
}

int Win32DropList::Selection() const {
    const LRESULT index = SendMessageA(hwnd_, CB_GETCURSEL, 0, 0);
    return index < 0 ? -1 : static_cast<int>(index);
}

std::string Win32DropList::SelectedText() const {
    const int index = Selection();
    return index < 0 ? std::string() : Item(index);
}

// List view.

void Win32ListView::AddColumn(const std::string& title, int width) {
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(title.c_str());
    column.iSubItem = columns_;
    if (SendMessageA(hwnd_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(columns_),
                     reinterpret_cast<LPARAM>(&column)) >= 0) {
        ++columns_;
    }
}

int Win32ListView::InsertRow(int index, const std::vector<std::string>& cells, intptr_t ref) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index < 0 ? 0 : index;
    item.pszText = const_cast<char*>(cells.empty() ? "" : cells[0].c_str());
    item.lParam = static_cast<LPARAM>(ref);
    const LRESULT row = SendMessageA(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    if (row < 0) return -1;
    for (size_t c = 1; c < cells.size(); ++c) {
        SetCell(static_cast<int>(row), static_cast<int>(c), cells[c]);
    }
    return static_cast<int>(row);
}

void Win32ListView::SetCell(int row, int column, const std::string& text) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(hwnd_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

std::string Win32ListView::Cell(int row, int column) const {
    // LVM_GETITEMTEXT tells no length: grow the buffer while the text fills it.
    for (size_t size = 128;; size *= 2) {
        std::string text(size, '\0');
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = &text[0];
        item.cchTextMax = static_cast<int>(size);
        const LRESULT got = SendMessageA(hwnd_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                         reinterpret_cast<LPARAM>(&item));
        if (got < 0) return std::string();
        if (static_cast<size_t>(got) + 1 < size || size >= 65536) {
            text.resize(static_cast<size_t>(got));
            return text;
        }
    }
}

int Win32ListView::RowCount() const {
    return static_cast<int>(SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0));
}

intptr_t Win32ListView::RowRef(int row) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(hwnd_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return static_cast<intptr_t>(item.lParam);
}

bool Win32ListView::IsSelected(int row) const {
    return (SendMessageA(hwnd_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
            LVIS_SELECTED) != 0;
}

void Win32ListView::SetSelected(int row, bool selected) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageA(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

void Win32ListView::Clear() {
    SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0);
}

// Progress bar: PBM_SETRANGE, as PBM_SETRANGE32 is newer than the first comctl32.

void Win32ProgressBar::SetRange(int low, int high) {
    SendMessageA(hwnd_, PBM_SETRANGE, 0, MAKELPARAM(low, high));
}

void Win32ProgressBar::SetPosition(int position) {
    SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int Win32ProgressBar::Position() const {
    // PBM_GETPOS is newer too: PBM_DELTAPOS by 0 answers the position and moves nothing.
    return static_cast<int>(SendMessageA(hwnd_, PBM_DELTAPOS, 0, 0));
}

// Trackbar.

void Win32Trackbar::SetRange(int low, int high) {
    SendMessageA(hwnd_, TBM_SETRANGEMIN, FALSE, low);
    SendMessageA(hwnd_, TBM_SETRANGEMAX, TRUE, high);
}

void Win32Trackbar::SetPosition(int position) {
    SendMessageA(hwnd_, TBM_SETPOS, TRUE, position);
}

int Win32Trackbar::Position() const {
    return static_cast<int>(SendMessageA(hwnd_, TBM_GETPOS, 0, 0));
}

void Win32Trackbar::ClearTicks() {
    SendMessageA(hwnd_, TBM_CLEARTICS, TRUE, 0);
}

void Win32Trackbar::AddTick(int position) {
    SendMessageA(hwnd_, TBM_SETTIC, 0, position);
}

std::vector<int> Win32Trackbar::Ticks() const {
    // TBM_GETNUMTICS counts the two ends as well; TBM_GETTIC indexes only the others.
    const LRESULT count = SendMessageA(hwnd_, TBM_GETNUMTICS, 0, 0);
    std::vector<int> ticks;
    for (LRESULT i = 0; i + 2 < count; ++i) {
        ticks.push_back(
            static_cast<int>(SendMessageA(hwnd_, TBM_GETTIC, static_cast<WPARAM>(i), 0)));
    }
    return ticks;
}

// Scroll bar control.

void Win32ScrollBar::SetRange(int low, int high) {
    SetScrollRange(hwnd_, SB_CTL, low, high, TRUE);
}

void Win32ScrollBar::SetPosition(int position) {
    SetScrollPos(hwnd_, SB_CTL, position, TRUE);
}

int Win32ScrollBar::Position() const {
    return GetScrollPos(hwnd_, SB_CTL);
}

}  // namespace odr::ui::win32
