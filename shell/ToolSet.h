// The tools the main window opens, each run modally on the program's context.
#pragma once

#include "shell/ShellContext.h"
#include "shell/ToolLauncher.h"

namespace odr::shell {

class CToolSet : public ToolLauncher {
  public:
    explicit CToolSet(ShellContext& context) : ctx_(context) {}

    void RunMasterList(config::AdapterSettings& settings, int* searchMode) override;
    void RunSiteSurvey(config::AdapterSettings& settings) override;
    void RunSnoop() override;
    void RunConfiguration(config::AdapterSettings& settings) override;
    void RunLinkTest(const LinkTestTarget& target) override;
    void RunCellSurvey(config::AdapterSettings& settings, bool inRange) override;

  private:
    ShellContext& ctx_;
};

}  // namespace odr::shell
