// Read-only adapter queries over the channel.
#include "driver/Queries.h"

#include <cctype>
#include <cstring>

#include "driver/Channel.h"
#include "driver/DataList.h"
#include "driver/DriverCalls.h"
#include "driver/DriverTypes.h"
#include "driver/FixedText.h"
#include "platform/Format.h"

namespace odr {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void FormatNodeAddress(const uint8_t* address, char* text) {
    platform::FormatText(text, 13, "%02x%02x%02x%02x%02x%02x", address[0], address[1], address[2],
                         address[3], address[4], address[5]);
}

bool IsNodeAddress(const char* text) {
    if (text == nullptr) return false;
    for (int i = 0; i < 12; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return text[12] == '\0';
}

bool ParseNodeAddress(const char* text, uint8_t* address) {
    if (!text) return false;
    uint8_t bytes[6];
    for (int i = 0; i < 6; ++i) {
        const int high = HexDigit(text[2 * i]);
        if (high < 0) return false;
        const int low = HexDigit(text[2 * i + 1]);
        if (low < 0) return false;
        bytes[i] = uint8_t(high * 16 + low);
    }
    std::memcpy(address, bytes, sizeof bytes);
    return true;
}

int GetVersion(Channel& channel, char* destination, int adapter) {
    return GetDriverItem(channel, ITEM_VERSION, destination, "GetDriverData in GetVersion",
                         "GetfromDataList in GetVersion GetVersion", adapter);
}

int GetMasterNode(Channel& channel, char* masterAddress, char* masterName, uint8_t* channelOut,
                  uint8_t* subchannel, char* nodeAddress, uint8_t* syncState, int adapter) {
    uint8_t list[kDataListCapacity] = {};
    uint16_t used = 0;
    AddToDataList(list, &used, ITEM_SYNC_MASTER_ADDR, nullptr);
    AddToDataList(list, &used, ITEM_NODE_ADDR, nullptr);
    AddToDataList(list, &used, ITEM_SYNC_MASTER_NAME, nullptr);
    AddToDataList(list, &used, ITEM_SYNC_CHANNEL, nullptr);
    AddToDataList(list, &used, ITEM_SYNC_SUBCHANNEL, nullptr);
    AddToDataList(list, &used, ITEM_SYNC_STATE, nullptr);
    const uint32_t length = used + 2u;

    int result = channel.CallDriver(CMD_GET_DRIVER_DATA, 0, length, list, sizeof list, adapter);
    if (result != kOk) {
        channel.trace().Message("GetDriverData in GetMasterNode");
        return result;
    }

    uint8_t master[6];
    uint8_t node[6];
    struct Step {
        uint16_t id;
        void* destination;
        const char* text;
    };
    const Step steps[] = {
        {ITEM_SYNC_MASTER_ADDR, master, "GetfromDataList in GetMasterNode Master Addr"},
        {ITEM_NODE_ADDR, node, "GetfromDataList in GetMasterNode Node Addr"},
        {ITEM_SYNC_MASTER_NAME, masterName, "GetfromDataList in GetMasterNode Master Name"},
        {ITEM_SYNC_CHANNEL, channelOut, "GetfromDataList in GetMasterNode Channel"},
        {ITEM_SYNC_SUBCHANNEL, subchannel, "GetfromDataList in GetMasterNode SubChannel"},
        {ITEM_SYNC_STATE, syncState, "GetfromDataList in GetMasterNode Sync State"},
    };
    for (const Step& step : steps) {
        result = GetfromDataList(list, length, step.id, step.destination);
        if (result != kOk) {
            channel.trace().Message(step.text);
            return result;
        }
        // Terminated at once, so a later failure leaves no unterminated name behind.
        if (step.id == ITEM_SYNC_MASTER_NAME) masterName[11] = '\0';
    }

    FormatNodeAddress(master, masterAddress);
    FormatNodeAddress(node, nodeAddress);
    return kOk;
}

MasterNode ReadMasterNode(Channel& channel, int adapter) {
    MasterNode node;
    node.result = GetMasterNode(channel, node.masterAddress, node.masterName, &node.channel,
                                &node.subchannel, node.nodeAddress, &node.syncState, adapter);
    return node;
}

std::string MasterNode::MasterAddress() const {
    return FieldText(masterAddress);
}

std::string MasterNode::MasterName() const {
    return FieldText(masterName);
}

int GetSyncState(Channel& channel, uint8_t* syncState, int adapter) {
    return GetDriverItem(channel, ITEM_SYNC_STATE, syncState, "GetDriverData in GetSyncState",
                         "GetfromDataList in GetSyncState", adapter);
}

int GetRoamingFlag(Channel& channel, uint8_t* flag, int adapter) {
    return GetDriverItem(channel, ITEM_ROAMING, flag, "GetDriverData in GetRoamingFlag",
                         "GetfromDataList in GetRoamingFlag", adapter);
}

int GetDriverVersion(Channel& channel, char* driverVersion, int adapter) {
    char reply[32] = {};
    const int result =
        channel.CallDriver(CMD_GET_DRIVER_VERSION, 0, 0, reply, sizeof reply, adapter);
    if (result == kNotCarried) return result;
    reply[sizeof reply - 1] = '\0';
    std::memcpy(driverVersion, reply, sizeof reply);
    return result;
}

int GetCountryCode(Channel& channel, uint8_t* countryCode, int adapter, uint8_t* firstChannel) {
    uint8_t reply[16] = {};
    const int result = channel.CallDriver(CMD_GET_COUNTRY_CODE, 0, 0, reply, sizeof reply, adapter);
    if (result == kOk) {
        *countryCode = reply[0];
        if (firstChannel) *firstChannel = reply[1];
    }
    return result;
}

}  // namespace odr
