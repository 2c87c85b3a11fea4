// The driver's wire format: the request block, item ids and lengths, command codes,
// and the channel's result codes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace odr {

constexpr uint32_t kRequestDataSize = 2000;
constexpr uint32_t kRequestBlockSize = 2016;

// Offsets in the 2016-byte block (little-endian).
constexpr size_t kReqCommand = 0;
constexpr size_t kReqValue = 4;
constexpr size_t kReqLength = 8;
constexpr size_t kReqResult = 12;
constexpr size_t kReqData = 16;

// IOCTL_NDIS_QUERY_GLOBAL_STATS and the vendor-private object id sent as its input.
constexpr uint32_t kIoctlQueryGlobalStats = 0x00170002;
constexpr uint32_t kDriverObjectId = 0xFF000001;

// The adapter number every adapter operation takes last: there is one adapter.
constexpr int kAdapter = 0;

// The radio modes a directed ping is sent with (the stored "Radio_Mode"); none stored is
// kRadioModeNone.
constexpr int kRadioBfsk = 0;
constexpr int kRadioQfsk = 1;
constexpr int kRadioModeNone = 3;

// Channel results.
constexpr int kOk = 0;
constexpr int kNotCarried = -9;  // the request did not reach the driver
constexpr int kItemMissing = -1;

// System error codes the channel looks at.
constexpr uint32_t kErrorIoPending = 997;
constexpr uint32_t kErrorNoMoreItems = 259;

// Item ids of a DataList.
enum ItemId : uint16_t {
    ITEM_END = 0,
    ITEM_CHANNEL = 3,
    ITEM_SUBCHANNEL = 4,
    ITEM_MASTER_NAME = 5,
    ITEM_NODE_ADDR = 6,
    ITEM_INACTIVITY = 7,
    ITEM_DOMAIN = 8,
    ITEM_STATION_TYPE = 9,
    ITEM_ROAMING = 17,
    ITEM_VERSION = 18,
    ITEM_SYNC_STATE = 19,
    ITEM_SYNC_MASTER_ADDR = 20,
    ITEM_SYNC_MASTER_NAME = 21,
    ITEM_SYNC_CHANNEL = 22,
    ITEM_SYNC_SUBCHANNEL = 23,
    ITEM_PEER_TO_PEER = 24,
};

constexpr uint16_t kMaxItemId = 25;

// Fixed value length of an item id; ids above the table have length 0.
constexpr uint16_t ItemLength(uint16_t id) {
    constexpr uint8_t kLengths[kMaxItemId + 1] = {0, 2, 1, 1, 1, 12, 6, 2, 1,  1, 1, 1, 1,
                                                  4, 1, 1, 1, 1, 7,  1, 6, 12, 1, 1, 1, 0};
    return id <= kMaxItemId ? kLengths[id] : 0;
}

// Command codes (first field of the command word).
enum Command : uint32_t {
    CMD_SET_SECURITY_ID = 1,
    CMD_GET_DRIVER_VERSION = 2,
    CMD_GET_DRIVER_DATA = 3,
    CMD_SET_DRIVER_DATA = 4,
    CMD_STOP_SEARCH = 5,
    CMD_SEARCH_ASYNCHRONOUS = 6,
    CMD_SEARCH_SYNCHRONOUS = 7,
    CMD_GET_COUNTRY_CODE = 8,
    CMD_GET_RSSI = 9,
    CMD_DISABLE_HOPPING = 10,
    CMD_REATTACH_DRIVER = 11,
    CMD_STOP_CARD = 12,
    CMD_START_CARD = 13,
    CMD_READ_RSSI_CALIBRATION = 14,
    CMD_RECEIVE_PING = 17,
    CMD_TRANSMIT_PING = 18,
    CMD_SET_MAC_OPTIMIZE = 19,
    CMD_SET_ROAM_CONFIG = 20,
    CMD_POLL_PING = 22,
    CMD_TRANSMIT_PING_LONG = 29,
};

// StationType codes, on the wire and in the store.
enum StationType : uint8_t { kStation = 0, kAlternateMaster = 1, kMaster = 2 };

// Little-endian field access for byte buffers.
inline uint16_t ReadU16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t ReadU32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void WriteU16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void WriteU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace odr
