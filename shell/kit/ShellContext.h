// Everything odrcfg's windows work with: the adapter context (channel, clock, OS, the
// last adapter state), the window system, the registry of the stored settings and the
// help context. The entry point builds one; tests build their own from fakes.
#pragma once

#include <functional>

#include "driver/AdapterContext.h"
#include "driver/SecurityIdSender.h"
#include "platform/Registry.h"
#include "shell/kit/HelpFile.h"
#include "ui/Host.h"

namespace odr::shell {

// What the directed link test last ran with, for its next opening: the packet size in
// bytes and the ping type (0 Radio-Level, 1 Driver-Level).
struct LinkTestDefaults {
    int packetSize = 1500;
    int pingType = 0;
    bool tone = false;  // the alignment tone, off until asked for
};

struct ShellContext {
    ShellContext(AdapterContext& adapter, ui::Host& host, platform::Registry& registry)
        : adapter(adapter), host(host), registry(registry), securityId(adapter.channel) {}

    AdapterContext& adapter;
    ui::Host& host;
    platform::Registry& registry;

    // The window in front, for the main window's Help button.
    int helpContext = kHelpContextMain;

    // Shared by the directed link test's openers for the program's life.
    LinkTestDefaults linkTestDefaults;

    // Keyboard accelerators: the entries of the program's table that this dialog handles
    // are translated for keystrokes to its window (the Configuration dialog and the Master
    // List set it when they open). The main window clears it when a tool returns; a target
    // whose window is gone translates nothing.
    ui::Dialog* acceleratorTarget = nullptr;
    // Loads an accelerator table of the program's resources; false when it is absent.
    std::function<bool(int tableId)> loadAccelerators;

    // The security ID buffer and its sending worker; outlives every window.
    SecurityIdSender securityId;
};

}  // namespace odr::shell
