// Ping and signal measurement: TransmitPing in both forms, ReceivePing, signal strength on
// one frequency and the calibration table of raw signal readings.
#pragma once

#include <cstddef>
#include <cstdint>

namespace odr {

class Channel;
struct AdapterContext;
struct RssiTable;

constexpr uint32_t kPingShortSize = 1518;
constexpr uint32_t kPingLongSize = 1520;
constexpr uint32_t kPingReplySize = 1520;
constexpr uint32_t kMaxPingPayload = 1500;
constexpr uint32_t kPollPingSize = 6;
constexpr uint32_t kCalibrationSize = 260;
constexpr int kMaxCalibrationPoints = 10;

// Short-form TransmitPing results that lead to one retry: refused, the transmitter busy,
// and queued (which the windows count as sent).
constexpr int kTransmitRefused = -5;
constexpr int kTransmitBusy = -6;
constexpr int kTransmitQueued = -7;
constexpr int kPingRetryShort[] = {kTransmitRefused, kTransmitBusy, kTransmitQueued};
// The long form's and PollPing's results besides kOk: still waiting, and given up.
constexpr int kPingWaiting = 1;
constexpr int kPingGivenUp = 2;
// Long-form: results with this bit, kPingWaiting or kPingGivenUp lead to one retry.
constexpr int kPingRetryLongBit = 0x800;
// Long-form: the driver failed the waited call (the link test restarts its run).
constexpr int kPingDriverFault = 11;
// GetPing: an answer was read.
constexpr int kPingAnswer = 1;
// At most this many queued answers are drained before the retry.
constexpr int kMaxDrainedReplies = 1000;

// Sends a ping to `destination` (12 hex digits) unless the adapter is not synchronised
// (then 0 with *syncState 0 and nothing sent). Short form: command 18, *pingHandle from
// the reply. Long form (`longForm` non-zero): command 29 by the waited call, *longValue
// from the reply. A payload above 1500 bytes is sent as 1500. When the queue of answers
// does not empty within 1000 replies, the first transmit's result is returned unretried.
int SendPing(Channel& channel, const char* destination, uint32_t payloadLength, uint8_t option,
             uint8_t* syncState, uint32_t* sendTime, uint8_t* pingHandle, int adapter,
             uint8_t longForm, uint32_t* longValue);

// PollPing (command 22) for the ping `handle`: 0 completed (*completionTime filled, on the
// clock of the send time), 1 still waiting, 2 given up, negative an error.
int PollPing(Channel& channel, uint8_t handle, uint32_t* completionTime, int adapter);

// ReceivePing: 1 an answer (node text, value and signal percentage filled), 0 none waiting,
// other values errors.
int GetPing(AdapterContext& context, char* nodeAddress, uint32_t* value, uint8_t* signal,
            int adapter);

// Parks the radio on `frequency` and reads the signal there as a percentage into *reading.
int GetRSSI_freq(AdapterContext& context, uint8_t* reading, uint8_t frequency, int adapter);

// Reads the adapter's calibration into context.rssi and its points as text. 0 built from the
// calibration, -1 the calibration was unusable and the default table was built, otherwise the
// driver's status (table and text untouched).
int LoadRSSITable(AdapterContext& context, char* text, size_t textCapacity, int adapter);

// The table for `count` points of (level, raw) pairs, strongest first. Always starts at 0,
// never decreases and stays within 0..100.
void BuildRssiTable(const uint8_t* points, int count, RssiTable* table);
// 0 below raw 100, raw - 100 up to 200, 100 above.
void BuildDefaultRssiTable(RssiTable* table);

// The signal bar of an average signal percentage: rounded up to a multiple of 10, at most
// 100 (0 stays 0, 1-10 give 10, 95 gives 100).
int SignalBar(int average);

// The beep of a roam to another master and of a refused calibration: 1000 Hz for 500 ms.
constexpr unsigned kAlertBeepHz = 1000;
constexpr unsigned kAlertBeepMs = 500;

}  // namespace odr
