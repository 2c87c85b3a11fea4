// Adapter settings and synchronisation.
#include "driver/Operations.h"

#include <climits>
#include <cstring>

#include "driver/AdapterContext.h"
#include "driver/AdapterStatus.h"
#include "driver/Channel.h"
#include "driver/DriverCalls.h"
#include "driver/DriverTypes.h"
#include "driver/FixedText.h"
#include "driver/Measure.h"
#include "driver/Queries.h"
#include "platform/Format.h"
#include "platform/Platform.h"

namespace odr {

namespace {

constexpr size_t kNameLength = 12;
constexpr int kSyncPolls = 10000;
constexpr uint32_t kSyncWaitMs = 5000;
constexpr uint32_t kSynchSettleMs = 5000;

bool Is(const char* text, const char* word) {
    return text && std::strcmp(text, word) == 0;
}

// Up to 12 characters of `text`, NUL padded.
void CopyName(const char* text, uint8_t* name) {
    std::memset(name, 0, kNameLength);
    for (size_t i = 0; text && i < kNameLength && text[i] != '\0'; ++i) name[i] = uint8_t(text[i]);
}

int SendSearch(Channel& channel, uint32_t command, uint8_t domain, uint8_t channelNumber,
               uint8_t subchannel, const char* masterName, int adapter) {
    uint8_t request[kSearchRequestSize] = {};
    request[0] = channelNumber;
    request[1] = subchannel;
    request[2] = domain;
    CopyName(masterName, request + 3);
    return channel.CallDriver(command, 0, sizeof request, request, sizeof request, adapter);
}

// Closes the Status window on every way out of InitCard.
class StatusWindow {
  public:
    explicit StatusWindow(AdapterUi* ui) : ui_(ui) {
        if (ui_) ui_->ShowStatus(kInitCardStatusText);
    }
    ~StatusWindow() {
        if (ui_) ui_->CloseStatus();
    }
    StatusWindow(const StatusWindow&) = delete;
    StatusWindow& operator=(const StatusWindow&) = delete;

  private:
    AdapterUi* ui_;
};

void DispatchMouse(AdapterContext& context) {
    if (context.ui) context.ui->DispatchOneMouseMessage();
}

int Traced(Channel& channel, int result, const char* text) {
    if (result != kOk) channel.trace().Message(text);
    return result;
}

}  // namespace

uint8_t StationTypeCode(const char* text) {
    if (Is(text, "Station")) return kStation;
    if (Is(text, "Alternate Master")) return kAlternateMaster;
    return kMaster;
}

uint8_t MacOptimizeCode(const char* text) {
    return Is(text, "Normal") ? 0 : 1;
}

uint8_t RoamConfigCode(const char* text) {
    if (Is(text, "Slow")) return 0;
    if (Is(text, "Normal")) return 1;
    return 2;
}

int LeadingInt(const char* text) {
    if (!text) return 0;
    while (*text == ' ' || *text == '\t') ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT_MAX) value = INT_MAX;  // saturates rather than overflows
    }
    return int(negative ? -value : value);
}

int SetCardOptions(Channel& channel, int extended, const char* masterName, const char* stationType,
                   const char* channelText, const char* subchannel, const char* domain,
                   const char* macOptimize, const char* roamConfig, int peerToPeer, int /*spare*/,
                   int inactivitySecondsIndex, int inactivityMinutes, int adapter) {
    ItemList list;
    const uint8_t type = StationTypeCode(stationType);
    list.Add(ITEM_STATION_TYPE, &type);
    if (extended) {
        uint8_t name[kNameLength];
        CopyName(masterName, name);
        const uint8_t channelNumber = uint8_t(LeadingInt(channelText));
        const uint8_t sub = uint8_t(LeadingInt(subchannel));
        list.Add(ITEM_MASTER_NAME, name);
        list.Add(ITEM_CHANNEL, &channelNumber);
        list.Add(ITEM_SUBCHANNEL, &sub);
    }
    const uint8_t domainNumber = uint8_t(LeadingInt(domain));
    list.Add(ITEM_DOMAIN, &domainNumber);
    long long units = (long long)inactivitySecondsIndex + 12LL * inactivityMinutes;
    if (units < 0) units = 0;
    if (units > 0xFFFF) units = 0xFFFF;
    uint8_t inactivity[2];
    WriteU16(inactivity, uint16_t(units));
    list.Add(ITEM_INACTIVITY, inactivity);
    const uint8_t peer = peerToPeer ? 1 : 0;
    list.Add(ITEM_PEER_TO_PEER, &peer);

    int result = SetDriverData(channel, list, "SetDriverData in SetCardOptions", adapter);
    if (result != kOk) return result;
    if (extended) {
        uint8_t mac = MacOptimizeCode(macOptimize);
        result = channel.CallDriver(CMD_SET_MAC_OPTIMIZE, 0, 1, &mac, 1, adapter);
        if (result != kOk) return Traced(channel, result, "SetMACOptimize in SetCardOptions");
    }
    uint8_t roam = RoamConfigCode(roamConfig);
    result = channel.CallDriver(CMD_SET_ROAM_CONFIG, 0, 1, &roam, 1, adapter);
    return Traced(channel, result, "SetRoamConfig in SetCardOptions");
}

int SetDomain(Channel& channel, const char* domain, int adapter) {
    ItemList list;
    const uint8_t value = uint8_t(LeadingInt(domain));
    list.Add(ITEM_DOMAIN, &value);
    return SetDriverData(channel, list, "SetDriverData in SetDomain", adapter);
}

int SetStationType(Channel& channel, uint8_t code, int adapter) {
    ItemList list;
    list.Add(ITEM_STATION_TYPE, &code);
    return SetDriverData(channel, list, "SetDriverData in SetStationType", adapter);
}

int SetRoamingFlag(Channel& channel, uint8_t flag, int adapter) {
    ItemList list;
    list.Add(ITEM_ROAMING, &flag);
    return SetDriverData(channel, list, "SetDriverData in SetRoamingFlag", adapter);
}

int SetInactivity(Channel& channel, uint16_t value, int adapter) {
    ItemList list;
    uint8_t bytes[2];
    WriteU16(bytes, value);
    list.Add(ITEM_INACTIVITY, bytes);
    return SetDriverData(channel, list, "SetDriverData in SetCardOptions", adapter);
}

int ClearSyncState(Channel& channel, int adapter) {
    ItemList list;
    const uint8_t zero = 0;
    list.Add(ITEM_SYNC_STATE, &zero);
    return SetDriverData(channel, list, "Set Driver Data in ClearSyncState", adapter);
}

int ClearMasterAddr(Channel& channel, int adapter) {
    ItemList list;
    const uint8_t zeros[6] = {};
    list.Add(ITEM_SYNC_MASTER_ADDR, zeros);
    list.Add(ITEM_SYNC_STATE, zeros);
    return SetDriverData(channel, list, "Set Driver Data in Clear Master Addr", adapter);
}

int SearchAsynchronous(Channel& channel, uint8_t domain, int adapter) {
    return SendSearch(channel, CMD_SEARCH_ASYNCHRONOUS, domain, 0, 0, nullptr, adapter);
}

int SearchSynchronous(Channel& channel, uint8_t domain, uint8_t channelNumber, uint8_t subchannel,
                      const char* masterName, int adapter) {
    return SendSearch(channel, CMD_SEARCH_SYNCHRONOUS, domain, channelNumber, subchannel,
                      masterName, adapter);
}

int StopSearch(Channel& channel, int adapter) {
    return channel.CallDriver(CMD_STOP_SEARCH, 0, 0, nullptr, 0, adapter);
}

int ReattachDriver(Channel& channel, int adapter) {
    return channel.CallDriver(CMD_REATTACH_DRIVER, 0, 0, nullptr, 0, adapter);
}

int StopCard(Channel& channel, int adapter) {
    return channel.CallDriver(CMD_STOP_CARD, 0, 0, nullptr, 0, adapter);
}

int ReopenDriver(AdapterContext& context, int adapter) {
    context.channel.OpenDriver(&context.status);
    // Without a device the re-attach is not carried: -9.
    return ReattachDriver(context.channel, adapter);
}

int CloseCard(AdapterContext& context, int /*adapter*/) {
    context.status.cardInitialised = false;
    return kOk;
}

int InitCard(AdapterContext& context, uint8_t* syncState, int adapter, uint8_t longWait) {
    Channel& channel = context.channel;
    AdapterStatus& status = context.status;
    if (status.cardInitialised) CloseCard(context, adapter);
    StatusWindow statusWindow(context.ui);
    *syncState = 0;

    int result = channel.CallDriver(CMD_START_CARD, 0, 0, nullptr, 0, adapter);
    if (result != kOk) return Traced(channel, result, "StartCard in InitCard");
    status.cardInitialised = true;

    result = GetVersion(channel, status.romVersion, adapter);
    if (result != kOk) return result;
    status.romVersion[7] = '\0';

    uint8_t country = 0;
    result = GetCountryCode(channel, &country, adapter);
    if (result != kOk) {
        char text[64];
        platform::FormatText(text, sizeof text, "Error Getting Country Code %d", result);
        channel.trace().Message(text);
        return result;
    }
    status.countryCode = country;

    char rssiText[sizeof status.rssiText] = {};
    const int loaded = LoadRSSITable(context, rssiText, sizeof rssiText, adapter);
    status.rssiText[0] = '\0';
    status.rssiMarker = ' ';
    if (loaded == 0) {
        StoreFieldText(status.rssiText, FieldText(rssiText));
        status.rssiMarker = '+';
    } else if (loaded > 0) {
        context.os.Beep(kAlertBeepHz, kAlertBeepMs);
    }

    const uint32_t limitSeconds = longWait == 1 ? 10 : 5;
    const uint32_t start = context.clock.Now();
    uint8_t channelNumber = 0, subchannel = 0;
    result = GetMasterNode(channel, status.masterAddress, status.masterName, &channelNumber,
                           &subchannel, status.nodeAddress, syncState, adapter);
    if (result != kOk) return result;
    for (;;) {
        context.clock.Sleep(kAdapterPollPauseMs);
        if (*syncState != 0) break;
        if ((context.clock.Now() - start) / 1000 >= limitSeconds) break;
        result = GetMasterNode(channel, status.masterAddress, status.masterName, &channelNumber,
                               &subchannel, status.nodeAddress, syncState, adapter);
        if (result != kOk) return result;
    }
    return kOk;
}

int SynchToMaster(AdapterContext& context, uint8_t storedStationType, uint8_t domain,
                  uint8_t channelNumber, uint8_t subchannel, const char* masterName,
                  const char* expectedMaster, int adapter) {
    Channel& channel = context.channel;
    AdapterStatus& status = context.status;
    uint8_t roaming = 0;
    int result = GetRoamingFlag(channel, &roaming, adapter);
    if (result != kOk) return Traced(channel, result, "GetRoamingFlag in SynchToMaster");

    if (roaming != 1 || storedStationType != kStation) {
        result = CloseCard(context, adapter);
        if (result != kOk) return Traced(channel, result, "CloseCard in SynchToMaster");
        result = SetRoamingFlag(channel, 1, adapter);
        if (result != kOk) return Traced(channel, result, "SetRoamingFlag in SynchToMaster");
        result = SetStationType(channel, kStation, adapter);
        if (result != kOk) return Traced(channel, result, "SetStationType in SynchToMaster");
        uint8_t started = 0;
        result = InitCard(context, &started, adapter, storedStationType);
        if (result != kOk) return Traced(channel, result, "InitCard in SynchToMaster");
    }

    result = ClearSyncState(channel, adapter);
    if (result != kOk) return Traced(channel, result, "ClearSyncState in SynchToMaster");
    result = SearchSynchronous(channel, domain, channelNumber, subchannel, masterName, adapter);
    if (result != kOk) return Traced(channel, result, "SearchSynchronous in SynchToMaster");

    // The adapter needs its acquisition time: the wait is timed, and never shorter than
    // 10000 polls either.
    uint8_t state = 0;
    const uint32_t searchStart = context.clock.Now();
    for (int polls = 1;; ++polls) {
        GetSyncState(channel, &state, adapter);  // a failed poll counts as not yet
        if (state != 0) break;
        if (polls >= kSyncPolls && context.clock.Now() - searchStart >= kSyncWaitMs) break;
        DispatchMouse(context);
        context.clock.Sleep(kAdapterPollPauseMs);
    }
    if (state == 0) return kSynchNone;

    char expected[13] = {};
    StoreFieldText(expected, expectedMaster ? expectedMaster : "");
    const uint32_t start = context.clock.Now();
    for (;;) {
        DispatchMouse(context);
        uint8_t scratchChannel = 0, scratchSubchannel = 0;
        result = GetMasterNode(channel, status.masterAddress, status.masterName, &scratchChannel,
                               &scratchSubchannel, status.nodeAddress, &state, adapter);
        if (result != kOk) return Traced(channel, result, "GetMasterNode in SynchToMaster");
        if (std::strcmp(status.masterAddress, expected) != 0) state = 0;
        if (state != 0) break;
        if (context.clock.Now() - start >= kSynchSettleMs) break;
        context.clock.Sleep(kAdapterPollPauseMs);
    }
    return std::strcmp(status.masterAddress, expected) == 0 ? kOk : kSynchOtherMaster;
}

}  // namespace odr
