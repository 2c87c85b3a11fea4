// Check-run texts and rules.
#include "shell/MainStatus.h"

namespace odr::shell {

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

}  // namespace

bool IsDriverVersionAccepted(const std::string& driverVersion) {
    if (StartsWith(driverVersion, "1.0B4")) return true;
    return !StartsWith(driverVersion, "1.0") && !StartsWith(driverVersion, "V1.0");
}

std::string VersionRefusalText(const std::string& driverVersion) {
    return "Incorrect Driver Version " + driverVersion +
           "\nThe Site Survey and Configuration Tool will only run with Version 1.2 or later.";
}

std::string DriverFailureParagraph(const std::string& unable, bool mentionProtocol,
                                   const std::string& protocolPrefix) {
    std::string text =
        "\n\n" + unable + ".  Verify that the driver is installed and configured properly.  ";
    if (mentionProtocol) {
        text += "Also verify that the " + protocolPrefix + "API protocol has been installed.";
    }
    return text;
}

std::string DriverVersionParagraph(const std::string& versionLabel,
                                   const std::string& driverVersion) {
    return "\n\n" + versionLabel + " " + driverVersion + " accessed successfully.";
}

std::string NodeParagraph(const std::string& nodeAddress, const std::string& romVersion,
                          uint8_t countryCode, char rssiMarker) {
    std::string text = "\n\nNode address:  " + nodeAddress + "  ROM version:  " + romVersion + "/" +
                       std::to_string(countryCode & 0x3F);
    if (rssiMarker != '\0') text += rssiMarker;
    return text;
}

std::string SynchronizedParagraph(const std::string& masterAddress, const std::string& masterName) {
    return "\n\nSynchronized to " + masterAddress + "  " + masterName;
}

}  // namespace odr::shell
