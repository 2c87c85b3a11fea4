// The simulated adapter's measurements: signal readings, the calibration and pings.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "driver/DriverTypes.h"
#include "driver/Measure.h"
#include "driver/RssiTable.h"
#include "sim/SimAdapter.h"

namespace odr::sim {

namespace {

constexpr double kNoiseFloor = -90.0;
constexpr double kJitterDb = 2.0;
// A parked radio catches a heard master's hop in about one reading of this many.
constexpr uint32_t kHopOneIn = 20;
// Air time at 1.6 Mbit/s: 200 bytes per millisecond.
constexpr double kBytesPerMs = 200.0;
constexpr double kLatencyJitter = 0.2;
constexpr size_t kMaxQueuedReplies = 4096;
constexpr uint32_t kMaxPingPayload = 1500;
constexpr uint32_t kPingReplySize = 18;
constexpr uint32_t kCalibrationBlockSize = 260;

const Address kBroadcast{{0xff, 0xff, 0xff, 0xff, 0xff, 0xff}};

double Percentage(double dbm) {
    return std::clamp(100.0 - (-dbm - 40.0) * 2.5, 0.0, 100.0);
}

}  // namespace

void SimAdapter::BuildRawTable() {
    // Without usable points the tools use (or keep) the default table: raw = 100 + percentage.
    const auto& points = scenario_.adapter.calibration;
    if (scenario_.adapter.calibrationKind != CalibrationKind::Points || points.empty() ||
        points.size() > size_t(kMaxCalibrationPoints)) {
        for (int p = 0; p <= 100; ++p) rawForPercent_[p] = uint8_t(100 + p);
        return;
    }
    // The tools' own table, inverted: for each percentage the nearest reading, the first of
    // equally near ones.
    uint8_t bytes[2 * kMaxCalibrationPoints];
    for (size_t i = 0; i < points.size(); ++i) {
        bytes[2 * i] = points[i].first;
        bytes[2 * i + 1] = points[i].second;
    }
    RssiTable table;
    BuildRssiTable(bytes, int(points.size()), &table);
    for (int p = 0; p <= 100; ++p) {
        int best = 0;
        for (int r = 1; r < 256; ++r) {
            if (std::abs(table.percent[r] - p) < std::abs(table.percent[best] - p)) best = r;
        }
        rawForPercent_[p] = uint8_t(best);
    }
}

uint8_t SimAdapter::RawForLevel(double dbm) const {
    return rawForPercent_[int(std::lround(Percentage(dbm)))];
}

uint8_t SimAdapter::JitteredRaw(double dbm) {
    return RawForLevel(dbm + (Uniform() * 2.0 - 1.0) * kJitterDb);
}

uint8_t SimAdapter::ReadRssi() {
    double level = kNoiseFloor + (Uniform() * 2.0 - 1.0) * kJitterDb;
    if (!parked_) {
        if (syncState_ != 0 && syncTarget_ >= 0) level = Level(scenario_.masters[syncTarget_]);
        return JitteredRaw(level);
    }
    for (const Interference& in : scenario_.interference) {
        if (parkedChannel_ >= in.firstChannel && parkedChannel_ <= in.lastChannel &&
            Chance(uint32_t(in.dutyPercent)))
            level = std::max(level, in.level + (Uniform() * 2.0 - 1.0) * kJitterDb);
    }
    for (const Station& m : scenario_.masters) {
        if (Heard(m) && rng_() % kHopOneIn == 0)
            level = std::max(level, Level(m) + (Uniform() * 2.0 - 1.0) * kJitterDb);
    }
    return RawForLevel(level);
}

int SimAdapter::ReadCalibration(uint8_t* data, uint32_t length, uint32_t* replyLength) {
    if (length < 4) return kRefused;
    const AdapterConfig& a = scenario_.adapter;
    if (a.calibrationKind == CalibrationKind::None) {
        *replyLength = 0;
        return 1;
    }
    std::memset(data + 4, 0, kCalibrationBlockSize - 4);
    if (a.calibrationKind == CalibrationKind::Invalid) {
        data[4] = 11;
        for (int i = 0; i < 11; ++i) {
            data[5 + 2 * i] = uint8_t(40 + 4 * i);
            data[6 + 2 * i] = uint8_t(200 - 10 * i);
        }
    } else {
        data[4] = uint8_t(a.calibration.size());
        for (size_t i = 0; i < a.calibration.size(); ++i) {
            data[5 + 2 * i] = a.calibration[i].first;
            data[6 + 2 * i] = a.calibration[i].second;
        }
    }
    *replyLength = kCalibrationBlockSize;
    return kOk;
}

// ---------------------------------------------------------------------------------------
// Pings

int SimAdapter::TransmitPing(bool longForm, uint8_t* data, uint32_t length) {
    const uint32_t header = longForm ? 20 : 18;
    if (length < header) return kRefused;
    const uint32_t payload = ReadU32(data + (longForm ? 16 : 14));
    if (payload > kMaxPingPayload) return kRefused;
    if (Chance(scenario_.faults.transmitBusyPercent)) return longForm ? 1 : -5;
    for (const auto& [result, percent] : scenario_.faults.transmitResults) {
        if ((result > 0) == longForm && Chance(percent)) return result;  // nothing sent
    }

    Address destination;
    std::memcpy(destination.data(), data, 6);
    const bool broadcast = destination == kBroadcast;

    // The cell: this adapter's master and the nodes of that master, or of this adapter
    // when it is the master.
    std::vector<const Station*> targets;
    std::string cell;
    if (syncState_ != 0 && syncTarget_ == kSelf) {
        cell = "self";
    } else if (syncState_ != 0 && syncTarget_ >= 0) {
        cell = scenario_.masters[syncTarget_].id;
        const Station& m = scenario_.masters[syncTarget_];
        if (Heard(m)) targets.push_back(&m);
    }
    if (!cell.empty()) {
        for (const Station& n : scenario_.nodes) {
            if (n.master == cell && Heard(n)) targets.push_back(&n);
        }
    }

    Ping ping;
    ping.sent = now_;
    ping.stuck = Chance(scenario_.faults.pollStuckPercent);
    uint32_t slowest = 0;
    for (const Station* t : targets) {
        if (!broadcast && t->address != destination) continue;
        if (!Chance(t->replyPercent)) continue;
        const double base = t->latencyMs + payload / kBytesPerMs;
        const uint32_t rtt = uint32_t(std::lround(base * (1.0 + kLatencyJitter * Uniform())));
        slowest = std::max(slowest, rtt);
        ping.answered = true;
        if (ping.stuck) continue;
        Reply reply;
        reply.arrival = longForm ? now_ : now_ + rtt;
        reply.from = t->address;
        reply.raw = JitteredRaw(Level(*t));
        reply.value = payload;
        replies_.push_back(reply);
        if (replies_.size() > kMaxQueuedReplies) replies_.pop_front();
    }
    ping.completes = now_ + slowest;

    // Time stamps on the driver's own 32-bit clock.
    WriteU32(data + 8, uint32_t(ping.sent));
    if (longForm) {
        const bool done = ping.answered && !ping.stuck;
        WriteU32(data + 12, uint32_t(done ? ping.completes : ping.sent + kPingGiveUpMs));
        return done ? kOk : 2;
    }
    const uint8_t handle = nextHandle_;
    nextHandle_ = uint8_t(nextHandle_ == 255 ? 1 : nextHandle_ + 1);
    pings_[handle] = ping;
    data[12] = handle;
    return kOk;
}

int SimAdapter::ReceivePing(uint8_t* data, uint32_t* replyLength) {
    auto best = replies_.end();
    for (auto it = replies_.begin(); it != replies_.end(); ++it) {
        if (it->arrival <= now_ && (best == replies_.end() || it->arrival < best->arrival))
            best = it;
    }
    if (best == replies_.end()) {
        *replyLength = 0;
        return 0;
    }
    std::memset(data, 0, kPingReplySize);
    std::memcpy(data, best->from.data(), 6);
    data[12] = best->raw;
    WriteU32(data + 14, best->value);
    replies_.erase(best);
    *replyLength = kPingReplySize;
    return 1;
}

int SimAdapter::PollPing(uint8_t* data, uint32_t length, uint32_t* replyLength) {
    if (length < 1) return kRefused;
    auto it = pings_.find(data[0]);
    if (it == pings_.end()) return kRefused;
    const Ping& ping = it->second;
    std::memset(data + 1, 0, 5);
    *replyLength = 6;
    if (ping.stuck) return 1;
    if (ping.answered) {
        if (now_ < ping.completes) return 1;
        WriteU32(data + 2, uint32_t(ping.completes));
        return kOk;
    }
    return now_ - ping.sent >= kPingGiveUpMs ? 2 : 1;
}

}  // namespace odr::sim
