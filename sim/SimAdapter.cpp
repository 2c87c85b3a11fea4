// The simulated adapter's command dispatch and radio world.
#include "sim/SimAdapter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "driver/DriverTypes.h"
#include "driver/Measure.h"
#include "driver/RssiTable.h"

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
// The world is stepped at least this finely between two requests, in at most kMaxSteps.
constexpr uint32_t kStepMs = 50;
constexpr uint32_t kMaxSteps = 2000;

const Address kBroadcast{{0xff, 0xff, 0xff, 0xff, 0xff, 0xff}};

uint32_t RoamDelayMs(uint8_t roamConfig) {
    switch (roamConfig) {
        case 0:
            return 4000;
        case 1:
            return 2000;
        default:
            return 1000;
    }
}

// Text of at most `size` bytes, ending at the first NUL.
std::string BoundedText(const uint8_t* p, size_t size) {
    size_t n = 0;
    while (n < size && p[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

void PutText(uint8_t* p, size_t size, const std::string& text) {
    std::memset(p, 0, size);
    std::memcpy(p, text.data(), std::min(size, text.size()));
}

double Percentage(double dbm) {
    return std::clamp(100.0 - (-dbm - 40.0) * 2.5, 0.0, 100.0);
}

}  // namespace

SimAdapter::SimAdapter(Scenario scenario, platform::Clock& clock)
    : scenario_(std::move(scenario)), clock_(clock), lastClock_(clock.Now()), rng_(scenario_.seed) {
    BuildRawTable();
    ApplyStartup(scenario_.adapter.startup);
}

uint64_t SimAdapter::Elapsed() {
    const uint32_t now = clock_.Now();
    elapsed_ += uint32_t(now - lastClock_);  // modulo 2^32 across a wrap
    lastClock_ = now;
    return elapsed_;
}

void SimAdapter::ApplyStartup(const StartupValues& values) {
    platform::LockGuard lock(mutex_);
    config_ = values;
    if (config_.masterName.size() > 12) config_.masterName.resize(12);
    securityId_ = scenario_.adapter.securityId;
    // The driver started the card with the system.
    StartRadio(0);
}

void SimAdapter::StartRadio(uint64_t now) {
    running_ = true;
    syncState_ = 0;
    syncAddress_ = Address{};
    syncName_.clear();
    syncChannel_ = syncSubchannel_ = 0;
    syncTarget_ = home_ = roamCandidate_ = kNone;
    tookOver_ = false;
    search_ = Search::None;
    parked_ = false;
    acquireFrom_ = now;
    lastMasterHeard_ = now;
}

bool SimAdapter::Present() {
    platform::LockGuard lock(mutex_);
    return !scenario_.faults.driverAbsent.Contains(Elapsed() / 1000.0);
}

bool SimAdapter::DriverLost(uint32_t code) const {
    const double t = Seconds();
    if (scenario_.faults.driverLost.Contains(t)) return true;
    if (code == CMD_REATTACH_DRIVER) return false;
    // After a lost span only ReattachDriver is answered until it has been sent.
    for (const auto& span : scenario_.faults.driverLost.spans) {
        const double end = span.second;
        if (end >= 0 && t >= end && lastReattach_ < end) return true;
    }
    return false;
}

bool SimAdapter::Handle(uint8_t* block, uint32_t* error) {
    platform::LockGuard lock(mutex_);
    CatchUp(Elapsed());
    const uint32_t word = ReadU32(block + kReqCommand);
    const uint32_t code = word & 0x00FFFFFF;
    if (DriverLost(code)) {
        if (error) *error = kErrorDeviceNotConnected;
        return false;
    }
    const uint32_t length = ReadU32(block + kReqLength);
    uint32_t replyLength = 0;
    int result = kRefused;
    if (length <= kRequestDataSize && (word >> 24) == 0) {
        replyLength = length;
        result = Dispatch(code, block + kReqData, length, &replyLength);
        Update();
    }
    WriteU32(block + kReqLength, replyLength);
    WriteU32(block + kReqResult, uint32_t(result));
    if (Chance(scenario_.faults.ioPendingPercent)) {
        // Answered, but reported as left pending; the overlapped form completes on its wait.
        if (error) *error = kErrorIoPending;
        return false;
    }
    return true;
}

int SimAdapter::Dispatch(uint32_t code, uint8_t* data, uint32_t length, uint32_t* replyLength) {
    switch (code) {
        case CMD_SET_SECURITY_ID:
            if (length < 1) return kRefused;
            securityId_ = BoundedText(data, length);
            *replyLength = 0;
            return kOk;
        case CMD_GET_DRIVER_VERSION: {
            const std::string& v = scenario_.adapter.driverVersion;
            PutText(data, v.size() + 1, v);
            *replyLength = uint32_t(v.size() + 1);
            return kOk;
        }
        case CMD_GET_DRIVER_DATA:
        case CMD_SET_DRIVER_DATA:
            return DataItems(code == CMD_SET_DRIVER_DATA, data, length);
        case CMD_STOP_SEARCH:
            if (search_ != Search::None) {
                search_ = Search::None;
                LoseSync();
                syncTarget_ = kNone;
            }
            *replyLength = 0;
            return kOk;
        case CMD_SEARCH_ASYNCHRONOUS:
        case CMD_SEARCH_SYNCHRONOUS:
            if (length < 15 || data[2] > 15) return kRefused;
            search_ = code == CMD_SEARCH_ASYNCHRONOUS ? Search::Asynchronous : Search::Synchronous;
            searchDomain_ = data[2];
            searchName_ = BoundedText(data + 3, 12);
            searchFrom_ = now_;
            syncState_ = 0;
            *replyLength = 0;
            return kOk;
        case CMD_GET_COUNTRY_CODE:
            data[0] = scenario_.adapter.country;
            data[1] = scenario_.adapter.firstChannel;
            *replyLength = 2;
            return kOk;
        case CMD_GET_RSSI:
            if (length < 1) return kRefused;
            data[0] = ReadRssi();
            *replyLength = 1;
            return kOk;
        case CMD_DISABLE_HOPPING:
            if (length < 1) return kRefused;
            parked_ = true;
            parkedChannel_ = data[0];
            *replyLength = 0;
            return kOk;
        case CMD_REATTACH_DRIVER:
            lastReattach_ = Seconds();
            *replyLength = 0;
            return kOk;
        case CMD_STOP_CARD:
            running_ = false;
            syncState_ = 0;
            syncTarget_ = kNone;
            search_ = Search::None;
            parked_ = false;
            tookOver_ = false;
            *replyLength = 0;
            return kOk;
        case CMD_START_CARD:
            StartRadio(now_);
            *replyLength = 0;
            return kOk;
        case CMD_READ_RSSI_CALIBRATION:
            return ReadCalibration(data, length, replyLength);
        case CMD_RECEIVE_PING:
            return ReceivePing(data, replyLength);
        case CMD_TRANSMIT_PING:
        case CMD_TRANSMIT_PING_LONG:
            return TransmitPing(code == CMD_TRANSMIT_PING_LONG, data, length);  // block echoed
        case CMD_SET_MAC_OPTIMIZE:
        case CMD_SET_ROAM_CONFIG:
            if (length < 1) return kRefused;
            (code == CMD_SET_MAC_OPTIMIZE ? config_.macOptimize : config_.roamConfig) = data[0];
            *replyLength = 0;
            return kOk;
        case CMD_POLL_PING:
            return PollPing(data, length, replyLength);
        default:
            *replyLength = 0;
            return kRefused;
    }
}

// ---------------------------------------------------------------------------------------
// Data lists

int SimAdapter::DataItems(bool set, uint8_t* data, uint32_t length) {
    // Check the whole list first: a list that runs past its length, has no terminator or
    // gives an item a length other than its table length is refused untouched.
    uint32_t offset = 0;
    for (;;) {
        if (offset + 2 > length) return kRefused;
        const uint16_t id = ReadU16(data + offset);
        if (id == ITEM_END) break;
        if (offset + 6 > length) return kRefused;
        const uint16_t itemLength = ReadU16(data + offset + 4);
        if (id >= 1 && id <= 24 && itemLength != ItemLength(id)) return kRefused;
        if (offset + 6u + itemLength > length) return kRefused;
        offset += 6u + itemLength;
    }
    offset = 0;
    for (;;) {
        const uint16_t id = ReadU16(data + offset);
        if (id == ITEM_END) break;
        const uint16_t itemLength = ReadU16(data + offset + 4);
        uint8_t* value = data + offset + 6;
        const auto& refused = scenario_.faults.refuseItems;
        const bool known = id >= 1 && id <= 24;
        if (known && std::find(refused.begin(), refused.end(), id) == refused.end()) {
            if (set ? WriteItem(id, value) : ReadItem(id, value)) WriteU16(data + offset + 2, 0);
        }
        offset += 6u + itemLength;
    }
    return kOk;
}

bool SimAdapter::ReadItem(uint16_t id, uint8_t* value) {
    std::memset(value, 0, ItemLength(id));
    switch (id) {
        case ITEM_CHANNEL:
            value[0] = config_.channel;
            break;
        case ITEM_SUBCHANNEL:
            value[0] = config_.subchannel;
            break;
        case ITEM_MASTER_NAME:
            PutText(value, 12, config_.masterName);
            break;
        case ITEM_NODE_ADDR:
            std::memcpy(value, scenario_.adapter.node.data(), 6);
            break;
        case ITEM_INACTIVITY:
            WriteU16(value, config_.inactivity);
            break;
        case ITEM_DOMAIN:
            value[0] = config_.domain;
            break;
        case ITEM_STATION_TYPE:
            value[0] = config_.stationType;
            break;
        case ITEM_ROAMING:
            value[0] = config_.roaming;
            break;
        case ITEM_VERSION:
            PutText(value, 7, scenario_.adapter.romVersion);
            break;
        case ITEM_SYNC_STATE:
            value[0] = syncState_;
            break;
        case ITEM_SYNC_MASTER_ADDR:
            std::memcpy(value, syncAddress_.data(), 6);
            break;
        case ITEM_SYNC_MASTER_NAME:
            PutText(value, 12, syncName_);
            break;
        case ITEM_SYNC_CHANNEL:
            value[0] = syncChannel_;
            break;
        case ITEM_SYNC_SUBCHANNEL:
            value[0] = syncSubchannel_;
            break;
        case ITEM_PEER_TO_PEER:
            value[0] = config_.peerToPeer;
            break;
        default:
            break;  // items this system does not use read as zeros
    }
    return true;
}

bool SimAdapter::WriteItem(uint16_t id, const uint8_t* value) {
    switch (id) {
        case ITEM_CHANNEL:
        case ITEM_SUBCHANNEL:
            if (value[0] < 1 || value[0] > 15) return false;
            (id == ITEM_CHANNEL ? config_.channel : config_.subchannel) = value[0];
            if (syncTarget_ == kSelf) SyncTo(kSelf);
            return true;
        case ITEM_MASTER_NAME:
            config_.masterName = BoundedText(value, 12);
            if (syncTarget_ == kSelf) SyncTo(kSelf);
            return true;
        case ITEM_INACTIVITY:
            config_.inactivity = ReadU16(value);
            return true;
        case ITEM_DOMAIN:
            if (value[0] > 15) return false;
            if (value[0] != config_.domain) {
                config_.domain = value[0];
                home_ = roamCandidate_ = kNone;
                if (syncTarget_ >= 0 && scenario_.masters[syncTarget_].domain != config_.domain) {
                    LoseSync();
                    syncTarget_ = kNone;
                }
            }
            return true;
        case ITEM_STATION_TYPE:
            if (value[0] > kMaster) return false;
            if (value[0] != config_.stationType) {
                config_.stationType = value[0];
                if (syncTarget_ == kSelf) {
                    LoseSync();
                    syncTarget_ = kNone;
                }
                tookOver_ = false;
                lastMasterHeard_ = now_;
            }
            return true;
        case ITEM_ROAMING:
            if (value[0] > 1) return false;
            config_.roaming = value[0];
            roamCandidate_ = kNone;
            return true;
        case ITEM_SYNC_STATE:
            if (value[0] == 0) LoseSync();
            return true;
        case ITEM_SYNC_MASTER_ADDR: {
            Address address;
            std::memcpy(address.data(), value, 6);
            if (address == Address{}) {
                LoseSync();
                syncAddress_ = Address{};
                syncName_.clear();
                syncChannel_ = syncSubchannel_ = 0;
                syncTarget_ = home_ = kNone;
                return true;
            }
            for (size_t i = 0; i < scenario_.masters.size(); ++i) {
                if (scenario_.masters[i].address == address) {
                    home_ = int(i);
                    return true;
                }
            }
            return false;
        }
        case ITEM_PEER_TO_PEER:
            if (value[0] > 1) return false;
            config_.peerToPeer = value[0];
            return true;
        default:
            return false;  // read-only
    }
}

// ---------------------------------------------------------------------------------------
// The radio world

double SimAdapter::Uniform() {
    return double(rng_()) / 4294967296.0;
}

bool SimAdapter::Chance(uint32_t percent) {
    if (percent >= 100) return true;
    if (percent == 0) return false;
    return Uniform() * 100.0 < percent;
}

double SimAdapter::Level(const Station& station) const {
    return station.signal.At(station.CourseTime(Seconds()));
}

bool SimAdapter::Heard(const Station& station) const {
    return running_ && station.onAir.Contains(station.CourseTime(Seconds())) &&
           station.securityId == securityId_ && Level(station) >= kHearingThreshold;
}

std::vector<int> SimAdapter::HeardMasters(int domain) const {
    std::vector<int> heard;
    for (size_t i = 0; i < scenario_.masters.size(); ++i) {
        const Station& m = scenario_.masters[i];
        if (m.domain == domain && Heard(m)) heard.push_back(int(i));
    }
    std::stable_sort(heard.begin(), heard.end(), [this](int a, int b) {
        return Level(scenario_.masters[a]) > Level(scenario_.masters[b]);
    });
    return heard;
}

int SimAdapter::StrongestMaster(int domain, int except) const {
    for (int m : HeardMasters(domain)) {
        if (m != except) return m;
    }
    return kNone;
}

void SimAdapter::SyncTo(int master) {
    syncTarget_ = master;
    syncState_ = 1;
    roamCandidate_ = kNone;
    if (master == kSelf) {
        syncAddress_ = scenario_.adapter.node;
        syncName_ = config_.masterName;
        syncChannel_ = config_.channel;
        syncSubchannel_ = config_.subchannel;
        return;
    }
    const Station& m = scenario_.masters[master];
    syncAddress_ = m.address;
    syncName_ = m.name;
    syncChannel_ = m.channel;
    syncSubchannel_ = m.subchannel;
    home_ = master;
    lastMasterHeard_ = now_;
}

void SimAdapter::LoseSync() {
    syncState_ = 0;
    roamCandidate_ = kNone;
    acquireFrom_ = now_;
}

void SimAdapter::CatchUp(uint64_t now) {
    // The world moves on between requests too: step through the gap so that delays (roaming,
    // takeover) count from when things happened, not from when the next request came.
    if (now > now_ && now - now_ > kStepMs) {
        const uint64_t step = std::max<uint64_t>(kStepMs, (now - now_) / kMaxSteps);
        for (uint64_t t = now_ + step; t < now; t += step) {
            now_ = t;
            Update();
        }
    }
    now_ = now;
    Update();
}

void SimAdapter::Update() {
    if (!running_) return;
    const uint32_t acquire = scenario_.adapter.acquireMs;
    if (search_ == Search::Asynchronous) {
        const uint64_t steps = (now_ - searchFrom_) / std::max<uint32_t>(acquire, 1);
        std::vector<int> heard = HeardMasters(searchDomain_);
        if (steps == 0 || heard.empty()) {
            syncState_ = 0;
            return;
        }
        const int m = heard[(steps - 1) % heard.size()];
        SyncTo(m);
        home_ = kNone;
        return;
    }
    if (search_ == Search::Synchronous) {
        for (int m : HeardMasters(searchDomain_)) {
            if (scenario_.masters[m].name.substr(0, 12) != searchName_) continue;
            if (now_ - searchFrom_ >= acquire) {
                SyncTo(m);
                search_ = Search::None;
                return;
            }
            break;
        }
        syncState_ = 0;
        return;
    }
    if (config_.stationType == kMaster || tookOver_) {
        if (syncTarget_ != kSelf || syncState_ == 0) SyncTo(kSelf);
        return;
    }
    UpdateStation();
}

void SimAdapter::UpdateStation() {
    const bool roaming = config_.roaming == 0;
    if (syncState_ != 0 && syncTarget_ >= 0) {
        const Station& own = scenario_.masters[syncTarget_];
        if (Heard(own)) {
            lastMasterHeard_ = now_;
            if (!roaming) return;
            const int best = StrongestMaster(config_.domain, syncTarget_);
            if (best != kNone && Level(scenario_.masters[best]) >= Level(own) + kRoamHysteresisDb) {
                if (roamCandidate_ != best) {
                    roamCandidate_ = best;
                    roamSince_ = now_;
                } else if (now_ - roamSince_ >= RoamDelayMs(config_.roamConfig)) {
                    SyncTo(best);
                }
            } else {
                roamCandidate_ = kNone;
            }
            return;
        }
        // The own master went silent.
        LoseSync();
        if (roaming) home_ = kNone;
    }

    const int strongest = StrongestMaster(config_.domain, kNone);
    // Any master heard keeps an Alternate Master from taking over, also one that a
    // Station without roaming does not move to.
    if (strongest != kNone) lastMasterHeard_ = now_;
    int candidate = strongest;
    if (!roaming && home_ >= 0) candidate = Heard(scenario_.masters[home_]) ? home_ : kNone;
    if (candidate != kNone) {
        if (now_ - acquireFrom_ >= scenario_.adapter.acquireMs) SyncTo(candidate);
        return;
    }
    if (config_.stationType == kAlternateMaster && now_ - lastMasterHeard_ >= kTakeoverMs) {
        tookOver_ = true;
        SyncTo(kSelf);
    }
}

// ---------------------------------------------------------------------------------------
// Signal readings

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
