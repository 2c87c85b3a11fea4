// The way back after a request that was not carried: the window notes it, and at its next
// tick re-opens the driver and re-attaches it before it asks anything else.
#pragma once

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverTypes.h"
#include "driver/Operations.h"

namespace odr {

class Reattach {
  public:
    explicit Reattach(bool needed = false) : needed_(needed) {}

    // A result that was not carried asks for the way back.
    void Note(int result) {
        if (result == kNotCarried) needed_ = true;
    }
    void Need() { needed_ = true; }
    void Clear() { needed_ = false; }
    bool Needed() const { return needed_; }

    // Opens the driver and re-attaches it; true, and nothing more needed, once the driver
    // opened and answered the re-attach. Nothing is sent while it does not open.
    bool Restore(AdapterContext& context) {
        if (context.channel.OpenDriver(&context.status) != kOk) return false;
        if (ReattachDriver(context.channel, kAdapter) != kOk) return false;
        needed_ = false;
        return true;
    }

    // Re-attaches a driver that is open; nothing more needed when it answered. Its result.
    int Attach(Channel& channel) {
        const int result = ReattachDriver(channel, kAdapter);
        if (result == kOk) needed_ = false;
        return result;
    }

  private:
    bool needed_;
};

}  // namespace odr
