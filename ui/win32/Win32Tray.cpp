// Notification-area icon over Shell_NotifyIconA.
#include "ui/win32/Win32Tray.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

namespace odr::ui::win32 {

Win32Tray::Win32Tray(HWND owner, HINSTANCE instance, UINT callbackMessage)
    : owner_(owner),
      instance_(instance),
      callbackMessage_(callbackMessage),
      // Explorer broadcasts this registered message to every top-level window when it
      // (re)starts and has forgotten all icons.
      restartMessage_(RegisterWindowMessageA("TaskbarCreated")) {}

bool Win32Tray::Add(int id, int iconId, const std::string& tip) {
    return Notify(NIM_ADD, id, iconId, tip);
}

bool Win32Tray::Modify(int id, int iconId, const std::string& tip) {
    return Notify(NIM_MODIFY, id, iconId, tip);
}

bool Win32Tray::Remove(int id) {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner_;
    data.uID = static_cast<UINT>(id);
    return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

bool Win32Tray::Notify(DWORD operation, int id, int iconId, const std::string& tip) {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    // The first layout: every shell takes it, and its tip holds 63 characters.
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner_;
    data.uID = static_cast<UINT>(id);
    data.uFlags = NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = callbackMessage_;

    HICON icon = nullptr;
    if (iconId != 0) {
        icon = reinterpret_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), 0));
        if (icon != nullptr) {
            data.uFlags |= NIF_ICON;
            data.hIcon = icon;
        }
    }
    const std::string cut = FitTooltip(tip);
    const size_t n = std::min(cut.size(), std::min(kMaxTooltip, sizeof data.szTip - 1));
    std::memcpy(data.szTip, cut.data(), n);
    data.szTip[n] = '\0';

    const bool ok = Shell_NotifyIconA(operation, &data) != FALSE;
    if (icon != nullptr) DestroyIcon(icon);  // the shell keeps its own copy
    return ok;
}

}  // namespace odr::ui::win32
