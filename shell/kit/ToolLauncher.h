// The seam through which the main window and the tools open each other. NoTools opens
// nothing (the tests' launcher).
#pragma once

#include <cstdint>
#include <string>

#include "driver/DriverTypes.h"

namespace odr::settings {
class AdapterSettings;
}

namespace odr::shell {

// The node a directed link test pings, and what it needs to move the adapter back onto the
// master when it loses it: the master's domain, channel and subchannel and the stored
// station type code.
struct LinkTestTarget {
    std::string address;             // 12 lower-case hex digits
    int radioMode = kRadioModeNone;  // the stored settings' radio mode
    uint8_t masterDomain = 0;
    uint8_t masterChannel = 0;
    uint8_t masterSubchannel = 0;
    uint8_t stationType = 0;
};

class ToolLauncher {
  public:
    virtual ~ToolLauncher() = default;
    // Each runs its tool modally and returns when it has closed.
    // The Master List takes the search mode (1 Search One at first) and hands it back.
    virtual void RunMasterList(settings::AdapterSettings& settings, int* searchMode) = 0;
    virtual void RunSiteSurvey(settings::AdapterSettings& settings) = 0;
    virtual void RunSnoop() = 0;
    virtual void RunConfiguration(settings::AdapterSettings& settings) = 0;

    // Opened from the master list on the master chosen there (and the link test from the
    // site survey too).
    // The directed link test on `target` (the opener sets the help context).
    virtual void RunLinkTest(const LinkTestTarget& /*target*/) {}
    // The site survey of the cell the adapter was just moved into: sorted by time of
    // arrival, master not yet heard, in range when the move succeeded.
    virtual void RunCellSurvey(settings::AdapterSettings& /*settings*/, bool /*inRange*/) {}
    // Opened from the site survey: the coverage map of the floor being surveyed.
    virtual void RunCoverageMap(settings::AdapterSettings& /*settings*/) {}
};

class NoTools : public ToolLauncher {
  public:
    void RunMasterList(settings::AdapterSettings&, int*) override {}
    void RunSiteSurvey(settings::AdapterSettings&) override {}
    void RunSnoop() override {}
    void RunConfiguration(settings::AdapterSettings&) override {}
};

}  // namespace odr::shell
