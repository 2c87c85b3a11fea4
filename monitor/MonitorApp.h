// odrstat's application object: one instance per desktop, found by its window title; it
// runs the information window, and the program ends with it.
#pragma once

#include "monitor/MonitorContext.h"

namespace odr::monitor {

class CMonitorApp {
  public:
    explicit CMonitorApp(MonitorContext& context) : ctx_(context) {}
    // Returns the program's exit status.
    int Run();

  private:
    MonitorContext& ctx_;
};

}  // namespace odr::monitor
