// Window-system services that reach beyond one dialog: running dialogs, the busy
// indication, top-level window lookup, string resources.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "ui/Dialog.h"

namespace odr::ui {

// A notification-area tooltip holds at most this many characters.
constexpr size_t kMaxTooltip = 63;
// Cuts `tip` to kMaxTooltip characters.
std::string FitTooltip(const std::string& tip);

class Tray;

// What a file dialog asks for: its title, the kind of file ("Bitmaps (*.bmp)") with its
// extension ("bmp", added to a name typed without one), and the name first offered.
struct FileChoice {
    std::string title;
    std::string kind;
    std::string extension;
    std::string suggested;
};

// A message box's buttons and icon, and the button the user chose.
enum class Question { Information, Warning, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

class Host {
  public:
    virtual ~Host() = default;
    // Runs `dialog` modally from its template; returns the value it ended with.
    virtual int RunModal(Dialog& dialog) = 0;
    // Creates `dialog` modeless and visible; the caller carries on. Close() destroys it.
    virtual bool OpenModeless(Dialog& dialog) = 0;
    virtual void CloseModeless(Dialog& dialog) = 0;

    // Mouse capture and wait cursor, and their end.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;

    // Top-level window with exactly this title (untitled windows skipped).
    virtual bool FindTopLevelWindow(const std::string& title) = 0;
    // Restores it when minimised, otherwise brings it to the foreground.
    virtual bool ActivateTopLevelWindow(const std::string& title) = 0;

    // Takes one pending mouse message of this thread's queue and dispatches it.
    virtual void DispatchOneMouseMessage() = 0;

    // String table entry; "" when absent.
    virtual std::string LoadString(int id) = 0;

    // The system's Open and Save As dialogs over `owner`; false when the user cancelled. A
    // chosen file must exist to be opened; a file to be saved over is confirmed first.
    virtual bool AskOpenFile(Dialog& /*owner*/, const FileChoice& /*choice*/,
                             std::string* /*path*/) {
        return false;
    }
    virtual bool AskSaveFile(Dialog& /*owner*/, const FileChoice& /*choice*/,
                             std::string* /*path*/) {
        return false;
    }

    // The system's message box over `owner`; Answer::Cancel when none can be shown.
    virtual Answer Ask(Dialog& /*owner*/, const std::string& /*caption*/,
                       const std::string& /*text*/, Question /*question*/) {
        return Answer::Cancel;
    }

    // A notification-area icon owned by `owner`'s open window; the notification area
    // reports mouse events on it as `callbackMessage`, which reach `owner` as
    // Dialog::OnTrayEvent. Null when the window system has none.
    virtual std::unique_ptr<Tray> CreateTray(Dialog& /*owner*/, unsigned /*callbackMessage*/) {
        return nullptr;
    }
};

// Notification-area icon operations; each returns success. `iconId` 0 means no image; tips
// are cut to kMaxTooltip characters.
class Tray {
  public:
    virtual ~Tray() = default;
    virtual bool Add(int id, int iconId, const std::string& tip) = 0;
    virtual bool Modify(int id, int iconId, const std::string& tip) = 0;
    virtual bool Remove(int id) = 0;
};

}  // namespace odr::ui
