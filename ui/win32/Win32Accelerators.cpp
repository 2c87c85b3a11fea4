// Accelerators of one target dialog.
#include "ui/win32/Win32Accelerators.h"

#include "ui/Dialog.h"
#include "ui/win32/Win32Host.h"

namespace odr::ui::win32 {

bool Win32Accelerators::Load(HMODULE module, int tableId) {
    entries_.clear();
    HACCEL table = LoadAcceleratorsA(module, MAKEINTRESOURCEA(tableId));
    if (table == nullptr) return false;
    const int count = CopyAcceleratorTableA(table, nullptr, 0);
    if (count > 0) {
        entries_.resize(static_cast<size_t>(count));
        CopyAcceleratorTableA(table, entries_.data(), count);
    }
    // Tables loaded from resources are the system's to free.
    return !entries_.empty();
}

bool Win32Accelerators::Translate(const Dialog& target, MSG& message) const {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    const HWND window = host_.WindowOf(target);
    if (window == nullptr) return false;
    // Keys typed into a window opened over the target are that window's.
    if (message.hwnd != window && !IsChild(window, message.hwnd)) return false;
    std::vector<ACCEL> own;
    for (const ACCEL& entry : entries_) {
        if (target.HandlesAccelerator(entry.cmd)) own.push_back(entry);
    }
    if (own.empty()) return false;
    HACCEL table = CreateAcceleratorTableA(own.data(), static_cast<int>(own.size()));
    if (table == nullptr) return false;
    const bool translated = TranslateAcceleratorA(window, table, &message) != 0;
    DestroyAcceleratorTable(table);
    return translated;
}

}  // namespace odr::ui::win32
