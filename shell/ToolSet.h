// The tools the main window opens, each run modally on the program's context.
#pragma once

#include "shell/kit/ShellContext.h"
#include "shell/kit/ToolLauncher.h"

namespace odr::shell {

class CToolSet : public ToolLauncher {
  public:
    explicit CToolSet(ShellContext& context) : ctx_(context) {}

    void RunMasterList(settings::AdapterSettings& settings, int* searchMode) override;
    void RunSiteSurvey(settings::AdapterSettings& settings) override;
    void RunSnoop() override;
    void RunConfiguration(settings::AdapterSettings& settings) override;
    void RunLinkTest(const LinkTestTarget& target) override;
    void RunCellSurvey(settings::AdapterSettings& settings, bool inRange) override;
    void RunCoverageMap(settings::AdapterSettings& settings) override;

  private:
    ShellContext& ctx_;
};

}  // namespace odr::shell
