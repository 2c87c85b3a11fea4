// Adapter settings and synchronisation: station options, domain, station type, roaming,
// clearing the synchronisation, searches, card start (InitCard) and SynchToMaster.
// Every operation returns 0 or the failing step's status and traces its failure text.
#pragma once

#include <cstdint>

namespace odr {

class Channel;
struct AdapterContext;

constexpr uint32_t kSearchRequestSize = 15;
// The pause between two polls of a waiting operation.
constexpr uint32_t kAdapterPollPauseMs = 1;
constexpr const char* kInitCardStatusText = "Please wait while the driver is being re-initialized.";

// "Station" 0, "Alternate Master" 1, anything else 2.
uint8_t StationTypeCode(const char* text);
// "Normal" 0, anything else 1.
uint8_t MacOptimizeCode(const char* text);
// "Slow" 0, "Normal" 1, anything else 2.
uint8_t RoamConfigCode(const char* text);
// The leading decimal digits of `text` after an optional sign; 0 without digits.
int LeadingInt(const char* text);

// Station type, [master name, channel, subchannel when `extended`], domain, inactivity and
// peer-to-peer in one SetDriverData; then SetMACOptimize (when `extended`) and SetRoamConfig.
int SetCardOptions(Channel& channel, int extended, const char* masterName, const char* stationType,
                   const char* channelText, const char* subchannel, const char* domain,
                   const char* macOptimize, const char* roamConfig, int peerToPeer, int spare,
                   int inactivitySecondsIndex, int inactivityMinutes, int adapter);

int SetDomain(Channel& channel, const char* domain, int adapter);
int SetStationType(Channel& channel, uint8_t code, int adapter);
// 0 roaming enabled, 1 roaming disabled.
int SetRoamingFlag(Channel& channel, uint8_t flag, int adapter);
// In units of 5 seconds.
int SetInactivity(Channel& channel, uint16_t value, int adapter);
int ClearSyncState(Channel& channel, int adapter);
int ClearMasterAddr(Channel& channel, int adapter);

// Commands 6 and 7 with a 15-byte SearchRequest; `masterName` is 12 bytes (NUL padded).
int SearchAsynchronous(Channel& channel, uint8_t domain, int adapter);
int SearchSynchronous(Channel& channel, uint8_t domain, uint8_t channelNumber, uint8_t subchannel,
                      const char* masterName, int adapter);

// The bare commands: StopSearch (5), ReattachDriver (11), StopCard (12).
int StopSearch(Channel& channel, int adapter);
// StopSearch's results 0, 1 and 2 say the search was stopped; another asks for a second one.
inline bool SearchStopped(int stopSearchResult) {
    return stopSearchResult >= 0 && stopSearchResult <= 2;
}
int ReattachDriver(Channel& channel, int adapter);
int StopCard(Channel& channel, int adapter);

// After a request that was not carried: re-opens the channel (clearing the card-initialised
// flag) and re-attaches the driver. ReattachDriver's result; -9 when the device did not open.
int ReopenDriver(AdapterContext& context, int adapter);

// Clears the card-initialised flag; sends nothing.
int CloseCard(AdapterContext& context, int adapter);

// Starts the card, reads its version, country code and calibration into the status record
// and waits up to 5 s (10 s with `longWait` 1) for a master, polling every millisecond.
// 0 with *syncState 0 when none was found.
int InitCard(AdapterContext& context, uint8_t* syncState, int adapter, uint8_t longWait);

// SynchToMaster's results besides kOk.
constexpr int kSynchOtherMaster = -1;
constexpr int kSynchNone = -2;

// Moves the adapter onto the master named by `expectedMaster` (12 hex digits). kOk when
// synchronised to it, kSynchOtherMaster to another master, kSynchNone not synchronised
// (after at least 5 s and 10000 polls), else a failing status.
int SynchToMaster(AdapterContext& context, uint8_t storedStationType, uint8_t domain,
                  uint8_t channelNumber, uint8_t subchannel, const char* masterName,
                  const char* expectedMaster, int adapter);

}  // namespace odr
