// The directed link test's slot ring and its statistics.
#include "linktest/LinkWindow.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "driver/DriverTypes.h"
#include "driver/Measure.h"

namespace odr::linktest {

namespace {

int Saturated(int64_t value) {
    return value > INT_MAX ? INT_MAX : int(value);
}

// Adds to a count that may still be kNoData.
void Count(int* field, int64_t amount) {
    *field = Saturated(int64_t(*field < 0 ? 0 : *field) + amount);
}

int PerSecond(int64_t count, int slots) {
    const double perSecond = 2.0 * double(count) / slots;  // a slot is half a second
    return perSecond >= double(INT_MAX) ? INT_MAX : RoundHalfUp(perSecond);
}

}  // namespace

int RoundHalfUp(double x) {
    return int(x + 0.5);
}

void Slot::Clear() {
    replies = signalSum = completed = bytes = sampleCount = kNoData;
}

void Slot::Start() {
    replies = completed = bytes = sampleCount = 0;
    signalSum = kNoData;
}

void Slot::AddReply(int signalPercent, uint32_t value) {
    const int signal = signalPercent < 0 ? 0 : (signalPercent > 100 ? 100 : signalPercent);
    Count(&replies, 1);
    Count(&signalSum, signal);
    Count(&bytes, value);
}

void Slot::AddCompleted(int packetSize) {
    Count(&completed, 1);
    Count(&bytes, packetSize < 0 ? 0 : packetSize);
}

bool Slot::AddSample(int latencyMs) {
    if (sampleCount < 0) sampleCount = 0;
    if (sampleCount >= kMaxSamples) return false;
    samples[sampleCount++] = latencyMs;
    return true;
}

void LinkWindow::Reset() {
    for (Slot& slot : slots_) slot.Clear();
    current_ = 0;
    slots_[0].Start();
    maximum_ = 0;
    sums_ = RunningSums();
}

void LinkWindow::Restart() {
    current_ = 0;
    slots_[0].Start();
}

void LinkWindow::Advance() {
    current_ = (current_ + 1) % kSlots;
    slots_[current_].Start();
}

bool LinkWindow::StoreLatency(int latencyMs) {
    Slot& slot = Current();
    if (slot.replies < 1) return false;
    // A full slot keeps no more samples, but a spike still raises the maximum.
    slot.AddSample(latencyMs);
    if (latencyMs > maximum_) maximum_ = latencyMs;
    return true;
}

PassFigures LinkWindow::Statistics() {
    int usedSlots = 0, byteSlots = 0;
    int64_t packets = 0, bytes = 0, signalTotal = 0, signalReplies = 0;
    int64_t latencyTotal = 0, sampleCount = 0;
    for (const Slot& slot : slots_) {
        if (slot.completed != kNoData || slot.replies != kNoData) ++usedSlots;
        if (slot.completed != kNoData) packets += slot.completed;
        if (slot.replies != kNoData) packets += slot.replies;
        if (slot.signalSum != kNoData) {
            signalTotal += slot.signalSum;
            if (slot.replies != kNoData) signalReplies += slot.replies;
        }
        if (slot.bytes != kNoData) {
            ++byteSlots;
            bytes += slot.bytes;
        }
        for (int i = 0; i < slot.sampleCount; ++i) latencyTotal += slot.samples[i];
        if (slot.sampleCount > 0) sampleCount += slot.sampleCount;
    }

    PassFigures f;
    if (usedSlots > 0) {
        f.hasPackets = true;
        f.packetsPerSecond = PerSecond(packets, usedSlots);
    }
    if (byteSlots > 0) {
        f.hasBytes = true;
        f.bytesPerSecond = PerSecond(bytes, byteSlots);
    }
    if (sampleCount > 0) {
        f.hasLatency = true;
        f.latency = RoundHalfUp(double(latencyTotal) / double(sampleCount));
        double squares = 0;
        for (const Slot& slot : slots_) {
            for (int i = 0; i < slot.sampleCount; ++i) {
                const double d = double(slot.samples[i]) - f.latency;
                squares += d * d;
            }
        }
        f.deviation = std::sqrt(squares / double(sampleCount));
    }
    if (signalReplies > 0)
        f.signalBar = SignalBar(RoundHalfUp(double(signalTotal) / double(signalReplies)));

    const int64_t passes = int64_t(sums_.passes) + 1;
    const int64_t packetSum = int64_t(sums_.packets) + f.packetsPerSecond;
    const int64_t byteSum = int64_t(sums_.bytes) + f.bytesPerSecond;
    const int64_t latencySum = int64_t(sums_.latency) + f.latency;
    if (passes > INT_MAX || packetSum > INT_MAX || byteSum > INT_MAX || latencySum > INT_MAX) {
        sums_ = {1, f.packetsPerSecond, f.bytesPerSecond, f.latency};
    } else {
        sums_ = {int(passes), int(packetSum), int(byteSum), int(latencySum)};
    }
    f.averagePackets = sums_.packets / sums_.passes;
    f.averageBytes = sums_.bytes / sums_.passes;
    f.averageLatency = sums_.latency / sums_.passes;
    return f;
}

bool DriverLevelSupported(const char* driverVersion) {
    for (const char* old : {"1.0", "V1.0", "1.1", "V1.1", "1.2", "V1.2"}) {
        if (std::strncmp(driverVersion, old, std::strlen(old)) == 0) return false;
    }
    return true;
}

const char* RadioModeText(int radioMode) {
    switch (radioMode) {
        case kRadioBfsk:
            return "BFSK";
        case kRadioQfsk:
            return "QFSK";
        case kRadioModeNone:
            return "";
        default:
            return "????";
    }
}

}  // namespace odr::linktest
