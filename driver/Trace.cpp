// Routing of the trace sink by the ODR_TRACE variable.
#include "driver/Trace.h"

#include "platform/Platform.h"

namespace odr {

Trace Trace::FromEnvironment(platform::Os& os) {
    const std::string target = os.GetEnv("ODR_TRACE");
    if (target.empty() || target == "0") return Trace();
    if (target == "1") return Trace([&os](const std::string& text) { os.DebugOutput(text); });
    return Trace([&os, target](const std::string& text) { os.AppendToFile(target, text + "\n"); });
}

}  // namespace odr
