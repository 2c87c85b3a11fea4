// Window-system services that reach beyond one dialog: running dialogs, the busy
// indication, top-level window lookup, string resources.
#pragma once

#include <string>

#include "ui/Dialog.h"

namespace odr::ui {

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
};

// Notification-area icon operations; each returns success.
class Tray {
public:
    virtual ~Tray() = default;
    virtual bool Add(int id, int iconId, const std::string& tip) = 0;
    virtual bool Modify(int id, int iconId, const std::string& tip) = 0;
    virtual bool Remove(int id) = 0;
};

}  // namespace odr::ui
