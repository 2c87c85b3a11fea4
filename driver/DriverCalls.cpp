// One-item GetDriverData and traced SetDriverData.
#include "driver/DriverCalls.h"

#include "driver/Channel.h"
#include "driver/DriverTypes.h"

namespace odr {

int GetDriverItem(Channel& channel, uint16_t id, void* destination, const char* callText,
                  const char* decodeText, int adapter) {
    ItemList list;
    list.Add(id, nullptr);
    int result = channel.CallDriver(CMD_GET_DRIVER_DATA, 0, list.Length(), list.bytes,
                                    sizeof list.bytes, adapter);
    if (result != kOk) {
        channel.trace().Message(callText);
        return result;
    }
    result = GetfromDataList(list.bytes, list.Length(), id, destination);
    if (result != kOk) channel.trace().Message(decodeText);
    return result;
}

int SetDriverData(Channel& channel, ItemList& list, const char* failText, int adapter) {
    const int result = channel.CallDriver(CMD_SET_DRIVER_DATA, 0, list.Length(), list.bytes,
                                          sizeof list.bytes, adapter);
    if (result != kOk) channel.trace().Message(failText);
    return result;
}

}  // namespace odr
