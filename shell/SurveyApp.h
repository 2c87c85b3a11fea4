// odrcfg's application object: one instance per desktop, found by the main window's
// title; loads accelerator table 152 and runs the main window, and the program ends
// with it.
#pragma once

#include "shell/kit/ShellContext.h"
#include "shell/kit/ToolLauncher.h"

namespace odr::shell {

constexpr const char kMainTitle[] = "Ondrel Site Survey & Configuration Tool";

class CSurveyApp {
  public:
    CSurveyApp(ShellContext& context, ToolLauncher& tools) : ctx_(context), tools_(tools) {}
    // Returns the program's exit status.
    int Run();

  private:
    ShellContext& ctx_;
    ToolLauncher& tools_;
};

}  // namespace odr::shell
