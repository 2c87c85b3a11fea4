// The directed link test's measurement: a ring of ten half-second slots, the figures of a
// pass over the whole ring, and the running averages since the last reset.
#pragma once

#include <cstdint>

namespace odr::linktest {

constexpr int kSlots = 10;
constexpr int kMaxSamples = 50;
// A field of a slot that has never been started.
constexpr int kNoData = -1;

// Integer part of x + 0.5.
int RoundHalfUp(double x);

// What one pass (one slot) gathered. Counts saturate instead of wrapping.
struct Slot {
    int replies = kNoData;    // replies from the target
    int signalSum = kNoData;  // sum of their signal percentages; kNoData without one
    int completed = kNoData;  // pings completed while synchronised
    int bytes = kNoData;      // reply values and packet sizes
    int samples[kMaxSamples] = {};
    int sampleCount = kNoData;

    // Every field back to kNoData.
    void Clear();
    // Counting from zero, no signal yet.
    void Start();
    void AddReply(int signalPercent, uint32_t value);
    void AddCompleted(int packetSize);
    // Keeps the first kMaxSamples of a slot; false for one more.
    bool AddSample(int latencyMs);
};

// The figures of a pass; a figure whose slots held no data is not computed.
struct PassFigures {
    bool hasPackets = false;
    int packetsPerSecond = 0;
    bool hasBytes = false;
    int bytesPerSecond = 0;
    bool hasLatency = false;
    int latency = 0;
    double deviation = 0;
    int signalBar = 0;
    // The running averages, with this pass counted.
    int averagePackets = 0;
    int averageBytes = 0;
    int averageLatency = 0;
};

// The running sums since the last reset.
struct RunningSums {
    int passes = 0;
    int packets = 0;
    int bytes = 0;
    int latency = 0;
};

class LinkWindow {
  public:
    LinkWindow() { Reset(); }

    // Every slot without data, slot 0 started, no averages, maximum 0.
    void Reset();
    // Back to slot 0, started afresh; the other slots keep their data.
    void Restart();
    // On to the next slot of the ring, started afresh.
    void Advance();

    Slot& Current() { return slots_[current_]; }
    const Slot& At(int index) const { return slots_[index]; }
    int CurrentIndex() const { return current_; }

    // A latency of the current slot, counted only when the slot has a reply from the
    // target: kept among the slot's first kMaxSamples samples, and raising the maximum even
    // when the slot is full. True when it counted.
    bool StoreLatency(int latencyMs);
    int MaximumLatency() const { return maximum_; }

    // The figures over all ten slots, counted into the running sums. A sum that would pass
    // the 32-bit range restarts the averages with this pass as the only one.
    PassFigures Statistics();

    RunningSums& Sums() { return sums_; }

  private:
    Slot slots_[kSlots];
    int current_ = 0;
    int maximum_ = 0;
    RunningSums sums_;
};

// Driver versions 1.0 to 1.2 carry no Driver-Level ping.
bool DriverLevelSupported(const char* driverVersion);

// "BFSK", "QFSK" or "????"; empty for radio mode 3, which has no radio mode line.
const char* RadioModeText(int radioMode);

}  // namespace odr::linktest
