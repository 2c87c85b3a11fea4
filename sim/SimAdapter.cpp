// The simulated adapter's requests: the command dispatch and the data lists.
#include "sim/SimAdapter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "driver/DriverTypes.h"

namespace odr::sim {

namespace {

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

}  // namespace

SimAdapter::SimAdapter(Scenario scenario, platform::Clock& clock)
    : scenario_(std::move(scenario)), clock_(clock), lastClock_(clock.Now()), rng_(scenario_.seed) {
    for (const SiteWall& w : scenario_.walls) walls_.push_back(w.wall);
    PlaceStations();
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

}  // namespace odr::sim
