// The simulated adapter's radio world over time: which masters are heard, synchronisation
// and roaming.
#include <algorithm>
#include <cmath>

#include "driver/DriverTypes.h"
#include "sim/SimAdapter.h"

namespace odr::sim {

namespace {

// The world is stepped at least this finely between two requests, in at most kMaxSteps.
constexpr uint32_t kStepMs = 50;
constexpr uint32_t kMaxSteps = 2000;

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

}  // namespace

double SimAdapter::Uniform() {
    return double(rng_()) / 4294967296.0;
}

bool SimAdapter::Chance(uint32_t percent) {
    if (percent >= 100) return true;
    if (percent == 0) return false;
    return Uniform() * 100.0 < percent;
}

void SimAdapter::PlaceStations() {
    const AdapterConfig& a = scenario_.adapter;
    if (!a.placed) return;
    for (auto* stations : {&scenario_.masters, &scenario_.nodes}) {
        for (Station& st : *stations) {
            if (!st.placed) continue;
            const double level = LevelAt(st.level1m, scenario_.floor.pathLossExponent, st.position,
                                         a.position, walls_);
            st.signal.points = {{0, level}};
        }
    }
}

bool SimAdapter::Position(Point* at) {
    platform::LockGuard lock(mutex_);
    if (!scenario_.adapter.placed) return false;
    *at = scenario_.adapter.position;
    return true;
}

void SimAdapter::MoveTo(Point at) {
    platform::LockGuard lock(mutex_);
    const FloorConfig& floor = scenario_.floor;
    if (!floor.Exists() || !std::isfinite(at.x) || !std::isfinite(at.y)) return;
    // The world up to now is heard from where the adapter stood.
    CatchUp(Elapsed());
    const double height = floor.DepthM();
    scenario_.adapter.placed = true;
    scenario_.adapter.position = {std::clamp(at.x, 0.0, floor.widthM),
                                  std::clamp(at.y, 0.0, height)};
    PlaceStations();
    // What follows from the new levels counts from the move.
    Update();
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

}  // namespace odr::sim
