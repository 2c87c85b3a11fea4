// The seam through which the main window opens its tools. Each tool's issue plugs its
// dialog in here; until then NoTools opens nothing and the main window goes straight on
// to its re-check.
#pragma once

namespace odr::config {
class AdapterSettings;
}

namespace odr::shell {

class ToolLauncher {
  public:
    virtual ~ToolLauncher() = default;
    // Each runs its tool modally and returns when it has closed.
    // The Master List takes the search mode (1 Search One at first) and hands it back.
    virtual void RunMasterList(config::AdapterSettings& settings, int* searchMode) = 0;
    virtual void RunSiteSurvey(config::AdapterSettings& settings) = 0;
    virtual void RunSnoop() = 0;
    virtual void RunConfiguration(config::AdapterSettings& settings) = 0;
};

class NoTools : public ToolLauncher {
  public:
    void RunMasterList(config::AdapterSettings&, int*) override {}
    void RunSiteSurvey(config::AdapterSettings&) override {}
    void RunSnoop() override {}
    void RunConfiguration(config::AdapterSettings&) override {}
};

}  // namespace odr::shell
