// Read-only adapter queries: firmware version, current master and own node address,
// synchronisation state, roaming flag, driver version, country code.
#pragma once

#include <cstdint>

namespace odr {

class Channel;

// ITEM_VERSION's 7 bytes into `destination`.
int GetVersion(Channel& channel, char* destination, int adapter);

// Master address and node address as 12 hex digits + NUL (13 bytes each), master name
// into a 12-byte buffer cut to 11 characters.
int GetMasterNode(Channel& channel, char* masterAddress, char* masterName, uint8_t* channelOut,
                  uint8_t* subchannel, char* nodeAddress, uint8_t* syncState, int adapter);

int GetSyncState(Channel& channel, uint8_t* syncState, int adapter);
int GetRoamingFlag(Channel& channel, uint8_t* flag, int adapter);

// Command 2 into a 32-byte buffer; the text is always terminated.
int GetDriverVersion(Channel& channel, char* driverVersion, int adapter);

// Command 8: reply byte 0 is the country code, byte 1 the first channel (when asked for).
int GetCountryCode(Channel& channel, uint8_t* countryCode, int adapter,
                   uint8_t* firstChannel = nullptr);

// "%02x%02x%02x%02x%02x%02x" of six bytes into a 13-byte buffer.
void FormatNodeAddress(const uint8_t* address, char* text);
// Whether `text` is a node address: exactly twelve hexadecimal digits.
bool IsNodeAddress(const char* text);
// Parses twelve hex digits into six bytes; false when the text is not an address.
bool ParseNodeAddress(const char* text, uint8_t* address);

}  // namespace odr
