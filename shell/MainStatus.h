// Plain logic of the main window's check run: the driver version rule, the paragraphs of
// the status text and the inactivity value restored at exit.
#pragma once

#include <cstdint>
#include <string>

#include "settings/AdapterSettings.h"

namespace odr::shell {

// "1.0B4" passes; any other text beginning with "1.0" or "V1.0" is too old.
bool IsDriverVersionAccepted(const std::string& driverVersion);

// The Error window's text for a refused driver version.
constexpr const char kVersionErrorHeading[] = "Driver Initialization";
std::string VersionRefusalText(const std::string& driverVersion);

// Paragraphs appended to the status text, each starting with a blank line.
// `unable` is string 105; `protocolPrefix` string 106, mentioned when given (major
// version 4 or higher).
std::string DriverFailureParagraph(const std::string& unable, bool mentionProtocol,
                                   const std::string& protocolPrefix);
// `versionLabel` is string 104.
std::string DriverVersionParagraph(const std::string& versionLabel,
                                   const std::string& driverVersion);
// The country code shows its low 6 bits; a NUL marker (no card start yet) shows nothing.
std::string NodeParagraph(const std::string& nodeAddress, const std::string& romVersion,
                          uint8_t countryCode, char rssiMarker);
std::string SynchronizedParagraph(const std::string& masterAddress, const std::string& masterName);
constexpr const char kNoMasterParagraph[] =
    "\n\nCould not find a Master to synchronize with.  Verify that your Domain and Security "
    "ID match those of a Master.";

using settings::InactivityUnits;

}  // namespace odr::shell
