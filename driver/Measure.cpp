// Ping and signal measurement.
#include "driver/Measure.h"

#include <cstring>

#include "driver/AdapterContext.h"
#include "driver/Channel.h"
#include "driver/DriverCalls.h"
#include "driver/DriverTypes.h"
#include "driver/Queries.h"
#include "driver/RssiTable.h"
#include "platform/Format.h"

namespace odr {

namespace {

// Offsets in the two PingRequest forms and their reply.
constexpr size_t kPingOption = 6;
constexpr size_t kPingShortLength = 14;
constexpr size_t kPingLongLength = 16;
constexpr size_t kPingSendTime = 8;
constexpr size_t kPingReplyValue = 12;  // handle (short form) or the long value

// Offsets in a PingReply.
constexpr size_t kReplySignal = 12;
constexpr size_t kReplyValue = 14;

struct PingBlock {
    uint8_t bytes[kPingLongSize] = {};
};

void BuildPing(const uint8_t* address, uint32_t length, uint8_t option, bool longForm,
               PingBlock* block) {
    std::memset(block->bytes, 0, sizeof block->bytes);  // the payload is zero
    std::memcpy(block->bytes, address, 6);
    block->bytes[kPingOption] = option;
    WriteU32(block->bytes + (longForm ? kPingLongLength : kPingShortLength), length);
}

int Transmit(Channel& channel, bool longForm, PingBlock* block, int adapter) {
    if (longForm)
        return channel.CallDriverOverlapped(CMD_TRANSMIT_PING_LONG, 0, kPingLongSize, block->bytes,
                                            kPingLongSize, adapter);
    return channel.CallDriver(CMD_TRANSMIT_PING, 0, kPingShortSize, block->bytes, kPingShortSize,
                              adapter);
}

bool NeedsRetry(bool longForm, int result) {
    if (longForm)
        return (result & kPingRetryLongBit) != 0 || result == kPingWaiting ||
               result == kPingGivenUp;
    for (int code : kPingRetryShort)
        if (result == code) return true;
    return false;
}

void TakeReply(bool longForm, const PingBlock& block, uint32_t* sendTime, uint8_t* pingHandle,
               uint32_t* longValue) {
    *sendTime = ReadU32(block.bytes + kPingSendTime);
    if (longForm) {
        if (longValue) *longValue = ReadU32(block.bytes + kPingReplyValue);
    } else if (pingHandle) {
        *pingHandle = block.bytes[kPingReplyValue];
    }
}

double LevelOffset(uint8_t level) {
    return (double(level) - 40.0) * 2.5;
}

double Percentage(uint8_t level) {
    const double p = 100.0 - LevelOffset(level);
    return p < 0 ? 0 : (p > 100 ? 100 : p);
}

uint8_t Rounded(double value) {
    const int v = int(value + 0.5);
    return uint8_t(v < 0 ? 0 : (v > 100 ? 100 : v));
}

// One point: 0 at raw 0, linear to the point, then linear to 100 at raw 255.
void BuildSinglePointTable(uint8_t level, uint8_t raw, RssiTable* table) {
    const double p = Percentage(level);
    for (int r = 0; r < 256; ++r) {
        double v;
        if (r <= raw)
            v = raw == 0 ? 0 : p * r / raw;
        else
            v = p + (100.0 - p) * (r - raw) / (255.0 - raw);
        table->percent[r] = Rounded(v);
    }
    table->percent[255] = 100;
}

}  // namespace

int SendPing(Channel& channel, const char* destination, uint32_t payloadLength, uint8_t option,
             uint8_t* syncState, uint32_t* sendTime, uint8_t* pingHandle, int adapter,
             uint8_t longForm, uint32_t* longValue) {
    uint8_t address[6];
    if (!ParseNodeAddress(destination, address)) {
        channel.trace().Message("Bad destination address in SendPing");
        return kItemMissing;
    }
    const bool isLong = longForm != 0;
    const uint32_t length = payloadLength > kMaxPingPayload ? kMaxPingPayload : payloadLength;
    PingBlock block;
    BuildPing(address, length, option, isLong, &block);

    int result = GetDriverItem(channel, ITEM_SYNC_STATE, syncState, "GetDriverData in SendPing",
                               "GetfromDataList in SendPing", adapter);
    if (result != kOk) return result;
    if (*syncState == 0) return kOk;

    result = Transmit(channel, isLong, &block, adapter);
    if (!NeedsRetry(isLong, result)) {
        TakeReply(isLong, block, sendTime, pingHandle, longValue);
        return result;
    }

    // One retry once the queue of answers is drained. A driver that keeps answering is not
    // waited for: the first result stands.
    const int first = result;
    uint8_t reply[kPingReplySize];
    int drained = 0;
    do {
        result = channel.CallDriver(CMD_RECEIVE_PING, 0, 0, reply, sizeof reply, adapter);
    } while (result == kPingAnswer && ++drained < kMaxDrainedReplies);
    if (result != kOk) {
        channel.trace().Message("ReceivePing in SendPing");
        return result == kPingAnswer ? first : result;
    }
    result = GetDriverItem(channel, ITEM_SYNC_STATE, syncState,
                           "GetDriverData in SendPing's TransmitPing",
                           "GetfromDataList in SendPing's TransmitPing", adapter);
    if (result != kOk) return result;
    if (*syncState == 0) return kOk;

    // The first reply overwrote the block: the request is built afresh.
    BuildPing(address, length, option, isLong, &block);
    result = Transmit(channel, isLong, &block, adapter);
    if (result != kOk) {
        channel.trace().Message("TransmitPing 2 in SendPing");
        return result;
    }
    TakeReply(isLong, block, sendTime, pingHandle, longValue);
    return kOk;
}

int PollPing(Channel& channel, uint8_t handle, uint32_t* completionTime, int adapter) {
    uint8_t block[kPollPingSize] = {handle};
    const int result =
        channel.CallDriver(CMD_POLL_PING, 0, sizeof block, block, sizeof block, adapter);
    if (result == kOk) *completionTime = ReadU32(block + 2);
    return result;
}

int GetPing(AdapterContext& context, char* nodeAddress, uint32_t* value, uint8_t* signal,
            int adapter) {
    uint8_t reply[kPingReplySize] = {};
    const int result =
        context.channel.CallDriver(CMD_RECEIVE_PING, 0, 0, reply, sizeof reply, adapter);
    if (result != 0) FormatNodeAddress(reply, nodeAddress);
    *signal = context.rssi[reply[kReplySignal]];
    *value = ReadU32(reply + kReplyValue);
    if (result != kOk && result != kPingAnswer) context.channel.trace().Message("Error in GetPing");
    return result;
}

int GetRSSI_freq(AdapterContext& context, uint8_t* reading, uint8_t frequency, int adapter) {
    Channel& channel = context.channel;
    int result = channel.CallDriver(CMD_DISABLE_HOPPING, 0, 1, &frequency, 1, adapter);
    if (result != kOk) {
        channel.trace().Message("GetRSSI_freq calling DisableHopping");
        return result;
    }
    result = channel.CallDriver(CMD_GET_RSSI, 0, 1, reading, 1, adapter);
    if (result != kOk) {
        channel.trace().Message("GetRSSI_freq calling GetRSSI");
        return result;
    }
    *reading = context.rssi[*reading];
    return kOk;
}

void BuildDefaultRssiTable(RssiTable* table) {
    for (int r = 0; r < 256; ++r)
        table->percent[r] = uint8_t(r < 100 ? 0 : (r > 200 ? 100 : r - 100));
}

void BuildRssiTable(const uint8_t* points, int count, RssiTable* table) {
    if (count < 1 || count > kMaxCalibrationPoints) {
        BuildDefaultRssiTable(table);
        return;
    }
    auto level = [points](int i) { return points[2 * i]; };
    auto raw = [points](int i) { return int(points[2 * i + 1]); };
    if (count == 1) {
        BuildSinglePointTable(level(0), uint8_t(raw(0)), table);
        return;
    }

    // Where the table starts to rise: the line through the two weakest points, extended
    // down to 0 %, held within the raw range (not wrapped).
    const int last = count - 1;
    const double dLast = LevelOffset(level(last));
    const double dPrev = LevelOffset(level(last - 1));
    int start = 0;
    if (dLast != dPrev) {
        const double rise = double(raw(last) - raw(last - 1)) / (dLast - dPrev) * (100.0 - dLast);
        start = raw(last) + int(rise);
        if (start < 0) start = 0;
        if (start > 255) start = 255;
    }

    // Segments from the weakest point to the strongest, then to 100 at raw 255. A segment
    // that runs backwards (points out of order) or downwards adds nothing, so the table
    // never falls and stays within 0..100.
    double sum = 0, slope = 0, current = 0;
    int breakPoint = start;
    int next = last;
    for (int r = 0; r < 256; ++r) {
        if (r > breakPoint) {
            const int previousBreak = breakPoint;
            const double previousLevel = current;
            double target = 100;
            int newBreak = 255;
            if (next >= 0) {
                target = Percentage(level(next));
                newBreak = raw(next);
                --next;
            }
            slope = newBreak > previousBreak ? (target - previousLevel) / (newBreak - previousBreak)
                                             : 0;
            if (slope < 0) slope = 0;
            current = target;
            breakPoint = newBreak;
        }
        sum += slope;
        if (sum > 100) sum = 100;
        table->percent[r] = Rounded(sum);
    }
}

int LoadRSSITable(AdapterContext& context, char* text, size_t textCapacity, int adapter) {
    uint8_t block[kCalibrationSize] = {128, 0};
    WriteU16(block + 2, 21);
    const int result = context.channel.CallDriver(CMD_READ_RSSI_CALIBRATION, 0, sizeof block, block,
                                                  sizeof block, adapter);
    if (result != kOk) return result;

    if (textCapacity > 0) text[0] = '\0';
    const int count = block[4];
    if (count == 0 || count > kMaxCalibrationPoints) {
        BuildDefaultRssiTable(&context.rssi);
        return -1;
    }
    BuildRssiTable(block + 5, count, &context.rssi);

    size_t used = 0;
    for (int i = 0; i < count && textCapacity > 0; ++i) {
        const int n = platform::FormatText(text + used, textCapacity - used, "<-%ddBm:%d> ",
                                           block[5 + 2 * i], block[6 + 2 * i]);
        if (n < 0) break;  // cut to fit: the table text ends there
        used += size_t(n);
    }
    return kOk;
}

int SignalBar(int average) {
    if (average <= 0) {
        return 0;
    }
    const int bar = 10 * static_cast<int>(0.99 + 0.1 * average);
    return bar > 100 ? 100 : bar;
}

}  // namespace odr
