// The diagnostic sink for failure texts of the adapter operations. It shows nothing to the
// user: off by default; ODR_TRACE=1 sends texts to the debugger output, ODR_TRACE=<file>
// appends them to that file.
#pragma once

#include <functional>
#include <string>

namespace odr {

namespace platform {
class Os;
}

class Trace {
  public:
    using Sink = std::function<void(const std::string&)>;
    Trace() = default;
    explicit Trace(Sink sink) : sink_(std::move(sink)) {}
    // Routes the sink by the ODR_TRACE variable.
    static Trace FromEnvironment(platform::Os& os);
    void Message(const std::string& text) const {
        if (sink_) sink_(text);
    }

  private:
    Sink sink_;
};

}  // namespace odr
