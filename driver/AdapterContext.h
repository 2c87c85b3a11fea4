// What the longer adapter operations need beyond the channel: the clock for their waits, the
// beep, the process-wide adapter records and the window services of the calling program.
#pragma once

#include <string>

namespace odr {

class Channel;
struct AdapterStatus;
struct RssiTable;

namespace platform {
class Clock;
class Os;
}  // namespace platform

// Implemented by the program that runs the operations (the shell).
class AdapterUi {
  public:
    virtual ~AdapterUi() = default;
    // The modeless Status window with `text`, and its end.
    virtual void ShowStatus(const std::string& text) = 0;
    virtual void CloseStatus() = 0;
    // Takes one pending mouse message of the thread's queue and dispatches it.
    virtual void DispatchOneMouseMessage() = 0;
};

struct AdapterContext {
    Channel& channel;
    platform::Clock& clock;
    platform::Os& os;
    AdapterStatus& status;
    RssiTable& rssi;
    AdapterUi* ui = nullptr;  // none: no Status window, no message dispatch
};

}  // namespace odr
