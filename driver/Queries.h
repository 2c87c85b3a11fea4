// Read-only adapter queries: firmware version, current master and own node address,
// synchronisation state, roaming flag, driver version, country code.
#pragma once

#include <cstdint>
#include <string>

#include "driver/DriverTypes.h"

namespace odr {

class Channel;

// ITEM_VERSION's 7 bytes into `destination`.
int GetVersion(Channel& channel, char* destination, int adapter);

// Master address and node address as 12 hex digits + NUL (13 bytes each), master name
// into a 12-byte buffer cut to 11 characters.
int GetMasterNode(Channel& channel, char* masterAddress, char* masterName, uint8_t* channelOut,
                  uint8_t* subchannel, char* nodeAddress, uint8_t* syncState, int adapter);

// One GetMasterNode into a record: the windows' way of reading the current master.
struct MasterNode {
    int result = kNotCarried;  // GetMasterNode's; the fields hold what it wrote
    char masterAddress[13] = {};
    char masterName[12] = {};
    char nodeAddress[13] = {};
    uint8_t channel = 0;
    uint8_t subchannel = 0;
    uint8_t syncState = 0;

    bool Read() const { return result == kOk; }
    // Read, and the adapter has a node address (it is up).
    bool HasNode() const { return Read() && nodeAddress[0] != '\0'; }
    std::string MasterAddress() const;
    std::string MasterName() const;
};
MasterNode ReadMasterNode(Channel& channel, int adapter);

int GetSyncState(Channel& channel, uint8_t* syncState, int adapter);
int GetRoamingFlag(Channel& channel, uint8_t* flag, int adapter);

// Command 2 into a 32-byte buffer; the text is always terminated.
int GetDriverVersion(Channel& channel, char* driverVersion, int adapter);

// Command 8: reply byte 0 is the country code, byte 1 the first channel (when asked for).
int GetCountryCode(Channel& channel, uint8_t* countryCode, int adapter,
                   uint8_t* firstChannel = nullptr);

// The value of a hexadecimal digit (either case), or -1.
int HexDigit(char c);
// "%02x%02x%02x%02x%02x%02x" of six bytes into a 13-byte buffer.
void FormatNodeAddress(const uint8_t* address, char* text);
// Whether `text` is a node address: exactly twelve hexadecimal digits.
bool IsNodeAddress(const char* text);
// Parses twelve hex digits into six bytes; false when the text is not an address.
bool ParseNodeAddress(const char* text, uint8_t* address);

}  // namespace odr
