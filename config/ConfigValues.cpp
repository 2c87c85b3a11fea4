// Working values of the Configuration window.
#include "config/ConfigValues.h"

#include "driver/Operations.h"
#include "settings/AdapterSettings.h"

namespace odr::config {

namespace {

std::vector<std::string> Numbers(int first, int last, int step) {
    std::vector<std::string> items;
    for (int n = first; n <= last; n += step) items.push_back(std::to_string(n));
    return items;
}

}  // namespace

std::vector<std::string> StationTypeItems() {
    return {kStationText, kAlternateMasterText, kMasterText};
}
std::vector<std::string> ChannelItems() {
    return Numbers(1, 15, 1);
}
std::vector<std::string> DomainItems() {
    return Numbers(0, 15, 1);
}
std::vector<std::string> MacOptimizeItems() {
    return {kMacNormalText, kMacLightText};
}
std::vector<std::string> RoamConfigItems() {
    return {kRoamSlowText, kRoamNormalText, kRoamFastText};
}
std::vector<std::string> InactivitySecondsItems() {
    return Numbers(0, 55, kInactivityStep);
}
std::vector<std::string> InactivityMinutesItems() {
    return Numbers(0, 60, 1);
}

int StationTypeIndex(const std::string& text) {
    return StationTypeCode(text.c_str());
}

int RoamConfigIndex(const std::string& text) {
    return RoamConfigCode(text.c_str());
}

ConfigValues ValuesFromSettings(const AdapterSettings& settings) {
    ConfigValues v;
    v.stationType = settings.stationType == kAlternateMaster ? kAlternateMasterText
                    : settings.stationType == kMaster        ? kMasterText
                                                             : kStationText;
    v.masterName = settings.masterName;
    v.channel = std::to_string(settings.channel);
    v.subchannel = std::to_string(settings.subchannel);
    v.domain = std::to_string(settings.domain);
    v.macOptimize = settings.macOptimize == 0 ? kMacLightText : kMacNormalText;
    v.roamConfig = settings.roamConfig == 0   ? kRoamSlowText
                   : settings.roamConfig == 1 ? kRoamNormalText
                                              : kRoamFastText;
    v.peerToPeer = settings.peerToPeer;
    // A negative time-out part shows as "0", and that is what is kept.
    v.inactivitySecondsIndex =
        settings.inactivitySeconds < 0 ? 0 : settings.inactivitySeconds / kInactivityStep;
    v.inactivityMinutesIndex = settings.inactivityMinutes < 0 ? 0 : settings.inactivityMinutes;
    // A stored type the list does not know shows as a Station and is locked as one.
    v.masterCapable = v.stationType == kStationText ? 0 : settings.masterCapable;
    v.pcCard = settings.pcCard;
    return v;
}

ConfigValues FactoryValues(int pcCard) {
    ConfigValues v;
    v.stationType = kStationText;
    v.masterName = "MASTER";
    v.channel = "1";
    v.subchannel = "1";
    v.domain = "0";
    v.macOptimize = kMacNormalText;
    v.roamConfig = kRoamNormalText;
    v.peerToPeer = 1;
    v.inactivityMinutesIndex = 0;
    v.inactivitySecondsIndex = pcCard ? 6 : 0;  // 30 seconds on a PC card
    v.masterCapable = 0;
    v.pcCard = pcCard;
    return v;
}

void SaveValues(const ConfigValues& v, AdapterSettings& settings) {
    settings.masterCapable = v.masterCapable;
    settings.stationType = StationTypeCode(v.stationType.c_str());
    settings.SetMasterName(v.masterName);
    if (v.masterCapable) {
        settings.channel = LeadingInt(v.channel.c_str());
        settings.subchannel = LeadingInt(v.subchannel.c_str());
        settings.macOptimize = v.macOptimize == kMacLightText ? 0 : 1;
    }
    settings.SaveDomain(LeadingInt(v.domain.c_str()));
    if (settings.stationType != kMaster) settings.roamConfig = RoamConfigCode(v.roamConfig.c_str());
    settings.inactivitySeconds = v.inactivitySecondsIndex * kInactivityStep;
    settings.inactivityMinutes = v.inactivityMinutesIndex;
    settings.peerToPeer = v.peerToPeer;
    settings.SaveSettings();
}

}  // namespace odr::config
