// The Configuration window's working values: the texts its lists show, the inactivity
// indices and the flags, filled from the stored settings record and written back to it.
#pragma once

#include <string>
#include <vector>

namespace odr::settings {
class AdapterSettings;
}

namespace odr::config {

using settings::AdapterSettings;

constexpr char kStationText[] = "Station";
constexpr char kAlternateMasterText[] = "Alternate Master";
constexpr char kMasterText[] = "Master";
constexpr char kMacNormalText[] = "Normal";
constexpr char kMacLightText[] = "Light";
constexpr char kRoamSlowText[] = "Slow";
constexpr char kRoamNormalText[] = "Normal";
constexpr char kRoamFastText[] = "Fast";

// The master name edit accepts this many characters; the adapter holds one more byte.
constexpr int kMasterNameLimit = 11;
// Inactivity seconds go in steps of this many.
constexpr int kInactivityStep = 5;

struct ConfigValues {
    std::string stationType;
    std::string masterName;
    std::string channel;
    std::string subchannel;
    std::string domain;
    std::string macOptimize;
    std::string roamConfig;
    int peerToPeer = 0;
    int inactivityMinutesIndex = -1;
    int inactivitySecondsIndex = -1;
    int masterCapable = 0;
    int pcCard = 0;
};

// The items of the window's lists.
std::vector<std::string> StationTypeItems();
std::vector<std::string> ChannelItems();  // "1" to "15", also the subchannels
std::vector<std::string> DomainItems();   // "0" to "15"
std::vector<std::string> MacOptimizeItems();
std::vector<std::string> RoamConfigItems();
std::vector<std::string> InactivitySecondsItems();  // "0" to "55" in steps of 5
std::vector<std::string> InactivityMinutesItems();  // "0" to "60"

// Item index of a station type text: "Station" 0, "Alternate Master" 1, any other 2.
int StationTypeIndex(const std::string& text);
// "Slow" 0, "Normal" 1, any other 2.
int RoamConfigIndex(const std::string& text);

// The values the opener fills in from the record.
ConfigValues ValuesFromSettings(const AdapterSettings& settings);
// The factory values of "Use Defaults"; `pcCard` is kept.
ConfigValues FactoryValues(int pcCard);

// Copies the values into the record in the window's order (the stored "Domain" is written
// at once by SaveDomain) and saves the record. A Master keeps the record's roaming
// configuration; a Station leaves master name, channel, subchannel and MAC optimisation of
// the store as they were.
void SaveValues(const ConfigValues& values, AdapterSettings& settings);

}  // namespace odr::config
